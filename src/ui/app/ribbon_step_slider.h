#pragma once

#include <QSlider>

namespace ui {

// The ribbon's slider: a click on the track (outside the thumb) moves the
// position by exactly one unit towards the click and issues the command;
// dragging behaves as usual. Positions set from code issue nothing.
class CMFCRibbonStepSlider : public QSlider {
  Q_OBJECT
 public:
  CMFCRibbonStepSlider(int commandId, int width, QWidget* parent = nullptr);

  int CommandId() const { return commandId_; }
  // Sets the position (limited to the range) without issuing the command.
  void SetPos(int position);
  int Pos() const { return value(); }
  // Moves by `steps` from the current position, limited to the range, and
  // issues the command.
  void StepBy(int steps);

 signals:
  void Command(int id);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  int commandId_;
  bool fromCode_ = false;
};

}  // namespace ui
