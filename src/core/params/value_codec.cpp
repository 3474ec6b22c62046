#include "core/params/value_codec.h"

namespace core::params {

const char* ValueKindName(ValueKind kind) {
  switch (kind) {
    case ValueKind::Block: return "Block";
    case ValueKind::Percent: return "Percent";
    case ValueKind::Float: return "Float";
    case ValueKind::RawByte: return "RawByte";
    case ValueKind::Milliseconds: return "Milliseconds";
    case ValueKind::TenThousandths: return "TenThousandths";
  }
  return "?";
}

Word EncodePercent(std::int32_t percent) {
  if (percent == 0) return 0;
  // The quotient is formed in single precision; the small bias keeps values
  // such as 0.56 from decoding one step low after the round trip.
  const float quotient = static_cast<float>(percent) / 100.0f;
  const float biased = static_cast<float>(static_cast<double>(quotient) + 1e-7);
  return FloatBits(biased);
}

Word EncodeMilliseconds(float ms) {
  const double samples = static_cast<double>(ms) * 48000.0 / 1000.0 + 0.5;
  return static_cast<Word>(TruncToInt32(samples));
}

Word EncodeTenThousandths(std::int32_t v) {
  return FloatBits(static_cast<float>(v) / 10000.0f);
}

std::optional<Word> EncodeValue(ValueKind kind, ParamValue value) {
  switch (kind) {
    case ValueKind::Percent: return EncodePercent(value.AsInt());
    case ValueKind::Float: return EncodeFloat(value.AsFloat());
    case ValueKind::RawByte: return EncodeRawByte(value.AsInt());
    case ValueKind::Milliseconds: return EncodeMilliseconds(value.AsFloat());
    case ValueKind::TenThousandths: return EncodeTenThousandths(value.AsInt());
    case ValueKind::Block: break;
  }
  return std::nullopt;
}

ParamValue DecodeWord(ValueKind kind, Word word) {
  switch (kind) {
    case ValueKind::Percent: {
      const float product = BitsFloat(word) * 100.0f;
      return ParamValue(static_cast<int>(TruncToInt32(product)));
    }
    case ValueKind::Float: return ParamValue(BitsFloat(word));
    case ValueKind::RawByte: return ParamValue(static_cast<int>(word & 0xFFu));
    case ValueKind::Milliseconds:
      return ParamValue(static_cast<float>(static_cast<double>(word) * 1000.0 / 48000.0));
    case ValueKind::TenThousandths: {
      const float product = BitsFloat(word) * 10000.0f;
      return ParamValue(static_cast<int>(TruncToInt32(product)));
    }
    case ValueKind::Block: break;
  }
  return ParamValue();
}

}  // namespace core::params
