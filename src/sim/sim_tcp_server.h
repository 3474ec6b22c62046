#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>

#include "sim/envelope_reassembler.h"
#include "sim/processor_sim.h"

namespace sim {

struct ServerOptions {
  std::string bindAddress = "127.0.0.1";  // IPv4
  std::uint16_t port = 0;                 // 0: any free port, see Port()
  int heartbeatMs = 1000;                 // idle time before "$HB$"; 0: never
  int latencyMs = 0;                      // added before every answer
  // Fault switches.
  int silentAfterMs = -1;    // after this long into a connection, nothing is sent; -1: never
  int badChecksumEvery = 0;  // every Nth answer envelope carries a wrong checksum; 0: never
  int dropEvery = 0;         // every Nth answer is not sent; 0: never
};

struct ServerCounters {
  std::size_t clientsServed = 0;
  std::size_t clientsRefused = 0;
  std::size_t framesReceived = 0;
  std::size_t heartbeatsReceived = 0;
  std::size_t badChecksumsReceived = 0;
  std::size_t strayBytesReceived = 0;
  std::size_t answersSent = 0;      // bad-checksum ones included
  std::size_t answersDropped = 0;   // by drop-every
  std::size_t answersSilenced = 0;  // due while silent
  std::size_t badChecksumsSent = 0;
  std::size_t heartbeatsSent = 0;
  friend bool operator==(const ServerCounters&, const ServerCounters&) = default;
};

// Carries a ProcessorSim over TCP the way the processor's network module
// does: one client at a time, envelopes both ways, "$HB$" when the client
// is idle. One thread does all socket work; it waits in poll() on the
// sockets and a wake-up pipe, so Stop() and the setters take effect at once.
class SimTcpServer {
 public:
  // `sim` must outlive the server.
  explicit SimTcpServer(ProcessorSim& sim, ServerOptions options = {});
  ~SimTcpServer();
  SimTcpServer(const SimTcpServer&) = delete;
  SimTcpServer& operator=(const SimTcpServer&) = delete;

  // Binds, listens and starts the server thread. False, with the reason in
  // `error`, when the address is bad or cannot be bound, or when running.
  bool Start(std::string& error);
  // Closes every socket and ends the thread. Idempotent; Start may follow.
  void Stop();

  bool Running() const { return running_.load(); }
  std::uint16_t Port() const { return port_.load(); }  // the bound port once started
  bool HasClient() const { return hasClient_.load(); }
  ServerCounters Counters() const;

  // Closes the client's socket abruptly (a reset, as after a crash). The
  // server thread does it shortly after the call returns.
  void DisconnectClient();

  // Run-time switches; each takes effect for the answers that fall due after it.
  void SetHeartbeatMs(int ms);
  void SetLatencyMs(int ms);
  void SetSilentAfterMs(int ms);
  void SetBadChecksumEvery(int n);
  void SetDropEvery(int n);

 private:
  using Clock = std::chrono::steady_clock;

  void Run();
  void Wake();
  void AcceptClient();
  void ReceiveFromClient(Clock::time_point now);
  void Dispatch(const ReceivedFrame& frame, Clock::time_point now);
  void EmitDue(Clock::time_point now);
  void AppendAnswer(const Bytes& answer);
  bool Flush();
  void CloseClient(bool abrupt);
  int PollTimeoutMs(Clock::time_point now) const;
  bool Silent(Clock::time_point now) const;
  template <typename F>
  void Count(F change);

  ProcessorSim& sim_;
  const std::string bindAddress_;
  const std::uint16_t requestedPort_;

  std::atomic<int> heartbeatMs_;
  std::atomic<int> latencyMs_;
  std::atomic<int> silentAfterMs_;
  std::atomic<int> badChecksumEvery_;
  std::atomic<int> dropEvery_;

  std::atomic<bool> running_{false};
  std::atomic<bool> stop_{false};
  std::atomic<bool> disconnectRequested_{false};
  std::atomic<bool> hasClient_{false};
  std::atomic<std::uint16_t> port_{0};

  mutable std::mutex countersMutex_;
  ServerCounters counters_;

  std::mutex lifecycleMutex_;  // Start and Stop
  std::thread thread_;
  int wakeRead_ = -1, wakeWrite_ = -1;

  // Owned by the server thread while it runs.
  int listenFd_ = -1;
  int clientFd_ = -1;
  EnvelopeReassembler reassembler_;
  std::multimap<Clock::time_point, Bytes> dueAnswers_;  // equal times keep their order
  Bytes outgoing_;
  Clock::time_point connectedAt_{};
  Clock::time_point lastReceived_{};
  Clock::time_point lastHeartbeat_{};
  std::size_t answerIndex_ = 0;
};

}  // namespace sim
