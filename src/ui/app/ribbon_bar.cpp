#include "ui/app/app_icon.h"
#include "ui/app/ribbon_bar.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QStackedWidget>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_step_slider.h"
#include "ui/controls/ctrl_id.h"

namespace ui {

namespace {
constexpr char kMasterProperty[] = "ribbonMaster";
}

RibbonBar::RibbonBar(QWidget* parent)
    : QWidget(parent),
      appButton_(new QToolButton(this)),
      appMenu_(new QMenu(this)),
      recentSeparator_(nullptr),
      tabs_(new QTabBar(this)),
      tabRow_(new QHBoxLayout),
      stack_(new QStackedWidget(this)) {
  setObjectName(QStringLiteral("RibbonBar"));
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet(QStringLiteral(
      "#RibbonBar { background: #dfe9f5; }"
      "#RibbonBar QStackedWidget { background: #f3f7fc; border-top: 1px solid #a9bfd6;"
      "  border-bottom: 1px solid #a9bfd6; }"
      "#RibbonPanelCaption { color: #15428b; }"
      "#RibbonSeparator { color: #b8cbe0; }"
      "#RibbonAppButton { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #4f8fd6,"
      "  stop:1 #1d5fa8); border: 1px solid #154a85; border-radius: 22px; }"
      "QTabBar::tab { padding: 4px 14px; margin-right: 2px; border: 1px solid transparent;"
      "  border-top-left-radius: 3px; border-top-right-radius: 3px; color: #15428b; }"
      "QTabBar::tab:selected { background: #f3f7fc; border-color: #a9bfd6;"
      "  border-bottom-color: #f3f7fc; }"));

  appButton_->setObjectName(QStringLiteral("RibbonAppButton"));
  appButton_->setFixedSize(45, 45);
  appButton_->setIcon(AppIcon());
  appButton_->setIconSize(QSize(30, 30));
  appButton_->setPopupMode(QToolButton::InstantPopup);
  appButton_->setMenu(appMenu_);
  appButton_->setToolTip(QString());
  appButton_->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; }"));

  tabs_->setDrawBase(false);
  tabs_->setExpanding(false);
  tabs_->installEventFilter(this);
  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    stack_->setCurrentIndex(index);
    emit CategoryChanged(CategoryName(index));
  });

  auto* top = new QHBoxLayout;
  top->setContentsMargins(4, 2, 4, 0);
  top->setSpacing(6);
  top->addWidget(appButton_, 0, Qt::AlignTop);
  top->addWidget(tabs_, 0, Qt::AlignBottom);
  tabRow_->setSpacing(2);
  top->addLayout(tabRow_);
  top->addStretch(1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(top);
  layout->addWidget(stack_);
  stack_->setFixedHeight(100);
}

RibbonCategory* RibbonBar::AddCategory(const QString& name) {
  auto* category = new RibbonCategory(stack_);
  categories_.push_back(category);
  stack_->addWidget(category);
  const QSignalBlocker block(tabs_);
  tabs_->addTab(name);
  if (categories_.size() == 1) stack_->setCurrentIndex(0);
  return category;
}

RibbonCategory* RibbonBar::Category(int index) const {
  return index >= 0 && index < CategoryCount() ? categories_[static_cast<std::size_t>(index)] : nullptr;
}

QString RibbonBar::CategoryName(int index) const { return tabs_->tabText(index); }
void RibbonBar::SetCategoryName(int index, const QString& name) { tabs_->setTabText(index, name); }
int RibbonBar::ActiveCategory() const { return tabs_->currentIndex(); }
QString RibbonBar::ActiveCategoryName() const { return CategoryName(ActiveCategory()); }
void RibbonBar::SetActiveCategory(int index) { tabs_->setCurrentIndex(index); }

QToolButton* RibbonBar::AddLabel(int id, const QString& text) {
  ForgetLookups();
  auto* label = new QToolButton(this);
  SetCtrlId(label, id);
  label->setAutoRaise(true);
  label->setToolButtonStyle(Qt::ToolButtonTextOnly);
  label->setText(text);
  connect(label, &QToolButton::clicked, this, [this, id] { emit Command(id); });
  return label;
}

CMFCRibbonStepSlider* RibbonBar::AddSlider(int id, int width, int minimum, int maximum) {
  ForgetLookups();
  auto* slider = new CMFCRibbonStepSlider(id, width, this);
  slider->setRange(minimum, maximum);
  slider->SetPos(qBound(minimum, 0, maximum));
  connect(slider, &CMFCRibbonStepSlider::Command, this, &RibbonBar::Command);
  return slider;
}

QWidget* RibbonBar::AddCheckBox(int id, const QString& text) {
  ForgetLookups();
  auto* box = new QCheckBox(text, this);
  SetCtrlId(box, id);
  box->setFocusPolicy(Qt::NoFocus);
  // The view's update sets the tick from the parameter; a click only asks.
  connect(box, &QCheckBox::clicked, this, [this, id] { emit Command(id); });
  return box;
}

QToolButton* RibbonBar::AddLargeButton(int id, const QString& text, const QIcon& icon) {
  ForgetLookups();
  auto* button = new QToolButton(this);
  SetCtrlId(button, id);
  button->setAutoRaise(true);
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setIcon(icon);
  button->setIconSize(QSize(32, 32));
  button->setText(text);
  button->setMinimumWidth(64);
  connect(button, &QToolButton::clicked, this, [this, id] { emit Command(id); });
  return button;
}

QAction* RibbonBar::AddMenuItem(QMenu* menu, int id, const QString& text) {
  ForgetLookups();
  QAction* action = menu->addAction(text);
  action->setProperty("ctrlId", id);
  connect(action, &QAction::triggered, this, [this, id] { emit Command(id); });
  return action;
}

QToolButton* RibbonBar::AddTabRowButton(int id, const QString& text, const QIcon& icon) {
  ForgetLookups();
  auto* button = new QToolButton(this);
  SetCtrlId(button, id);
  button->setAutoRaise(true);
  button->setText(text);
  if (!icon.isNull()) {
    button->setIcon(icon);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  } else {
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  }
  connect(button, &QToolButton::clicked, this, [this, id] { emit Command(id); });
  tabRow_->addWidget(button, 0, Qt::AlignBottom);
  return button;
}

void RibbonBar::SetRecentFiles(const QStringList& files, const QString& heading) {
  ForgetLookups();
  recent_ = files;
  for (QAction* a : recentActions_) {
    appMenu_->removeAction(a);
    a->deleteLater();
  }
  recentActions_.clear();
  // The recent list sits before the exit item (the menu's last action).
  QAction* before = appMenu_->actions().isEmpty() ? nullptr : appMenu_->actions().last();
  auto* title = new QAction(heading, appMenu_);
  title->setEnabled(false);
  appMenu_->insertAction(before, title);
  recentActions_.push_back(title);
  for (int i = 0; i < files.size(); ++i) {
    auto* a = new QAction(QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(files[i]), appMenu_);
    a->setProperty("ctrlId", 57616 + i);
    const QString path = files[i];
    connect(a, &QAction::triggered, this, [this, path] { emit RecentFileChosen(path); });
    appMenu_->insertAction(before, a);
    recentActions_.push_back(a);
  }
  auto* sep = new QAction(appMenu_);
  sep->setSeparator(true);
  appMenu_->insertAction(before, sep);
  recentActions_.push_back(sep);
}

void RibbonBar::ForgetLookups() const {
  elementCache_.clear();
  actionCache_.clear();
}

QWidget* RibbonBar::Element(int id) const {
  if (QWidget* cached = elementCache_.value(id); cached != nullptr) return cached;
  QWidget* found = FindCtrl(const_cast<RibbonBar*>(this), id);
  if (found != nullptr) elementCache_.insert(id, found);
  return found;
}

QList<QAction*> RibbonBar::Actions(int id) const {
  QList<QAction*> out;
  auto it = actionCache_.constFind(id);
  if (it != actionCache_.constEnd()) {
    for (const QPointer<QAction>& a : *it) {
      if (a.isNull()) break;
      out.push_back(a.data());
    }
    if (out.size() == it->size()) return out;
    out.clear();  // one went away: look again
  }
  QList<QPointer<QAction>> remembered;
  for (QAction* a : findChildren<QAction*>()) {
    if (CtrlId(a) == id) {
      out.push_back(a);
      remembered.push_back(a);
    }
  }
  if (!out.isEmpty()) actionCache_.insert(id, remembered);
  return out;
}

QAction* RibbonBar::Action(int id) const {
  const QList<QAction*> actions = Actions(id);
  return actions.isEmpty() ? nullptr : actions.front();
}

void RibbonBar::SetWheelTarget(QWidget* widget, int master) {
  widget->setProperty(kMasterProperty, master);
  widget->installEventFilter(this);
  const auto children = widget->findChildren<QWidget*>();
  for (QWidget* child : children) child->installEventFilter(this);
}

bool RibbonBar::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Wheel) {
    // Walk up to the widget that names a master control.
    for (QObject* o = watched; o != nullptr && o != this; o = o->parent()) {
      const QVariant master = o->property(kMasterProperty);
      if (master.isValid()) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
        if (delta != 0) emit MasterWheel(master.toInt(), delta);
        return true;
      }
    }
    return true;  // never switch categories, never move a slider on its own
  }
  return QWidget::eventFilter(watched, event);
}

void RibbonBar::wheelEvent(QWheelEvent* event) { event->accept(); }
void RibbonBar::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

}  // namespace ui
