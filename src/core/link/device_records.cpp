#include "core/link/device_records.h"

#include <algorithm>
#include <cstring>

namespace core::link {

std::int32_t DeviceIdentity::ProtocolVersion() const {
  const std::uint32_t v = std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) |
                          (std::uint32_t{bytes[2]} << 16) | (std::uint32_t{bytes[3]} << 24);
  return static_cast<std::int32_t>(v);
}

void DeviceIdentity::SetProtocolVersion(std::int32_t version) {
  const auto v = static_cast<std::uint32_t>(version);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string DeviceIdentity::Text(std::size_t offset, std::size_t size) const {
  const auto* begin = bytes.data() + offset;
  const auto* end = std::find(begin, begin + size, std::uint8_t{0});
  return std::string(begin, end);
}

void DeviceIdentity::SetText(std::size_t offset, std::size_t size, std::string_view s) {
  std::fill_n(bytes.begin() + offset, size, std::uint8_t{0});
  const std::size_t n = std::min(s.size(), size - 1);
  std::memcpy(bytes.data() + offset, s.data(), n);
}

DeviceIdentity DeviceIdentity::Placeholder() {
  DeviceIdentity id;
  id.SetProtocolVersion(17);
  id.SetModelName("Unknown");
  id.SetMcuVersion("2016-10-03");
  id.SetDspVersion("2016-11-30");
  return id;
}

void DeviceRecords::ResetToStartup() {
  std::lock_guard lock(mutex_);
  identity_ = DeviceIdentity::Placeholder();
  status_.fill(0);
  board_.fill(0);
  working_.fill(0);
  device_.fill(0);
  device_[5] = 0x63;
  device_[6] = 0x63;
  remoteKeys_.fill(0);
  currentMode_ = 0;
  settingsChanged_ = false;
  errorBoxShown_ = false;
}

#define DSPTUNER_RECORD_ACCESSORS(Type, Getter, Setter, member) \
  Type DeviceRecords::Getter() const {                          \
    std::lock_guard lock(mutex_);                               \
    return member;                                              \
  }                                                             \
  void DeviceRecords::Setter(const Type& value) {               \
    std::lock_guard lock(mutex_);                               \
    member = value;                                             \
  }

DSPTUNER_RECORD_ACCESSORS(DeviceIdentity, Identity, SetIdentity, identity_)
DSPTUNER_RECORD_ACCESSORS(DeviceStatus, Status, SetStatus, status_)
DSPTUNER_RECORD_ACCESSORS(BoardInfo, Board, SetBoard, board_)
DSPTUNER_RECORD_ACCESSORS(MachineSettings, WorkingSettings, SetWorkingSettings, working_)
DSPTUNER_RECORD_ACCESSORS(MachineSettings, DeviceSettings, SetDeviceSettings, device_)
DSPTUNER_RECORD_ACCESSORS(RemoteKeyTable, RemoteKeys, SetRemoteKeys, remoteKeys_)
#undef DSPTUNER_RECORD_ACCESSORS

void DeviceRecords::ClearStatus() {
  std::lock_guard lock(mutex_);
  status_.fill(0);
}

int DeviceRecords::CurrentMode() const {
  std::lock_guard lock(mutex_);
  return currentMode_;
}
void DeviceRecords::SetCurrentMode(int mode) {
  std::lock_guard lock(mutex_);
  currentMode_ = mode;
}
bool DeviceRecords::SettingsChanged() const {
  std::lock_guard lock(mutex_);
  return settingsChanged_;
}
void DeviceRecords::SetSettingsChanged(bool changed) {
  std::lock_guard lock(mutex_);
  settingsChanged_ = changed;
}
bool DeviceRecords::ErrorBoxShown() const {
  std::lock_guard lock(mutex_);
  return errorBoxShown_;
}
void DeviceRecords::SetErrorBoxShown(bool shown) {
  std::lock_guard lock(mutex_);
  errorBoxShown_ = shown;
}

}  // namespace core::link
