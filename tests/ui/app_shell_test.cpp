// The application shell offscreen, against the in-process simulator.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QPointer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTabBar>
#include <QTimer>
#include <QProcess>
#include <QResizeEvent>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "app_test_support.h"
#include "core/link/plug_requests.h"
#include "core/params/value_codec.h"
#include "core/presets/mode_file.h"
#include "ui/app/command_ids.h"
#include "ui/app/dialog_ip.h"
#include "ui/app/info_dlg.h"
#include "ui/app/wait_dlg.h"
#include "ui/app/language_file.h"
#include "ui/app/master_controls.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_panel.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/app/single_instance.h"
#include "ui/app/status_pane.h"
#include "ui/app/ui_language.h"
#include "ui/controls/ctrl_id.h"

using apptest::AppRig;

namespace {

ui::CMFCRibbonStepSlider* Slider(AppRig& rig, int id) {
  return qobject_cast<ui::CMFCRibbonStepSlider*>(rig.Frame().Ribbon().Element(id));
}
QString LabelText(AppRig& rig, int id) {
  auto* b = qobject_cast<QToolButton*>(rig.Frame().Ribbon().Element(id));
  return b != nullptr ? b->text() : QString();
}
QCheckBox* Box(AppRig& rig, int id) { return qobject_cast<QCheckBox*>(rig.Frame().Ribbon().Element(id)); }
std::uint32_t PercentWord(int v) { return *core::params::EncodeValue(core::params::ValueKind::Percent, v); }
std::uint32_t GateWord(int v) { return *core::params::EncodeValue(core::params::ValueKind::TenThousandths, v); }
QString NoticeText(AppRig& rig) { return rig.app->Notice() ? rig.app->Notice()->Text() : QString(); }

// Modeless dialogs that say what is done to them.
struct FakeDialogs {
  struct Kind {
    ui::ModelessDialog which;
    const char* name;
  };
  static constexpr Kind kKinds[] = {
      {ui::ModelessDialog::MachineSettings, "settings"}, {ui::ModelessDialog::AutoSub, "autosub"},
      {ui::ModelessDialog::InputSource, "input"},        {ui::ModelessDialog::InputSourceSettings, "inputset"},
      {ui::ModelessDialog::DeviceRemote, "remote"},      {ui::ModelessDialog::SmartPlug, "plug"},
      {ui::ModelessDialog::Loudness, "loudness"},
  };
  void RegisterAll(ui::PageRegistry& registry) {
    for (const Kind& k : kKinds) {
      const QString name = QString::fromLatin1(k.name);
      ui::ModelessFactory f;
      f.create = [this, name](ui::CRV4470v13App&, int templateId) -> QWidget* {
        log << QStringLiteral("create %1 %2").arg(name).arg(templateId);
        auto* d = new QDialog;
        d->setObjectName(name);
        return d;
      };
      f.retext = [this, name](QWidget*) { log << QStringLiteral("retext ") + name; };
      f.refresh = [this, name](QWidget*) { log << QStringLiteral("refresh ") + name; };
      f.close = [this, name](QWidget* d) {
        log << QStringLiteral("close ") + name;
        d->close();
      };
      f.command = [this, name](QWidget*, int id) { log << QStringLiteral("command %1 %2").arg(name).arg(id); };
      f.remoteKey = [this, name](QWidget*, std::uint8_t code) {
        log << QStringLiteral("key %1 %2").arg(name).arg(code);
      };
      f.plugMessage = [this, name](QWidget*, int m, int w, long l) {
        log << QStringLiteral("plug %1 %2 %3 %4").arg(name).arg(m).arg(w).arg(l);
      };
      registry.RegisterDialog(k.which, std::move(f));
    }
  }
  // The entries starting with `what`, in order, and the log emptied.
  QStringList Take(const QString& what = QString()) {
    QStringList out;
    for (const QString& e : log) {
      if (e.startsWith(what)) out << e;
    }
    log.clear();
    return out;
  }
  QStringList log;
};

}  // namespace

class AppShellTest : public QObject {
  Q_OBJECT
 private slots:
  void settingsDefaultsOnEmptyStore();
  void linkOptionsBlob_data();
  void linkOptionsBlob();
  void recentFilesKeepTen();
  void languageFileParse_data();
  void languageFileParse();
  void dialogTextsFollowLanguage_data();
  void dialogTextsFollowLanguage();
  void startSyncAndRefresh();
  void sliderMovesBothCopiesAndSends_data();
  void sliderMovesBothCopiesAndSends();
  void micVolumeClampedToMaximum();
  void muteBoxesToggle();
  void pitchWords_data();
  void pitchWords();
  void noiseGateLabelInEnglish();
  void trackClickStepsByOne();
  void wheelOverPanelMovesBothCopies();
  void loadModeWithoutChanges();
  void loadModeWithChangesAsks_data();
  void loadModeWithChangesAsks();
  void storeModeTwo_data();
  void storeModeTwo();
  void modeFileSlotRule();
  void protocolMismatchBoxOnceAndLinkClosed();
  void linkLostNotice();
  void hostBusyNotice();
  void languageSwitchRetextsRibbon();
  void noticeReplacesText();
  void singleInstanceTakesOverStaleMarker();
  void secondProcessActivatesFirst();
  void pageAreaNeverBelowMinimum();
  void commandsNeedConnection();
  void closePrompt_data();
  void closePrompt();
  void openDocumentFile();
  void commandLineFileWaitsForSync();
  void usbStartupArrivalAndRemoval();
  void usbPermissionSaidOnce();
  void f7OpensMachineSettings();
  void modelessDialogsOpenOnceAndComeBackAfterClosing();
  void modelessDialogsRetextRefreshAndCloseInOrder();
  void syncDialogTimeOut();
  void waitDialog_data();
  void waitDialog();
  void plugCommandSendsItsRequestAndStopsOnCancel();
};

void AppShellTest::settingsDefaultsOnEmptyStore() {
  QTemporaryDir dir;
  ui::AppSettings s(dir.filePath(QStringLiteral("empty.ini")));
  QCOMPARE(s.Language(), 0);
  QCOMPARE(s.ApplicationLook(), 215);
  QCOMPARE(s.ReadLinkOptions(), ui::LinkOptions::Defaults());
  const std::array<std::uint8_t, 8> expected{1, 1, 1, 0, 0, 0, 0, 0};
  QCOMPARE(s.ReadLinkOptions().bytes, expected);
  QCOMPARE(s.IpPort(), 30303);
  QVERIFY(s.IpAddress().isEmpty());
  QVERIFY(s.RecentFiles().isEmpty());
  // The defaults are not written back.
  QVERIFY(!s.Store().contains(QStringLiteral("Workspace/QtOption")));
}

void AppShellTest::linkOptionsBlob_data() {
  QTest::addColumn<QByteArray>("stored");
  QTest::addColumn<QByteArray>("read");
  const QByteArray defaults("\x01\x01\x01\x00\x00\x00\x00\x00", 8);
  QTest::newRow("all off") << QByteArray(8, '\0') << QByteArray(8, '\0');
  QTest::newRow("front off") << QByteArray("\x00\x01\x01\x00\x00\x00\x00\x00", 8)
                             << QByteArray("\x00\x01\x01\x00\x00\x00\x00\x00", 8);
  QTest::newRow("longer blob: first 8 bytes") << QByteArray("\x01\x00\x01\x00\x00\x00\x00\x00\x07\x07", 10)
                                              << QByteArray("\x01\x00\x01\x00\x00\x00\x00\x00", 8);
  QTest::newRow("short blob: defaults") << QByteArray("\x00\x00", 2) << defaults;
}

void AppShellTest::linkOptionsBlob() {
  QFETCH(QByteArray, stored);
  QFETCH(QByteArray, read);
  QTemporaryDir dir;
  ui::AppSettings s(dir.filePath(QStringLiteral("s.ini")));
  s.Store().setValue(QStringLiteral("Workspace/QtOption"), stored);
  const ui::LinkOptions o = s.ReadLinkOptions();
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(o.bytes.data()), 8), read);
  // A write stores exactly 8 bytes.
  QVERIFY(s.WriteLinkOptions(o));
  QCOMPARE(s.Store().value(QStringLiteral("Workspace/QtOption")).toByteArray(), read);
}

void AppShellTest::recentFilesKeepTen() {
  QTemporaryDir dir;
  ui::AppSettings s(dir.filePath(QStringLiteral("s.ini")));
  for (int i = 0; i < 12; ++i) s.AddRecentFile(QStringLiteral("/f%1.mode").arg(i));
  s.AddRecentFile(QStringLiteral("/f5.mode"));
  const QStringList files = s.RecentFiles();
  QCOMPARE(files.size(), 10);
  QCOMPARE(files.first(), QStringLiteral("/f5.mode"));
  QCOMPARE(files.count(QStringLiteral("/f5.mode")), 1);
  QCOMPARE(files[1], QStringLiteral("/f11.mode"));
}

void AppShellTest::languageFileParse_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("value");
  QTest::newRow("crlf") << QByteArray("[String]\r\nIDD521_title=Connect IP\r\nIDD521_1=Connect")
                        << "IDD521_1" << "Connect";
  QTest::newRow("comment and empty lines")
      << QByteArray("[String]\r\n// IDD_DIALOG_OUTPUT\r\n\r\nIDD385_1062=FL+FR Linked") << "IDD385_1062"
      << "FL+FR Linked";
  QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF[String]\nIDD335_title=机器设置") << "IDD335_title"
                                  << QString::fromUtf8("机器设置");
  QTest::newRow("value with = and spaces") << QByteArray("[String]\nIDD1_2= a=b ") << "IDD1_2" << " a=b ";
  QTest::newRow("outside the section") << QByteArray("IDD1_2=x\n[Other]\nIDD1_3=y") << "IDD1_2" << "";
  QTest::newRow("first key wins") << QByteArray("[String]\nIDD1_2=x\nIDD1_2=y") << "IDD1_2" << "x";
  QTest::newRow("cut at 999") << (QByteArray("[String]\nIDD1_2=") + QByteArray(1200, 'v')) << "IDD1_2"
                              << QString(999, QLatin1Char('v'));
}

void AppShellTest::languageFileParse() {
  QFETCH(QByteArray, text);
  QFETCH(QString, key);
  QFETCH(QString, value);
  QCOMPARE(ui::LanguageFile::Parse(text).Value(key), value);
}

void AppShellTest::dialogTextsFollowLanguage_data() {
  QTest::addColumn<int>("language");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("host");
  QTest::addColumn<QString>("button");
  QTest::newRow("zh") << 0 << QString::fromUtf8("网络连接") << QString::fromUtf8("机器IP地址")
                      << QString::fromUtf8("尝试连接");
  QTest::newRow("en") << 1 << "Connect IP" << "Host IP:" << "Connect";
}

void AppShellTest::dialogTextsFollowLanguage() {
  QFETCH(int, language);
  QFETCH(QString, title);
  QFETCH(QString, host);
  QFETCH(QString, button);
  ui::UiLanguage lang;
  lang.SetLanguage(language);
  QVERIFY(lang.LoadFile());
  QTemporaryDir dir;
  ui::AppSettings settings(dir.filePath(QStringLiteral("s.ini")));
  ui::CDialogIP dialog(lang, settings, {});
  auto* error = ui::FindCtrl(&dialog, ui::ids::kIpError);
  lang.ApplyDialogTexts(&dialog, ui::ids::kConnectDialog);
  QCOMPARE(dialog.windowTitle(), title);
  QCOMPARE(qobject_cast<QLabel*>(ui::FindCtrl(&dialog, 1005))->text(), host);
  QCOMPARE(qobject_cast<QAbstractButton*>(ui::FindCtrl(&dialog, 1))->text(), button);
  // A control without a key keeps its text.
  QVERIFY(qobject_cast<QLabel*>(error)->text().isEmpty());
  // Null windows are ignored.
  lang.ApplyDialogTexts(nullptr, ui::ids::kConnectDialog);
}

void AppShellTest::startSyncAndRefresh() {
  AppRig rig;
  QVERIFY(rig.started);
  // The processor's image differs from the defaults for the mic volume.
  {
    core::Session scratch;
    scratch.Params().SetParam(1, 14, 42);
    scratch.Params().SetParam(4, 22, 7);
    rig.processor.SetImage(scratch.Params().Image());
  }
  rig.Start();
  auto& pane = rig.Frame().ConnectionPane();
  QCOMPARE(pane.text(), QString::fromUtf8("未连接"));
  QVERIFY(rig.ConnectAndSync());
  QCOMPARE(Slider(rig, 32829)->Pos(), 42);
  QCOMPARE(Slider(rig, 32858)->Pos(), 42);
  QCOMPARE(LabelText(rig, 32832), QString::fromUtf8("话筒音量: 42"));
  // The noise gate shows what the decoded image holds.
  QCOMPARE(Slider(rig, 32846)->Pos(), rig.session.Params().Mirror(4, 22).AsInt());
  rig.View().UpdateStatus();
  QCOMPARE(pane.text(), QString::fromUtf8("IP：已连接"));
  QCOMPARE(pane.TextColor(), QColor(0, 150, 0));
  QVERIFY(rig.View().Timer3Active());
  QCOMPARE(rig.View().LastTrayText(), QString::fromUtf8("设备已连接，同步中……"));
  QCOMPARE(rig.Frame().ModePane().text(), QString::fromUtf8("当前模式:M1"));
  // The other category shows the pitch at once, not after the next poll.
  rig.session.Params().SetMusicPitch(3);
  rig.Frame().Ribbon().SetActiveCategory(1);
  QCOMPARE(rig.Frame().Ribbon().Category(1)->Panel(5)->Name(), QString::fromUtf8("音乐变调:+3"));
}

void AppShellTest::sliderMovesBothCopiesAndSends_data() {
  QTest::addColumn<int>("master");
  QTest::addColumn<bool>("fromOutput");
  QTest::addColumn<int>("value");
  QTest::addColumn<QString>("label");
  QTest::addColumn<std::uint32_t>("word");
  QTest::newRow("mic from output") << int(ui::kMic) << true << 80 << QString::fromUtf8("话筒音量: 80")
                                   << PercentWord(80);
  QTest::newRow("effect from input") << int(ui::kEffect) << false << 5 << QString::fromUtf8("效果总音量:  5")
                                     << PercentWord(5);
  QTest::newRow("reverb from output") << int(ui::kReverb) << true << 33 << QString::fromUtf8("混响音量:   33")
                                      << PercentWord(33);
  QTest::newRow("echo from input") << int(ui::kEcho) << false << 99 << QString::fromUtf8("回声音量: 99")
                                   << PercentWord(99);
  QTest::newRow("music from output") << int(ui::kMusic) << true << 50 << QString::fromUtf8("音乐音量: 50")
                                     << PercentWord(50);
  QTest::newRow("noise gate from input") << int(ui::kNoiseGate) << false << 100
                                         << QString::fromUtf8("音乐噪声门:100") << GateWord(100);
}

void AppShellTest::sliderMovesBothCopiesAndSends() {
  QFETCH(int, master);
  QFETCH(bool, fromOutput);
  QFETCH(int, value);
  QFETCH(QString, label);
  QFETCH(std::uint32_t, word);
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  const ui::MasterControl& c = ui::kMasterControls[static_cast<std::size_t>(master)];
  rig.Frame().Ribbon().SetActiveCategory(fromOutput ? 1 : 0);
  auto* moved = Slider(rig, fromOutput ? c.sliderOut : c.sliderIn);
  auto* other = Slider(rig, fromOutput ? c.sliderIn : c.sliderOut);
  moved->setValue(value);  // as a drag does
  QCOMPARE(other->Pos(), value);
  QCOMPARE(LabelText(rig, c.labelIn), label);
  QCOMPARE(LabelText(rig, c.labelOut), label);
  QCOMPARE(rig.session.Params().Mirror(c.module, c.param).AsInt(), value);
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(c.module, c.param) == word; }, 3000));
}

void AppShellTest::micVolumeClampedToMaximum() {
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  auto settings = rig.session.Records().DeviceSettings();
  settings[5] = 60;
  rig.session.Records().SetDeviceSettings(settings);
  Slider(rig, 32829)->setValue(75);
  QCOMPARE(Slider(rig, 32829)->Pos(), 60);
  QCOMPARE(Slider(rig, 32858)->Pos(), 60);
  QCOMPARE(NoticeText(rig), QString::fromUtf8("不能超过最大话筒音量!"));
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(1, 14) == PercentWord(60); }, 3000));
}

void AppShellTest::muteBoxesToggle() {
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  QVERIFY(!Box(rig, 32847)->isChecked());
  Box(rig, 32847)->click();
  QCOMPARE(rig.session.Params().Mirror(1, 15).AsInt(), 0);
  QVERIFY(Box(rig, 32847)->isChecked());
  QVERIFY(Box(rig, 32859)->isChecked());
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(1, 15) == PercentWord(0); }, 3000));
  // Moving the muted mic says so; the effect says nothing.
  Slider(rig, 32829)->setValue(10);
  QCOMPARE(NoticeText(rig), QString::fromUtf8("当前是静音状态"));
  rig.app->Notice()->close();
  QTest::qWait(10);
  Slider(rig, 32830)->setValue(10);
  QVERIFY(rig.app->Notice() == nullptr);
  Box(rig, 32859)->click();
  QCOMPARE(rig.session.Params().Mirror(1, 15).AsInt(), 100);
  QVERIFY(!Box(rig, 32847)->isChecked());
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(1, 15) == PercentWord(100); }, 3000));
}

void AppShellTest::pitchWords_data() {
  QTest::addColumn<int>("pitch");
  QTest::addColumn<std::uint32_t>("word");
  QTest::addColumn<QString>("caption");
  QTest::newRow("-5") << -5 << std::uint32_t{0} << QString::fromUtf8("音乐变调:-5");
  QTest::newRow("+5") << 5 << std::uint32_t{10} << QString::fromUtf8("音乐变调:+5");
  QTest::newRow("+1") << 1 << std::uint32_t{6} << QString::fromUtf8("音乐变调:+1");
}

void AppShellTest::pitchWords() {
  QFETCH(int, pitch);
  QFETCH(std::uint32_t, word);
  QFETCH(QString, caption);
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  Slider(rig, 32841)->setValue(pitch);
  QCOMPARE(Slider(rig, 32880)->Pos(), pitch);
  QCOMPARE(rig.session.Params().Display().musicPitch, pitch);
  QCOMPARE(rig.Frame().Ribbon().Category(0)->Panel(ui::kPitchPanel)->Name(), caption);
  QVERIFY(rig.View().Timer4Active());
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(4, 21) == word; }, 3000));
}

void AppShellTest::noiseGateLabelInEnglish() {
  AppRig rig;
  rig.Start(1);
  Slider(rig, 32846)->setValue(7);
  QCOMPARE(LabelText(rig, 32842), QStringLiteral("Noisegate:      7"));
  QCOMPARE(LabelText(rig, 32878), QStringLiteral("Noisegate:      7"));
}

void AppShellTest::trackClickStepsByOne() {
  AppRig rig;
  rig.Start();
  rig.Frame().resize(1200, 760);
  rig.Frame().show();
  auto* s = Slider(rig, 32829);
  s->SetPos(20);
  QSignalSpy commands(s, &ui::CMFCRibbonStepSlider::Command);
  QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(s->width() - 3, s->height() / 2));
  QCOMPARE(s->Pos(), 21);
  QCOMPARE(commands.count(), 1);
  QTest::mouseClick(s, Qt::LeftButton, {}, QPoint(2, s->height() / 2));
  QCOMPARE(s->Pos(), 20);
  QCOMPARE(Slider(rig, 32858)->Pos(), 20);
}

void AppShellTest::wheelOverPanelMovesBothCopies() {
  AppRig rig;
  rig.Start();
  rig.Frame().show();
  rig.Frame().Ribbon().SetActiveCategory(1);
  Slider(rig, 32919)->SetPos(30);
  Slider(rig, 32918)->SetPos(30);
  ui::RibbonPanel* panel = rig.Frame().Ribbon().Category(1)->Panel(2);
  QWheelEvent wheel(QPointF(5, 5), panel->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(panel, &wheel);
  QCOMPARE(Slider(rig, 32919)->Pos(), 31);
  QCOMPARE(Slider(rig, 32918)->Pos(), 31);
  QCOMPARE(rig.session.Params().Mirror(3, 24).AsInt(), 31);
  // Over the tabs the wheel does not switch categories.
  auto* tabs = rig.Frame().Ribbon().findChild<QTabBar*>();
  QWheelEvent tabWheel(QPointF(5, 5), tabs->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(tabs, &tabWheel);
  QCOMPARE(rig.Frame().Ribbon().ActiveCategory(), 1);
}

void AppShellTest::loadModeWithoutChanges() {
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  rig.processor.ClearRequests();
  rig.View().OnCommand(32912);  // M3
  QVERIFY(rig.prompts.questions.empty());
  QVERIFY(rig.Got({0x05, 0x02}));
  QVERIFY(rig.WaitSynced());
  QCOMPARE(rig.session.Records().CurrentMode(), 2);
  rig.View().UpdateStatus();
  QCOMPARE(rig.Frame().ModePane().text(), QString::fromUtf8("当前模式:M3"));
}

void AppShellTest::loadModeWithChangesAsks_data() {
  QTest::addColumn<int>("language");
  QTest::addColumn<bool>("yes");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("text");
  QTest::newRow("zh, no") << 0 << false << QString::fromUtf8("信息") << QString::fromUtf8("参数已更改，确定要直接载入模式三?");
  QTest::newRow("en, yes") << 1 << true << "Information" << "Setting changed ! Are you sure load mode3?";
}

void AppShellTest::loadModeWithChangesAsks() {
  QFETCH(int, language);
  QFETCH(bool, yes);
  QFETCH(QString, caption);
  QFETCH(QString, text);
  AppRig rig;
  rig.Start(language);
  QVERIFY(rig.ConnectAndSync());
  rig.processor.ClearRequests();
  rig.session.Records().SetSettingsChanged(true);
  rig.prompts.yes = yes;
  rig.View().OnCommand(32912);
  QCOMPARE(rig.prompts.questions.size(), std::size_t{1});
  QCOMPARE(rig.prompts.questions[0].caption, caption);
  QCOMPARE(rig.prompts.questions[0].text, text);
  if (yes) {
    QVERIFY(rig.Got({0x05, 0x02}));
    QVERIFY(rig.WaitSynced());
  } else {
    QTest::qWait(100);
    QVERIFY(!rig.Got({0x05, 0x02}));
  }
}

void AppShellTest::storeModeTwo_data() {
  QTest::addColumn<int>("language");
  QTest::addColumn<QString>("question");
  QTest::addColumn<QString>("notice");
  QTest::newRow("zh") << 0 << QString::fromUtf8("确定要保存至机器模式二?") << QString::fromUtf8("正在储存模式二,请稍等");
  QTest::newRow("en") << 1 << "Save to machine mode 2?" << QString::fromUtf8("Saving Mode 2 ……");
}

void AppShellTest::storeModeTwo() {
  QFETCH(int, language);
  QFETCH(QString, question);
  QFETCH(QString, notice);
  AppRig rig;
  rig.Start(language);
  QVERIFY(rig.ConnectAndSync());
  rig.session.Records().SetSettingsChanged(true);
  rig.View().OnCommand(32915);  // M2
  QCOMPARE(rig.prompts.questions.size(), std::size_t{1});
  QCOMPARE(rig.prompts.questions[0].text, question);
  QVERIFY(QTest::qWaitFor([&] { return rig.Got({0x04, 0x01}); }, 3000));
  QVERIFY(!rig.session.Records().SettingsChanged());
  QCOMPARE(rig.session.Records().CurrentMode(), 1);
  // The notice follows 500 ms later.
  QVERIFY(NoticeText(rig) != notice);
  QVERIFY(QTest::qWaitFor([&] { return NoticeText(rig) == notice; }, 2000));
  QVERIFY(rig.app->Notice()->RemainingMs() > 2000);
  // M2 is ticked in the mode menus of both categories.
  rig.View().UpdateStatus();
  for (int id : {32911, 32915}) {
    const QList<QAction*> items = rig.Frame().Ribbon().Actions(id);
    QCOMPARE(items.size(), 2);
    for (QAction* a : items) QVERIFY(a->isChecked());
    for (QAction* a : rig.Frame().Ribbon().Actions(id - 1)) QVERIFY(!a->isChecked());
  }
}

void AppShellTest::modeFileSlotRule() {
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  const QString named = rig.dir.filePath(QStringLiteral("M2 living room.mode"));
  const QString other = rig.dir.filePath(QStringLiteral("my m2.mode"));
  rig.View().SaveModeFileAt(named);
  rig.View().SaveModeFileAt(other);
  QCOMPARE(rig.settings->RecentFiles().first(), other);

  rig.processor.ClearRequests();
  rig.View().LoadModeFileAt(other);
  QVERIFY(QTest::qWaitFor([&] { return rig.app->SyncDialog() == nullptr && rig.Got({0x32}); }, 10000));
  QTest::qWait(100);
  QVERIFY(!rig.Got({0x03, 0x01}));

  rig.processor.ClearRequests();
  rig.View().LoadModeFileAt(named);
  QVERIFY(QTest::qWaitFor([&] { return rig.Got({0x04, 0x01}); }, 10000));
  const int named03 = rig.IndexOf({0x03, 0x01});
  QVERIFY(named03 >= 0);
  QVERIFY(rig.IndexOf({0x04, 0x01}, named03) > named03);
  QVERIFY(rig.IndexOf({0x32}) < named03);
  QCOMPARE(rig.app->pendingModeSlot, -1);
  QCOMPARE(rig.session.Records().CurrentMode(), 1);
}

void AppShellTest::protocolMismatchBoxOnceAndLinkClosed() {
  sim::ProcessorOptions options;
  options.protocolVersion = 17;
  AppRig rig(options);
  rig.Start();
  QCOMPARE(rig.View().ConnectNetwork(QStringLiteral("127.0.0.1"), rig.server.Port()), 1);
  QVERIFY(QTest::qWaitFor([&] { return !rig.prompts.messages.empty(); }, 15000));
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].caption, QString::fromUtf8("错误"));
  QCOMPARE(rig.prompts.messages[0].text, QString::fromUtf8("E:NR620_11 通信版本不匹配!"));
  QVERIFY(!rig.session.Link().IsOpen());
  QVERIFY(!rig.View().Timer3Active());
  QVERIFY(QTest::qWaitFor([&] { return rig.processor.Counters().disconnectNotices >= 1; }, 3000));
}

void AppShellTest::linkLostNotice() {
  AppRig rig;
  rig.Start(1);
  QVERIFY(rig.ConnectAndSync());
  rig.server.SetHeartbeatMs(0);
  rig.server.SetSilentAfterMs(0);
  QVERIFY(QTest::qWaitFor([&] { return !rig.prompts.messages.empty(); }, 15000));
  QCOMPARE(rig.prompts.messages.back().text, QStringLiteral("Host timeout,Disconnected!"));
  QVERIFY(!rig.session.Link().IsOpen());
  rig.View().UpdateStatus();
  QCOMPARE(rig.Frame().ConnectionPane().text(), QStringLiteral("Disconnected"));
  QCOMPARE(rig.Frame().ConnectionPane().TextColor(), QColor(220, 0, 0));
}

void AppShellTest::hostBusyNotice() {
  AppRig rig;
  // Another client holds the processor.
  core::Session other;
  other.Link().State().networkMode = true;
  QCOMPARE(other.Tcp().TcpConnect("127.0.0.1", rig.server.Port()), core::link::kTcpConnected);
  QVERIFY(QTest::qWaitFor([&] { return rig.server.HasClient(); }, 3000));
  rig.Start();
  QCOMPARE(rig.View().ConnectNetwork(QStringLiteral("127.0.0.1"), rig.server.Port()), 1);
  QVERIFY(QTest::qWaitFor([&] { return rig.app->hostBusy; }, 5000));
  QCOMPARE(NoticeText(rig), QString::fromUtf8("主机已连接其他设备，请先断开!"));
  QVERIFY(rig.app->SyncDialog() == nullptr);
  other.Disconnect(false);
}

void AppShellTest::languageSwitchRetextsRibbon() {
  AppRig rig;
  rig.Start();
  ui::RibbonBar& ribbon = rig.Frame().Ribbon();
  QCOMPARE(ribbon.CategoryName(0), QString::fromUtf8("输入控制"));
  QCOMPARE(ribbon.Category(0)->Panel(0)->Name(), QString::fromUtf8("话筒音量"));
  rig.View().OnCommand(32805);
  QCOMPARE(rig.settings->Language(), 1);
  QCOMPARE(ribbon.CategoryName(0), QStringLiteral("Input"));
  QCOMPARE(ribbon.CategoryName(1), QStringLiteral("Output"));
  const QStringList en = {"Mic  Vol", "Effect Vol", "Reverb Vol", "Echo Vol", "Music Vol", "Music Pitch+0", "Load", "Save"};
  for (int p = 0; p < en.size(); ++p) {
    QCOMPARE(ribbon.Category(0)->Panel(p)->Name(), en[p]);
    QCOMPARE(ribbon.Category(1)->Panel(p)->Name(), en[p]);
  }
  QCOMPARE(Box(rig, 32847)->text(), QStringLiteral("Mute"));
  QCOMPARE(LabelText(rig, 32832),
           QStringLiteral("Mic    Vol: %1").arg(rig.session.Params().Mirror(1, 14).AsInt(), 3));
  QCOMPARE(qobject_cast<QToolButton*>(ribbon.Element(32938))->text(), QStringLiteral("Connect IP"));
  rig.View().UpdateStatus();
  QCOMPARE(rig.Frame().ConnectionPane().text(), QStringLiteral("Disconnected"));
  QCOMPARE(rig.Frame().BypassBox().text(), QStringLiteral("Bypass"));
  rig.View().OnCommand(32805);
  QCOMPARE(ribbon.CategoryName(0), QString::fromUtf8("输入控制"));
  QCOMPARE(ribbon.CategoryName(1), QString::fromUtf8("输出调节"));
  QCOMPARE(ribbon.Category(1)->Panel(1)->Name(), QString::fromUtf8("效果总音量"));
  QCOMPARE(ribbon.Category(1)->Panel(5)->Name(), QString::fromUtf8("音乐变调+0"));
  QCOMPARE(LabelText(rig, 32920),
           QString::fromUtf8("混响音量:%1").arg(rig.session.Params().Mirror(3, 24).AsInt(), 3));
}

void AppShellTest::noticeReplacesText() {
  AppRig rig;
  rig.Start();
  rig.app->ShowNotice(QStringLiteral("first"), 1100);
  ui::CInfoDlg* first = rig.app->Notice();
  QVERIFY(first != nullptr);
  rig.app->ShowNotice(QStringLiteral("second"), 3000);
  QCOMPARE(rig.app->Notice(), first);
  QCOMPARE(first->Text(), QStringLiteral("second"));
  QVERIFY(first->RemainingMs() > 1100);
  QCOMPARE(qobject_cast<QAbstractButton*>(ui::FindCtrl(first, 2))->text(), QString::fromUtf8("关闭"));
  qobject_cast<QAbstractButton*>(ui::FindCtrl(first, 2))->click();
  QVERIFY(QTest::qWaitFor([&] { return rig.app->Notice() == nullptr; }, 1000));
  rig.app->ShowNotice(QStringLiteral("third"), 50);
  QVERIFY(rig.app->Notice() != nullptr);
  QVERIFY(QTest::qWaitFor([&] { return rig.app->Notice() == nullptr; }, 2000));
}

void AppShellTest::singleInstanceTakesOverStaleMarker() {
  QTemporaryDir dir;
  const QString name = dir.filePath(QStringLiteral("NR620 V1.0"));
  // A marker nobody answers, as a crashed instance leaves it.
  QFile marker(name);
  QVERIFY(marker.open(QIODevice::WriteOnly));
  marker.close();
  ui::SingleInstance first(name);
  QCOMPARE(first.Claim(300), ui::SingleInstance::Result::Primary);
  QLocalSocket probe;
  probe.connectToServer(name);
  QVERIFY(probe.waitForConnected(1000));
  QCOMPARE(ui::SingleInstance::Message(ui::SingleInstance::Result::NoWindow),
           QString::fromUtf8("已有一个实例在运行，但找不到它的主窗口！"));
  QCOMPARE(ui::SingleInstance::Message(ui::SingleInstance::Result::CreateFailed),
           QString::fromUtf8("创建信标对象失败，程序退出！"));
}

void AppShellTest::secondProcessActivatesFirst() {
  QTemporaryDir runtime;
  QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString name = QDir(runtime.path()).filePath(QStringLiteral("NR620 V1.0"));
  ui::SingleInstance first(name);
  QCOMPARE(first.Claim(300), ui::SingleInstance::Result::Primary);
  int activations = 0;
  first.SetActivate([&] {
    ++activations;
    return true;
  });
  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtime.path());
  second.setProcessEnvironment(env);
  second.start(QStringLiteral(DSPTUNER_PATH), {});
  QVERIFY(second.waitForStarted(5000));
  QVERIFY(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
  QCOMPARE(second.exitStatus(), QProcess::NormalExit);
  QCOMPARE(second.exitCode(), 0);
  QCOMPARE(activations, 1);
}

void AppShellTest::pageAreaNeverBelowMinimum() {
  AppRig rig;
  rig.Start();
  int created = 0;
  rig.pages.Register(ui::ids::kDelayPage, {[&](QWidget* parent, int) {
                                             ++created;
                                             return new QWidget(parent);
                                           },
                                           {}, {}, {}});
  rig.Frame().resize(1040, 700);
  rig.Frame().show();
  QResizeEvent small(QSize(900, 300), rig.View().size());
  QApplication::sendEvent(&rig.View(), &small);
  QCOMPARE(rig.View().PageRect(), QRect(0, 0, 1024, 520));
  // No factory: the page area stays empty.
  QVERIFY(rig.View().CurrentPage() == nullptr);
  rig.View().ShowPage(ui::ids::kDelayPage, 0);
  rig.View().ShowPage(ui::ids::kDelayPage, 0);
  QCOMPARE(created, 1);
  QCOMPARE(rig.View().CurrentPage()->geometry(), QRect(0, 0, 1024, 520));
  rig.View().ShowPage(ui::ids::kOutputPage, 3);
  QVERIFY(rig.View().CurrentPage() == nullptr);
  QCOMPARE(rig.Frame().minimumSize(), QSize(1040, 700));
}

void AppShellTest::commandsNeedConnection() {
  AppRig rig;
  rig.Start(1);
  rig.View().OnCommand(32827);
  QCOMPARE(NoticeText(rig), QStringLiteral("Please connect device!"));
  rig.View().OnCommand(32912);
  rig.View().OnCommand(32916);
  rig.View().OnCommand(32811);
  QVERIFY(rig.prompts.questions.empty());
  QCOMPARE(rig.processor.Requests().size(), std::size_t{0});
  QCOMPARE(ui::CRV4470v13View::InputSourceTemplate(0x55, "NR620"), 542);
  QCOMPARE(ui::CRV4470v13View::InputSourceTemplate(0, "NR620"), 530);
  QCOMPARE(ui::CRV4470v13View::InputSourceTemplate(0, "Unknown"), 512);
}

void AppShellTest::closePrompt_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("closed");
  QTest::newRow("cancel keeps running") << int(ui::Prompts::Answer::Cancel) << false;
  QTest::newRow("no closes with 8A") << int(ui::Prompts::Answer::No) << true;
  QTest::newRow("yes saves, stores, closes") << int(ui::Prompts::Answer::Yes) << true;
}

void AppShellTest::closePrompt() {
  QFETCH(int, answer);
  QFETCH(bool, closed);
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  rig.session.Records().SetSettingsChanged(true);
  rig.prompts.closeAnswer = static_cast<ui::Prompts::Answer>(answer);
  rig.prompts.savePath = rig.dir.filePath(QStringLiteral("preset.mode"));
  rig.processor.ClearRequests();
  QCOMPARE(rig.Frame().close(), closed);
  QCOMPARE(rig.prompts.questions.size(), std::size_t{1});
  QCOMPARE(rig.prompts.questions[0].caption, QString::fromUtf8("保存?"));
  QCOMPARE(rig.session.Link().IsOpen(), !closed);
  if (closed) QVERIFY(QTest::qWaitFor([&] { return rig.processor.Counters().disconnectNotices >= 1; }, 3000));
  const bool saved = answer == int(ui::Prompts::Answer::Yes);
  QCOMPARE(QFile::exists(rig.prompts.savePath), saved);
  if (saved) {
    QCOMPARE(QFileInfo(rig.prompts.savePath).size(), qint64{3578});
    QVERIFY(!rig.session.Records().SettingsChanged());
  }
}

void AppShellTest::openDocumentFile() {
  AppRig rig;
  rig.Start();
  // Missing file.
  QVERIFY(!rig.app->OpenDocumentFile(rig.dir.filePath(QStringLiteral("gone.mode"))));
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].caption, QString::fromUtf8("文件打开错误"));
  QCOMPARE(rig.prompts.messages[0].text, QString::fromUtf8("文件不存在！"));
  QVERIFY(rig.ConnectAndSync());
  const QString upper = rig.dir.filePath(QStringLiteral("SHOW.MODE"));
  rig.View().SaveModeFileAt(upper);
  QVERIFY(QFile::exists(upper));
  rig.processor.ClearRequests();
  QVERIFY(rig.app->OpenDocumentFile(upper));
  QVERIFY(QTest::qWaitFor([&] { return rig.app->SyncDialog() == nullptr && rig.Got({0x32}); }, 10000));
  // Another extension is not taken.
  const QString text = rig.dir.filePath(QStringLiteral("notes.txt"));
  QFile f(text);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.close();
  QVERIFY(!rig.app->OpenDocumentFile(text));
}

void AppShellTest::commandLineFileWaitsForSync() {
  AppRig rig;
  rig.Start();
  const QString file = rig.dir.filePath(QStringLiteral("m4 party.mode"));
  auto identity = rig.session.Records().Identity();
  identity.SetProtocolVersion(20);
  rig.session.Records().SetIdentity(identity);  // the file of a protocol-20 processor
  rig.View().SaveModeFileAt(file);
  rig.app->OpenAfterFirstSync(file);
  QTest::qWait(50);
  QVERIFY(!rig.Got({0x32}));
  QVERIFY(rig.ConnectAndSync());
  // After the read-all the file is pushed and, named m4, stored in mode 4.
  QVERIFY(QTest::qWaitFor([&] { return rig.Got({0x04, 0x03}); }, 10000));
  QVERIFY(rig.Got({0x32}));
  QVERIFY(rig.app->TakePendingOpen().isEmpty());
}

void AppShellTest::usbStartupArrivalAndRemoval() {
  AppRig rig({}, {}, true);
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start(0, true);  // timer 1 tries the USB link after 250 ms
  QVERIFY(rig.WaitSynced());
  QVERIFY(rig.session.Link().IsOpen());
  QVERIFY(!rig.session.Link().State().networkMode.load());
  rig.View().UpdateStatus();
  QCOMPARE(rig.Frame().ConnectionPane().text(), QString::fromUtf8("USB：已连接"));
  QVERIFY(rig.View().Timer3Active());
  // A second arrival while the link is open changes nothing.
  const auto opened = rig.hid->OpenedPaths().size();
  rig.View().OnDeviceArrived(sim::SimHidBackend::kDevicePath);
  QCOMPARE(rig.hid->OpenedPaths().size(), opened);
  // A removal of another device changes nothing; of ours closes the link.
  rig.View().OnDeviceRemoved("/dev/hidraw-other");
  QVERIFY(rig.session.Link().IsOpen());
  rig.hid->Unplug();
  rig.View().OnDeviceRemoved(sim::SimHidBackend::kDevicePath);
  QVERIFY(!rig.session.Link().IsOpen());
  QVERIFY(!rig.View().Timer3Active());
  QCOMPARE(rig.View().LastTrayText(), QString::fromUtf8("设备已断开!"));
  // Plugged in again: the machine settings dialog closes, and the link is
  // connected and synchronised again.
  rig.app->OpenDialog(ui::ModelessDialog::MachineSettings, ui::ids::kMachineSettingsDialog);
  rig.hid->Plug();
  rig.processor.ClearRequests();
  rig.View().OnDeviceArrived(sim::SimHidBackend::kDevicePath);
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::MachineSettings) == nullptr);
  QVERIFY(rig.WaitSynced());
  QVERIFY(rig.session.Link().IsOpen());
}

void AppShellTest::usbPermissionSaidOnce() {
  AppRig rig({}, {}, true);
  rig.hid->DenyAccess(sim::SimHidBackend::kDevicePath);
  rig.Start(1, true);
  QVERIFY(QTest::qWaitFor([&] { return !rig.prompts.messages.empty(); }, 3000));
  QVERIFY(rig.prompts.messages[0].text.contains(QStringLiteral("dsptunectl udev-rules")));
  QVERIFY(rig.prompts.messages[0].text.contains(QStringLiteral("permission")));
  rig.View().OnDeviceArrived(sim::SimHidBackend::kDevicePath);
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QVERIFY(!rig.session.Link().IsOpen());
}

void AppShellTest::f7OpensMachineSettings() {
  AppRig rig;
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start();
  rig.Frame().show();
  QTest::keyRelease(&rig.Frame(), Qt::Key_F7);
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{QStringLiteral("create settings 335")});
  QWidget* settings = rig.app->Dialog(ui::ModelessDialog::MachineSettings);
  QVERIFY(settings != nullptr && settings->isVisible());
  QTest::keyRelease(&rig.Frame(), Qt::Key_F7);  // shown again, not made again
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{});
  QCOMPARE(rig.app->Dialog(ui::ModelessDialog::MachineSettings), settings);
  // The view routes the factory-mode buttons to it.
  rig.View().OnCommand(ui::ids::kRestoreModeFirst + 2);
  QCOMPARE(fakes.Take(), QStringList{QStringLiteral("command settings 32825")});
  // Ignored while a synchronisation dialog runs.
  settings->close();
  QVERIFY(QTest::qWaitFor([&] { return rig.app->Dialog(ui::ModelessDialog::MachineSettings) == nullptr; }));
  bool checked = false;
  QTimer::singleShot(50, [&] {
    QVERIFY(rig.app->SyncDialog() != nullptr);
    QVERIFY(!rig.app->HandleF7());
    checked = true;
    rig.app->CloseSyncDialog();
  });
  rig.app->ShowSyncDialog(QString());
  QVERIFY(checked);
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::MachineSettings) == nullptr);
}

void AppShellTest::modelessDialogsOpenOnceAndComeBackAfterClosing() {
  AppRig rig;
  // Without the dialogs in the build their buttons do nothing and say so
  // by being disabled.
  {
    rig.Start();
    QTest::qWait(250);
    for (int id : {ui::ids::kFeatures, ui::ids::kInputSource, ui::ids::kRemoteLearning}) {
      QVERIFY2(!rig.Frame().Ribbon().Element(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    rig.View().OnCommand(ui::ids::kFeatures);
    QVERIFY(rig.app->Dialog(ui::ModelessDialog::Loudness) == nullptr);
    rig.app.reset();
  }
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start(1);
  QTest::qWait(250);
  QVERIFY(rig.Frame().Ribbon().Element(ui::ids::kFeatures)->isEnabled());
  QVERIFY2(!rig.Frame().Ribbon().Element(ui::ids::kRemoteLearning)->isEnabled(), "not connected");

  rig.View().OnCommand(ui::ids::kFeatures);
  QCOMPARE(fakes.Take(), (QStringList{QStringLiteral("create loudness 515"), QStringLiteral("refresh loudness"),
                                      QStringLiteral("retext loudness")}));
  QPointer<QWidget> loudness = rig.app->Dialog(ui::ModelessDialog::Loudness);
  QVERIFY(loudness && loudness->isVisible() && loudness->parentWidget() == nullptr);
  rig.View().OnCommand(ui::ids::kFeatures);
  QCOMPARE(fakes.Take(), (QStringList{QStringLiteral("refresh loudness"), QStringLiteral("retext loudness")}));
  QCOMPARE(rig.app->Dialog(ui::ModelessDialog::Loudness), loudness.data());
  // Closing its window deletes it; the next opening makes it anew.
  // Asked for again before the closed one is gone, it is not shown again.
  loudness->close();
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::Loudness) == nullptr);
  rig.View().OnCommand(ui::ids::kFeatures);
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{QStringLiteral("create loudness 515")});
  QVERIFY(QTest::qWaitFor([&] { return loudness.isNull(); }));
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::Loudness) != nullptr);

  // The remote dialog only while connected, and no status polling while
  // it is open; the smart-plug dialog opens either way, after the notice
  // when nothing is connected, and holds the polling off.
  rig.View().OnCommand(ui::ids::kRemoteLearning);
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::DeviceRemote) == nullptr);
  rig.View().OnCommand(ui::ids::kSmartPlugs);
  QCOMPARE(NoticeText(rig), QStringLiteral("Please connect device"));
  QWidget* plug = rig.app->Dialog(ui::ModelessDialog::SmartPlug);
  QVERIFY(plug != nullptr);
  QVERIFY(!rig.session.Link().State().pollingAllowed.load());
  rig.app->CloseDialog(ui::ModelessDialog::SmartPlug);
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::SmartPlug) == nullptr);
  QVERIFY(rig.session.Link().State().pollingAllowed.load());

  QVERIFY(rig.ConnectAndSync());
  fakes.Take();
  // A synchronisation that ends while the plug dialog is open turns the
  // link's polling on again; the view still asks for no status.
  auto statusRequests = [&] {
    int n = 0;
    for (const auto& r : rig.processor.Requests()) n += r == sim::Bytes{0x0E};
    return n;
  };
  rig.View().OnCommand(ui::ids::kSmartPlugs);
  rig.session.Link().State().pollingAllowed = true;
  rig.processor.ClearRequests();
  QTest::qWait(1200);
  QCOMPARE(statusRequests(), 0);
  rig.app->CloseDialog(ui::ModelessDialog::SmartPlug);
  QVERIFY(QTest::qWaitFor([&] { return statusRequests() > 0; }, 3000));
  fakes.Take();
  rig.View().OnCommand(ui::ids::kRemoteLearning);
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{QStringLiteral("create remote 373")});
  QVERIFY(!rig.app->statusPolling.load());
  rig.View().OnRemoteKey(7);  // a learnt key goes to the learning dialog
  QCOMPARE(fakes.Take(), QStringList{QStringLiteral("key remote 7")});
  rig.View().OnPlugProgress(3024, 19, 0x430001);  // no plug dialog open: dropped
  QCOMPARE(fakes.Take(), QStringList{});
  rig.app->CloseDialog(ui::ModelessDialog::DeviceRemote);
  QVERIFY(rig.app->statusPolling.load());

  // The input source: the model's variant, or the settings dialog on a
  // board tagged "U".
  rig.View().OnCommand(ui::ids::kInputSource);
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{QStringLiteral("create input 530")});
  core::link::BoardInfo board = rig.session.Records().Board();
  board[0] = 0x55;
  rig.session.Records().SetBoard(board);
  rig.View().OnCommand(ui::ids::kInputSource);
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{QStringLiteral("create inputset 542")});
  rig.View().OnCommand(ui::ids::kSmartPlugs);
  rig.View().OnPlugProgress(3025, 2, 1);
  QCOMPARE(fakes.Take(QStringLiteral("plug")), QStringList{QStringLiteral("plug plug 3025 2 1")});
}

void AppShellTest::modelessDialogsRetextRefreshAndCloseInOrder() {
  AppRig rig;
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start();
  for (const FakeDialogs::Kind& k : FakeDialogs::kKinds) rig.app->OpenDialog(k.which, 1);
  rig.app->OpenConnectDialog();
  QCOMPARE(rig.app->ConnectDialog()->windowTitle(), QString::fromUtf8("网络连接"));
  fakes.Take();

  rig.View().OnCommand(ui::ids::kLanguageSwitch);
  QCOMPARE(fakes.Take(), (QStringList{QStringLiteral("retext settings"), QStringLiteral("retext autosub"),
                                      QStringLiteral("retext input"), QStringLiteral("retext inputset"),
                                      QStringLiteral("retext remote"), QStringLiteral("retext plug"),
                                      QStringLiteral("retext loudness")}));
  QCOMPARE(rig.app->ConnectDialog()->windowTitle(), QStringLiteral("Connect IP"));

  rig.View().RefreshAll();
  QCOMPARE(fakes.Take(), (QStringList{QStringLiteral("refresh settings"), QStringLiteral("refresh autosub"),
                                      QStringLiteral("refresh input"), QStringLiteral("refresh inputset"),
                                      QStringLiteral("refresh loudness")}));

  // The view may close the dialogs while one of them is in a handler of
  // its own (a box it shows runs events): the window goes, the object
  // lives until the handler has returned.
  {
    QPointer<QWidget> settings = rig.app->Dialog(ui::ModelessDialog::MachineSettings);
    bool aliveInHandler = false;
    ui::ModelessFactory f = *rig.pages.FindDialog(ui::ModelessDialog::MachineSettings);
    f.command = [&](QWidget* self, int) {
      rig.View().CloseModelessDialogs();
      aliveInHandler = !settings.isNull() && self->objectName() == QLatin1String("settings");
    };
    rig.pages.RegisterDialog(ui::ModelessDialog::MachineSettings, f);
    rig.View().OnCommand(ui::ids::kRestoreModeFirst);
    QVERIFY(aliveInHandler);
    QVERIFY(rig.app->Dialog(ui::ModelessDialog::MachineSettings) == nullptr);
    QVERIFY(QTest::qWaitFor([&] { return settings.isNull(); }));
    fakes.Take();
    for (const FakeDialogs::Kind& k : FakeDialogs::kKinds) rig.app->OpenDialog(k.which, 1);
    rig.app->OpenConnectDialog();
    fakes.Take();
  }

  rig.View().CloseModelessDialogs();
  QCOMPARE(fakes.Take(), (QStringList{QStringLiteral("close settings"), QStringLiteral("close autosub"),
                                      QStringLiteral("close input"), QStringLiteral("close inputset"),
                                      QStringLiteral("close remote"), QStringLiteral("close plug"),
                                      QStringLiteral("close loudness")}));
  for (int i = 0; i < ui::kModelessDialogCount; ++i) {
    QVERIFY(rig.app->Dialog(static_cast<ui::ModelessDialog>(i)) == nullptr);
  }
  QVERIFY(rig.session.Link().State().pollingAllowed.load());
  QVERIFY(rig.app->statusPolling.load());
}

void AppShellTest::syncDialogTimeOut() {
  AppRig rig;
  rig.Start(1);
  QVERIFY(rig.ConnectAndSync());
  rig.app->syncTimeoutMs = 100;
  rig.app->ShowSyncDialog(QString());  // nothing ends it: the time-out does
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].caption, QString::fromUtf8("错误"));
  QCOMPARE(rig.prompts.messages[0].text, QString::fromUtf8("发生错误，与设备数据同步超时……"));
  QVERIFY(!rig.session.Link().IsOpen());  // network mode: the link is closed
  QVERIFY(rig.app->SyncDialog() == nullptr);
}

void AppShellTest::waitDialog_data() {
  QTest::addColumn<QString>("ending");
  QTest::newRow("time-out") << "timeout";
  QTest::newRow("cancel button") << "cancel";
  QTest::newRow("finish at once") << "finish0";
  QTest::newRow("finish after a delay") << "finish";
}

void AppShellTest::waitDialog() {
  QFETCH(QString, ending);
  AppRig rig;
  rig.Start();
  std::vector<ui::CWaitDlg::Request> cancelled;
  rig.app->SetPlugCancelAction([&](ui::CWaitDlg::Request r) { cancelled.push_back(r); });
  rig.app->waitTimeoutMs = ending == QLatin1String("timeout") ? 200 : 5000;
  int progress = -1;
  // Act once the dialog is up and its bar has stepped (a loaded machine may
  // start the dialog late), at most five seconds on.
  QTimer poll;
  int polls = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    ui::CWaitDlg* w = rig.app->WaitDialog();
    const bool waited = ++polls >= 100;
    if (w == nullptr) {
      if (waited) poll.stop();
      return;
    }
    if (ending != QLatin1String("timeout") && w->Progress() < 10 && !waited) return;
    poll.stop();
    QCOMPARE(w->Text(), QStringLiteral("adding"));
    progress = w->Progress();
    if (ending == QLatin1String("cancel")) qobject_cast<QAbstractButton*>(ui::FindCtrl(w, 3))->click();
    if (ending == QLatin1String("finish0")) w->Finish(0);
    if (ending == QLatin1String("finish")) {
      w->Finish(150);
      progress = w->Progress();
    }
  });
  poll.start(50);
  rig.app->ShowWaitDialog(QStringLiteral("adding"), 0x4A, 0, 0);
  QVERIFY(rig.app->WaitDialog() == nullptr);
  if (ending == QLatin1String("timeout")) {
    QCOMPARE(cancelled.size(), std::size_t{1});
    QCOMPARE(cancelled[0].function, std::uint8_t{0x4A});
    QCOMPARE(NoticeText(rig), QString::fromUtf8("发生错误，操作超时……"));
  } else if (ending == QLatin1String("cancel")) {
    QCOMPARE(cancelled.size(), std::size_t{1});
    QVERIFY(progress >= 10);  // the bar stepped
  } else {
    QVERIFY(cancelled.empty());
    if (ending == QLatin1String("finish")) QCOMPARE(progress, 100);
  }
}

void AppShellTest::plugCommandSendsItsRequestAndStopsOnCancel() {
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  auto frame = [](std::initializer_list<std::uint8_t> payload) {
    return *core::link::BuildSerialApiFrame(std::vector<std::uint8_t>(payload));
  };
  auto plugFrames = [&] {
    std::vector<sim::Bytes> out;
    for (const auto& r : rig.processor.Requests()) {
      if (!r.empty() && r[0] == 0x01) out.push_back(r);
    }
    return out;
  };
  // A node value answered quickly: the request goes out, the outcome stops
  // timer 5 and no wait dialog opens.
  rig.View().StartPlugCommand(QStringLiteral("switching"), 0x13, 5, 99, 100);
  rig.View().ReplacePlugWaitText(QStringLiteral("done"));
  QTest::qWait(200);
  QVERIFY(rig.app->WaitDialog() == nullptr);
  QVERIFY(QTest::qWaitFor([&] { return plugFrames().size() == 1; }));
  QCOMPARE(plugFrames()[0], frame({0x13, 5, 0x03, 0x20, 0x01, 99, 0x25, 0x43}));
  // Node 0 and unknown codes issue nothing.
  rig.View().StartPlugCommand(QString(), 0x13, 0, 99, 100);
  rig.View().CancelPlugWait();
  rig.View().StartPlugCommand(QString(), 0x20, 5, 99, 100);
  rig.View().CancelPlugWait();
  // An inclusion nobody completes: the wait dialog opens at once, times
  // out and the controller is told to stop.
  std::vector<ui::CWaitDlg::Request> cancelled;
  rig.app->SetPlugCancelAction([&](ui::CWaitDlg::Request r) { cancelled.push_back(r); });
  rig.app->waitTimeoutMs = 200;
  rig.View().StartPlugCommand(QStringLiteral("adding"), 0x4A, 0, 0, 0);
  QVERIFY(QTest::qWaitFor([&] { return cancelled.size() == 1; }, 5000));
  QVERIFY(QTest::qWaitFor([&] { return plugFrames().size() == 3; }));
  const auto frames = plugFrames();
  QCOMPARE(frames[1], frame({0x4A, 0x01, 0x30}));
  QCOMPARE(frames[2], frame({0x4A, 0x05, 0x00}));
  QCOMPARE(cancelled[0].function, std::uint8_t{0x4A});
}

QTEST_MAIN(AppShellTest)
#include "app_shell_test.moc"
