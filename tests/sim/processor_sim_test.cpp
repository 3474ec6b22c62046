#include "sim/processor_sim.h"

#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <set>
#include <string>

#include "core/params/device_image.h"
#include "core/params/param_table.h"

namespace sim {
namespace {

using core::params::DeviceImage;
using std::chrono::milliseconds;

DeviceImage DefaultImage() {
  DeviceImage image{};
  core::params::BuildDefaultImage(image);
  return image;
}

Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Padded(std::uint8_t command, const std::string& text, std::size_t size = kTextAnswerSize) {
  Bytes out = {command};
  out.insert(out.end(), text.begin(), text.end());
  out.resize(1 + size, 0);
  return out;
}

Bytes ImageBytes(const DeviceImage& image, std::size_t offset, std::size_t n) {
  return Bytes(image.begin() + offset, image.begin() + offset + n);
}

ProcessorOptions FrozenClock() {
  ProcessorOptions o;
  o.clock = [] { return milliseconds(0); };
  return o;
}

// --- Every request and its answer ------------------------------------------

struct AnswerCase {
  const char* name;
  Bytes request;
  std::optional<SimAnswer> expected;
  friend void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<AnswerCase> AnswerCases() {
  const DeviceImage d = DefaultImage();
  const Bytes thirtyKeys(30, 0x11);
  const Bytes fourteen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  const auto settings = ProcessorSim::DefaultSettings();
  // At time 0 the six meters sit at six points of one sine period; the
  // default pitch byte is 5 (pitch 0) and the stream format 2.
  Bytes status = {0x0E, 128, 238, 238, 128, 17, 17, 0, 0x52};
  status.resize(17, 0);
  status = Cat(status, {0x42, 0x35, 0x13, 0x24, 0x10, 0x86, 0x01});
  status.resize(31, 0);

  return {
      {"NameModeSlot", {0x03, 0x02}, SimAnswer{{0x03}}},
      {"StoreMode", {0x04, 0x01}, SimAnswer{{0x04}}},
      {"LoadModeMenu", {0x05, 0x02}, SimAnswer{{0x05}}},
      {"LoadModeButton", {0x06, 0x03}, SimAnswer{{0x06}}},
      {"GetMode", {0x07}, SimAnswer{{0x07, 0x00}}},
      {"ParamFrame", {0x09, 0x00, 0x01, 0x04, 0x01, 0x3F, 0x80, 0x00, 0x00}, SimAnswer{{0x09}}},
      {"BandFrameStillAnswered", {0x09, 0x00, 0x01, 0x00, 0x01, 0, 0, 0, 1}, SimAnswer{{0x09}}},
      {"Status", {0x0E}, SimAnswer{status}},
      {"ImageRead", {0x30, 0x00, 0x00, 0x04}, SimAnswer{Cat({0x30, 0, 0, 4}, ImageBytes(d, 0, 4))}},
      {"ImageReadMidway",
       {0x30, 0x05, 0x8E, 0x03},
       SimAnswer{Cat({0x30, 0x05, 0x8E, 3}, ImageBytes(d, 1422, 3))}},
      {"ImageReadCutAtEnd",
       {0x30, 0x0D, 0xBA, 0x10},
       SimAnswer{Cat({0x30, 0x0D, 0xBA, 4}, ImageBytes(d, 3514, 4))}},
      {"ImageReadPastEnd", {0x30, 0x0D, 0xBE, 0x04}, SimAnswer{{0x30, 0x0D, 0xBE, 0}}},
      {"ImageReadAtMost56",
       {0x30, 0x00, 0x00, 100},
       SimAnswer{Cat({0x30, 0, 0, 56}, ImageBytes(d, 0, 56))}},
      {"ImageReadTooShort", {0x30, 0x00}, SimAnswer{{0x30}}},
      {"ImageWrite", {0x31, 0x00, 0x00, 0x02, 0xAA, 0xBB}, SimAnswer{{0x31}}},
      {"ImageWriteEnd", {0x32}, SimAnswer{{0x32}}},
      {"LearnKey",
       {0x60, 0x05},
       SimAnswer{{0x60, 1, 5, ProcessorSim::LearntCode(5)}, milliseconds(200)}},
      {"LearnKeyOutOfRange", {0x60, 26}, SimAnswer{{0x60, 0, 26, 0}, milliseconds(200)}},
      {"EndLearn", {0x61}, SimAnswer{{0x61}}},
      {"GetRemoteKeys", {0x62}, SimAnswer{Cat({0x62}, Bytes(16, 0))}},
      {"ApplyRemoteKeys", Cat({0x63}, thirtyKeys), SimAnswer{{0x63}}},
      {"FactoryReset", {0x68, 0xAA}, SimAnswer{{0x68}}},
      {"FactoryResetWithoutKey", {0x68, 0x00}, SimAnswer{{0x68}}},
      {"DspVersion", {0x7E}, SimAnswer{Padded(0x7E, "2016-11-30")}},
      {"McuVersion", {0x81}, SimAnswer{Padded(0x81, "2016-10-03")}},
      {"ModelName", {0x80}, SimAnswer{Padded(0x80, "NR620")}},
      {"Protocol", {0x7F}, SimAnswer{{0x7F, 20, 0, 0x00, 0x01, 0x16, 0x11, 0x02, 0x30}}},
      {"StoreWrite", {0x85, 0x00, 0x07, 0x01, 0x99}, SimAnswer{{0x85}}},
      {"Disconnect", {0x8A}, std::nullopt},
      {"WriteMachineSettings", Cat({0x91}, fourteen), SimAnswer{{0x91}}},
      {"GetMachineSettings",
       {0x92},
       SimAnswer{Cat({0x92}, Bytes(settings.begin(), settings.end()))}},
      {"UnknownCommand", {0x44, 0x01, 0x02}, SimAnswer{{0x44}}},
      {"ErrorCodeEchoed", {0x0A}, SimAnswer{{0x0A}}},
      {"EmptyBody", {}, std::nullopt},
  };
}

class Answers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(Answers, RequestGetsItsAnswer) {
  ProcessorSim sim(FrozenClock());
  const auto answer = sim.Handle(GetParam().request);
  EXPECT_EQ(answer, GetParam().expected);
  EXPECT_EQ(sim.Requests(), std::vector<Bytes>{GetParam().request});
  EXPECT_EQ(sim.Counters().answers, GetParam().expected ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(ProcessorSim, Answers, ::testing::ValuesIn(AnswerCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessorSimIdentity, OptionsAndRunTimeChangesShowInTheAnswers) {
  ProcessorOptions o;
  o.modelName = std::string(70, 'M');
  o.dspVersion = "D";
  o.protocolVersion = 17;
  o.board = {0x55, 1, 2, 3, 4, 5};
  ProcessorSim sim(o);
  EXPECT_EQ(sim.Handle(Bytes{0x80})->body,
            Padded(0x80, std::string(kMaxTextSize, 'M'), kMaxTextSize));
  EXPECT_EQ(sim.Handle(Bytes{0x7E})->body, Padded(0x7E, "D"));
  EXPECT_EQ(sim.Handle(Bytes{0x7F})->body, (Bytes{0x7F, 17, 0, 0x55, 1, 2, 3, 4, 5}));
  sim.SetProtocolVersion(19);
  sim.SetBoard({9, 8, 7, 6, 5, 4});
  EXPECT_EQ(sim.Handle(Bytes{0x7F})->body, (Bytes{0x7F, 19, 0, 9, 8, 7, 6, 5, 4}));
}

// --- Status record ----------------------------------------------------------

TEST(ProcessorSimStatus, MetersMoveWithTimeWithinTheirRange) {
  std::atomic<int> now{0};
  ProcessorOptions o;
  o.clock = [&now] { return milliseconds(now.load()); };
  ProcessorSim sim(o);
  std::set<Bytes> seen;
  for (int t = 0; t < 4000; t += 250) {
    now = t;
    const Bytes body = sim.Handle(Bytes{0x0E})->body;
    ASSERT_EQ(body.size(), 31u);
    seen.insert(Bytes(body.begin() + 1, body.begin() + 7));
  }
  EXPECT_EQ(seen.size(), 16u) << "every sample of the meters differs";
  bool low = false, high = false;
  for (const Bytes& m : seen) {
    for (std::uint8_t v : m) {
      low = low || v < 20;
      high = high || v > 235;
    }
  }
  EXPECT_TRUE(low && high) << "the meters swing over most of 0..255";
}

TEST(ProcessorSimStatus, PitchAndFormatNibbles) {
  struct Case {
    std::uint8_t pitchByte;
    std::uint8_t format;
    std::uint8_t expected;
  };
  for (const Case c : {Case{5, 2, 0x52}, Case{0, 2, 0x02}, Case{10, 3, 0xA3}, Case{9, 0x1F, 0x9F},
                       Case{200, 2, 0xA2}}) {
    ProcessorOptions o = FrozenClock();
    o.streamFormat = c.format;
    ProcessorSim sim(o);
    DeviceImage image = DefaultImage();
    image[core::params::kPitchByteOffset] = c.pitchByte;
    sim.SetImage(image);
    EXPECT_EQ(sim.Handle(Bytes{0x0E})->body[1 + 7], c.expected)
        << "pitch byte " << int(c.pitchByte) << " format " << int(c.format);
  }
}

// --- Modes -------------------------------------------------------------------

TEST(ProcessorSimModes, StoreAndLoadSlots) {
  ProcessorSim sim;
  const DeviceImage d = DefaultImage();
  sim.Handle(Bytes{0x31, 0x00, 0x10, 0x02, 0xDE, 0xAD});
  sim.Handle(Bytes{0x04, 0x02});
  DeviceImage stored = d;
  stored[0x10] = 0xDE;
  stored[0x11] = 0xAD;
  EXPECT_EQ(sim.CurrentMode(), 2);
  EXPECT_EQ(sim.ModeImage(2), stored);
  for (int other : {0, 1, 3}) EXPECT_EQ(sim.ModeImage(other), d) << "slot " << other;

  sim.Handle(Bytes{0x31, 0x00, 0x10, 0x01, 0x00});  // edit after storing
  sim.Handle(Bytes{0x05, 0x00});
  EXPECT_EQ(sim.Image(), d);
  EXPECT_EQ(sim.CurrentMode(), 0);
  EXPECT_EQ(sim.Handle(Bytes{0x07})->body, (Bytes{0x07, 0}));

  sim.Handle(Bytes{0x06, 0x02});
  EXPECT_EQ(sim.Image(), stored);
  EXPECT_EQ(sim.Handle(Bytes{0x07})->body, (Bytes{0x07, 2}));
}

TEST(ProcessorSimModes, SlotNumbersAreClamped) {
  ProcessorSim sim;
  sim.Handle(Bytes{0x31, 0x00, 0x00, 0x01, 0x77});
  sim.Handle(Bytes{0x04, 0x09});
  EXPECT_EQ(sim.CurrentMode(), 3);
  EXPECT_EQ(sim.ModeImage(3)[0], 0x77);
  sim.Handle(Bytes{0x05, 0x00});
  sim.Handle(Bytes{0x06, 0xFF});
  EXPECT_EQ(sim.CurrentMode(), 3);
  EXPECT_EQ(sim.Image()[0], 0x77);
}

TEST(ProcessorSimModes, NamedSlotIsRemembered) {
  ProcessorSim sim;
  EXPECT_FALSE(sim.NamedSlot());
  sim.Handle(Bytes{0x03, 0x01});
  EXPECT_EQ(sim.NamedSlot(), 1);
}

// --- Parameter frames -----------------------------------------------------------

TEST(ProcessorSimParams, RecordPlacesAgreeWithTheTable) {
  for (const auto& row : core::params::kParamTable) {
    if (!row.HasSlot()) continue;
    const auto place = FindRecordPlace(row.module, row.param);
    ASSERT_TRUE(place) << int(row.module) << "," << int(row.param);
    EXPECT_EQ(place->offset, static_cast<std::size_t>(row.slot));
    EXPECT_EQ(place->words, row.words);
  }
  // The pitch record has no table slot; its last byte is the pitch byte.
  const auto pitch = FindRecordPlace(4, 21);
  ASSERT_TRUE(pitch);
  EXPECT_EQ(pitch->offset + 3, core::params::kPitchByteOffset);
  EXPECT_FALSE(FindRecordPlace(1, 0));
}

struct ParamCase {
  const char* name;
  Bytes request;                                      // 09 00 module param count words
  std::vector<std::pair<std::size_t, Bytes>> writes;  // expected changes to the default image
  bool stored;
  friend void PrintTo(const ParamCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<ParamCase> ParamCases() {
  return {
      {"OneWord", {0x09, 0, 1, 4, 1, 0x3F, 0x00, 0x00, 0x02}, {{1425, {0x3F, 0, 0, 2}}}, true},
      {"SixWordBlock",
       Cat({0x09, 0, 1, 44, 6}, Bytes{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                      13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}),
       {{1600,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}}},
       true},
      {"PitchRecordWithoutTableSlot",
       {0x09, 0, 4, 21, 1, 0, 0, 0, 8},
       {{2000, {0, 0, 0, 8}}},
       true},
      {"LastRecordOfTheImage", {0x09, 0, 14, 11, 1, 1, 2, 3, 4}, {{3514, {1, 2, 3, 4}}}, true},
      {"CountBeyondRecordStopsAtItsEnd",
       {0x09, 0, 1, 4, 3, 0xA1, 0xA2, 0xA3, 0xA4, 0xB1, 0xB2, 0xB3, 0xB4, 0xC1, 0xC2, 0xC3, 0xC4},
       {{1425, {0xA1, 0xA2, 0xA3, 0xA4}}},
       true},
      {"CountBeyondWordsSentStopsAtTheData",
       {0x09, 0, 3, 8, 2, 9, 9, 9, 9, 7},
       {{1850, {9, 9, 9, 9}}},
       true},
      {"BandFrameWithoutRecord",
       {0x09, 0, 1, 0, 2, 0, 0x96, 0x03, 0xE8, 0x05, 0x86, 0x01, 0},
       {},
       false},
      {"UnknownModule", {0x09, 0, 99, 4, 1, 1, 1, 1, 1}, {}, false},
      {"HeaderCut", {0x09, 0, 1}, {}, false},
  };
}

class ParamFrames : public ::testing::TestWithParam<ParamCase> {};

TEST_P(ParamFrames, StoredOnlyInsideTheirRecord) {
  ProcessorSim sim;
  EXPECT_EQ(sim.Handle(GetParam().request)->body, Bytes{0x09});
  DeviceImage expected = DefaultImage();
  for (const auto& [offset, bytes] : GetParam().writes) {
    std::copy(bytes.begin(), bytes.end(), expected.begin() + offset);
  }
  EXPECT_EQ(sim.Image(), expected);
  EXPECT_EQ(sim.Counters().paramsStored, GetParam().stored ? 1u : 0u);
  EXPECT_EQ(sim.Counters().paramsIgnored, GetParam().stored ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(ProcessorSim, ParamFrames, ::testing::ValuesIn(ParamCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Image and store block writes ------------------------------------------------

struct BlockWriteCase {
  const char* name;
  Bytes request;
  std::vector<std::pair<std::size_t, Bytes>> writes;
  friend void PrintTo(const BlockWriteCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<BlockWriteCase> BlockWriteCases() {
  return {
      {"ImageAtStart", {0x31, 0x00, 0x00, 0x03, 1, 2, 3}, {{0, {1, 2, 3}}}},
      {"ImageInTheRecords", {0x31, 0x0D, 0x90, 0x02, 7, 8}, {{3472, {7, 8}}}},
      {"ImageCutAtTheEnd", {0x31, 0x0D, 0xBC, 0x04, 1, 2, 3, 4}, {{3516, {1, 2}}}},
      {"ImagePastTheEnd", {0x31, 0x0D, 0xBE, 0x01, 1}, {}},
      {"ImageFarPastTheEnd", {0x31, 0xFF, 0xFF, 0x01, 1}, {}},
      {"ImageCountBeyondData", {0x31, 0x00, 0x20, 0x09, 5, 6}, {{0x20, {5, 6}}}},
      {"ImageCountBelowData", {0x31, 0x00, 0x20, 0x01, 5, 6}, {{0x20, {5}}}},
      {"ImageHeaderCut", {0x31, 0x00}, {}},
      {"StoreAtStart", {0x85, 0x00, 0x00, 0x02, 9, 9}, {{0, {9, 9}}}},
      {"StoreCutAtItsEnd",
       {0x85, 0x05, 0x82, 0x0A, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
       {{1410, {1, 2, 3, 4, 5}}}},
      {"StoreNeverReachesTheRecords", {0x85, 0x05, 0x8E, 0x02, 1, 2}, {}},
  };
}

class BlockWrites : public ::testing::TestWithParam<BlockWriteCase> {};

TEST_P(BlockWrites, WrittenWithinBounds) {
  ProcessorSim sim;
  const auto answer = sim.Handle(GetParam().request);
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->body, Bytes{GetParam().request[0]});
  DeviceImage expected = DefaultImage();
  for (const auto& [offset, bytes] : GetParam().writes) {
    std::copy(bytes.begin(), bytes.end(), expected.begin() + offset);
  }
  EXPECT_EQ(sim.Image(), expected);
}

INSTANTIATE_TEST_SUITE_P(ProcessorSim, BlockWrites, ::testing::ValuesIn(BlockWriteCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessorSimBlocks, WrittenBytesReadBack) {
  ProcessorSim sim;
  Bytes data(56);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 3 + 1);
  sim.Handle(Cat({0x31, 0x07, 0xD0, 56}, data));  // offset 2000
  EXPECT_EQ(sim.Handle(Bytes{0x30, 0x07, 0xD0, 56})->body, Cat({0x30, 0x07, 0xD0, 56}, data));
}

TEST(ProcessorSimBlocks, WholeImageRoundTripsInItsBlocks) {
  ProcessorSim source, target;
  DeviceImage image{};
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 7);
  source.SetImage(image);
  for (int i = 0; i < core::params::kImageBlockCount; ++i) {
    const auto block = core::params::ImageBlockAt(i);
    const auto hi = static_cast<std::uint8_t>(block.offset >> 8);
    const auto lo = static_cast<std::uint8_t>(block.offset);
    const Bytes read =
        source.Handle(Bytes{0x30, hi, lo, static_cast<std::uint8_t>(block.size)})->body;
    ASSERT_EQ(read.size(), 4u + block.size) << "block " << i;
    Bytes write = {0x31};
    write.insert(write.end(), read.begin() + 1, read.end());
    target.Handle(write);
  }
  target.Handle(Bytes{0x32});
  EXPECT_EQ(target.Image(), image);
}

// --- Factory reset, settings, remote keys --------------------------------------

TEST(ProcessorSimReset, FactoryResetRestoresImagesAndSettings) {
  ProcessorSim sim;
  const DeviceImage d = DefaultImage();
  sim.Handle(Bytes{0x31, 0x00, 0x00, 0x01, 0x42});
  for (std::uint8_t slot = 0; slot < 4; ++slot) sim.Handle(Bytes{0x04, slot});
  sim.Handle(Cat({0x91}, Bytes(14, 0xEE)));

  sim.Handle(Bytes{0x68, 0x00});  // without the key nothing happens
  EXPECT_EQ(sim.Image()[0], 0x42);
  EXPECT_EQ(sim.Counters().factoryResets, 0u);

  sim.Handle(Bytes{0x68, 0xAA});
  EXPECT_EQ(sim.Image(), d);
  for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(sim.ModeImage(slot), d) << "slot " << slot;
  EXPECT_EQ(sim.Settings(), ProcessorSim::DefaultSettings());
  EXPECT_EQ(sim.Counters().factoryResets, 1u);
}

TEST(ProcessorSimSettings, WrittenSettingsReadBack) {
  ProcessorSim sim;
  const auto defaults = ProcessorSim::DefaultSettings();
  EXPECT_EQ(defaults[5], 0x63);
  EXPECT_EQ(defaults[6], 0x63);
  const Bytes fourteen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  sim.Handle(Cat({0x91}, fourteen));
  EXPECT_EQ(sim.Handle(Bytes{0x92})->body, Cat({0x92}, fourteen));
  sim.Handle(Bytes{0x91, 0xF0, 0xF1});  // a short write changes what it carries
  EXPECT_EQ(sim.Handle(Bytes{0x92})->body,
            Cat({0x92, 0xF0, 0xF1}, Bytes{3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
}

TEST(ProcessorSimRemoteKeys, LearntKeysLandInTheTable) {
  ProcessorOptions o;
  o.learnDelay = milliseconds(50);
  ProcessorSim sim(o);
  EXPECT_EQ(sim.Handle(Bytes{0x60, 3})->delay, milliseconds(50));
  sim.Handle(Bytes{0x60, 25});
  sim.Handle(Bytes{0x60, 0});  // out of range: nothing learnt
  sim.Handle(Bytes{0x60, 26});
  sim.Handle(Bytes{0x61});
  core::link::RemoteKeyTable expected{};
  expected[3] = ProcessorSim::LearntCode(3);
  expected[25] = ProcessorSim::LearntCode(25);
  EXPECT_EQ(sim.RemoteKeys(), expected);
  EXPECT_EQ(sim.Handle(Bytes{0x62})->body,
            Cat({0x62}, Bytes(expected.begin(), expected.begin() + 16)));
  EXPECT_NE(ProcessorSim::LearntCode(3), ProcessorSim::LearntCode(25));
}

TEST(ProcessorSimRemoteKeys, ApplyReplacesTheTable) {
  ProcessorSim sim;
  Bytes table(30);
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(100 + i);
  sim.Handle(Cat({0x63}, table));
  const auto keys = sim.RemoteKeys();
  EXPECT_EQ(Bytes(keys.begin(), keys.end()), table);
  EXPECT_EQ(sim.Handle(Bytes{0x62})->body, Cat({0x62}, Bytes(table.begin(), table.begin() + 16)));
  sim.Handle(Cat({0x63}, Bytes(40, 1)));  // bytes beyond the table are not written anywhere
  core::link::RemoteKeyTable ones;
  ones.fill(1);
  EXPECT_EQ(sim.RemoteKeys(), ones);
  sim.Handle(Bytes{0x63, 7, 7});  // a short table replaces what it carries
  ones[0] = ones[1] = 7;
  EXPECT_EQ(sim.RemoteKeys(), ones);
}

// --- Log and counters ------------------------------------------------------------

TEST(ProcessorSimLog, RequestsAndCountersInOrder) {
  ProcessorSim sim;
  const std::vector<Bytes> requests = {
      {0x7F}, {0x09, 0, 1, 0, 1, 0, 0, 0, 0}, {0x8A}, {0x44}, {0x09, 0, 1, 4, 1, 0, 0, 0, 0}};
  for (const Bytes& r : requests) sim.Handle(r);
  sim.HandlePlugFrame(Bytes{0x12, 0x01});
  std::vector<Bytes> expectedLog = requests;
  expectedLog.push_back({0x12, 0x01});
  EXPECT_EQ(sim.Requests(), expectedLog);

  SimCounters expected;
  expected.requests = 6;
  expected.answers = 4;
  expected.paramsStored = 1;
  expected.paramsIgnored = 1;
  expected.unknownCommands = 1;
  expected.disconnectNotices = 1;
  expected.plugFrames = 1;
  EXPECT_EQ(sim.Counters(), expected);

  sim.ClearRequests();
  EXPECT_TRUE(sim.Requests().empty());
}

}  // namespace
}  // namespace sim
