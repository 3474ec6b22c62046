#pragma once

#include <QColor>

class QWidget;

namespace ui {

// The dialogs' background, red F0, green FA, blue FF.
inline const QColor kDialogBackground{0xF0, 0xFA, 0xFF};

// Paints `widget` with the dialog background.
void SetDialogBackground(QWidget* widget);

}  // namespace ui
