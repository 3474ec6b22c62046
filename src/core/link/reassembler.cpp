#include "core/link/reassembler.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "core/link/commands.h"
#include "core/link/frames.h"
#include "core/trace.h"

namespace core::link {
namespace {

enum class Match { No, Partial, Whole };

Match MatchText(std::span<const std::uint8_t> bytes, std::string_view text) {
  const std::size_t n = std::min(bytes.size(), text.size());
  if (std::memcmp(bytes.data(), text.data(), n) != 0) return Match::No;
  return n == text.size() ? Match::Whole : Match::Partial;
}

}  // namespace

void Reassembler::Consume(std::size_t n) {
  std::memmove(buffer_.data(), buffer_.data() + n, fill_ - n);
  fill_ -= n;
}

Reassembler::Result Reassembler::Feed(std::span<const std::uint8_t> chunk, Sink& sink) {
  Result result;
  chunk = chunk.first(std::min(chunk.size(), kCapacity));
  if (fill_ + chunk.size() > kCapacity) fill_ = 0;  // the buffer restarts
  std::memcpy(buffer_.data() + fill_, chunk.data(), chunk.size());
  fill_ += chunk.size();

  while (fill_ > 0) {
    const std::span<const std::uint8_t> buffered(buffer_.data(), fill_);
    if (buffered[0] == kEnvelopeStart) {
      EnvelopeView view;
      const EnvelopeResult r = ParseTcpEnvelope(buffered, view);
      if (r == EnvelopeResult::Incomplete) break;
      if (r == EnvelopeResult::Ok) {
        // The dispatcher gets the bytes that came, without the checksum.
        sink.Frame(view.frame.first(view.frame.empty() ? 0 : view.frame.size() - 1),
                   view.frame.size());
      } else {
        Trace("ProcessRxBuf Checksum error\n ");
        sink.ChecksumError();
      }
      ++result.frames;
      Consume(view.envelopeSize);
      if (fill_ > 0) result.moreAfterFrame = true;
      continue;
    }
    const Match hb = MatchText(buffered, kHeartbeatText);
    if (hb == Match::Whole) {
      sink.Heartbeat();
      Consume(kHeartbeatText.size());
      continue;
    }
    const Match busy = MatchText(buffered, kBusyText);
    if (busy == Match::Whole) {
      sink.HostBusy();
      Consume(kBusyText.size());
      continue;
    }
    if (hb == Match::Partial || busy == Match::Partial) break;  // wait for the rest
    Consume(1);  // a stray byte
  }
  return result;
}

}  // namespace core::link
