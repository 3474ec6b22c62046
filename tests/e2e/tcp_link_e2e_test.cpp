#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <unistd.h>

#include "sim_fixture.h"

namespace e2e {
namespace {

core::params::DeviceImage MarkedImage() {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  for (std::size_t i = 0; i < 1358; i += 7) image[i + 2] ^= 0x11;  // every band's frequency
  image[1495] = 0x3E;                                               // (1, 14)
  image[3517] = 0x07;
  return image;
}

std::vector<Bytes> ReadAllSequence() {
  std::vector<Bytes> seq = {{0x80}, {0x7F}, {0x81}, {0x7E}, {0x07}};
  for (int i = 0; i < 63; ++i) {
    const auto b = core::params::ImageBlockAt(i);
    seq.push_back({0x30, static_cast<std::uint8_t>(b.offset >> 8),
                   static_cast<std::uint8_t>(b.offset & 0xFF), static_cast<std::uint8_t>(b.size)});
  }
  seq.push_back({0x92});
  seq.push_back({0x62});
  return seq;
}

using TcpLinkE2e = SimFixture;

TEST_F(TcpLinkE2e, ReadAllSendsTheWholeSequenceAndMirrorsTheImage) {
  processor.SetImage(MarkedImage());
  Connect();
  session.Sync().StartReadAll();
  ASSERT_TRUE(WaitFor([&] { return events.readDone.load() == 1; }, 20000ms));
  ASSERT_TRUE(session.Sync().WaitIdle(2000ms));
  ASSERT_TRUE(WaitFor([&] { return processor.Requests().size() >= 70; }));
  EXPECT_EQ(Requests(), ReadAllSequence());
  EXPECT_EQ(Requests()[67], (Bytes{0x30, 0x0D, 0x90, 0x2E}));
  EXPECT_EQ(session.Params().Image(), processor.Image());
  EXPECT_EQ(session.Records().Identity().ModelName(), "NR620");
  EXPECT_EQ(session.Records().Identity().ProtocolVersion(), 20);
  EXPECT_EQ(session.Records().DeviceSettings(), processor.Settings());
  EXPECT_TRUE(session.Link().QueueEnabled()) << "the run gave the queue back";
  EXPECT_TRUE(session.PollGate().Open()) << "the run's hold ended with it";
  // The decoded mirrors follow the processor's image.
  EXPECT_NE(session.Params().Mirror(1, 14).AsInt(), 50);
}

TEST_F(TcpLinkE2e, WriteAllPushesTheImage) {
  Connect();
  const core::params::DeviceImage image = MarkedImage();
  session.Params().SetImage(image);
  session.Sync().StartWriteAll();
  ASSERT_TRUE(WaitFor([&] { return events.writeDone.load() == 1; }, 20000ms));
  ASSERT_TRUE(WaitFor([&] { return processor.Requests().size() == 64; }));
  const auto req = Requests();
  EXPECT_EQ(req[62][0], 0x31);
  EXPECT_EQ(Bytes(req[62].begin(), req[62].begin() + 4), (Bytes{0x31, 0x0D, 0x90, 0x2E}));
  EXPECT_EQ(req[62].size(), 4u + 46u);
  EXPECT_EQ(req[63], Bytes{0x32});
  EXPECT_EQ(processor.Image(), image);
}

TEST_F(TcpLinkE2e, WrongProtocolStopsAfterTwoIdentityRounds) {
  processor.SetProtocolVersion(17);
  Connect();
  session.Sync().StartReadAll();
  ASSERT_TRUE(WaitFor([&] { return events.readDone.load() == 1; }, 10000ms));
  // The run ends once its last request is sent, which may still be on the way.
  ASSERT_TRUE(WaitFor([&] { return processor.Requests().size() >= 8; }));
  EXPECT_EQ(Requests(), (std::vector<Bytes>{{0x80}, {0x7F}, {0x81}, {0x7E},
                                             {0x80}, {0x7F}, {0x81}, {0x7E}}));
  EXPECT_EQ(session.Records().Identity().ProtocolVersion(), 17);
}

TEST_F(TcpLinkE2e, HeartbeatIsEchoedAndKeepsTheLinkAlive) {
  sim::ServerOptions o;
  o.heartbeatMs = 100;
  StartServer(o);
  Connect();
  ASSERT_TRUE(WaitFor([&] { return server->Counters().heartbeatsReceived >= 3; }));
  EXPECT_TRUE(session.Link().IsOpen());
  EXPECT_EQ(events.lost.load(), 0);
}

TEST_F(TcpLinkE2e, SecondClientHearsTheHostIsBusy) {
  Connect();
  core::Session second;
  EventLog secondEvents;
  second.Link().SetEvents(&secondEvents);
  second.Link().State().networkMode = true;
  ASSERT_EQ(second.Tcp().TcpConnect("127.0.0.1", server->Port()), core::link::kTcpConnected);
  ASSERT_TRUE(WaitFor([&] { return secondEvents.busy.load() == 1; }));
  EXPECT_TRUE(WaitFor([&] { return !second.Link().IsOpen(); })) << "the processor hangs up";
  EXPECT_TRUE(session.Link().IsOpen()) << "the first client is not disturbed";
}

TEST_F(TcpLinkE2e, SilenceClosesTheLinkAfterAboutThreeAndAHalfSeconds) {
  sim::ServerOptions o;
  o.heartbeatMs = 0;
  o.silentAfterMs = 0;
  StartServer(o);
  const auto start = std::chrono::steady_clock::now();
  Connect();
  ASSERT_TRUE(WaitFor([&] { return events.lost.load() == 1; }, 8000ms));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 3400ms);
  EXPECT_LT(took, 4500ms);
  EXPECT_FALSE(session.Link().IsOpen());
}

TEST_F(TcpLinkE2e, DroppedAnswerDelaysTheNextSendByTheReplyTimeoutOnly) {
  Connect();
  session.SetSynchronousSends(true);
  session.Link().SendCommandBytes({0x07});
  ASSERT_TRUE(session.Link().AwaitLastAnswer(2000ms));
  server->SetDropEvery(1);
  session.Link().SendCommandBytes({0x07});  // its answer is lost
  ASSERT_TRUE(WaitFor([&] { return server->Counters().answersDropped == 1; }));
  server->SetDropEvery(0);
  auto send = [&] { session.Link().SendCommandBytes({0x07}); };
  const auto late = TimeOf(send);
  const auto next = TimeOf(send);
  EXPECT_GE(late, 1900ms);
  EXPECT_LT(late, 2300ms);
  EXPECT_LT(next, 500ms);
}

TEST_F(TcpLinkE2e, ProcessorGoneMidRunLeavesNoThreadHanging) {
  Connect();
  processor.SetImage(MarkedImage());
  server->SetLatencyMs(20);
  session.Sync().StartReadAll();
  ASSERT_TRUE(WaitFor([&] { return processor.Requests().size() >= 20; }));
  server->DisconnectClient();
  EXPECT_TRUE(WaitFor([&] { return !session.Link().IsOpen(); }));
  EXPECT_TRUE(session.Sync().WaitIdle(5000ms));
  EXPECT_EQ(events.readDone.load(), 1);
  EXPECT_TRUE(session.Link().State().readerEnded);
}

TEST_F(TcpLinkE2e, QueuedSliderFloodEndsWithTheLastValue) {
  Connect();
  for (int v = 0; v <= 100; ++v) session.Params().SetParam(1, 14, v);
  const Bytes last = {0x3F, 0x80, 0x00, 0x01};  // 100 %
  ASSERT_TRUE(WaitFor([&] {
    const auto image = processor.Image();
    return Bytes(image.begin() + 1495, image.begin() + 1499) == last;
  }));
  std::size_t frames = 0;
  for (const Bytes& r : Requests()) frames += r[0] == 0x09;
  EXPECT_LT(frames, 101u) << "steps queued behind an unanswered frame are coalesced";
}

TEST_F(TcpLinkE2e, ModeLoadAnswerStartsAReadAll) {
  Connect();
  session.SetSynchronousSends(true);
  session.Link().SendCommandBytes({0x05, 0x02});
  ASSERT_TRUE(WaitFor([&] { return events.readDone.load() == 1; }, 20000ms));
  EXPECT_EQ(session.Records().CurrentMode(), 2);
}

TEST_F(TcpLinkE2e, CloseIsSafeTwiceFromACallbackAndWithTheSessionGone) {
  Connect();
  session.Tcp().TcpClose(true);
  session.Tcp().TcpClose(true);
  EXPECT_FALSE(session.Link().IsOpen());
  EXPECT_TRUE(WaitFor([&] { return processor.Counters().disconnectNotices == 1; }));

  // Closing from inside the link's own callback.
  struct Closer final : core::link::LinkEvents {
    core::Session* s = nullptr;
    std::atomic<bool> done{false};
    void SyncDone(int) override {
      s->Tcp().TcpClose(false);
      done = true;
    }
  } closer;
  closer.s = &session;
  ASSERT_EQ(session.Tcp().TcpConnect("127.0.0.1", server->Port()), core::link::kTcpConnected);
  session.Link().SetEvents(&closer);
  session.Sync().StartReadAll();
  ASSERT_TRUE(WaitFor([&] { return closer.done.load(); }, 20000ms));
  EXPECT_FALSE(session.Link().IsOpen());

  // A session destroyed while connected.
  auto other = std::make_unique<core::Session>();
  other->Link().State().networkMode = true;
  ASSERT_TRUE(WaitFor([&] { return !server->HasClient(); }));
  ASSERT_EQ(other->Tcp().TcpConnect("127.0.0.1", server->Port()), core::link::kTcpConnected);
  other->Sync().StartReadAll();
  other.reset();
}

TEST(TcpConnect, RefusedAndUnansweredConnectsReportTheirError) {
  core::Session s;
  // A port nobody listens on.
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  socklen_t len = sizeof a;
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(probe);
  EXPECT_EQ(s.Tcp().TcpConnect("127.0.0.1", ntohs(a.sin_port)), ECONNREFUSED);
  EXPECT_FALSE(s.Link().IsOpen());

  // A listener whose accept queue is full drops further handshakes: the
  // connect gives up after its time-out instead of hanging.
  const int full = ::socket(AF_INET, SOCK_STREAM, 0);
  a.sin_port = 0;
  ASSERT_EQ(::bind(full, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::listen(full, 0), 0);
  len = sizeof a;
  ::getsockname(full, reinterpret_cast<sockaddr*>(&a), &len);
  std::vector<int> fillers;
  for (int i = 0; i < 2; ++i) {
    fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&a), sizeof a);
  }
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(s.Tcp().TcpConnect("127.0.0.1", ntohs(a.sin_port), 300ms), ETIMEDOUT);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 2000ms);
  for (int f : fillers) ::close(f);
  ::close(full);
}

}  // namespace
}  // namespace e2e
