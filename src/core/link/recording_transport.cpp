#include "core/link/recording_transport.h"

namespace core::link {

int RecordingTransport::Write(std::span<const std::uint8_t> body) {
  Record r;
  r.body.assign(body.begin(), body.end());
  if (type_ == LinkType::Usb) {
    const UsbReport report = MakeUsbReport(body);
    r.wire.assign(report.begin(), report.end());
  } else {
    const TcpEnvelope env = MakeTcpEnvelope(body);
    r.wire.assign(env.Bytes().begin(), env.Bytes().end());
  }
  r.at = std::chrono::steady_clock::now();
  std::function<void(const Record&)> onWrite;
  {
    std::lock_guard lock(mutex_);
    if (failing_) return 0;
    records_.push_back(r);
    onWrite = onWrite_;
  }
  if (onWrite) onWrite(r);
  return static_cast<int>(r.wire.size());
}

void RecordingTransport::SetFailing(bool failing) {
  std::lock_guard lock(mutex_);
  failing_ = failing;
}

void RecordingTransport::SetOnWrite(std::function<void(const Record&)> onWrite) {
  std::lock_guard lock(mutex_);
  onWrite_ = std::move(onWrite);
}

std::vector<RecordingTransport::Record> RecordingTransport::Records() const {
  std::lock_guard lock(mutex_);
  return records_;
}

std::vector<std::vector<std::uint8_t>> RecordingTransport::Bodies() const {
  std::lock_guard lock(mutex_);
  std::vector<std::vector<std::uint8_t>> out;
  out.reserve(records_.size());
  for (const Record& r : records_) out.push_back(r.body);
  return out;
}

std::size_t RecordingTransport::Count() const {
  std::lock_guard lock(mutex_);
  return records_.size();
}

void RecordingTransport::Clear() {
  std::lock_guard lock(mutex_);
  records_.clear();
}

}  // namespace core::link
