#include "ui/shell/language_file.h"

#include <QList>

namespace ui {

LanguageFile LanguageFile::Parse(const QByteArray& bytes) {
  LanguageFile file;
  QByteArray text = bytes;
  if (text.startsWith("\xEF\xBB\xBF")) text.remove(0, 3);
  bool inString = false;
  const QList<QByteArray> lines = text.split('\n');
  for (QByteArray line : lines) {
    if (line.endsWith('\r')) line.chop(1);
    if (line.isEmpty() || line.startsWith("//")) continue;
    if (line.startsWith('[')) {
      inString = line.trimmed() == "[String]";
      continue;
    }
    if (!inString) continue;
    const int eq = line.indexOf('=');
    if (eq <= 0) continue;
    const QString key = QString::fromUtf8(line.left(eq)).trimmed();
    QString value = QString::fromUtf8(line.mid(eq + 1));
    if (value.size() > kMaxValue) value.truncate(kMaxValue);
    if (!file.values_.contains(key)) file.values_.insert(key, value);
  }
  return file;
}

QString LanguageFile::Title(int dialogId) const {
  return Value(QStringLiteral("IDD%1_title").arg(dialogId));
}

QString LanguageFile::Control(int dialogId, int controlId) const {
  return Value(QStringLiteral("IDD%1_%2").arg(dialogId).arg(controlId));
}

}  // namespace ui
