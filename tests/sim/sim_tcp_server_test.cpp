#include "sim/sim_tcp_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <thread>

#include "test_client.h"

namespace sim {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using testing::Concat;
using testing::Envelope;
using testing::kHeartbeatBytes;
using testing::Received;
using testing::TestClient;

// A running simulator with one connected client. Heartbeats are off unless
// a test asks for them, so that only answers arrive.
class Server {
 public:
  explicit Server(ServerOptions options = Quiet(), ProcessorOptions processor = {})
      : sim(std::move(processor)), tcp(sim, std::move(options)) {
    std::string error;
    started = tcp.Start(error);
    EXPECT_TRUE(started) << error;
  }

  static ServerOptions Quiet() {
    ServerOptions o;
    o.heartbeatMs = 0;
    return o;
  }

  // Connects and waits until the server has taken the client on.
  bool Connect(TestClient& client) {
    if (!client.Connect(tcp.Port())) return false;
    return WaitFor([&] { return tcp.HasClient(); });
  }

  static bool WaitFor(const std::function<bool()>& condition,
                      milliseconds timeout = milliseconds(2000)) {
    const auto end = steady_clock::now() + timeout;
    while (!condition()) {
      if (steady_clock::now() > end) return false;
      std::this_thread::sleep_for(milliseconds(2));
    }
    return true;
  }

  ProcessorSim sim;
  SimTcpServer tcp;
  bool started = false;
};

Bytes ReadRequest(std::uint8_t n) {
  return {0x30, 0x00, 0x00, n};
}

// --- Requests in every chunking --------------------------------------------------

struct ChunkingCase {
  const char* name;
  std::function<std::vector<Bytes>(const std::vector<Bytes>& envelopes)> chunk;
  friend void PrintTo(const ChunkingCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<ChunkingCase> ChunkingCases() {
  return {
      {"OnePerWrite", [](const auto& e) { return e; }},
      {"AllInOneWrite",
       [](const auto& e) {
         Bytes all;
         for (const Bytes& b : e) all.insert(all.end(), b.begin(), b.end());
         return std::vector<Bytes>{all};
       }},
      {"ByteByByte",
       [](const auto& e) {
         std::vector<Bytes> out;
         for (const Bytes& b : e)
           for (std::uint8_t x : b) out.push_back({x});
         return out;
       }},
      {"SplitAcrossEnvelopeBorders",
       [](const auto& e) {
         Bytes all;
         for (const Bytes& b : e) all.insert(all.end(), b.begin(), b.end());
         std::vector<Bytes> out;
         for (std::size_t at = 0; at < all.size(); at += 7) {
           out.emplace_back(all.begin() + at, all.begin() + std::min(all.size(), at + 7));
         }
         return out;
       }},
      {"WithHeartbeatEchoesAndStrayBytes",
       [](const auto& e) {
         std::vector<Bytes> out;
         for (const Bytes& b : e) out.push_back(Concat({kHeartbeatBytes, {0x00, 0x42}, b}));
         return out;
       }},
  };
}

class Chunking : public ::testing::TestWithParam<ChunkingCase> {};

TEST_P(Chunking, EveryRequestIsAnsweredInOrder) {
  Server server;
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  const std::vector<Bytes> requests = {{0x7F}, {0x80}, {0x07}, ReadRequest(4), {0x92}};
  std::vector<Bytes> envelopes;
  for (const Bytes& r : requests) envelopes.push_back(Envelope(r));
  for (const Bytes& chunk : GetParam().chunk(envelopes)) {
    ASSERT_TRUE(client.Send(chunk));
    std::this_thread::sleep_for(milliseconds(1));  // let the writes arrive apart
  }

  const Received got = client.ReadAnswers(requests.size());
  std::vector<Bytes> expected;
  for (const Bytes& r : requests) expected.push_back(ProcessorSim().Handle(r)->body);
  EXPECT_EQ(got.answers, expected);
  EXPECT_TRUE(got.prefixesOk);
  EXPECT_TRUE(got.badAnswers.empty());
  EXPECT_TRUE(got.other.empty());
  EXPECT_EQ(server.sim.Requests(), requests);
}

INSTANTIATE_TEST_SUITE_P(SimTcpServer, Chunking, ::testing::ValuesIn(ChunkingCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimTcpServer, PlugFramesAndBadEnvelopesGetNoAnswer) {
  Server server;
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  Bytes bad = Envelope({0x7F});
  bad.back() ^= 1;
  ASSERT_TRUE(client.Send(Concat({Envelope({0x12, 0x05}, 0x80), bad, Envelope({0x07})})));
  const Received got = client.ReadAnswers(1);
  EXPECT_EQ(got.answers, (std::vector<Bytes>{{0x07, 0x00}}));
  EXPECT_TRUE(client.ReadFor(milliseconds(100)).empty());
  EXPECT_EQ(server.sim.Requests(), (std::vector<Bytes>{{0x12, 0x05}, {0x07}}));
  EXPECT_EQ(server.sim.Counters().plugFrames, 1u);
  EXPECT_EQ(server.tcp.Counters().badChecksumsReceived, 1u);
}

// --- Heartbeat ---------------------------------------------------------------------

TEST(SimTcpServer, HeartbeatWhenTheClientIsIdle) {
  ServerOptions o;
  o.heartbeatMs = 80;
  Server server(o);
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  const auto start = steady_clock::now();
  const Bytes first =
      client.ReadUntil([](const Bytes& b) { return !b.empty(); }, milliseconds(1000));
  EXPECT_GE(steady_clock::now() - start, milliseconds(60));
  EXPECT_EQ(first, kHeartbeatBytes);
  // Unanswered, it comes again, and nothing else does.
  const Received more = testing::Split(client.ReadFor(milliseconds(300)));
  EXPECT_GE(more.heartbeats, 2);
  EXPECT_TRUE(more.answers.empty());
  EXPECT_TRUE(more.other.empty());
}

TEST(SimTcpServer, NoHeartbeatWhileTheClientTalks) {
  ServerOptions o;
  o.heartbeatMs = 150;
  Server server(o);
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  Bytes got;
  for (int i = 0; i < 10; ++i) {  // 500 ms of echoes, one every 50 ms
    ASSERT_TRUE(client.Send(kHeartbeatBytes));
    const Bytes part = client.ReadFor(milliseconds(50));
    got.insert(got.end(), part.begin(), part.end());
  }
  EXPECT_TRUE(got.empty()) << got.size() << " bytes arrived";
  EXPECT_EQ(server.tcp.Counters().heartbeatsReceived, 10u);
  EXPECT_TRUE(server.sim.Requests().empty()) << "echoes never reach the processor";
}

// --- One client at a time ----------------------------------------------------------

TEST(SimTcpServer, SecondClientIsToldAndClosed) {
  Server server;
  TestClient first, second;
  ASSERT_TRUE(server.Connect(first));
  ASSERT_TRUE(second.Connect(server.tcp.Port()));
  Bytes before;
  EXPECT_TRUE(second.WaitClosed(milliseconds(2000), &before));
  EXPECT_EQ(std::string(before.begin(), before.end()), "ISCONNECTED");
  EXPECT_EQ(server.tcp.Counters().clientsRefused, 1u);

  // The first client is still served; once it leaves, a new one is.
  ASSERT_TRUE(first.Send(Envelope({0x07})));
  EXPECT_EQ(first.ReadAnswers(1).answers, (std::vector<Bytes>{{0x07, 0x00}}));
  first.Close();
  ASSERT_TRUE(Server::WaitFor([&] { return !server.tcp.HasClient(); }));
  TestClient third;
  ASSERT_TRUE(server.Connect(third));
  ASSERT_TRUE(third.Send(Envelope({0x07})));
  EXPECT_EQ(third.ReadAnswers(1).answers, (std::vector<Bytes>{{0x07, 0x00}}));
  EXPECT_EQ(server.tcp.Counters().clientsServed, 2u);
}

// --- Fault switches ------------------------------------------------------------------

struct FaultCase {
  const char* name;
  int dropEvery;
  int badChecksumEvery;
  std::vector<int> good;  // which of requests 1..8 get a good answer
  std::vector<int> bad;   // and which one with a wrong checksum
  friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<FaultCase> FaultCases() {
  return {
      {"None", 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}, {}},
      {"DropEveryThird", 3, 0, {1, 2, 4, 5, 7, 8}, {}},
      {"DropEvery", 1, 0, {}, {}},
      {"BadChecksumEverySecond", 0, 2, {1, 3, 5, 7}, {2, 4, 6, 8}},
      {"BadChecksumEveryFifth", 0, 5, {1, 2, 3, 4, 6, 7, 8}, {5}},
      {"DropWinsOverBadChecksum", 2, 3, {1, 5, 7}, {3}},
  };
}

class Faults : public ::testing::TestWithParam<std::tuple<FaultCase, bool>> {};

TEST_P(Faults, EveryNthAnswer) {
  const auto& [c, atRunTime] = GetParam();
  ServerOptions o = Server::Quiet();
  if (!atRunTime) {
    o.dropEvery = c.dropEvery;
    o.badChecksumEvery = c.badChecksumEvery;
  }
  Server server(o);
  if (atRunTime) {
    server.tcp.SetDropEvery(c.dropEvery);
    server.tcp.SetBadChecksumEvery(c.badChecksumEvery);
  }
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  for (std::uint8_t n = 1; n <= 8; ++n) ASSERT_TRUE(client.Send(Envelope(ReadRequest(n))));
  ASSERT_TRUE(Server::WaitFor([&] { return server.sim.Counters().answers == 8; }));
  const Received got = client.ReadAnswers(c.good.size() + c.bad.size());
  EXPECT_TRUE(client.ReadFor(milliseconds(100)).empty()) << "no more than expected";

  auto counts = [](const std::vector<Bytes>& answers) {
    std::vector<int> n;
    for (const Bytes& a : answers) n.push_back(a.size() > 3 ? a[3] : -1);
    return n;
  };
  EXPECT_EQ(counts(got.answers), c.good);
  EXPECT_EQ(counts(got.badAnswers), c.bad);
  const ServerCounters counters = server.tcp.Counters();
  EXPECT_EQ(counters.answersSent, c.good.size() + c.bad.size());
  EXPECT_EQ(counters.answersDropped, 8 - counters.answersSent);
  EXPECT_EQ(counters.badChecksumsSent, c.bad.size());
}

INSTANTIATE_TEST_SUITE_P(SimTcpServer, Faults,
                         ::testing::Combine(::testing::ValuesIn(FaultCases()), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_SetAtRunTime" : "_AtConstruction");
                         });

TEST(SimTcpServer, SilentAfterStopsAnswersAndHeartbeats) {
  ServerOptions o;
  o.heartbeatMs = 60;
  o.silentAfterMs = 300;
  Server server(o);
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  ASSERT_TRUE(client.Send(Envelope({0x07})));
  const Received early = client.ReadAnswers(1);
  EXPECT_EQ(early.answers, (std::vector<Bytes>{{0x07, 0x00}}));
  const Received beforeSilence = testing::Split(client.ReadFor(milliseconds(150)));
  EXPECT_GE(beforeSilence.heartbeats, 1);

  std::this_thread::sleep_for(milliseconds(200));  // past 300 ms into the connection
  client.ReadFor(milliseconds(20));                // whatever was already on its way
  ASSERT_TRUE(client.Send(Envelope({0x7F})));
  EXPECT_TRUE(client.ReadFor(milliseconds(400)).empty()) << "silence means nothing at all";
  EXPECT_EQ(server.sim.Requests().back(), Bytes{0x7F}) << "requests are still taken in";
  EXPECT_EQ(server.tcp.Counters().answersSilenced, 1u);

  server.tcp.SetSilentAfterMs(-1);
  ASSERT_TRUE(client.Send(Envelope({0x07})));
  EXPECT_EQ(client.ReadAnswers(1).answers, (std::vector<Bytes>{{0x07, 0x00}}));
}

TEST(SimTcpServer, SilenceSetAtRunTime) {
  Server server;
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  server.tcp.SetSilentAfterMs(0);
  ASSERT_TRUE(client.Send(Envelope({0x07})));
  EXPECT_TRUE(client.ReadFor(milliseconds(200)).empty());
}

TEST(SimTcpServer, LatencyDelaysAnswersAndLearningDoesNotBlockLaterOnes) {
  ServerOptions o = Server::Quiet();
  o.latencyMs = 100;
  ProcessorOptions p;
  p.learnDelay = milliseconds(300);
  Server server(o, p);
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  const auto start = steady_clock::now();
  ASSERT_TRUE(client.Send(Concat({Envelope({0x60, 0x07}), Envelope({0x07})})));

  const Received first = client.ReadAnswers(1);
  const auto firstAt = steady_clock::now() - start;
  const Received second = client.ReadAnswers(1);
  const auto secondAt = steady_clock::now() - start;
  ASSERT_EQ(first.answers.size(), 1u);
  ASSERT_EQ(second.answers.size(), 1u);
  EXPECT_EQ(first.answers[0], (Bytes{0x07, 0x00}));
  EXPECT_EQ(second.answers[0], (Bytes{0x60, 1, 7, ProcessorSim::LearntCode(7)}));
  EXPECT_GE(firstAt, milliseconds(90));
  EXPECT_LT(firstAt, milliseconds(350));
  EXPECT_GE(secondAt, milliseconds(390));
}

// --- Ending connections and the server ---------------------------------------------

TEST(SimTcpServer, DisconnectClientClosesAndTheNextIsServed) {
  Server server;
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  server.tcp.DisconnectClient();
  EXPECT_TRUE(client.WaitClosed(milliseconds(2000)));
  ASSERT_TRUE(Server::WaitFor([&] { return !server.tcp.HasClient(); }));
  TestClient next;
  ASSERT_TRUE(server.Connect(next));
  ASSERT_TRUE(next.Send(Envelope({0x07})));
  EXPECT_EQ(next.ReadAnswers(1).answers.size(), 1u);
}

TEST(SimTcpServer, ClientLeavingDropsItsPendingAnswers) {
  ServerOptions o = Server::Quiet();
  o.latencyMs = 200;
  Server server(o);
  {
    TestClient client;
    ASSERT_TRUE(server.Connect(client));
    ASSERT_TRUE(client.Send(Envelope({0x07})));
    ASSERT_TRUE(Server::WaitFor([&] { return server.sim.Counters().answers == 1; }));
  }
  ASSERT_TRUE(Server::WaitFor([&] { return !server.tcp.HasClient(); }));
  TestClient next;
  ASSERT_TRUE(server.Connect(next));
  EXPECT_TRUE(next.ReadFor(milliseconds(350)).empty()) << "the old client's answer stays with it";
}

TEST(SimTcpServer, StopReturnsPromptlyWithAClientConnected) {
  ServerOptions o;
  o.heartbeatMs = 5000;
  o.latencyMs = 5000;
  Server server(o);
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  ASSERT_TRUE(client.Send(Envelope({0x07})));  // an answer pending for seconds
  const auto start = steady_clock::now();
  server.tcp.Stop();
  EXPECT_LT(steady_clock::now() - start, milliseconds(500));
  EXPECT_FALSE(server.tcp.Running());
  EXPECT_TRUE(client.WaitClosed(milliseconds(1000)));
  server.tcp.Stop();  // again: nothing to do
}

TEST(SimTcpServer, DestructorEndsAServingServer) {
  ProcessorSim sim;
  TestClient client;
  const auto start = steady_clock::now();
  {
    SimTcpServer tcp(sim);
    std::string error;
    ASSERT_TRUE(tcp.Start(error)) << error;
    ASSERT_TRUE(client.Connect(tcp.Port()));
    ASSERT_TRUE(Server::WaitFor([&] { return tcp.HasClient(); }));
  }
  EXPECT_LT(steady_clock::now() - start, milliseconds(1000));
  EXPECT_TRUE(client.WaitClosed(milliseconds(1000)));
}

TEST(SimTcpServer, StartReportsWhatIsWrong) {
  Server running;
  ProcessorSim sim;
  struct Case {
    const char* name;
    std::string address;
    std::uint16_t port;
    const char* errorPart;
  };
  for (const Case& c : {Case{"PortInUse", "127.0.0.1", running.tcp.Port(), "cannot listen"},
                        Case{"NotAnAddress", "localhost:1", 0, "not an IPv4 address"},
                        Case{"ForeignAddress", "192.0.2.1", 0, "cannot listen"}}) {
    ServerOptions o;
    o.bindAddress = c.address;
    o.port = c.port;
    SimTcpServer tcp(sim, o);
    std::string error;
    EXPECT_FALSE(tcp.Start(error)) << c.name;
    EXPECT_NE(error.find(c.errorPart), std::string::npos) << c.name << ": " << error;
    EXPECT_FALSE(tcp.Running()) << c.name;
  }
  std::string error;
  EXPECT_FALSE(running.tcp.Start(error)) << "already running";
}

TEST(SimTcpServer, RestartsAfterStop) {
  Server server;
  server.tcp.Stop();
  std::string error;
  ASSERT_TRUE(server.tcp.Start(error)) << error;
  TestClient client;
  ASSERT_TRUE(server.Connect(client));
  ASSERT_TRUE(client.Send(Envelope({0x07})));
  EXPECT_EQ(client.ReadAnswers(1).answers.size(), 1u);
}

}  // namespace
}  // namespace sim
