#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ui {

class AppSettings;
class UiLanguage;

// The network connect dialog (template 521): host address, port, an error
// line and the connect button. `connect` makes the attempt and returns 1 on
// success or the error code; on success the address and port are stored
// and the dialog closes.
class CDialogIP : public QDialog {
  Q_OBJECT
 public:
  using Connector = std::function<int(const QString& address, int port)>;

  CDialogIP(const UiLanguage& language, AppSettings& settings, Connector connect,
            QWidget* parent = nullptr);

  QString Address() const;
  int Port() const;
  void SetAddress(const QString& address);
  void SetPort(int port);
  QString ErrorText() const;
  // The connect button.
  void TryConnect();

 private:
  const UiLanguage& language_;
  AppSettings& settings_;
  Connector connect_;
  QLineEdit* address_;
  QLineEdit* port_;
  QLabel* error_;
};

}  // namespace ui
