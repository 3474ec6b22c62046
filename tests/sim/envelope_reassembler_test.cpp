#include "sim/envelope_reassembler.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "test_client.h"

namespace sim {
namespace {

using testing::Concat;
using testing::Envelope;
using testing::kHeartbeatBytes;

Bytes WithBadChecksum(Bytes envelope) {
  envelope.back() ^= 0x5A;
  return envelope;
}

struct ReassemblyCase {
  const char* name;
  std::vector<Bytes> chunks;
  std::vector<ReceivedFrame> frames;
  ReassemblyCounters counters;
  std::size_t pending = 0;  // bytes still waiting after the last chunk
  friend void PrintTo(const ReassemblyCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<ReassemblyCase> Cases() {
  const Bytes status = Envelope({0x0E});
  const Bytes read = Envelope({0x30, 0x00, 0x38, 0x38});
  const Bytes plug = Envelope({0x12, 0x01, 0x02}, 0x80);
  const ReceivedFrame statusFrame{0x81, {0x0E}};
  const ReceivedFrame readFrame{0x81, {0x30, 0x00, 0x38, 0x38}};
  const auto split = [](const Bytes& b, std::size_t at) {
    return std::vector<Bytes>{Bytes(b.begin(), b.begin() + at), Bytes(b.begin() + at, b.end())};
  };
  std::vector<Bytes> byteByByte;
  for (std::uint8_t b : Concat({status, kHeartbeatBytes, read})) byteByByte.push_back({b});

  return {
      {"Whole", {status}, {statusFrame}, {1, 0, 0, 0}},
      {"SplitAfterStart", split(read, 1), {readFrame}, {1, 0, 0, 0}},
      {"SplitInsidePayload", split(read, 5), {readFrame}, {1, 0, 0, 0}},
      {"SplitBeforeChecksum", split(read, read.size() - 1), {readFrame}, {1, 0, 0, 0}},
      {"SeveralInOneChunk",
       {Concat({status, read, status})},
       {statusFrame, readFrame, statusFrame},
       {3, 0, 0, 0}},
      {"ByteByByteWithHeartbeat", byteByByte, {statusFrame, readFrame}, {2, 1, 0, 0}},
      {"HeartbeatSplit", {{'$', 'H'}, {'B', '$'}, status}, {statusFrame}, {1, 1, 0, 0}},
      {"HeartbeatsAroundEnvelopes",
       {Concat({kHeartbeatBytes, status, kHeartbeatBytes})},
       {statusFrame},
       {1, 2, 0, 0}},
      {"StrayBytesSkipped",
       {Concat({{0x00, 'A', 0x7F}, status, {0x13}, read})},
       {statusFrame, readFrame},
       {2, 0, 4, 0}},
      {"NotAHeartbeat", {Concat({{'$', 'H', 'X', '$', '$'}, status})}, {statusFrame}, {1, 0, 5, 0}},
      {"BadChecksumDropped",
       {Concat({WithBadChecksum(read), status})},
       {statusFrame},
       {1, 0, 0, 1}},
      {"PlugPrefixKept", {plug}, {{0x80, {0x12, 0x01, 0x02}}}, {1, 0, 0, 0}},
      {"PartialEnvelopeWaits",
       {Bytes(read.begin(), read.end() - 2)},
       {},
       {0, 0, 0, 0},
       read.size() - 2},
      {"PartialHeartbeatWaits", {{'$', 'H', 'B'}}, {}, {0, 0, 0, 0}, 3},
      {"TooShortToCarryAPrefix",
       {Concat({{0x55, 0x01, 0xFE}, status})},
       {statusFrame},
       {1, 0, 3, 0}},
  };
}

class Reassembly : public ::testing::TestWithParam<ReassemblyCase> {};

TEST_P(Reassembly, FramesFromChunks) {
  EnvelopeReassembler r;
  std::vector<ReceivedFrame> frames;
  for (const Bytes& chunk : GetParam().chunks) {
    for (auto& f : r.Feed(chunk)) frames.push_back(std::move(f));
  }
  EXPECT_EQ(frames, GetParam().frames);
  EXPECT_EQ(r.Counters(), GetParam().counters);
  EXPECT_EQ(r.Pending(), GetParam().pending);
}

INSTANTIATE_TEST_SUITE_P(SimReassembler, Reassembly, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimReassembler, ResetForgetsAPartialEnvelope) {
  EnvelopeReassembler r;
  const Bytes status = Envelope({0x0E});
  r.Feed(Bytes(status.begin(), status.begin() + 2));
  r.Reset();
  EXPECT_EQ(r.Pending(), 0u);
  EXPECT_EQ(r.Feed(status), (std::vector<ReceivedFrame>{{0x81, {0x0E}}}));
}

}  // namespace
}  // namespace sim
