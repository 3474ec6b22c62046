#include "ui/app/main_view.h"

#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

#include "core/session.h"
#include "ui/shell/command_ids.h"
#include "ui/app/connection_controller.h"
#include "ui/shell/eq_page.h"
#include "ui/app/main_frame.h"
#include "ui/app/master_controls_handler.h"
#include "ui/app/mode_commands.h"
#include "ui/shell/page_registry.h"
#include "ui/app/plug_wait.h"
#include "ui/shell/prompts.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_texts.h"
#include "ui/app/rv4470v13_app.h"
#include "ui/app/status_updater.h"
#include "ui/app/tray_notice.h"
#include "ui/shell/editor_page.h"

namespace ui {

CRV4470v13View::CRV4470v13View(CRV4470v13App& app, CMainFrame& frame)
    : QWidget(&frame),
      app_(app),
      frame_(frame),
      session_(app.Session()),
      masters_(new MasterControlsHandler(app, frame)),
      modes_(new ModeCommands(app, frame, this)),
      tray_(new TrayNotice(app, this)),
      plugWait_(new PlugWait(app, this)),
      connection_(new ConnectionController(app, *this)),
      status_(std::make_unique<StatusUpdater>(app, frame)),
      idle_(new QTimer(this)) {
  setObjectName(QStringLiteral("CRV4470v13View"));
  // View creation: the device records start from their defaults (the
  // session did that), then the language, the link options, the first
  // page and the texts.
  app_.Language().SetLanguage(app_.Settings().Language());
  app_.State().speakerLinks = app_.Settings().ReadLinkOptions();
  ShowPage(ids::kMusicPage, 0);
  ApplyLanguage();
  connect(idle_, &QTimer::timeout, this, &CRV4470v13View::UpdateStatus);
}

CRV4470v13View::~CRV4470v13View() = default;

void CRV4470v13View::FrameReady() {
  UpdateStatus();
  idle_->start(kStatusUpdateMs);
  connection_->FrameReady();
}

// ---- Pages

void CRV4470v13View::ShowPage(int dialogId, int sub) {
  const PageFactory* factory = app_.Pages().Find(dialogId);
  if (page_ && pageId_ == dialogId) {
    if (dialogId == ids::kMusicPage) app_.State().micTab = sub;
    if (auto* editor = qobject_cast<EditorPage*>(page_.data())) {
      editor->Reselect(sub);
    } else if (factory != nullptr && factory->reselect) {
      factory->reselect(page_, sub);
    }
    return;
  }
  if (page_) {
    delete page_.data();
    page_ = nullptr;
    pageId_ = -1;
  }
  if (factory == nullptr || !factory->create) return;  // the page area stays empty
  if (dialogId == ids::kMusicPage) app_.State().micTab = sub;
  QWidget* page = factory->create(app_.PageContextRef(), this, sub);
  if (page == nullptr) return;
  page_ = page;
  pageId_ = dialogId;
  page->setGeometry(pageRect_);
  page->show();
}

void CRV4470v13View::resizeEvent(QResizeEvent* event) {
  pageRect_ = QRect(0, 0, std::max(event->size().width(), kMinPageWidth),
                    std::max(event->size().height(), kMinPageHeight));
  if (page_) page_->setGeometry(pageRect_);
  QWidget::resizeEvent(event);
}

void CRV4470v13View::CategoryChanged(const QString& name) {
  if (IsInputCategory(name)) {
    ShowPage(ids::kMusicPage, app_.State().micTab);
  } else if (IsOutputCategory(name)) {
    ShowPage(ids::kOutputPage, app_.State().outputChannel);
  } else {
    return;
  }
  // The pitch caption of the category just shown, now rather than at the
  // next pitch poll.
  masters_->ShowPitchCaption();
}

// ---- Commands

void CRV4470v13View::OnCommand(int id) {
  if (masters_->OnCommand(id)) return;
  if (id >= ids::kRestoreModeFirst && id < ids::kRestoreModeFirst + 4) {
    ToDialog(ModelessDialog::MachineSettings, &ModelessFactory::command, id);
    return;
  }
  if (id >= ids::kLoadModeFirst && id < ids::kLoadModeFirst + 4) {
    modes_->LoadMode(id - ids::kLoadModeFirst);
    return;
  }
  if (id >= ids::kStoreModeFirst && id < ids::kStoreModeFirst + 4) {
    modes_->StoreMode(id - ids::kStoreModeFirst);
    return;
  }
  switch (id) {
    case ids::kLanguageSwitch:
      SwitchLanguage();
      break;
    case ids::kConnectIp:
      app_.OpenConnectDialog();
      break;
    case ids::kLoadFileIn:
    case ids::kLoadFileOut:
    case ids::kFileOpen:
      modes_->LoadModeFileCommand();
      break;
    case ids::kSaveFileIn:
    case ids::kSaveFileOut:
    case ids::kFileSave:
      modes_->SaveModeFileCommand();
      break;
    case ids::kMachineReset:
      modes_->MachineReset();
      break;
    case ids::kAppAbout:
      app_.RunAbout();
      break;
    case ids::kAppExit:
      frame_.close();
      break;
    case ids::kEqBypass:
      if (auto* eq = dynamic_cast<EqPage*>(page_.data())) eq->ToggleEqBypass();
      break;
    case ids::kEqReset:
      ResetEq();
      break;
    case ids::kEditUndo:
    case ids::kEditRedo:
      UndoRedo(id == ids::kEditUndo);
      break;
    case ids::kSmartPlugs:
      if (!session_.IsOpen()) {
        app_.ShowNotice(app_.Language().Pick("请先连接机器", "Please connect device"), 1100);
      }
      app_.OpenDialog(ModelessDialog::SmartPlug, ids::kSmartPlugDialog);
      break;
    case ids::kFeatures:
      app_.OpenDialog(ModelessDialog::Loudness, ids::kLoudnessDialog);
      break;
    case ids::kAutoSub:
      app_.OpenDialog(ModelessDialog::AutoSub, ids::kAutoSubDialog);
      break;
    case ids::kRemoteLearning:
      if (session_.IsOpen())
        app_.OpenDialog(ModelessDialog::DeviceRemote, ids::kDeviceRemoteDialog);
      break;
    case ids::kInputSource:
      OpenInputSource();
      break;
    case ids::kLoadModeIn:
    case ids::kLoadModeOut:
    case ids::kSaveModeIn:
    case ids::kSaveModeOut:
    default:
      break;  // the menus do the work; dialogs of later pages
  }
}

void CRV4470v13View::MasterWheel(int master, int delta) {
  masters_->Wheel(master, delta);
}

void CRV4470v13View::RefreshMasterControls() {
  masters_->Refresh();
  UpdateStatus();
}

// ---- Language

void CRV4470v13View::SwitchLanguage() {
  UiLanguage& lang = app_.Language();
  lang.SetLanguage(lang.English() ? UiLanguage::kChinese : UiLanguage::kEnglish);
  app_.Settings().SetLanguage(lang.Language());
  app_.Settings().Sync();
  ApplyLanguage();
  UpdateStatus();
}

void CRV4470v13View::ApplyLanguage() {
  const bool loaded = app_.Language().LoadFile();
  RetextRibbon();
  if (!loaded) return;
  for (int i = 0; i < kModelessDialogCount; ++i) app_.RetextDialog(static_cast<ModelessDialog>(i));
  if (auto* editor = qobject_cast<EditorPage*>(page_.data())) {
    editor->Retext();
  } else if (page_) {
    if (const PageFactory* f = app_.Pages().Find(pageId_); f != nullptr && f->retext)
      f->retext(page_);
  }
}

void CRV4470v13View::RetextRibbon() {
  if (frame_.findChild<RibbonBar*>() == nullptr) return;
  RibbonBar& ribbon = frame_.Ribbon();
  if (ribbon.Element(32832) == nullptr) return;
  RetextRibbonNames(ribbon, app_.Language(), session_.Params().Display().musicPitch);
  masters_->Retext();
  frame_.RefreshRecentFiles();
  ribbon.updateGeometry();
  ribbon.update();
}

// ---- Status bar

void CRV4470v13View::UpdateStatus() {
  if (frame_.findChild<RibbonBar*>() == nullptr) return;
  masters_->UpdateMuteBoxes();
  status_->Update(dynamic_cast<const EqPage*>(page_.data()));
  UpdateUndoButtons();
}

// ---- Undo and redo

void CRV4470v13View::UndoRedo(bool undo) {
  core::params::EditHistory& history = session_.History();
  // A gesture still open on the page (a drag held while the keys are
  // pressed) ends first, so that it is the step undone.
  if (auto* editor = qobject_cast<EditorPage*>(page_.data())) {
    while (editor->InEdit()) editor->EndEdit();
  }
  const auto origin = undo ? history.Undo() : history.Redo();
  if (origin && app_.Pages().Find(origin->dialog) != nullptr) {
    ShowPage(origin->dialog, origin->sub);
    if (auto* editor = qobject_cast<EditorPage*>(page_.data())) editor->Reload();
  } else if (origin) {
    // Made in a modeless dialog (an input source, say): no page to show,
    // the page stays; the live dialogs show the values again.
    for (ModelessDialog which : {ModelessDialog::AutoSub, ModelessDialog::InputSource,
                                 ModelessDialog::InputSourceSettings, ModelessDialog::Loudness}) {
      ToDialog(which, &ModelessFactory::refresh);
    }
  }
  UpdateStatus();
}

void CRV4470v13View::UpdateUndoButtons() {
  RibbonBar& ribbon = frame_.Ribbon();
  if (QWidget* b = ribbon.Element(ids::kEditUndo)) b->setEnabled(session_.History().CanUndo());
  if (QWidget* b = ribbon.Element(ids::kEditRedo)) b->setEnabled(session_.History().CanRedo());
}

void CRV4470v13View::ResetEq() {
  auto* eq = dynamic_cast<EqPage*>(page_.data());
  if (eq == nullptr) return;
  if (app_.Prompter().Question(
          this, QString::fromUtf8("提示"),
          app_.Language().Pick("您确定重置当前均衡吗?", "Are you sure reset the EQ?"))) {
    eq->ResetShownEq();
  }
}

// ---- Refreshing and closing what is open

void CRV4470v13View::RefreshAll() {
  RefreshMasterControls();
  if (auto* editor = qobject_cast<EditorPage*>(page_.data())) {
    editor->Reload();
  } else if (page_) {
    if (const PageFactory* f = app_.Pages().Find(pageId_); f != nullptr && f->refresh)
      f->refresh(page_);
  }
  for (ModelessDialog which :
       {ModelessDialog::MachineSettings, ModelessDialog::AutoSub, ModelessDialog::InputSource,
        ModelessDialog::InputSourceSettings, ModelessDialog::Loudness}) {
    ToDialog(which, &ModelessFactory::refresh);
  }
}

void CRV4470v13View::CloseModelessDialogs() {
  for (int i = 0; i < kModelessDialogCount; ++i) app_.CloseDialog(static_cast<ModelessDialog>(i));
}

template <typename Hook, typename... Args>
void CRV4470v13View::ToDialog(ModelessDialog which, Hook ModelessFactory::*hook, Args... args) {
  QWidget* dialog = app_.Dialog(which);
  const ModelessFactory* f = app_.FactoryFor(which);
  if (dialog != nullptr && f != nullptr && f->*hook) (f->*hook)(dialog, args...);
}

// ---- The link's events

void CRV4470v13View::OnSyncDone(int afterWrite) {
  connection_->OnSyncDone(afterWrite);
}
void CRV4470v13View::OnLinkLost() {
  connection_->OnLinkLost();
}
void CRV4470v13View::OnHostBusy() {
  connection_->OnHostBusy();
}
void CRV4470v13View::OnDeviceError(std::uint8_t code, std::uint8_t command1,
                                   std::uint8_t command2) {
  connection_->OnDeviceError(code, command1, command2);
}
void CRV4470v13View::OnDeviceArrived(const std::string& path) {
  connection_->OnDeviceArrived(path);
}
void CRV4470v13View::OnDeviceRemoved(const std::string& path) {
  connection_->OnDeviceRemoved(path);
}

void CRV4470v13View::OnRemoteKey(std::uint8_t code) {
  ToDialog(ModelessDialog::DeviceRemote, &ModelessFactory::remoteKey, code);
}

void CRV4470v13View::OnPlugProgress(int message, int wParam, long lParam) {
  ToDialog(ModelessDialog::SmartPlug, &ModelessFactory::plugMessage, message, wParam, lParam);
}

// ---- Input source

void CRV4470v13View::OpenInputSource() {
  const std::uint8_t board = session_.Records().Board()[0];
  if (board == 0x55) {
    app_.OpenDialog(ModelessDialog::InputSourceSettings, ids::kInputSourceSettingsDialog);
  } else {
    app_.OpenDialog(ModelessDialog::InputSource,
                    InputSourceTemplate(board, session_.Records().Identity().ModelName()));
  }
}

int CRV4470v13View::InputSourceTemplate(std::uint8_t boardFirstByte, const std::string& model) {
  if (boardFirstByte == 0x55) return 542;
  static const struct {
    const char* model;
    int id;
  } table[] = {{"NR1.5", 527},    {"NR240", 528},  {"NR230", 538}, {"B470", 538},
               {"NR580", 529},    {"NR620", 530},  {"HM620", 532}, {"5P620II", 534},
               {"5P620III", 537}, {"B580II", 535}, {"LT1.5", 536}, {"LT6.2", 536},
               {"LT6.2II", 536},  {"NR3900", 536}, {"W2310", 539}, {"RV2310", 540},
               {"ZR07", 541}};
  for (const auto& row : table) {
    if (model == row.model) return row.id;
  }
  return 512;
}

}  // namespace ui
