#pragma once

#include <QObject>
#include <QPointer>
#include <condition_variable>
#include <mutex>

#include "core/link/link_events.h"
#include "ui/app/link_event_handler.h"

namespace ui {

// The link's events, queued onto the GUI thread of `context` and handed to
// the handler there. RemoteKeyLearnt waits until the handler has returned
// (as behind a sent window message), or until Stop; the others return at
// once. Called on the GUI thread itself, every event is handled directly.
class QtLinkEvents final : public QObject, public core::link::LinkEvents {
  Q_OBJECT
 public:
  QtLinkEvents(LinkEventHandler& handler, QObject* parent = nullptr);
  ~QtLinkEvents() override;

  // Releases every thread waiting in a blocking event, now and later. The
  // GUI thread calls it before it waits for the link's threads to end.
  void Stop();

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
  template <typename F>
  void Send(F call);

  LinkEventHandler& handler_;
  std::mutex mutex_;
  std::condition_variable done_;
  bool stopping_ = false;
};

}  // namespace ui
