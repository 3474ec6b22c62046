#include "ui/controls/accessible_controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "ui/controls/gdip_button.h"
#include "ui/controls/peak_meter_ctrl.h"
#include "ui/controls/x_bmp_slider.h"

namespace ui {

namespace {

// "&&" stands for one ampersand; any other '&' marks the mnemonic.
QString StripMnemonic(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&')) {
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

// The value the slider stands at for a value given from outside: rounded,
// within the range (never converted to int before that, so a huge or
// fractional value cannot overflow).
bool SliderTarget(const CXBmpSlider& slider, const QVariant& value, int& target) {
  bool ok = false;
  const double v = value.toDouble(&ok);
  if (!ok || std::isnan(v)) return false;
  const double lo = std::min(slider.Minimum(), slider.Maximum());
  const double hi = std::max(slider.Minimum(), slider.Maximum());
  target = static_cast<int>(std::lround(std::clamp(v, lo, hi)));
  return true;
}

class AccessibleSlider final : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleSlider(CXBmpSlider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::number(Slider().GetPos());
    return QAccessibleWidget::text(t);
  }

  QVariant currentValue() const override { return Slider().GetPos(); }
  QVariant minimumValue() const override { return std::min(Slider().Minimum(), Slider().Maximum()); }
  QVariant maximumValue() const override { return std::max(Slider().Minimum(), Slider().Maximum()); }
  QVariant minimumStepSize() const override { return 1; }
  void setCurrentValue(const QVariant& value) override {
    int target = 0;
    if (SliderTarget(Slider(), value, target)) Slider().DragTo(target);
  }

  QStringList actionNames() const override {
    return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name == increaseAction()) {
      Slider().KeyStep(+1);
    } else if (name == decreaseAction()) {
      Slider().KeyStep(-1);
    } else {
      QAccessibleWidget::doAction(name);
    }
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    if (name == increaseAction()) return {QStringLiteral("Up"), QStringLiteral("Right")};
    if (name == decreaseAction()) return {QStringLiteral("Down"), QStringLiteral("Left")};
    return QAccessibleWidget::keyBindingsForAction(name);
  }

 private:
  CXBmpSlider& Slider() const { return *static_cast<CXBmpSlider*>(widget()); }
};

class AccessibleImageButton final : public QAccessibleWidget {
 public:
  explicit AccessibleImageButton(CGdipButton* button)
      : QAccessibleWidget(button, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    const CGdipButton& b = Button();
    switch (t) {
      case QAccessible::Name: {
        // The page's name, else the caption, else the tooltip (a picture
        // without a caption), else a buddy label.
        QString name = b.accessibleName();
        if (name.isEmpty()) name = StripMnemonic(b.text());
        if (name.isEmpty()) name = b.TooltipText();
        return name.isEmpty() ? QAccessibleWidget::text(t) : name;
      }
      case QAccessible::Description: {
        QString description = b.accessibleDescription();
        // The tooltip describes a button that is named otherwise.
        if (description.isEmpty() && text(QAccessible::Name) != b.TooltipText()) {
          description = b.TooltipText();
        }
        return description.isEmpty() ? QAccessibleWidget::text(t) : description;
      }
      default:
        return QAccessibleWidget::text(t);
    }
  }

  QAccessible::State state() const override {
    const CGdipButton& b = Button();
    QAccessible::State s = QAccessibleWidget::state();
    if (b.IsGreyed()) s.disabled = true;
    s.pressed = b.isDown();
    if (b.IsToggle()) {
      s.checkable = true;
      s.checked = b.IsAltShown();
    }
    return s;
  }

  QStringList actionNames() const override {
    QStringList names;
    if (Button().IsToggle()) names << toggleAction();
    names << pressAction();
    return names + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    // Exactly a click: pressed, released, the toggle-mode flip, clicked.
    // A disabled button ignores it as it ignores the mouse; a greyed one
    // takes it, as it takes the mouse.
    if (name == pressAction() || name == toggleAction()) {
      Button().click();
    } else {
      QAccessibleWidget::doAction(name);
    }
  }

 private:
  CGdipButton& Button() const { return *static_cast<CGdipButton*>(widget()); }
};

class AccessibleMeter final : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit AccessibleMeter(CPeakMeterCtrl* meter)
      : QAccessibleWidget(meter, QAccessible::ProgressBar) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Value) return QString::number(Meter().Level());
    return QAccessibleWidget::text(t);
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
  }

  // The level comes from the processor: it is shown, never set.
  QVariant currentValue() const override { return Meter().Level(); }
  QVariant minimumValue() const override { return 0; }
  QVariant maximumValue() const override { return Meter().HighRange(); }
  QVariant minimumStepSize() const override { return 1; }
  void setCurrentValue(const QVariant&) override {}

 private:
  CPeakMeterCtrl& Meter() const { return *static_cast<CPeakMeterCtrl*>(widget()); }
};

QAccessibleInterface* ControlsFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(CXBmpSlider::staticMetaObject.className())) {
    if (auto* slider = qobject_cast<CXBmpSlider*>(object)) return new AccessibleSlider(slider);
  } else if (className == QLatin1String(CGdipButton::staticMetaObject.className())) {
    if (auto* button = qobject_cast<CGdipButton*>(object)) return new AccessibleImageButton(button);
  } else if (className == QLatin1String(CPeakMeterCtrl::staticMetaObject.className())) {
    if (auto* meter = qobject_cast<CPeakMeterCtrl*>(object)) return new AccessibleMeter(meter);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleControls() { QAccessible::installFactory(ControlsFactory); }

QString AccessibleLabel(const QString& label) {
  static const QRegularExpression kBracketMnemonic(QStringLiteral("\\s*[(（]&[^)）]?[)）]"));
  QString name = label;
  name.remove(kBracketMnemonic);
  name = StripMnemonic(name).simplified();
  while (name.endsWith(QLatin1Char(':')) || name.endsWith(QChar(0xFF1A))) {  // ':' or '：'
    name.chop(1);
    name = name.trimmed();
  }
  return name;
}

void SetAccessibleLabel(QWidget* control, const QString& label) {
  if (control != nullptr) control->setAccessibleName(AccessibleLabel(label));
}

}  // namespace ui
