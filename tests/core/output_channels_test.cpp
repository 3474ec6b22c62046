#include "core/params/output_channels.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/session.h"

#include "recording_session.h"

namespace core::params {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Channels = std::vector<int>;

Bytes ParamBody(int module, int param, std::initializer_list<Word> words) {
  Bytes b = {0x09, 0x00, static_cast<std::uint8_t>(module), static_cast<std::uint8_t>(param),
             static_cast<std::uint8_t>(words.size())};
  for (Word w : words) {
    b.insert(b.end(), {static_cast<std::uint8_t>(w >> 24), static_cast<std::uint8_t>(w >> 16),
                       static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w)});
  }
  return b;
}

Bytes Head(const Bytes& body, std::size_t n) {
  return Bytes(body.begin(), body.begin() + n);
}

// The first n words of a parameter frame's body.
std::vector<Word> WordsOf(const Bytes& body, std::size_t n) {
  std::vector<Word> words;
  for (std::size_t i = 0; i < n; ++i) words.push_back(LoadBe32(body.data() + 5 + 4 * i));
  return words;
}

constexpr SpeakerLinks kNoLinks{};
constexpr SpeakerLinks kFrontLinked{true, false, false};
constexpr SpeakerLinks kAllLinked{true, true, true};

class OutputChannelsTest : public ::testing::Test, protected testsupport::RecordingSession {
 protected:
  OutputChannels& out() { return session.Outputs(); }
  ParamModel& model() { return session.Params(); }
  void SetPositions(const std::array<int, 8>& positions) {
    for (int c = 0; c < 8; ++c) model().SetParam(5 + c, 16, positions[static_cast<std::size_t>(c)]);
    usb.Clear();
  }
  void PutRecord(int kind, int band, const Bytes& record) {
    model().WriteStoreBytes(static_cast<std::size_t>(EqBandOffset(kind, band)), record);
  }
};

TEST_F(OutputChannelsTest, LinkedSets) {
  struct Case {
    std::array<int, 8> positions;
    SpeakerLinks links;
    int channel;
    Channels set;
  };
  const std::array<int, 8> plain = {0, 1, 4, 5, 2, 3, 6, 7};
  const Case cases[] = {
      {plain, kFrontLinked, 0, {0, 1}},
      {plain, kFrontLinked, 1, {0, 1}},
      {plain, kNoLinks, 0, {0}},
      {plain, {false, true, true}, 0, {0}},  // only the front box counts for a front speaker
      {plain, kAllLinked, 2, {2}},           // the subwoofer never links
      {plain, kAllLinked, 3, {3}},           // nor the centre
      {plain, {false, true, false}, 5, {4, 5}},
      {plain, {false, false, true}, 6, {6, 7}},
      {plain, {false, false, true}, 4, {4}},                   // side speaker, back box
      {{1, 0, 0, 4, 4, 5, 2, 2}, kFrontLinked, 2, {0, 1, 2}},  // two channels at FL
      {{1, 0, 0, 4, 4, 5, 2, 2}, kAllLinked, 6, {6, 7}},       // both SL, no SR
      {{1, 0, 0, 4, 4, 5, 2, 2}, kAllLinked, 3, {3}},          // two subwoofers stay apart
      {plain, kAllLinked, 8, {}},
      {plain, kAllLinked, -1, {}},
  };
  for (const Case& c : cases) {
    SetPositions(c.positions);
    EXPECT_EQ(out().LinkedSet(c.channel, c.links), c.set) << "channel " << c.channel;
  }
  SetPositions({1, 0, 7, 6, 5, 4, 3, 2});
  EXPECT_EQ(out().PairChannels(SpeakerPair::Front), (Channels{0, 1}));
  EXPECT_EQ(out().PairChannels(SpeakerPair::Side), (Channels{6, 7}));
  EXPECT_EQ(out().PairChannels(SpeakerPair::Back), (Channels{2, 3}));
}

TEST_F(OutputChannelsTest, PositionIsClamped) {
  model().SetParam(5, 16, 200);
  EXPECT_EQ(out().Position(0), 7);
  out().SetPosition(1, 9);
  EXPECT_EQ(usb.Bodies().back(), ParamBody(6, 16, {0x07}));
  EXPECT_EQ(out().Position(1), 7);
}

TEST_F(OutputChannelsTest, ReverbLevelOnTheRightFrontReachesBothFronts) {
  SetPositions({0, 1, 4, 5, 2, 3, 6, 7});
  ASSERT_TRUE(out().SetMix(1, kFrontLinked, 1, 50));
  EXPECT_EQ(usb.Bodies(),
            (std::vector<Bytes>{ParamBody(5, 21, {0x3F000002}), ParamBody(6, 21, {0x3F000002})}));
  usb.Clear();
  out().SetMix(1, kNoLinks, 3, 150);  // music, clamped to 100
  EXPECT_EQ(usb.Bodies(), (std::vector<Bytes>{ParamBody(6, 23, {0x3F800001})}));
  usb.Clear();
  EXPECT_FALSE(out().SetMix(1, kFrontLinked, 4, 50));
  EXPECT_EQ(usb.Count(), 0u);
}

TEST_F(OutputChannelsTest, EqBypassTogglesFromThePageChannelsValue) {
  SetPositions({0, 1, 4, 5, 2, 3, 6, 7});
  model().SetParam(5, 15, 0);
  model().SetParam(6, 15, 1);  // the partner's value does not decide
  usb.Clear();
  EXPECT_EQ(out().ToggleEqBypass(0, kFrontLinked), 1);
  EXPECT_EQ(usb.Bodies(), (std::vector<Bytes>{ParamBody(5, 15, {0x01}), ParamBody(6, 15, {0x01})}));
  usb.Clear();
  EXPECT_EQ(out().ToggleEqBypass(1, kFrontLinked), 0);
  EXPECT_EQ(usb.Bodies(), (std::vector<Bytes>{ParamBody(5, 15, {0x00}), ParamBody(6, 15, {0x00})}));
  EXPECT_FALSE(out().ToggleEqBypass(8, kFrontLinked).has_value());
}

TEST_F(OutputChannelsTest, PerChannelEditsSendOneFrame) {
  struct Case {
    const char* what;
    void (*edit)(OutputChannels&);
    Bytes body;
  };
  const Case cases[] = {
      {"mute CH3", [](OutputChannels& o) { o.SetMute(2, true); }, ParamBody(7, 26, {0})},
      {"unmute CH3", [](OutputChannels& o) { o.SetMute(2, false); },
       ParamBody(7, 26, {0x3F800001})},
      {"phase CH8", [](OutputChannels& o) { o.SetPhase(7, true); },
       ParamBody(12, 25, {0xBF7FFFFE})},
      {"phase off CH1", [](OutputChannels& o) { o.SetPhase(0, false); },
       ParamBody(5, 25, {0x3F800001})},
      {"delay on", [](OutputChannels& o) { o.SetDelaySwitch(3, true); }, ParamBody(8, 19, {0})},
      {"delay off", [](OutputChannels& o) { o.SetDelaySwitch(3, false); }, ParamBody(8, 19, {1})},
      {"position", [](OutputChannels& o) { o.SetPosition(4, 5); }, ParamBody(9, 16, {5})},
  };
  SetPositions({0, 1, 0, 1, 0, 1, 0, 1});  // everything linkable: still one frame each
  for (const Case& c : cases) {
    usb.Clear();
    c.edit(out());
    EXPECT_EQ(usb.Bodies(), std::vector<Bytes>{c.body}) << c.what;
  }
  usb.Clear();
  EXPECT_FALSE(out().SetMute(8, true));
  EXPECT_FALSE(out().SetPhase(-1, true));
  EXPECT_EQ(usb.Count(), 0u);
}

TEST_F(OutputChannelsTest, DelayIsSentOnlyWhenItChanges) {
  ASSERT_TRUE(out().SetDelay(0, 10.0f));
  EXPECT_EQ(usb.Bodies(), std::vector<Bytes>{ParamBody(5, 18, {480})});
  usb.Clear();
  EXPECT_FALSE(out().SetDelay(0, 10.0f));
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_TRUE(out().SetDelay(0, 0.5f));  // the slider's bottom is 1.4 ms
  EXPECT_EQ(usb.Bodies(), std::vector<Bytes>{ParamBody(5, 18, {67})});
  EXPECT_FALSE(out().SetDelay(0, 1.0f)) << "clamps to the 1.4 ms already held";
  EXPECT_TRUE(out().SetDelay(0, 250.0f));
  EXPECT_EQ(usb.Bodies().back(), ParamBody(5, 18, {4800}));
  EXPECT_FALSE(out().SetDelay(0, std::numeric_limits<float>::quiet_NaN()));
  EXPECT_EQ(usb.Count(), 2u);
}

TEST_F(OutputChannelsTest, CompressorIsClampedAndSentToTheLinkedSet) {
  SetPositions({4, 5, 2, 3, 0, 1, 6, 7});
  ASSERT_TRUE(out().SetCompressor(3, {false, true, false}, -80.0f, 0.5f, 0.0f, 5000.0f));
  const auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 2u);
  // Threshold -60 dB, ratio 1:1 (slope 0), 20.0, 0.05.
  EXPECT_EQ(Head(bodies[0], 5), (Bytes{0x09, 0x00, 7, 27, 7}));
  EXPECT_EQ(WordsOf(bodies[0], 4), (std::vector<Word>{0xC2700000, 0, 0, 0x41A00000}));
  EXPECT_EQ(Head(bodies[1], 5), (Bytes{0x09, 0x00, 8, 27, 7}));
  const CompressorDisplay expected{-60.0f, 1.0f, 1.0f, 1000.0f};
  EXPECT_EQ(model().Display().compressors[2], expected);
  EXPECT_EQ(model().Display().compressors[3], expected);

  usb.Clear();
  out().SetCompressorSwitch(2, {false, true, false}, true);
  out().SetCompressorSwitch(0, kAllLinked, false);  // the subwoofer alone
  EXPECT_EQ(usb.Bodies(), (std::vector<Bytes>{ParamBody(7, 28, {0}), ParamBody(8, 28, {0}),
                                              ParamBody(5, 28, {1})}));
}

TEST_F(OutputChannelsTest, DelayModeAndSplit) {
  SetPositions({0, 1, 4, 5, 2, 3, 6, 7});
  PutRecord(7, 13, {0x00, 0x96, 0x02, 0xBC, 0x02, 0xC3, 0x03});  // 700 Hz: pair 2
  PutRecord(8, 13, {0x00, 0x96, 0x04, 0xE2, 0x02, 0xC3, 0x03});  // 1250 Hz: no pair, 0
  ASSERT_TRUE(out().SetDelayMode(0, kFrontLinked, 1));
  const auto bodies = usb.Bodies();
  // Per channel: parameter 17, then bands 13 and 14 (message and record).
  ASSERT_EQ(bodies.size(), 10u);
  EXPECT_EQ(bodies[0], ParamBody(5, 17, {0x3F800000, 0}));
  // CH1's bands 13 and 14 at 483 + 91 and + 98: flat PEQs at 700 / 1200 Hz.
  EXPECT_EQ(Head(bodies[1], 5), (Bytes{0x09, 0x00, 5, 13, 5}));
  EXPECT_EQ(bodies[2], (Bytes{0x85, 0x02, 0x3E, 7, 0x00, 0x96, 0x02, 0xBC, 0x02, 0xC3, 0x01}));
  EXPECT_EQ(bodies[4], (Bytes{0x85, 0x02, 0x45, 7, 0x00, 0x96, 0x04, 0xB0, 0x02, 0xC3, 0x01}));
  EXPECT_EQ(bodies[5], ParamBody(6, 17, {0x3F800000, 0}));
  // CH2's band 13 at 588 + 91: 500 Hz.
  EXPECT_EQ(bodies[7], (Bytes{0x85, 0x02, 0xA7, 7, 0x00, 0x96, 0x01, 0xF4, 0x02, 0xC3, 0x01}));
  EXPECT_EQ(model().Display().delayMode[1], 1);

  usb.Clear();
  out().SetDelayMode(0, kFrontLinked, 0);
  out().SetSplit(1, 40);  // clamped to pair 25: 3000/3500 Hz, high-pass and low-pass
  const auto split = usb.Bodies();
  ASSERT_EQ(split.size(), 14u);
  EXPECT_EQ(split[0], ParamBody(5, 17, {0x3F800000, 0x3F800000}));
  EXPECT_EQ(Head(split[10], 5), (Bytes{0x09, 0x00, 6, 13, 5}));
  EXPECT_EQ(split[11], (Bytes{0x85, 0x02, 0xA7, 7, 0x00, 0x96, 0x0B, 0xB8, 0x02, 0xC3, 0x03}));
  EXPECT_EQ(split[13], (Bytes{0x85, 0x02, 0xAE, 7, 0x00, 0x96, 0x0D, 0xAC, 0x02, 0xC3, 0x02}));
}

TEST_F(OutputChannelsTest, ResetUsesTheSubwooferVariantPerChannel) {
  SetPositions({4, 1, 0, 5, 2, 3, 6, 7});
  EXPECT_EQ(out().ResetEq(0, kAllLinked), 1);
  auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 26u);
  // CH1 band 9 at 483 + 63: the crossover type 18 at 100 Hz, gain 0, Q 1.41.
  EXPECT_EQ(Head(bodies[18], 5), (Bytes{0x09, 0x00, 5, 9, 5}));
  EXPECT_EQ(bodies[19], (Bytes{0x85, 0x02, 0x22, 7, 0x00, 0x96, 0x00, 0x64, 0x05, 0x82, 0x12}));
  EXPECT_EQ(bodies[5], (Bytes{0x85, 0x01, 0xF1, 7, 0x00, 0x96, 0x00, 0xFA, 0x05, 0x82, 0x01}));

  usb.Clear();
  EXPECT_EQ(out().ResetEq(1, kFrontLinked), 2);
  bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 52u);
  // CH2 band 9 (588 + 63) and CH3 band 2 (693 + 14): the output defaults.
  EXPECT_EQ(bodies[19], (Bytes{0x85, 0x02, 0x8B, 7, 0x00, 0x96, 0x3E, 0x80, 0x05, 0x82, 0x01}));
  EXPECT_EQ(Head(bodies[26], 5), (Bytes{0x09, 0x00, 7, 0, 5}));
  EXPECT_EQ(bodies[31], (Bytes{0x85, 0x02, 0xC3, 7, 0x00, 0x96, 0x00, 0x7D, 0x05, 0x82, 0x01}));
  EXPECT_EQ(out().ResetEq(8, kAllLinked), 0);
}

TEST_F(OutputChannelsTest, SendBandReachesTheLinkedSet) {
  SetPositions({6, 0, 0, 0, 0, 0, 0, 7});
  ASSERT_TRUE(out().SendBand(7, {false, false, true}, 3, BandSettings{1, 1000, -3.0f, 1.41f}));
  const auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 4u);
  EXPECT_EQ(Head(bodies[0], 5), (Bytes{0x09, 0x00, 5, 3, 5}));
  EXPECT_EQ(bodies[1], (Bytes{0x85, 0x01, 0xF8, 7, 0x00, 0x78, 0x03, 0xE8, 0x05, 0x82, 0x01}));
  EXPECT_EQ(Head(bodies[2], 5), (Bytes{0x09, 0x00, 12, 3, 5}));
  usb.Clear();
  EXPECT_FALSE(out().SendBand(0, kNoLinks, 13, BandSettings{})) << "the split is not a user band";
  EXPECT_EQ(usb.Count(), 0u);
}

TEST_F(OutputChannelsTest, ComparisonSeesEveryUserRecord) {
  out().Copy(0, 1);
  ASSERT_TRUE(out().Equal(0, 1));
  ASSERT_TRUE(out().Equal(1, 0));
  struct Case {
    int band;
    std::size_t byte;  // of the 7-byte record: gain 0..1, frequency 2..3, Q 4..5, type 6
    bool equal;
  };
  const Case cases[] = {{0, 1, false},
                        {5, 3, false},
                        {7, 5, false},
                        {12, 6, false},
                        {14, 6, true}};  // the split's high band is not a user band
  for (const Case& c : cases) {
    const EqStore before = model().Store();
    const auto at = static_cast<std::size_t>(EqBandOffset(8, c.band)) + c.byte;
    model().WriteStoreBytes(at, Bytes{static_cast<std::uint8_t>(before[at] ^ 0x01)});
    EXPECT_EQ(out().Equal(0, 1), c.equal) << "band " << c.band << " byte " << c.byte;
    model().WriteStoreBytes(0, before);
  }
  EXPECT_FALSE(out().Equal(0, 8));
}

TEST_F(OutputChannelsTest, ComparisonSeesTheScalarsAndTheDisplayValues) {
  out().Copy(0, 1);
  const EqStore store = model().Store();
  const DisplayValues display = model().Display();
  struct Case {
    const char* what;
    void (*change)(Session&);
  };
  const Case cases[] = {
      {"direct", [](Session& s) { s.Params().SetParam(6, 20, 3); }},
      {"music", [](Session& s) { s.Params().SetParam(6, 23, 3); }},
      {"bypass", [](Session& s) { s.Params().SetParam(6, 15, 7); }},
      {"delay switch", [](Session& s) { s.Params().SetParam(6, 19, 7); }},
      {"delay", [](Session& s) { s.Params().SetParam(6, 18, 33.3f); }},
      {"compressor switch", [](Session& s) { s.Params().SetParam(6, 28, 7); }},
      {"delay mode",
       [](Session& s) { s.Params().SetDelayMode(1, 1 - s.Params().Display().delayMode[1]); }},
      {"split", [](Session& s) { s.Eq().SendHfSplit(1, (1 + s.Eq().FindHfSplit(1)) % 26); }},
      {"release",
       [](Session& s) {
         CompressorDisplay v = s.Params().Display().compressors[1];
         v.releaseMs += 1.0f;
         s.Params().SetCompressorDisplay(1, v);
       }},
  };
  for (const Case& c : cases) {
    const ParamValue saved[] = {model().Mirror(6, 20), model().Mirror(6, 23),
                                model().Mirror(6, 15), model().Mirror(6, 19),
                                model().Mirror(6, 18), model().Mirror(6, 28)};
    c.change(session);
    EXPECT_FALSE(out().Equal(0, 1)) << c.what;
    EXPECT_FALSE(out().Equal(1, 0)) << c.what;
    // Back to equal for the next case.
    const int params[] = {20, 23, 15, 19, 18, 28};
    for (int i = 0; i < 6; ++i) model().SetParam(6, params[i], saved[i]);
    model().WriteStoreBytes(0, store);
    model().SetDelayMode(1, display.delayMode[1]);
    model().SetCompressorDisplay(1, display.compressors[1]);
    ASSERT_TRUE(out().Equal(0, 1)) << "after " << c.what;
  }
}

TEST_F(OutputChannelsTest, CopySendsOnlyWhatDiffers) {
  model().SetParam(5, 21, 10);
  model().SetParam(5, 28, 0);
  out().Copy(0, 1);
  ASSERT_TRUE(out().Equal(0, 1));
  model().SetParam(5, 21, 50);
  model().SetParam(5, 28, 1);
  session.Eq().SetChannelCompressor(0, -20.0f, 4.0f, 10.0f, 100.0f);
  session.Eq().SendEqBand(7, 3, 1, 1000, -3.0f, 1.41f);
  usb.Clear();

  ASSERT_TRUE(out().Copy(0, 1));
  const auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 5u);
  EXPECT_EQ(bodies[0], ParamBody(6, 21, {0x3F000002}));  // 0.5 + 1e-7
  // -20 dB, 0.0, 1 - 1/4, 20.0, 0.05, then the two time coefficients.
  EXPECT_EQ(Head(bodies[1], 5), (Bytes{0x09, 0x00, 6, 27, 7}));
  EXPECT_EQ(WordsOf(bodies[1], 5),
            (std::vector<Word>{0xC1A00000, 0, 0x3F400000, 0x41A00000, 0x3D4CCCCD}));
  EXPECT_EQ(bodies[1].size(), 5u + 28u);
  EXPECT_EQ(bodies[2], ParamBody(6, 28, {1}));
  EXPECT_EQ(Head(bodies[3], 5), (Bytes{0x09, 0x00, 6, 3, 5}));
  // CH2 band 3 at 588 + 21.
  EXPECT_EQ(bodies[4], (Bytes{0x85, 0x02, 0x61, 7, 0x00, 0x78, 0x03, 0xE8, 0x05, 0x82, 0x01}));
  EXPECT_TRUE(out().Equal(0, 1));

  usb.Clear();
  EXPECT_TRUE(out().Copy(0, 1));
  EXPECT_EQ(usb.Count(), 0u) << "nothing differs any more";
  EXPECT_FALSE(out().Copy(0, 0));
  EXPECT_FALSE(out().Copy(0, 8));
  EXPECT_EQ(usb.Count(), 0u);
}

TEST_F(OutputChannelsTest, CopyOrdersTheSplitBeforeTheModeAndTheDelay) {
  out().Copy(0, 1);
  model().SetParam(5, 18, 12.5f);
  session.Eq().SetHfSplit(0, 1 - model().Display().delayMode[0]);
  session.Eq().SendHfSplit(0, 4);  // 900/1400 Hz
  ASSERT_NE(session.Eq().FindHfSplit(1), 4);
  usb.Clear();

  ASSERT_TRUE(out().Copy(0, 1));
  const auto bodies = usb.Bodies();
  // Split (2 bands), mode (17 and the split again), delay.
  ASSERT_EQ(bodies.size(), 4u + 5u + 1u);
  EXPECT_EQ(Head(bodies[0], 5), (Bytes{0x09, 0x00, 6, 13, 5}));
  EXPECT_EQ(Head(bodies[4], 4), (Bytes{0x09, 0x00, 6, 17}));
  EXPECT_EQ(Head(bodies[6], 8), (Bytes{0x85, 0x02, 0xA7, 7, 0x00, 0x96, 0x03, 0x84}));
  EXPECT_EQ(bodies[9], ParamBody(6, 18, {600}));
  EXPECT_TRUE(out().Equal(0, 1));
}

TEST_F(OutputChannelsTest, TickingALinkComparesWithTheFirstOfThePair) {
  SetPositions({5, 2, 4, 3, 0, 3, 1, 4});  // side: CH2 (SL), CH4 and CH6 (SR)
  model().SetParam(6, 22, 50);
  out().Copy(1, 3);
  out().Copy(1, 5);
  EXPECT_TRUE(out().DifferingFromFirst(SpeakerPair::Side).empty());
  model().SetParam(8, 22, 77);  // CH4's echo level
  EXPECT_EQ(out().DifferingFromFirst(SpeakerPair::Side), Channels{3});
  usb.Clear();
  EXPECT_EQ(out().CopyFirstToOthers(SpeakerPair::Side), Channels{3});
  EXPECT_EQ(usb.Bodies(), std::vector<Bytes>{ParamBody(8, 22, {0x3F000002})});
  EXPECT_TRUE(out().DifferingFromFirst(SpeakerPair::Side).empty());
  // One channel, or none, at a pair: nothing to compare.
  EXPECT_TRUE(out().DifferingFromFirst(SpeakerPair::Back).empty());
  EXPECT_TRUE(out().CopyFirstToOthers(SpeakerPair::Back).empty());
}

TEST_F(OutputChannelsTest, ACopyLeavesTheChannelsEqual) {
  for (int target = 1; target < 8; ++target) {
    ASSERT_TRUE(out().Copy(0, target));
    EXPECT_TRUE(out().Equal(0, target)) << "CH" << target + 1;
    usb.Clear();
    out().Copy(0, target);
    EXPECT_EQ(usb.Count(), 0u) << "CH" << target + 1;
  }
}

}  // namespace
}  // namespace core::params
