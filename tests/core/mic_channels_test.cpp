#include "core/params/mic_channels.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/session.h"
#include "recording_session.h"

namespace core::params {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ParamBody(int module, int param, Word word) {
  return {0x09,
          0x00,
          static_cast<std::uint8_t>(module),
          static_cast<std::uint8_t>(param),
          0x01,
          static_cast<std::uint8_t>(word >> 24),
          static_cast<std::uint8_t>(word >> 16),
          static_cast<std::uint8_t>(word >> 8),
          static_cast<std::uint8_t>(word)};
}

class MicChannelsTest : public ::testing::Test, protected testsupport::RecordingSession {
 protected:
  MicChannels& mics() { return session.Mics(); }
  std::vector<Bytes> Sent() const { return usb.Bodies(); }
};

TEST(EffectRows, RangesAndTexts) {
  struct Case {
    int row;
    int position;
    const char* en;
    const char* zh;
  };
  const Case cases[] = {
      {kReverbLevelRow, 12, "12%", "12%"},      {kReverbPredelayRow, 2, "2ms", "2ms"},
      {kReverbTimeRow, 0, "40ms", "40ms"},      {kReverbTimeRow, 100, "5000ms", "5000ms"},
      {kReverbTimeRow, 50, "2520ms", "2520ms"}, {kEchoTimeRow, 247, "247ms", "247ms"},
      {kEchoVolumeDecayRow, 90, "90%", "90%"},  {kShiftFrequencyRow, 0, "Off", "关闭"},
      {kShiftFrequencyRow, 1, "Off", "关闭"},   {kShiftFrequencyRow, 2, "2Hz", "2Hz"},
      {kShiftFrequencyRow, 8, "8Hz", "8Hz"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EffectValueText(c.row, c.position, true), c.en) << c.row << " " << c.position;
    EXPECT_EQ(EffectValueText(c.row, c.position, false), c.zh) << c.row << " " << c.position;
  }
  EXPECT_EQ(EffectValueText(9, 1, true), "");
  EXPECT_FALSE(EffectRowOf(-1).has_value());

  struct Range {
    int row, minimum, maximum;
  };
  const Range ranges[] = {{0, 0, 100},   {1, 2, 200},  {2, 0, 100}, {3, 0, 100}, {4, 2, 200},
                          {5, 160, 260}, {6, 40, 100}, {7, 20, 90}, {8, 1, 8}};
  for (const Range& r : ranges) {
    ASSERT_TRUE(EffectRowOf(r.row).has_value());
    EXPECT_EQ(EffectRowOf(r.row)->minimum, r.minimum) << r.row;
    EXPECT_EQ(EffectRowOf(r.row)->maximum, r.maximum) << r.row;
    EXPECT_EQ(ClampEffectPosition(r.row, -1000), r.minimum);
    EXPECT_EQ(ClampEffectPosition(r.row, 1000), r.maximum);
  }
  EXPECT_STREQ(EffectRowOf(5)->nameEn, "Echo Time");
  EXPECT_STREQ(EffectRowOf(8)->nameZh, "话筒移频");
}

TEST(FrequencyShift, WordsPerPosition) {
  const FrequencyShiftWords off = ShiftWordsFor(1);
  EXPECT_EQ(off.off, 1u);
  EXPECT_FALSE(off.phaseStep.has_value());
  EXPECT_FALSE(off.delaySamples.has_value());
  struct Case {
    int position;
    Word phase;  // a x 2pi / 48000 as a single
    Word delay;  // samples
  };
  const Case cases[] = {{2, 0x3989421E, 4800}, {8, 0x3A89421E, 300}, {3, 0x39CDE32E, 2800}};
  for (const Case& c : cases) {
    const FrequencyShiftWords w = ShiftWordsFor(c.position);
    EXPECT_EQ(w.off, 0u);
    EXPECT_EQ(w.phaseStep, c.phase) << c.position;
    EXPECT_EQ(w.delaySamples, c.delay) << c.position;
  }
}

TEST(StreamFormat, LowBitsOfTheStatusByte) {
  EXPECT_EQ(StreamFormatName(0x00), "STEREO");
  EXPECT_EQ(StreamFormatName(0xF2), "DTS");  // the high bits are not the format's
  EXPECT_EQ(StreamFormatName(0x08), "LPCM MultiCh");
  EXPECT_FALSE(StreamFormatName(0x09).has_value());
  EXPECT_FALSE(StreamFormatName(0x0F).has_value());
}

TEST(MicTabs, KindsBandsAndBypass) {
  EXPECT_EQ(MicTabEqKind(0), 0);
  EXPECT_EQ(MicTabEqKind(1), 1);
  EXPECT_EQ(MicTabEqKind(2), 6);
  EXPECT_EQ(MicTabBandCount(1), 15);
  EXPECT_EQ(MicTabBandCount(2), 10);
  EXPECT_EQ(MicTabEqBypass(0).Param(), 33);
  EXPECT_EQ(MicTabEqBypass(1).Param(), 60);
  EXPECT_EQ(MicTabEqBypass(2).Module(), 4);
  EXPECT_EQ(MicTabEqBypass(2).Param(), 11);
  EXPECT_EQ(MicTabEchoType(0).Param(), 8);
  EXPECT_EQ(MicTabEchoType(2).Param(), 22);
}

TEST_F(MicChannelsTest, RoutingSendsBothWordsInOrder) {
  mics().Route(1, false);
  EXPECT_EQ(Sent(), (std::vector<Bytes>{ParamBody(1, 35, 0), ParamBody(1, 62, 0x3F800001)}));
  EXPECT_FALSE(mics().RoutedToA(1));
  usb.Clear();
  mics().Route(3, true);
  EXPECT_EQ(Sent(), (std::vector<Bytes>{ParamBody(1, 37, 0x3F800001), ParamBody(1, 64, 0)}));
  EXPECT_TRUE(mics().RoutedToA(3));
  usb.Clear();
  mics().Route(4, true);
  mics().Route(-1, false);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(MicChannelsTest, EffectRowsSendTheirKindsPerSet) {
  struct Case {
    int set, row, position;
    std::vector<Bytes> frames;
  };
  const Case cases[] = {
      {0, kReverbLevelRow, 50, {ParamBody(3, 8, 0x3F000002)}},
      {1, kReverbLevelRow, 50, {ParamBody(3, 20, 0x3F000002)}},
      {0, kReverbPredelayRow, 100, {ParamBody(3, 9, 0x12C0)}},  // 100 ms = 4800 samples
      {1, kReverbTimeRow, 40, {ParamBody(3, 22, 0x3ECCCCD0), ParamBody(3, 23, 0x3ECCCCD0)}},
      {0, kEchoTimeRow, 100, {ParamBody(2, 11, 0x1E00)}},  // clamped to 160 ms
      {1, kEchoStartVolumeRow, 65, {ParamBody(2, 26, 0x3F266668)}},
      {0, kEchoVolumeDecayRow, 95, {ParamBody(2, 13, 0x3F666668)}},  // clamped to 90 %
  };
  for (const Case& c : cases) {
    usb.Clear();
    mics().SetEffect(c.set, c.row, c.position);
    EXPECT_EQ(Sent(), c.frames) << c.set << " " << c.row;
    EXPECT_EQ(mics().EffectValue(c.set, c.row), ClampEffectPosition(c.row, c.position));
  }
  usb.Clear();
  mics().SetEffect(2, 0, 50);
  mics().SetEffect(0, 9, 50);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(MicChannelsTest, FrequencyShiftSendsItsWordsAndKeepsThePosition) {
  mics().SetEffect(0, kShiftFrequencyRow, 2);
  EXPECT_EQ(Sent(), (std::vector<Bytes>{ParamBody(1, 40, 0), ParamBody(1, 38, 0x3989421E),
                                        ParamBody(1, 39, 4800)}));
  EXPECT_EQ(mics().EffectValue(0, kShiftFrequencyRow), 2);
  // The switch's and the delay's mirrors follow the words they were sent as.
  EXPECT_EQ(session.Params().Mirror(1, 40).AsInt(), 0);
  EXPECT_FLOAT_EQ(session.Params().Mirror(1, 39).AsFloat(), 100.0f);

  usb.Clear();
  mics().SetEffect(1, kShiftFrequencyRow, 1);
  EXPECT_EQ(Sent(), std::vector<Bytes>{ParamBody(1, 67, 1)});
  EXPECT_EQ(mics().EffectValue(1, kShiftFrequencyRow), 1);
  EXPECT_EQ(session.Params().Mirror(1, 67).AsInt(), 1);

  // What the image now holds decodes to the same positions.
  session.Params().DecodeImage();
  EXPECT_EQ(mics().EffectValue(0, kShiftFrequencyRow), 2);
  EXPECT_EQ(mics().EffectValue(1, kShiftFrequencyRow), 1);
}

TEST_F(MicChannelsTest, FrequencyShiftUndoRestoresEveryWord) {
  mics().SetEffect(0, kShiftFrequencyRow, 2);
  session.History().Begin(EditOrigin{313, 0});
  mics().SetEffect(0, kShiftFrequencyRow, 1);
  session.History().End();
  usb.Clear();
  ASSERT_TRUE(session.History().Undo().has_value());
  EXPECT_EQ(session.Params().Mirror(1, 40).AsInt(), 0);
  EXPECT_EQ(mics().EffectValue(0, kShiftFrequencyRow), 2);
  bool offSent = false;
  for (const Bytes& b : Sent()) offSent = offSent || b == ParamBody(1, 40, 0);
  EXPECT_TRUE(offSent);
}

TEST_F(MicChannelsTest, EchoTypeAndBypassPerTab) {
  mics().SetEchoType(0, 1);
  mics().SetEchoType(2, 1);
  EXPECT_EQ(Sent(), (std::vector<Bytes>{ParamBody(2, 8, 1), ParamBody(2, 22, 1)}));
  usb.Clear();
  mics().ToggleEqBypass(2);
  EXPECT_TRUE(mics().EqBypassed(2));
  mics().ToggleEqBypass(2);
  mics().ToggleEqBypass(1);
  EXPECT_EQ(Sent(),
            (std::vector<Bytes>{ParamBody(4, 11, 1), ParamBody(4, 11, 0), ParamBody(1, 60, 1)}));
}

}  // namespace
}  // namespace core::params
