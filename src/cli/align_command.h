#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/eq_commands.h"

namespace cli {

// One argument of `align`: a distance in metres ("3.2", "3.2m") or "-"
// (also "x") for a channel left out. Nothing for anything else.
std::optional<std::optional<double>> ParseDistance(const std::string& text);

// Sets the delays of the output channels that align them, by their
// distances from the listening position (CH1.. in order), to the farthest
// one, on a processor or in a settings file, and prints each delay set. A
// delay the range cannot hold is set to its end and marked. Returns an
// exit code (0 done, 1 failed, 2 bad usage).
int AlignCommand(const EqTarget& target, const std::vector<std::string>& distances,
                 const std::string& output);

}  // namespace cli
