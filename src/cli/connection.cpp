#include "cli/connection.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <thread>

namespace cli {

using namespace std::chrono_literals;

namespace {
constexpr int kGiveUpAfterTimeouts = 3;
}  // namespace

Connection::Connection(const HostPort& host) : host_(host) {
  session_.SetEvents(this);
  // Every request waits for the answer to the one before.
  session_.SetSynchronousSends(true);
}

Connection::~Connection() {
  session_.Disconnect(session_.IsOpen());
  session_.Sync().JoinAll();
  session_.SetEvents(nullptr);
}

bool Connection::Connect() {
  if (host_.usb) return OpenUsbLink();
  const int r = session_.ConnectNetwork(host_.host, host_.port);
  if (r != core::link::kTcpConnected) {
    Error("cannot connect to " + Where() + ": " +
          (r == core::link::kTcpSocketFailed ? std::string("no socket") : std::strerror(r)));
    return false;
  }
  return true;
}

bool Connection::OpenUsbLink() {
  if (session_.ConnectUsbDevice() == 1) return true;
  switch (session_.LastUsbOpenResult()) {
    case core::link::UsbOpenResult::PermissionDenied:
      Error(std::string("a processor is plugged in, but this user may not open it; install "
                        "the udev rule: ") +
            core::link::kUdevRuleInstallHint);
      break;
    case core::link::UsbOpenResult::OpenFailed:
      Error("the processor on USB could not be opened");
      break;
    default:
      Error("no processor found on USB (vendor 2010, product 1031)");
      break;
  }
  return false;
}

bool Connection::Identify() {
  session_.RequestIdentity();
  if (!session_.AwaitLastAnswer(kAnswerWait) || !session_.IsOpen()) return Failed("identify");
  return CheckProtocol();
}

bool Connection::CheckProtocol() {
  const int v = session_.Records().Identity().ProtocolVersion();
  if (v == core::link::kProtocolVersion) return true;
  Error(Where() + " speaks protocol version " + std::to_string(v) + "; this tool speaks " +
        std::to_string(core::link::kProtocolVersion));
  return false;
}

bool Connection::Failed(const std::string& what) {
  if (hostBusy_) {
    Error(Where() + " is connected to another client; disconnect it first");
  } else if (gaveUp_ || lost_ || session_.IsOpen()) {
    Error(Where() + " stopped answering (" + what + ")");
  } else {
    Error("the connection to " + Where() + " was lost (" + what + ")");
  }
  return false;
}

void Connection::WatchTransfer(const char* verb) {
  const bool terminal = ::isatty(STDERR_FILENO) != 0;
  session_.Sync().SetProgress([this, verb, terminal](int done, int total) {
    // A terminal sees the count move; a log gets the final line only.
    if (terminal || done == total) {
      std::fprintf(stderr, "%s%s %d/%d blocks", terminal ? "\r" : "", verb, done, total);
      if (done == total) std::fputc('\n', stderr);
      std::fflush(stderr);
    }
    if (session_.ConsecutiveReplyTimeouts() >= kGiveUpAfterTimeouts) {
      gaveUp_ = true;
      session_.Disconnect(false);
    }
  });
}

std::string Connection::Where() const {
  return host_.usb ? std::string("the USB processor")
                   : host_.host + ":" + std::to_string(host_.port);
}

bool Connection::WaitSyncDone(std::chrono::milliseconds timeout) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (syncDone_.load() == 0 && session_.IsOpen() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(10ms);
  }
  return syncDone_.load() > 0;
}

bool ReadEverything(Connection& c) {
  if (!c.Connect()) return false;
  c.WatchTransfer("read");
  c.session().Sync().ReadAll();
  if (!c.session().IsOpen() || c.GaveUp()) return c.Failed("read");
  if (!c.CheckProtocol()) return false;
  if (!c.session().AwaitLastAnswer(kAnswerWait)) return c.Failed("remote keys");
  return true;
}

}  // namespace cli
