#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls/report_ctrl.h"

using ui::CReportCtrl;

namespace {

// The page under the list: records the keys that reach it.
class KeyRecorder : public QWidget {
 public:
  QList<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    keys << event->key();
    event->accept();
  }
};

struct Fixture {
  KeyRecorder page;
  CReportCtrl* list;
  Fixture() {
    page.resize(400, 300);
    list = new CReportCtrl(&page);
    list->setGeometry(0, 0, 400, 300);
    list->InsertColumn(0, QStringLiteral("Parameter"), 160);
    list->InsertColumn(1, QStringLiteral("Value"), 80, Qt::AlignRight | Qt::AlignVCenter);
    const char* names[] = {"delay", "attack", "mix", "balance"};
    const char* values[] = {"120", "7", "55", "0"};
    for (int r = 0; r < 4; ++r) {
      list->InsertItem(r, QString::fromLatin1(names[r]));
      list->SetItemText(r, 1, QString::fromLatin1(values[r]));
    }
    page.show();
    page.activateWindow();
    (void)QTest::qWaitForWindowActive(&page);
  }
  QPoint RowPoint(int row) const {
    return list->visualItemRect(list->item(row, 0)).center();
  }
  QStringList Column(int c) const {
    QStringList out;
    for (int r = 0; r < list->ItemCount(); ++r) out << list->GetItemText(r, c);
    return out;
  }
};

}  // namespace

class ReportCtrlTest : public QObject {
  Q_OBJECT

 private slots:
  void layout() {
    Fixture f;
    QCOMPARE(f.list->ColumnCount(), 2);
    QCOMPARE(f.list->columnWidth(0), 160);
    QCOMPARE(f.list->columnWidth(1), 80);
    QCOMPARE(f.list->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    QCOMPARE(f.list->item(2, 1)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    QVERIFY(f.list->showGrid());
    QCOMPARE(f.list->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(f.list->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(f.Column(0), (QStringList{"delay", "attack", "mix", "balance"}));
  }

  void rowPressSelectsAndReports_data() {
    QTest::addColumn<int>("row");
    QTest::newRow("first") << 0;
    QTest::newRow("third") << 2;
    QTest::newRow("last") << 3;
  }
  void rowPressSelectsAndReports() {
    QFETCH(int, row);
    Fixture f;
    QSignalSpy pressed(f.list, &CReportCtrl::RowPressed);
    QSignalSpy clicked(f.list, &QTableWidget::cellClicked);
    QTest::mouseClick(f.list->viewport(), Qt::LeftButton, Qt::NoModifier, f.RowPoint(row));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(pressed.at(0).at(0).toInt(), row);
    QCOMPARE(f.list->SelectedRow(), row);
    QCOMPARE(f.list->currentRow(), row);
    QVERIFY(f.list->hasFocus());
    QCOMPARE(clicked.count(), 1);  // the list's own notification still comes
  }

  void keysGoToTheParent_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Down") << int(Qt::Key_Down);
    QTest::newRow("Up") << int(Qt::Key_Up);
    QTest::newRow("End") << int(Qt::Key_End);
    QTest::newRow("a letter") << int(Qt::Key_B);
    QTest::newRow("Delete") << int(Qt::Key_Delete);
  }
  void keysGoToTheParent() {
    QFETCH(int, key);
    Fixture f;
    QTest::mouseClick(f.list->viewport(), Qt::LeftButton, Qt::NoModifier, f.RowPoint(1));
    QTest::keyClick(f.list, Qt::Key(key));
    QCOMPARE(f.list->SelectedRow(), 1);
    QCOMPARE(f.list->currentRow(), 1);
    QCOMPARE(f.page.keys, QList<int>{key});
  }

  void sortingSwitch_data() {
    QTest::addColumn<bool>("sortable");
    QTest::addColumn<QStringList>("after");
    QTest::newRow("sorting on") << true << QStringList{"attack", "balance", "delay", "mix"};
    QTest::newRow("sorting off") << false << QStringList{"delay", "attack", "mix", "balance"};
  }
  void sortingSwitch() {
    QFETCH(bool, sortable);
    QFETCH(QStringList, after);
    Fixture f;
    f.list->SetSortable(sortable);
    QHeaderView* header = f.list->horizontalHeader();
    const QPoint heading(header->sectionViewportPosition(0) + 20, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, heading);
    QCOMPARE(f.Column(0), after);
    QCOMPARE(f.list->IsSortable(), sortable);
    if (!sortable) QCOMPARE(header->sortIndicatorSection(), -1);
  }

  void rowColours() {
    Fixture f;
    QVERIFY(f.list->SetItemColours(1, -1, QColor(0, 200, 255), QColor(20, 20, 20)));
    QVERIFY(f.list->SetItemColours(2, 1, Qt::red, Qt::white));
    QCOMPARE(f.list->ItemTextColour(1, 0), QColor(0, 200, 255));
    QCOMPARE(f.list->ItemBackground(1, 1), QColor(20, 20, 20));
    QCOMPARE(f.list->ItemTextColour(2, 1), QColor(Qt::red));
    QVERIFY(f.list->ItemTextColour(2, 0) != QColor(Qt::red));
    QVERIFY(!f.list->SetItemColours(9, 0, Qt::red, Qt::white));
  }

  void rowsComeAndGo() {
    Fixture f;
    QVERIFY(f.list->DeleteItem(0));
    QVERIFY(!f.list->DeleteItem(7));
    QCOMPARE(f.Column(1), (QStringList{"7", "55", "0"}));
    f.list->DeleteAllItems();
    QCOMPARE(f.list->ItemCount(), 0);
    QCOMPARE(f.list->SelectedRow(), -1);
  }
};

QTEST_MAIN(ReportCtrlTest)
#include "report_ctrl_test.moc"
