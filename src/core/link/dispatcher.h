#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

#include "core/link/device_records.h"
#include "core/link/link.h"
#include "core/link/link_events.h"
#include "core/params/param_model.h"

namespace core::link {

// Acts on every frame the processor sends, over either transport: stores
// its payload in the device records, the image or the store, tells the
// user interface, and releases the next synchronous sender. Runs on the
// receiving thread. Never sends anything itself.
//
// Nothing a processor sends is written outside its destination: blocks and
// texts are cut to what fits, key numbers and modes outside their records
// are dropped.
class Dispatcher {
 public:
  Dispatcher(Link& link, params::ParamModel& model, DeviceRecords& records)
      : link_(link), model_(model), records_(records) {}

  // Starts the delayed read-all asked for by answers 0x05 and 0x06.
  void SetReadAllStarter(std::function<void()> start) { startReadAll_ = std::move(start); }
  // Receives the smart-plug traffic; without one it is dropped.
  void SetPlugSink(PlugFrameSink* sink) { plugSink_ = sink; }

  // `frame`: index 0 the prefix (USB report id or TCP prefix), index 1 the
  // command, then the payload, exactly the bytes that arrived (for TCP
  // without the checksum). `length` is what the transport reports (61 on
  // USB, the envelope's length byte on TCP); only code 0x7F looks at it.
  void DispatchFrame(std::span<const std::uint8_t> frame, std::size_t length);

 private:
  void HandleStoreBlock(std::span<const std::uint8_t> f);
  void CopyText(std::span<const std::uint8_t> f, DeviceIdentity& id, std::uint8_t command);

  Link& link_;
  params::ParamModel& model_;
  DeviceRecords& records_;
  std::function<void()> startReadAll_;
  PlugFrameSink* plugSink_ = nullptr;
};

}  // namespace core::link
