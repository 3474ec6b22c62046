#include "core/params/eq_band_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/params/eq_kinds.h"

namespace core::params {
namespace {

constexpr int kWidth = 640;

// The point of the axis nearest to `f`.
int PointNear(const EqBandSet& set, float f) {
  int best = 0;
  for (int i = 0; i < kEqResponsePoints; ++i) {
    if (std::fabs(std::log(set.Axis().frequency[i] / f)) <
        std::fabs(std::log(set.Axis().frequency[best] / f))) {
      best = i;
    }
  }
  return best;
}

TEST(EqBandSet, KindsSetTheirBandsAndTheChannelComposite) {
  struct Case {
    int kind, count;
    float first, last;
  };
  const Case cases[] = {{0, 15, 25, 16000}, {1, 15, 25, 16000}, {3, 7, 50, 3200},
                        {6, 10, 31, 16000}, {7, 13, 31, 16000}, {14, 13, 31, 16000},
                        {15, 5, 50, 800}};
  EqBandSet set;
  for (const Case& c : cases) {
    set.SetEqKind(c.kind);
    EXPECT_EQ(set.BandCount(), c.count) << c.kind;
    EXPECT_EQ(set.Band(0).frequency, c.first) << c.kind;
    EXPECT_EQ(set.Band(c.count - 1).frequency, c.last) << c.kind;
    for (int i = 0; i < c.count; ++i) {
      EXPECT_EQ(set.Band(i).type, 1);
      EXPECT_EQ(set.Band(i).gain, 0.0f);
      EXPECT_FLOAT_EQ(set.Band(i).q, 1.41f);
      EXPECT_EQ(set.Band(i).index, i);
    }
    const bool channel = c.kind >= 7 && c.kind <= 14;
    if (c.count > 9) {
      EXPECT_EQ(set.Band(9).sectionCount, channel ? 3 : 0) << c.kind;
    }
    EXPECT_EQ(set.PickableBandCount(), channel ? 10 : c.count);
    if (channel) {
      EXPECT_EQ(set.Band(9).sections, (std::array<int, 3>{10, 11, 12}));
      for (int s = 10; s <= 12; ++s) EXPECT_FALSE(set.Band(s).visible);
    } else if (c.count > 10) {
      for (int s = 10; s < c.count; ++s) EXPECT_TRUE(set.Band(s).visible);
    }
  }
}

TEST(EqBandSet, UnknownKindKeepsTheBandsAndSevenBandsForTheEffects) {
  EqBandSet set;
  set.SetEqKind(2);
  set.SetEqKind(20);
  EXPECT_EQ(set.Kind(), 20);
  EXPECT_EQ(set.BandCount(), 13);
  EXPECT_EQ(set.Band(0).frequency, 50.0f) << "not re-initialised";
  set.SetSevenBands();
  EXPECT_EQ(set.BandCount(), 7);
  const float expected[] = {31, 62, 125, 250, 500, 1000, 2000};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(set.Band(i).frequency, expected[i]);
}

TEST(EqBandSet, ResponsesWaitForAPlotAndFlatBandsSumToZero) {
  EqBandSet set;
  set.SetEqKind(0);
  set.SetBandGain(6.0f, 8);
  for (float v : set.Band(8).response) ASSERT_EQ(v, 0.0f) << "no plot yet";
  set.SetPlotWidth(kWidth);
  EXPECT_NEAR(set.Band(8).response[PointNear(set, 1000)], 6.0, 0.05);
  set.SetBandGain(0.0f, 8);
  for (float v : set.SummedResponse()) ASSERT_NEAR(v, 0.0f, 1e-6f);
}

TEST(EqBandSet, TypeChangesResetGainAndQ) {
  struct Case {
    int type;
    float gain, q;
  };
  // Starting from +6 dB and Q 5 each time.
  const Case cases[] = {{1, 6, 1.41f}, {2, 0, 0.7f}, {3, 0, 0.7f}, {4, 0, 0.7f},
                        {5, 0, 0.7f},  {0, 6, 5},    {18, 6, 5}};
  EqBandSet set;
  set.SetPlotWidth(kWidth);
  set.SetEqKind(0);
  for (const Case& c : cases) {
    set.SetBandType(3, 1);
    set.SetBandGain(6.0f, 3);
    set.SetBandQ(5.0f, 3);
    ASSERT_TRUE(set.SetBandType(3, c.type));
    EXPECT_EQ(set.Band(3).type, c.type);
    EXPECT_FLOAT_EQ(set.Band(3).gain, c.gain) << c.type;
    EXPECT_FLOAT_EQ(set.Band(3).q, c.q) << c.type;
  }
  EXPECT_FALSE(set.SetBandType(40, 1));
  EXPECT_FALSE(set.SetBandType(3, 256));
}

TEST(EqBandSet, GainIsClampedAndForcedFlatOnPassSections) {
  struct Case {
    int type;
    float in, out;
  };
  const Case cases[] = {{1, 20, 15},  {1, -20, -15}, {4, 6.5f, 6.5f}, {5, -30, -15},
                        {2, 6, 0},    {3, -3, 0},    {12, 5, 0},      {21, 5, 0},
                        {0, 5, 5}};
  EqBandSet set;
  for (const Case& c : cases) {
    set.SetBandType(0, c.type);
    ASSERT_TRUE(set.SetBandGain(c.in, 0));
    EXPECT_EQ(set.Band(0).gain, c.out) << "type " << c.type << " gain " << c.in;
  }
  set.SetBandType(0, 1);
  set.SetBandGain(3.0f, 0);
  EXPECT_FALSE(set.SetBandGain(std::numeric_limits<float>::quiet_NaN(), 0));
  EXPECT_EQ(set.Band(0).gain, 3.0f);
}

TEST(EqBandSet, QIsClampedByTypeAndZeroIsIgnored) {
  struct Case {
    int type;
    float in, out;
  };
  const Case cases[] = {{1, 50, 30},      {1, 0.05f, 0.1f}, {1, 12.5f, 12.5f}, {2, 5, 2},
                        {4, 0.05f, 0.1f}, {5, 1.5f, 1.5f},  {3, -2, 0.1f}};
  EqBandSet set;
  for (const Case& c : cases) {
    set.SetBandType(1, c.type);
    ASSERT_TRUE(set.SetBandQ(c.in, 1));
    EXPECT_FLOAT_EQ(set.Band(1).q, c.out) << "type " << c.type << " Q " << c.in;
  }
  set.SetBandType(1, 1);
  set.SetBandQ(4.0f, 1);
  EXPECT_FALSE(set.SetBandQ(0.0f, 1));
  EXPECT_FALSE(set.SetBandQ(1e-8f, 1));
  EXPECT_FALSE(set.SetBandQ(std::numeric_limits<float>::quiet_NaN(), 1));
  EXPECT_EQ(set.Band(1).q, 4.0f);
}

TEST(EqBandSet, FrequencyIsClampedToTheBandLimits) {
  EqBandSet set;
  const std::pair<float, float> cases[] = {{5, 20}, {50000, 20000}, {1510, 1510}, {-3, 20}};
  for (const auto& [in, out] : cases) {
    ASSERT_TRUE(set.SetBandFrequency(2, in));
    EXPECT_EQ(set.Band(2).frequency, out) << in;
  }
  EXPECT_FALSE(set.SetBandFrequency(2, std::numeric_limits<float>::quiet_NaN()));
}

TEST(EqBandSet, TypeZeroKeepsItsLastResponseAndIsNotSummed) {
  EqBandSet set;
  set.SetPlotWidth(kWidth);
  set.SetEqKind(15);
  set.SetBandGain(9.0f, 2);
  const EqResponse before = set.Band(2).response;
  set.SetBandType(2, 0);
  set.SetBandFrequency(2, 5000);
  EXPECT_EQ(set.Band(2).response, before);
  for (float v : set.SummedResponse()) ASSERT_NEAR(v, 0.0f, 1e-6f);
}

TEST(EqBandSet, CompositeTypeMenuUsesTheFixedSectionSets) {
  struct Case {
    int menuType;
    SectionTypes onComposite;
    int plainType;
    float plainQ;
  };
  const Case cases[] = {{1, {1, 1, 1, 1}, 1, 1.41f}, {2, {18, 20, 1, 1}, 2, 0.7f},
                        {3, {19, 21, 1, 1}, 3, 0.7f}, {4, {4, 1, 1, 1}, 4, 0.7f},
                        {5, {5, 1, 1, 1}, 5, 0.7f},   {0, {0, 0, 0, 0}, 0, 1.41f}};
  EqBandSet set;
  set.SetPlotWidth(kWidth);
  for (const Case& c : cases) {
    set.SetEqKind(9);
    set.SetBandGain(5.0f, 9);
    ASSERT_TRUE(set.SetCompositeType(9, c.menuType));
    EXPECT_EQ(set.SectionTypesOf(9), c.onComposite) << c.menuType;
    EXPECT_EQ(set.Band(9).gain, 0.0f);
    ASSERT_TRUE(set.SetCompositeType(4, c.menuType));
    EXPECT_EQ(set.Band(4).type, c.plainType);
    EXPECT_FLOAT_EQ(set.Band(4).q, c.plainQ);
    EXPECT_EQ(set.SectionTypesOf(4), (SectionTypes{c.plainType, 1, 1, 1}));
  }
  EXPECT_FALSE(set.SetCompositeType(9, 6));
}

TEST(EqBandSet, CrossoverSlopeFollowsTheBandsDirection) {
  struct Case {
    int startMenu;  // type menu entry chosen first
    int slope;
    SectionTypes types;
  };
  const Case cases[] = {
      {2, 1, {12, 12, 1, 1}},    // LP, LinkwitzRiely 24dB
      {3, 1, {13, 13, 1, 1}},    // HP
      {2, 3, {18, 20, 18, 20}},  // LinkwitzRiely 48dB
      {3, 2, {15, 11, 15, 11}},  // LinkwitzRiely 36dB high-pass
      {2, 10, {6, 1, 1, 1}},     // Chebyshev
      {3, 11, {1, 1, 1, 1}},
      {1, 0, {11, 11, 1, 1}},    // a PEQ band has an odd type: high-pass
  };
  EqBandSet set;
  set.SetPlotWidth(kWidth);
  set.SetEqKind(7);
  for (const Case& c : cases) {
    set.SetCompositeType(9, c.startMenu);
    ASSERT_TRUE(set.SetCrossoverSlope(9, c.slope));
    EXPECT_EQ(set.SectionTypesOf(9), c.types) << c.slope;
  }
  const SectionTypes before = set.SectionTypesOf(9);
  EXPECT_FALSE(set.SetCrossoverSlope(9, 12));
  EXPECT_FALSE(set.SetCrossoverSlope(9, -1));
  EXPECT_FALSE(set.SetCrossoverSlope(3, 1)) << "not a composite band";
  EXPECT_EQ(set.SectionTypesOf(9), before);
  EXPECT_EQ(set.Band(3).type, 1);
}

TEST(EqBandSet, FindSlopeReadsBackEverySlopeAndDirection) {
  for (int slope = 0; slope <= 10; ++slope) {
    for (int d = 0; d < 2; ++d) {
      int display = -1;
      EXPECT_EQ(FindSlope(*CrossoverSlopeTypes(slope, d), display), slope);
      EXPECT_EQ(display, 2 + d) << slope;
    }
  }
  struct Case {
    SectionTypes types;
    int slope, display;
  };
  const Case cases[] = {{{18, 20, 1, 1}, 9, 2}, {{19, 21, 19, 21}, 3, 3}, {{9, 11, 1, 1}, 5, 3},
                        {{1, 1, 1, 1}, 11, 1},  {{4, 1, 1, 1}, 12, 4},    {{5, 1, 1, 1}, 13, 5},
                        {{2, 1, 1, 1}, 0, 77},  {{20, 18, 1, 1}, 0, 77}};
  for (const Case& c : cases) {
    int display = 77;
    EXPECT_EQ(FindSlope(c.types, display), c.slope);
    EXPECT_EQ(display, c.display);
  }
}

TEST(EqBandSet, SectionsFollowTheCompositeFrequencyAndJoinTheSum) {
  EqBandSet set;
  set.SetPlotWidth(kWidth);
  set.SetEqKind(12);
  set.SetCompositeType(9, 2);  // Butterworth 24 dB low-pass
  set.SetBandFrequency(9, 1000);
  for (int s = 10; s <= 12; ++s) EXPECT_EQ(set.Band(s).frequency, 1000.0f);
  const int corner = PointNear(set, 1000);
  const float atCorner = set.Axis().frequency[corner];
  const double expected = LevelDbAt(ComputeBiquad(0, 1000, 0, 0, kEqSampleRate, 18), atCorner) +
                          LevelDbAt(ComputeBiquad(0, 1000, 0, 0, kEqSampleRate, 20), atCorner);
  EXPECT_NEAR(expected, -3.0, 0.2) << "fourth-order Butterworth near its corner";
  EXPECT_NEAR(set.SummedResponse()[corner], expected, 1e-4);
  EXPECT_NEAR(set.BandAreaResponse(9)[corner], expected, 1e-4);
  EXPECT_NEAR(set.BandAreaResponse(9)[0], 0.0, 1e-3);
  EXPECT_LT(set.SummedResponse()[PointNear(set, 8000)], -60.0f);
}

TEST(EqBandSet, LoadsTheDefaultSubwooferCrossoverFromTheStore) {
  DeviceImage image{};
  BuildDefaultImage(image);
  EqBandSet set;
  set.SetPlotWidth(kWidth);
  set.SetEqKind(12);  // CH6 carries a 24 dB low-pass at 100 Hz by default
  set.LoadBands(std::span<const std::uint8_t>(image.data(), kStoreSize));
  int display = 0;
  EXPECT_EQ(FindSlope(set.SectionTypesOf(9), display), 9);
  EXPECT_EQ(display, 2);
  EXPECT_EQ(set.Band(9).frequency, 100.0f);
  EXPECT_FLOAT_EQ(set.Band(0).q, 1.414f);
  EXPECT_EQ(set.Band(8).frequency, 8000.0f);
  EXPECT_LT(set.SummedResponse()[PointNear(set, 1000)], -30.0f);
}

TEST(EqBandSet, LoadingKeepsAZeroFrequencyAndClampsTheRest) {
  std::vector<std::uint8_t> store(kStoreSize, 0);
  const BandRecord records[] = {{210, 0, 2000, 1}, {150, 30000, 1414, 1}, {0, 10, 50, 1}};
  for (int j = 0; j < 3; ++j) {
    WriteBandRecord(records[j], std::span<std::uint8_t, kBandRecordSize>(
                                    store.data() + EqBandOffset(15, j), kBandRecordSize));
  }
  EqBandSet set;
  set.SetEqKind(15);
  set.LoadBands(store);
  EXPECT_EQ(set.Band(0).frequency, 50.0f) << "a zero frequency keeps the default";
  EXPECT_FLOAT_EQ(set.Band(0).gain, 6.0f);
  EXPECT_FLOAT_EQ(set.Band(0).q, 2.0f);
  EXPECT_EQ(set.Band(1).frequency, 20000.0f);
  EXPECT_EQ(set.Band(2).frequency, 20.0f);
  EXPECT_FLOAT_EQ(set.Band(2).gain, -15.0f);
  EXPECT_FLOAT_EQ(set.Band(2).q, 0.1f);
  EXPECT_EQ(set.Band(3).type, 0) << "the zeroed records switch the rest off";
}

}  // namespace
}  // namespace core::params
