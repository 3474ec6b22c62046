#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

#include "ui/editors/small_eq_panel.h"

using ui::CSmallEqPanel;

namespace {

// The preview as the mic and music page shows it: 180 x 90.
struct Fixture {
  QWidget page;
  CSmallEqPanel* panel;
  Fixture() {
    page.resize(220, 120);
    panel = new CSmallEqPanel(&page);
    panel->setGeometry(10, 10, 180, 90);
    page.show();
  }
  float LevelAt(int point) const {
    return panel->Model().LevelOf(panel->Model().SumCurve()[static_cast<std::size_t>(point)].y);
  }
  // The point nearest to a frequency.
  int PointAt(float hz) const {
    const float x = panel->Model().XOf(hz);
    int best = 0;
    for (int i = 0; i < core::params::kSmallEqPoints; ++i) {
      if (std::fabs(panel->Model().SumCurve()[i].x - x) <
          std::fabs(panel->Model().SumCurve()[best].x - x)) {
        best = i;
      }
    }
    return best;
  }
};

}  // namespace

class SmallEqPanelTest : public QObject {
  Q_OBJECT

 private slots:
  void flatBandsLieOnZero() {
    Fixture f;
    const float zero = f.panel->Model().YOf(0);
    QCOMPARE(zero, 45.0f);  // Ph / 2 + 2 with Ph = 86
    for (const auto& p : f.panel->Model().SumCurve()) QCOMPARE(p.y, zero);
    // Painted: the curve's colour on the 0 dB row, black well away from it.
    const QImage shot = f.panel->grab().toImage();
    const int x = static_cast<int>(f.panel->Model().SumCurve()[20].x);
    const QColor on(shot.pixel(x, static_cast<int>(zero)));
    QVERIFY(on.blue() > 150 && on.red() < 80);
    QVERIFY(QColor(shot.pixel(x, 10)).blue() < 100);
  }

  void frequencies_data() {
    QTest::addColumn<float>("set");
    QTest::addColumn<float>("stored");
    QTest::newRow("50000 is 20000") << 50000.0f << 20000.0f;
    QTest::newRow("5 is 20") << 5.0f << 20.0f;
    QTest::newRow("0 is ignored") << 0.0f << 125.0f;
    QTest::newRow("1000 kept") << 1000.0f << 1000.0f;
  }
  void frequencies() {
    QFETCH(float, set);
    QFETCH(float, stored);
    Fixture f;
    f.panel->SetBandFrequency(2, set);
    QCOMPARE(f.panel->Band(2).frequency, stored);
  }

  void peakRaisesTheCurveInTenths() {
    Fixture f;
    f.panel->SetBandFrequency(5, 1000);
    f.panel->SetBandGain(5, 6);
    const float peak = f.LevelAt(f.PointAt(1000));
    QVERIFY2(std::fabs(peak - 6.0f) < 0.8f, qPrintable(QString::number(peak)));
    for (const int tenths : f.panel->Model().SumTenths()) {
      const float level = tenths / 10.0f;
      QVERIFY(std::fabs(level * 10 - std::round(level * 10)) < 1e-4);
    }
    QVERIFY(std::fabs(f.LevelAt(0)) < 0.15f);  // far below the band, flat
  }

  void lowPassIgnoresGain() {
    Fixture f;
    f.panel->SetBandType(3, 2);
    f.panel->SetBandQ(3, 0.7f);
    f.panel->SetBandGain(3, 9);
    QVERIFY(std::fabs(f.LevelAt(0)) < 0.15f);  // the passband stays at 0 dB
    QVERIFY(f.LevelAt(f.PointAt(5000)) < -10);
  }

  void bypassShowsPassOverTheCurve() {
    Fixture f;
    f.panel->SetBandGain(4, -9);
    f.panel->SetBypassed(1);
    const QImage shot = f.panel->grab().toImage();
    int white = 0;
    for (int y = 25; y < 65; ++y) {
      for (int x = 40; x < 140; ++x) white += QColor(shot.pixel(x, y)) == QColor(Qt::white);
    }
    QVERIFY(white > 30);
    QVERIFY(f.LevelAt(f.PointAt(500)) < -5);  // the curve is still there
  }

  void hoverFrame() {
    Fixture f;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(f.panel, &enter);
    QVERIFY(f.panel->IsHovering());
    QImage shot = f.panel->grab().toImage();
    for (const QPoint p : {QPoint(0, 0), QPoint(179, 0), QPoint(0, 89), QPoint(179, 89),
                           QPoint(90, 0)}) {
      QCOMPARE(QColor(shot.pixel(p)), QColor(0, 255, 255));
    }
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(f.panel, &leave);
    shot = f.panel->grab().toImage();
    QCOMPARE(QColor(shot.pixel(90, 0)), QColor(Qt::black));
  }

  void clickIsReported() {
    Fixture f;
    QSignalSpy clicked(f.panel, &CSmallEqPanel::Clicked);
    QTest::mouseClick(f.panel, Qt::LeftButton, Qt::NoModifier, QPoint(50, 40));
    QCOMPARE(clicked.count(), 1);
    QTest::mouseClick(f.panel, Qt::RightButton, Qt::NoModifier, QPoint(50, 40));
    QCOMPARE(clicked.count(), 1);
  }

  void curveColour() {
    Fixture f;
    f.panel->SetCurveColour(QColor(255, 120, 0));
    const QImage shot = f.panel->grab().toImage();
    const int x = static_cast<int>(f.panel->Model().SumCurve()[30].x);
    const QColor on(shot.pixel(x, static_cast<int>(f.panel->Model().YOf(0))));
    QVERIFY(on.red() > 200 && on.blue() < 60);
  }
};

QTEST_MAIN(SmallEqPanelTest)
#include "small_eq_panel_test.moc"
