#include "core/params/eq_bank.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/session.h"

#include "recording_session.h"

namespace core::params {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ParamBody(int module, int param, std::initializer_list<Word> words) {
  Bytes b = {0x09, 0x00, static_cast<std::uint8_t>(module), static_cast<std::uint8_t>(param),
             static_cast<std::uint8_t>(words.size())};
  for (Word w : words) {
    b.insert(b.end(), {static_cast<std::uint8_t>(w >> 24), static_cast<std::uint8_t>(w >> 16),
                       static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w)});
  }
  return b;
}

Bytes StoreBody(int offset, const Bytes& data) {
  Bytes b = {0x85, static_cast<std::uint8_t>(offset >> 8), static_cast<std::uint8_t>(offset),
             static_cast<std::uint8_t>(data.size())};
  for (std::uint8_t byte : data) b.push_back(byte);
  return b;
}

Word WordAt(const Bytes& body, std::size_t i) { return LoadBe32(body.data() + 5 + 4 * i); }

// The filter a band message describes, rebuilt from its five words.
Biquad FromBandMessage(const Bytes& body) {
  return Biquad{BitsFloat(WordAt(body, 2)), BitsFloat(WordAt(body, 3)), BitsFloat(WordAt(body, 4)),
                -BitsFloat(WordAt(body, 0)), -BitsFloat(WordAt(body, 1))};
}

constexpr Word kOneF = 0x3F800000;

class EqBankTest : public ::testing::Test, protected testsupport::RecordingSession {
 protected:
  EqBank& bank() { return session.Eq(); }
  ParamModel& model() { return session.Params(); }
  Bytes StoreBytes(std::size_t offset, std::size_t n) {
    const EqStore s = model().Store();
    return Bytes(s.begin() + offset, s.begin() + offset + n);
  }
  void PutRecord(int kind, int band, const BandRecord& r) {
    std::array<std::uint8_t, kBandRecordSize> bytes{};
    WriteBandRecord(r, bytes);
    model().WriteStoreBytes(EqBandOffset(kind, band), bytes);
  }
};

TEST_F(EqBankTest, BandsAreAddressedByKindModuleAndFirstParameter) {
  struct Case {
    int kind, band, module, param, offset;
  };
  const Case cases[] = {{7, 0, 5, 0, 483},    {1, 14, 1, 59, 203},  {3, 6, 2, 20, 301},
                        {0, 0, 1, 18, 0},     {6, 10, 4, 10, 476},  {15, 4, 13, 4, 1351},
                        {14, 14, 12, 14, 1316}, {5, 0, 3, 12, 357}, {10, 13, 8, 13, 7 * 127}};
  for (const Case& c : cases) {
    usb.Clear();
    ASSERT_TRUE(bank().SendEqBand(c.kind, c.band, 1, 1000, -3.0f, 1.41f, 0.0f));
    const auto bodies = usb.Bodies();
    ASSERT_EQ(bodies.size(), 2u);
    EXPECT_EQ(Bytes(bodies[0].begin(), bodies[0].begin() + 5),
              (Bytes{0x09, 0x00, static_cast<std::uint8_t>(c.module),
                     static_cast<std::uint8_t>(c.param), 5}))
        << "kind " << c.kind << " band " << c.band;
    EXPECT_EQ(bodies[0].size(), 5u + 20u);
    EXPECT_EQ(bodies[1], StoreBody(c.offset, {0x00, 0x78, 0x03, 0xE8, 0x05, 0x82, 0x01}));
    EXPECT_EQ(StoreBytes(c.offset, 7), (Bytes{0x00, 0x78, 0x03, 0xE8, 0x05, 0x82, 0x01}));
  }
}

TEST_F(EqBankTest, BandMessageIsTheFilterOfTheBand) {
  struct Case {
    int type, freq;
    float gain, q;
    double at, expected;
  };
  const Case cases[] = {{1, 1000, -3.0f, 1.41f, 1000, -3.0},    {1, 63, 12.0f, 8.0f, 63, 12.0},
                        {2, 800, 0.0f, 0.7071f, 800, -3.0103}, {3, 120, 0.0f, 0.7071f, 120, -3.0103},
                        {4, 100, 6.0f, 0.707f, 20, 6.0},       {5, 6000, -6.0f, 0.707f, 23000, -6.0}};
  for (const Case& c : cases) {
    usb.Clear();
    bank().SendEqBand(7, 2, c.type, c.freq, c.gain, c.q, 0.0f);
    const Biquad sent = FromBandMessage(usb.Bodies()[0]);
    EXPECT_NEAR(LevelDbAt(sent, c.at), c.expected, 0.3) << "type " << c.type;
    EXPECT_NEAR(LevelDbAt(sent, c.at),
                LevelDbAt(ComputeBiquad(c.gain, c.freq, c.q, 0, kEqSampleRate, c.type), c.at), 0.01)
        << "single precision keeps the curve";
  }
  // -a1, -a2 lead: a low band has its poles near z = 1, so -a1 is near 2
  // and -a2 near -1.
  usb.Clear();
  bank().SendEqBand(7, 0, 1, 31, 6.0f, 1.41f, 0.0f);
  EXPECT_NEAR(BitsFloat(WordAt(usb.Bodies()[0], 0)), 2.0, 0.01);
  EXPECT_NEAR(BitsFloat(WordAt(usb.Bodies()[0], 1)), -1.0, 0.01);
}

TEST_F(EqBankTest, OutOfRangeValuesAreClampedIntoTheRecord) {
  struct Case {
    int freq;
    float gain, q;
    Bytes record;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {5, 20.0f, 0.0f, {0x01, 0x2C, 0x00, 0x14, 0x00, 0x64, 0x01}},
      {70000, -40.0f, 100.0f, {0x00, 0x00, 0x4E, 0x20, 0x75, 0x30, 0x01}},
      {-100, nan, nan, {0x00, 0x96, 0x00, 0x14, 0x05, 0x82, 0x01}},
      {1000, 15.0f, 30.0f, {0x01, 0x2C, 0x03, 0xE8, 0x75, 0x30, 0x01}},
  };
  for (const Case& c : cases) {
    usb.Clear();
    ASSERT_TRUE(bank().SendEqBand(0, 3, 1, c.freq, c.gain, c.q, nan));
    EXPECT_EQ(usb.Bodies()[1], StoreBody(21, c.record)) << c.freq;
    for (int w = 0; w < 5; ++w) ASSERT_TRUE(std::isfinite(BitsFloat(WordAt(usb.Bodies()[0], w))));
  }
}

TEST_F(EqBankTest, BandsOutsideTheKindAreRefused) {
  const EqStore before = model().Store();
  EXPECT_FALSE(bank().SendEqBand(16, 0, 1, 1000, 0, 1));
  EXPECT_FALSE(bank().SendEqBand(-1, 0, 1, 1000, 0, 1));
  EXPECT_FALSE(bank().SendEqBand(0, 15, 1, 1000, 0, 1));
  EXPECT_FALSE(bank().SendEqBand(15, 5, 1, 1000, 0, 1)) << "would land on the sound-field levels";
  EXPECT_FALSE(bank().SendEqBand(2, -1, 1, 1000, 0, 1));
  EXPECT_FALSE(bank().SendEqBand(2, 0, 256, 1000, 0, 1));
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_EQ(model().Store(), before);
}

TEST_F(EqBankTest, WholeEqResendsEachKindsBandsAndKeepsTheStore) {
  const std::pair<int, int> counts[] = {{0, 15}, {1, 15}, {2, 7}, {5, 7}, {6, 10},
                                        {7, 13}, {14, 13}, {15, 5}};
  const EqStore before = model().Store();
  for (const auto& [kind, n] : counts) {
    usb.Clear();
    ASSERT_TRUE(bank().SendWholeEq(kind));
    const auto bodies = usb.Bodies();
    ASSERT_EQ(bodies.size(), static_cast<std::size_t>(2 * n)) << kind;
    for (int b = 0; b < n; ++b) {
      EXPECT_EQ(bodies[2 * b][3], EqKind(kind)->firstParam + b);
      EXPECT_EQ(bodies[2 * b + 1], StoreBody(EqBandOffset(kind, b),
                                             StoreBytes(EqBandOffset(kind, b), 7)));
    }
  }
  EXPECT_EQ(model().Store(), before) << "the default bands come back unchanged";
  usb.Clear();
  EXPECT_FALSE(bank().SendWholeEq(16));
  EXPECT_EQ(usb.Count(), 0u);
}

TEST_F(EqBankTest, CopyEqCopiesItsCountAndResendsTheTarget) {
  struct Case {
    int source, target, copied;
  };
  const Case cases[] = {{0, 7, 9}, {8, 12, 13}, {7, 0, 9}, {15, 0, 5}, {0, 15, 5},
                        {6, 2, 7}, {2, 6, 7},   {6, 7, 9}, {1, 0, 15}};
  for (const Case& c : cases) {
    model().BuildDefaultImage();
    model().DecodeImage();
    for (int b = 0; b < EqStoreBandCount(c.source); ++b) {
      PutRecord(c.source, b,
                {static_cast<std::uint16_t>(200 + b), static_cast<std::uint16_t>(300 + b),
                 static_cast<std::uint16_t>(900 + b), 1});
    }
    const EqStore before = model().Store();
    usb.Clear();
    ASSERT_TRUE(bank().CopyEq(c.source, c.target));
    const EqStore after = model().Store();
    for (int b = 0; b < EqStoreBandCount(c.target); ++b) {
      const auto got = ReadBand(after, c.target, b);
      const auto expected = ReadBand(before, b < c.copied ? c.source : c.target, b);
      EXPECT_EQ(got, expected) << c.source << " -> " << c.target << " band " << b;
    }
    EXPECT_EQ(usb.Count(), static_cast<std::size_t>(2 * EqKind(c.target)->sendCount));
  }
  usb.Clear();
  const EqStore before = model().Store();
  EXPECT_FALSE(bank().CopyEq(16, 0));
  EXPECT_FALSE(bank().CopyEq(0, -1));
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_EQ(model().Store(), before);
}

TEST_F(EqBankTest, ResetsPutTheDefaultAndSubwooferBands) {
  bank().ResetEq(9);  // CH3
  const int outputs[13] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 16000, 16000, 16000};
  for (int b = 0; b < 13; ++b) {
    EXPECT_EQ(ReadBand(model().Store(), 9, b), (BandSettings{1, outputs[b], 0.0f, 1.41f})) << b;
  }
  EXPECT_EQ(usb.Count(), 26u);
  usb.Clear();
  bank().ResetEq(4);
  EXPECT_EQ(usb.Count(), 14u);
  EXPECT_EQ(ReadBand(model().Store(), 4, 6)->frequency, 3200);

  usb.Clear();
  ASSERT_TRUE(bank().ResetSubEq(5));  // CH6, kind 12
  ASSERT_EQ(usb.Count(), 26u);
  const int freqs[13] = {31, 62, 250, 500, 1000, 2000, 4000, 8000, 16000, 100, 100, 100, 100};
  const int types[13] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 18, 20, 1, 1};
  for (int b = 0; b < 13; ++b) {
    const Bytes record = {0x00, 0x96, static_cast<std::uint8_t>(freqs[b] >> 8),
                          static_cast<std::uint8_t>(freqs[b]), 0x05, 0x82,
                          static_cast<std::uint8_t>(types[b])};
    EXPECT_EQ(usb.Bodies()[2 * b + 1], StoreBody(EqBandOffset(12, b), record)) << b;
    EXPECT_EQ(usb.Bodies()[2 * b][2], 10);
  }
  EXPECT_FALSE(bank().ResetSubEq(8));
  EXPECT_FALSE(bank().ResetEq(16));
}

TEST_F(EqBankTest, HfSplitFollowsBandThirteenAndTheDelayMode) {
  struct Case {
    int band13;
    int pair;
  };
  const Case cases[] = {{500, 0}, {800, 3}, {3000, 25}, {1250, 0}, {3100, 0}, {0, 0}};
  for (const Case& c : cases) {
    PutRecord(8, 13, {150, static_cast<std::uint16_t>(c.band13), 707, 3});
    EXPECT_EQ(bank().FindHfSplit(1), c.pair) << c.band13;
  }
  EXPECT_EQ(bank().FindHfSplit(8), 0);

  // 1250 Hz matches no pair: the split is resent at 500/1000 Hz.
  PutRecord(8, 13, {150, 1250, 707, 3});
  usb.Clear();
  ASSERT_TRUE(bank().SetHfSplit(1, 0));
  auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 5u);
  EXPECT_EQ(bodies[0], ParamBody(6, 17, {kOneF, kOneF}));
  EXPECT_EQ(bodies[2], StoreBody(EqBandOffset(8, 13), {0x00, 0x96, 0x01, 0xF4, 0x02, 0xC3, 0x03}));
  EXPECT_EQ(bodies[4], StoreBody(EqBandOffset(8, 14), {0x00, 0x96, 0x03, 0xE8, 0x02, 0xC3, 0x02}));
  EXPECT_EQ(model().Display().delayMode[1], 0);
  model().DecodeImage();
  EXPECT_EQ(model().Display().delayMode[1], 0) << "the image says the same";

  usb.Clear();
  ASSERT_TRUE(bank().SetHfSplit(1, 1));  // whole channel: flat bands, same pair
  bodies = usb.Bodies();
  EXPECT_EQ(bodies[0], ParamBody(6, 17, {kOneF, 0x00000000}));
  EXPECT_EQ(bodies[2], StoreBody(EqBandOffset(8, 13), {0x00, 0x96, 0x01, 0xF4, 0x02, 0xC3, 0x01}));
  EXPECT_EQ(bodies[4].back(), 0x01);
  model().DecodeImage();
  EXPECT_EQ(model().Display().delayMode[1], 1);

  usb.Clear();
  bank().SetHfSplit(1, 0);
  usb.Clear();
  ASSERT_TRUE(bank().SendHfSplit(1, 40));  // clamped to the last pair
  bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 4u);
  EXPECT_EQ(bodies[1], StoreBody(EqBandOffset(8, 13), {0x00, 0x96, 0x0B, 0xB8, 0x02, 0xC3, 0x03}));
  EXPECT_EQ(bodies[3], StoreBody(EqBandOffset(8, 14), {0x00, 0x96, 0x0D, 0xAC, 0x02, 0xC3, 0x02}));
  EXPECT_EQ(bank().FindHfSplit(1), 25);
  EXPECT_FALSE(bank().SetHfSplit(8, 0));
}

TEST_F(EqBankTest, CompressorBlocksGoToTheirRecords) {
  const std::pair<int, std::pair<int, int>> targets[] = {
      {0, {5, 27}}, {3, {8, 27}}, {7, {12, 27}}, {8, {13, 10}}};
  for (const auto& [index, address] : targets) {
    usb.Clear();
    ASSERT_TRUE(bank().SetChannelCompressor(index, -20.0f, 4.0f, 60.0f, 600.0f));
    ASSERT_EQ(usb.Count(), 1u);
    EXPECT_EQ(usb.Bodies()[0],
              ParamBody(address.first, address.second,
                        {0xC1A00000, 0, 0x3F400000, 0x41A00000, 0x3D4CCCCD, 0x39B6034A, 0x3811A20E}))
        << index;
    EXPECT_EQ(model().Display().compressors[index], (CompressorDisplay{-20.0f, 4.0f, 60.0f, 600.0f}));
  }
  EXPECT_FALSE(bank().SetChannelCompressor(9, 0, 2, 1, 1));

  // The image carries the block: decoding gives the values back.
  model().DecodeImage();
  const CompressorDisplay record = model().Display().compressors[8];
  EXPECT_FLOAT_EQ(record.threshold, -20.0f);
  EXPECT_NEAR(record.ratio, 4.0, 1e-5);
  EXPECT_NEAR(record.attackMs, 60.0, 0.01);
  EXPECT_NEAR(record.releaseMs, 600.0, 0.1);

  usb.Clear();
  bank().SetMusicCompressor(-20.0f, 4.0f, 50.0f, 600.0f);
  EXPECT_EQ(usb.Bodies()[0],
            ParamBody(4, 14, {0xC1A00000, 0, 0x3F400000, 0x41A00000, 0x3D4CCCCD, 0x39DA6867, 0x3811A20E}));
  EXPECT_EQ(model().Display().musicCompressor, (CompressorDisplay{-20.0f, 4.0f, 50.0f, 600.0f}));
}

TEST(CompressorBlock, MatchesTheProcessorsDefaultWords) {
  // The default record: ratio 30, attack 1 ms, release 100 ms.
  const auto block = EncodeCompressorBlock({0.0f, 30.0f, 1.0f, 100.0f});
  // Those words are written to six digits: agree to 5e-5 of their value.
  EXPECT_NEAR(BitsFloat(block[2]), 0.966667, 0.966667 * 5e-5);
  EXPECT_NEAR(BitsFloat(block[5]), 0.0206178, 0.0206178 * 5e-5);
  EXPECT_NEAR(BitsFloat(block[6]), 0.000208318, 0.000208318 * 5e-5);
}

TEST(CompressorBlock, ValuesABlockCannotCarryAreMadeSafe) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    CompressorDisplay in;
    std::array<Word, 7> words;
  };
  const Case cases[] = {
      {{-10, 0, 1, 100}, {0xC1200000, 0, 0, 0x41A00000, 0x3D4CCCCD, 0x3CA8E6B3, 0x395A6E3A}},
      {{nan, 0.5f, -5, nan}, {0, 0, 0, 0x41A00000, 0x3D4CCCCD, kOneF, kOneF}},
      {{0, 2, 0, inf}, {0, 0, 0x3F000000, 0x41A00000, 0x3D4CCCCD, kOneF, 0}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeCompressorBlock(c.in), c.words);
  }
  EXPECT_EQ(SanitizeCompressor({nan, 0.5f, -5, nan}), (CompressorDisplay{0, 1, 0, 0}));
}

TEST_F(EqBankTest, LoudnessLevelSendOrderFollowsTheDirection) {
  using Order = std::vector<int>;
  auto params = [this] {
    Order o;
    const auto bodies = usb.Bodies();
    for (std::size_t i = 1; i < bodies.size(); ++i) o.push_back(bodies[i][3]);
    return o;
  };
  bank().SetLoudnessLevel(0.0f);  // not above the initial 0: the falling order
  auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 7u);
  EXPECT_EQ(bodies[0], StoreBody(1410, {0, 0, 0, 0}));
  EXPECT_EQ(params(), (Order{71, 69, 68, 44, 42, 41}));
  EXPECT_EQ(bodies[1], ParamBody(1, 71, {kOneF, kOneF, 0x3F7D554A, 0xBFFEA8DC, kOneF, kOneF}));
  EXPECT_EQ(bodies[2], ParamBody(1, 69, {kOneF}));
  EXPECT_EQ(bodies[3], ParamBody(1, 68, {kOneF}));

  usb.Clear();
  bank().SetLoudnessLevel(-12.0f);  // falling
  bodies = usb.Bodies();
  EXPECT_EQ(bodies[0], StoreBody(1410, {0xC1, 0x40, 0, 0}));
  EXPECT_EQ(params(), (Order{71, 69, 68, 44, 42, 41}));
  EXPECT_EQ(bodies[1],
            ParamBody(1, 71, {0x3E809BCC, 0x3EB008BA, 0x3F7D554A, 0xBFFEA8DC, 0x3E809BCC, 0x3EB008BA}));
  EXPECT_EQ(bodies[2], ParamBody(1, 69, {0x3E809BCC}));
  EXPECT_EQ(bodies[3], ParamBody(1, 68, {0x407EC9E1}));
  EXPECT_EQ(model().Display().loudnessLevel, -12);
  EXPECT_EQ(StoreBytes(1410, 4), (Bytes{0xC1, 0x40, 0, 0}));

  usb.Clear();
  bank().SetLoudnessLevel(-6.0f);  // rising: the inverse gain goes first
  EXPECT_EQ(params(), (Order{68, 71, 69, 41, 44, 42}));
  EXPECT_EQ(model().Display().loudnessLevel, -6);
  EXPECT_FLOAT_EQ(bank().PreviousLoudnessLevel(), -6.0f);
  // The image keeps the words: the gain of channel A at its slot.
  const float gain = BitsFloat(LoadBe32(model().Image().data() + 1586));
  EXPECT_NEAR(gain, std::pow(10.0, -6.0 / 20.0), 1e-6);
}

TEST_F(EqBankTest, LoudnessLevelIsClampedToTheSlidersRange) {
  const std::pair<float, Bytes> cases[] = {{-100.0f, {0xC2, 0x20, 0, 0}},
                                           {10.0f, {0, 0, 0, 0}},
                                           {std::numeric_limits<float>::quiet_NaN(), {0, 0, 0, 0}}};
  for (const auto& [level, stored] : cases) {
    usb.Clear();
    bank().SetLoudnessLevel(level);
    EXPECT_EQ(usb.Bodies()[0], StoreBody(1410, stored)) << level;
    const auto bodies = usb.Bodies();
    for (std::size_t i = 1; i < bodies.size(); ++i) {
      const Bytes& b = bodies[i];
      for (std::size_t w = 0; w < b[4]; ++w) ASSERT_TRUE(std::isfinite(BitsFloat(WordAt(b, w))));
    }
  }
}

TEST_F(EqBankTest, LoudnessWordsAllReachTheTcpQueue) {
  link::LinkState& state = session.Link().State();
  state.networkMode = true;
  session.SetSynchronousSends(false);
  bank().SetLoudnessLevel(-3.0f);
  bank().SetLoudnessLevel(-4.0f);
  // The store write of the second call replaces the first (same key, sent
  // with coalescing on); all twelve parameter frames stay.
  EXPECT_EQ(state.queue.Size(), 13u);
  EXPECT_TRUE(state.queue.Coalescing()) << "switched back on";
  const auto frames = state.queue.Snapshot();
  EXPECT_EQ(frames[0].bytes[1], 0x85);
  EXPECT_EQ(frames[0].bytes[5], 0xC0) << "-4.0 in the remaining store write";
  EXPECT_EQ(frames[0].bytes[6], 0x80);

  state.queue.Clear();
  state.queue.SetCoalescing(false);
  bank().SetLoudnessLevel(-5.0f);
  EXPECT_FALSE(state.queue.Coalescing()) << "a switch someone else turned off stays off";
}

TEST_F(EqBankTest, ClosedLinkStillKeepsTheStore) {
  session.Link().State().open = false;
  bank().SendEqBand(15, 1, 4, 120, 6.0f, 0.7f, 0.0f);
  bank().SetLoudnessLevel(-8.0f);
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_EQ(ReadBand(model().Store(), 15, 1), (BandSettings{4, 120, 6.0f, 0.7f}));
  EXPECT_EQ(StoreBytes(1410, 4), (Bytes{0xC1, 0x00, 0, 0}));
}

}  // namespace
}  // namespace core::params
