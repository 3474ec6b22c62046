#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <cmath>

#include "core/params/biquad.h"
#include "ui/editors/eq_panel.h"

using ui::CEqPanel;
namespace cp = core::params;

namespace {

// The page under the panel: records the keys that reach it.
class Page : public QWidget {
 public:
  QList<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* e) override {
    keys << e->key();
    e->accept();
  }
};

// A panel of 760 x 320 (plot 718 x 282) on a shown page.
struct Fixture {
  Page page;
  CEqPanel* panel;
  explicit Fixture(int kind) {
    page.resize(800, 360);
    panel = new CEqPanel(&page);
    panel->setGeometry(10, 10, 760, 320);
    panel->SetEqKind(kind);
    page.show();
    page.activateWindow();
    (void)QTest::qWaitForWindowActive(&page);
  }
  // The handle of a band in panel pixels, plus an offset.
  QPoint Handle(int band, QPoint offset = QPoint()) const {
    const QPointF h = panel->HandlePos(band);
    return QPoint(static_cast<int>(std::lround(h.x())) + CEqPanel::kLeft,
                  static_cast<int>(std::lround(h.y())) + CEqPanel::kTop) +
           offset;
  }
  // A point of the plot at a frequency and a level.
  QPoint At(float hz, float db) const {
    const QRect plot = panel->PlotRect();
    const double x = plot.width() * std::log10(hz / 18.0) / std::log10(23000.0 / 18.0);
    const double y = (15.0 - db) * plot.height() / 30.0;
    return QPoint(static_cast<int>(std::lround(x)) + plot.left(),
                  static_cast<int>(std::lround(y)) + plot.top());
  }
  // True when the panel took the wheel step.
  bool Wheel(int delta) {
    const QPointF at(100, 100);
    QWheelEvent e(at, panel->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(panel, &e);
    return e.isAccepted();
  }
};

QAction* MenuAction(QMenu* menu, int command) {
  for (QAction* a : menu->actions()) {
    if (a->data().toInt() == command) return a;
  }
  return nullptr;
}

}  // namespace

class EqPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void peakingShowsItsGainAtItsCentre_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("band");
    QTest::addColumn<float>("frequency");
    QTest::addColumn<float>("gain");
    QTest::newRow("+6 dB at 100 Hz") << 0 << 3 << 100.0f << 6.0f;
    QTest::newRow("+6 dB off the grid") << 0 << 8 << 1234.0f << 6.0f;
    QTest::newRow("-4.5 dB at 7777 Hz") << 6 << 5 << 7777.0f << -4.5f;
    QTest::newRow("+15 dB at 20 Hz") << 15 << 0 << 20.0f << 15.0f;
  }
  void peakingShowsItsGainAtItsCentre() {
    QFETCH(int, kind);
    QFETCH(int, band);
    QFETCH(float, frequency);
    QFETCH(float, gain);
    Fixture f(kind);
    f.panel->SetBandFrequency(band, frequency);
    f.panel->SetBandGain(gain, band);
    const auto centre = cp::EqCentreIndex(f.panel->Bands().Axis(), frequency);
    QVERIFY(centre.has_value());
    QCOMPARE(f.panel->Band(band).response[static_cast<std::size_t>(*centre)], gain);
    // The other bands are flat, so the summed curve shows it too.
    QCOMPARE(f.panel->Bands().SummedResponse()[static_cast<std::size_t>(*centre)], gain);
    f.panel->SetSelectedBand(band);
    QCOMPARE(f.panel->StatusGainText(), QStringLiteral("%1%2dB ")
                                            .arg(gain >= 0 ? "+" : "")
                                            .arg(double(gain), 0, 'f', 1));
  }

  void leftDragMovesTheBand_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("dy");  // pixels up
    QTest::addColumn<float>("gain");
    // 282 pixels stand for 30 dB.
    QTest::newRow("LP keeps gain 0") << 2 << 94 << 0.0f;
    QTest::newRow("HP keeps gain 0") << 3 << -60 << 0.0f;
    QTest::newRow("PEQ follows") << 1 << 94 << 10.0f;
    QTest::newRow("low shelf follows") << 4 << -47 << -5.0f;
    QTest::newRow("PEQ clamps at +15") << 1 << 250 << 15.0f;
  }
  void leftDragMovesTheBand() {
    QFETCH(int, type);
    QFETCH(int, dy);
    QFETCH(float, gain);
    Fixture f(0);
    const int band = 8;  // 1000 Hz
    f.panel->SetBandType(band, type);
    const float frequency = f.panel->Band(band).frequency;
    QSignalSpy pressed(f.panel, &CEqPanel::BandPressed);
    QSignalSpy changed(f.panel, &CEqPanel::BandChanged);
    const QPoint grab = f.Handle(band, QPoint(3, -2));  // off the handle's middle
    QTest::mousePress(f.panel, Qt::LeftButton, Qt::NoModifier, grab);
    QCOMPARE(f.panel->SelectedBand(), band);
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.at(0).at(0).toInt(), band);
    for (int step = 1; step <= 4; ++step) {
      QTest::mouseMove(f.panel, grab - QPoint(0, dy * step / 4));
    }
    QTest::mouseRelease(f.panel, Qt::LeftButton, Qt::NoModifier, grab - QPoint(0, dy));
    QCOMPARE(f.panel->Band(band).gain, gain);
    // The handle keeps the point it was grabbed at: no sideways jump.
    QVERIFY(std::fabs(std::log10(f.panel->Band(band).frequency / frequency)) < 0.005);
    QCOMPARE(changed.count(), 4 + 1);  // every move, and the release after moving
  }

  void leftDragAlongFrequency() {
    Fixture f(0);
    const int band = 5;  // 250 Hz
    QTest::mousePress(f.panel, Qt::LeftButton, Qt::NoModifier, f.Handle(band));
    const QPoint to = f.At(4000, 0);
    QTest::mouseMove(f.panel, to);
    QTest::mouseRelease(f.panel, Qt::LeftButton, Qt::NoModifier, to);
    QVERIFY(std::fabs(f.panel->Band(band).frequency - 4000) < 4000 * 0.01);
    // Past the plot's ends the frequency stays within 20..20000 Hz.
    QTest::mousePress(f.panel, Qt::LeftButton, Qt::NoModifier, f.Handle(band));
    QTest::mouseMove(f.panel, QPoint(790, f.Handle(band).y()));
    QCOMPARE(f.panel->Band(band).frequency, 20000.0f);
    QTest::mouseMove(f.panel, QPoint(-50, f.Handle(band).y()));
    QCOMPARE(f.panel->Band(band).frequency, 20.0f);
    QTest::mouseRelease(f.panel, Qt::LeftButton);
  }

  void rightDragChangesQ_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("steps");
    QTest::addColumn<float>("q");
    QTest::newRow("PEQ +12 px at once") << 1 << 12 << 1 << 1.41f + 1.0f;
    QTest::newRow("PEQ +12 px pixel by pixel") << 1 << 12 << 12 << 1.41f + 1.0f;
    QTest::newRow("LP +12 px") << 2 << 12 << 1 << 0.7f + 0.15f;
    QTest::newRow("LP +12 px in threes") << 2 << 12 << 4 << 0.7f + 0.15f;
    QTest::newRow("PEQ -12 px") << 1 << -12 << 2 << 1.41f - 1.0f;
    QTest::newRow("LP floor 0.1") << 2 << -200 << 1 << 0.1f;
    QTest::newRow("HS ceiling 2") << 5 << 200 << 1 << 2.0f;
  }
  void rightDragChangesQ() {
    QFETCH(int, type);
    QFETCH(int, dx);
    QFETCH(int, steps);
    QFETCH(float, q);
    Fixture f(0);
    const int band = 8;
    f.panel->SetBandType(band, type);
    QSignalSpy changed(f.panel, &CEqPanel::BandChanged);
    const QPoint start = f.Handle(band, QPoint(-4, 3));
    QTest::mousePress(f.panel, Qt::RightButton, Qt::NoModifier, start);
    QCOMPARE(f.panel->SelectedBand(), band);
    QCOMPARE(changed.count(), 1);
    for (int s = 1; s <= steps; ++s) {
      QTest::mouseMove(f.panel, start + QPoint(dx * s / steps, 0));
    }
    QTest::mouseRelease(f.panel, Qt::RightButton, Qt::NoModifier, start + QPoint(dx, 0));
    QVERIFY2(std::fabs(f.panel->Band(band).q - q) < 1e-4,
             qPrintable(QString::number(f.panel->Band(band).q)));
    QVERIFY(!f.panel->TypeMenu()->isVisible());  // moved: no type menu
    QCOMPARE(f.panel->Band(band).type, type);
  }

  void onlyTenHandlesOnAChannelEq() {
    Fixture f(7);
    QCOMPARE(f.panel->Bands().BandCount(), 13);
    // Put the hidden section 11 where no band is, at 700 Hz and 0 dB.
    f.panel->SetBandFrequency(10, 700);
    QSignalSpy empty(f.panel, &CEqPanel::EmptyClicked);
    QTest::mouseClick(f.panel, Qt::LeftButton, Qt::NoModifier, f.Handle(10));
    QCOMPARE(f.panel->SelectedBand(), -1);
    QCOMPARE(empty.count(), 1);
    QTest::mouseMove(f.panel, f.Handle(10));
    QCOMPARE(f.panel->HoverBand(), -1);
    for (int band = 0; band < 10; ++band) {
      QTest::mouseClick(f.panel, Qt::LeftButton, Qt::NoModifier, f.Handle(band));
      QCOMPARE(f.panel->SelectedBand(), band);
    }
    // Fifteen bands elsewhere: band 11 is picked like any other.
    Fixture mic(0);
    QTest::mouseClick(mic.panel, Qt::LeftButton, Qt::NoModifier, mic.Handle(11));
    QCOMPARE(mic.panel->SelectedBand(), 11);
  }

  void typeMenuLp_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("band");
    QTest::addColumn<QList<int>>("types");  // band, then sections 1..3
    QTest::addColumn<float>("q");
    QTest::newRow("band 10 of CH1") << 7 << 9 << QList<int>{18, 20, 1, 1} << 0.7f;
    QTest::newRow("band 10 of CH8") << 14 << 9 << QList<int>{18, 20, 1, 1} << 0.7f;
    QTest::newRow("band 4 of CH1") << 7 << 3 << QList<int>{2} << 0.7f;
    QTest::newRow("band 10 of mic A") << 0 << 9 << QList<int>{2} << 0.7f;
  }
  void typeMenuLp() {
    QFETCH(int, kind);
    QFETCH(int, band);
    QFETCH(QList<int>, types);
    QFETCH(float, q);
    Fixture f(kind);
    f.panel->SetBandGain(4.0f, band);
    QSignalSpy changed(f.panel, &CEqPanel::BandChanged);
    QTest::mousePress(f.panel, Qt::RightButton, Qt::NoModifier, f.Handle(band));
    QTest::mouseRelease(f.panel, Qt::RightButton, Qt::NoModifier, f.Handle(band));
    QVERIFY(f.panel->TypeMenu()->isVisible());
    QCOMPARE(changed.count(), 2);  // the press and the release
    QAction* lp = MenuAction(f.panel->TypeMenu(), 2026);
    QVERIFY(lp != nullptr);
    lp->trigger();
    QCOMPARE(changed.count(), 3);
    QCOMPARE(changed.last().at(0).toInt(), band);
    const cp::EqBand& b = f.panel->Band(band);
    QCOMPARE(b.type, types[0]);
    QCOMPARE(b.gain, 0.0f);
    if (types.size() == 1) {
      QCOMPARE(b.q, q);
      QCOMPARE(b.sectionCount, 0);
    } else {
      for (int s = 0; s < 3; ++s) QCOMPARE(f.panel->Band(b.sections[s]).type, types[s + 1]);
    }
    f.panel->TypeMenu()->hide();
  }

  void emptyClicks() {
    Fixture f(6);
    QSignalSpy empty(f.panel, &CEqPanel::EmptyClicked);
    QSignalSpy copyPaste(f.panel, &CEqPanel::CopyPasteChosen);
    const QPoint nowhere = f.At(5000, -12);
    QTest::mousePress(f.panel, Qt::LeftButton, Qt::NoModifier, nowhere);
    QCOMPARE(empty.count(), 0);  // only on release
    QTest::mouseRelease(f.panel, Qt::LeftButton, Qt::NoModifier, nowhere);
    QCOMPARE(empty.count(), 1);
    QTest::mousePress(f.panel, Qt::RightButton, Qt::NoModifier, nowhere);
    QTest::mouseRelease(f.panel, Qt::RightButton, Qt::NoModifier, nowhere);
    QVERIFY(f.panel->EqMenu()->isVisible());
    QVERIFY(!f.panel->TypeMenu()->isVisible());
    QCOMPARE(MenuAction(f.panel->EqMenu(), 3025)->text(), QStringLiteral("复制均衡"));
    MenuAction(f.panel->EqMenu(), 3026)->trigger();
    QCOMPARE(copyPaste.count(), 1);
    QCOMPARE(copyPaste.at(0).at(0).toInt(), 1);
    QCOMPARE(copyPaste.at(0).at(1).toInt(), 6);
    f.panel->EqMenu()->hide();
    f.panel->SetLanguage(1);
    QCOMPARE(MenuAction(f.panel->EqMenu(), 3025)->text(), QStringLiteral("Copy EQ"));
    QCOMPARE(MenuAction(f.panel->TypeMenu(), 2029)->text(), QStringLiteral("HS"));
    QCOMPARE(empty.count(), 1);
  }

  void keys_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<float>("frequency");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<float>("toFrequency");
    QTest::addColumn<float>("toGain");
    QTest::addColumn<float>("toQ");
    const int R = Qt::Key_Right, L = Qt::Key_Left, U = Qt::Key_Up, D = Qt::Key_Down;
    QTest::newRow("Right at 1500") << 1 << 1500.f << R << false << 1510.f << 0.f << 1.41f;
    QTest::newRow("Ctrl Right at 1500") << 1 << 1500.f << R << true << 1511.f << 0.f << 1.41f;
    QTest::newRow("Left at 1500") << 1 << 1500.f << L << false << 1490.f << 0.f << 1.41f;
    QTest::newRow("Ctrl Left at 1500") << 1 << 1500.f << L << true << 1489.f << 0.f << 1.41f;
    QTest::newRow("Right at 15000") << 1 << 15000.f << R << false << 15100.f << 0.f << 1.41f;
    QTest::newRow("Right at 10000") << 1 << 10000.f << R << false << 10010.f << 0.f << 1.41f;
    QTest::newRow("Right at 500") << 1 << 500.f << R << false << 505.f << 0.f << 1.41f;
    QTest::newRow("Right at 100") << 1 << 100.f << R << false << 102.f << 0.f << 1.41f;
    QTest::newRow("Left at 21") << 1 << 21.f << L << false << 20.f << 0.f << 1.41f;
    QTest::newRow("Right at 19950") << 1 << 19950.f << R << false << 20000.f << 0.f << 1.41f;
    QTest::newRow("Up") << 1 << 1000.f << U << false << 1000.f << 0.2f << 1.41f;
    QTest::newRow("Ctrl Down") << 1 << 1000.f << D << true << 1000.f << -0.1f << 1.41f;
    QTest::newRow("Up on LP") << 2 << 1000.f << U << false << 1000.f << 0.f << 0.7f;
    QTest::newRow("Up on LS") << 4 << 1000.f << U << false << 1000.f << 0.2f << 0.7f;
    QTest::newRow("Plus") << 1 << 1000.f << int(Qt::Key_Plus) << false << 1000.f << 0.f << 1.51f;
    QTest::newRow("Ctrl Plus") << 1 << 1000.f << int(Qt::Key_Plus) << true << 1000.f << 0.f
                               << 1.42f;
    QTest::newRow("main keyboard =") << 1 << 1000.f << int(Qt::Key_Equal) << false << 1000.f
                                     << 0.f << 1.51f;
    QTest::newRow("Minus") << 2 << 1000.f << int(Qt::Key_Minus) << false << 1000.f << 0.f
                           << 0.6f;
  }
  void keys() {
    QFETCH(int, type);
    QFETCH(float, frequency);
    QFETCH(int, key);
    QFETCH(bool, ctrl);
    QFETCH(float, toFrequency);
    QFETCH(float, toGain);
    QFETCH(float, toQ);
    Fixture f(0);
    const int band = 8;
    // The other bands off, so none sits where the band is put.
    for (int i = 0; i < f.panel->Bands().BandCount(); ++i) {
      if (i != band) f.panel->SetBandType(i, 0);
    }
    f.panel->SetBandType(band, type);
    f.panel->SetBandFrequency(band, frequency);
    QTest::mouseClick(f.panel, Qt::LeftButton, Qt::NoModifier, f.Handle(band));
    QCOMPARE(f.panel->SelectedBand(), band);
    QVERIFY(f.panel->hasFocus());
    QSignalSpy changed(f.panel, &CEqPanel::BandChanged);
    QTest::keyClick(f.panel, Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
    QCOMPARE(f.panel->Band(band).frequency, toFrequency);
    QVERIFY(std::fabs(f.panel->Band(band).gain - toGain) < 1e-5);
    QVERIFY(std::fabs(f.panel->Band(band).q - toQ) < 1e-5);
    QCOMPARE(changed.count(), 1);
    QVERIFY(f.page.keys.isEmpty());  // the page never sees the panel's keys
  }

  void keysWithoutSelectionAreSwallowed() {
    Fixture f(0);
    f.panel->setFocus();
    QSignalSpy changed(f.panel, &CEqPanel::BandChanged);
    QTest::keyClick(f.panel, Qt::Key_Right);
    QTest::keyClick(f.panel, Qt::Key_A);
    QCOMPARE(changed.count(), 0);
    QVERIFY(f.page.keys.isEmpty());
  }

  void wheel_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("delta");
    QTest::addColumn<float>("gain");
    QTest::addColumn<bool>("handled");
    QTest::newRow("PEQ away") << 1 << 120 << 0.1f << true;
    QTest::newRow("PEQ towards") << 1 << -120 << -0.1f << true;
    QTest::newRow("HS away") << 5 << 120 << 0.1f << true;
    QTest::newRow("LP not handled") << 2 << 120 << 0.0f << false;
  }
  void wheel() {
    QFETCH(int, type);
    QFETCH(int, delta);
    QFETCH(float, gain);
    QFETCH(bool, handled);
    Fixture f(0);
    f.panel->SetBandType(4, type);
    QTest::mouseClick(f.panel, Qt::LeftButton, Qt::NoModifier, f.Handle(4));
    QSignalSpy changed(f.panel, &CEqPanel::BandChanged);
    QCOMPARE(f.Wheel(delta), handled);  // a step the panel leaves goes on to the page
    QVERIFY(std::fabs(f.panel->Band(4).gain - gain) < 1e-6);
    QCOMPARE(changed.count(), handled ? 1 : 0);
  }

  void statusLine_data() {
    QTest::addColumn<float>("gain");
    QTest::addColumn<QColor>("colour");
    const QColor green(0, 255, 0), yellow(255, 255, 0), red(255, 0, 0);
    QTest::newRow("+6 green") << 6.0f << green;
    QTest::newRow("-6 green") << -6.0f << green;
    QTest::newRow("+6.5 yellow") << 6.5f << yellow;
    QTest::newRow("-10 yellow") << -10.0f << yellow;
    QTest::newRow("+10.1 red") << 10.1f << red;
    QTest::newRow("-15 red") << -15.0f << red;
  }
  void statusLine() {
    QFETCH(float, gain);
    QFETCH(QColor, colour);
    Fixture f(0);
    f.panel->SetBandFrequency(2, 63);
    f.panel->SetBandGain(gain, 2);
    f.panel->SetSelectedBand(2);
    QCOMPARE(f.panel->StatusText(),
             QStringLiteral("EQ号=3    频率=63Hz    Q值=1.41     增益="));
    QCOMPARE(f.panel->StatusGainColour(), colour);
    f.panel->SetLanguage(1);
    QCOMPARE(f.panel->StatusText(),
             QStringLiteral("Index=3     Frequency=63Hz    Q=1.41     Gain="));
    QCOMPARE(f.panel->StatusGainText(), QStringLiteral("%1%2dB ")
                                            .arg(gain >= 0 ? "+" : "")
                                            .arg(double(gain), 0, 'f', 1));
  }

  void titles_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("zh");
    QTest::addColumn<QString>("en");
    QTest::newRow("0") << 0 << QStringLiteral("话筒A均衡") << QStringLiteral("Mic A EQ");
    QTest::newRow("5") << 5 << QStringLiteral("混响B均衡") << QStringLiteral("Reverb B EQ");
    QTest::newRow("6") << 6 << QStringLiteral("音乐均衡") << QStringLiteral("Music EQ");
    QTest::newRow("9") << 9 << QStringLiteral("通道3均衡") << QStringLiteral("CH3 EQ");
    QTest::newRow("15") << 15 << QStringLiteral("录音均衡") << QStringLiteral("Record EQ");
  }
  void titles() {
    QFETCH(int, kind);
    QFETCH(QString, zh);
    QFETCH(QString, en);
    Fixture f(kind);
    QCOMPARE(f.panel->Title(), zh);
    f.panel->SetLanguage(1);
    QCOMPARE(f.panel->Title(), en);
  }

  void axisLabels_data() {
    QTest::addColumn<float>("db");
    QTest::addColumn<QString>("label");
    QTest::newRow("negative zero") << -0.0f << QStringLiteral("-0dB");
    QTest::newRow("+3") << 3.0f << QStringLiteral("+3dB");
    QTest::newRow("-15") << -15.0f << QStringLiteral("-15dB");
  }
  void axisLabels() {
    QFETCH(float, db);
    QFETCH(QString, label);
    QCOMPARE(CEqPanel::AxisLabel(db), label);
  }

  void paintsTheCurveAndBypass() {
    Fixture f(0);
    const QRect plot = f.panel->PlotRect();
    QCOMPARE(plot, QRect(36, 18, 718, 282));
    QImage shot = f.panel->grab().toImage();
    QCOMPARE(QColor(shot.pixel(2, 2)), QColor(20, 20, 20));
    // A flat EQ: the curve lies on the 0 dB row, y = 18 + 15 x 282 / 30 = 159.
    const int x = plot.left() + 200;
    bool curve = false;
    for (int y = 157; y <= 161; ++y) {
      const QColor c(shot.pixel(x, y));
      curve = curve || (c.blue() > 200 && c.green() > 150 && c.red() < 80);
    }
    QVERIFY(curve);
    QCOMPARE(QColor(shot.pixel(x, 60)), QColor(20, 20, 20));  // nothing far above it
    f.panel->SetBypassed(1);
    shot = f.panel->grab().toImage();
    int white = 0;
    for (int y = 130; y < 190; ++y) {
      for (int xx = 300; xx < 460; ++xx) white += QColor(shot.pixel(xx, y)) == QColor(Qt::white);
    }
    QVERIFY(white > 100);
  }
};

QTEST_MAIN(EqPanelTest)
#include "eq_panel_test.moc"
