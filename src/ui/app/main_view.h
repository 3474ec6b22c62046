#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>

#include "ui/app/link_event_handler.h"
#include "ui/app/page_registry.h"

class QSystemTrayIcon;
class QTimer;

namespace core {
class Session;
}

namespace ui {

class CMainFrame;
class CMFCRibbonStepSlider;
class CRV4470v13App;
class RibbonBar;

// The main view: hosts one editor page at a time and handles every ribbon
// command, the link's events, the timers and the status bar.
class CRV4470v13View : public QWidget, public LinkEventHandler {
  Q_OBJECT
 public:
  static constexpr int kMinPageWidth = 1024;
  static constexpr int kMinPageHeight = 520;

  CRV4470v13View(CRV4470v13App& app, CMainFrame& frame);
  ~CRV4470v13View() override;

  // Called once the frame has built its ribbon and status bar.
  void FrameReady();

  // Ribbon commands, status-bar elements, menu items.
  void OnCommand(int id);
  void CategoryChanged(const QString& name);
  void MasterWheel(int master, int delta);

  void ShowPage(int dialogId, int sub);
  QWidget* CurrentPage() const { return page_; }
  QRect PageRect() const { return pageRect_; }

  void RefreshMasterControls();
  void RefreshAll();
  void CloseModelessDialogs();
  void ApplyLanguage();
  void RetextRibbon();
  void UpdateStatus();

  // The connect dialog's attempt: 1 connected, else the error code.
  int ConnectNetwork(const QString& address, int port);
  // The start-up attempt (timer 1).
  void StartupConnect();

  void ShowTrayNotice(const QString& title, const QString& text, int durationMs);
  QString LastTrayText() const { return lastTrayText_; }
  void StartPlugCommand(const QString& text, std::uint8_t code, std::uint8_t node,
                        std::uint8_t value, int delayMs);
  void ReplacePlugWaitText(const QString& text);
  void CancelPlugWait();

  // Mode files and modes, also reached through the commands.
  void LoadModeFileAt(const QString& path);
  void SaveModeFileAt(const QString& path);
  void SaveToMode(int mode);

  bool Timer3Active() const;
  bool Timer4Active() const;

  // The input-source dialog's template for a board and a model name.
  static int InputSourceTemplate(std::uint8_t boardFirstByte, const std::string& model);

  // LinkEventHandler.
  void OnRemoteKey(std::uint8_t code) override;
  void OnSyncDone(int afterWrite) override;
  void OnLinkLost() override;
  void OnHostBusy() override;
  void OnDeviceError(std::uint8_t code, std::uint8_t command1, std::uint8_t command2) override;
  void OnDeviceArrived(const std::string& path) override;
  void OnDeviceRemoved(const std::string& path) override;
  void OnPlugProgress(int message, int wParam, long lParam) override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  RibbonBar& Ribbon();
  bool InMasterCategory() const;
  bool OutputActive() const;
  int ReadPos(int master);
  void SetBoth(int master, int value);
  void SetLabels(int master, int value, bool retextFormat = false);
  void SetPitchCaption(int value);
  void MasterHandler(int master);
  void ToggleMute(int master);
  void LoadMode(int n);
  void StoreMode(int n);
  void LoadModeFileCommand();
  void SaveModeFileCommand();
  // The mode file named on the command line, after the first
  // synchronisation: loaded into the processor when the user agrees.
  void OfferCommandLineFile(const QString& path);
  void MachineReset();
  void AfterConnect(int balloonMs);
  void StopStatusTimers();
  void SwitchLanguage();
  void ResetEq();
  void NoticeUsbPermission();
  void OpenInputSource();
  // Calls a hook of an open modeless dialog; nothing when it is not open
  // or has no such hook.
  template <typename Hook, typename... Args>
  void ToDialog(ModelessDialog which, Hook ModelessFactory::*hook, Args... args);

  CRV4470v13App& app_;
  CMainFrame& frame_;
  core::Session& session_;
  QPointer<QWidget> page_;
  int pageId_ = -1;
  QRect pageRect_;
  bool errorBoxAllowed_ = true;
  bool permissionNoticeShown_ = false;
  QTimer* timer1_;
  QTimer* timer3_;
  QTimer* timer4_;
  QTimer* timer5_;
  QTimer* timer990_;
  QTimer* idle_;
  QSystemTrayIcon* tray_ = nullptr;
  QString lastTrayText_;
  struct PlugWait {
    QString text;
    std::uint8_t code = 0, node = 0, value = 0;
  } plugWait_;
};

}  // namespace ui
