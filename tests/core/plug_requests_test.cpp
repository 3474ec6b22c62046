#include "core/link/plug_requests.h"

#include <gtest/gtest.h>

#include "core/link/link.h"
#include "core/link/recording_transport.h"

namespace core::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(PlugRequests, SerialApiFramesCarryLengthTypeAndChecksum) {
  struct Case {
    Bytes payload;
    Bytes frame;
  };
  const Case cases[] = {
      {{0x02}, {0x01, 0x03, 0x00, 0x02, 0xFE}},  // get the node list
      {{0x4A, 0x01, 0x30}, {0x01, 0x05, 0x00, 0x4A, 0x01, 0x30, 0x81}},
      {{0x4B, 0x01, 0x09}, {0x01, 0x05, 0x00, 0x4B, 0x01, 0x09, 0xB9}},
      {{0x13, 0x05, 0x03, 0x20, 0x01, 0x63, 0x25, 0x43},
       {0x01, 0x0A, 0x00, 0x13, 0x05, 0x03, 0x20, 0x01, 0x63, 0x25, 0x43, 0xC4}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildSerialApiFrame(c.payload), c.frame);
    // A receiver checks: the XOR of LEN, type, payload and checksum is 0xFF.
    std::uint8_t x = 0;
    for (std::size_t i = 1; i < c.frame.size(); ++i) x ^= c.frame[i];
    EXPECT_EQ(x, 0xFF);
  }
  EXPECT_FALSE(BuildSerialApiFrame({}));
  EXPECT_TRUE(BuildSerialApiFrame(Bytes(kMaxPlugPayload, 1)));
  EXPECT_FALSE(BuildSerialApiFrame(Bytes(kMaxPlugPayload + 1, 1)));
}

TEST(PlugRequests, NodeValueCallbackIdMarksInfraRedValues) {
  struct Case {
    std::uint8_t value, callback;
  };
  for (const Case c : {Case{0, 0x43}, {99, 0x43}, {127, 0x43}, {128, 0x44}, {192, 0x44}, {254, 0x44},
                       {255, 0x43}}) {
    const auto r = SetNodeValueRequest(7, c.value);
    EXPECT_EQ(Bytes(r.begin(), r.end()), (Bytes{0x13, 7, 0x03, 0x20, 0x01, c.value, 0x25, c.callback}))
        << int(c.value);
  }
}

TEST(PlugRequests, SentAtOnceOnEitherTransportNeverCoalesced) {
  Link link;
  RecordingTransport usb{LinkType::Usb}, tcp{LinkType::Tcp};
  link.SetTransport(LinkType::Usb, &usb);
  link.SetTransport(LinkType::Tcp, &tcp);
  const auto a = SetNodeValueRequest(5, 99), b = SetNodeValueRequest(6, 0);

  EXPECT_FALSE(SendPlugRequest(link, a)) << "closed";
  link.State().open = true;
  link.State().networkMode = false;
  ASSERT_TRUE(SendPlugRequest(link, kStartInclusionRequest));
  ASSERT_EQ(usb.Count(), 1u);
  EXPECT_EQ(usb.Bodies()[0], (Bytes{0x12, 0x07, 0x01, 0x05, 0x00, 0x4A, 0x01, 0x30, 0x81}));

  // The TCP queue is on, but two requests that differ only after the
  // queue's key both go out, in order.
  link.State().networkMode = true;
  ASSERT_TRUE(link.QueueEnabled());
  ASSERT_TRUE(SendPlugRequest(link, a));
  ASSERT_TRUE(SendPlugRequest(link, b));
  EXPECT_EQ(link.State().queue.Size(), 0u);
  ASSERT_EQ(tcp.Count(), 2u);
  Bytes first = {0x80};
  const auto fa = *BuildSerialApiFrame(a);
  first.insert(first.end(), fa.begin(), fa.end());
  EXPECT_EQ(tcp.Bodies()[0], first);
  EXPECT_EQ(tcp.Bodies()[1][5], 6) << "the second node";
  EXPECT_FALSE(SendPlugRequest(link, Bytes(kMaxPlugPayload + 1, 0)));
  EXPECT_EQ(tcp.Count(), 2u);
}

}  // namespace
}  // namespace core::link
