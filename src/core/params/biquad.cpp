#include "core/params/biquad.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace core::params {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMinQ = 0.001;
constexpr double kMinPower = 1e-30;

// Low-pass (even) or high-pass (odd) 2nd-order section for a given alpha.
Biquad PassSection(bool highPass, double c, double alpha, double g) {
  const double a0 = 1.0 + alpha;
  Biquad r;
  if (highPass) {
    r.b0 = g * (1.0 + c) / 2.0 / a0;
    r.b1 = -g * (1.0 + c) / a0;
  } else {
    r.b0 = g * (1.0 - c) / 2.0 / a0;
    r.b1 = g * (1.0 - c) / a0;
  }
  r.b2 = r.b0;
  r.a1 = -2.0 * c / a0;
  r.a2 = (1.0 - alpha) / a0;
  return r;
}

// The 0.1 dB ripple 2nd-order section (Chebyshev, prewarped bilinear).
Biquad RippleSection(bool highPass, double w, double g) {
  const double t = highPass ? 1.0 / std::tan(w / 2.0) : std::tan(w / 2.0);
  const double eps = std::pow(std::pow(10.0, 0.01) - 1.0, 0.5);
  const double eps2 = eps * eps;
  // sinh(asinh(1/eps) / 2), the order-2 pole radius of the ripple family.
  const double h = std::sinh(0.5 * std::log(std::pow(1.0 / eps2 + 1.0, 0.5) + 1.0 / eps));
  const double p = h * t;
  const double q = std::sin(3.0 * kPi / 4.0) * t;
  const double m = std::pow(1.0 / (eps2 + 1.0), 0.5);
  const double o = 2.0 * std::cos(3.0 * kPi / 4.0) * p;
  const double pq = p * p + q * q;
  const double den = 1.0 - o + pq;
  const double d = g * m * pq / den;
  Biquad r;
  r.b0 = d;
  r.b2 = d;
  r.a2 = (1.0 + o + pq) / den;
  if (highPass) {
    r.b1 = -2.0 * d;
    r.a1 = -2.0 * (pq - 1.0) / den;
  } else {
    r.b1 = 2.0 * d;
    r.a1 = 2.0 * (pq - 1.0) / den;
  }
  return r;
}

double FixedSectionV(int type) {
  switch (type) {
    case 8:
    case 9: return std::sqrt(3.0);
    case 12:
    case 13: return std::sqrt(2.0);
    case 14:
    case 15: return 2.0 * std::sin(kPi / 6.0);
    case 16:
    case 17: return 2.0 * std::sin(kPi / 2.0);
    case 18:
    case 19: return 2.0 * std::sin(kPi / 8.0);
    default: return 2.0 * std::sin(3.0 * kPi / 8.0);  // 20, 21
  }
}

// Finite, and finite again once narrowed to the singles of a band message.
bool Sendable(double v) { return std::fabs(v) <= std::numeric_limits<float>::max(); }
bool Sendable(const Biquad& c) {
  return Sendable(c.b0) && Sendable(c.b1) && Sendable(c.b2) && Sendable(c.a1) && Sendable(c.a2);
}

}  // namespace

Biquad ComputeBiquad(double gainDb, double frequency, double q, double kDb, double sampleRate,
                     int type) {
  if (!(q >= kMinQ)) q = kMinQ;  // also NaN
  const double w = 2.0 * kPi * frequency / sampleRate;
  const double c = std::cos(w);
  const double s = std::sin(w);
  const double alpha = s / (2.0 * q);
  const double a = std::pow(10.0, gainDb / 40.0);
  const double g = std::pow(10.0, gainDb / 20.0);

  Biquad r;
  switch (type) {
    case 1: {
      const double k = std::pow(10.0, kDb / 20.0);
      const double a0 = 1.0 + alpha / a;
      r.b0 = (1.0 + alpha * a) * k / a0;
      r.b1 = -2.0 * c * k / a0;
      r.b2 = (1.0 - alpha * a) * k / a0;
      r.a1 = -2.0 * c / a0;
      r.a2 = (1.0 - alpha / a) / a0;
      break;
    }
    case 2:
    case 3: r = PassSection(type == 3, c, alpha, g); break;
    case 4: {
      const double beta = std::sqrt(a) * s / q;
      const double a0 = (a + 1.0) + (a - 1.0) * c + beta;
      r.b0 = a * ((a + 1.0) - (a - 1.0) * c + beta) / a0;
      r.b1 = 2.0 * a * ((a - 1.0) - (a + 1.0) * c) / a0;
      r.b2 = a * ((a + 1.0) - (a - 1.0) * c - beta) / a0;
      r.a1 = -2.0 * ((a - 1.0) + (a + 1.0) * c) / a0;
      r.a2 = ((a + 1.0) + (a - 1.0) * c - beta) / a0;
      break;
    }
    case 5: {
      const double beta = std::sqrt(a) * s / q;
      const double a0 = (a + 1.0) - (a - 1.0) * c + beta;
      r.b0 = a * ((a + 1.0) + (a - 1.0) * c + beta) / a0;
      r.b1 = -2.0 * a * ((a - 1.0) + (a + 1.0) * c) / a0;
      r.b2 = a * ((a + 1.0) + (a - 1.0) * c - beta) / a0;
      r.a1 = 2.0 * ((a - 1.0) - (a + 1.0) * c) / a0;
      r.a2 = ((a + 1.0) - (a - 1.0) * c - beta) / a0;
      break;
    }
    case 6:
    case 7: r = RippleSection(type == 7, w, g); break;
    case 8:
    case 9:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17:
    case 18:
    case 19:
    case 20:
    case 21: r = PassSection(type % 2 == 1, c, s * FixedSectionV(type) / 2.0, g); break;
    case 10:
    case 11: {
      const double e = c + s + 1.0;
      r.a1 = (s - c - 1.0) / e;
      r.a2 = 0.0;
      r.b2 = 0.0;
      if (type == 10) {
        r.b0 = g * s / e;
        r.b1 = r.b0;
      } else {
        r.b0 = g * (c + 1.0) / e;
        r.b1 = -r.b0;
      }
      break;
    }
    default: {
      const double k = std::pow(10.0, kDb / 40.0);
      const double a0 = 1.0 + alpha;
      r.b0 = (1.0 - alpha) * k / a0;
      r.b1 = -2.0 * c * k / a0;
      r.b2 = (1.0 + alpha) * k / a0;
      r.a1 = -2.0 * c / a0;
      r.a2 = (1.0 - alpha) / a0;
      break;
    }
  }
  return Sendable(r) ? r : Biquad{};
}

std::array<Word, 5> BandMessageWords(const Biquad& c) {
  return {FloatBits(static_cast<float>(-c.a1)), FloatBits(static_cast<float>(-c.a2)),
          FloatBits(static_cast<float>(c.b0)), FloatBits(static_cast<float>(c.b1)),
          FloatBits(static_cast<float>(c.b2))};
}

MagnitudeTerms MagnitudeTermsOf(const Biquad& c) {
  MagnitudeTerms t;
  const double nsum = c.b0 + c.b1 + c.b2;
  t.n0 = nsum * nsum;
  t.n2 = 4.0 * (4.0 * c.b0 * c.b2 + c.b0 * c.b1 + c.b1 * c.b2);
  t.n4 = 16.0 * c.b0 * c.b2;
  const double dsum = 1.0 + c.a1 + c.a2;
  t.d0 = dsum * dsum;
  t.d2 = 4.0 * (4.0 * c.a2 + c.a1 + c.a1 * c.a2);
  t.d4 = 16.0 * c.a2;
  return t;
}

double LevelDb(const MagnitudeTerms& t, double s2) {
  const double num = std::max(t.n0 - t.n2 * s2 + t.n4 * s2 * s2, kMinPower);
  const double den = std::max(t.d0 - t.d2 * s2 + t.d4 * s2 * s2, kMinPower);
  return 10.0 * std::log10(num / den);
}

double LevelDbAt(const Biquad& c, double frequency, double sampleRate) {
  const double s = std::sin(kPi * frequency / sampleRate);
  return LevelDb(MagnitudeTermsOf(c), s * s);
}

EqResponseAxis MakeEqResponseAxis(int width) {
  EqResponseAxis axis;
  if (width <= 0) return axis;
  axis.width = width;
  const float w = static_cast<float>(width);
  axis.step = w / static_cast<float>(kEqResponsePoints);
  axis.decades = static_cast<float>(std::log10(static_cast<double>(kEqAxisMaxHz / kEqAxisMinHz)));
  for (int i = 0; i < kEqResponsePoints; ++i) {
    const float exponent = static_cast<float>(i) * axis.step / w * axis.decades;
    const float f = static_cast<float>(kEqAxisMinHz * std::pow(10.0, static_cast<double>(exponent)));
    const double s = std::sin(static_cast<double>(f) * 2.0 * kPi / kEqSampleRate * 0.5);
    axis.frequency[static_cast<std::size_t>(i)] = f;
    axis.s2[static_cast<std::size_t>(i)] = s * s;
  }
  return axis;
}

std::optional<int> EqCentreIndex(const EqResponseAxis& axis, float frequency) {
  if (axis.width <= 0 || !(frequency > 0.0f)) return std::nullopt;
  const float position =
      static_cast<float>(std::log10(static_cast<double>(frequency) / kEqAxisMinHz)) /
      axis.decades;
  const float pixels = std::trunc(position * static_cast<float>(axis.width));
  const float index = std::trunc(pixels / axis.step);
  if (!(index >= 0.0f && index < static_cast<float>(kEqResponsePoints))) return std::nullopt;
  return static_cast<int>(index);
}

bool ComputeBandResponse(const EqResponseAxis& axis, int type, float frequency, float gain,
                         float q, std::span<float, kEqResponsePoints> out) {
  if (axis.width <= 0 || type == 0) return false;
  const MagnitudeTerms t = MagnitudeTermsOf(ComputeBiquad(gain, frequency, q, 0.0, kEqSampleRate, type));
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<float>(LevelDb(t, axis.s2[i]));
  }
  if (type == 1) {
    if (const auto centre = EqCentreIndex(axis, frequency)) {
      out[static_cast<std::size_t>(*centre)] = gain;
    }
  }
  return true;
}

}  // namespace core::params
