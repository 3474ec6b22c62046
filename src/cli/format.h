#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <span>
#include <string>

#include "core/params/sound_field.h"

// Text and JSON forms shared by the verbs that print settings.
namespace cli {

template <typename... Args>
std::string Printf(const char* fmt, Args... args) {
  char buf[256];
  std::snprintf(buf, sizeof buf, fmt, args...);
  return buf;
}

// A float as text; infinities and NaN spelled out.
inline std::string Num(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return Printf("%.7g", v);
}

// A float for JSON; non-finite values become null.
inline nlohmann::json JsonNum(double v) {
  if (!std::isfinite(v)) return nullptr;
  return v;
}

// "3F 40 00 02".
inline std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string out;
  for (std::uint8_t b : bytes) {
    if (!out.empty()) out += ' ';
    out += Printf("%02X", b);
  }
  return out;
}

// The listener (0) and the eight sound-field sources (1..8).
inline const char* FieldPointName(std::size_t point) {
  static constexpr const char* kNames[1 + core::params::kFieldSourceCount] = {
      "listener",           "front left",          "centre",
      "front right",        "back surround left",  "subwoofer",
      "back surround right", "side surround left", "side surround right"};
  return point < std::size(kNames) ? kNames[point] : "?";
}

}  // namespace cli
