// The settings store, the language files and the dialog texts. Offscreen.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include "app_test_support.h"
#include "ui/shell/command_ids.h"
#include "ui/app/dialog_ip.h"
#include "ui/shell/language_file.h"
#include "ui/shell/ui_language.h"
#include "ui/controls/ctrl_id.h"

using namespace apptest;

class AppSettingsTest : public QObject {
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
  void nestedControlsFollowTheLanguageToo();
};

void AppSettingsTest::settingsDefaultsOnEmptyStore() {
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

void AppSettingsTest::linkOptionsBlob_data() {
  QTest::addColumn<QByteArray>("stored");
  QTest::addColumn<QByteArray>("read");
  const QByteArray defaults("\x01\x01\x01\x00\x00\x00\x00\x00", 8);
  QTest::newRow("all off") << QByteArray(8, '\0') << QByteArray(8, '\0');
  QTest::newRow("front off") << QByteArray("\x00\x01\x01\x00\x00\x00\x00\x00", 8)
                             << QByteArray("\x00\x01\x01\x00\x00\x00\x00\x00", 8);
  QTest::newRow("longer blob: first 8 bytes")
      << QByteArray("\x01\x00\x01\x00\x00\x00\x00\x00\x07\x07", 10)
      << QByteArray("\x01\x00\x01\x00\x00\x00\x00\x00", 8);
  QTest::newRow("short blob: defaults") << QByteArray("\x00\x00", 2) << defaults;
}

void AppSettingsTest::linkOptionsBlob() {
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

void AppSettingsTest::recentFilesKeepTen() {
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

void AppSettingsTest::languageFileParse_data() {
  QTest::addColumn<QByteArray>("text");
  QTest::addColumn<QString>("key");
  QTest::addColumn<QString>("value");
  QTest::newRow("crlf") << QByteArray("[String]\r\nIDD521_title=Connect IP\r\nIDD521_1=Connect")
                        << "IDD521_1"
                        << "Connect";
  QTest::newRow("comment and empty lines")
      << QByteArray("[String]\r\n// IDD_DIALOG_OUTPUT\r\n\r\nIDD385_1062=FL+FR Linked")
      << "IDD385_1062"
      << "FL+FR Linked";
  QTest::newRow("utf-8 with bom") << QByteArray("\xEF\xBB\xBF[String]\nIDD335_title=机器设置")
                                  << "IDD335_title" << QString::fromUtf8("机器设置");
  QTest::newRow("value with = and spaces") << QByteArray("[String]\nIDD1_2= a=b ") << "IDD1_2"
                                           << " a=b ";
  QTest::newRow("outside the section") << QByteArray("IDD1_2=x\n[Other]\nIDD1_3=y") << "IDD1_2"
                                       << "";
  QTest::newRow("first key wins") << QByteArray("[String]\nIDD1_2=x\nIDD1_2=y") << "IDD1_2"
                                  << "x";
  QTest::newRow("cut at 999") << (QByteArray("[String]\nIDD1_2=") + QByteArray(1200, 'v'))
                              << "IDD1_2" << QString(999, QLatin1Char('v'));
}

void AppSettingsTest::languageFileParse() {
  QFETCH(QByteArray, text);
  QFETCH(QString, key);
  QFETCH(QString, value);
  QCOMPARE(ui::LanguageFile::Parse(text).Value(key), value);
}

void AppSettingsTest::dialogTextsFollowLanguage_data() {
  QTest::addColumn<int>("language");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("host");
  QTest::addColumn<QString>("button");
  QTest::newRow("zh") << 0 << QString::fromUtf8("网络连接") << QString::fromUtf8("机器IP地址")
                      << QString::fromUtf8("尝试连接");
  QTest::newRow("en") << 1 << "Connect IP"
                      << "Host IP:"
                      << "Connect";
}

void AppSettingsTest::dialogTextsFollowLanguage() {
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
  auto* error = ui::FindCtrl(&dialog, ui::ids::connect::kError);
  lang.ApplyDialogTexts(&dialog, ui::ids::kConnectDialog);
  QCOMPARE(dialog.windowTitle(), title);
  QCOMPARE(qobject_cast<QLabel*>(ui::FindCtrl(&dialog, 1005))->text(), host);
  QCOMPARE(qobject_cast<QAbstractButton*>(ui::FindCtrl(&dialog, 1))->text(), button);
  // A control without a key keeps its text.
  QVERIFY(qobject_cast<QLabel*>(error)->text().isEmpty());
  // Null windows are ignored.
  lang.ApplyDialogTexts(nullptr, ui::ids::kConnectDialog);
}

void AppSettingsTest::nestedControlsFollowTheLanguageToo() {
  ui::UiLanguage lang;
  lang.SetLanguage(ui::UiLanguage::kEnglish);
  QVERIFY(lang.LoadFile());
  QWidget window;
  auto* group = new QGroupBox(&window);
  auto* inner = new QWidget(group);
  auto* radio = new QRadioButton(QStringLiteral("old"), inner);
  ui::SetCtrlId(radio, 1040);
  // A page inside the window that has texts of its own keeps them.
  auto* page = new QWidget(&window);
  ui::SetDialogId(page, 385);
  auto* pageLabel = new QLabel(QStringLiteral("page's own"), page);
  ui::SetCtrlId(pageLabel, 1040);
  lang.ApplyDialogTexts(&window, ui::ids::kConnectDialog);
  QCOMPARE(window.windowTitle(), QStringLiteral("Connect IP"));
  QCOMPARE(radio->text(), QStringLiteral("Port:"));
  QCOMPARE(pageLabel->text(), QStringLiteral("page's own"));
}

QTEST_MAIN(AppSettingsTest)
#include "app_settings_test.moc"
