#pragma once

// A plain POSIX TCP client for talking to the simulator in tests, and a
// reader of what the simulator sends, independent of the server's code.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/link/commands.h"
#include "core/link/frames.h"

namespace sim::testing {

using Bytes = std::vector<std::uint8_t>;
using std::chrono::milliseconds;

// The envelope the application sends for one request body (command, payload).
inline Bytes Envelope(const Bytes& body, std::uint8_t prefix = core::link::kTcpPrefix) {
  Bytes inner = {prefix};
  inner.insert(inner.end(), body.begin(), body.end());
  const auto e = core::link::MakeTcpEnvelope(inner);
  return Bytes(e.Bytes().begin(), e.Bytes().end());
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline const Bytes kHeartbeatBytes = {'$', 'H', 'B', '$'};

// What arrived from the simulator, taken apart.
struct Received {
  std::vector<Bytes> answers;     // good envelopes: command, payload (prefix and checksum off)
  std::vector<Bytes> badAnswers;  // the same for envelopes with a wrong checksum
  int heartbeats = 0;
  Bytes other;             // bytes that are neither
  bool prefixesOk = true;  // every envelope carried 0x81
};

inline Received Split(const Bytes& stream) {
  Received r;
  std::size_t i = 0;
  while (i < stream.size()) {
    const std::span<const std::uint8_t> rest(stream.data() + i, stream.size() - i);
    if (rest.size() >= 4 && Bytes(rest.begin(), rest.begin() + 4) == kHeartbeatBytes) {
      ++r.heartbeats;
      i += 4;
      continue;
    }
    core::link::EnvelopeView view;
    const auto result = core::link::ParseTcpEnvelope(rest, view);
    if ((result == core::link::EnvelopeResult::Ok ||
         result == core::link::EnvelopeResult::BadChecksum) &&
        view.frame.size() >= 2) {
      r.prefixesOk = r.prefixesOk && view.frame[0] == core::link::kTcpPrefix;
      Bytes body(view.frame.begin() + 1, view.frame.end() - 1);
      (result == core::link::EnvelopeResult::Ok ? r.answers : r.badAnswers).push_back(body);
      i += view.envelopeSize;
      continue;
    }
    r.other.push_back(stream[i++]);
  }
  return r;
}

class TestClient {
 public:
  TestClient() = default;
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;
  ~TestClient() { Close(); }

  bool Connect(std::uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
  }

  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  bool Send(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<std::size_t>(n);
    }
    return true;
  }

  // Reads until `enough` holds for what has arrived, the peer closes, or
  // the timeout passes.
  Bytes ReadUntil(const std::function<bool(const Bytes&)>& enough, milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    Bytes got;
    while (!enough(got)) {
      const auto left =
          std::chrono::duration_cast<milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) break;
      std::uint8_t buf[512];
      const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
      if (n <= 0) {
        closedByPeer_ = true;
        break;
      }
      got.insert(got.end(), buf, buf + n);
    }
    return got;
  }

  // Everything that arrives within `time`.
  Bytes ReadFor(milliseconds time) {
    return ReadUntil([](const Bytes&) { return false; }, time);
  }

  // Reads until `count` good or bad answer envelopes have arrived.
  Received ReadAnswers(std::size_t count, milliseconds timeout = milliseconds(3000)) {
    return Split(ReadUntil(
        [count](const Bytes& b) {
          const Received r = Split(b);
          return r.answers.size() + r.badAnswers.size() >= count;
        },
        timeout));
  }

  // True when the peer closes (or resets) within the timeout; data before
  // that is collected in `before`.
  bool WaitClosed(milliseconds timeout, Bytes* before = nullptr) {
    closedByPeer_ = false;
    Bytes got = ReadFor(timeout);
    if (before) *before = got;
    return closedByPeer_;
  }

  int Fd() const { return fd_; }

 private:
  int fd_ = -1;
  bool closedByPeer_ = false;
};

}  // namespace sim::testing
