#include "core/params/sound_field_control.h"

#include <algorithm>
#include <cmath>

#include "core/link/link.h"
#include "core/params/param_model.h"
#include "core/params/store_write.h"

namespace core::params {
namespace {

constexpr int kSourceCodes[kFieldSourceCount] = {0, 5, 1, 6, 4, 7, 2, 3};

// Channels here count from 1.
constexpr ParamName PositionCode(int channel) { return OutputChannelType(channel - 1); }
constexpr ParamName LevelFilter(int channel) { return OutputFieldFilter(channel - 1); }

float ClampCoordinate(float v, int size) {
  if (std::isnan(v)) return 0.0f;
  const float half = static_cast<float>(size) / 2.0f;
  return std::clamp(v, -half, half);
}

}  // namespace

std::optional<int> SourcePositionCode(int point) {
  if (point < 1 || point > kFieldSourceCount) return std::nullopt;
  return kSourceCodes[point - 1];
}

float SourceLevelDb(FieldPoint listener, FieldPoint source) {
  const float dx = listener.x - source.x;
  const float dy = listener.y - source.y;
  const float sum = dx * dx + dy * dy;
  const float d = static_cast<float>(std::sqrt(static_cast<double>(sum)));
  return 3.0f - 3.0f * d;
}

std::array<Word, 6> LevelFilterWords(float levelDb) {
  const double l = levelDb;
  const float g = static_cast<float>(std::pow(10.0, l / 20.0));
  const float h = static_cast<float>(std::pow(10.0, (0.0022594517 * l * l + 0.799902 * l) / 20.0));
  return {FloatBits(g), FloatBits(h), detail::kFieldA1, detail::kFieldA2, FloatBits(g), FloatBits(h)};
}

SoundFieldControl::SoundFieldControl(link::Link& link, ParamModel& model)
    : link_(link), model_(model) {}

int SoundFieldControl::ChannelForCode(int code) const {
  for (int c = 1; c <= kOutputCount; ++c) {
    if (model_.Mirror(PositionCode(c)).AsInt() == code) return c;
  }
  return 0;
}

void SoundFieldControl::SendGeometry() {
  const SoundFieldRecord record = EncodeSoundFieldRecord(model_.Geometry());
  WriteStoreAndSend(link_, model_, kFieldRecordOffset, record);
}

void SoundFieldControl::SendLevelBytes() {
  const EqStore store = model_.Store();
  SendStoreBytes(link_, kFieldLevelsOffset,
                 std::span<const std::uint8_t>(store.data() + kFieldLevelsOffset, kFieldLevelsSize));
}

bool SoundFieldControl::SendSourceLevel(int point) {
  const auto code = SourcePositionCode(point);
  if (!code) return false;
  const int channel = ChannelForCode(*code);
  if (channel == 0) return false;
  const SoundFieldGeometry g = model_.Geometry();
  const float level = SourceLevelDb(g.points[0], g.points[static_cast<std::size_t>(point)]);
  std::array<std::uint8_t, 4> bytes{};
  StoreBe32(bytes.data(), FloatBits(level));
  model_.WriteStoreBytes(kFieldLevelsOffset + 4 * static_cast<std::size_t>(channel - 1), bytes);
  SendLevelBytes();
  const auto words = LevelFilterWords(level);
  model_.SetParamBlock(LevelFilter(channel), words);
  return true;
}

void SoundFieldControl::SendAllLevels() {
  for (int p = 1; p <= kFieldSourceCount; ++p) SendSourceLevel(p);
}

bool SoundFieldControl::MovePoint(int point, float x, float y) {
  if (point < 0 || point > kFieldSourceCount) return false;
  SoundFieldGeometry g = model_.Geometry();
  g.points[static_cast<std::size_t>(point)] = {ClampCoordinate(x, g.width),
                                               ClampCoordinate(y, g.length)};
  model_.SetGeometry(g);
  SendGeometry();
  if (point == 0) {
    SendAllLevels();
  } else {
    SendSourceLevel(point);
  }
  return true;
}

void SoundFieldControl::SetRoomSize(int width, int length) {
  SoundFieldGeometry g = model_.Geometry();
  g.width = std::clamp(width, kMinRoomSize, kMaxRoomSize);
  g.length = std::clamp(length, kMinRoomSize, kMaxRoomSize);
  model_.SetGeometry(g);
  SendGeometry();
}

void SoundFieldControl::CenterListener() {
  SoundFieldGeometry g = model_.Geometry();
  g.points[0] = {0.0f, 0.0f};
  model_.SetGeometry(g);
  SendGeometry();
  SendAllLevels();
}

void SoundFieldControl::Reset() {
  const auto flat = LevelFilterWords(0.0f);
  const std::array<std::uint8_t, 4> zero{};
  for (int c = 1; c <= kOutputCount; ++c) {
    model_.WriteStoreBytes(kFieldLevelsOffset + 4 * static_cast<std::size_t>(c - 1), zero);
    SendLevelBytes();
    model_.SetParamBlock(LevelFilter(c), flat);
  }
  const SoundFieldRecord defaults = EncodeSoundFieldRecord(DefaultSoundFieldGeometry());
  model_.WriteStoreBytes(kFieldRecordOffset, defaults);
  model_.DecodeStoreSoundField();
  SendGeometry();
}

std::optional<int> SoundFieldControl::SetLocate(int channel, bool on) {
  if (channel < 1 || channel > kOutputCount) return std::nullopt;
  const int code =
      on ? model_.Mirror(PositionCode(channel)).AsInt() & 0xFF : kNoLocateCode;
  const std::uint8_t byte[1] = {static_cast<std::uint8_t>(code)};
  WriteStoreAndSend(link_, model_, kFieldSettingOffset, byte);
  const Word word[1] = {EncodeRawByte(code)};
  model_.SetParamBlock(kSoundFieldLocate, word);
  return code;
}

int SoundFieldControl::LocatedChannel() const {
  return ChannelForCode(model_.Store()[kFieldSettingOffset]);
}

}  // namespace core::params
