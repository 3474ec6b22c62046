#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/params/sound_field.h"
#include "core/params/value_codec.h"

namespace core::link {
class Link;
}

namespace core::params {

class ParamModel;

// Speaker position codes (parameter 16 of each output module): 0 front
// left, 1 front right, 2 side left, 3 side right, 4 subwoofer, 5 centre,
// 6 back left, 7 back right. 8 is "no speaker located".
inline constexpr int kNoLocateCode = 8;

// The position code that source point 1..8 drives; nothing for others.
std::optional<int> SourcePositionCode(int point);

// The level of a source for a listener: 3 - 3 d dB, d the distance in
// metres (squares and sum in single precision, the root in double).
float SourceLevelDb(FieldPoint listener, FieldPoint source);

// The six words of a channel's sound-field filter (parameter 29) for a level
// of `levelDb`: g, h, 0.99608069, -1.99606144, g, h with g = 10^(L/20) and
// h = 10^((0.0022594517 L^2 + 0.799902 L)/20), each in double rounded to
// single.
std::array<Word, 6> LevelFilterWords(float levelDb);

// The sound-field page's operations on the session: the geometry, the
// channel levels and the locate code, kept in the model and its store and
// sent as the page sends them. Channel numbers are 1..8 (CH1..CH8).
class SoundFieldControl {
 public:
  SoundFieldControl(link::Link& link, ParamModel& model);
  SoundFieldControl(const SoundFieldControl&) = delete;
  SoundFieldControl& operator=(const SoundFieldControl&) = delete;

  // The first output channel whose position code is `code`; 0 for none.
  int ChannelForCode(int code) const;

  // The geometry's record into store bytes 1390..1409 and its store write
  // (0x85 at 0x056E, 20 bytes).
  void SendGeometry();
  // The level of source point 1..8 for the listener: the channel's float in
  // store bytes 1358..1389, the 32 level bytes (0x85 at 0x054E), then
  // parameter 29 of the channel. False when no channel plays the source.
  bool SendSourceLevel(int point);
  void SendAllLevels();

  // Moves point 0 (the listener) or 1..8, clamped into the room (X within
  // +-width/2, Y within +-length/2; NaN counts as 0), sends the geometry and
  // then that source's level, or every level for the listener.
  bool MovePoint(int point, float x, float y);
  // Room size, each clamped to 1..10 m; the points stay where they are.
  void SetRoomSize(int width, int length);
  // The listener to the room's centre, the geometry, every level.
  void CenterListener();
  // Every channel level to 0 dB (32 bytes and parameter 29 per channel),
  // then the default geometry.
  void Reset();

  // Ticking (or unticking) the Locate box of channel 1..8: the code (the
  // channel's position code, or 8) into store byte 1414 and its store write
  // (0x85 at 0x0586), then (4, 38) with the code. Returns the code sent;
  // nothing for a channel outside 1..8.
  std::optional<int> SetLocate(int channel, bool on);
  // The channel whose position code store byte 1414 holds; 0 for none.
  int LocatedChannel() const;

 private:
  void SendLevelBytes();

  link::Link& link_;
  ParamModel& model_;
};

}  // namespace core::params
