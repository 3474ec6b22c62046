#pragma once

#include <atomic>
#include <cstdint>

namespace core::link {

// Whether the status poll (0E every 500 ms) may run. Whoever needs a quiet
// link holds the gate while it is active: a synchronisation run, a device
// mode load until the read-all it causes has started, the smart-plug dialog
// and the remote-learning dialog. The holders are kept apart, so that one
// holder's release never opens the gate for another that still holds it:
// runs are counted (they may overlap), the others are flags (holding twice
// and releasing once releases). The user's own switch closes it as well.
//
// Thread-safe: everything lives in one atomic word, so that Open() tells
// of one moment even while one holder hands over to another.
class PollGate {
 public:
  enum class Holder : std::uint8_t {
    SyncRun,          // counted
    ModeLoad,
    SmartPlugDialog,
    RemoteDialog,
  };

  void Hold(Holder holder);
  // Releasing what is not held changes nothing.
  void Release(Holder holder);
  bool Held(Holder holder) const;
  // Synchronisation runs holding the gate now.
  int RunHolds() const { return static_cast<int>(state_.load() & kRunMask); }

  // The user's switch (the about dialog's "Peak"): off closes the gate.
  void SetUserEnabled(bool on);
  bool UserEnabled() const { return (state_.load() & kUserOff) == 0; }

  // No holder and the user's switch on.
  bool Open() const { return state_.load() == 0; }

 private:
  static constexpr std::uint32_t kRunMask = 0xFFFFu;
  static constexpr std::uint32_t kUserOff = 1u << 31;
  static constexpr std::uint32_t FlagOf(Holder holder) {
    return 1u << (15 + static_cast<unsigned>(holder));  // ModeLoad is bit 16
  }

  std::atomic<std::uint32_t> state_{0};
};

// Holds a gate from construction until Release or the end of its scope.
class PollGateHold {
 public:
  PollGateHold(PollGate& gate, PollGate::Holder holder) : gate_(&gate), holder_(holder) {
    gate.Hold(holder);
  }
  ~PollGateHold() { Release(); }
  PollGateHold(const PollGateHold&) = delete;
  PollGateHold& operator=(const PollGateHold&) = delete;
  void Release() {
    if (gate_ != nullptr) gate_->Release(holder_);
    gate_ = nullptr;
  }

 private:
  PollGate* gate_;
  PollGate::Holder holder_;
};

}  // namespace core::link
