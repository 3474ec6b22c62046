#include "core/params/named_params.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/session.h"

#include "recording_session.h"

namespace core::params {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(NamedParams, EachNameIsItsPairAndRow) {
  struct Case {
    ParamName name;
    int module, param;
    const char* meaning;
  };
  const Case cases[] = {
      {kMic1Volume, 1, 4, "Mic 1 volume"},
      {kMicMasterVolume, 1, 14, "mic master volume"},
      {kMicOn, 1, 15, "mic on (100) / muted (0)"},
      {kEffectMasterVolume, 1, 16, "effect master volume"},
      {kEffectOn, 1, 17, "effect on (100) / muted (0)"},
      {kMicAShiftCoefficient, 1, 38, "channel A frequency shift coefficient"},
      {kMicAShiftOff, 1, 40, "channel A frequency shift off (1) / on (0)"},
      {kMicALoudnessInverseGain, 1, 41, "channel A loudness inverse gain"},
      {kMicALoudnessFilter, 1, 44, "channel A loudness filter block"},
      {kMicBShiftOff, 1, 67, "channel B frequency shift off (1) / on (0)"},
      {kMicBLoudnessGain, 1, 69, "channel B loudness gain"},
      {kMicBLoudnessFilter, 1, 71, "channel B loudness filter block"},
      {kEchoMasterVolume, 2, 28, "echo master volume"},
      {kEchoOn, 2, 29, "echo on (100) / muted (0)"},
      {kReverbMasterVolume, 3, 24, "reverb master volume"},
      {kReverbOn, 3, 25, "reverb on (100) / muted (0)"},
      {kMusicEqBypass, 4, 11, "music EQ bypass"},
      {kMusicMasterVolume, 4, 12, "music master volume"},
      {kMusicOn, 4, 13, "music on (100) / muted (0)"},
      {kMusicCompressor, 4, 14, "music compressor block"},
      {kMusicPitch, 4, 21, "music pitch (low byte is pitch + 5)"},
      {kMusicNoiseGate, 4, 22, "music noise-gate threshold"},
      {kMusicSource, 4, 23, "music input source, 0..13"},
      {kRecordCompressor, 13, 10, "record compressor block"},
      {kExciterOn, 14, 11, "loudness dialog switch"},
      // Per channel: CH1 is module 5, CH8 module 12.
      {OutputEqBypass(0), 5, 15, "EQ bypass"},
      {OutputChannelType(1), 6, 16, "channel type"},
      {OutputDelayMode(2), 7, 17, "delay mode words"},
      {OutputDelay(0), 5, 18, "channel delay"},
      {OutputDelay(7), 12, 18, "channel delay"},
      {OutputDelayOff(3), 8, 19, "delay off (1) / on (0)"},
      {OutputMixDirect(4), 9, 20, "mix level: direct"},
      {OutputMixReverb(5), 10, 21, "mix level: reverb"},
      {OutputMixEcho(6), 11, 22, "mix level: echo"},
      {OutputMixMusic(7), 12, 23, "mix level: music"},
      {OutputFieldLevel(0), 5, 24, "sound-field level"},
      {OutputPhase(1), 6, 25, "phase: +100 normal, -100 inverted"},
      {OutputOn(2), 7, 26, "on (100) / muted (0)"},
      {OutputCompressor(3), 8, 27, "compressor block"},
      {OutputCompressorSwitch(4), 9, 28, "compressor switch"},
      {OutputFieldFilter(7), 12, 29, "sound-field filter block"},
  };
  for (const Case& c : cases) {
    const std::string at = std::to_string(c.module) + "/" + std::to_string(c.param);
    EXPECT_EQ(c.name.Module(), c.module) << at;
    EXPECT_EQ(c.name.Param(), c.param) << at;
    ASSERT_LT(c.name.Row(), kParamCount) << at;
    const ParamEntry& row = kParamTable[c.name.Row()];
    EXPECT_EQ(row.module, c.module) << at;
    EXPECT_EQ(row.param, c.param) << at;
    EXPECT_STREQ(row.meaning, c.meaning) << at;
  }
  EXPECT_EQ(kSoundFieldLocate.Module(), 4);
  EXPECT_EQ(kSoundFieldLocate.Param(), 38);
}

TEST(NamedParams, EqualiserBandNames) {
  struct Case {
    EqBandsName name;
    int module, firstParam, bandCount;
  };
  const Case cases[] = {
      {kMicAEqBands, 1, 18, 15},  {kMicBEqBands, 1, 45, 15},     {kEchoAEqBands, 2, 0, 7},
      {kEchoBEqBands, 2, 14, 7},  {kReverbAEqBands, 3, 0, 7},    {kReverbBEqBands, 3, 12, 7},
      {kMusicEqBands, 4, 0, 11},  {kOutputEqBands[0], 5, 0, 15}, {kOutputEqBands[7], 12, 0, 15},
      {kRecordEqBands, 13, 0, 5},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.name.Module(), c.module) << c.module << "/" << c.firstParam;
    EXPECT_EQ(c.name.FirstParam(), c.firstParam) << c.module << "/" << c.firstParam;
    EXPECT_EQ(c.name.BandCount(), c.bandCount) << c.module << "/" << c.firstParam;
  }
}

// Two sessions on recording USB links that answer at once, sending synchronously: one is driven by
// numbers, the other by names.
struct Rig : testsupport::RecordingSession {
  ParamModel& model() { return session.Params(); }
};

TEST(NamedParams, SetParamByNameSendsWhatNumbersSend) {
  struct Case {
    ParamName name;
    int module, param;
    ParamValue value;
  };
  const Case cases[] = {
      {kMicMasterVolume, 1, 14, 50},  {kEchoOn, 2, 29, 0},
      {kMusicSource, 4, 23, 7},       {OutputDelay(3), 8, 18, 12.5f},
      {OutputPhase(7), 12, 25, -100}, {kExciterOn, 14, 11, 1},
  };
  for (const Case& c : cases) {
    Rig byNumber;
    Rig byName;
    byNumber.model().SetParam(c.module, c.param, c.value);
    byName.model().SetParam(c.name, c.value);
    ASSERT_EQ(byNumber.usb.Count(), 1u) << c.module << "/" << c.param;
    EXPECT_EQ(byName.usb.Bodies(), byNumber.usb.Bodies()) << c.module << "/" << c.param;
    EXPECT_EQ(byName.model().Image(), byNumber.model().Image()) << c.module << "/" << c.param;
    EXPECT_EQ(byName.model().Mirror(c.name), c.value) << c.module << "/" << c.param;
  }
  Rig rig;
  rig.model().SetParam(kMicMasterVolume, 50);
  EXPECT_EQ(rig.usb.Bodies().at(0), (Bytes{0x09, 0x00, 0x01, 0x0E, 0x01, 0x3F, 0x00, 0x00, 0x02}));
}

TEST(NamedParams, SetParamBlockByNameSendsWhatNumbersSend) {
  const Word block[7] = {1, 2, 3, 4, 5, 6, 7};
  const Word code[1] = {3};
  Rig byNumber;
  Rig byName;
  byNumber.model().SetParamBlock(8, 27, block);
  byNumber.model().SetParamBlock(4, 38, code);
  byName.model().SetParamBlock(OutputCompressor(3), block);
  byName.model().SetParamBlock(kSoundFieldLocate, code);
  ASSERT_EQ(byNumber.usb.Count(), 2u);
  EXPECT_EQ(byName.usb.Bodies(), byNumber.usb.Bodies());
  EXPECT_EQ(byName.model().Image(), byNumber.model().Image());
  // CH4's compressor record starts at 2133 + 3 * 153 + 88 = 2680.
  EXPECT_EQ(byName.model().ImageByte(2680 + 3), 1);
  EXPECT_EQ(byName.model().ImageByte(2680 + 27), 7);
}

TEST(NamedParams, AChannelOutsideTheOutputsNamesNothing) {
  for (int channel : {-1, 8, 100}) {
    const ParamName name = OutputDelay(channel);
    EXPECT_FALSE(name.Valid()) << channel;
    Rig rig;
    const DeviceImage before = rig.model().Image();
    const Word words[2] = {1, 2};
    rig.model().SetParam(name, 5.0f);
    rig.model().SetParamBlock(OutputDelayMode(channel), words);
    EXPECT_EQ(rig.usb.Count(), 0u) << channel;
    EXPECT_EQ(rig.model().Image(), before) << channel;
    EXPECT_EQ(rig.model().Mirror(name), ParamValue(0)) << channel;
  }
  EXPECT_TRUE(OutputDelay(0).Valid());
  EXPECT_TRUE(OutputDelay(7).Valid());
}

}  // namespace
}  // namespace core::params
