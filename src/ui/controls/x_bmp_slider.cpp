#include "ui/controls/x_bmp_slider.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>

#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"

namespace ui {

CXBmpSlider::CXBmpSlider(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

int CXBmpSlider::Clamp(int value) const {
  // A range given upside down still keeps the position between its ends.
  const int lo = std::min(minimum_, maximum_);
  const int hi = std::max(minimum_, maximum_);
  return std::clamp(value, lo, hi);
}

void CXBmpSlider::Store(int position) {
  const bool changed = position != position_;
  position_ = position;
  update();
  if (changed) {
    QAccessibleValueChangeEvent event(this, position_);
    QAccessible::updateAccessibility(&event);
  }
}

void CXBmpSlider::SetRange(int maximum, int minimum) {
  maximum_ = maximum;
  minimum_ = minimum;
  Store(Clamp(position_));
}

void CXBmpSlider::SetPos(int position) { Store(Clamp(position)); }

bool CXBmpSlider::DragTo(int position) {
  if (!isEnabled()) return false;
  const int target = Clamp(position);
  if (target == position_) return false;
  Store(target);
  PostMoved();
  PostReleased();
  return true;
}

bool CXBmpSlider::KeyStep(int delta) {
  if (!isEnabled()) return false;
  Step(delta);
  return true;
}

void CXBmpSlider::SetEnabled(bool enabled) {
  setEnabled(enabled);
  update();
}

void CXBmpSlider::SetImages(int trackId, int thumbId, int thumbFocusedId, int thumbDisabledId) {
  trackId_ = trackId;
  thumbId_ = thumbId;
  thumbFocusedId_ = thumbFocusedId;
  thumbDisabledId_ = thumbDisabledId;
  const QSize track = art::ArtworkSize(trackId);
  width_ = track.width();
  height_ = track.height();
  const QSize thumb = art::ArtworkSize(thumbId);
  thumbWidth_ = thumb.width();
  thumbHeight_ = thumb.height();
  imagesRatio_ = 0;
  LoadImages();
  updateGeometry();
  update();
}

void CXBmpSlider::LoadImages() {
  const qreal ratio = devicePixelRatioF();
  if (ratio == imagesRatio_) return;
  imagesRatio_ = ratio;
  track_ = art::LoadArtwork(trackId_, ratio);
  thumb_ = art::LoadArtwork(thumbId_, ratio);
  thumbFocused_ = art::LoadArtwork(thumbFocusedId_, ratio);
  thumbDisabled_ = art::LoadArtwork(thumbDisabledId_, ratio);
}

void CXBmpSlider::SetMargins(int left, int right, int top, int bottom) {
  marginLeft_ = left;
  marginRight_ = right;
  marginTop_ = top;
  marginBottom_ = bottom;
  update();
}

void CXBmpSlider::SetVertical(bool vertical) {
  vertical_ = vertical;
  update();
}

void CXBmpSlider::SetBackground(const QColor& colour) {
  background_ = colour;
  update();
}

void CXBmpSlider::UseHorizontalStyle() {
  SetVertical(false);
  SetImages(art::kSliderTrack, art::kSliderThumb, art::kSliderThumbFocused,
            art::kSliderThumbDisabled);
  SetMargins(7, 7, 3, 2);
  SetBackground(art::PageBackground());
}

void CXBmpSlider::UseVerticalStyle() {
  SetVertical(true);
  SetImages(art::kVSliderTrack, art::kVSliderThumb, art::kVSliderThumbFocused,
            art::kVSliderThumbDisabled);
  SetMargins(3, 2, 7, 7);
  SetBackground(art::PageBackground());
}

float CXBmpSlider::Scale() const {
  const int span = maximum_ - minimum_;
  if (span == 0) return 0.0f;
  const int usable = vertical_ ? height_ - thumbHeight_ - marginBottom_ - marginTop_
                               : width_ - thumbWidth_ - marginRight_ - marginLeft_;
  return static_cast<float>(usable) / static_cast<float>(span);
}

int CXBmpSlider::ThumbOffset(int value) const {
  const float scale = Scale();
  if (vertical_) {
    return static_cast<int>(scale * static_cast<float>(maximum_ - value) +
                            static_cast<float>(marginTop_));
  }
  return static_cast<int>(scale * static_cast<float>(value - minimum_) +
                          static_cast<float>(marginLeft_));
}

QRect CXBmpSlider::ThumbRect() const {
  const int offset = ThumbOffset(position_);
  if (vertical_) return QRect(marginLeft_, offset, thumbWidth_, thumbHeight_);
  return QRect(offset, marginTop_, thumbWidth_, thumbHeight_);
}

int CXBmpSlider::ValueAt(QPoint point) const {
  const float scale = Scale();
  if (scale == 0.0f) return Clamp(minimum_);
  if (vertical_) {
    const int y = point.y() - thumbHeight_ / 2;
    const int steps = static_cast<int>(static_cast<float>(y - marginTop_) / scale);
    return Clamp(maximum_ - steps);
  }
  const int x = point.x() - thumbWidth_ / 2;
  const int steps = static_cast<int>(static_cast<float>(x - marginLeft_) / scale);
  return Clamp(steps + minimum_);
}

int CXBmpSlider::ThumbImageId() const {
  if (!isEnabled()) return thumbDisabledId_;
  return focused_ ? thumbFocusedId_ : thumbId_;
}

QSize CXBmpSlider::sizeHint() const {
  if (width_ > 0 && height_ > 0) return QSize(width_, height_);
  return vertical_ ? QSize(22, 131) : QSize(131, 22);
}

void CXBmpSlider::PostMoved() {
  const int id = CtrlId(this);
  const int pos = position_;
  QMetaObject::invokeMethod(
      this, [this, id, pos] { emit SliderMoved(id, pos); }, Qt::QueuedConnection);
}

void CXBmpSlider::PostReleased() {
  const int id = CtrlId(this);
  const int pos = position_;
  QMetaObject::invokeMethod(
      this, [this, id, pos] { emit SliderReleased(id, pos); }, Qt::QueuedConnection);
}

void CXBmpSlider::Step(int delta) {
  Store(Clamp(position_ + delta));
  PostMoved();
  PostReleased();
}

void CXBmpSlider::paintEvent(QPaintEvent*) {
  LoadImages();
  QPainter p(this);
  const QRect area = width_ > 0 && height_ > 0 ? QRect(0, 0, width_, height_) : rect();
  p.fillRect(area, background_);
  if (!track_.isNull()) p.drawPixmap(QPoint(0, 0), track_);
  const QRect thumb = ThumbRect();
  // The filled part of the track is drawn again from the same picture.
  if (!track_.isNull()) {
    const qreal r = track_.devicePixelRatio();
    if (vertical_) {
      const int top = std::clamp(thumb.top(), 0, height_);
      p.drawPixmap(QRect(0, top, width_, height_ - top), track_,
                   QRectF(0, top * r, width_ * r, (height_ - top) * r).toRect());
    } else {
      const int right = std::clamp(thumb.left(), 0, width_);
      p.drawPixmap(QRect(0, 0, right, height_), track_,
                   QRectF(0, 0, right * r, height_ * r).toRect());
    }
  }
  const int shown = ThumbImageId();
  const QPixmap& face = shown == thumbDisabledId_ ? thumbDisabled_
                        : shown == thumbFocusedId_ ? thumbFocused_
                                                   : thumb_;
  if (!face.isNull()) p.drawPixmap(thumb, face);
}

void CXBmpSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !isEnabled()) {
    event->ignore();
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  const QRect thumb = ThumbRect();
  if (thumb.contains(at)) {
    dragging_ = true;
  } else if (vertical_) {
    const int centre = (thumb.top() + thumb.top() + thumbHeight_) / 2;
    Store(Clamp(position_ + (at.y() > centre ? -1 : 1)));
  } else {
    const int centre = (thumb.left() + thumb.left() + thumbWidth_) / 2;
    Store(Clamp(position_ + (at.x() <= centre ? -1 : 1)));
  }
  PostMoved();
}

void CXBmpSlider::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) {
    event->ignore();
    return;
  }
  Store(ValueAt(event->position().toPoint()));
  PostMoved();
}

void CXBmpSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  dragging_ = false;
  PostReleased();
}

void CXBmpSlider::keyPressEvent(QKeyEvent* event) {
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Right:
      KeyStep(+1);
      break;
    case Qt::Key_Left:
    case Qt::Key_Down:
      KeyStep(-1);
      break;
    default:
      QWidget::keyPressEvent(event);
      break;
  }
}

void CXBmpSlider::wheelEvent(QWheelEvent* event) {
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  // One step per notch; finer wheels add up to a notch before they step.
  static constexpr int kNotch = 120;
  int delta = event->angleDelta().y();
  if (delta == 0) delta = event->angleDelta().x();
  wheelRest_ += delta;
  while (wheelRest_ >= kNotch) {
    wheelRest_ -= kNotch;
    Step(+1);
  }
  while (wheelRest_ <= -kNotch) {
    wheelRest_ += kNotch;
    Step(-1);
  }
  event->accept();
}

void CXBmpSlider::focusInEvent(QFocusEvent* event) {
  const int id = CtrlId(this);
  QMetaObject::invokeMethod(this, [this, id] { emit SliderFocused(id); }, Qt::QueuedConnection);
  focused_ = true;
  update();
  QWidget::focusInEvent(event);
}

void CXBmpSlider::focusOutEvent(QFocusEvent* event) {
  focused_ = false;
  update();
  QWidget::focusOutEvent(event);
}

void CXBmpSlider::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    if (!isEnabled()) dragging_ = false;
    update();
  }
  QWidget::changeEvent(event);
}

}  // namespace ui
