#include "ui/controls/ctrl_id.h"

#include <QVariant>
#include <QWidget>

namespace ui {

namespace {
constexpr char kProperty[] = "ctrlId";
}

void SetCtrlId(QObject* object, int id) {
  if (object != nullptr) object->setProperty(kProperty, id);
}

int CtrlId(const QObject* object) {
  if (object == nullptr) return -1;
  const QVariant v = object->property(kProperty);
  bool ok = false;
  const int id = v.toInt(&ok);
  return v.isValid() && ok ? id : -1;
}

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
