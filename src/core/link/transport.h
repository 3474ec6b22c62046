#pragma once

#include <cstdint>
#include <span>

#include "core/link/frames.h"

namespace core::link {

// The byte mover under the link: it wraps one frame body the way its wire
// wants (a 61-byte report on USB, an envelope on TCP) and writes it. Pacing,
// locking and the open/closed checks are the link's; a transport only writes.
class Transport {
 public:
  virtual ~Transport() = default;
  virtual LinkType Type() const = 0;
  // Returns the number of bytes written (61 for a whole report), 0 on failure.
  virtual int Write(std::span<const std::uint8_t> body) = 0;
};

}  // namespace core::link
