#include "ui/controls/ctrl_id.h"

#include <QVariant>
#include <QWidget>

namespace ui {

namespace {

constexpr char kCtrlId[] = "ctrlId";
constexpr char kDialogId[] = "dialogId";

int IntProperty(const QObject* object, const char* name) {
  if (object == nullptr) return -1;
  const QVariant v = object->property(name);
  bool ok = false;
  const int id = v.toInt(&ok);
  return v.isValid() && ok ? id : -1;
}

}  // namespace

void SetCtrlId(QObject* object, int id) {
  if (object != nullptr) object->setProperty(kCtrlId, id);
}

int CtrlId(const QObject* object) { return IntProperty(object, kCtrlId); }

void SetDialogId(QObject* object, int dialogId) {
  if (object != nullptr) object->setProperty(kDialogId, dialogId);
}

int DialogId(const QObject* object) { return IntProperty(object, kDialogId); }

QWidget* FindCtrl(QWidget* root, int id) {
  if (root == nullptr) return nullptr;
  if (CtrlId(root) == id) return root;
  const auto children = root->findChildren<QWidget*>();
  for (QWidget* w : children) {
    if (CtrlId(w) == id) return w;
  }
  return nullptr;
}

}  // namespace ui
