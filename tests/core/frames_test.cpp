#include "core/link/frames.h"

#include <gtest/gtest.h>

#include <vector>

namespace core::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
Bytes ToBytes(std::span<const std::uint8_t> s) { return Bytes(s.begin(), s.end()); }

TEST(Frames, ParameterFrameOnUsb) {
  const Word w[] = {0x3F000002};
  const auto body = BuildParamFrame(LinkType::Usb, 1, 14, w);
  ASSERT_TRUE(body);
  const UsbReport report = MakeUsbReport(body->Body());
  Bytes expected = {0x02, 0x09, 0x00, 0x01, 0x0E, 0x01, 0x3F, 0x00, 0x00, 0x02};
  expected.resize(61, 0);
  EXPECT_EQ(Bytes(report.begin(), report.end()), expected);
}

TEST(Frames, ParameterFrameOnTcp) {
  const Word w[] = {0x3F000002};
  const auto body = BuildParamFrame(LinkType::Tcp, 1, 14, w);
  ASSERT_TRUE(body);
  const Bytes inner = {0x81, 0x09, 0x00, 0x01, 0x0E, 0x01, 0x3F, 0x00, 0x00, 0x02};
  EXPECT_EQ(ToBytes(body->Body()), inner);
  std::uint8_t x = 0xFF ^ 0x0B;
  for (std::uint8_t b : inner) x ^= b;
  Bytes expected = {0x55, 0x0B};
  expected.insert(expected.end(), inner.begin(), inner.end());
  expected.push_back(x);
  EXPECT_EQ(ToBytes(MakeTcpEnvelope(body->Body()).Bytes()), expected);
}

TEST(Frames, ParameterFrameLengthsAndLimits) {
  const Word ten[10] = {};
  for (std::size_t n = 1; n <= 10; ++n) {
    const std::span<const Word> words(ten, n);
    EXPECT_EQ(BuildParamFrame(LinkType::Usb, 5, 0, words)->size, 4 * n + 5);
    EXPECT_EQ(BuildParamFrame(LinkType::Tcp, 5, 0, words)->size, 4 * n + 6);
  }
  const Word eleven[11] = {};
  EXPECT_FALSE(BuildParamFrame(LinkType::Usb, 5, 0, std::span<const Word>(eleven, 0)));
  EXPECT_FALSE(BuildParamFrame(LinkType::Usb, 5, 0, eleven));
  EXPECT_FALSE(BuildParamFrame(LinkType::Tcp, 5, 0, eleven));
}

TEST(Frames, CommandBytes) {
  const std::uint8_t protocol[] = {0x7F};
  EXPECT_EQ(ToBytes(MakeTcpEnvelope(BuildCommandFrame(LinkType::Tcp, protocol).Body()).Bytes()),
            (Bytes{0x55, 0x03, 0x81, 0x7F, 0x02}));

  const std::uint8_t status[] = {0x0E};
  const UsbReport r = MakeUsbReport(BuildCommandFrame(LinkType::Usb, status).Body());
  Bytes expected(61, 0);
  expected[0] = 0x02;
  expected[1] = 0x0E;
  EXPECT_EQ(Bytes(r.begin(), r.end()), expected);

  const Bytes longList(70, 0x42);
  EXPECT_EQ(BuildCommandFrame(LinkType::Usb, longList).size, 61u);
  EXPECT_EQ(BuildCommandFrame(LinkType::Tcp, longList).size, 62u);
  // A report carries 60 body bytes; the rest of an over-long list is cut.
  const UsbReport full = MakeUsbReport(BuildCommandFrame(LinkType::Usb, longList).Body());
  EXPECT_EQ(full[60], 0x42);
}

TEST(Frames, BlockWrite) {
  const Bytes data = {0xAA, 0xBB, 0xCC};
  const auto usb = BuildBlockWriteFrame(LinkType::Usb, 0x85, 0x05, 0x86, data);
  ASSERT_TRUE(usb);
  EXPECT_EQ(ToBytes(usb->Body()), (Bytes{0x85, 0x05, 0x86, 0x03, 0xAA, 0xBB, 0xCC}));
  const auto tcp = BuildBlockWriteFrame(LinkType::Tcp, 0x31, 0x0D, 0x90, data);
  EXPECT_EQ(ToBytes(tcp->Body()), (Bytes{0x81, 0x31, 0x0D, 0x90, 0x03, 0xAA, 0xBB, 0xCC}));
  EXPECT_EQ(BuildBlockWriteFrame(LinkType::Usb, 0x85, 0, 0, {})->size, 4u);

  const Bytes full(56, 1), over(57, 1);
  EXPECT_EQ(BuildBlockWriteFrame(LinkType::Usb, 0x31, 0, 0, full)->size, 60u);
  EXPECT_FALSE(BuildBlockWriteFrame(LinkType::Usb, 0x31, 0, 0, over));
}

TEST(Frames, EnvelopeParsing) {
  const Bytes body = {0x81, 0x07, 0x02};
  const TcpEnvelope env = MakeTcpEnvelope(body);
  const Bytes wire = ToBytes(env.Bytes());

  EnvelopeView view;
  ASSERT_EQ(ParseTcpEnvelope(wire, view), EnvelopeResult::Ok);
  EXPECT_EQ(view.envelopeSize, wire.size());
  // The dispatcher sees the bytes from offset 2 with length L: prefix,
  // command and payload first.
  ASSERT_EQ(view.frame.size(), 4u);
  EXPECT_EQ(view.frame[0], 0x81);
  EXPECT_EQ(view.frame[1], 0x07);
  EXPECT_EQ(view.frame[2], 0x02);

  Bytes corrupt = wire;
  corrupt[3] ^= 0x01;
  EXPECT_EQ(ParseTcpEnvelope(corrupt, view), EnvelopeResult::BadChecksum);
  EXPECT_EQ(ParseTcpEnvelope(Bytes(wire.begin(), wire.end() - 1), view),
            EnvelopeResult::Incomplete);
  EXPECT_EQ(ParseTcpEnvelope(Bytes{0x55}, view), EnvelopeResult::Incomplete);
  EXPECT_EQ(ParseTcpEnvelope(Bytes{0x24, 0x48}, view), EnvelopeResult::NotEnvelope);
}

TEST(Frames, QueueKeyIsTheFirstFiveBodyBytes) {
  const Bytes param = {0x81, 0x09, 0x00, 0x01, 0x0E, 0x01, 0x3F};
  EXPECT_EQ(MakeQueueKey(param), (QueueKey{0x81, 0x09, 0x00, 0x01, 0x0E, 0x00}));
  const Bytes shortBody = {0x81, 0x7F};
  EXPECT_EQ(MakeQueueKey(shortBody), (QueueKey{0x81, 0x7F, 0, 0, 0, 0}));
}

}  // namespace
}  // namespace core::link
