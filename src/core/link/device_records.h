#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace core::link {

// What the processor says about itself. The 60 bytes are also the header of
// a mode file: protocol version (int32 little-endian), model name (32 bytes),
// MCU version (11), DSP version (11), two reserved bytes.
struct DeviceIdentity {
  static constexpr std::size_t kSize = 60;
  static constexpr std::size_t kModelOffset = 4, kModelSize = 32;
  static constexpr std::size_t kMcuOffset = 36, kMcuSize = 11;
  static constexpr std::size_t kDspOffset = 47, kDspSize = 11;

  std::array<std::uint8_t, kSize> bytes{};

  std::int32_t ProtocolVersion() const;
  void SetProtocolVersion(std::int32_t version);
  std::string ModelName() const { return Text(kModelOffset, kModelSize); }
  std::string McuVersion() const { return Text(kMcuOffset, kMcuSize); }
  std::string DspVersion() const { return Text(kDspOffset, kDspSize); }
  // Texts longer than their field are cut, leaving room for the terminator.
  void SetModelName(std::string_view s) { SetText(kModelOffset, kModelSize, s); }
  void SetMcuVersion(std::string_view s) { SetText(kMcuOffset, kMcuSize, s); }
  void SetDspVersion(std::string_view s) { SetText(kDspOffset, kDspSize, s); }

  // Protocol 17, "Unknown", "2016-10-03", "2016-11-30": until a processor answers.
  static DeviceIdentity Placeholder();

  friend bool operator==(const DeviceIdentity&, const DeviceIdentity&) = default;

 private:
  std::string Text(std::size_t offset, std::size_t size) const;
  void SetText(std::size_t offset, std::size_t size, std::string_view s);
};

inline constexpr std::int32_t kProtocolVersion = 20;  // the command set this application speaks

// Status record of answer 0x0E: level meters, stream format and pitch,
// converter chip codes.
using DeviceStatus = std::array<std::uint8_t, 30>;
// Board information of answer 0x7F: a 32-bit word and a 16-bit word.
using BoardInfo = std::array<std::uint8_t, 6>;
// The machine settings (command 0x91 / answer 0x92).
using MachineSettings = std::array<std::uint8_t, 14>;
// Learnt remote keys: state byte, the codes of functions 1..25, four bytes
// carried along.
using RemoteKeyTable = std::array<std::uint8_t, 30>;

// Every record the processor fills, with the flags beside them. One
// instance per session; the receiving thread writes, the UI thread reads,
// both through these accessors.
class DeviceRecords {
 public:
  DeviceRecords() { ResetToStartup(); }

  // The start-up values: placeholder identity, empty status and settings,
  // bytes 5 and 6 of the device copy of the settings at 0x63.
  void ResetToStartup();

  DeviceIdentity Identity() const;
  void SetIdentity(const DeviceIdentity& identity);
  DeviceStatus Status() const;
  void SetStatus(const DeviceStatus& status);
  void ClearStatus();
  BoardInfo Board() const;
  void SetBoard(const BoardInfo& board);
  MachineSettings WorkingSettings() const;
  void SetWorkingSettings(const MachineSettings& settings);
  MachineSettings DeviceSettings() const;
  void SetDeviceSettings(const MachineSettings& settings);
  RemoteKeyTable RemoteKeys() const;
  void SetRemoteKeys(const RemoteKeyTable& keys);

  int CurrentMode() const;
  void SetCurrentMode(int mode);
  bool SettingsChanged() const;
  void SetSettingsChanged(bool changed);
  bool ErrorBoxShown() const;
  void SetErrorBoxShown(bool shown);

 private:
  mutable std::mutex mutex_;
  DeviceIdentity identity_;
  DeviceStatus status_{};
  BoardInfo board_{};
  MachineSettings working_{};
  MachineSettings device_{};
  RemoteKeyTable remoteKeys_{};
  int currentMode_ = 0;
  bool settingsChanged_ = false;
  bool errorBoxShown_ = false;
};

}  // namespace core::link
