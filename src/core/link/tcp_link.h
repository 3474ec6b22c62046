#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/link/device_records.h"
#include "core/link/dispatcher.h"
#include "core/link/link.h"
#include "core/link/reassembler.h"
#include "core/link/transport.h"

namespace core::link {

inline constexpr std::uint16_t kDefaultTcpPort = 30303;
inline constexpr std::chrono::milliseconds kSilenceLimit{3000};
inline constexpr int kMaxMisses = 5;
inline constexpr std::chrono::milliseconds kConnectTimeout{5000};

// Result codes of TcpConnect besides the connect error itself.
inline constexpr int kTcpConnected = 1;
inline constexpr int kTcpSocketFailed = 0;

// A network processor: one IPv4 client connection with three threads while
// open. The receive thread reassembles envelopes, answers the heartbeat and
// runs the dispatcher; the link's write thread (started and stopped here)
// sends queued frames one at a time, each after the answer to the previous
// one (at most the reply timeout later); the watchdog closes a link that
// has been silent for too long.
class TcpLink final : public Transport {
 public:
  TcpLink(Link& link, Dispatcher& dispatcher, DeviceRecords& records);
  ~TcpLink() override;
  TcpLink(const TcpLink&) = delete;
  TcpLink& operator=(const TcpLink&) = delete;

  // 1 connected; 0 no socket could be made; otherwise the errno of the
  // failed connect (ETIMEDOUT when nothing answered in time; a failure
  // whose errno would read as 0 or 1 is reported as EACCES).
  int TcpConnect(const std::string& address, std::uint16_t port,
                 std::chrono::milliseconds timeout = kConnectTimeout);
  // Closes the link; with `sendNotice` the disconnect notice goes out first.
  // Safe to call twice, from any thread, also from inside a link callback.
  void TcpClose(bool sendNotice);

  bool Running() const { return running_.load(); }

  // Transport: wraps a body in an envelope and sends it at once.
  LinkType Type() const override { return LinkType::Tcp; }
  int Write(std::span<const std::uint8_t> body) override;

 private:
  class RxSink;

  void RecvThreadProc();
  bool NetRecv(RxSink& sink);
  void NetTimeoutThreadProc();
  void Stop();
  void JoinOtherThreads();
  int SendRaw(std::span<const std::uint8_t> bytes);
  void TouchReceiveTime();

  Link& link_;
  Dispatcher& dispatcher_;
  DeviceRecords& records_;

  std::atomic<bool> running_{false};
  std::mutex fdMutex_;  // guards fd_ and keeps each send whole
  int fd_ = -1;

  std::mutex watchdogMutex_;  // the silence watchdog's: only Stop
  std::condition_variable watchdogCv_;
  std::atomic<std::int64_t> lastReceiveMs_{0};
  std::atomic<int> missCounter_{0};

  std::mutex threadsMutex_;
  std::vector<std::thread> threads_;
  Reassembler reassembler_;  // receive thread only
};

}  // namespace core::link
