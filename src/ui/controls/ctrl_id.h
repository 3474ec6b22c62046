#pragma once

class QObject;
class QWidget;

namespace ui {

// Every control that has an id keeps it as the integer property "ctrlId";
// pages and tests find their controls by it.
void SetCtrlId(QObject* object, int id);
// The id, or -1 when the object has none.
int CtrlId(const QObject* object);
// A page or dialog embedded in another one that takes its texts from a
// dialog id of its own keeps that id as the property "dialogId".
void SetDialogId(QObject* object, int dialogId);
// The dialog id, or -1 when the object has none.
int DialogId(const QObject* object);
// `root` itself or the first of its descendants with the id, or null.
QWidget* FindCtrl(QWidget* root, int id);

}  // namespace ui
