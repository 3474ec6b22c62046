#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "core/params/device_image.h"
#include "core/session.h"

namespace cli {

// Reads a device image from a file. On failure returns false with a reason
// that names the file.
bool LoadImageFile(const std::string& path, core::params::DeviceImage& image, std::string& error);

// Everything a decoded image holds, as text for a person or as one JSON
// document. The session's model must have been decoded.
std::string DumpText(const core::Session& session);
nlohmann::json DumpJson(const core::Session& session);

}  // namespace cli
