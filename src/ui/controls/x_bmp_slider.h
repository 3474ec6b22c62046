#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QWidget>

namespace ui {

// The value slider of the pages: an integer between a minimum and a maximum,
// shown as a thumb picture moving along a track picture, changed by mouse,
// arrow keys and wheel. Its three notifications are posted: they reach the
// page from the event loop after the input that caused them, never from
// inside the setter or handler.
class CXBmpSlider : public QWidget {
  Q_OBJECT

 public:
  // Notification numbers, kept for pages that route by number.
  static constexpr int kMsgMoved = 0x0BD1;     // (id, position): press, drag, key, wheel
  static constexpr int kMsgFocused = 0x0BD2;   // (id, 0): the slider took the focus
  static constexpr int kMsgReleased = 0x0BD3;  // (id, position): release, after key or wheel

  explicit CXBmpSlider(QWidget* parent = nullptr);

  // Range and position; neither posts a notification. The position is
  // clamped into the range.
  void SetRange(int maximum, int minimum);
  void SetPos(int position);
  int GetPos() const { return position_; }
  int Maximum() const { return maximum_; }
  int Minimum() const { return minimum_; }

  // Disabled: the disabled thumb, and presses, keys and the wheel are ignored.
  void SetEnabled(bool enabled);

  // What the user does, for callers other than the mouse and the keys (the
  // accessibility interface). DragTo is a drag to `position` and its
  // release: the position clamped, then SliderMoved and SliderReleased with
  // it; nothing at all when disabled or when the position would stay.
  // KeyStep is an arrow key: `delta` (+1 or -1) clamped, then SliderMoved
  // and SliderReleased, even at an end; nothing when disabled. Both return
  // whether they acted.
  bool DragTo(int position);
  bool KeyStep(int delta);

  // The track picture (also the fill drawn before the thumb) and the three
  // thumbs, by artwork id. The control's drawing area is the track's size,
  // the thumb size the normal thumb's. A missing picture stays empty.
  void SetImages(int trackId, int thumbId, int thumbFocusedId, int thumbDisabledId);
  void SetMargins(int left, int right, int top, int bottom);
  void SetVertical(bool vertical);
  void SetBackground(const QColor& colour);

  // The two styles of the pages: the horizontal level slider (track 324,
  // thumbs 320/369/325, margins 7, 7, 3, 2) and the vertical band editor
  // slider (448, 449/447/450, margins 3, 2, 7, 7), both on the page colour.
  void UseHorizontalStyle();
  void UseVerticalStyle();

  bool IsVertical() const { return vertical_; }
  bool IsDragging() const { return dragging_; }
  bool IsFocused() const { return focused_; }
  QSize TrackSize() const { return QSize(width_, height_); }
  QSize ThumbSize() const { return QSize(thumbWidth_, thumbHeight_); }
  // Where the thumb stands for the current position, in widget pixels.
  QRect ThumbRect() const;
  // The thumb's left x (horizontal) or top y (vertical) for a value.
  int ThumbOffset(int value) const;
  // The thumb picture the slider shows: disabled, focused or normal.
  int ThumbImageId() const;
  // The value a mouse point stands for while dragging, clamped.
  int ValueAt(QPoint point) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 signals:
  void SliderMoved(int ctrlId, int position);
  void SliderFocused(int ctrlId);
  void SliderReleased(int ctrlId, int position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int Clamp(int value) const;
  // Stores the position (already clamped) and repaints; a change is
  // reported to assistive technology.
  void Store(int position);
  // Usable pixels per unit of value along the slider's axis.
  float Scale() const;
  void Step(int delta);
  void PostMoved();
  void PostReleased();
  void LoadImages();

  int maximum_ = 127;
  int minimum_ = 0;
  int position_ = 0;
  int marginLeft_ = 0, marginRight_ = 0, marginTop_ = 0, marginBottom_ = 0;
  bool dragging_ = false;
  bool vertical_ = false;
  bool focused_ = false;
  int wheelRest_ = 0;  // wheel movement short of a notch
  int trackId_ = -1, thumbId_ = -1, thumbFocusedId_ = -1, thumbDisabledId_ = -1;
  qreal imagesRatio_ = 0;  // device pixel ratio the pictures were drawn for
  QPixmap track_, thumb_, thumbFocused_, thumbDisabled_;
  int thumbWidth_ = 0, thumbHeight_ = 0;
  int width_ = 0, height_ = 0;
  QColor background_{0xC7, 0xC7, 0xC7};
};

}  // namespace ui
