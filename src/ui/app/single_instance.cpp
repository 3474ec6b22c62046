#include "ui/app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace ui {

namespace {
constexpr char kShow[] = "show\n";
constexpr char kShown[] = "shown\n";
constexpr char kNoWindow[] = "nowindow\n";
}  // namespace

QString SingleInstance::DefaultName() {
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  const QString name = QStringLiteral("NR620 V1.0");
  return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
  if (server_ != nullptr) server_->close();
}

SingleInstance::Result SingleInstance::Claim(int probeMs) {
  {
    QLocalSocket probe;
    probe.connectToServer(name_);
    if (probe.waitForConnected(probeMs)) {
      probe.write(kShow);
      probe.waitForBytesWritten(probeMs);
      QByteArray answer;
      while (!answer.endsWith('\n') && probe.waitForReadyRead(probeMs)) answer += probe.readAll();
      probe.disconnectFromServer();
      if (answer == kShown) return Result::Activated;
      if (answer == kNoWindow) return Result::NoWindow;
      // Connected but nobody answered: an instance that hangs. Do not take
      // its place.
      return Result::NoWindow;
    }
  }
  // Nobody answers: whatever marker exists is stale.
  QLocalServer::removeServer(name_);
  server_ = new QLocalServer(this);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(name_)) return Result::CreateFailed;
  connect(server_, &QLocalServer::newConnection, this, &SingleInstance::OnConnection);
  return Result::Primary;
}

void SingleInstance::OnConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      if (!socket->canReadLine()) return;
      const QByteArray line = socket->readLine();
      if (line != kShow) return;
      const bool shown = activate_ && activate_();
      socket->write(shown ? kShown : kNoWindow);
      socket->flush();
    });
  }
}

QString SingleInstance::Message(Result result) {
  switch (result) {
    case Result::NoWindow:
      return QString::fromUtf8("已有一个实例在运行，但找不到它的主窗口！");
    case Result::CreateFailed:
      return QString::fromUtf8("创建信标对象失败，程序退出！");
    case Result::Primary:
    case Result::Activated:
      break;
  }
  return {};
}

}  // namespace ui
