#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/params/value_codec.h"

namespace core::params {

// Every scalar parameter is addressed by (module, parameter number); the
// modules are numbered 1 (Mic) to 14 (Loudness), the outputs CH1..CH8 5..12.
constexpr int OutputModule(int channelIndex) { return 5 + channelIndex; }  // CH1 is index 0
inline constexpr int kOutputCount = 8;
const char* ModuleName(int module);  // "Mic", "Output3", ... or "?"

inline constexpr int kNoSlot = -1;
inline constexpr int kMaxRecordWords = 7;

// One row of the parameter table. The mirror of a row lives in the
// parameter model at the row's index; `slot` is the byte offset, in the
// device image, of the first word of the parameter's record.
struct ParamEntry {
  std::uint8_t module = 0;
  std::uint8_t param = 0;
  ValueKind kind = ValueKind::Block;
  std::uint8_t words = 1;  // the record's word count
  std::int16_t slot = kNoSlot;
  std::array<Word, kMaxRecordWords> defaults{};  // words of the default image
  const char* meaning = "";
  const char* unit = "";

  constexpr bool HasMirror() const { return kind != ValueKind::Block; }
  constexpr bool HasSlot() const { return slot != kNoSlot; }
};

inline constexpr std::size_t kParamCount = 230;

// One record of the image's parameter area: the table rows plus two records
// the table does not list. They follow the table's order.
struct ImageRecord {
  std::uint8_t module = 0;
  std::uint8_t param = 0;
  std::uint8_t words = 1;
  std::array<Word, kMaxRecordWords> defaults{};
  std::size_t offset = 0;  // of its header (module, param, count) in the image
  constexpr std::size_t FirstWord() const { return offset + 3; }
  constexpr std::size_t End() const { return FirstWord() + 4 * std::size_t{words}; }
};

inline constexpr std::size_t kImageRecordCount = 232;

namespace detail {

constexpr Word Pct(int v) { return FloatBits(static_cast<float>(v) / 100.0f); }
constexpr Word Tth(int v) { return FloatBits(static_cast<float>(v) / 10000.0f); }
constexpr Word Ms(int ms) { return static_cast<Word>(ms * 48); }
constexpr Word Raw(int v) { return static_cast<Word>(v) & 0xFFu; }
constexpr Word F(float v) { return FloatBits(v); }

// Filter-block constants whose exact bits the processor expects.
inline constexpr Word kLoudnessA1 = 0x3F7D554A;   // 0.989583
inline constexpr Word kLoudnessA2 = 0xBFFEA8DC;   // -1.98953
inline constexpr Word kFieldA1 = 0x3F7EFF25;      // 0.99608069
inline constexpr Word kFieldA2 = 0xBFFF7EF1;      // -1.99606144

constexpr ParamEntry Row(int module, int param, ValueKind kind, int words, int slot,
                         std::array<Word, kMaxRecordWords> defaults, const char* meaning,
                         const char* unit = "") {
  ParamEntry e;
  e.module = static_cast<std::uint8_t>(module);
  e.param = static_cast<std::uint8_t>(param);
  e.kind = kind;
  e.words = static_cast<std::uint8_t>(words);
  e.slot = static_cast<std::int16_t>(slot);
  e.defaults = defaults;
  e.meaning = meaning;
  e.unit = unit;
  return e;
}

constexpr std::array<ParamEntry, kParamCount> BuildParamTable() {
  using K = ValueKind;
  std::array<ParamEntry, kParamCount> t{};
  std::size_t n = 0;
  auto add = [&](const ParamEntry& e) { t[n++] = e; };
  const std::array<Word, kMaxRecordWords> loudnessFilter = {F(1), F(1), kLoudnessA1, kLoudnessA2,
                                                            F(1), F(1)};
  const std::array<Word, kMaxRecordWords> compressor = {
      F(0), F(0), F(0.966667f), F(20), F(0.05f), F(0.0206178f), F(0.000208318f)};

  // Module 1: microphones and mic channels A and B.
  add(Row(1, 4, K::Percent, 1, 1425, {Pct(100)}, "Mic 1 volume", "%"));
  add(Row(1, 5, K::Percent, 1, 1432, {Pct(100)}, "Mic 2 volume", "%"));
  add(Row(1, 6, K::Percent, 1, 1439, {Pct(100)}, "Mic 3 volume", "%"));
  add(Row(1, 7, K::Percent, 1, 1446, {Pct(100)}, "Mic 4 volume", "%"));
  add(Row(1, 8, K::TenThousandths, 1, 1453, {Tth(20)}, "Mic 1 noise-gate threshold"));
  add(Row(1, 9, K::TenThousandths, 1, 1460, {Tth(20)}, "Mic 2 noise-gate threshold"));
  add(Row(1, 10, K::TenThousandths, 1, 1467, {Tth(20)}, "Mic 3 noise-gate threshold"));
  add(Row(1, 11, K::TenThousandths, 1, 1474, {Tth(20)}, "Mic 4 noise-gate threshold"));
  add(Row(1, 12, K::RawByte, 1, 1481, {Raw(0)}, "loudness dialog switch"));
  add(Row(1, 13, K::Percent, 1, 1488, {Pct(0)}, "loudness dialog level", "%"));
  add(Row(1, 14, K::Percent, 1, 1495, {Pct(50)}, "mic master volume", "%"));
  add(Row(1, 15, K::Percent, 1, 1502, {Pct(100)}, "mic on (100) / muted (0)", "%"));
  add(Row(1, 16, K::Percent, 1, 1509, {Pct(50)}, "effect master volume", "%"));
  add(Row(1, 17, K::Percent, 1, 1516, {Pct(100)}, "effect on (100) / muted (0)", "%"));
  add(Row(1, 33, K::RawByte, 1, 1523, {Raw(0)}, "channel A EQ bypass"));
  add(Row(1, 34, K::Percent, 1, 1530, {Pct(100)}, "Mic 1 to channel A", "%"));
  add(Row(1, 35, K::Percent, 1, 1537, {Pct(100)}, "Mic 2 to channel A", "%"));
  add(Row(1, 36, K::Percent, 1, 1544, {Pct(100)}, "Mic 3 to channel A", "%"));
  add(Row(1, 37, K::Percent, 1, 1551, {Pct(100)}, "Mic 4 to channel A", "%"));
  add(Row(1, 38, K::Block, 1, 1558, {F(0.000654498f)}, "channel A frequency shift coefficient"));
  add(Row(1, 39, K::Milliseconds, 1, 1565, {Ms(25)}, "channel A frequency shift delay", "ms"));
  add(Row(1, 40, K::RawByte, 1, 1572, {Raw(0)}, "channel A frequency shift off (1) / on (0)"));
  add(Row(1, 41, K::Block, 1, 1579, {F(1)}, "channel A loudness inverse gain"));
  add(Row(1, 42, K::Block, 1, 1586, {F(1)}, "channel A loudness gain"));
  add(Row(1, 43, K::RawByte, 1, 1593, {Raw(1)}, "channel A loudness dialog switch"));
  add(Row(1, 44, K::Block, 6, 1600, loudnessFilter, "channel A loudness filter block"));
  add(Row(1, 60, K::RawByte, 1, 1627, {Raw(0)}, "channel B EQ bypass"));
  add(Row(1, 61, K::Percent, 1, 1634, {Pct(0)}, "Mic 1 to channel B", "%"));
  add(Row(1, 62, K::Percent, 1, 1641, {Pct(0)}, "Mic 2 to channel B", "%"));
  add(Row(1, 63, K::Percent, 1, 1648, {Pct(0)}, "Mic 3 to channel B", "%"));
  add(Row(1, 64, K::Percent, 1, 1655, {Pct(0)}, "Mic 4 to channel B", "%"));
  add(Row(1, 65, K::Block, 1, 1662, {F(0.000654498f)}, "channel B frequency shift coefficient"));
  add(Row(1, 66, K::Milliseconds, 1, 1669, {Ms(25)}, "channel B frequency shift delay", "ms"));
  add(Row(1, 67, K::RawByte, 1, 1676, {Raw(0)}, "channel B frequency shift off (1) / on (0)"));
  add(Row(1, 68, K::Block, 1, 1683, {F(1)}, "channel B loudness inverse gain"));
  add(Row(1, 69, K::Block, 1, 1690, {F(1)}, "channel B loudness gain"));
  add(Row(1, 70, K::RawByte, 1, 1697, {Raw(1)}, "channel B loudness dialog switch"));
  add(Row(1, 71, K::Block, 6, 1704, loudnessFilter, "channel B loudness filter block"));

  // Module 2: echo.
  add(Row(2, 7, K::RawByte, 1, 1731, {Raw(0)}, "echo A EQ bypass"));
  add(Row(2, 8, K::RawByte, 1, 1738, {Raw(0)}, "echo A type: 0 mono, 1 stereo"));
  add(Row(2, 9, K::Percent, 1, 1745, {Pct(65)}, "echo A level", "%"));
  add(Row(2, 10, K::Milliseconds, 1, 1752, {Ms(2)}, "echo A predelay", "ms"));
  add(Row(2, 11, K::Milliseconds, 1, 1759, {Ms(247)}, "echo A time", "ms"));
  add(Row(2, 12, K::Percent, 1, 1766, {Pct(88)}, "echo A start volume", "%"));
  add(Row(2, 13, K::Percent, 1, 1773, {Pct(50)}, "echo A volume decay", "%"));
  add(Row(2, 21, K::RawByte, 1, 1780, {Raw(0)}, "echo B EQ bypass"));
  add(Row(2, 22, K::RawByte, 1, 1787, {Raw(0)}, "echo B type: 0 mono, 1 stereo"));
  add(Row(2, 23, K::Percent, 1, 1794, {Pct(65)}, "echo B level", "%"));
  add(Row(2, 24, K::Milliseconds, 1, 1801, {Ms(2)}, "echo B predelay", "ms"));
  add(Row(2, 25, K::Milliseconds, 1, 1808, {Ms(247)}, "echo B time", "ms"));
  add(Row(2, 26, K::Percent, 1, 1815, {Pct(88)}, "echo B start volume", "%"));
  add(Row(2, 27, K::Percent, 1, 1822, {Pct(50)}, "echo B volume decay", "%"));
  add(Row(2, 28, K::Percent, 1, 1829, {Pct(80)}, "echo master volume", "%"));
  add(Row(2, 29, K::Percent, 1, 1836, {Pct(100)}, "echo on (100) / muted (0)", "%"));

  // Module 3: reverb.
  add(Row(3, 7, K::RawByte, 1, 1843, {Raw(0)}, "reverb A EQ bypass"));
  add(Row(3, 8, K::Percent, 1, 1850, {Pct(12)}, "reverb A level", "%"));
  add(Row(3, 9, K::Milliseconds, 1, 1857, {Ms(2)}, "reverb A predelay", "ms"));
  add(Row(3, 10, K::Percent, 1, 1864, {Pct(56)}, "reverb A time (first of the pair)", "%"));
  add(Row(3, 11, K::Percent, 1, 1871, {Pct(56)}, "reverb A time (second of the pair)", "%"));
  add(Row(3, 19, K::RawByte, 1, 1878, {Raw(0)}, "reverb B EQ bypass"));
  add(Row(3, 20, K::Percent, 1, 1885, {Pct(12)}, "reverb B level", "%"));
  add(Row(3, 21, K::Milliseconds, 1, 1892, {Ms(2)}, "reverb B predelay", "ms"));
  add(Row(3, 22, K::Percent, 1, 1899, {Pct(56)}, "reverb B time (first of the pair)", "%"));
  add(Row(3, 23, K::Percent, 1, 1906, {Pct(56)}, "reverb B time (second of the pair)", "%"));
  add(Row(3, 24, K::Percent, 1, 1913, {Pct(50)}, "reverb master volume", "%"));
  add(Row(3, 25, K::Percent, 1, 1920, {Pct(100)}, "reverb on (100) / muted (0)", "%"));

  // Module 4: music.
  add(Row(4, 11, K::RawByte, 1, 1927, {Raw(0)}, "music EQ bypass"));
  add(Row(4, 12, K::Percent, 1, 1934, {Pct(16)}, "music master volume", "%"));
  add(Row(4, 13, K::Percent, 1, 1941, {Pct(100)}, "music on (100) / muted (0)", "%"));
  add(Row(4, 14, K::Block, 7, 1948,
          {F(0), F(0), F(0.75f), F(20), F(0.05f), F(0.000347162f), F(3.47216e-05f)},
          "music compressor block"));
  add(Row(4, 15, K::RawByte, 1, 1979, {Raw(1)}, "loudness dialog switch"));
  add(Row(4, 21, K::Block, 1, kNoSlot, {Raw(5)}, "music pitch (low byte is pitch + 5)"));
  add(Row(4, 22, K::TenThousandths, 1, 2007, {Tth(0)}, "music noise-gate threshold"));
  add(Row(4, 23, K::RawByte, 1, 2014, {Raw(11)}, "music input source, 0..13"));
  for (int p = 24; p <= 37; ++p) {
    add(Row(4, p, K::Percent, 1, 2021 + 7 * (p - 24), {Pct(100)}, "level of music input (param - 24)",
            "%"));
  }
  add(Row(4, 39, K::Milliseconds, 1, 2119, {Ms(0)}, "loudness dialog time", "ms"));
  add(Row(4, 40, K::Percent, 1, 2126, {Pct(0)}, "loudness dialog level", "%"));

  // Modules 5..12: output channels CH1..CH8, one layout.
  constexpr int kChannelTypes[8] = {1, 0, 7, 6, 5, 4, 3, 2};
  for (int m = 5; m <= 12; ++m) {
    const int base = 2133 + 153 * (m - 5);
    add(Row(m, 15, K::RawByte, 1, base + 0, {Raw(0)}, "EQ bypass"));
    add(Row(m, 16, K::RawByte, 1, base + 7, {Raw(kChannelTypes[m - 5])}, "channel type"));
    add(Row(m, 17, K::Block, 2, base + 14, {F(1), F(0)}, "delay mode words"));
    add(Row(m, 18, K::Milliseconds, 1, base + 25, {Ms(2)}, "channel delay", "ms"));
    add(Row(m, 19, K::RawByte, 1, base + 32, {Raw(1)}, "delay off (1) / on (0)"));
    add(Row(m, 20, K::Percent, 1, base + 39, {Pct(100)}, "mix level: direct", "%"));
    add(Row(m, 21, K::Percent, 1, base + 46, {Pct(100)}, "mix level: reverb", "%"));
    add(Row(m, 22, K::Percent, 1, base + 53, {Pct(100)}, "mix level: echo", "%"));
    add(Row(m, 23, K::Percent, 1, base + 60, {Pct(100)}, "mix level: music", "%"));
    add(Row(m, 24, K::Percent, 1, base + 67, {Pct(100)}, "sound-field level", "%"));
    add(Row(m, 25, K::Percent, 1, base + 74, {Pct(100)}, "phase: +100 normal, -100 inverted", "%"));
    add(Row(m, 26, K::Percent, 1, base + 81, {Pct(100)}, "on (100) / muted (0)", "%"));
    add(Row(m, 27, K::Block, 7, base + 88, compressor, "compressor block"));
    add(Row(m, 28, K::RawByte, 1, base + 119, {Raw(1)}, "compressor switch"));
    add(Row(m, 29, K::Block, 6, base + 126, {F(1), F(1), kFieldA1, kFieldA2, F(1), F(1)},
            "sound-field filter block"));
  }

  // Module 13: record output.
  add(Row(13, 5, K::RawByte, 1, 3357, {Raw(0)}, "record EQ bypass"));
  add(Row(13, 6, K::Percent, 1, 3364, {Pct(100)}, "record mix level: direct", "%"));
  add(Row(13, 7, K::Percent, 1, 3371, {Pct(100)}, "record mix level: reverb", "%"));
  add(Row(13, 8, K::Percent, 1, 3378, {Pct(100)}, "record mix level: echo", "%"));
  add(Row(13, 9, K::Percent, 1, 3385, {Pct(100)}, "record mix level: music", "%"));
  add(Row(13, 10, K::Block, 7, 3392, compressor, "record compressor block"));
  add(Row(13, 11, K::RawByte, 1, 3423, {Raw(1)}, "record compressor switch"));
  add(Row(13, 12, K::Percent, 1, 3430, {Pct(100)}, "direct sound send", "%"));

  // Module 14: loudness.
  add(Row(14, 0, K::Float, 1, 3437, {F(200)}, "loudness frequency 1", "Hz"));
  add(Row(14, 1, K::Float, 1, 3444, {F(3)}, "loudness gain 1", "dB"));
  add(Row(14, 2, K::Float, 1, 3451, {F(1500)}, "loudness frequency 2", "Hz"));
  add(Row(14, 3, K::Float, 1, 3458, {F(3)}, "loudness gain 2", "dB"));
  add(Row(14, 4, K::Float, 1, 3465, {F(3200)}, "loudness frequency 3", "Hz"));
  add(Row(14, 5, K::Float, 1, 3472, {F(5)}, "loudness gain 3", "dB"));
  add(Row(14, 6, K::Percent, 1, 3479, {Pct(36)}, "loudness level", "%"));
  add(Row(14, 7, K::Percent, 1, 3486, {Pct(100)}, "loudness level", "%"));
  add(Row(14, 8, K::Percent, 1, 3493, {Pct(100)}, "loudness level", "%"));
  add(Row(14, 9, K::Percent, 1, 3500, {Pct(100)}, "loudness dialog level", "%"));
  add(Row(14, 10, K::RawByte, 1, 3507, {Raw(0)}, "loudness dialog switch"));
  add(Row(14, 11, K::RawByte, 1, 3514, {Raw(1)}, "loudness dialog switch"));
  return t;
}

constexpr std::array<ImageRecord, kImageRecordCount> BuildImageRecords(
    const std::array<ParamEntry, kParamCount>& table) {
  std::array<ImageRecord, kImageRecordCount> r{};
  std::size_t n = 0;
  std::size_t at = 1422;  // the parameter area's start
  auto add = [&](ImageRecord record) {
    record.offset = at;
    at = record.End();
    r[n++] = record;
  };
  for (const ParamEntry& e : table) {
    add(ImageRecord{e.module, e.param, e.words, e.defaults});
    if (e.module == 4 && e.param == 15) {
      // Two music records that no table row addresses.
      add(ImageRecord{4, 16, 1, {0}});
      add(ImageRecord{4, 17, 1, {F(-25.0f)}});
    }
  }
  return r;
}

}  // namespace detail

// The scalar parameters of the processor, searched in this order.
inline constexpr std::array<ParamEntry, kParamCount> kParamTable = detail::BuildParamTable();

// The parameter records of the device image, in image order.
inline constexpr std::array<ImageRecord, kImageRecordCount> kImageRecords =
    detail::BuildImageRecords(kParamTable);

static_assert(kImageRecords.back().End() == 3518, "parameter records must fill the image");

// The image record of (module, param), or nullptr. At compile time test the
// record's fields, not the pointer against nullptr (see FindParamRow).
constexpr const ImageRecord* FindImageRecord(int module, int param) {
  for (const ImageRecord& r : kImageRecords) {
    if (r.module == module && r.param == param) return &r;
  }
  return nullptr;
}

// The index of the first row for (module, param) in kParamTable, by
// linear search in table order, or nothing. This is the form to use at
// compile time: g++ 12 cannot fold the address of a table row compared with
// nullptr in a constant expression when null-pointer checks are kept
// (-fsanitize=null, part of -fsanitize=undefined, implies
// -fno-delete-null-pointer-checks), so `FindParam(m, p) != nullptr` in a
// constexpr initialiser breaks the UBSan build.
constexpr std::optional<std::size_t> FindParamRow(int module, int param) {
  for (std::size_t i = 0; i < kParamTable.size(); ++i) {
    if (kParamTable[i].module == module && kParamTable[i].param == param) return i;
  }
  return std::nullopt;
}

// That row; nullptr when there is none. For run-time callers; compile-time
// code uses FindParamRow.
constexpr const ParamEntry* FindParam(int module, int param) {
  const auto row = FindParamRow(module, param);
  return row ? &kParamTable[*row] : nullptr;
}

}  // namespace core::params
