#include "core/params/mic_channels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "core/params/named_params.h"

namespace core::params {
namespace {

constexpr int kTabKinds[kMicTabCount] = {0, 1, 6};
constexpr int kTabBands[kMicTabCount] = {15, 15, 10};
constexpr ParamName kTabBypass[kMicTabCount] = {kMicAEqBypass, kMicBEqBypass, kMusicEqBypass};

int ValidTab(int tab) {
  return tab >= 0 && tab < kMicTabCount ? tab : 0;
}

enum class Shown { Percent, Ms, ReverbTime, Shift };

struct RowDef {
  EffectRowInfo info;
  Shown shown;
  ParamName params[2];  // set A, set B (the frequency shift: its off switch)
};

constexpr RowDef kRows[kEffectRowCount] = {
    {{"Reverb Level", "混响电平", 0, 100}, Shown::Percent, {kReverbALevel, kReverbBLevel}},
    {{"Reverb Predelay", "混响预延时", 2, 200}, Shown::Ms, {kReverbAPredelay, kReverbBPredelay}},
    {{"Reverb Time", "混响时长", 0, 100}, Shown::ReverbTime, {kReverbATime, kReverbBTime}},
    {{"Echo Level", "回声电平", 0, 100}, Shown::Percent, {kEchoALevel, kEchoBLevel}},
    {{"Echo Predelay", "回声预延时", 2, 200}, Shown::Ms, {kEchoAPredelay, kEchoBPredelay}},
    {{"Echo Time", "回声间隔", 160, 260}, Shown::Ms, {kEchoATime, kEchoBTime}},
    {{"Echo Start Vol", "回声起始音量", 40, 100},
     Shown::Percent,
     {kEchoAStartVolume, kEchoBStartVolume}},
    {{"Echo Vol Decay", "回声衰减比例", 20, 90},
     Shown::Percent,
     {kEchoAVolumeDecay, kEchoBVolumeDecay}},
    {{"Shift Frequency", "话筒移频", 1, 8}, Shown::Shift, {kMicAShiftOff, kMicBShiftOff}},
};
constexpr ParamName kReverbSecondTime[2] = {kReverbATime2, kReverbBTime2};
constexpr ParamName kShiftCoefficient[2] = {kMicAShiftCoefficient, kMicBShiftCoefficient};
constexpr ParamName kShiftDelay[2] = {kMicAShiftDelay, kMicBShiftDelay};

bool ValidRow(int row) {
  return row >= 0 && row < kEffectRowCount;
}
bool ValidSet(int set) {
  return set == 0 || set == 1;
}
bool ValidInput(int input) {
  return input >= 0 && input < kMicInputCount;
}

constexpr const char* kStreamFormats[] = {"STEREO",   "AC3",    "DTS",    "DTS-CD",      "E-AC3",
                                          "DOLBY-HD", "DTS-HR", "DTS-HD", "LPCM MultiCh"};

}  // namespace

int MicTabEqKind(int tab) {
  return kTabKinds[ValidTab(tab)];
}
int MicTabBandCount(int tab) {
  return kTabBands[ValidTab(tab)];
}
ParamName MicTabEqBypass(int tab) {
  return kTabBypass[ValidTab(tab)];
}
ParamName MicTabEchoType(int tab) {
  return tab == 0 ? kEchoAType : kEchoBType;
}

std::optional<EffectRowInfo> EffectRowOf(int row) {
  if (!ValidRow(row)) return std::nullopt;
  return kRows[row].info;
}

int ClampEffectPosition(int row, int position) {
  if (!ValidRow(row)) return position;
  return std::clamp(position, kRows[row].info.minimum, kRows[row].info.maximum);
}

std::string EffectValueText(int row, int position, bool english) {
  if (!ValidRow(row)) return {};
  char text[32];
  switch (kRows[row].shown) {
    case Shown::Percent:
      std::snprintf(text, sizeof text, "%d%%", position);
      break;
    case Shown::Ms:
      std::snprintf(text, sizeof text, "%dms", position);
      break;
    case Shown::ReverbTime:
      std::snprintf(text, sizeof text, "%.0fms", position * 49.6 + 40.0);
      break;
    case Shown::Shift:
      if (position == 0 || position == 1) return english ? "Off" : "关闭";
      std::snprintf(text, sizeof text, "%dHz", position);
      break;
  }
  return text;
}

FrequencyShiftWords ShiftWordsFor(int position) {
  FrequencyShiftWords w;
  if (position == 1) {
    w.off = 1;
    return w;
  }
  const double a = position;
  w.phaseStep = FloatBits(static_cast<float>(a * 2.0 * std::numbers::pi / 48000.0));
  const float period = static_cast<float>(1000.0 / (4.0 * a) - 25.0);
  w.delaySamples = static_cast<Word>(TruncToInt32(period * 48000.0 / 1000.0 + 0.5));
  return w;
}

std::optional<std::string_view> StreamFormatName(std::uint8_t statusByte) {
  const int value = statusByte & 0x0F;
  if (value >= static_cast<int>(std::size(kStreamFormats))) return std::nullopt;
  return kStreamFormats[value];
}

bool MicChannels::RoutedToA(int input) const {
  if (!ValidInput(input)) return false;
  return model_.Mirror(kMicToChannelA[input]).AsInt() != 0;
}

void MicChannels::Route(int input, bool toChannelA) {
  if (!ValidInput(input)) return;
  model_.SetParam(kMicToChannelA[input], toChannelA ? 100 : 0);
  model_.SetParam(kMicToChannelB[input], toChannelA ? 0 : 100);
}

int MicChannels::EffectValue(int set, int row) const {
  if (!ValidSet(set) || !ValidRow(row)) return 0;
  if (row == kShiftFrequencyRow)
    return model_.Display().shiftFrequency[static_cast<std::size_t>(set)];
  const ParamValue v = model_.Mirror(kRows[row].params[set]);
  // Milliseconds come back from their sample counts: the nearest whole ms.
  return v.IsFloat() ? static_cast<int>(std::lround(v.AsFloat())) : v.AsInt();
}

void MicChannels::SetEffect(int set, int row, int position) {
  if (!ValidSet(set) || !ValidRow(row)) return;
  const int p = ClampEffectPosition(row, position);
  const ParamName name = kRows[row].params[set];
  switch (kRows[row].shown) {
    case Shown::Percent:
      model_.SetParam(name, p);
      break;
    case Shown::Ms:
      model_.SetParam(name, static_cast<float>(p));
      break;
    case Shown::ReverbTime:
      model_.SetParam(name, p);
      model_.SetParam(kReverbSecondTime[set], p);
      break;
    case Shown::Shift: {
      model_.SetShiftFrequencyDisplay(set, p);
      const FrequencyShiftWords w = ShiftWordsFor(p);
      model_.SetParamBlock(name, std::span<const Word>(&w.off, 1));
      if (w.phaseStep) model_.SetParamBlock(kShiftCoefficient[set], std::span(&*w.phaseStep, 1));
      if (w.delaySamples) model_.SetParamBlock(kShiftDelay[set], std::span(&*w.delaySamples, 1));
      break;
    }
  }
}

int MicChannels::EchoType(int tab) const {
  return model_.Mirror(MicTabEchoType(tab)).AsInt();
}

void MicChannels::SetEchoType(int tab, int type) {
  model_.SetParam(MicTabEchoType(tab), type);
}

bool MicChannels::EqBypassed(int tab) const {
  return model_.Mirror(MicTabEqBypass(tab)).AsInt() != 0;
}

void MicChannels::ToggleEqBypass(int tab) {
  model_.SetParam(MicTabEqBypass(tab), EqBypassed(tab) ? 0 : 1);
}

}  // namespace core::params
