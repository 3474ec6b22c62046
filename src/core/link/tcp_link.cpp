#include "core/link/tcp_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/link/commands.h"
#include "core/trace.h"

namespace core::link {
namespace {

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Keeps 0 and 1 free for the two result codes of their own.
int ConnectError(int err) { return err == 0 || err == 1 ? EACCES : err; }

bool ResolveIpv4(const std::string& address, std::uint16_t port, sockaddr_in& out) {
  std::memset(&out, 0, sizeof out);
  out.sin_family = AF_INET;
  out.sin_port = htons(port);
  if (inet_pton(AF_INET, address.c_str(), &out.sin_addr) == 1) return true;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(address.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  out.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return true;
}

}  // namespace

class TcpLink::RxSink final : public Reassembler::Sink {
 public:
  explicit RxSink(TcpLink& tcp) : tcp_(tcp) {}
  void Heartbeat() override {
    tcp_.SendRaw(
        {reinterpret_cast<const std::uint8_t*>(kHeartbeatText.data()), kHeartbeatText.size()});
    tcp_.TouchReceiveTime();
  }
  void HostBusy() override { tcp_.link_.Events().HostBusy(); }
  // The dispatcher releases the write thread (Link::ReplyReceived).
  void Frame(std::span<const std::uint8_t> frame, std::size_t length) override {
    tcp_.dispatcher_.DispatchFrame(frame, length);
  }
  void ChecksumError() override {}

 private:
  TcpLink& tcp_;
};

TcpLink::TcpLink(Link& link, Dispatcher& dispatcher, DeviceRecords& records)
    : link_(link), dispatcher_(dispatcher), records_(records) {}

TcpLink::~TcpLink() {
  TcpClose(false);
  JoinOtherThreads();
}

void TcpLink::TouchReceiveTime() { lastReceiveMs_ = NowMs(); }

int TcpLink::TcpConnect(const std::string& address, std::uint16_t port,
                        std::chrono::milliseconds timeout) {
  TcpClose(false);
  JoinOtherThreads();
  link_.State().queue.Clear();
  missCounter_ = 0;
  link_.InitLinkEvents();

  sockaddr_in addr{};
  if (!ResolveIpv4(address, port, addr)) {
    Trace("TcpConnect: cannot resolve " + address);
    return EADDRNOTAVAIL;
  }
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    Trace("Socket() error:" + std::to_string(errno));
    return kTcpSocketFailed;
  }
  int err = 0;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    err = errno;
    if (err == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
      if (ready == 0) {
        err = ETIMEDOUT;
      } else if (ready < 0) {
        err = errno;
      } else {
        socklen_t len = sizeof err;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
      }
    }
  }
  if (err != 0) {
    ::close(fd);
    return ConnectError(err);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

  {
    std::lock_guard lock(fdMutex_);
    fd_ = fd;
  }
  reassembler_.Clear();
  TouchReceiveTime();
  link_.State().readerEnded = false;
  running_ = true;
  link_.State().open = true;
  link_.StartWriter(LinkType::Tcp);
  std::lock_guard lock(threadsMutex_);
  threads_.emplace_back([this] { RecvThreadProc(); });
  threads_.emplace_back([this] { NetTimeoutThreadProc(); });
  return kTcpConnected;
}

void TcpLink::TcpClose(bool sendNotice) {
  if (sendNotice && running_.load()) {
    // Sent straight away rather than queued, so that it is on the wire
    // before the socket closes; the write thread ends first, so that
    // nothing follows it.
    link_.StopWriter();
    const std::uint8_t notice[] = {kTcpPrefix, cmd::kDisconnect};
    Write(notice);
  }
  Stop();
  JoinOtherThreads();
}

// Marks the link closed once, whoever gets here first, and wakes every
// thread; the receive thread closes the socket on its way out.
void TcpLink::Stop() {
  if (!running_.exchange(false)) return;
  link_.State().open = false;
  records_.ClearStatus();
  {
    std::lock_guard lock(fdMutex_);
    if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
  }
  link_.StopWriter();
  link_.State().queue.Clear();
  missCounter_ = 0;
  { std::lock_guard lock(watchdogMutex_); }
  watchdogCv_.notify_all();
}

void TcpLink::JoinOtherThreads() {
  std::vector<std::thread> joinable;
  {
    std::lock_guard lock(threadsMutex_);
    const auto self = std::this_thread::get_id();
    for (auto it = threads_.begin(); it != threads_.end();) {
      if (it->get_id() == self) {
        ++it;
      } else {
        joinable.push_back(std::move(*it));
        it = threads_.erase(it);
      }
    }
  }
  for (std::thread& t : joinable) t.join();
}

int TcpLink::SendRaw(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(fdMutex_);
  if (fd_ < 0) return 0;
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return 0;
    sent += static_cast<std::size_t>(n);
  }
  return static_cast<int>(sent);
}

int TcpLink::Write(std::span<const std::uint8_t> body) {
  const TcpEnvelope envelope = MakeTcpEnvelope(body);
  return SendRaw(envelope.Bytes());
}

void TcpLink::RecvThreadProc() {
  link_.State().readerEnded = false;
  Trace("start thread: ReadUsbThreadProc \n");
  link_.State().readerEndedEvent.Reset();
  RxSink sink(*this);
  while (running_.load()) {
    if (!NetRecv(sink)) {
      // The status poll looks at readerEnded as well: none goes to a
      // dead link.
      link_.State().readerEnded = true;
      link_.ReplyReceived();
      break;
    }
  }
  link_.State().readerEndedEvent.Set();
  Stop();
  {
    std::lock_guard lock(fdMutex_);
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  Trace("End thread: RecvThreadProc \n");
}

bool TcpLink::NetRecv(RxSink& sink) {
  int fd;
  {
    std::lock_guard lock(fdMutex_);
    fd = fd_;
  }
  std::uint8_t chunk[Reassembler::kCapacity];
  ssize_t n;
  do {
    n = ::recv(fd, chunk, sizeof chunk, 0);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) {
    Trace("NetRecv Error \n");
    return false;
  }
  TouchReceiveTime();
  const Reassembler::Result r =
      reassembler_.Feed(std::span<const std::uint8_t>(chunk, static_cast<std::size_t>(n)), sink);
  if (r.moreAfterFrame) missCounter_ = 0;
  return true;
}

void TcpLink::NetTimeoutThreadProc() {
  while (running_.load()) {
    {
      std::unique_lock lock(watchdogMutex_);
      watchdogCv_.wait_for(lock, std::chrono::milliseconds(100), [&] { return !running_.load(); });
    }
    if (!running_.load()) break;
    if (NowMs() - lastReceiveMs_.load() > kSilenceLimit.count() && ++missCounter_ > kMaxMisses) {
      TcpClose(false);
      link_.Events().LinkLost();
      break;
    }
  }
  Trace("End thread: NetTimeoutThreadProc \n");
}

}  // namespace core::link
