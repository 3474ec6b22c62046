#include "core/params/param_table.h"

namespace core::params {

const char* ModuleName(int module) {
  static constexpr const char* kNames[] = {
      "?",       "Mic",     "Echo",    "Reverb",  "Music",  "Output1", "Output2", "Output3",
      "Output4", "Output5", "Output6", "Output7", "Output8", "Record", "Loudness"};
  if (module < 1 || module > 14) return kNames[0];
  return kNames[module];
}

}  // namespace core::params
