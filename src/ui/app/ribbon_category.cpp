#include "ui/app/ribbon_category.h"

#include <QFrame>
#include <QHBoxLayout>

#include "ui/app/ribbon_panel.h"

namespace ui {

RibbonCategory::RibbonCategory(QWidget* parent) : QWidget(parent), layout_(new QHBoxLayout(this)) {
  layout_->setContentsMargins(2, 2, 2, 2);
  layout_->setSpacing(0);
  layout_->addStretch(1);
}

RibbonPanel* RibbonCategory::AddPanel(const QString& name) {
  if (!panels_.empty()) {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setObjectName(QStringLiteral("RibbonSeparator"));
    layout_->insertWidget(layout_->count() - 1, line);
  }
  auto* panel = new RibbonPanel(name, this);
  layout_->insertWidget(layout_->count() - 1, panel);
  panels_.push_back(panel);
  return panel;
}

RibbonPanel* RibbonCategory::Panel(int index) const {
  return index >= 0 && index < PanelCount() ? panels_[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace ui
