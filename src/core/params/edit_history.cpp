#include "core/params/edit_history.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <span>
#include <utility>

#include "core/params/eq_bank.h"
#include "core/params/eq_kinds.h"
#include "core/params/named_params.h"

namespace core::params {
namespace {

// The store after the band records, in the pieces its edits write whole.
struct StoreArea {
  std::size_t offset;
  std::size_t size;
};
constexpr StoreArea kStoreAreas[] = {
    {kFieldLevelsOffset, kFieldLevelsSize},           // the eight channel levels
    {kFieldRecordOffset, kFieldRecordSize},           // the sound-field layout
    {kLoudnessLevelOffset, 4},                        // the loudness level float
    {kFieldSettingOffset, 1},                         // the located speaker's code
    {kFieldSettingOffset + 1, kStoreSize - kFieldSettingOffset - 1},  // the rest
};
static_assert(kLoudnessLevelOffset + 4 == kFieldSettingOffset);

// The rows EqBank::SetLoudnessLevel sends.
constexpr std::size_t kLoudnessRows[] = {
    kMicALoudnessInverseGain.Row(), kMicALoudnessGain.Row(), kMicALoudnessFilter.Row(),
    kMicBLoudnessInverseGain.Row(), kMicBLoudnessGain.Row(), kMicBLoudnessFilter.Row()};

bool IsLoudnessRow(std::size_t row) {
  return std::find(std::begin(kLoudnessRows), std::end(kLoudnessRows), row) !=
         std::end(kLoudnessRows);
}

constexpr std::size_t kPitchRow = kMusicPitch.Row();

// The display values one by one: bit i of a change's mask.
enum DisplayField : std::uint32_t {
  kCompressorField = 0,  // 0..8: CH1..CH8 and the record output
  kMusicCompressorField = kChannelCompressorCount,
  kDelayModeField,  // .. + 7: CH1..CH8
  kPitchField = kDelayModeField + kOutputCount,
  kLoudnessField,
  kShiftField,  // .. + 1: mic channels A and B
  kDisplayFieldCount = kShiftField + 2,
};
static_assert(kDisplayFieldCount <= 32);

constexpr std::uint32_t Bit(std::uint32_t field) { return std::uint32_t{1} << field; }

// Floats compare by their bits: a NaN attack time stays equal to itself.
bool SameBits(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}
bool SameCompressor(const CompressorDisplay& a, const CompressorDisplay& b) {
  return SameBits(a.threshold, b.threshold) && SameBits(a.ratio, b.ratio) &&
         SameBits(a.attackMs, b.attackMs) && SameBits(a.releaseMs, b.releaseMs);
}
bool SameGeometry(const SoundFieldGeometry& a, const SoundFieldGeometry& b) {
  if (a.width != b.width || a.length != b.length) return false;
  for (std::size_t i = 0; i < a.points.size(); ++i) {
    if (!SameBits(a.points[i].x, b.points[i].x) || !SameBits(a.points[i].y, b.points[i].y)) {
      return false;
    }
  }
  return true;
}

std::uint32_t DisplayDifferences(const DisplayValues& a, const DisplayValues& b) {
  std::uint32_t mask = 0;
  for (int i = 0; i < kChannelCompressorCount; ++i) {
    const auto u = static_cast<std::size_t>(i);
    if (!SameCompressor(a.compressors[u], b.compressors[u])) mask |= Bit(kCompressorField + i);
  }
  if (!SameCompressor(a.musicCompressor, b.musicCompressor)) mask |= Bit(kMusicCompressorField);
  for (int c = 0; c < kOutputCount; ++c) {
    const auto u = static_cast<std::size_t>(c);
    if (a.delayMode[u] != b.delayMode[u]) mask |= Bit(kDelayModeField + c);
  }
  if (a.musicPitch != b.musicPitch) mask |= Bit(kPitchField);
  if (a.loudnessLevel != b.loudnessLevel) mask |= Bit(kLoudnessField);
  for (int ch = 0; ch < 2; ++ch) {
    const auto u = static_cast<std::size_t>(ch);
    if (a.shiftFrequency[u] != b.shiftFrequency[u]) mask |= Bit(kShiftField + ch);
  }
  return mask;
}

std::array<Word, kMaxRecordWords> RecordWords(const DeviceImage& image, const ParamEntry& e) {
  std::array<Word, kMaxRecordWords> words{};
  for (std::size_t i = 0; i < e.words; ++i) {
    words[i] = LoadBe32(image.data() + e.slot + 4 * i);
  }
  return words;
}

// The pitch's one word as the master control sends it.
Word PitchWord(int pitch) { return static_cast<Word>(pitch + 5); }

}  // namespace

EditHistory::EditHistory(ParamModel& model, EqBank& eq, std::size_t maxSteps)
    : model_(model), eq_(eq), maxSteps_(std::max<std::size_t>(maxSteps, 1)) {}

// ---- Recording

void EditHistory::Begin(const EditOrigin& origin) {
  if (replaying_) return;
  if (depth_++ > 0) return;
  origin_ = origin;
  before_ = model_.Snapshot();
}

void EditHistory::End() {
  if (replaying_ || depth_ == 0) return;
  if (--depth_ > 0) return;
  const ModelSnapshot after = model_.Snapshot();
  std::optional<ModelSnapshot> before = std::exchange(before_, std::nullopt);
  if (!before) return;
  // Steps of an older model are void.
  DropIfStale(after.generation);
  // The model was replaced during the gesture: its start belongs to a model
  // that is gone.
  if (before->generation != after.generation) return;
  std::optional<Step> step = Diff(*before, after);
  if (!step) return;
  step->origin = origin_;
  undo_.push_back(std::move(*step));
  redo_.clear();
  while (undo_.size() > maxSteps_) undo_.pop_front();
}

std::optional<EditHistory::Step> EditHistory::Diff(const ModelSnapshot& a,
                                                   const ModelSnapshot& b) {
  Step step;
  for (std::size_t i = 0; i < kParamCount; ++i) {
    const ParamEntry& e = kParamTable[i];
    const auto row = static_cast<std::uint16_t>(i);
    if (e.HasMirror()) {
      if (a.mirrors[i] != b.mirrors[i]) step.rows.push_back({row, a.mirrors[i], b.mirrors[i], {}, {}});
    } else if (e.HasSlot()) {
      const auto before = RecordWords(a.image, e);
      const auto after = RecordWords(b.image, e);
      if (before != after) step.rows.push_back({row, {}, {}, before, after});
    } else if (i == kPitchRow && a.display.musicPitch != b.display.musicPitch) {
      step.rows.push_back(
          {row, {}, {}, {PitchWord(a.display.musicPitch)}, {PitchWord(b.display.musicPitch)}});
    }
  }

  if (std::memcmp(a.store.data(), b.store.data(), kBandAreaSize) != 0) {
    for (int kind = 0; kind < kEqKindCount; ++kind) {
      for (int band = 0; band < EqStoreBandCount(kind); ++band) {
        const auto at = static_cast<std::size_t>(EqBandOffset(kind, band));
        if (std::memcmp(a.store.data() + at, b.store.data() + at, kBandRecordSize) == 0) continue;
        BandChange change{static_cast<std::uint8_t>(kind), static_cast<std::uint8_t>(band), {}, {}};
        std::copy_n(a.store.begin() + at, kBandRecordSize, change.before.begin());
        std::copy_n(b.store.begin() + at, kBandRecordSize, change.after.begin());
        step.bands.push_back(change);
      }
    }
  }

  for (const StoreArea& area : kStoreAreas) {
    if (std::memcmp(a.store.data() + area.offset, b.store.data() + area.offset, area.size) == 0) {
      continue;
    }
    StoreChange change{static_cast<std::uint16_t>(area.offset),
                       static_cast<std::uint8_t>(area.size), {}, {}};
    std::copy_n(a.store.begin() + area.offset, area.size, change.before.begin());
    std::copy_n(b.store.begin() + area.offset, area.size, change.after.begin());
    step.store.push_back(change);
  }

  if (const std::uint32_t fields = DisplayDifferences(a.display, b.display); fields != 0) {
    step.display = DisplayChange{fields, a.display, b.display};
  }
  if (!SameGeometry(a.geometry, b.geometry)) step.geometry = GeometryChange{a.geometry, b.geometry};

  if (step.rows.empty() && step.bands.empty() && step.store.empty() && !step.display &&
      !step.geometry) {
    return std::nullopt;
  }
  return step;
}

// ---- Undo and redo

bool EditHistory::Stale() const { return model_.Generation() != generation_; }

void EditHistory::DropIfStale(std::uint64_t generation) {
  if (generation == generation_) return;
  undo_.clear();
  redo_.clear();
  generation_ = generation;
}

bool EditHistory::CanUndo() const {
  return depth_ == 0 && !replaying_ && !Stale() && !undo_.empty();
}

bool EditHistory::CanRedo() const {
  return depth_ == 0 && !replaying_ && !Stale() && !redo_.empty();
}

std::optional<EditOrigin> EditHistory::Undo() {
  if (depth_ > 0 || replaying_) return std::nullopt;
  DropIfStale(model_.Generation());
  if (undo_.empty()) return std::nullopt;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  Replay(step, Side::Before);
  const EditOrigin origin = step.origin;
  redo_.push_back(std::move(step));
  return origin;
}

std::optional<EditOrigin> EditHistory::Redo() {
  if (depth_ > 0 || replaying_) return std::nullopt;
  DropIfStale(model_.Generation());
  if (redo_.empty()) return std::nullopt;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  Replay(step, Side::After);
  const EditOrigin origin = step.origin;
  undo_.push_back(std::move(step));
  return origin;
}

void EditHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

std::size_t EditHistory::UndoCount() const { return Stale() ? 0 : undo_.size(); }
std::size_t EditHistory::RedoCount() const { return Stale() ? 0 : redo_.size(); }

// ---- Replay

void EditHistory::Replay(const Step& step, Side side) {
  replaying_ = true;
  const bool loudness = std::any_of(step.store.begin(), step.store.end(), [](const StoreChange& c) {
    return c.offset == kLoudnessLevelOffset;
  });
  ReplayRows(step, side, loudness);
  ReplayBands(step, side);
  ReplayStore(step, side);
  ReplayDisplay(step, side);
  replaying_ = false;
}

void EditHistory::SendRow(const RowChange& change, Side side) {
  const ParamEntry& e = kParamTable[change.row];
  if (e.HasMirror()) {
    model_.SetParam(e.module, e.param, side == Side::Before ? change.before : change.after);
    return;
  }
  const auto& words = side == Side::Before ? change.wordsBefore : change.wordsAfter;
  model_.SetParamBlock(e.module, e.param, std::span<const Word>(words.data(), e.words));
}

void EditHistory::ReplayRows(const Step& step, Side side, bool skipLoudnessRows) {
  for (const RowChange& change : step.rows) {
    // The loudness level sends these itself (ReplayStore).
    if (skipLoudnessRows && IsLoudnessRow(change.row)) continue;
    SendRow(change, side);
  }
}

void EditHistory::ReplayBands(const Step& step, Side side) {
  for (const BandChange& change : step.bands) {
    const auto& bytes = side == Side::Before ? change.before : change.after;
    const BandSettings band = DecodeBandRecord(ReadBandRecord(bytes));
    eq_.SendEqBand(change.kind, change.band, band.type, band.frequency, band.gain, band.q);
    // A record outside the send's ranges (a frequency below 20 Hz, a gain
    // word above 300, a Q below 0.1 read from a processor) is stored clamped
    // by the send; the record itself goes back as it was.
    const auto at = static_cast<std::size_t>(EqBandOffset(change.kind, change.band));
    const EqStore store = model_.Store();
    if (!std::equal(bytes.begin(), bytes.end(), store.begin() + at)) eq_.WriteStore(at, bytes);
  }
}

void EditHistory::ReplayStore(const Step& step, Side side) {
  for (const StoreChange& change : step.store) {
    const auto& all = side == Side::Before ? change.before : change.after;
    const std::span<const std::uint8_t> bytes(all.data(), change.size);
    if (change.offset == kLoudnessLevelOffset) {
      // The rows SetLoudnessLevel rewrites: those of the step go to the
      // step's words, the others stay as they are.
      std::array<std::array<Word, kMaxRecordWords>, std::size(kLoudnessRows)> target{};
      const DeviceImage image = model_.Image();
      for (std::size_t i = 0; i < std::size(kLoudnessRows); ++i) {
        target[i] = RecordWords(image, kParamTable[kLoudnessRows[i]]);
        for (const RowChange& row : step.rows) {
          if (row.row == kLoudnessRows[i]) {
            target[i] = side == Side::Before ? row.wordsBefore : row.wordsAfter;
          }
        }
      }
      eq_.SetLoudnessLevel(BitsFloat(LoadBe32(bytes.data())));
      // A level the dialog cannot set (NaN, or outside -40..0 dB) is stored
      // clamped; the bytes go back as they were.
      const EqStore store = model_.Store();
      if (!std::equal(bytes.begin(), bytes.end(), store.begin() + change.offset)) {
        eq_.WriteStore(change.offset, bytes);
      }
      const DeviceImage now = model_.Image();
      for (std::size_t i = 0; i < std::size(kLoudnessRows); ++i) {
        const ParamEntry& e = kParamTable[kLoudnessRows[i]];
        if (RecordWords(now, e) != target[i]) {
          model_.SetParamBlock(e.module, e.param, std::span<const Word>(target[i].data(), e.words));
        }
      }
    } else {
      eq_.WriteStore(change.offset, bytes);
      if (change.offset == kFieldSettingOffset) {
        // The Locate box sends the code as a parameter as well.
        const Word word[1] = {EncodeRawByte(bytes[0])};
        model_.SetParamBlock(kSoundFieldLocate, word);
      }
    }
  }
}

void EditHistory::ReplayDisplay(const Step& step, Side side) {
  if (step.display) {
    const std::uint32_t fields = step.display->fields;
    const DisplayValues& v = side == Side::Before ? step.display->before : step.display->after;
    for (int i = 0; i < kChannelCompressorCount; ++i) {
      if (fields & Bit(kCompressorField + i)) {
        model_.SetCompressorDisplay(i, v.compressors[static_cast<std::size_t>(i)]);
      }
    }
    if (fields & Bit(kMusicCompressorField)) model_.SetMusicCompressorDisplay(v.musicCompressor);
    for (int c = 0; c < kOutputCount; ++c) {
      if (fields & Bit(kDelayModeField + c)) {
        model_.SetDelayMode(c, v.delayMode[static_cast<std::size_t>(c)]);
      }
    }
    if (fields & Bit(kPitchField)) model_.SetMusicPitch(v.musicPitch);
    if (fields & Bit(kLoudnessField)) model_.SetLoudnessLevelDisplay(v.loudnessLevel);
    for (int ch = 0; ch < 2; ++ch) {
      if (fields & Bit(kShiftField + ch)) {
        model_.SetShiftFrequencyDisplay(ch, v.shiftFrequency[static_cast<std::size_t>(ch)]);
      }
    }
  }
  if (step.geometry) {
    model_.SetGeometry(side == Side::Before ? step.geometry->before : step.geometry->after);
  }
}

}  // namespace core::params
