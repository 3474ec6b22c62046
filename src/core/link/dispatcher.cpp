#include "core/link/dispatcher.h"

#include <algorithm>

#include "core/link/commands.h"
#include "core/params/device_image.h"
#include "core/trace.h"

namespace core::link {
namespace {

// The payload bytes from index `from`, at most `count` of them.
std::span<const std::uint8_t> Bytes(std::span<const std::uint8_t> f, std::size_t from,
                                    std::size_t count) {
  if (from >= f.size()) return {};
  return f.subspan(from, std::min(count, f.size() - from));
}

std::uint8_t At(std::span<const std::uint8_t> f, std::size_t i) { return i < f.size() ? f[i] : 0; }

template <std::size_t N>
void CopyInto(std::array<std::uint8_t, N>& record, std::span<const std::uint8_t> src) {
  std::copy_n(src.begin(), std::min(src.size(), N), record.begin());
}

// The last buffer index a text may come from.
constexpr std::size_t kTextEnd = 59;

}  // namespace

void Dispatcher::DispatchFrame(std::span<const std::uint8_t> f, std::size_t length) {
  const std::uint8_t code = At(f, 1);
  if (f.size() < 2) {
    link_.ReplyReceived();
    return;
  }
  switch (code) {
    case cmd::kLoadModeMenu:
    case cmd::kLoadModeButton:
      // The processor changed its mode: read everything again.
      link_.ReplyReceived();
      Trace("Start thread:SynchronizeData\n");
      if (startReadAll_) startReadAll_();
      return;
    case cmd::kGetMode:
      if (f.size() > 2 && f[2] < 4) records_.SetCurrentMode(f[2]);
      break;
    case cmd::kSettingsChanged:
      records_.SetSettingsChanged(true);
      break;
    case cmd::kError:
      if (At(f, 2) != 0 && !records_.ErrorBoxShown()) {
        records_.SetErrorBoxShown(true);
        link_.Events().DeviceError(At(f, 2), At(f, 3), At(f, 4));
      }
      break;
    case cmd::kGetStatus: {
      DeviceStatus status{};
      CopyInto(status, Bytes(f, 2, status.size()));
      records_.SetStatus(status);
      if (f.size() > 9) model_.SetMusicPitch((f[9] >> 4) - 5);
      break;
    }
    case cmd::kPlugFrame:
      if (plugSink_ != nullptr) plugSink_->PlugFrame(f);
      break;
    case cmd::kPlugStoreRead:
      if (plugSink_ != nullptr) plugSink_->PlugStoreBlock(f);
      break;
    case cmd::kImageRead: {
      const std::size_t offset = At(f, 2) * 256u + At(f, 3);
      if (offset < params::kImageSize) model_.WriteImageBytes(offset, Bytes(f, 5, At(f, 4)));
      break;
    }
    case cmd::kImageWrite:
    case cmd::kImageWriteEnd:
      break;
    case cmd::kLearnKey: {
      const std::uint8_t key = At(f, 3);
      RemoteKeyTable keys = records_.RemoteKeys();
      if (f.size() > 4 && key >= 1 && key < keys.size()) {
        keys[0] = f[2];
        keys[key] = f[4];
        records_.SetRemoteKeys(keys);
        link_.Events().RemoteKeyLearnt(f[4]);
      }
      break;
    }
    case cmd::kGetRemoteKeys: {
      RemoteKeyTable keys = records_.RemoteKeys();
      const auto src = Bytes(f, 2, 16);
      std::copy(src.begin(), src.end(), keys.begin());
      records_.SetRemoteKeys(keys);
      break;
    }
    case cmd::kGetDspVersion:
    case cmd::kGetModelName:
    case cmd::kGetMcuVersion: {
      DeviceIdentity id = records_.Identity();
      CopyText(f, id, code);
      records_.SetIdentity(id);
      break;
    }
    case cmd::kGetProtocol: {
      DeviceIdentity id = records_.Identity();
      id.SetProtocolVersion(At(f, 2));
      records_.SetIdentity(id);
      BoardInfo board{};
      if (length >= 9) CopyInto(board, Bytes(f, 4, board.size()));
      records_.SetBoard(board);
      break;
    }
    case cmd::kStoreBlock:
      HandleStoreBlock(f);
      break;
    case cmd::kGetMachineSettings: {
      MachineSettings settings = records_.DeviceSettings();
      CopyInto(settings, Bytes(f, 2, settings.size()));
      records_.SetWorkingSettings(settings);
      records_.SetDeviceSettings(settings);
      break;
    }
    default:
      break;
  }
  link_.ReplyReceived();
}

void Dispatcher::CopyText(std::span<const std::uint8_t> f, DeviceIdentity& id,
                          std::uint8_t command) {
  const auto text = Bytes(f, 2, kTextEnd - 1);  // buffer indexes 2..59
  const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
  const std::string s(text.begin(), end);
  if (command == cmd::kGetDspVersion) id.SetDspVersion(s);
  if (command == cmd::kGetModelName) id.SetModelName(s);
  if (command == cmd::kGetMcuVersion) id.SetMcuVersion(s);
}

void Dispatcher::HandleStoreBlock(std::span<const std::uint8_t> f) {
  using namespace params;
  const std::size_t offset = At(f, 2) * 256u + At(f, 3);
  const auto data = Bytes(f, 5, At(f, 4));
  // Each area takes at most what it holds.
  auto copyWithin = [&](std::size_t areaEnd) {
    model_.WriteStoreBytes(offset, data.first(std::min(data.size(), areaEnd - offset)));
  };
  if (offset < kBandAreaSize) {
    if (At(f, 5) == 0xFF && At(f, 6) == 0xFF) {
      model_.ClearStoreBytes(0, kBandAreaSize);  // the processor's "all bands cleared"
    } else {
      copyWithin(kBandAreaSize);
    }
  } else if (offset == kFieldLevelsOffset) {
    copyWithin(kFieldRecordOffset);
  } else if (offset == kFieldRecordOffset) {
    copyWithin(kLoudnessLevelOffset);
    model_.DecodeStoreSoundField();
  } else if (offset == kLoudnessLevelOffset) {
    copyWithin(kStoreSize);
  }
}

}  // namespace core::link
