#include "sim/envelope_reassembler.h"

#include <algorithm>

#include "core/link/commands.h"
#include "core/link/frames.h"

namespace sim {
namespace {

using core::link::kEnvelopeStart;
using core::link::kHeartbeatText;

bool IsResyncPoint(std::uint8_t b) {
  return b == kEnvelopeStart || b == kHeartbeatText[0];
}

}  // namespace

std::vector<ReceivedFrame> EnvelopeReassembler::Feed(std::span<const std::uint8_t> chunk) {
  pending_.insert(pending_.end(), chunk.begin(), chunk.end());
  std::vector<ReceivedFrame> frames;
  const std::span<const std::uint8_t> all(pending_);
  std::size_t pos = 0;
  while (pos < all.size()) {
    const auto rest = all.subspan(pos);
    if (rest[0] == kEnvelopeStart) {
      core::link::EnvelopeView view;
      const auto result = core::link::ParseTcpEnvelope(rest, view);
      if (result == core::link::EnvelopeResult::Incomplete) break;
      if (result == core::link::EnvelopeResult::BadChecksum) {
        ++counters_.badChecksums;
      } else if (view.frame.size() >= 2) {
        // The frame ends with the checksum byte.
        frames.push_back({view.frame[0], Bytes(view.frame.begin() + 1, view.frame.end() - 1)});
        ++counters_.frames;
      } else {
        counters_.strayBytes += view.envelopeSize;  // too short to carry a prefix
      }
      pos += view.envelopeSize;
      continue;
    }
    if (rest[0] == kHeartbeatText[0]) {
      const std::size_t n = std::min(rest.size(), kHeartbeatText.size());
      if (std::equal(rest.begin(), rest.begin() + n, kHeartbeatText.begin())) {
        if (n < kHeartbeatText.size()) break;  // the rest of it is still on its way
        ++counters_.heartbeats;
        pos += n;
        continue;
      }
    }
    // A stray byte: skip it and everything up to the next place to resync.
    const auto next = std::find_if(rest.begin() + 1, rest.end(), IsResyncPoint);
    const auto skipped = static_cast<std::size_t>(next - rest.begin());
    counters_.strayBytes += skipped;
    pos += skipped;
  }
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(pos));
  return frames;
}

}  // namespace sim
