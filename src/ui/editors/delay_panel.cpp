#include "ui/editors/delay_panel.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "ui/controls/artwork.h"
#include "ui/controls/fonts.h"

namespace ui {

namespace {

const QColor kBackground(20, 20, 20);
const QColor kOuterGrid(128, 128, 128);
const QColor kInnerGrid(64, 64, 64);

constexpr QRgb kMarkerColours[CDelayPanel::kChannelCount] = {
    qRgb(227, 207, 87), qRgb(176, 224, 230), qRgb(255, 153, 18), qRgb(65, 105, 225),
    qRgb(235, 142, 85), qRgb(106, 90, 205),  qRgb(65, 224, 208), qRgb(127, 255, 0)};
constexpr QRgb kLabelColours[CDelayPanel::kChannelCount] = {
    qRgb(227, 207, 87), qRgb(227, 207, 87), qRgb(176, 224, 230), qRgb(255, 153, 18),
    qRgb(65, 105, 225), qRgb(65, 105, 225), qRgb(235, 142, 85),  qRgb(235, 142, 85)};

constexpr float kAxisStep = 20.0f;  // ms between axis labels

QString Ms(float ms) {
  return QString::asprintf("%.1fms", static_cast<double>(ms));
}

bool ValidChannel(int channel) {
  return channel >= 0 && channel < CDelayPanel::kChannelCount;
}

}  // namespace

CDelayPanel::CDelayPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CDelayPanel"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  font_ = MakeFont(QString::fromUtf8("宋体"), 12);
  for (int c = 0; c < kChannelCount; ++c) channels_[c].index = c;
  marker_ = art::LoadArtwork(art::kDelayMarker, devicePixelRatioF());
  if (!marker_.isNull()) markerSize_ = marker_.deviceIndependentSize().toSize();
  Recompute();
}

double CDelayPanel::RowHeight() const {
  return static_cast<double>(height() - (kPlotTop + kPlotBottomMargin)) / kChannelCount;
}

int CDelayPanel::MarkerXFor(float ms) const {
  const float scale =
      static_cast<float>(width() - (kPlotLeft + kPlotRightMargin)) / (kAxisMax - kAxisMin);
  return std::abs(static_cast<int>(scale * (ms - kAxisMin))) + kPlotLeft;
}

float CDelayPanel::DelayAtMarkerX(int markerX) const {
  const float scale =
      static_cast<float>(width() - (kPlotLeft + kPlotRightMargin)) / (kAxisMax - kAxisMin);
  if (scale <= 0.0f) return kAxisMin;  // no plot to measure on
  return static_cast<float>(markerX - kPlotLeft) / scale + kAxisMin;
}

void CDelayPanel::Recompute() {
  const double h = RowHeight();
  for (Channel& ch : channels_) {
    ch.rowY = static_cast<int>(h * ch.index + kPlotTop + 0.5);
    ch.markerX = MarkerXFor(ch.delay);
  }
}

void CDelayPanel::SetDelay(int channel, float ms) {
  if (!ValidChannel(channel) || std::isnan(ms)) return;
  Channel& ch = channels_[channel];
  if (ch.lower != ch.upper) ms = std::clamp(ms, ch.lower, ch.upper);
  ch.delay = ms;
  ch.markerX = MarkerXFor(ms);
  Repaint();
}

void CDelayPanel::ShowDelay(int channel, float ms) {
  if (!ValidChannel(channel)) return;
  if (std::isnan(ms)) ms = kAxisMin;
  Channel& ch = channels_[channel];
  ch.delay = std::clamp(ms, kAxisMin, kAxisMax);
  ch.markerX = MarkerXFor(ch.delay);
  Repaint();
}

float CDelayPanel::Delay(int channel) const {
  return ValidChannel(channel) ? channels_[channel].delay : 0.0f;
}

void CDelayPanel::SetLimits(int channel, float lower, float upper) {
  if (!ValidChannel(channel)) return;
  channels_[channel].lower = std::min(lower, upper);
  channels_[channel].upper = std::max(lower, upper);
}

int CDelayPanel::MarkerX(int channel) const {
  return ValidChannel(channel) ? channels_[channel].markerX : -1;
}

int CDelayPanel::RowY(int channel) const {
  return ValidChannel(channel) ? channels_[channel].rowY : -1;
}

QPoint CDelayPanel::MarkerCentre(int channel) const {
  if (!ValidChannel(channel)) return {-1, -1};
  const Channel& ch = channels_[channel];
  return {ch.markerX + markerSize_.width() / 2, static_cast<int>(RowHeight() * 0.5 + ch.rowY)};
}

int CDelayPanel::ChannelAt(QPoint point) const {
  for (int c = 0; c < kChannelCount; ++c) {
    const QPoint centre = MarkerCentre(c);
    if (std::abs(centre.x() - point.x()) < kPickDistance &&
        std::abs(centre.y() - point.y()) < kPickDistance) {
      return c;
    }
  }
  return -1;
}

void CDelayPanel::SetEnglish(bool english) {
  english_ = english;
}

QString CDelayPanel::DelaysText() const {
  QStringList parts;
  for (const Channel& ch : channels_) {
    parts << (english_ ? QStringLiteral("CH%1 %2") : QStringLiteral("通道%1 %2"))
                 .arg(ch.index + 1)
                 .arg(Ms(ch.delay));
  }
  return parts.join(english_ ? QStringLiteral(", ") : QStringLiteral("，"));
}

QColor CDelayPanel::ChannelColour(int channel) {
  return ValidChannel(channel) ? QColor(kMarkerColours[channel]) : QColor(Qt::white);
}

QColor CDelayPanel::LabelColour(int channel) {
  return ValidChannel(channel) ? QColor(kLabelColours[channel]) : QColor(Qt::white);
}

// ---- Drawing

void CDelayPanel::Repaint() {
  update();
  // Assistive technology hears of the delays (the chart's description and
  // value text); the text is only built while something listens.
  if (!QAccessible::isActive()) return;
  const QString text = DelaysText();
  if (text == announced_) return;
  announced_ = text;
  QAccessibleEvent event(this, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&event);
}

void CDelayPanel::DrawBackground() {
  const qreal dpr = devicePixelRatioF();
  background_ = QPixmap((QSizeF(size()) * dpr).toSize());
  background_.setDevicePixelRatio(dpr);
  background_.fill(kBackground);
  QPainter p(&background_);
  p.setFont(font_);
  const int w = width();
  const int h = height();
  const double rowH = RowHeight();
  const int right = w - kPlotRightMargin;
  const int bottom = h - kPlotBottomMargin;

  for (int k = 0; k <= kChannelCount; ++k) {
    const int y = static_cast<int>(kPlotTop + k * rowH);
    p.setPen((k == 0 || k == kChannelCount) ? kOuterGrid : kInnerGrid);
    p.drawLine(kPlotLeft, y, right, y);
  }
  for (int c = 0; c < kChannelCount; ++c) {
    const QRectF row(0, kPlotTop + c * rowH, kPlotLeft - 5, rowH);
    p.setPen(LabelColour(c));
    p.drawText(row, Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8("通道(CH)%1").arg(c + 1));
  }
  const int labels = static_cast<int>((kAxisMax - kAxisMin) / kAxisStep) + 1;
  const QFontMetrics fm(font_);
  const double plotW = w - (kPlotLeft + kPlotRightMargin);
  // On a narrow chart a label that would run into its neighbour is left
  // out; the first and the last always stand.
  std::vector<QRect> boxes;
  std::vector<int> xs;
  for (int l = 0; l < labels; ++l) {
    const int x = kPlotLeft + static_cast<int>(l * kAxisStep * plotW / (kAxisMax - kAxisMin));
    xs.push_back(x);
    const int tw = fm.horizontalAdvance(Ms(kAxisMin + kAxisStep * static_cast<float>(l)));
    boxes.emplace_back(x - tw / 2 - 2, bottom + 5, tw + 4, fm.height());
  }
  int lastRight = std::numeric_limits<int>::min();
  for (int l = 0; l < labels; ++l) {
    const QRect& box = boxes[l];
    const bool end = l == 0 || l == labels - 1;
    if (end || (box.left() > lastRight && box.right() < boxes.back().left())) {
      p.setPen(Qt::white);
      p.drawText(box, Qt::AlignCenter, Ms(kAxisMin + kAxisStep * static_cast<float>(l)));
      lastRight = box.right();
    }
    if (end) {
      p.setPen(kOuterGrid);
      p.drawLine(xs[l], kPlotTop, xs[l], bottom);
    }
  }
}

void CDelayPanel::paintEvent(QPaintEvent*) {
  // Moved to a screen of another pixel ratio: the marker and the cached
  // background are drawn again for it.
  const qreal dpr = devicePixelRatioF();
  if (!marker_.isNull() && marker_.devicePixelRatio() != dpr) {
    marker_ = art::LoadArtwork(art::kDelayMarker, dpr);
    background_ = QPixmap();
  }
  if (background_.isNull() || background_.devicePixelRatio() != dpr ||
      background_.deviceIndependentSize().toSize() != size()) {
    DrawBackground();
  }
  QPainter p(this);
  p.drawPixmap(0, 0, background_);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p.setFont(font_);
  const QFontMetrics fm(font_);
  const double rowH = RowHeight();
  const int imageW = markerSize_.width();
  const int imageH = markerSize_.height();
  const int bottom = height() - kPlotBottomMargin;
  for (const Channel& ch : channels_) {
    const int g = static_cast<int>((rowH - imageH - fm.height()) * 0.5 + ch.rowY);
    const int lineY = g + imageH / 2 + 5;
    QColor colour = ChannelColour(ch.index);
    if (!marker_.isNull()) {
      p.drawPixmap(QRect(ch.markerX, g, imageW, imageH), marker_);
    }
    p.setPen(QPen(colour, 1, Qt::DashLine));
    p.drawLine(kPlotLeft, lineY, ch.markerX, lineY);
    colour.setAlpha(ch.index == dragged_ ? 0x80 : 0x40);
    p.setPen(QPen(colour, 1, Qt::DashLine));
    p.drawLine(ch.markerX, lineY, ch.markerX, bottom);
    p.setPen(ChannelColour(ch.index));
    // The value beside the marker; near the right edge it stands left of
    // it rather than being cut off.
    const QString value = Ms(ch.delay);
    int textX = ch.markerX + 2;
    const int tw = fm.horizontalAdvance(value);
    if (textX + tw > width() - 2)
      textX = std::max(0, std::min(textX, ch.markerX + imageW) - tw - 2);
    p.drawText(QPoint(textX, g + imageH + fm.ascent()), value);
  }
}

void CDelayPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  background_ = QPixmap();
  Recompute();
}

// ---- Dragging

void CDelayPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  // The press grabs the mouse until the release (Qt's implicit grab).
  dragging_ = true;
  dragged_ = ChannelAt(event->position().toPoint());
  if (dragged_ >= 0) {
    emit DragStarted(dragged_);
    update();
  }
}

void CDelayPanel::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_ || dragged_ < 0) return;
  Channel& ch = channels_[dragged_];
  ch.markerX = event->position().toPoint().x() - markerSize_.width() / 2;
  float ms = DelayAtMarkerX(ch.markerX);
  if (ch.lower != ch.upper) ms = std::clamp(ms, ch.lower, ch.upper);
  ch.delay = ms;
  emit DelayDragged(dragged_, ms);
  Repaint();
}

void CDelayPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  EndDrag();
}

void CDelayPanel::EndDrag() {
  const int was = dragged_;
  dragging_ = false;
  dragged_ = -1;
  if (was >= 0) {
    update();
    emit DragEnded(was);
  }
}

}  // namespace ui
