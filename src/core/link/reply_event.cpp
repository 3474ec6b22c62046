#include "core/link/reply_event.h"

namespace core::link {

void AutoResetEvent::Set() {
  {
    std::lock_guard lock(mutex_);
    signalled_ = true;
  }
  cv_.notify_one();
}

void AutoResetEvent::Reset() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

bool AutoResetEvent::WaitFor(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!cv_.wait_for(lock, timeout, [this] { return signalled_; })) return false;
  signalled_ = false;
  return true;
}

bool AutoResetEvent::IsSet() const {
  std::lock_guard lock(mutex_);
  return signalled_;
}

}  // namespace core::link
