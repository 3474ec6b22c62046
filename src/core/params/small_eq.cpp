#include "core/params/small_eq.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace core::params {
namespace {

constexpr double kDecades = 3.4;
constexpr double kAxisMinHz = 10.0;
constexpr double kSpanDb = 30.0;
constexpr int kMargin = 2;

Biquad Normalise(double b0, double b1, double b2, double a0, double a1, double a2) {
  return Biquad{b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

}  // namespace

std::optional<Biquad> SmallEqBiquad(int type, double frequency, double gainDb, double q,
                                    double sampleRate) {
  if (type < 1 || type > 7) return std::nullopt;
  if (type == 4 || type == 5) return ComputeBiquad(gainDb, frequency, q, 0.0, sampleRate, type);
  if (!(q >= 0.001)) q = 0.001;
  const double w = 2.0 * std::numbers::pi * frequency / sampleRate;
  const double c = std::cos(w);
  const double alpha = std::sin(w) / (2.0 * q);
  const double a = std::pow(10.0, gainDb / 40.0);
  Biquad r;
  switch (type) {
    case 1: r = Normalise(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a); break;
    case 2: r = Normalise((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;
    case 3: r = Normalise((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha); break;
    case 6: r = Normalise(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha); break;
    default: r = Normalise(1, -2 * c, 1, 1 + alpha, -2 * c, 1 - alpha); break;  // 7
  }
  if (!std::isfinite(r.b0) || !std::isfinite(r.b1) || !std::isfinite(r.b2) ||
      !std::isfinite(r.a1) || !std::isfinite(r.a2)) {
    return std::nullopt;
  }
  return r;
}

SmallEqModel::SmallEqModel() {
  static constexpr float kFreqs[kSmallEqBands] = {31, 62, 125, 250, 500, 1000, 2000};
  for (int i = 0; i < kSmallEqBands; ++i) bands_[static_cast<std::size_t>(i)].frequency = kFreqs[i];
}

void SmallEqModel::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  for (int i = 0; i < kSmallEqBands; ++i) {
    RecomputeHandles(i);
    RecomputeBand(i);
  }
  RecomputeSum();
}

bool SmallEqModel::SetBandType(int index, int type) {
  if (index < 0 || index >= kSmallEqBands) return false;
  bands_[static_cast<std::size_t>(index)].type = type;
  RecomputeBand(index);
  RecomputeSum();
  return true;
}

bool SmallEqModel::SetBandFrequency(int index, float frequency) {
  if (index < 0 || index >= kSmallEqBands) return false;
  if (std::isnan(frequency) || std::fabs(frequency) < 1e-7f) return false;
  bands_[static_cast<std::size_t>(index)].frequency = std::clamp(frequency, 20.0f, 20000.0f);
  RecomputeHandles(index);
  RecomputeBand(index);
  RecomputeSum();
  return true;
}

bool SmallEqModel::SetBandGain(int index, float gain) {
  if (index < 0 || index >= kSmallEqBands || std::isnan(gain)) return false;
  bands_[static_cast<std::size_t>(index)].gain = std::clamp(gain, -15.0f, 15.0f);
  RecomputeHandles(index);
  RecomputeBand(index);
  RecomputeSum();
  return true;
}

bool SmallEqModel::SetBandQ(int index, float q) {
  if (index < 0 || index >= kSmallEqBands) return false;
  if (std::isnan(q) || std::fabs(q) < 1e-7f) return false;
  SmallEqBand& b = bands_[static_cast<std::size_t>(index)];
  b.q = std::clamp(q, b.type == 1 ? 1.0f : 0.1f, 30.0f);
  RecomputeBand(index);
  RecomputeSum();
  return true;
}

const SmallEqBand& SmallEqModel::Band(int index) const {
  return bands_[static_cast<std::size_t>(std::clamp(index, 0, kSmallEqBands - 1))];
}

float SmallEqModel::XOf(float frequency) const {
  const double pw = width_ - 2 * kMargin;
  return static_cast<float>(kMargin + std::log10(frequency / kAxisMinHz) * pw / kDecades);
}

float SmallEqModel::YOf(float levelDb) const {
  const double ph = height_ - 2 * kMargin;
  return static_cast<float>(ph * 0.5 - levelDb * ph / kSpanDb + kMargin);
}

float SmallEqModel::LevelOf(float y) const {
  const double ph = height_ - 2 * kMargin;
  return static_cast<float>((ph * 0.5 - (y - kMargin)) / (ph / kSpanDb));
}

void SmallEqModel::RecomputeHandles(int index) {
  if (!HasPlot()) return;
  SmallEqBand& b = bands_[static_cast<std::size_t>(index)];
  const double pw = width_ - 2 * kMargin;
  const double x = std::trunc(std::log10(b.frequency / kAxisMinHz) * (pw / kDecades)) + kMargin;
  b.handleX = static_cast<int>(std::trunc(x));
  b.handleY = static_cast<int>(std::trunc(YOf(b.gain)));
}

void SmallEqModel::RecomputeBand(int index) {
  SmallEqBand& b = bands_[static_cast<std::size_t>(index)];
  const auto coefficients = SmallEqBiquad(b.type, b.frequency, b.gain, b.q);
  hasResponse_[static_cast<std::size_t>(index)] = coefficients.has_value();
  if (!HasPlot()) return;
  const MagnitudeTerms t = coefficients ? MagnitudeTermsOf(*coefficients) : MagnitudeTerms{};
  const float pw = static_cast<float>(width_ - 2 * kMargin);
  for (int i = 0; i < kSmallEqPoints; ++i) {
    const float x = pw / static_cast<float>(kSmallEqPoints) * static_cast<float>(i) + kMargin;
    const double f =
        std::trunc(kAxisMinHz * std::pow(10.0, kDecades * (std::trunc(x) - kMargin) / pw));
    const double s = std::sin(std::numbers::pi * f / kEqSampleRate);
    const double level = LevelDb(t, s * s);
    b.curve[static_cast<std::size_t>(i)] = {x, YOf(static_cast<float>(level))};
  }
}

void SmallEqModel::RecomputeSum() {
  if (!HasPlot()) return;
  const float pw = static_cast<float>(width_ - 2 * kMargin);
  for (int i = 0; i < kSmallEqPoints; ++i) {
    const float x = pw / static_cast<float>(kSmallEqPoints) * static_cast<float>(i) + kMargin;
    int tenths = 0;
    for (int band = 0; band < kSmallEqBands; ++band) {
      if (!hasResponse_[static_cast<std::size_t>(band)]) continue;
      const float y = bands_[static_cast<std::size_t>(band)].curve[static_cast<std::size_t>(i)].y;
      const double rounded = std::trunc(10.0 * LevelOf(y) + 0.5);
      tenths += static_cast<int>(std::clamp(rounded, -1.0e6, 1.0e6));
    }
    sumTenths_[static_cast<std::size_t>(i)] = tenths;
    sum_[static_cast<std::size_t>(i)] = {x, YOf(static_cast<float>(tenths / 10.0))};
  }
}

}  // namespace core::params
