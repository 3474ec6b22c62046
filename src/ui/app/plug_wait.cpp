#include "ui/app/plug_wait.h"

#include <QTimer>

#include "core/session.h"
#include "ui/app/rv4470v13_app.h"

namespace ui {

PlugWait::PlugWait(CRV4470v13App& app, QObject* parent)
    : QObject(parent), app_(app), delay_(new QTimer(this)) {
  delay_->setSingleShot(true);
  connect(delay_, &QTimer::timeout, this, [this] {
    delay_->stop();
    app_.ShowWaitDialog(text_, code_, node_, value_);
  });
}

void PlugWait::Start(const QString& text, std::uint8_t code, std::uint8_t node, std::uint8_t value,
                     int delayMs) {
  text_ = text;
  code_ = code;
  node_ = node;
  value_ = value;
  app_.Session().StartPlugCommand(code, node, value);
  delay_->start(delayMs);
}

void PlugWait::ReplaceText(const QString& text) {
  text_ = text;
  delay_->stop();
}

void PlugWait::Cancel() {
  delay_->stop();
}

}  // namespace ui
