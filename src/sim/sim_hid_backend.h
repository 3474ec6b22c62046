#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "core/link/hid_backend.h"
#include "sim/processor_sim.h"

namespace sim {

// The processor's USB side in the same process: a HidBackend whose device
// carries ProcessorSim over 61-byte reports. Enumeration lists the
// processor (and any further entries a test adds); the fault switches drop
// answers, delay them, hold them back, fail the next read or unplug the
// device.
class SimHidBackend final : public core::link::HidBackend {
 public:
  static constexpr const char* kDevicePath = "/dev/hidraw-sim0";

  // `sim` must outlive the backend and every device it opened.
  explicit SimHidBackend(ProcessorSim& sim);
  ~SimHidBackend() override;

  std::vector<core::link::HidDeviceEntry> Enumerate(std::uint16_t vendorId,
                                                    std::uint16_t productId) override;
  std::unique_ptr<core::link::HidDevice> Open(const std::string& path,
                                              core::link::HidOpenError& error) override;

  // The devices enumeration lists, in order. The one at `processorPath`
  // (kDevicePath unless changed) talks to the simulator; the others open
  // to devices that never answer. Default: only the processor.
  void SetEntries(std::vector<core::link::HidDeviceEntry> entries);
  void SetProcessorPath(const std::string& path);
  // Opening this path fails for lack of permission.
  void DenyAccess(const std::string& path);

  void Unplug();  // gone from enumeration; the open device's reads fail
  void Plug();
  void FailNextRead();
  void SetLatencyMs(int ms);
  void SetDropEvery(int n);  // every Nth answer is lost; 0: none
  // While held the device answers nothing; the answers wait and go out,
  // in order, once released.
  void HoldAnswers(bool held);

  std::vector<std::string> OpenedPaths() const;
  std::vector<Bytes> Reports() const;  // every output report written, 61 bytes each

 private:
  struct Channel;
  class Device;

  mutable std::mutex mutex_;
  std::vector<core::link::HidDeviceEntry> entries_;
  std::string processorPath_ = kDevicePath;
  std::set<std::string> denied_;
  bool plugged_ = true;
  std::vector<std::string> opened_;
  std::shared_ptr<Channel> channel_;  // the processor's, shared with its open devices
};

}  // namespace sim
