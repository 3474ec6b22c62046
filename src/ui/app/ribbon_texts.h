#pragma once

#include <QString>

#include "ui/shell/command_ids.h"
#include "ui/shell/ui_language.h"

namespace ui {

// The texts of the ribbon's buttons and application-menu items in both
// languages, by id: the frame builds them with these, the language switch
// sets them again.
struct ElementText {
  int id;
  const char* zh;
  const char* en;
};
inline constexpr ElementText kElementTexts[] = {
    {ids::kFileOpen, "打开(&O)", "Open(&O)"},
    {ids::kFileSave, "保存(&S)", "Save(&S)"},
    {ids::kAppExit, "退出(&X)", "Exit(&X)"},
    {ids::kLoadModeIn, "载入模式", "LoadMode"},
    {ids::kLoadModeOut, "载入模式", "LoadMode"},
    {ids::kLoadFileIn, "载入文件", "LoadFile"},
    {ids::kLoadFileOut, "载入文件", "LoadFile"},
    {ids::kSaveModeIn, "保存模式", "SaveMode"},
    {ids::kSaveModeOut, "保存模式", "SaveMode"},
    {ids::kSaveFileIn, "保存文件", "SaveFile"},
    {ids::kSaveFileOut, "保存文件", "SaveFile"},
    {ids::kConnectIp, "网络连接", "Connect IP"},
    {ids::kFeatures, "特色功能", "Features"},
    {ids::kInputSource, "输入源", "Input Source"},
    {ids::kMachineReset, "机器复位", "Reset"},
    {ids::kRemoteLearning, "遥控学习", "Remote control"},
    {ids::kEditUndo, "撤销", "Undo"},
    {ids::kEditRedo, "重做", "Redo"},
};

class RibbonBar;

// The two categories with the master controls, by name in either language.
inline bool IsInputCategory(const QString& name) {
  return name == QLatin1String("Input") || name == QString::fromUtf8("输入控制");
}
inline bool IsOutputCategory(const QString& name) {
  return name == QLatin1String("Output") || name == QString::fromUtf8("输出调节");
}

// The category and panel names of the two master categories, with the
// pitch caption at `pitch`, and every element text of the table above, in
// the language of `lang`.
void RetextRibbonNames(RibbonBar& ribbon, const UiLanguage& lang, int pitch);

// The names assistive technology reads for the ribbon's controls that show
// no text of their own or one they share, in the language of `lang`: each
// master control's sliders by its label ("话筒音量" / "Mic Vol"), its mute
// boxes by the label and "静音" / "Mute", the application button and the
// about button. RetextRibbonNames sets them again.
void NameRibbonControls(RibbonBar& ribbon, const UiLanguage& lang);

// The element's text in the current language; empty for an id without one.
inline QString ElementTextOf(const UiLanguage& lang, int id) {
  for (const ElementText& t : kElementTexts) {
    if (t.id == id) return lang.Pick(t.zh, t.en);
  }
  return {};
}

// The tooltip of a button that shows only its picture: its text, with the
// keys that do the same.
QString ElementToolTipOf(const UiLanguage& lang, int id);

}  // namespace ui
