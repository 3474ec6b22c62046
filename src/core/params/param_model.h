#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

#include "core/params/device_image.h"
#include "core/params/named_params.h"
#include "core/params/param_table.h"
#include "core/params/sound_field.h"
#include "core/params/value_codec.h"

namespace core::link {
class Link;
}

namespace core::params {

// What a compressor block means to a user. Attack and release are
// +/-infinity or NaN when the block's coefficient word makes them so; they
// are kept as they come and shown as such, never cast to an integer.
struct CompressorDisplay {
  float threshold = 0.0f;  // word 0, as the processor holds it
  float ratio = 1.0f;
  float attackMs = 0.0f;
  float releaseMs = 0.0f;
  friend bool operator==(const CompressorDisplay&, const CompressorDisplay&) = default;

  // The four values by their order on the pages' sliders: 0 threshold,
  // 1 ratio, 2 attack, 3 release (anything else: release).
  float Field(int field) const {
    return field == 0 ? threshold : field == 1 ? ratio : field == 2 ? attackMs : releaseMs;
  }
  void SetField(int field, float value) {
    (field == 0 ? threshold : field == 1 ? ratio : field == 2 ? attackMs : releaseMs) = value;
  }
};

// Decodes a compressor block (seven big-endian words at `words`).
CompressorDisplay DecodeCompressorBlock(const std::uint8_t* words);

// Compressor blocks with display values: CH1..CH8, then the record output.
inline constexpr int kChannelCompressorCount = kOutputCount + 1;

// Values that decoding derives for the pages beside the table's mirrors.
struct DisplayValues {
  std::array<CompressorDisplay, kChannelCompressorCount> compressors{};
  CompressorDisplay musicCompressor{};
  // Per output channel, from parameter 17: 1 channel delay, 0 high-frequency delay.
  std::array<int, kOutputCount> delayMode{};
  int musicPitch = 0;     // -5..+5 in practice
  int loudnessLevel = 0;  // dB
  std::array<int, 2> shiftFrequency{};  // mic channels A and B, Hz
};

// Everything the model holds, copied at one instant under its lock (about
// 8 KB): what the edit history compares before and after a gesture.
struct ModelSnapshot {
  DeviceImage image{};
  EqStore store{};
  std::array<ParamValue, kParamCount> mirrors{};
  DisplayValues display{};
  SoundFieldGeometry geometry{};
  std::uint64_t generation = 0;  // Generation() when the copy was taken
};

// The parameter model of one session: the device image, the equaliser
// store, the mirrors of every table row, the display values and the sound-
// field geometry, with the operations that change them. Edits end in frames
// sent on the link; the image keeps every edit even while nothing can be
// sent. All members are guarded by one lock, which is never held while
// sending.
class ParamModel {
 public:
  explicit ParamModel(link::Link& link);
  ParamModel(const ParamModel&) = delete;
  ParamModel& operator=(const ParamModel&) = delete;

  // One scalar: mirror, image word, one parameter frame. A pair that is not
  // in the table, a Block row and the slot-less pitch row do nothing.
  void SetParam(int module, int param, ParamValue value);
  // Ready-made words (1..10): written into the parameter's record when it
  // has one (never past the record), and always sent. Other counts are
  // refused: nothing is written or sent.
  void SetParamBlock(int module, int param, std::span<const Word> words);
  // The same by name (named_params.h). An invalid name (an output channel
  // outside 0..7) changes nothing and sends nothing.
  void SetParam(ParamName name, ParamValue value);
  void SetParamBlock(ParamName name, std::span<const Word> words);
  // A pair that is only sent: the frame goes out, no image byte changes.
  void SetParamBlock(FrameParamName name, std::span<const Word> words);

  // Overwrites the image with the built-in defaults (no decode).
  void BuildDefaultImage();
  // Refreshes the store, mirrors, display values and geometry from the image.
  void DecodeImage();

  DeviceImage Image() const;
  void SetImage(const DeviceImage& image);
  // Copies bytes into the image at `offset`, cut to what fits; returns how
  // many were copied. For reads and loads of the image (the read-all's
  // blocks, a mode file), never for an edit.
  std::size_t WriteImageBytes(std::size_t offset, std::span<const std::uint8_t> bytes);
  std::uint8_t ImageByte(std::size_t offset) const;

  EqStore Store() const;
  std::size_t WriteStoreBytes(std::size_t offset, std::span<const std::uint8_t> bytes);
  // The processor's "all bands cleared": a change of the store as a whole.
  void ClearStoreBytes(std::size_t offset, std::size_t count);
  // Copies the whole store over the image's first bytes (before saving).
  void CopyStoreToImage();
  // Re-reads the geometry from the store's sound-field record.
  void DecodeStoreSoundField();

  // The mirror of a table row (zero of the row's type before any decode);
  // a zero int for pairs outside the table.
  ParamValue Mirror(int module, int param) const;
  ParamValue Mirror(ParamName name) const;
  ParamValue MirrorAt(std::size_t row) const;

  DisplayValues Display() const;
  void SetMusicPitch(int pitch);
  // Display values the equaliser bank keeps current after its sends.
  // Compressor index 0..7 is CH1..CH8, 8 the record output; channel 0..7.
  // Indexes outside those ranges change nothing.
  void SetCompressorDisplay(int index, const CompressorDisplay& values);
  void SetMusicCompressorDisplay(const CompressorDisplay& values);
  void SetDelayMode(int channel, int mode);
  void SetLoudnessLevelDisplay(int level);
  // The frequency-shift display of mic channel 0 (A) or 1 (B), Hz; other
  // channels change nothing.
  void SetShiftFrequencyDisplay(int channel, int hz);

  SoundFieldGeometry Geometry() const;
  // The sound-field page's geometry (the store record is written apart).
  void SetGeometry(const SoundFieldGeometry& geometry);

  // Image, store, mirrors, display values and geometry at one instant.
  ModelSnapshot Snapshot() const;

  // Counts the changes that replace the model's state as a whole rather
  // than edit it: BuildDefaultImage, DecodeImage, SetImage, WriteImageBytes
  // (a read-all's blocks, a mode-file load) and ClearStoreBytes. Edits
  // (SetParam, SetParamBlock, the store writes, the display setters,
  // DecodeStoreSoundField) leave it alone. Safe to read from any thread.
  std::uint64_t Generation() const { return generation_.load(std::memory_order_acquire); }

 private:
  void DecodeLocked();
  void BumpGenerationLocked() { generation_.fetch_add(1, std::memory_order_acq_rel); }

  link::Link& link_;
  mutable std::mutex mutex_;
  DeviceImage image_{};
  EqStore store_{};
  std::array<ParamValue, kParamCount> mirrors_{};
  DisplayValues display_{};
  SoundFieldGeometry geometry_{};
  std::atomic<std::uint64_t> generation_{0};
};

}  // namespace core::params
