#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/params/device_image.h"

namespace core::params {

// A position in the room, in metres; the origin is the room's centre, x grows
// to the right and y towards the front.
struct FieldPoint {
  float x = 0.0f;
  float y = 0.0f;
  friend bool operator==(const FieldPoint&, const FieldPoint&) = default;
};

inline constexpr int kFieldSourceCount = 8;
inline constexpr int kMinRoomSize = 1;
inline constexpr int kMaxRoomSize = 10;

// The listening room: size, the listener (point 0) and the eight sources
// (points 1..8: front left, centre, front right, back surround left,
// subwoofer, back surround right, side surround left, side surround right).
struct SoundFieldGeometry {
  int width = 4;   // metres
  int length = 4;  // metres
  std::array<FieldPoint, 1 + kFieldSourceCount> points{};
  friend bool operator==(const SoundFieldGeometry&, const SoundFieldGeometry&) = default;
};

// The 20-byte record kept at store offset 1390: width, length, then X and Y
// of the listener and of each source as coordinate bytes.
using SoundFieldRecord = std::array<std::uint8_t, kFieldRecordSize>;

// Sign and magnitude in tenths of a metre; bit 7 is the sign. Zero encodes
// as 0x80. Magnitudes beyond 12.7 m saturate.
std::uint8_t EncodeCoordinate(float metres);
float DecodeCoordinate(std::uint8_t byte);

SoundFieldRecord EncodeSoundFieldRecord(const SoundFieldGeometry& geometry);

// Unpacks a record. Room sizes outside 1..10 m (which no processor should
// send) are clamped, so that nothing later divides by a zero size.
SoundFieldGeometry DecodeSoundFieldBlock(std::span<const std::uint8_t, kFieldRecordSize> block);

// The page's reset geometry (the bytes of the default image).
SoundFieldGeometry DefaultSoundFieldGeometry();

}  // namespace core::params
