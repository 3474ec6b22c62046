// The ribbon's master controls and texts, against the in-process simulator. Offscreen.
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "app_test_support.h"
#include "ui/app/master_controls.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_panel.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/app/status_pane.h"

using namespace apptest;

class AppMasterControlsTest : public QObject {
  Q_OBJECT
 private slots:
  void sliderMovesBothCopiesAndSends_data();
  void sliderMovesBothCopiesAndSends();
  void micVolumeClampedToMaximum();
  void muteBoxesToggle();
  void pitchWords_data();
  void pitchWords();
  void noiseGateLabelInEnglish();
  void trackClickStepsByOne();
  void wheelOverPanelMovesBothCopies();
  void languageSwitchRetextsRibbon();
};

void AppMasterControlsTest::sliderMovesBothCopiesAndSends_data() {
  QTest::addColumn<int>("master");
  QTest::addColumn<bool>("fromOutput");
  QTest::addColumn<int>("value");
  QTest::addColumn<QString>("label");
  QTest::addColumn<int>("module");
  QTest::addColumn<int>("param");
  QTest::addColumn<std::uint32_t>("word");
  QTest::newRow("mic from output")
      << int(ui::kMic) << true << 80 << QString::fromUtf8("话筒音量: 80") << 1 << 14
      << PercentWord(80);
  QTest::newRow("effect from input")
      << int(ui::kEffect) << false << 5 << QString::fromUtf8("效果总音量:  5") << 1 << 16
      << PercentWord(5);
  QTest::newRow("reverb from output")
      << int(ui::kReverb) << true << 33 << QString::fromUtf8("混响音量:   33") << 3 << 24
      << PercentWord(33);
  QTest::newRow("echo from input")
      << int(ui::kEcho) << false << 99 << QString::fromUtf8("回声音量: 99") << 2 << 28
      << PercentWord(99);
  QTest::newRow("music from output")
      << int(ui::kMusic) << true << 50 << QString::fromUtf8("音乐音量: 50") << 4 << 12
      << PercentWord(50);
  QTest::newRow("noise gate from input")
      << int(ui::kNoiseGate) << false << 100 << QString::fromUtf8("音乐噪声门:100") << 4 << 22
      << GateWord(100);
}

void AppMasterControlsTest::sliderMovesBothCopiesAndSends() {
  QFETCH(int, master);
  QFETCH(bool, fromOutput);
  QFETCH(int, value);
  QFETCH(QString, label);
  QFETCH(int, module);
  QFETCH(int, param);
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
  QCOMPARE(rig.session.Params().Mirror(module, param).AsInt(), value);
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(module, param) == word; }, 3000));
}

void AppMasterControlsTest::micVolumeClampedToMaximum() {
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

void AppMasterControlsTest::muteBoxesToggle() {
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

void AppMasterControlsTest::pitchWords_data() {
  QTest::addColumn<int>("pitch");
  QTest::addColumn<std::uint32_t>("word");
  QTest::addColumn<QString>("caption");
  QTest::newRow("-5") << -5 << std::uint32_t{0} << QString::fromUtf8("音乐变调:-5");
  QTest::newRow("+5") << 5 << std::uint32_t{10} << QString::fromUtf8("音乐变调:+5");
  QTest::newRow("+1") << 1 << std::uint32_t{6} << QString::fromUtf8("音乐变调:+1");
}

void AppMasterControlsTest::pitchWords() {
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
  QVERIFY(rig.View().Masters().PitchPollActive());
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(4, 21) == word; }, 3000));
}

void AppMasterControlsTest::noiseGateLabelInEnglish() {
  AppRig rig;
  rig.Start(1);
  Slider(rig, 32846)->setValue(7);
  QCOMPARE(LabelText(rig, 32842), QStringLiteral("Noisegate:      7"));
  QCOMPARE(LabelText(rig, 32878), QStringLiteral("Noisegate:      7"));
}

void AppMasterControlsTest::trackClickStepsByOne() {
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

void AppMasterControlsTest::wheelOverPanelMovesBothCopies() {
  AppRig rig;
  rig.Start();
  rig.Frame().show();
  rig.Frame().Ribbon().SetActiveCategory(1);
  Slider(rig, 32919)->SetPos(30);
  Slider(rig, 32918)->SetPos(30);
  ui::RibbonPanel* panel = rig.Frame().Ribbon().Category(1)->Panel(2);
  QWheelEvent wheel(QPointF(5, 5), panel->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                    Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(panel, &wheel);
  QCOMPARE(Slider(rig, 32919)->Pos(), 31);
  QCOMPARE(Slider(rig, 32918)->Pos(), 31);
  QCOMPARE(rig.session.Params().Mirror(3, 24).AsInt(), 31);
  // Over the tabs the wheel does not switch categories.
  auto* tabs = rig.Frame().Ribbon().findChild<QTabBar*>();
  QWheelEvent tabWheel(QPointF(5, 5), tabs->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(tabs, &tabWheel);
  QCOMPARE(rig.Frame().Ribbon().ActiveCategory(), 1);
}

void AppMasterControlsTest::languageSwitchRetextsRibbon() {
  AppRig rig;
  rig.Start();
  ui::RibbonBar& ribbon = rig.Frame().Ribbon();
  QCOMPARE(ribbon.CategoryName(0), QString::fromUtf8("输入控制"));
  QCOMPARE(ribbon.Category(0)->Panel(0)->Name(), QString::fromUtf8("话筒音量"));
  rig.View().OnCommand(32805);
  QCOMPARE(rig.settings->Language(), 1);
  QCOMPARE(ribbon.CategoryName(0), QStringLiteral("Input"));
  QCOMPARE(ribbon.CategoryName(1), QStringLiteral("Output"));
  const QStringList en = {"Mic  Vol",  "Effect Vol",    "Reverb Vol", "Echo Vol",
                          "Music Vol", "Music Pitch+0", "Load",       "Save"};
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

QTEST_MAIN(AppMasterControlsTest)
#include "app_master_controls_test.moc"
