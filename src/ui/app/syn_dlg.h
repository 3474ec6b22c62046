#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QTimer;

namespace ui {

class UiLanguage;

// The modal synchronisation progress dialog: a marquee bar, a text, and a
// 30 s time-out after which `onTimeout` runs (the caller reports and, on a
// network link, closes it).
class CSynDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTimeoutMs = 30000;

  CSynDlg(const UiLanguage& language, const QString& text, std::function<void()> onTimeout,
          QWidget* parent = nullptr, int timeoutMs = kTimeoutMs);

  // Kills timer 110 and closes (the synchronisation ended).
  void Cancel();
  QString Text() const;

 private:
  void OnTimeout();

  QProgressBar* bar_;
  QLabel* text_;
  QTimer* timeout_;
  std::function<void()> onTimeout_;
};

}  // namespace ui
