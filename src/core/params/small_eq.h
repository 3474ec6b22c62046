#pragma once

#include <array>

#include "core/params/biquad.h"

namespace core::params {

inline constexpr int kSmallEqBands = 7;
inline constexpr int kSmallEqPoints = 56;

// The small preview's own biquads, types 1..7: 1 peaking, 2 low-pass and
// 3 high-pass without a gain factor, 4 and 5 the shelves of the main EQ,
// 6 band-pass with a 0 dB peak, 7 notch. Nothing for any other type.
std::optional<Biquad> SmallEqBiquad(int type, double frequency, double gainDb, double q,
                                    double sampleRate = kEqSampleRate);

struct SmallEqPoint {
  float x = 0.0f;
  float y = 0.0f;
};

struct SmallEqBand {
  int type = 1;
  float frequency = 100.0f;
  float gain = 0.0f;
  float q = 1.414f;
  int handleX = 0;
  int handleY = 0;
  std::array<SmallEqPoint, kSmallEqPoints> curve{};  // pixels
};

// The read-only seven-band preview of an effect EQ: each band's curve at 56
// points and their sum, each band's level rounded to a tenth of a dB before
// it is added. Geometry in pixels of a client W x H with 2-pixel margins;
// the axis spans 3.4 decades from 10 Hz and 30 dB with 0 dB in the middle.
class SmallEqModel {
 public:
  SmallEqModel();

  // The client size; every curve and handle is recomputed. Nothing is
  // computed while the plot (size less the margins) is empty.
  void SetSize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Bands 0..6; other indexes are ignored (false).
  bool SetBandType(int index, int type);  // stored only
  // Ignored when |f| < 1e-7 or NaN; clamped to 20..20000.
  bool SetBandFrequency(int index, float frequency);
  // Clamped to -15..+15; NaN ignored.
  bool SetBandGain(int index, float gain);
  // Ignored when |Q| < 1e-7 or NaN; clamped to 1..30 on type 1, 0.1..30
  // otherwise.
  bool SetBandQ(int index, float q);

  const SmallEqBand& Band(int index) const;  // index clamped to 0..6
  const std::array<SmallEqPoint, kSmallEqPoints>& SumCurve() const { return sum_; }
  // The summed level at each point in tenths of a dB.
  const std::array<int, kSmallEqPoints>& SumTenths() const { return sumTenths_; }

  // Axis mappings for the current size.
  float XOf(float frequency) const;
  float YOf(float levelDb) const;
  float LevelOf(float y) const;

 private:
  bool HasPlot() const { return width_ > 4 && height_ > 4; }
  void RecomputeBand(int index);
  void RecomputeHandles(int index);
  void RecomputeSum();

  std::array<SmallEqBand, kSmallEqBands> bands_{};
  std::array<bool, kSmallEqBands> hasResponse_{};
  std::array<SmallEqPoint, kSmallEqPoints> sum_{};
  std::array<int, kSmallEqPoints> sumTenths_{};
  int width_ = 0;
  int height_ = 0;
};

}  // namespace core::params
