#include <QTest>

#include "ui/controls/tab_wnd.h"

using ui::CTabWnd;

namespace {

struct Fixture {
  QWidget dialog;
  CTabWnd* tabs;
  QList<QWidget*> pages;
  explicit Fixture(int count) {
    dialog.resize(500, 400);
    tabs = new CTabWnd(&dialog);
    tabs->setGeometry(10, 40, 480, 350);
    for (int i = 0; i < count; ++i) {
      pages << new QWidget();
      tabs->AddPage(pages.last());
    }
    tabs->Arrange();
    dialog.show();
  }
  QList<bool> Shown() const {
    QList<bool> out;
    for (QWidget* p : pages) out << p->isVisible();
    return out;
  }
};

}  // namespace

class TabWndTest : public QObject {
  Q_OBJECT

 private slots:
  void arrangeShowsFirstPageFillingTheArea() {
    Fixture f(3);
    QCOMPARE(f.Shown(), (QList<bool>{true, false, false}));
    for (QWidget* p : f.pages) {
      QCOMPARE(p->parentWidget(), f.tabs);
      QCOMPARE(p->geometry(), QRect(0, 0, 480, 350));
    }
    f.tabs->resize(300, 200);
    QCOMPARE(f.pages[2]->geometry(), QRect(0, 0, 300, 200));
  }

  void select_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("returned");
    QTest::addColumn<int>("selected");
    QTest::newRow("page 2 after 0") << 0 << 2 << 0 << 2;
    QTest::newRow("page 1 after 2") << 2 << 1 << 2 << 1;
    QTest::newRow("same page") << 1 << 1 << 1 << 1;
    QTest::newRow("page 3 of three") << 1 << 3 << -1 << 1;
    QTest::newRow("far past the end") << 2 << 11 << -1 << 2;
    QTest::newRow("negative") << 1 << -1 << -1 << 1;
  }
  void select() {
    QFETCH(int, first);
    QFETCH(int, index);
    QFETCH(int, returned);
    QFETCH(int, selected);
    Fixture f(3);
    f.tabs->Select(first);
    QCOMPARE(f.tabs->Select(index), returned);
    QCOMPARE(f.tabs->Selected(), selected);
    QList<bool> expected{false, false, false};
    expected[selected] = true;
    QCOMPARE(f.Shown(), expected);
  }

  void twelvePagesAtMost() {
    Fixture f(12);
    QCOMPARE(f.tabs->PageCount(), 12);
    QWidget extra;
    QCOMPARE(f.tabs->AddPage(&extra), -1);
    QCOMPARE(f.tabs->AddPage(nullptr), -1);
    QCOMPARE(f.tabs->PageCount(), 12);
    QCOMPARE(f.tabs->Select(11), 0);
    QVERIFY(f.pages[11]->isVisible());
  }

  void deletedPageLeavesAnEmptySlot() {
    Fixture f(3);
    delete f.pages[1];
    QCOMPARE(f.tabs->Page(1), nullptr);
    QCOMPARE(f.tabs->Select(1), 0);
    QVERIFY(!f.pages[0]->isVisible());
    QCOMPARE(f.tabs->Select(2), 1);
    QVERIFY(f.pages[2]->isVisible());
  }
};

QTEST_MAIN(TabWndTest)
#include "tab_wnd_test.moc"
