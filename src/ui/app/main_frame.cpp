#include "ui/app/app_icon.h"
#include "ui/app/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include "core/presets/mode_file.h"
#include "core/session.h"
#include "ui/shell/command_ids.h"
#include "ui/app/main_view.h"
#include "ui/app/mode_commands.h"
#include "ui/app/master_controls.h"
#include "ui/shell/prompts.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_texts.h"
#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_panel.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/app/rv4470v13_app.h"
#include "ui/app/status_pane.h"
#include "ui/controls/ctrl_id.h"

namespace ui {

namespace {

// A small drawn icon for the ribbon's large buttons.
QIcon DrawnIcon(const QColor& colour, bool down) {
  QPixmap pm(64, 64);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(colour.darker(140), 3));
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(10, 8, 44, 50), 6, 6);
  p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
  if (down) {
    p.drawLine(32, 18, 32, 44);
    p.drawLine(22, 34, 32, 44);
    p.drawLine(42, 34, 32, 44);
  } else {
    p.drawLine(32, 44, 32, 18);
    p.drawLine(22, 28, 32, 18);
    p.drawLine(42, 28, 32, 18);
  }
  return QIcon(pm);
}

}  // namespace

CMainFrame::CMainFrame(CRV4470v13App& app) : app_(app) {
  setObjectName(QStringLiteral("CMainFrame"));
  setWindowIcon(AppIcon());
  // The view first: it reads the language and shows the first page.
  view_ = new CRV4470v13View(app, *this);
  setCentralWidget(view_);
  app_.Settings().SetApplicationLook(AppSettings::kDefaultLook);
  BuildRibbon();
  BuildStatusBar();
  setMinimumSize(kMinWidth, kMinHeight);
  setWindowTitle(QString::fromUtf8(CRV4470v13App::kTitle));
  view_->FrameReady();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildRibbon() {
  const UiLanguage& lang = app_.Language();
  ribbon_ = new RibbonBar(this);
  setMenuWidget(ribbon_);

  QMenu* menu = ribbon_->AppMenu();
  auto text = [&lang](int id) { return ElementTextOf(lang, id); };
  ribbon_->AddMenuItem(menu, ids::kFileOpen, text(ids::kFileOpen))->setShortcut(QKeySequence::Open);
  ribbon_->AddMenuItem(menu, ids::kFileSave, text(ids::kFileSave))->setShortcut(QKeySequence::Save);
  menu->addSeparator();
  ribbon_->AddMenuItem(menu, ids::kAppExit, text(ids::kAppExit));
  addActions(menu->actions());  // the shortcuts work without the menu open
  RefreshRecentFiles();

  const char* const names[2][2] = {{"输入控制", "Input"}, {"输出调节", "Output"}};
  const char* const panelsZh[] = {"话筒音量", "效果总音量", "混响音量", "回声音量", "音乐音量", "音乐变调", "调用", "保存"};
  const char* const panelsEn[] = {"Mic Vol", "Efx Vol", "Reverb Vol", "Echo Vol", "Music Vol", "Music Pitch", "Load", "Save"};
  const char* const labelsZh[] = {"话筒音量:100", "效果总音量:100", "混响音量:  100", "回声音量:100", "音乐音量:100", "音乐噪声门:100"};
  const char* const labelsEn[] = {"Mic    Vol: 100", "Effect    Vol:100", "Reverb Vol:100", "Echo Vol:100", "Music Vol:100", "Noisegate:    100"};
  const QIcon loadIcon = DrawnIcon(QColor(0x2f, 0x7d, 0xd1), true);
  const QIcon storeIcon = DrawnIcon(QColor(0x3a, 0xa6, 0x5a), false);
  const QIcon fileLoadIcon = DrawnIcon(QColor(0xe0, 0x9a, 0x2b), true);
  const QIcon fileSaveIcon = DrawnIcon(QColor(0x8a, 0x5c, 0xc7), false);

  for (int cat = 0; cat < 2; ++cat) {
    const bool out = cat == 1;
    RibbonCategory* category = ribbon_->AddCategory(lang.Pick(names[cat][0], names[cat][1]));
    for (int m = 0; m <= kMusic; ++m) {
      const MasterControl& c = kMasterControls[static_cast<std::size_t>(m)];
      RibbonPanel* panel = category->AddPanel(lang.Pick(panelsZh[m], panelsEn[m]));
      panel->Add(ribbon_->AddLabel(out ? c.labelOut : c.labelIn, lang.Pick(labelsZh[m], labelsEn[m])));
      panel->Add(ribbon_->AddSlider(out ? c.sliderOut : c.sliderIn, c.width, c.minimum, c.maximum));
      panel->Add(ribbon_->AddCheckBox(out ? c.muteOut : c.muteIn, lang.Pick("静音", "Mute")));
      ribbon_->SetWheelTarget(panel, m);
    }
    {
      RibbonPanel* panel = category->AddPanel(lang.Pick(panelsZh[kPitchPanel], panelsEn[kPitchPanel]));
      const MasterControl& gate = kMasterControls[kNoiseGate];
      const MasterControl& pitch = kMasterControls[kPitch];
      panel->Add(ribbon_->AddLabel(out ? gate.labelOut : gate.labelIn, lang.Pick(labelsZh[5], labelsEn[5])));
      auto* gateSlider = ribbon_->AddSlider(out ? gate.sliderOut : gate.sliderIn, gate.width, gate.minimum, gate.maximum);
      panel->Add(gateSlider);
      auto* pitchSlider = ribbon_->AddSlider(out ? pitch.sliderOut : pitch.sliderIn, pitch.width, pitch.minimum, pitch.maximum);
      panel->Add(pitchSlider);
      ribbon_->SetWheelTarget(pitchSlider, kPitch);
      ribbon_->SetWheelTarget(gateSlider, kNoiseGate);
    }
    {
      RibbonPanel* panel = category->AddPanel(lang.Pick(panelsZh[6], panelsEn[6]));
      const int modeId = out ? ids::kLoadModeOut : ids::kLoadModeIn;
      QToolButton* mode = ribbon_->AddLargeButton(modeId, text(modeId), loadIcon);
      auto* modeMenu = new QMenu(mode);
      for (int i = 0; i < 4; ++i) ribbon_->AddMenuItem(modeMenu, ids::kLoadModeFirst + i, QStringLiteral("M%1").arg(i + 1));
      mode->setMenu(modeMenu);
      mode->setPopupMode(QToolButton::InstantPopup);
      panel->Add(mode, Qt::AlignCenter);
      panel->NewColumn();
      const int fileId = out ? ids::kLoadFileOut : ids::kLoadFileIn;
      panel->Add(ribbon_->AddLargeButton(fileId, text(fileId), fileLoadIcon),
                 Qt::AlignCenter);
    }
    {
      RibbonPanel* panel = category->AddPanel(lang.Pick(panelsZh[7], panelsEn[7]));
      const int modeId = out ? ids::kSaveModeOut : ids::kSaveModeIn;
      QToolButton* mode = ribbon_->AddLargeButton(modeId, text(modeId), storeIcon);
      auto* modeMenu = new QMenu(mode);
      for (int i = 0; i < 4; ++i) ribbon_->AddMenuItem(modeMenu, ids::kStoreModeFirst + i, QStringLiteral("M%1").arg(i + 1));
      mode->setMenu(modeMenu);
      mode->setPopupMode(QToolButton::InstantPopup);
      panel->Add(mode, Qt::AlignCenter);
      panel->NewColumn();
      const int fileId = out ? ids::kSaveFileOut : ids::kSaveFileIn;
      panel->Add(ribbon_->AddLargeButton(fileId, text(fileId), fileSaveIcon),
                 Qt::AlignCenter);
    }
  }
  for (int id : {ids::kConnectIp, ids::kFeatures, ids::kInputSource, ids::kMachineReset,
                 ids::kRemoteLearning}) {
    ribbon_->AddTabRowButton(id, text(id));
  }
  for (int id : {ids::kEditUndo, ids::kEditRedo}) {
    const bool undo = id == ids::kEditUndo;
    QToolButton* b = ribbon_->AddTabRowButton(
        id, text(id), QIcon::fromTheme(undo ? QStringLiteral("edit-undo") : QStringLiteral("edit-redo"),
                                       style()->standardIcon(undo ? QStyle::SP_ArrowBack : QStyle::SP_ArrowForward)));
    b->setToolTip(ElementToolTipOf(lang, id));
    b->setEnabled(false);
  }
  // The keys of undo and redo, wherever the focus is in the window.
  const std::pair<int, QList<QKeySequence>> keys[] = {
      {ids::kEditUndo, {QKeySequence::Undo}},
      {ids::kEditRedo, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}}};
  for (const auto& [id, sequences] : keys) {
    auto* action = new QAction(this);
    action->setShortcuts(sequences);
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, [this, id = id] { view_->OnCommand(id); });
    addAction(action);
  }
  ribbon_->AddTabRowButton(ids::kLanguageSwitch, QString::fromUtf8("中/EN"));
  ribbon_->AddTabRowButton(ids::kAppAbout, QString(), style()->standardIcon(QStyle::SP_MessageBoxInformation));
  NameRibbonControls(*ribbon_, lang);

  connect(ribbon_, &RibbonBar::Command, view_, &CRV4470v13View::OnCommand);
  connect(ribbon_, &RibbonBar::CategoryChanged, view_, &CRV4470v13View::CategoryChanged);
  connect(ribbon_, &RibbonBar::MasterWheel, view_, &CRV4470v13View::MasterWheel);
  connect(ribbon_, &RibbonBar::RecentFileChosen, this, [this](const QString& path) { app_.OpenDocumentFile(path); });
}

void CMainFrame::RefreshRecentFiles() {
  if (ribbon_ == nullptr) return;
  ribbon_->SetRecentFiles(app_.Settings().RecentFiles(),
                          app_.Language().Pick("最近的文档(Last documents)", "Last documents(最近的文档)"));
}

void CMainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  SetCtrlId(bar, 59393);
  connectionPane_ = new CMyMFCRibbonStatusBarPane(ids::kPaneConnection,
                                                  QString::fromUtf8("USB:未连接") + QString(72, QLatin1Char(' ')), 52, bar);
  connectionPane_->setMaximumWidth(connectionPane_->minimumWidth());
  modePane_ = new CMyMFCRibbonStatusBarPane(ids::kPaneMode,
                                            QString::fromUtf8("当前模式：模式一") + QString(19, QLatin1Char(' ')), 97, bar);
  modePane_->setAlignment(Qt::AlignCenter);
  auto* separator = new QFrame(bar);
  separator->setFrameShape(QFrame::VLine);
  separator->setFrameShadow(QFrame::Sunken);
  bar->addWidget(connectionPane_);
  bar->addWidget(separator);
  bar->addWidget(modePane_, 1);
  bypass_ = new QCheckBox(QString::fromUtf8("均衡旁路"), bar);
  SetCtrlId(bypass_, ids::kEqBypass);
  connect(bypass_, &QCheckBox::clicked, this, [this] { view_->OnCommand(ids::kEqBypass); });
  resetEq_ = new QPushButton(QString::fromUtf8("重置均衡"), bar);
  SetCtrlId(resetEq_, ids::kEqReset);
  resetEq_->setFlat(true);
  connect(resetEq_, &QPushButton::clicked, this, [this] { view_->OnCommand(ids::kEqReset); });
  bar->addPermanentWidget(bypass_);
  bar->addPermanentWidget(resetEq_);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  core::Session& session = app_.Session();
  const UiLanguage& lang = app_.Language();
  if (session.Records().SettingsChanged()) {
    const auto answer = app_.Prompter().QuestionCancel(
        this, lang.Pick("保存?", "Save?"),
        lang.Pick("参数已改动，请问是否需要保存?\r\n提示：保存成电脑文件并同时保存至机器的当前模式",
                  "parameter value is changed, do you want save it ?"));
    if (answer == Prompts::Answer::Cancel) {
      event->ignore();
      return;
    }
    if (answer == Prompts::Answer::Yes) {
      const QString path = app_.Prompter().SaveFile(this, QStringLiteral("preset"), QStringLiteral("mode"),
                                                    QStringLiteral("Mode Files (*.mode)"));
      if (!path.isEmpty()) {
        view_->Modes().SaveToMode(session.Records().CurrentMode());
        // A save that failed keeps the window, and the changes, open.
        if (!view_->Modes().SaveModeFileAt(path)) {
          event->ignore();
          return;
        }
      }
    }
  }
  session.Disconnect(true);
  app_.MainWindowClosing();
  app_.Settings().Sync();
  event->accept();
}

}  // namespace ui
