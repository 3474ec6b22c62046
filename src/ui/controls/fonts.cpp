#include "ui/controls/fonts.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

const QStringList& CjkFallbacks() {
  static const QStringList kList = {
      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
      QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
      QStringLiteral("Droid Sans Fallback")};
  return kList;
}

QStringList WithFallbacks(QStringList families) {
  for (const QString& f : CjkFallbacks()) {
    if (!families.contains(f)) families << f;
  }
  return families;
}

double PointsToPixels(double points) { return points * 96.0 / 72.0; }

}  // namespace

QStringList FontFamiliesFor(const QString& face) {
  if (face == QStringLiteral("宋体") || face.compare(QStringLiteral("SimSun"), Qt::CaseInsensitive) == 0) {
    return WithFallbacks({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
                          QStringLiteral("AR PL UMing CN"), QStringLiteral("WenQuanYi Micro Hei")});
  }
  if (face == QStringLiteral("黑体") || face.compare(QStringLiteral("SimHei"), Qt::CaseInsensitive) == 0) {
    return WithFallbacks({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                          QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("WenQuanYi Micro Hei")});
  }
  if (face.compare(QStringLiteral("Arial"), Qt::CaseInsensitive) == 0) {
    return WithFallbacks({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                          QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
  }
  if (face.compare(QStringLiteral("Tahoma"), Qt::CaseInsensitive) == 0) {
    return WithFallbacks({QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana"),
                          QStringLiteral("Liberation Sans")});
  }
  if (face.isEmpty()) return WithFallbacks({QStringLiteral("DejaVu Sans")});
  return WithFallbacks({face, QStringLiteral("DejaVu Sans")});
}

QFont MakeFont(const QString& face, int pixelHeight, int weight) {
  QFont font;
  font.setFamilies(FontFamiliesFor(face));
  font.setPixelSize(std::max(1, pixelHeight));
  font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
  return font;
}

QFont MakePointFont(const QString& face, double points, int weight) {
  return MakeFont(face, static_cast<int>(std::lround(PointsToPixels(points))), weight);
}

}  // namespace ui
