#include "ui/shell/editor_page.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPalette>
#include <QWheelEvent>

#include "core/session.h"
#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/shell/ui_language.h"

namespace ui {

EditorPage::EditorPage(PageContext& context, int dialogId, QWidget* parent)
    : QWidget(parent), context_(context), dialogId_(dialogId) {
  SetDialogId(this, dialogId);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, art::PageBackground());
  setPalette(pal);
  setAutoFillBackground(true);
  // The wheel is sent on before the control under the cursor sees it.
  qApp->installEventFilter(this);
}

EditorPage::~EditorPage() {
  qApp->removeEventFilter(this);
  // A gesture cut short by the page going away still ends its step.
  while (editDepth_ > 0) EndEdit();
}

void EditorPage::Retext() {
  context_.language.ApplyDialogTexts(this, dialogId_);
  RetextOwn();
  Reload();
}

void EditorPage::BeginEdit() {
  if (editDepth_++ == 0) Session().History().Begin({dialogId_, Sub()});
}

void EditorPage::EndEdit() {
  if (editDepth_ == 0) return;
  if (--editDepth_ == 0) Session().History().End();
}

void EditorPage::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_F1:
      event->accept();  // the page never closes and has no help
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

bool EditorPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Wheel || !watched->isWidgetType()) return false;
  auto* target = static_cast<QWidget*>(watched);
  if (target != this && !isAncestorOf(target)) return false;
  QWidget* focus = QApplication::focusWidget();
  if (focus == nullptr || focus == target || !isAncestorOf(focus)) return false;
  if (!TakesWheel(CtrlId(focus))) return false;
  auto* wheel = static_cast<QWheelEvent*>(event);
  const QPointF local = focus->mapFromGlobal(wheel->globalPosition());
  QWheelEvent copy(local, wheel->globalPosition(), wheel->pixelDelta(), wheel->angleDelta(),
                   wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
  QCoreApplication::sendEvent(focus, &copy);
  return true;
}

}  // namespace ui
