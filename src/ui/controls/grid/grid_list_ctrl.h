#pragma once

#include <QColor>
#include <QTableWidget>

#include <vector>

#include "ui/controls/grid/grid_item_delegate.h"

namespace ui {

// The editable grid of the EQ pages' band lists and parameter lists: columns
// with a heading, a width and an alignment; rows whose texts the page sets and
// reads; a text and a background colour per row and a cell margin; in-place
// editing by a text box or a drop-down, each ending in CellEdited. Showing
// and hiding the whole grid is the widget's own show() and hide().
class CGridListCtrl : public QTableWidget {
  Q_OBJECT

 public:
  explicit CGridListCtrl(QWidget* parent = nullptr);

  // Appends or inserts a column; returns its index.
  int InsertColumn(int column, const QString& heading, int width,
                   Qt::Alignment alignment = Qt::AlignCenter, GridEditor editor = GridEditor::kNone,
                   const QStringList& choices = {});
  void SetColumnEditor(int column, GridEditor editor, const QStringList& choices = {});
  GridEditor ColumnEditor(int column) const;
  QStringList ColumnChoices(int column) const;
  int ColumnCount() const { return columnCount(); }
  // Removes every row and column.
  void Clear();

  // Rows: a new row with its first cell's text, in the default colours.
  int InsertRow(int row, const QString& text);
  void DeleteAllRows() { setRowCount(0); }
  int RowCount() const { return rowCount(); }
  bool SetItemText(int row, int column, const QString& text);
  QString GetItemText(int row, int column) const;

  // Colours of the rows to come and of the area below the last row.
  void SetDefaultColours(const QColor& text, const QColor& background);
  // One row's colours, every column.
  bool SetRowColours(int row, const QColor& text, const QColor& background);
  QColor RowTextColour(int row) const;
  QColor RowBackground(int row) const;
  // Pixels between a cell's edge and its text, left and right; the rows grow
  // by twice the margin.
  void SetCellMargin(int margin);
  int CellMargin() const { return delegate_->CellMargin(); }
  void SetRowFont(const QFont& font);

  // Opens the editor of a cell whose column has one; false otherwise.
  bool EditCell(int row, int column);
  bool IsEditing() const { return state() == QAbstractItemView::EditingState; }

 signals:
  // An in-place edit ended with a commit: the cell and the text entered.
  void CellEdited(int row, int column, const QString& text);

 private:
  QTableWidgetItem* Cell(int row, int column);
  void UpdateRowHeight();

  std::vector<GridColumnTraits> columns_;
  CGridItemDelegate* delegate_;
  QColor defaultText_{Qt::black};
  QColor defaultBackground_{Qt::white};
};

}  // namespace ui
