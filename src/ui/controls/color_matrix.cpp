#include "ui/controls/color_matrix.h"

#include <algorithm>
#include <cmath>

namespace ui {

ColorMatrix ColorMatrix::Identity() {
  ColorMatrix c;
  for (int i = 0; i < 5; ++i) c.m[i][i] = 1.0f;
  return c;
}

ColorMatrix ColorMatrix::Hover() {
  ColorMatrix c = Identity();
  for (int i = 0; i < 3; ++i) {
    c.m[i][i] = 1.05f;
    c.m[4][i] = 0.05f;
  }
  return c;
}

ColorMatrix ColorMatrix::Grey() {
  ColorMatrix c = Identity();
  for (int j = 0; j < 3; ++j) {
    c.m[0][j] = 0.3f;
    c.m[1][j] = 0.59f;
    c.m[2][j] = 0.11f;
  }
  return c;
}

QImage ApplyColorMatrix(const QImage& image, const ColorMatrix& matrix) {
  if (image.isNull()) return image;
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  const auto& m = matrix.m;
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const QRgb px = line[x];
      const float in[5] = {qRed(px) / 255.0f, qGreen(px) / 255.0f, qBlue(px) / 255.0f,
                           qAlpha(px) / 255.0f, 1.0f};
      int res[4];
      for (int j = 0; j < 4; ++j) {
        float v = 0;
        for (int i = 0; i < 5; ++i) v += in[i] * m[i][j];
        res[j] = static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
      }
      line[x] = qRgba(res[0], res[1], res[2], res[3]);
    }
  }
  out.setDevicePixelRatio(image.devicePixelRatio());
  return out;
}

}  // namespace ui
