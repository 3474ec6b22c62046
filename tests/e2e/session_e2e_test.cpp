// The session's connection and mode operations against the simulated
// processor, on USB (in-process HID device) and TCP (loopback server).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sim/sim_hid_backend.h"
#include "sim_fixture.h"

namespace e2e {
namespace {

Bytes Report(Bytes body) {
  body.insert(body.begin(), 0x02);
  body.resize(61, 0);
  return body;
}

class SessionE2e : public ::testing::Test {
 protected:
  SessionE2e() {
    auto backend = std::make_unique<sim::SimHidBackend>(usbProcessor);
    hid = backend.get();
    session = std::make_unique<core::Session>(std::move(backend));
    session->SetEvents(&events);
    std::string error;
    EXPECT_TRUE(server.Start(error)) << error;
  }
  ~SessionE2e() override { session.reset(); }
  std::size_t UsbNotices() const {
    const auto reports = hid->Reports();
    return static_cast<std::size_t>(
        std::count_if(reports.begin(), reports.end(), [](const Bytes& r) { return r[1] == 0x8A; }));
  }

  sim::ProcessorSim usbProcessor;
  sim::ProcessorSim netProcessor;
  sim::SimTcpServer server{netProcessor};
  sim::SimHidBackend* hid = nullptr;
  EventLog events;
  std::unique_ptr<core::Session> session;
};

TEST_F(SessionE2e, NetworkConnectClosesAnOpenUsbLinkFirst) {
  ASSERT_EQ(session->ConnectUsbDevice(), 1);
  EXPECT_FALSE(session->NetworkMode());
  EXPECT_EQ(session->LastUsbOpenResult(), core::link::UsbOpenResult::Opened);

  ASSERT_EQ(session->ConnectNetwork("127.0.0.1", server.Port()), core::link::kTcpConnected);
  EXPECT_TRUE(session->NetworkMode());
  EXPECT_TRUE(session->IsOpen());
  ASSERT_TRUE(WaitFor([&] { return server.HasClient(); }));
  EXPECT_FALSE(session->Usb().IsOpenDevice(sim::SimHidBackend::kDevicePath))
      << "the USB link is closed";
  EXPECT_EQ(UsbNotices(), 0u) << "closed without the notice";

  // Edits now go to the network processor.
  session->Params().SetParam(1, 14, 100);
  ASSERT_TRUE(session->AwaitLastAnswer(5000ms));
  const auto image = netProcessor.Image();
  EXPECT_EQ(Bytes(image.begin() + 1495, image.begin() + 1499), (Bytes{0x3F, 0x80, 0x00, 0x01}));
}

TEST_F(SessionE2e, UsbConnectLeavesAnOpenNetworkLinkAlone) {
  ASSERT_EQ(session->ConnectNetwork("127.0.0.1", server.Port()), 1);
  EXPECT_EQ(session->ConnectUsbDevice(), 0);
  EXPECT_EQ(session->LastUsbOpenResult(), core::link::UsbOpenResult::AlreadyOpen);
  EXPECT_TRUE(session->NetworkMode());
  EXPECT_TRUE(session->IsOpen());
  EXPECT_TRUE(hid->OpenedPaths().empty());

  session->Disconnect(true);
  EXPECT_FALSE(session->IsOpen());
  EXPECT_TRUE(WaitFor([&] { return netProcessor.Counters().disconnectNotices == 1; }));
}

TEST_F(SessionE2e, FailedConnectsSayWhy) {
  // A port nobody listens on.
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  socklen_t len = sizeof a;
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &len);
  ::close(probe);
  EXPECT_EQ(session->ConnectNetwork("127.0.0.1", ntohs(a.sin_port)), ECONNREFUSED);
  EXPECT_TRUE(session->NetworkMode());
  EXPECT_FALSE(session->IsOpen());

  hid->SetEntries({});
  EXPECT_EQ(session->ConnectUsbDevice(), 0);
  EXPECT_FALSE(session->NetworkMode());
  EXPECT_EQ(session->LastUsbOpenResult(), core::link::UsbOpenResult::NoDevice);
}

TEST_F(SessionE2e, UseNetworkChoosesTheLinkOfTheNextConnect) {
  session->UseNetwork("127.0.0.1", server.Port());
  EXPECT_TRUE(session->NetworkMode());
  ASSERT_EQ(session->Connect(), 1);
  ASSERT_TRUE(WaitFor([&] { return server.HasClient(); }));
  EXPECT_TRUE(hid->OpenedPaths().empty());
}

// 05 n goes out, the processor answers, the dispatcher starts a read-all.
TEST_F(SessionE2e, LoadingAModeOnUsbReadsEverythingAgain) {
  ASSERT_EQ(session->ConnectUsbDevice(), 1);
  ASSERT_TRUE(session->LoadMode(2));
  ASSERT_TRUE(WaitFor([&] { return events.readDone.load() == 1; }, 20000ms));
  EXPECT_EQ(session->Records().CurrentMode(), 2);
  EXPECT_EQ(hid->Reports()[0], Report({0x05, 0x02}));
  ASSERT_TRUE(session->Sync().WaitIdle(5000ms));
  EXPECT_TRUE(session->PollStatus()) << "the status poll runs again after the read-all";

  session->Disconnect(true);
  EXPECT_EQ(UsbNotices(), 1u);
  EXPECT_FALSE(session->PollStatus());
}

}  // namespace
}  // namespace e2e
