#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "core/link/transport.h"

namespace core::link {

// A transport that keeps what it is given instead of writing it: the bodies,
// the bytes that would have gone on the wire, and when. Tests and the
// command-line tool's dry runs use it.
class RecordingTransport final : public Transport {
 public:
  struct Record {
    std::vector<std::uint8_t> body;
    std::vector<std::uint8_t> wire;  // the USB report or the TCP envelope
    std::chrono::steady_clock::time_point at;
  };

  explicit RecordingTransport(LinkType type) : type_(type) {}

  LinkType Type() const override { return type_; }
  int Write(std::span<const std::uint8_t> body) override;

  // Makes every later write fail (return 0) without recording it.
  void SetFailing(bool failing);
  // Called after each recorded write, outside the transport's lock; a test
  // uses it to answer, for example by releasing the reply event.
  void SetOnWrite(std::function<void(const Record&)> onWrite);

  std::vector<Record> Records() const;
  std::vector<std::vector<std::uint8_t>> Bodies() const;
  std::size_t Count() const;
  void Clear();

 private:
  const LinkType type_;
  mutable std::mutex mutex_;
  std::vector<Record> records_;
  bool failing_ = false;
  std::function<void(const Record&)> onWrite_;
};

}  // namespace core::link
