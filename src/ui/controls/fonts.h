#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace ui {

// The dialogs name Windows faces ("宋体", "黑体", "Arial", "Tahoma"); these map
// them to families a Linux desktop has, always ending with CJK families so
// Chinese text finds its glyphs whatever the face.
QStringList FontFamiliesFor(const QString& face);

// A font of `face` whose character height is `pixelHeight` logical pixels
// (the height a Windows font is given in) and whose weight is on the 100..900
// scale (400 regular, 700 bold).
QFont MakeFont(const QString& face, int pixelHeight, int weight = 400);

// A font of `face` sized in points at 96 dots per inch, the resolution the
// point sizes of the drawing code were chosen for, rounded to whole pixels.
QFont MakePointFont(const QString& face, double points, int weight = 400);

}  // namespace ui
