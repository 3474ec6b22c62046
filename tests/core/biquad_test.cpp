#include "core/params/biquad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/params/eq_band_set.h"

namespace core::params {
namespace {

constexpr double kButterworthQ = 0.70710678118654752;
constexpr double kMinus3 = -3.0102999566;  // 20 log10(1/sqrt 2)
constexpr double kMinus6 = -6.0205999133;  // 20 log10(1/2)

double Level(int type, double f, double gain, double q, double at) {
  return LevelDbAt(ComputeBiquad(gain, f, q, 0.0, kEqSampleRate, type), at);
}

TEST(Biquad, PeakingBandIsItsGainAtItsCentre) {
  struct Case {
    double f, gain, q;
  };
  const Case cases[] = {{1000, 6, 1.41}, {63, -3.5, 4}, {20, 15, 30},
                        {16000, -15, 0.5}, {250, 0.1, 0.1}, {20000, 9, 2}};
  for (const Case& c : cases) {
    EXPECT_NEAR(Level(1, c.f, c.gain, c.q, c.f), c.gain, 1e-5) << c.f << " Hz";
    // Two decades away a narrow band is flat again.
    if (c.q >= 1.0 && c.f * 100 < 24000) {
      EXPECT_NEAR(Level(1, c.f, c.gain, c.q, c.f * 100), 0.0, 0.05) << c.f << " Hz";
    }
  }
}

TEST(Biquad, PeakingOutputGainScalesEverywhere) {
  const Biquad c = ComputeBiquad(0.0, 1000, 1.41, -6.0, kEqSampleRate, 1);
  for (double f : {30.0, 1000.0, 15000.0}) EXPECT_NEAR(LevelDbAt(c, f), -6.0, 1e-9) << f;
}

TEST(Biquad, ButterworthSectionsAreThreeDecibelsDownAtTheCorner) {
  struct Case {
    int type;
    double q;  // used by types 2 and 3 only
  };
  const Case cases[] = {{2, kButterworthQ}, {3, kButterworthQ}, {12, 5.0}, {13, 5.0},
                        {10, 5.0},          {11, 5.0}};
  for (const Case& c : cases) {
    for (double f : {50.0, 1000.0, 12000.0}) {
      EXPECT_NEAR(Level(c.type, f, 0, c.q, f), kMinus3, 1e-6) << "type " << c.type << " " << f;
    }
    const bool lowPass = c.type % 2 == 0;
    const double pass = lowPass ? 10.0 : 20000.0;
    const double corner = lowPass ? 1000.0 : 100.0;
    EXPECT_NEAR(Level(c.type, corner, 0, c.q, pass), 0.0, 0.01) << "type " << c.type;
  }
}

TEST(Biquad, SecondOrderPassSectionsFallTwelveDecibelsPerOctave) {
  // Far below the corner of a high-pass, an octave costs 12 dB.
  const double a = Level(13, 4000, 0, 0, 250);
  const double b = Level(13, 4000, 0, 0, 125);
  EXPECT_NEAR(a - b, 12.04, 0.05);
}

// The composite crossover: the summed levels of a band and its sections at
// the crossover frequency. Linkwitz-Riley slopes are two Butterworth
// filters in a row (-6 dB), Butterworth slopes one (-3 dB), the ripple
// section ends its passband 0.1 dB down.
TEST(Biquad, CrossoverSlopesAtTheCrossover) {
  struct Case {
    int slope;
    double expected;
  };
  const Case cases[] = {{0, kMinus6}, {1, kMinus6}, {2, kMinus6}, {3, kMinus6},
                        {7, kMinus3}, {8, kMinus3}, {9, kMinus3}, {10, -0.1},
                        {11, 0.0}};
  for (const Case& c : cases) {
    for (int direction = 0; direction < 2; ++direction) {
      const SectionTypes types = *CrossoverSlopeTypes(c.slope, direction);
      for (double f : {80.0, 2000.0}) {
        double sum = 0.0;
        for (int type : types) sum += Level(type, f, 0, 1.41, f);
        EXPECT_NEAR(sum, c.expected, 1e-4)
            << CrossoverSlopeName(c.slope) << " direction " << direction << " at " << f;
      }
    }
  }
}

TEST(Biquad, RippleSectionsStayWithinTheirTenthOfADecibel) {
  const double corner = 1000.0;
  double lowMax = -100, lowMin = 100, highMax = -100, highMin = 100;
  for (double f = 20.0; f <= corner; f *= 1.01) {
    const double v = Level(6, corner, 0, 0, f);
    lowMax = std::max(lowMax, v);
    lowMin = std::min(lowMin, v);
  }
  for (double f = corner; f <= 20000.0; f *= 1.01) {
    const double v = Level(7, corner, 0, 0, f);
    highMax = std::max(highMax, v);
    highMin = std::min(highMin, v);
  }
  EXPECT_NEAR(lowMax, 0.0, 0.002);
  EXPECT_NEAR(lowMin, -0.1, 0.002);
  EXPECT_NEAR(highMax, 0.0, 0.002);
  EXPECT_NEAR(highMin, -0.1, 0.002);
  EXPECT_LT(Level(6, corner, 0, 0, 8 * corner), -20.0) << "a low-pass after all";
  EXPECT_LT(Level(7, corner, 0, 0, corner / 8), -20.0) << "and a high-pass";
}

TEST(Biquad, ShelvesReachTheirGainFarFromTheCorner) {
  struct Case {
    int type;
    double f, gain;
    double shelf, flat;  // where the shelf and the flat side are measured
  };
  const Case cases[] = {{4, 100, 6, 18, 20000},   {4, 200, -9, 18, 20000},
                        {5, 5000, 6, 23000, 20},  {5, 2000, -12, 23000, 20},
                        {4, 80, 15, 18, 18000}};
  for (const Case& c : cases) {
    EXPECT_NEAR(Level(c.type, c.f, c.gain, 0.707, c.shelf), c.gain, 0.25 * std::fabs(c.gain) / 6)
        << "type " << c.type << " " << c.f;
    EXPECT_NEAR(Level(c.type, c.f, c.gain, 0.707, c.flat), 0.0, 0.05) << c.type << " " << c.f;
    EXPECT_NEAR(Level(c.type, c.f, c.gain, 0.707, c.f), c.gain / 2, 1e-6)
        << "half the gain at the shelf's frequency";
  }
}

TEST(Biquad, EveryTypeIsFiniteOverTheWholeAxis) {
  const EqResponseAxis axis = MakeEqResponseAxis(777);
  EqResponse out{};
  for (int type = 1; type <= 23; ++type) {
    for (float f : {20.0f, 1000.0f, 20000.0f}) {
      for (float gain : {-15.0f, 0.0f, 15.0f}) {
        for (float q : {0.1f, 1.41f, 30.0f}) {
          ASSERT_TRUE(ComputeBandResponse(axis, type, f, gain, q, out));
          for (float v : out) {
            ASSERT_TRUE(std::isfinite(v)) << "type " << type << " f " << f << " g " << gain;
          }
        }
      }
    }
  }
}

// Inputs no page produces but a corrupt store can: no NaN or infinity may
// come out, for the curve or the wire.
TEST(Biquad, DegenerateInputsGiveFiniteCoefficients) {
  struct Case {
    double gain, f, q, k, rate;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {{0, 1000, 0, 0, 48000},   {-15, 0, 0, 0, 48000}, {0, 0, 1, 0, 48000},
                        {0, 1000, 1, 0, 0},       {5000, 1000, 1, 0, 48000},
                        {nan, 1000, 1, 0, 48000}, {0, nan, 1, 0, 48000}, {0, 1000, nan, 0, 48000},
                        {0, 24000, 1, 0, 48000},  {0, 48000, 1, 0, 48000}, {0, 1000, -1, 0, 48000}};
  for (int type = 0; type <= 22; ++type) {
    for (const Case& c : cases) {
      const Biquad b = ComputeBiquad(c.gain, c.f, c.q, c.k, c.rate, type);
      for (double v : {b.b0, b.b1, b.b2, b.a1, b.a2}) {
        ASSERT_TRUE(std::isfinite(v)) << "type " << type << " f " << c.f << " q " << c.q;
      }
      for (Word w : BandMessageWords(b)) ASSERT_TRUE(std::isfinite(BitsFloat(w)));
    }
  }
  // A zero Q is raised to the smallest Q a record holds: a stable filter.
  const Biquad zeroQ = ComputeBiquad(6, 1000, 0, 0, kEqSampleRate, 1);
  EXPECT_LT(std::fabs(zeroQ.a2), 1.0);
}

TEST(Biquad, BandMessageCarriesNegatedDenominatorThenNumerator) {
  const Biquad c{0.5, 0.25, -0.125, -1.5, 0.75};
  const std::array<Word, 5> words = BandMessageWords(c);
  EXPECT_EQ(words, (std::array<Word, 5>{0x3FC00000, 0xBF400000, 0x3F000000, 0x3E800000,
                                        0xBE000000}));
}

TEST(Biquad, AxisSpansEighteenHertzToJustBelowTwentyThreeKilohertz) {
  const EqResponseAxis axis = MakeEqResponseAxis(600);
  EXPECT_FLOAT_EQ(axis.frequency[0], 18.0f);
  EXPECT_GT(axis.frequency[511], 22000.0f);
  EXPECT_LT(axis.frequency[511], 23000.0f);
  for (int i = 1; i < kEqResponsePoints; ++i) ASSERT_GT(axis.frequency[i], axis.frequency[i - 1]);
  // The points are spaced evenly on the logarithmic axis.
  const double ratio = std::pow(23000.0 / 18.0, 1.0 / 512.0);
  EXPECT_NEAR(axis.frequency[256] / axis.frequency[255], ratio, 1e-5);
}

TEST(Biquad, PeakingResponseShowsItsGainExactlyAtTheCentrePoint) {
  for (int width : {512, 700, 983}) {
    const EqResponseAxis axis = MakeEqResponseAxis(width);
    for (float f : {1000.0f, 63.0f, 12345.0f}) {
      EqResponse out{};
      ASSERT_TRUE(ComputeBandResponse(axis, 1, f, 6.0f, 30.0f, out));
      const auto centre = EqCentreIndex(axis, f);
      ASSERT_TRUE(centre.has_value());
      EXPECT_EQ(out[*centre], 6.0f) << width << " " << f;
      // The centre point lies at most two grid points below the frequency.
      EXPECT_LE(axis.frequency[*centre], f * 1.0001f);
      EXPECT_GT(axis.frequency[*centre + 2], f * 0.9999f);
      // The narrow band's plain response there is well below its gain.
      EXPECT_LT(LevelDbAt(ComputeBiquad(6, f, 30, 0, kEqSampleRate, 1), axis.frequency[*centre]),
                5.9);
    }
  }
}

TEST(Biquad, CentreOutsideTheAxisIsNotMarked) {
  const EqResponseAxis axis = MakeEqResponseAxis(512);
  for (float f : {0.0f, 10.0f, 17.0f, 23000.0f, 30000.0f, -5.0f}) {
    EXPECT_FALSE(EqCentreIndex(axis, f).has_value()) << f;
    EqResponse out{};
    ASSERT_TRUE(ComputeBandResponse(axis, 1, f, 6.0f, 1.41f, out));
    for (float v : out) ASSERT_TRUE(std::isfinite(v)) << f;
  }
}

TEST(Biquad, NoPlotOrTypeZeroLeavesTheResponse) {
  EqResponse out{};
  out.fill(7.0f);
  EXPECT_FALSE(ComputeBandResponse(MakeEqResponseAxis(0), 1, 1000, 6, 1, out));
  EXPECT_FALSE(ComputeBandResponse(MakeEqResponseAxis(500), 0, 1000, 6, 1, out));
  for (float v : out) ASSERT_EQ(v, 7.0f);
}

}  // namespace
}  // namespace core::params
