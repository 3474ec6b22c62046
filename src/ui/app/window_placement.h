#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace ui {

// Where the main window was when it closed: its normal (not maximised)
// geometry and whether it was maximised.
struct WindowPlacement {
  QRect normal;
  bool maximized = false;
};

// The geometry to restore `saved` at on screens whose available areas are
// `screens` (the first is the primary one). A window whose title strip
// still lies on a screen stays where it was, shrunk to that screen where it
// is larger and moved fully onto it; one on no screen any more (a monitor
// was unplugged) is centred on the primary screen. Never smaller than
// `minimum` where the screen allows it.
QRect FitOnScreens(const QRect& saved, const QList<QRect>& screens, const QSize& minimum);

}  // namespace ui
