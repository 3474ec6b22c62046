#include "ui/app/syn_dlg.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/shell/command_ids.h"
#include "ui/controls/ctrl_id.h"
#include "ui/app/dialog_style.h"
#include "ui/shell/ui_language.h"

namespace ui {

CSynDlg::CSynDlg(const UiLanguage& language, const QString& text, std::function<void()> onTimeout,
                 QWidget* parent, int timeoutMs)
    : QDialog(parent),
      bar_(new QProgressBar(this)),
      text_(new QLabel(this)),
      timeout_(new QTimer(this)),
      onTimeout_(std::move(onTimeout)) {
  SetDialogBackground(this);
  setWindowTitle(language.Pick("同步过程", "Synchronize"));
  setWindowFlag(Qt::WindowCloseButtonHint, false);
  SetCtrlId(bar_, ids::progress::kBar);
  bar_->setRange(0, 0);  // marquee
  bar_->setTextVisible(false);
  SetCtrlId(text_, ids::progress::kText);
  text_->setText(text.isEmpty() ? language.Pick("当前正在与机器同步数据,请稍候......",
                                                "Please wait a moment……")
                                : text);
  text_->setAlignment(Qt::AlignCenter);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(20, 16, 20, 16);
  layout->addWidget(text_);
  layout->addWidget(bar_);
  setFixedSize(380, 110);

  timeout_->setSingleShot(true);
  connect(timeout_, &QTimer::timeout, this, &CSynDlg::OnTimeout);
  timeout_->start(timeoutMs);
}

void CSynDlg::Cancel() {
  timeout_->stop();
  reject();
}

QString CSynDlg::Text() const { return text_->text(); }

void CSynDlg::OnTimeout() {
  timeout_->stop();
  reject();
  if (onTimeout_) onTimeout_();
}

}  // namespace ui
