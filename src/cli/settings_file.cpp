#include "cli/settings_file.h"

#include <array>
#include <cstring>
#include <vector>

#include "cli/messages.h"
#include "core/presets/file_io.h"
#include "core/presets/mode_file.h"

namespace cli {

using core::params::DeviceImage;
using core::params::kImageSize;

bool LoadSettingsFile(const std::string& path, DeviceImage& image,
                      std::optional<core::link::DeviceIdentity>& header, std::string& error) {
  constexpr std::size_t kHeader = core::presets::kModeFileHeaderSize;
  constexpr std::size_t kModeFile = core::presets::kModeFileSize;
  // One byte more than the largest form, to tell a longer file.
  std::array<std::uint8_t, kModeFile + 1> bytes{};
  const core::presets::FileResult r = core::presets::ReadFilePrefix(path, bytes);
  if (!r) {
    error = path + ": cannot open: " + std::strerror(r.error);
    return false;
  }
  if (r.size == kImageSize) {
    header.reset();
    std::memcpy(image.data(), bytes.data(), kImageSize);
    return true;
  }
  if (r.size == kModeFile) {
    header.emplace();
    std::memcpy(header->bytes.data(), bytes.data(), kHeader);
    std::memcpy(image.data(), bytes.data() + kHeader, kImageSize);
    return true;
  }
  error = path + ": neither a device image nor a mode file (" +
          (r.size > kModeFile ? "more than " + std::to_string(kModeFile) : std::to_string(r.size)) +
          " bytes, expected " + std::to_string(kImageSize) + " or " + std::to_string(kModeFile) +
          ")";
  return false;
}

bool ReadSettingsFile(const std::string& path, SettingsFile& file) {
  std::string error;
  if (LoadSettingsFile(path, file.image, file.header, error)) return true;
  Error(error);
  return false;
}

bool WriteSettingsFile(const std::string& path, const SettingsFile& file) {
  std::vector<std::uint8_t> bytes;
  if (file.header) bytes.assign(file.header->bytes.begin(), file.header->bytes.end());
  bytes.insert(bytes.end(), file.image.begin(), file.image.end());
  const core::presets::FileResult saved = core::presets::WriteFileSafely(path, bytes);
  if (saved) return true;
  Error(FileError(saved));
  return false;
}

}  // namespace cli
