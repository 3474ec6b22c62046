#pragma once

#include <optional>
#include <vector>

#include "core/params/eq_kinds.h"
#include "core/params/param_model.h"

namespace core::params {

class EqBank;

// The three speaker pairs that can be linked: front (positions 0/1), side
// surround (2/3) and back surround (6/7). The subwoofer (4) and the centre
// (5) never pair.
enum class SpeakerPair { Front, Side, Back };

// The link boxes of the output page ("FL+FR Linked", "SL+SR Linked",
// "SBL+SBR Linked"). The user interface keeps them in its settings.
struct SpeakerLinks {
  bool front = false;
  bool side = false;
  bool back = false;
};

inline constexpr int kSubwooferPosition = 4;
inline constexpr int kCentrePosition = 5;

// The pair a speaker position belongs to; nothing for 4, 5 and others.
std::optional<SpeakerPair> PairOfPosition(int position);
bool IsLinked(const SpeakerLinks& links, SpeakerPair pair);

// Limits of the output page's controls; inputs beyond them are clamped.
inline constexpr float kMinOutputDelayMs = 1.4f;    // slider position 14
inline constexpr float kMaxOutputDelayMs = 100.0f;  // slider position 1000
inline constexpr float kMinCompressorThreshold = -60.0f;
inline constexpr float kMaxCompressorThreshold = 0.0f;
inline constexpr float kMinCompressorRatio = 1.0f;  // 1.0:1
inline constexpr float kMaxCompressorRatio = 30.0f;
inline constexpr float kMinCompressorAttackMs = 1.0f;
inline constexpr float kMaxCompressorAttackMs = 100.0f;
inline constexpr float kMinCompressorReleaseMs = 1.0f;
inline constexpr float kMaxCompressorReleaseMs = 1000.0f;

// The output page's operations on the eight output channels (0..7 for
// CH1..CH8): the linked set of a channel, the comparison and copy behind
// the link boxes, and every edit the page sends. It keeps nothing of the
// processor's state: each call reads the mirrors, the display values and
// the equaliser store. A channel outside 0..7 does nothing (and belongs to
// no set); an empty result or false says so.
class OutputChannels {
 public:
  OutputChannels(ParamModel& model, EqBank& eq);
  OutputChannels(const OutputChannels&) = delete;
  OutputChannels& operator=(const OutputChannels&) = delete;

  // The speaker position (parameter 16) clamped to 0..7; 0 for a channel
  // outside 0..7.
  int Position(int channel) const;

  // The channels an edit on `channel` reaches, in channel order, always
  // holding `channel`: when the channel's position belongs to a pair whose
  // link is ticked, every channel at either position of that pair; else
  // the channel alone. Empty for a channel outside 0..7.
  std::vector<int> LinkedSet(int channel, const SpeakerLinks& links) const;
  // The channels whose position belongs to `pair`, in channel order.
  std::vector<int> PairChannels(SpeakerPair pair) const;

  // Equal when the mix levels (20..23), EQ bypass (15), delay switch (19),
  // delay (18), compressor switch (28), delay mode, split index, the four
  // compressor values and the decoded EQ records 0..12 are equal. False when
  // either channel is outside 0..7.
  bool Equal(int a, int b) const;
  // Makes `target` like `source`, sending each item only when it differs,
  // in this order: parameters 20, 21, 22, 23, 15, 19; the split
  // (SendHfSplit); the delay mode (SetHfSplit); the delay (18); the
  // compressor (SetChannelCompressor); parameter 28; then every EQ record
  // 0..12 that differs, as a band of the target's equaliser. False, doing
  // nothing, when a channel is outside 0..7 or both are the same.
  bool Copy(int source, int target);

  // Ticking a link box: the channels of the pair that differ from the
  // pair's first channel (empty when fewer than two channels play the pair
  // or all are equal; then nothing needs asking).
  std::vector<int> DifferingFromFirst(SpeakerPair pair) const;
  // The answer Yes: copies the first channel to each that differs; returns
  // the channels copied to.
  std::vector<int> CopyFirstToOthers(SpeakerPair pair);

  // ---- Edits sent to every channel of the linked set

  // Mix level `which` 0..3 (direct, reverb, echo, music: parameters
  // 20..23), value clamped to 0..100. False for `which` outside 0..3.
  bool SetMix(int channel, const SpeakerLinks& links, int which, int value);
  // EQ bypass (15): 1 when the channel's value is 0, else 0. Returns the
  // value sent; nothing for a channel outside 0..7.
  std::optional<int> ToggleEqBypass(int channel, const SpeakerLinks& links);
  // The compressor block (27) with threshold -60..0 dB, ratio 1..30,
  // attack 1..100 ms and release 1..1000 ms (clamped; NaN takes the lower
  // end).
  bool SetCompressor(int channel, const SpeakerLinks& links, float threshold, float ratio,
                     float attackMs, float releaseMs);
  // Compressor switch (28): 0 when on (ticked), 1 when off.
  bool SetCompressorSwitch(int channel, const SpeakerLinks& links, bool on);
  // Delay mode (17) through SetHfSplit: 0 high-frequency delay, anything
  // else whole-channel delay.
  bool SetDelayMode(int channel, const SpeakerLinks& links, int mode);
  // Default EQ on every channel of the set: the subwoofer variant for a
  // channel at position 4, the output reset otherwise. Returns how many
  // channels were reset (the notice lasts 1000 ms per channel).
  int ResetEq(int channel, const SpeakerLinks& links);
  // Band `band` of the channels' equalisers (SendEqBand on 7 + i); false
  // when nothing could be sent.
  bool SendBand(int channel, const SpeakerLinks& links, int band, const BandSettings& settings);

  // ---- Edits of one channel only

  // Delay (18) in ms, clamped to 1.4..100; sent only when it differs from
  // the mirror. True when it was sent. NaN sends nothing.
  bool SetDelay(int channel, float ms);
  // Delay switch (19): 0 when on, 1 when off.
  bool SetDelaySwitch(int channel, bool on);
  // The split pair 0..25 (clamped) through SendHfSplit.
  bool SetSplit(int channel, int pair);
  // Mute (26): 0 muted, 100 playing.
  bool SetMute(int channel, bool muted);
  // Phase (25): -100 inverted, 100 normal.
  bool SetPhase(int channel, bool inverted);
  // Speaker position (16), clamped to 0..7.
  bool SetPosition(int channel, int position);

 private:
  ParamModel& model_;
  EqBank& eq_;
};

}  // namespace core::params
