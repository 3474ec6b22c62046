#pragma once

#include <cstdint>

#include "core/params/device_image.h"
#include "core/params/param_table.h"

// Names for the (module, parameter) pairs the code sends and reads. Each name
// is checked against the parameter table when it is compiled: a pair that is
// not a row (or, for the frame-only names, one that is) does not compile,
// and the error names the check that failed.

namespace core::params {

enum class ModuleId : std::uint8_t {
  Mic = 1,
  Echo = 2,
  Reverb = 3,
  Music = 4,
  Output1 = 5,
  Output2 = 6,
  Output3 = 7,
  Output4 = 8,
  Output5 = 9,
  Output6 = 10,
  Output7 = 11,
  Output8 = 12,
  Record = 13,
  Loudness = 14,
};

namespace detail {
// Never defined and not constexpr: reaching one in a compile-time check
// stops the compile with its name in the message.
void NotARowOfTheParameterTable();
void FrameOnlyNameIsATableRow();
void BandParamIsATableRowOrImageRecord();
void ParamNumberOutOfRange();

// Parameter numbers travel in one byte.
consteval int CheckedParamNumber(int param) {
  if (param < 0 || param > 255) ParamNumberOutOfRange();
  return param;
}
}  // namespace detail

class OutputParamNumber;

// A row of the parameter table, by (module, parameter).
class ParamName {
 public:
  consteval ParamName(ModuleId module, int param)
      : ParamName(static_cast<int>(module), detail::CheckedParamNumber(param), 0) {
    if (!FindParamRow(module_, param_)) detail::NotARowOfTheParameterTable();
  }

  constexpr int Module() const { return module_; }
  constexpr int Param() const { return param_; }
  // False only for the name an output function gives for a channel outside
  // 0..7; the model's operations do nothing with it.
  constexpr bool Valid() const { return module_ != 0; }
  // Its row in kParamTable (kParamCount when not valid).
  constexpr std::size_t Row() const { return FindParamRow(module_, param_).value_or(kParamCount); }

  friend constexpr bool operator==(const ParamName&, const ParamName&) = default;

 private:
  constexpr ParamName(int module, int param, int)
      : module_(static_cast<std::uint8_t>(module)), param_(static_cast<std::uint8_t>(param)) {}
  friend constexpr ParamName OutputParam(int channel, OutputParamNumber param);

  std::uint8_t module_;
  std::uint8_t param_;
};

// A pair that is sent only as a parameter frame: not a table row, so the
// model keeps no mirror and no image word for it.
class FrameParamName {
 public:
  consteval FrameParamName(ModuleId module, int param)
      : module_(static_cast<std::uint8_t>(module)),
        param_(static_cast<std::uint8_t>(detail::CheckedParamNumber(param))) {
    if (FindParamRow(module_, param_)) detail::FrameOnlyNameIsATableRow();
  }
  constexpr int Module() const { return module_; }
  constexpr int Param() const { return param_; }

 private:
  std::uint8_t module_;
  std::uint8_t param_;
};

// The band messages of one equaliser: band b is parameter (module,
// firstParam + b), for b below bandCount. Band parameters are neither table
// rows nor image records.
class EqBandsName {
 public:
  consteval EqBandsName(ModuleId module, int firstParam, int bandCount)
      : module_(static_cast<std::uint8_t>(module)),
        firstParam_(static_cast<std::uint8_t>(detail::CheckedParamNumber(firstParam))),
        bandCount_(static_cast<std::uint8_t>(bandCount)) {
    if (bandCount < 1) detail::ParamNumberOutOfRange();
    detail::CheckedParamNumber(firstParam + bandCount - 1);
    // Every table row has an image record, so the records are enough.
    for (const ImageRecord& r : kImageRecords) {
      if (r.module == module_ && r.param >= firstParam && r.param < firstParam + bandCount) {
        detail::BandParamIsATableRowOrImageRecord();
      }
    }
  }
  constexpr int Module() const { return module_; }
  constexpr int FirstParam() const { return firstParam_; }
  constexpr int BandCount() const { return bandCount_; }

 private:
  std::uint8_t module_;
  std::uint8_t firstParam_;
  std::uint8_t bandCount_;
};

// ---- Mic (module 1)
inline constexpr ParamName kMic1Volume{ModuleId::Mic, 4};
inline constexpr ParamName kMic2Volume{ModuleId::Mic, 5};
inline constexpr ParamName kMic3Volume{ModuleId::Mic, 6};
inline constexpr ParamName kMic4Volume{ModuleId::Mic, 7};
inline constexpr ParamName kMicMasterVolume{ModuleId::Mic, 14};
inline constexpr ParamName kMicOn{ModuleId::Mic, 15};  // 100 on, 0 muted
inline constexpr ParamName kEffectMasterVolume{ModuleId::Mic, 16};
inline constexpr ParamName kEffectOn{ModuleId::Mic, 17};
// Mic channels A and B: frequency shift (coefficient block and its off
// switch) and the loudness-level words.
inline constexpr ParamName kMicAShiftCoefficient{ModuleId::Mic, 38};
inline constexpr ParamName kMicAShiftOff{ModuleId::Mic, 40};
inline constexpr ParamName kMicALoudnessInverseGain{ModuleId::Mic, 41};
inline constexpr ParamName kMicALoudnessGain{ModuleId::Mic, 42};
inline constexpr ParamName kMicALoudnessFilter{ModuleId::Mic, 44};
inline constexpr ParamName kMicBShiftCoefficient{ModuleId::Mic, 65};
inline constexpr ParamName kMicBShiftOff{ModuleId::Mic, 67};
inline constexpr ParamName kMicBLoudnessInverseGain{ModuleId::Mic, 68};
inline constexpr ParamName kMicBLoudnessGain{ModuleId::Mic, 69};
inline constexpr ParamName kMicBLoudnessFilter{ModuleId::Mic, 71};

// Mic inputs 1..4: noise gate, and the routing to channel A and channel B
// (100 routed, 0 not).
inline constexpr ParamName kMicNoiseGate[4] = {
    {ModuleId::Mic, 8}, {ModuleId::Mic, 9}, {ModuleId::Mic, 10}, {ModuleId::Mic, 11}};
inline constexpr ParamName kMicVolume[4] = {kMic1Volume, kMic2Volume, kMic3Volume, kMic4Volume};
inline constexpr ParamName kMicToChannelA[4] = {
    {ModuleId::Mic, 34}, {ModuleId::Mic, 35}, {ModuleId::Mic, 36}, {ModuleId::Mic, 37}};
inline constexpr ParamName kMicToChannelB[4] = {
    {ModuleId::Mic, 61}, {ModuleId::Mic, 62}, {ModuleId::Mic, 63}, {ModuleId::Mic, 64}};
inline constexpr ParamName kMicAEqBypass{ModuleId::Mic, 33};
inline constexpr ParamName kMicBEqBypass{ModuleId::Mic, 60};
inline constexpr ParamName kMicAShiftDelay{ModuleId::Mic, 39};
inline constexpr ParamName kMicBShiftDelay{ModuleId::Mic, 66};

// ---- Echo (2) and reverb (3): set A serves mic channel A, set B channel B.
inline constexpr ParamName kEchoAEqBypass{ModuleId::Echo, 7};
inline constexpr ParamName kEchoAType{ModuleId::Echo, 8};  // 0 mono, 1 stereo
inline constexpr ParamName kEchoALevel{ModuleId::Echo, 9};
inline constexpr ParamName kEchoAPredelay{ModuleId::Echo, 10};
inline constexpr ParamName kEchoATime{ModuleId::Echo, 11};
inline constexpr ParamName kEchoAStartVolume{ModuleId::Echo, 12};
inline constexpr ParamName kEchoAVolumeDecay{ModuleId::Echo, 13};
inline constexpr ParamName kEchoBEqBypass{ModuleId::Echo, 21};
inline constexpr ParamName kEchoBType{ModuleId::Echo, 22};
inline constexpr ParamName kEchoBLevel{ModuleId::Echo, 23};
inline constexpr ParamName kEchoBPredelay{ModuleId::Echo, 24};
inline constexpr ParamName kEchoBTime{ModuleId::Echo, 25};
inline constexpr ParamName kEchoBStartVolume{ModuleId::Echo, 26};
inline constexpr ParamName kEchoBVolumeDecay{ModuleId::Echo, 27};
inline constexpr ParamName kReverbAEqBypass{ModuleId::Reverb, 7};
inline constexpr ParamName kReverbALevel{ModuleId::Reverb, 8};
inline constexpr ParamName kReverbAPredelay{ModuleId::Reverb, 9};
inline constexpr ParamName kReverbATime{ModuleId::Reverb, 10};
inline constexpr ParamName kReverbATime2{ModuleId::Reverb, 11};
inline constexpr ParamName kReverbBEqBypass{ModuleId::Reverb, 19};
inline constexpr ParamName kReverbBLevel{ModuleId::Reverb, 20};
inline constexpr ParamName kReverbBPredelay{ModuleId::Reverb, 21};
inline constexpr ParamName kReverbBTime{ModuleId::Reverb, 22};
inline constexpr ParamName kReverbBTime2{ModuleId::Reverb, 23};
inline constexpr ParamName kEchoMasterVolume{ModuleId::Echo, 28};
inline constexpr ParamName kEchoOn{ModuleId::Echo, 29};
inline constexpr ParamName kReverbMasterVolume{ModuleId::Reverb, 24};
inline constexpr ParamName kReverbOn{ModuleId::Reverb, 25};

// ---- Music (4)
inline constexpr ParamName kMusicEqBypass{ModuleId::Music, 11};
inline constexpr ParamName kMusicMasterVolume{ModuleId::Music, 12};
inline constexpr ParamName kMusicOn{ModuleId::Music, 13};
inline constexpr ParamName kMusicCompressor{ModuleId::Music, 14};  // 7-word block
inline constexpr ParamName kMusicPitch{ModuleId::Music, 21};       // block word: pitch + 5, no slot
inline constexpr ParamName kMusicNoiseGate{ModuleId::Music, 22};
inline constexpr ParamName kMusicSource{ModuleId::Music, 23};
// The level of each of the fourteen music input sources (source k: 24 + k).
inline constexpr int kMusicSourceCount = 14;
inline constexpr ParamName kMusicSourceLevels[kMusicSourceCount] = {
    {ModuleId::Music, 24}, {ModuleId::Music, 25}, {ModuleId::Music, 26}, {ModuleId::Music, 27},
    {ModuleId::Music, 28}, {ModuleId::Music, 29}, {ModuleId::Music, 30}, {ModuleId::Music, 31},
    {ModuleId::Music, 32}, {ModuleId::Music, 33}, {ModuleId::Music, 34}, {ModuleId::Music, 35},
    {ModuleId::Music, 36}, {ModuleId::Music, 37}};
// The located speaker's position code (the sound-field page's Locate box).
inline constexpr FrameParamName kSoundFieldLocate{ModuleId::Music, 38};

// ---- Record (13)
inline constexpr ParamName kRecordEqBypass{ModuleId::Record, 5};
inline constexpr ParamName kRecordMixDirect{ModuleId::Record, 6};
inline constexpr ParamName kRecordMixReverb{ModuleId::Record, 7};
inline constexpr ParamName kRecordMixEcho{ModuleId::Record, 8};
inline constexpr ParamName kRecordMixMusic{ModuleId::Record, 9};
inline constexpr ParamName kRecordCompressor{ModuleId::Record, 10};  // 7-word block
inline constexpr ParamName kRecordCompressorSwitch{ModuleId::Record, 11};  // 0 on, 1 off
inline constexpr ParamName kRecordLevel{ModuleId::Record, 12};
// The record output's place among the compressors with display values.
inline constexpr int kRecordCompressorIndex = kOutputCount;

// ---- Loudness dialog (14)
inline constexpr ParamName kExciterOn{ModuleId::Loudness, 11};

// ---- Output channels: module Output1 + c for channel c 0..7 (CH1..CH8)

// A parameter number that every output module has as a table row.
class OutputParamNumber {
 public:
  consteval explicit OutputParamNumber(int param) : param_(detail::CheckedParamNumber(param)) {
    for (int c = 0; c < kOutputCount; ++c) {
      if (!FindParamRow(OutputModule(c), param)) detail::NotARowOfTheParameterTable();
    }
  }
  constexpr int Param() const { return param_; }

 private:
  int param_;
};

// That parameter of channel c; the invalid name for a channel outside 0..7.
constexpr ParamName OutputParam(int channel, OutputParamNumber param) {
  if (channel < 0 || channel >= kOutputCount) return ParamName(0, 0, 0);
  return ParamName(OutputModule(channel), param.Param(), 0);
}

// clang-format off
constexpr ParamName OutputEqBypass(int c)         { return OutputParam(c, OutputParamNumber(15)); }
constexpr ParamName OutputChannelType(int c)      { return OutputParam(c, OutputParamNumber(16)); }  // speaker position code
constexpr ParamName OutputDelayMode(int c)        { return OutputParam(c, OutputParamNumber(17)); }  // 2-word block
constexpr ParamName OutputDelay(int c)            { return OutputParam(c, OutputParamNumber(18)); }
constexpr ParamName OutputDelayOff(int c)         { return OutputParam(c, OutputParamNumber(19)); }
constexpr ParamName OutputMixDirect(int c)        { return OutputParam(c, OutputParamNumber(20)); }
constexpr ParamName OutputMixReverb(int c)        { return OutputParam(c, OutputParamNumber(21)); }
constexpr ParamName OutputMixEcho(int c)          { return OutputParam(c, OutputParamNumber(22)); }
constexpr ParamName OutputMixMusic(int c)         { return OutputParam(c, OutputParamNumber(23)); }
constexpr ParamName OutputFieldLevel(int c)       { return OutputParam(c, OutputParamNumber(24)); }
constexpr ParamName OutputPhase(int c)            { return OutputParam(c, OutputParamNumber(25)); }
constexpr ParamName OutputOn(int c)               { return OutputParam(c, OutputParamNumber(26)); }
constexpr ParamName OutputCompressor(int c)       { return OutputParam(c, OutputParamNumber(27)); }  // 7-word block
constexpr ParamName OutputCompressorSwitch(int c) { return OutputParam(c, OutputParamNumber(28)); }
constexpr ParamName OutputFieldFilter(int c)      { return OutputParam(c, OutputParamNumber(29)); }  // 6-word block
// clang-format on

// ---- Equaliser bands, EQ kinds 0..15
inline constexpr EqBandsName kMicAEqBands{ModuleId::Mic, 18, 15};
inline constexpr EqBandsName kMicBEqBands{ModuleId::Mic, 45, 15};
inline constexpr EqBandsName kEchoAEqBands{ModuleId::Echo, 0, 7};
inline constexpr EqBandsName kEchoBEqBands{ModuleId::Echo, 14, 7};
inline constexpr EqBandsName kReverbAEqBands{ModuleId::Reverb, 0, 7};
inline constexpr EqBandsName kReverbBEqBands{ModuleId::Reverb, 12, 7};
inline constexpr EqBandsName kMusicEqBands{ModuleId::Music, 0, 11};
inline constexpr EqBandsName kRecordEqBands{ModuleId::Record, 0, 5};
// The outputs' 15 band parameters each (13 user bands, 2 of the split).
inline constexpr EqBandsName kOutputEqBands[kOutputCount] = {
    {ModuleId::Output1, 0, 15}, {ModuleId::Output2, 0, 15}, {ModuleId::Output3, 0, 15},
    {ModuleId::Output4, 0, 15}, {ModuleId::Output5, 0, 15}, {ModuleId::Output6, 0, 15},
    {ModuleId::Output7, 0, 15}, {ModuleId::Output8, 0, 15}};

// The image bytes the code reads directly: the last byte of each word.
static_assert(kParamTable[kMusicSource.Row()].slot + 3 == kMusicSourceOffset);
static_assert(FindImageRecord(kMusicPitch.Module(), kMusicPitch.Param())->FirstWord() + 3 ==
              kPitchByteOffset);

}  // namespace core::params
