#include "ui/app/ribbon_step_slider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include "ui/controls/ctrl_id.h"

namespace ui {

CMFCRibbonStepSlider::CMFCRibbonStepSlider(int commandId, int width, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), commandId_(commandId) {
  SetCtrlId(this, commandId);
  setFixedWidth(width);
  setSingleStep(1);
  setPageStep(1);
  setFocusPolicy(Qt::NoFocus);
  connect(this, &QSlider::valueChanged, this, [this] {
    if (!fromCode_) emit Command(commandId_);
  });
}

void CMFCRibbonStepSlider::SetPos(int position) {
  fromCode_ = true;
  setValue(position);
  fromCode_ = false;
}

void CMFCRibbonStepSlider::StepBy(int steps) {
  const int target = qBound(minimum(), value() + steps, maximum());
  SetPos(target);
  emit Command(commandId_);
}

void CMFCRibbonStepSlider::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QSlider::mousePressEvent(event);
    return;
  }
  QStyleOptionSlider option;
  initStyleOption(&option);
  const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
  if (handle.contains(event->position().toPoint())) {
    QSlider::mousePressEvent(event);
    return;
  }
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
  const int span = groove.width() - handle.width();
  const int x = event->position().toPoint().x() - groove.x() - handle.width() / 2;
  const int clicked = QStyle::sliderValueFromPosition(minimum(), maximum(), x, span > 0 ? span : 1);
  if (clicked > value()) {
    StepBy(1);
  } else if (clicked < value()) {
    StepBy(-1);
  }
  event->accept();
}

void CMFCRibbonStepSlider::wheelEvent(QWheelEvent* event) {
  // The ribbon decides what the wheel does.
  event->ignore();
}

}  // namespace ui
