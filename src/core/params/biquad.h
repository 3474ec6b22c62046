#pragma once

#include <array>
#include <optional>
#include <span>

#include "core/params/value_codec.h"

namespace core::params {

inline constexpr double kEqSampleRate = 48000.0;

// Normalised biquad coefficients (a0 = 1):
// H(z) = (b0 + b1 z^-1 + b2 z^-2) / (1 + a1 z^-1 + a2 z^-2).
struct Biquad {
  double b0 = 1.0;
  double b1 = 0.0;
  double b2 = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
};

// The equaliser's coefficient routine for the filter type codes 0..21:
// 1 peaking, 2/3 2nd-order low/high-pass with the band's Q, 4/5 low/high
// shelf, 6/7 0.1 dB ripple sections, 8/9 and 12..21 fixed-Q sections,
// 10/11 first-order sections; any other code is an all-pass. `gainDb` is
// the band's gain, `kDb` an output gain of the peaking band (and the all-
// pass), `sampleRate` in Hz. Computed in double precision. A Q below 0.001
// is taken as 0.001, and coefficients that would not be finite singles (a
// zero sample rate, a tangent at 0 Hz, an overflowing gain) give a pass-
// through, so the processor is never sent NaN or infinity.
Biquad ComputeBiquad(double gainDb, double frequency, double q, double kDb, double sampleRate,
                     int type);

// The five words of a band message: -a1, -a2, b0, b1, b2 as singles.
std::array<Word, 5> BandMessageWords(const Biquad& c);

// The magnitude polynomial of a biquad in s2 = sin^2(pi f / rate):
// level(f) = 10 log10(N0 - N2 s2 + N4 s2^2) - 10 log10(D0 - D2 s2 + D4 s2^2).
struct MagnitudeTerms {
  double n0 = 1, n2 = 0, n4 = 0, d0 = 1, d2 = 0, d4 = 0;
};
MagnitudeTerms MagnitudeTermsOf(const Biquad& c);

// The level in dB for s2 = sin^2(pi f / rate). Each polynomial is floored
// at 1e-30 (-300 dB) so a zero of the filter gives a finite level.
double LevelDb(const MagnitudeTerms& t, double s2);
double LevelDbAt(const Biquad& c, double frequency, double sampleRate = kEqSampleRate);

// The curve panel's frequency axis: 512 points between 18 and 23000 Hz for
// a plot `width` pixels wide, with each point's frequency (single
// precision, as the panel computes it) and its s2.
inline constexpr int kEqResponsePoints = 512;
inline constexpr float kEqAxisMinHz = 18.0f;
inline constexpr float kEqAxisMaxHz = 23000.0f;
using EqResponse = std::array<float, kEqResponsePoints>;

struct EqResponseAxis {
  int width = 0;       // pixels; 0 or less: no plot, nothing is computed
  float step = 0.0f;   // width / 512
  float decades = 0.0f;  // log10(23000 / 18)
  std::array<float, kEqResponsePoints> frequency{};
  std::array<double, kEqResponsePoints> s2{};
};
EqResponseAxis MakeEqResponseAxis(int width);

// The point that stands for `frequency` on the axis (the peaking band's
// centre): trunc(trunc(log10(f / 18) / L x W) / step) with each quotient in
// single precision; nothing when it falls outside 0..511.
std::optional<int> EqCentreIndex(const EqResponseAxis& axis, float frequency);

// One band's response at the 512 points, with k = 0. A peaking band shows
// its gain exactly at its centre point. Returns false, leaving `out` as it
// was, for type 0 or an axis without a plot.
bool ComputeBandResponse(const EqResponseAxis& axis, int type, float frequency, float gain,
                         float q, std::span<float, kEqResponsePoints> out);

}  // namespace core::params
