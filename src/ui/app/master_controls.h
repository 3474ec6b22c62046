#pragma once

#include <array>
#include <optional>

#include "core/params/named_params.h"

namespace ui {

// One master control of the ribbon, present in both categories.
struct MasterControl {
  const char* key;  // for tests and traces
  int labelIn, sliderIn, muteIn;
  int labelOut, sliderOut, muteOut;  // mute -1: none
  int minimum, maximum, width;
  core::params::ParamName value;                // what the slider sends; pitch: a block word
  std::optional<core::params::ParamName> mute;  // 100 on, 0 muted
  const char* prefixZh;
  const char* prefixEn;
};

enum MasterIndex { kMic = 0, kEffect, kReverb, kEcho, kMusic, kNoiseGate, kPitch, kMasterCount };

inline constexpr std::array<MasterControl, kMasterCount> kMasterControls{{
    MasterControl{"mic", 32832, 32829, 32847, 32857, 32858, 32859, 0, 99, 90,
                  core::params::kMicMasterVolume, core::params::kMicOn,
                  "话筒音量:", "Mic    Vol: "},
    MasterControl{"effect", 32833, 32830, 32939, 32860, 32861, 32940, 0, 99, 90,
                  core::params::kEffectMasterVolume, core::params::kEffectOn,
                  "效果总音量:", "Effect    Vol:"},
    MasterControl{"reverb", 32920, 32918, 32848, 32921, 32919, 32862, 0, 99, 90,
                  core::params::kReverbMasterVolume, core::params::kReverbOn,
                  "混响音量:  ", "Reverb Vol:"},
    MasterControl{"echo", 32837, 32806, 32849, 32863, 32864, 32865, 0, 99, 90,
                  core::params::kEchoMasterVolume, core::params::kEchoOn, "回声音量:", "Echo Vol:"},
    MasterControl{"music", 32834, 32831, 32850, 32866, 32867, 32868, 0, 99, 90,
                  core::params::kMusicMasterVolume, core::params::kMusicOn,
                  "音乐音量:", "Music Vol:"},
    MasterControl{"noisegate", 32842, 32846, -1, 32878, 32879, -1, 0, 100, 100,
                  core::params::kMusicNoiseGate, std::nullopt, "音乐噪声门:", "Noisegate:"},
    MasterControl{"pitch", -1, 32841, -1, -1, 32880, -1, -5, 5, 100, core::params::kMusicPitch,
                  std::nullopt, "音乐变调:", "Music Pitch:"},
}};

// The panel that holds the pitch and noise-gate sliders, and its caption
// words (built and re-texted without the colon).
inline constexpr int kPitchPanel = 5;

}  // namespace ui
