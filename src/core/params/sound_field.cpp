#include "core/params/sound_field.h"

#include <algorithm>
#include <cmath>

namespace core::params {

std::uint8_t EncodeCoordinate(float metres) {
  const double w = metres > 0.0f ? metres + 0.05 : metres - 0.05;
  const double tenths = std::min(std::fabs(std::trunc(w * 10.0)), 127.0);
  std::uint8_t byte = static_cast<std::uint8_t>(tenths);
  if (w < 0.0) byte |= 0x80;
  return byte;
}

float DecodeCoordinate(std::uint8_t byte) {
  const float magnitude = static_cast<float>(byte & 0x7F) / 10.0f;
  return (byte & 0x80) ? -magnitude : magnitude;
}

SoundFieldRecord EncodeSoundFieldRecord(const SoundFieldGeometry& g) {
  SoundFieldRecord r{};
  r[0] = static_cast<std::uint8_t>(std::clamp(g.width, 0, 255));
  r[1] = static_cast<std::uint8_t>(std::clamp(g.length, 0, 255));
  for (std::size_t p = 0; p < g.points.size(); ++p) {
    r[2 + 2 * p] = EncodeCoordinate(g.points[p].x);
    r[3 + 2 * p] = EncodeCoordinate(g.points[p].y);
  }
  return r;
}

SoundFieldGeometry DecodeSoundFieldBlock(std::span<const std::uint8_t, kFieldRecordSize> b) {
  SoundFieldGeometry g;
  g.width = std::clamp<int>(b[0], kMinRoomSize, kMaxRoomSize);
  g.length = std::clamp<int>(b[1], kMinRoomSize, kMaxRoomSize);
  for (std::size_t p = 0; p < g.points.size(); ++p) {
    g.points[p] = {DecodeCoordinate(b[2 + 2 * p]), DecodeCoordinate(b[3 + 2 * p])};
  }
  return g;
}

SoundFieldGeometry DefaultSoundFieldGeometry() {
  SoundFieldGeometry g;
  g.width = 4;
  g.length = 4;
  g.points = {{{0, 0}, {-1, 1}, {0, 1}, {1, 1}, {-1, -1}, {0, -1}, {1, -1}, {-0.5f, 0}, {0.5f, 0}}};
  return g;
}

}  // namespace core::params
