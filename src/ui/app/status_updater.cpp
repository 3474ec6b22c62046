#include "ui/app/status_updater.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <algorithm>

#include "core/session.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/eq_page.h"
#include "ui/app/main_frame.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/rv4470v13_app.h"
#include "ui/app/status_pane.h"

namespace ui {

StatusUpdater::StatusUpdater(CRV4470v13App& app, CMainFrame& frame)
    : app_(app), frame_(frame), session_(app.Session()) {}

void StatusUpdater::Update(const EqPage* page) {
  UpdatePanes();
  UpdateModeTicks(std::clamp(session_.Records().CurrentMode(), 0, 3));
  UpdateEqElements(page);
  UpdateDialogButtons();
}

void StatusUpdater::UpdatePanes() {
  const UiLanguage& lang = app_.Language();
  auto& pane = frame_.ConnectionPane();
  if (session_.IsOpen()) {
    pane.setText(session_.NetworkMode()
                     ? lang.Pick("IP：已连接", "IP:Connected")
                     : lang.Pick("USB：已连接", "USB:Connected"));
    pane.SetTextColor(QColor(0, 150, 0));
  } else {
    pane.setText(lang.Pick("未连接", "Disconnected"));
    pane.SetTextColor(QColor(220, 0, 0));
  }
  const int mode = std::clamp(session_.Records().CurrentMode(), 0, 3);
  frame_.ModePane().setText(lang.Pick("当前模式:", "Current Mode:") +
                            QStringLiteral("M%1").arg(mode + 1));
}

void StatusUpdater::UpdateModeTicks(int mode) {
  for (int i = 0; i < 4; ++i) {
    for (int base : {ids::kLoadModeFirst, ids::kStoreModeFirst}) {
      for (QAction* a : frame_.Ribbon().Actions(base + i)) {  // the menus of both categories
        a->setCheckable(true);
        a->setChecked(i == mode);
      }
    }
  }
}

void StatusUpdater::UpdateEqElements(const EqPage* page) {
  const UiLanguage& lang = app_.Language();
  frame_.BypassBox().setEnabled(page != nullptr);
  frame_.BypassBox().setChecked(page != nullptr && page->EqBypassed());
  frame_.BypassBox().setText(lang.Pick("均衡旁路", "Bypass"));
  frame_.ResetEqButton().setEnabled(page != nullptr);
  frame_.ResetEqButton().setText(lang.Pick("重置均衡", "Reset EQ"));
}

void StatusUpdater::UpdateDialogButtons() {
  // A dialog button works when its dialog exists in this build. The input
  // source dialog also waits for a processor: its rows are those of the
  // model and board that answered, fixed when the dialog is made.
  const bool inputSet = session_.Records().Board()[0] == 0x55;
  const struct {
    int id;
    bool enabled;
  } buttons[] = {
      {ids::kFeatures, app_.CanOpen(ModelessDialog::Loudness)},
      {ids::kInputSource,
       app_.CanOpen(inputSet ? ModelessDialog::InputSourceSettings : ModelessDialog::InputSource) &&
           session_.IsOpen()},
      {ids::kRemoteLearning,
       app_.CanOpen(ModelessDialog::DeviceRemote) && session_.IsOpen()},
  };
  for (const auto& b : buttons) {
    if (QWidget* w = frame_.Ribbon().Element(b.id)) w->setEnabled(b.enabled);
  }
}

}  // namespace ui
