#pragma once

namespace core {
class Session;
}

namespace ui {

class CMainFrame;
class CRV4470v13App;
class EqPage;

// What the idle update shows: the connection and mode panes, the tick of
// the current mode in the mode menus, the status bar's EQ bypass and reset
// for the page shown, and which dialog buttons work.
class StatusUpdater {
 public:
  StatusUpdater(CRV4470v13App& app, CMainFrame& frame);

  // `page` is the page shown when it shows an equaliser, else null.
  void Update(const EqPage* page);

 private:
  void UpdatePanes();
  void UpdateModeTicks(int mode);
  void UpdateEqElements(const EqPage* page);
  void UpdateDialogButtons();

  CRV4470v13App& app_;
  CMainFrame& frame_;
  core::Session& session_;
};

}  // namespace ui
