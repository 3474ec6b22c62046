#include "core/link/link_writer.h"

#include "core/trace.h"

namespace core::link {

LinkWriter::~LinkWriter() { Stop(); }

void LinkWriter::Start(WriteFn write, TimeoutFn replyTimeout, std::string name) {
  Stop();
  std::lock_guard threadLock(threadMutex_);
  {
    std::lock_guard lock(mutex_);
    running_ = true;
    writing_ = false;
    awaitingReply_ = false;
  }
  thread_ = std::thread([this, write = std::move(write), replyTimeout = std::move(replyTimeout),
                         name = std::move(name)]() mutable {
    WriteThreadProc(std::move(write), std::move(replyTimeout), std::move(name));
  });
}

void LinkWriter::Stop() {
  std::lock_guard threadLock(threadMutex_);
  {
    std::lock_guard lock(mutex_);
    running_ = false;
  }
  cv_.notify_all();
  if (!thread_.joinable()) return;
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();  // the thread asking for its own end: it leaves after this
  } else {
    thread_.join();
  }
}

bool LinkWriter::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

void LinkWriter::Wake() {
  bool waiting;
  {
    std::lock_guard lock(mutex_);
    waiting = waitingForFrames_;
  }
  // A thread that waits for an answer takes the frame when that comes:
  // waking it would only cost the caller a system call.
  if (waiting) cv_.notify_all();
}

void LinkWriter::AnswerReceived() {
  {
    std::lock_guard lock(mutex_);
    awaitingReply_ = false;
  }
  cv_.notify_all();
}

bool LinkWriter::IdleLocked() const { return !writing_ && !awaitingReply_ && queue_.Empty(); }

bool LinkWriter::WaitIdle(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  return cv_.wait_until(lock, deadline, [&] { return !running_ || IdleLocked(); });
}

void LinkWriter::WriteThreadProc(WriteFn write, TimeoutFn replyTimeout, std::string name) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point sentAt{};
  std::unique_lock lock(mutex_);
  while (running_) {
    if (awaitingReply_) {
      // One frame at a time: the next goes after the answer, or after the
      // reply timeout when none comes.
      cv_.wait_until(lock, sentAt + replyTimeout(), [&] { return !awaitingReply_ || !running_; });
      awaitingReply_ = false;
      cv_.notify_all();  // WaitIdle
    }
    waitingForFrames_ = true;
    cv_.wait(lock, [&] { return !queue_.Empty() || !running_; });
    waitingForFrames_ = false;
    if (!running_) break;
    const auto frame = queue_.TakeFront();
    if (!frame) continue;
    // Marked before the write: the answer may be dispatched before the
    // write call returns.
    writing_ = true;
    awaitingReply_ = true;
    sentAt = Clock::now();
    lock.unlock();
    const int written = write(frame->Body());
    lock.lock();
    writing_ = false;
    if (written <= 0) awaitingReply_ = false;
    cv_.notify_all();
  }
  lock.unlock();
  Trace("End thread: " + name + " \n");
}

}  // namespace core::link
