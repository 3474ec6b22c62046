#include "ui/app/window_placement.h"

#include <algorithm>

namespace ui {

namespace {

// The strip of a window the user drags it by.
constexpr int kTitleStrip = 32;

QRect Fit(QRect r, const QRect& screen, const QSize& minimum) {
  r.setWidth(std::clamp(r.width(), std::min(minimum.width(), screen.width()), screen.width()));
  r.setHeight(std::clamp(r.height(), std::min(minimum.height(), screen.height()), screen.height()));
  r.moveLeft(std::clamp(r.left(), screen.left(), screen.right() - r.width() + 1));
  r.moveTop(std::clamp(r.top(), screen.top(), screen.bottom() - r.height() + 1));
  return r;
}

}  // namespace

QRect FitOnScreens(const QRect& saved, const QList<QRect>& screens, const QSize& minimum) {
  if (screens.isEmpty() || !saved.isValid()) return saved;
  const QRect title(saved.left(), saved.top(), saved.width(), kTitleStrip);
  const QRect* best = nullptr;
  int bestArea = 0;
  for (const QRect& s : screens) {
    const QRect shared = s.intersected(title);
    const int area = shared.isValid() ? shared.width() * shared.height() : 0;
    if (area > bestArea) {
      bestArea = area;
      best = &s;
    }
  }
  if (best != nullptr) return Fit(saved, *best, minimum);
  const QRect& primary = screens.front();
  QRect centred = Fit(QRect(QPoint(0, 0), saved.size()), primary, minimum);
  centred.moveCenter(primary.center());
  return Fit(centred, primary, minimum);
}

}  // namespace ui
