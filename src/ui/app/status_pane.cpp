#include "ui/app/status_pane.h"

#include "ui/controls/ctrl_id.h"

namespace ui {

CMyMFCRibbonStatusBarPane::CMyMFCRibbonStatusBarPane(int id, const QString& text, int widthChars,
                                                     QWidget* parent)
    : QLabel(text, parent) {
  SetCtrlId(this, id);
  setMinimumWidth(fontMetrics().horizontalAdvance(QString(widthChars, QLatin1Char(' '))));
  SetTextColor(color_);
}

void CMyMFCRibbonStatusBarPane::SetTextColor(const QColor& color) {
  color_ = color;
  QPalette p = palette();
  p.setColor(QPalette::WindowText, color);
  setPalette(p);
}

}  // namespace ui
