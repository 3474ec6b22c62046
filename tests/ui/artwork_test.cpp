#include <QTest>

#include "ui/controls/artwork.h"
#include "ui/controls/fonts.h"

namespace art = ui::art;

class ArtworkTest : public QObject {
  Q_OBJECT

 private slots:
  void fixedSizesAtEveryRatio_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QSize>("size");
    QTest::newRow("track 324") << 324 << QSize(131, 22);
    QTest::newRow("thumb 320") << 320 << QSize(19, 9);
    QTest::newRow("thumb 369") << 369 << QSize(19, 9);
    QTest::newRow("thumb 325") << 325 << QSize(19, 9);
    QTest::newRow("vertical track 448") << 448 << QSize(22, 131);
    QTest::newRow("vertical thumb 449") << 449 << QSize(9, 19);
    QTest::newRow("vertical thumb 447") << 447 << QSize(9, 19);
    QTest::newRow("vertical thumb 450") << 450 << QSize(9, 19);
    QTest::newRow("marker 342") << 342 << QSize(25, 22);
    QTest::newRow("record title 525") << 525 << QSize(213, 61);
    QTest::newRow("record title 526") << 526 << QSize(213, 61);
    QTest::newRow("CH8 title 472") << 472 << QSize(213, 61);
    QTest::newRow("reverb A title 367") << 367 << QSize(213, 61);
    QTest::newRow("echo B title 404") << 404 << QSize(213, 61);
  }
  void fixedSizesAtEveryRatio() {
    QFETCH(int, id);
    QFETCH(QSize, size);
    QVERIFY(art::HasArtwork(id));
    QCOMPARE(art::ArtworkSize(id), size);
    QVERIFY(!art::IsResizable(id));
    for (const qreal ratio : {1.0, 2.0}) {
      const QPixmap p = art::LoadArtwork(id, ratio, QSize(500, 500));  // size is ignored
      QCOMPARE(p.size(), size * ratio);
      QCOMPARE(p.devicePixelRatio(), ratio);
      QCOMPARE(p.deviceIndependentSize().toSize(), size);
      // Something is drawn, and not everything is opaque ink.
      const QImage img = p.toImage();
      int opaque = 0;
      for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) opaque += qAlpha(img.pixel(x, y)) > 200;
      }
      QVERIFY(opaque > 0);
    }
  }

  void facesTakeTheButtonsSize_data() {
    QTest::addColumn<int>("id");
    QTest::newRow("page bar 414") << 414;
    QTest::newRow("selected 395") << 395;
    QTest::newRow("dialog 413") << 413;
    QTest::newRow("back 397") << 397;
  }
  void facesTakeTheButtonsSize() {
    QFETCH(int, id);
    QVERIFY(art::IsResizable(id));
    QVERIFY(!art::ArtworkSize(id).isEmpty());
    const QPixmap p = art::LoadArtwork(id, 2.0, QSize(120, 32));
    QCOMPARE(p.size(), QSize(240, 64));
    const QImage img = p.toImage();
    QVERIFY(qAlpha(img.pixel(120, 32)) == 255);  // the middle of the face is solid
  }

  void twoXIsSharperNotBigger() {
    // The 2x picture is drawn anew, not scaled: it has detail the 1x lacks.
    const QImage one = art::LoadArtwork(art::kSliderThumb, 1.0).toImage();
    const QImage two = art::LoadArtwork(art::kSliderThumb, 2.0).toImage();
    const QImage scaled = one.scaled(two.size());
    QVERIFY(two != scaled);
  }

  void unknownIdsHaveNoPicture() {
    for (const int id : {0, -1, 321, 999}) {
      QVERIFY(!art::HasArtwork(id));
      QVERIFY(art::LoadArtwork(id).isNull());
      QVERIFY(art::ArtworkSize(id).isEmpty());
    }
  }

  void fontsMapToInstalledFamilies_data() {
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("first");
    QTest::newRow("Song") << QStringLiteral("宋体") << QStringLiteral("Noto Serif CJK SC");
    QTest::newRow("Hei") << QStringLiteral("黑体") << QStringLiteral("Noto Sans CJK SC");
    QTest::newRow("Arial") << QStringLiteral("Arial") << QStringLiteral("Liberation Sans");
    QTest::newRow("Tahoma") << QStringLiteral("Tahoma") << QStringLiteral("DejaVu Sans");
  }
  void fontsMapToInstalledFamilies() {
    QFETCH(QString, face);
    QFETCH(QString, first);
    const QStringList families = ui::FontFamiliesFor(face);
    QCOMPARE(families.first(), first);
    QVERIFY(families.contains(QStringLiteral("WenQuanYi Micro Hei")));
    const QFont font = ui::MakeFont(face, 13, 700);
    QCOMPARE(font.pixelSize(), 13);
    QCOMPARE(font.weight(), QFont::Bold);
    QCOMPARE(ui::MakePointFont(face, 8.4).pixelSize(), 11);
    QCOMPARE(ui::MakePointFont(face, 9).pixelSize(), 12);
  }
};

QTEST_MAIN(ArtworkTest)
#include "artwork_test.moc"
