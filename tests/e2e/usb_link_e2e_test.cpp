// The USB link against the in-process simulated HID device.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/link/hotplug_monitor.h"
#include "sim/sim_hid_backend.h"
#include "sim_fixture.h"

namespace e2e {
namespace {

using core::link::HidDeviceEntry;

Bytes Report(Bytes body) {
  body.insert(body.begin(), 0x02);
  body.resize(61, 0);
  return body;
}

class UsbLinkE2e : public ::testing::Test {
 protected:
  UsbLinkE2e() {
    auto backend = std::make_unique<sim::SimHidBackend>(processor);
    hid = backend.get();
    session = std::make_unique<core::Session>(std::move(backend));
    session->Link().SetEvents(&events);
  }
  void Connect() {
    ASSERT_EQ(session->Connect(), 1);
    ASSERT_EQ(session->Usb().LastOpenResult(), core::link::UsbOpenResult::Opened);
  }
  // The bodies' first bytes, as the processor got them.
  std::vector<Bytes> Heads(std::size_t n) {
    std::vector<Bytes> out;
    for (const Bytes& r : hid->Reports()) out.emplace_back(r.begin(), r.begin() + 1 + n);
    return out;
  }

  sim::ProcessorSim processor;
  sim::SimHidBackend* hid = nullptr;
  EventLog events;
  std::unique_ptr<core::Session> session;
};

TEST_F(UsbLinkE2e, ReadAllWithTheExactReports) {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  image[1495] = 0x3E;
  image[3517] = 0x09;
  processor.SetImage(image);
  Connect();
  session->Sync().StartReadAll();
  ASSERT_TRUE(WaitFor([&] { return events.readDone.load() == 1; }, 20000ms));
  ASSERT_TRUE(WaitFor([&] { return hid->Reports().size() == 70; }));
  const auto reports = hid->Reports();
  EXPECT_EQ(reports[0], Report({0x80}));
  EXPECT_EQ(reports[1], Report({0x7F}));
  EXPECT_EQ(reports[4], Report({0x07}));
  EXPECT_EQ(reports[5], Report({0x30, 0x00, 0x00, 0x38}));
  EXPECT_EQ(reports[67], Report({0x30, 0x0D, 0x90, 0x2E}));
  EXPECT_EQ(reports[68], Report({0x92}));
  EXPECT_EQ(reports[69], Report({0x62}));
  EXPECT_EQ(session->Params().Image(), image);
  EXPECT_EQ(session->Records().Identity().ModelName(), "NR620");
}

TEST_F(UsbLinkE2e, WriteAllWithTheExactReports) {
  Connect();
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  image[100] = 0x77;
  session->Params().SetImage(image);
  session->Sync().StartWriteAll();
  ASSERT_TRUE(WaitFor([&] { return events.writeDone.load() == 1; }, 20000ms));
  const auto reports = hid->Reports();
  ASSERT_EQ(reports.size(), 64u);
  Bytes last = {0x31, 0x0D, 0x90, 0x2E};
  last.insert(last.end(), image.begin() + 3472, image.end());
  EXPECT_EQ(reports[62], Report(last));
  EXPECT_EQ(reports[63], Report({0x32}));
  EXPECT_EQ(processor.Image(), image);
}

TEST_F(UsbLinkE2e, OpensTheFirstActiveMatchingDevice) {
  hid->SetEntries({
      {"/dev/hidraw0", 0x2010, 0x1031, HidDeviceEntry::kActive | 0x2},  // more than active
      {"/dev/hidraw1", 0x1234, 0x1031, HidDeviceEntry::kActive},        // another vendor
      {"/dev/hidraw2", 0x2010, 0x1031, HidDeviceEntry::kActive},
      {"/dev/hidraw3", 0x2010, 0x1031, HidDeviceEntry::kActive},
  });
  hid->SetProcessorPath("/dev/hidraw2");
  Connect();
  EXPECT_EQ(hid->OpenedPaths(), std::vector<std::string>{"/dev/hidraw2"});
  EXPECT_EQ(session->Usb().DevicePath(), "/dev/hidraw2");
  EXPECT_EQ(session->Connect(), 0) << "already open";
  EXPECT_EQ(session->Usb().LastOpenResult(), core::link::UsbOpenResult::AlreadyOpen);
}

TEST_F(UsbLinkE2e, NoDeviceAndNoPermissionAreTold) {
  hid->SetEntries({});
  EXPECT_EQ(session->Connect(), 0);
  EXPECT_EQ(session->Usb().LastOpenResult(), core::link::UsbOpenResult::NoDevice);
  hid->SetEntries({{sim::SimHidBackend::kDevicePath, 0x2010, 0x1031, HidDeviceEntry::kActive}});
  hid->DenyAccess(sim::SimHidBackend::kDevicePath);
  EXPECT_EQ(session->Connect(), 0);
  EXPECT_EQ(session->Usb().LastOpenResult(), core::link::UsbOpenResult::PermissionDenied);
  EXPECT_FALSE(session->Link().IsOpen());
}

TEST_F(UsbLinkE2e, ReadErrorEndsTheReaderAndLaterWritesReturnAtOnce) {
  Connect();
  session->Link().SendCommandBytes({0x07});
  ASSERT_TRUE(session->Link().AwaitLastAnswer(2000ms));
  hid->FailNextRead();
  ASSERT_TRUE(WaitFor([&] { return session->Link().State().readerEnded.load(); }));
  EXPECT_FALSE(session->PollStatus()) << "no status request to a dead reader";
  const std::size_t written = hid->Reports().size();
  session->Link().State().replyEvent.WaitFor(0ms);  // nothing would release a wait
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(session->Link().SendCommandBytes({0x07}), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 100ms);
  EXPECT_EQ(hid->Reports().size(), written);
  // The link stays marked open until it is closed; then it opens again.
  session->Usb().UsbClose(false);
  Connect();
  EXPECT_FALSE(session->Link().State().readerEnded);
}

// Synchronous sends (a synchronisation run's) keep their pacing on USB.
TEST_F(UsbLinkE2e, UnansweredWriteDelaysTheNextByTheReplyTimeoutOnly) {
  Connect();
  session->SetSynchronousSends(true);
  session->Link().SendCommandBytes({0x07});
  ASSERT_TRUE(session->Link().AwaitLastAnswer(2000ms));
  hid->SetDropEvery(1);
  session->Link().SendCommandBytes({0x07});
  hid->SetDropEvery(0);
  auto send = [&] { session->Link().SendCommandBytes({0x07}); };
  const auto late = TimeOf(send);
  const auto next = TimeOf(send);
  EXPECT_GE(late, 1900ms);
  EXPECT_LT(late, 2300ms);
  EXPECT_LT(next, 500ms);
}

// The parameters of the first `n` table rows that SetParam sends.
std::vector<std::pair<int, int>> EditableParams(std::size_t n) {
  std::vector<std::pair<int, int>> out;
  for (const core::params::ParamEntry& e : core::params::kParamTable) {
    if (out.size() == n) break;
    const std::pair<int, int> p{e.module, e.param};
    if (e.HasMirror() && e.HasSlot() && std::find(out.begin(), out.end(), p) == out.end()) {
      out.push_back(p);
    }
  }
  return out;
}

// The (module, parameter) of every parameter frame among the reports.
std::vector<std::pair<int, int>> ParamFrames(const std::vector<Bytes>& reports) {
  std::vector<std::pair<int, int>> out;
  for (const Bytes& r : reports) {
    if (r[1] == 0x09) out.emplace_back(r[3], r[4]);
  }
  return out;
}

// Edits return at once: a device that answers nothing holds back the
// link's write thread, never the caller.
TEST_F(UsbLinkE2e, SilentDeviceNeverBlocksTheCaller) {
  Connect();
  session->Link().SetReplyTimeout(std::chrono::minutes(1));  // only an answer moves the queue
  hid->HoldAnswers(true);
  const auto edits = EditableParams(50);
  ASSERT_EQ(edits.size(), 50u);
  for (const auto& [module, param] : edits) session->Params().SetParam(module, param, 1);
  // Every call has returned, and the device has still answered nothing:
  // the first frame is on the wire waiting for its answer, the others are
  // queued behind it.
  ASSERT_TRUE(WaitFor([&] { return hid->Reports().size() == 1; }));
  EXPECT_EQ(session->Link().State().queue.Size(), 49u);
  hid->HoldAnswers(false);
  ASSERT_TRUE(session->Link().AwaitLastAnswer(10000ms));
  EXPECT_EQ(ParamFrames(hid->Reports()), edits) << "all of them, in the order of the calls";
}

// An equaliser reset is 2 x 15 frames (band message, store write): the call
// returns with the device silent, and the processor's store ends up as the
// session's.
TEST_F(UsbLinkE2e, EqResetReturnsAtOnceAndArrivesWhole) {
  Connect();
  session->Link().SetReplyTimeout(std::chrono::minutes(1));
  hid->HoldAnswers(true);
  ASSERT_TRUE(session->Eq().ResetEq(7));  // CH1
  ASSERT_TRUE(WaitFor([&] { return hid->Reports().size() == 1; }));
  EXPECT_GT(session->Link().State().queue.Size(), 10u);
  hid->HoldAnswers(false);
  ASSERT_TRUE(session->Link().AwaitLastAnswer(10000ms));
  const auto reports = hid->Reports();
  ASSERT_GT(reports.size(), 10u);
  for (std::size_t i = 0; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i][1], i % 2 == 0 ? 0x09 : 0x85) << i;
  }
  const auto store = session->Params().Store();
  const auto image = processor.Image();
  EXPECT_TRUE(std::equal(store.begin(), store.begin() + core::params::kStoreDecodedSize,
                         image.begin()));
}

// A device that never answers gets the queued frames all the same, each
// one reply timeout after the one before.
TEST_F(UsbLinkE2e, UnansweredQueuedFramesStillGoOut) {
  Connect();
  session->Link().SetReplyTimeout(50ms);
  hid->SetDropEvery(1);
  const auto edits = EditableParams(5);
  for (const auto& [module, param] : edits) session->Params().SetParam(module, param, 1);
  ASSERT_TRUE(WaitFor([&] { return hid->Reports().size() == 5; }));
  EXPECT_EQ(ParamFrames(hid->Reports()), edits);
  // The backend keeps a report before the processor takes it in: on a slow
  // (sanitised) run the count can lag the reports by a moment.
  EXPECT_TRUE(WaitFor([&] { return processor.Counters().requests == 5u; }));
  EXPECT_EQ(processor.Counters().requests, 5u);
}

TEST_F(UsbLinkE2e, RemovalOfTheOpenDeviceClosesTheLink) {
  struct Removals final : core::link::LinkEvents {
    core::Session* s = nullptr;
    std::atomic<int> removed{0}, arrived{0}, closed{0};
    void DeviceRemoved(const std::string& path) override {
      // Counted once handled, so a test that sees the removal sees its close.
      closed += s->HandleDeviceRemoved(path);
      ++removed;
    }
    void DeviceArrived(const std::string&) override { ++arrived; }
  } removals;
  removals.s = session.get();
  Connect();
  EXPECT_FALSE(session->HandleDeviceRemoved("/dev/hidraw9")) << "another device";
  EXPECT_TRUE(session->Link().IsOpen());

  core::link::HotplugMonitor monitor(removals, *hid);
  ASSERT_EQ(monitor.Start(true, 20ms), core::link::HotplugMonitor::Mode::Polling);
  hid->Unplug();
  ASSERT_TRUE(WaitFor([&] { return removals.removed.load() == 1; }));
  EXPECT_EQ(removals.closed.load(), 1);
  EXPECT_FALSE(session->Link().IsOpen());
  hid->Plug();
  ASSERT_TRUE(WaitFor([&] { return removals.arrived.load() == 1; }));
  monitor.Stop();
  Connect();
  EXPECT_TRUE(session->HandleDeviceRemoved("/DEV/HIDRAW-SIM0")) << "paths compare without case";
  EXPECT_FALSE(session->Link().IsOpen());
}

TEST_F(UsbLinkE2e, CloseWithNoticeSendsItFirst) {
  Connect();
  session->Usb().UsbClose(true);
  EXPECT_FALSE(session->Link().IsOpen());
  ASSERT_FALSE(hid->Reports().empty());
  EXPECT_EQ(hid->Reports().back(), Report({0x8A}));
  session->Usb().UsbClose(true);  // twice is harmless
  EXPECT_EQ(hid->Reports().back(), Report({0x8A}));
  EXPECT_EQ(processor.Counters().disconnectNotices, 1u);
}

TEST(HidapiBackend, InitialisesAndFindsNoProcessorHere) {
  auto backend = core::link::MakeHidapiBackend();
  EXPECT_TRUE(backend->Enumerate(core::link::kUsbVendorId, core::link::kUsbProductId).empty());
  core::link::HidOpenError error{};
  EXPECT_EQ(backend->Open("/dev/hidraw-none", error), nullptr);
  EXPECT_EQ(error, core::link::HidOpenError::NotFound);
}

TEST(HotplugMonitor, StartsOnUdevOrFallsBackAndStopsPromptly) {
  core::link::LinkEvents quiet;
  auto backend = core::link::MakeHidapiBackend();
  core::link::HotplugMonitor monitor(quiet, *backend);
  const auto mode = monitor.Start();
  EXPECT_NE(mode, core::link::HotplugMonitor::Mode::Stopped);
  const auto t0 = std::chrono::steady_clock::now();
  monitor.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 500ms);
  EXPECT_EQ(monitor.CurrentMode(), core::link::HotplugMonitor::Mode::Stopped);
}

}  // namespace
}  // namespace e2e
