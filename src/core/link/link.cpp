#include "core/link/link.h"

#include "core/trace.h"

namespace core::link {

void Link::SetTransport(LinkType type, Transport* transport) {
  (type == LinkType::Usb ? usb_ : tcp_) = transport;
}

Transport* Link::TransportFor(LinkType type) const {
  return type == LinkType::Usb ? usb_ : tcp_;
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
  if (ActiveType() == LinkType::Usb) return WriteUsbData(body, synchronous);
  if (!state_.queueEnabled.load()) {
    if (synchronous) {
      NetSendSync(body);
    } else {
      NetSend(body);
    }
    return 0;
  }
  if (state_.open.load()) state_.queue.Enqueue(MakeQueueKey(body), body);
  return 0;
}

void Link::WaitForReply(const char* timeoutTrace) {
  if (state_.replyEvent.WaitFor(replyTimeout_)) {
    consecutiveTimeouts_ = 0;
  } else {
    ++consecutiveTimeouts_;
    Trace(timeoutTrace);
  }
}

bool Link::AwaitLastAnswer(std::chrono::milliseconds timeout) {
  if (!state_.replyEvent.WaitFor(timeout)) return false;
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
