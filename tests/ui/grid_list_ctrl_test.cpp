#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls/grid/grid_list_ctrl.h"

using ui::CGridListCtrl;
using ui::GridEditor;

namespace {

const QStringList kTypes{"OFF", "PEQ", "LP", "HP", "LS", "HS"};
const QColor kRowText(0, 200, 255), kRowBack(20, 20, 20);

// The band grid of the output page: five centred columns, ten rows.
struct Fixture {
  QWidget page;
  CGridListCtrl* grid;
  Fixture() {
    page.resize(400, 400);
    grid = new CGridListCtrl(&page);
    grid->setGeometry(0, 0, 300, 380);
    grid->SetDefaultColours(kRowText, kRowBack);
    grid->InsertColumn(0, QString(), 30);
    grid->InsertColumn(1, QStringLiteral("Type"), 60, Qt::AlignCenter, GridEditor::kChoice,
                       kTypes);
    grid->InsertColumn(2, QStringLiteral("Gain"), 60, Qt::AlignCenter, GridEditor::kText);
    grid->InsertColumn(3, QStringLiteral("Freq"), 60, Qt::AlignCenter, GridEditor::kText);
    grid->InsertColumn(4, QStringLiteral("Q"), 50, Qt::AlignCenter, GridEditor::kText);
    const int freqs[] = {20, 25, 31, 40, 50, 63, 80, 100, 125, 160};
    for (int r = 0; r < 10; ++r) {
      grid->InsertRow(r, QString::number(r + 1));
      grid->SetItemText(r, 1, QStringLiteral("PEQ"));
      grid->SetItemText(r, 2, QStringLiteral("0.0dB"));
      grid->SetItemText(r, 3, QStringLiteral("%1Hz").arg(freqs[r]));
      grid->SetItemText(r, 4, QStringLiteral("1.414"));
    }
    page.show();
    page.activateWindow();
    (void)QTest::qWaitForWindowActive(&page);
  }
};

}  // namespace

class GridListCtrlTest : public QObject {
  Q_OBJECT

 private slots:
  void columns_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("editor");
    QTest::newRow("number") << 0 << QString() << 30 << int(GridEditor::kNone);
    QTest::newRow("type") << 1 << QStringLiteral("Type") << 60 << int(GridEditor::kChoice);
    QTest::newRow("gain") << 2 << QStringLiteral("Gain") << 60 << int(GridEditor::kText);
    QTest::newRow("q") << 4 << QStringLiteral("Q") << 50 << int(GridEditor::kText);
  }
  void columns() {
    QFETCH(int, column);
    QFETCH(QString, heading);
    QFETCH(int, width);
    QFETCH(int, editor);
    Fixture f;
    QCOMPARE(f.grid->ColumnCount(), 5);
    QCOMPARE(f.grid->horizontalHeaderItem(column)->text(), heading);
    QCOMPARE(f.grid->columnWidth(column), width);
    QCOMPARE(int(f.grid->ColumnEditor(column)), editor);
    QCOMPARE(f.grid->item(3, column)->textAlignment(), int(Qt::AlignCenter));
  }

  void rowsTextsAndColours() {
    Fixture f;
    QCOMPARE(f.grid->RowCount(), 10);
    QCOMPARE(f.grid->GetItemText(2, 3), QStringLiteral("31Hz"));
    QCOMPARE(f.grid->GetItemText(9, 0), QStringLiteral("10"));
    QCOMPARE(f.grid->GetItemText(12, 0), QString());
    QVERIFY(!f.grid->SetItemText(10, 0, QStringLiteral("x")));
    QCOMPARE(f.grid->RowTextColour(4), kRowText);
    QCOMPARE(f.grid->RowBackground(4), kRowBack);
    QVERIFY(f.grid->SetRowColours(4, Qt::yellow, QColor(60, 20, 20)));
    for (int c = 0; c < 5; ++c) {
      QCOMPARE(f.grid->item(4, c)->foreground().color(), QColor(Qt::yellow));
      QCOMPARE(f.grid->item(4, c)->background().color(), QColor(60, 20, 20));
    }
    QCOMPARE(f.grid->RowTextColour(5), kRowText);
    // The painted cell shows the row's background.
    const QImage shot = f.grid->viewport()->grab().toImage();
    const QRect cell = f.grid->visualItemRect(f.grid->item(4, 0));
    QCOMPARE(QColor(shot.pixel(cell.left() + 2, cell.center().y())), QColor(60, 20, 20));
  }

  void cellMarginGrowsRows_data() {
    QTest::addColumn<int>("margin");
    QTest::newRow("none") << 0;
    QTest::newRow("two") << 2;
    QTest::newRow("six") << 6;
  }
  void cellMarginGrowsRows() {
    QFETCH(int, margin);
    Fixture f;
    f.grid->SetCellMargin(margin);
    QCOMPARE(f.grid->CellMargin(), margin);
    QCOMPARE(f.grid->rowHeight(0), f.grid->fontMetrics().height() + 2 * margin + 2);
  }

  void textEditEndsInANotification_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::newRow("gain") << 2 << QStringLiteral("3.5");
    QTest::newRow("frequency") << 3 << QStringLiteral("1500");
    QTest::newRow("q") << 4 << QStringLiteral("0.7");
  }
  void textEditEndsInANotification() {
    QFETCH(int, column);
    QFETCH(QString, typed);
    Fixture f;
    QSignalSpy edited(f.grid, &CGridListCtrl::CellEdited);
    QVERIFY(f.grid->EditCell(6, column));
    auto* box = f.grid->findChild<QLineEdit*>();
    QVERIFY(box != nullptr);
    QCOMPARE(box->text(), f.grid->GetItemText(6, column));
    box->selectAll();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QCoreApplication::processEvents();  // the view commits from the event loop
    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.at(0).at(0).toInt(), 6);
    QCOMPARE(edited.at(0).at(1).toInt(), column);
    QCOMPARE(edited.at(0).at(2).toString(), typed);
    QCOMPARE(f.grid->GetItemText(6, column), typed);
  }

  void escapeCancels() {
    Fixture f;
    QSignalSpy edited(f.grid, &CGridListCtrl::CellEdited);
    QVERIFY(f.grid->EditCell(1, 2));
    auto* box = f.grid->findChild<QLineEdit*>();
    QVERIFY(box != nullptr);
    QTest::keyClicks(box, QStringLiteral("9"));
    QTest::keyClick(box, Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCOMPARE(edited.count(), 0);
    QCOMPARE(f.grid->GetItemText(1, 2), QStringLiteral("0.0dB"));
  }

  void dropDownOfChoices_data() {
    QTest::addColumn<int>("choice");
    QTest::newRow("LP") << 2;
    QTest::newRow("OFF") << 0;
    QTest::newRow("HS") << 5;
  }
  void dropDownOfChoices() {
    QFETCH(int, choice);
    Fixture f;
    QSignalSpy edited(f.grid, &CGridListCtrl::CellEdited);
    QVERIFY(f.grid->EditCell(3, 1));
    auto* combo = f.grid->findChild<QComboBox*>();
    QVERIFY(combo != nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    QCOMPARE(items, kTypes);
    QCOMPARE(combo->currentText(), QStringLiteral("PEQ"));
    combo->setCurrentIndex(choice);
    emit combo->activated(choice);
    QCOMPARE(edited.count(), 1);
    QCOMPARE(edited.at(0).at(0).toInt(), 3);
    QCOMPARE(edited.at(0).at(1).toInt(), 1);
    QCOMPARE(edited.at(0).at(2).toString(), kTypes[choice]);
  }

  void readOnlyColumnHasNoEditor() {
    Fixture f;
    QVERIFY(!f.grid->EditCell(0, 0));
    QVERIFY(!f.grid->EditCell(20, 2));
    QCOMPARE(f.grid->findChild<QLineEdit*>(), nullptr);
  }

  void clickOnTheSelectedCellOrF2OpensTheEditor() {
    Fixture f;
    const QRect cell = f.grid->visualItemRect(f.grid->item(2, 4));
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QVERIFY(!f.grid->IsEditing());  // the first click only selects
    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QTRY_VERIFY(f.grid->IsEditing());
    QVERIFY(f.grid->findChild<QLineEdit*>() != nullptr);
    QTest::keyClick(f.grid->findChild<QLineEdit*>(), Qt::Key_Escape);
    QTRY_VERIFY(!f.grid->IsEditing());

    f.grid->setCurrentCell(5, 2);
    QTest::keyClick(f.grid, Qt::Key_F2);
    QVERIFY(f.grid->IsEditing());
  }

  void showAndHide() {
    Fixture f;
    f.grid->hide();
    QVERIFY(!f.grid->isVisible());
    f.grid->show();
    QVERIFY(f.grid->isVisible());
  }
};

QTEST_MAIN(GridListCtrlTest)
#include "grid_list_ctrl_test.moc"
