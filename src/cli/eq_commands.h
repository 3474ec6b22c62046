#pragma once

#include <optional>
#include <string>

#include "cli/net_commands.h"

namespace cli {

// An equaliser by number (0..15) or by name: "micA", "mic B", "echo-a",
// "reverbB", "music", "CH1".."CH8", "record" (case, spaces, '-' and '_'
// do not matter). Nothing for anything else.
std::optional<int> ParseEqKind(const std::string& text);

// A filter type code 0..21 by number or by name ("PEQ" or "PK", "LP", "HP",
// "LS", "HS", "OFF", and the crossover sections as `eq show` prints them).
std::optional<int> ParseFilterType(const std::string& text);

// Where an eq verb writes: a processor, or a settings file (image or mode
// file, rewritten safely) when `file` is not empty.
struct EqTarget {
  HostPort host;
  std::string file;
};

// Bands are numbered from 0, as `dump` and `diff` print them.
struct EqBandArgs {
  std::string kind;
  int band = 0;
  std::string type;
  double frequency = 0;  // Hz
  double gain = 0;       // dB
  double q = 0;
};

// Each returns an exit code (0 done, 1 refused or failed, 2 bad usage) and
// prints its errors on stderr.
int EqShowCommand(const std::string& file, const std::string& kind, bool json);
int EqSetCommand(const EqTarget& target, const EqBandArgs& args);
// Sends the filters of a REW filter-settings export to the user bands of
// `kind` in order; the bands after them become flat unless `keep`. Nothing
// is sent or written when any filter is refused.
int EqImportCommand(const EqTarget& target, const std::string& kind, const std::string& rewFile,
                    bool keep);

}  // namespace cli
