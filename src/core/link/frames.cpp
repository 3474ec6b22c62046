#include "core/link/frames.h"

#include <algorithm>

namespace core::link {
namespace {

LinkFrame StartFrame(LinkType type) {
  LinkFrame f;
  if (type == LinkType::Tcp) f.Append(kTcpPrefix);
  return f;
}

}  // namespace

std::optional<LinkFrame> BuildParamFrame(LinkType type, std::uint8_t module, std::uint8_t param,
                                         std::span<const Word> words) {
  if (words.empty() || words.size() > kMaxParamWords) return std::nullopt;
  LinkFrame f = StartFrame(type);
  f.Append(cmd::kParam);
  f.Append(0x00);
  f.Append(module);
  f.Append(param);
  f.Append(static_cast<std::uint8_t>(words.size()));
  for (Word w : words) {
    f.Append(static_cast<std::uint8_t>(w >> 24));
    f.Append(static_cast<std::uint8_t>(w >> 16));
    f.Append(static_cast<std::uint8_t>(w >> 8));
    f.Append(static_cast<std::uint8_t>(w));
  }
  return f;
}

LinkFrame BuildCommandFrame(LinkType type, std::span<const std::uint8_t> bytes) {
  LinkFrame f = StartFrame(type);
  for (std::uint8_t b : bytes.first(std::min(bytes.size(), kMaxCommandBytes))) f.Append(b);
  return f;
}

std::optional<LinkFrame> BuildBlockWriteFrame(LinkType type, std::uint8_t command,
                                              std::uint8_t offsetHigh, std::uint8_t offsetLow,
                                              std::span<const std::uint8_t> data) {
  if (data.size() > kMaxBlockData) return std::nullopt;
  LinkFrame f = StartFrame(type);
  f.Append(command);
  f.Append(offsetHigh);
  f.Append(offsetLow);
  f.Append(static_cast<std::uint8_t>(data.size()));
  for (std::uint8_t b : data) f.Append(b);
  return f;
}

UsbReport MakeUsbReport(std::span<const std::uint8_t> body) {
  UsbReport r{};
  r[0] = kUsbReportId;
  const std::size_t n = std::min(body.size(), kUsbMaxBody);
  std::copy_n(body.begin(), n, r.begin() + 1);
  return r;
}

std::uint8_t EnvelopeChecksum(std::uint8_t lengthByte, std::span<const std::uint8_t> body) {
  std::uint8_t x = 0xFF ^ lengthByte;
  for (std::uint8_t b : body) x ^= b;
  return x;
}

TcpEnvelope MakeTcpEnvelope(std::span<const std::uint8_t> body) {
  TcpEnvelope e;
  const std::size_t n = std::min(body.size(), kMaxBodySize);
  const auto length = static_cast<std::uint8_t>(n + 1);
  e.bytes[0] = kEnvelopeStart;
  e.bytes[1] = length;
  std::copy_n(body.begin(), n, e.bytes.begin() + 2);
  e.bytes[n + 2] = EnvelopeChecksum(length, body.first(n));
  e.size = n + 3;
  return e;
}

EnvelopeResult ParseTcpEnvelope(std::span<const std::uint8_t> bytes, EnvelopeView& out) {
  if (bytes.empty()) return EnvelopeResult::Incomplete;
  if (bytes[0] != kEnvelopeStart) return EnvelopeResult::NotEnvelope;
  if (bytes.size() < 2) return EnvelopeResult::Incomplete;
  const std::size_t length = bytes[1];
  if (bytes.size() < length + 2) return EnvelopeResult::Incomplete;
  out.envelopeSize = length + 2;
  out.frame = bytes.subspan(2, length);
  // The checksum covers bytes 1..L and sits at L + 1.
  std::uint8_t x = 0xFF;
  for (std::size_t i = 1; i <= length; ++i) x ^= bytes[i];
  return x == bytes[length + 1] ? EnvelopeResult::Ok : EnvelopeResult::BadChecksum;
}

QueueKey MakeQueueKey(std::span<const std::uint8_t> body) {
  QueueKey k{};
  std::copy_n(body.begin(), std::min<std::size_t>(body.size(), 5), k.begin());
  return k;
}

QueueKey MakeQueueKey(LinkType type, std::span<const std::uint8_t> body) {
  if (type == LinkType::Tcp) return MakeQueueKey(body);
  QueueKey k{};
  k[0] = kTcpPrefix;
  std::copy_n(body.begin(), std::min<std::size_t>(body.size(), 4), k.begin() + 1);
  return k;
}

}  // namespace core::link
