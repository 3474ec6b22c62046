#include "ui/app/mode_commands.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <utility>

#include "core/presets/mode_file.h"
#include "core/session.h"
#include "core/trace.h"
#include "ui/app/main_frame.h"
#include "ui/shell/prompts.h"
#include "ui/app/rv4470v13_app.h"

namespace ui {

namespace {

const char* const kModeZh[] = {"一", "二", "三", "四"};
const char* const kModeDigits[] = {"1", "2", "3", "4"};

int ClampMode(int n) {
  return std::clamp(n, 0, 3);
}

}  // namespace

ModeCommands::ModeCommands(CRV4470v13App& app, CMainFrame& frame, QWidget* owner)
    : QObject(owner), app_(app), frame_(frame), session_(app.Session()), owner_(owner) {}

void ModeCommands::LoadMode(int n) {
  if (!session_.IsOpen()) return;
  const UiLanguage& lang = app_.Language();
  const int m = ClampMode(n);
  if (session_.Records().SettingsChanged()) {
    const QString text =
        lang.English()
            ? QStringLiteral("Setting changed ! Are you sure load mode%1?").arg(kModeDigits[m])
            : QString::fromUtf8("参数已更改，确定要直接载入模式%1?")
                  .arg(QString::fromUtf8(kModeZh[m]));
    if (!app_.Prompter().Question(owner_, lang.Pick("信息", "Information"), text)) return;
  }
  if (session_.LoadMode(m)) app_.ShowSyncDialog(QString());
}

void ModeCommands::StoreMode(int n) {
  if (!session_.IsOpen()) return;
  const UiLanguage& lang = app_.Language();
  const int m = ClampMode(n);
  const QString text =
      lang.English()
          ? QStringLiteral("Save to machine mode %1?").arg(kModeDigits[m])
          : QString::fromUtf8("确定要保存至机器模式%1?").arg(QString::fromUtf8(kModeZh[m]));
  if (!app_.Prompter().Question(owner_, lang.Pick("信息", "Information"), text)) return;
  SaveToMode(m);
  QTimer::singleShot(kSavingNoticeDelayMs, this, [this, m] {
    const UiLanguage& l = app_.Language();
    app_.ShowNotice(
        l.English() ? QStringLiteral("Saving Mode %1 ……").arg(kModeDigits[m])
                    : QString::fromUtf8("正在储存模式%1,请稍等").arg(QString::fromUtf8(kModeZh[m])),
        2500);
  });
}

void ModeCommands::SaveToMode(int mode) {
  session_.StoreMode(mode);
}

void ModeCommands::LoadModeFileCommand() {
  if (!session_.IsOpen()) {
    app_.ShowNotice(app_.Language().Pick("请先连接设备!", "Please connect device!"), 1100);
    return;
  }
  const QString path = app_.Prompter().OpenFile(owner_, QStringLiteral("Mode Files (*.mode)"));
  if (path.isEmpty()) return;
  LoadModeFileAt(path);
}

void ModeCommands::LoadModeFileAt(const QString& path) {
  const auto result = core::presets::LoadModeFile(session_, path.toStdString());
  if (result.code == core::presets::FileResult::Code::OpenFailed) {
    FileError(path, result.error, "无法读取模式文件“%1”：%2",
              "The mode file \"%1\" could not be read: %2");
    return;
  }
  if (result.code != core::presets::FileResult::Code::Ok) {
    app_.Prompter().Message(QApplication::activeWindow(), QStringLiteral("Info"),
                            QStringLiteral("Mode file version not support!"),
                            Prompts::Icon::Information);
    return;
  }
  // Only a file that was taken is stored into the device mode its name
  // gives: a refused one must not leave its slot to the next read-all.
  pendingModeSlot_ = core::presets::ModeSlotFromFileName(path.toStdString());
  app_.Settings().AddRecentFile(path);
  frame_.RefreshRecentFiles();
  session_.Sync().StartWriteAll();
  app_.ShowSyncDialog(QString());
}

void ModeCommands::SyncEnded(bool afterWrite, bool protocolOk) {
  // The slot of a loaded mode file is for the write-all that pushed it; a
  // read-all ending instead means the processor holds something else.
  const int slot = std::exchange(pendingModeSlot_, -1);
  if (slot != -1 && afterWrite && protocolOk) session_.NameAndStoreMode(slot);
}

void ModeCommands::OfferCommandLineFile(const QString& path) {
  // Asked, not pushed: the processor's settings are replaced only when the
  // user says so, and a file named m1..m4 overwrites that device mode too.
  const UiLanguage& lang = app_.Language();
  const QString name = QFileInfo(path).fileName();
  const int slot = core::presets::ModeSlotFromFileName(path.toStdString());
  QString text = lang.English()
                     ? QStringLiteral("Write the mode file \"%1\" into the processor?").arg(name)
                     : QString::fromUtf8("要把模式文件“%1”写入机器吗？").arg(name);
  if (slot >= 0) {
    text += lang.English()
                ? QStringLiteral(
                      "\nIt will also be stored into machine mode M%1, replacing what M%1 holds.")
                      .arg(slot + 1)
                : QString::fromUtf8("\n它还会保存到机器模式M%1，覆盖M%1原有的设置。").arg(slot + 1);
  }
  if (!app_.Prompter().Question(owner_, lang.Pick("信息", "Information"), text)) return;
  app_.OpenDocumentFile(path);
}

void ModeCommands::SaveModeFileCommand() {
  if (!session_.IsOpen()) {
    app_.ShowNotice(app_.Language().Pick("请先连接设备!", "Please connect device!"), 1100);
    return;
  }
  const QString path =
      app_.Prompter().SaveFile(owner_, QStringLiteral("name"), QStringLiteral("mode"),
                               QStringLiteral("Mode Files (*.mode)"));
  if (path.isEmpty()) return;
  SaveToMode(session_.Records().CurrentMode());
  SaveModeFileAt(path);
}

bool ModeCommands::SaveModeFileAt(const QString& path) {
  const auto result = core::presets::SaveModeFile(session_, path.toStdString());
  if (result.code != core::presets::FileResult::Code::Ok) {
    core::Trace("mode file not written: " + path.toStdString());
    FileError(path, result.error, "无法保存模式文件“%1”：%2",
              "The mode file \"%1\" could not be saved: %2");
    return false;
  }
  app_.Settings().AddRecentFile(path);
  frame_.RefreshRecentFiles();
  return true;
}

void ModeCommands::FileError(const QString& path, int error, const char* zh, const char* en) {
  const UiLanguage& lang = app_.Language();
  const QString reason = QString::fromLocal8Bit(std::strerror(error));
  app_.Prompter().Message(owner_, lang.Pick("错误", "Error"),
                          lang.Pick(zh, en).arg(QFileInfo(path).fileName(), reason),
                          Prompts::Icon::Error);
}

void ModeCommands::MachineReset() {
  if (!session_.IsOpen()) return;
  const UiLanguage& lang = app_.Language();
  if (!app_.Prompter().Question(owner_, QString::fromUtf8("提示"),
                                lang.Pick("您确定要将机器复位吗? \n机器复位后请手动重启机器.",
                                          "Are you sure reset machine? "))) {
    return;
  }
  session_.FactoryReset();
  app_.State().speakerLinks = LinkOptions::Defaults();
  app_.Settings().WriteLinkOptions(app_.State().speakerLinks);
  app_.ShowNotice(lang.Pick("请手动重启……", "Please restart……"), 10000);
}

}  // namespace ui
