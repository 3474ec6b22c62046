#pragma once

#include <QObject>
#include <QPointer>

#include "core/link/link_events.h"
#include "ui/app/link_event_handler.h"

namespace ui {

// The link's events, queued onto the GUI thread of `context` and handed to
// the handler there; the link's threads never wait for the GUI thread
// (which joins them on every close, and runs message boxes from some
// handlers). Called on the GUI thread itself, an event is handled directly.
class QtLinkEvents final : public QObject, public core::link::LinkEvents {
  Q_OBJECT
 public:
  QtLinkEvents(LinkEventHandler& handler, QObject* parent = nullptr);

  void RemoteKeyLearnt(std::uint8_t code) override;
  void SyncDone(int afterWrite) override;
  void LinkLost() override;
  void HostBusy() override;
  void DeviceError(std::uint8_t code, std::uint8_t command1, std::uint8_t command2) override;
  void DeviceArrived(const std::string& path) override;
  void DeviceRemoved(const std::string& path) override;
  void PlugProgress(int message, int wParam, long lParam) override;

 private:
  template <typename F>
  void Post(F call);

  LinkEventHandler& handler_;
};

}  // namespace ui
