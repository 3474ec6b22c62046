#include "app_snapshots.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QTest>
#include <cstdio>

#include "app_test_support.h"
#include "ui/app/about_dlg.h"
#include "ui/shell/command_ids.h"
#include "ui/app/dialog_ip.h"
#include "ui/app/info_dlg.h"
#include "ui/app/syn_dlg.h"
#include "ui/app/wait_dlg.h"
#include "ui/controls/ctrl_id.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/compressor_page.h"
#include "ui/editors/delay_page.h"
#include "ui/editors/effects_page.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/music_input_dlg.h"
#include "ui/editors/music_input_set_dlg.h"
#include "ui/editors/music_page.h"
#include "ui/editors/output_page.h"
#include "ui/editors/record_page.h"

namespace apptest {

namespace {

QString g_suffix;

bool Save(QWidget& w, const QString& dir, const QString& name, int& count) {
  w.show();
  QTest::qWait(30);
  const QString path = QDir(dir).filePath(name + g_suffix + QStringLiteral(".png"));
  if (!w.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  ++count;
  return true;
}

}  // namespace

int RenderAppSnapshots(const QString& outDir, const QString& fileSuffix) {
  g_suffix = fileSuffix;
  QDir().mkpath(outDir);
  int count = 0;
  const char* const suffix[] = {"zh", "en"};
  for (int language = 0; language < 2; ++language) {
    const QString lang = QString::fromLatin1(suffix[language]);
    AppRig rig;
    if (!rig.started) return -1;
    {
      core::Session scratch;
      scratch.Params().SetParam(1, 14, 72);
      scratch.Params().SetParam(1, 16, 55);
      scratch.Params().SetParam(3, 24, 40);
      scratch.Params().SetParam(2, 28, 38);
      scratch.Params().SetParam(4, 12, 80);
      scratch.Params().SetParam(4, 22, 7);
      scratch.Params().SetParam(2, 29, 0);
      // Delays spread over the chart, some channels' delay switched on.
      const float delays[8] = {1.5f, 1.5f, 12.4f, 12.4f, 25.0f, 37.8f, 58.2f, 100.0f};
      for (int c = 0; c < 8; ++c) scratch.Params().SetParam(5 + c, 18, delays[c]);
      for (int c : {0, 1, 4, 5}) scratch.Params().SetParam(5 + c, 19, 0);
      rig.processor.SetImage(scratch.Params().Image());
    }
    rig.Start(language);
    rig.Frame().resize(1180, 760);
    if (!rig.ConnectAndSync()) return -1;
    rig.View().UpdateStatus();
    if (!Save(rig.Frame(), outDir, QStringLiteral("main_128_%1").arg(lang), count)) return -1;
    rig.Frame().Ribbon().SetActiveCategory(1);
    rig.View().UpdateStatus();
    if (!Save(rig.Frame(), outDir, QStringLiteral("main_128_output_%1").arg(lang), count)) return -1;

    // The output page: at the smallest size it is meant for and on a full
    // HD screen, a channel with a selected composite band (the band editor
    // and its crossover), and the question of the link boxes.
    rig.Frame().resize(1040, 700);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_385_ch1_1040x700_%1").arg(lang), count)) return -1;
    rig.View().ShowPage(ui::ids::kOutputPage, 2);
    if (auto* page = qobject_cast<ui::CDialogOutput*>(rig.View().CurrentPage())) {
      ui::BandEditor& bands = page->Bands();
      bands.Select(9);
      bands.Panel()->SetCompositeType(9, 2);
      bands.Panel()->SetCrossoverSlope(9, 9);
      bands.SendBand(9);
      page->Reload();
      bands.Select(9);
      bands.Panel()->update();
    }
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_385_ch3_band10_1040x700_%1").arg(lang), count)) return -1;
    rig.Frame().resize(1920, 1080);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_385_ch3_band10_1920x1080_%1").arg(lang), count)) return -1;
    rig.View().ShowPage(ui::ids::kOutputPage, 0);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_385_ch1_1920x1080_%1").arg(lang), count)) return -1;
    {
      QMessageBox ask(QMessageBox::Question, QString(),
                      rig.app->Language().Pick("参数不一致，同步参数吗？", "Set same?"),
                      QMessageBox::Yes | QMessageBox::No, &rig.Frame());
      if (!Save(ask, outDir, QStringLiteral("page_385_link_question_%1").arg(lang), count)) return -1;
    }

    // The record page (the band list, then a band in the editor) and the
    // compressor page (a channel whose compressor is on, then one that is
    // off), at the smallest size and on a full HD screen.
    rig.View().ShowPage(ui::ids::kRecordPage, 0);
    rig.Frame().resize(1040, 700);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_522_1040x700_%1").arg(lang), count)) return -1;
    if (auto* page = qobject_cast<ui::CDialogRec*>(rig.View().CurrentPage())) page->Bands().Select(1);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_522_band2_1040x700_%1").arg(lang), count)) return -1;
    rig.Frame().resize(1920, 1080);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_522_band2_1920x1080_%1").arg(lang), count)) return -1;
    rig.session.Eq().SetChannelCompressor(2, -24.0f, 4.0f, 10.0f, 150.0f);
    rig.session.Params().SetParam(7, 28, 0);
    rig.View().ShowPage(ui::ids::kCompressorPage, 2);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_346_ch3_1920x1080_%1").arg(lang), count)) return -1;
    rig.Frame().resize(1040, 700);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_346_ch3_1040x700_%1").arg(lang), count)) return -1;
    rig.View().ShowPage(ui::ids::kCompressorPage, 0);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_346_ch1_off_1040x700_%1").arg(lang), count)) return -1;
    // The delay page, with speaker distances typed and aligned (CH6 too
    // far to align: marked).
    rig.Frame().resize(1040, 700);
    rig.View().ShowPage(ui::ids::kDelayPage, 0);
    if (auto* page = qobject_cast<ui::CDelayDlg*>(rig.View().CurrentPage())) {
      const char* distances[8] = {"4.2", "4.2", "3.1", "3.1", "2.5", "0.5", "", "36"};
      for (int c = 0; c < 8; ++c) {
        auto* edit = qobject_cast<QLineEdit*>(ui::FindCtrl(page, ui::ids::delay::kDistanceFirst + c));
        if (edit == nullptr) return -1;
        edit->clear();
        QTest::keyClicks(edit, QString::fromLatin1(distances[c]));
      }
      page->Align();
    }
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_333_1040x700_%1").arg(lang), count)) return -1;
    rig.Frame().resize(1920, 1080);
    if (!Save(rig.Frame(), outDir, QStringLiteral("page_333_1920x1080_%1").arg(lang), count)) return -1;

    // The effect EQ page of each type (shaped curves, echo B bypassed), one
    // with a band in the editor, and echo B on a full HD screen.
    rig.session.Eq().SendEqBand(4, 1, 1, 180, 4.5f, 1.2f);
    rig.session.Eq().SendEqBand(4, 5, 5, 2500, -6.0f, 0.7f);
    rig.session.Eq().SendEqBand(5, 3, 2, 6000, 0.0f, 0.7f);
    rig.session.Eq().SendEqBand(2, 0, 3, 120, 0.0f, 0.7f);
    rig.session.Eq().SendEqBand(2, 4, 1, 1200, -8.0f, 3.0f);
    rig.session.Eq().SendEqBand(3, 2, 4, 300, 5.0f, 0.7f);
    rig.session.Params().SetParam(2, 21, 1);
    rig.Frame().resize(1040, 700);
    for (int type = 0; type < 4; ++type) {
      rig.View().ShowPage(ui::ids::kEffectsPage, type);
      if (!Save(rig.Frame(), outDir, QStringLiteral("page_421_type%1_1040x700_%2").arg(type).arg(lang), count))
        return -1;
    }
    if (auto* page = qobject_cast<ui::CDialogEfx*>(rig.View().CurrentPage())) {
      rig.View().UpdateStatus();
      rig.Frame().resize(1920, 1080);
      if (!Save(rig.Frame(), outDir, QStringLiteral("page_421_type3_1920x1080_%1").arg(lang), count)) return -1;
      page->Reselect(0);
      page->Bands().Select(1);
      rig.Frame().resize(1040, 700);
      if (!Save(rig.Frame(), outDir, QStringLiteral("page_421_type0_band2_1040x700_%1").arg(lang), count))
        return -1;
    }
    // Every source dialog: the model templates, then the input-set dialog
    // for a board describing HDMI, Android, SPDIF, coax and Bluetooth.
    rig.session.Params().SetParam(4, 23, 5);
    for (int k = 0; k < 14; ++k) rig.session.Params().SetParam(4, 24 + k, 100 - 5 * k);
    for (int templateId : {512, 527, 528, 529, 530, 532, 534, 535, 536, 537, 538, 539, 540, 541}) {
      ui::CDialogMusicInput dialog(rig.app->PageContextRef(), templateId);
      dialog.Refresh();
      if (!Save(dialog, outDir, QStringLiteral("dialog_%1_%2").arg(templateId).arg(lang), count)) return -1;
    }
    {
      const core::link::BoardInfo board = rig.session.Records().Board();
      rig.session.Records().SetBoard({0x55, 0x2F, 0x19, 0x01, 0x01, 0x00});
      ui::CDialogMusicInputSet dialog(rig.app->PageContextRef());
      dialog.Refresh();
      if (!Save(dialog, outDir, QStringLiteral("dialog_542_%1").arg(lang), count)) return -1;
      rig.session.Records().SetBoard(board);
    }
    // The mic and music page: each tab, the meters at several levels, a
    // selected band, the effect list with a row chosen; the smallest size
    // it is meant for and a full HD screen.
    for (const QSize size : {QSize(1040, 700), QSize(1920, 1080)}) {
      rig.Frame().resize(size);
      const QString at = QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
      for (int tab = 0; tab < 3; ++tab) {
        rig.View().ShowPage(ui::ids::kMusicPage, tab);
        auto* page = qobject_cast<ui::CDialogMusic*>(rig.View().CurrentPage());
        if (page == nullptr) return -1;
        auto status = rig.session.Records().Status();
        const std::uint8_t levels[3][6] = {
            {12, 47, 0, 0, 30, 33}, {58, 20, 0, 0, 52, 60}, {0, 0, 0, 0, 41, 44}};
        for (int m = 0; m < 6; ++m) status[static_cast<std::size_t>(m)] = levels[tab][m];
        status[7] = static_cast<std::uint8_t>(tab == 2 ? 1 : 0);
        rig.session.Records().SetStatus(status);
        if (tab == 1) {
          page->SelectEffectRow(2);
          page->Bands().Select(4);
        }
        page->UpdateStatus();
        if (!Save(rig.Frame(), outDir, QStringLiteral("page_313_tab%1_%2_%3").arg(tab).arg(at, lang),
                  count))
          return -1;
      }
    }
    rig.View().ShowPage(ui::ids::kMusicPage, 0);
    rig.Frame().resize(1180, 760);

    ui::UiLanguage& l = rig.app->Language();
    {
      ui::CInfoDlg notice(l);
      notice.setAttribute(Qt::WA_DeleteOnClose, false);
      notice.ShowText(l.Pick("正在储存模式二,请稍等", "Saving Mode 2 ……"), 60000);
      if (!Save(notice, outDir, QStringLiteral("dialog_344_%1").arg(lang), count)) return -1;
    }
    {
      ui::CDialogIP ip(l, *rig.settings, {});
      ip.setAttribute(Qt::WA_DeleteOnClose, false);
      l.ApplyDialogTexts(&ip, ui::ids::kConnectDialog);
      ip.SetPort(30303);
      if (!Save(ip, outDir, QStringLiteral("dialog_521_%1").arg(lang), count)) return -1;
      ip.SetAddress(QStringLiteral("10.0.0.254"));
      ip.SetPort(1);
      ip.TryConnect();  // no connector: error 0
      if (!Save(ip, outDir, QStringLiteral("dialog_521_error_%1").arg(lang), count)) return -1;
    }
    {
      ui::CSynDlg syn(l, QString(), {});
      if (!Save(syn, outDir, QStringLiteral("dialog_syn_%1").arg(lang), count)) return -1;
    }
    {
      ui::CWaitDlg wait(l, l.Pick("正在添加插座，请稍候……", "Adding a plug, please wait……"), {0x4A, 0, 0}, {}, {});
      QTest::qWait(400);
      if (!Save(wait, outDir, QStringLiteral("dialog_wait_%1").arg(lang), count)) return -1;
    }
    {
      auto status = rig.session.Records().Status();
      status[16] = 1;
      status[22] = 2;
      status[20] = 1;
      status[19] = 2;
      status[18] = 3;
      status[17] = 9;
      ui::CAboutDlg about(l, true, rig.session.Records().Identity(), ui::CAboutDlg::ChipsFromStatus(status),
                          rig.session.PollGate());
      if (!Save(about, outDir, QStringLiteral("dialog_100_%1").arg(lang), count)) return -1;
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
      QApplication::sendEvent(&about, &release);
      if (!Save(about, outDir, QStringLiteral("dialog_100_revealed_%1").arg(lang), count)) return -1;
    }
  }
  return count;
}

}  // namespace apptest
