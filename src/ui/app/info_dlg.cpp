#include "ui/app/info_dlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/shell/command_ids.h"
#include "ui/controls/ctrl_id.h"
#include "ui/app/dialog_style.h"
#include "ui/shell/ui_language.h"

namespace ui {

CInfoDlg::CInfoDlg(const UiLanguage& language, QWidget* parent)
    : QDialog(parent), text_(new QLabel(this)), close_(new QPushButton(this)), timer_(new QTimer(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowFlag(Qt::WindowStaysOnTopHint);
  SetDialogBackground(this);
  setWindowTitle(language.Pick("信息", "Information"));
  SetCtrlId(this, ids::kInfoDialog);

  auto* icon = new QLabel(this);
  icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
  SetCtrlId(text_, ids::notice::kText);
  text_->setAlignment(Qt::AlignCenter);
  text_->setWordWrap(true);
  QFont font = text_->font();
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei")});
  font.setPixelSize(18);
  font.setWeight(QFont::Medium);
  text_->setFont(font);
  SetCtrlId(close_, ids::notice::kClose);
  close_->setText(language.Pick("关闭", "Close"));
  close_->setAutoDefault(false);
  connect(close_, &QPushButton::clicked, this, &QDialog::close);

  auto* row = new QHBoxLayout(this);
  row->addWidget(icon, 0, Qt::AlignVCenter);
  row->addWidget(text_, 1);
  row->addWidget(close_, 0, Qt::AlignBottom);
  setFixedSize(480, 110);

  timer_->setSingleShot(true);
  connect(timer_, &QTimer::timeout, this, &QDialog::close);
}

void CInfoDlg::ShowText(const QString& text, int durationMs) {
  text_->setText(text);
  timer_->start(durationMs);
  if (!isVisible()) {
    if (QWidget* owner = QApplication::activeWindow(); owner != nullptr && owner != this) {
      move(owner->geometry().center() - rect().center());
    }
    show();
  }
  raise();
}

QString CInfoDlg::Text() const { return text_->text(); }
int CInfoDlg::RemainingMs() const { return timer_->isActive() ? timer_->remainingTime() : 0; }

void CInfoDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) return;  // Enter does nothing
  QDialog::keyPressEvent(event);
}

}  // namespace ui
