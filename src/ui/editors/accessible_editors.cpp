#include "ui/editors/accessible_editors.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "ui/controls/accessible_controls.h"
#include "ui/editors/compress_panel_plus.h"
#include "ui/editors/delay_panel.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/small_eq_panel.h"

namespace ui {

namespace {

class AccessibleEqPanel final : public QAccessibleWidget {
 public:
  explicit AccessibleEqPanel(CEqPanel* panel) : QAccessibleWidget(panel, QAccessible::Chart) {}

  QString text(QAccessible::Text t) const override {
    const CEqPanel& p = Panel();
    switch (t) {
      case QAccessible::Name:
        if (!p.accessibleName().isEmpty()) return p.accessibleName();
        return p.Title().isEmpty() ? QAccessibleWidget::text(t) : p.Title();
      case QAccessible::Description:
        return p.accessibleDescription().isEmpty() ? p.StatusLine() : p.accessibleDescription();
      case QAccessible::Value:
        return p.StatusLine();
      default:
        return QAccessibleWidget::text(t);
    }
  }

 private:
  CEqPanel& Panel() const { return *static_cast<CEqPanel*>(widget()); }
};

// The compressor's curve: a chart whose value is the page's summary of the
// four values and the switch.
class AccessibleCompressPanel final : public QAccessibleWidget {
 public:
  explicit AccessibleCompressPanel(CCompressPanelPlus* panel)
      : QAccessibleWidget(panel, QAccessible::Chart) {}

  QString text(QAccessible::Text t) const override {
    const auto& p = *static_cast<CCompressPanelPlus*>(widget());
    switch (t) {
      case QAccessible::Description:
        return p.accessibleDescription().isEmpty() ? p.Summary() : p.accessibleDescription();
      case QAccessible::Value:
        return p.Summary();
      default:
        return QAccessibleWidget::text(t);
    }
  }
};

// The delay chart: its value is the list of the channels' delays.
class AccessibleDelayPanel final : public QAccessibleWidget {
 public:
  explicit AccessibleDelayPanel(CDelayPanel* panel) : QAccessibleWidget(panel, QAccessible::Chart) {}

  QString text(QAccessible::Text t) const override {
    const CDelayPanel& p = *static_cast<CDelayPanel*>(widget());
    switch (t) {
      case QAccessible::Name:
        return p.accessibleName().isEmpty() ? QStringLiteral("Delay chart") : p.accessibleName();
      case QAccessible::Description:
        return p.accessibleDescription().isEmpty() ? p.DelaysText() : p.accessibleDescription();
      case QAccessible::Value:
        return p.DelaysText();
      default:
        return QAccessibleWidget::text(t);
    }
  }
};

// The preview is the page's way to its effect EQ: a button to assistive
// technology, pressed as a click presses it.
class AccessibleSmallEqPanel final : public QAccessibleWidget {
 public:
  explicit AccessibleSmallEqPanel(CSmallEqPanel* panel)
      : QAccessibleWidget(panel, QAccessible::Button) {}

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }
  void doAction(const QString& name) override {
    if (name != pressAction()) {
      QAccessibleWidget::doAction(name);
    } else if (widget()->isEnabled()) {
      static_cast<CSmallEqPanel*>(widget())->Click();
    }
  }
};

QAccessibleInterface* EditorsFactory(const QString& className, QObject* object) {
  if (className == QLatin1String(CEqPanel::staticMetaObject.className())) {
    if (auto* panel = qobject_cast<CEqPanel*>(object)) return new AccessibleEqPanel(panel);
  } else if (className == QLatin1String(CCompressPanelPlus::staticMetaObject.className())) {
    if (auto* panel = qobject_cast<CCompressPanelPlus*>(object))
      return new AccessibleCompressPanel(panel);
  } else if (className == QLatin1String(CDelayPanel::staticMetaObject.className())) {
    if (auto* panel = qobject_cast<CDelayPanel*>(object)) return new AccessibleDelayPanel(panel);
  } else if (className == QLatin1String(CSmallEqPanel::staticMetaObject.className())) {
    if (auto* panel = qobject_cast<CSmallEqPanel*>(object))
      return new AccessibleSmallEqPanel(panel);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleEditors() {
  InstallAccessibleControls();
  QAccessible::installFactory(EditorsFactory);
}

}  // namespace ui
