#pragma once

#include <QObject>
#include <QString>
#include <cstdint>

class QTimer;

namespace ui {

class CRV4470v13App;

// A smart-plug command with a delayed wait dialog: the request goes out at
// once and the wait dialog opens after a delay unless the outcome arrives
// first (timer 5).
class PlugWait : public QObject {
  Q_OBJECT
 public:
  PlugWait(CRV4470v13App& app, QObject* parent);

  // Code 0x13 with a node: set that node's value; 0x4A: start inclusion;
  // 0x4B: start exclusion; any other code sends nothing. The wait dialog
  // shows `text` after `delayMs`.
  void Start(const QString& text, std::uint8_t code, std::uint8_t node, std::uint8_t value,
             int delayMs);
  // The outcome came before the dialog: it will not open (and shows `text`
  // should it be opened after all).
  void ReplaceText(const QString& text);
  void Cancel();

 private:
  CRV4470v13App& app_;
  QTimer* delay_;
  QString text_;
  std::uint8_t code_ = 0, node_ = 0, value_ = 0;
};

}  // namespace ui
