#include <QTest>
#include <QThread>

#include "ui/controls/peak_meter_ctrl.h"

using ui::CPeakMeterCtrl;

namespace {

const QColor kGreen(0, 255, 0), kYellow(255, 255, 0), kRed(255, 0, 0);
const QColor kDarkGreen(2, 60, 2), kDarkYellow(60, 60, 2), kDarkRed(60, 2, 2);

// The mic and music page's meter: one band of 15 LEDs, range 60.
struct Fixture {
  CPeakMeterCtrl meter;
  Fixture() {
    meter.resize(150, 12);
    meter.UseLevelStyle();
  }
};

}  // namespace

class PeakMeterCtrlTest : public QObject {
  Q_OBJECT

 private slots:
  void levelLightsLeds_data() {
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("lit");
    QTest::addColumn<int>("yellow");  // lit yellow LEDs
    QTest::addColumn<int>("red");     // lit red LEDs
    QTest::newRow("35: LEDs 1..8, all green") << 35 << 8 << 0 << 0;
    QTest::newRow("50: 12 with two yellow") << 50 << 12 << 2 << 0;
    QTest::newRow("60 lights all") << 60 << 15 << 2 << 3;
    QTest::newRow("above 60 shows as 60") << 75 << 15 << 2 << 3;
    QTest::newRow("3 lights none") << 3 << 0 << 0 << 0;
    QTest::newRow("4 lights one") << 4 << 1 << 0 << 0;
    QTest::newRow("43 reaches yellow") << 43 << 10 << 0 << 0;
    QTest::newRow("44 lights the first yellow") << 44 << 11 << 1 << 0;
    QTest::newRow("negative is 0") << -5 << 0 << 0 << 0;
  }
  void levelLightsLeds() {
    QFETCH(int, level);
    QFETCH(int, lit);
    QFETCH(int, yellow);
    QFETCH(int, red);
    Fixture f;
    // Let a fresh meter fall dark first, so the held peak is gone.
    for (int i = 0; i < 40; ++i) f.meter.FalloffStep();
    f.meter.SetValue(0, level);
    QCOMPARE(f.meter.BandAt(0).value, std::clamp(level, 0, 60));
    QCOMPARE(f.meter.LitLeds(0), lit);
    int yellowLit = 0, redLit = 0;
    for (int i = 0; i < 15; ++i) {
      const QColor c = f.meter.LedColour(0, i);
      // Zones: LEDs 1..10 low, 11 and 12 medium, 13..15 high.
      const bool on = i < lit;
      const QColor expected = i < 10   ? (on ? kGreen : kDarkGreen)
                              : i < 12 ? (on ? kYellow : kDarkYellow)
                                       : (on ? kRed : kDarkRed);
      QCOMPARE(c, expected);
      yellowLit += c == kYellow;
      redLit += c == kRed;
    }
    QCOMPARE(yellowLit, yellow);
    QCOMPARE(redLit, red);
  }

  void paintedLedsMatch() {
    Fixture f;
    for (int i = 0; i < 40; ++i) f.meter.FalloffStep();
    f.meter.SetValue(0, 50);
    const QImage shot = f.meter.grab().toImage();
    // 150 / 15 = 10 pixels per LED, each with its left column left as background.
    const QColor background(240, 250, 255);
    for (int i = 0; i < 15; ++i) {
      QCOMPARE(QColor(shot.pixel(i * 10, 6)), background);
      QCOMPARE(QColor(shot.pixel(i * 10 + 5, 6)), f.meter.LedColour(0, i));
      QCOMPARE(QColor(shot.pixel(i * 10 + 5, 0)), f.meter.LedColour(0, i));  // one band: full height
    }
  }

  void falloffFromReset() {
    Fixture f;
    QVERIFY(f.meter.FalloffRunning());
    QCOMPARE(f.meter.FalloffPeriod(), 50);
    const CPeakMeterCtrl::Band& b = f.meter.BandAt(0);
    QCOMPARE(b.value, 60);
    QCOMPARE(b.peak, 60);
    QCOMPARE(b.hold, 10);
    struct Expect {
      int tick, value, peak, hold, lit;
      bool running;
    };
    const Expect table[] = {
        {1, 56, 60, 9, 14, true},  {9, 24, 60, 1, 6, true},  {10, 20, 58, 0, 5, true},
        {14, 4, 50, 0, 1, true},   {15, 0, 48, 0, 0, true},  {16, 0, 46, 0, 0, true},
        {38, 0, 2, 0, 0, true},    {39, 0, 0, 0, 0, true},   {40, 0, 0, 0, 0, false},
    };
    int tick = 0;
    for (const Expect& e : table) {
      while (tick < e.tick) {
        QVERIFY2(f.meter.FalloffRunning(), qPrintable(QStringLiteral("tick %1").arg(tick + 1)));
        f.meter.FalloffStep();
        ++tick;
      }
      QCOMPARE(b.value, e.value);
      QCOMPARE(b.peak, e.peak);
      QCOMPARE(b.hold, e.hold);
      QCOMPARE(f.meter.LitLeds(0), e.lit);
      QCOMPARE(f.meter.FalloffRunning(), e.running);
    }
    // The next value starts the timer again.
    f.meter.SetValue(0, 20);
    QVERIFY(f.meter.FalloffRunning());
    QCOMPARE(b.peak, 20);
    QCOMPARE(b.hold, 10);
  }

  void newPeakIsHeld() {
    Fixture f;
    for (int i = 0; i < 40; ++i) f.meter.FalloffStep();
    f.meter.SetValue(0, 40);
    f.meter.SetValue(0, 20);  // lower: the peak stays, its hold is not renewed
    QCOMPARE(f.meter.BandAt(0).peak, 40);
    for (int i = 0; i < 9; ++i) f.meter.FalloffStep();
    QCOMPARE(f.meter.BandAt(0).peak, 40);
    f.meter.FalloffStep();
    QCOMPARE(f.meter.BandAt(0).peak, 38);
  }

  void falloffRunsOnTheGuiTimer() {
    Fixture f;
    QVERIFY(f.meter.thread() == QThread::currentThread());
    QTRY_VERIFY_WITH_TIMEOUT(f.meter.BandAt(0).value < 60, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(!f.meter.FalloffRunning(), 10000);
    QCOMPARE(f.meter.BandAt(0).value, 0);
    QCOMPARE(f.meter.BandAt(0).peak, 0);
  }

  void defaultsAndSingleLedMeters() {
    CPeakMeterCtrl m;
    QCOMPARE(m.BandCount(), 8);
    QCOMPARE(m.LedCount(), 8);
    QCOMPARE(m.FalloffPeriod(), 10);
    QVERIFY(!m.IsHorizontal());
    m.ResetMeter();
    QVERIFY(!m.FalloffRunning());  // no timer until the falloff is started
    // One LED or fewer: drawn as high x 10 / 100 = 6 LEDs, falling by 6 and peaks by 5.
    m.SetBandCount(2);
    m.SetLedCount(1);
    m.ResetMeter();
    QCOMPARE(m.PaintedLeds(), 6);
    m.FalloffStep();
    QCOMPARE(m.BandAt(1).value, 54);
    for (int i = 0; i < 9; ++i) m.FalloffStep();
    QCOMPARE(m.BandAt(1).peak, 55);
    m.SetLedCount(0);
    m.ResetMeter();
    m.FalloffStep();  // no division by zero
    QCOMPARE(m.BandAt(0).value, 54);
  }
};

QTEST_MAIN(PeakMeterCtrlTest)
#include "peak_meter_ctrl_test.moc"
