#include "core/link/link.h"

#include <gtest/gtest.h>

#include <thread>

#include "core/link/recording_transport.h"

namespace core::link {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() {
    link.SetTransport(LinkType::Usb, &usb);
    link.SetTransport(LinkType::Tcp, &tcp);
  }
  void Open(LinkType type) {
    link.State().networkMode = type == LinkType::Tcp;
    link.State().open = true;
  }
  // Sends skip the write queue (as in a synchronisation run).
  void Synchronous(bool on) { link.SetSynchronousSends(on); }
  template <typename F>
  static bool WaitUntil(F done, std::chrono::milliseconds timeout = 5000ms) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
      if (std::chrono::steady_clock::now() > until) return false;
      std::this_thread::sleep_for(1ms);
    }
    return true;
  }
  void AnswerEveryWrite() {
    auto answer = [this](const RecordingTransport::Record&) { link.ReplyReceived(); };
    usb.SetOnWrite(answer);
    tcp.SetOnWrite(answer);
  }

  Link link;
  RecordingTransport usb{LinkType::Usb};
  RecordingTransport tcp{LinkType::Tcp};
};

TEST_F(LinkTest, RoutesByTransportAndQueueState) {
  AnswerEveryWrite();
  const Word w[] = {0x3F000002};

  Open(LinkType::Usb);  // queue enabled: enqueued, not written
  EXPECT_EQ(link.SendParamFrame(1, 14, w), 0);
  EXPECT_EQ(usb.Count(), 0u);
  ASSERT_EQ(link.State().queue.Size(), 1u);
  EXPECT_EQ(link.State().queue.Snapshot()[0].bytes[0], 0x09) << "no prefix on USB";
  link.State().queue.Clear();

  Synchronous(true);  // the USB report write
  EXPECT_EQ(link.SendParamFrame(1, 14, w), 61);
  ASSERT_EQ(usb.Count(), 1u);
  EXPECT_EQ(usb.Bodies()[0][0], 0x09);
  Synchronous(false);

  Open(LinkType::Tcp);  // queue enabled: enqueued, not written
  EXPECT_EQ(link.SendParamFrame(1, 14, w), 0);
  EXPECT_EQ(tcp.Count(), 0u);
  ASSERT_EQ(link.State().queue.Size(), 1u);
  EXPECT_EQ(link.State().queue.Snapshot()[0].bytes[0], 0x81);

  Synchronous(true);  // synchronous TCP send
  EXPECT_EQ(link.SendParamFrame(1, 14, w), 0);
  EXPECT_EQ(link.RouteFrame(Bytes{0x81, 0x0E}, false), 0);
  ASSERT_EQ(tcp.Count(), 2u);
  EXPECT_EQ(tcp.Records()[0].wire[0], 0x55);

  link.State().open = false;  // closed: dropped on every path
  Synchronous(false);
  link.State().queue.Clear();
  link.SendCommandBytes({0x7F});
  Synchronous(true);
  link.SendCommandBytes({0x7F});
  link.State().networkMode = false;
  EXPECT_EQ(link.SendCommandBytes({0x7F}), 0);
  Synchronous(false);
  EXPECT_EQ(link.SendCommandBytes({0x7F}), 0);
  EXPECT_EQ(link.State().queue.Size(), 0u);
  EXPECT_EQ(tcp.Count(), 2u);
  EXPECT_EQ(usb.Count(), 1u);
}

TEST_F(LinkTest, QueueCoalescesOneParameterAndKeepsOrderOtherwise) {
  Open(LinkType::Tcp);
  for (Word v : {0x3F000000u, 0x3F100000u, 0x3F200000u}) {
    const Word w[] = {v};
    link.SendParamFrame(1, 14, w);
  }
  const Word other[] = {0x3F800000};
  link.SendParamFrame(1, 16, other);
  const Word last[] = {0x3F300000};
  link.SendParamFrame(1, 14, last);
  const auto q = link.State().queue.Snapshot();
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].bytes[4], 14);
  EXPECT_EQ(q[0].bytes[7], 0x30) << "the entry keeps its place and takes the latest value";
  EXPECT_EQ(q[1].bytes[4], 16);

  link.State().queue.Clear();
  link.State().queue.SetCoalescing(false);
  link.SendParamFrame(1, 14, last);
  link.SendParamFrame(1, 14, last);
  EXPECT_EQ(link.State().queue.Size(), 2u);
  EXPECT_EQ(link.State().queue.TakeFront()->size, 10u);
  EXPECT_EQ(link.State().queue.Size(), 1u);
}

// The same edits leave the same queue on either link: the key of a USB body
// is the key its TCP twin gets.
TEST_F(LinkTest, BothLinksCoalesceAlike) {
  for (LinkType type : {LinkType::Usb, LinkType::Tcp}) {
    Open(type);
    link.State().queue.Clear();
    const std::size_t prefix = type == LinkType::Tcp ? 1 : 0;
    const Word a[] = {0x3F000000}, b[] = {0x3F100000};
    link.SendParamFrame(1, 14, a);
    link.SendBlockWrite(0x85, 0x05, 0x86, Bytes{0x01, 0x02});
    link.SendParamFrame(1, 14, b);                               // replaces the first
    link.SendBlockWrite(0x85, 0x05, 0x86, Bytes{0x07, 0x08});   // same place: replaces
    link.SendBlockWrite(0x85, 0x05, 0x86, Bytes{0x07});         // another length: kept
    link.SendCommandBytes({0x05, 0x01});
    link.SendCommandBytes({0x05, 0x02});                         // another mode: kept
    const auto q = link.State().queue.Snapshot();
    ASSERT_EQ(q.size(), 5u) << (type == LinkType::Tcp ? "TCP" : "USB");
    EXPECT_EQ(q[0].bytes[prefix + 5], 0x3F);
    EXPECT_EQ(q[0].bytes[prefix + 6], 0x10);
    EXPECT_EQ(Bytes(q[1].bytes.begin() + prefix, q[1].bytes.begin() + q[1].size),
              (Bytes{0x85, 0x05, 0x86, 0x02, 0x07, 0x08}));
    EXPECT_EQ(q[2].size, prefix + 5);
    EXPECT_EQ(q[3].bytes[prefix + 1], 0x01);
    EXPECT_EQ(q[4].bytes[prefix + 1], 0x02);
  }
}

// The write thread, the same on both links: the caller only queues; the
// thread sends one frame, then the next once the answer is in.
TEST_F(LinkTest, WriteThreadSendsOneFrameAtATimeAfterEachAnswer) {
  for (LinkType type : {LinkType::Usb, LinkType::Tcp}) {
    RecordingTransport& t = type == LinkType::Usb ? usb : tcp;
    t.Clear();
    Open(type);
    link.SetReplyTimeout(std::chrono::minutes(1));  // only an answer releases the next frame
    link.StartWriter(type);
    for (std::uint8_t c : {0x07, 0x0E, 0x62}) link.SendCommandBytes({c});
    ASSERT_TRUE(WaitUntil([&] { return t.Count() == 1; }));
    EXPECT_EQ(link.State().queue.Size(), 2u) << "the rest wait for the first answer";
    link.ReplyReceived();
    ASSERT_TRUE(WaitUntil([&] { return t.Count() == 2; }));
    EXPECT_EQ(link.State().queue.Size(), 1u);
    link.ReplyReceived();
    ASSERT_TRUE(WaitUntil([&] { return t.Count() == 3; }));
    link.StopWriter();
    const auto bodies = t.Bodies();
    const std::size_t p = type == LinkType::Tcp ? 1 : 0;
    EXPECT_EQ(bodies[0][p], 0x07);
    EXPECT_EQ(bodies[1][p], 0x0E);
    EXPECT_EQ(bodies[2][p], 0x62);
    if (type == LinkType::Usb) {
      EXPECT_EQ(t.Records()[0].wire.size(), 61u);
    }
  }
}

TEST_F(LinkTest, WriteThreadSendsTheNextFrameOneReplyTimeoutAfterAnUnansweredOne) {
  Open(LinkType::Usb);
  link.SetReplyTimeout(150ms);
  link.StartWriter(LinkType::Usb);
  link.SendCommandBytes({0x07});
  link.SendCommandBytes({0x0E});
  ASSERT_TRUE(WaitUntil([&] { return usb.Count() == 2; }));
  const auto r = usb.Records();
  EXPECT_GE(r[1].at - r[0].at, 140ms);
  link.StopWriter();
}

// AwaitLastAnswer covers the queue: true once every queued frame is out
// and the last one answered.
TEST_F(LinkTest, AwaitLastAnswerWaitsForTheQueuedFrames) {
  Open(LinkType::Usb);
  AnswerEveryWrite();
  link.StartWriter(LinkType::Usb);
  for (std::uint8_t c = 0x30; c < 0x38; ++c) link.SendCommandBytes({c, 0x00});
  ASSERT_TRUE(link.AwaitLastAnswer(5000ms));
  EXPECT_EQ(usb.Count(), 8u);
  EXPECT_TRUE(link.State().queue.Empty());

  usb.SetOnWrite(nullptr);  // silent from here on
  link.SetReplyTimeout(std::chrono::minutes(1));
  link.SendCommandBytes({0x07});
  EXPECT_FALSE(link.AwaitLastAnswer(100ms)) << "its answer never came";
  link.StopWriter();
}

TEST_F(LinkTest, BlockWriteAndCommandBodies) {
  AnswerEveryWrite();
  Open(LinkType::Usb);
  Synchronous(true);
  const Bytes code = {0x05};
  EXPECT_EQ(link.SendBlockWrite(0x85, 0x05, 0x86, code), 0);
  link.SendCommandBytes({0x04, 0x02});
  const auto bodies = usb.Bodies();
  ASSERT_EQ(bodies.size(), 2u);
  EXPECT_EQ(bodies[0], (Bytes{0x85, 0x05, 0x86, 0x01, 0x05}));
  EXPECT_EQ(bodies[1], (Bytes{0x04, 0x02}));
  EXPECT_EQ(usb.Records()[1].wire.size(), 61u);
}

// Without answers each synchronous send goes out one reply timeout after
// the previous one; with answers at once.
TEST_F(LinkTest, SynchronousSendsWaitForTheAnswerToThePreviousOne) {
  Open(LinkType::Usb);
  Synchronous(true);
  link.SetReplyTimeout(300ms);
  for (int i = 0; i < 3; ++i) link.SendCommandBytes({0x0E});
  auto r = usb.Records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_GE(r[1].at - r[0].at, 290ms);
  EXPECT_GE(r[2].at - r[1].at, 290ms);

  usb.Clear();
  AnswerEveryWrite();
  const auto start = std::chrono::steady_clock::now();
  link.SendCommandBytes({0x0E});  // the event was consumed: this one waits once more
  for (int i = 0; i < 20; ++i) link.SendCommandBytes({0x0E});
  EXPECT_EQ(usb.Count(), 21u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
}

TEST_F(LinkTest, DefaultReplyTimeoutIsTwoSeconds) {
  Open(LinkType::Tcp);
  Synchronous(true);
  link.SendCommandBytes({0x0E});
  link.SendCommandBytes({0x0E});
  const auto r = tcp.Records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_GE(r[1].at - r[0].at, 1950ms);
  EXPECT_LT(r[1].at - r[0].at, 2500ms);
}

TEST_F(LinkTest, AsynchronousSendsDoNotWait) {
  Open(LinkType::Usb);
  Synchronous(true);
  link.SendCommandBytes({0x0E});  // consumes the initial signal
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link.RouteFrame(Bytes{0x12, 0x03}, false), 61);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_EQ(usb.Count(), 2u);
}

TEST_F(LinkTest, UsbWritesAreRefusedAfterTheReaderEnded) {
  Open(LinkType::Usb);
  Synchronous(true);
  link.SendCommandBytes({0x0E});  // consumes the signal: a further send would wait
  link.State().readerEnded = true;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(link.WriteUsbData(Bytes{0x0E}, true), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_EQ(usb.Count(), 1u);
  Synchronous(false);
  link.SendCommandBytes({0x0E});
  EXPECT_TRUE(link.State().queue.Empty()) << "nothing is queued for a dead reader";
}

TEST_F(LinkTest, FailedWriteReturnsItsCount) {
  Open(LinkType::Usb);
  Synchronous(true);
  usb.SetFailing(true);
  EXPECT_EQ(link.SendCommandBytes({0x0E}), 0);
}

TEST_F(LinkTest, InitLinkEventsSignalsTheReplyEvent) {
  Open(LinkType::Usb);
  Synchronous(true);
  link.SetReplyTimeout(300ms);
  link.SendCommandBytes({0x0E});
  link.InitLinkEvents();
  const auto start = std::chrono::steady_clock::now();
  link.SendCommandBytes({0x0E});
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_FALSE(link.State().readerEndedEvent.IsSet());
}

TEST(AutoResetEvent, ReleasesOneWaiterPerSet) {
  AutoResetEvent e(true);
  EXPECT_TRUE(e.WaitFor(0ms));
  EXPECT_FALSE(e.WaitFor(0ms)) << "a wait consumes the signal";
  int released = 0;
  std::mutex m;
  std::vector<std::thread> waiters;
  for (int i = 0; i < 2; ++i) {
    waiters.emplace_back([&] {
      if (e.WaitFor(500ms)) {
        std::lock_guard lock(m);
        ++released;
      }
    });
  }
  std::this_thread::sleep_for(50ms);
  e.Set();
  for (auto& t : waiters) t.join();
  EXPECT_EQ(released, 1);
}

// Senders on two threads against a transport answering from a third:
// clean under ThreadSanitizer, nothing lost.
TEST_F(LinkTest, ConcurrentSendersWithAnswersFromAnotherThread) {
  Open(LinkType::Usb);
  Synchronous(true);
  std::atomic<bool> stop{false};
  std::thread answerer([&] {
    while (!stop) {
      link.ReplyReceived();
      std::this_thread::sleep_for(1ms);
    }
  });
  std::thread other([&] {
    for (int i = 0; i < 50; ++i) link.SendCommandBytes({0x0E});
  });
  for (int i = 0; i < 50; ++i) link.SendCommandBytes({0x07});
  other.join();
  stop = true;
  answerer.join();
  EXPECT_EQ(usb.Count(), 100u);
}

}  // namespace
}  // namespace core::link
