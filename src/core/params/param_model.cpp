#include "core/params/param_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "core/link/link.h"
#include "core/trace.h"

namespace core::params {
namespace {

constexpr int SlotOf(ParamName name) { return kParamTable[name.Row()].slot; }

constexpr std::array<int, kChannelCompressorCount> kCompressorSlots = [] {
  std::array<int, kChannelCompressorCount> s{};
  for (int c = 0; c < kOutputCount; ++c) s[c] = SlotOf(OutputCompressor(c));
  s[kOutputCount] = SlotOf(kRecordCompressor);
  return s;
}();
constexpr std::array<int, kOutputCount> kDelayModeSlots = [] {
  std::array<int, kOutputCount> s{};
  for (int c = 0; c < kOutputCount; ++c) s[c] = SlotOf(OutputDelayMode(c));
  return s;
}();
constexpr int kMusicCompressorSlot = SlotOf(kMusicCompressor);
constexpr int kShiftCoefficientSlots[2] = {SlotOf(kMicAShiftCoefficient),
                                           SlotOf(kMicBShiftCoefficient)};
constexpr std::size_t kShiftOffRows[2] = {kMicAShiftOff.Row(), kMicBShiftOff.Row()};

// Inverts x = 1 - e^(-1/(48 t)). A zero coefficient is an endlessly slow
// attack or release: +infinity (the plain formula divides by +0 of ln(1) and
// would give the meaningless -infinity).
float TimeFromCoefficient(float x) {
  const double l = std::log(1.0 - static_cast<double>(x));
  if (l == 0.0) return std::numeric_limits<float>::infinity();
  return static_cast<float>(-1.0 / l / 48.0);
}

ParamValue ZeroMirror(ValueKind kind) {
  return kind == ValueKind::Float || kind == ValueKind::Milliseconds ? ParamValue(0.0f)
                                                                      : ParamValue(0);
}

// The mirror holds the user's value in the row's own type.
ParamValue MirrorValue(ValueKind kind, ParamValue v) {
  return kind == ValueKind::Float || kind == ValueKind::Milliseconds ? ParamValue(v.AsFloat())
                                                                      : ParamValue(v.AsInt());
}

}  // namespace

CompressorDisplay DecodeCompressorBlock(const std::uint8_t* w) {
  CompressorDisplay d;
  d.threshold = BitsFloat(LoadBe32(w));
  d.ratio = static_cast<float>(1.0 / (1.0 - static_cast<double>(BitsFloat(LoadBe32(w + 8)))));
  d.attackMs = TimeFromCoefficient(BitsFloat(LoadBe32(w + 20)));
  d.releaseMs = TimeFromCoefficient(BitsFloat(LoadBe32(w + 24)));
  return d;
}

ParamModel::ParamModel(link::Link& link) : link_(link) {
  for (std::size_t i = 0; i < kParamCount; ++i) mirrors_[i] = ZeroMirror(kParamTable[i].kind);
}

void ParamModel::SetParam(int module, int param, ParamValue value) {
  const auto row = FindParamRow(module, param);
  if (!row) return;
  const ParamEntry& e = kParamTable[*row];
  if (!e.HasMirror() || !e.HasSlot()) return;
  const auto word = EncodeValue(e.kind, value);
  if (!word) return;
  {
    std::lock_guard lock(mutex_);
    mirrors_[*row] = MirrorValue(e.kind, value);
    StoreBe32(image_.data() + e.slot, *word);
  }
  const Word words[1] = {*word};
  link_.SendParamFrame(e.module, e.param, words);
}

void ParamModel::SetParamBlock(int module, int param, std::span<const Word> words) {
  if (words.empty() || words.size() > link::kMaxParamWords) {
    Trace("SetParamBlock: word count out of range, nothing sent");
    return;
  }
  if (const auto row = FindParamRow(module, param); row && kParamTable[*row].HasSlot()) {
    const ParamEntry& e = kParamTable[*row];
    const std::size_t n = std::min<std::size_t>(words.size(), e.words);
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < n; ++i) StoreBe32(image_.data() + e.slot + 4 * i, words[i]);
    // A scalar row written as a ready-made word (the frequency shift's
    // switch and delay) keeps its mirror in step with the image, as a
    // decode would read it.
    if (e.kind != ValueKind::Block && e.HasMirror()) mirrors_[*row] = DecodeWord(e.kind, words[0]);
  }
  link_.SendParamFrame(static_cast<std::uint8_t>(module), static_cast<std::uint8_t>(param),
                       words);
}

void ParamModel::SetParam(ParamName name, ParamValue value) {
  if (name.Valid()) SetParam(name.Module(), name.Param(), value);
}

void ParamModel::SetParamBlock(ParamName name, std::span<const Word> words) {
  if (name.Valid()) SetParamBlock(name.Module(), name.Param(), words);
}

void ParamModel::SetParamBlock(FrameParamName name, std::span<const Word> words) {
  SetParamBlock(name.Module(), name.Param(), words);
}

void ParamModel::BuildDefaultImage() {
  std::lock_guard lock(mutex_);
  params::BuildDefaultImage(image_);
  BumpGenerationLocked();
}

void ParamModel::DecodeImage() {
  std::lock_guard lock(mutex_);
  DecodeLocked();
  BumpGenerationLocked();
}

void ParamModel::DecodeLocked() {
  std::copy_n(image_.begin(), kStoreDecodedSize, store_.begin());
  geometry_ = DecodeSoundFieldBlock(
      std::span<const std::uint8_t, kFieldRecordSize>(store_.data() + kFieldRecordOffset,
                                                      kFieldRecordSize));
  for (int c = 0; c < kChannelCompressorCount; ++c) {
    display_.compressors[c] = DecodeCompressorBlock(image_.data() + kCompressorSlots[c]);
  }
  for (int c = 0; c < kOutputCount; ++c) {
    const float mode = BitsFloat(LoadBe32(image_.data() + kDelayModeSlots[c] + 4));
    display_.delayMode[c] = mode * 100.0f == 0.0f ? 1 : 0;
  }
  display_.musicCompressor = DecodeCompressorBlock(image_.data() + kMusicCompressorSlot);
  display_.musicPitch = static_cast<int>(image_[kPitchByteOffset]) - 5;
  display_.loudnessLevel = TruncToInt32(BitsFloat(LoadBe32(store_.data() + kLoudnessLevelOffset)));

  for (std::size_t i = 0; i < kParamCount; ++i) {
    const ParamEntry& e = kParamTable[i];
    if (!e.HasMirror()) continue;
    if (!e.HasSlot()) break;
    mirrors_[i] = DecodeWord(e.kind, LoadBe32(image_.data() + e.slot));
  }

  for (int ch = 0; ch < 2; ++ch) {
    if (mirrors_[kShiftOffRows[ch]].AsInt() != 0) {
      display_.shiftFrequency[ch] = 1;
      continue;
    }
    const double coefficient = BitsFloat(LoadBe32(image_.data() + kShiftCoefficientSlots[ch]));
    const double hz = coefficient * 48000.0 * 0.5 / std::numbers::pi + 0.001;
    display_.shiftFrequency[ch] = TruncToInt32(static_cast<float>(hz));
  }
}

DeviceImage ParamModel::Image() const {
  std::lock_guard lock(mutex_);
  return image_;
}

void ParamModel::SetImage(const DeviceImage& image) {
  std::lock_guard lock(mutex_);
  image_ = image;
  BumpGenerationLocked();
}

std::size_t ParamModel::WriteImageBytes(std::size_t offset, std::span<const std::uint8_t> bytes) {
  if (offset >= kImageSize) return 0;
  const std::size_t n = std::min(bytes.size(), kImageSize - offset);
  std::lock_guard lock(mutex_);
  std::copy_n(bytes.begin(), n, image_.begin() + offset);
  BumpGenerationLocked();
  return n;
}

std::uint8_t ParamModel::ImageByte(std::size_t offset) const {
  std::lock_guard lock(mutex_);
  return offset < kImageSize ? image_[offset] : 0;
}

EqStore ParamModel::Store() const {
  std::lock_guard lock(mutex_);
  return store_;
}

std::size_t ParamModel::WriteStoreBytes(std::size_t offset, std::span<const std::uint8_t> bytes) {
  if (offset >= kStoreSize) return 0;
  const std::size_t n = std::min(bytes.size(), kStoreSize - offset);
  std::lock_guard lock(mutex_);
  std::copy_n(bytes.begin(), n, store_.begin() + offset);
  return n;
}

void ParamModel::ClearStoreBytes(std::size_t offset, std::size_t count) {
  if (offset >= kStoreSize) return;
  std::lock_guard lock(mutex_);
  std::fill_n(store_.begin() + offset, std::min(count, kStoreSize - offset), std::uint8_t{0});
  BumpGenerationLocked();
}

void ParamModel::CopyStoreToImage() {
  std::lock_guard lock(mutex_);
  std::copy(store_.begin(), store_.end(), image_.begin());
}

void ParamModel::DecodeStoreSoundField() {
  std::lock_guard lock(mutex_);
  geometry_ = DecodeSoundFieldBlock(
      std::span<const std::uint8_t, kFieldRecordSize>(store_.data() + kFieldRecordOffset,
                                                      kFieldRecordSize));
}

ParamValue ParamModel::Mirror(int module, int param) const {
  const auto row = FindParamRow(module, param);
  return row ? MirrorAt(*row) : ParamValue(0);
}

ParamValue ParamModel::Mirror(ParamName name) const { return MirrorAt(name.Row()); }

ParamValue ParamModel::MirrorAt(std::size_t row) const {
  std::lock_guard lock(mutex_);
  return row < kParamCount ? mirrors_[row] : ParamValue(0);
}

DisplayValues ParamModel::Display() const {
  std::lock_guard lock(mutex_);
  return display_;
}

void ParamModel::SetMusicPitch(int pitch) {
  std::lock_guard lock(mutex_);
  display_.musicPitch = pitch;
}

SoundFieldGeometry ParamModel::Geometry() const {
  std::lock_guard lock(mutex_);
  return geometry_;
}

void ParamModel::SetGeometry(const SoundFieldGeometry& geometry) {
  std::lock_guard lock(mutex_);
  geometry_ = geometry;
}

ModelSnapshot ParamModel::Snapshot() const {
  std::lock_guard lock(mutex_);
  return ModelSnapshot{image_, store_, mirrors_, display_, geometry_, Generation()};
}

void ParamModel::SetCompressorDisplay(int index, const CompressorDisplay& values) {
  if (index < 0 || index >= kChannelCompressorCount) return;
  std::lock_guard lock(mutex_);
  display_.compressors[static_cast<std::size_t>(index)] = values;
}

void ParamModel::SetMusicCompressorDisplay(const CompressorDisplay& values) {
  std::lock_guard lock(mutex_);
  display_.musicCompressor = values;
}

void ParamModel::SetDelayMode(int channel, int mode) {
  if (channel < 0 || channel >= kOutputCount) return;
  std::lock_guard lock(mutex_);
  display_.delayMode[static_cast<std::size_t>(channel)] = mode;
}

void ParamModel::SetLoudnessLevelDisplay(int level) {
  std::lock_guard lock(mutex_);
  display_.loudnessLevel = level;
}

void ParamModel::SetShiftFrequencyDisplay(int channel, int hz) {
  if (channel < 0 || channel >= 2) return;
  std::lock_guard lock(mutex_);
  display_.shiftFrequency[static_cast<std::size_t>(channel)] = hz;
}

}  // namespace core::params
