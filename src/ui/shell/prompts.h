#pragma once

#include <QString>

class QWidget;

namespace ui {

// The shell's message boxes and file dialogs. The base shows the real ones;
// tests replace it with one that records the texts and answers.
class Prompts {
 public:
  enum class Answer { Yes, No, Cancel };
  enum class Icon { Information, Question, Warning, Error };

  virtual ~Prompts() = default;

  // A Yes/No question with the question icon.
  virtual bool Question(QWidget* owner, const QString& caption, const QString& text);
  // Yes, No and Cancel with the question icon.
  virtual Answer QuestionCancel(QWidget* owner, const QString& caption, const QString& text);
  // A box with an OK button.
  virtual void Message(QWidget* owner, const QString& caption, const QString& text, Icon icon);
  // A file to open / to save as, empty when cancelled. `filter` in Qt form.
  virtual QString OpenFile(QWidget* owner, const QString& filter);
  virtual QString SaveFile(QWidget* owner, const QString& defaultName, const QString& suffix,
                           const QString& filter);
};

}  // namespace ui
