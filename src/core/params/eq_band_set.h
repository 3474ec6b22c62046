#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "core/params/biquad.h"
#include "core/params/device_image.h"
#include "core/params/eq_kinds.h"

namespace core::params {

inline constexpr int kMaxEqBands = 40;
inline constexpr int kCompositeSections = 3;
// On the channel kinds 7..14 band 9 is composite: it cascades records 10..12.
inline constexpr int kCompositeBand = 9;
inline constexpr int kCrossoverSlopeCount = 12;

inline constexpr float kEqMinFrequency = static_cast<float>(kBandMinFrequency);
inline constexpr float kEqMaxFrequency = static_cast<float>(kBandMaxFrequency);
inline constexpr float kEqMinGain = kBandMinGain;
inline constexpr float kEqMaxGain = kBandMaxGain;

// One band of the curve panel: its filter, its response at the 512 plot
// points, the limits the mouse and keys keep it in, and for a composite
// band the records of its sections.
struct EqBand {
  int index = 0;
  int type = 1;
  float frequency = 100.0f;
  float gain = 0.0f;
  float q = 1.0f;
  EqResponse response{};
  float minFrequency = kEqMinFrequency;
  float maxFrequency = kEqMaxFrequency;
  float minGain = kEqMinGain;
  float maxGain = kEqMaxGain;
  int sectionCount = 0;  // 0 or 3
  bool visible = true;   // false for a hidden section
  std::array<int, kCompositeSections> sections{-1, -1, -1};  // record indexes
};

// The four types (band, section 1..3) of a composite band.
using SectionTypes = std::array<int, 1 + kCompositeSections>;

// The crossover slope table: slope 0..11 for the pass direction (0 low-pass,
// 1 high-pass). Nothing for a slope outside the table.
std::optional<SectionTypes> CrossoverSlopeTypes(int slope, int direction);
// "LinkwitzRiely 12dB" .. "Chebyshev 12dB"; "" for slope 11 and outside.
const char* CrossoverSlopeName(int slope);

// The reverse lookup: the first of the 25 rows matching the four types
// gives the slope index and sets `displayType` (2 LP, 3 HP, 1 PEQ, 4 LS,
// 5 HS); no match gives 0 and leaves `displayType` as it was.
int FindSlope(const SectionTypes& types, int& displayType);

// The bands of one curve panel and the operations that change them. Pure
// state: the panel widget draws the responses and turns mouse and keys into
// these calls. Responses are computed only once a plot width is known.
class EqBandSet {
 public:
  EqBandSet();

  // The plot rectangle's width in pixels; a new width recomputes the
  // responses of the bands in use. 0 (the start) means no plot yet.
  void SetPlotWidth(int width);
  int PlotWidth() const { return axis_.width; }
  const EqResponseAxis& Axis() const { return axis_; }

  // Kind, band count and default bands of an EQ kind; on 7..14 band 9 is
  // made composite over the hidden records 10..12. A kind outside 0..15
  // sets 13 bands and leaves the records as they are.
  void SetEqKind(int kind);
  // Seven PEQ bands at 31..2000 Hz (the effect EQ page, before its kind).
  void SetSevenBands();

  // The operations below return false, changing nothing, for an index
  // outside 0..39 (and the reasons given).

  // Type 0..255 (the record's byte; codes above 21 are all-passes). Type 1
  // sets Q 1.41; types 2..5 set gain 0 and Q 0.7.
  bool SetBandType(int index, int type);
  // Clamped to -15..+15; forced to 0 on types 2, 3 and above 5. NaN is
  // refused.
  bool SetBandGain(float gain, int index);
  // Refused when |Q| < 1e-7 or NaN; clamped to 0.1..30 on type 1 and to
  // 0.1..2 on the others.
  bool SetBandQ(float q, int index);
  // Clamped to the band's frequency limits (20..20000); NaN is refused.
  bool SetBandFrequency(int index, float frequency);
  // The band's response; a composite band first gives its sections its
  // frequency and recomputes them. Nothing for type 0 or without a plot.
  bool RecomputeBand(int index);

  // Menu types 1..5. On a composite band: gain 0, then the band and its
  // sections take the composite set; type 0 turns all four off. Elsewhere
  // the same as SetBandType. Other types are refused.
  bool SetCompositeType(int index, int menuType);
  // Composite bands only: gain 0, then the slope row in the direction of the
  // band's type (odd: high-pass). Refused for other bands and slopes.
  bool SetCrossoverSlope(int index, int slope);

  // Loads the kind's bands from the equaliser store as the pages do: type,
  // gain, the frequency unless 0 (clamped to 20..20000), Q.
  void LoadBands(std::span<const std::uint8_t> store);

  int Kind() const { return kind_; }
  int BandCount() const { return count_; }
  // Bands a click may pick: 10 on the channel kinds, else the count.
  int PickableBandCount() const;
  std::span<const EqBand, kMaxEqBands> Bands() const { return bands_; }
  // Index clamped to 0..39.
  const EqBand& Band(int index) const;
  // The band's type and its sections' (band type and three 1s without).
  SectionTypes SectionTypesOf(int index) const;

  // The curve of the whole equaliser: the sum of every record in use whose
  // type is not 0, hidden sections included.
  EqResponse SummedResponse() const;
  // The selected band's filled area: the band plus its sections of non-zero
  // type.
  EqResponse BandAreaResponse(int index) const;

 private:
  static bool ValidIndex(int index) { return index >= 0 && index < kMaxEqBands; }
  void ResetBand(int index, float frequency);
  bool Recompute(int index, int depth);

  std::array<EqBand, kMaxEqBands> bands_{};
  int kind_ = 0;
  int count_ = 10;
  EqResponseAxis axis_{};
};

}  // namespace core::params
