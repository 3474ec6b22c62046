#include "ui/controls/grid/grid_item_delegate.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>

namespace ui {

CGridItemDelegate::CGridItemDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

const GridColumnTraits* CGridItemDelegate::Traits(int column) const {
  if (columns_ == nullptr || column < 0 || column >= static_cast<int>(columns_->size())) {
    return nullptr;
  }
  return &(*columns_)[static_cast<std::size_t>(column)];
}

void CGridItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QVariant bg = index.data(Qt::BackgroundRole);
  const QVariant fg = index.data(Qt::ForegroundRole);
  QColor background = bg.canConvert<QBrush>() ? bg.value<QBrush>().color() : QColor();
  if (!background.isValid()) background = opt.palette.color(QPalette::Base);
  QColor text = fg.canConvert<QBrush>() ? fg.value<QBrush>().color() : QColor();
  if (!text.isValid()) text = opt.palette.color(QPalette::Text);

  painter->save();
  painter->fillRect(opt.rect, background);
  if (opt.state & QStyle::State_Selected) {
    // The selection tints the row's own colours, so a coloured grid stays readable.
    QColor tint = opt.palette.color(QPalette::Highlight);
    tint.setAlpha(90);
    painter->fillRect(opt.rect, tint);
  }
  const GridColumnTraits* traits = Traits(index.column());
  const Qt::Alignment align = traits != nullptr ? traits->alignment : opt.displayAlignment;
  const QRect box = opt.rect.adjusted(margin_, 0, -margin_, 0);
  painter->setFont(opt.font);
  painter->setPen(text);
  const QString shown =
      opt.fontMetrics.elidedText(opt.text, Qt::ElideRight, std::max(0, box.width()));
  const Qt::Alignment flags = (align & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter;
  painter->drawText(box, static_cast<int>(flags), shown);
  painter->restore();
}

QSize CGridItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  QSize s = QStyledItemDelegate::sizeHint(option, index);
  s.setHeight(std::max(s.height(), option.fontMetrics.height() + 2 * margin_));
  return s;
}

QWidget* CGridItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
  const GridColumnTraits* traits = Traits(index.column());
  if (traits == nullptr || traits->editor == GridEditor::kNone) return nullptr;
  if (traits->editor == GridEditor::kChoice) {
    auto* combo = new QComboBox(parent);
    combo->addItems(traits->choices);
    combo->setFrame(false);
    // Picking a choice ends the edit at once.
    connect(combo, &QComboBox::activated, this, [this, combo] {
      auto* self = const_cast<CGridItemDelegate*>(this);
      emit self->commitData(combo);
      emit self->closeEditor(combo);
    });
    return combo;
  }
  auto* edit = new QLineEdit(parent);
  edit->setFrame(false);
  edit->setAlignment(traits->alignment);
  return edit;
}

void CGridItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
  const QString text = index.data(Qt::DisplayRole).toString();
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    const int at = combo->findText(text);
    combo->setCurrentIndex(at >= 0 ? at : 0);
  } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
    edit->setText(text);
    edit->selectAll();
  }
}

void CGridItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
  QString text;
  if (auto* combo = qobject_cast<QComboBox*>(editor)) {
    text = combo->currentText();
  } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
    text = edit->text();
  } else {
    return;
  }
  model->setData(index, text, Qt::DisplayRole);
  emit const_cast<CGridItemDelegate*>(this)->Committed(index.row(), index.column(), text);
}

void CGridItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const {
  editor->setGeometry(option.rect);
}

}  // namespace ui
