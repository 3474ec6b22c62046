#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace core::link {

// An auto-reset event: Set releases exactly one waiter (or the next one to
// wait), which resets it.
class AutoResetEvent {
 public:
  explicit AutoResetEvent(bool signalled) : signalled_(signalled) {}
  AutoResetEvent(const AutoResetEvent&) = delete;
  AutoResetEvent& operator=(const AutoResetEvent&) = delete;

  void Set();
  void Reset();
  // True when the event was (or became) signalled within the timeout; the
  // wait consumes the signal.
  bool WaitFor(std::chrono::milliseconds timeout);
  bool IsSet() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool signalled_;
};

}  // namespace core::link
