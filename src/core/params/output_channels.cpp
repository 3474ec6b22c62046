#include "core/params/output_channels.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/params/eq_bank.h"
#include "core/params/named_params.h"

namespace core::params {
namespace {

// EQ records 0..12 are the user bands of an output; 13 and 14 the split.
constexpr int kUserBandCount = 13;
constexpr int kLastPosition = 7;

bool ValidChannel(int channel) {
  return channel >= 0 && channel < kOutputCount;
}

constexpr ParamName MixParam(int channel, int which) {
  switch (which) {
    case 0:
      return OutputMixDirect(channel);
    case 1:
      return OutputMixReverb(channel);
    case 2:
      return OutputMixEcho(channel);
    default:
      return OutputMixMusic(channel);
  }
}

// The scalar items the comparison and the copy share, in the copy's order
// up to the split (the delay and parameter 28 come later).
constexpr std::array<ParamName (*)(int), 6> kLeadingParams = {
    [](int c) { return OutputMixDirect(c); }, [](int c) { return OutputMixReverb(c); },
    [](int c) { return OutputMixEcho(c); },   [](int c) { return OutputMixMusic(c); },
    [](int c) { return OutputEqBypass(c); },  [](int c) { return OutputDelayOff(c); }};

float ClampOrLow(float v, float lo, float hi) {
  return std::isnan(v) ? lo : std::clamp(v, lo, hi);
}

// What a compressor block can carry: values the block cannot hold (a NaN
// time read from a damaged word) compare as what a copy would send.
bool SameCompressor(const CompressorDisplay& a, const CompressorDisplay& b) {
  return SanitizeCompressor(a) == SanitizeCompressor(b);
}

}  // namespace

std::optional<SpeakerPair> PairOfPosition(int position) {
  switch (position) {
    case 0:
    case 1:
      return SpeakerPair::Front;
    case 2:
    case 3:
      return SpeakerPair::Side;
    case 6:
    case 7:
      return SpeakerPair::Back;
    default:
      return std::nullopt;
  }
}

bool IsLinked(const SpeakerLinks& links, SpeakerPair pair) {
  switch (pair) {
    case SpeakerPair::Front:
      return links.front;
    case SpeakerPair::Side:
      return links.side;
    case SpeakerPair::Back:
      return links.back;
  }
  return false;
}

OutputChannels::OutputChannels(ParamModel& model, EqBank& eq) : model_(model), eq_(eq) {}

int OutputChannels::Position(int channel) const {
  if (!ValidChannel(channel)) return 0;
  return std::clamp(model_.Mirror(OutputChannelType(channel)).AsInt(), 0, kLastPosition);
}

std::vector<int> OutputChannels::LinkedSet(int channel, const SpeakerLinks& links) const {
  if (!ValidChannel(channel)) return {};
  const auto pair = PairOfPosition(Position(channel));
  if (!pair || !IsLinked(links, *pair)) return {channel};
  // The channel's own position is in the pair, so it is in the list.
  return PairChannels(*pair);
}

std::vector<int> OutputChannels::PairChannels(SpeakerPair pair) const {
  std::vector<int> channels;
  for (int c = 0; c < kOutputCount; ++c) {
    if (PairOfPosition(Position(c)) == pair) channels.push_back(c);
  }
  return channels;
}

bool OutputChannels::Equal(int a, int b) const {
  if (!ValidChannel(a) || !ValidChannel(b)) return false;
  for (auto name : kLeadingParams) {
    if (model_.Mirror(name(a)) != model_.Mirror(name(b))) return false;
  }
  if (model_.Mirror(OutputDelay(a)) != model_.Mirror(OutputDelay(b))) return false;
  if (model_.Mirror(OutputCompressorSwitch(a)) != model_.Mirror(OutputCompressorSwitch(b))) {
    return false;
  }
  const DisplayValues display = model_.Display();
  const auto ua = static_cast<std::size_t>(a);
  const auto ub = static_cast<std::size_t>(b);
  if (display.delayMode[ua] != display.delayMode[ub]) return false;
  if (eq_.FindHfSplit(a) != eq_.FindHfSplit(b)) return false;
  if (!SameCompressor(display.compressors[ua], display.compressors[ub])) return false;
  const EqStore store = model_.Store();
  for (int j = 0; j < kUserBandCount; ++j) {
    if (ReadBand(store, OutputEqKind(a), j) != ReadBand(store, OutputEqKind(b), j)) return false;
  }
  return true;
}

bool OutputChannels::Copy(int source, int target) {
  if (!ValidChannel(source) || !ValidChannel(target) || source == target) return false;
  const auto s = static_cast<std::size_t>(source);
  const auto d = static_cast<std::size_t>(target);

  for (auto name : kLeadingParams) {
    const ParamValue v = model_.Mirror(name(source));
    if (v != model_.Mirror(name(target))) model_.SetParam(name(target), v);
  }

  const int split = eq_.FindHfSplit(source);
  if (split != eq_.FindHfSplit(target)) eq_.SendHfSplit(target, split);
  const int mode = model_.Display().delayMode[s];
  if (mode != model_.Display().delayMode[d]) eq_.SetHfSplit(target, mode);

  const ParamValue delay = model_.Mirror(OutputDelay(source));
  if (delay != model_.Mirror(OutputDelay(target))) model_.SetParam(OutputDelay(target), delay);

  const DisplayValues display = model_.Display();
  const CompressorDisplay& comp = display.compressors[s];
  if (!SameCompressor(comp, display.compressors[d])) {
    eq_.SetChannelCompressor(target, comp.threshold, comp.ratio, comp.attackMs, comp.releaseMs);
  }
  const ParamValue compSwitch = model_.Mirror(OutputCompressorSwitch(source));
  if (compSwitch != model_.Mirror(OutputCompressorSwitch(target))) {
    model_.SetParam(OutputCompressorSwitch(target), compSwitch);
  }

  const EqStore store = model_.Store();
  for (int j = 0; j < kUserBandCount; ++j) {
    const auto band = ReadBand(store, OutputEqKind(source), j);
    if (band && band != ReadBand(store, OutputEqKind(target), j)) {
      eq_.SendEqBand(OutputEqKind(target), j, *band);
    }
  }
  return true;
}

std::vector<int> OutputChannels::DifferingFromFirst(SpeakerPair pair) const {
  const std::vector<int> channels = PairChannels(pair);
  std::vector<int> differing;
  for (std::size_t i = 1; i < channels.size(); ++i) {
    if (!Equal(channels[0], channels[i])) differing.push_back(channels[i]);
  }
  return differing;
}

std::vector<int> OutputChannels::CopyFirstToOthers(SpeakerPair pair) {
  const std::vector<int> differing = DifferingFromFirst(pair);
  if (differing.empty()) return {};
  const int first = PairChannels(pair).front();
  for (int c : differing) Copy(first, c);
  return differing;
}

bool OutputChannels::SetMix(int channel, const SpeakerLinks& links, int which, int value) {
  if (which < 0 || which > 3) return false;
  const std::vector<int> set = LinkedSet(channel, links);
  const int v = std::clamp(value, 0, 100);
  for (int c : set) model_.SetParam(MixParam(c, which), v);
  return !set.empty();
}

std::optional<int> OutputChannels::ToggleEqBypass(int channel, const SpeakerLinks& links) {
  if (!ValidChannel(channel)) return std::nullopt;
  const int value = model_.Mirror(OutputEqBypass(channel)).AsInt() == 0 ? 1 : 0;
  for (int c : LinkedSet(channel, links)) model_.SetParam(OutputEqBypass(c), value);
  return value;
}

bool OutputChannels::SetCompressor(int channel, const SpeakerLinks& links, float threshold,
                                   float ratio, float attackMs, float releaseMs) {
  const std::vector<int> set = LinkedSet(channel, links);
  const float t = ClampOrLow(threshold, kMinCompressorThreshold, kMaxCompressorThreshold);
  const float r = ClampOrLow(ratio, kMinCompressorRatio, kMaxCompressorRatio);
  const float a = ClampOrLow(attackMs, kMinCompressorAttackMs, kMaxCompressorAttackMs);
  const float l = ClampOrLow(releaseMs, kMinCompressorReleaseMs, kMaxCompressorReleaseMs);
  for (int c : set) eq_.SetChannelCompressor(c, t, r, a, l);
  return !set.empty();
}

bool OutputChannels::SetCompressorSwitch(int channel, const SpeakerLinks& links, bool on) {
  const std::vector<int> set = LinkedSet(channel, links);
  for (int c : set) model_.SetParam(OutputCompressorSwitch(c), on ? 0 : 1);
  return !set.empty();
}

bool OutputChannels::SetDelayMode(int channel, const SpeakerLinks& links, int mode) {
  const std::vector<int> set = LinkedSet(channel, links);
  for (int c : set) eq_.SetHfSplit(c, mode != 0 ? 1 : 0);
  return !set.empty();
}

int OutputChannels::ResetEq(int channel, const SpeakerLinks& links) {
  int reset = 0;
  for (int c : LinkedSet(channel, links)) {
    const bool done =
        Position(c) == kSubwooferPosition ? eq_.ResetSubEq(c) : eq_.ResetEq(OutputEqKind(c));
    if (done) ++reset;
  }
  return reset;
}

bool OutputChannels::SendBand(int channel, const SpeakerLinks& links, int band,
                              const BandSettings& settings) {
  if (band < 0 || band >= kUserBandCount) return false;
  bool sent = false;
  for (int c : LinkedSet(channel, links)) {
    sent = eq_.SendEqBand(OutputEqKind(c), band, settings) || sent;
  }
  return sent;
}

bool OutputChannels::SetDelay(int channel, float ms) {
  if (!ValidChannel(channel) || std::isnan(ms)) return false;
  const float v = std::clamp(ms, kMinOutputDelayMs, kMaxOutputDelayMs);
  if (model_.Mirror(OutputDelay(channel)).AsFloat() == v) return false;
  model_.SetParam(OutputDelay(channel), v);
  return true;
}

bool OutputChannels::SetDelaySwitch(int channel, bool on) {
  if (!ValidChannel(channel)) return false;
  model_.SetParam(OutputDelayOff(channel), on ? 0 : 1);
  return true;
}

bool OutputChannels::SetSplit(int channel, int pair) {
  return eq_.SendHfSplit(channel, std::clamp(pair, 0, kHfSplitPairCount - 1));
}

bool OutputChannels::SetMute(int channel, bool muted) {
  if (!ValidChannel(channel)) return false;
  model_.SetParam(OutputOn(channel), muted ? 0 : 100);
  return true;
}

bool OutputChannels::SetPhase(int channel, bool inverted) {
  if (!ValidChannel(channel)) return false;
  model_.SetParam(OutputPhase(channel), inverted ? -100 : 100);
  return true;
}

bool OutputChannels::SetPosition(int channel, int position) {
  if (!ValidChannel(channel)) return false;
  model_.SetParam(OutputChannelType(channel), std::clamp(position, 0, kLastPosition));
  return true;
}

}  // namespace core::params
