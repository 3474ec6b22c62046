#pragma once

#include <functional>
#include <map>

class QWidget;

namespace ui {

// How a page of the main view is made and spoken to. The editor pages
// register here; an id without a factory leaves the page area empty.
struct PageFactory {
  // Creates the page as a child of `parent` for `sub` (channel, input, type).
  std::function<QWidget*(QWidget* parent, int sub)> create;
  // The page exists and is asked for `sub` again: select it without making
  // a new page. Empty: nothing happens.
  std::function<void(QWidget* page, int sub)> reselect;
  // Re-texts the page after a language switch.
  std::function<void(QWidget* page)> retext;
  // Refreshes the page from the session after a synchronisation.
  std::function<void(QWidget* page)> refresh;
};

class PageRegistry {
 public:
  void Register(int dialogId, PageFactory factory) { factories_[dialogId] = std::move(factory); }
  const PageFactory* Find(int dialogId) const {
    auto it = factories_.find(dialogId);
    return it == factories_.end() ? nullptr : &it->second;
  }
  bool Empty() const { return factories_.empty(); }

 private:
  std::map<int, PageFactory> factories_;
};

}  // namespace ui
