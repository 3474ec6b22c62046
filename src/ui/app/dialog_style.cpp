#include "ui/app/dialog_style.h"

#include <QPalette>
#include <QWidget>

namespace ui {

void SetDialogBackground(QWidget* widget) {
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, kDialogBackground);
  widget->setPalette(p);
  widget->setAutoFillBackground(true);
}

}  // namespace ui
