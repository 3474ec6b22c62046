#include "core/link/write_queue.h"

#include <algorithm>

namespace core::link {

void WriteQueue::Enqueue(const QueueKey& key, std::span<const std::uint8_t> body) {
  LinkFrame frame;
  for (std::uint8_t b : body.first(std::min(body.size(), kMaxBodySize))) frame.Append(b);
  std::function<void()> onEnqueue;
  {
    std::lock_guard lock(mutex_);
    onEnqueue = onEnqueue_;
    auto it = coalescing_ ? std::find_if(entries_.begin(), entries_.end(),
                                         [&](const Entry& e) { return e.key == key; })
                          : entries_.end();
    if (it != entries_.end()) {
      it->body = frame;
    } else {
      entries_.push_back(Entry{key, frame});
    }
  }
  if (onEnqueue) onEnqueue();
}

void WriteQueue::SetOnEnqueue(std::function<void()> onEnqueue) {
  std::lock_guard lock(mutex_);
  onEnqueue_ = std::move(onEnqueue);
}

std::optional<LinkFrame> WriteQueue::TakeFront() {
  std::lock_guard lock(mutex_);
  if (entries_.empty()) return std::nullopt;
  LinkFrame f = entries_.front().body;
  entries_.pop_front();
  return f;
}

void WriteQueue::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
}

std::size_t WriteQueue::Size() const {
  std::lock_guard lock(mutex_);
  return entries_.size();
}

void WriteQueue::SetCoalescing(bool on) {
  std::lock_guard lock(mutex_);
  coalescing_ = on;
}

bool WriteQueue::Coalescing() const {
  std::lock_guard lock(mutex_);
  return coalescing_;
}

std::vector<LinkFrame> WriteQueue::Snapshot() const {
  std::lock_guard lock(mutex_);
  std::vector<LinkFrame> out;
  out.reserve(entries_.size());
  for (const Entry& e : entries_) out.push_back(e.body);
  return out;
}

}  // namespace core::link
