#include "core/link/poll_gate.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/session.h"

namespace core::link {
namespace {

using namespace std::chrono_literals;
using H = PollGate::Holder;

TEST(PollGate, OpenUntilSomeoneHoldsIt) {
  PollGate gate;
  EXPECT_TRUE(gate.Open());
  for (H h : {H::SyncRun, H::ModeLoad, H::SmartPlugDialog, H::RemoteDialog}) {
    gate.Hold(h);
    EXPECT_FALSE(gate.Open()) << static_cast<int>(h);
    EXPECT_TRUE(gate.Held(h));
    gate.Release(h);
    EXPECT_TRUE(gate.Open()) << static_cast<int>(h);
    EXPECT_FALSE(gate.Held(h));
  }
}

// A synchronisation run that ends while the smart-plug dialog is open
// leaves the gate closed; so does every other pair of holders.
TEST(PollGate, OneHoldersReleaseNeverOpensAnothersHold) {
  const H holders[] = {H::SyncRun, H::ModeLoad, H::SmartPlugDialog, H::RemoteDialog};
  for (H first : holders) {
    for (H second : holders) {
      if (first == second) continue;
      PollGate gate;
      gate.Hold(second);
      gate.Hold(first);
      gate.Release(first);
      EXPECT_FALSE(gate.Open()) << static_cast<int>(first) << " then " << static_cast<int>(second);
      gate.Release(second);
      EXPECT_TRUE(gate.Open());
    }
  }
}

TEST(PollGate, RunsAreCountedTheOthersAreFlags) {
  PollGate gate;
  gate.Hold(H::SyncRun);
  gate.Hold(H::SyncRun);  // a mode change during a read-all starts a second one
  gate.Release(H::SyncRun);
  EXPECT_FALSE(gate.Open()) << "the second run is still going";
  EXPECT_EQ(gate.RunHolds(), 1);
  gate.Release(H::SyncRun);
  gate.Release(H::SyncRun);  // one too many: nothing to release
  EXPECT_TRUE(gate.Open());
  EXPECT_EQ(gate.RunHolds(), 0);
  gate.Hold(H::SyncRun);
  EXPECT_FALSE(gate.Open()) << "the extra release left no credit behind";
  gate.Release(H::SyncRun);

  gate.Hold(H::SmartPlugDialog);
  gate.Hold(H::SmartPlugDialog);
  gate.Release(H::SmartPlugDialog);
  EXPECT_TRUE(gate.Open()) << "one dialog, one flag";
}

TEST(PollGate, UsersSwitchClosesItAndHoldersCannotReopenIt) {
  PollGate gate;
  gate.SetUserEnabled(false);
  EXPECT_FALSE(gate.Open());
  EXPECT_FALSE(gate.UserEnabled());
  gate.Hold(H::RemoteDialog);
  gate.Release(H::RemoteDialog);
  gate.Release(H::SyncRun);
  EXPECT_FALSE(gate.Open()) << "the switch is still off";
  gate.Hold(H::SyncRun);
  gate.SetUserEnabled(true);
  EXPECT_FALSE(gate.Open()) << "switched on during a run: the run still holds it";
  gate.Release(H::SyncRun);
  EXPECT_TRUE(gate.Open());
}

TEST(PollGate, HoldersOnManyThreads) {
  PollGate gate;
  gate.Hold(H::RemoteDialog);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&gate, t] {
      const H mine = t % 2 == 0 ? H::SyncRun : H::ModeLoad;
      for (int i = 0; i < 2000; ++i) {
        gate.Hold(mine);
        EXPECT_FALSE(gate.Open());
        gate.Release(mine);
      }
    });
  }
  for (int i = 0; i < 2000; ++i) EXPECT_FALSE(gate.Open());
  for (auto& t : threads) t.join();
  EXPECT_EQ(gate.RunHolds(), 0);
  EXPECT_FALSE(gate.Open()) << "the remote dialog holds it throughout";
  gate.Release(H::RemoteDialog);
  EXPECT_TRUE(gate.Open());
}

// The session's runs and mode loads hold the gate on their own; the status
// poll asks it.
class SessionGate : public ::testing::Test {
 protected:
  SessionGate() {
    session.Link().SetTransport(LinkType::Usb, &usb);
    usb.SetOnWrite([this](const RecordingTransport::Record&) { session.Link().ReplyReceived(); });
    session.Link().State().networkMode = false;
    session.Link().State().open = true;
    session.SetSynchronousSends(true);
  }
  ~SessionGate() override {
    session.Link().State().open = false;
    session.Sync().JoinAll();
  }
  // What the processor answers to 05 n: the dispatcher starts a read-all.
  void AnswerModeLoad() {
    const std::vector<std::uint8_t> answer = {0x02, 0x05, 0x02};
    session.Dispatcher().DispatchFrame(answer, 61);
  }
  std::size_t StatusRequests() const {
    std::size_t n = 0;
    for (const auto& b : usb.Bodies()) n += b == std::vector<std::uint8_t>{0x0E};
    return n;
  }

  RecordingTransport usb{LinkType::Usb};
  Session session;
};

TEST_F(SessionGate, ARunHoldsTheGateFromItsStartToItsEnd) {
  session.PollGate().Hold(H::SmartPlugDialog);
  session.Sync().StartReadAll();
  EXPECT_TRUE(session.PollGate().Held(H::SyncRun)) << "from the start, before the thread runs";
  EXPECT_FALSE(session.PollStatus());
  // No processor behind the recording transport: the run stops after the
  // identity requests.
  ASSERT_TRUE(session.Sync().WaitIdle(5000ms));
  EXPECT_FALSE(session.PollGate().Held(H::SyncRun));
  EXPECT_FALSE(session.PollStatus()) << "the plug dialog still holds it";
  session.PollGate().Release(H::SmartPlugDialog);
  EXPECT_TRUE(session.PollStatus());
  EXPECT_EQ(StatusRequests(), 1u);
}

TEST_F(SessionGate, ModeLoadHandsItsHoldToTheReadAll) {
  ASSERT_TRUE(session.LoadMode(2));
  EXPECT_TRUE(session.PollGate().Held(H::ModeLoad));
  EXPECT_FALSE(session.PollStatus());
  AnswerModeLoad();
  EXPECT_FALSE(session.PollGate().Held(H::ModeLoad));
  EXPECT_FALSE(session.PollGate().Open()) << "the read-all holds it now";
  ASSERT_TRUE(session.Sync().WaitIdle(5000ms));
  EXPECT_TRUE(session.PollStatus());
  EXPECT_EQ(StatusRequests(), 1u);
}

TEST_F(SessionGate, UnansweredModeLoadEndsWithItsLink) {
  ASSERT_TRUE(session.LoadMode(1));
  session.Disconnect(false);
  EXPECT_TRUE(session.PollGate().Open());
}

TEST_F(SessionGate, UsersSwitchStopsThePoll) {
  session.PollGate().SetUserEnabled(false);
  EXPECT_FALSE(session.PollStatus());
  session.PollGate().SetUserEnabled(true);
  EXPECT_TRUE(session.PollStatus());
  EXPECT_EQ(StatusRequests(), 1u);
}

}  // namespace
}  // namespace core::link
