#pragma once

#include <QWidget>
#include <vector>

class QHBoxLayout;

namespace ui {

class RibbonPanel;

// One category of the ribbon: its panels side by side.
class RibbonCategory : public QWidget {
  Q_OBJECT
 public:
  explicit RibbonCategory(QWidget* parent = nullptr);

  RibbonPanel* AddPanel(const QString& name);
  int PanelCount() const { return static_cast<int>(panels_.size()); }
  RibbonPanel* Panel(int index) const;

 private:
  QHBoxLayout* layout_;
  std::vector<RibbonPanel*> panels_;
};

}  // namespace ui
