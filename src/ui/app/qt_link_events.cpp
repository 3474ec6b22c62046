#include "ui/app/qt_link_events.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace ui {

QtLinkEvents::QtLinkEvents(LinkEventHandler& handler, QObject* parent)
    : QObject(parent), handler_(handler) {}

template <typename F>
void QtLinkEvents::Post(F call) {
  if (QThread::currentThread() == thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void QtLinkEvents::RemoteKeyLearnt(std::uint8_t code) {
  Post([this, code] { handler_.OnRemoteKey(code); });
}
void QtLinkEvents::SyncDone(int afterWrite) {
  Post([this, afterWrite] { handler_.OnSyncDone(afterWrite); });
}
void QtLinkEvents::LinkLost() {
  Post([this] { handler_.OnLinkLost(); });
}
void QtLinkEvents::HostBusy() {
  Post([this] { handler_.OnHostBusy(); });
}
void QtLinkEvents::DeviceError(std::uint8_t code, std::uint8_t command1, std::uint8_t command2) {
  Post([this, code, command1, command2] { handler_.OnDeviceError(code, command1, command2); });
}
void QtLinkEvents::DeviceArrived(const std::string& path) {
  Post([this, path] { handler_.OnDeviceArrived(path); });
}
void QtLinkEvents::DeviceRemoved(const std::string& path) {
  Post([this, path] { handler_.OnDeviceRemoved(path); });
}
void QtLinkEvents::PlugProgress(int message, int wParam, long lParam) {
  Post([this, message, wParam, lParam] { handler_.OnPlugProgress(message, wParam, lParam); });
}

}  // namespace ui
