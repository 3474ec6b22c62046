#pragma once

#include <QColor>
#include <QLabel>

namespace ui {

// A status-bar pane whose text is drawn in its own colour (red at first).
class CMyMFCRibbonStatusBarPane : public QLabel {
  Q_OBJECT
 public:
  CMyMFCRibbonStatusBarPane(int id, const QString& text, int widthChars, QWidget* parent = nullptr);

  QColor TextColor() const { return color_; }
  void SetTextColor(const QColor& color);

 private:
  QColor color_{255, 0, 0};
};

}  // namespace ui
