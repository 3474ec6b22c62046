#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace core::params {

// The processor models this application knows, by the exact name each
// reports (case-sensitive).
std::span<const std::string_view> KnownModels();
bool IsKnownModel(std::string_view name);

// The music input source a model accepts: `source` itself when the model
// takes it (or the model is unknown), else the model's fallback source.
std::uint8_t AdaptMusicInputToModel(std::string_view model, std::uint8_t source);

}  // namespace core::params
