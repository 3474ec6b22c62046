#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <vector>

class QAction;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolButton;
class QHBoxLayout;

namespace ui {

class CMFCRibbonStepSlider;
class RibbonCategory;

// The ribbon: the application button with its menu, the category tabs with
// the buttons of the tab row, and the panels of the active category. Every
// element issues Command with its id. The wheel never switches categories;
// over a master control it is reported as MasterWheel.
class RibbonBar : public QWidget {
  Q_OBJECT
 public:
  explicit RibbonBar(QWidget* parent = nullptr);

  RibbonCategory* AddCategory(const QString& name);
  int CategoryCount() const { return static_cast<int>(categories_.size()); }
  RibbonCategory* Category(int index) const;
  QString CategoryName(int index) const;
  void SetCategoryName(int index, const QString& name);
  int ActiveCategory() const;
  QString ActiveCategoryName() const;
  void SetActiveCategory(int index);

  // Elements, each with its id; they issue Command(id).
  QToolButton* AddLabel(int id, const QString& text);
  CMFCRibbonStepSlider* AddSlider(int id, int width, int minimum, int maximum);
  QWidget* AddCheckBox(int id, const QString& text);
  QToolButton* AddLargeButton(int id, const QString& text, const QIcon& icon);
  QAction* AddMenuItem(QMenu* menu, int id, const QString& text);
  QToolButton* AddTabRowButton(int id, const QString& text, const QIcon& icon = QIcon());

  // The application menu: open, save, the recent files, exit.
  QMenu* AppMenu() const { return appMenu_; }
  QToolButton* AppButton() const { return appButton_; }
  void SetRecentFiles(const QStringList& files, const QString& heading);
  QStringList RecentFiles() const { return recent_; }

  // The element or menu item with an id: the first made. Looked up once
  // and remembered, as the view asks for them several times a second.
  QWidget* Element(int id) const;
  QAction* Action(int id) const;
  // Every menu item with the id (the mode menus exist in both categories).
  QList<QAction*> Actions(int id) const;

  // The widgets a wheel over which moves master control `master`.
  void SetWheelTarget(QWidget* widget, int master);

 signals:
  void Command(int id);
  void CategoryChanged(const QString& name);
  void RecentFileChosen(const QString& path);
  void MasterWheel(int master, int delta);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QToolButton* appButton_;
  QMenu* appMenu_;
  QAction* recentSeparator_;
  std::vector<QAction*> recentActions_;
  QStringList recent_;
  QTabBar* tabs_;
  QHBoxLayout* tabRow_;
  QStackedWidget* stack_;
  std::vector<RibbonCategory*> categories_;
  // Lookups by id; emptied whenever elements are added or replaced.
  mutable QHash<int, QPointer<QWidget>> elementCache_;
  mutable QHash<int, QList<QPointer<QAction>>> actionCache_;
  void ForgetLookups() const;
};

}  // namespace ui
