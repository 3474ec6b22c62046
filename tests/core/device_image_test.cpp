#include "core/params/device_image.h"

#include <gtest/gtest.h>

#include "core/params/param_table.h"
#include "core/params/value_codec.h"

namespace core::params {
namespace {

TEST(EqBandOffset, PlacesEveryKind) {
  struct Case {
    int kind, band, offset;
  };
  const Case cases[] = {
      {0, 0, 0},      {0, 14, 98},    {1, 0, 105},   {1, 14, 203},  {2, 0, 210},
      {5, 6, 399},    {6, 0, 406},    {6, 10, 476},  {7, 0, 483},   {8, 0, 588},
      {14, 14, 1316}, {15, 0, 1323},  {15, 4, 1351},
      {16, 3, 21},    {-1, 2, 14},    // unknown kinds are laid out like kind 0
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EqBandOffset(c.kind, c.band), c.offset) << "kind " << c.kind << " band " << c.band;
  }
}

TEST(EqBandOffset, KindsTileTheBandArea) {
  int next = 0;
  for (int kind = 0; kind < kEqKindCount; ++kind) {
    EXPECT_EQ(EqKindBands(kind).firstBand, next) << kind;
    next += EqKindBands(kind).bandCount;
  }
  EXPECT_EQ(next, 194);
}

class DefaultImage : public ::testing::Test {
 protected:
  void SetUp() override { BuildDefaultImage(image); }
  BandRecord Band(int record) const {
    return ReadBandRecord(std::span<const std::uint8_t, 7>(image.data() + 7 * record, 7));
  }
  Word WordAt(std::size_t offset) const { return LoadBe32(image.data() + offset); }
  DeviceImage image{};
};

TEST_F(DefaultImage, Bands) {
  struct Case {
    int record;
    BandRecord band;
  };
  const Case cases[] = {
      {0, {150, 25, 1414, 1}},      {8, {150, 998, 1414, 1}},    {14, {150, 16000, 1414, 1}},
      {23, {150, 998, 1414, 1}},    {30, {150, 61, 1414, 1}},    {36, {150, 5000, 707, 2}},
      {37, {150, 200, 707, 3}},     {43, {180, 5000, 707, 5}},   {44, {150, 120, 707, 3}},
      {50, {90, 5000, 707, 5}},     {51, {150, 100, 707, 3}},    {57, {120, 3000, 707, 5}},
      {58, {150, 31, 1414, 1}},     {67, {150, 16000, 1414, 1}}, {68, {150, 100, 707, 2}},
      {69, {150, 31, 1414, 1}},     {81, {150, 16000, 1414, 1}}, {82, {150, 500, 707, 1}},
      {83, {150, 1000, 707, 1}},
      // CH6 (kind 12) carries a sub-woofer crossover.
      {144 + 8, {150, 8000, 1414, 1}}, {144 + 9, {150, 100, 707, 18}},
      {144 + 10, {150, 100, 707, 20}}, {144 + 11, {150, 100, 707, 1}},
      {144 + 13, {150, 500, 707, 1}},  {174 + 12, {150, 16000, 1414, 1}},
      {189, {150, 31, 1414, 1}},       {193, {150, 500, 1414, 1}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Band(c.record), c.band) << "band record " << c.record;
  }
  for (int r = 0; r < 194; ++r) EXPECT_NE(Band(r).type, 0) << "record " << r << " left empty";
}

TEST_F(DefaultImage, SoundFieldAndLoudnessArea) {
  const std::uint8_t field[20] = {0x04, 0x04, 0x00, 0x00, 0x8A, 0x0A, 0x00, 0x0A, 0x0A, 0x0A,
                                  0x8A, 0x8A, 0x00, 0x8A, 0x0A, 0x8A, 0x85, 0x00, 0x05, 0x00};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(image[1390 + i], field[i]) << 1390 + i;
  for (int i = 1358; i < 1390; ++i) EXPECT_EQ(image[i], 0) << i;
  for (int i = 1410; i < 1422; ++i) EXPECT_EQ(image[i], 0) << i;
}

TEST_F(DefaultImage, EveryRecordHeaderAndDefaultWord) {
  std::size_t at = kParamRecordsOffset;
  for (const ImageRecord& r : kImageRecords) {
    ASSERT_EQ(image[at], r.module) << at;
    ASSERT_EQ(image[at + 1], r.param) << at;
    ASSERT_EQ(image[at + 2], r.words) << at;
    for (int i = 0; i < r.words; ++i) EXPECT_EQ(WordAt(at + 3 + 4 * i), r.defaults[i]);
    at += 3 + 4 * r.words;
  }
  EXPECT_EQ(at, kImageSize);
}

TEST_F(DefaultImage, DefaultWords) {
  struct Case {
    std::size_t offset;
    Word word;
    const char* what;
  };
  const Case cases[] = {
      {1425, 0x3F800000, "(1,4) 100% without the encoder's bias"},
      {1495, 0x3F000000, "(1,14) 50%"},
      {1864, 0x3F0F5C29, "(3,10) 56%"},
      {1453, 0x3B03126F, "(1,8) noise gate 20"},
      {1558, 0x3A2B929E, "(1,38) shift coefficient, nearest single"},
      {1565, 1200, "(1,39) 25 ms"},
      {1759, 11856, "(2,11) 247 ms"},
      {1600 + 8, 0x3F7D554A, "(1,44) word 2, exact filter bits"},
      {1600 + 12, 0xBFFEA8DC, "(1,44) word 3, exact filter bits"},
      {1704 + 8, 0x3F7D554A, "(1,71) word 2"},
      {1948 + 8, 0x3F400000, "(4,14) ratio coefficient 0.75"},
      {1986, 0x00000000, "(4,16)"},
      {1993, 0xC1C80000, "(4,17) -25.0"},
      {2000, 0x00000005, "(4,21) pitch + 5"},
      {2014, 11, "(4,23) music source"},
      {2133 + 7, 1, "CH1 type"},
      {2133 + 153 + 7, 0, "CH2 type"},
      {2133 + 7 * 153 + 7, 2, "CH8 type"},
      {2133 + 14, 0x3F800000, "CH1 (5,17) word 0"},
      {2133 + 18, 0x00000000, "CH1 (5,17) word 1"},
      {2133 + 126 + 8, 0x3F7EFF25, "CH1 (5,29) word 2, exact filter bits"},
      {2133 + 126 + 12, 0xBFFF7EF1, "CH1 (5,29) word 3, exact filter bits"},
      {3392 + 8, 0x3F77777D, "(13,10) ratio coefficient"},
      {3437, 0x43480000, "(14,0) 200 Hz"},
      {3514, 1, "(14,11)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WordAt(c.offset), c.word) << c.what << " at " << c.offset << ": 0x" << std::hex
                                        << WordAt(c.offset);
  }
  const std::uint8_t types[8] = {1, 0, 7, 6, 5, 4, 3, 2};
  for (int ch = 0; ch < 8; ++ch) EXPECT_EQ(image[2133 + 153 * ch + 7 + 3], types[ch]) << ch;
}

TEST(ImageBlocks, SixtyThreeBlocksCoverTheImage) {
  int covered = 0;
  for (int i = 0; i < kImageBlockCount; ++i) {
    const ImageBlock b = ImageBlockAt(i);
    EXPECT_EQ(b.offset, covered);
    covered += b.size;
  }
  EXPECT_EQ(covered, 3518);
  EXPECT_EQ(ImageBlockAt(62).offset, 3472);
  EXPECT_EQ(ImageBlockAt(62).size, 46);
}

}  // namespace
}  // namespace core::params
