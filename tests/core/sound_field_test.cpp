#include "core/params/sound_field.h"

#include <gtest/gtest.h>

namespace core::params {
namespace {

TEST(SoundField, CoordinateBytes) {
  struct Case {
    float metres;
    std::uint8_t byte;
  };
  const Case cases[] = {
      {-0.5f, 0x85}, {1.0f, 0x0A}, {0.0f, 0x80}, {0.04f, 0x00}, {-0.04f, 0x80},
      {2.3f, 0x17}, {-5.0f, 0xB2}, {50.0f, 0x7F}, {-50.0f, 0xFF},  // beyond 12.7 m: saturated
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeCoordinate(c.metres), c.byte) << c.metres;
  }
  EXPECT_FLOAT_EQ(DecodeCoordinate(0x85), -0.5f);
  EXPECT_FLOAT_EQ(DecodeCoordinate(0x0A), 1.0f);
  EXPECT_FLOAT_EQ(DecodeCoordinate(0x80), 0.0f);
  EXPECT_FLOAT_EQ(DecodeCoordinate(0x7F), 12.7f);
}

TEST(SoundField, DefaultRecordDecodesToTheResetGeometry) {
  const SoundFieldRecord bytes = {0x04, 0x04, 0x00, 0x00, 0x8A, 0x0A, 0x00, 0x0A, 0x0A, 0x0A,
                                  0x8A, 0x8A, 0x00, 0x8A, 0x0A, 0x8A, 0x85, 0x00, 0x05, 0x00};
  const SoundFieldGeometry g = DecodeSoundFieldBlock(bytes);
  EXPECT_EQ(g, DefaultSoundFieldGeometry());
  EXPECT_EQ(DecodeSoundFieldBlock(EncodeSoundFieldRecord(g)), g);
  const SoundFieldRecord encoded = EncodeSoundFieldRecord(g);
  EXPECT_EQ(encoded[2], 0x80) << "a zero coordinate is written with the sign bit";
  EXPECT_EQ(encoded[16], 0x85);
}

TEST(SoundField, RoomSizeIsClampedOnDecode) {
  SoundFieldRecord bytes{};
  bytes[0] = 0;
  bytes[1] = 200;
  const SoundFieldGeometry g = DecodeSoundFieldBlock(bytes);
  EXPECT_EQ(g.width, 1);
  EXPECT_EQ(g.length, 10);
}

}  // namespace
}  // namespace core::params
