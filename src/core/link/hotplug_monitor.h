#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "core/link/hid_backend.h"
#include "core/link/link_events.h"

struct udev;
struct udev_monitor;

namespace core::link {

// Reports HID devices coming and going through LinkEvents (DeviceArrived /
// DeviceRemoved with the device node path). Listens to udev's hidraw
// events on a thread of its own; where no udev monitor can be made it polls
// the backend's enumeration instead, which sees only processors.
class HotplugMonitor {
 public:
  enum class Mode { Stopped, Udev, Polling };

  HotplugMonitor(LinkEvents& events, HidBackend& backend);
  ~HotplugMonitor();
  HotplugMonitor(const HotplugMonitor&) = delete;
  HotplugMonitor& operator=(const HotplugMonitor&) = delete;

  // `forcePolling` skips udev (tests, simulated devices).
  Mode Start(bool forcePolling = false,
             std::chrono::milliseconds pollInterval = std::chrono::seconds(2));
  void Stop();
  Mode CurrentMode() const { return mode_.load(); }

 private:
  bool StartUdev();
  void UdevThread();
  void PollThread(std::chrono::milliseconds interval, std::set<std::string> known);
  std::set<std::string> Present();

  LinkEvents& events_;
  HidBackend& backend_;
  std::atomic<Mode> mode_{Mode::Stopped};
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable cv_;
  std::thread thread_;
  int wakeFds_[2] = {-1, -1};
  ::udev* udev_ = nullptr;
  ::udev_monitor* monitor_ = nullptr;
};

}  // namespace core::link
