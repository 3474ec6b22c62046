#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "core/link/frames.h"

namespace core::link {

// The TCP write queue. A frame queued while another with the same key is
// still waiting replaces that one in place, so a burst of slider steps of
// one parameter leaves only the latest value; different keys keep their
// order. Coalescing can be switched off for bursts whose every frame must
// arrive.
class WriteQueue {
 public:
  void Enqueue(const QueueKey& key, std::span<const std::uint8_t> body);
  std::optional<LinkFrame> TakeFront();
  void Clear();
  std::size_t Size() const;
  bool Empty() const { return Size() == 0; }

  void SetCoalescing(bool on);
  bool Coalescing() const;

  // Called after every Enqueue, outside the queue's lock: the write
  // thread's wake-up.
  void SetOnEnqueue(std::function<void()> onEnqueue);

  // The queued bodies, front first.
  std::vector<LinkFrame> Snapshot() const;

 private:
  struct Entry {
    QueueKey key;
    LinkFrame body;
  };
  mutable std::mutex mutex_;
  std::deque<Entry> entries_;
  bool coalescing_ = true;
  std::function<void()> onEnqueue_;
};

}  // namespace core::link
