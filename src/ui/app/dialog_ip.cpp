#include "ui/app/dialog_ip.h"

#include <QApplication>
#include <QGridLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "ui/app/app_settings.h"
#include "ui/shell/command_ids.h"
#include "ui/controls/ctrl_id.h"
#include "ui/app/dialog_style.h"
#include "ui/shell/ui_language.h"

namespace ui {

CDialogIP::CDialogIP(const UiLanguage& language, AppSettings& settings, Connector connect,
                     QWidget* parent)
    : QDialog(parent),
      language_(language),
      settings_(settings),
      connect_(std::move(connect)),
      address_(new QLineEdit(this)),
      port_(new QLineEdit(this)),
      error_(new QLabel(this)) {
  setAttribute(Qt::WA_DeleteOnClose);
  SetDialogBackground(this);
  SetCtrlId(this, ids::kConnectDialog);
  setWindowTitle(QString::fromUtf8("网络连接"));

  auto* addressLabel = new QLabel(QString::fromUtf8("机器IP地址"), this);
  SetCtrlId(addressLabel, ids::connect::kAddressLabel);
  auto* portLabel = new QLabel(QString::fromUtf8("端口号"), this);
  SetCtrlId(portLabel, ids::connect::kPortLabel);
  SetCtrlId(address_, ids::connect::kAddress);
  const QString octet = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])");
  address_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("^%1(\\.%1){0,3}$").arg(octet)), address_));
  address_->setText(settings.IpAddress().isEmpty() ? QString::fromLatin1(AppSettings::kDefaultAddress)
                                                   : settings.IpAddress());
  SetCtrlId(port_, ids::connect::kPort);
  port_->setValidator(new QIntValidator(1, 65535, port_));
  port_->setText(QString::number(settings.IpPort()));
  SetCtrlId(error_, ids::connect::kError);
  QPalette red = error_->palette();
  red.setColor(QPalette::WindowText, QColor(200, 0, 0));
  error_->setPalette(red);
  error_->setWordWrap(true);
  auto* ok = new QPushButton(QString::fromUtf8("尝试连接"), this);
  SetCtrlId(ok, ids::connect::kConnect);
  ok->setDefault(true);
  QObject::connect(ok, &QPushButton::clicked, this, &CDialogIP::TryConnect);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(18, 16, 18, 14);
  grid->addWidget(addressLabel, 0, 0);
  grid->addWidget(address_, 0, 1);
  grid->addWidget(portLabel, 1, 0);
  grid->addWidget(port_, 1, 1);
  grid->addWidget(error_, 2, 0, 1, 2);
  grid->addWidget(ok, 3, 1, Qt::AlignRight);
  grid->setColumnStretch(1, 1);
  setMinimumWidth(360);
}

QString CDialogIP::Address() const { return address_->text(); }
int CDialogIP::Port() const { return port_->text().toInt(); }
void CDialogIP::SetAddress(const QString& address) { address_->setText(address); }
void CDialogIP::SetPort(int port) { port_->setText(QString::number(port)); }
QString CDialogIP::ErrorText() const { return error_->text(); }

void CDialogIP::TryConnect() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const int r = connect_ ? connect_(Address(), Port()) : 0;
  QApplication::restoreOverrideCursor();
  if (r == 1) {
    settings_.SetIpPort(Port());
    settings_.SetIpAddress(Address());
    settings_.Sync();
    error_->clear();
    close();
    return;
  }
  error_->setText(language_.English()
                      ? QStringLiteral("Connect failed. Error %1").arg(r)
                      : QString::fromUtf8("错误%1，请确认IP地址和端口号正确!").arg(r));
}

}  // namespace ui
