#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/link/commands.h"
#include "core/params/value_codec.h"

namespace core::link {

using params::Word;

enum class LinkType : std::uint8_t { Usb, Tcp };

inline constexpr std::size_t kUsbReportSize = 61;
inline constexpr std::size_t kUsbMaxBody = kUsbReportSize - 1;  // after the report id
inline constexpr std::size_t kMaxCommandBytes = 61;             // a command list is cut here
inline constexpr std::size_t kMaxParamWords = 10;
inline constexpr std::size_t kMaxBlockData = 56;                 // 4 header + 56 fills a report
inline constexpr std::size_t kMaxBodySize = 66;                  // a body with its TCP prefix

// One message body as handed to a transport: on TCP with the prefix byte,
// then the command code and its payload.
struct LinkFrame {
  std::array<std::uint8_t, kMaxBodySize> bytes{};
  std::size_t size = 0;

  std::span<const std::uint8_t> Body() const { return {bytes.data(), size}; }
  void Append(std::uint8_t b) {
    if (size < bytes.size()) bytes[size++] = b;
  }
  friend bool operator==(const LinkFrame& a, const LinkFrame& b) {
    return a.size == b.size && std::equal(a.bytes.begin(), a.bytes.begin() + a.size, b.bytes.begin());
  }
};

// A store or image offset as the read and block-write commands carry it:
// high byte, then low byte.
constexpr std::uint8_t OffsetHigh(std::size_t offset) {
  return static_cast<std::uint8_t>(offset >> 8);
}
constexpr std::uint8_t OffsetLow(std::size_t offset) {
  return static_cast<std::uint8_t>(offset & 0xFF);
}

// Body builders. `type` decides the TCP prefix.

// Command 0x09: 00, module, param, count, then the words big-endian.
// Refused (nothing) for no words or more than ten.
std::optional<LinkFrame> BuildParamFrame(LinkType type, std::uint8_t module, std::uint8_t param,
                                         std::span<const Word> words);

// A short command; a list longer than 61 bytes is cut after 61.
LinkFrame BuildCommandFrame(LinkType type, std::span<const std::uint8_t> bytes);

// Command, offset high, offset low, count, data. Refused for more data than
// one report carries.
std::optional<LinkFrame> BuildBlockWriteFrame(LinkType type, std::uint8_t command,
                                              std::uint8_t offsetHigh, std::uint8_t offsetLow,
                                              std::span<const std::uint8_t> data);

// Wrappings.

using UsbReport = std::array<std::uint8_t, kUsbReportSize>;

// Report id 0x02, the body (at most 60 bytes), zeros.
UsbReport MakeUsbReport(std::span<const std::uint8_t> body);

// 0x55, body length + 1, body, checksum.
struct TcpEnvelope {
  std::array<std::uint8_t, kMaxBodySize + 3> bytes{};
  std::size_t size = 0;
  std::span<const std::uint8_t> Bytes() const { return {bytes.data(), size}; }
};
TcpEnvelope MakeTcpEnvelope(std::span<const std::uint8_t> body);

// 0xFF XOR the length byte XOR every body byte.
std::uint8_t EnvelopeChecksum(std::uint8_t lengthByte, std::span<const std::uint8_t> body);

// The dispatcher's view of one received envelope: the bytes from offset 2
// with length L (prefix, command, payload, and the checksum byte last).
struct EnvelopeView {
  std::span<const std::uint8_t> frame;  // L bytes
  std::size_t envelopeSize = 0;         // L + 2
};
enum class EnvelopeResult : std::uint8_t { Ok, NotEnvelope, Incomplete, BadChecksum };
// Checks one envelope at the start of `bytes`.
EnvelopeResult ParseTcpEnvelope(std::span<const std::uint8_t> bytes, EnvelopeView& out);

// The write-queue key: the first five body bytes, zero-filled, and a zero.
using QueueKey = std::array<std::uint8_t, 6>;
QueueKey MakeQueueKey(std::span<const std::uint8_t> body);
// The key of a body built for `type`. A USB body has no prefix; its key is
// the one the same frame gets on TCP (the prefix, then its first four
// bytes), so that both links coalesce alike.
QueueKey MakeQueueKey(LinkType type, std::span<const std::uint8_t> body);

}  // namespace core::link
