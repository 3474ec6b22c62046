#pragma once

#include <string>

#include "core/params/value_codec.h"

namespace cli {

// Reads `text` as the value of (module, param) in the parameter's user unit.
// Whole numbers out of a percent or byte range are clamped, as in the
// application. False with the reason for a pair that is not one value of
// the table or text that is not a number of the parameter's kind.
bool ParseParamValue(int module, int param, const std::string& text,
                     core::params::ParamValue& value, std::string& error);

// "Mic(1) 14 mic master volume = 75 %".
std::string DescribeSetting(int module, int param, core::params::ParamValue now);

}  // namespace cli
