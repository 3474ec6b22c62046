#pragma once

#include <QColor>
#include <QTableWidget>

namespace ui {

// The report list of the effect parameters: full-row selection and grid
// lines, texts and colours set by the owner per row and column, sorting by a
// header click while it is switched on. A left press on a row selects it and
// reports the row. Keys are not the list's: every key press goes on to the
// parent, so the arrows step the page's slider instead of the selection.
class CReportCtrl : public QTableWidget {
  Q_OBJECT

 public:
  static constexpr int kMsgRowPressed = 0xA710;

  explicit CReportCtrl(QWidget* parent = nullptr);

  // Columns: heading, width in pixels and alignment of the cells.
  int InsertColumn(int column, const QString& heading, int width,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
  int ColumnCount() const { return columnCount(); }
  // Rows: a new row with its first cell's text; returns its index.
  int InsertItem(int row, const QString& text);
  bool DeleteItem(int row);
  void DeleteAllItems();
  int ItemCount() const { return rowCount(); }
  bool SetItemText(int row, int column, const QString& text);
  QString GetItemText(int row, int column) const;
  // Text and background colour of one cell; -1 as column colours the row.
  bool SetItemColours(int row, int column, const QColor& text, const QColor& background);
  QColor ItemTextColour(int row, int column) const;
  QColor ItemBackground(int row, int column) const;

  // Sorting by a click on a column heading; switching it off also clears the
  // sort column and turns the headings into plain labels.
  void SetSortable(bool sortable);
  bool IsSortable() const { return isSortingEnabled(); }

  // The selected row, -1 for none; selecting also makes it current.
  int SelectedRow() const;
  void SelectRow(int row);

 signals:
  // A left press on a row: the row, then the mouse button that pressed it.
  void RowPressed(int row, Qt::MouseButton button);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QTableWidgetItem* Cell(int row, int column);
};

}  // namespace ui
