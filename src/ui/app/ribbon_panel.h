#pragma once

#include <QFrame>

class QGridLayout;
class QLabel;

namespace ui {

// One panel of a ribbon category: elements in columns, the name below.
class RibbonPanel : public QFrame {
  Q_OBJECT
 public:
  explicit RibbonPanel(const QString& name, QWidget* parent = nullptr);

  QString Name() const;
  void SetName(const QString& name);
  // Adds `widget` below the last element of the current column.
  void Add(QWidget* widget, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
  // Starts a new column.
  void NewColumn();

 private:
  QGridLayout* grid_;
  QLabel* caption_;
  int column_ = 0;
  int row_ = 0;
};

}  // namespace ui
