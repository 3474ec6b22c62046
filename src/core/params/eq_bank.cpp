#include "core/params/eq_bank.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/link/link.h"
#include "core/params/store_write.h"
#include "core/trace.h"

namespace core::params {
namespace {

constexpr Word kOne = 0x3F800000;   // 1.0f
constexpr Word kZero = 0x00000000;  // 0.0f

constexpr int kSubFrequencies[13] = {31, 62, 250, 500, 1000, 2000, 4000, 8000, 16000, 100, 100, 100, 100};
constexpr int kSubTypes[13] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 18, 20, 1, 1};
constexpr float kResetQ = 1.41f;
constexpr float kSplitQ = 0.707f;

bool ValidChannel(int channel) { return channel >= 0 && channel < kOutputCount; }

float TimeCoefficient(float ms) {
  if (ms <= 0.0f) return 1.0f;
  return static_cast<float>(1.0 - std::exp(-1.0 / (static_cast<double>(ms) * 48.0)));
}

}  // namespace

HfSplitPair HfSplit(int pair) {
  const int p = std::clamp(pair, 0, kHfSplitPairCount - 1);
  return {500 + 100 * p, 1000 + 100 * p};
}

CompressorDisplay SanitizeCompressor(const CompressorDisplay& v) {
  CompressorDisplay s = v;
  if (!std::isfinite(s.threshold)) s.threshold = 0.0f;
  if (!(s.ratio >= 1.0f)) s.ratio = 1.0f;
  if (!(s.attackMs >= 0.0f)) s.attackMs = 0.0f;
  if (!(s.releaseMs >= 0.0f)) s.releaseMs = 0.0f;
  return s;
}

std::array<Word, 7> EncodeCompressorBlock(const CompressorDisplay& values) {
  const CompressorDisplay v = SanitizeCompressor(values);
  const float slope = static_cast<float>(1.0 - 1.0 / static_cast<double>(v.ratio));
  return {FloatBits(v.threshold),          kZero,
          FloatBits(slope),                FloatBits(20.0f),
          FloatBits(0.05f),                FloatBits(TimeCoefficient(v.attackMs)),
          FloatBits(TimeCoefficient(v.releaseMs))};
}

LoudnessWords EncodeLoudnessLevel(float level) {
  LoudnessWords w;
  const float x = std::isnan(level) ? 0.0f : std::clamp(level, kMinLoudnessLevel, kMaxLoudnessLevel);
  w.level = x;
  const float d = static_cast<float>(std::pow(10.0, static_cast<double>(x / 20.0f)));
  const float exponent = x * x * 0.0022594517f + x * 0.7999020f;
  const float e = static_cast<float>(std::pow(10.0, static_cast<double>(exponent / 20.0f)));
  w.gain = FloatBits(d);
  w.inverseGain = FloatBits(1.0f / d);
  w.block = {FloatBits(d), FloatBits(e), detail::kLoudnessA1, detail::kLoudnessA2,
             FloatBits(d), FloatBits(e)};
  return w;
}

EqBank::EqBank(link::Link& link, ParamModel& model) : link_(link), model_(model) {}

void EqBank::SendBandRecord(int kind, int band, const BandRecord& record) {
  std::array<std::uint8_t, kBandRecordSize> bytes{};
  WriteBandRecord(record, bytes);
  const int offset = EqBandOffset(kind, band);
  WriteStoreAndSend(link_, model_, static_cast<std::size_t>(offset), bytes);
}

bool EqBank::SendEqBand(int kind, int band, int type, int frequency, float gain, float q,
                        float k) {
  const auto info = EqKind(kind);
  if (!info || band < 0 || band >= EqStoreBandCount(kind) || type < 0 || type > 255) {
    Trace("SendEqBand: kind " + std::to_string(kind) + " band " + std::to_string(band) +
          " type " + std::to_string(type) + " out of range, nothing sent");
    return false;
  }
  const BandSettings b = ClampBand(BandSettings{type, frequency, gain, q});
  const double outputGain = std::isfinite(k) ? static_cast<double>(k) : 0.0;
  const Biquad c = ComputeBiquad(b.gain, b.frequency, b.q, outputGain, kEqSampleRate, b.type);
  const std::array<Word, 5> words = BandMessageWords(c);
  link_.SendParamFrame(info->module, static_cast<std::uint8_t>(info->firstParam + band), words);
  SendBandRecord(kind, band, EncodeBandRecord(b));
  return true;
}

bool EqBank::SendWholeEq(int kind) {
  const auto info = EqKind(kind);
  if (!info) {
    Trace("SendWholeEq: source out of range");
    return false;
  }
  const EqStore store = model_.Store();
  for (int b = 0; b < info->sendCount; ++b) {
    const auto band = ReadBand(store, kind, b);
    if (band) SendEqBand(kind, b, band->type, band->frequency, band->gain, band->q, 0.0f);
  }
  return true;
}

bool EqBank::CopyEq(int source, int target) {
  const auto from = EqKind(source);
  const auto to = EqKind(target);
  if (!from || !to) {
    Trace("CopyEq: source or target out of range");
    return false;
  }
  const int n = IsOutputEqKind(source) && IsOutputEqKind(target)
                    ? from->sendCount
                    : std::min(from->copyCount, to->copyCount);
  const EqStore store = model_.Store();
  const auto src = static_cast<std::size_t>(EqBandOffset(source, 0));
  const std::span<const std::uint8_t> bytes(store.data() + src, kBandRecordSize * n);
  model_.WriteStoreBytes(static_cast<std::size_t>(EqBandOffset(target, 0)), bytes);
  return SendWholeEq(target);
}

bool EqBank::ResetEq(int kind) {
  const auto info = EqKind(kind);
  if (!info) {
    Trace("ResetEq: kind out of range");
    return false;
  }
  const auto freqs = EqDefaultFrequencies(kind);
  for (std::size_t b = 0; b < freqs.size(); ++b) {
    SendEqBand(kind, static_cast<int>(b), 1, freqs[b], 0.0f, kResetQ, 0.0f);
  }
  return true;
}

bool EqBank::ResetSubEq(int channel) {
  if (!ValidChannel(channel)) return false;
  const int kind = OutputEqKind(channel);
  for (int b = 0; b < 13; ++b) {
    SendEqBand(kind, b, kSubTypes[b], kSubFrequencies[b], 0.0f, kResetQ, 0.0f);
  }
  return true;
}

bool EqBank::SetHfSplit(int channel, int mode) {
  if (!ValidChannel(channel)) return false;
  const int flag = mode != 0 ? 1 : 0;
  model_.SetDelayMode(channel, flag);
  const Word words[2] = {kOne, flag != 0 ? kZero : kOne};
  model_.SetParamBlock(OutputDelayMode(channel), words);
  return SendHfSplit(channel, FindHfSplit(channel));
}

bool EqBank::SendHfSplit(int channel, int pair) {
  if (!ValidChannel(channel)) return false;
  const HfSplitPair split = HfSplit(pair);
  const bool wholeChannel = model_.Display().delayMode[static_cast<std::size_t>(channel)] != 0;
  const int kind = OutputEqKind(channel);
  SendEqBand(kind, kHfSplitLowBand, wholeChannel ? 1 : 3, split.low, 0.0f, kSplitQ, 0.0f);
  SendEqBand(kind, kHfSplitHighBand, wholeChannel ? 1 : 2, split.high, 0.0f, kSplitQ, 0.0f);
  return true;
}

int EqBank::FindHfSplit(int channel) const {
  if (!ValidChannel(channel)) return 0;
  const auto band = ReadBand(model_.Store(), OutputEqKind(channel), kHfSplitLowBand);
  if (!band) return 0;
  for (int p = 0; p < kHfSplitPairCount; ++p) {
    if (HfSplit(p).low == band->frequency) return p;
  }
  return 0;
}

void EqBank::SetMusicCompressor(float threshold, float ratio, float attackMs, float releaseMs) {
  const CompressorDisplay v = SanitizeCompressor({threshold, ratio, attackMs, releaseMs});
  model_.SetMusicCompressorDisplay(v);
  const auto block = EncodeCompressorBlock(v);
  model_.SetParamBlock(kMusicCompressor, block);
}

bool EqBank::SetChannelCompressor(int index, float threshold, float ratio, float attackMs,
                                  float releaseMs) {
  if (index < 0 || index >= kChannelCompressorCount) return false;
  const CompressorDisplay v = SanitizeCompressor({threshold, ratio, attackMs, releaseMs});
  model_.SetCompressorDisplay(index, v);
  const auto block = EncodeCompressorBlock(v);
  if (index < kOutputCount) {
    model_.SetParamBlock(OutputCompressor(index), block);
  } else {
    model_.SetParamBlock(kRecordCompressor, block);
  }
  return true;
}

void EqBank::SetLoudnessLevel(float level) {
  const LoudnessWords w = EncodeLoudnessLevel(level);
  std::array<std::uint8_t, 4> bytes{};
  StoreBe32(bytes.data(), FloatBits(w.level));
  WriteStoreAndSend(link_, model_, kLoudnessLevelOffset, bytes);
  model_.SetLoudnessLevelDisplay(TruncToInt32(w.level));

  link::WriteQueue& queue = link_.State().queue;
  const bool coalescing = queue.Coalescing();
  queue.SetCoalescing(false);
  const Word gain[1] = {w.gain};
  const Word inverse[1] = {w.inverseGain};
  if (w.level > previousLoudness_.load()) {
    model_.SetParamBlock(kMicBLoudnessInverseGain, inverse);
    model_.SetParamBlock(kMicBLoudnessFilter, w.block);
    model_.SetParamBlock(kMicBLoudnessGain, gain);
    model_.SetParamBlock(kMicALoudnessInverseGain, inverse);
    model_.SetParamBlock(kMicALoudnessFilter, w.block);
    model_.SetParamBlock(kMicALoudnessGain, gain);
  } else {
    model_.SetParamBlock(kMicBLoudnessFilter, w.block);
    model_.SetParamBlock(kMicBLoudnessGain, gain);
    model_.SetParamBlock(kMicBLoudnessInverseGain, inverse);
    model_.SetParamBlock(kMicALoudnessFilter, w.block);
    model_.SetParamBlock(kMicALoudnessGain, gain);
    model_.SetParamBlock(kMicALoudnessInverseGain, inverse);
  }
  queue.SetCoalescing(coalescing);
  previousLoudness_ = w.level;
}

void EqBank::WriteStore(std::size_t offset, std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || offset > kStoreSize || bytes.size() > kStoreSize - offset) {
    Trace("WriteStore: bytes outside the store, nothing sent");
    return;
  }
  WriteStoreAndSend(link_, model_, offset, bytes);
}

}  // namespace core::params
