#include "core/link/poll_gate.h"

namespace core::link {

void PollGate::Hold(Holder holder) {
  if (holder != Holder::SyncRun) {
    state_.fetch_or(FlagOf(holder));
    return;
  }
  std::uint32_t v = state_.load();
  // A count that could not grow further stays: the gate is closed anyway.
  while ((v & kRunMask) != kRunMask && !state_.compare_exchange_weak(v, v + 1)) {
  }
}

void PollGate::Release(Holder holder) {
  if (holder != Holder::SyncRun) {
    state_.fetch_and(~FlagOf(holder));
    return;
  }
  std::uint32_t v = state_.load();
  while ((v & kRunMask) != 0 && !state_.compare_exchange_weak(v, v - 1)) {
  }
}

bool PollGate::Held(Holder holder) const {
  const std::uint32_t v = state_.load();
  return holder == Holder::SyncRun ? (v & kRunMask) != 0 : (v & FlagOf(holder)) != 0;
}

void PollGate::SetUserEnabled(bool on) {
  if (on) {
    state_.fetch_and(~kUserOff);
  } else {
    state_.fetch_or(kUserOff);
  }
}

}  // namespace core::link
