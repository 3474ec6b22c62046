#include "ui/app/connection_controller.h"

#include <QTimer>

#include "core/session.h"
#include "ui/app/main_view.h"
#include "ui/app/master_controls_handler.h"
#include "ui/app/mode_commands.h"
#include "ui/shell/prompts.h"
#include "ui/app/rv4470v13_app.h"
#include "ui/app/tray_notice.h"

namespace ui {

ConnectionController::ConnectionController(CRV4470v13App& app, CRV4470v13View& view)
    : QObject(&view),
      app_(app),
      view_(view),
      session_(app.Session()),
      startup_(new QTimer(this)),
      statusPoll_(new QTimer(this)) {
  startup_->setSingleShot(true);
  connect(startup_, &QTimer::timeout, this, &ConnectionController::StartupConnect);
  connect(statusPoll_, &QTimer::timeout, this, &ConnectionController::PollStatus);
}

void ConnectionController::FrameReady() {
  if (app_.StartOptions().startUsbAttempt) startup_->start(kStartupDelayMs);
}

// Asks only while the poll gate is open: a synchronisation run, a mode
// load, the smart-plug and the remote dialogs and the user's switch each
// close it on their own.
void ConnectionController::PollStatus() { session_.PollStatus(); }

bool ConnectionController::StatusPollActive() const {
  return statusPoll_->isActive();
}

void ConnectionController::StartupConnect() {
  startup_->stop();
  if (session_.IsOpen()) return;
  hostBusy_ = false;
  if (session_.Connect() != 1) {
    if (!session_.NetworkMode() &&
        session_.LastUsbOpenResult() == core::link::UsbOpenResult::PermissionDenied) {
      NoticeUsbPermission();
    }
    return;
  }
  AfterConnect(5000);
}

void ConnectionController::NoticeUsbPermission() {
  if (permissionNoticeShown_) return;
  permissionNoticeShown_ = true;
  app_.Prompter().Message(
      &view_, app_.Language().Pick("信息", "Information"),
      app_.Language().Pick(
          "找到了USB设备，但没有权限打开它。请以管理员身份运行：\n"
          "dsptunectl udev-rules | sudo tee /etc/udev/rules.d/70-dsptuner.rules\n"
          "然后重新插入设备。",
          "A USB processor is present but may not be opened (no permission). Run:\n"
          "dsptunectl udev-rules | sudo tee /etc/udev/rules.d/70-dsptuner.rules\n"
          "then plug the device in again."),
      Prompts::Icon::Warning);
}

int ConnectionController::ConnectNetwork(const QString& address, int port) {
  hostBusy_ = false;
  const int r = session_.ConnectNetwork(address.toStdString(), static_cast<std::uint16_t>(port));
  if (r == 1) QTimer::singleShot(0, this, [this] { AfterConnect(5000); });
  return r;
}

void ConnectionController::AfterConnect(int balloonMs) {
  const UiLanguage& lang = app_.Language();
  // A host that already said it serves another client keeps its notice.
  if (!hostBusy_) {
    view_.Tray().Show(lang.Pick("信息", "Information"),
                      lang.Pick("设备已连接，同步中……", "Device connected!"), balloonMs);
  }
  statusPoll_->start(kStatusPollMs);
  view_.Masters().StartPitchPoll();
  if (!hostBusy_) {
    session_.Sync().StartReadAll();
    if (!hostBusy_) app_.ShowSyncDialog(QString());
  }
}

void ConnectionController::StopStatusTimers() {
  statusPoll_->stop();
  view_.Masters().StopPitchPoll();
}

void ConnectionController::OnSyncDone(int afterWrite) {
  app_.CloseSyncDialog();
  const auto identity = session_.Records().Identity();
  const bool protocolOk = identity.ProtocolVersion() == core::link::kProtocolVersion;
  view_.Modes().SyncEnded(afterWrite != 0, protocolOk);
  if (protocolOk) {
    view_.RefreshAll();
    if (const QString file = app_.TakePendingOpen(); !file.isEmpty()) {
      QTimer::singleShot(0, this, [this, file] { view_.Modes().OfferCommandLineFile(file); });
    }
    return;
  }
  const QString text = QString::fromUtf8("E:%1_%2 通信版本不匹配!")
                           .arg(QString::fromLatin1(identity.ModelName()))
                           .arg(identity.ProtocolVersion() & 0xFF, 2, 16, QLatin1Char('0'));
  session_.Disconnect(true);
  StopStatusTimers();
  view_.UpdateStatus();
  if (errorBoxAllowed_) {
    errorBoxAllowed_ = false;
    app_.Prompter().Message(&view_, QString::fromUtf8("错误"), text, Prompts::Icon::Error);
    errorBoxAllowed_ = true;
  }
}

void ConnectionController::OnLinkLost() {
  StopStatusTimers();
  view_.UpdateStatus();
  app_.Prompter().Message(&view_, QString::fromUtf8(CRV4470v13App::kTitle),
                          app_.Language().Pick("主机超时，网络断开!", "Host timeout,Disconnected!"),
                          Prompts::Icon::Warning);
}

void ConnectionController::OnHostBusy() {
  app_.CloseSyncDialog();
  hostBusy_ = true;
  app_.ShowNotice(app_.Language().Pick("主机已连接其他设备，请先断开!", "Host is connected!"),
                  3000);
}

void ConnectionController::OnDeviceError(std::uint8_t code, std::uint8_t command1,
                                         std::uint8_t command2) {
  app_.Prompter().Message(nullptr, QStringLiteral("Error"),
                          QString::asprintf("参数错误,代码0x:%02X,指令1:0x%02X,指令2:0x%02X ", code,
                                            command1, command2),
                          Prompts::Icon::Error);
}

void ConnectionController::OnDeviceArrived(const std::string& /*path*/) {
  if (session_.IsOpen()) return;
  // A network host that said it serves someone else says nothing about
  // this processor.
  hostBusy_ = false;
  if (session_.ConnectUsbDevice() != 1) {
    if (session_.LastUsbOpenResult() == core::link::UsbOpenResult::PermissionDenied)
      NoticeUsbPermission();
    return;
  }
  view_.CloseModelessDialogs();
  AfterConnect(4000);
}

void ConnectionController::OnDeviceRemoved(const std::string& path) {
  if (session_.NetworkMode() && session_.IsOpen()) return;
  if (!session_.HandleDeviceRemoved(path)) return;
  StopStatusTimers();
  app_.CloseSyncDialog();
  const UiLanguage& lang = app_.Language();
  view_.Tray().Show(lang.Pick("信息", "Information"),
                    lang.Pick("设备已断开!", "Device Disconnected!"), 5000);
  view_.UpdateStatus();
}

}  // namespace ui
