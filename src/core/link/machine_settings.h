#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <tuple>

#include "core/link/device_records.h"

// Named access to the 14 bytes of the machine settings (command 0x91 /
// answer 0x92). Bytes 9, 10 and 13, and the lock flags of byte 8, are only
// carried: the settings are sent back as they were received. Setters clamp
// to what a byte means and touch only their own bytes.

namespace core::link {

namespace machine {
inline constexpr std::size_t kVolumeSaveMode = 0;  // bytes 0, 1 and 2 hold the same value
inline constexpr std::size_t kMicPowerOnVolume = 3;
inline constexpr std::size_t kMusicPowerOnVolume = 4;
inline constexpr std::size_t kMaxMicVolume = 5;
inline constexpr std::size_t kMaxMusicVolume = 6;
inline constexpr std::size_t kPanelLock = 7;
inline constexpr std::size_t kLockFlags = 8;
inline constexpr std::size_t kPowerOnMode = 11;
inline constexpr std::size_t kOutputOptions = 12;  // low nibble HDMI mute, high nibble route

inline constexpr int kMaxVolume = 99;
inline constexpr std::uint8_t kVolumeLockBits = 0x83;  // bits 0, 1 and 7
inline constexpr std::uint8_t kModeLockBit = 0x10;     // bit 4
}  // namespace machine

static_assert(std::tuple_size_v<MachineSettings> == 14);

// How the processor keeps the master volume and the input source.
enum class VolumeSaveMode : std::uint8_t {
  ByPower = 0,  // across power cycles ("随开关机保存" / "By power")
  ByMode = 1,   // with the mode ("随模式保存" / "By mode ")
};

// Where DTS/AC3 surround goes.
enum class SurroundRoute : std::uint8_t {
  SideSurround = 0,  // SL/SR
  BackSurround = 1,  // SBL/SBR
  Both = 2,          // SL/SR and SBL/SBR
};

// Byte 0 decides: 0 by power, anything else by mode.
constexpr VolumeSaveMode VolumeSaveModeOf(const MachineSettings& s) {
  return s[machine::kVolumeSaveMode] == 0 ? VolumeSaveMode::ByPower : VolumeSaveMode::ByMode;
}
constexpr void SetVolumeSaveMode(MachineSettings& s, VolumeSaveMode mode) {
  for (std::size_t i = 0; i < 3; ++i) {
    s[machine::kVolumeSaveMode + i] = static_cast<std::uint8_t>(mode);
  }
}

// Power-on volumes: 0 not set, else 1..99.
constexpr int MicPowerOnVolume(const MachineSettings& s) {
  return s[machine::kMicPowerOnVolume];
}
constexpr int MusicPowerOnVolume(const MachineSettings& s) {
  return s[machine::kMusicPowerOnVolume];
}
constexpr void SetMicPowerOnVolume(MachineSettings& s, int volume) {
  s[machine::kMicPowerOnVolume] =
      static_cast<std::uint8_t>(std::clamp(volume, 0, machine::kMaxVolume));
}
constexpr void SetMusicPowerOnVolume(MachineSettings& s, int volume) {
  s[machine::kMusicPowerOnVolume] =
      static_cast<std::uint8_t>(std::clamp(volume, 0, machine::kMaxVolume));
}

// Maximum master volumes, 1..99.
constexpr int MaxMicVolume(const MachineSettings& s) {
  return s[machine::kMaxMicVolume];
}
constexpr int MaxMusicVolume(const MachineSettings& s) {
  return s[machine::kMaxMusicVolume];
}
constexpr void SetMaxMicVolume(MachineSettings& s, int volume) {
  s[machine::kMaxMicVolume] = static_cast<std::uint8_t>(std::clamp(volume, 1, machine::kMaxVolume));
}
constexpr void SetMaxMusicVolume(MachineSettings& s, int volume) {
  s[machine::kMaxMusicVolume] =
      static_cast<std::uint8_t>(std::clamp(volume, 1, machine::kMaxVolume));
}

// "锁定面板" / "Lock panel": 1 locked, 0 free.
constexpr bool PanelLocked(const MachineSettings& s) {
  return s[machine::kPanelLock] != 0;
}
constexpr void SetPanelLocked(MachineSettings& s, bool locked) {
  s[machine::kPanelLock] = locked ? 1 : 0;
}

// The lock flags of byte 8 (read only).
constexpr bool VolumeLocked(const MachineSettings& s) {
  return (s[machine::kLockFlags] & machine::kVolumeLockBits) != 0;
}
constexpr bool ModeLocked(const MachineSettings& s) {
  return (s[machine::kLockFlags] & machine::kModeLockBit) != 0;
}

// The mode used at power-on: 0 automatic, 1..4 M1..M4.
constexpr int PowerOnMode(const MachineSettings& s) {
  return s[machine::kPowerOnMode];
}
constexpr void SetPowerOnMode(MachineSettings& s, int mode) {
  s[machine::kPowerOnMode] = static_cast<std::uint8_t>(std::clamp(mode, 0, 4));
}

// HDMI output mute: on when any bit of the low nibble is set; switching it
// on sets bit 0, off clears the nibble. The route nibble is kept.
constexpr bool HdmiMute(const MachineSettings& s) {
  return (s[machine::kOutputOptions] & 0x0F) != 0;
}
constexpr void SetHdmiMute(MachineSettings& s, bool on) {
  std::uint8_t& b = s[machine::kOutputOptions];
  b = on ? static_cast<std::uint8_t>(b | 0x01) : static_cast<std::uint8_t>(b & 0xF0);
}

// The surround route of the high nibble; nothing for a value above 2.
constexpr std::optional<SurroundRoute> SurroundRouteOf(const MachineSettings& s) {
  const int route = s[machine::kOutputOptions] >> 4;
  if (route > 2) return std::nullopt;
  return static_cast<SurroundRoute>(route);
}
constexpr void SetSurroundRoute(MachineSettings& s, SurroundRoute route) {
  std::uint8_t& b = s[machine::kOutputOptions];
  b = static_cast<std::uint8_t>((b & 0x0F) | (static_cast<int>(route) << 4));
}

}  // namespace core::link
