#include "core/params/small_eq.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace core::params {
namespace {

constexpr int kW = 204;  // a 200 x 100 plot inside the margins
constexpr int kH = 104;

// The summed level at the point nearest to `f`.
double SumNear(const SmallEqModel& m, float f) {
  const float x = m.XOf(f);
  int best = 0;
  for (int i = 0; i < kSmallEqPoints; ++i) {
    if (std::fabs(m.SumCurve()[i].x - x) < std::fabs(m.SumCurve()[best].x - x)) best = i;
  }
  return m.SumTenths()[best] / 10.0;
}

TEST(SmallEq, FlatBandsLieOnTheZeroLine) {
  SmallEqModel m;
  m.SetSize(kW, kH);
  for (int i = 0; i < kSmallEqPoints; ++i) {
    EXPECT_EQ(m.SumTenths()[i], 0) << i;
    EXPECT_FLOAT_EQ(m.SumCurve()[i].y, 2.0f + 50.0f) << i;
  }
  EXPECT_FLOAT_EQ(m.SumCurve()[0].x, 2.0f);
  EXPECT_FLOAT_EQ(m.SumCurve()[55].x, 2.0f + 200.0f / 56.0f * 55.0f);
}

TEST(SmallEq, PeakingBandRaisesTheSumNearItsFrequencyInTenths) {
  SmallEqModel m;
  m.SetSize(kW, kH);
  m.SetBandGain(5, 6.0f);  // band 5 is at 1000 Hz
  EXPECT_NEAR(SumNear(m, 1000), 6.0, 0.5);
  EXPECT_NEAR(SumNear(m, 20), 0.0, 0.15);
  // The level is rebuilt from the stored pixel y: a sum of tenths.
  EXPECT_EQ(m.Band(5).handleY, static_cast<int>(std::trunc(m.YOf(6.0f))));
  EXPECT_FLOAT_EQ(m.YOf(6.0f), 50.0f - 6.0f * 100.0f / 30.0f + 2.0f);
  const int max = *std::max_element(m.SumTenths().begin(), m.SumTenths().end());
  EXPECT_GE(max, 50);
  EXPECT_LE(max, 60);
}

TEST(SmallEq, PassFiltersIgnoreTheGain) {
  SmallEqModel m;
  m.SetSize(kW, kH);
  m.SetBandType(6, 2);  // low-pass at 2000 Hz
  m.SetBandQ(6, 0.7f);
  m.SetBandGain(6, 9.0f);
  EXPECT_NEAR(SumNear(m, 50), 0.0, 0.15) << "the passband stays flat";
  EXPECT_LT(SumNear(m, 15000), -20.0);
  m.SetBandType(0, 3);  // high-pass at 31 Hz
  m.SetBandGain(0, -9.0f);
  EXPECT_LT(SumNear(m, 11), -10.0);
  EXPECT_NEAR(SumNear(m, 500), 0.0, 0.15);
}

TEST(SmallEq, BandPassNotchAndUnknownTypes) {
  SmallEqModel m;
  m.SetSize(kW, kH);
  m.SetBandType(5, 6);  // band-pass at 1000 Hz: 0 dB at its peak
  m.SetBandQ(5, 2.0f);
  EXPECT_NEAR(SumNear(m, 1000), 0.0, 0.6);
  EXPECT_LT(SumNear(m, 20), -20.0);
  m.SetBandType(5, 7);  // notch
  EXPECT_LT(SumNear(m, 1000), -6.0);
  EXPECT_NEAR(SumNear(m, 20), 0.0, 0.15);
  for (int i = 0; i < kSmallEqPoints; ++i) ASSERT_TRUE(std::isfinite(m.SumCurve()[i].y));
  m.SetBandType(5, 0);
  for (int t : m.SumTenths()) EXPECT_EQ(t, 0) << "type 0 adds nothing";
  m.SetBandType(5, 9);
  for (int t : m.SumTenths()) EXPECT_EQ(t, 0) << "nor does a type above 7";
  EXPECT_FALSE(SmallEqBiquad(8, 1000, 0, 1).has_value());
}

TEST(SmallEq, SettersClampAndIgnoreZeros) {
  SmallEqModel m;
  m.SetSize(kW, kH);
  m.SetBandFrequency(0, 50000.0f);
  EXPECT_EQ(m.Band(0).frequency, 20000.0f);
  EXPECT_FALSE(m.SetBandFrequency(0, 0.0f));
  EXPECT_EQ(m.Band(0).frequency, 20000.0f);
  m.SetBandFrequency(0, 5.0f);
  EXPECT_EQ(m.Band(0).frequency, 20.0f);
  m.SetBandGain(1, 40.0f);
  EXPECT_EQ(m.Band(1).gain, 15.0f);
  m.SetBandQ(1, 0.5f);
  EXPECT_EQ(m.Band(1).q, 1.0f) << "a peaking band's Q stays at 1 or more";
  m.SetBandType(2, 4);
  m.SetBandQ(2, 0.05f);
  EXPECT_FLOAT_EQ(m.Band(2).q, 0.1f);
  EXPECT_FALSE(m.SetBandQ(2, 0.0f));
  EXPECT_FALSE(m.SetBandGain(2, std::numeric_limits<float>::quiet_NaN()));
  EXPECT_FALSE(m.SetBandGain(7, 1.0f));
  EXPECT_FLOAT_EQ(m.Band(2).q, 0.1f);
}

TEST(SmallEq, NothingIsComputedWithoutAPlot) {
  SmallEqModel m;
  m.SetBandGain(3, 9.0f);
  m.SetSize(4, 4);
  for (int t : m.SumTenths()) EXPECT_EQ(t, 0);
  m.SetSize(kW, kH);
  EXPECT_NEAR(SumNear(m, 250), 9.0, 0.8);
}

}  // namespace
}  // namespace core::params
