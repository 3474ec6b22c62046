#include "core/link/plug_requests.h"

#include <mutex>

#include "core/link/commands.h"
#include "core/link/link.h"
#include "core/trace.h"

namespace core::link {

std::optional<std::vector<std::uint8_t>> BuildSerialApiFrame(std::span<const std::uint8_t> payload) {
  if (payload.empty() || payload.size() > kMaxPlugPayload) return std::nullopt;
  const auto length = static_cast<std::uint8_t>(payload.size() + 2);
  std::vector<std::uint8_t> frame = {0x01, length, 0x00};
  std::uint8_t checksum = 0xFF ^ length ^ 0x00;
  for (std::uint8_t b : payload) {
    frame.push_back(b);
    checksum ^= b;
  }
  frame.push_back(checksum);
  return frame;
}

std::array<std::uint8_t, 8> SetNodeValueRequest(std::uint8_t node, std::uint8_t value) {
  const std::uint8_t callback = value >= 128 && value <= 254 ? 0x44 : 0x43;
  return {kSendDataFunction, node, 0x03, 0x20, 0x01, value, 0x25, callback};
}

std::optional<std::array<std::uint8_t, 3>> PlugWaitStopRequest(std::uint8_t function) {
  if (function != kSendDataFunction && function != kAddNodeFunction &&
      function != kRemoveNodeFunction) {
    return std::nullopt;
  }
  return std::array<std::uint8_t, 3>{function, 0x05, 0x00};
}

bool SendPlugRequest(Link& link, std::span<const std::uint8_t> payload) {
  const auto frame = BuildSerialApiFrame(payload);
  if (!frame) {
    Trace("SendPlugRequest: payload of " + std::to_string(payload.size()) + " bytes refused");
    return false;
  }
  if (!link.IsOpen()) return false;
  std::vector<std::uint8_t> body;
  if (link.ActiveType() == LinkType::Usb) {
    body = {cmd::kPlugFrame, static_cast<std::uint8_t>(frame->size())};
    body.insert(body.end(), frame->begin(), frame->end());
    return link.WriteUsbData(body, false) > 0;
  }
  body = {kTcpPlugPrefix};
  body.insert(body.end(), frame->begin(), frame->end());
  std::lock_guard lock(link.State().linkLock);
  return link.NetSend(body) > 0;
}

}  // namespace core::link
