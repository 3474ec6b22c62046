#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "core/link/write_queue.h"

namespace core::link {

// The write thread of an open link, one implementation for both
// transports. It takes the queued frames one at a time, each after the
// answer to the one before, or the reply timeout after it when no answer
// comes, and hands each to the write function the link gave it. Whoever
// queues a frame returns at once; only this thread waits for the
// processor.
class LinkWriter {
 public:
  // Writes one body; returns the bytes written. 0: nothing went out, so
  // no answer is awaited.
  using WriteFn = std::function<int(std::span<const std::uint8_t>)>;
  // How long to wait for an answer, read before every wait.
  using TimeoutFn = std::function<std::chrono::milliseconds()>;

  explicit LinkWriter(WriteQueue& queue) : queue_(queue) {}
  ~LinkWriter();
  LinkWriter(const LinkWriter&) = delete;
  LinkWriter& operator=(const LinkWriter&) = delete;

  // Starts the thread (stopping one still running first). `name` is the
  // thread's name in the trace line it writes when it ends.
  void Start(WriteFn write, TimeoutFn replyTimeout, std::string name);
  // Ends the thread and waits for it (unless called from it). What is
  // still queued stays queued; the link clears the queue when it closes.
  void Stop();
  bool Running() const;

  // A frame was queued.
  void Wake();
  // An answer arrived: the next frame may go.
  void AnswerReceived();

  // Waits until nothing is queued and the last frame written has been
  // answered or given up on. True at once while the thread is not running.
  // False when `deadline` passed first.
  bool WaitIdle(std::chrono::steady_clock::time_point deadline);

 private:
  void WriteThreadProc(WriteFn write, TimeoutFn replyTimeout, std::string name);
  bool IdleLocked() const;

  WriteQueue& queue_;
  mutable std::mutex mutex_;  // the flags below; the thread's waits
  std::condition_variable cv_;
  bool running_ = false;
  bool writing_ = false;        // a frame is taken and not yet written
  bool awaitingReply_ = false;  // the last frame written waits for its answer
  bool waitingForFrames_ = false;  // the thread waits for the queue to fill
  std::mutex threadMutex_;      // thread_, and Start/Stop against each other
  std::thread thread_;
};

}  // namespace core::link
