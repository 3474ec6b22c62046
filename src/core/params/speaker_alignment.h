#pragma once

#include <array>
#include <optional>
#include <span>

namespace core::params {

// Time alignment of the output channels by the speakers' distances from
// the listening position: each channel is delayed by the time sound takes
// to cover the difference between its distance and the farthest one, so
// that every speaker's sound arrives together with the farthest speaker's.

inline constexpr int kAlignChannelCount = 8;
// Speed of sound in air at 20 °C.
inline constexpr double kSpeedOfSoundMps = 343.0;
// The distances a room can hold; anything else is a typing error.
inline constexpr double kMaxSpeakerDistanceM = 100.0;
// The delay page's range of a channel's delay (its chart's limits).
inline constexpr float kAlignMinDelayMs = 1.5f;
inline constexpr float kAlignMaxDelayMs = 100.0f;

struct DelayRange {
  float minMs = kAlignMinDelayMs;
  float maxMs = kAlignMaxDelayMs;
};

// The delay of one channel. A channel without a distance is not part of
// the alignment (`aligned` false) and keeps its delay.
struct AlignedDelay {
  bool aligned = false;
  double distanceM = 0;
  double wantedMs = 0;      // what alignment asks for
  float delayMs = 0;        // that, within the range
  bool outOfRange = false;  // wantedMs lies beyond the range: delayMs is clamped
};

enum class AlignmentError {
  None,
  NoDistance,   // no channel has a distance
  BadDistance,  // a distance is negative, not finite or beyond 100 m
  BadRange,     // the range is empty or not finite
};

struct AlignmentPlan {
  AlignmentError error = AlignmentError::None;
  int badChannel = -1;  // with BadDistance: the first channel at fault
  std::array<AlignedDelay, kAlignChannelCount> channels{};
  bool Ok() const { return error == AlignmentError::None; }
  bool AnyOutOfRange() const;
};

// The delays that align the channels that have a distance (metres, index
// = channel 0..7; missing entries and nullopt are channels left alone) to
// the farthest of them: the farthest gets the range's minimum, each nearer
// one minimum + (farthest - distance) / 343 m/s. A delay beyond the range's
// maximum is clamped to it and marked out of range. Distances beyond the
// eighth are ignored. Nothing is planned (an error) when no channel has a
// distance or any distance is invalid.
AlignmentPlan PlanSpeakerAlignment(std::span<const std::optional<double>> distancesM,
                                   DelayRange range = {});

}  // namespace core::params
