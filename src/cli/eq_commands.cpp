#include "cli/eq_commands.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <filesystem>
#include <vector>

#include "cli/connection.h"
#include "cli/format.h"
#include "cli/settings_file.h"
#include "core/params/eq_kinds.h"
#include "core/params/rew_import.h"

namespace cli {
namespace {

using core::params::BandSettings;

// Lower case without spaces, '-' and '_': "Mic A" and "mic-a" read alike.
std::string Folded(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c != ' ' && c != '-' && c != '_') out += static_cast<char>(std::tolower(c));
  }
  return out;
}

std::optional<int> WholeNumber(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// One band as a line: "band  0  PEQ       63 Hz   -3.5 dB  Q 4.000".
std::string BandLine(int band, const BandSettings& b) {
  return Printf("band %2d  %-8s %5d Hz  %+5.1f dB  Q %.3f", band,
                core::params::FilterTypeName(b.type), b.frequency, b.gain, b.q);
}

std::string KindTitle(int kind) {
  return Printf("EQ %d %s", kind, core::params::EqKindName(kind));
}

bool KindArg(const std::string& text, int& kind) {
  const auto k = ParseEqKind(text);
  if (!k) {
    Error("unknown equaliser '" + text +
          "'; use 0..15 or micA, micB, echoA, echoB, reverbA, reverbB, music, CH1..CH8, record");
    return false;
  }
  kind = *k;
  return true;
}

// A band to write, in band order.
struct BandWrite {
  int band;
  BandSettings settings;
};

// Writes the bands into a settings file, or sends each as one band message
// and its store write; the lines go to stdout once everything has landed.
int Apply(const EqTarget& target, int kind, const std::vector<BandWrite>& writes) {
  if (!target.file.empty()) {
    SettingsFile file;
    if (!ReadSettingsFile(target.file, file)) return kFailed;
    for (const BandWrite& w : writes) core::params::WriteBand(file.image, kind, w.band, w.settings);
    if (!WriteSettingsFile(target.file, file)) return kFailed;
    std::cout << KindTitle(kind) << " in " << target.file << "\n";
  } else {
    Connection c(target.host);
    if (!c.Connect() || !c.Identify()) return kFailed;
    // Each send waits for the answer to the one before; a wait that timed
    // out means a band message or store write went unanswered.
    for (const BandWrite& w : writes) {
      c.session().Eq().SendEqBand(kind, w.band, w.settings);
      if (!c.session().IsOpen() || c.session().ConsecutiveReplyTimeouts() > 0) {
        return c.Failed("equaliser band " + std::to_string(w.band)), kFailed;
      }
    }
    if (!c.session().IsOpen() || !c.session().AwaitLastAnswer(kAnswerWait)) {
      return c.Failed("equaliser"), kFailed;
    }
    std::cout << KindTitle(kind) << " on " << c.Where() << "\n";
  }
  for (const BandWrite& w : writes) {
    std::cout << "  " << BandLine(w.band, core::params::ClampBand(w.settings)) << "\n";
  }
  return std::cout.good() ? kDone : kFailed;
}

// A REW export is a few kilobytes of text; anything far larger is not one.
constexpr std::streamsize kMaxRewFileSize = 1 << 20;

bool ReadText(const std::string& path, std::string& text) {
  // A FIFO or a device would block or never end; only a file is read.
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) {
    Error(path + ": cannot open: " + (ec ? ec.message() : std::strerror(ENOENT)));
    return false;
  }
  if (!std::filesystem::is_regular_file(status)) {
    Error(path + ": not a regular file");
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Error(path + ": cannot open: " + std::strerror(errno));
    return false;
  }
  // One byte more than the limit tells a larger file without reading it.
  text.resize(static_cast<std::size_t>(kMaxRewFileSize) + 1);
  in.read(text.data(), kMaxRewFileSize + 1);
  if (in.bad()) {
    Error(path + ": cannot read: " + std::strerror(errno));
    return false;
  }
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (static_cast<std::streamsize>(text.size()) > kMaxRewFileSize) {
    Error(path + ": more than 1 MiB; not a REW filter settings export");
    return false;
  }
  return true;
}

}  // namespace

std::optional<int> ParseEqKind(const std::string& text) {
  if (const auto n = WholeNumber(text)) {
    if (core::params::IsEqKind(*n)) return *n;
    return std::nullopt;
  }
  const std::string t = Folded(text);
  for (int kind = 0; kind < core::params::kEqKindCount; ++kind) {
    if (t == Folded(core::params::EqKindName(kind))) return kind;
  }
  if (t.size() == 4 && t.starts_with("out") && t[3] >= '1' && t[3] <= '8') {
    return core::params::OutputEqKind(t[3] - '1');
  }
  return std::nullopt;
}

std::optional<int> ParseFilterType(const std::string& text) {
  constexpr int kTypeCount = 22;
  if (const auto n = WholeNumber(text)) {
    if (*n >= 0 && *n < kTypeCount) return *n;
    return std::nullopt;
  }
  const std::string t = Folded(text);
  if (t == "pk" || t == "peak" || t == "peaking") return 1;
  for (int type = 0; type < kTypeCount; ++type) {
    if (t == Folded(core::params::FilterTypeName(type))) return type;
  }
  return std::nullopt;
}

int EqShowCommand(const std::string& path, const std::string& kindText, bool json) {
  int kind = 0;
  if (!KindArg(kindText, kind)) return kBadUsage;
  SettingsFile file;
  if (!ReadSettingsFile(path, file)) return kFailed;
  const int count = core::params::EqStoreBandCount(kind);
  if (json) {
    nlohmann::json bands = nlohmann::json::array();
    for (int b = 0; b < count; ++b) {
      const auto s = core::params::ReadBand(file.image, kind, b);
      if (!s) continue;
      bands.push_back({{"band", b},
                       {"type", s->type},
                       {"typeName", core::params::FilterTypeName(s->type)},
                       {"frequency", s->frequency},
                       // To the record's steps, not the single's digits.
                       {"gain", JsonNum(std::round(s->gain * 10.0) / 10.0)},
                       {"q", JsonNum(std::round(s->q * 1000.0) / 1000.0)}});
    }
    std::cout << nlohmann::json{{"kind", kind},
                                {"name", core::params::EqKindName(kind)},
                                {"bands", std::move(bands)}}
                     .dump(2)
              << "\n";
  } else {
    std::cout << KindTitle(kind) << " (" << core::params::EqPlainBandCount(kind)
              << " user bands)\n";
    for (int b = 0; b < count; ++b) {
      const auto s = core::params::ReadBand(file.image, kind, b);
      if (s) std::cout << "  " << BandLine(b, *s) << "\n";
    }
  }
  return std::cout.good() ? kDone : kFailed;
}

int EqSetCommand(const EqTarget& target, const EqBandArgs& args) {
  using namespace core::params;
  int kind = 0;
  if (!KindArg(args.kind, kind)) return kBadUsage;
  const int count = EqStoreBandCount(kind);
  if (args.band < 0 || args.band >= count) {
    Error(KindTitle(kind) + " has bands 0.." + std::to_string(count - 1));
    return kBadUsage;
  }
  const auto type = ParseFilterType(args.type);
  if (!type) {
    Error("unknown filter type '" + args.type + "'; use 0..21 or OFF, PEQ, LP, HP, LS, HS");
    return kBadUsage;
  }
  const UserBandCheck check = CheckUserBand(*type, args.frequency, args.gain, args.q);
  switch (check.failed) {
    case BandLimit::Frequency:
      Error(Printf("frequency %g Hz is outside 20..20000 Hz", args.frequency));
      return kBadUsage;
    case BandLimit::Gain:
      Error(Printf("gain %g dB is outside -15..+15 dB", args.gain));
      return kBadUsage;
    case BandLimit::Q:
      Error(Printf("Q %g is outside 0.1..%g for %s", args.q, MaxBandQ(*type), FilterTypeName(*type)));
      return kBadUsage;
    case BandLimit::None: break;
  }
  return Apply(target, kind, {BandWrite{args.band, check.band}});
}

int EqImportCommand(const EqTarget& target, const std::string& kindText,
                    const std::string& rewFile, bool keep) {
  using namespace core::params;
  int kind = 0;
  if (!KindArg(kindText, kind)) return kBadUsage;
  std::string text;
  if (!ReadText(rewFile, text)) return kFailed;
  const RewParseResult parsed = ParseRewFilters(text);
  if (!parsed.Ok()) {
    Error(rewFile + ": " + parsed.error + "; nothing was sent");
    return kFailed;
  }
  // A file without a single filter line is not an export; flattening the
  // whole equaliser for it would lose the installer's bands.
  if (parsed.filters.empty()) {
    Error(rewFile + ": no \"Filter N:\" lines; not a REW filter settings export");
    return kFailed;
  }
  const RewImportPlan plan = PlanRewImport(parsed.filters, kind);
  if (!plan.Ok()) {
    Error(rewFile + ": " + plan.error + "; nothing was sent");
    return kFailed;
  }
  std::vector<BandWrite> writes;
  for (const RewAssignment& a : plan.bands) writes.push_back({a.band, a.settings});
  if (!keep) {
    for (int b = static_cast<int>(plan.bands.size()); b < EqPlainBandCount(kind); ++b) {
      writes.push_back({b, ResetBand(kind, b)});
    }
  }
  if (writes.empty()) {
    std::cout << KindTitle(kind) << ": the file switches no filter on; nothing to do\n";
    return kDone;
  }
  return Apply(target, kind, writes);
}

}  // namespace cli
