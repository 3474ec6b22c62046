#pragma once

#include <array>

#include <QImage>

namespace ui {

// A 5 x 5 colour matrix in the usual row-vector layout: the output channel j
// is sum over i of in[i] * m[i][j], with in = (R, G, B, A, 1) in 0..1.
struct ColorMatrix {
  std::array<std::array<float, 5>, 5> m{};

  static ColorMatrix Identity();
  // Hover: R, G and B each multiplied by 1.05 and raised by 0.05; alpha kept.
  static ColorMatrix Hover();
  // Grey: every colour channel becomes 0.3 R + 0.59 G + 0.11 B; alpha kept.
  static ColorMatrix Grey();
};

// `image` through the matrix, each result clamped to 0..1; the device pixel
// ratio is kept.
QImage ApplyColorMatrix(const QImage& image, const ColorMatrix& matrix);

}  // namespace ui
