#include "ui/app/tray_notice.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include "ui/app/app_icon.h"
#include "ui/app/rv4470v13_app.h"

namespace ui {

TrayNotice::TrayNotice(CRV4470v13App& app, QWidget* owner)
    : QObject(owner), app_(app), owner_(owner), hide_(new QTimer(this)) {
  hide_->setSingleShot(true);
  connect(hide_, &QTimer::timeout, this, [this] {
    if (tray_ != nullptr) tray_->hide();
  });
}

void TrayNotice::Show(const QString& title, const QString& text, int durationMs) {
  lastText_ = text;
  if (!QSystemTrayIcon::isSystemTrayAvailable()) {
    app_.ShowNotice(text, durationMs);
    return;
  }
  if (tray_ == nullptr) {
    tray_ = new QSystemTrayIcon(AppIcon(), owner_);
    connect(tray_, &QSystemTrayIcon::activated, tray_, &QSystemTrayIcon::hide);
  }
  tray_->show();
  tray_->showMessage(title, text, QSystemTrayIcon::Information, durationMs);
  hide_->start(durationMs);
}

}  // namespace ui
