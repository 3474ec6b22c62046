#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/params/device_image.h"

namespace core::params {

// What the processor and the pages know about each EQ kind (0/1 mic A/B,
// 2/3 echo A/B, 4/5 reverb A/B, 6 music, 7..14 output CH1..CH8, 15 record).
struct EqKindInfo {
  std::uint8_t module;      // the module its band messages address
  std::uint8_t firstParam;  // band b is parameter firstParam + b
  int sendCount;            // bands a whole resend covers
  int copyCount;            // bands copied onto another kind (outputs: onto a non-output)
  int panelBandCount;       // band records the curve panel holds
};

constexpr bool IsEqKind(int kind) { return kind >= 0 && kind < kEqKindCount; }
constexpr bool IsOutputEqKind(int kind) { return kind >= 7 && kind <= 14; }
constexpr int OutputEqKind(int channelIndex) { return 7 + channelIndex; }  // CH1 is index 0

// Nothing for a kind outside 0..15.
std::optional<EqKindInfo> EqKind(int kind);

// How many band records of the kind the store holds (EqKindBands).
inline int EqStoreBandCount(int kind) { return EqKindBands(kind).bandCount; }

// The bands a plain list of filters may fill, in order: the copy count of
// the kind. On the outputs these are bands 0..8: band 9 and its sections
// 10..12 form the crossover and 13, 14 the high-frequency split; on the
// music EQ band 10 is the bass-extension low-pass. 0 for an unknown kind.
int EqPlainBandCount(int kind);

// The centre frequencies a reset gives the bands (and the curve panel's
// defaults), Hz. A kind outside 0..15 gets the outputs' list.
std::span<const int> EqDefaultFrequencies(int kind);

// Names of the filter type codes: "OFF", "PEQ", "LP", "HP", "LS", "HS" for
// 0..5, short names of the crossover sections for 6..21, "?" otherwise.
const char* FilterTypeName(int type);

// The limits of a band for the user: what the pages' sliders, the curve
// panel's mouse and keys, and every send keep a band in. Q above 2 is for
// the peaking type only.
inline constexpr int kBandMinFrequency = 20;
inline constexpr int kBandMaxFrequency = 20000;
inline constexpr float kBandMinGain = -15.0f;
inline constexpr float kBandMaxGain = 15.0f;
inline constexpr float kBandMinQ = 0.1f;
inline constexpr float kBandMaxQ = 30.0f;
inline constexpr float kBandMaxShapeQ = 2.0f;

// The user-level description of one band, as the store record holds it.
struct BandSettings {
  int type = 1;
  int frequency = 1000;  // Hz
  float gain = 0.0f;     // dB
  float q = 1.41f;
  friend bool operator==(const BandSettings&, const BandSettings&) = default;
};

// The store record of a band: gain word (int)((gain + 0.05 + 15) x 10) in
// double, frequency word, Q word Q x 1000 in single precision rounded to the
// nearest integer, type.
// Gain, frequency, Q and type are first clamped to what the record holds
// (-15..+15 dB, 0..65535 Hz, 0..65.535, 0..255), so nothing wraps.
BandRecord EncodeBandRecord(const BandSettings& band);

// The inverse: gain = word / 10 - 15, Q = word / 1000.
BandSettings DecodeBandRecord(const BandRecord& record);

// The band a reset puts at `band` of `kind`: PEQ, default frequency, 0 dB,
// Q 1.41.
BandSettings ResetBand(int kind, int band);

// The highest Q a band of `type` takes from the user.
constexpr float MaxBandQ(int type) { return type == 1 ? kBandMaxQ : kBandMaxShapeQ; }

// A band as a user gives it, checked against those limits: the frequency
// rounded to whole Hz, the gain, and the Q in the band's single precision
// (so 0.1 passes as 0.1f). NaN and infinities fail. `band` holds the
// accepted values when nothing failed.
enum class BandLimit { None, Frequency, Gain, Q };
struct UserBandCheck {
  BandLimit failed = BandLimit::None;
  BandSettings band;
};
UserBandCheck CheckUserBand(int type, double frequency, double gain, double q);

// The ranges every band is sent and stored with: frequency 20..20000 Hz,
// gain -15..+15 dB, Q 0.1..30 (a NaN gain becomes 0, a NaN Q 1.41). The
// type is kept.
BandSettings ClampBand(const BandSettings& band);

// A band of `kind` in an image or a store (both begin with the band
// records): nothing, or false, for a kind outside 0..15, a band beyond the
// kind's records or bytes too short. Writing clamps with ClampBand.
std::optional<BandSettings> ReadBand(std::span<const std::uint8_t> bytes, int kind, int band);
bool WriteBand(std::span<std::uint8_t> bytes, int kind, int band, const BandSettings& settings);

}  // namespace core::params
