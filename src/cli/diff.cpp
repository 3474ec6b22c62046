#include "cli/diff.h"

#include <algorithm>
#include <span>

#include "cli/format.h"
#include "core/params/param_model.h"
#include "core/params/param_table.h"
#include "core/params/sound_field.h"

namespace cli {

using namespace core::params;
using nlohmann::json;

namespace {

using Kind = Difference::Kind;

// A value as the user reads it and as JSON carries it.
struct Shown {
  std::string text;
  json value;
};

class Differ {
 public:
  Differ(const SettingsFile& a, const SettingsFile& b) : a_(a), b_(b) {}

  std::vector<Difference> Run() {
    if (a_.header && b_.header) Identity(*a_.header, *b_.header);
    Bands();
    SoundFieldAndLoudness();
    Records();
    return std::move(out_);
  }

 private:
  std::span<const std::uint8_t> A(std::size_t at, std::size_t n) const {
    return {a_.image.data() + at, n};
  }
  std::span<const std::uint8_t> B(std::size_t at, std::size_t n) const {
    return {b_.image.data() + at, n};
  }
  bool Same(std::size_t at, std::size_t n) const {
    return std::equal(a_.image.begin() + at, a_.image.begin() + at + n, b_.image.begin() + at);
  }

  // Two values that print alike although their bytes differ (a sign of
  // zero, a NaN, bits the unit does not show) are told apart by the bytes.
  static void Distinguish(Shown& a, Shown& b, const std::string& hexA, const std::string& hexB) {
    if (a.text != b.text) return;
    a.text += " [" + hexA + "]";
    b.text += " [" + hexB + "]";
  }

  void Add(Kind kind, std::string name, std::string a, std::string b, json entry) {
    out_.push_back(Difference{kind, std::move(name), std::move(a), std::move(b), std::move(entry)});
  }

  void Identity(const core::link::DeviceIdentity& a, const core::link::DeviceIdentity& b) {
    auto text = [&](const char* field, const std::string& x, const std::string& y) {
      if (x != y) Add(Kind::Identity, std::string("identity ") + field, x, y,
                      {{"field", field}, {"a", x}, {"b", y}});
    };
    if (a.ProtocolVersion() != b.ProtocolVersion()) {
      Add(Kind::Identity, "identity protocol", std::to_string(a.ProtocolVersion()),
          std::to_string(b.ProtocolVersion()),
          {{"field", "protocol"}, {"a", a.ProtocolVersion()}, {"b", b.ProtocolVersion()}});
    }
    text("model", a.ModelName(), b.ModelName());
    text("mcuVersion", a.McuVersion(), b.McuVersion());
    text("dspVersion", a.DspVersion(), b.DspVersion());
    constexpr std::size_t kReserved = core::link::DeviceIdentity::kDspOffset +
                                      core::link::DeviceIdentity::kDspSize;
    const auto ra = std::span(a.bytes).subspan(kReserved);
    const auto rb = std::span(b.bytes).subspan(kReserved);
    if (!std::equal(ra.begin(), ra.end(), rb.begin())) text("reserved", Hex(ra), Hex(rb));
  }

  static Shown Band(const BandRecord& r) {
    return {Printf("type %d, %u Hz, %+.1f dB, Q %.3f", r.type, r.frequency, r.GainDb(), r.Q()),
            {{"type", r.type}, {"frequency", r.frequency}, {"gain", r.GainDb()}, {"q", r.Q()}}};
  }

  void Bands() {
    for (int kind = 0; kind < kEqKindCount; ++kind) {
      for (int band = 0; band < EqKindBands(kind).bandCount; ++band) {
        const auto at = static_cast<std::size_t>(EqBandOffset(kind, band));
        if (Same(at, kBandRecordSize)) continue;
        auto record = [](std::span<const std::uint8_t> bytes) {
          return ReadBandRecord(bytes.first<kBandRecordSize>());
        };
        Shown a = Band(record(A(at, kBandRecordSize)));
        Shown b = Band(record(B(at, kBandRecordSize)));
        Add(Kind::Band, Printf("EQ %d %s band %d", kind, EqKindName(kind), band), a.text, b.text,
            {{"kind", kind}, {"name", EqKindName(kind)}, {"band", band}, {"a", a.value},
             {"b", b.value}});
      }
    }
  }

  // A value of the image's first part, outside the bands.
  void Field(const std::string& name, std::size_t at, std::size_t n,
             Shown (*show)(std::span<const std::uint8_t>)) {
    if (Same(at, n)) return;
    Shown a = show(A(at, n));
    Shown b = show(B(at, n));
    const std::string hexA = Hex(A(at, n)), hexB = Hex(B(at, n));
    Distinguish(a, b, hexA, hexB);
    Add(Kind::Other, name, a.text, b.text,
        {{"name", name}, {"offset", at}, {"size", n}, {"a", a.value}, {"b", b.value},
         {"aHex", hexA}, {"bHex", hexB}});
  }

  static Shown Decibels(std::span<const std::uint8_t> p) {
    const float v = BitsFloat(LoadBe32(p.data()));
    return {Num(v) + " dB", JsonNum(v)};
  }
  static Shown Metres(std::span<const std::uint8_t> p) {
    return {std::to_string(p[0]) + " m", p[0]};
  }
  static Shown Coordinate(std::span<const std::uint8_t> p) {
    const float v = DecodeCoordinate(p[0]);
    return {Printf("%+.1f m", v), v};
  }
  static Shown Code(std::span<const std::uint8_t> p) { return {std::to_string(p[0]), p[0]}; }
  static Shown Raw(std::span<const std::uint8_t> p) { return {Hex(p), Hex(p)}; }

  void SoundFieldAndLoudness() {
    for (int c = 0; c < kOutputCount; ++c) {
      Field(Printf("sound field CH%d level", c + 1), kFieldLevelsOffset + 4 * c, 4, Decibels);
    }
    Field("sound field room width", kFieldRecordOffset, 1, Metres);
    Field("sound field room length", kFieldRecordOffset + 1, 1, Metres);
    for (std::size_t p = 0; p <= static_cast<std::size_t>(kFieldSourceCount); ++p) {
      const std::size_t at = kFieldRecordOffset + 2 + 2 * p;
      Field(std::string("sound field ") + FieldPointName(p) + " x", at, 1, Coordinate);
      Field(std::string("sound field ") + FieldPointName(p) + " y", at + 1, 1, Coordinate);
    }
    Field("loudness level", kLoudnessLevelOffset, 4, Decibels);
    Field("located speaker code", kFieldSettingOffset, 1, Code);
    const std::size_t spare = kFieldSettingOffset + 1;
    Field(Printf("spare bytes %zu..%zu", spare, kParamRecordsOffset - 1), spare,
          kParamRecordsOffset - spare, Raw);
  }

  // The table row that owns the record whose first word is at `first`.
  static const ParamEntry* RowAt(int module, int param, std::size_t first) {
    for (const ParamEntry& e : kParamTable) {
      if (e.module != module || e.param != param) continue;
      if (!e.HasSlot() || static_cast<std::size_t>(e.slot) == first) return &e;
    }
    return nullptr;
  }

  static Shown RecordValue(const ParamEntry* e, std::span<const std::uint8_t> words) {
    if (e != nullptr && e->HasMirror() && e->HasSlot()) {
      const ParamValue v = DecodeWord(e->kind, LoadBe32(words.data()));
      const std::string unit = *e->unit ? std::string(" ") + e->unit : "";
      if (v.IsFloat()) return {Num(v.AsFloat()) + unit, JsonNum(v.AsFloat())};
      return {std::to_string(v.AsInt()) + unit, v.AsInt()};
    }
    if (e != nullptr && !e->HasSlot()) {  // the pitch: its word's low byte, plus 5
      const int pitch = static_cast<int>(words[3]) - 5;
      return {"pitch " + std::to_string(pitch), pitch};
    }
    Shown s{"", json::array()};
    for (std::size_t i = 0; i + 4 <= words.size(); i += 4) {
      const float f = BitsFloat(LoadBe32(words.data() + i));
      if (!s.text.empty()) s.text += ", ";
      s.text += Num(f);
      s.value.push_back(JsonNum(f));
    }
    return s;
  }

  void Records() {
    for (const ImageRecord& r : kImageRecords) {
      const std::size_t at = r.offset;
      const std::size_t first = r.FirstWord();
      const std::size_t size = 4u * r.words;
      const ParamEntry* e = RowAt(r.module, r.param, first);
      const std::string meaning = e != nullptr ? e->meaning : "";
      const std::string label = Printf("%s(%d) %d", ModuleName(r.module), r.module, r.param) +
                                (meaning.empty() ? "" : " " + meaning);
      if (!Same(at, 3)) {
        Add(Kind::Other, "record header of " + label, Hex(A(at, 3)), Hex(B(at, 3)),
            {{"name", "record header of " + label}, {"offset", at}, {"size", 3},
             {"a", Hex(A(at, 3))}, {"b", Hex(B(at, 3))}, {"aHex", Hex(A(at, 3))},
             {"bHex", Hex(B(at, 3))}});
      }
      if (!Same(first, size)) {
        Shown a = RecordValue(e, A(first, size));
        Shown b = RecordValue(e, B(first, size));
        const std::string hexA = Hex(A(first, size)), hexB = Hex(B(first, size));
        Distinguish(a, b, hexA, hexB);
        Add(Kind::Parameter, label, a.text, b.text,
            {{"module", r.module}, {"moduleName", ModuleName(r.module)}, {"param", r.param},
             {"meaning", meaning}, {"unit", e != nullptr ? e->unit : ""}, {"a", a.value},
             {"b", b.value}, {"aHex", hexA}, {"bHex", hexB}});
      }
    }
  }

  const SettingsFile& a_;
  const SettingsFile& b_;
  std::vector<Difference> out_;
};

}  // namespace

std::vector<Difference> DiffSettings(const SettingsFile& a, const SettingsFile& b) {
  return Differ(a, b).Run();
}

std::string DiffText(const std::vector<Difference>& differences) {
  std::string out;
  for (const Difference& d : differences) out += d.name + ": " + d.a + " -> " + d.b + "\n";
  return out;
}

json DiffJson(const std::vector<Difference>& differences) {
  json doc = {{"equal", differences.empty()},
              {"identity", json::array()},
              {"parameters", json::array()},
              {"bands", json::array()},
              {"other", json::array()}};
  for (const Difference& d : differences) {
    const char* group = d.kind == Kind::Identity    ? "identity"
                        : d.kind == Kind::Parameter ? "parameters"
                        : d.kind == Kind::Band      ? "bands"
                                                    : "other";
    doc[group].push_back(d.entry);
  }
  return doc;
}

}  // namespace cli
