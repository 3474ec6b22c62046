#include "core/params/sound_field_control.h"

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

constexpr Word kOneF = 0x3F800000;
// The default geometry as it is sent: zero coordinates carry the sign bit
// (the default image itself holds 0x00 for them).
const Bytes kDefaultRecord = {0x04, 0x04, 0x80, 0x80, 0x8A, 0x0A, 0x80, 0x0A, 0x0A, 0x0A,
                              0x8A, 0x8A, 0x80, 0x8A, 0x0A, 0x8A, 0x85, 0x80, 0x05, 0x80};

Bytes Header(const Bytes& body, std::size_t n) { return Bytes(body.begin(), body.begin() + n); }
float FloatAt(const Bytes& bytes, std::size_t at) { return BitsFloat(LoadBe32(bytes.data() + at)); }

class SoundFieldTest : public ::testing::Test, protected testsupport::RecordingSession {
 protected:
  SoundFieldControl& field() { return session.SoundField(); }
  ParamModel& model() { return session.Params(); }
  Bytes Store(std::size_t offset, std::size_t n) {
    const EqStore s = model().Store();
    return Bytes(s.begin() + offset, s.begin() + offset + n);
  }
};

TEST(SoundFieldLevels, LevelFallsThreeDecibelsPerMetreFromPlusThree) {
  struct Case {
    FieldPoint listener, source;
    float level;
  };
  const Case cases[] = {{{0, 0}, {-1, 1}, -1.2426407f}, {{0, 0}, {0, 1}, 0.0f},
                        {{0.5f, 0.5f}, {0.5f, 0.5f}, 3.0f}, {{0, 0}, {3, 4}, -12.0f},
                        {{-1, 2}, {1, 2}, -3.0f}};
  for (const Case& c : cases) {
    EXPECT_NEAR(SourceLevelDb(c.listener, c.source), c.level, 1e-5)
        << c.source.x << "," << c.source.y;
  }
}

TEST(SoundFieldLevels, FilterWords) {
  EXPECT_EQ(LevelFilterWords(0.0f),
            (std::array<Word, 6>{kOneF, kOneF, 0x3F7EFF25, 0xBFFF7EF1, kOneF, kOneF}));
  const auto words = LevelFilterWords(SourceLevelDb({0, 0}, {-1, 1}));
  EXPECT_EQ(words[0], 0x3F5DDFF2u);  // 10^(-1.2426/20) = 0.866698
  EXPECT_EQ(words[1], 0x3F6468EEu);  // 0.892226
  EXPECT_EQ(words[4], words[0]);
  EXPECT_EQ(words[5], words[1]);
}

TEST(SoundFieldLevels, SourcesDriveTheirPositionCodes) {
  const int codes[] = {0, 5, 1, 6, 4, 7, 2, 3};
  for (int p = 1; p <= 8; ++p) EXPECT_EQ(SourcePositionCode(p), codes[p - 1]) << p;
  EXPECT_FALSE(SourcePositionCode(0).has_value());
  EXPECT_FALSE(SourcePositionCode(9).has_value());
}

// The default channel types are CH1..CH8 = 1, 0, 7, 6, 5, 4, 3, 2: the
// front-left source plays on CH2 (module 6).
TEST_F(SoundFieldTest, MovingASourceSendsTheGeometryThenItsLevel) {
  ASSERT_TRUE(field().MovePoint(1, -1.0f, 1.0f));
  const auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 3u);
  Bytes geometry = {0x85, 0x05, 0x6E, 20};
  geometry.insert(geometry.end(), kDefaultRecord.begin(), kDefaultRecord.end());
  EXPECT_EQ(bodies[0], geometry);

  EXPECT_EQ(Header(bodies[1], 4), (Bytes{0x85, 0x05, 0x4E, 32}));
  ASSERT_EQ(bodies[1].size(), 4u + 32u);
  EXPECT_EQ(Bytes(bodies[1].begin() + 8, bodies[1].begin() + 12), (Bytes{0xBF, 0x9F, 0x0E, 0xD8}));
  EXPECT_NEAR(FloatAt(bodies[1], 8), -1.2426, 1e-4);
  EXPECT_EQ(Store(1362, 4), (Bytes{0xBF, 0x9F, 0x0E, 0xD8}));

  EXPECT_EQ(Header(bodies[2], 5), (Bytes{0x09, 0x00, 6, 29, 6}));
  EXPECT_EQ(LoadBe32(bodies[2].data() + 5), 0x3F5DDFF2u);
  EXPECT_EQ(LoadBe32(bodies[2].data() + 13), 0x3F7EFF25u);
}

TEST_F(SoundFieldTest, NoSubwooferChannelMeansNoSubwooferLevel) {
  field().MovePoint(5, 0.0f, -1.5f);
  ASSERT_EQ(usb.Count(), 3u);
  EXPECT_EQ(Header(usb.Bodies()[2], 4), (Bytes{0x09, 0x00, 10, 29})) << "CH6 is the subwoofer";

  model().SetParam(10, 16, 5);  // CH6 becomes a centre speaker
  usb.Clear();
  field().MovePoint(5, 0.0f, -1.0f);
  ASSERT_EQ(usb.Count(), 1u) << "the geometry alone";
  EXPECT_EQ(Header(usb.Bodies()[0], 4), (Bytes{0x85, 0x05, 0x6E, 20}));
  EXPECT_FALSE(field().SendSourceLevel(5));
  EXPECT_TRUE(field().SendSourceLevel(2)) << "the centre source still plays on CH5";
}

TEST_F(SoundFieldTest, MovingTheListenerSendsEveryLevel) {
  field().MovePoint(0, 0.5f, 0.0f);
  const auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 17u);
  const int modules[] = {6, 9, 5, 8, 10, 7, 12, 11};  // the channels of sources 1..8
  for (int p = 0; p < 8; ++p) {
    EXPECT_EQ(Header(bodies[1 + 2 * p], 4), (Bytes{0x85, 0x05, 0x4E, 32}));
    EXPECT_EQ(Header(bodies[2 + 2 * p], 4),
              (Bytes{0x09, 0x00, static_cast<std::uint8_t>(modules[p]), 29}))
        << "source " << p + 1;
  }
  // The last level block carries every channel: CH1 plays the front-right
  // source at (1, 1), 1.118 m from the listener.
  EXPECT_NEAR(FloatAt(bodies[15], 4), 3.0 - 3.0 * std::sqrt(1.25), 1e-5);
  EXPECT_EQ(model().Geometry().points[0], (FieldPoint{0.5f, 0.0f}));
}

TEST_F(SoundFieldTest, PointsStayInsideTheRoom) {
  struct Case {
    float x, y;
    FieldPoint stored;
    std::uint8_t xByte, yByte;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {{9, -9, {2, -2}, 0x14, 0x94},
                        {nan, 1.5f, {0, 1.5f}, 0x80, 0x0F},
                        {-2.0f, 0.3f, {-2, 0.3f}, 0x94, 0x03}};
  for (const Case& c : cases) {
    usb.Clear();
    field().MovePoint(3, c.x, c.y);
    EXPECT_EQ(model().Geometry().points[3], c.stored);
    EXPECT_EQ(usb.Bodies()[0][4 + 8], c.xByte);  // record bytes 8, 9: point 3
    EXPECT_EQ(usb.Bodies()[0][4 + 9], c.yByte);
  }
  EXPECT_FALSE(field().MovePoint(9, 0, 0));
}

TEST_F(SoundFieldTest, RoomSizeIsClampedAndPointsAreLeftAlone) {
  field().SetRoomSize(12, 0);
  ASSERT_EQ(usb.Count(), 1u);
  EXPECT_EQ(Header(usb.Bodies()[0], 6), (Bytes{0x85, 0x05, 0x6E, 20, 10, 1}));
  EXPECT_EQ(model().Geometry().width, 10);
  EXPECT_EQ(model().Geometry().length, 1);
  EXPECT_EQ(model().Geometry().points[1], (FieldPoint{-1, 1})) << "not clamped to the new room";
  EXPECT_EQ(Store(1390, 2), (Bytes{10, 1}));
}

TEST_F(SoundFieldTest, LocateSendsTheCodeAndUntickingSendsEight) {
  const auto code = field().SetLocate(3, true);  // CH3 plays position 7
  ASSERT_EQ(code, 7);
  auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 2u);
  EXPECT_EQ(bodies[0], (Bytes{0x85, 0x05, 0x86, 0x01, 0x07}));
  EXPECT_EQ(bodies[1], (Bytes{0x09, 0x00, 0x04, 0x26, 0x01, 0x00, 0x00, 0x00, 0x07}));
  EXPECT_EQ(Store(1414, 1), (Bytes{7}));
  EXPECT_EQ(field().LocatedChannel(), 3);

  usb.Clear();
  EXPECT_EQ(field().SetLocate(3, false), kNoLocateCode);
  bodies = usb.Bodies();
  EXPECT_EQ(bodies[0], (Bytes{0x85, 0x05, 0x86, 0x01, 0x08}));
  EXPECT_EQ(bodies[1].back(), 0x08);
  EXPECT_EQ(field().LocatedChannel(), 0);

  usb.Clear();
  EXPECT_FALSE(field().SetLocate(0, true).has_value());
  EXPECT_FALSE(field().SetLocate(9, true).has_value());
  EXPECT_EQ(usb.Count(), 0u);
}

TEST_F(SoundFieldTest, CenterPutsTheListenerBackAndResendsTheLevels) {
  field().MovePoint(0, 1.0f, 1.0f);
  usb.Clear();
  field().CenterListener();
  EXPECT_EQ(usb.Count(), 17u);
  EXPECT_EQ(model().Geometry().points[0], (FieldPoint{0, 0}));
  EXPECT_EQ(Store(1392, 2), (Bytes{0x80, 0x80}));
}

TEST_F(SoundFieldTest, ResetZeroesTheLevelsAndRestoresTheDefaultGeometry) {
  field().SetRoomSize(8, 6);
  field().MovePoint(0, 1.0f, -1.0f);
  usb.Clear();
  field().Reset();
  const auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 17u);
  for (int c = 0; c < 8; ++c) {
    const Bytes& levels = bodies[2 * c];
    ASSERT_EQ(Header(levels, 4), (Bytes{0x85, 0x05, 0x4E, 32}));
    for (int k = 0; k <= c; ++k) EXPECT_EQ(FloatAt(levels, 4 + 4 * k), 0.0f) << c << " " << k;
    const Bytes& filter = bodies[2 * c + 1];
    EXPECT_EQ(Header(filter, 5), (Bytes{0x09, 0x00, static_cast<std::uint8_t>(5 + c), 29, 6}));
    EXPECT_EQ(LoadBe32(filter.data() + 5), kOneF);
    EXPECT_EQ(LoadBe32(filter.data() + 9), kOneF);
    EXPECT_EQ(LoadBe32(filter.data() + 17), 0xBFFF7EF1u);
  }
  Bytes geometry = {0x85, 0x05, 0x6E, 20};
  geometry.insert(geometry.end(), kDefaultRecord.begin(), kDefaultRecord.end());
  EXPECT_EQ(bodies[16], geometry);
  EXPECT_EQ(model().Geometry(), DefaultSoundFieldGeometry());
  EXPECT_EQ(Store(1358, 32), Bytes(32, 0));
  EXPECT_EQ(Store(1390, 20), kDefaultRecord);
}

}  // namespace
}  // namespace core::params
