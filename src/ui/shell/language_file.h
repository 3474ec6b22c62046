#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

namespace ui {

// One language file: section "[String]" with keys "IDD%d_title" and
// "IDD%d_%d". Lines starting with "//" and empty lines carry no data; lines
// end in CR LF or LF; a value is the text after the first "=" up to the line
// end, taken literally and cut to 999 characters. Keys outside the "String"
// section are ignored.
class LanguageFile {
 public:
  static constexpr int kMaxValue = 999;

  // Parses UTF-8 text (a leading byte-order mark is skipped).
  static LanguageFile Parse(const QByteArray& text);

  // The value of the key, empty when absent.
  QString Value(const QString& key) const { return values_.value(key); }
  QString Title(int dialogId) const;
  QString Control(int dialogId, int controlId) const;
  int Size() const { return static_cast<int>(values_.size()); }
  const QHash<QString, QString>& Values() const { return values_; }

 private:
  QHash<QString, QString> values_;
};

}  // namespace ui
