#include <QTest>

#include <vector>

#include "ui/controls/cardinal_spline.h"

namespace {

QPointF ElementPoint(const QPainterPath& p, int i) {
  const QPainterPath::Element e = p.elementAt(i);
  return QPointF(e.x, e.y);
}

}  // namespace

class CardinalSplineTest : public QObject {
  Q_OBJECT

 private slots:
  void controlPoints_data() {
    QTest::addColumn<double>("tension");
    QTest::addColumn<QPointF>("c1");  // first segment's control points
    QTest::addColumn<QPointF>("c2");
    // Points (0,0) (30,0) (30,30): tangents (30,0) at the start (clamped),
    // (30,30) at the middle point.
    QTest::newRow("straight") << 0.0 << QPointF(0, 0) << QPointF(30, 0);
    QTest::newRow("0.1") << 0.1 << QPointF(1, 0) << QPointF(29, -1);
    QTest::newRow("0.5") << 0.5 << QPointF(5, 0) << QPointF(25, -5);
  }
  void controlPoints() {
    QFETCH(double, tension);
    QFETCH(QPointF, c1);
    QFETCH(QPointF, c2);
    const std::vector<QPointF> pts{{0, 0}, {30, 0}, {30, 30}};
    const QPainterPath p = ui::CardinalSpline(pts, tension);
    QCOMPARE(p.elementCount(), 1 + 3 * 2);
    QCOMPARE(ElementPoint(p, 1), c1);
    QCOMPARE(ElementPoint(p, 2), c2);
    // The curve passes through every point.
    QCOMPARE(ElementPoint(p, 0), pts[0]);
    QCOMPARE(ElementPoint(p, 3), pts[1]);
    QCOMPARE(ElementPoint(p, 6), pts[2]);
  }

  void closedCurveReturnsToTheStart() {
    const std::vector<QPointF> pts{{0, 0}, {40, 0}, {40, 40}, {0, 40}};
    const QPainterPath p = ui::ClosedCardinalSpline(pts, 0.5);
    QCOMPARE(p.elementCount(), 1 + 3 * 4);
    QCOMPARE(ElementPoint(p, p.elementCount() - 1), pts[0]);
    // Wrapping neighbours: the tangent at the first point is (40,0) - (0,40).
    QCOMPARE(ElementPoint(p, 1), QPointF(0, 0) + (QPointF(40, 0) - QPointF(0, 40)) * (0.5 / 3));
    // A symmetric square bulges outwards a little but stays near its corners.
    QVERIFY(p.boundingRect().contains(QRectF(0, 0, 40, 40)));
    QVERIFY(QRectF(-5, -5, 50, 50).contains(p.boundingRect()));
  }

  void degenerateInputs() {
    QVERIFY(ui::CardinalSpline({}, 0.5).isEmpty());
    const std::vector<QPointF> one{{3, 4}};
    const QPainterPath p = ui::CardinalSpline(one, 0.5);
    QCOMPARE(p.elementCount(), 1);
    QCOMPARE(p.currentPosition(), QPointF(3, 4));
  }
};

QTEST_MAIN(CardinalSplineTest)
#include "cardinal_spline_test.moc"
