#include "ui/shell/prompts.h"

#include <QFileDialog>
#include <QMessageBox>

namespace ui {

bool Prompts::Question(QWidget* owner, const QString& caption, const QString& text) {
  return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

Prompts::Answer Prompts::QuestionCancel(QWidget* owner, const QString& caption,
                                        const QString& text) {
  const auto r = QMessageBox::question(owner, caption, text,
                                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                       QMessageBox::Yes);
  if (r == QMessageBox::Yes) return Answer::Yes;
  if (r == QMessageBox::No) return Answer::No;
  return Answer::Cancel;
}

void Prompts::Message(QWidget* owner, const QString& caption, const QString& text, Icon icon) {
  QMessageBox box(owner);
  box.setWindowTitle(caption);
  box.setText(text);
  switch (icon) {
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case Icon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

QString Prompts::OpenFile(QWidget* owner, const QString& filter) {
  return QFileDialog::getOpenFileName(owner, QString(), QString(), filter);
}

QString Prompts::SaveFile(QWidget* owner, const QString& defaultName, const QString& suffix,
                          const QString& filter) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilter(filter);
  dialog.setDefaultSuffix(suffix);
  dialog.selectFile(defaultName);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

}  // namespace ui
