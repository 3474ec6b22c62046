// The session's operations as bytes on the wire: a session whose link is
// open onto recording transports that answer every write at once, sending
// through the write queue and the link's write thread as the application
// does.
#include "core/session.h"

#include <gtest/gtest.h>

#include "core/link/recording_transport.h"

namespace core {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using link::LinkType;

Bytes Report(Bytes body) {
  body.insert(body.begin(), 0x02);
  body.resize(61, 0);
  return body;
}

class SessionOps : public ::testing::Test {
 protected:
  SessionOps() {
    session.Link().SetTransport(LinkType::Usb, &usb);
    session.Link().SetTransport(LinkType::Tcp, &tcp);
    auto answer = [this](const link::RecordingTransport::Record&) { session.Link().ReplyReceived(); };
    usb.SetOnWrite(answer);
    tcp.SetOnWrite(answer);
  }
  ~SessionOps() override {
    session.Link().StopWriter();
    session.Link().State().open = false;
  }
  void Open(LinkType type) {
    session.Link().StopWriter();
    session.Link().State().networkMode = type == LinkType::Tcp;
    session.Link().State().open = true;
    session.Link().StartWriter(type);
  }
  // What went on the wire, once everything queued has been answered.
  std::vector<Bytes> Wire(LinkType type) {
    EXPECT_TRUE(session.AwaitLastAnswer(5000ms));
    std::vector<Bytes> out;
    for (const auto& r : (type == LinkType::Usb ? usb : tcp).Records()) out.push_back(r.wire);
    return out;
  }
  std::vector<Bytes> UsbWire() { return Wire(LinkType::Usb); }

  // Declared first: the session's write thread writes to them until it ends.
  link::RecordingTransport usb{LinkType::Usb};
  link::RecordingTransport tcp{LinkType::Tcp};
  Session session;
};

TEST_F(SessionOps, CommandsOnUsb) {
  struct Case {
    const char* what;
    std::function<void(Session&)> op;
    std::vector<Bytes> bodies;
  };
  const Case cases[] = {
      {"status", [](Session& s) { EXPECT_TRUE(s.PollStatus()); }, {{0x0E}}},
      {"load M3", [](Session& s) { s.LoadMode(2); }, {{0x05, 0x02}}},
      {"load clamped up", [](Session& s) { s.LoadMode(9); }, {{0x05, 0x03}}},
      {"load clamped down", [](Session& s) { s.LoadMode(-4); }, {{0x05, 0x00}}},
      {"store M2", [](Session& s) { s.StoreMode(1); }, {{0x04, 0x01}}},
      {"name and store M4", [](Session& s) { s.NameAndStoreMode(3); }, {{0x03, 0x03}, {0x04, 0x03}}},
      {"factory reset", [](Session& s) { s.FactoryReset(); }, {{0x68, 0xAA}}},
      {"identity", [](Session& s) { s.RequestIdentity(); },
       {{0x80}, {0x7F}, {0x81}, {0x7E}, {0x07}}},
  };
  for (const Case& c : cases) {
    usb.Clear();
    Open(LinkType::Usb);
    c.op(session);
    std::vector<Bytes> want;
    for (const Bytes& b : c.bodies) want.push_back(Report(b));
    EXPECT_EQ(UsbWire(), want) << c.what;
  }
}

TEST_F(SessionOps, CommandsOnTcp) {
  Open(LinkType::Tcp);
  EXPECT_TRUE(session.PollStatus());
  session.LoadMode(2);
  session.FactoryReset();
  // 0x55, length, 0x81, the body, 0xFF ^ length ^ every body byte.
  EXPECT_EQ(Wire(LinkType::Tcp), (std::vector<Bytes>{{0x55, 0x03, 0x81, 0x0E, 0x73},
                                                     {0x55, 0x04, 0x81, 0x05, 0x02, 0x7D},
                                                     {0x55, 0x04, 0x81, 0x68, 0xAA, 0xB8}}));
}

TEST_F(SessionOps, LoadingAModeMakesItCurrentAndClearsTheStatus) {
  Open(LinkType::Usb);
  link::DeviceStatus status{};
  status.fill(0x5A);
  session.Records().SetStatus(status);
  EXPECT_TRUE(session.LoadMode(3));
  EXPECT_EQ(session.Records().CurrentMode(), 3);
  EXPECT_EQ(session.Records().Status(), link::DeviceStatus{});
  EXPECT_FALSE(session.PollStatus()) << "no status poll until the read-all has run";
  EXPECT_EQ(UsbWire(), std::vector<Bytes>{Report({0x05, 0x03})});

  session.Link().State().open = false;
  EXPECT_FALSE(session.LoadMode(1)) << "nothing to load into";
  EXPECT_EQ(session.Records().CurrentMode(), 3);
  EXPECT_EQ(usb.Count(), 1u);
}

TEST_F(SessionOps, StatusPollOnlyOnAnOpenLiveLink) {
  EXPECT_FALSE(session.PollStatus()) << "closed";
  Open(LinkType::Usb);
  session.Link().State().readerEnded = true;
  EXPECT_FALSE(session.PollStatus()) << "the reader gave up";
  session.Link().State().readerEnded = false;
  EXPECT_TRUE(session.PollStatus());
  EXPECT_EQ(UsbWire(), std::vector<Bytes>{Report({0x0E})});
}

TEST_F(SessionOps, RemoteKeysAreKeptAndApplied) {
  Open(LinkType::Usb);
  link::RemoteKeyTable keys{};
  for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = static_cast<std::uint8_t>(0xA0 + i);
  session.ApplyRemoteKeys(keys);
  EXPECT_EQ(session.Records().RemoteKeys(), keys);
  Bytes body = {0x63};
  for (int i = 0; i < 30; ++i) body.push_back(static_cast<std::uint8_t>(0xA0 + i));
  EXPECT_EQ(UsbWire(), std::vector<Bytes>{Report(body)});
}

TEST_F(SessionOps, PlugCommandsAndTheirStops) {
  struct Case {
    const char* what;
    std::function<bool(Session&)> op;
    Bytes body;  // USB body: 12, frame length, the Serial API frame; empty: nothing sent
  };
  const Case cases[] = {
      {"set node 5 to 99", [](Session& s) { return s.StartPlugCommand(0x13, 5, 99); },
       {0x12, 0x0C, 0x01, 0x0A, 0x00, 0x13, 0x05, 0x03, 0x20, 0x01, 0x63, 0x25, 0x43, 0xC4}},
      {"set without a node", [](Session& s) { return s.StartPlugCommand(0x13, 0, 99); }, {}},
      {"start inclusion", [](Session& s) { return s.StartPlugCommand(0x4A, 0, 0); },
       {0x12, 0x07, 0x01, 0x05, 0x00, 0x4A, 0x01, 0x30, 0x81}},
      {"start exclusion", [](Session& s) { return s.StartPlugCommand(0x4B, 7, 1); },
       {0x12, 0x07, 0x01, 0x05, 0x00, 0x4B, 0x01, 0x09, 0xB9}},
      {"other code", [](Session& s) { return s.StartPlugCommand(0x20, 5, 1); }, {}},
      {"stop set", [](Session& s) { return s.StopPlugWait(0x13); },
       {0x12, 0x07, 0x01, 0x05, 0x00, 0x13, 0x05, 0x00, 0xEC}},
      {"stop inclusion", [](Session& s) { return s.StopPlugWait(0x4A); },
       {0x12, 0x07, 0x01, 0x05, 0x00, 0x4A, 0x05, 0x00, 0xB5}},
      {"stop exclusion", [](Session& s) { return s.StopPlugWait(0x4B); },
       {0x12, 0x07, 0x01, 0x05, 0x00, 0x4B, 0x05, 0x00, 0xB4}},
      {"stop other", [](Session& s) { return s.StopPlugWait(0x02); }, {}},
  };
  for (const Case& c : cases) {
    usb.Clear();
    Open(LinkType::Usb);
    EXPECT_EQ(c.op(session), !c.body.empty()) << c.what;
    const std::vector<Bytes> want =
        c.body.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{Report(c.body)};
    EXPECT_EQ(UsbWire(), want) << c.what;
  }
  session.Link().State().open = false;
  EXPECT_FALSE(session.StartPlugCommand(0x4A, 0, 0)) << "closed";
}

// The command-line tool's switch: every send written before the call
// returns, and a run ending does not turn it off. A run that stops early
// gives the queue back.
TEST_F(SessionOps, SynchronousSendsSwitchOutlivesTheRuns) {
  Open(LinkType::Usb);
  session.SetSynchronousSends(true);
  session.FactoryReset();
  EXPECT_EQ(usb.Count(), 1u) << "written on the calling thread";
  session.Sync().ReadAll();  // no processor behind: stops after two identity rounds
  EXPECT_EQ(usb.Count(), 9u);
  EXPECT_FALSE(session.Link().QueueEnabled());
  session.SetSynchronousSends(false);
  EXPECT_TRUE(session.Link().QueueEnabled());

  session.Sync().ReadAll();
  EXPECT_TRUE(session.Link().QueueEnabled()) << "the stopped run gave the queue back";
}

TEST(SynchronousSends, HoldsAreCountedApartFromTheSwitch) {
  link::Link link;
  link.HoldSynchronousSends();
  link.HoldSynchronousSends();
  link.ReleaseSynchronousSends();
  EXPECT_FALSE(link.QueueEnabled()) << "one run still holds them";
  link.SetSynchronousSends(true);
  link.ReleaseSynchronousSends();
  EXPECT_FALSE(link.QueueEnabled()) << "the switch";
  link.ReleaseSynchronousSends();  // one release too many changes nothing
  EXPECT_FALSE(link.QueueEnabled());
  link.SetSynchronousSends(false);
  EXPECT_TRUE(link.QueueEnabled());
  link.ReleaseSynchronousSends();
  EXPECT_TRUE(link.QueueEnabled());
  {
    link::SynchronousSendsHold hold(link);
    EXPECT_FALSE(link.QueueEnabled());
    hold.Release();
    EXPECT_TRUE(link.QueueEnabled());
  }
  EXPECT_TRUE(link.QueueEnabled()) << "released once only";
}

}  // namespace
}  // namespace core
