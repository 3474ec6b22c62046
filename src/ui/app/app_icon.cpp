#include "ui/app/app_icon.h"

#include <QPainter>
#include <QPixmap>

#include "ui/shell/ui_language.h"

namespace ui {

void InitAppResources() { InitLanguageResources(); }

QPixmap AppIconPixmap(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1d, 0x5f, 0xa8));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
  p.setBrush(QColor(0xcf, 0xe3, 0xf7));
  for (int x : {12, 29, 46}) p.drawRoundedRect(QRectF(x, 14, 6, 36), 3, 3);
  p.setBrush(QColor(0xff, 0xb0, 0x2e));
  p.drawRoundedRect(QRectF(8, 36, 14, 7), 2, 2);
  p.drawRoundedRect(QRectF(25, 20, 14, 7), 2, 2);
  p.drawRoundedRect(QRectF(42, 30, 14, 7), 2, 2);
  return pm;
}

QIcon AppIcon() {
  QIcon icon;
  for (int s : {16, 24, 32, 48, 64, 128}) icon.addPixmap(AppIconPixmap(s));
  return icon;
}

}  // namespace ui
