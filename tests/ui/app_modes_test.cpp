// Device modes and mode files, against the in-process simulator. Offscreen.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include "app_test_support.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/status_pane.h"

using namespace apptest;

class AppModesTest : public QObject {
  Q_OBJECT
 private slots:
  void loadModeWithoutChanges();
  void loadModeWithChangesAsks_data();
  void loadModeWithChangesAsks();
  void storeModeTwo_data();
  void storeModeTwo();
  void modeFileSlotRule();
  void closePrompt_data();
  void closePrompt();
  void closeKeepsTheWindowWhenTheSaveFails();
  void openDocumentFile();
  void commandLineFileWaitsForSync_data();
  void commandLineFileWaitsForSync();
  void refusedModeFileStoresNothing();
};

void AppModesTest::loadModeWithoutChanges() {
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

void AppModesTest::loadModeWithChangesAsks_data() {
  QTest::addColumn<int>("language");
  QTest::addColumn<bool>("yes");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QString>("text");
  QTest::newRow("zh, no") << 0 << false << QString::fromUtf8("信息")
                          << QString::fromUtf8("参数已更改，确定要直接载入模式三?");
  QTest::newRow("en, yes") << 1 << true << "Information"
                           << "Setting changed ! Are you sure load mode3?";
}

void AppModesTest::loadModeWithChangesAsks() {
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

void AppModesTest::storeModeTwo_data() {
  QTest::addColumn<int>("language");
  QTest::addColumn<QString>("question");
  QTest::addColumn<QString>("notice");
  QTest::newRow("zh") << 0 << QString::fromUtf8("确定要保存至机器模式二?")
                      << QString::fromUtf8("正在储存模式二,请稍等");
  QTest::newRow("en") << 1 << "Save to machine mode 2?" << QString::fromUtf8("Saving Mode 2 ……");
}

void AppModesTest::storeModeTwo() {
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

void AppModesTest::modeFileSlotRule() {
  AppRig rig;
  rig.Start();
  QVERIFY(rig.ConnectAndSync());
  const QString named = rig.dir.filePath(QStringLiteral("M2 living room.mode"));
  const QString other = rig.dir.filePath(QStringLiteral("my m2.mode"));
  rig.View().Modes().SaveModeFileAt(named);
  rig.View().Modes().SaveModeFileAt(other);
  QCOMPARE(rig.settings->RecentFiles().first(), other);

  rig.processor.ClearRequests();
  rig.View().Modes().LoadModeFileAt(other);
  QVERIFY(
      QTest::qWaitFor([&] { return rig.app->SyncDialog() == nullptr && rig.Got({0x32}); }, 10000));
  QTest::qWait(100);
  QVERIFY(!rig.Got({0x03, 0x01}));

  rig.processor.ClearRequests();
  rig.View().Modes().LoadModeFileAt(named);
  QVERIFY(QTest::qWaitFor([&] { return rig.Got({0x04, 0x01}); }, 10000));
  const int named03 = rig.IndexOf({0x03, 0x01});
  QVERIFY(named03 >= 0);
  QVERIFY(rig.IndexOf({0x04, 0x01}, named03) > named03);
  QVERIFY(rig.IndexOf({0x32}) < named03);
  QCOMPARE(rig.View().Modes().PendingModeSlot(), -1);
  QCOMPARE(rig.session.Records().CurrentMode(), 1);
}

void AppModesTest::closePrompt_data() {
  QTest::addColumn<int>("answer");
  QTest::addColumn<bool>("closed");
  QTest::newRow("cancel keeps running") << int(ui::Prompts::Answer::Cancel) << false;
  QTest::newRow("no closes with 8A") << int(ui::Prompts::Answer::No) << true;
  QTest::newRow("yes saves, stores, closes") << int(ui::Prompts::Answer::Yes) << true;
}

void AppModesTest::closePrompt() {
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
  if (closed)
    QVERIFY(QTest::qWaitFor([&] { return rig.processor.Counters().disconnectNotices >= 1; }, 3000));
  const bool saved = answer == int(ui::Prompts::Answer::Yes);
  QCOMPARE(QFile::exists(rig.prompts.savePath), saved);
  if (saved) {
    QCOMPARE(QFileInfo(rig.prompts.savePath).size(), qint64{3578});
    QVERIFY(!rig.session.Records().SettingsChanged());
  }
}

void AppModesTest::closeKeepsTheWindowWhenTheSaveFails() {
  AppRig rig;
  rig.Start(1);
  QVERIFY(rig.ConnectAndSync());
  rig.session.Records().SetSettingsChanged(true);
  rig.prompts.closeAnswer = ui::Prompts::Answer::Yes;
  rig.prompts.savePath = rig.dir.filePath(QStringLiteral("no such folder/preset.mode"));
  QVERIFY(!rig.Frame().close());
  QVERIFY(rig.session.Link().IsOpen());
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].caption, QStringLiteral("Error"));
  QVERIFY(rig.prompts.messages[0].text.startsWith(
      QStringLiteral("The mode file \"preset.mode\" could not be saved: ")));
}

void AppModesTest::openDocumentFile() {
  AppRig rig;
  rig.Start();
  // Missing file.
  QVERIFY(!rig.app->OpenDocumentFile(rig.dir.filePath(QStringLiteral("gone.mode"))));
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].caption, QString::fromUtf8("文件打开错误"));
  QCOMPARE(rig.prompts.messages[0].text, QString::fromUtf8("文件不存在！"));
  QVERIFY(rig.ConnectAndSync());
  const QString upper = rig.dir.filePath(QStringLiteral("SHOW.MODE"));
  rig.View().Modes().SaveModeFileAt(upper);
  QVERIFY(QFile::exists(upper));
  rig.processor.ClearRequests();
  QVERIFY(rig.app->OpenDocumentFile(upper));
  QVERIFY(
      QTest::qWaitFor([&] { return rig.app->SyncDialog() == nullptr && rig.Got({0x32}); }, 10000));
  // Another extension is not taken.
  const QString text = rig.dir.filePath(QStringLiteral("notes.txt"));
  QFile f(text);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.close();
  QVERIFY(!rig.app->OpenDocumentFile(text));
}

void AppModesTest::commandLineFileWaitsForSync_data() {
  QTest::addColumn<int>("language");
  QTest::addColumn<bool>("yes");
  QTest::addColumn<QString>("caption");
  QTest::newRow("zh, yes") << 0 << true << QString::fromUtf8("信息");
  QTest::newRow("en, no") << 1 << false << "Information";
}

void AppModesTest::commandLineFileWaitsForSync() {
  QFETCH(int, language);
  QFETCH(bool, yes);
  QFETCH(QString, caption);
  AppRig rig;
  rig.Start(language);
  const QString file = rig.dir.filePath(QStringLiteral("m4 party.mode"));
  auto identity = rig.session.Records().Identity();
  identity.SetProtocolVersion(20);
  rig.session.Records().SetIdentity(identity);  // the file of a protocol-20 processor
  rig.View().Modes().SaveModeFileAt(file);
  rig.app->OpenAfterFirstSync(file);
  rig.prompts.yes = yes;
  QTest::qWait(50);
  QVERIFY(!rig.Got({0x32}));
  QVERIFY(rig.prompts.questions.empty());
  QVERIFY(rig.ConnectAndSync());
  // After the read-all the user is asked, naming the file and the device
  // mode its name will overwrite.
  QVERIFY(QTest::qWaitFor([&] { return !rig.prompts.questions.empty(); }, 5000));
  QCOMPARE(rig.prompts.questions.size(), std::size_t{1});
  QCOMPARE(rig.prompts.questions[0].caption, caption);
  QVERIFY(rig.prompts.questions[0].text.contains(QStringLiteral("m4 party.mode")));
  QVERIFY(rig.prompts.questions[0].text.contains(QStringLiteral("M4")));
  QVERIFY(rig.app->TakePendingOpen().isEmpty());
  if (yes) {
    // Pushed and, named m4, stored in mode 4.
    QVERIFY(QTest::qWaitFor([&] { return rig.Got({0x04, 0x03}); }, 10000));
    QVERIFY(rig.Got({0x32}));
  } else {
    QTest::qWait(300);
    QVERIFY(!rig.Got({0x32}));
    QVERIFY(!rig.Got({0x04, 0x03}));
    QCOMPARE(rig.View().Modes().PendingModeSlot(), -1);
  }
}

void AppModesTest::refusedModeFileStoresNothing() {
  AppRig rig;
  rig.Start(1);
  QVERIFY(rig.ConnectAndSync());
  // A mode file of an older processor, named for device mode M2.
  const QString old = rig.dir.filePath(QStringLiteral("m2 old show.mode"));
  auto identity = rig.session.Records().Identity();
  identity.SetProtocolVersion(17);
  rig.session.Records().SetIdentity(identity);
  rig.View().Modes().SaveModeFileAt(old);
  identity.SetProtocolVersion(20);
  rig.session.Records().SetIdentity(identity);

  rig.processor.ClearRequests();
  rig.View().Modes().LoadModeFileAt(old);
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].text, QStringLiteral("Mode file version not support!"));
  QCOMPARE(rig.View().Modes().PendingModeSlot(), -1);
  // The next read-all (loading device mode M1) stores into no mode.
  rig.View().OnCommand(32910);
  QVERIFY(rig.Got({0x05, 0x00}));
  QVERIFY(rig.WaitSynced());
  QTest::qWait(100);
  QVERIFY(!rig.Got({0x03, 0x01}));
  QVERIFY(!rig.Got({0x04, 0x01}));
  QVERIFY(!rig.Got({0x32}));
}

QTEST_MAIN(AppModesTest)
#include "app_modes_test.moc"
