#include "ui/app/rv4470v13_app.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include "core/link/hotplug_monitor.h"
#include "core/session.h"
#include "core/trace.h"
#include "ui/app/about_dlg.h"
#include "ui/shell/command_ids.h"
#include "ui/app/dialog_ip.h"
#include "ui/app/info_dlg.h"
#include "ui/app/main_frame.h"
#include "ui/app/main_view.h"
#include "ui/app/connection_controller.h"
#include "ui/app/mode_commands.h"
#include "ui/shell/prompts.h"
#include "ui/app/qt_link_events.h"
#include "ui/app/syn_dlg.h"
#include "ui/app/wait_dlg.h"
#include "ui/app/window_placement.h"

namespace ui {

CRV4470v13App::CRV4470v13App(core::Session& session, AppSettings& settings, Prompts& prompts,
                             const PageRegistry& pages, Options options)
    : session_(session),
      settings_(settings),
      prompts_(prompts),
      pages_(pages),
      options_(options),
      pageContext_{session_, language_, prompts_, pageState_,
                   [this](const QString& text, int ms) { ShowNotice(text, ms); },
                   [this](const LinkOptions& links) { return settings_.WriteLinkOptions(links); },
                   [this](int dialogId, int sub) {
                     if (frame_) frame_->View().ShowPage(dialogId, sub);
                   }} {
  connectDialogFactory_.create = [this](PageContext&, int) -> QWidget* {
    return new CDialogIP(language_, settings_, [this](const QString& address, int port) {
      return frame_->View().Connection().ConnectNetwork(address, port);
    });
  };
  connectDialogFactory_.textsId = ids::kConnectDialog;
}

CRV4470v13App::~CRV4470v13App() {
  qApp->removeEventFilter(this);
  if (hotplug_) hotplug_->Stop();
  session_.SetEvents(nullptr);
  session_.Disconnect(false);
  session_.Sync().JoinAll();
  delete notice_.data();
  for (QPointer<QWidget>& dialog : dialogs_) delete dialog.data();
  frame_.reset();
}

void CRV4470v13App::Start() {
  frame_ = std::make_unique<CMainFrame>(*this);
  events_ = std::make_unique<QtLinkEvents>(frame_->View());
  session_.SetEvents(events_.get());
  if (options_.hotplug) {
    hotplug_ = std::make_unique<core::link::HotplugMonitor>(*events_, session_.Hid());
    hotplug_->Start();
  }
  frame_->resize(1180, 760);
  if (const auto placement = settings_.ReadWindowPlacement()) {
    QList<QRect> screens;
    if (QScreen* primary = QGuiApplication::primaryScreen()) screens << primary->availableGeometry();
    for (QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
    frame_->setGeometry(FitOnScreens(placement->normal, screens, frame_->minimumSize()));
    if (placement->maximized) frame_->setWindowState(Qt::WindowMaximized);
  }
  frame_->show();
  qApp->installEventFilter(this);
}

void CRV4470v13App::MainWindowClosing() {
  settings_.WriteWindowPlacement({frame_->normalGeometry(), frame_->isMaximized()});
  // Nothing of ours may outlive the main window: a dialog left open would
  // keep the process running without a link.
  frame_->View().CloseModelessDialogs();
  if (notice_) notice_->close();
  emit MainWindowClosed();
}

bool CRV4470v13App::HandleF7() {
  if (!f7Guard_ || sync_) return false;
  f7Guard_ = false;
  OpenDialog(ModelessDialog::MachineSettings, ids::kMachineSettingsDialog);
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
    if (session_.NetworkMode()) session_.Disconnect(false);
  }, frame_.get(), syncTimeoutMs_);
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
        // The controller stops the waiting operation; what the plug
        // dialogs keep about it is theirs to undo.
        session_.StopPlugWait(request.function);
        if (plugCancel_) plugCancel_(request);
      },
      [this] { ShowNotice(QString::fromUtf8("发生错误，操作超时……"), 1100); }, frame_.get(), waitTimeoutMs_);
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
  if (session_.IsOpen() && frame_) frame_->View().Modes().LoadModeFileAt(path);
  return true;
}

const ModelessFactory* CRV4470v13App::FactoryFor(ModelessDialog which) const {
  if (const ModelessFactory* f = pages_.FindDialog(which)) return f;
  return which == ModelessDialog::NetworkConnect ? &connectDialogFactory_ : nullptr;
}

CDialogIP* CRV4470v13App::ConnectDialog() const {
  return qobject_cast<CDialogIP*>(Dialog(ModelessDialog::NetworkConnect));
}

QWidget* CRV4470v13App::OpenDialog(ModelessDialog which, int templateId) {
  const ModelessFactory* factory = FactoryFor(which);
  if (factory == nullptr) {
    core::Trace("no dialog for template " + std::to_string(templateId));
    return nullptr;
  }
  QPointer<QWidget>& slot = dialogs_[Index(which)];
  // A window that was closed is on its way out (closing takes the
  // delete-on-close flag off and schedules the deletion): make a new one.
  if (slot && !slot->testAttribute(Qt::WA_DeleteOnClose)) slot = nullptr;
  if (!slot) {
    QWidget* dialog = factory->create(pageContext_, templateId);
    if (dialog == nullptr) return nullptr;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    slot = dialog;
    // While these two are open the view asks for no status: the plug
    // traffic and the remote learning need the link to themselves.
    if (const auto holder = PollHolder(which)) session_.PollGate().Hold(*holder);
    QObject::connect(dialog, &QObject::destroyed, this,
                     [this, which](QObject* gone) { DialogGone(which, gone); });
  }
  QWidget* dialog = slot.data();
  if (frame_) {
    dialog->adjustSize();
    dialog->move(frame_->geometry().center() - dialog->rect().center());
  }
  if (factory->refresh) factory->refresh(dialog);
  RetextDialog(which);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  return dialog;
}

std::optional<core::link::PollGate::Holder> CRV4470v13App::PollHolder(ModelessDialog which) {
  // While these two are open the view asks for no status: the plug
  // traffic and the remote learning need the link to themselves.
  if (which == ModelessDialog::SmartPlug) return core::link::PollGate::Holder::SmartPlugDialog;
  if (which == ModelessDialog::DeviceRemote) return core::link::PollGate::Holder::RemoteDialog;
  return std::nullopt;
}

QWidget* CRV4470v13App::Dialog(ModelessDialog which) const {
  QWidget* dialog = dialogs_[Index(which)].data();
  return dialog != nullptr && dialog->testAttribute(Qt::WA_DeleteOnClose) ? dialog : nullptr;
}

void CRV4470v13App::DialogGone(ModelessDialog which, const QObject* gone) {
  // A dialog deleted after its successor opened leaves the polling to it.
  // (Compared, not used: `gone` is being destroyed.)
  const QObject* current = dialogs_[Index(which)].data();
  if (current != nullptr && current != gone) return;
  if (const auto holder = PollHolder(which)) session_.PollGate().Release(*holder);
}

void CRV4470v13App::RetextDialog(ModelessDialog which) {
  QWidget* dialog = Dialog(which);
  const ModelessFactory* factory = FactoryFor(which);
  if (dialog == nullptr || factory == nullptr) return;
  if (factory->textsId != 0) language_.ApplyDialogTexts(dialog, factory->textsId);
  if (factory->retext) factory->retext(dialog);
}

void CRV4470v13App::CloseDialog(ModelessDialog which) {
  QWidget* dialog = Dialog(which);
  if (dialog == nullptr) return;
  const ModelessFactory* factory = FactoryFor(which);
  if (factory != nullptr && factory->close) {
    factory->close(dialog);
  } else {
    dialog->close();
  }
  // Gone, whatever its close did: the slot is empty when this returns and
  // the next opening makes the dialog anew. The deletion itself waits for
  // the event loop, as this may run inside one of the dialog's handlers.
  dialogs_[Index(which)] = nullptr;
  if (dialog->testAttribute(Qt::WA_DeleteOnClose)) {
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->hide();
    dialog->deleteLater();
  }
  DialogGone(which, dialog);
}

void CRV4470v13App::RunAbout() {
  const bool connected = session_.IsOpen();
  CAboutDlg dialog(language_, connected, session_.Records().Identity(),
                   CAboutDlg::ChipsFromStatus(session_.Records().Status()), session_.PollGate(), frame_.get());
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
