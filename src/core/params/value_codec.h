#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <span>

namespace core::params {

// A 4-byte parameter word as a host integer. On the wire and in the device
// image it is stored most significant byte first.
using Word = std::uint32_t;

// How one scalar parameter is converted between its user unit and its word.
enum class ValueKind : std::uint8_t {
  Block = 0,           // words supplied ready-made by the caller
  Percent = 1,         // int percent, sent as the single value/100
  Float = 2,           // float, sent as its bit pattern
  RawByte = 3,         // int, sent as 00 00 00 and its low byte
  Milliseconds = 4,    // float ms, sent as a sample count at 48 kHz
  TenThousandths = 5,  // int, sent as the single value/10000
};

const char* ValueKindName(ValueKind kind);

// Truncates toward zero like a C cast, but saturates instead of being
// undefined: NaN gives 0, values beyond the int range give its ends.
constexpr std::int32_t TruncToInt32(double v) {
  if (v != v) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

// A user-unit value: an int or a float. Each kind reads the one it needs;
// a value of the other sort is converted numerically, never reinterpreted.
class ParamValue {
 public:
  constexpr ParamValue() = default;
  constexpr ParamValue(int v) : isFloat_(false), int_(v) {}  // NOLINT(google-explicit-constructor)
  constexpr ParamValue(float v) : isFloat_(true), float_(v) {}  // NOLINT
  constexpr ParamValue(double v) : ParamValue(static_cast<float>(v)) {}  // NOLINT

  constexpr bool IsFloat() const { return isFloat_; }
  constexpr std::int32_t AsInt() const { return isFloat_ ? TruncToInt32(float_) : int_; }
  constexpr float AsFloat() const { return isFloat_ ? float_ : static_cast<float>(int_); }

  friend constexpr bool operator==(const ParamValue& a, const ParamValue& b) {
    return a.isFloat_ == b.isFloat_ && (a.isFloat_ ? std::bit_cast<std::uint32_t>(a.float_) ==
                                                         std::bit_cast<std::uint32_t>(b.float_)
                                                   : a.int_ == b.int_);
  }

 private:
  bool isFloat_ = false;
  std::int32_t int_ = 0;
  float float_ = 0.0f;
};

constexpr Word FloatBits(float v) { return std::bit_cast<Word>(v); }
constexpr float BitsFloat(Word w) { return std::bit_cast<float>(w); }

// Encoders, one per kind, exactly as the processor expects the words.
Word EncodePercent(std::int32_t percent);
constexpr Word EncodeFloat(float v) { return FloatBits(v); }
constexpr Word EncodeRawByte(std::int32_t v) { return static_cast<Word>(v) & 0xFFu; }
Word EncodeMilliseconds(float ms);
Word EncodeTenThousandths(std::int32_t v);

// Converts a user value by kind; nothing for Block rows.
std::optional<Word> EncodeValue(ValueKind kind, ParamValue value);

// The inverse used when decoding the image: the mirror value of a word.
// Percent, RawByte and TenThousandths give ints, Float and Milliseconds floats.
ParamValue DecodeWord(ValueKind kind, Word word);

// Big-endian word access to byte buffers.
constexpr Word LoadBe32(const std::uint8_t* p) {
  return (Word{p[0]} << 24) | (Word{p[1]} << 16) | (Word{p[2]} << 8) | Word{p[3]};
}
constexpr void StoreBe32(std::uint8_t* p, Word w) {
  p[0] = static_cast<std::uint8_t>(w >> 24);
  p[1] = static_cast<std::uint8_t>(w >> 16);
  p[2] = static_cast<std::uint8_t>(w >> 8);
  p[3] = static_cast<std::uint8_t>(w);
}
constexpr std::uint16_t LoadBe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
constexpr void StoreBe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

}  // namespace core::params
