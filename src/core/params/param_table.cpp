#include "core/params/param_table.h"

namespace core::params {

const char* ModuleName(int module) {
  static constexpr const char* kNames[] = {
      "?",       "Mic",     "Echo",    "Reverb",  "Music",  "Output1", "Output2", "Output3",
      "Output4", "Output5", "Output6", "Output7", "Output8", "Record", "Loudness"};
  if (module < 1 || module > 14) return kNames[0];
  return kNames[module];
}

std::optional<std::size_t> FindParamRow(int module, int param) {
  for (std::size_t i = 0; i < kParamTable.size(); ++i) {
    if (kParamTable[i].module == module && kParamTable[i].param == param) return i;
  }
  return std::nullopt;
}

const ParamEntry* FindParam(int module, int param) {
  const auto row = FindParamRow(module, param);
  return row ? &kParamTable[*row] : nullptr;
}

}  // namespace core::params
