#include "ui/app/rv4470v13_app.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "core/link/hotplug_monitor.h"
#include "core/session.h"
#include "ui/app/about_dlg.h"
#include "ui/app/command_ids.h"
#include "ui/app/dialog_ip.h"
#include "ui/app/info_dlg.h"
#include "ui/app/main_frame.h"
#include "ui/app/main_view.h"
#include "ui/app/prompts.h"
#include "ui/app/qt_link_events.h"
#include "ui/app/syn_dlg.h"
#include "ui/app/wait_dlg.h"

namespace ui {

CRV4470v13App::CRV4470v13App(core::Session& session, AppSettings& settings, Prompts& prompts,
                             const PageRegistry& pages, Options options)
    : session_(session), settings_(settings), prompts_(prompts), pages_(pages), options_(options) {}

CRV4470v13App::~CRV4470v13App() {
  qApp->removeEventFilter(this);
  if (hotplug_) hotplug_->Stop();
  session_.Link().SetEvents(nullptr);
  session_.Disconnect(false);
  session_.Sync().JoinAll();
  delete notice_.data();
  delete connectDialog_.data();
  frame_.reset();
}

void CRV4470v13App::Start() {
  frame_ = std::make_unique<CMainFrame>(*this);
  events_ = std::make_unique<QtLinkEvents>(frame_->View());
  session_.Link().SetEvents(events_.get());
  if (options_.hotplug) {
    hotplug_ = std::make_unique<core::link::HotplugMonitor>(*events_, session_.Hid());
    hotplug_->Start();
  }
  frame_->resize(1180, 760);
  frame_->show();
  qApp->installEventFilter(this);
}

bool CRV4470v13App::HandleF7() {
  if (!f7Guard_ || sync_) return false;
  f7Guard_ = false;
  if (machineSettingsOpener_) machineSettingsOpener_();
  f7Guard_ = true;
  return true;
}

bool CRV4470v13App::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F7 &&
      !static_cast<QKeyEvent*>(event)->isAutoRepeat() && watched->isWidgetType() &&
      static_cast<QWidget*>(watched)->isWindow()) {
    HandleF7();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void CRV4470v13App::ShowNotice(const QString& text, int durationMs) {
  if (!notice_) notice_ = new CInfoDlg(language_);
  notice_->ShowText(text, durationMs);
}

void CRV4470v13App::ShowSyncDialog(const QString& text) {
  if (sync_) {
    sync_->show();
    return;
  }
  CSynDlg dialog(language_, text, [this] {
    prompts_.Message(frame_.get(), QString::fromUtf8("错误"), QString::fromUtf8("发生错误，与设备数据同步超时……"),
                     Prompts::Icon::Error);
    if (session_.Link().State().networkMode.load()) session_.Tcp().TcpClose(false);
  }, frame_.get(), syncTimeoutMs);
  sync_ = &dialog;
  dialog.exec();
  sync_ = nullptr;
}

void CRV4470v13App::CloseSyncDialog() {
  if (sync_) sync_->Cancel();
}

void CRV4470v13App::ShowWaitDialog(const QString& text, std::uint8_t function, std::uint8_t node,
                                   std::uint8_t value) {
  if (wait_) {
    wait_->Rearm();
    return;
  }
  CWaitDlg dialog(
      language_, text, {function, node, value},
      [this](CWaitDlg::Request request) {
        if (plugCancel_) plugCancel_(request);
      },
      [this] { ShowNotice(QString::fromUtf8("发生错误，操作超时……"), 1100); }, frame_.get(), waitTimeoutMs);
  wait_ = &dialog;
  dialog.exec();
  wait_ = nullptr;
}

bool CRV4470v13App::OpenDocumentFile(const QString& path) {
  if (!QFileInfo::exists(path)) {
    prompts_.Message(nullptr, QString::fromUtf8("文件打开错误"), QString::fromUtf8("文件不存在！"),
                     Prompts::Icon::Information);
    return false;
  }
  const QString suffix = path.section(QLatin1Char('.'), -1);
  if (suffix.compare(QLatin1String("mode"), Qt::CaseInsensitive) != 0) return false;
  if (session_.Link().IsOpen() && frame_) frame_->View().LoadModeFileAt(path);
  return true;
}

void CRV4470v13App::OpenConnectDialog() {
  if (!connectDialog_) {
    connectDialog_ = new CDialogIP(language_, settings_, [this](const QString& address, int port) {
      return frame_->View().ConnectNetwork(address, port);
    });
  }
  if (frame_) connectDialog_->move(frame_->geometry().center() - connectDialog_->rect().center());
  language_.ApplyDialogTexts(connectDialog_, ids::kConnectDialog);
  connectDialog_->show();
  connectDialog_->raise();
  connectDialog_->activateWindow();
}

void CRV4470v13App::RunAbout() {
  const bool connected = session_.Link().IsOpen();
  CAboutDlg dialog(connected, session_.Records().Identity(),
                   CAboutDlg::ChipsFromStatus(session_.Records().Status()), statusPolling, frame_.get());
  dialog.exec();
}

bool CRV4470v13App::Activate() {
  if (!frame_) return false;
  if (frame_->isMinimized()) frame_->showNormal();
  frame_->show();
  frame_->raise();
  frame_->activateWindow();
  return true;
}

}  // namespace ui
