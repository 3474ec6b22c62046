#include "ui/app/ribbon_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace ui {

RibbonPanel::RibbonPanel(const QString& name, QWidget* parent)
    : QFrame(parent), grid_(new QGridLayout), caption_(new QLabel(name, this)) {
  setObjectName(QStringLiteral("RibbonPanel"));
  setFrameShape(QFrame::NoFrame);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 2);
  layout->setSpacing(2);
  grid_->setHorizontalSpacing(6);
  grid_->setVerticalSpacing(2);
  layout->addLayout(grid_, 1);
  caption_->setAlignment(Qt::AlignCenter);
  caption_->setObjectName(QStringLiteral("RibbonPanelCaption"));
  layout->addWidget(caption_);
}

QString RibbonPanel::Name() const { return caption_->text(); }
void RibbonPanel::SetName(const QString& name) { caption_->setText(name); }

void RibbonPanel::Add(QWidget* widget, Qt::Alignment alignment) {
  grid_->addWidget(widget, row_++, column_, alignment);
}

void RibbonPanel::NewColumn() {
  ++column_;
  row_ = 0;
}

}  // namespace ui
