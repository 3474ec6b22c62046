// The main window, its single instance, the page area and the dialogs the shell opens. Offscreen.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QProcess>
#include <QResizeEvent>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "app_test_support.h"
#include "core/link/plug_requests.h"
#include "ui/shell/command_ids.h"
#include "ui/app/info_dlg.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/single_instance.h"
#include "ui/app/wait_dlg.h"
#include "ui/app/window_placement.h"
#include "ui/controls/ctrl_id.h"

using namespace apptest;

class AppWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void noticeReplacesText();
  void closingTheWindowClosesEveryDialog();
  void windowPlacementFitsTheScreens_data();
  void windowPlacementFitsTheScreens();
  void windowPlaceKeptBetweenRuns();
  void rearmedWaitDialogGetsTwentySeconds();
  void singleInstanceTakesOverStaleMarker();
  void secondProcessActivatesFirst();
  void pageAreaNeverBelowMinimum();
  void f7OpensMachineSettings();
  void modelessDialogsOpenOnceAndComeBackAfterClosing();
  void modelessDialogsRetextRefreshAndCloseInOrder();
  void syncDialogTimeOut();
  void waitDialog_data();
  void waitDialog();
  void plugCommandSendsItsRequestAndStopsOnCancel();
};

void AppWindowTest::noticeReplacesText() {
  AppRig rig;
  rig.Start();
  rig.app->ShowNotice(QStringLiteral("first"), 1100);
  ui::CInfoDlg* first = rig.app->Notice();
  QVERIFY(first != nullptr);
  rig.app->ShowNotice(QStringLiteral("second"), 3000);
  QCOMPARE(rig.app->Notice(), first);
  QCOMPARE(first->Text(), QStringLiteral("second"));
  QVERIFY(first->RemainingMs() > 1100);
  QCOMPARE(qobject_cast<QAbstractButton*>(ui::FindCtrl(first, 2))->text(),
           QString::fromUtf8("关闭"));
  qobject_cast<QAbstractButton*>(ui::FindCtrl(first, 2))->click();
  QVERIFY(QTest::qWaitFor([&] { return rig.app->Notice() == nullptr; }, 1000));
  rig.app->ShowNotice(QStringLiteral("third"), 50);
  QVERIFY(rig.app->Notice() != nullptr);
  QVERIFY(QTest::qWaitFor([&] { return rig.app->Notice() == nullptr; }, 2000));
}

void AppWindowTest::singleInstanceTakesOverStaleMarker() {
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

void AppWindowTest::secondProcessActivatesFirst() {
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

void AppWindowTest::pageAreaNeverBelowMinimum() {
  AppRig rig;
  rig.Start();
  int created = 0;
  rig.pages.Register(ui::ids::kDelayPage, {[&](ui::PageContext&, QWidget* parent, int) {
                                             ++created;
                                             return new QWidget(parent);
                                           },
                                           {},
                                           {},
                                           {}});
  rig.Frame().resize(1040, 700);
  rig.Frame().show();
  QResizeEvent small(QSize(900, 300), rig.View().size());
  QApplication::sendEvent(&rig.View(), &small);
  QCOMPARE(rig.View().PageRect(), QRect(0, 0, 1024, 520));
  // The application opens on the mic and music page, laid out in the area.
  QVERIFY(rig.View().CurrentPage() != nullptr);
  QCOMPARE(rig.View().CurrentPage()->objectName(), QStringLiteral("CDialogMusic"));
  QCOMPARE(rig.View().CurrentPage()->geometry(), QRect(0, 0, 1024, 520));
  rig.View().ShowPage(ui::ids::kDelayPage, 0);
  rig.View().ShowPage(ui::ids::kDelayPage, 0);
  QCOMPARE(created, 1);
  QCOMPARE(rig.View().CurrentPage()->geometry(), QRect(0, 0, 1024, 520));
  rig.View().ShowPage(999, 3);  // no page has that id
  QVERIFY(rig.View().CurrentPage() == nullptr);
  QCOMPARE(rig.Frame().minimumSize(), QSize(1040, 700));
}

void AppWindowTest::f7OpensMachineSettings() {
  AppRig rig;
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start();
  rig.Frame().show();
  QTest::keyRelease(&rig.Frame(), Qt::Key_F7);
  QCOMPARE(fakes.Take(QStringLiteral("create")),
           QStringList{QStringLiteral("create settings 335")});
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
  QVERIFY(QTest::qWaitFor(
      [&] { return rig.app->Dialog(ui::ModelessDialog::MachineSettings) == nullptr; }));
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

void AppWindowTest::modelessDialogsOpenOnceAndComeBackAfterClosing() {
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
  QCOMPARE(fakes.Take(),
           (QStringList{QStringLiteral("create loudness 515"), QStringLiteral("refresh loudness"),
                        QStringLiteral("retext loudness")}));
  QPointer<QWidget> loudness = rig.app->Dialog(ui::ModelessDialog::Loudness);
  QVERIFY(loudness && loudness->isVisible() && loudness->parentWidget() == nullptr);
  rig.View().OnCommand(ui::ids::kFeatures);
  QCOMPARE(fakes.Take(),
           (QStringList{QStringLiteral("refresh loudness"), QStringLiteral("retext loudness")}));
  QCOMPARE(rig.app->Dialog(ui::ModelessDialog::Loudness), loudness.data());
  // Closing its window deletes it; the next opening makes it anew.
  // Asked for again before the closed one is gone, it is not shown again.
  loudness->close();
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::Loudness) == nullptr);
  rig.View().OnCommand(ui::ids::kFeatures);
  QCOMPARE(fakes.Take(QStringLiteral("create")),
           QStringList{QStringLiteral("create loudness 515")});
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
  QVERIFY(rig.session.PollGate().Held(core::link::PollGate::Holder::SmartPlugDialog));
  QVERIFY(!rig.session.PollGate().Open());
  rig.app->CloseDialog(ui::ModelessDialog::SmartPlug);
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::SmartPlug) == nullptr);
  QVERIFY(rig.session.PollGate().Open());

  QVERIFY(rig.ConnectAndSync());
  fakes.Take();
  // A synchronisation that ends while the plug dialog is open does not
  // open the gate the dialog holds: the view still asks for no status.
  auto statusRequests = [&] {
    int n = 0;
    for (const auto& r : rig.processor.Requests()) n += r == sim::Bytes{0x0E};
    return n;
  };
  rig.View().OnCommand(ui::ids::kSmartPlugs);
  rig.session.PollGate().Hold(core::link::PollGate::Holder::SyncRun);
  rig.session.PollGate().Release(core::link::PollGate::Holder::SyncRun);
  rig.processor.ClearRequests();
  QTest::qWait(1200);
  QCOMPARE(statusRequests(), 0);
  rig.app->CloseDialog(ui::ModelessDialog::SmartPlug);
  QVERIFY(QTest::qWaitFor([&] { return statusRequests() > 0; }, 3000));
  fakes.Take();
  rig.View().OnCommand(ui::ids::kRemoteLearning);
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{QStringLiteral("create remote 373")});
  QVERIFY(rig.session.PollGate().Held(core::link::PollGate::Holder::RemoteDialog));
  rig.View().OnRemoteKey(7);  // a learnt key goes to the learning dialog
  QCOMPARE(fakes.Take(), QStringList{QStringLiteral("key remote 7")});
  rig.View().OnPlugProgress(3024, 19, 0x430001);  // no plug dialog open: dropped
  QCOMPARE(fakes.Take(), QStringList{});
  rig.app->CloseDialog(ui::ModelessDialog::DeviceRemote);
  QVERIFY(!rig.session.PollGate().Held(core::link::PollGate::Holder::RemoteDialog));

  // The input source: the model's variant, or the settings dialog on a
  // board tagged "U".
  rig.View().OnCommand(ui::ids::kInputSource);
  QCOMPARE(fakes.Take(QStringLiteral("create")), QStringList{QStringLiteral("create input 530")});
  core::link::BoardInfo board = rig.session.Records().Board();
  board[0] = 0x55;
  rig.session.Records().SetBoard(board);
  rig.View().OnCommand(ui::ids::kInputSource);
  QCOMPARE(fakes.Take(QStringLiteral("create")),
           QStringList{QStringLiteral("create inputset 542")});
  rig.View().OnCommand(ui::ids::kSmartPlugs);
  rig.View().OnPlugProgress(3025, 2, 1);
  QCOMPARE(fakes.Take(QStringLiteral("plug")), QStringList{QStringLiteral("plug plug 3025 2 1")});
}

void AppWindowTest::modelessDialogsRetextRefreshAndCloseInOrder() {
  AppRig rig;
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start();
  for (const FakeDialogs::Kind& k : FakeDialogs::kKinds) rig.app->OpenDialog(k.which, 1);
  rig.app->OpenConnectDialog();
  QCOMPARE(rig.app->ConnectDialog()->windowTitle(), QString::fromUtf8("网络连接"));
  fakes.Take();

  rig.View().OnCommand(ui::ids::kLanguageSwitch);
  QCOMPARE(fakes.Take(),
           (QStringList{QStringLiteral("retext settings"), QStringLiteral("retext autosub"),
                        QStringLiteral("retext input"), QStringLiteral("retext inputset"),
                        QStringLiteral("retext remote"), QStringLiteral("retext plug"),
                        QStringLiteral("retext loudness")}));
  QCOMPARE(rig.app->ConnectDialog()->windowTitle(), QStringLiteral("Connect IP"));

  rig.View().RefreshAll();
  QCOMPARE(fakes.Take(),
           (QStringList{QStringLiteral("refresh settings"), QStringLiteral("refresh autosub"),
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
  QCOMPARE(fakes.Take(),
           (QStringList{QStringLiteral("close settings"), QStringLiteral("close autosub"),
                        QStringLiteral("close input"), QStringLiteral("close inputset"),
                        QStringLiteral("close remote"), QStringLiteral("close plug"),
                        QStringLiteral("close loudness")}));
  for (int i = 0; i < ui::kModelessDialogCount; ++i) {
    QVERIFY(rig.app->Dialog(static_cast<ui::ModelessDialog>(i)) == nullptr);
  }
  QVERIFY(rig.session.PollGate().Open());
}

void AppWindowTest::syncDialogTimeOut() {
  AppRig rig;
  rig.Start(1);
  QVERIFY(rig.ConnectAndSync());
  rig.app->SetSyncTimeout(100);
  rig.app->ShowSyncDialog(QString());  // nothing ends it: the time-out does
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].caption, QString::fromUtf8("错误"));
  QCOMPARE(rig.prompts.messages[0].text, QString::fromUtf8("发生错误，与设备数据同步超时……"));
  QVERIFY(!rig.session.Link().IsOpen());  // network mode: the link is closed
  QVERIFY(rig.app->SyncDialog() == nullptr);
}

void AppWindowTest::waitDialog_data() {
  QTest::addColumn<QString>("ending");
  QTest::newRow("time-out") << "timeout";
  QTest::newRow("cancel button") << "cancel";
  QTest::newRow("finish at once") << "finish0";
  QTest::newRow("finish after a delay") << "finish";
}

void AppWindowTest::waitDialog() {
  QFETCH(QString, ending);
  AppRig rig;
  rig.Start();
  std::vector<ui::CWaitDlg::Request> cancelled;
  rig.app->SetPlugCancelAction([&](ui::CWaitDlg::Request r) { cancelled.push_back(r); });
  rig.app->SetWaitTimeout(ending == QLatin1String("timeout") ? 200 : 5000);
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
    if (ending == QLatin1String("cancel"))
      qobject_cast<QAbstractButton*>(ui::FindCtrl(w, 3))->click();
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

void AppWindowTest::plugCommandSendsItsRequestAndStopsOnCancel() {
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
  rig.View().PlugWaits().Start(QStringLiteral("switching"), 0x13, 5, 99, 100);
  rig.View().PlugWaits().ReplaceText(QStringLiteral("done"));
  QTest::qWait(200);
  QVERIFY(rig.app->WaitDialog() == nullptr);
  QVERIFY(QTest::qWaitFor([&] { return plugFrames().size() == 1; }));
  QCOMPARE(plugFrames()[0], frame({0x13, 5, 0x03, 0x20, 0x01, 99, 0x25, 0x43}));
  // Node 0 and unknown codes issue nothing.
  rig.View().PlugWaits().Start(QString(), 0x13, 0, 99, 100);
  rig.View().PlugWaits().Cancel();
  rig.View().PlugWaits().Start(QString(), 0x20, 5, 99, 100);
  rig.View().PlugWaits().Cancel();
  // An inclusion nobody completes: the wait dialog opens at once, times
  // out and the controller is told to stop.
  std::vector<ui::CWaitDlg::Request> cancelled;
  rig.app->SetPlugCancelAction([&](ui::CWaitDlg::Request r) { cancelled.push_back(r); });
  rig.app->SetWaitTimeout(200);
  rig.View().PlugWaits().Start(QStringLiteral("adding"), 0x4A, 0, 0, 0);
  QVERIFY(QTest::qWaitFor([&] { return cancelled.size() == 1; }, 5000));
  QVERIFY(QTest::qWaitFor([&] { return plugFrames().size() == 3; }));
  const auto frames = plugFrames();
  QCOMPARE(frames[1], frame({0x4A, 0x01, 0x30}));
  QCOMPARE(frames[2], frame({0x4A, 0x05, 0x00}));
  QCOMPARE(cancelled[0].function, std::uint8_t{0x4A});
}

void AppWindowTest::closingTheWindowClosesEveryDialog() {
  AppRig rig;
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  rig.app->OpenConnectDialog();
  rig.app->OpenDialog(ui::ModelessDialog::Loudness, ui::ids::kLoudnessDialog);
  rig.app->ShowNotice(QStringLiteral("a notice"), 10000);
  QVERIFY(rig.app->ConnectDialog()->isVisible());
  QSignalSpy closed(rig.app.get(), &ui::CRV4470v13App::MainWindowClosed);
  QVERIFY(rig.Frame().close());
  QCOMPARE(closed.count(), 1);
  QVERIFY(!rig.session.Link().IsOpen());
  // Nothing is left on the screen to keep the process running.
  QVERIFY(rig.app->ConnectDialog() == nullptr);
  QVERIFY(rig.app->Dialog(ui::ModelessDialog::Loudness) == nullptr);
  QTest::qWait(10);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    QVERIFY2(!w->isVisible(), qPrintable(w->objectName() + QStringLiteral(" still shown")));
  }
}

void AppWindowTest::windowPlacementFitsTheScreens_data() {
  QTest::addColumn<QRect>("saved");
  QTest::addColumn<QList<QRect>>("screens");
  QTest::addColumn<QRect>("restored");
  const QRect hd(0, 0, 1920, 1040);
  const QRect right(1920, 0, 1280, 1000);
  QTest::newRow("on the screen: unchanged")
      << QRect(100, 80, 1200, 760) << QList<QRect>{hd} << QRect(100, 80, 1200, 760);
  QTest::newRow("hanging off the right: moved on")
      << QRect(1500, 80, 1200, 760) << QList<QRect>{hd} << QRect(720, 80, 1200, 760);
  QTest::newRow("on the second screen: stays there")
      << QRect(2000, 100, 1100, 760) << QList<QRect>{hd, right} << QRect(2000, 100, 1100, 760);
  QTest::newRow("second screen unplugged: centred on the first")
      << QRect(2000, 100, 1100, 760) << QList<QRect>{hd} << QRect(410, 140, 1100, 760);
  QTest::newRow("larger than the screen: shrunk onto it")
      << QRect(0, 0, 2500, 1400) << QList<QRect>{hd} << QRect(0, 0, 1920, 1040);
  QTest::newRow("title above every screen: centred")
      << QRect(200, -400, 1200, 760) << QList<QRect>{hd} << QRect(360, 140, 1200, 760);
}

void AppWindowTest::windowPlacementFitsTheScreens() {
  QFETCH(QRect, saved);
  QFETCH(QList<QRect>, screens);
  QFETCH(QRect, restored);
  QCOMPARE(ui::FitOnScreens(saved, screens, QSize(1040, 700)), restored);
}

void AppWindowTest::windowPlaceKeptBetweenRuns() {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (screens.size() < 2) QSKIP("needs the two offscreen screens of offscreen_two_screens.json");
  const QRect second = screens[1]->availableGeometry();
  AppRig rig;
  rig.Start();
  // On the second screen, then closed: the next start opens there.
  const QRect where(second.topLeft() + QPoint(30, 40), QSize(1100, 720));
  rig.Frame().setGeometry(where);
  QCOMPARE(rig.Frame().geometry(), where);
  QVERIFY(rig.Frame().close());
  rig.app.reset();
  rig.Start();
  QCOMPARE(rig.Frame().geometry(), where);
  QVERIFY(!rig.Frame().isMaximized());
  QVERIFY(rig.Frame().close());
  rig.app.reset();
  // That screen is gone (the place lies beyond every screen now): the
  // window opens on the first screen, maximised as it was.
  rig.settings->WriteWindowPlacement({where.translated(second.width() + 4000, 0), true});
  rig.Start();
  QVERIFY(screens[0]->availableGeometry().contains(rig.Frame().normalGeometry()));
  QVERIFY(rig.Frame().windowState().testFlag(Qt::WindowMaximized));
}

void AppWindowTest::rearmedWaitDialogGetsTwentySeconds() {
  AppRig rig;
  rig.Start();
  rig.app->SetWaitTimeout(5000);
  int remaining = -1, first = -1;
  QTimer::singleShot(100, [&] {
    ui::CWaitDlg* w = rig.app->WaitDialog();
    if (w == nullptr) return;
    first = w->RemainingMs();
    rig.app->ShowWaitDialog(QStringLiteral("again"), 0x4A, 0, 0);  // re-arms the running one
    remaining = w->RemainingMs();
    w->Finish(0);
  });
  rig.app->ShowWaitDialog(QStringLiteral("adding"), 0x4A, 0, 0);
  // Coarse timers may report up to 5 % more than they were given.
  QVERIFY2(first > 0 && first <= 5250, qPrintable(QString::number(first)));
  QVERIFY2(remaining > 18000 && remaining <= 21000, qPrintable(QString::number(remaining)));
}

QTEST_MAIN(AppWindowTest)
#include "app_window_test.moc"
