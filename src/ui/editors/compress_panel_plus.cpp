#include "ui/editors/compress_panel_plus.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "ui/controls/fonts.h"

namespace ui {

namespace {

constexpr int kLeft = 40;       // the plot's left edge
constexpr int kTop = 20;        // the plot's top edge
constexpr double kSpan = 96.0;  // dB across either axis

constexpr int kOutputLines[] = {6, 0, -10, -20, -30, -40, -50, -60, -70, -80, -90};
constexpr int kInputLines[] = {-90, -70, -50, -30, -10, 6};

QString OutputLabel(int level) {
  return level > 0 ? QStringLiteral("+%1dB").arg(level) : QStringLiteral("%1dB").arg(level);
}

}  // namespace

CCompressPanelPlus::CCompressPanelPlus(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(minimumSizeHint());
}

void CCompressPanelPlus::SetThreshold(float threshold) {
  if (!std::isfinite(threshold)) return;
  threshold_ = threshold;
  update();
}

void CCompressPanelPlus::SetInverseRatio(float inverseRatio) {
  if (!std::isfinite(inverseRatio)) return;
  inverseRatio_ = inverseRatio;
  update();
}

void CCompressPanelPlus::SetLowerBound(float lowerBound) {
  if (!std::isfinite(lowerBound)) return;
  lowerBound_ = lowerBound;
  update();
}

void CCompressPanelPlus::SetLowerSlope(float slope) {
  if (!std::isfinite(slope)) return;
  lowerSlope_ = slope;
  update();
}

void CCompressPanelPlus::SetOn(bool on) {
  if (on_ == on) return;
  on_ = on;
  update();
}

void CCompressPanelPlus::SetSummary(const QString& summary) {
  summary_ = summary;
}

double CCompressPanelPlus::XOf(double input) const {
  return (input - kAxisBottom) * PlotWidth() / kSpan + kLeft;
}

double CCompressPanelPlus::YOf(double output) const {
  return std::abs(output - kAxisTop) * PlotHeight() / kSpan + kTop;
}

QPointF CCompressPanelPlus::Knee() const {
  return {XOf(threshold_), YOf(threshold_)};
}

QPointF CCompressPanelPlus::RightEnd() const {
  const double rise = std::trunc((kAxisTop - threshold_) * PlotHeight() / kSpan * inverseRatio_);
  return {kLeft + PlotWidth(), YOf(threshold_) - rise};
}

QPointF CCompressPanelPlus::LeftEnd() const {
  const double drop = (lowerBound_ - kAxisBottom) * PlotHeight() / kSpan * lowerSlope_;
  return {static_cast<double>(kLeft), YOf(lowerBound_) + drop};
}

void CCompressPanelPlus::resizeEvent(QResizeEvent* event) {
  grid_ = QPixmap();
  QWidget::resizeEvent(event);
}

void CCompressPanelPlus::DrawGrid() {
  const qreal ratio = devicePixelRatioF();
  grid_ = QPixmap(size() * ratio);
  grid_.setDevicePixelRatio(ratio);
  grid_.fill(Qt::black);
  QPainter p(&grid_);
  p.setPen(QPen(gridColour_, 1));
  const double right = kLeft + PlotWidth();
  const double bottom = kTop + PlotHeight();
  for (int level : kOutputLines) p.drawLine(QPointF(kLeft, YOf(level)), QPointF(right, YOf(level)));
  for (int level : kInputLines) p.drawLine(QPointF(XOf(level), kTop), QPointF(XOf(level), bottom));

  p.setFont(MakeFont(QString::fromUtf8("宋体"), 12));
  p.setPen(textColour_);
  for (int level : kOutputLines) {
    const QRectF box(0, YOf(level) - 8, kLeft - 2, 16);
    p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, OutputLabel(level));
  }
  for (int level : kInputLines) {
    const QRectF box(XOf(level) - 30, height() - 23, 60, 18);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("%1dB").arg(level));
  }
}

void CCompressPanelPlus::paintEvent(QPaintEvent*) {
  if (grid_.isNull() || grid_.deviceIndependentSize().toSize() != size()) DrawGrid();
  QPainter p(this);
  p.drawPixmap(0, 0, grid_);
  p.setRenderHint(QPainter::Antialiasing);

  // The band between the curve's two ends.
  const QPointF left = LeftEnd();
  const QPointF right = RightEnd();
  p.fillRect(QRectF(kLeft, right.y(), PlotWidth(), left.y() - right.y()),
             QColor(0x78, 0x64, 0x78, 0x41));

  // Below the lower bound, up to the knee, above the knee.
  const QPointF lower(XOf(lowerBound_), YOf(lowerBound_));
  const QPointF knee = Knee();
  QPainterPath curve(left);
  curve.lineTo(lower);
  curve.lineTo(knee);
  curve.lineTo(right);
  p.setPen(QPen(QColor(0x00, 0xCF, 0xFF, 0xFF), 2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(curve);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xFF, 0x0A, 0x0A, 0xC8));
  p.drawEllipse(knee, 4.0, 4.0);

  if (!on_) {
    p.setPen(QColor(0, 150, 255));
    p.setFont(MakePointFont(QString::fromUtf8("黑体"), 40));
    p.drawText(rect(), Qt::AlignCenter, QStringLiteral("OFF"));
  }
}

}  // namespace ui
