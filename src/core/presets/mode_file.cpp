#include "core/presets/mode_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "core/params/model_catalogue.h"

namespace core::presets {

FileResult SaveModeFile(Session& session, const std::string& path) {
  session.Params().CopyStoreToImage();
  const link::DeviceIdentity id = session.Records().Identity();
  const params::DeviceImage image = session.Params().Image();
  std::vector<std::uint8_t> bytes(id.bytes.begin(), id.bytes.end());
  bytes.insert(bytes.end(), image.begin(), image.end());
  return WriteFileSafely(path, bytes);
}

FileResult LoadModeFile(Session& session, const std::string& path) {
  std::array<std::uint8_t, kModeFileSize> bytes{};
  FileResult r = ReadFilePrefix(path, bytes);
  if (!r) return r;
  const std::size_t got = r.size;

  link::DeviceIdentity header;
  std::memcpy(header.bytes.data(), bytes.data(), std::min(got, kModeFileHeaderSize));
  if (got < 4 || header.ProtocolVersion() != link::kProtocolVersion) {
    r.code = FileResult::Code::BadVersion;
    r.version = got < 4 ? 0 : header.ProtocolVersion();
    return r;
  }
  if (got > kModeFileHeaderSize) {
    session.Params().WriteImageBytes(
        0, std::span<const std::uint8_t>(bytes.data() + kModeFileHeaderSize,
                                         got - kModeFileHeaderSize));
  }
  const std::string model = session.Records().Identity().ModelName();
  const std::uint8_t source = session.Params().ImageByte(params::kMusicSourceOffset);
  const std::uint8_t adapted = params::AdaptMusicInputToModel(model, source);
  session.Params().WriteImageBytes(params::kMusicSourceOffset,
                                   std::span<const std::uint8_t>(&adapted, 1));
  session.Params().DecodeImage();
  return r;
}

int ModeSlotFromFileName(std::string_view path) {
  const auto slash = path.rfind('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  if (name.size() < 2 || (name[0] != 'm' && name[0] != 'M')) return kNoModeSlot;
  if (name[1] < '1' || name[1] > '4') return kNoModeSlot;
  return name[1] - '1';
}

}  // namespace core::presets
