#include "ui/app/qt_link_events.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <memory>

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

QtLinkEvents::~QtLinkEvents() { Stop(); }

void QtLinkEvents::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  done_.notify_all();
}

template <typename F>
void QtLinkEvents::Send(F call) {
  if (QThread::currentThread() == thread()) {
    call();
    return;
  }
  // Like a blocking queued call, but given up when the GUI thread stops
  // the adapter (it may be waiting for this very thread to end).
  auto finished = std::make_shared<bool>(false);
  QMetaObject::invokeMethod(
      this,
      [this, call = std::move(call), finished]() mutable {
        call();
        {
          std::lock_guard lock(mutex_);
          *finished = true;
        }
        done_.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] { return *finished || stopping_; });
}

void QtLinkEvents::RemoteKeyLearnt(std::uint8_t code) {
  Send([this, code] { handler_.OnRemoteKey(code); });
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
  // Posted: the handler shows a box, and the reader must go on reading
  // (heartbeats, answers) while it is open.
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
