#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "core/link/device_records.h"
#include "core/link/link.h"
#include "core/params/param_model.h"

namespace core::link {

// Whole-image transfers. A read-all asks for the identity, the protocol
// version (20 or the run stops), the current mode, the 63 image blocks, the
// machine settings, decodes the image and asks for the remote keys. A
// write-all pushes the 63 blocks and the end mark. Each runs on a thread of
// its own and reports SyncDone; runs are not queued against each other.
// While they transfer they hold the link's synchronous sends (ReadAll
// itself does, also when called directly; the write-all thread around
// WriteAll). A run started here holds the poll gate from its start to its
// end.
class SyncRuns {
 public:
  SyncRuns(Link& link, params::ParamModel& model, DeviceRecords& records)
      : link_(link), model_(model), records_(records) {}
  ~SyncRuns();
  SyncRuns(const SyncRuns&) = delete;
  SyncRuns& operator=(const SyncRuns&) = delete;

  void StartReadAll();
  void StartWriteAll();

  // The transfers themselves, on the calling thread.
  void ReadAll();
  void ReadImageBlocks();
  void WriteAll();

  // Called after each image block request or write (done of 63).
  void SetProgress(std::function<void(int done, int total)> progress);

  // Waits until no run is active; false on time-out.
  bool WaitIdle(std::chrono::milliseconds timeout);
  int ActiveRuns() const { return active_.load(); }

  // Ends the pauses of running runs early and joins every run thread. The
  // link should be closed first so that the runs stop at their next check.
  void JoinAll();

 private:
  void ReadAllThread();
  void WriteAllThread();
  void Start(void (SyncRuns::*body)());
  void Pause(std::chrono::milliseconds ms);
  void Send(std::initializer_list<std::uint8_t> bytes);
  void Progress(int done);

  Link& link_;
  params::ParamModel& model_;
  DeviceRecords& records_;

  std::mutex mutex_;
  std::condition_variable cv_;
  struct Run {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
  };
  std::vector<Run> runs_;
  std::atomic<int> active_{0};
  bool stopping_ = false;
  std::function<void(int, int)> progress_;
};

}  // namespace core::link
