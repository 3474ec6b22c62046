// Speaker-distance alignment: the delay each channel needs to arrive with
// the farthest speaker, clamped to the delay range and marked when clamped.
#include "core/params/speaker_alignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using core::params::AlignmentError;
using core::params::AlignmentPlan;
using core::params::DelayRange;
using core::params::PlanSpeakerAlignment;
using Distances = std::vector<std::optional<double>>;

constexpr auto kNone = std::nullopt;

// One expected channel: aligned or not, wanted delay, delay set, clamped.
struct Want {
  bool aligned;
  double wantedMs;
  float delayMs;
  bool outOfRange;
};

struct Case {
  const char* name;
  Distances distances;
  DelayRange range;
  std::vector<Want> want;  // channels 0.. (the rest: not aligned)
};

// 0.343 m of path is 1 ms at 343 m/s. The farthest channel gets the
// range's minimum (1.5 ms on the delay page).
const Case kCases[] = {
    {"front pair farthest, nearer surrounds",
     {3.43, 3.43, 2.401, 1.029},
     {},
     {{true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false},
      {true, 4.5, 4.5f, false},
      {true, 8.5, 8.5f, false}}},
    {"channels without a distance keep out of it",
     {kNone, 2.0, kNone, 1.657},
     {},
     {{false, 0, 0, false},
      {true, 1.5, 1.5f, false},
      {false, 0, 0, false},
      {true, 2.5, 2.5f, false}}},
    {"one channel alone gets the minimum",
     {kNone, kNone, kNone, kNone, kNone, kNone, kNone, 7.5},
     {},
     {{false, 0, 0, false},
      {false, 0, 0, false},
      {false, 0, 0, false},
      {false, 0, 0, false},
      {false, 0, 0, false},
      {false, 0, 0, false},
      {false, 0, 0, false},
      {true, 1.5, 1.5f, false}}},
    {"listener on a speaker (distance 0)",
     {0.0, 0.686},
     {},
     {{true, 3.5, 3.5f, false}, {true, 1.5, 1.5f, false}}},
    {"just inside the range",
     {33.78, 0.0},
     {},
     {{true, 1.5, 1.5f, false}, {true, 99.983965, 99.983965f, false}}},
    {"just beyond the range is clamped and marked",
     {33.79, 0.0},
     {},
     {{true, 1.5, 1.5f, false}, {true, 100.013120, 100.0f, true}}},
    {"far beyond: 40 m against 5.7 m",
     {40.0, 5.7, 39.657},
     {},
     {{true, 1.5, 1.5f, false}, {true, 101.5, 100.0f, true}, {true, 2.5, 2.5f, false}}},
    {"another range",
     {6.86, 3.773, 2.0},
     {0.0f, 10.0f},
     {{true, 0.0, 0.0f, false}, {true, 9.0, 9.0f, false}, {true, 14.169096, 10.0f, true}}},
    {"a ninth distance is no channel",
     {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 50.0},
     {},
     {{true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false},
      {true, 1.5, 1.5f, false}}},
};

TEST(SpeakerAlignment, DelaysAlignEveryChannelToTheFarthest) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const AlignmentPlan plan = PlanSpeakerAlignment(c.distances, c.range);
    ASSERT_TRUE(plan.Ok());
    bool anyOut = false;
    for (std::size_t ch = 0; ch < plan.channels.size(); ++ch) {
      SCOPED_TRACE(ch);
      const auto& got = plan.channels[ch];
      const Want want = ch < c.want.size() ? c.want[ch] : Want{false, 0, 0, false};
      EXPECT_EQ(got.aligned, want.aligned);
      if (!want.aligned) continue;
      EXPECT_NEAR(got.wantedMs, want.wantedMs, 1e-4);
      EXPECT_NEAR(got.delayMs, want.delayMs, 1e-4);
      EXPECT_EQ(got.outOfRange, want.outOfRange);
      EXPECT_LE(got.delayMs, c.range.maxMs);
      EXPECT_GE(got.delayMs, c.range.minMs);
      anyOut = anyOut || want.outOfRange;
    }
    EXPECT_EQ(plan.AnyOutOfRange(), anyOut);
  }
}

TEST(SpeakerAlignment, RefusesWhatIsNoDistanceAndPlansNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Bad {
    Distances distances;
    DelayRange range;
    AlignmentError error;
    int channel;
  };
  const Bad cases[] = {
      {{}, {}, AlignmentError::NoDistance, -1},
      {{kNone, kNone, kNone}, {}, AlignmentError::NoDistance, -1},
      {{2.0, -0.5, 3.0}, {}, AlignmentError::BadDistance, 1},
      {{2.0, 3.0, kNone, nan}, {}, AlignmentError::BadDistance, 3},
      {{inf}, {}, AlignmentError::BadDistance, 0},
      {{2.0, 100.5}, {}, AlignmentError::BadDistance, 1},
      {{2.0, 1.0}, {10.0f, 5.0f}, AlignmentError::BadRange, -1},
      {{2.0, 1.0}, {0.0f, std::numeric_limits<float>::quiet_NaN()}, AlignmentError::BadRange, -1},
  };
  for (const Bad& b : cases) {
    const AlignmentPlan plan = PlanSpeakerAlignment(b.distances, b.range);
    EXPECT_FALSE(plan.Ok());
    EXPECT_EQ(plan.error, b.error);
    EXPECT_EQ(plan.badChannel, b.channel);
    for (const auto& ch : plan.channels) EXPECT_FALSE(ch.aligned);
  }
  // The room's limit itself is a distance.
  EXPECT_TRUE(PlanSpeakerAlignment(Distances{100.0, 99.0}).Ok());
}

}  // namespace
