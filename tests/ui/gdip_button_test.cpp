#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls/artwork.h"
#include "ui/controls/color_matrix.h"
#include "ui/controls/gdip_button.h"

using ui::CGdipButton;
using Face = ui::CGdipButton::Face;

Q_DECLARE_METATYPE(Face)

namespace {

struct Fixture {
  QWidget page;
  CGdipButton* button;
  Fixture() {
    page.resize(200, 100);
    button = new CGdipButton(&page);
    button->LoadStdImage(ui::art::kPageButton);
    button->LoadAltImage(ui::art::kPageButtonSelected);
    button->setGeometry(10, 10, 84, 28);
    button->setText(QStringLiteral("CH 1"));
    page.show();
  }
};

void Enter(QWidget* w) {
  QEnterEvent e(QPointF(5, 5), QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)));
  QCoreApplication::sendEvent(w, &e);
}

void Leave(QWidget* w) {
  QEvent e(QEvent::Leave);
  QCoreApplication::sendEvent(w, &e);
}

QRgb PixelAt(QWidget* w, QPoint p) { return w->grab().toImage().pixel(p); }

}  // namespace

class GdipButtonTest : public QObject {
  Q_OBJECT

 private slots:
  void toggleAlternatesFaces_data() {
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<QList<Face>>("faces");  // the face after each click
    QTest::newRow("toggle mode")
        << true << QList<Face>{Face::kAlternate, Face::kStandard, Face::kAlternate, Face::kStandard};
    QTest::newRow("plain button")
        << false << QList<Face>{Face::kStandard, Face::kStandard, Face::kStandard};
  }
  void toggleAlternatesFaces() {
    QFETCH(bool, toggle);
    QFETCH(QList<Face>, faces);
    Fixture f;
    f.button->SetToggle(toggle);
    QSignalSpy clicked(f.button, &QAbstractButton::clicked);
    QCOMPARE(f.button->CurrentFace(), Face::kStandard);
    for (int i = 0; i < faces.size(); ++i) {
      QTest::mouseClick(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
      Leave(f.button);  // judge the face without the hover variant
      QCOMPARE(f.button->CurrentFace(), faces[i]);
      QCOMPARE(f.button->IsAltShown(), faces[i] == Face::kAlternate);
    }
    QCOMPARE(clicked.count(), faces.size());
  }

  void ownerSetsTheAlternateFace() {
    Fixture f;
    f.button->SetAltImage(true);
    QCOMPARE(f.button->CurrentFace(), Face::kAlternate);
    QTest::mouseClick(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    Leave(f.button);
    QVERIFY(f.button->IsAltShown());  // clicks do not change it outside toggle mode
    f.button->SetAltImage(false);
    QCOMPARE(f.button->CurrentFace(), Face::kStandard);
  }

  void pressedAndHoverFaces_data() {
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<Face>("pressed");
    QTest::addColumn<Face>("hover");
    QTest::newRow("standard") << false << false << Face::kStandardPressed << Face::kStandardHover;
    QTest::newRow("alternate") << false << true << Face::kAlternatePressed << Face::kAlternateHover;
    // While held, a toggle button already shows the face the click will give.
    QTest::newRow("toggle from standard")
        << true << false << Face::kAlternatePressed << Face::kStandardHover;
    QTest::newRow("toggle from alternate")
        << true << true << Face::kStandardPressed << Face::kAlternateHover;
  }
  void pressedAndHoverFaces() {
    QFETCH(bool, toggle);
    QFETCH(bool, alt);
    QFETCH(Face, pressed);
    QFETCH(Face, hover);
    Fixture f;
    f.button->SetToggle(toggle);
    f.button->SetAltImage(alt);
    Enter(f.button);
    QVERIFY(f.button->IsHovering());
    QCOMPARE(f.button->CurrentFace(), hover);
    QTest::mousePress(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    QCOMPARE(f.button->CurrentFace(), pressed);
    QTest::mouseRelease(f.button, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
    Leave(f.button);
    QVERIFY(!f.button->IsHovering());
  }

  void greyedAndDisabledShowGrey() {
    Fixture f;
    f.button->SetGreyed(true);
    QCOMPARE(f.button->CurrentFace(), Face::kGrey);
    f.button->SetGreyed(false);
    f.button->setEnabled(false);
    QCOMPARE(f.button->CurrentFace(), Face::kGrey);
    // The grey face has no colour in it.
    const QColor c = QColor::fromRgb(PixelAt(f.button, QPoint(42, 20)));
    QCOMPARE(c.red(), c.green());
    QCOMPARE(c.green(), c.blue());
  }

  void withoutStandardImageNothingIsDrawn() {
    QWidget page;
    page.resize(100, 50);
    auto* b = new CGdipButton(&page);
    QVERIFY(!b->LoadStdImage(99999));
    b->setGeometry(0, 0, 80, 28);
    b->setText(QStringLiteral("x"));
    page.show();
    QCOMPARE(b->CurrentFace(), Face::kNone);
    QImage shot(b->size(), QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::transparent);
    b->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    for (int y = 0; y < shot.height(); ++y) {
      for (int x = 0; x < shot.width(); ++x) QCOMPARE(qAlpha(shot.pixel(x, y)), 0);
    }
  }

  void hoverFaceIsBrighter() {
    Fixture f;
    const QColor normal = QColor::fromRgb(PixelAt(f.button, QPoint(6, 20)));
    Enter(f.button);
    const QColor hover = QColor::fromRgb(PixelAt(f.button, QPoint(6, 20)));
    QVERIFY(hover.red() > normal.red());
    QVERIFY(hover.green() > normal.green());
    QVERIFY(hover.blue() > normal.blue());
  }

  void captionAndTooltip() {
    Fixture f;
    f.button->SetTextColor(Qt::white);
    QCOMPARE(f.button->TextColor(), QColor(Qt::white));
    QCOMPARE(f.button->CaptionFont().pixelSize(), 12);
    f.button->SetTooltipText(QStringLiteral("Go"));
    QCOMPARE(f.button->TooltipText(), QStringLiteral("Go"));
    // White caption pixels appear somewhere in the middle band of the face.
    const QImage shot = f.button->grab().toImage();
    bool white = false;
    for (int x = 20; x < 64 && !white; ++x) {
      for (int y = 8; y < 20 && !white; ++y) {
        const QColor c = QColor::fromRgb(shot.pixel(x, y));
        white = c.red() > 230 && c.green() > 230 && c.blue() > 230;
      }
    }
    QVERIFY(white);
  }

  void colourMatrices_data() {
    QTest::addColumn<QColor>("in");
    QTest::addColumn<QColor>("hover");
    QTest::addColumn<QColor>("grey");
    // Hover: 1.05 x + 0.05 per channel; grey: 0.3 R + 0.59 G + 0.11 B.
    QTest::newRow("black") << QColor(0, 0, 0) << QColor(13, 13, 13) << QColor(0, 0, 0);
    QTest::newRow("white") << QColor(255, 255, 255) << QColor(255, 255, 255)
                           << QColor(255, 255, 255);
    QTest::newRow("slate") << QColor(100, 150, 250) << QColor(118, 170, 255)
                           << QColor(146, 146, 146);
    QTest::newRow("red") << QColor(200, 0, 0) << QColor(223, 13, 13) << QColor(60, 60, 60);
    QTest::newRow("half alpha") << QColor(0, 255, 0, 128) << QColor(13, 255, 13, 128)
                                << QColor(150, 150, 150, 128);
  }
  void colourMatrices() {
    QFETCH(QColor, in);
    QFETCH(QColor, hover);
    QFETCH(QColor, grey);
    QImage image(1, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, in.rgba());
    QCOMPARE(QColor::fromRgba(ui::ApplyColorMatrix(image, ui::ColorMatrix::Hover()).pixel(0, 0)),
             hover);
    QCOMPARE(QColor::fromRgba(ui::ApplyColorMatrix(image, ui::ColorMatrix::Grey()).pixel(0, 0)),
             grey);
  }
};

QTEST_MAIN(GdipButtonTest)
#include "gdip_button_test.moc"
