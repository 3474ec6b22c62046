#pragma once

#include <QMainWindow>

class QCheckBox;
class QPushButton;

namespace ui {

class CMFCRibbonStepSlider;
class CMyMFCRibbonStatusBarPane;
class CRV4470v13App;
class CRV4470v13View;
class RibbonBar;

// The main window: the ribbon, the main view and the status bar, the
// minimum size, and the close prompt with the disconnect notice.
class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kMinWidth = 1040;
  static constexpr int kMinHeight = 700;

  explicit CMainFrame(CRV4470v13App& app);
  ~CMainFrame() override;

  RibbonBar& Ribbon() { return *ribbon_; }
  CRV4470v13View& View() { return *view_; }
  CMyMFCRibbonStatusBarPane& ConnectionPane() { return *connectionPane_; }
  CMyMFCRibbonStatusBarPane& ModePane() { return *modePane_; }
  QCheckBox& BypassBox() { return *bypass_; }
  QPushButton& ResetEqButton() { return *resetEq_; }

  // The recent list of the application menu from the settings.
  void RefreshRecentFiles();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildRibbon();
  void BuildStatusBar();

  CRV4470v13App& app_;
  RibbonBar* ribbon_ = nullptr;
  CRV4470v13View* view_ = nullptr;
  CMyMFCRibbonStatusBarPane* connectionPane_ = nullptr;
  CMyMFCRibbonStatusBarPane* modePane_ = nullptr;
  QCheckBox* bypass_ = nullptr;
  QPushButton* resetEq_ = nullptr;
};

}  // namespace ui
