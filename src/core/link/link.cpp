#include "core/link/link.h"

#include <algorithm>

#include "core/trace.h"

namespace core::link {

Link::Link() {
  state_.queue.SetOnEnqueue([this] { writer_.Wake(); });
}

Link::~Link() {
  writer_.Stop();
  state_.queue.SetOnEnqueue(nullptr);
}

void Link::SetTransport(LinkType type, Transport* transport) {
  (type == LinkType::Usb ? usb_ : tcp_) = transport;
}

Transport* Link::TransportFor(LinkType type) const {
  return type == LinkType::Usb ? usb_.load() : tcp_.load();
}

void Link::StartWriter(LinkType type) {
  writer_.Start([this, type](std::span<const std::uint8_t> body) { return WriteQueued(type, body); },
                [this] { return ReplyTimeout(); },
                type == LinkType::Tcp ? "NetWriteThreadProc" : "UsbWriteThreadProc");
}

void Link::StopWriter() { writer_.Stop(); }

int Link::WriteQueued(LinkType type, std::span<const std::uint8_t> body) {
  // From here on the reply event tells of this frame's answer.
  state_.replyEvent.Reset();
  return type == LinkType::Usb ? WriteUsbData(body, false) : NetSend(body);
}

void Link::ReplyReceived() {
  state_.replyEvent.Set();
  writer_.AnswerReceived();
}

void Link::InitLinkEvents() {
  state_.replyEvent.Set();
  state_.readerEndedEvent.Reset();
}

int Link::SendParamFrame(std::uint8_t module, std::uint8_t param, std::span<const Word> words) {
  const auto frame = BuildParamFrame(ActiveType(), module, param, words);
  if (!frame) {
    Trace("SendParamFrame: word count out of range, frame dropped");
    return 0;
  }
  return RouteFrame(frame->Body(), true);
}

int Link::SendCommandBytes(std::span<const std::uint8_t> bytes) {
  const LinkFrame frame = BuildCommandFrame(ActiveType(), bytes);
  return RouteFrame(frame.Body(), true);
}

int Link::SendBlockWrite(std::uint8_t command, std::uint8_t offsetHigh, std::uint8_t offsetLow,
                         std::span<const std::uint8_t> data) {
  const auto frame = BuildBlockWriteFrame(ActiveType(), command, offsetHigh, offsetLow, data);
  if (!frame) {
    Trace("SendBlockWrite: more data than one frame carries, frame dropped");
    return 0;
  }
  RouteFrame(frame->Body(), true);
  return 0;
}

int Link::RouteFrame(std::span<const std::uint8_t> body, bool synchronous) {
  const LinkType type = ActiveType();
  if (!QueueEnabled()) {
    if (type == LinkType::Usb) return WriteUsbData(body, synchronous);
    if (synchronous) {
      NetSendSync(body);
    } else {
      NetSend(body);
    }
    return 0;
  }
  if (!state_.open.load()) return 0;
  if (type == LinkType::Usb && state_.readerEnded.load()) {
    Trace("g_bReadThreadEnd == TRUE ,WriteUsbData return \n");
    return 0;
  }
  state_.queue.Enqueue(MakeQueueKey(type, body), body);
  return 0;
}

void Link::SetSynchronousSends(bool on) {
  if (on) {
    syncSends_.fetch_or(kSyncSwitch);
  } else {
    syncSends_.fetch_and(~kSyncSwitch);
  }
}

void Link::HoldSynchronousSends() { syncSends_.fetch_add(1); }

void Link::ReleaseSynchronousSends() {
  std::uint32_t v = syncSends_.load();
  while ((v & ~kSyncSwitch) != 0 && !syncSends_.compare_exchange_weak(v, v - 1)) {
  }
}

void Link::WaitForReply(const char* timeoutTrace) {
  if (state_.replyEvent.WaitFor(ReplyTimeout())) {
    consecutiveTimeouts_ = 0;
  } else {
    ++consecutiveTimeouts_;
    Trace(timeoutTrace);
  }
}

bool Link::AwaitLastAnswer(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  if (!writer_.WaitIdle(deadline)) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  if (!state_.replyEvent.WaitFor(std::max(left, std::chrono::milliseconds(0)))) return false;
  state_.replyEvent.Set();
  return true;
}

int Link::WriteUsbData(std::span<const std::uint8_t> body, bool synchronous) {
  if (!state_.open.load()) return 0;
  if (state_.readerEnded.load()) {
    Trace("g_bReadThreadEnd == TRUE ,WriteUsbData return \n");
    return 0;
  }
  if (synchronous) WaitForReply("WaitForSingleObject Time Out \r\n ");
  Transport* t = TransportFor(LinkType::Usb);
  int written = 0;
  {
    std::lock_guard lock(state_.linkLock);
    if (t != nullptr) written = t->Write(body);
  }
  if (written != static_cast<int>(kUsbReportSize)) Trace("usb数据写入出错");
  return written;
}

int Link::NetSendSync(std::span<const std::uint8_t> body) {
  if (!state_.open.load()) return 0;
  WaitForReply("NetSendSync WaitObject Time Out \r\n ");
  std::lock_guard lock(state_.linkLock);
  return NetSend(body);
}

int Link::NetSend(std::span<const std::uint8_t> body) {
  if (!state_.open.load()) return 0;
  Transport* t = TransportFor(LinkType::Tcp);
  return t != nullptr ? t->Write(body) : 0;
}

}  // namespace core::link
