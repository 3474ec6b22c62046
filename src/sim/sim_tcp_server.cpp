#include "sim/sim_tcp_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "core/link/commands.h"
#include "core/link/frames.h"
#include "core/trace.h"

namespace sim {
namespace {

constexpr int kListenBacklog = 4;
constexpr int kMaxPollMs = 100;  // an upper bound only; every change wakes the thread
constexpr std::size_t kReceiveChunk = 4096;

std::string ErrnoText(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Sends what the socket takes now; the rest of a refusal text does not matter.
void SendNow(int fd, const void* data, std::size_t size) {
  [[maybe_unused]] const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
}

}  // namespace

SimTcpServer::SimTcpServer(ProcessorSim& sim, ServerOptions options)
    : sim_(sim),
      bindAddress_(std::move(options.bindAddress)),
      requestedPort_(options.port),
      heartbeatMs_(options.heartbeatMs),
      latencyMs_(options.latencyMs),
      silentAfterMs_(options.silentAfterMs),
      badChecksumEvery_(options.badChecksumEvery),
      dropEvery_(options.dropEvery) {}

SimTcpServer::~SimTcpServer() {
  Stop();
}

bool SimTcpServer::Start(std::string& error) {
  std::lock_guard lifecycle(lifecycleMutex_);
  if (thread_.joinable()) {
    error = "the server is already running";
    return false;
  }
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(requestedPort_);
  if (::inet_pton(AF_INET, bindAddress_.c_str(), &addr.sin_addr) != 1) {
    error = "not an IPv4 address: " + bindAddress_;
    return false;
  }
  const std::string where = bindAddress_ + ":" + std::to_string(requestedPort_);
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ < 0) {
    error = ErrnoText("socket");
    return false;
  }
  const int yes = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listenFd_, kListenBacklog) != 0) {
    error = ErrnoText(("cannot listen on " + where).c_str());
    CloseFd(listenFd_);
    return false;
  }
  sockaddr_in bound{};
  socklen_t len = sizeof bound;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &len);
  port_ = ntohs(bound.sin_port);

  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = ErrnoText("pipe");
    CloseFd(listenFd_);
    return false;
  }
  wakeRead_ = fds[0];
  wakeWrite_ = fds[1];
  stop_ = false;
  disconnectRequested_ = false;
  running_ = true;
  thread_ = std::thread(&SimTcpServer::Run, this);
  return true;
}

void SimTcpServer::Stop() {
  std::lock_guard lifecycle(lifecycleMutex_);
  if (!thread_.joinable()) return;
  stop_ = true;
  Wake();
  thread_.join();
  CloseFd(wakeRead_);
  CloseFd(wakeWrite_);
  running_ = false;
}

void SimTcpServer::Wake() {
  if (wakeWrite_ < 0) return;
  const std::uint8_t b = 1;
  [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &b, 1);  // a full pipe is awake anyway
}

void SimTcpServer::DisconnectClient() {
  std::lock_guard lifecycle(lifecycleMutex_);
  disconnectRequested_ = true;
  Wake();
}

void SimTcpServer::SetHeartbeatMs(int ms) {
  heartbeatMs_ = std::max(ms, 0);
  std::lock_guard lifecycle(lifecycleMutex_);
  Wake();
}
void SimTcpServer::SetLatencyMs(int ms) {
  latencyMs_ = std::max(ms, 0);
}
void SimTcpServer::SetSilentAfterMs(int ms) {
  silentAfterMs_ = std::max(ms, -1);
  std::lock_guard lifecycle(lifecycleMutex_);
  Wake();
}
void SimTcpServer::SetBadChecksumEvery(int n) {
  badChecksumEvery_ = std::max(n, 0);
}
void SimTcpServer::SetDropEvery(int n) {
  dropEvery_ = std::max(n, 0);
}

ServerCounters SimTcpServer::Counters() const {
  std::lock_guard lock(countersMutex_);
  return counters_;
}

template <typename F>
void SimTcpServer::Count(F change) {
  std::lock_guard lock(countersMutex_);
  change(counters_);
}

bool SimTcpServer::Silent(Clock::time_point now) const {
  const int after = silentAfterMs_.load();
  return after >= 0 && now - connectedAt_ >= std::chrono::milliseconds(after);
}

int SimTcpServer::PollTimeoutMs(Clock::time_point now) const {
  if (clientFd_ < 0) return kMaxPollMs;
  auto next = now + std::chrono::milliseconds(kMaxPollMs);
  if (!dueAnswers_.empty()) next = std::min(next, dueAnswers_.begin()->first);
  const int heartbeat = heartbeatMs_.load();
  if (heartbeat > 0 && !Silent(now)) {
    next = std::min(next,
                    std::max(lastReceived_, lastHeartbeat_) + std::chrono::milliseconds(heartbeat));
  }
  const int after = silentAfterMs_.load();
  if (after >= 0 && !Silent(now))
    next = std::min(next, connectedAt_ + std::chrono::milliseconds(after));
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now).count();
  return static_cast<int>(std::clamp<long long>(wait, 0, kMaxPollMs));
}

void SimTcpServer::Run() {
  while (!stop_.load()) {
    if (disconnectRequested_.exchange(false) && clientFd_ >= 0) CloseClient(true);

    std::array<pollfd, 3> fds{};
    fds[0] = {wakeRead_, POLLIN, 0};
    fds[1] = {listenFd_, POLLIN, 0};
    nfds_t count = 2;
    if (clientFd_ >= 0) {
      fds[2] = {clientFd_, static_cast<short>(POLLIN | (outgoing_.empty() ? 0 : POLLOUT)), 0};
      count = 3;
    }
    const int ready = ::poll(fds.data(), count, PollTimeoutMs(Clock::now()));
    if (ready < 0 && errno != EINTR) {
      core::Trace(ErrnoText("dsptuner-sim: poll"));
      break;
    }
    if (fds[0].revents & POLLIN) {
      std::array<std::uint8_t, 64> drain;
      while (::read(wakeRead_, drain.data(), drain.size()) > 0) {
      }
    }
    if (stop_.load()) break;
    if (fds[1].revents & POLLIN) AcceptClient();
    const auto now = Clock::now();
    if (count == 3 && clientFd_ >= 0 && (fds[2].revents & (POLLIN | POLLHUP | POLLERR))) {
      ReceiveFromClient(now);
    }
    if (clientFd_ >= 0) EmitDue(Clock::now());
    if (clientFd_ >= 0 && !outgoing_.empty() && !Flush()) CloseClient(false);
  }
  if (clientFd_ >= 0) CloseClient(false);
  CloseFd(listenFd_);
}

void SimTcpServer::AcceptClient() {
  const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (fd < 0) return;  // the peer gave up already, or a transient error
  if (clientFd_ >= 0) {
    Count([](ServerCounters& c) { ++c.clientsRefused; });  // counted before the client can see it
    SendNow(fd, core::link::kBusyText.data(), core::link::kBusyText.size());  // then closed
    ::shutdown(fd, SHUT_WR);
    // Whatever it already sent is read away so that closing sends no reset
    // ahead of the text.
    std::array<std::uint8_t, 256> drain;
    while (::recv(fd, drain.data(), drain.size(), MSG_DONTWAIT) > 0) {
    }
    ::close(fd);
    return;
  }
  const int yes = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  clientFd_ = fd;
  reassembler_.Reset();
  dueAnswers_.clear();
  outgoing_.clear();
  answerIndex_ = 0;
  connectedAt_ = lastReceived_ = lastHeartbeat_ = Clock::now();
  Count([](ServerCounters& c) { ++c.clientsServed; });
  hasClient_ = true;
}

void SimTcpServer::ReceiveFromClient(Clock::time_point now) {
  // One read per wake-up: poll is level-triggered, and a client that never
  // pauses must not keep the thread from Stop().
  std::array<std::uint8_t, kReceiveChunk> chunk;
  const ssize_t n = ::recv(clientFd_, chunk.data(), chunk.size(), 0);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
  if (n <= 0) {
    CloseClient(false);
    return;
  }
  lastReceived_ = now;
  for (const ReceivedFrame& frame :
       reassembler_.Feed(std::span(chunk.data(), static_cast<std::size_t>(n)))) {
    Dispatch(frame, now);
  }
  const ReassemblyCounters r = reassembler_.Counters();
  Count([&](ServerCounters& c) {
    c.framesReceived = r.frames;
    c.heartbeatsReceived = r.heartbeats;
    c.badChecksumsReceived = r.badChecksums;
    c.strayBytesReceived = r.strayBytes;
  });
}

void SimTcpServer::Dispatch(const ReceivedFrame& frame, Clock::time_point now) {
  std::optional<SimAnswer> answer;
  if (frame.prefix == core::link::kTcpPrefix) {
    answer = sim_.Handle(frame.body);
  } else if (frame.prefix == core::link::kTcpPlugPrefix) {
    answer = sim_.HandlePlugFrame(frame.body);
  } else {
    core::Trace("dsptuner-sim: envelope with unknown prefix dropped");
    return;
  }
  if (!answer) return;
  const auto due = now + std::chrono::milliseconds(latencyMs_.load()) + answer->delay;
  dueAnswers_.emplace(due, std::move(answer->body));
}

void SimTcpServer::EmitDue(Clock::time_point now) {
  const bool silent = Silent(now);
  while (!dueAnswers_.empty() && dueAnswers_.begin()->first <= now) {
    const Bytes answer = std::move(dueAnswers_.begin()->second);
    dueAnswers_.erase(dueAnswers_.begin());
    if (silent) {
      Count([](ServerCounters& c) { ++c.answersSilenced; });
    } else {
      AppendAnswer(answer);
    }
  }
  const int heartbeat = heartbeatMs_.load();
  if (!silent && heartbeat > 0 &&
      now - std::max(lastReceived_, lastHeartbeat_) >= std::chrono::milliseconds(heartbeat)) {
    outgoing_.insert(outgoing_.end(), core::link::kHeartbeatText.begin(),
                     core::link::kHeartbeatText.end());
    lastHeartbeat_ = now;
    Count([](ServerCounters& c) { ++c.heartbeatsSent; });
  }
}

void SimTcpServer::AppendAnswer(const Bytes& answer) {
  ++answerIndex_;
  const auto every = [this](const std::atomic<int>& n) {
    const int v = n.load();
    return v > 0 && answerIndex_ % static_cast<std::size_t>(v) == 0;
  };
  if (every(dropEvery_)) {
    Count([](ServerCounters& c) { ++c.answersDropped; });
    return;
  }
  Bytes body = {core::link::kTcpPrefix};
  body.insert(body.end(), answer.begin(), answer.end());
  core::link::TcpEnvelope envelope = core::link::MakeTcpEnvelope(body);
  const bool corrupt = every(badChecksumEvery_);
  if (corrupt) envelope.bytes[envelope.size - 1] ^= 0xFF;
  const auto bytes = envelope.Bytes();
  outgoing_.insert(outgoing_.end(), bytes.begin(), bytes.end());
  Count([corrupt](ServerCounters& c) {
    ++c.answersSent;
    if (corrupt) ++c.badChecksumsSent;
  });
}

bool SimTcpServer::Flush() {
  while (!outgoing_.empty()) {
    const ssize_t n = ::send(clientFd_, outgoing_.data(), outgoing_.size(), MSG_NOSIGNAL);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    outgoing_.erase(outgoing_.begin(), outgoing_.begin() + n);
  }
  return true;
}

void SimTcpServer::CloseClient(bool abrupt) {
  if (abrupt) {
    const linger reset{1, 0};
    ::setsockopt(clientFd_, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
  }
  CloseFd(clientFd_);
  dueAnswers_.clear();
  outgoing_.clear();
  reassembler_.Reset();
  hasClient_ = false;
}

}  // namespace sim
