#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/settings_file.h"

namespace cli {

// One setting that differs between two files.
struct Difference {
  enum class Kind { Identity, Parameter, Band, Other };
  Kind kind = Kind::Other;
  std::string name;   // "Mic(1) 14 mic master volume", "EQ 7 CH1 band 3", ...
  std::string a, b;   // both values as text, with the unit
  nlohmann::json entry;  // where it is and both values, for --json
};

// Every byte of the two images is compared and each difference is named:
// equaliser bands by EQ kind and band, the sound-field and loudness
// values, every parameter record (by module, number and meaning; its
// header too), the spare bytes. The identity fields are compared when both
// files have a header. The list follows the file order.
std::vector<Difference> DiffSettings(const SettingsFile& a, const SettingsFile& b);

// "name: a -> b", one line each.
std::string DiffText(const std::vector<Difference>& differences);
// {"equal", "identity": [...], "parameters": [...], "bands": [...], "other": [...]}.
nlohmann::json DiffJson(const std::vector<Difference>& differences);

}  // namespace cli
