#include "core/params/eq_kinds.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace core::params {
namespace {

TEST(EqKinds, AddressesAndCountsOfEveryKind) {
  struct Case {
    int kind, module, firstParam, send, copy, plain;
  };
  const Case cases[] = {{0, 1, 18, 15, 15, 15}, {1, 1, 45, 15, 15, 15}, {2, 2, 0, 7, 7, 7},
                        {3, 2, 14, 7, 7, 7},    {4, 3, 0, 7, 7, 7},     {5, 3, 12, 7, 7, 7},
                        {6, 4, 0, 10, 10, 10},  {7, 5, 0, 13, 9, 9},    {11, 9, 0, 13, 9, 9},
                        {14, 12, 0, 13, 9, 9},  {15, 13, 0, 5, 5, 5}};
  for (const Case& c : cases) {
    const auto k = EqKind(c.kind);
    ASSERT_TRUE(k.has_value()) << c.kind;
    EXPECT_EQ(k->module, c.module) << c.kind;
    EXPECT_EQ(k->firstParam, c.firstParam) << c.kind;
    EXPECT_EQ(k->sendCount, c.send) << c.kind;
    EXPECT_EQ(k->copyCount, c.copy) << c.kind;
    EXPECT_EQ(EqPlainBandCount(c.kind), c.plain) << c.kind;
    EXPECT_LE(k->sendCount, EqStoreBandCount(c.kind)) << "a resend stays inside the kind";
  }
  EXPECT_FALSE(EqKind(16).has_value());
  EXPECT_FALSE(EqKind(-1).has_value());
  EXPECT_EQ(EqPlainBandCount(16), 0);
  EXPECT_EQ(EqDefaultFrequencies(20).size(), 13u) << "unknown kinds reset like the outputs";
}

TEST(EqKinds, TheRecordOfMinusThreeDecibels) {
  const BandRecord r = EncodeBandRecord({1, 1000, -3.0f, 1.41f});
  std::array<std::uint8_t, kBandRecordSize> bytes{};
  WriteBandRecord(r, bytes);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 7>{0x00, 0x78, 0x03, 0xE8, 0x05, 0x82, 0x01}));
}

TEST(BandRecordCodec, EveryStoredGainAndQSurvivesDecodeAndEncode) {
  for (int g = 0; g <= 300; ++g) {
    const BandRecord r{static_cast<std::uint16_t>(g), 1000, 1414, 1};
    ASSERT_EQ(EncodeBandRecord(DecodeBandRecord(r)), r) << "gain word " << g;
  }
  for (int q = 0; q <= 65535; ++q) {
    const BandRecord r{150, 1000, static_cast<std::uint16_t>(q), 1};
    ASSERT_EQ(EncodeBandRecord(DecodeBandRecord(r)), r) << "Q word " << q;
  }
}

TEST(BandRecordCodec, QFromTheHundredthsSliderIsStoredAsShown) {
  // The band editor's Q slider gives position / 100 (0.10 .. 30.00).
  for (int position = 10; position <= 3000; ++position) {
    const BandSettings b{1, 1000, 0.0f, static_cast<float>(position) / 100.0f};
    ASSERT_EQ(EncodeBandRecord(b).qWord, position * 10) << "Q " << b.q;
  }
  EXPECT_EQ(EncodeBandRecord({1, 1000, 0.0f, 1.41f}).qWord, 1410);
  EXPECT_EQ(EncodeBandRecord({1, 1000, 0.0f, 0.707f}).qWord, 707);
}

TEST(EqKinds, RecordsNeverWrap) {
  struct Case {
    BandSettings in;
    BandRecord out;
  };
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Case cases[] = {
      {{1, 1000, -15.2f, 1.0f}, {0, 1000, 1000, 1}},     // would be -1 and wrap to 65535
      {{1, 1000, 99.0f, 1.0f}, {300, 1000, 1000, 1}},
      {{1, -5, 0.0f, -1.0f}, {150, 0, 0, 1}},
      {{300, 70000, nan, 100.0f}, {150, 65535, 65535, 255}},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeBandRecord(c.in), c.out) << c.in.gain;
}

TEST(EqKinds, ClampBandKeepsTheUserRanges) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(ClampBand({3, 5, 20.0f, 0.0f}), (BandSettings{3, 20, 15.0f, 0.1f}));
  EXPECT_EQ(ClampBand({1, 30000, -40.0f, 50.0f}), (BandSettings{1, 20000, -15.0f, 30.0f}));
  EXPECT_EQ(ClampBand({18, 100, nan, nan}), (BandSettings{18, 100, 0.0f, 1.41f}));
  EXPECT_EQ(ClampBand({1, 1000, -3.5f, 4.0f}), (BandSettings{1, 1000, -3.5f, 4.0f}));
}

TEST(EqKinds, BandsAreReadAndWrittenOnlyInsideTheirKind) {
  std::vector<std::uint8_t> store(kStoreSize, 0xEE);
  ASSERT_TRUE(WriteBand(store, 15, 4, {2, 120, 0.0f, 0.707f}));
  EXPECT_EQ(ReadBand(store, 15, 4), (BandSettings{2, 120, 0.0f, 0.707f}));
  EXPECT_EQ(store[1350], 0xEE);
  EXPECT_EQ(store[1358], 0xEE) << "the record ends before the sound-field levels";
  const std::pair<int, int> outside[] = {{15, 5}, {0, 15}, {6, 11}, {16, 0}, {-1, 0}, {2, -1}};
  for (const auto& [kind, band] : outside) {
    EXPECT_FALSE(WriteBand(store, kind, band, {})) << kind << "/" << band;
    EXPECT_FALSE(ReadBand(store, kind, band).has_value()) << kind << "/" << band;
  }
  EXPECT_FALSE(WriteBand(std::span<std::uint8_t>(store.data(), 100), 0, 14, {}));
  EXPECT_TRUE(ReadBand(std::span<const std::uint8_t>(store.data(), 7), 0, 0).has_value());
}

}  // namespace
}  // namespace core::params
