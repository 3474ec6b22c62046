#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace core::params {

// The processor's whole parameter memory for its current mode.
inline constexpr std::size_t kImageSize = 3518;
using DeviceImage = std::array<std::uint8_t, kImageSize>;

// Layout of the image.
inline constexpr std::size_t kBandRecordSize = 7;
inline constexpr std::size_t kBandRecordCount = 194;
inline constexpr std::size_t kBandAreaSize = kBandRecordSize * kBandRecordCount;  // 1358
inline constexpr std::size_t kFieldLevelsOffset = 1358;   // 8 big-endian floats, dB
inline constexpr std::size_t kFieldLevelsSize = 32;
inline constexpr std::size_t kFieldRecordOffset = 1390;   // sound-field geometry
inline constexpr std::size_t kFieldRecordSize = 20;
inline constexpr std::size_t kLoudnessLevelOffset = 1410;  // big-endian float
inline constexpr std::size_t kFieldSettingOffset = 1414;   // located speaker code
inline constexpr std::size_t kParamRecordsOffset = 1422;
inline constexpr std::size_t kMusicSourceOffset = 2017;    // last byte of (4, 23)
inline constexpr std::size_t kPitchByteOffset = 2003;      // last byte of (4, 21)

// The pages' copy of the image's first bytes: bands, sound field, loudness.
inline constexpr std::size_t kStoreSize = 1422;
using EqStore = std::array<std::uint8_t, kStoreSize>;
// Decoding refreshes the store from the image up to and including the
// sound-field setting byte; saving copies the whole store back.
inline constexpr std::size_t kStoreDecodedSize = 1415;

// Number of EQ kinds: 0/1 mic A/B, 2/3 echo A/B, 4/5 reverb A/B, 6 music,
// 7..14 output CH1..CH8, 15 record.
inline constexpr int kEqKindCount = 16;

struct EqKindLayout {
  int firstBand;  // index of the first band record
  int bandCount;
};

// Where the bands of an EQ kind lie; an unknown kind is laid out like kind 0.
EqKindLayout EqKindBands(int kind);

// Byte offset of band `band` of EQ kind `kind` in the image and the store.
int EqBandOffset(int kind, int band);

const char* EqKindName(int kind);  // "mic A", "CH3", ...

// One band record: gain word (dB x 10 + 150), frequency in Hz, Q x 1000,
// filter type code.
struct BandRecord {
  std::uint16_t gainWord = 150;
  std::uint16_t frequency = 1000;
  std::uint16_t qWord = 1414;
  std::uint8_t type = 1;

  double GainDb() const { return gainWord / 10.0 - 15.0; }
  double Q() const { return qWord / 1000.0; }
  friend bool operator==(const BandRecord&, const BandRecord&) = default;
};

BandRecord ReadBandRecord(std::span<const std::uint8_t, kBandRecordSize> bytes);
void WriteBandRecord(const BandRecord& band, std::span<std::uint8_t, kBandRecordSize> bytes);

// The image travels in 63 blocks of 56 bytes, the last one 46 bytes long.
inline constexpr int kImageBlockCount = 63;
inline constexpr int kImageBlockSize = 56;

struct ImageBlock {
  int offset;
  int size;
};
constexpr ImageBlock ImageBlockAt(int i) {
  const int offset = kImageBlockSize * i;
  const int size = i == kImageBlockCount - 1 ? static_cast<int>(kImageSize) - offset
                                             : kImageBlockSize;
  return {offset, size};
}

// Writes the built-in default image.
void BuildDefaultImage(DeviceImage& image);

}  // namespace core::params
