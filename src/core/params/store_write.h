#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/link/commands.h"
#include "core/link/frames.h"
#include "core/link/link.h"
#include "core/params/param_model.h"

namespace core::params {

// Sends `bytes` to the processor's equaliser store at `offset` in one block
// write (0x85).
inline void SendStoreBytes(link::Link& link, std::size_t offset,
                           std::span<const std::uint8_t> bytes) {
  link.SendBlockWrite(link::cmd::kStoreWrite, link::OffsetHigh(offset), link::OffsetLow(offset),
                      bytes);
}

// Writes `bytes` into the model's store at `offset`, then sends them there.
inline void WriteStoreAndSend(link::Link& link, ParamModel& model, std::size_t offset,
                              std::span<const std::uint8_t> bytes) {
  model.WriteStoreBytes(offset, bytes);
  SendStoreBytes(link, offset, bytes);
}

}  // namespace core::params
