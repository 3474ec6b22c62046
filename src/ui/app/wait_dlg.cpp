#include "ui/app/wait_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/shell/command_ids.h"
#include "ui/controls/ctrl_id.h"
#include "ui/app/dialog_style.h"
#include "ui/shell/ui_language.h"

namespace ui {

CWaitDlg::CWaitDlg(const UiLanguage& language, const QString& text, Request request,
                   std::function<void(Request)> cancelAction, std::function<void()> onTimeout,
                   QWidget* parent, int timeoutMs)
    : QDialog(parent),
      bar_(new QProgressBar(this)),
      text_(new QLabel(this)),
      cancel_(new QPushButton(this)),
      step_(new QTimer(this)),
      timeout_(new QTimer(this)),
      finish_(new QTimer(this)),
      request_(request),
      cancelAction_(std::move(cancelAction)),
      onTimeout_(std::move(onTimeout)) {
  SetDialogBackground(this);
  setWindowTitle(language.Pick("请稍候", "Please wait"));
  setWindowFlag(Qt::WindowCloseButtonHint, false);
  SetCtrlId(bar_, ids::progress::kBar);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  SetCtrlId(text_, ids::progress::kText);
  text_->setText(text);
  text_->setAlignment(Qt::AlignCenter);
  text_->setWordWrap(true);
  SetCtrlId(cancel_, ids::progress::kCancel);
  cancel_->setText(language.Pick("取消", "Cancel"));
  cancel_->setAutoDefault(false);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 16, 20, 12);
  layout->addWidget(text_);
  layout->addWidget(bar_);
  layout->addWidget(cancel_, 0, Qt::AlignRight);
  setFixedSize(380, 140);

  connect(step_, &QTimer::timeout, this, &CWaitDlg::Step);
  timeout_->setSingleShot(true);
  connect(timeout_, &QTimer::timeout, this, &CWaitDlg::OnTimeout);
  finish_->setSingleShot(true);
  connect(finish_, &QTimer::timeout, this, [this] {
    StopTimers();
    accept();
  });
  Rearm(timeoutMs);
}

void CWaitDlg::Rearm(int timeoutMs) {
  step_->start(kStepMs);
  timeout_->start(timeoutMs);
}

int CWaitDlg::RemainingMs() const { return timeout_->remainingTime(); }

void CWaitDlg::Finish(int delayMs) {
  step_->stop();
  timeout_->stop();
  if (delayMs <= 0) {
    accept();
    return;
  }
  bar_->setValue(100);
  finish_->start(delayMs);
}

int CWaitDlg::Progress() const { return bar_->value(); }
QString CWaitDlg::Text() const { return text_->text(); }

void CWaitDlg::Step() {
  const int v = bar_->value() + 10;
  bar_->setValue(v > 100 ? 0 : v);
}

void CWaitDlg::reject() {
  if (cancelAction_) cancelAction_(request_);
  StopTimers();
  QDialog::reject();
}

void CWaitDlg::OnTimeout() {
  if (cancelAction_) cancelAction_(request_);
  StopTimers();
  QDialog::reject();
  if (onTimeout_) onTimeout_();
}

void CWaitDlg::StopTimers() {
  step_->stop();
  timeout_->stop();
  finish_->stop();
}

}  // namespace ui
