#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <string>

class QTimer;

namespace core {
class Session;
}

namespace ui {

class CRV4470v13App;
class CRV4470v13View;

// Connecting and what follows: the start-up USB attempt (timer 1), the
// network connect, device arrival and removal, the read-all after each
// connection, the end of a synchronisation with its protocol check, the
// status poll (timer 3), and the link's notices (host busy, link lost,
// device errors).
class ConnectionController : public QObject {
  Q_OBJECT
 public:
  static constexpr int kStartupDelayMs = 250;
  static constexpr int kStatusPollMs = 500;

  ConnectionController(CRV4470v13App& app, CRV4470v13View& view);

  // Starts the start-up USB attempt when the application asks for one.
  void FrameReady();
  // The start-up attempt (timer 1).
  void StartupConnect();
  // The connect dialog's attempt: 1 connected, else the error code.
  int ConnectNetwork(const QString& address, int port);

  void OnSyncDone(int afterWrite);
  void OnLinkLost();
  void OnHostBusy();
  void OnDeviceError(std::uint8_t code, std::uint8_t command1, std::uint8_t command2);
  void OnDeviceArrived(const std::string& path);
  void OnDeviceRemoved(const std::string& path);

  // The network host said it serves another client; cleared by every new
  // connection.
  bool HostBusy() const { return hostBusy_; }
  bool StatusPollActive() const;

 private:
  void AfterConnect(int balloonMs);
  void StopStatusTimers();
  void NoticeUsbPermission();
  void PollStatus();

  CRV4470v13App& app_;
  CRV4470v13View& view_;
  core::Session& session_;
  QTimer* startup_;
  QTimer* statusPoll_;
  bool hostBusy_ = false;
  bool errorBoxAllowed_ = true;
  bool permissionNoticeShown_ = false;
};

}  // namespace ui
