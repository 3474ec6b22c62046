#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

#include <vector>

namespace ui {

// How a grid column is edited in place.
enum class GridEditor {
  kNone,    // read-only
  kText,    // a text box
  kChoice,  // a drop-down of given choices
};

struct GridColumnTraits {
  GridEditor editor = GridEditor::kNone;
  QStringList choices;
  Qt::Alignment alignment = Qt::AlignCenter;
};

// Paints the grid's cells with the row colours and the cell margin, and
// makes the in-place editors: a text box or a drop-down, by column. A commit
// is reported with the cell and the text as entered.
class CGridItemDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  explicit CGridItemDelegate(QObject* parent = nullptr);

  void SetColumns(const std::vector<GridColumnTraits>* columns) { columns_ = columns; }
  void SetCellMargin(int margin) { margin_ = margin; }
  int CellMargin() const { return margin_; }

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const override;
  void setEditorData(QWidget* editor, const QModelIndex& index) const override;
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override;
  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const override;

 signals:
  void Committed(int row, int column, const QString& text);

 private:
  const GridColumnTraits* Traits(int column) const;

  const std::vector<GridColumnTraits>* columns_ = nullptr;
  int margin_ = 2;
};

}  // namespace ui
