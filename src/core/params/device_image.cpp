#include "core/params/device_image.h"

#include "core/params/value_codec.h"

namespace core::params {

EqKindLayout EqKindBands(int kind) {
  switch (kind) {
    case 0: return {0, 15};
    case 1: return {15, 15};
    case 2: return {30, 7};
    case 3: return {37, 7};
    case 4: return {44, 7};
    case 5: return {51, 7};
    case 6: return {58, 11};
    case 15: return {189, 5};
    default:
      if (kind >= 7 && kind <= 14) return {15 * kind - 36, 15};
      return {0, 15};
  }
}

int EqBandOffset(int kind, int band) {
  return static_cast<int>(kBandRecordSize) * (EqKindBands(kind).firstBand + band);
}

const char* EqKindName(int kind) {
  static constexpr const char* kNames[kEqKindCount] = {
      "mic A", "mic B", "echo A", "echo B", "reverb A", "reverb B", "music", "CH1",
      "CH2",   "CH3",   "CH4",    "CH5",    "CH6",      "CH7",      "CH8",   "record"};
  if (kind < 0 || kind >= kEqKindCount) return "?";
  return kNames[kind];
}

BandRecord ReadBandRecord(std::span<const std::uint8_t, kBandRecordSize> b) {
  return BandRecord{LoadBe16(&b[0]), LoadBe16(&b[2]), LoadBe16(&b[4]), b[6]};
}

void WriteBandRecord(const BandRecord& band, std::span<std::uint8_t, kBandRecordSize> b) {
  StoreBe16(&b[0], band.gainWord);
  StoreBe16(&b[2], band.frequency);
  StoreBe16(&b[4], band.qWord);
  b[6] = band.type;
}

}  // namespace core::params
