#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/params/param_model.h"

namespace core::params {

// The mic and music page's inputs: 0 mic channel A, 1 mic channel B, 2 music.
inline constexpr int kMicTabCount = 3;
inline constexpr int kMicInputCount = 4;

// The equaliser each input shows (EQ kinds 0, 1 and 6), its band count and
// its bypass parameter. A tab outside 0..2 is taken as 0.
int MicTabEqKind(int tab);
int MicTabBandCount(int tab);
ParamName MicTabEqBypass(int tab);
// The effect set a tab edits: 0 (set A) on the mic A tab, 1 (set B) on the
// others; the music tab's effect controls are disabled.
constexpr int EffectSetOfTab(int tab) {
  return tab == 0 ? 0 : 1;
}
// The echo type a tab shows and sets: (2, 8) on tab 0, (2, 22) otherwise.
ParamName MicTabEchoType(int tab);

// ---- The effect parameter list: nine rows of slider positions.

inline constexpr int kEffectRowCount = 9;
enum EffectRow : int {
  kReverbLevelRow = 0,
  kReverbPredelayRow = 1,
  kReverbTimeRow = 2,
  kEchoLevelRow = 3,
  kEchoPredelayRow = 4,
  kEchoTimeRow = 5,
  kEchoStartVolumeRow = 6,
  kEchoVolumeDecayRow = 7,
  kShiftFrequencyRow = 8,
};

struct EffectRowInfo {
  const char* nameEn;
  const char* nameZh;  // UTF-8
  int minimum;
  int maximum;
};

// Nothing for a row outside 0..8.
std::optional<EffectRowInfo> EffectRowOf(int row);
// The position clamped into the row's range (the row's minimum for NaN-free
// ints always holds); the position itself for an unknown row.
int ClampEffectPosition(int row, int position);
// What the list and the value box show for a position (UTF-8): "12%",
// "2ms", the reverb time as position x 49.6 + 40 ms ("40ms".."5000ms"),
// the frequency shift "Off" / "关闭" for 0 and 1 and "5Hz" otherwise. Empty
// for an unknown row.
std::string EffectValueText(int row, int position, bool english);

// The three words of a frequency-shift position (1..8): position 1 only
// switches the shift off; any other position switches it on, then sends the
// phase step a x 2pi / 48000 as a float and the delay
// trunc((1000 / (4a) - 25 as a float) x 48 + 0.5) in samples.
struct FrequencyShiftWords {
  Word off = 0;
  std::optional<Word> phaseStep;
  std::optional<Word> delaySamples;
};
FrequencyShiftWords ShiftWordsFor(int position);

// The input stream format of status byte 7 (its low four bits): "STEREO",
// "AC3", …, "LPCM MultiCh"; nothing for 9..15 (the text stays as it was).
std::optional<std::string_view> StreamFormatName(std::uint8_t statusByte);

// The mic and music page's operations: mic routing, the effect list, the
// echo type and the EQ bypass of each tab. Like the output channels it
// keeps nothing of the processor: every read comes from the mirrors and
// display values, every edit goes through SetParam / SetParamBlock.
class MicChannels {
 public:
  explicit MicChannels(ParamModel& model) : model_(model) {}
  MicChannels(const MicChannels&) = delete;
  MicChannels& operator=(const MicChannels&) = delete;

  // True while mic input `input` (0..3) is routed to channel A: (1, 34 + i)
  // non-zero.
  bool RoutedToA(int input) const;
  // Channel A: (1, 34 + i) = 100 then (1, 61 + i) = 0; channel B: 0 then
  // 100. An input outside 0..3 does nothing.
  void Route(int input, bool toChannelA);

  // The current position of a row for set 0 (A) or 1 (B): the row's first
  // parameter (percent or whole milliseconds), the set's shift frequency
  // for row 8. 0 for an unknown row or set.
  int EffectValue(int set, int row) const;
  // Sends a row's position, clamped to its range: percent rows as the
  // percent, millisecond rows as float milliseconds, the reverb time to both
  // of its parameters (the lower first), the frequency shift as its words
  // (and kept as the set's shift frequency). Unknown rows or sets do nothing.
  void SetEffect(int set, int row, int position);

  int EchoType(int tab) const;
  void SetEchoType(int tab, int type);

  bool EqBypassed(int tab) const;
  // 1 when the tab's bypass is 0, else 0.
  void ToggleEqBypass(int tab);

 private:
  ParamModel& model_;
};

}  // namespace core::params
