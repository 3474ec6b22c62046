#include "ui/controls/report_ctrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>

namespace ui {

CReportCtrl::CReportCtrl(QWidget* parent) : QTableWidget(parent) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setTabKeyNavigation(false);
  setWordWrap(false);
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  // The heading row right of the last column looks like the headings.
  QPalette pal = horizontalHeader()->palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  horizontalHeader()->setPalette(pal);
  SetSortable(true);
}

int CReportCtrl::InsertColumn(int column, const QString& heading, int width,
                              Qt::Alignment alignment) {
  const int at = std::clamp(column, 0, columnCount());
  insertColumn(at);
  auto* header = new QTableWidgetItem(heading);
  header->setTextAlignment(alignment);
  header->setData(Qt::UserRole, static_cast<int>(alignment));
  setHorizontalHeaderItem(at, header);
  setColumnWidth(at, width);
  return at;
}

QTableWidgetItem* CReportCtrl::Cell(int row, int column) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
  QTableWidgetItem* it = item(row, column);
  if (it == nullptr) {
    it = new QTableWidgetItem();
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (const QTableWidgetItem* h = horizontalHeaderItem(column)) {
      it->setTextAlignment(Qt::Alignment(h->data(Qt::UserRole).toInt()));
    }
    setItem(row, column, it);
  }
  return it;
}

int CReportCtrl::InsertItem(int row, const QString& text) {
  const bool sorting = isSortingEnabled();
  setSortingEnabled(false);  // a row being filled must not move
  const int at = std::clamp(row, 0, rowCount());
  insertRow(at);
  if (QTableWidgetItem* it = Cell(at, 0)) it->setText(text);
  setSortingEnabled(sorting);
  return at;
}

bool CReportCtrl::DeleteItem(int row) {
  if (row < 0 || row >= rowCount()) return false;
  removeRow(row);
  return true;
}

void CReportCtrl::DeleteAllItems() { setRowCount(0); }

bool CReportCtrl::SetItemText(int row, int column, const QString& text) {
  QTableWidgetItem* it = Cell(row, column);
  if (it == nullptr) return false;
  it->setText(text);
  return true;
}

QString CReportCtrl::GetItemText(int row, int column) const {
  const QTableWidgetItem* it = item(row, column);
  return it != nullptr ? it->text() : QString();
}

bool CReportCtrl::SetItemColours(int row, int column, const QColor& text,
                                 const QColor& background) {
  if (row < 0 || row >= rowCount()) return false;
  const int first = column < 0 ? 0 : column;
  const int last = column < 0 ? columnCount() - 1 : column;
  if (first >= columnCount()) return false;
  for (int c = first; c <= last; ++c) {
    QTableWidgetItem* it = Cell(row, c);
    it->setForeground(text);
    it->setBackground(background);
  }
  return true;
}

QColor CReportCtrl::ItemTextColour(int row, int column) const {
  const QTableWidgetItem* it = item(row, column);
  return it != nullptr ? it->foreground().color() : QColor();
}

QColor CReportCtrl::ItemBackground(int row, int column) const {
  const QTableWidgetItem* it = item(row, column);
  return it != nullptr ? it->background().color() : QColor();
}

void CReportCtrl::SetSortable(bool sortable) {
  setSortingEnabled(sortable);
  horizontalHeader()->setSectionsClickable(sortable);
  horizontalHeader()->setSortIndicatorShown(sortable);
  if (!sortable) horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
}

int CReportCtrl::SelectedRow() const {
  const QList<QTableWidgetItem*> items = selectedItems();
  return items.isEmpty() ? -1 : items.first()->row();
}

void CReportCtrl::SelectRow(int row) {
  if (row < 0 || row >= rowCount()) {
    clearSelection();
    return;
  }
  setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CReportCtrl::mousePressEvent(QMouseEvent* event) {
  // The view's own handling keeps its click notifications; the row is then
  // selected whatever the modifiers, and reported.
  QTableWidget::mousePressEvent(event);
  const int row = rowAt(event->position().toPoint().y());
  if (event->button() == Qt::LeftButton && row >= 0) {
    setFocus(Qt::MouseFocusReason);
    SelectRow(row);
    emit RowPressed(row, event->button());
  }
}

void CReportCtrl::keyPressEvent(QKeyEvent* event) {
  // Not the list's: Qt hands an ignored key to the parent.
  event->ignore();
}

}  // namespace ui
