#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>

#include "ui/app/link_event_handler.h"
#include "ui/shell/page_registry.h"

namespace core {
class Session;
}

namespace ui {

class CMainFrame;
class CRV4470v13App;
class ConnectionController;
class MasterControlsHandler;
class ModeCommands;
class PlugWait;
class RibbonBar;
class StatusUpdater;
class TrayNotice;

// The main view: hosts one editor page at a time and routes every ribbon
// command. The work is done by its parts, one concern each: the master
// controls, the device modes and mode files, connecting and the link's
// events, the status update, the tray balloons and the plug waits.
class CRV4470v13View : public QWidget, public LinkEventHandler {
  Q_OBJECT
 public:
  static constexpr int kMinPageWidth = 1024;
  static constexpr int kMinPageHeight = 520;
  static constexpr int kStatusUpdateMs = 200;

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

  MasterControlsHandler& Masters() { return *masters_; }
  ModeCommands& Modes() { return *modes_; }
  ConnectionController& Connection() { return *connection_; }
  TrayNotice& Tray() { return *tray_; }
  PlugWait& PlugWaits() { return *plugWait_; }

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
  void SwitchLanguage();
  void ResetEq();
  // Undo or redo one step of the pages' edits and show where it was made.
  void UndoRedo(bool undo);
  void UpdateUndoButtons();
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
  MasterControlsHandler* masters_;
  ModeCommands* modes_;
  TrayNotice* tray_;
  PlugWait* plugWait_;
  ConnectionController* connection_;
  std::unique_ptr<StatusUpdater> status_;
  QTimer* idle_;
};

}  // namespace ui
