#include "cli/dump.h"

#include <cmath>
#include <cstdio>

#include "cli/format.h"
#include "core/params/param_table.h"
#include "core/params/sound_field.h"

namespace cli {

using namespace core::params;

namespace {

std::vector<Word> RecordWords(const DeviceImage& image, const ParamEntry& e) {
  std::vector<Word> w;
  if (!e.HasSlot()) return w;
  for (int i = 0; i < e.words; ++i) w.push_back(LoadBe32(image.data() + e.slot + 4 * i));
  return w;
}

std::string ValueText(const core::Session& s, const DeviceImage& image, std::size_t row) {
  const ParamEntry& e = kParamTable[row];
  if (e.HasMirror()) {
    const ParamValue v = s.Params().MirrorAt(row);
    std::string t = v.IsFloat() ? Num(v.AsFloat()) : std::to_string(v.AsInt());
    if (*e.unit) t += std::string(" ") + e.unit;
    return t;
  }
  if (!e.HasSlot()) return "pitch " + std::to_string(s.Params().Display().musicPitch);
  std::string t;
  for (Word w : RecordWords(image, e)) {
    if (!t.empty()) t += ", ";
    t += Num(BitsFloat(w));
  }
  return t;
}

nlohmann::json JsonValue(const core::Session& s, const DeviceImage& image, std::size_t row) {
  const ParamEntry& e = kParamTable[row];
  if (e.HasMirror()) {
    const ParamValue v = s.Params().MirrorAt(row);
    return v.IsFloat() ? JsonNum(v.AsFloat()) : nlohmann::json(v.AsInt());
  }
  if (!e.HasSlot()) return s.Params().Display().musicPitch;
  nlohmann::json words = nlohmann::json::array();
  for (Word w : RecordWords(image, e)) words.push_back(JsonNum(BitsFloat(w)));
  return words;
}

BandRecord BandAt(const EqStore& store, int kind, int band) {
  const int at = EqBandOffset(kind, band);
  return ReadBandRecord(std::span<const std::uint8_t, kBandRecordSize>(store.data() + at,
                                                                       kBandRecordSize));
}

float FieldLevel(const EqStore& store, int channel) {
  return BitsFloat(LoadBe32(store.data() + kFieldLevelsOffset + 4 * channel));
}

std::string CompressorName(int i) { return i < kOutputCount ? "CH" + std::to_string(i + 1) : "record"; }

}  // namespace

std::string DumpText(const core::Session& s,
                     const std::optional<core::link::DeviceIdentity>& header) {
  const DeviceImage image = s.Params().Image();
  const EqStore store = s.Params().Store();
  const DisplayValues d = s.Params().Display();
  std::string out;

  if (header) {
    out += "# Identity (mode file header)\n";
    out += Printf("protocol %d\nmodel    %s\nMCU      %s\nDSP      %s\n\n",
                  header->ProtocolVersion(), header->ModelName().c_str(),
                  header->McuVersion().c_str(), header->DspVersion().c_str());
  }

  out += "# Parameters\n";
  out += Printf("%-9s %5s  %-44s %-15s %s\n", "module", "param", "meaning", "kind", "value");
  for (std::size_t row = 0; row < kParamCount; ++row) {
    const ParamEntry& e = kParamTable[row];
    out += Printf("%-9s %5d  %-44s %-15s ", Printf("%s(%d)", ModuleName(e.module), e.module).c_str(),
                  e.param, e.meaning, ValueKindName(e.kind));
    out += ValueText(s, image, row) + "\n";
  }

  out += "\n# Equalisers (type, frequency Hz, gain dB, Q)\n";
  for (int kind = 0; kind < kEqKindCount; ++kind) {
    out += Printf("EQ %d %s\n", kind, EqKindName(kind));
    for (int b = 0; b < EqKindBands(kind).bandCount; ++b) {
      const BandRecord r = BandAt(store, kind, b);
      out += Printf("  band %2d  type %2d  %5u Hz  %+5.1f dB  Q %.3f\n", b, r.type, r.frequency,
                    r.GainDb(), r.Q());
    }
  }

  out += "\n# Compressors (threshold, ratio, attack ms, release ms)\n";
  auto comp = [&](const std::string& name, const CompressorDisplay& c) {
    out += Printf("%-7s threshold %s  ratio %s  attack %s ms  release %s ms\n", name.c_str(),
                  Num(c.threshold).c_str(), Num(c.ratio).c_str(), Num(c.attackMs).c_str(),
                  Num(c.releaseMs).c_str());
  };
  for (int i = 0; i < kChannelCompressorCount; ++i) comp(CompressorName(i), d.compressors[i]);
  comp("music", d.musicCompressor);

  out += "\n# Derived values\n";
  for (int c = 0; c < kOutputCount; ++c) {
    out += Printf("CH%d delay mode %d (%s)\n", c + 1, d.delayMode[c],
                  d.delayMode[c] ? "channel delay" : "high-frequency delay");
  }
  out += Printf("music pitch %d\nloudness level %d dB\n", d.musicPitch, d.loudnessLevel);
  out += Printf("frequency shift A %d Hz\nfrequency shift B %d Hz\n", d.shiftFrequency[0],
                d.shiftFrequency[1]);

  const SoundFieldGeometry g = s.Params().Geometry();
  out += "\n# Sound field\n";
  out += Printf("room %d m x %d m\n", g.width, g.length);
  for (std::size_t p = 0; p < g.points.size(); ++p) {
    out += Printf("point %zu %-20s x %+.1f m  y %+.1f m\n", p, FieldPointName(p), g.points[p].x,
                  g.points[p].y);
  }
  for (int c = 0; c < kOutputCount; ++c) {
    out += Printf("CH%d level %s dB\n", c + 1, Num(FieldLevel(store, c)).c_str());
  }
  out += Printf("located speaker code %d\n", store[kFieldSettingOffset]);
  return out;
}

nlohmann::json DumpJson(const core::Session& s,
                        const std::optional<core::link::DeviceIdentity>& header) {
  using nlohmann::json;
  const DeviceImage image = s.Params().Image();
  const EqStore store = s.Params().Store();
  const DisplayValues d = s.Params().Display();
  json doc;
  if (header) {
    doc["identity"] = {{"protocol", header->ProtocolVersion()},
                       {"model", header->ModelName()},
                       {"mcuVersion", header->McuVersion()},
                       {"dspVersion", header->DspVersion()}};
  }

  json params = json::array();
  for (std::size_t row = 0; row < kParamCount; ++row) {
    const ParamEntry& e = kParamTable[row];
    params.push_back({{"module", e.module},
                      {"moduleName", ModuleName(e.module)},
                      {"param", e.param},
                      {"meaning", e.meaning},
                      {"kind", ValueKindName(e.kind)},
                      {"unit", e.unit},
                      {"value", JsonValue(s, image, row)}});
  }
  doc["parameters"] = std::move(params);

  json eqs = json::array();
  for (int kind = 0; kind < kEqKindCount; ++kind) {
    json bands = json::array();
    for (int b = 0; b < EqKindBands(kind).bandCount; ++b) {
      const BandRecord r = BandAt(store, kind, b);
      bands.push_back({{"band", b},
                       {"type", r.type},
                       {"frequency", r.frequency},
                       {"gain", r.GainDb()},
                       {"q", r.Q()}});
    }
    eqs.push_back({{"kind", kind}, {"name", EqKindName(kind)}, {"bands", std::move(bands)}});
  }
  doc["equalisers"] = std::move(eqs);

  auto comp = [](const std::string& name, const CompressorDisplay& c) {
    return json{{"name", name},
                {"threshold", JsonNum(c.threshold)},
                {"ratio", JsonNum(c.ratio)},
                {"attackMs", JsonNum(c.attackMs)},
                {"releaseMs", JsonNum(c.releaseMs)}};
  };
  json comps = json::array();
  for (int i = 0; i < kChannelCompressorCount; ++i) comps.push_back(comp(CompressorName(i), d.compressors[i]));
  comps.push_back(comp("music", d.musicCompressor));
  doc["compressors"] = std::move(comps);

  doc["derived"] = {{"delayMode", d.delayMode},
                    {"musicPitch", d.musicPitch},
                    {"loudnessLevel", d.loudnessLevel},
                    {"shiftFrequency", d.shiftFrequency}};

  const SoundFieldGeometry g = s.Params().Geometry();
  json points = json::array();
  for (std::size_t p = 0; p < g.points.size(); ++p) {
    points.push_back({{"point", p}, {"name", FieldPointName(p)}, {"x", g.points[p].x},
                      {"y", g.points[p].y}});
  }
  json levels = json::array();
  for (int c = 0; c < kOutputCount; ++c) levels.push_back(JsonNum(FieldLevel(store, c)));
  doc["soundField"] = {{"width", g.width},
                       {"length", g.length},
                       {"points", std::move(points)},
                       {"levels", std::move(levels)},
                       {"locatedCode", store[kFieldSettingOffset]}};
  return doc;
}

}  // namespace cli
