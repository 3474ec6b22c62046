// The output channel page against a session on a recording USB transport:
// the frames each control sends, the linked pairs, the link boxes, the band
// editor, the status bar's EQ commands, undo and redo, and what the
// accessibility interface sees.
#include "ui/editors/output_page.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QTest>

#include "app_test_support.h"
#include "page_test_support.h"
#include "core/link/recording_transport.h"
#include "core/params/eq_band_set.h"
#include "core/params/eq_bank.h"
#include "core/session.h"
#include "ui/app/ribbon_bar.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/grid/grid_list_ctrl.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/accessible_editors.h"
#include "ui/editors/band_editor.h"
#include "ui/editors/eq_panel.h"
#include "ui/editors/page_bar.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"
#include "ui/shell/ui_language.h"

namespace {

using apptest::AppRig;
using apptest::PercentWord;
using pagetest::Bytes;
using pagetest::Param;
namespace out = ui::ids::output;


// A point on the slider's track that stands for `value`.
QPoint PointFor(const ui::CXBmpSlider& slider, int value) {
  const int y = slider.height() / 2;
  for (int x = 0; x < slider.width(); ++x) {
    if (slider.ValueAt(QPoint(x, y)) == value) return QPoint(x, y);
  }
  return QPoint(-1, y);
}

// Grabs the thumb and drags it through `values`, press to release.
void Drag(ui::CXBmpSlider& slider, std::initializer_list<int> values) {
  QTest::mousePress(&slider, Qt::LeftButton, {}, slider.ThumbRect().center());
  for (const int* v = values.begin(); v != values.end(); ++v)
    QTest::mouseMove(&slider, PointFor(slider, *v));
  QTest::mouseRelease(&slider, Qt::LeftButton, {}, PointFor(slider, *(values.end() - 1)));
  QTest::qWait(0);
  QCoreApplication::processEvents();
}

// The page with its own session, language and context; no application.
struct PageRig : pagetest::PageRig<ui::CDialogOutput> {
  explicit PageRig(int language = 0) : pagetest::PageRig<ui::CDialogOutput>(language) {
    onShow = [this](int dialog, int sub) {
      if (dialog == ui::ids::kOutputPage && page) page->SwitchChannel(sub);
    };
  }
  ui::CDialogOutput& Open(int channel) {
    page = std::make_unique<ui::CDialogOutput>(context, nullptr, channel);
    page->resize(1180, 620);
    page->show();
    usb.Clear();
    return *page;
  }
  void SetPositions(const std::array<int, 8>& positions) {
    for (int c = 0; c < 8; ++c) session.Params().SetParam(5 + c, 16, positions[c]);
  }
  static void Settle() { pagetest::Settle(); }
};

}  // namespace

class OutputPageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::InstallAccessibleEditors(); }
  void linkedMixSliderReachesThePair();
  void boxesOfOtherChannelsSendOnlyTheirOwn();
  void delaySliderFloorAndSwitch();
  void linkBoxAsksCopiesOrUnticks();
  void compositeBandShowsItsSlope();
  void typedGainGoesToTheLinkedPair();
  void eqCommandsOfTheStatusBar();
  void positionChoiceSendsAndSwitches();
  void pageBarSwitchesInPlace();
  void editsWithoutProcessorKeepTheImage();
  void wheelGoesToTheFocusedControl();
  void rewImportOrItsRefusal();
  void undoRedoOfALinkedSliderDrag();
  void undoRedoOfAnEqPaste();
  void undoShowsWhereTheEditWasMade();
  void everyControlIsNamed();
};

void OutputPageTest::linkedMixSliderReachesThePair() {
  PageRig rig;
  rig.SetPositions({0, 1, 4, 5, 2, 3, 6, 7});
  rig.state.speakerLinks = ui::LinkOptions::Defaults();  // every pair linked
  rig.session.Params().SetParam(6, 21, 50);
  rig.Open(1);
  ui::CXBmpSlider* reverb = rig.Ctrl<ui::CXBmpSlider>(1042);
  QVERIFY(reverb != nullptr);
  QCOMPARE(reverb->GetPos(), 50);
  QCOMPARE(rig.Ctrl<QLabel>(1128)->text(), QStringLiteral("50%"));
  QTest::keyClick(reverb, Qt::Key_Right);
  PageRig::Settle();
  // 0.51 in single precision with the codec's bias.
  const std::vector<Bytes> expected = {Param(5, 21, 0x3F028F5E), Param(6, 21, 0x3F028F5E)};
  QCOMPARE(rig.ParamFrames(), expected);
  QCOMPARE(rig.Ctrl<QLabel>(1128)->text(), QStringLiteral("51%"));

  // Unlinked, the same move reaches CH2 alone.
  rig.state.speakerLinks.SetLinked(core::params::SpeakerPair::Front, false);
  rig.usb.Clear();
  QTest::keyClick(reverb, Qt::Key_Left);
  PageRig::Settle();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(6, 21, 0x3F000002)});
}

void OutputPageTest::boxesOfOtherChannelsSendOnlyTheirOwn() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  rig.Open(0);
  // Mute CH3 from the CH1 page: parameter 26 of module 7 = 0, nothing else.
  QTest::mouseClick(rig.Ctrl<QCheckBox>(1048), Qt::LeftButton);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(7, 26, 0x00000000)});
  // Phase 180° on CH8: -100 (-1.0 with the bias toward zero: BF7FFFFE).
  rig.usb.Clear();
  QTest::mouseClick(rig.Ctrl<QCheckBox>(1061), Qt::LeftButton);
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{12, 25}}));
  QVERIFY(rig.session.Params().Mirror(core::params::OutputPhase(7)).AsInt() < 0);
  // Reloading shows both as the mirrors say.
  rig.page->Reload();
  QVERIFY(rig.Ctrl<QCheckBox>(1048)->isChecked());
  QVERIFY(rig.Ctrl<QCheckBox>(1061)->isChecked());
  QVERIFY(!rig.Ctrl<QCheckBox>(1045)->isChecked());
}

void OutputPageTest::delaySliderFloorAndSwitch() {
  PageRig rig;
  rig.session.Params().SetParam(5, 19, 1);  // delay off
  rig.session.Params().SetParam(5, 18, 5.0f);
  rig.Open(0);
  ui::CXBmpSlider* delay = rig.Ctrl<ui::CXBmpSlider>(out::kDelay);
  QCOMPARE(delay->Minimum(), 14);
  QCOMPARE(delay->GetPos(), 50);
  QCOMPARE(rig.Ctrl<QLabel>(out::kDelayText)->text(), QStringLiteral("5.0ms"));
  // Off: the radios, the split and the delay text are disabled.
  QVERIFY(!rig.Ctrl<QRadioButton>(out::kHfDelay)->isEnabled());
  QVERIFY(!rig.Ctrl<QLabel>(out::kDelayText)->isEnabled());
  // Dragged to the bottom: 1.4 ms, sent once for the page's channel.
  const QPoint start = delay->ThumbRect().center();
  QTest::mousePress(delay, Qt::LeftButton, {}, start);
  QTest::mouseMove(delay, QPoint(-200, start.y()));
  QTest::mouseMove(delay, QPoint(-300, start.y()));
  QTest::mouseRelease(delay, Qt::LeftButton, {}, QPoint(-300, start.y()));
  PageRig::Settle();
  QCOMPARE(rig.Ctrl<QLabel>(out::kDelayText)->text(), QStringLiteral("1.4ms"));
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{5, 18}}));
  QCOMPARE(rig.session.Params().Mirror(core::params::OutputDelay(0)).AsFloat(), 1.4f);
  // Switched on: 19 = 0 for CH1 only; the high-frequency controls follow the mode.
  rig.usb.Clear();
  rig.Ctrl<QCheckBox>(out::kDelaySwitch)->click();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(5, 19, 0x00000000)});
  QVERIFY(rig.Ctrl<QRadioButton>(out::kHfDelay)->isEnabled());
  QVERIFY(rig.Ctrl<QLabel>(out::kDelayText)->isEnabled());
  const bool hf = rig.Ctrl<QRadioButton>(out::kHfDelay)->isChecked();
  QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(out::kSplit)->isEnabled(), hf);
  QCOMPARE(rig.Ctrl<QLabel>(out::kSplitText)->isEnabled(), hf);
  // The high-frequency mode: SetHfSplit writes 17 as 1.0, 1.0.
  rig.usb.Clear();
  rig.Ctrl<QRadioButton>(out::kHfDelay)->click();
  QCOMPARE(rig.session.Params().Display().delayMode[0], 0);
  const auto targets = rig.Targets();
  QVERIFY(!targets.empty());
  QCOMPARE(targets.front(), (std::pair<int, int>{5, 17}));
  QVERIFY(rig.Ctrl<QLabel>(out::kSplitText)->isEnabled());
  QCOMPARE(rig.Ctrl<QLabel>(out::kSplitText)->text(),
           QStringLiteral("%1Hz").arg(core::params::HfSplit(rig.session.Eq().FindHfSplit(0)).low));
}

void OutputPageTest::linkBoxAsksCopiesOrUnticks() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  rig.state.speakerLinks.bytes = {0, 0, 0, 0, 0, 0, 0, 0};
  // Equal side channels: ticking asks nothing.
  rig.Open(2);
  QTest::mouseClick(rig.Ctrl<QCheckBox>(out::kSideLink), Qt::LeftButton);
  QVERIFY(rig.prompts.questions.empty());
  QVERIFY(rig.Ctrl<QCheckBox>(out::kSideLink)->isChecked());
  QCOMPARE(rig.saved.size(), std::size_t{1});
  QVERIFY(rig.saved.back().SideLinked());
  QTest::mouseClick(rig.Ctrl<QCheckBox>(out::kSideLink), Qt::LeftButton);  // untick
  QVERIFY(!rig.saved.back().SideLinked());

  // They differ (CH4's echo level); No unticks again and saves that.
  rig.session.Params().SetParam(8, 22, 30);
  rig.usb.Clear();
  rig.prompts.yes = false;
  QTest::mouseClick(rig.Ctrl<QCheckBox>(out::kSideLink), Qt::LeftButton);
  QCOMPARE(rig.prompts.questions.size(), std::size_t{1});
  QCOMPARE(rig.prompts.questions[0].caption, QString());
  QCOMPARE(rig.prompts.questions[0].text, QStringLiteral("参数不一致，同步参数吗？"));
  QVERIFY(!rig.Ctrl<QCheckBox>(out::kSideLink)->isChecked());
  QVERIFY(!rig.saved.back().SideLinked());
  QVERIFY(rig.ParamFrames().empty());

  // Yes: CH3's echo level goes to CH4, and the pair stays linked.
  rig.prompts.yes = true;
  QTest::mouseClick(rig.Ctrl<QCheckBox>(out::kSideLink), Qt::LeftButton);
  const std::uint32_t echo = *core::params::EncodeValue(core::params::ValueKind::Percent,
                                                        rig.session.Params().Mirror(7, 22).AsInt());
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(8, 22, echo)});
  QVERIFY(rig.Ctrl<QCheckBox>(out::kSideLink)->isChecked());
  QVERIFY(rig.saved.back().SideLinked());
  QVERIFY(rig.session.Outputs().Equal(2, 3));
}

void OutputPageTest::compositeBandShowsItsSlope() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  // Band 10 of CH1 as a Butterworth 24dB low-pass at 2000 Hz, sent as the
  // page sends it (the band and its three sections).
  rig.Open(0);
  ui::BandEditor& bands = rig.page->Bands();
  bands.Select(9);
  bands.Panel()->SetCompositeType(9, 2);
  bands.Panel()->SetCrossoverSlope(9, 9);
  bands.SendBand(9);
  rig.page->Reload();
  ui::CGridListCtrl* grid = rig.Ctrl<ui::CGridListCtrl>(ui::BandEditor::kGrid);
  QCOMPARE(grid->GetItemText(9, 1), QStringLiteral("低通"));
  QVERIFY(bands.Selected() == -1);
  QVERIFY(bands.ListArea()->isVisibleTo(rig.page.get()));
  bands.Select(9);
  QComboBox* slope = rig.Ctrl<QComboBox>(ui::BandEditor::kCrossover);
  QVERIFY(!slope->isHidden());
  QCOMPARE(slope->currentIndex(), 9);
  QCOMPARE(slope->currentText(), QStringLiteral("Butterworth 24dB"));
  QVERIFY(rig.Ctrl<QRadioButton>(1205)->isChecked());
  QCOMPARE(rig.Ctrl<QLabel>(ui::BandEditor::kBandNumber)->text(), QStringLiteral("10"));
  // The grid and the editor are never shown together.
  QVERIFY(!grid->isVisibleTo(rig.page.get()) || !bands.EditorBox()->isVisibleTo(rig.page.get()));
  QVERIFY(bands.EditorBox()->isVisibleTo(rig.page.get()) || !rig.page->isVisible());
  // A band without sections hides the drop-down.
  bands.Select(0);
  QVERIFY(slope->isHidden());
  // Choosing "Linkwitz-Riley 48dB" sends the band and its three sections.
  bands.Select(9);
  rig.usb.Clear();
  slope->activated(3);
  // CH1 and CH2 are the linked front pair: each record goes to both.
  QCOMPARE(rig.Targets(),
           (std::vector<std::pair<int, int>>{
               {5, 9}, {6, 9}, {5, 10}, {6, 10}, {5, 11}, {6, 11}, {5, 12}, {6, 12}}));
}

void OutputPageTest::typedGainGoesToTheLinkedPair() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  rig.Open(0);
  ui::BandEditor& bands = rig.page->Bands();
  bands.Select(2);
  QLineEdit* gain = rig.Ctrl<QLineEdit>(ui::BandEditor::kGainEdit);
  gain->setText(QStringLiteral("+3.5dB"));
  QTest::keyClick(gain, Qt::Key_Return);
  // Band 3 of CH1 and CH2 (front pair linked by default).
  QCOMPARE(rig.Targets(), (std::vector<std::pair<int, int>>{{5, 2}, {6, 2}}));
  // Both store records: gain word (3.5 + 0.05 + 15) x 10 = 185.
  for (int kind : {7, 8}) {
    const auto store = rig.session.Params().Store();
    const int at = core::params::EqBandOffset(kind, 2);
    QCOMPARE(int(store[at]), 0x00);
    QCOMPARE(int(store[at + 1]), 185);
  }
  QCOMPARE(rig.Ctrl<ui::CGridListCtrl>(ui::BandEditor::kGrid)->GetItemText(2, 2),
           QStringLiteral("+3.5dB"));
  QCOMPARE(rig.Ctrl<ui::CXBmpSlider>(ui::BandEditor::kGainSlider)->GetPos(), 35);
  // Text that is no number counts as 0 dB.
  rig.usb.Clear();
  gain->setText(QStringLiteral("loud"));
  QTest::keyClick(gain, Qt::Key_Return);
  QCOMPARE(gain->text(), QStringLiteral("+0.0dB"));
}

void OutputPageTest::eqCommandsOfTheStatusBar() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  rig.Open(1);
  // Bypass on the front pair: 15 = 1 on modules 5 and 6.
  QVERIFY(!rig.page->EqBypassed());
  rig.page->ToggleEqBypass();
  QCOMPARE(rig.ParamFrames(), (std::vector<Bytes>{Param(5, 15, 1), Param(6, 15, 1)}));
  QVERIFY(rig.page->EqBypassed());
  QCOMPARE(rig.page->Bands().Panel()->Bypassed(), 1);
  // Reset: the notice lasts a second per channel of the set.
  rig.page->ResetShownEq();
  QCOMPARE(rig.notices, QStringList{QStringLiteral("正在复位均衡... 2000")});
  // The subwoofer resets alone, with its own variant.
  rig.Open(4);
  rig.notices.clear();
  rig.page->ResetShownEq();
  QCOMPARE(rig.notices, QStringList{QStringLiteral("正在复位均衡... 1000")});
  core::Session reference;
  reference.Eq().ResetSubEq(4);
  const auto want = reference.Params().Store();
  const auto got = rig.session.Params().Store();
  for (int band = 0; band < 13; ++band) {
    const int at = core::params::EqBandOffset(11, band);
    QVERIFY(std::equal(want.begin() + at, want.begin() + at + 7, got.begin() + at));
  }
}

void OutputPageTest::positionChoiceSendsAndSwitches() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  rig.Open(0);
  QComboBox* ch6 = rig.Ctrl<QComboBox>(out::kPositionFirst + 5);
  QCOMPARE(ch6->currentIndex(), 5);
  QCOMPARE(ch6->currentText(), QStringLiteral("中置"));
  ch6->activated(4);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(10, 16, 4)});
  QCOMPARE(rig.page->Channel(), 5);
  QCOMPARE(rig.state.outputChannel, 5);
  QVERIFY(rig.Ctrl<ui::CGdipButton>(1077)->IsAltShown());
  QVERIFY(!rig.Ctrl<ui::CGdipButton>(1069)->IsAltShown());
}

void OutputPageTest::pageBarSwitchesInPlace() {
  PageRig rig(1);
  rig.Open(0);
  ui::CDialogOutput* page = rig.page.get();
  // The record and compressor pages are a click away.
  QTest::mouseClick(rig.Ctrl<ui::CGdipButton>(1074), Qt::LeftButton);
  QTest::mouseClick(rig.Ctrl<ui::CGdipButton>(1075), Qt::LeftButton);
  QCOMPARE(rig.pagesShown, (std::vector<std::pair<int, int>>{{ui::ids::kRecordPage, 0},
                                                             {ui::ids::kCompressorPage, 0}}));
  rig.pagesShown.clear();
  QCOMPARE(rig.Ctrl<ui::CGdipButton>(1070)->text(), QStringLiteral("CH 3"));
  QTest::mouseClick(rig.Ctrl<ui::CGdipButton>(1070), Qt::LeftButton);
  QCOMPARE(rig.page.get(), page);
  QCOMPARE(page->Channel(), 2);
  QVERIFY(rig.Ctrl<ui::CGdipButton>(1070)->IsAltShown());
  QCOMPARE(page->Bands().Panel()->Kind(), 9);
  QCOMPARE(rig.Ctrl<QCheckBox>(out::kFrontLink)->text(), QStringLiteral("FL+FR Linked"));
  QVERIFY(rig.usb.Bodies().empty());  // switching sends nothing
}

void OutputPageTest::editsWithoutProcessorKeepTheImage() {
  PageRig rig;
  rig.session.Link().State().open = false;
  rig.Open(3);
  ui::CXBmpSlider* music = rig.Ctrl<ui::CXBmpSlider>(1044);
  const int before = music->GetPos();
  QTest::keyClick(music, Qt::Key_Left);
  PageRig::Settle();
  QCOMPARE(rig.session.Params().Mirror(core::params::OutputMixMusic(3)).AsInt(), before - 1);
  QVERIFY(rig.usb.Bodies().empty());
  rig.page->Reload();
  QCOMPARE(music->GetPos(), before - 1);
}

void OutputPageTest::rewImportOrItsRefusal() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  rig.state.speakerLinks.bytes = {0, 0, 0, 0, 0, 0, 0, 0};
  rig.Open(0);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("room.txt"));
  auto write = [&path](const char* text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
  };
  write(
      "Filter Settings file\n\nFilter  1: ON  PK  Fc 63.0 Hz  Gain -3.5 dB  Q 4.00\n"
      "Filter  2: ON  HS  Fc 8000 Hz  Gain 2.0 dB  Q 0.71\n");
  rig.prompts.openPath = path;
  // Band 5 was moved before; the import flattens what it does not set.
  rig.session.Eq().SendEqBand(7, 4, 1, 500, 6.0f, 2.0f);
  rig.page->Reload();
  rig.usb.Clear();
  QTest::mouseClick(rig.page->Bands().RewButton(), Qt::LeftButton);
  QVERIFY(rig.prompts.messages.empty());
  const auto store = rig.session.Params().Store();
  auto record = [&store](int band) {
    const int at = core::params::EqBandOffset(7, band);
    return Bytes(store.begin() + at, store.begin() + at + 7);
  };
  // (-3.5 + 0.05 + 15) x 10 = 115; 63 Hz; Q 4000; PK.
  QCOMPARE(record(0), (Bytes{0x00, 0x73, 0x00, 0x3F, 0x0F, 0xA0, 0x01}));
  // (2 + 0.05 + 15) x 10 = 170; 8000 Hz; Q 710; HS.
  QCOMPARE(record(1), (Bytes{0x00, 0xAA, 0x1F, 0x40, 0x02, 0xC6, 0x05}));
  QCOMPARE(record(4)[1], std::uint8_t{150});  // 0 dB again
  QCOMPARE(rig.Ctrl<ui::CGridListCtrl>(ui::BandEditor::kGrid)->GetItemText(0, 2),
           QStringLiteral("-3.5dB"));
  QCOMPARE(rig.notices, QStringList{QStringLiteral("已导入 2 个 REW 滤波器 1500")});

  // A gain on a low-pass in line 4, filter 2: nothing sent, the line named.
  write(
      "Filter Settings file\n\nFilter  1: ON  PK  Fc 63.0 Hz  Gain -3.5 dB  Q 4.00\n"
      "Filter  2: ON  LP  Fc 80 Hz  Gain 2.0 dB\n");
  rig.usb.Clear();
  QTest::mouseClick(rig.page->Bands().RewButton(), Qt::LeftButton);
  QVERIFY(rig.usb.Bodies().empty());
  QCOMPARE(rig.prompts.messages.size(), std::size_t{1});
  QCOMPARE(rig.prompts.messages[0].text,
           QStringLiteral("REW 滤波器文件第 4 行（滤波器 2）无法导入：低通、高通滤波器不带增益。"));
}

void OutputPageTest::undoRedoOfALinkedSliderDrag() {
  PageRig rig;
  rig.SetPositions({0, 1, 2, 3, 4, 5, 6, 7});
  rig.session.Params().SetParam(5, 21, 50);
  rig.session.Params().SetParam(6, 21, 50);
  rig.Open(1);
  ui::CXBmpSlider& reverb = *rig.Ctrl<ui::CXBmpSlider>(1042);
  Drag(reverb, {52, 58, 64, 70});
  QCOMPARE(reverb.GetPos(), 70);
  QCOMPARE(rig.ParamFrames().size(),
           std::size_t{10});  // the press and four positions, two channels
  // One step for the whole drag: undo sends 50% to both channels once.
  rig.usb.Clear();
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});
  const auto origin = rig.session.History().Undo();
  QVERIFY(origin.has_value());
  QCOMPARE(origin->dialog, ui::ids::kOutputPage);
  QCOMPARE(origin->sub, 1);
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(5, 21, 0x3F000002), Param(6, 21, 0x3F000002)}));
  rig.page->Reload();
  QCOMPARE(reverb.GetPos(), 50);
  QCOMPARE(rig.Ctrl<QLabel>(1128)->text(), QStringLiteral("50%"));
  // Redo sends 70% the same way.
  rig.usb.Clear();
  QVERIFY(rig.session.History().Redo().has_value());
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(5, 21, 0x3F333335), Param(6, 21, 0x3F333335)}));
  // Two key presses are two steps.
  QTest::keyClick(&reverb, Qt::Key_Right);
  QTest::keyClick(&reverb, Qt::Key_Right);
  PageRig::Settle();
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{3});
}

void OutputPageTest::undoRedoOfAnEqPaste() {
  PageRig rig;
  rig.SetPositions({0, 2, 1, 3, 4, 5, 6, 7});  // CH1 and CH2 are not a pair
  rig.Open(0);
  ui::BandEditor& bands = rig.page->Bands();
  bands.Select(0);
  rig.Ctrl<QLineEdit>(ui::BandEditor::kGainEdit)->setText(QStringLiteral("6"));
  QTest::keyClick(rig.Ctrl<QLineEdit>(ui::BandEditor::kGainEdit), Qt::Key_Return);
  emit bands.Panel()->CopyPasteChosen(0, 7);  // copy CH1's EQ
  QCOMPARE(rig.state.eqCopyKind, 7);
  rig.page->SwitchChannel(1);
  const auto before = rig.session.Params().Store();
  rig.usb.Clear();
  emit bands.Panel()->CopyPasteChosen(1, 8);  // paste into CH2
  const auto pasted = rig.session.Params().Store();
  const int at = core::params::EqBandOffset(8, 0);
  // (6 + 0.05 + 15) x 10 = 210 = 0x00D2.
  QCOMPARE(Bytes(pasted.begin() + at, pasted.begin() + at + 2), (Bytes{0x00, 0xD2}));
  QCOMPARE(rig.Ctrl<ui::CGridListCtrl>(ui::BandEditor::kGrid)->GetItemText(0, 2),
           QStringLiteral("+6.0dB"));
  // Undo: CH2's band 1 is flat again and its band message goes out.
  rig.usb.Clear();
  QVERIFY(rig.session.History().Undo().has_value());
  const auto undone = rig.session.Params().Store();
  QVERIFY(std::equal(before.begin(), before.end(), undone.begin()));
  const auto targets = rig.Targets();
  QVERIFY(std::ranges::find(targets, std::pair<int, int>{6, 0}) != targets.end());
  // Redo: the paste again.
  QVERIFY(rig.session.History().Redo().has_value());
  const auto redone = rig.session.Params().Store();
  QVERIFY(std::equal(pasted.begin(), pasted.end(), redone.begin()));
}

void OutputPageTest::undoShowsWhereTheEditWasMade() {
  AppRig rig;
  QVERIFY(rig.started);
  rig.Start(1);
  rig.Frame().resize(1180, 760);
  rig.Frame().show();
  QVERIFY(rig.ConnectAndSync());
  rig.View().ShowPage(ui::ids::kOutputPage, 2);
  auto* page = qobject_cast<ui::CDialogOutput*>(rig.View().CurrentPage());
  QVERIFY(page != nullptr);
  QCheckBox* mute = qobject_cast<QCheckBox*>(ui::FindCtrl(page, out::MuteId(2)));
  const bool wasMuted = mute->isChecked();
  mute->click();
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(7, 26).has_value(); }));
  rig.View().ShowPage(ui::ids::kOutputPage, 6);
  QCOMPARE(page->Channel(), 6);
  rig.View().UpdateStatus();
  QVERIFY(rig.Frame().Ribbon().Element(ui::ids::kEditUndo)->isEnabled());
  // Ctrl+Z in the window: CH3 comes back and the processor gets the old value.
  rig.Frame().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&rig.Frame()));
  QTest::keyClick(&rig.Frame(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(page->Channel(), 2);
  QCOMPARE(mute->isChecked(), wasMuted);
  const std::uint32_t old = wasMuted ? 0u : PercentWord(100);
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(7, 26) == old; }));
  QVERIFY(rig.Frame().Ribbon().Element(ui::ids::kEditRedo)->isEnabled());
  // Ctrl+Y redoes it; a read-all then leaves nothing to undo.
  QTest::keyClick(&rig.Frame(), Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(mute->isChecked(), !wasMuted);
  QVERIFY(rig.session.History().CanUndo());
  QVERIFY(rig.ConnectAndSync());
  QVERIFY(!rig.session.History().CanUndo());
}

void OutputPageTest::wheelGoesToTheFocusedControl() {
  PageRig rig;
  rig.session.Params().SetParam(5, 20, 50);
  rig.session.Params().SetParam(5, 21, 50);
  rig.Open(0);
  rig.page->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(rig.page.get()));
  auto* direct = rig.Ctrl<ui::CXBmpSlider>(1041);
  auto* reverb = rig.Ctrl<ui::CXBmpSlider>(1042);
  direct->setFocus();
  QVERIFY(direct->hasFocus());
  // Turned over the reverb slider, the wheel moves the focused direct level.
  const QPointF at = reverb->rect().center();
  QWheelEvent up(at, reverb->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                 Qt::NoScrollPhase, false);
  QApplication::sendEvent(reverb, &up);
  PageRig::Settle();
  QCOMPARE(direct->GetPos(), 51);
  QCOMPARE(reverb->GetPos(), 50);
  // A focused control under the cursor keeps it.
  reverb->setFocus();
  QApplication::sendEvent(reverb, &up);
  PageRig::Settle();
  QCOMPARE(reverb->GetPos(), 51);
  QCOMPARE(direct->GetPos(), 51);
}

void OutputPageTest::everyControlIsNamed() {
  for (int language : {0, 1}) {
    PageRig rig(language);
    rig.Open(0);
    rig.page->show();
    int named = 0;
    for (QWidget* w : rig.page->findChildren<QWidget*>()) {
      if (ui::CtrlId(w) < 0 || ui::DialogId(w) >= 0) continue;
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      QVERIFY2(a != nullptr, qPrintable(QString::number(ui::CtrlId(w))));
      const QString name = a->text(QAccessible::Name);
      const bool isStatic = qobject_cast<QLabel*>(w) != nullptr;
      if (!isStatic || !qobject_cast<QLabel*>(w)->pixmap().isNull()) {
        QVERIFY2(!name.trimmed().isEmpty(),
                 qPrintable(QStringLiteral("control %1 (%2) has no name")
                                .arg(ui::CtrlId(w))
                                .arg(QString::fromLatin1(w->metaObject()->className()))));
      }
      ++named;
    }
    QVERIFY(named > 60);
    // The names are in the page's language; the painted controls have
    // their roles, and a value set through the interface is sent as a drag.
    QAccessibleInterface* reverb = QAccessible::queryAccessibleInterface(rig.Ctrl<QWidget>(1042));
    QCOMPARE(reverb->text(QAccessible::Name),
             language == 0 ? QStringLiteral("混响音量") : QStringLiteral("Reverb"));
    QCOMPARE(reverb->role(), QAccessible::Slider);
    QVERIFY(reverb->valueInterface() != nullptr);
    rig.usb.Clear();
    reverb->valueInterface()->setCurrentValue(40);
    PageRig::Settle();
    QCOMPARE(rig.ParamFrames().front(), Param(5, 21, 0x3ECCCCD0));  // 40%
    QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});
    QCOMPARE(
        QAccessible::queryAccessibleInterface(rig.Ctrl<QWidget>(ui::BandEditor::kPanel))->role(),
        QAccessible::Chart);
    QAccessibleInterface* mute =
        QAccessible::queryAccessibleInterface(rig.Ctrl<QWidget>(out::MuteId(2)));
    QCOMPARE(mute->role(), QAccessible::CheckBox);
    QCOMPARE(mute->text(QAccessible::Name),
             language == 0 ? QStringLiteral("通道3 静音") : QStringLiteral("CH3 Mute"));
  }
}

QTEST_MAIN(OutputPageTest)
#include "output_page_test.moc"
