#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/params/biquad.h"
#include "core/params/eq_kinds.h"
#include "core/params/param_model.h"
#include "core/params/value_codec.h"

namespace core::link {
class Link;
}

namespace core::params {

// The high-frequency split of the output channels: pair p is (500 + 100 p,
// 1000 + 100 p) Hz, p = 0..25. Bands 13 (low) and 14 (high) carry it.
inline constexpr int kHfSplitPairCount = 26;
inline constexpr int kHfSplitLowBand = 13;
inline constexpr int kHfSplitHighBand = 14;
struct HfSplitPair {
  int low;
  int high;
};
HfSplitPair HfSplit(int pair);  // pair clamped to 0..25

// Compressor values a block can carry: a ratio below 1:1 (or NaN) becomes
// 1:1, a negative or NaN time 0 ms (instant), a non-finite threshold 0 dB.
// An infinite time stays: it is the endlessly slow release of a zero word.
CompressorDisplay SanitizeCompressor(const CompressorDisplay& values);

// The seven words of a compressor block: threshold, 0.0, 1 - 1/ratio, 20.0,
// 0.05, 1 - e^(-1/(attack 48)), 1 - e^(-1/(release 48)) (double, narrowed),
// of the sanitized values.
std::array<Word, 7> EncodeCompressorBlock(const CompressorDisplay& values);

// The words of one loudness level x dB (clamped to -40..0; NaN is 0):
// g = 10^(x/20), its inverse, and the six-word filter block g, e,
// 0.989583, -1.98953, g, e with e = 10^((x^2 0.0022594517 + x 0.7999020)/20).
inline constexpr float kMinLoudnessLevel = -40.0f;
inline constexpr float kMaxLoudnessLevel = 0.0f;
struct LoudnessWords {
  float level = 0.0f;  // the clamped level
  Word gain = 0;
  Word inverseGain = 0;
  std::array<Word, 6> block{};
};
LoudnessWords EncodeLoudnessLevel(float level);

// The equaliser banks and the composite blocks of one session: every band,
// compressor and loudness change ends here as its words on the link and
// its record in the store. Operations keep the store and the display
// values current even while the link is closed (the sends are dropped).
// Called from the UI thread, like every edit; no lock is held while
// sending.
class EqBank {
 public:
  EqBank(link::Link& link, ParamModel& model);
  EqBank(const EqBank&) = delete;
  EqBank& operator=(const EqBank&) = delete;

  // One band: its five coefficients as the band message of (module, first
  // parameter + band), then its record at EqBandOffset in the store and the
  // store write (0x85) of those 7 bytes. Values are clamped with ClampBand
  // first (the message and the record agree). False, sending nothing, for a
  // kind outside 0..15, a band beyond the kind's records, or a type outside
  // 0..255.
  bool SendEqBand(int kind, int band, int type, int frequency, float gain, float q,
                  float k = 0.0f);
  bool SendEqBand(int kind, int band, const BandSettings& settings) {
    return SendEqBand(kind, band, settings.type, settings.frequency, settings.gain, settings.q);
  }

  // Resends the kind's bands from the store (15, 15, 7 x 4, 10, 13 x 8, 5).
  bool SendWholeEq(int kind);
  // Copies the source's first bands over the target's in the store (13
  // between two outputs, otherwise the smaller copy count) and resends the
  // target. False for a kind outside 0..15.
  bool CopyEq(int source, int target);
  // Default bands (PEQ, 0 dB, Q 1.41) for the kind's reset count.
  bool ResetEq(int kind);
  // The subwoofer variant for output channel 0..7.
  bool ResetSubEq(int channel);

  // Delay mode of output channel 0..7 (0 high-frequency, 1 whole channel):
  // the display flag, parameter 17 (1.0 and 1.0 or 0.0), then the split
  // that FindHfSplit names.
  bool SetHfSplit(int channel, int mode);
  // Bands 13 and 14 at pair `pair` (clamped): flat PEQs in whole-channel
  // mode, high-pass and low-pass in high-frequency mode.
  bool SendHfSplit(int channel, int pair);
  // The pair whose low frequency band 13 holds in the store, or 0.
  int FindHfSplit(int channel) const;

  // Remember the values (sanitized) and send the block: (4, 14) for the
  // music; (5 + index, 27) for index 0..7, (13, 10) for index 8.
  void SetMusicCompressor(float threshold, float ratio, float attackMs, float releaseMs);
  bool SetChannelCompressor(int index, float threshold, float ratio, float attackMs,
                            float releaseMs);

  // The mic bass level: stored at 1410 and written (0x85), then the gains
  // and filter blocks of both mic channels in the order that never boosts
  // on the way (rising: inverse gain first), with the TCP queue's
  // coalescing off so every word arrives.
  void SetLoudnessLevel(float level);
  float PreviousLoudnessLevel() const { return previousLoudness_.load(); }

  // Bytes of the store as they stand: written into the store at `offset`
  // and sent there in one store write (0x85), as the band records, the
  // loudness level and the sound-field data travel. Nothing for an empty
  // span or one that does not fit into the store.
  void WriteStore(std::size_t offset, std::span<const std::uint8_t> bytes);

 private:
  void SendBandRecord(int kind, int band, const BandRecord& record);

  link::Link& link_;
  ParamModel& model_;
  std::atomic<float> previousLoudness_{0.0f};
};

}  // namespace core::params
