#include "core/params/param_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/session.h"

#include "recording_session.h"

namespace core::params {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A session whose USB link is open onto a recording transport that answers
// every write at once.
class ModelTest : public ::testing::Test, protected testsupport::RecordingSession {
 protected:
  ParamModel& model() { return session.Params(); }
  Bytes ImageBytes(std::size_t offset, std::size_t n) {
    const DeviceImage image = model().Image();
    return Bytes(image.begin() + offset, image.begin() + offset + n);
  }
};

TEST_F(ModelTest, SetParamMirrorsWritesTheSlotAndSendsOneFrame) {
  model().SetParam(1, 14, 50);
  EXPECT_EQ(model().Mirror(1, 14), ParamValue(50));
  EXPECT_EQ(ImageBytes(1495, 4), (Bytes{0x3F, 0x00, 0x00, 0x02}));
  ASSERT_EQ(usb.Count(), 1u);
  EXPECT_EQ(usb.Bodies()[0], (Bytes{0x09, 0x00, 0x01, 0x0E, 0x01, 0x3F, 0x00, 0x00, 0x02}));
}

TEST_F(ModelTest, SetParamByKind) {
  struct Case {
    int module, param;
    ParamValue value;
    std::size_t slot;
    Bytes word;
    ParamValue mirror;
  };
  const Case cases[] = {
      {1, 15, 0, 1502, {0, 0, 0, 0}, 0},                        // Percent zero
      {5, 25, -100, 2133 + 74, {0xBF, 0x7F, 0xFF, 0xFE}, -100},  // phase inverted
      {4, 23, 300, 2014, {0, 0, 0, 0x2C}, 300},                 // mirror keeps 300
      {2, 11, 247.0f, 1759, {0, 0, 0x2E, 0x50}, 247.0f},        // 11856 samples
      {14, 0, 250.0f, 3437, {0x43, 0x7A, 0, 0}, 250.0f},
      {1, 8, 20, 1453, {0x3B, 0x03, 0x12, 0x6F}, 20},
  };
  for (const Case& c : cases) {
    usb.Clear();
    model().SetParam(c.module, c.param, c.value);
    EXPECT_EQ(model().Mirror(c.module, c.param), c.mirror) << c.module << "/" << c.param;
    EXPECT_EQ(ImageBytes(c.slot, 4), c.word) << c.module << "/" << c.param;
    ASSERT_EQ(usb.Count(), 1u);
    const Bytes body = usb.Bodies()[0];
    EXPECT_EQ(Bytes(body.begin() + 5, body.end()), c.word);
  }
  model().DecodeImage();
  EXPECT_EQ(model().Mirror(4, 23), ParamValue(44));  // the next decode sees the low byte
}

TEST_F(ModelTest, SetParamIgnoresRowsItCannotConvert) {
  const DeviceImage before = model().Image();
  model().SetParam(1, 44, 5);   // Block row
  model().SetParam(4, 14, 5);   // Block row
  model().SetParam(5, 27, 5);   // Block row
  model().SetParam(4, 21, 5);   // the pitch: no slot
  model().SetParam(5, 0, 5);    // not in the table
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_EQ(model().Image(), before);
}

TEST_F(ModelTest, SetParamBlock) {
  const DeviceImage before = model().Image();
  const Word pitch[] = {0x0000000A};
  model().SetParamBlock(4, 21, pitch);  // sent, but the row has no slot
  const Word band[] = {1, 2, 3, 4, 5};
  model().SetParamBlock(5, 0, band);  // an equaliser band: not in the table
  EXPECT_EQ(model().Image(), before);
  ASSERT_EQ(usb.Count(), 2u);
  EXPECT_EQ(usb.Bodies()[0], (Bytes{0x09, 0x00, 0x04, 0x15, 0x01, 0, 0, 0, 0x0A}));
  EXPECT_EQ(usb.Bodies()[1].size(), 5u + 20u);

  const Word block[] = {0x3F800000, 0x3F800000, 0x3F7D554A, 0xBFFEA8DC, 0x40000000, 0x40400000};
  model().SetParamBlock(1, 44, block);
  EXPECT_EQ(ImageBytes(1600 + 16, 8), (Bytes{0x40, 0, 0, 0, 0x40, 0x40, 0, 0}));
}

TEST_F(ModelTest, SetParamBlockNeverWritesPastTheRecord) {
  const Word words[] = {0x11111111, 0x22222222, 0x33333333};
  model().SetParamBlock(1, 38, words);  // a one-word record
  EXPECT_EQ(ImageBytes(1558, 4), (Bytes{0x11, 0x11, 0x11, 0x11}));
  EXPECT_EQ(ImageBytes(1562, 3), (Bytes{1, 39, 1})) << "the next record's header is intact";
  ASSERT_EQ(usb.Count(), 1u);
  EXPECT_EQ(usb.Bodies()[0].size(), 5u + 12u) << "the frame still carries every word";
}

TEST_F(ModelTest, SetParamBlockRefusesBadCounts) {
  const DeviceImage before = model().Image();
  const Word eleven[11] = {};
  model().SetParamBlock(1, 44, std::span<const Word>(eleven, 0));
  model().SetParamBlock(1, 44, eleven);
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_EQ(model().Image(), before);
  model().SetParamBlock(1, 44, std::span<const Word>(eleven, 10));
  EXPECT_EQ(usb.Count(), 1u);
}

TEST_F(ModelTest, EditsWhileClosedAreKeptAndNotSent) {
  session.Link().State().open = false;
  model().SetParam(1, 14, 70);
  EXPECT_EQ(usb.Count(), 0u);
  EXPECT_EQ(model().Mirror(1, 14), ParamValue(70));
  model().DecodeImage();
  EXPECT_EQ(model().Mirror(1, 14), ParamValue(70));
}

TEST_F(ModelTest, DecodesTheDefaultImage) {
  EXPECT_EQ(model().Mirror(1, 14), ParamValue(50));
  EXPECT_EQ(model().Mirror(2, 11), ParamValue(247.0f));
  EXPECT_EQ(model().Mirror(1, 8), ParamValue(20));
  EXPECT_EQ(model().Mirror(3, 10), ParamValue(56));
  EXPECT_EQ(model().Mirror(4, 23), ParamValue(11));
  EXPECT_EQ(model().Mirror(14, 2), ParamValue(1500.0f));
  EXPECT_EQ(model().Mirror(5, 16), ParamValue(1));
  EXPECT_EQ(model().Mirror(12, 16), ParamValue(2));

  const DisplayValues d = model().Display();
  for (const CompressorDisplay& c : d.compressors) {
    EXPECT_EQ(c.threshold, 0.0f);
    EXPECT_NEAR(c.ratio, 30.0, 0.001);
    EXPECT_NEAR(c.attackMs, 1.0, 0.001);
    EXPECT_NEAR(c.releaseMs, 100.0, 0.01);
  }
  EXPECT_NEAR(d.musicCompressor.ratio, 4.0, 1e-6);
  EXPECT_NEAR(d.musicCompressor.attackMs, 60.0, 0.01);
  EXPECT_NEAR(d.musicCompressor.releaseMs, 600.0, 0.01);
  for (int flag : d.delayMode) EXPECT_EQ(flag, 1);
  EXPECT_EQ(d.musicPitch, 0);
  EXPECT_EQ(d.loudnessLevel, 0);
  EXPECT_EQ(d.shiftFrequency[0], 5);
  EXPECT_EQ(d.shiftFrequency[1], 5);
  EXPECT_EQ(model().Geometry(), DefaultSoundFieldGeometry());
}

TEST_F(ModelTest, DecodeDerivedValues) {
  const std::uint8_t shiftOff[] = {0, 0, 0, 1};
  model().WriteImageBytes(1572, shiftOff);  // (1, 40) = 1
  const std::uint8_t pitch10[] = {0x0A};
  model().WriteImageBytes(2003, pitch10);
  const std::uint8_t delayWord1[] = {0x3F, 0x80, 0, 0};  // CH3 (7, 17) word 1 = 1.0
  model().WriteImageBytes(2133 + 2 * 153 + 18, delayWord1);
  const std::uint8_t level[] = {0xC1, 0x20, 0, 0};  // -10.0 dB
  model().WriteImageBytes(1410, level);
  model().DecodeImage();
  DisplayValues d = model().Display();
  EXPECT_EQ(d.shiftFrequency[0], 1) << "switched off: 1 whatever the coefficient";
  EXPECT_EQ(d.shiftFrequency[1], 5);
  EXPECT_EQ(d.musicPitch, 5);
  EXPECT_EQ(d.delayMode[2], 0);
  EXPECT_EQ(d.delayMode[1], 1);
  EXPECT_EQ(d.loudnessLevel, -10);

  const std::uint8_t pitch0[] = {0x00};
  model().WriteImageBytes(2003, pitch0);
  model().DecodeImage();
  EXPECT_EQ(model().Display().musicPitch, -5);
}

TEST_F(ModelTest, DecodeCopiesTheStoreUpToTheSettingByte) {
  std::vector<std::uint8_t> marks(kStoreSize, 0xA5);
  model().WriteImageBytes(0, marks);
  model().WriteStoreBytes(1415, std::vector<std::uint8_t>(7, 0x11));
  model().DecodeImage();
  const EqStore store = model().Store();
  for (std::size_t i = 0; i < kStoreDecodedSize; ++i) ASSERT_EQ(store[i], 0xA5) << i;
  for (std::size_t i = kStoreDecodedSize; i < kStoreSize; ++i) EXPECT_EQ(store[i], 0x11) << i;
}

TEST_F(ModelTest, ZeroCoefficientsGiveInfiniteTimesAndGarbageDecodesSafely) {
  const std::uint8_t zero[4] = {};
  model().WriteImageBytes(2133 + 88 + 20, zero);  // CH1 attack coefficient
  model().DecodeImage();
  EXPECT_EQ(model().Display().compressors[0].attackMs, std::numeric_limits<float>::infinity());
  EXPECT_NEAR(model().Display().compressors[0].releaseMs, 100.0, 0.01);

  // All-ones words are NaN floats everywhere: decoding stays defined.
  std::vector<std::uint8_t> ones(kImageSize, 0xFF);
  model().WriteImageBytes(0, ones);
  model().DecodeImage();
  EXPECT_EQ(model().Mirror(1, 14), ParamValue(0));
  EXPECT_EQ(model().Mirror(4, 23), ParamValue(255));
  EXPECT_EQ(model().Display().loudnessLevel, 0);
  EXPECT_EQ(model().Geometry().width, kMaxRoomSize);
}

TEST_F(ModelTest, WritesOutsideTheImageAreCut) {
  const std::vector<std::uint8_t> block(56, 0x77);
  EXPECT_EQ(model().WriteImageBytes(3500, block), 18u);
  EXPECT_EQ(model().ImageByte(3517), 0x77);
  EXPECT_EQ(model().WriteImageBytes(3518, block), 0u);
  EXPECT_EQ(model().WriteStoreBytes(1410, block), 12u);
}

// Edits on one thread while another decodes: run under ThreadSanitizer.
TEST_F(ModelTest, EditsAndDecodesFromTwoThreads) {
  session.Link().State().open = false;
  std::thread decoder([this] {
    for (int i = 0; i < 200; ++i) model().DecodeImage();
  });
  for (int i = 0; i <= 100; ++i) model().SetParam(1, 14, i);
  decoder.join();
  model().DecodeImage();
  EXPECT_EQ(model().Mirror(1, 14), ParamValue(100));
}

TEST(Session, StartsWithPlaceholdersAndTheDecodedDefaults) {
  Session s;
  const link::DeviceIdentity id = s.Records().Identity();
  EXPECT_EQ(id.ProtocolVersion(), 17);
  EXPECT_EQ(id.ModelName(), "Unknown");
  EXPECT_EQ(id.McuVersion(), "2016-10-03");
  EXPECT_EQ(id.DspVersion(), "2016-11-30");
  const link::MachineSettings device = s.Records().DeviceSettings();
  for (int i = 0; i < 14; ++i) EXPECT_EQ(device[i], (i == 5 || i == 6) ? 0x63 : 0) << i;
  for (std::uint8_t b : s.Records().WorkingSettings()) EXPECT_EQ(b, 0);
  DeviceImage defaults{};
  BuildDefaultImage(defaults);
  EXPECT_EQ(s.Params().Image(), defaults);
  EXPECT_EQ(s.Params().Mirror(1, 14), ParamValue(50));
}

TEST(DeviceIdentity, TextsAreCutToTheirFields) {
  link::DeviceIdentity id;
  id.SetModelName(std::string(40, 'M'));
  id.SetMcuVersion("2016-10-03-and-more");
  EXPECT_EQ(id.ModelName(), std::string(31, 'M'));
  EXPECT_EQ(id.McuVersion(), "2016-10-03");
  EXPECT_EQ(id.bytes[36 + 10], 0);
  EXPECT_EQ(id.bytes[47], 0) << "the DSP field is untouched";
}

}  // namespace
}  // namespace core::params
