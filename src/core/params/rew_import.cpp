#include "core/params/rew_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "core/params/device_image.h"

namespace core::params {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  return out;
}

std::string Quoted(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 2);
  out += '\'';
  out += s;
  out += '\'';
  return out;
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSpace(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsSpace(line[i])) ++i;
    if (i > start) tokens.push_back(line.substr(start, i - start));
  }
  return tokens;
}

// A number with an optional attached unit: "63.0", "63Hz", "-3,5dB"; the
// unit, lowered, goes to `unit`.
std::optional<double> ReadNumber(std::string_view token, std::string& unit) {
  std::string text(token);
  const bool hasDot = text.find('.') != std::string::npos;
  if (!hasDot && std::count(text.begin(), text.end(), ',') == 1) {
    std::replace(text.begin(), text.end(), ',', '.');
  }
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  double value = 0.0;
  const auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end == first || !std::isfinite(value)) return std::nullopt;
  unit = Lower(std::string_view(end, static_cast<std::size_t>(last - end)));
  return value;
}

bool IsUnit(std::string_view lowered) {
  return lowered == "hz" || lowered == "khz" || lowered == "db";
}

std::string LineError(int line, std::string_view what) {
  return "line " + std::to_string(line) + ": " + std::string(what);
}

std::string Format(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

bool IsFilterKeyword(const std::string& lowered) {
  return lowered == "fc" || lowered == "gain" || lowered == "q" || lowered == "bw" ||
         lowered == "bw/60";
}

// Parses one filter line; false with `error` set when it does not read.
bool ParseFilterLine(const std::vector<std::string_view>& tokens, RewFilter& f, std::string& error,
                     RewProblem& problem) {
  std::size_t i = 2;
  if (i < tokens.size() && tokens[i] == ":") ++i;
  if (i >= tokens.size()) {
    error = "no ON or OFF";
    problem = RewProblem::NoState;
    return false;
  }
  const std::string state = Lower(tokens[i]);
  if (state != "on" && state != "off") {
    error = "expected ON or OFF, found " + Quoted(tokens[i]);
    problem = RewProblem::BadState;
    return false;
  }
  f.enabled = state == "on";
  ++i;
  std::string type;
  while (i < tokens.size() && !IsFilterKeyword(Lower(tokens[i]))) {
    if (!type.empty()) type += ' ';
    type += tokens[i];
    ++i;
  }
  if (type.empty()) {
    error = "no filter type";
    problem = RewProblem::NoType;
    return false;
  }
  f.type = type;
  while (i < tokens.size()) {
    const std::string key = Lower(tokens[i]);
    if (key == "bw" || key == "bw/60") {
      error = "bandwidth fields are not read, export with Q";
      problem = RewProblem::Bandwidth;
      return false;
    }
    if (key != "fc" && key != "gain" && key != "q") {
      error = "unexpected " + Quoted(tokens[i]);
      problem = RewProblem::UnexpectedField;
      return false;
    }
    if (i + 1 >= tokens.size()) {
      error = "no value after " + Quoted(tokens[i]);
      problem = RewProblem::NoValue;
      return false;
    }
    std::string unit;
    const auto value = ReadNumber(tokens[i + 1], unit);
    if (!value) {
      error = Quoted(tokens[i + 1]) + " is not a number";
      problem = RewProblem::NotANumber;
      return false;
    }
    i += 2;
    if (unit.empty() && i < tokens.size() && IsUnit(Lower(tokens[i]))) {
      unit = Lower(tokens[i]);
      ++i;
    }
    double v = *value;
    if (key == "fc") {
      if (unit == "khz") {
        v *= 1000.0;
      } else if (!unit.empty() && unit != "hz") {
        error = "Fc unit " + Quoted(unit) + " is not Hz";
        problem = RewProblem::FcUnit;
        return false;
      }
      f.frequency = v;
    } else if (key == "gain") {
      if (!unit.empty() && unit != "db") {
        error = "gain unit " + Quoted(unit) + " is not dB";
        problem = RewProblem::GainUnit;
        return false;
      }
      f.gain = v;
    } else {
      if (!unit.empty()) {
        error = "Q takes no unit";
        problem = RewProblem::QUnit;
        return false;
      }
      f.q = v;
    }
  }
  return true;
}

bool IsFilterNumber(std::string_view token, int& number) {
  if (!token.empty() && token.back() == ':') token.remove_suffix(1);
  if (token.empty()) return false;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), number);
  return ec == std::errc() && end == token.data() + token.size();
}

}  // namespace

RewParseResult ParseRewFilters(std::string_view text) {
  RewParseResult result;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  int lineNumber = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    ++lineNumber;
    const auto tokens = Split(line);
    if (tokens.size() < 2 || Lower(tokens[0]) != "filter") continue;
    RewFilter f;
    if (!IsFilterNumber(tokens[1], f.number)) continue;  // "Filter Settings file" and the like
    f.line = lineNumber;
    std::string error;
    RewProblem problem = RewProblem::None;
    if (!ParseFilterLine(tokens, f, error, problem)) {
      result.errorLine = lineNumber;
      result.errorFilter = f.number;
      result.problem = problem;
      result.error = LineError(lineNumber, "filter " + std::to_string(f.number) + ": " + error);
      result.filters.clear();
      return result;
    }
    result.filters.push_back(std::move(f));
  }
  return result;
}

std::optional<int> RewTypeCode(std::string_view type) {
  const std::string t = Lower(type);
  if (t == "pk") return 1;
  if (t == "lp" || t == "lpq") return 2;
  if (t == "hp" || t == "hpq") return 3;
  if (t == "ls" || t == "lsc") return 4;
  if (t == "hs" || t == "hsc") return 5;
  if (t == "none") return 0;
  return std::nullopt;
}

RewImportPlan PlanRewImport(const std::vector<RewFilter>& filters, int kind) {
  RewImportPlan plan;
  const int bandCount = EqPlainBandCount(kind);
  auto refuse = [&plan](const RewFilter& f, RewProblem problem, const std::string& what) {
    plan.bands.clear();
    plan.errorLine = f.line;
    plan.errorFilter = f.number;
    plan.problem = problem;
    plan.error = LineError(f.line, "filter " + std::to_string(f.number) + ": " + what);
    return plan;
  };
  if (bandCount == 0) {
    plan.error = "EQ kind " + std::to_string(kind) + " is not an equaliser";
    plan.problem = RewProblem::NotAnEqualiser;
    return plan;
  }
  for (const RewFilter& f : filters) {
    if (!f.enabled) continue;
    const auto code = RewTypeCode(f.type);
    if (!code) {
      return refuse(
          f, RewProblem::UnsupportedType,
          "type " + f.type + " is not supported (PK, LS, LSC, HS, HSC, LP, LPQ, HP, HPQ, None)");
    }
    if (*code == 0) continue;
    const std::string t = Lower(f.type);
    const bool pass = *code == 2 || *code == 3;
    const bool needsQ = t == "pk" || t == "lpq" || t == "hpq";
    if (!f.frequency) return refuse(f, RewProblem::NeedsFc, f.type + " needs Fc");
    if (!pass && !f.gain) return refuse(f, RewProblem::NeedsGain, f.type + " needs Gain");
    if (needsQ && !f.q) return refuse(f, RewProblem::NeedsQ, f.type + " needs Q");
    if (pass && f.gain && *f.gain != 0.0)
      return refuse(f, RewProblem::PassTakesNoGain, f.type + " takes no gain");

    const double gain = f.gain.value_or(0.0);
    const double q = f.q.value_or(pass ? kRewDefaultPassQ : kRewDefaultShelfQ);
    const UserBandCheck check = CheckUserBand(*code, *f.frequency, gain, q);
    switch (check.failed) {
      case BandLimit::Frequency:
        return refuse(f, RewProblem::FrequencyRange,
                      "Fc " + Format("%.1f", *f.frequency) + " Hz is outside 20..20000 Hz");
      case BandLimit::Gain:
        return refuse(f, RewProblem::GainRange,
                      "gain " + Format("%+.1f", gain) + " dB is outside -15..+15 dB");
      case BandLimit::Q:
        return refuse(f, RewProblem::QRange,
                      "Q " + Format("%.3g", q) + " is outside 0.1.." +
                          Format("%g", MaxBandQ(*code)) + " for " + f.type);
      case BandLimit::None:
        break;
    }
    const int band = static_cast<int>(plan.bands.size());
    if (band >= bandCount) {
      return refuse(
          f, RewProblem::TooManyFilters,
          "more filters than the " + std::to_string(bandCount) + " bands of " + EqKindName(kind));
    }
    RewAssignment a;
    a.band = band;
    a.line = f.line;
    a.settings = check.band;
    plan.bands.push_back(a);
  }
  return plan;
}

RewImportPlan PlanRewImportText(std::string_view text, int kind) {
  const RewParseResult parsed = ParseRewFilters(text);
  if (!parsed.Ok()) {
    RewImportPlan plan;
    plan.errorLine = parsed.errorLine;
    plan.errorFilter = parsed.errorFilter;
    plan.problem = parsed.problem;
    plan.error = parsed.error;
    return plan;
  }
  return PlanRewImport(parsed.filters, kind);
}

}  // namespace core::params
