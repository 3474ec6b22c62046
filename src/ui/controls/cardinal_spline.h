#pragma once

#include <QPainterPath>
#include <QPointF>

#include <span>

namespace ui {

// A cardinal spline through every point, as cubic segments: `tension` 0
// gives straight segments, 0.5 the usual smooth curve; the tangent at a
// point is (next - previous) x tension. The open curve ends at the last
// point, the closed one returns to the first and closes the path.
QPainterPath CardinalSpline(std::span<const QPointF> points, double tension);
QPainterPath ClosedCardinalSpline(std::span<const QPointF> points, double tension);

}  // namespace ui
