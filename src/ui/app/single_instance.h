#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace ui {

// One running instance per user. The first start listens on a local socket
// named after "NR620 V1.0"; a later start connects, asks the first to show
// itself and exits. A socket left behind by a crashed instance answers
// nobody: it is removed and taken over.
class SingleInstance : public QObject {
  Q_OBJECT
 public:
  enum class Result {
    Primary,        // this process is the instance
    Activated,      // another instance was asked to show itself
    NoWindow,       // another instance runs but has no main window
    CreateFailed,   // the marker could not be created
  };

  static QString DefaultName();  // "NR620 V1.0", in the user's runtime folder when there is one

  explicit SingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
  ~SingleInstance() override;

  Result Claim(int probeMs = 1000);
  const QString& Name() const { return name_; }

  // Called on the first instance when another asks it to show itself;
  // returns false when it has no main window to show.
  void SetActivate(std::function<bool()> activate) { activate_ = std::move(activate); }

  static QString Message(Result result);  // the Chinese start-up message, empty for none

 private:
  void OnConnection();

  QString name_;
  QLocalServer* server_ = nullptr;
  std::function<bool()> activate_;
};

}  // namespace ui
