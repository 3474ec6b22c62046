#include "cli/param_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/params/param_table.h"

namespace cli {

using core::params::ValueKind;

bool ParseParamValue(int module, int param, const std::string& text,
                     core::params::ParamValue& value, std::string& error) {
  const core::params::ParamEntry* e = core::params::FindParam(module, param);
  if (e == nullptr) {
    error = "no parameter " + std::to_string(module) + "/" + std::to_string(param);
    return false;
  }
  if (!e->HasMirror() || !e->HasSlot()) {
    error = std::to_string(module) + "/" + std::to_string(param) + " (" + e->meaning +
            ") is a block of words, not a single value";
    return false;
  }
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (e->kind == ValueKind::Float || e->kind == ValueKind::Milliseconds) {
    float f = 0;
    const auto r = std::from_chars(begin, end, f);
    if (r.ec != std::errc() || r.ptr != end) {
      error = "'" + text + "' is not a number";
      return false;
    }
    if (!std::isfinite(f)) {
      error = "'" + text + "' is not a finite number";
      return false;
    }
    // A time is a sample count on the processor; there are no negative ones.
    if (e->kind == ValueKind::Milliseconds) f = std::max(f, 0.0f);
    value = f;
    return true;
  }
  int i = 0;
  const auto r = std::from_chars(begin, end, i);
  if (r.ec != std::errc() || r.ptr != end) {
    error = "'" + text + "' is not a whole number";
    return false;
  }
  if (e->kind == ValueKind::Percent) i = std::clamp(i, -100, 100);
  if (e->kind == ValueKind::RawByte) i = std::clamp(i, 0, 255);
  value = i;
  return true;
}

std::string DescribeSetting(int module, int param, core::params::ParamValue now) {
  const core::params::ParamEntry* e = core::params::FindParam(module, param);
  if (e == nullptr) return "?";
  return std::string(core::params::ModuleName(module)) + "(" + std::to_string(module) + ") " +
         std::to_string(param) + " " + e->meaning + " = " +
         (now.IsFloat() ? std::to_string(now.AsFloat()) : std::to_string(now.AsInt())) +
         (*e->unit ? std::string(" ") + e->unit : "");
}

}  // namespace cli
