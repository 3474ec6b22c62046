#include "ui/shell/ui_language.h"

#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "ui/controls/ctrl_id.h"

static void InitLangResource() {
  Q_INIT_RESOURCE(lang);
}

namespace ui {

void InitLanguageResources() {
  InitLangResource();
}

bool UiLanguage::LoadFile() {
  InitLanguageResources();
  QFile f(English() ? QStringLiteral(":/lang/en.ini") : QStringLiteral(":/lang/zh.ini"));
  if (!f.open(QIODevice::ReadOnly)) {
    file_ = LanguageFile();
    return false;
  }
  file_ = LanguageFile::Parse(f.readAll());
  return true;
}

namespace {

void SetWidgetText(QWidget* w, const QString& text) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    b->setText(text);
  } else if (auto* l = qobject_cast<QLabel*>(w)) {
    l->setText(text);
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    g->setTitle(text);
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    e->setText(text);
  } else {
    w->setWindowTitle(text);
  }
}

}  // namespace

void UiLanguage::ApplyDialogTexts(QWidget* window, int dialogId) const {
  if (window == nullptr) return;
  const QString title = file_.Title(dialogId);
  if (!title.isEmpty()) window->setWindowTitle(title);
  ApplyControlTexts(window, dialogId);
}

void UiLanguage::ApplyControlTexts(QWidget* parent, int dialogId) const {
  const auto children = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (QWidget* child : children) {
    // A window of its own, or a page with texts of its own, is not ours
    // to re-text.
    if (child->isWindow() || DialogId(child) >= 0) continue;
    const int id = CtrlId(child);
    if (id >= 0) {
      const QString text = file_.Control(dialogId, id);
      if (!text.isEmpty()) SetWidgetText(child, text);
    }
    ApplyControlTexts(child, dialogId);
  }
}

}  // namespace ui
