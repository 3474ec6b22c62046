#pragma once

#include <QObject>
#include <QString>

class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace ui {

class CRV4470v13App;

// Connection changes as notification-area balloons: the icon shows for the
// balloon's duration and goes again (at once when clicked). Without a
// notification area the text is shown as a notice instead.
class TrayNotice : public QObject {
  Q_OBJECT
 public:
  TrayNotice(CRV4470v13App& app, QWidget* owner);

  void Show(const QString& title, const QString& text, int durationMs);
  QString LastText() const { return lastText_; }

 private:
  CRV4470v13App& app_;
  QWidget* owner_;
  QSystemTrayIcon* tray_ = nullptr;
  QTimer* hide_;
  QString lastText_;
};

}  // namespace ui
