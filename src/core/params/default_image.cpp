// The built-in default image: what the application shows before a processor
// has answered, and what a fresh mode file holds.
#include <algorithm>
#include <initializer_list>

#include "core/params/device_image.h"
#include "core/params/param_table.h"
#include "core/params/value_codec.h"

namespace core::params {
namespace {

constexpr std::uint16_t kFlat = 150;    // 0 dB
constexpr std::uint16_t kQ1414 = 1414;  // Q 1.414
constexpr std::uint16_t kQ707 = 707;

constexpr BandRecord Peq(std::uint16_t hz) { return {kFlat, hz, kQ1414, 1}; }
constexpr BandRecord Band(std::uint16_t hz, std::uint8_t type, std::uint16_t q,
                          std::uint16_t gain = kFlat) {
  return {gain, hz, q, type};
}

class BandWriter {
 public:
  explicit BandWriter(DeviceImage& image) : image_(image) {}
  void Peqs(std::initializer_list<std::uint16_t> freqs) {
    for (auto hz : freqs) Put(Peq(hz));
  }
  void Put(const BandRecord& band) {
    WriteBandRecord(band, std::span<std::uint8_t, kBandRecordSize>(
                              image_.data() + kBandRecordSize * next_, kBandRecordSize));
    ++next_;
  }
  std::size_t Count() const { return next_; }

 private:
  DeviceImage& image_;
  std::size_t next_ = 0;
};

constexpr std::uint8_t kDefaultFieldRecord[kFieldRecordSize] = {
    0x04, 0x04, 0x00, 0x00, 0x8A, 0x0A, 0x00, 0x0A, 0x0A, 0x0A,
    0x8A, 0x8A, 0x00, 0x8A, 0x0A, 0x8A, 0x85, 0x00, 0x05, 0x00};

}  // namespace

void BuildDefaultImage(DeviceImage& image) {
  image.fill(0);
  BandWriter w(image);

  // Mic channels A and B.
  for (int kind = 0; kind < 2; ++kind) {
    w.Peqs({25, 40, 63, 100, 160, 250, 400, 630, 998, 1600, 2500, 4000, 6300, 10000, 16000});
  }
  // Echo A, echo B, reverb A, reverb B.
  w.Peqs({61, 125, 250, 500, 1000, 2300});
  w.Put(Band(5000, 2, kQ707));
  w.Put(Band(200, 3, kQ707));
  w.Peqs({160, 250, 500, 1000, 2300});
  w.Put(Band(5000, 5, kQ707, 180));
  w.Put(Band(120, 3, kQ707));
  w.Peqs({160, 250, 500, 1000, 2300});
  w.Put(Band(5000, 5, kQ707, 90));
  w.Put(Band(100, 3, kQ707));
  w.Peqs({160, 250, 500, 1000, 2300});
  w.Put(Band(3000, 5, kQ707, 120));
  // Music.
  w.Peqs({31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000});
  w.Put(Band(100, 2, kQ707));
  // Outputs CH1..CH8; CH6 comes with a sub-woofer crossover.
  for (int kind = 7; kind <= 14; ++kind) {
    if (kind == 12) {
      w.Peqs({31, 62, 125, 250, 500, 1000, 2000, 4000, 8000});
      w.Put(Band(100, 18, kQ707));
      w.Put(Band(100, 20, kQ707));
      w.Put(Band(100, 1, kQ707));
      w.Put(Band(100, 1, kQ707));
    } else {
      w.Peqs({31, 62, 125, 250, 500, 1000, 2000, 4000, 8000, 16000, 16000, 16000, 16000});
    }
    w.Put(Band(500, 1, kQ707));
    w.Put(Band(1000, 1, kQ707));
  }
  // Record.
  w.Peqs({31, 62, 125, 250, 500});

  std::copy(std::begin(kDefaultFieldRecord), std::end(kDefaultFieldRecord),
            image.begin() + kFieldRecordOffset);

  static_assert(kImageRecords.front().offset == kParamRecordsOffset);
  for (const ImageRecord& r : kImageRecords) {
    image[r.offset] = r.module;
    image[r.offset + 1] = r.param;
    image[r.offset + 2] = r.words;
    for (int i = 0; i < r.words; ++i) StoreBe32(image.data() + r.FirstWord() + 4 * i, r.defaults[i]);
  }
}

}  // namespace core::params
