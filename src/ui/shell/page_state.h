#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/params/output_channels.h"

namespace ui {

// The 8-byte "QtOption" blob: the output page's three speaker-pair links
// (front, side, back), then a reserved byte and a reserved 32-bit word, all
// written as 0.
struct LinkOptions {
  static constexpr int kSize = 8;
  std::array<std::uint8_t, kSize> bytes{1, 1, 1, 0, 0, 0, 0, 0};

  bool FrontLinked() const { return bytes[0] != 0; }
  bool SideLinked() const { return bytes[1] != 0; }
  bool BackLinked() const { return bytes[2] != 0; }
  static LinkOptions Defaults() { return {}; }
  // The links as the output channels' operations take them.
  core::params::SpeakerLinks Links() const { return {FrontLinked(), SideLinked(), BackLinked()}; }
  void SetLinked(core::params::SpeakerPair pair, bool linked) {
    bytes[static_cast<int>(pair)] = linked ? 1 : 0;
  }
  friend bool operator==(const LinkOptions&, const LinkOptions&) = default;
};

// What the editor pages keep between one page and the next: the page
// that comes back shows what the user left it at. The application owns
// the one instance and hands it to every page.
struct PageState {
  int outputChannel = 0;     // the output page's channel, 0..7 (CH1..CH8)
  int micTab = 0;            // the mic and music page's input: 0 mic A, 1 mic B, 2 music
  int eqCopyKind = -1;       // the EQ kind copied for pasting, -1 for none
  LinkOptions speakerLinks;  // kept in the settings as "QtOption"
  // The delay page's speaker distances (m) per output channel, none when
  // not typed.
  std::array<std::optional<double>, 8> speakerDistancesM{};
};

}  // namespace ui
