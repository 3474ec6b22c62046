#include "core/link/sync_runs.h"

#include "core/link/commands.h"
#include "core/params/device_image.h"
#include "core/trace.h"

namespace core::link {

using namespace std::chrono_literals;

SyncRuns::~SyncRuns() { JoinAll(); }

void SyncRuns::SetProgress(std::function<void(int, int)> progress) {
  std::lock_guard lock(mutex_);
  progress_ = std::move(progress);
}

void SyncRuns::Progress(int done) {
  std::function<void(int, int)> progress;
  {
    std::lock_guard lock(mutex_);
    progress = progress_;
  }
  if (progress) progress(done, params::kImageBlockCount);
}

void SyncRuns::Start(void (SyncRuns::*body)()) {
  std::vector<std::thread> finished;
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    // Reap the runs that have ended.
    for (auto it = runs_.begin(); it != runs_.end();) {
      if (it->finished->load()) {
        finished.push_back(std::move(it->thread));
        it = runs_.erase(it);
      } else {
        ++it;
      }
    }
    ++active_;
    // Held from here, before the thread runs, so that whoever starts a run
    // can hand its own hold over to it without a gap.
    link_.Gate().Hold(PollGate::Holder::SyncRun);
    auto done = std::make_shared<std::atomic<bool>>(false);
    runs_.push_back(Run{std::thread([this, body, done] {
                          (this->*body)();
                          link_.Gate().Release(PollGate::Holder::SyncRun);
                          {
                            std::lock_guard lock(mutex_);
                            --active_;
                            done->store(true);
                          }
                          cv_.notify_all();
                        }),
                        done});
  }
  for (std::thread& t : finished) t.join();
}

void SyncRuns::StartReadAll() { Start(&SyncRuns::ReadAllThread); }
void SyncRuns::StartWriteAll() { Start(&SyncRuns::WriteAllThread); }

bool SyncRuns::WaitIdle(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return cv_.wait_for(lock, timeout, [&] { return active_.load() == 0; });
}

void SyncRuns::JoinAll() {
  std::vector<Run> runs;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    runs.swap(runs_);
  }
  cv_.notify_all();
  for (Run& r : runs) {
    if (r.thread.get_id() == std::this_thread::get_id()) {
      r.thread.detach();  // a run asking for its own end: it is on its way out
    } else {
      r.thread.join();
    }
  }
  std::lock_guard lock(mutex_);
  stopping_ = false;
}

void SyncRuns::Pause(std::chrono::milliseconds ms) {
  std::unique_lock lock(mutex_);
  cv_.wait_for(lock, ms, [&] { return stopping_; });
}

void SyncRuns::Send(std::initializer_list<std::uint8_t> bytes) { link_.SendCommandBytes(bytes); }

void SyncRuns::ReadAllThread() {
  records_.ClearStatus();
  Pause(100ms);
  ReadAll();
  link_.Events().SyncDone(0);
  records_.ClearStatus();
  Trace("End thread: Delay Read SynchronizeData\n");
}

void SyncRuns::WriteAllThread() {
  records_.ClearStatus();
  Pause(100ms);
  {
    SynchronousSendsHold synchronous(link_);
    WriteAll();
  }
  Pause(50ms);
  records_.SetSettingsChanged(false);
  link_.Events().SyncDone(1);
  records_.ClearStatus();
  Trace("End thread: SynchronizeWriteThreadProc\n");
}

void SyncRuns::ReadAll() {
  // Every request waits for the answer to the one before; a run that stops
  // early gives the queue back as well.
  SynchronousSendsHold synchronous(link_);
  auto askIdentity = [&] {
    Send({cmd::kGetModelName});
    Send({cmd::kGetProtocol});
    if (!link_.IsOpen()) return false;
    Send({cmd::kGetMcuVersion});
    Send({cmd::kGetDspVersion});
    return link_.IsOpen();
  };
  if (!askIdentity()) return;
  if (records_.Identity().ProtocolVersion() != kProtocolVersion) {
    if (!askIdentity()) return;
    if (records_.Identity().ProtocolVersion() != kProtocolVersion) return;
  }
  Send({cmd::kGetMode});
  if (!link_.IsOpen()) return;
  ReadImageBlocks();
  Send({cmd::kGetMachineSettings});
  if (!link_.IsOpen()) return;
  model_.DecodeImage();
  if (!link_.IsOpen()) return;
  Send({cmd::kGetRemoteKeys});
  records_.SetSettingsChanged(false);
  synchronous.Release();
  Pause(50ms);
}

void SyncRuns::ReadImageBlocks() {
  for (int i = 0; i < params::kImageBlockCount; ++i) {
    const params::ImageBlock b = params::ImageBlockAt(i);
    Send({cmd::kImageRead, OffsetHigh(b.offset), OffsetLow(b.offset),
          static_cast<std::uint8_t>(b.size)});
    Progress(i + 1);
  }
}

void SyncRuns::WriteAll() {
  const params::DeviceImage image = model_.Image();
  for (int i = 0; i < params::kImageBlockCount; ++i) {
    const params::ImageBlock b = params::ImageBlockAt(i);
    link_.SendBlockWrite(cmd::kImageWrite, OffsetHigh(b.offset), OffsetLow(b.offset),
                         std::span<const std::uint8_t>(image.data() + b.offset, b.size));
    Progress(i + 1);
  }
  Send({cmd::kImageWriteEnd});
}

}  // namespace core::link
