// A byte stream from the network, cut into chunks, through the envelope
// reassembler into the dispatcher.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/link/reassembler.h"
#include "core/session.h"

namespace {

struct Sink final : core::link::Reassembler::Sink {
  explicit Sink(core::Session& s) : session(s) {}
  void Heartbeat() override {}
  void HostBusy() override {}
  void Frame(std::span<const std::uint8_t> frame, std::size_t length) override {
    session.Dispatcher().DispatchFrame(frame, length);
  }
  void ChecksumError() override {}
  core::Session& session;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static core::Session* session = [] {
    auto* s = new core::Session;
    s->Dispatcher().SetReadAllStarter(nullptr);
    return s;
  }();
  core::link::Reassembler r;
  Sink sink(*session);
  std::size_t at = 0;
  while (at < size) {
    // Each chunk's length comes from the stream itself, up to a full read.
    const std::size_t n = 1 + data[at] % core::link::Reassembler::kCapacity;
    const std::size_t take = n < size - at ? n : size - at;
    r.Feed(std::span<const std::uint8_t>(data + at, take), sink);
    at += take;
  }
  return 0;
}
