#include "sim/sim_hid_backend.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "core/link/frames.h"

namespace sim {

using core::link::HidDeviceEntry;
using core::link::HidOpenError;
using Clock = std::chrono::steady_clock;

// What the processor's USB port holds: answers due for the host, the
// faults, the reports written. Shared by the backend and its devices.
struct SimHidBackend::Channel {
  explicit Channel(ProcessorSim& s) : sim(s) {}

  struct Pending {
    Clock::time_point due;
    Bytes report;
  };

  ProcessorSim& sim;
  std::mutex mutex;
  std::condition_variable cv;
  std::deque<Pending> pending;  // in due order
  std::vector<Bytes> written;
  bool failNextRead = false;
  bool unplugged = false;
  bool held = false;
  int latencyMs = 0;
  int dropEvery = 0;
  std::size_t answers = 0;

  void Queue(Bytes report, Clock::time_point due) {
    auto at = std::upper_bound(pending.begin(), pending.end(), due,
                               [](Clock::time_point t, const Pending& p) { return t < p.due; });
    pending.insert(at, Pending{due, std::move(report)});
  }
};

class SimHidBackend::Device final : public core::link::HidDevice {
 public:
  // `channel` is null for a device that never answers.
  explicit Device(std::shared_ptr<Channel> channel) : channel_(std::move(channel)) {}

  int Read(std::span<std::uint8_t> report, int timeoutMs) override {
    if (!channel_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
      return 0;
    }
    Channel& c = *channel_;
    std::unique_lock lock(c.mutex);
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (true) {
      if (c.unplugged) return -1;
      if (c.failNextRead) {
        c.failNextRead = false;
        return -1;
      }
      const auto now = Clock::now();
      if (!c.held && !c.pending.empty() && c.pending.front().due <= now) {
        const Bytes r = std::move(c.pending.front().report);
        c.pending.pop_front();
        const std::size_t n = std::min(r.size(), report.size());
        std::copy_n(r.begin(), n, report.begin());
        return static_cast<int>(n);
      }
      if (now >= until) return 0;
      const auto wake =
          c.pending.empty() || c.held ? until : std::min(until, c.pending.front().due);
      c.cv.wait_until(lock, wake);
    }
  }

  int Write(std::span<const std::uint8_t> report) override {
    if (!channel_) return static_cast<int>(report.size());
    Channel& c = *channel_;
    {
      std::lock_guard lock(c.mutex);
      if (c.unplugged) return -1;
      c.written.emplace_back(report.begin(), report.end());
    }
    if (report.size() < 2) return static_cast<int>(report.size());
    // The body follows the report id.
    const auto answer = c.sim.Handle(report.subspan(1));
    if (answer) {
      std::lock_guard lock(c.mutex);
      ++c.answers;
      if (c.dropEvery == 0 || c.answers % static_cast<std::size_t>(c.dropEvery) != 0) {
        const auto r = core::link::MakeUsbReport(answer->body);
        c.Queue(Bytes(r.begin(), r.end()),
                Clock::now() + std::chrono::milliseconds(c.latencyMs) + answer->delay);
      }
    }
    c.cv.notify_all();
    return static_cast<int>(report.size());
  }

 private:
  std::shared_ptr<Channel> channel_;
};

SimHidBackend::SimHidBackend(ProcessorSim& sim)
    : channel_(std::make_shared<Channel>(sim)) {
  entries_.push_back({kDevicePath, core::link::kUsbVendorId, core::link::kUsbProductId,
                      HidDeviceEntry::kActive});
}

SimHidBackend::~SimHidBackend() = default;

std::vector<HidDeviceEntry> SimHidBackend::Enumerate(std::uint16_t vendorId,
                                                     std::uint16_t productId) {
  std::lock_guard lock(mutex_);
  std::vector<HidDeviceEntry> out;
  for (const HidDeviceEntry& e : entries_) {
    if (e.path == processorPath_ && !plugged_) continue;
    if ((vendorId == 0 || e.vendorId == vendorId) && (productId == 0 || e.productId == productId)) {
      out.push_back(e);
    }
  }
  return out;
}

std::unique_ptr<core::link::HidDevice> SimHidBackend::Open(const std::string& path,
                                                           HidOpenError& error) {
  std::lock_guard lock(mutex_);
  error = HidOpenError::None;
  const bool listed = std::any_of(entries_.begin(), entries_.end(),
                                  [&](const HidDeviceEntry& e) { return e.path == path; });
  if (!listed || (path == processorPath_ && !plugged_)) {
    error = HidOpenError::NotFound;
    return nullptr;
  }
  if (denied_.count(path)) {
    error = HidOpenError::PermissionDenied;
    return nullptr;
  }
  opened_.push_back(path);
  if (path != processorPath_) return std::make_unique<Device>(nullptr);
  {
    std::lock_guard c(channel_->mutex);
    channel_->pending.clear();  // a fresh open hears nothing of an earlier one
    channel_->failNextRead = false;
  }
  return std::make_unique<Device>(channel_);
}

void SimHidBackend::SetEntries(std::vector<HidDeviceEntry> entries) {
  std::lock_guard lock(mutex_);
  entries_ = std::move(entries);
}

void SimHidBackend::SetProcessorPath(const std::string& path) {
  std::lock_guard lock(mutex_);
  processorPath_ = path;
}

void SimHidBackend::DenyAccess(const std::string& path) {
  std::lock_guard lock(mutex_);
  denied_.insert(path);
}

void SimHidBackend::Unplug() {
  {
    std::lock_guard lock(mutex_);
    plugged_ = false;
  }
  std::lock_guard c(channel_->mutex);
  channel_->unplugged = true;
  channel_->cv.notify_all();
}

void SimHidBackend::Plug() {
  {
    std::lock_guard lock(mutex_);
    plugged_ = true;
  }
  std::lock_guard c(channel_->mutex);
  channel_->unplugged = false;
}

void SimHidBackend::FailNextRead() {
  std::lock_guard c(channel_->mutex);
  channel_->failNextRead = true;
  channel_->cv.notify_all();
}

void SimHidBackend::SetLatencyMs(int ms) {
  std::lock_guard c(channel_->mutex);
  channel_->latencyMs = ms;
}

void SimHidBackend::HoldAnswers(bool held) {
  std::lock_guard c(channel_->mutex);
  channel_->held = held;
  channel_->cv.notify_all();
}

void SimHidBackend::SetDropEvery(int n) {
  std::lock_guard c(channel_->mutex);
  channel_->dropEvery = n;
}

std::vector<std::string> SimHidBackend::OpenedPaths() const {
  std::lock_guard lock(mutex_);
  return opened_;
}

std::vector<Bytes> SimHidBackend::Reports() const {
  std::lock_guard c(channel_->mutex);
  return channel_->written;
}

}  // namespace sim
