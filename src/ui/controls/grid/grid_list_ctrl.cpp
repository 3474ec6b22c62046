#include "ui/controls/grid/grid_list_ctrl.h"

#include <QHeaderView>

#include <algorithm>

namespace ui {

CGridListCtrl::CGridListCtrl(QWidget* parent)
    : QTableWidget(parent), delegate_(new CGridItemDelegate(this)) {
  delegate_->SetColumns(&columns_);
  setItemDelegate(delegate_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                  QAbstractItemView::EditKeyPressed);
  setShowGrid(true);
  setWordWrap(false);
  setTabKeyNavigation(true);
  verticalHeader()->setVisible(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
  QPalette headerPal = horizontalHeader()->palette();
  headerPal.setColor(QPalette::Window, headerPal.color(QPalette::Button));
  horizontalHeader()->setPalette(headerPal);
  UpdateRowHeight();
  connect(delegate_, &CGridItemDelegate::Committed, this, &CGridListCtrl::CellEdited);
}

int CGridListCtrl::InsertColumn(int column, const QString& heading, int width,
                                Qt::Alignment alignment, GridEditor editor,
                                const QStringList& choices) {
  const int at = std::clamp(column, 0, columnCount());
  columns_.insert(columns_.begin() + at, GridColumnTraits{editor, choices, alignment});
  insertColumn(at);
  auto* header = new QTableWidgetItem(heading);
  header->setTextAlignment(alignment);
  setHorizontalHeaderItem(at, header);
  setColumnWidth(at, width);
  for (int r = 0; r < rowCount(); ++r) {
    if (QTableWidgetItem* it = Cell(r, at)) it->setTextAlignment(alignment);
  }
  return at;
}

void CGridListCtrl::SetColumnEditor(int column, GridEditor editor, const QStringList& choices) {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return;
  columns_[static_cast<std::size_t>(column)].editor = editor;
  columns_[static_cast<std::size_t>(column)].choices = choices;
}

GridEditor CGridListCtrl::ColumnEditor(int column) const {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return GridEditor::kNone;
  return columns_[static_cast<std::size_t>(column)].editor;
}

QStringList CGridListCtrl::ColumnChoices(int column) const {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return {};
  return columns_[static_cast<std::size_t>(column)].choices;
}

void CGridListCtrl::Clear() {
  setRowCount(0);
  setColumnCount(0);
  columns_.clear();
}

QTableWidgetItem* CGridListCtrl::Cell(int row, int column) {
  if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount()) return nullptr;
  QTableWidgetItem* it = item(row, column);
  if (it == nullptr) {
    it = new QTableWidgetItem();
    const GridColumnTraits& t = columns_[static_cast<std::size_t>(column)];
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (t.editor != GridEditor::kNone) flags |= Qt::ItemIsEditable;
    it->setFlags(flags);
    it->setTextAlignment(t.alignment);
    // A new cell takes its row's colours, or the defaults in a new row.
    const QTableWidgetItem* first = column > 0 ? item(row, 0) : nullptr;
    it->setForeground(first != nullptr ? first->foreground() : QBrush(defaultText_));
    it->setBackground(first != nullptr ? first->background() : QBrush(defaultBackground_));
    setItem(row, column, it);
  }
  return it;
}

int CGridListCtrl::InsertRow(int row, const QString& text) {
  const int at = std::clamp(row, 0, rowCount());
  insertRow(at);
  for (int c = 0; c < columnCount(); ++c) Cell(at, c);
  if (QTableWidgetItem* it = Cell(at, 0)) it->setText(text);
  return at;
}

bool CGridListCtrl::SetItemText(int row, int column, const QString& text) {
  QTableWidgetItem* it = Cell(row, column);
  if (it == nullptr) return false;
  it->setText(text);
  return true;
}

QString CGridListCtrl::GetItemText(int row, int column) const {
  const QTableWidgetItem* it = item(row, column);
  return it != nullptr ? it->text() : QString();
}

void CGridListCtrl::SetDefaultColours(const QColor& text, const QColor& background) {
  defaultText_ = text;
  defaultBackground_ = background;
  QPalette pal = palette();
  pal.setColor(QPalette::Base, background);
  pal.setColor(QPalette::Text, text);
  // Grid lines a quarter of the way from the background to the text. Styles
  // draw them from the window colour (Fusion: darker by 20 %) or from Mid.
  const auto mix = [](int a, int b) { return a + (b - a) / 4; };
  const QColor line(mix(background.red(), text.red()), mix(background.green(), text.green()),
                    mix(background.blue(), text.blue()));
  pal.setColor(QPalette::Mid, line);
  pal.setColor(QPalette::Window, line.lighter(120));
  setPalette(pal);
}

bool CGridListCtrl::SetRowColours(int row, const QColor& text, const QColor& background) {
  if (row < 0 || row >= rowCount()) return false;
  for (int c = 0; c < columnCount(); ++c) {
    QTableWidgetItem* it = Cell(row, c);
    it->setForeground(text);
    it->setBackground(background);
  }
  return true;
}

QColor CGridListCtrl::RowTextColour(int row) const {
  const QTableWidgetItem* it = item(row, 0);
  return it != nullptr ? it->foreground().color() : QColor();
}

QColor CGridListCtrl::RowBackground(int row) const {
  const QTableWidgetItem* it = item(row, 0);
  return it != nullptr ? it->background().color() : QColor();
}

void CGridListCtrl::SetCellMargin(int margin) {
  delegate_->SetCellMargin(std::max(0, margin));
  UpdateRowHeight();
  viewport()->update();
}

void CGridListCtrl::SetRowFont(const QFont& font) {
  // The headings keep the font they have.
  horizontalHeader()->setFont(horizontalHeader()->font());
  setFont(font);
  UpdateRowHeight();
}

void CGridListCtrl::UpdateRowHeight() {
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2 * delegate_->CellMargin() + 2);
  verticalHeader()->setMinimumSectionSize(1);
}

bool CGridListCtrl::EditCell(int row, int column) {
  if (ColumnEditor(column) == GridEditor::kNone) return false;
  QTableWidgetItem* it = Cell(row, column);
  if (it == nullptr) return false;
  setCurrentItem(it);
  editItem(it);
  return IsEditing();
}

}  // namespace ui
