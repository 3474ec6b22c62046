// The HID backend on hidapi's hidraw implementation. The only file that
// includes hidapi.
#include <hidapi/hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "core/link/hid_backend.h"
#include "core/trace.h"

namespace core::link {
namespace {

class HidapiDevice final : public HidDevice {
 public:
  explicit HidapiDevice(hid_device* dev) : dev_(dev) {}
  ~HidapiDevice() override { hid_close(dev_); }
  int Read(std::span<std::uint8_t> report, int timeoutMs) override {
    return hid_read_timeout(dev_, report.data(), report.size(), timeoutMs);
  }
  int Write(std::span<const std::uint8_t> report) override {
    return hid_write(dev_, report.data(), report.size());
  }

 private:
  hid_device* dev_;
};

class HidapiBackend final : public HidBackend {
 public:
  // hidapi keeps process-wide state: it is initialised once and left for
  // the process exit to release.
  HidapiBackend() {
    static const bool initialised = hid_init() == 0;
    ok_ = initialised;
  }

  std::vector<HidDeviceEntry> Enumerate(std::uint16_t vendorId, std::uint16_t productId) override {
    std::vector<HidDeviceEntry> out;
    if (!ok_) return out;
    std::lock_guard lock(mutex_);
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* d = list; d != nullptr; d = d->next) {
      // hidraw lists only devices that are present: every entry is active.
      out.push_back({d->path ? d->path : "", d->vendor_id, d->product_id, HidDeviceEntry::kActive});
    }
    hid_free_enumeration(list);
    return out;
  }

  std::unique_ptr<HidDevice> Open(const std::string& path, HidOpenError& error) override {
    error = HidOpenError::None;
    if (!ok_) {
      error = HidOpenError::Failed;
      return nullptr;
    }
    // hidapi does not say why an open failed; the node's access rights do.
    if (::access(path.c_str(), R_OK | W_OK) != 0) {
      error = errno == ENOENT ? HidOpenError::NotFound
              : (errno == EACCES || errno == EPERM) ? HidOpenError::PermissionDenied
                                                    : HidOpenError::Failed;
      return nullptr;
    }
    std::lock_guard lock(mutex_);
    hid_device* dev = hid_open_path(path.c_str());
    if (dev == nullptr) {
      error = HidOpenError::Failed;
      return nullptr;
    }
    return std::make_unique<HidapiDevice>(dev);
  }

 private:
  bool ok_ = false;
  std::mutex mutex_;  // enumeration and opening are not thread-safe in hidapi
};

}  // namespace

std::unique_ptr<HidBackend> MakeHidapiBackend() { return std::make_unique<HidapiBackend>(); }

const char* UdevRuleText() {
  return "# dsptuner: let the logged-in user reach the audio processor over USB HID.\n"
         "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"2010\", ATTRS{idProduct}==\"1031\", "
         "TAG+=\"uaccess\"\n";
}

}  // namespace core::link
