#include "ui/app/app_settings.h"

#include <QSettings>

#include "core/trace.h"

namespace ui {

namespace {
const QString kLanguage = QStringLiteral("Workspace/language");
const QString kLook = QStringLiteral("Workspace/ApplicationLook");
const QString kQtOption = QStringLiteral("Workspace/QtOption");
const QString kIpAddr = QStringLiteral("Workspace/IPAddr");
const QString kIpPort = QStringLiteral("Workspace/IPPort");
const QString kRecentGroup = QStringLiteral("Recent File List");
const QString kWindowRect = QStringLiteral("MainWindow/normalGeometry");
const QString kWindowMaximized = QStringLiteral("MainWindow/maximized");
}  // namespace

AppSettings::AppSettings()
    : store_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                         QStringLiteral("NR620 V1.0"),
                                         QStringLiteral("dsptuner"))) {}

AppSettings::AppSettings(const QString& path)
    : store_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

AppSettings::~AppSettings() = default;

int AppSettings::Language() const { return store_->value(kLanguage, 0).toInt(); }
void AppSettings::SetLanguage(int language) { store_->setValue(kLanguage, language); }
int AppSettings::ApplicationLook() const { return store_->value(kLook, kDefaultLook).toInt(); }
void AppSettings::SetApplicationLook(int look) { store_->setValue(kLook, look); }

LinkOptions AppSettings::ReadLinkOptions() const {
  LinkOptions options;
  const QVariant v = store_->value(kQtOption);
  if (!v.isValid()) return options;
  const QByteArray blob = v.toByteArray();
  if (blob.size() < LinkOptions::kSize) return options;
  for (int i = 0; i < LinkOptions::kSize; ++i) {
    options.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(blob[i]);
  }
  return options;
}

bool AppSettings::WriteLinkOptions(const LinkOptions& options) {
  store_->setValue(kQtOption, QByteArray(reinterpret_cast<const char*>(options.bytes.data()),
                                         LinkOptions::kSize));
  store_->sync();
  if (store_->status() != QSettings::NoError) {
    core::Trace("保存失败");
    return false;
  }
  return true;
}

std::optional<WindowPlacement> AppSettings::ReadWindowPlacement() const {
  const QRect rect = store_->value(kWindowRect).toRect();
  if (!rect.isValid()) return std::nullopt;
  return WindowPlacement{rect, store_->value(kWindowMaximized, false).toBool()};
}

void AppSettings::WriteWindowPlacement(const WindowPlacement& placement) {
  store_->setValue(kWindowRect, placement.normal);
  store_->setValue(kWindowMaximized, placement.maximized);
}

QString AppSettings::IpAddress() const { return store_->value(kIpAddr).toString(); }
void AppSettings::SetIpAddress(const QString& address) { store_->setValue(kIpAddr, address); }
int AppSettings::IpPort() const { return store_->value(kIpPort, kDefaultPort).toInt(); }
void AppSettings::SetIpPort(int port) { store_->setValue(kIpPort, port); }

QStringList AppSettings::RecentFiles() const {
  QStringList files;
  for (int i = 1; i <= kRecentCount; ++i) {
    const QString f = store_->value(QStringLiteral("%1/File%2").arg(kRecentGroup).arg(i)).toString();
    if (!f.isEmpty()) files << f;
  }
  return files;
}

void AppSettings::AddRecentFile(const QString& path) {
  QStringList files = RecentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > kRecentCount) files.removeLast();
  store_->remove(kRecentGroup);
  for (int i = 0; i < files.size(); ++i) {
    store_->setValue(QStringLiteral("%1/File%2").arg(kRecentGroup).arg(i + 1), files[i]);
  }
}

void AppSettings::Sync() { store_->sync(); }

}  // namespace ui
