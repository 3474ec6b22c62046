#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace core::link {

inline constexpr std::uint16_t kUsbVendorId = 0x2010;
inline constexpr std::uint16_t kUsbProductId = 0x1031;

// One HID interface found by enumeration.
struct HidDeviceEntry {
  static constexpr std::uint32_t kActive = 0x1;

  std::string path;  // device node, e.g. /dev/hidraw3
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint32_t flags = kActive;  // only an entry whose flags are exactly kActive is opened
};

enum class HidOpenError { None, NotFound, PermissionDenied, Failed };

// An open HID device.
class HidDevice {
 public:
  virtual ~HidDevice() = default;
  // Reads one input report into `report`: the byte count, 0 when the
  // timeout passed without one, -1 on an error (the device is gone).
  virtual int Read(std::span<std::uint8_t> report, int timeoutMs) = 0;
  // Writes one output report (its first byte is the report id): the byte
  // count, or -1 on an error.
  virtual int Write(std::span<const std::uint8_t> report) = 0;
};

// Access to the machine's HID devices. The link never talks to the HID
// library directly, so tests and the demo put a simulated processor here.
class HidBackend {
 public:
  virtual ~HidBackend() = default;
  virtual std::vector<HidDeviceEntry> Enumerate(std::uint16_t vendorId,
                                                std::uint16_t productId) = 0;
  // Closing is destroying the device.
  virtual std::unique_ptr<HidDevice> Open(const std::string& path, HidOpenError& error) = 0;
};

// The real thing: hidapi on the hidraw nodes.
std::unique_ptr<HidBackend> MakeHidapiBackend();

// The udev rule that gives the logged-in user access to the processor.
const char* UdevRuleText();
inline constexpr const char* kUdevRuleInstallHint =
    "dsptunectl udev-rules | sudo tee /etc/udev/rules.d/70-dsptuner.rules";

}  // namespace core::link
