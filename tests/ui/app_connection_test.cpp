// Connecting, synchronising and the link's events, against the in-process simulator. Offscreen.
#include <QTest>

#include "app_test_support.h"
#include "ui/shell/command_ids.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_panel.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/app/status_pane.h"

using namespace apptest;

namespace {

// Starts the application and connects it to the simulator while `other`
// holds it: true once the host has said it is busy.
bool ConnectToBusyHost(AppRig& rig, core::Session& other) {
  if (other.ConnectNetwork("127.0.0.1", rig.server.Port()) != core::link::kTcpConnected)
    return false;
  if (!QTest::qWaitFor([&] { return rig.server.HasClient(); }, 3000)) return false;
  rig.Start();
  if (rig.View().Connection().ConnectNetwork(QStringLiteral("127.0.0.1"), rig.server.Port()) != 1) {
    return false;
  }
  return QTest::qWaitFor([&] { return rig.View().Connection().HostBusy(); }, 5000);
}

}  // namespace

class AppConnectionTest : public QObject {
  Q_OBJECT
 private slots:
  void startSyncAndRefresh();
  void protocolMismatchBoxOnceAndLinkClosed();
  void linkLostNotice();
  void hostBusyNotice();
  void usbAfterBusyHostSynchronises();
  void usbStartupArrivalAndRemoval();
  void usbPermissionSaidOnce();
  void commandsNeedConnection();
};

void AppConnectionTest::startSyncAndRefresh() {
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
  QVERIFY(rig.View().Connection().StatusPollActive());
  QCOMPARE(rig.View().Tray().LastText(), QString::fromUtf8("设备已连接，同步中……"));
  QCOMPARE(rig.Frame().ModePane().text(), QString::fromUtf8("当前模式:M1"));
  // The other category shows the pitch at once, not after the next poll.
  rig.session.Params().SetMusicPitch(3);
  rig.Frame().Ribbon().SetActiveCategory(1);
  QCOMPARE(rig.Frame().Ribbon().Category(1)->Panel(5)->Name(), QString::fromUtf8("音乐变调:+3"));
}

void AppConnectionTest::protocolMismatchBoxOnceAndLinkClosed() {
  sim::ProcessorOptions options;
  options.protocolVersion = 17;
  AppRig rig(options);
  rig.Start();
  QCOMPARE(rig.View().Connection().ConnectNetwork(QStringLiteral("127.0.0.1"), rig.server.Port()),
           1);
  QVERIFY(QTest::qWaitFor([&] { return !rig.prompts.messages.empty(); }, 15000));
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].caption, QString::fromUtf8("错误"));
  QCOMPARE(rig.prompts.messages[0].text, QString::fromUtf8("E:NR620_11 通信版本不匹配!"));
  QVERIFY(!rig.session.Link().IsOpen());
  QVERIFY(!rig.View().Connection().StatusPollActive());
  QVERIFY(QTest::qWaitFor([&] { return rig.processor.Counters().disconnectNotices >= 1; }, 3000));
}

void AppConnectionTest::linkLostNotice() {
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

void AppConnectionTest::hostBusyNotice() {
  AppRig rig;
  // Another client holds the processor.
  core::Session other;
  QVERIFY(ConnectToBusyHost(rig, other));
  QCOMPARE(NoticeText(rig), QString::fromUtf8("主机已连接其他设备，请先断开!"));
  QVERIFY(rig.app->SyncDialog() == nullptr);
  other.Disconnect(false);
}

void AppConnectionTest::usbStartupArrivalAndRemoval() {
  AppRig rig({}, {}, true);
  FakeDialogs fakes;
  fakes.RegisterAll(rig.pages);
  rig.Start(0, true);  // timer 1 tries the USB link after 250 ms
  QVERIFY(rig.WaitSynced());
  QVERIFY(rig.session.Link().IsOpen());
  QVERIFY(!rig.session.Link().State().networkMode.load());
  rig.View().UpdateStatus();
  QCOMPARE(rig.Frame().ConnectionPane().text(), QString::fromUtf8("USB：已连接"));
  QVERIFY(rig.View().Connection().StatusPollActive());
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
  QVERIFY(!rig.View().Connection().StatusPollActive());
  QCOMPARE(rig.View().Tray().LastText(), QString::fromUtf8("设备已断开!"));
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

void AppConnectionTest::usbPermissionSaidOnce() {
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

void AppConnectionTest::commandsNeedConnection() {
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

void AppConnectionTest::usbAfterBusyHostSynchronises() {
  AppRig rig({}, {}, true);
  // A network processor that serves another client answers "busy".
  core::Session other;
  QVERIFY(ConnectToBusyHost(rig, other));
  rig.session.Disconnect(false);
  // Then a processor is plugged in by USB: it is synchronised like any
  // other, not left showing the defaults.
  rig.processor.ClearRequests();
  rig.View().OnDeviceArrived(sim::SimHidBackend::kDevicePath);
  QVERIFY(rig.session.Link().IsOpen());
  QVERIFY(!rig.View().Connection().HostBusy());
  QVERIFY(rig.WaitSynced());
  QCOMPARE(rig.View().Tray().LastText(), QString::fromUtf8("设备已连接，同步中……"));
  other.Disconnect(false);
}

QTEST_MAIN(AppConnectionTest)
#include "app_connection_test.moc"
