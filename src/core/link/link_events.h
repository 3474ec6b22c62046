#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace core::link {

// What the link, the synchronisation runs and the plug runs report to the
// user interface. Called on the link's own threads: an implementation that
// touches widgets queues the call onto its GUI thread. Every method has an
// empty default so that a listener implements only what it needs.
class LinkEvents {
 public:
  virtual ~LinkEvents() = default;

  // A remote-control key was learnt. Called synchronously: the receiving
  // thread waits until it returns.
  virtual void RemoteKeyLearnt(std::uint8_t /*code*/) {}
  // A synchronisation run ended: 0 after a read-all, 1 after a write-all.
  virtual void SyncDone(int /*afterWrite*/) {}
  // The TCP link fell silent and was closed.
  virtual void LinkLost() {}
  // The processor is serving another client.
  virtual void HostBusy() {}
  // The processor rejected a command (shown once per run). The receiving
  // thread waits until it returns, as behind a message box.
  virtual void DeviceError(std::uint8_t /*code*/, std::uint8_t /*command1*/,
                           std::uint8_t /*command2*/) {}
  // A USB processor appeared or went away (device node path).
  virtual void DeviceArrived(const std::string& /*path*/) {}
  virtual void DeviceRemoved(const std::string& /*path*/) {}
  // Progress of a smart-plug run: message 3024 or 3025 with its two values.
  virtual void PlugProgress(int /*message*/, int /*wParam*/, long /*lParam*/) {}
};

// Where the receiving thread hands smart-plug traffic: serial frames
// (code 0x12) and plug-memory blocks (code 0x14), the whole dispatched
// buffer each time.
class PlugFrameSink {
 public:
  virtual ~PlugFrameSink() = default;
  virtual void PlugFrame(std::span<const std::uint8_t> buffer) = 0;
  virtual void PlugStoreBlock(std::span<const std::uint8_t> buffer) = 0;
};

}  // namespace core::link
