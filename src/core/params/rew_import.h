#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/params/eq_kinds.h"

namespace core::params {

// One filter line of a REW "filter settings" text export, for example
//   Filter  1: ON  PK       Fc   63.0 Hz  Gain  -3.5 dB  Q  4.00
// Fields the line does not carry stay empty.
struct RewFilter {
  int line = 0;                     // 1-based line number in the text
  int number = 0;                   // the filter's number in the file
  bool enabled = false;             // ON (true) or OFF
  std::string type;                 // as written: "PK", "LSC", "LS 6dB", "None", ...
  std::optional<double> frequency;  // Hz
  std::optional<double> gain;       // dB
  std::optional<double> q;
};

// Why a filter file was refused, for a message in the user's language.
enum class RewProblem {
  None,
  // The line does not read.
  NoState,
  BadState,
  NoType,
  Bandwidth,
  UnexpectedField,
  NoValue,
  NotANumber,
  FcUnit,
  GainUnit,
  QUnit,
  // The filter does not fit the equaliser.
  NotAnEqualiser,
  UnsupportedType,
  NeedsFc,
  NeedsGain,
  NeedsQ,
  PassTakesNoGain,
  FrequencyRange,
  GainRange,
  QRange,
  TooManyFilters,
};

struct RewParseResult {
  std::vector<RewFilter> filters;
  int errorLine = 0;    // the first malformed filter line, 0 when none
  int errorFilter = 0;  // its filter number
  RewProblem problem = RewProblem::None;
  std::string error;  // "line 7: ..."; empty when the text parsed
  bool Ok() const { return error.empty(); }
};

// Reads every line that begins with "Filter" and a number; other lines
// (the header, notes, blank lines) are skipped. A filter line that does not
// read (no ON/OFF, an unknown field, a value that is not a number) stops the
// parse with a message naming the line. Units may be attached ("63Hz");
// "kHz" scales; a comma is read as the decimal point. No types are judged
// here.
RewParseResult ParseRewFilters(std::string_view text);

// The band type a REW filter type becomes: PK 1, LP and LPQ 2, HP and HPQ 3,
// LS and LSC 4, HS and HSC 5, None 0 (no filter). Case-insensitive; nothing
// for any other type.
std::optional<int> RewTypeCode(std::string_view type);

inline constexpr double kRewDefaultPassQ = 0.7071;   // LP, HP: Butterworth
inline constexpr double kRewDefaultShelfQ = 0.7071;  // LS, HS, LSC, HSC without a Q

struct RewAssignment {
  int band = 0;  // user band 0..n-1 of the kind
  int line = 0;  // where the filter came from
  BandSettings settings;
};

struct RewImportPlan {
  std::vector<RewAssignment> bands;  // band order
  int errorLine = 0;
  int errorFilter = 0;
  RewProblem problem = RewProblem::None;
  std::string error;  // names the line; empty when every filter fits
  bool Ok() const { return error.empty(); }
};

// Checks the filters against the plain user bands of `kind` (EqPlainBandCount)
// and assigns them in order: each filter that is ON and not None takes the
// next band; OFF and None filters take none. Refused, with the first
// offending line named and nothing assigned: a type the bands cannot take,
// a missing Fc (or Gain for PK and the shelves, Q for PK, LPQ and HPQ), a
// gain on a low- or high-pass, a frequency outside 20..20000 Hz (after
// rounding to whole Hz), a gain outside -15..+15 dB, a Q outside 0.1..30 for
// PK or 0.1..2 for the other types, more filters than bands. Bands beyond
// the assigned ones are the caller's to keep or flatten (ResetBand).
RewImportPlan PlanRewImport(const std::vector<RewFilter>& filters, int kind);

// Both steps on a whole text.
RewImportPlan PlanRewImportText(std::string_view text, int kind);

}  // namespace core::params
