#include "ui/app/app_icon.h"
#include "ui/app/main_view.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QIcon>
#include <QPushButton>
#include <QResizeEvent>
#include <QSystemTrayIcon>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <utility>

#include "core/link/plug_requests.h"
#include "core/presets/mode_file.h"
#include "core/session.h"
#include "core/trace.h"
#include "ui/app/command_ids.h"
#include "ui/app/dialog_ip.h"
#include "ui/app/eq_page.h"
#include "ui/app/main_frame.h"
#include "ui/app/master_controls.h"
#include "ui/app/page_registry.h"
#include "ui/app/prompts.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_texts.h"
#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_panel.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/app/rv4470v13_app.h"
#include "ui/app/status_pane.h"

namespace ui {

namespace {

const char* const kModeZh[] = {"一", "二", "三", "四"};
const char* const kModeDigits[] = {"1", "2", "3", "4"};

int ClampMode(int n) { return std::clamp(n, 0, 3); }

bool IsInputName(const QString& n) {
  return n == QLatin1String("Input") || n == QString::fromUtf8("输入控制");
}
bool IsOutputName(const QString& n) {
  return n == QLatin1String("Output") || n == QString::fromUtf8("输出调节");
}

}  // namespace

CRV4470v13View::CRV4470v13View(CRV4470v13App& app, CMainFrame& frame)
    : QWidget(&frame),
      app_(app),
      frame_(frame),
      session_(app.Session()),
      timer1_(new QTimer(this)),
      timer3_(new QTimer(this)),
      timer4_(new QTimer(this)),
      timer5_(new QTimer(this)),
      timer990_(new QTimer(this)),
      idle_(new QTimer(this)) {
  setObjectName(QStringLiteral("CRV4470v13View"));
  // View creation: the device records start from their defaults (the
  // session did that), then the language, the link options, the first
  // page and the texts.
  app_.Language().SetLanguage(app_.Settings().Language());
  app_.linkOptions = app_.Settings().ReadLinkOptions();
  ShowPage(ids::kMusicPage, 0);
  ApplyLanguage();

  timer1_->setSingleShot(true);
  connect(timer1_, &QTimer::timeout, this, &CRV4470v13View::StartupConnect);
  connect(timer3_, &QTimer::timeout, this, [this] {
    auto& state = session_.Link().State();
    // The plug dialog holds the polling off; a synchronisation that ends
    // while it is open must not turn it back on under the plug traffic.
    if (state.pollingAllowed.load() && state.open.load() && app_.statusPolling.load() &&
        app_.Dialog(ModelessDialog::SmartPlug) == nullptr) {
      session_.Link().SendCommandBytes({0x0E});
    }
  });
  connect(timer4_, &QTimer::timeout, this, [this] {
    if (!InMasterCategory()) return;
    const int pitch = session_.Params().Display().musicPitch;
    SetBoth(kPitch, pitch);
    SetPitchCaption(pitch);
  });
  timer5_->setSingleShot(true);
  connect(timer5_, &QTimer::timeout, this, [this] {
    timer5_->stop();
    app_.ShowWaitDialog(plugWait_.text, plugWait_.code, plugWait_.node, plugWait_.value);
  });
  timer990_->setSingleShot(true);
  connect(timer990_, &QTimer::timeout, this, [this] {
    if (tray_ != nullptr) tray_->hide();
  });
  connect(idle_, &QTimer::timeout, this, &CRV4470v13View::UpdateStatus);
}

CRV4470v13View::~CRV4470v13View() = default;

void CRV4470v13View::FrameReady() {
  UpdateStatus();
  idle_->start(200);
  if (app_.StartOptions().startUsbAttempt) timer1_->start(250);
}

RibbonBar& CRV4470v13View::Ribbon() { return frame_.Ribbon(); }

bool CRV4470v13View::InMasterCategory() const {
  const QString n = frame_.Ribbon().ActiveCategoryName();
  return IsInputName(n) || IsOutputName(n);
}

bool CRV4470v13View::OutputActive() const { return IsOutputName(frame_.Ribbon().ActiveCategoryName()); }

// ---- Pages

void CRV4470v13View::ShowPage(int dialogId, int sub) {
  const PageFactory* factory = app_.Pages().Find(dialogId);
  if (page_ && pageId_ == dialogId) {
    if (dialogId == ids::kMusicPage) app_.micPageSelection = sub;
    if (factory != nullptr && factory->reselect) factory->reselect(page_, sub);
    return;
  }
  if (page_) {
    delete page_.data();
    page_ = nullptr;
    pageId_ = -1;
  }
  if (factory == nullptr || !factory->create) return;  // the page area stays empty
  if (dialogId == ids::kMusicPage) app_.micPageSelection = sub;
  QWidget* page = factory->create(this, sub);
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
  if (IsInputName(name)) {
    ShowPage(ids::kMusicPage, 0);
  } else if (IsOutputName(name)) {
    ShowPage(ids::kOutputPage, app_.outputPageChannel);
  } else {
    return;
  }
  // The pitch caption of the category just shown, now rather than at the
  // next pitch poll.
  SetPitchCaption(session_.Params().Display().musicPitch);
}

// ---- Commands

void CRV4470v13View::OnCommand(int id) {
  for (int m = 0; m < kMasterCount; ++m) {
    const MasterControl& c = kMasterControls[static_cast<std::size_t>(m)];
    if (id == c.sliderIn || id == c.sliderOut) {
      MasterHandler(m);
      return;
    }
    if (c.muteParam >= 0 && (id == c.muteIn || id == c.muteOut)) {
      ToggleMute(m);
      return;
    }
    if (id == c.labelIn || id == c.labelOut) return;  // labels do nothing
  }
  if (id >= ids::kRestoreModeFirst && id < ids::kRestoreModeFirst + 4) {
    ToDialog(ModelessDialog::MachineSettings, &ModelessFactory::command, id);
    return;
  }
  if (id >= ids::kLoadModeFirst && id < ids::kLoadModeFirst + 4) {
    LoadMode(id - ids::kLoadModeFirst);
    return;
  }
  if (id >= ids::kStoreModeFirst && id < ids::kStoreModeFirst + 4) {
    StoreMode(id - ids::kStoreModeFirst);
    return;
  }
  switch (id) {
    case ids::kLanguageSwitch: SwitchLanguage(); break;
    case ids::kConnectIp: app_.OpenConnectDialog(); break;
    case ids::kLoadFileIn:
    case ids::kLoadFileOut:
    case ids::kFileOpen: LoadModeFileCommand(); break;
    case ids::kSaveFileIn:
    case ids::kSaveFileOut:
    case ids::kFileSave: SaveModeFileCommand(); break;
    case ids::kMachineReset: MachineReset(); break;
    case ids::kAppAbout: app_.RunAbout(); break;
    case ids::kAppExit: frame_.close(); break;
    case ids::kEqBypass:
      if (auto* eq = dynamic_cast<EqPage*>(page_.data())) eq->ToggleEqBypass();
      break;
    case ids::kEqReset: ResetEq(); break;
    case ids::kSmartPlugs:
      if (!session_.Link().IsOpen()) {
        app_.ShowNotice(app_.Language().Pick("请先连接机器", "Please connect device"), 1100);
      }
      app_.OpenDialog(ModelessDialog::SmartPlug, ids::kSmartPlugDialog);
      break;
    case ids::kFeatures: app_.OpenDialog(ModelessDialog::Loudness, ids::kLoudnessDialog); break;
    case ids::kAutoSub: app_.OpenDialog(ModelessDialog::AutoSub, ids::kAutoSubDialog); break;
    case ids::kRemoteLearning:
      if (session_.Link().IsOpen()) app_.OpenDialog(ModelessDialog::DeviceRemote, ids::kDeviceRemoteDialog);
      break;
    case ids::kInputSource: OpenInputSource(); break;
    case ids::kLoadModeIn:
    case ids::kLoadModeOut:
    case ids::kSaveModeIn:
    case ids::kSaveModeOut:
    default: break;  // the menus do the work; dialogs of later pages
  }
}

int CRV4470v13View::ReadPos(int master) {
  const MasterControl& c = kMasterControls[static_cast<std::size_t>(master)];
  auto* in = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(c.sliderIn));
  auto* out = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(c.sliderOut));
  auto* from = OutputActive() ? out : in;
  return from != nullptr ? from->Pos() : 0;
}

void CRV4470v13View::SetBoth(int master, int value) {
  const MasterControl& c = kMasterControls[static_cast<std::size_t>(master)];
  for (int id : {c.sliderIn, c.sliderOut}) {
    if (auto* s = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(id))) s->SetPos(value);
  }
}

void CRV4470v13View::SetLabels(int master, int value, bool retextFormat) {
  const MasterControl& c = kMasterControls[static_cast<std::size_t>(master)];
  const UiLanguage& lang = app_.Language();
  QString prefix = lang.Pick(c.prefixZh, c.prefixEn);
  if (retextFormat && master == kReverb && !lang.English()) prefix = QString::fromUtf8("混响音量:");
  const char* format = (master == kNoiseGate && lang.English()) ? "%7d" : "%3d";
  const QString text = prefix + QString::asprintf(format, value);
  for (int id : {c.labelIn, c.labelOut}) {
    if (auto* b = qobject_cast<QToolButton*>(Ribbon().Element(id))) b->setText(text);
  }
}

void CRV4470v13View::SetPitchCaption(int value) {
  RibbonCategory* category = Ribbon().Category(Ribbon().ActiveCategory());
  if (category == nullptr || category->Panel(kPitchPanel) == nullptr) return;
  const MasterControl& c = kMasterControls[kPitch];
  category->Panel(kPitchPanel)
      ->SetName(app_.Language().Pick(c.prefixZh, c.prefixEn) + QString::asprintf("%+d", value));
}

void CRV4470v13View::MasterHandler(int master) {
  const MasterControl& c = kMasterControls[static_cast<std::size_t>(master)];
  const UiLanguage& lang = app_.Language();
  auto& params = session_.Params();
  if (master == kPitch) {
    if (!InMasterCategory()) return;
    const int p = ReadPos(master);
    if (session_.Link().IsOpen()) timer4_->start(2000);
    params.SetMusicPitch(p);
    const core::params::Word word = static_cast<core::params::Word>(p + 5);
    params.SetParamBlock(c.module, c.param, std::span<const core::params::Word>(&word, 1));
    SetBoth(master, p);
    SetPitchCaption(p);
    return;
  }
  int p = ReadPos(master);
  if (master == kMic || master == kMusic) {
    const auto settings = session_.Records().DeviceSettings();
    const int maximum = master == kMic ? settings[5] : settings[6];
    if (p > maximum) {
      p = maximum;
      app_.ShowNotice(master == kMic ? lang.Pick("不能超过最大话筒音量!", "Mic vol can't over max value!")
                                     : lang.Pick("不能超过最大音乐音量!", "Music vol can't over max value!"),
                      1100);
    }
  }
  SetBoth(master, p);
  params.SetParam(c.module, c.param, p);
  if (c.muteParam >= 0 && master != kEffect && params.Mirror(c.module, c.muteParam).AsInt() == 0) {
    app_.ShowNotice(lang.Pick("当前是静音状态", "vol is mute"), 1100);
  }
  SetLabels(master, p);
}

void CRV4470v13View::ToggleMute(int master) {
  const MasterControl& c = kMasterControls[static_cast<std::size_t>(master)];
  auto& params = session_.Params();
  const int v = params.Mirror(c.module, c.muteParam).AsInt() == 0 ? 100 : 0;
  params.SetParam(c.module, c.muteParam, v);
  UpdateStatus();
}

void CRV4470v13View::MasterWheel(int master, int delta) {
  if (!InMasterCategory() || master < 0 || master >= kMasterCount) return;
  const MasterControl& c = kMasterControls[static_cast<std::size_t>(master)];
  const int step = delta > 0 ? 1 : -1;
  for (int id : {c.sliderIn, c.sliderOut}) {
    if (auto* s = qobject_cast<CMFCRibbonStepSlider*>(Ribbon().Element(id))) s->StepBy(step);
  }
}

void CRV4470v13View::RefreshMasterControls() {
  const auto& params = session_.Params();
  for (int m = 0; m <= kNoiseGate; ++m) {
    const MasterControl& c = kMasterControls[static_cast<std::size_t>(m)];
    const int v = params.Mirror(c.module, c.param).AsInt();
    SetBoth(m, v);
    SetLabels(m, v);
  }
  if (InMasterCategory()) {
    const int pitch = params.Display().musicPitch;
    SetBoth(kPitch, pitch);
    SetPitchCaption(pitch);
  }
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
  if (page_) {
    if (const PageFactory* f = app_.Pages().Find(pageId_); f != nullptr && f->retext) f->retext(page_);
  }
}

void CRV4470v13View::RetextRibbon() {
  if (frame_.findChild<RibbonBar*>() == nullptr) return;
  RibbonBar& ribbon = Ribbon();
  if (ribbon.Element(32832) == nullptr) return;
  const UiLanguage& lang = app_.Language();
  const int pitch = session_.Params().Display().musicPitch;
  for (int i = 0; i < ribbon.CategoryCount(); ++i) {
    const QString name = ribbon.CategoryName(i);
    const QString caption = lang.Pick("音乐变调", "Music Pitch") + QString::asprintf("%+d", pitch);
    QStringList panels;
    if (!lang.English() && (name == QLatin1String("Input") || name == QLatin1String("Output"))) {
      ribbon.SetCategoryName(i, QString::fromUtf8(name == QLatin1String("Input") ? "输入控制" : "输出调节"));
      panels = {QString::fromUtf8("话筒音量"), QString::fromUtf8("效果总音量"), QString::fromUtf8("混响音量"),
                QString::fromUtf8("回声音量"), QString::fromUtf8("音乐音量"), caption,
                QString::fromUtf8("调用"), QString::fromUtf8("保存")};
    } else if (lang.English() && (name == QString::fromUtf8("输入控制") || name == QString::fromUtf8("输出调节"))) {
      ribbon.SetCategoryName(i, name == QString::fromUtf8("输入控制") ? QStringLiteral("Input")
                                                                     : QStringLiteral("Output"));
      panels = {QStringLiteral("Mic  Vol"), QStringLiteral("Effect Vol"), QStringLiteral("Reverb Vol"),
                QStringLiteral("Echo Vol"), QStringLiteral("Music Vol"), caption,
                QStringLiteral("Load"), QStringLiteral("Save")};
    }
    RibbonCategory* category = ribbon.Category(i);
    for (int p = 0; p < panels.size() && category != nullptr; ++p) {
      if (RibbonPanel* panel = category->Panel(p)) panel->SetName(panels[p]);
    }
  }
  const auto& params = session_.Params();
  for (int m = 0; m <= kNoiseGate; ++m) {
    const MasterControl& c = kMasterControls[static_cast<std::size_t>(m)];
    SetLabels(m, params.Mirror(c.module, c.param).AsInt(), true);
    for (int id : {c.muteIn, c.muteOut}) {
      if (auto* box = qobject_cast<QCheckBox*>(ribbon.Element(id))) box->setText(lang.Pick("静音", "Mute"));
    }
  }
  for (const ElementText& t : kElementTexts) {
    const QString text = lang.Pick(t.zh, t.en);
    if (QAction* a = ribbon.Action(t.id)) {
      a->setText(text);
    } else if (auto* b = qobject_cast<QToolButton*>(ribbon.Element(t.id))) {
      b->setText(text);
    }
  }
  frame_.RefreshRecentFiles();
  ribbon.updateGeometry();
  ribbon.update();
}

// ---- Status bar

void CRV4470v13View::UpdateStatus() {
  if (frame_.findChild<RibbonBar*>() == nullptr) return;
  const UiLanguage& lang = app_.Language();
  auto& pane = frame_.ConnectionPane();
  if (session_.Link().IsOpen()) {
    pane.setText(session_.Link().State().networkMode.load() ? lang.Pick("IP：已连接", "IP:Connected")
                                                           : lang.Pick("USB：已连接", "USB:Connected"));
    pane.SetTextColor(QColor(0, 150, 0));
  } else {
    pane.setText(lang.Pick("未连接", "Disconnected"));
    pane.SetTextColor(QColor(220, 0, 0));
  }
  const int mode = ClampMode(session_.Records().CurrentMode());
  frame_.ModePane().setText(lang.Pick("当前模式:", "Current Mode:") + QStringLiteral("M%1").arg(mode + 1));

  const auto& params = session_.Params();
  for (int m = 0; m < kMasterCount; ++m) {
    const MasterControl& c = kMasterControls[static_cast<std::size_t>(m)];
    if (c.muteParam < 0) continue;
    const bool muted = params.Mirror(c.module, c.muteParam).AsInt() == 0;
    for (int id : {c.muteIn, c.muteOut}) {
      if (auto* box = qobject_cast<QCheckBox*>(Ribbon().Element(id))) box->setChecked(muted);
    }
  }
  for (int i = 0; i < 4; ++i) {
    for (int base : {ids::kLoadModeFirst, ids::kStoreModeFirst}) {
      for (QAction* a : Ribbon().Actions(base + i)) {  // the menus of both categories
        a->setCheckable(true);
        a->setChecked(i == mode);
      }
    }
  }
  auto* eq = dynamic_cast<EqPage*>(page_.data());
  frame_.BypassBox().setEnabled(eq != nullptr);
  frame_.BypassBox().setChecked(eq != nullptr && eq->EqBypassed());
  frame_.BypassBox().setText(lang.Pick("均衡旁路", "Bypass"));
  frame_.ResetEqButton().setEnabled(eq != nullptr);
  frame_.ResetEqButton().setText(lang.Pick("重置均衡", "Reset EQ"));

  // A dialog button works when its dialog exists in this build.
  const bool inputSet = session_.Records().Board()[0] == 0x55;
  const struct {
    int id;
    bool enabled;
  } buttons[] = {
      {ids::kFeatures, app_.CanOpen(ModelessDialog::Loudness)},
      {ids::kInputSource, app_.CanOpen(inputSet ? ModelessDialog::InputSourceSettings : ModelessDialog::InputSource)},
      {ids::kRemoteLearning, app_.CanOpen(ModelessDialog::DeviceRemote) && session_.Link().IsOpen()},
  };
  for (const auto& b : buttons) {
    if (QWidget* w = Ribbon().Element(b.id)) w->setEnabled(b.enabled);
  }
}

void CRV4470v13View::ResetEq() {
  auto* eq = dynamic_cast<EqPage*>(page_.data());
  if (eq == nullptr) return;
  if (app_.Prompter().Question(this, QString::fromUtf8("提示"),
                               app_.Language().Pick("您确定重置当前均衡吗?", "Are you sure reset the EQ?"))) {
    eq->ResetShownEq();
  }
}

// ---- Modes and files

void CRV4470v13View::LoadMode(int n) {
  if (!session_.Link().IsOpen()) return;
  const UiLanguage& lang = app_.Language();
  const int m = ClampMode(n);
  if (session_.Records().SettingsChanged()) {
    const QString text = lang.English()
                             ? QStringLiteral("Setting changed ! Are you sure load mode%1?").arg(kModeDigits[m])
                             : QString::fromUtf8("参数已更改，确定要直接载入模式%1?").arg(QString::fromUtf8(kModeZh[m]));
    if (!app_.Prompter().Question(this, lang.Pick("信息", "Information"), text)) return;
  }
  session_.Records().ClearStatus();
  session_.Link().State().pollingAllowed = false;
  QThread::msleep(50);
  session_.Records().SetCurrentMode(m);
  session_.Link().SendCommandBytes({0x05, static_cast<std::uint8_t>(m)});
  app_.ShowSyncDialog(QString());
}

void CRV4470v13View::StoreMode(int n) {
  if (!session_.Link().IsOpen()) return;
  const UiLanguage& lang = app_.Language();
  const int m = ClampMode(n);
  const QString text = lang.English()
                           ? QStringLiteral("Save to machine mode %1?").arg(kModeDigits[m])
                           : QString::fromUtf8("确定要保存至机器模式%1?").arg(QString::fromUtf8(kModeZh[m]));
  if (!app_.Prompter().Question(this, lang.Pick("信息", "Information"), text)) return;
  SaveToMode(m);
  QTimer::singleShot(500, this, [this, m] {
    const UiLanguage& l = app_.Language();
    app_.ShowNotice(l.English() ? QStringLiteral("Saving Mode %1 ……").arg(kModeDigits[m])
                                : QString::fromUtf8("正在储存模式%1,请稍等").arg(QString::fromUtf8(kModeZh[m])),
                    2500);
  });
}

void CRV4470v13View::SaveToMode(int mode) { session_.StoreMode(mode); }

void CRV4470v13View::LoadModeFileCommand() {
  if (!session_.Link().IsOpen()) {
    app_.ShowNotice(app_.Language().Pick("请先连接设备!", "Please connect device!"), 1100);
    return;
  }
  const QString path = app_.Prompter().OpenFile(this, QStringLiteral("Mode Files (*.mode)"));
  if (path.isEmpty()) return;
  LoadModeFileAt(path);
}

void CRV4470v13View::LoadModeFileAt(const QString& path) {
  const auto result = core::presets::LoadModeFile(session_, path.toStdString());
  if (result.code != core::presets::FileResult::Code::Ok) {
    app_.Prompter().Message(QApplication::activeWindow(), QStringLiteral("Info"),
                            QStringLiteral("Mode file version not support!"), Prompts::Icon::Information);
    return;
  }
  // Only a file that was taken is stored into the device mode its name
  // gives: a refused one must not leave its slot to the next read-all.
  app_.pendingModeSlot = core::presets::ModeSlotFromFileName(path.toStdString());
  app_.Settings().AddRecentFile(path);
  frame_.RefreshRecentFiles();
  session_.Sync().StartWriteAll();
  app_.ShowSyncDialog(QString());
}

void CRV4470v13View::OfferCommandLineFile(const QString& path) {
  // Asked, not pushed: the processor's settings are replaced only when the
  // user says so, and a file named m1..m4 overwrites that device mode too.
  const UiLanguage& lang = app_.Language();
  const QString name = QFileInfo(path).fileName();
  const int slot = core::presets::ModeSlotFromFileName(path.toStdString());
  QString text = lang.English() ? QStringLiteral("Write the mode file \"%1\" into the processor?").arg(name)
                                : QString::fromUtf8("要把模式文件“%1”写入机器吗？").arg(name);
  if (slot >= 0) {
    text += lang.English()
                ? QStringLiteral("\nIt will also be stored into machine mode M%1, replacing what M%1 holds.").arg(slot + 1)
                : QString::fromUtf8("\n它还会保存到机器模式M%1，覆盖M%1原有的设置。").arg(slot + 1);
  }
  if (!app_.Prompter().Question(this, lang.Pick("信息", "Information"), text)) return;
  app_.OpenDocumentFile(path);
}

void CRV4470v13View::SaveModeFileCommand() {
  if (!session_.Link().IsOpen()) {
    app_.ShowNotice(app_.Language().Pick("请先连接设备!", "Please connect device!"), 1100);
    return;
  }
  const QString path = app_.Prompter().SaveFile(this, QStringLiteral("name"), QStringLiteral("mode"),
                                                QStringLiteral("Mode Files (*.mode)"));
  if (path.isEmpty()) return;
  SaveToMode(session_.Records().CurrentMode());
  SaveModeFileAt(path);
}

void CRV4470v13View::SaveModeFileAt(const QString& path) {
  const auto result = core::presets::SaveModeFile(session_, path.toStdString());
  if (result.code == core::presets::FileResult::Code::Ok) {
    app_.Settings().AddRecentFile(path);
    frame_.RefreshRecentFiles();
  } else {
    core::Trace("mode file not written: " + path.toStdString());
  }
}

void CRV4470v13View::MachineReset() {
  if (!session_.Link().IsOpen()) return;
  const UiLanguage& lang = app_.Language();
  if (!app_.Prompter().Question(this, QString::fromUtf8("提示"),
                                lang.Pick("您确定要将机器复位吗? \n机器复位后请手动重启机器.",
                                          "Are you sure reset machine? "))) {
    return;
  }
  session_.Link().SendCommandBytes({0x68, 0xAA});
  app_.linkOptions = LinkOptions::Defaults();
  app_.Settings().WriteLinkOptions(app_.linkOptions);
  app_.ShowNotice(lang.Pick("请手动重启……", "Please restart……"), 10000);
}

// ---- Connection

void CRV4470v13View::StartupConnect() {
  timer1_->stop();
  if (session_.Link().IsOpen()) return;
  app_.hostBusy = false;
  if (session_.Connect() != 1) {
    if (!session_.Link().State().networkMode.load() &&
        session_.Usb().LastOpenResult() == core::link::UsbOpenResult::PermissionDenied) {
      NoticeUsbPermission();
    }
    return;
  }
  AfterConnect(5000);
}

void CRV4470v13View::NoticeUsbPermission() {
  if (permissionNoticeShown_) return;
  permissionNoticeShown_ = true;
  app_.Prompter().Message(
      this, app_.Language().Pick("信息", "Information"),
      app_.Language().Pick("找到了USB设备，但没有权限打开它。请以管理员身份运行：\n"
                           "dsptunectl udev-rules | sudo tee /etc/udev/rules.d/70-dsptuner.rules\n"
                           "然后重新插入设备。",
                           "A USB processor is present but may not be opened (no permission). Run:\n"
                           "dsptunectl udev-rules | sudo tee /etc/udev/rules.d/70-dsptuner.rules\n"
                           "then plug the device in again."),
      Prompts::Icon::Warning);
}

int CRV4470v13View::ConnectNetwork(const QString& address, int port) {
  auto& state = session_.Link().State();
  if (state.open.load() && !state.networkMode.load()) session_.Usb().UsbClose(false);
  app_.hostBusy = false;
  state.networkMode = true;
  session_.SetTcpTarget(address.toStdString(), static_cast<std::uint16_t>(port));
  const int r = session_.Connect();
  if (r == 1) QTimer::singleShot(0, this, [this] { AfterConnect(5000); });
  return r;
}

void CRV4470v13View::AfterConnect(int balloonMs) {
  const UiLanguage& lang = app_.Language();
  // A host that already said it serves another client keeps its notice.
  if (!app_.hostBusy) {
    ShowTrayNotice(lang.Pick("信息", "Information"), lang.Pick("设备已连接，同步中……", "Device connected!"),
                   balloonMs);
  }
  timer3_->start(500);
  timer4_->start(2000);
  if (!app_.hostBusy) {
    session_.Sync().StartReadAll();
    if (!app_.hostBusy) app_.ShowSyncDialog(QString());
  }
}

void CRV4470v13View::StopStatusTimers() {
  timer3_->stop();
  timer4_->stop();
}

bool CRV4470v13View::Timer3Active() const { return timer3_->isActive(); }
bool CRV4470v13View::Timer4Active() const { return timer4_->isActive(); }

void CRV4470v13View::OnSyncDone(int afterWrite) {
  app_.CloseSyncDialog();
  const auto identity = session_.Records().Identity();
  // The slot of a loaded mode file is for the write-all that pushed it; a
  // read-all ending instead means the processor holds something else.
  const int slot = std::exchange(app_.pendingModeSlot, -1);
  if (identity.ProtocolVersion() == core::link::kProtocolVersion) {
    if (slot != -1 && afterWrite != 0) session_.NameAndStoreMode(slot);
    RefreshAll();
    if (const QString file = app_.TakePendingOpen(); !file.isEmpty()) {
      QTimer::singleShot(0, this, [this, file] { OfferCommandLineFile(file); });
    }
    return;
  }
  const QString text = QString::fromUtf8("E:%1_%2 通信版本不匹配!")
                           .arg(QString::fromLatin1(identity.ModelName()))
                           .arg(identity.ProtocolVersion() & 0xFF, 2, 16, QLatin1Char('0'));
  session_.Disconnect(true);
  StopStatusTimers();
  UpdateStatus();
  if (errorBoxAllowed_) {
    errorBoxAllowed_ = false;
    app_.Prompter().Message(this, QString::fromUtf8("错误"), text, Prompts::Icon::Error);
    errorBoxAllowed_ = true;
  }
}

void CRV4470v13View::RefreshAll() {
  RefreshMasterControls();
  if (page_) {
    if (const PageFactory* f = app_.Pages().Find(pageId_); f != nullptr && f->refresh) f->refresh(page_);
  }
  for (ModelessDialog which : {ModelessDialog::MachineSettings, ModelessDialog::AutoSub,
                               ModelessDialog::InputSource, ModelessDialog::InputSourceSettings,
                               ModelessDialog::Loudness}) {
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

void CRV4470v13View::OnLinkLost() {
  StopStatusTimers();
  UpdateStatus();
  app_.Prompter().Message(this, QString::fromUtf8(CRV4470v13App::kTitle),
                          app_.Language().Pick("主机超时，网络断开!", "Host timeout,Disconnected!"),
                          Prompts::Icon::Warning);
}

void CRV4470v13View::OnHostBusy() {
  app_.CloseSyncDialog();
  app_.hostBusy = true;
  app_.ShowNotice(app_.Language().Pick("主机已连接其他设备，请先断开!", "Host is connected!"), 3000);
}

void CRV4470v13View::OnRemoteKey(std::uint8_t code) {
  ToDialog(ModelessDialog::DeviceRemote, &ModelessFactory::remoteKey, code);
}

void CRV4470v13View::OnDeviceError(std::uint8_t code, std::uint8_t command1, std::uint8_t command2) {
  app_.Prompter().Message(nullptr, QStringLiteral("Error"),
                          QString::asprintf("参数错误,代码0x:%02X,指令1:0x%02X,指令2:0x%02X ", code, command1,
                                            command2),
                          Prompts::Icon::Error);
}

void CRV4470v13View::OnDeviceArrived(const std::string& /*path*/) {
  if (session_.Link().IsOpen()) return;
  // A network host that said it serves someone else says nothing about
  // this processor.
  app_.hostBusy = false;
  session_.Link().State().networkMode = false;
  if (session_.Connect() != 1) {
    if (session_.Usb().LastOpenResult() == core::link::UsbOpenResult::PermissionDenied) NoticeUsbPermission();
    return;
  }
  CloseModelessDialogs();
  AfterConnect(4000);
}

void CRV4470v13View::OnDeviceRemoved(const std::string& path) {
  auto& state = session_.Link().State();
  if (state.networkMode.load() && state.open.load()) return;
  if (!session_.HandleDeviceRemoved(path)) return;
  StopStatusTimers();
  app_.CloseSyncDialog();
  const UiLanguage& lang = app_.Language();
  ShowTrayNotice(lang.Pick("信息", "Information"), lang.Pick("设备已断开!", "Device Disconnected!"), 5000);
  UpdateStatus();
}

void CRV4470v13View::OnPlugProgress(int message, int wParam, long lParam) {
  ToDialog(ModelessDialog::SmartPlug, &ModelessFactory::plugMessage, message, wParam, lParam);
}

// ---- Notices and plug commands

void CRV4470v13View::ShowTrayNotice(const QString& title, const QString& text, int durationMs) {
  lastTrayText_ = text;
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    if (tray_ == nullptr) {
      tray_ = new QSystemTrayIcon(AppIcon(), this);
      connect(tray_, &QSystemTrayIcon::activated, tray_, &QSystemTrayIcon::hide);
    }
    tray_->show();
    tray_->showMessage(title, text, QSystemTrayIcon::Information, durationMs);
    timer990_->start(durationMs);
  } else {
    app_.ShowNotice(text, durationMs);
  }
}

void CRV4470v13View::StartPlugCommand(const QString& text, std::uint8_t code, std::uint8_t node,
                                      std::uint8_t value, int delayMs) {
  plugWait_ = {text, code, node, value};
  using namespace core::link;
  if (code == 0x13 && node != 0) {
    SendPlugRequest(session_.Link(), SetNodeValueRequest(node, value));
  } else if (code == kStartInclusionRequest[0]) {
    SendPlugRequest(session_.Link(), kStartInclusionRequest);
  } else if (code == kStartExclusionRequest[0]) {
    SendPlugRequest(session_.Link(), kStartExclusionRequest);
  }
  timer5_->start(delayMs);
}

void CRV4470v13View::ReplacePlugWaitText(const QString& text) {
  plugWait_.text = text;
  timer5_->stop();
}

void CRV4470v13View::CancelPlugWait() { timer5_->stop(); }

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
  } table[] = {{"NR1.5", 527}, {"NR240", 528},    {"NR230", 538},  {"B470", 538},   {"NR580", 529},
               {"NR620", 530}, {"HM620", 532},    {"5P620II", 534}, {"5P620III", 537}, {"B580II", 535},
               {"LT1.5", 536}, {"LT6.2", 536},    {"LT6.2II", 536}, {"NR3900", 536}, {"W2310", 539},
               {"RV2310", 540}, {"ZR07", 541}};
  for (const auto& row : table) {
    if (model == row.model) return row.id;
  }
  return 512;
}

}  // namespace ui
