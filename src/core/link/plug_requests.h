#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace core::link {

class Link;

// The smart-plug controller speaks the Z-Wave Serial API; its frames are
// tunnelled through the device link (USB body 12, length, frame; TCP body
// 80, frame).

// The longest request payload one USB report carries (60-byte body, six
// bytes of wrapping).
inline constexpr std::size_t kMaxPlugPayload = 54;

// 01 (start of frame), LEN = n + 2, 00 (request), the payload, and the
// checksum 0xFF ^ LEN ^ 00 ^ every payload byte. Nothing for an empty or
// too long payload.
std::optional<std::vector<std::uint8_t>> BuildSerialApiFrame(std::span<const std::uint8_t> payload);

// Serial API functions the shell's requests start with.
inline constexpr std::uint8_t kSendDataFunction = 0x13;
inline constexpr std::uint8_t kAddNodeFunction = 0x4A;
inline constexpr std::uint8_t kRemoveNodeFunction = 0x4B;

// Requests the shell issues.
// Send data: the Basic Set of `value` to `node`, transmit options 0x25,
// callback id 0x44 for the infra-red values 128..254, else 0x43.
std::array<std::uint8_t, 8> SetNodeValueRequest(std::uint8_t node, std::uint8_t value);
inline constexpr std::array<std::uint8_t, 3> kStartInclusionRequest = {kAddNodeFunction, 0x01, 0x30};
inline constexpr std::array<std::uint8_t, 3> kStartExclusionRequest = {kRemoveNodeFunction, 0x01,
                                                                       0x09};
// What stops the operation a plug wait waits for: (function, 05, 00) for
// send data, inclusion and exclusion; nothing for other functions.
std::optional<std::array<std::uint8_t, 3>> PlugWaitStopRequest(std::uint8_t function);

// Sends one request frame at once, asynchronously: on TCP past the write
// queue, whose coalescing keys on the first bytes and would merge
// requests to different nodes. False, sending nothing, while the link is
// closed or for a payload BuildSerialApiFrame refuses.
bool SendPlugRequest(Link& link, std::span<const std::uint8_t> payload);

}  // namespace core::link
