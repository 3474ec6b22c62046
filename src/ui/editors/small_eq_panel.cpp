#include "ui/editors/small_eq_panel.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <array>

#include "ui/controls/fonts.h"

namespace ui {

namespace cp = core::params;

CSmallEqPanel::CSmallEqPanel(QWidget* parent)
    : QWidget(parent), passFont_(MakeFont(QStringLiteral("黑体"), 32)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_Hover, true);
}

void CSmallEqPanel::SetBandType(int index, int type) {
  model_.SetBandType(index, type);
  update();
}

void CSmallEqPanel::SetBandFrequency(int index, float frequency) {
  model_.SetBandFrequency(index, frequency);
  update();
}

void CSmallEqPanel::SetBandGain(int index, float gain) {
  model_.SetBandGain(index, gain);
  update();
}

void CSmallEqPanel::SetBandQ(int index, float q) {
  model_.SetBandQ(index, q);
  update();
}

void CSmallEqPanel::SetCurveColour(const QColor& colour) {
  curveColour_ = colour;
  update();
}

void CSmallEqPanel::SetBypassed(int bypassed) {
  bypassed_ = bypassed;
  update();
}

void CSmallEqPanel::resizeEvent(QResizeEvent* event) {
  model_.SetSize(width(), height());
  QWidget::resizeEvent(event);
}

const QPixmap& CSmallEqPanel::Grid() {
  const qreal ratio = devicePixelRatioF();
  if (grid_.size() == size() * ratio && grid_.devicePixelRatio() == ratio) return grid_;
  grid_ = QPixmap(size() * ratio);
  grid_.setDevicePixelRatio(ratio);
  grid_.fill(Qt::black);
  QPainter p(&grid_);
  const int left = 2, top = 2;
  const int right = width() - 2, bottom = height() - 2;
  const auto yOf = [&](int db) { return static_cast<int>(model_.YOf(static_cast<float>(db))); };
  p.setPen(QColor(0x17, 0x17, 0x17));
  for (int db = -15; db <= 15; ++db) p.drawLine(left, yOf(db), right, yOf(db));
  for (int db = -15; db <= 15; db += 3) {
    p.setPen(db == -15 || db == 15 ? QColor(0x80, 0x80, 0x80) : QColor(0x40, 0x40, 0x40));
    p.drawLine(left, yOf(db), right, yOf(db));
  }
  p.setPen(QColor(0x40, 0x40, 0x40));
  for (int decade = 10; decade <= 1000; decade *= 10) {
    for (int k = 1; k <= 9; ++k) {
      const int x = static_cast<int>(model_.XOf(static_cast<float>(k * decade)));
      p.drawLine(x, top, x, bottom);
    }
  }
  for (const int hz : {10000, 20000}) {
    const int x = static_cast<int>(model_.XOf(static_cast<float>(hz)));
    p.drawLine(x, top, x, bottom);
  }
  return grid_;
}

void CSmallEqPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawPixmap(0, 0, Grid());
  const auto& sum = model_.SumCurve();
  std::array<QPointF, cp::kSmallEqPoints> pts;
  for (std::size_t i = 0; i < sum.size(); ++i) pts[i] = QPointF(sum[i].x, sum[i].y);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(curveColour_, 1.7);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
  p.setRenderHint(QPainter::Antialiasing, false);
  if (bypassed_ != 0) {
    p.setFont(passFont_);
    p.setPen(Qt::white);
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("PASS"));
  }
  if (hover_) {
    p.setPen(QColor(0, 255, 255));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void CSmallEqPanel::enterEvent(QEnterEvent* event) {
  hover_ = true;
  update();
  QWidget::enterEvent(event);
}

void CSmallEqPanel::leaveEvent(QEvent* event) {
  hover_ = false;
  update();
  QWidget::leaveEvent(event);
}

void CSmallEqPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Clicked();
    return;
  }
  QWidget::mouseReleaseEvent(event);
}

}  // namespace ui
