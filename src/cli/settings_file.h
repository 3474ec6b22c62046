#pragma once

#include <optional>
#include <string>

#include "core/link/device_records.h"
#include "core/params/device_image.h"

namespace cli {

// A device image, with the identity header when it came from a mode file.
struct SettingsFile {
  core::params::DeviceImage image{};
  std::optional<core::link::DeviceIdentity> header;
};

// Reads a device image (3518 bytes) or a mode file (its 60-byte identity
// header, then the image). On failure returns false with a reason that
// names the file.
bool LoadSettingsFile(const std::string& path, core::params::DeviceImage& image,
                      std::optional<core::link::DeviceIdentity>& header, std::string& error);

// The same into `file`, the reason said on stderr.
bool ReadSettingsFile(const std::string& path, SettingsFile& file);

// Writes the header (when there is one) and the image to `path` safely;
// false, with the reason said on stderr, when that failed.
bool WriteSettingsFile(const std::string& path, const SettingsFile& file);

}  // namespace cli
