#include "core/params/value_codec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace core::params {
namespace {

TEST(ValueCodec, EncodesEveryKindExactly) {
  struct Case {
    ValueKind kind;
    ParamValue value;
    Word word;
  };
  const Case cases[] = {
      {ValueKind::Percent, 50, 0x3F000002},   // 0.5 + 1e-7
      {ValueKind::Percent, 0, 0x00000000},    // zero stays zero, not the bias
      {ValueKind::Percent, 56, 0x3F0F5C2B},
      {ValueKind::Percent, 100, 0x3F800001},
      {ValueKind::Percent, -100, 0xBF7FFFFE},  // phase inverted
      {ValueKind::Float, 200.0f, 0x43480000},
      {ValueKind::Float, -25.0f, 0xC1C80000},
      {ValueKind::RawByte, 1, 0x00000001},
      {ValueKind::RawByte, 300, 0x0000002C},  // only the low byte travels
      {ValueKind::RawByte, -1, 0x000000FF},
      {ValueKind::Milliseconds, 2.0f, 96},
      {ValueKind::Milliseconds, 247.0f, 11856},
      {ValueKind::Milliseconds, 25.0f, 1200},
      {ValueKind::Milliseconds, 0.01f, 0},    // 0.48 + 0.5 truncates to 0
      {ValueKind::Milliseconds, 0.02f, 1},    // 0.96 + 0.5 truncates to 1
      {ValueKind::TenThousandths, 20, 0x3B03126F},  // 0.002f
      {ValueKind::TenThousandths, 0, 0x00000000},
  };
  for (const Case& c : cases) {
    const auto w = EncodeValue(c.kind, c.value);
    ASSERT_TRUE(w.has_value()) << ValueKindName(c.kind);
    EXPECT_EQ(*w, c.word) << ValueKindName(c.kind) << " " << c.value.AsFloat() << " gave 0x"
                          << std::hex << *w;
  }
  EXPECT_FALSE(EncodeValue(ValueKind::Block, 1).has_value());
}

TEST(ValueCodec, PercentRoundTrip) {
  for (int v = 0; v <= 100; ++v) {
    EXPECT_EQ(DecodeWord(ValueKind::Percent, EncodePercent(v)).AsInt(), v) << v;
  }
  // Negative values come back one step nearer zero, so pages test the
  // phase by its sign.
  for (int v = -100; v <= -1; ++v) {
    EXPECT_EQ(DecodeWord(ValueKind::Percent, EncodePercent(v)).AsInt(), v + 1) << v;
  }
  // The default image stores the plain quotient; it decodes exactly too.
  EXPECT_EQ(DecodeWord(ValueKind::Percent, 0x3F0F5C29).AsInt(), 56);
}

TEST(ValueCodec, TenThousandthsLoseOneStepOnSomeValues) {
  EXPECT_EQ(DecodeWord(ValueKind::TenThousandths, EncodeTenThousandths(7)).AsInt(), 6);
  int low = 0;
  for (int v = 0; v <= 10000; ++v) {
    const int back = DecodeWord(ValueKind::TenThousandths, EncodeTenThousandths(v)).AsInt();
    ASSERT_TRUE(back == v || back == v - 1) << v << " came back as " << back;
    low += back == v - 1;
  }
  EXPECT_EQ(low, 570);
}

TEST(ValueCodec, WholeMillisecondsComeBackExactly) {
  for (int ms = 0; ms <= 20000; ++ms) {
    const ParamValue back =
        DecodeWord(ValueKind::Milliseconds, EncodeMilliseconds(static_cast<float>(ms)));
    ASSERT_TRUE(back.IsFloat());
    ASSERT_EQ(back.AsFloat(), static_cast<float>(ms)) << ms;
  }
}

TEST(ValueCodec, RawByteAndFloatDecode) {
  EXPECT_EQ(DecodeWord(ValueKind::RawByte, 0x1234562C).AsInt(), 0x2C);
  EXPECT_EQ(DecodeWord(ValueKind::Float, 0x43480000).AsFloat(), 200.0f);
}

// Words from a processor or a file can hold anything; decoding must stay
// defined (no out-of-range float-to-int conversion).
TEST(ValueCodec, HostileWordsDecodeToSaturatedValues) {
  const Word nan = 0x7FC00000, inf = 0x7F800000, negInf = 0xFF800000, huge = 0x7F7FFFFF;
  EXPECT_EQ(DecodeWord(ValueKind::Percent, nan).AsInt(), 0);
  EXPECT_EQ(DecodeWord(ValueKind::Percent, inf).AsInt(), INT32_MAX);
  EXPECT_EQ(DecodeWord(ValueKind::Percent, negInf).AsInt(), INT32_MIN);
  EXPECT_EQ(DecodeWord(ValueKind::TenThousandths, huge).AsInt(), INT32_MAX);
  EXPECT_TRUE(std::isfinite(DecodeWord(ValueKind::Milliseconds, 0xFFFFFFFF).AsFloat()));
  // And user input far out of range encodes to the saturated sample count.
  EXPECT_EQ(EncodeMilliseconds(1e30f), Word{0x7FFFFFFF});
  EXPECT_EQ(EncodeMilliseconds(std::numeric_limits<float>::quiet_NaN()), Word{0});
}

TEST(ValueCodec, ParamValueConvertsNumericallyNeverByBits) {
  EXPECT_EQ(EncodeValue(ValueKind::Float, 200).value(), 0x43480000u);  // int given to a float row
  EXPECT_EQ(EncodeValue(ValueKind::Percent, 50.9f).value(), EncodePercent(50));
  EXPECT_EQ(ParamValue(-3.7f).AsInt(), -3);
  EXPECT_EQ(ParamValue(1e20f).AsInt(), INT32_MAX);
}

TEST(ValueCodec, BigEndianHelpers) {
  std::uint8_t b[4] = {};
  StoreBe32(b, 0x3F000002);
  EXPECT_EQ(b[0], 0x3F);
  EXPECT_EQ(b[3], 0x02);
  EXPECT_EQ(LoadBe32(b), 0x3F000002u);
  StoreBe16(b, 0x0586);
  EXPECT_EQ(LoadBe16(b), 0x0586);
}

}  // namespace
}  // namespace core::params
