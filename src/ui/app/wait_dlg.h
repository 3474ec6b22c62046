#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace ui {

class UiLanguage;

// The modal progress dialog of the smart-plug operations: a bar stepping by
// 10 every 150 ms, a text, a 30 s time-out (20 s once re-armed) and a
// cancel action.
class CWaitDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTimeoutMs = 30000;
  static constexpr int kRearmTimeoutMs = 20000;
  static constexpr int kStepMs = 150;

  struct Request {
    std::uint8_t function = 0;
    std::uint8_t node = 0;
    std::uint8_t value = 0;
  };

  // `cancelAction` runs on the cancel button and at the time-out;
  // `onTimeout` runs after the time-out closed the dialog.
  CWaitDlg(const UiLanguage& language, const QString& text, Request request,
           std::function<void(Request)> cancelAction, std::function<void()> onTimeout,
           QWidget* parent = nullptr, int timeoutMs = kTimeoutMs);

  // Restarts the step timer and the time-out, which then ends after
  // `timeoutMs`.
  void Rearm(int timeoutMs = kRearmTimeoutMs);
  // Until the time-out; -1 when it is not running.
  int RemainingMs() const;
  // Ends the wait: at once with 0, else with a full bar after `delayMs`.
  void Finish(int delayMs);
  int Progress() const;
  QString Text() const;
  Request CurrentRequest() const { return request_; }

  // The cancel button, Escape and command 3: the cancel action, then close.
  void reject() override;

 private:
  void Step();
  void OnTimeout();
  void StopTimers();

  QProgressBar* bar_;
  QLabel* text_;
  QPushButton* cancel_;
  QTimer* step_;
  QTimer* timeout_;
  QTimer* finish_;
  Request request_;
  std::function<void(Request)> cancelAction_;
  std::function<void()> onTimeout_;
};

}  // namespace ui
