#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "ui/app/window_placement.h"
#include "ui/shell/page_state.h"

class QSettings;

namespace ui {

// The per-user settings: section "Workspace" with "language" (int, 0),
// "ApplicationLook" (int, 215), "QtOption" (8 bytes), "IPAddr" (text),
// "IPPort" (int, 30303), the recent-file list (10 entries) and the main
// window's place.
class AppSettings {
 public:
  static constexpr int kDefaultLook = 215;
  static constexpr int kRecentCount = 10;
  static constexpr std::uint16_t kDefaultPort = 30303;
  static constexpr char kDefaultAddress[] = "192.168.1.100";

  // The user's store: organisation "NR620 V1.0", application "dsptuner".
  AppSettings();
  // An INI file at `path` (tests).
  explicit AppSettings(const QString& path);
  ~AppSettings();
  AppSettings(const AppSettings&) = delete;
  AppSettings& operator=(const AppSettings&) = delete;

  int Language() const;
  void SetLanguage(int language);
  int ApplicationLook() const;
  void SetApplicationLook(int look);
  // The first 8 bytes of a stored blob; the defaults when it is absent or
  // shorter (and they are not written back).
  LinkOptions ReadLinkOptions() const;
  bool WriteLinkOptions(const LinkOptions& options);
  // The main window's place when it last closed; nothing before the first
  // close or when the stored rectangle is unusable.
  std::optional<WindowPlacement> ReadWindowPlacement() const;
  void WriteWindowPlacement(const WindowPlacement& placement);
  // Empty when absent.
  QString IpAddress() const;
  void SetIpAddress(const QString& address);
  int IpPort() const;
  void SetIpPort(int port);

  QStringList RecentFiles() const;
  // Moves `path` to the front, keeping at most 10 distinct entries.
  void AddRecentFile(const QString& path);

  QSettings& Store() { return *store_; }
  void Sync();

 private:
  std::unique_ptr<QSettings> store_;
};

}  // namespace ui
