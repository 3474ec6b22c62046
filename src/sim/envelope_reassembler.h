#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/processor_sim.h"

namespace sim {

// One envelope taken from the stream: its prefix byte (0x81 processor,
// 0x80 smart-plug pass-through) and the body after it, checksum removed.
struct ReceivedFrame {
  std::uint8_t prefix = 0;
  Bytes body;
  friend bool operator==(const ReceivedFrame&, const ReceivedFrame&) = default;
};

struct ReassemblyCounters {
  std::size_t frames = 0;
  std::size_t heartbeats = 0;
  std::size_t strayBytes = 0;
  std::size_t badChecksums = 0;
  friend bool operator==(const ReassemblyCounters&, const ReassemblyCounters&) = default;
};

// Cuts a client's byte stream into envelopes. Bytes may arrive in any
// chunking; an envelope or heartbeat split across chunks waits for the
// rest. Heartbeats are consumed, stray bytes skipped up to the next
// envelope start or heartbeat, envelopes with a wrong checksum dropped.
class EnvelopeReassembler {
 public:
  // Takes the next chunk and returns the envelopes it completed.
  std::vector<ReceivedFrame> Feed(std::span<const std::uint8_t> chunk);
  // Forgets a partial envelope (a new connection starts clean).
  void Reset() { pending_.clear(); }

  std::size_t Pending() const { return pending_.size(); }
  const ReassemblyCounters& Counters() const { return counters_; }

 private:
  Bytes pending_;
  ReassemblyCounters counters_;
};

}  // namespace sim
