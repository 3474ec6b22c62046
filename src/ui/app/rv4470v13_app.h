#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "core/link/poll_gate.h"
#include "ui/app/app_settings.h"
#include "ui/app/dialog_ip.h"
#include "ui/app/info_dlg.h"
#include "ui/shell/page_context.h"
#include "ui/shell/page_registry.h"
#include "ui/app/syn_dlg.h"
#include "ui/app/wait_dlg.h"
#include "ui/shell/ui_language.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_state.h"

namespace core {
class Session;
namespace link {
class HotplugMonitor;
}
}  // namespace core

namespace ui {

class CMainFrame;
class Prompts;
class QtLinkEvents;

// The application object: the settings, the language, the services the
// other windows call, the slots of the modeless dialogs, and the values
// that outlive the pages. It creates the main frame; the session, the
// settings store and the prompts are the caller's.
class CRV4470v13App : public QObject {
  Q_OBJECT
 public:
  static constexpr char kTitle[] = "调音软件_V20_1.4.3_20180731";
  static constexpr char kAppId[] = "QUORVEX.NR620.1.0";

  struct Options {
    bool startUsbAttempt = true;  // timer 1 at start-up
    bool hotplug = true;          // watch udev for processors
  };

  CRV4470v13App(core::Session& session, AppSettings& settings, Prompts& prompts,
                const PageRegistry& pages, Options options);
  ~CRV4470v13App() override;

  // Creates and shows the main frame (start-up steps 7..11) where it was
  // when it last closed.
  void Start();
  // The main window accepted its close: its place is kept, every dialog
  // closes with it, and MainWindowClosed tells whoever ends the process.
  void MainWindowClosing();

  core::Session& Session() { return session_; }
  AppSettings& Settings() { return settings_; }
  UiLanguage& Language() { return language_; }
  Prompts& Prompter() { return prompts_; }
  const PageRegistry& Pages() const { return pages_; }
  CMainFrame* Frame() const { return frame_.get(); }
  const Options& StartOptions() const { return options_; }

  // Services.
  void ShowNotice(const QString& text, int durationMs);
  void ShowSyncDialog(const QString& text);
  void ShowWaitDialog(const QString& text, std::uint8_t function, std::uint8_t node,
                      std::uint8_t value);
  // The recent-file list and the command line: true when a mode file was
  // taken (the path then stays in the recent list).
  bool OpenDocumentFile(const QString& path);
  // The command line's file: opened once the first synchronisation after
  // start-up has ended (without a processor nothing is loaded).
  void OpenAfterFirstSync(const QString& path) { pendingOpen_ = path; }
  QString TakePendingOpen() { return std::exchange(pendingOpen_, QString()); }
  void OpenConnectDialog() { OpenDialog(ModelessDialog::NetworkConnect, ids::kConnectDialog); }
  void RunAbout();
  // Another start asked this one to show itself: false without a window.
  bool Activate();

  // The modeless dialogs. Opening creates the dialog on first use (when
  // a factory makes it), centres it on the main window, refreshes it,
  // gives it the texts of the current language and shows it; the dialog
  // is deleted when its window closes and the slot is then empty. Nothing
  // happens, and null is returned, for a dialog without a factory.
  QWidget* OpenDialog(ModelessDialog which, int templateId);
  QWidget* Dialog(ModelessDialog which) const;
  bool CanOpen(ModelessDialog which) const { return FactoryFor(which) != nullptr; }
  const ModelessFactory* FactoryFor(ModelessDialog which) const;
  // The dialog's texts in the current language (its texts id, then its
  // own re-text); nothing when it is not open.
  void RetextDialog(ModelessDialog which);
  // Destroys the dialog's window (through its own close where it has one).
  void CloseDialog(ModelessDialog which);

  // F7 (key release) opens the machine settings dialog, unless a
  // synchronisation dialog runs or F7 is being handled.
  bool HandleF7();

  // Cancelling a plug wait (button or time-out) sends the controller the
  // stop request of a node value, inclusion or exclusion, then runs this
  // action (the plug dialogs undo what they kept of the operation).
  void SetPlugCancelAction(std::function<void(CWaitDlg::Request)> action) { plugCancel_ = std::move(action); }

  CInfoDlg* Notice() const { return notice_; }
  CSynDlg* SyncDialog() const { return sync_; }
  CWaitDlg* WaitDialog() const { return wait_; }
  CDialogIP* ConnectDialog() const;
  // Closes the sync dialog if one runs (kills its time-out).
  void CloseSyncDialog();

  // The values that outlive the pages.
  PageState& State() { return pageState_; }
  // What the editor pages are made with.
  PageContext& PageContextRef() { return pageContext_; }

  // How long the sync and wait dialogs wait (tests shorten them).
  void SetSyncTimeout(int ms) { syncTimeoutMs_ = ms; }
  void SetWaitTimeout(int ms) { waitTimeoutMs_ = ms; }

 private:
  core::Session& session_;
  AppSettings& settings_;
  Prompts& prompts_;
  const PageRegistry& pages_;
  Options options_;
  UiLanguage language_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<QtLinkEvents> events_;
  std::unique_ptr<core::link::HotplugMonitor> hotplug_;
  QPointer<CInfoDlg> notice_;
  QPointer<CSynDlg> sync_;
  QPointer<CWaitDlg> wait_;
  static std::size_t Index(ModelessDialog which) { return static_cast<std::size_t>(which); }
  // A dialog's window went: the status polling it held off resumes.
  void DialogGone(ModelessDialog which, const QObject* gone);
  // The poll gate's holder for a dialog that needs a quiet link.
  static std::optional<core::link::PollGate::Holder> PollHolder(ModelessDialog which);
  std::array<QPointer<QWidget>, kModelessDialogCount> dialogs_;
  ModelessFactory connectDialogFactory_;
  QString pendingOpen_;
  bool f7Guard_ = true;
  std::function<void(CWaitDlg::Request)> plugCancel_;
  PageState pageState_;
  PageContext pageContext_;
  int syncTimeoutMs_ = CSynDlg::kTimeoutMs;
  int waitTimeoutMs_ = CWaitDlg::kTimeoutMs;

 signals:
  void MainWindowClosed();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ui
