#include "core/link/usb_link.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "core/link/commands.h"
#include "core/trace.h"

namespace core::link {

UsbLink::UsbLink(Link& link, Dispatcher& dispatcher, DeviceRecords& records,
                 HidBackend& backend)
    : link_(link), dispatcher_(dispatcher), records_(records), backend_(backend) {}

UsbLink::~UsbLink() {
  Close(false);
  JoinReader();
}

int UsbLink::Connect() {
  if (link_.IsOpen()) {
    lastOpen_ = UsbOpenResult::AlreadyOpen;
    return 0;
  }
  JoinReader();  // a reader that ended on an error
  link_.InitLinkEvents();
  link_.State().queue.Clear();
  const UsbOpenResult r = UsbOpen();
  lastOpen_ = r;
  if (r != UsbOpenResult::Opened) return 0;
  std::lock_guard lock(mutex_);
  link_.State().readerEnded = false;
  running_ = true;
  link_.State().open = true;
  link_.StartWriter(LinkType::Usb);
  reader_ = std::thread([this, device = device_] { ReadUsbThreadProc(device); });
  return 1;
}

UsbOpenResult UsbLink::UsbOpen() {
  Trace("开始枚举usb设备");
  bool denied = false;
  for (const HidDeviceEntry& e : backend_.Enumerate(kUsbVendorId, kUsbProductId)) {
    Trace("枚举usb设备成功");
    if (e.flags != HidDeviceEntry::kActive) continue;
    if (e.vendorId != kUsbVendorId || e.productId != kUsbProductId) continue;
    Trace("设备路径:\r\n" + e.path);
    Trace("尝试打开通信端口....");
    HidOpenError error = HidOpenError::None;
    std::unique_ptr<HidDevice> device = backend_.Open(e.path, error);
    if (!device) {
      Trace("无法打开通信端口。不能读取设备信息!(设备连接可能不正确?)\n");
      denied = denied || error == HidOpenError::PermissionDenied;
      continue;
    }
    Trace("打开通信端口成功!\n");
    std::lock_guard lock(mutex_);
    device_ = std::move(device);
    path_ = e.path;
    Trace("连接目标设备成功!");
    return UsbOpenResult::Opened;
  }
  Trace("连接目标设备失败，没有找到目标设备");
  return denied ? UsbOpenResult::PermissionDenied : UsbOpenResult::NoDevice;
}

void UsbLink::ReadUsbThreadProc(std::shared_ptr<HidDevice> device) {
  link_.State().readerEnded = false;
  Trace("start thread: ReadUsbThreadProc \n");
  link_.State().readerEndedEvent.Reset();
  UsbReport report{};
  while (running_.load()) {
    report.fill(0);
    const int n = device->Read(report, static_cast<int>(kUsbReadPoll.count()));
    if (n == 0) continue;  // no report within the poll time: look at running_ again
    if (n < 0) {
      Trace("Read Usb Error will return !\n");
      // The status poll looks at readerEnded as well: none goes to a
      // dead link.
      link_.State().readerEnded = true;
      link_.ReplyReceived();
      break;
    }
    if (TraceEnabled()) {
      std::lock_guard lock(link_.State().linkLock);
      std::string line = "Read:";
      char hex[4];
      for (std::size_t i = 1; i < report.size(); ++i) {
        std::snprintf(hex, sizeof hex, "%02X ", report[i]);
        line += hex;
      }
      Trace(line);
    }
    dispatcher_.DispatchFrame(report, kUsbReportSize);
  }
  link_.State().readerEndedEvent.Set();
  Trace("End thread: ReadUsbThreadProc \n");
}

int UsbLink::Write(std::span<const std::uint8_t> body) {
  std::shared_ptr<HidDevice> device;
  {
    std::lock_guard lock(mutex_);
    device = device_;
  }
  if (!device) return 0;
  const UsbReport report = MakeUsbReport(body);
  const int n = device->Write(report);
  if (TraceEnabled()) {
    std::string line = "Write:";
    char hex[4];
    for (std::size_t i = 1; i < report.size() - 1; ++i) {
      std::snprintf(hex, sizeof hex, "%02X ", report[i]);
      line += hex;
    }
    Trace(line);
  }
  return n < 0 ? 0 : n;
}

void UsbLink::Close(bool sendNotice) {
  if (!running_.load()) return;
  records_.ClearStatus();
  // Edits still queued are dropped with the link. The notice is written
  // straight away, after the write thread has ended, so that it is the
  // last report and the caller does not wait for an answer.
  link_.StopWriter();
  link_.State().queue.Clear();
  if (sendNotice && link_.IsOpen() && !link_.State().readerEnded) {
    const std::uint8_t notice[] = {cmd::kDisconnect};
    link_.WriteUsbData(notice, false);
  }
  if (!running_.exchange(false)) return;
  link_.State().open = false;
  bool inReader;
  {
    std::lock_guard lock(mutex_);
    inReader = reader_.get_id() == std::this_thread::get_id();
  }
  if (!inReader && !link_.State().readerEndedEvent.WaitFor(kReaderExitWait) &&
      !link_.State().readerEnded) {
    Trace("wait read thread exited time out !\n");
  }
  std::lock_guard lock(mutex_);
  device_.reset();  // the reader keeps its own reference until it leaves
}

void UsbLink::UsbClose(bool sendNotice) {
  Close(sendNotice);
  JoinReader();
}

bool UsbLink::UsbCloseOnRemoval() {
  UsbClose(false);
  return true;
}

void UsbLink::JoinReader() {
  std::thread reader;
  {
    std::lock_guard lock(mutex_);
    if (!reader_.joinable() || reader_.get_id() == std::this_thread::get_id()) return;
    if (running_.load()) return;  // still the live link's reader
    reader = std::move(reader_);
  }
  reader.join();
}

bool UsbLink::IsOpenDevice(const std::string& path) const {
  std::lock_guard lock(mutex_);
  if (path_.empty() || !running_.load()) return false;
  return std::equal(path.begin(), path.end(), path_.begin(), path_.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

std::string UsbLink::DevicePath() const {
  std::lock_guard lock(mutex_);
  return path_;
}

}  // namespace core::link
