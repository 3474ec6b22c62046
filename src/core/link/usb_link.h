#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "core/link/device_records.h"
#include "core/link/dispatcher.h"
#include "core/link/hid_backend.h"
#include "core/link/link.h"
#include "core/link/transport.h"

namespace core::link {

inline constexpr std::chrono::milliseconds kUsbReadPoll{100};
inline constexpr std::chrono::milliseconds kReaderExitWait{1000};

enum class UsbOpenResult { Opened, AlreadyOpen, NoDevice, PermissionDenied, OpenFailed };

// A processor on USB: finds it by vendor and product id, reads its input
// reports on a thread of its own and hands each to the dispatcher; writes
// go through the link (which queues, paces and locks them) to Write below.
// While it is open the link's write thread runs, as on TCP.
class UsbLink final : public Transport {
 public:
  UsbLink(Link& link, Dispatcher& dispatcher, DeviceRecords& records, HidBackend& backend);
  ~UsbLink() override;
  UsbLink(const UsbLink&) = delete;
  UsbLink& operator=(const UsbLink&) = delete;

  // Opens the first active matching device and starts the reader.
  // Returns 1 connected, 0 otherwise; LastOpenResult tells why.
  int Connect();
  UsbOpenResult LastOpenResult() const { return lastOpen_.load(); }

  // Closes the link: with `sendNotice` the disconnect notice goes out
  // first (written at once, not queued); waits at most a second for the
  // reader.
  void UsbClose(bool sendNotice);
  // The device went away: the same without the notice.
  bool UsbCloseOnRemoval();

  // Whether `path` names the open device (compared without regard to case).
  bool IsOpenDevice(const std::string& path) const;
  std::string DevicePath() const;

  LinkType Type() const override { return LinkType::Usb; }
  int Write(std::span<const std::uint8_t> body) override;

 private:
  UsbOpenResult UsbOpen();
  void ReadUsbThreadProc(std::shared_ptr<HidDevice> device);
  void Close(bool sendNotice);
  void JoinReader();

  Link& link_;
  Dispatcher& dispatcher_;
  DeviceRecords& records_;
  HidBackend& backend_;

  std::atomic<UsbOpenResult> lastOpen_{UsbOpenResult::NoDevice};
  std::atomic<bool> running_{false};
  mutable std::mutex mutex_;  // device_, path_, reader_
  std::shared_ptr<HidDevice> device_;
  std::string path_;
  std::thread reader_;
};

}  // namespace core::link
