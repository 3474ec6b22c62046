#include "core/params/eq_band_set.h"

#include <algorithm>
#include <cmath>

#include "core/params/eq_kinds.h"

namespace core::params {
namespace {

// Base types of the slope rows; the pass direction adds 1 to every type
// from 2 up (1 is the flat section and stays).
constexpr std::array<SectionTypes, kCrossoverSlopeCount> kSlopeRows = {{
    {10, 10, 1, 1},   // LinkwitzRiely 12dB
    {12, 12, 1, 1},   // LinkwitzRiely 24dB
    {14, 10, 14, 10},  // LinkwitzRiely 36dB
    {18, 20, 18, 20},  // LinkwitzRiely 48dB
    {8, 1, 1, 1},     // Bessel 12dB
    {8, 10, 1, 1},    // Bessel 18dB
    {8, 8, 1, 1},     // Bessel 24dB
    {12, 1, 1, 1},    // Butterworth 12dB
    {14, 10, 1, 1},   // Butterworth 18dB
    {18, 20, 1, 1},   // Butterworth 24dB
    {6, 1, 1, 1},     // Chebyshev 12dB
    {1, 1, 1, 1},     // flat
}};

constexpr const char* kSlopeNames[kCrossoverSlopeCount] = {
    "LinkwitzRiely 12dB", "LinkwitzRiely 24dB", "LinkwitzRiely 36dB", "LinkwitzRiely 48dB",
    "Bessel 12dB",        "Bessel 18dB",        "Bessel 24dB",        "Butterworth 12dB",
    "Butterworth 18dB",   "Butterworth 24dB",   "Chebyshev 12dB",     ""};

constexpr std::array<SectionTypes, 6> kCompositeSets = {{
    {0, 0, 0, 0},     // off
    {1, 1, 1, 1},     // PEQ
    {18, 20, 1, 1},   // LP, Butterworth 24 dB
    {19, 21, 1, 1},   // HP
    {4, 1, 1, 1},     // LS
    {5, 1, 1, 1},     // HS
}};

struct SlopeMatch {
  SectionTypes types;
  int slope;
  int displayType;
};

constexpr std::array<SlopeMatch, 25> BuildSlopeMatches() {
  std::array<SlopeMatch, 25> m{};
  std::size_t n = 0;
  for (int slope = 0; slope < 11; ++slope) {
    for (int d = 0; d < 2; ++d) {
      SectionTypes t = kSlopeRows[static_cast<std::size_t>(slope)];
      for (int& type : t) {
        if (type >= 2) type += d;
      }
      m[n++] = {t, slope, 2 + d};
    }
  }
  m[n++] = {{1, 1, 1, 1}, 11, 1};
  m[n++] = {{4, 1, 1, 1}, 12, 4};
  m[n++] = {{5, 1, 1, 1}, 13, 5};
  return m;
}
constexpr std::array<SlopeMatch, 25> kSlopeMatches = BuildSlopeMatches();

constexpr float kDefaultQ = 1.41f;
constexpr float kPassQ = 0.7f;

}  // namespace

std::optional<SectionTypes> CrossoverSlopeTypes(int slope, int direction) {
  if (slope < 0 || slope >= kCrossoverSlopeCount) return std::nullopt;
  SectionTypes t = kSlopeRows[static_cast<std::size_t>(slope)];
  const int d = direction != 0 ? 1 : 0;
  for (int& type : t) {
    if (type >= 2) type += d;
  }
  return t;
}

const char* CrossoverSlopeName(int slope) {
  if (slope < 0 || slope >= kCrossoverSlopeCount) return "";
  return kSlopeNames[slope];
}

int FindSlope(const SectionTypes& types, int& displayType) {
  for (const SlopeMatch& m : kSlopeMatches) {
    if (m.types == types) {
      displayType = m.displayType;
      return m.slope;
    }
  }
  return 0;
}

EqBandSet::EqBandSet() {
  for (int i = 0; i < kMaxEqBands; ++i) bands_[static_cast<std::size_t>(i)].index = i;
}

void EqBandSet::SetPlotWidth(int width) {
  if (width == axis_.width) return;
  axis_ = MakeEqResponseAxis(width);
  for (int i = 0; i < count_; ++i) Recompute(i, 0);
}

void EqBandSet::ResetBand(int index, float frequency) {
  EqBand& b = bands_[static_cast<std::size_t>(index)];
  b.index = index;
  b.type = 1;
  b.frequency = frequency;
  b.gain = 0.0f;
  b.q = kDefaultQ;
  b.sectionCount = 0;
  b.visible = true;
  b.sections = {-1, -1, -1};
}

void EqBandSet::SetEqKind(int kind) {
  kind_ = kind;
  if (!IsEqKind(kind)) {
    count_ = EqKind(7)->panelBandCount;
    return;
  }
  count_ = EqKind(kind)->panelBandCount;
  const auto freqs = EqDefaultFrequencies(kind);
  for (int i = 0; i < count_; ++i) {
    ResetBand(i, static_cast<float>(freqs[static_cast<std::size_t>(i)]));
  }
  if (IsOutputEqKind(kind)) {
    EqBand& composite = bands_[kCompositeBand];
    composite.sectionCount = kCompositeSections;
    for (int s = 0; s < kCompositeSections; ++s) {
      const int section = kCompositeBand + 1 + s;
      composite.sections[static_cast<std::size_t>(s)] = section;
      bands_[static_cast<std::size_t>(section)].visible = false;
    }
  }
  for (int i = 0; i < count_; ++i) Recompute(i, 0);
}

void EqBandSet::SetSevenBands() {
  static constexpr int kFreqs[] = {31, 62, 125, 250, 500, 1000, 2000};
  count_ = 7;
  for (int i = 0; i < count_; ++i) {
    ResetBand(i, static_cast<float>(kFreqs[i]));
    Recompute(i, 0);
  }
}

bool EqBandSet::SetBandType(int index, int type) {
  if (!ValidIndex(index) || type < 0 || type > 255) return false;
  bands_[static_cast<std::size_t>(index)].type = type;
  if (type == 1) {
    SetBandQ(kDefaultQ, index);
  } else if (type >= 2 && type <= 5) {
    SetBandGain(0.0f, index);
    SetBandQ(kPassQ, index);
  }
  Recompute(index, 0);
  return true;
}

bool EqBandSet::SetBandGain(float gain, int index) {
  if (!ValidIndex(index) || std::isnan(gain)) return false;
  EqBand& b = bands_[static_cast<std::size_t>(index)];
  if (b.type == 2 || b.type == 3 || b.type > 5) gain = 0.0f;
  b.gain = std::clamp(gain, kEqMinGain, kEqMaxGain);
  Recompute(index, 0);
  return true;
}

bool EqBandSet::SetBandQ(float q, int index) {
  if (!ValidIndex(index) || std::isnan(q) || std::fabs(q) < 1e-7f) return false;
  EqBand& b = bands_[static_cast<std::size_t>(index)];
  b.q = std::clamp(q, kBandMinQ, b.type == 1 ? kBandMaxQ : kBandMaxShapeQ);
  Recompute(index, 0);
  return true;
}

bool EqBandSet::SetBandFrequency(int index, float frequency) {
  if (!ValidIndex(index) || std::isnan(frequency)) return false;
  EqBand& b = bands_[static_cast<std::size_t>(index)];
  b.frequency = std::clamp(frequency, b.minFrequency, b.maxFrequency);
  Recompute(index, 0);
  return true;
}

bool EqBandSet::RecomputeBand(int index) {
  if (!ValidIndex(index)) return false;
  return Recompute(index, 0);
}

bool EqBandSet::Recompute(int index, int depth) {
  EqBand& b = bands_[static_cast<std::size_t>(index)];
  if (axis_.width <= 0 || b.type == 0) return false;
  if (b.sectionCount > 0 && depth == 0) {
    for (int s = 0; s < std::min(b.sectionCount, kCompositeSections); ++s) {
      const int section = b.sections[static_cast<std::size_t>(s)];
      if (!ValidIndex(section) || section == index) continue;
      bands_[static_cast<std::size_t>(section)].frequency = b.frequency;
      Recompute(section, depth + 1);
    }
  }
  return ComputeBandResponse(axis_, b.type, b.frequency, b.gain, b.q, b.response);
}

bool EqBandSet::SetCompositeType(int index, int menuType) {
  if (!ValidIndex(index) || menuType < 0 || menuType > 5) return false;
  const EqBand& b = bands_[static_cast<std::size_t>(index)];
  if (b.sectionCount == 0) return SetBandType(index, menuType);
  SetBandGain(0.0f, index);
  const SectionTypes& set = kCompositeSets[static_cast<std::size_t>(menuType)];
  const std::array<int, kCompositeSections> sections = b.sections;
  SetBandType(index, set[0]);
  for (int s = 0; s < kCompositeSections; ++s) {
    SetBandType(sections[static_cast<std::size_t>(s)], set[static_cast<std::size_t>(s) + 1]);
  }
  return true;
}

bool EqBandSet::SetCrossoverSlope(int index, int slope) {
  if (!ValidIndex(index)) return false;
  const EqBand& b = bands_[static_cast<std::size_t>(index)];
  if (b.sectionCount == 0) return false;
  const auto types = CrossoverSlopeTypes(slope, b.type % 2 == 1 ? 1 : 0);
  if (!types) return false;
  SetBandGain(0.0f, index);
  const std::array<int, kCompositeSections> sections = b.sections;
  SetBandType(index, (*types)[0]);
  for (int s = 0; s < kCompositeSections; ++s) {
    SetBandType(sections[static_cast<std::size_t>(s)], (*types)[static_cast<std::size_t>(s) + 1]);
  }
  return true;
}

void EqBandSet::LoadBands(std::span<const std::uint8_t> store) {
  for (int j = 0; j < count_; ++j) {
    const std::size_t at = static_cast<std::size_t>(EqBandOffset(kind_, j));
    if (at + kBandRecordSize > store.size()) break;
    const BandSettings s = DecodeBandRecord(
        ReadBandRecord(std::span<const std::uint8_t, kBandRecordSize>(store.data() + at,
                                                                      kBandRecordSize)));
    SetBandType(j, s.type);
    SetBandGain(s.gain, j);
    if (s.frequency != 0) {
      bands_[static_cast<std::size_t>(j)].frequency =
          std::clamp(static_cast<float>(s.frequency), kEqMinFrequency, kEqMaxFrequency);
      Recompute(j, 0);
    }
    SetBandQ(s.q, j);
  }
}

int EqBandSet::PickableBandCount() const {
  return IsOutputEqKind(kind_) ? kCompositeBand + 1 : count_;
}

const EqBand& EqBandSet::Band(int index) const {
  return bands_[static_cast<std::size_t>(std::clamp(index, 0, kMaxEqBands - 1))];
}

SectionTypes EqBandSet::SectionTypesOf(int index) const {
  const EqBand& b = Band(index);
  SectionTypes t = {b.type, 1, 1, 1};
  for (int s = 0; s < std::min(b.sectionCount, kCompositeSections); ++s) {
    t[static_cast<std::size_t>(s) + 1] = Band(b.sections[static_cast<std::size_t>(s)]).type;
  }
  return t;
}

EqResponse EqBandSet::SummedResponse() const {
  EqResponse sum{};
  for (int i = 0; i < count_; ++i) {
    const EqBand& b = bands_[static_cast<std::size_t>(i)];
    if (b.type == 0) continue;
    for (std::size_t p = 0; p < sum.size(); ++p) sum[p] += b.response[p];
  }
  return sum;
}

EqResponse EqBandSet::BandAreaResponse(int index) const {
  const EqBand& b = Band(index);
  EqResponse sum{};
  auto add = [&sum](const EqBand& band) {
    if (band.type == 0) return;
    for (std::size_t p = 0; p < sum.size(); ++p) sum[p] += band.response[p];
  };
  add(b);
  for (int s = 0; s < std::min(b.sectionCount, kCompositeSections); ++s) {
    const int section = b.sections[static_cast<std::size_t>(s)];
    if (ValidIndex(section) && section != b.index) add(bands_[static_cast<std::size_t>(section)]);
  }
  return sum;
}

}  // namespace core::params
