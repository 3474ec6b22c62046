#pragma once

#include <QString>

#include "ui/shell/language_file.h"

class QWidget;

namespace ui {

// Makes the language files of the resources available (they live in a
// static library). Safe to call more than once.
void InitLanguageResources();

// The language of the interface: 0 Chinese, 1 English. Texts built in code
// are pairs picked by Pick; dialog texts come from the language file of the
// current language, applied by ApplyDialogTexts.
class UiLanguage {
 public:
  static constexpr int kChinese = 0;
  static constexpr int kEnglish = 1;

  UiLanguage() = default;

  // Any value other than 1 counts as Chinese.
  int Language() const { return language_; }
  void SetLanguage(int language) { language_ = language == kEnglish ? kEnglish : kChinese; }
  bool English() const { return language_ == kEnglish; }
  QString Pick(const QString& chinese, const QString& english) const {
    return English() ? english : chinese;
  }
  QString Pick(const char* chinese, const char* english) const {
    return QString::fromUtf8(English() ? english : chinese);
  }

  // Loads the file of the current language from the resources
  // (":/lang/zh.ini" or ":/lang/en.ini"). False, keeping no texts, when the
  // resource is missing.
  bool LoadFile();
  const LanguageFile& File() const { return file_; }

  // The caption of `window` from "IDD<dialogId>_title" and the text of each
  // control with an id inside it, however deeply nested (a radio in a group
  // box), from "IDD<dialogId>_<id>"; a missing or empty key leaves the text
  // as it is. Windows and pages with a dialog id of their own inside it are
  // left to their own texts. Null windows are ignored.
  void ApplyDialogTexts(QWidget* window, int dialogId) const;

 private:
  void ApplyControlTexts(QWidget* parent, int dialogId) const;

  int language_ = kChinese;
  LanguageFile file_;
};

}  // namespace ui
