#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QWidget>

#include "core/params/small_eq.h"

namespace ui {

// The small read-only preview of a seven-band effect equaliser: the summed
// curve over a fixed grid, "PASS" over a bypassed one, and a frame while the
// mouse is over it. A click is reported to the page, which opens the EQ.
class CSmallEqPanel : public QWidget {
  Q_OBJECT

 public:
  explicit CSmallEqPanel(QWidget* parent = nullptr);

  const core::params::SmallEqModel& Model() const { return model_; }
  const core::params::SmallEqBand& Band(int index) const { return model_.Band(index); }

  // Bands 0..6. The type is stored as it is; the page then sets the gain and
  // Q the type asks for. Each of the others recomputes the curve and repaints.
  void SetBandType(int index, int type);
  void SetBandFrequency(int index, float frequency);
  void SetBandGain(int index, float gain);
  void SetBandQ(int index, float q);
  void SetCurveColour(const QColor& colour);
  QColor CurveColour() const { return curveColour_; }
  void SetBypassed(int bypassed);
  int Bypassed() const { return bypassed_; }
  bool IsHovering() const { return hover_; }
  // What a left click on the panel does (the accessibility interface's
  // press): Clicked.
  void Click() { emit Clicked(); }

  QSize sizeHint() const override { return QSize(180, 90); }

 signals:
  void Clicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const QPixmap& Grid();

  core::params::SmallEqModel model_;
  QColor curveColour_{0x00, 0xC8, 0xFF};
  int bypassed_ = 0;
  bool hover_ = false;
  QPixmap grid_;    // drawn once per size
  QFont passFont_;  // the bypass mark
};

}  // namespace ui
