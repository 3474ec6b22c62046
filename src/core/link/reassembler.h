#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace core::link {

// Turns the TCP byte stream from the processor into envelopes. Besides
// envelopes the stream carries the heartbeat "$HB$" (to be echoed) and,
// from a processor serving someone else, "ISCONNECTED". Either may arrive
// in the same chunk as envelopes, before or behind them, or split across
// chunks, so both are recognised at every frame boundary; bytes that start
// none of the three are skipped. The buffer holds 260 bytes: a chunk that
// would overflow it restarts it.
class Reassembler {
 public:
  static constexpr std::size_t kCapacity = 260;

  class Sink {
   public:
    virtual ~Sink() = default;
    virtual void Heartbeat() = 0;
    virtual void HostBusy() = 0;
    // One checked envelope: prefix, command, payload (without the
    // checksum), and the envelope's length byte.
    virtual void Frame(std::span<const std::uint8_t> frame, std::size_t length) = 0;
    virtual void ChecksumError() = 0;
  };

  struct Result {
    int frames = 0;             // envelopes handed on (good or bad checksum)
    bool moreAfterFrame = false;  // bytes followed an envelope in the buffer
  };

  Result Feed(std::span<const std::uint8_t> chunk, Sink& sink);
  std::size_t Buffered() const { return fill_; }
  void Clear() { fill_ = 0; }

 private:
  void Consume(std::size_t n);

  std::array<std::uint8_t, kCapacity> buffer_{};
  std::size_t fill_ = 0;
};

}  // namespace core::link
