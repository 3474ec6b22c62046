// The delay page against a session on a recording USB transport: the
// chart's geometry, clamps and picking, the frames a drag, a typed delay,
// the row controls and the speaker alignment send, their undo steps, the
// page bar and what the accessibility interface sees.
#include "ui/editors/delay_page.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "app_test_support.h"
#include "page_test_support.h"
#include "core/link/recording_transport.h"
#include "core/params/eq_bank.h"
#include "core/params/named_params.h"
#include "core/session.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/gdip_button.h"
#include "ui/controls/x_bmp_slider.h"
#include "ui/editors/accessible_editors.h"
#include "ui/editors/delay_panel.h"
#include "ui/editors/page_bar.h"
#include "ui/shell/command_ids.h"
#include "ui/shell/page_context.h"
#include "ui/shell/ui_language.h"

namespace {

using pagetest::Bytes;
using pagetest::Param;
namespace dl = ui::ids::delay;


// The chart is held at 626 x 425: a plot 530 pixels wide for 106 ms, so
// 5 pixels per ms from x 78; rows (425 - 25) / 8 = 50 pixels high from y 5.
constexpr int kChartW = 626;
constexpr int kChartH = 425;

struct PageRig : pagetest::PageRig<ui::CDelayDlg> {
  using pagetest::PageRig<ui::CDelayDlg>::PageRig;
  ui::CDelayDlg& Open() {
    page = std::make_unique<ui::CDelayDlg>(context, nullptr);
    page->Chart().setFixedSize(kChartW, kChartH);
    page->resize(1400, 700);
    page->show();
    page->activateWindow();
    (void)QTest::qWaitForWindowActive(page.get());
    Settle();
    usb.Clear();
    return *page;
  }
  // Delays of every channel, in ms.
  void SetDelays(const std::array<float, 8>& ms) {
    for (int c = 0; c < 8; ++c) session.Params().SetParam(core::params::OutputDelay(c), ms[c]);
  }
  static void Settle() { pagetest::Settle(); }
};

// Press on `from`, move through `to`, release at the last point.
void Drag(QWidget* w, QPoint from, std::initializer_list<QPoint> to) {
  QTest::mousePress(w, Qt::LeftButton, {}, from);
  for (const QPoint& p : to) QTest::mouseMove(w, p);
  QTest::mouseRelease(w, Qt::LeftButton, {}, *(to.end() - 1));
  PageRig::Settle();
}

}  // namespace

class DelayPageTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::InstallAccessibleEditors(); }
  void chartGeometry();
  void markerClampsAndSnaps();
  void pressBetweenMarkersDragsNothing();
  void dragSendsTheChannelsDelayAsOneStep();
  void typedDelayIsClampedAndSent();
  void upDownAndWheelStepATenth();
  void rowControlsReachTheirChannelOnly();
  void reloadShowsTheProcessorsValues();
  void pageBarOpensThisPage();
  void alignmentSetsDelaysInOneStepAndMarksTheOutOfRange();
  void alignmentRefusesWithoutDistances();
  void everyControlIsNamedAndTheChartSpeaks();
  void processorGetsTheDragAndCtrlZBringsThePageBack();
};

void DelayPageTest::chartGeometry() {
  ui::CDelayPanel chart;
  chart.resize(kChartW, kChartH);
  chart.show();
  // Row i at (int)(50 i + 5 + 0.5).
  const int rows[8] = {5, 55, 105, 155, 205, 255, 305, 355};
  for (int c = 0; c < 8; ++c) QCOMPARE(chart.RowY(c), rows[c]);
  QCOMPARE(chart.MarkerSize(), QSize(25, 22));
  struct Case {
    float ms;
    int x;
  };
  const Case cases[] = {{0.0f, 78}, {1.5f, 85}, {20.0f, 178}, {37.3f, 264}, {100.0f, 578}};
  for (const Case& c : cases) {
    chart.SetLimits(0, 0.0f, 106.0f);
    chart.SetDelay(0, c.ms);
    QCOMPARE(chart.MarkerX(0), c.x);
  }
  // The centre of CH3's marker at 20 ms: (178 + 12, (int)(25 + 105)).
  chart.SetDelay(2, 20.0f);
  QCOMPARE(chart.MarkerCentre(2), QPoint(190, 130));
  // The chart's own limits: 1.5..100.
  chart.SetDelay(3, 0.2f);
  QCOMPARE(chart.Delay(3), 1.5f);
  chart.SetDelay(3, 250.0f);
  QCOMPARE(chart.Delay(3), 100.0f);
  // Shown as the processor holds it (1.4 ms is below the chart's own floor).
  chart.ShowDelay(3, 1.4f);
  QCOMPARE(chart.Delay(3), 1.4f);
  QCOMPARE(chart.MarkerX(3), 85);  // (int)(5 x 1.4) = 7
}

void DelayPageTest::markerClampsAndSnaps() {
  PageRig rig;
  rig.SetDelays({10, 20, 30, 40, 50, 60, 70, 80});
  rig.Open();
  ui::CDelayPanel& chart = rig.page->Chart();
  // CH2's marker (20 ms, x 178, row 55): dragged far to the left.
  QCOMPARE(chart.MarkerCentre(1), QPoint(190, 80));
  Drag(&chart, QPoint(190, 80), {QPoint(60, 80), QPoint(-40, 80)});
  QCOMPARE(chart.Delay(1), 1.5f);
  QCOMPARE(chart.MarkerX(1), 85);  // snapped to 1.5 ms, not under the cursor
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 1)->text(), QStringLiteral("1.5ms"));
  QCOMPARE(rig.Ctrl<ui::CDelayUpDown>(dl::kUpDownFirst + 1)->Pos(), 15);
  // 1.5 ms is 72 samples; sent once (the second move holds the same value).
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(6, 18, 0x48)});
  QVERIFY(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 1)->hasFocus());
  // CH7's marker (70 ms): far to the right stops at 100.0 ms (4800 samples).
  rig.usb.Clear();
  const QPoint ch7 = chart.MarkerCentre(6);
  QCOMPARE(ch7, QPoint(440, 330));
  Drag(&chart, ch7, {QPoint(kChartW + 300, 330)});
  QCOMPARE(chart.Delay(6), 100.0f);
  QCOMPARE(chart.MarkerX(6), 578);
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 6)->text(), QStringLiteral("100.0ms"));
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(11, 18, 0x12C0)});
  QCOMPARE(chart.DraggedChannel(), -1);
}

void DelayPageTest::pressBetweenMarkersDragsNothing() {
  PageRig rig;
  rig.SetDelays({10, 20, 30, 40, 50, 60, 70, 80});
  rig.Open();
  ui::CDelayPanel& chart = rig.page->Chart();
  // Between CH1 (centre 140, 30) and CH2 (190, 80), 25 pixels from each in
  // both x and y; and on CH1's row, 15 pixels right of its centre.
  for (const QPoint& p : {QPoint(165, 55), QPoint(155, 30), QPoint(140, 45)}) {
    QTest::mousePress(&chart, Qt::LeftButton, {}, p);
    QCOMPARE(chart.DraggedChannel(), -1);
    QTest::mouseMove(&chart, QPoint(400, p.y()));
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(400, p.y()));
    PageRig::Settle();
  }
  QVERIFY(rig.usb.Bodies().empty());
  QCOMPARE(chart.Delay(0), 10.0f);
  QCOMPARE(chart.Delay(1), 20.0f);
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{0});
  // 14 pixels off in both picks CH1.
  QTest::mousePress(&chart, Qt::LeftButton, {}, QPoint(154, 44));
  QCOMPARE(chart.DraggedChannel(), 0);
  QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(154, 44));
}

void DelayPageTest::dragSendsTheChannelsDelayAsOneStep() {
  PageRig rig;
  rig.SetDelays({10, 20, 20, 40, 50, 60, 70, 80});
  rig.Open();
  ui::CDelayPanel& chart = rig.page->Chart();
  // CH3 (20 ms, centre 190, 130): the cursor to x 240 puts the marker at
  // 228 (30 ms), then at 290 -> 278 (40 ms), then 291 -> 279 (40.2 ms).
  Drag(&chart, QPoint(190, 130), {QPoint(240, 131), QPoint(290, 129), QPoint(291, 129)});
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(7, 18, 1440), Param(7, 18, 1920), Param(7, 18, 1930)}));
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 2)->text(), QStringLiteral("40.2ms"));
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});
  // Undo sends CH3's 20 ms (960 samples) again, and only that.
  rig.usb.Clear();
  const auto origin = rig.session.History().Undo();
  QVERIFY(origin.has_value());
  QCOMPARE(origin->dialog, ui::ids::kDelayPage);
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(7, 18, 960)});
  rig.page->Reload();
  QCOMPARE(rig.page->Chart().Delay(2), 20.0f);
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 2)->text(), QStringLiteral("20.0ms"));
  // A second drag is a second step.
  Drag(&chart, QPoint(190, 130), {QPoint(200, 130)});
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});  // the redo was dropped
  QVERIFY(rig.session.History().CanUndo());
}

void DelayPageTest::typedDelayIsClampedAndSent() {
  PageRig rig;
  rig.SetDelays({10, 10, 10, 10, 10, 10, 10, 10});
  rig.Open();
  QLineEdit* edit = rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 4);  // CH5, module 9
  struct Case {
    const char* typed;
    const char* shown;
    float ms;
    std::uint32_t samples;
  };
  const Case cases[] = {
      {"12.34", "12.3ms", 12.3f, 590},  // 12.3 x 48 = 590.4
      {"250", "100.0ms", 100.0f, 4800},
      {"0.2", "1.5ms", 1.5f, 72},
      {"55.5ms", "55.5ms", 55.5f, 2664},
      {"abc", "1.5ms", 1.5f, 72},  // no number counts as 0, raised to 1.5
      {"1.5", "1.5ms", 1.5f, 72},  // held already: nothing sent, no step
  };
  std::size_t steps = 0;
  float last = 10.0f;
  for (const Case& c : cases) {
    rig.usb.Clear();
    edit->setFocus();
    edit->setText(QString::fromLatin1(c.typed));
    QTest::keyClick(edit, Qt::Key_Return);
    PageRig::Settle();
    QCOMPARE(edit->text(), QString::fromLatin1(c.shown));
    QCOMPARE(rig.page->Chart().Delay(4), c.ms);
    QCOMPARE(rig.session.Params().Mirror(core::params::OutputDelay(4)).AsFloat(), c.ms);
    if (c.ms != last) {
      QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(9, 18, c.samples)});
      ++steps;
    } else {
      QVERIFY(rig.ParamFrames().empty());  // the channel holds it already
    }
    QCOMPARE(rig.session.History().UndoCount(), steps);
    last = c.ms;
  }
  // Text left without Enter is replaced by the channel's delay.
  edit->setText(QStringLiteral("77"));
  rig.Ctrl<QLineEdit>(dl::kDelayEditFirst)->setFocus();
  PageRig::Settle();
  QCOMPARE(edit->text(), QStringLiteral("1.5ms"));
}

void DelayPageTest::upDownAndWheelStepATenth() {
  PageRig rig;
  rig.SetDelays({10, 10, 10, 10, 10, 10, 10, 10});
  rig.Open();
  ui::CDelayUpDown* upDown = rig.Ctrl<ui::CDelayUpDown>(dl::kUpDownFirst + 7);  // CH8, module 12
  QCOMPARE(upDown->Minimum(), 15);
  QCOMPARE(upDown->Maximum(), 1000);
  QCOMPARE(upDown->Pos(), 100);
  upDown->Up()->click();
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 7)->text(), QStringLiteral("10.1ms"));
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(12, 18, 485)});  // 10.1 x 48 = 484.8
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});
  // The wheel anywhere over the page goes to the focused delay edit: two
  // notches down, two steps.
  rig.usb.Clear();
  QLineEdit* edit = rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 7);
  edit->setFocus();
  ui::CDelayPanel& chart = rig.page->Chart();
  for (int i = 0; i < 2; ++i) {
    QWheelEvent wheel(QPointF(300, 300), chart.mapToGlobal(QPointF(300, 300)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&chart, &wheel);
  }
  PageRig::Settle();
  QCOMPARE(edit->text(), QStringLiteral("9.9ms"));
  QCOMPARE(rig.ParamFrames(), (std::vector<Bytes>{Param(12, 18, 480), Param(12, 18, 475)}));
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{3});
  QCOMPARE(upDown->Pos(), 99);
}

void DelayPageTest::rowControlsReachTheirChannelOnly() {
  PageRig rig;
  // CH1 and CH2 are the front pair, linked: this page still edits one.
  rig.state.speakerLinks = ui::LinkOptions::Defaults();
  rig.session.Params().SetParam(5, 16, 0);
  rig.session.Params().SetParam(6, 16, 1);
  rig.session.Eq().SetHfSplit(0, 0);  // both in high-frequency delay
  rig.session.Eq().SetHfSplit(1, 0);
  rig.Open();
  QVERIFY(rig.Ctrl<QRadioButton>(dl::kHfDelayFirst + 2)->isChecked());
  // Delay switch of CH2: off in the default image; a click sends 19 = 0.
  QCheckBox* on = rig.Ctrl<QCheckBox>(dl::kSwitchFirst + 1);
  QVERIFY(!on->isChecked());
  QVERIFY(!rig.Ctrl<QRadioButton>(dl::kHfDelayFirst + 2)->isEnabled());
  on->click();
  QCOMPARE(rig.ParamFrames(), std::vector<Bytes>{Param(6, 19, 0)});
  QVERIFY(rig.Ctrl<QRadioButton>(dl::kHfDelayFirst + 2)->isEnabled());
  // Whole-channel delay for CH2: parameter 17 of module 6 only (the two
  // words 1.0 and 0.0), and the split slider goes off.
  rig.usb.Clear();
  QRadioButton* whole = rig.Ctrl<QRadioButton>(dl::kChannelDelayFirst + 2);
  QVERIFY(whole->isEnabled());
  whole->click();
  PageRig::Settle();
  std::vector<Bytes> modes;
  for (const Bytes& b : rig.ParamFrames()) {
    if (b[3] == 17) modes.push_back(b);
  }
  QCOMPARE(modes, (std::vector<Bytes>{{0x09, 0x00, 0x06, 0x11, 0x02, 0x3F, 0x80, 0x00, 0x00, 0x00,
                                       0x00, 0x00, 0x00}}));
  for (const auto& [module, param] : rig.Targets()) QCOMPARE(module, 6);
  QVERIFY(!rig.Ctrl<ui::CXBmpSlider>(dl::kSplit[1])->isEnabled());
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{2});
  // Back to high-frequency delay: the split follows; moving it to 600 Hz
  // sends CH2's split bands (module 6) and shows the frequency.
  rig.Ctrl<QRadioButton>(dl::kHfDelayFirst + 2)->click();
  ui::CXBmpSlider* split = rig.Ctrl<ui::CXBmpSlider>(dl::kSplit[1]);
  QVERIFY(split->isEnabled());
  rig.usb.Clear();
  QVERIFY(split->KeyStep(1));
  PageRig::Settle();
  QCOMPARE(rig.Ctrl<QLabel>(dl::kSplitText[1])->text(), QStringLiteral("600Hz"));
  QVERIFY(!rig.Targets().empty());
  for (const auto& [module, param] : rig.Targets()) QCOMPARE(module, 6);
  QCOMPARE(rig.session.Eq().FindHfSplit(1), 1);
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{4});
}

void DelayPageTest::reloadShowsTheProcessorsValues() {
  PageRig rig;
  rig.SetDelays({1.4f, 2, 3, 4, 5, 6, 7, 99.5f});
  rig.session.Params().SetParam(core::params::OutputDelayOff(3), 0);
  rig.Open();
  // 1.4 ms (the output page's floor) is shown as it is, not as 1.5.
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst)->text(), QStringLiteral("1.4ms"));
  QCOMPARE(rig.page->Chart().Delay(0), 1.4f);
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 7)->text(), QStringLiteral("99.5ms"));
  QCOMPARE(rig.Ctrl<ui::CDelayUpDown>(dl::kUpDownFirst + 7)->Pos(), 995);
  QVERIFY(rig.Ctrl<QCheckBox>(dl::kSwitchFirst + 3)->isChecked());
  QVERIFY(!rig.Ctrl<QCheckBox>(dl::kSwitchFirst + 2)->isChecked());
  QCOMPARE(rig.Ctrl<QLabel>(dl::kSplitText[0])->text(), QStringLiteral("500Hz"));
  // Another page changes CH4's delay: a reload shows it.
  rig.session.Params().SetParam(core::params::OutputDelay(3), 42.0f);
  rig.page->Reload();
  QCOMPARE(rig.page->Chart().Delay(3), 42.0f);
  QCOMPARE(rig.page->Chart().MarkerX(3), 288);
  QVERIFY(rig.usb.Bodies().size() == 1);  // only the test's own SetParam went out
}

void DelayPageTest::pageBarOpensThisPage() {
  PageRig rig;
  rig.Open();
  ui::PageBar& bar = rig.page->Bar();
  for (int id : ui::PageBar::kIds) {
    QVERIFY(bar.Button(id)->isVisible());
    QCOMPARE(bar.Button(id)->IsAltShown(), id == 1074);
  }
  QCOMPARE(bar.Button(1074)->text(), QStringLiteral("延时"));
  bar.Button(1074)->click();
  bar.Button(1075)->click();
  bar.Button(1070)->click();
  QCOMPARE(rig.pagesShown, (std::vector<std::pair<int, int>>{{ui::ids::kDelayPage, 0},
                                                        {ui::ids::kCompressorPage, 0},
                                                        {ui::ids::kOutputPage, 2}}));
}

void DelayPageTest::alignmentSetsDelaysInOneStepAndMarksTheOutOfRange() {
  PageRig rig;
  rig.SetDelays({10, 10, 10, 10, 10, 10, 10, 10});
  rig.Open();
  // CH1 40 m (farthest), CH2 5.7 m (would need 101.5 ms), CH3 39.657 m.
  const char* typed[] = {"40", "5,7", "39.657"};
  for (int c = 0; c < 3; ++c) {
    QLineEdit* d = rig.Ctrl<QLineEdit>(dl::kDistanceFirst + c);
    d->setFocus();
    QTest::keyClicks(d, QString::fromLatin1(typed[c]));
  }
  QCOMPARE(rig.state.speakerDistancesM[1], std::optional<double>(5.7));
  QVERIFY(!rig.state.speakerDistancesM[3].has_value());
  rig.Ctrl<QPushButton>(dl::kAlign)->click();
  PageRig::Settle();
  // 1.5 ms = 72, 100 ms = 4800, 2.5 ms = 120 samples; the rest untouched.
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(5, 18, 72), Param(6, 18, 4800), Param(7, 18, 120)}));
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{1});
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDelayEditFirst + 1)->text(), QStringLiteral("100.0ms"));
  QCOMPARE(rig.page->Chart().Delay(2), 2.5f);
  QCOMPARE(rig.Ctrl<QLabel>(dl::kMarkFirst + 1)->text(), QStringLiteral("!"));
  QVERIFY(rig.Ctrl<QLabel>(dl::kMarkFirst + 1)->toolTip().contains(QStringLiteral("101.5ms")));
  QCOMPARE(rig.Ctrl<QLabel>(dl::kAlignSummary)->text(),
           QStringLiteral("! 通道2超出延时范围，已设为100.0ms，未能对齐"));
  QVERIFY(rig.Ctrl<QLabel>(dl::kMarkFirst)->text().isEmpty());
  QVERIFY(rig.Ctrl<QLabel>(dl::kMarkFirst + 2)->text().isEmpty());
  // A delay edited here clears the channel's mark.
  rig.Ctrl<ui::CDelayUpDown>(dl::kUpDownFirst + 1)->Down()->click();
  QVERIFY(rig.Ctrl<QLabel>(dl::kMarkFirst + 1)->text().isEmpty());
  QVERIFY(rig.Ctrl<QLabel>(dl::kAlignSummary)->text().isEmpty());
  QVERIFY(rig.session.History().Undo().has_value());
  // One undo more puts all three back.
  rig.usb.Clear();
  QVERIFY(rig.session.History().Undo().has_value());
  QCOMPARE(rig.ParamFrames(),
           (std::vector<Bytes>{Param(5, 18, 480), Param(6, 18, 480), Param(7, 18, 480)}));
  // The distances outlive the page.
  rig.Open();
  QCOMPARE(rig.Ctrl<QLineEdit>(dl::kDistanceFirst + 2)->text(), QStringLiteral("39.66"));
}

void DelayPageTest::alignmentRefusesWithoutDistances() {
  PageRig rig(1);
  rig.Open();
  rig.Ctrl<QPushButton>(dl::kAlign)->click();
  QVERIFY(rig.usb.Bodies().empty());
  QCOMPARE(rig.notices, QStringList{QStringLiteral("Type the speakers' distances first 1500")});
  QTest::keyClicks(rig.Ctrl<QLineEdit>(dl::kDistanceFirst + 4), QStringLiteral("3"));
  QTest::keyClicks(rig.Ctrl<QLineEdit>(dl::kDistanceFirst + 5), QStringLiteral("120"));
  rig.Ctrl<QPushButton>(dl::kAlign)->click();
  QVERIFY(rig.usb.Bodies().empty());
  QCOMPARE(rig.notices.last(), QStringLiteral("CH 6: a distance is 0 to 100 m 1500"));
  QCOMPARE(rig.session.History().UndoCount(), std::size_t{0});
}

void DelayPageTest::everyControlIsNamedAndTheChartSpeaks() {
  for (int language : {0, 1}) {
    PageRig rig(language);
    rig.SetDelays({1.5f, 2, 3, 4, 5, 6, 7, 8});
    rig.Open();
    int named = 0;
    for (QWidget* w : rig.page->findChildren<QWidget*>()) {
      if (ui::CtrlId(w) < 0 || ui::DialogId(w) >= 0) continue;
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      QVERIFY(a != nullptr);
      QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(),
               qPrintable(QStringLiteral("control %1 has no name").arg(ui::CtrlId(w))));
      ++named;
    }
    QVERIFY(named > 80);
    QAccessibleInterface* chart =
        QAccessible::queryAccessibleInterface(rig.Ctrl<QWidget>(dl::kChart));
    QCOMPARE(chart->role(), QAccessible::Chart);
    QCOMPARE(chart->text(QAccessible::Name),
             language == 0 ? QStringLiteral("延时图") : QStringLiteral("Delay chart"));
    const QString value = chart->text(QAccessible::Value);
    QVERIFY2(value.startsWith(language == 0 ? QStringLiteral("通道1 1.5ms，通道2 2.0ms")
                                            : QStringLiteral("CH1 1.5ms, CH2 2.0ms")),
             qPrintable(value));
    QVERIFY(value.endsWith(QStringLiteral("8.0ms")));
    QAccessibleInterface* edit =
        QAccessible::queryAccessibleInterface(rig.Ctrl<QWidget>(dl::kDelayEditFirst + 2));
    QCOMPARE(edit->text(QAccessible::Name),
             language == 0 ? QStringLiteral("通道3 延时") : QStringLiteral("CH 3 delay"));
    QCOMPARE(rig.Ctrl<QCheckBox>(dl::kSwitchFirst)->text(),
             language == 0 ? QStringLiteral("开关") : QStringLiteral("ON"));
  }
}

void DelayPageTest::processorGetsTheDragAndCtrlZBringsThePageBack() {
  apptest::AppRig rig;
  QVERIFY(rig.started);
  {
    core::Session scratch;
    scratch.Params().SetParam(core::params::OutputDelay(3), 20.0f);
    rig.processor.SetImage(scratch.Params().Image());
  }
  rig.Start(1);
  rig.Frame().resize(1180, 760);
  rig.Frame().show();
  QVERIFY(rig.ConnectAndSync());
  rig.View().ShowPage(ui::ids::kDelayPage, 0);
  auto* page = qobject_cast<ui::CDelayDlg*>(rig.View().CurrentPage());
  QVERIFY(page != nullptr);
  QCOMPARE(page->Chart().Delay(3), 20.0f);  // read from the processor
  // CH4's marker dragged 50 pixels per 10 ms on a chart of this size.
  ui::CDelayPanel& chart = page->Chart();
  const QPoint from = chart.MarkerCentre(3);
  const float perMs = static_cast<float>(chart.width() - 96) / 106.0f;
  Drag(&chart, from, {from + QPoint(static_cast<int>(perMs * 10.0f) + 1, 0)});
  const float moved = chart.Delay(3);
  QVERIFY2(moved >= 29.9f && moved <= 30.3f, qPrintable(QString::number(moved)));
  const auto samples = static_cast<std::uint32_t>(moved * 48.0f + 0.5f);
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(8, 18) == samples; }));
  // On another page, Ctrl+Z: the delay page comes back with 20 ms, which
  // the processor gets again (960 samples).
  rig.View().ShowPage(ui::ids::kOutputPage, 0);
  rig.Frame().activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&rig.Frame()));
  QTest::keyClick(&rig.Frame(), Qt::Key_Z, Qt::ControlModifier);
  page = qobject_cast<ui::CDelayDlg*>(rig.View().CurrentPage());
  QVERIFY(page != nullptr);
  QCOMPARE(page->Chart().Delay(3), 20.0f);
  QVERIFY(QTest::qWaitFor([&] { return rig.LastParamWord(8, 18) == 960u; }));
}

QTEST_MAIN(DelayPageTest)
#include "delay_page_test.moc"
