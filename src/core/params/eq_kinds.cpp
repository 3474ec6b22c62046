#include "core/params/eq_kinds.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/params/named_params.h"

namespace core::params {
namespace {

constexpr EqKindInfo Kind(EqBandsName bands, int sendCount, int copyCount, int panelBandCount) {
  return {static_cast<std::uint8_t>(bands.Module()), static_cast<std::uint8_t>(bands.FirstParam()),
          sendCount, copyCount, panelBandCount};
}

constexpr std::array<EqKindInfo, kEqKindCount> kKinds = {{
    Kind(kMicAEqBands, 15, 15, 15),
    Kind(kMicBEqBands, 15, 15, 15),
    Kind(kEchoAEqBands, 7, 7, 7),
    Kind(kEchoBEqBands, 7, 7, 7),
    Kind(kReverbAEqBands, 7, 7, 7),
    Kind(kReverbBEqBands, 7, 7, 7),
    Kind(kMusicEqBands, 10, 10, 10),
    Kind(kOutputEqBands[0], 13, 9, 13),  // CH1
    Kind(kOutputEqBands[1], 13, 9, 13),
    Kind(kOutputEqBands[2], 13, 9, 13),
    Kind(kOutputEqBands[3], 13, 9, 13),
    Kind(kOutputEqBands[4], 13, 9, 13),
    Kind(kOutputEqBands[5], 13, 9, 13),
    Kind(kOutputEqBands[6], 13, 9, 13),
    Kind(kOutputEqBands[7], 13, 9, 13),  // CH8
    Kind(kRecordEqBands, 5, 5, 5),
}};

constexpr int kMicFrequencies[] = {25,  40,  63,   100,  160,  250,  400,  630,
                                   1000, 1600, 2500, 4000, 6300, 10000, 16000};
constexpr int kEffectFrequencies[] = {50, 100, 200, 400, 800, 1600, 3200};
constexpr int kMusicFrequencies[] = {31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
constexpr int kRecordFrequencies[] = {50, 100, 200, 400, 800};
constexpr int kOutputFrequencies[] = {31,   62,   125,  250,   500,   1000,  2000,
                                      4000, 8000, 16000, 16000, 16000, 16000};

constexpr const char* kTypeNames[] = {
    "OFF",     "PEQ",     "LP",     "HP",     "LS",      "HS",      "LP-C0.1", "HP-C0.1",
    "LP-B",    "HP-B",    "LP1",    "HP1",    "LP-Q.71", "HP-Q.71", "LP-Q1",   "HP-Q1",
    "LP-Q.5",  "HP-Q.5",  "LP-Q1.31", "HP-Q1.31", "LP-Q.54", "HP-Q.54"};

}  // namespace

std::optional<EqKindInfo> EqKind(int kind) {
  if (!IsEqKind(kind)) return std::nullopt;
  return kKinds[static_cast<std::size_t>(kind)];
}

int EqPlainBandCount(int kind) {
  return IsEqKind(kind) ? kKinds[static_cast<std::size_t>(kind)].copyCount : 0;
}

std::span<const int> EqDefaultFrequencies(int kind) {
  switch (kind) {
    case 0:
    case 1: return kMicFrequencies;
    case 2:
    case 3:
    case 4:
    case 5: return kEffectFrequencies;
    case 6: return kMusicFrequencies;
    case 15: return kRecordFrequencies;
    default: return kOutputFrequencies;
  }
}

const char* FilterTypeName(int type) {
  if (type < 0 || type >= static_cast<int>(std::size(kTypeNames))) return "?";
  return kTypeNames[type];
}

BandRecord EncodeBandRecord(const BandSettings& band) {
  const double gain = std::isnan(band.gain) ? 0.0 : std::clamp<double>(band.gain, -15.0, 15.0);
  const float q = std::isnan(band.q) ? 0.0f : std::clamp(band.q, 0.0f, 65.535f);
  BandRecord r;
  r.gainWord = static_cast<std::uint16_t>(std::clamp((gain + 0.05 + 15.0) * 10.0, 0.0, 300.0));
  r.frequency = static_cast<std::uint16_t>(std::clamp(band.frequency, 0, 65535));
  // Rounded, not truncated: 0.29f x 1000 is 289.99998 in single precision,
  // and a resend of a stored 0.251 must not come back as 0.250.
  r.qWord = static_cast<std::uint16_t>(std::min(q * 1000.0f + 0.5f, 65535.0f));
  r.type = static_cast<std::uint8_t>(std::clamp(band.type, 0, 255));
  return r;
}

BandSettings DecodeBandRecord(const BandRecord& record) {
  BandSettings b;
  b.type = record.type;
  b.frequency = record.frequency;
  b.gain = static_cast<float>(record.gainWord / 10.0 - 15.0);
  b.q = static_cast<float>(record.qWord / 1000.0);
  return b;
}

BandSettings ResetBand(int kind, int band) {
  const auto freqs = EqDefaultFrequencies(kind);
  BandSettings b;
  b.type = 1;
  b.frequency = freqs[static_cast<std::size_t>(std::clamp<int>(band, 0, freqs.size() - 1))];
  b.gain = 0.0f;
  b.q = 1.41f;
  return b;
}

UserBandCheck CheckUserBand(int type, double frequency, double gain, double q) {
  UserBandCheck check;
  const double hz = std::round(frequency);
  if (!(hz >= kBandMinFrequency && hz <= kBandMaxFrequency)) {
    check.failed = BandLimit::Frequency;
  } else if (!(gain >= kBandMinGain && gain <= kBandMaxGain)) {
    check.failed = BandLimit::Gain;
  } else {
    const float maxQ = MaxBandQ(type);
    // Narrowed only once in a range a float holds.
    const float qf = q >= 0.0 && q <= 2.0 * maxQ ? static_cast<float>(q) : -1.0f;
    if (!(qf >= kBandMinQ && qf <= maxQ)) {
      check.failed = BandLimit::Q;
    } else {
      check.band = {type, static_cast<int>(hz), static_cast<float>(gain), qf};
    }
  }
  return check;
}

BandSettings ClampBand(const BandSettings& band) {
  BandSettings b = band;
  b.frequency = std::clamp(band.frequency, kBandMinFrequency, kBandMaxFrequency);
  b.gain = std::isnan(band.gain) ? 0.0f : std::clamp(band.gain, kBandMinGain, kBandMaxGain);
  b.q = std::isnan(band.q) ? 1.41f : std::clamp(band.q, kBandMinQ, kBandMaxQ);
  return b;
}

namespace {
std::optional<std::size_t> BandAt(std::size_t size, int kind, int band) {
  if (!IsEqKind(kind) || band < 0 || band >= EqStoreBandCount(kind)) return std::nullopt;
  const auto at = static_cast<std::size_t>(EqBandOffset(kind, band));
  if (at + kBandRecordSize > size) return std::nullopt;
  return at;
}
}  // namespace

std::optional<BandSettings> ReadBand(std::span<const std::uint8_t> bytes, int kind, int band) {
  const auto at = BandAt(bytes.size(), kind, band);
  if (!at) return std::nullopt;
  return DecodeBandRecord(
      ReadBandRecord(std::span<const std::uint8_t, kBandRecordSize>(bytes.data() + *at, kBandRecordSize)));
}

bool WriteBand(std::span<std::uint8_t> bytes, int kind, int band, const BandSettings& settings) {
  const auto at = BandAt(bytes.size(), kind, band);
  if (!at) return false;
  WriteBandRecord(EncodeBandRecord(ClampBand(settings)),
                  std::span<std::uint8_t, kBandRecordSize>(bytes.data() + *at, kBandRecordSize));
  return true;
}

}  // namespace core::params
