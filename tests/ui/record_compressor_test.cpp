// The record page and the compressor page against a session on a recording
// USB transport: the frames their controls send, what they show of the
// session, the compressor curve's geometry, undo steps and accessibility.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app_test_support.h"
#include "page_test_support.h"
#include "core/link/recording_transport.h"
#include "core/params/eq_bank.h"
#include "core/session.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/accessible_editors.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/compress_panel_plus.h"
#include "ui/editors/compressor_page.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/record_page.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"
#include "ui/shell/ui_language.h"

namespace {

using pagetest::Bytes;
using pagetest::Param;
using pagetest::Settle;
namespace rec = ui::ids::record;
namespace comp = ui::ids::compressor;

// Grabs the thumb and drags it through the track's points at `fractions`
// of its width, press to release; returns the value the last one stands for.
int Drag(ui::CXBmpSlider& slider, std::initializer_list<double> fractions) {
  const int y = slider.height() / 2;
  QTest::mousePress(&slider, Qt::LeftButton, {}, slider.ThumbRect().center());
  QPoint last;
  for (double f : fractions) {
    last = QPoint(static_cast<int>(f * slider.width()), y);
    QTest::mouseMove(&slider, last);
  }
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, last);
  Settle();
  return slider.ValueAt(last);
}

// A click on a check box's indicator (its middle may be past its text).
void Click(QAbstractButton* box) {
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// A page of type P with its own session, language and context.
template <typename P>
struct Rig : pagetest::PageRig<P> {
  using pagetest::PageRig<P>::PageRig;
  using pagetest::PageRig<P>::context;
  using pagetest::PageRig<P>::page;
  using pagetest::PageRig<P>::usb;
  template <typename... A>
  P& Open(A... args) {
    page = std::make_unique<P>(context, nullptr, args...);
    page->resize(1040, 640);
    page->show();
    Settle();
    usb.Clear();
    return *page;
  }
};

// Every id'd control of a page has a name for assistive technology.
void CheckEveryControlNamed(QWidget* page) { QVERIFY(pagetest::CheckEveryControlNamed(page) > 20); }

// Compressor words by hand: -20 dB, 0.0, 1 - 1/3, 20.0, 0.05, and the attack
// and release coefficients 1 - e^(-1/(ms x 48)) for 10 ms and 100 ms.
constexpr std::uint32_t kMinus20 = 0xC1A00000, kMinus30 = 0xC1F00000, kZero = 0,
                        kTwoThirds = 0x3F2AAAAB, kThreeQuarters = 0x3F400000, kTwenty = 0x41A00000,
                        kFiveHundredths = 0x3D4CCCCD, kAttack10 = 0x3B086426,
                        kRelease100 = 0x395A6E3A, kAttack20 = 0x3A887656, kRelease200 = 0x38DA7124;

}  // namespace

class RecordCompressorTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::InstallAccessibleEditors(); }
  void recordLevelReachesModule13Only();
  void recordCompressorWords();
  void recordSwitchBypassAndPageBar();
  void recordBandsGoToModule13();
  void compressorPageShowsTheChosenChannel();
  void compressorSwitchAndRatio();
  void compressorGestureIsOneUndoStep();
  void compressorCurveGeometry();
  void compressorPageLanguageAndNames();
  void recordPageNames();
};

void RecordCompressorTest::recordLevelReachesModule13Only() {
  Rig<ui::CDialogRec> rig;
  rig.session.Params().SetParam(13, 12, 40);
  rig.Open();
  ui::CXBmpSlider* level = rig.Ctrl<ui::CXBmpSlider>(rec::kLevel);
  QCOMPARE(level->GetPos(), 40);
  QCOMPARE(rig.Ctrl<QLabel>(rec::kLevelValue)->text(), QStringLiteral("40%"));
  QVERIFY(level->DragTo(75));
  Settle();
  // 0.75 with the codec's bias of 1e-7: 3F400002.
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(13, 12, {0x3F400002})});
  QCOMPARE(rig.Ctrl<QLabel>(rec::kLevelValue)->text(), QStringLiteral("75%"));
  QCOMPARE(rig.usb.Bodies().size(), std::size_t{1});
}

void RecordCompressorTest::recordCompressorWords() {
  Rig<ui::CDialogRec> rig;
  rig.session.Eq().SetChannelCompressor(8, -5.0f, 3.0f, 10.0f, 100.0f);
  const core::params::CompressorDisplay ch1 = rig.session.Params().Display().compressors[0];
  rig.Open();
  QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(rec::kThreshold)->GetPos(), -5);
  QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(rec::kRatio)->GetPos(), 30);
  QCOMPARE(rig.Ctrl<QLabel>(1226)->text(), QStringLiteral("3.0:1"));
  QCOMPARE(rig.Ctrl<QLabel>(1228)->text(), QStringLiteral("100ms"));

  // Threshold to -20: the whole block of (13, 10), the other values kept.
  QVERIFY(rig.Ctrl<ui::CXBmpSlider>(rec::kThreshold)->DragTo(-20));
  Settle();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(13, 10,
                                                       {kMinus20, kZero, kTwoThirds, kTwenty,
                                                        kFiveHundredths, kAttack10, kRelease100})});
  QCOMPARE(rig.Ctrl<QLabel>(1225)->text(), QStringLiteral("-20dB"));

  // Ratio to 40: 4.0:1, slope word 1 - 1/4.
  rig.usb.Clear();
  QVERIFY(rig.Ctrl<ui::CXBmpSlider>(rec::kRatio)->DragTo(40));
  Settle();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(13, 10,
                                                       {kMinus20, kZero, kThreeQuarters, kTwenty,
                                                        kFiveHundredths, kAttack10, kRelease100})});
  QCOMPARE(rig.Ctrl<QLabel>(1226)->text(), QStringLiteral("4.0:1"));
  // No output channel's compressor moved with it.
  QVERIFY(rig.session.Params().Display().compressors[0] == ch1);
}

void RecordCompressorTest::recordSwitchBypassAndPageBar() {
  Rig<ui::CDialogRec> rig;
  rig.session.Params().SetParam(13, 11, 0);  // compressor on
  rig.session.Params().SetParam(13, 5, 1);   // EQ bypassed
  rig.Open();
  QCheckBox* sw = rig.Ctrl<QCheckBox>(rec::kCompressorSwitch);
  QVERIFY(sw->isChecked());
  QCOMPARE(rig.page->Bands().Panel()->Bypassed(), 1);
  // Unticking "Compressor Switch" sends (13, 11) = 1.
  Click(sw);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(13, 11, {1})});
  // Bypass toggled from 1 sends 0; the mark goes.
  rig.usb.Clear();
  QVERIFY(rig.page->EqBypassed());
  rig.page->ToggleEqBypass();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(13, 5, {0})});
  QVERIFY(!rig.page->EqBypassed());
  QCOMPARE(rig.page->Bands().Panel()->Bypassed(), 0);
  // A bypass set elsewhere (undo) reaches the mark at the status update.
  rig.session.Params().SetParam(13, 5, 1);
  QVERIFY(rig.page->EqBypassed());
  QCOMPARE(rig.page->Bands().Panel()->Bypassed(), 1);
  // Page bar: Record selected, Comp hidden, Record again changes nothing.
  QVERIFY(rig.Ctrl<ui::CGdipButton>(1074)->IsAltShown());
  QVERIFY(rig.Ctrl<ui::CGdipButton>(1075)->isHidden());
  QTest::mouseClick(rig.Ctrl<ui::CGdipButton>(1073), Qt::LeftButton);
  QTest::mouseClick(rig.Ctrl<ui::CGdipButton>(1070), Qt::LeftButton);
  QCOMPARE(rig.pagesShown, (std::vector<std::pair<int, int>>{{ui::ids::kSoundFieldPage, 0},
                                                        {ui::ids::kOutputPage, 2}}));
}

void RecordCompressorTest::recordBandsGoToModule13() {
  Rig<ui::CDialogRec> rig;
  rig.Open();
  ui::BandEditor& bands = rig.page->Bands();
  QCOMPARE(bands.Panel()->Kind(), 15);
  ui::CGridListCtrl* grid = rig.Ctrl<ui::CGridListCtrl>(ui::BandEditor::kGrid);
  QCOMPARE(grid->RowCount(), 5);
  // Band 3 at 200 Hz, Q 2 in the store; the grid shows it.
  rig.session.Eq().SendEqBand(15, 2, 1, 200, 0.0f, 2.0f);
  rig.page->Reload();
  QCOMPARE(grid->GetItemText(2, 3), QStringLiteral("200Hz"));
  // A typed gain on band 3: its message to (13, 2) and its store record.
  rig.usb.Clear();
  bands.Select(2);
  QLineEdit* gain = rig.Ctrl<QLineEdit>(ui::BandEditor::kGainEdit);
  gain->setText(QStringLiteral("-4.5"));
  QTest::keyClick(gain, Qt::Key_Return);
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{13, 2}}));
  const auto store = rig.session.Params().Store();
  const int at = core::params::EqBandOffset(15, 2);
  // (-4.5 + 0.05 + 15) x 10 = 105; 200 Hz; Q 2 as 2000; PEQ.
  QCOMPARE(Bytes(store.begin() + at, store.begin() + at + 7),
           (Bytes{0x00, 0x69, 0x00, 0xC8, 0x07, 0xD0, 0x01}));
  QCOMPARE(grid->GetItemText(2, 2), QStringLiteral("-4.5dB"));
  // The LP radio: Q range 10..200, gain disabled; still module 13 alone.
  rig.usb.Clear();
  rig.Ctrl<QAbstractButton>(1205)->click();
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{13, 2}}));
  QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(ui::BandEditor::kQSlider)->Maximum(), 200);
  QVERIFY(!gain->isEnabled());
  QVERIFY(rig.Ctrl<QComboBox>(ui::BandEditor::kCrossover)->isHidden());
  // The reset: five flat bands, no notice, selection cleared.
  rig.page->ResetShownEq();
  QCOMPARE(bands.Selected(), -1);
  QCOMPARE(rig.session.Params().Store()[at + 6], std::uint8_t{1});
  QCOMPARE(grid->GetItemText(2, 1), QStringLiteral("参量"));
}

void RecordCompressorTest::compressorPageShowsTheChosenChannel() {
  Rig<ui::CCompDlg> rig;
  rig.session.Eq().SetChannelCompressor(2, -30.0f, 5.0f, 20.0f, 200.0f);
  rig.session.Params().SetParam(7, 28, 0);  // CH3's compressor on
  rig.Open(0);
  QComboBox* channel = rig.Ctrl<QComboBox>(comp::kChannel);
  QCOMPARE(channel->count(), 8);
  QCOMPARE(channel->currentText(), QStringLiteral("通道1"));
  QVERIFY(!rig.Ctrl<QCheckBox>(comp::kSwitch)->isChecked());
  QVERIFY(!rig.page->Curve().On());
  // Choosing CH3 sends nothing and shows CH3's values everywhere.
  channel->activated(2);
  QCOMPARE(rig.page->Channel(), 2);
  QVERIFY(rig.usb.Bodies().empty());
  const int positions[] = {-30, 50, 20, 200};
  const char* texts[] = {"-30dB", "5.0:1", "20ms", "200ms"};
  for (int i = 0; i < 4; ++i) {
    QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(comp::kThreshold + i)->GetPos(), positions[i]);
    QCOMPARE(rig.Ctrl<QLineEdit>(comp::kThresholdEdit + i)->text(), QString::fromLatin1(texts[i]));
  }
  QVERIFY(rig.Ctrl<QCheckBox>(comp::kSwitch)->isChecked());
  QCOMPARE(rig.page->Curve().Threshold(), -30.0f);
  QCOMPARE(rig.page->Curve().InverseRatio(), 0.2f);
  QVERIFY(rig.page->Curve().On());
  // A refresh after a synchronisation shows what the channel holds now.
  rig.session.Eq().SetChannelCompressor(2, -12.0f, 2.5f, 5.0f, 50.0f);
  rig.usb.Clear();
  rig.page->Reload();
  QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(comp::kRatio)->GetPos(), 25);
  QCOMPARE(rig.Ctrl<QLineEdit>(comp::kThresholdEdit)->text(), QStringLiteral("-12dB"));
  QCOMPARE(rig.page->Curve().Threshold(), -12.0f);
  QVERIFY(rig.usb.Bodies().empty());
  // Page bar: Comp selected; 1074 leads to the delay page.
  QVERIFY(rig.Ctrl<ui::CGdipButton>(1075)->IsAltShown());
  QTest::mouseClick(rig.Ctrl<ui::CGdipButton>(1074), Qt::LeftButton);
  QCOMPARE(rig.pagesShown, (std::vector<std::pair<int, int>>{{ui::ids::kDelayPage, 0}}));
}

void RecordCompressorTest::compressorSwitchAndRatio() {
  Rig<ui::CCompDlg> rig;
  rig.session.Eq().SetChannelCompressor(2, -30.0f, 5.0f, 20.0f, 200.0f);
  rig.session.Params().SetParam(7, 28, 0);
  rig.Open(2);
  // Unticking "Comp ON" sends CH3's parameter 28 = 1 and "OFF" shows.
  Click(rig.Ctrl<QCheckBox>(comp::kSwitch));
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(7, 28, {1})});
  QVERIFY(!rig.page->Curve().On());
  // Ratio to 40: 4.0:1 in 1039, slope 0.25, CH3's block with its other values.
  rig.usb.Clear();
  QVERIFY(rig.Ctrl<ui::CXBmpSlider>(comp::kRatio)->DragTo(40));
  Settle();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(7, 27,
                                                       {kMinus30, kZero, kThreeQuarters, kTwenty,
                                                        kFiveHundredths, kAttack20, kRelease200})});
  QCOMPARE(rig.Ctrl<QLineEdit>(comp::kRatioEdit)->text(), QStringLiteral("4.0:1"));
  QCOMPARE(rig.page->Curve().InverseRatio(), 0.25f);
  // A typed threshold is sent as the slider would send it; junk is 0 dB.
  rig.usb.Clear();
  QLineEdit* threshold = rig.Ctrl<QLineEdit>(comp::kThresholdEdit);
  threshold->setText(QStringLiteral("-20 dB"));
  QTest::keyClick(threshold, Qt::Key_Return);
  Settle();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(7, 27,
                                                       {kMinus20, kZero, kThreeQuarters, kTwenty,
                                                        kFiveHundredths, kAttack20, kRelease200})});
  QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(comp::kThreshold)->GetPos(), -20);
  QCOMPARE(threshold->text(), QStringLiteral("-20dB"));
  QCOMPARE(rig.page->Curve().Threshold(), -20.0f);
  // The same value again sends nothing and puts the text back.
  rig.usb.Clear();
  threshold->setText(QStringLiteral("-20.4"));
  QTest::keyClick(threshold, Qt::Key_Return);
  Settle();
  QVERIFY(rig.usb.Bodies().empty());
  QCOMPARE(threshold->text(), QStringLiteral("-20dB"));
}

void RecordCompressorTest::compressorGestureIsOneUndoStep() {
  Rig<ui::CCompDlg> rig;
  rig.session.Eq().SetChannelCompressor(4, -10.0f, 2.0f, 10.0f, 100.0f);
  rig.Open(4);
  ui::CXBmpSlider& ratio = *rig.Ctrl<ui::CXBmpSlider>(comp::kRatio);
  const int dropped = Drag(ratio, {0.3, 0.5, 0.7, 0.9});
  QVERIFY(dropped > 150);
  QCOMPARE(ratio.GetPos(), dropped);
  QVERIFY(rig.ParamFrames().size() >= 4);  // the press and each move
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});
  rig.usb.Clear();
  const auto origin = rig.session.History().Undo();
  QVERIFY(origin.has_value());
  QCOMPARE(origin->dialog, ui::ids::kCompressorPage);
  QCOMPARE(origin->sub, 4);
  // The undo sends CH5's block as it was: ratio 2 is 1 - 1/2 = 0.5.
  const auto frames = rig.ParamFrames();
  QCOMPARE(frames.size(), std::size_t{1});
  QCOMPARE(frames[0][2], std::uint8_t{9});
  QCOMPARE(frames[0][3], std::uint8_t{27});
  QCOMPARE(Bytes(frames[0].begin() + 13, frames[0].begin() + 17), (Bytes{0x3F, 0x00, 0x00, 0x00}));
  rig.page->Reload();
  QCOMPARE(ratio.GetPos(), 20);
  QCOMPARE(rig.Ctrl<QLineEdit>(comp::kRatioEdit)->text(), QStringLiteral("2.0:1"));
  // A typed value and a click are one step each.
  QLineEdit* release = rig.Ctrl<QLineEdit>(comp::kReleaseEdit);
  release->setText(QStringLiteral("300"));
  QTest::keyClick(release, Qt::Key_Return);
  Settle();
  Click(rig.Ctrl<QCheckBox>(comp::kSwitch));
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{2});
}

void RecordCompressorTest::compressorCurveGeometry() {
  ui::CCompressPanelPlus curve;
  curve.resize(456, 381);  // plot 396 x 336
  curve.SetLowerBound(-90.0f);
  curve.SetThreshold(-60.0f);
  // x(-60) = 30 x 396 / 96 + 40; y(-60) = 66 x 336 / 96 + 20.
  QCOMPARE(curve.Knee(), QPointF(163.75, 251.0));
  QCOMPARE(curve.LeftEnd(), QPointF(40.0, 356.0));
  // 1:1 above the knee ends in the top right corner.
  QCOMPARE(curve.RightEnd(), QPointF(436.0, 20.0));
  // -20 dB at 4:1: y(-20) = 111, less trunc(26 x 3.5 x 0.25) = 22.
  curve.SetThreshold(-20.0f);
  curve.SetInverseRatio(0.25f);
  QCOMPARE(curve.RightEnd(), QPointF(436.0, 89.0));
  // The grid is drawn once per size.
  curve.show();
  QVERIFY(QTest::qWaitForWindowExposed(&curve));
  curve.repaint();
  QVERIFY(curve.GridCached());
  curve.resize(500, 400);
  QVERIFY(!curve.GridCached());
  // Painted: black background, the curve's colour on the line at the knee
  // side, and "OFF" (blue) only while off.
  curve.SetOn(false);
  const QImage off = curve.grab().toImage();
  curve.SetOn(true);
  const QImage on = curve.grab().toImage();
  QCOMPARE(on.pixelColor(2, 2), QColor(Qt::black));
  auto countBlue = [](const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == QColor(0, 150, 255)) ++n;
    return n;
  };
  QVERIFY(countBlue(off) > 50);
  QCOMPARE(countBlue(on), 0);
}

void RecordCompressorTest::compressorPageLanguageAndNames() {
  Rig<ui::CCompDlg> rig;
  rig.session.Eq().SetChannelCompressor(2, -20.0f, 4.0f, 10.0f, 100.0f);
  rig.Open(2);
  CheckEveryControlNamed(rig.page.get());
  QAccessibleInterface* curve =
      QAccessible::queryAccessibleInterface(rig.Ctrl<QWidget>(comp::kCurve));
  QCOMPARE(curve->role(), QAccessible::Chart);
  QCOMPARE(curve->text(QAccessible::Name), QStringLiteral("压限曲线"));
  QCOMPARE(curve->text(QAccessible::Value),
           QStringLiteral(
               "通道3, 阀(阈) -20dB, 衰减比例 4.0:1, 启动时间 10ms, 释放时间 100ms, 压限关闭"));
  // English: the drop-down is refilled and keeps CH3; the texts follow.
  rig.lang.SetLanguage(1);
  rig.lang.LoadFile();
  rig.page->Retext();
  QComboBox* channel = rig.Ctrl<QComboBox>(comp::kChannel);
  QCOMPARE(channel->currentIndex(), 2);
  QCOMPARE(channel->currentText(), QStringLiteral("CH 3"));
  QCOMPARE(rig.Ctrl<QCheckBox>(comp::kSwitch)->text(), QStringLiteral("Comp ON"));
  QCOMPARE(rig.Ctrl<QLabel>(comp::kChannelLabel)->text(), QStringLiteral("Select CH"));
  QCOMPARE(rig.Ctrl<ui::CGdipButton>(1074)->text(), QStringLiteral("Delay"));
  QCOMPARE(curve->text(QAccessible::Name), QStringLiteral("Compressor curve"));
  QVERIFY(curve->text(QAccessible::Value).contains(QStringLiteral("Ratio 4.0:1")));
  CheckEveryControlNamed(rig.page.get());
  QVERIFY(rig.usb.Bodies().empty());
}

void RecordCompressorTest::recordPageNames() {
  for (int language : {0, 1}) {
    Rig<ui::CDialogRec> rig(language);
    rig.Open();
    CheckEveryControlNamed(rig.page.get());
    QAccessibleInterface* level =
        QAccessible::queryAccessibleInterface(rig.Ctrl<QWidget>(rec::kLevel));
    QCOMPARE(level->text(QAccessible::Name),
             language == 0 ? QStringLiteral("录音电平") : QStringLiteral("Rec Level"));
    QCOMPARE(rig.Ctrl<QCheckBox>(rec::kCompressorSwitch)->text(),
             language == 0 ? QStringLiteral("压限启用") : QStringLiteral("Compressor Switch"));
  }
}

QTEST_MAIN(RecordCompressorTest)
#include "record_compressor_test.moc"
