#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QTimer;

namespace ui {

class UiLanguage;

// The notice window (template 344): a text that closes itself after a time.
// Deletes itself when closed.
class CInfoDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTimerId = 900;

  explicit CInfoDlg(const UiLanguage& language, QWidget* parent = nullptr);

  // Shows `text` and (re)starts the timer with `durationMs`.
  void ShowText(const QString& text, int durationMs);
  QString Text() const;
  int RemainingMs() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* text_;
  QPushButton* close_;
  QTimer* timer_;
};

}  // namespace ui
