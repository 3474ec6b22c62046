#pragma once

#include <atomic>
#include <chrono>
#include <string>

#include "cli/messages.h"
#include "cli/net_commands.h"
#include "core/presets/file_io.h"
#include "core/session.h"

namespace cli {

// How long a verb waits for the processor's answer to its last request.
inline constexpr std::chrono::milliseconds kAnswerWait{2500};

// One command's connection to a processor, over TCP or USB. Sends are
// synchronous (no write queue), so each waits for the answer to the one
// before. Closing (with the disconnect notice) happens on destruction.
class Connection final : public core::link::LinkEvents {
 public:
  explicit Connection(const HostPort& host);
  ~Connection() override;
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  core::Session& session() { return session_; }

  // False, with the reason printed, when no link could be opened.
  bool Connect();
  // Asks for the identity and the mode; false (with the reason printed)
  // when the processor does not answer or speaks another protocol.
  bool Identify();
  bool CheckProtocol();
  // Explains why a conversation ended early; always false.
  bool Failed(const std::string& what);

  // Progress of a transfer on stderr; gives up on a processor that has
  // stopped answering instead of waiting two seconds per block.
  void WatchTransfer(const char* verb);
  bool GaveUp() const { return gaveUp_; }

  std::string Where() const;

  // Waits for the end of a read-all that the processor started.
  bool WaitSyncDone(std::chrono::milliseconds timeout);

  void SyncDone(int) override { ++syncDone_; }
  void HostBusy() override { hostBusy_ = true; }
  void LinkLost() override { lost_ = true; }

 private:
  bool OpenUsbLink();

  HostPort host_;
  core::Session session_;
  std::atomic<bool> hostBusy_{false};
  std::atomic<bool> lost_{false};
  std::atomic<bool> gaveUp_{false};
  std::atomic<int> syncDone_{0};
};

// Connects and runs a whole read-all, down to the answer with the remote
// keys; false (with the reason printed) when any of it failed.
bool ReadEverything(Connection& c);

}  // namespace cli
