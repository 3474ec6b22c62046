#include "ui/app/ribbon_texts.h"

#include <QAction>
#include <QStringList>
#include <QToolButton>

#include "ui/app/master_controls.h"
#include "ui/app/ribbon_bar.h"
#include "ui/app/ribbon_category.h"
#include "ui/app/ribbon_panel.h"
#include "ui/controls/accessible_controls.h"

namespace ui {

QString ElementToolTipOf(const UiLanguage& lang, int id) {
  const QString text = ElementTextOf(lang, id);
  if (id == ids::kEditUndo) return text + QStringLiteral(" (Ctrl+Z)");
  if (id == ids::kEditRedo) return text + QStringLiteral(" (Ctrl+Shift+Z, Ctrl+Y)");
  return text;
}

void RetextRibbonNames(RibbonBar& ribbon, const UiLanguage& lang, int pitch) {
  for (int i = 0; i < ribbon.CategoryCount(); ++i) {
    const QString name = ribbon.CategoryName(i);
    const QString caption = lang.Pick("音乐变调", "Music Pitch") + QString::asprintf("%+d", pitch);
    QStringList panels;
    if (!lang.English() && (name == QLatin1String("Input") || name == QLatin1String("Output"))) {
      ribbon.SetCategoryName(
          i, QString::fromUtf8(name == QLatin1String("Input") ? "输入控制" : "输出调节"));
      panels = {QString::fromUtf8("话筒音量"), QString::fromUtf8("效果总音量"),
                QString::fromUtf8("混响音量"), QString::fromUtf8("回声音量"),
                QString::fromUtf8("音乐音量"), caption,
                QString::fromUtf8("调用"),     QString::fromUtf8("保存")};
    } else if (lang.English() &&
               (name == QString::fromUtf8("输入控制") || name == QString::fromUtf8("输出调节"))) {
      ribbon.SetCategoryName(i, name == QString::fromUtf8("输入控制") ? QStringLiteral("Input")
                                                                      : QStringLiteral("Output"));
      panels = {QStringLiteral("Mic  Vol"),   QStringLiteral("Effect Vol"),
                QStringLiteral("Reverb Vol"), QStringLiteral("Echo Vol"),
                QStringLiteral("Music Vol"),  caption,
                QStringLiteral("Load"),       QStringLiteral("Save")};
    }
    RibbonCategory* category = ribbon.Category(i);
    for (int p = 0; p < panels.size() && category != nullptr; ++p) {
      if (RibbonPanel* panel = category->Panel(p)) panel->SetName(panels[p]);
    }
  }
  for (const ElementText& t : kElementTexts) {
    const QString text = lang.Pick(t.zh, t.en);
    if (QAction* a = ribbon.Action(t.id)) {
      a->setText(text);
    } else if (auto* b = qobject_cast<QToolButton*>(ribbon.Element(t.id))) {
      b->setText(text);
      // A button that shows only its picture says what it does on hover.
      if (b->toolButtonStyle() == Qt::ToolButtonIconOnly) b->setToolTip(ElementToolTipOf(lang, t.id));
    }
  }
  NameRibbonControls(ribbon, lang);
}

void NameRibbonControls(RibbonBar& ribbon, const UiLanguage& lang) {
  for (const MasterControl& c : kMasterControls) {
    // The label button's text without its number: "Mic    Vol: " names "Mic Vol".
    const QString name = AccessibleLabel(lang.Pick(c.prefixZh, c.prefixEn));
    for (int id : {c.sliderIn, c.sliderOut}) {
      if (QWidget* slider = ribbon.Element(id)) slider->setAccessibleName(name);
    }
    if (!c.mute) continue;
    const QString mute = name + QLatin1Char(' ') + lang.Pick("静音", "Mute");
    for (int id : {c.muteIn, c.muteOut}) {
      if (QWidget* box = ribbon.Element(id)) box->setAccessibleName(mute);
    }
  }
  if (QToolButton* app = ribbon.AppButton()) app->setAccessibleName(lang.Pick("文件", "File"));
  if (QWidget* about = ribbon.Element(ids::kAppAbout)) {
    about->setAccessibleName(lang.Pick("关于", "About"));
  }
}

}  // namespace ui
