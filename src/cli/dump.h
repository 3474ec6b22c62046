#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "core/link/device_records.h"
#include "core/params/device_image.h"
#include "core/session.h"

namespace cli {

// Everything a decoded image holds, as text for a person or as one JSON
// document, with the mode file's identity when there is one. The session's
// model must have been decoded.
std::string DumpText(const core::Session& session,
                     const std::optional<core::link::DeviceIdentity>& header);
nlohmann::json DumpJson(const core::Session& session,
                        const std::optional<core::link::DeviceIdentity>& header);

}  // namespace cli
