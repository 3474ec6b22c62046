#pragma once

#include <QIcon>

namespace ui {

// The application's icon (resource 128): three faders, drawn in code so
// that it needs no image plugin. The installed icon is the same drawing as
// resources/icons/dsptuner.svg.
QIcon AppIcon();
QPixmap AppIconPixmap(int size);

// Makes the language files of the resources available (the resources live
// in a static library). Safe to call more than once.
void InitAppResources();

}  // namespace ui
