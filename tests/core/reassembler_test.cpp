#include "core/link/reassembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/frames.h"

namespace core::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Recorder final : Reassembler::Sink {
  void Heartbeat() override { events.push_back("HB"); }
  void HostBusy() override { events.push_back("BUSY"); }
  void Frame(std::span<const std::uint8_t> frame, std::size_t length) override {
    std::string e = "F" + std::to_string(length) + ":";
    for (std::uint8_t b : frame) e += std::to_string(b) + ",";
    events.push_back(e);
  }
  void ChecksumError() override { events.push_back("BAD"); }
  std::vector<std::string> events;
};

Bytes Envelope(Bytes body) {
  const TcpEnvelope e = MakeTcpEnvelope(body);
  return Bytes(e.Bytes().begin(), e.Bytes().end());
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}
const Bytes kHb = {'$', 'H', 'B', '$'};
const Bytes kMode = Envelope({0x81, 0x07, 0x02});   // dispatched as F4:129,7,2,
const Bytes kStatus = Envelope({0x81, 0x0E, 0x01});  // F4:129,14,1,

struct Case {
  const char* name;
  std::vector<Bytes> chunks;
  std::vector<std::string> events;
  std::size_t leftOver;
};

class ReassemblerCases : public ::testing::TestWithParam<Case> {};

TEST_P(ReassemblerCases, Stream) {
  const Case& c = GetParam();
  Reassembler r;
  Recorder rec;
  for (const Bytes& chunk : c.chunks) r.Feed(chunk, rec);
  EXPECT_EQ(rec.events, c.events);
  EXPECT_EQ(r.Buffered(), c.leftOver);
}

Bytes Corrupt(Bytes b) {
  b.back() ^= 0xFF;
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Chunks, ReassemblerCases,
    ::testing::Values(
        Case{"HeartbeatAlone", {kHb}, {"HB"}, 0},
        Case{"HeartbeatThenEnvelope", {Cat({kHb, kMode})}, {"HB", "F4:129,7,2,"}, 0},
        Case{"TwoEnvelopesInOneChunk", {Cat({kMode, kStatus})},
             {"F4:129,7,2,", "F4:129,14,1,"}, 0},
        Case{"EnvelopeInTwoChunks",
             {Bytes(kMode.begin(), kMode.begin() + 3), Bytes(kMode.begin() + 3, kMode.end())},
             {"F4:129,7,2,"}, 0},
        Case{"HeartbeatBehindEnvelope", {Cat({kMode, kHb, kStatus})},
             {"F4:129,7,2,", "HB", "F4:129,14,1,"}, 0},
        Case{"HeartbeatSplitAcrossChunks", {Cat({kMode, Bytes{'$', 'H'}}), Cat({Bytes{'B', '$'}, kStatus})},
             {"F4:129,7,2,", "HB", "F4:129,14,1,"}, 0},
        Case{"StrayBytesSkippedToTheNextEnvelope", {Cat({Bytes{0x00, 0x13, 0x24}, kMode})},
             {"F4:129,7,2,"}, 0},
        Case{"BadChecksumThenGoodFrame", {Cat({Corrupt(kMode), kStatus})},
             {"BAD", "F4:129,14,1,"}, 0},
        Case{"BusyText", {Bytes{'I', 'S', 'C', 'O', 'N', 'N', 'E', 'C', 'T', 'E', 'D'}}, {"BUSY"}, 0},
        Case{"PartialEnvelopeWaits", {Bytes(kMode.begin(), kMode.end() - 1)}, {}, 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Reassembler, OverlongWaitRestartsTheBufferAt260Bytes) {
  Reassembler r;
  Recorder rec;
  r.Feed(Bytes{0x55, 0xFF}, rec);  // claims 255 body bytes that never come
  for (int i = 0; i < 4; ++i) r.Feed(Bytes(60, 0x00), rec);
  EXPECT_EQ(r.Buffered(), 242u);
  EXPECT_TRUE(rec.events.empty());
  r.Feed(kMode, rec);  // 242 + 6 fits: still waiting
  r.Feed(Bytes(20, 0), rec);  // would pass 260: restarts with this chunk, which is stray
  r.Feed(kStatus, rec);
  EXPECT_EQ(rec.events, (std::vector<std::string>{"F4:129,14,1,"}));
}

TEST(Reassembler, ReportsBytesBehindAFrame) {
  Reassembler r;
  Recorder rec;
  EXPECT_FALSE(r.Feed(kMode, rec).moreAfterFrame);
  const auto two = r.Feed(Cat({kMode, kStatus}), rec);
  EXPECT_EQ(two.frames, 2);
  EXPECT_TRUE(two.moreAfterFrame);
}

}  // namespace
}  // namespace core::link
