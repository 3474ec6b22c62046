#pragma once

#include <array>

namespace ui {

// One master control of the ribbon, present in both categories.
struct MasterControl {
  const char* key;  // for tests and traces
  int labelIn, sliderIn, muteIn;
  int labelOut, sliderOut, muteOut;  // mute -1: none
  int minimum, maximum, width;
  int module, param;  // what the slider sends; pitch: the block (4, 21)
  int muteParam;      // -1: none
  const char* prefixZh;
  const char* prefixEn;
};

enum MasterIndex { kMic = 0, kEffect, kReverb, kEcho, kMusic, kNoiseGate, kPitch, kMasterCount };

inline constexpr std::array<MasterControl, kMasterCount> kMasterControls{{
    {"mic", 32832, 32829, 32847, 32857, 32858, 32859, 0, 99, 90, 1, 14, 15, "话筒音量:", "Mic    Vol: "},
    {"effect", 32833, 32830, 32939, 32860, 32861, 32940, 0, 99, 90, 1, 16, 17, "效果总音量:",
     "Effect    Vol:"},
    {"reverb", 32920, 32918, 32848, 32921, 32919, 32862, 0, 99, 90, 3, 24, 25, "混响音量:  ",
     "Reverb Vol:"},
    {"echo", 32837, 32806, 32849, 32863, 32864, 32865, 0, 99, 90, 2, 28, 29, "回声音量:", "Echo Vol:"},
    {"music", 32834, 32831, 32850, 32866, 32867, 32868, 0, 99, 90, 4, 12, 13, "音乐音量:", "Music Vol:"},
    {"noisegate", 32842, 32846, -1, 32878, 32879, -1, 0, 100, 100, 4, 22, -1, "音乐噪声门:",
     "Noisegate:"},
    {"pitch", -1, 32841, -1, -1, 32880, -1, -5, 5, 100, 4, 21, -1, "音乐变调:", "Music Pitch:"},
}};

// The panel that holds the pitch and noise-gate sliders, and its caption
// words (built and re-texted without the colon).
inline constexpr int kPitchPanel = 5;

}  // namespace ui
