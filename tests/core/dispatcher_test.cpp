#include "core/link/dispatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/session.h"

namespace core::link {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

struct Events final : LinkEvents {
  void RemoteKeyLearnt(std::uint8_t code) override { keys.push_back(code); }
  void DeviceError(std::uint8_t c, std::uint8_t a, std::uint8_t b) override {
    errors.push_back({c, a, b});
  }
  std::vector<std::uint8_t> keys;
  std::vector<Bytes> errors;
};

struct Plugs final : PlugFrameSink {
  void PlugFrame(std::span<const std::uint8_t> b) override { frames.emplace_back(b.begin(), b.end()); }
  void PlugStoreBlock(std::span<const std::uint8_t> b) override {
    blocks.emplace_back(b.begin(), b.end());
  }
  std::vector<Bytes> frames, blocks;
};

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() : d(session.Dispatcher()) {
    session.Link().SetEvents(&events);
    d.SetPlugSink(&plugs);
    d.SetReadAllStarter([this] { ++readAlls; });
  }
  // A USB report: report id, the body, zeros up to 61 bytes.
  void Usb(Bytes body) {
    Bytes report = {0x02};
    report.insert(report.end(), body.begin(), body.end());
    report.resize(61, 0);
    Dispatch(report, 61);
  }
  // A TCP envelope body as the receive path hands it on.
  void Tcp(Bytes body) {
    body.insert(body.begin(), 0x81);
    const std::size_t length = body.size() + 1;
    Dispatch(body, length);
  }
  void Dispatch(const Bytes& frame, std::size_t length) {
    session.Link().State().replyEvent.WaitFor(0ms);  // consume
    d.DispatchFrame(frame, length);
    EXPECT_TRUE(session.Link().State().replyEvent.IsSet()) << "every frame releases a sender";
  }
  params::DeviceImage Image() { return session.Params().Image(); }
  params::EqStore Store() { return session.Params().Store(); }

  Session session;
  Dispatcher& d;
  Events events;
  Plugs plugs;
  int readAlls = 0;
};

TEST_F(DispatcherTest, ModeSettingsChangedAndMachineSettings) {
  Usb({0x07, 0x02});
  EXPECT_EQ(session.Records().CurrentMode(), 2);
  Usb({0x07, 0x09});  // not a mode slot: dropped
  EXPECT_EQ(session.Records().CurrentMode(), 2);
  Usb({0x09});
  EXPECT_TRUE(session.Records().SettingsChanged());
  Bytes settings = {0x92};
  for (int i = 0; i < 14; ++i) settings.push_back(static_cast<std::uint8_t>(0x10 + i));
  Usb(settings);
  EXPECT_EQ(session.Records().WorkingSettings()[13], 0x1D);
  EXPECT_EQ(session.Records().DeviceSettings(), session.Records().WorkingSettings());
}

TEST_F(DispatcherTest, ModeChangeStartsTheReadAll) {
  Usb({0x05});
  Tcp({0x06});
  EXPECT_EQ(readAlls, 2);
}

TEST_F(DispatcherTest, ErrorIsReportedOncePerRun) {
  Usb({0x0A, 0x00, 0x09, 0x01});
  EXPECT_TRUE(events.errors.empty());
  Usb({0x0A, 0x03, 0x09, 0x01});
  Usb({0x0A, 0x04, 0x31, 0x00});
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0], (Bytes{0x03, 0x09, 0x01}));
}

TEST_F(DispatcherTest, StatusAndPitch) {
  Bytes status = {0x0E};
  for (int i = 0; i < 30; ++i) status.push_back(static_cast<std::uint8_t>(i + 1));
  status[8] = 0x73;  // status byte 7: pitch + 5 in the high nibble
  Usb(status);
  EXPECT_EQ(session.Records().Status()[0], 1);
  EXPECT_EQ(session.Records().Status()[29], 30);
  EXPECT_EQ(session.Params().Display().musicPitch, 2);
  Tcp({0x0E, 0x05});  // a short status: what came, the rest zero
  EXPECT_EQ(session.Records().Status()[0], 5);
  EXPECT_EQ(session.Records().Status()[1], 0);
}

TEST_F(DispatcherTest, ProtocolAndBoardInformation) {
  Tcp({0x7F, 20});  // L = 4: no board information
  EXPECT_EQ(session.Records().Identity().ProtocolVersion(), 20);
  EXPECT_EQ(session.Records().Board(), BoardInfo{});
  Usb({0x7F, 17, 0x00, 0x55, 0x01, 0x02, 0x03, 0x04, 0x05});
  EXPECT_EQ(session.Records().Identity().ProtocolVersion(), 17);
  EXPECT_EQ(session.Records().Board(), (BoardInfo{0x55, 0x01, 0x02, 0x03, 0x04, 0x05}));
}

TEST_F(DispatcherTest, Texts) {
  Usb({0x80, 'A', 'B', 'C'});
  const DeviceIdentity id = session.Records().Identity();
  EXPECT_EQ(id.ModelName(), "ABC");
  for (int i = 7; i < 36; ++i) EXPECT_EQ(id.bytes[i], 0) << i;
  Bytes longText = {0x81};
  longText.resize(60, 'x');
  Usb(longText);
  EXPECT_EQ(session.Records().Identity().McuVersion(), std::string(10, 'x'));
  EXPECT_EQ(session.Records().Identity().DspVersion(), "2016-11-30") << "the next field is untouched";
  Tcp({0x7E, '2', '0', '1', '9', 0, 'z'});
  EXPECT_EQ(session.Records().Identity().DspVersion(), "2019");
}

TEST_F(DispatcherTest, ImageBlocksAreCutToTheImage) {
  const params::DeviceImage before = Image();
  Usb({0x30, 0x0D, 0xBE, 0x10, 0xEE});  // offset 3518
  EXPECT_EQ(Image(), before);

  Bytes block = {0x30, 0x0D, 0xAC, 18};  // offset 3500, 18 bytes
  block.resize(4 + 18, 0xAB);
  Usb(block);
  for (int i = 3500; i < 3518; ++i) EXPECT_EQ(Image()[i], 0xAB) << i;

  Bytes over = {0x30, 0x0D, 0xAC, 56};  // claims 56 bytes from 3500
  over.resize(4 + 56, 0xCD);
  Usb(over);
  EXPECT_EQ(Image()[3517], 0xCD);

  Tcp({0x30, 0x00, 0x10, 56, 0x01, 0x02});  // claims 56, brings 2
  EXPECT_EQ(Image()[0x10], 0x01);
  EXPECT_EQ(Image()[0x12], before[0x12]);
}

TEST_F(DispatcherTest, StoreBlocksByArea) {
  Usb({0x86, 0x00, 0x0A, 0x03, 0x11, 0x22, 0x33});
  EXPECT_EQ(Store()[10], 0x11);
  EXPECT_EQ(Store()[12], 0x33);

  Bytes pastBands = {0x86, 0x05, 0x46, 20};  // offset 1350, runs past the bands
  pastBands.resize(4 + 20, 0x44);
  const params::EqStore before = Store();
  Usb(pastBands);
  EXPECT_EQ(Store()[1357], 0x44);
  EXPECT_EQ(Store()[1358], before[1358]);

  Bytes levels = {0x86, 0x05, 0x4E, 40};  // offset 1358
  levels.resize(4 + 40, 0x55);
  Usb(levels);
  EXPECT_EQ(Store()[1389], 0x55);
  EXPECT_EQ(Store()[1390], before[1390]);

  Usb({0x86, 0x05, 0x6E, 20, 0x08, 0x06, 0x85, 0x0A});  // offset 1390: geometry decoded
  EXPECT_EQ(session.Params().Geometry().width, 8);
  EXPECT_EQ(session.Params().Geometry().length, 6);
  EXPECT_FLOAT_EQ(session.Params().Geometry().points[0].x, -0.5f);

  Usb({0x86, 0x05, 0x82, 5, 0x41, 0x20, 0x00, 0x00, 0x03});  // offset 1410
  EXPECT_EQ(Store()[1410], 0x41);
  EXPECT_EQ(Store()[1414], 0x03);

  const params::EqStore beforeIgnored = Store();
  Usb({0x86, 0x05, 0x78, 2, 0x99, 0x99});  // offset 1400: not an area start
  EXPECT_EQ(Store(), beforeIgnored);

  Usb({0x86, 0x00, 0x00, 2, 0xFF, 0xFF});  // the processor cleared every band
  const params::EqStore cleared = Store();
  for (int i = 0; i < 1358; ++i) ASSERT_EQ(cleared[i], 0) << i;
  EXPECT_EQ(cleared[1389], 0x55);
}

TEST_F(DispatcherTest, RemoteKeys) {
  Usb({0x60, 0x01, 0x07, 0x4A});
  RemoteKeyTable keys = session.Records().RemoteKeys();
  EXPECT_EQ(keys[0], 0x01);
  EXPECT_EQ(keys[7], 0x4A);
  EXPECT_EQ(events.keys, (std::vector<std::uint8_t>{0x4A}));

  Usb({0x60, 0x02, 0x19, 0x5B});  // function 25 is learnable
  EXPECT_EQ(session.Records().RemoteKeys()[25], 0x5B);
  Usb({0x60, 0x03, 30, 0x66});  // outside the table: dropped
  Usb({0x60, 0x03, 0, 0x66});   // would overwrite the state byte: dropped
  EXPECT_EQ(session.Records().RemoteKeys()[0], 0x02);
  EXPECT_EQ(events.keys.size(), 2u);

  Bytes table = {0x62};
  for (int i = 0; i < 16; ++i) table.push_back(static_cast<std::uint8_t>(0xA0 + i));
  Usb(table);
  keys = session.Records().RemoteKeys();
  EXPECT_EQ(keys[15], 0xAF);
  EXPECT_EQ(keys[25], 0x5B) << "bytes 16..29 keep their values";
}

TEST_F(DispatcherTest, PlugTrafficGoesToThePlugSink) {
  Usb({0x12, 0x05, 0x01, 0x02});
  Tcp({0x14, 0x00, 0x10, 0x02, 0xAA, 0xBB});
  ASSERT_EQ(plugs.frames.size(), 1u);
  EXPECT_EQ(plugs.frames[0].size(), 61u);
  EXPECT_EQ(plugs.frames[0][1], 0x12);
  ASSERT_EQ(plugs.blocks.size(), 1u);
  EXPECT_EQ(plugs.blocks[0], (Bytes{0x81, 0x14, 0x00, 0x10, 0x02, 0xAA, 0xBB}));
}

TEST_F(DispatcherTest, UnknownAndTruncatedFramesOnlyReleaseTheSender) {
  const params::DeviceImage before = Image();
  Usb({0x42, 0x01});
  Dispatch(Bytes{0x81}, 2);
  Dispatch(Bytes{}, 0);
  for (std::uint8_t code : {0x07, 0x0A, 0x0E, 0x30, 0x60, 0x62, 0x7F, 0x80, 0x86, 0x92}) {
    Dispatch(Bytes{0x81, code}, 3);  // a command without its payload
  }
  EXPECT_EQ(Image(), before);
}

}  // namespace
}  // namespace core::link
