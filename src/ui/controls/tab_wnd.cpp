#include "ui/controls/tab_wnd.h"

#include <QResizeEvent>

namespace ui {

CTabWnd::CTabWnd(QWidget* parent) : QWidget(parent) {}

int CTabWnd::AddPage(QWidget* page) {
  if (page == nullptr || count_ >= kMaxPages) return -1;
  page->setParent(this);
  page->setGeometry(rect());
  page->hide();
  pages_[static_cast<std::size_t>(count_)] = page;
  return count_++;
}

QWidget* CTabWnd::Page(int index) const {
  return index >= 0 && index < count_ ? pages_[static_cast<std::size_t>(index)] : nullptr;
}

void CTabWnd::Arrange() {
  for (int i = 0; i < count_; ++i) {
    QWidget* page = pages_[static_cast<std::size_t>(i)];
    if (page == nullptr) continue;
    page->setGeometry(rect());
    page->setVisible(i == 0);
  }
  selected_ = 0;
}

int CTabWnd::Select(int index) {
  if (index < 0 || index >= count_) return -1;
  for (int i = 0; i < count_; ++i) {
    QWidget* page = pages_[static_cast<std::size_t>(i)];
    if (page != nullptr && i != index) page->hide();
  }
  if (QWidget* page = pages_[static_cast<std::size_t>(index)]) page->show();
  const int previous = selected_;
  selected_ = index;
  return previous;
}

void CTabWnd::resizeEvent(QResizeEvent* event) {
  for (int i = 0; i < count_; ++i) {
    if (QWidget* page = pages_[static_cast<std::size_t>(i)]) page->setGeometry(rect());
  }
  QWidget::resizeEvent(event);
}

}  // namespace ui
