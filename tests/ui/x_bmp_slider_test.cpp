#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "ui/controls/artwork.h"
#include "ui/controls/ctrl_id.h"
#include "ui/controls/x_bmp_slider.h"

using ui::CXBmpSlider;

namespace {

constexpr int kId = 1041;

// A slider of the level style on a shown page, ready for input.
struct Fixture {
  QWidget page;
  CXBmpSlider* slider;
  explicit Fixture(bool vertical, int minimum = 0, int maximum = 100, int position = 50) {
    page.resize(200, 200);
    slider = new CXBmpSlider(&page);
    ui::SetCtrlId(slider, kId);
    if (vertical) {
      slider->UseVerticalStyle();
    } else {
      slider->UseHorizontalStyle();
    }
    slider->SetRange(maximum, minimum);
    slider->SetPos(position);
    slider->move(10, 10);
    slider->resize(slider->sizeHint());
    page.show();
    page.activateWindow();
    (void)QTest::qWaitForWindowActive(&page);
  }
};

QPoint ThumbCentre(const CXBmpSlider& s) { return s.ThumbRect().center(); }

void Flush() { QCoreApplication::processEvents(); }

void SendWheel(QWidget* w, int delta) {
  const QPointF at(5, 5);
  QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &e);
}

}  // namespace

class XBmpSliderTest : public QObject {
  Q_OBJECT

 private slots:
  void geometry_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("offset");
    // 131 - 19 - 7 - 7 = 98 usable pixels along either style.
    QTest::newRow("level 50 of 0..100") << false << 0 << 100 << 50 << 56;
    QTest::newRow("level at minimum") << false << 0 << 100 << 0 << 7;
    QTest::newRow("level at maximum") << false << 0 << 100 << 100 << 105;
    QTest::newRow("level 10 of 0..49") << false << 0 << 49 << 10 << 27;
    QTest::newRow("level 33 of 0..100 truncates") << false << 0 << 100 << 33 << 39;
    QTest::newRow("negative range") << false << -49 << 0 << -39 << 27;
    QTest::newRow("vertical maximum on top") << true << 0 << 100 << 100 << 7;
    QTest::newRow("vertical minimum at bottom") << true << 0 << 100 << 0 << 105;
    QTest::newRow("vertical 50") << true << 0 << 100 << 50 << 56;
    QTest::newRow("vertical 25 of 0..100") << true << 0 << 100 << 25 << 80;
  }
  void geometry() {
    QFETCH(bool, vertical);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, position);
    QFETCH(int, offset);
    Fixture f(vertical, minimum, maximum, position);
    QCOMPARE(f.slider->ThumbOffset(position), offset);
    const QRect thumb = f.slider->ThumbRect();
    if (vertical) {
      QCOMPARE(thumb, QRect(3, offset, 9, 19));
    } else {
      QCOMPARE(thumb, QRect(offset, 3, 19, 9));
    }
  }

  void trackSizesHold() {
    Fixture h(false), v(true);
    QCOMPARE(h.slider->TrackSize(), QSize(131, 22));
    QCOMPARE(h.slider->ThumbSize(), QSize(19, 9));
    QCOMPARE(v.slider->TrackSize(), QSize(22, 131));
    QCOMPARE(v.slider->ThumbSize(), QSize(9, 19));
  }

  void pressOffThumbStepsByOne_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<int>("expected");
    // Level slider at 50: thumb 56..74, centre x 65.
    QTest::newRow("far right of thumb") << false << QPoint(128, 8) << 51;
    QTest::newRow("just right of thumb") << false << QPoint(76, 8) << 51;
    QTest::newRow("far left of thumb") << false << QPoint(2, 8) << 49;
    QTest::newRow("below thumb, right of centre") << false << QPoint(70, 18) << 51;
    QTest::newRow("below thumb, at centre") << false << QPoint(65, 18) << 49;
    // Vertical at 50: thumb rows 56..74, centre y 65; up raises.
    QTest::newRow("vertical above thumb") << true << QPoint(8, 10) << 51;
    QTest::newRow("vertical below thumb") << true << QPoint(8, 125) << 49;
  }
  void pressOffThumbStepsByOne() {
    QFETCH(bool, vertical);
    QFETCH(QPoint, press);
    QFETCH(int, expected);
    Fixture f(vertical);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::NoModifier, press);
    QCOMPARE(f.slider->GetPos(), expected);
    QVERIFY(!f.slider->IsDragging());
    QTest::mouseRelease(f.slider, Qt::LeftButton, Qt::NoModifier, press);
    Flush();
    QCOMPARE(moved.count(), 1);
    QCOMPARE(moved.at(0).at(0).toInt(), kId);
    QCOMPARE(moved.at(0).at(1).toInt(), expected);
  }

  void notificationsArePostedNotCalled() {
    Fixture f(false);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    QSignalSpy released(f.slider, &CXBmpSlider::SliderReleased);
    QTest::keyClick(f.slider, Qt::Key_Right);
    QCOMPARE(f.slider->GetPos(), 51);
    QCOMPARE(moved.count(), 0);  // nothing delivered from inside the key handler
    QCOMPARE(released.count(), 0);
    Flush();
    QCOMPARE(moved.count(), 1);
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.at(0).at(1).toInt(), 51);
  }

  void dragPastBothEndsClampsAndKeepsNotifying() {
    Fixture f(false);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    QSignalSpy released(f.slider, &CXBmpSlider::SliderReleased);
    const QPoint start = ThumbCentre(*f.slider);
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::NoModifier, start);
    QVERIFY(f.slider->IsDragging());
    QCOMPARE(f.slider->GetPos(), 50);
    const struct {
      int x;
      int position;
    } moves[] = {{-40, 0}, {-200, 0}, {-200, 0}, {300, 100}, {500, 100}, {65, 50}, {16, 0}};
    for (const auto& m : moves) {
      QTest::mouseMove(f.slider, QPoint(m.x, 8));
      QCOMPARE(f.slider->GetPos(), m.position);
    }
    QTest::mouseRelease(f.slider, Qt::LeftButton, Qt::NoModifier, QPoint(16, 8));
    QVERIFY(!f.slider->IsDragging());
    Flush();
    // One for the press, one for every move, changed or not.
    QCOMPARE(moved.count(), 1 + static_cast<int>(std::size(moves)));
    QList<int> positions;
    for (const auto& call : moved) positions << call.at(1).toInt();
    QCOMPARE(positions, (QList<int>{50, 0, 0, 0, 100, 100, 50, 0}));
    QCOMPARE(released.count(), 1);
    QCOMPARE(released.at(0).at(1).toInt(), 0);
  }

  void dragFollowsTheMouse_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("expected");
    // Horizontal: value = trunc((x - 9 - 7) / 0.98).
    QTest::newRow("x 65") << false << 65 << 50;
    QTest::newRow("x 26") << false << 26 << 10;
    QTest::newRow("x 114") << false << 114 << 100;
    // Vertical: value = 100 - trunc((y - 9 - 7) / 0.98).
    QTest::newRow("y 65") << true << 65 << 50;
    QTest::newRow("y 26") << true << 26 << 90;
    QTest::newRow("y 16") << true << 16 << 100;
  }
  void dragFollowsTheMouse() {
    QFETCH(bool, vertical);
    QFETCH(int, at);
    QFETCH(int, expected);
    Fixture f(vertical);
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::NoModifier, ThumbCentre(*f.slider));
    QTest::mouseMove(f.slider, vertical ? QPoint(8, at) : QPoint(at, 8));
    QCOMPARE(f.slider->GetPos(), expected);
    QTest::mouseRelease(f.slider, Qt::LeftButton);
  }

  void keys_data() {
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("vertical Up raises") << true << 50 << int(Qt::Key_Up) << 51;
    QTest::newRow("vertical Down lowers") << true << 50 << int(Qt::Key_Down) << 49;
    QTest::newRow("Right raises") << false << 50 << int(Qt::Key_Right) << 51;
    QTest::newRow("Left lowers") << false << 50 << int(Qt::Key_Left) << 49;
    QTest::newRow("Up at maximum stays") << true << 100 << int(Qt::Key_Up) << 100;
    QTest::newRow("Left at minimum stays") << false << 0 << int(Qt::Key_Left) << 0;
  }
  void keys() {
    QFETCH(bool, vertical);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    Fixture f(vertical, 0, 100, start);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    QSignalSpy released(f.slider, &CXBmpSlider::SliderReleased);
    QTest::keyClick(f.slider, Qt::Key(key));
    QCOMPARE(f.slider->GetPos(), expected);
    Flush();
    QCOMPARE(moved.count(), 1);
    QCOMPARE(released.count(), 1);
    QCOMPARE(moved.at(0).at(1).toInt(), expected);
  }

  void otherKeysAreNotTheSliders() {
    Fixture f(false);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    QTest::keyClick(f.slider, Qt::Key_A);
    QTest::keyClick(f.slider, Qt::Key_PageUp);
    Flush();
    QCOMPARE(f.slider->GetPos(), 50);
    QCOMPARE(moved.count(), 0);
  }

  void wheel_data() {
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("notices");
    QTest::newRow("away from the user") << 120 << 51 << 1;
    QTest::newRow("towards the user") << -120 << 49 << 1;
    QTest::newRow("two notches") << 240 << 52 << 2;
    QTest::newRow("half a notch") << 60 << 50 << 0;
  }
  void wheel() {
    QFETCH(int, delta);
    QFETCH(int, expected);
    QFETCH(int, notices);
    Fixture f(false);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    QSignalSpy released(f.slider, &CXBmpSlider::SliderReleased);
    SendWheel(f.slider, delta);
    QCOMPARE(f.slider->GetPos(), expected);
    Flush();
    QCOMPARE(moved.count(), notices);
    QCOMPARE(released.count(), notices);
  }

  void disabledIgnoresInput() {
    Fixture f(false);
    f.slider->SetEnabled(false);
    QCOMPARE(f.slider->ThumbImageId(), ui::art::kSliderThumbDisabled);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    QSignalSpy released(f.slider, &CXBmpSlider::SliderReleased);
    QTest::mouseClick(f.slider, Qt::LeftButton, Qt::NoModifier, QPoint(128, 8));
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::NoModifier, ThumbCentre(*f.slider));
    QTest::mouseMove(f.slider, QPoint(120, 8));
    QTest::mouseRelease(f.slider, Qt::LeftButton, Qt::NoModifier, QPoint(120, 8));
    QTest::keyClick(f.slider, Qt::Key_Right);
    QTest::keyClick(f.slider, Qt::Key_Up);
    SendWheel(f.slider, 120);
    Flush();
    QCOMPARE(f.slider->GetPos(), 50);
    QVERIFY(!f.slider->IsDragging());
    QCOMPARE(moved.count(), 0);
    QCOMPARE(released.count(), 0);

    f.slider->SetEnabled(true);
    QTest::keyClick(f.slider, Qt::Key_Right);
    QCOMPARE(f.slider->GetPos(), 51);
  }

  void disabledThumbIsPainted() {
    Fixture f(false);
    f.slider->SetEnabled(false);
    const QImage shot = f.slider->grab().toImage();
    const QImage thumb = ui::art::LoadArtwork(ui::art::kSliderThumbDisabled, shot.devicePixelRatio())
                             .toImage();
    const QRect r = f.slider->ThumbRect();
    // The thumb's middle is opaque, so the painted pixel is the picture's.
    QCOMPARE(QColor(shot.pixel(r.left() + 4, r.top() + 4)).rgb(),
             QColor(thumb.pixel(4, 4)).rgb());
  }

  void focusIsNotified() {
    Fixture f(false);
    QSignalSpy focused(f.slider, &CXBmpSlider::SliderFocused);
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::NoModifier, QPoint(128, 8));
    QTest::mouseRelease(f.slider, Qt::LeftButton, Qt::NoModifier, QPoint(128, 8));
    QVERIFY(f.slider->hasFocus());
    QVERIFY(f.slider->IsFocused());
    QCOMPARE(f.slider->ThumbImageId(), ui::art::kSliderThumbFocused);
    Flush();
    QCOMPARE(focused.count(), 1);
    QCOMPARE(focused.at(0).at(0).toInt(), kId);
  }

  void settersClampAndStaySilent() {
    Fixture f(false);
    QSignalSpy moved(f.slider, &CXBmpSlider::SliderMoved);
    f.slider->SetPos(500);
    QCOMPARE(f.slider->GetPos(), 100);
    f.slider->SetPos(-3);
    QCOMPARE(f.slider->GetPos(), 0);
    f.slider->SetPos(80);
    f.slider->SetRange(60, 10);
    QCOMPARE(f.slider->GetPos(), 60);
    Flush();
    QCOMPARE(moved.count(), 0);
  }

  void emptyRangeDoesNotDivideByZero() {
    Fixture f(false, 5, 5, 5);
    QCOMPARE(f.slider->ThumbOffset(5), 7);
    QTest::mousePress(f.slider, Qt::LeftButton, Qt::NoModifier, ThumbCentre(*f.slider));
    QTest::mouseMove(f.slider, QPoint(120, 8));
    QCOMPARE(f.slider->GetPos(), 5);
    QTest::mouseRelease(f.slider, Qt::LeftButton);
  }
};

QTEST_MAIN(XBmpSliderTest)
#include "x_bmp_slider_test.moc"
