#include "core/link/hotplug_monitor.h"

#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <cstring>

#include "core/trace.h"

namespace core::link {

HotplugMonitor::HotplugMonitor(LinkEvents& events, HidBackend& backend)
    : events_(events), backend_(backend) {}

HotplugMonitor::~HotplugMonitor() { Stop(); }

HotplugMonitor::Mode HotplugMonitor::Start(bool forcePolling,
                                           std::chrono::milliseconds pollInterval) {
  if (mode_.load() != Mode::Stopped) return mode_.load();
  stop_ = false;
  if (!forcePolling && StartUdev()) {
    mode_ = Mode::Udev;
    thread_ = std::thread([this] { UdevThread(); });
  } else {
    if (!forcePolling) {
      Trace("HotplugMonitor: no udev monitor, polling the HID devices every 2 s instead");
    }
    mode_ = Mode::Polling;
    // The first look is taken here, so that a change right after Start counts.
    thread_ = std::thread([this, pollInterval, known = Present()]() mutable {
      PollThread(pollInterval, std::move(known));
    });
  }
  return mode_.load();
}

void HotplugMonitor::Stop() {
  if (mode_.load() == Mode::Stopped) return;
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  cv_.notify_all();
  if (wakeFds_[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeFds_[1], &byte, 1);
  }
  if (thread_.joinable()) thread_.join();
  if (monitor_ != nullptr) udev_monitor_unref(monitor_);
  if (udev_ != nullptr) udev_unref(udev_);
  monitor_ = nullptr;
  udev_ = nullptr;
  for (int& fd : wakeFds_) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  mode_ = Mode::Stopped;
}

bool HotplugMonitor::StartUdev() {
  udev_ = udev_new();
  if (udev_ != nullptr) monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
  const bool ok = monitor_ != nullptr &&
                  udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) >= 0 &&
                  udev_monitor_enable_receiving(monitor_) >= 0 && ::pipe2(wakeFds_, O_CLOEXEC) == 0;
  if (!ok) {
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    if (udev_ != nullptr) udev_unref(udev_);
    monitor_ = nullptr;
    udev_ = nullptr;
  }
  return ok;
}

void HotplugMonitor::UdevThread() {
  pollfd fds[2] = {{udev_monitor_get_fd(monitor_), POLLIN, 0}, {wakeFds_[0], POLLIN, 0}};
  while (!stop_.load()) {
    if (::poll(fds, 2, -1) <= 0) continue;
    if (fds[1].revents != 0) break;
    udev_device* dev = udev_monitor_receive_device(monitor_);
    if (dev == nullptr) continue;
    const char* action = udev_device_get_action(dev);
    const char* node = udev_device_get_devnode(dev);
    if (action != nullptr && node != nullptr) {
      if (std::strcmp(action, "add") == 0) events_.DeviceArrived(node);
      if (std::strcmp(action, "remove") == 0) events_.DeviceRemoved(node);
    }
    udev_device_unref(dev);
  }
}

std::set<std::string> HotplugMonitor::Present() {
  std::set<std::string> paths;
  for (const HidDeviceEntry& e : backend_.Enumerate(kUsbVendorId, kUsbProductId)) {
    paths.insert(e.path);
  }
  return paths;
}

void HotplugMonitor::PollThread(std::chrono::milliseconds interval, std::set<std::string> known) {
  std::unique_lock lock(mutex_);
  while (!cv_.wait_for(lock, interval, [&] { return stop_.load(); })) {
    lock.unlock();
    const std::set<std::string> now = Present();
    for (const std::string& p : known) {
      if (!now.count(p)) events_.DeviceRemoved(p);
    }
    for (const std::string& p : now) {
      if (!known.count(p)) events_.DeviceArrived(p);
    }
    known = now;
    lock.lock();
  }
}

}  // namespace core::link
