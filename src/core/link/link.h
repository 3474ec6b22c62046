#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <span>

#include "core/link/frames.h"
#include "core/link/link_events.h"
#include "core/link/link_writer.h"
#include "core/link/poll_gate.h"
#include "core/link/reply_event.h"
#include "core/link/transport.h"
#include "core/link/write_queue.h"

namespace core::link {

inline constexpr std::chrono::milliseconds kReplyTimeout{2000};

// The state both transports share. Flags read and written by several
// threads are atomics; the events and the queue lock themselves.
struct LinkState {
  std::atomic<bool> networkMode{false};  // false: USB, true: TCP
  std::atomic<bool> open{false};
  AutoResetEvent replyEvent{true};        // paces synchronous sends
  AutoResetEvent readerEndedEvent{false};  // set when the receiving thread leaves
  std::atomic<bool> readerEnded{false};   // the receiving thread gave up on an error
  std::mutex linkLock;                    // held around every synchronous write
  WriteQueue queue;                       // carries the coalescing switch
};

// The send side of the device link: builds bodies for the active transport,
// routes them, and keeps the send discipline. With the write queue enabled
// (the normal state) a frame is queued and the caller returns at once; the
// link's write thread sends the queued frames one at a time, each after the
// answer to the one before, on either transport. With the queue disabled (a
// synchronisation run) a synchronous send waits at most the reply timeout
// for the answer to the previous message, then writes; an asynchronous send
// writes at once.
class Link {
 public:
  Link();
  ~Link();
  Link(const Link&) = delete;
  Link& operator=(const Link&) = delete;

  LinkState& State() { return state_; }
  const LinkState& State() const { return state_; }

  // Whether the status poll may run (see PollGate).
  PollGate& Gate() { return gate_; }
  const PollGate& Gate() const { return gate_; }

  LinkType ActiveType() const {
    return state_.networkMode.load() ? LinkType::Tcp : LinkType::Usb;
  }
  bool IsOpen() const { return state_.open.load(); }

  // The transports the router writes to (not owned). Either may be null.
  void SetTransport(LinkType type, Transport* transport);

  // Resets the events before a connect attempt: reply event signalled,
  // reader-ended event cleared.
  void InitLinkEvents();

  // How long a synchronous send, and the write thread, wait for the
  // previous answer.
  void SetReplyTimeout(std::chrono::milliseconds timeout) { replyTimeoutMs_ = timeout.count(); }
  std::chrono::milliseconds ReplyTimeout() const {
    return std::chrono::milliseconds(replyTimeoutMs_.load());
  }

  // The write thread of the open link: the transport of `type` starts it
  // once the link is open and stops it when the link closes. Queued frames
  // go to that transport (USB: the report write, refused after the reader
  // ended; TCP: one envelope).
  void StartWriter(LinkType type);
  void StopWriter();
  bool WriterRunning() const { return writer_.Running(); }

  // Builders. Each builds the body for the active transport and routes it
  // synchronously; each returns what the router returned.
  int SendParamFrame(std::uint8_t module, std::uint8_t param, std::span<const Word> words);
  int SendCommandBytes(std::span<const std::uint8_t> bytes);
  int SendCommandBytes(std::initializer_list<std::uint8_t> bytes) {
    return SendCommandBytes(std::span<const std::uint8_t>(bytes.begin(), bytes.size()));
  }
  int SendBlockWrite(std::uint8_t command, std::uint8_t offsetHigh, std::uint8_t offsetLow,
                     std::span<const std::uint8_t> data);

  // Queue enabled, either transport: enqueued while open (on USB also
  // while the reader lives), dropped otherwise; 0. Queue disabled: on USB
  // the report write, its byte count; on TCP the send, 0.
  int RouteFrame(std::span<const std::uint8_t> body, bool synchronous);

  // Synchronous sends skip the write queue: each waits on the calling
  // thread for the answer to the one before. A synchronisation run holds
  // them while it transfers (runs may overlap: each hold is counted, and a
  // release never ends another run's hold); the switch is for callers that
  // converse with the processor themselves (the command-line tool). The
  // write queue is in use while neither holds them.
  void SetSynchronousSends(bool on);
  void HoldSynchronousSends();
  void ReleaseSynchronousSends();
  bool QueueEnabled() const { return syncSends_.load() == 0; }

  // The USB report write: refused while closed or after the reader ended;
  // a synchronous write first waits for the previous answer.
  int WriteUsbData(std::span<const std::uint8_t> body, bool synchronous);
  // The synchronous TCP send: waits for the previous answer, then sends
  // under the link lock. 0 while closed.
  int NetSendSync(std::span<const std::uint8_t> body);
  // Sends one envelope at once.
  int NetSend(std::span<const std::uint8_t> body);

  // Called after every received frame has been handled: releases the next
  // synchronous sender and the write thread.
  void ReplyReceived();

  // Waits until the write queue is empty and its last frame answered, then
  // for the answer to the last message, without taking the signal away
  // from the next synchronous send. False after the timeout.
  bool AwaitLastAnswer(std::chrono::milliseconds timeout);
  // Synchronous sends in a row that found no answer to the one before.
  int ConsecutiveReplyTimeouts() const { return consecutiveTimeouts_.load(); }

  // Who hears about link events (not owned); a silent listener when unset.
  void SetEvents(LinkEvents* events) { events_ = events; }
  LinkEvents& Events() {
    LinkEvents* e = events_.load();
    return e != nullptr ? *e : silentEvents_;
  }

 private:
  Transport* TransportFor(LinkType type) const;
  void WaitForReply(const char* timeoutTrace);
  // The write thread's write: one queued body to the transport of `type`.
  int WriteQueued(LinkType type, std::span<const std::uint8_t> body);

  PollGate gate_;
  LinkState state_;
  std::atomic<Transport*> usb_{nullptr};
  std::atomic<Transport*> tcp_{nullptr};
  std::atomic<std::chrono::milliseconds::rep> replyTimeoutMs_{kReplyTimeout.count()};
  std::atomic<LinkEvents*> events_{nullptr};
  std::atomic<int> consecutiveTimeouts_{0};
  // The switch in the top bit, the runs' holds counted below it.
  static constexpr std::uint32_t kSyncSwitch = 0x80000000u;
  std::atomic<std::uint32_t> syncSends_{0};
  LinkEvents silentEvents_;
  LinkWriter writer_{state_.queue};  // last: its thread uses everything above
};

// Holds a link's synchronous sends from construction until Release or the
// end of its scope, whichever comes first.
class SynchronousSendsHold {
 public:
  explicit SynchronousSendsHold(Link& link) : link_(&link) { link.HoldSynchronousSends(); }
  ~SynchronousSendsHold() { Release(); }
  SynchronousSendsHold(const SynchronousSendsHold&) = delete;
  SynchronousSendsHold& operator=(const SynchronousSendsHold&) = delete;
  void Release() {
    if (link_ != nullptr) link_->ReleaseSynchronousSends();
    link_ = nullptr;
  }

 private:
  Link* link_;
};

}  // namespace core::link
