// Any bytes a processor can send, handed to the dispatcher as one frame.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static core::Session* session = [] {
    auto* s = new core::Session;
    s->Dispatcher().SetReadAllStarter(nullptr);
    return s;
  }();
  // The first byte picks the length the transport reports.
  const std::size_t length = size > 0 ? data[0] : 0;
  session->Dispatcher().DispatchFrame(std::span<const std::uint8_t>(data, size), length);
  session->Records().SetErrorBoxShown(false);
  return 0;
}
