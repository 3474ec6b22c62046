#pragma once

#include <QPointer>
#include <QWidget>

#include <array>

namespace ui {

// A container that stacks up to twelve pages and shows one at a time, each
// page filling the container. Pages become its children, so they go with the
// dialog that holds the container; a page deleted earlier leaves an empty slot.
class CTabWnd : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kMaxPages = 12;

  explicit CTabWnd(QWidget* parent = nullptr);

  // Adds a page (made a child of the container, hidden until selected);
  // returns its index, or -1 when the table is full or the page is null.
  int AddPage(QWidget* page);
  int PageCount() const { return count_; }
  QWidget* Page(int index) const;
  int Selected() const { return selected_; }

  // Every page to the container's client area; page 0 shown, the others hidden.
  void Arrange();
  // Shows page `index` and hides the others; returns the index that was
  // selected before, or -1 (changing nothing) for an index outside the pages.
  int Select(int index);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::array<QPointer<QWidget>, kMaxPages> pages_{};
  int count_ = 0;
  int selected_ = 0;
};

}  // namespace ui
