#include "ui/controls/cardinal_spline.h"

#include <algorithm>

namespace ui {

namespace {

QPainterPath Spline(std::span<const QPointF> p, double tension, bool closed) {
  QPainterPath path;
  const int n = static_cast<int>(p.size());
  if (n == 0) return path;
  path.moveTo(p[0]);
  if (n == 1) return path;
  const double k = tension / 3.0;
  const auto at = [&](int i) -> const QPointF& {
    if (closed) return p[static_cast<std::size_t>((i % n + n) % n)];
    return p[static_cast<std::size_t>(std::clamp(i, 0, n - 1))];
  };
  const int segments = closed ? n : n - 1;
  for (int i = 0; i < segments; ++i) {
    const QPointF& a = at(i);
    const QPointF& b = at(i + 1);
    const QPointF c1 = a + (b - at(i - 1)) * k;
    const QPointF c2 = b - (at(i + 2) - a) * k;
    path.cubicTo(c1, c2, b);
  }
  if (closed) path.closeSubpath();
  return path;
}

}  // namespace

QPainterPath CardinalSpline(std::span<const QPointF> points, double tension) {
  return Spline(points, tension, false);
}

QPainterPath ClosedCardinalSpline(std::span<const QPointF> points, double tension) {
  return Spline(points, tension, true);
}

}  // namespace ui
