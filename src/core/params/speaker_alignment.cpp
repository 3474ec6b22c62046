#include "core/params/speaker_alignment.h"

#include <algorithm>
#include <cmath>

namespace core::params {

bool AlignmentPlan::AnyOutOfRange() const {
  return std::any_of(channels.begin(), channels.end(),
                     [](const AlignedDelay& d) { return d.aligned && d.outOfRange; });
}

AlignmentPlan PlanSpeakerAlignment(std::span<const std::optional<double>> distancesM,
                                   DelayRange range) {
  AlignmentPlan plan;
  if (!std::isfinite(range.minMs) || !std::isfinite(range.maxMs) || range.minMs > range.maxMs) {
    plan.error = AlignmentError::BadRange;
    return plan;
  }
  const std::size_t count = std::min<std::size_t>(distancesM.size(), kAlignChannelCount);
  double farthest = -1;
  for (std::size_t c = 0; c < count; ++c) {
    if (!distancesM[c]) continue;
    const double d = *distancesM[c];
    if (!std::isfinite(d) || d < 0 || d > kMaxSpeakerDistanceM) {
      plan.error = AlignmentError::BadDistance;
      plan.badChannel = static_cast<int>(c);
      return plan;
    }
    farthest = std::max(farthest, d);
  }
  if (farthest < 0) {
    plan.error = AlignmentError::NoDistance;
    return plan;
  }
  for (std::size_t c = 0; c < count; ++c) {
    if (!distancesM[c]) continue;
    AlignedDelay& a = plan.channels[c];
    a.aligned = true;
    a.distanceM = *distancesM[c];
    a.wantedMs = range.minMs + (farthest - a.distanceM) / kSpeedOfSoundMps * 1000.0;
    a.outOfRange = a.wantedMs > static_cast<double>(range.maxMs);
    a.delayMs = a.outOfRange ? range.maxMs : static_cast<float>(a.wantedMs);
  }
  return plan;
}

}  // namespace core::params
