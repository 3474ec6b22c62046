#include "core/link/machine_settings.h"

#include <gtest/gtest.h>

namespace core::link {
namespace {

constexpr std::uint8_t F = 0xEE;  // a byte no setter writes

TEST(MachineSettings, EachSetterWritesItsOwnBytes) {
  struct Case {
    const char* what;
    void (*set)(MachineSettings&);
    MachineSettings expected;
  };
  const Case cases[] = {
      {"save by mode",
       [](MachineSettings& s) { SetVolumeSaveMode(s, VolumeSaveMode::ByMode); },
       {1, 1, 1, F, F, F, F, F, F, F, F, F, F, F}},
      {"save by power",
       [](MachineSettings& s) { SetVolumeSaveMode(s, VolumeSaveMode::ByPower); },
       {0, 0, 0, F, F, F, F, F, F, F, F, F, F, F}},
      {"mic power-on",
       [](MachineSettings& s) { SetMicPowerOnVolume(s, 50); },
       {F, F, F, 50, F, F, F, F, F, F, F, F, F, F}},
      {"music power-on",
       [](MachineSettings& s) { SetMusicPowerOnVolume(s, 0); },
       {F, F, F, F, 0, F, F, F, F, F, F, F, F, F}},
      {"max mic",
       [](MachineSettings& s) { SetMaxMicVolume(s, 60); },
       {F, F, F, F, F, 60, F, F, F, F, F, F, F, F}},
      {"max music",
       [](MachineSettings& s) { SetMaxMusicVolume(s, 30); },
       {F, F, F, F, F, F, 30, F, F, F, F, F, F, F}},
      {"panel lock",
       [](MachineSettings& s) { SetPanelLocked(s, true); },
       {F, F, F, F, F, F, F, 1, F, F, F, F, F, F}},
      {"panel free",
       [](MachineSettings& s) { SetPanelLocked(s, false); },
       {F, F, F, F, F, F, F, 0, F, F, F, F, F, F}},
      {"power-on M3",
       [](MachineSettings& s) { SetPowerOnMode(s, 3); },
       {F, F, F, F, F, F, F, F, F, F, F, 3, F, F}},
      // Byte 12: HDMI mute in the low nibble, the route in the high one.
      {"hdmi off",
       [](MachineSettings& s) { SetHdmiMute(s, false); },
       {F, F, F, F, F, F, F, F, F, F, F, F, 0xE0, F}},
      {"route SL/SR",
       [](MachineSettings& s) { SetSurroundRoute(s, SurroundRoute::SideSurround); },
       {F, F, F, F, F, F, F, F, F, F, F, F, 0x0E, F}},
      {"route both",
       [](MachineSettings& s) { SetSurroundRoute(s, SurroundRoute::Both); },
       {F, F, F, F, F, F, F, F, F, F, F, F, 0x2E, F}},
      // Out of range is clamped.
      {"max mic 0",
       [](MachineSettings& s) { SetMaxMicVolume(s, 0); },
       {F, F, F, F, F, 1, F, F, F, F, F, F, F, F}},
      {"max music 150",
       [](MachineSettings& s) { SetMaxMusicVolume(s, 150); },
       {F, F, F, F, F, F, 99, F, F, F, F, F, F, F}},
      {"mic power-on -5",
       [](MachineSettings& s) { SetMicPowerOnVolume(s, -5); },
       {F, F, F, 0, F, F, F, F, F, F, F, F, F, F}},
      {"power-on mode 7",
       [](MachineSettings& s) { SetPowerOnMode(s, 7); },
       {F, F, F, F, F, F, F, F, F, F, F, 4, F, F}},
  };
  for (const Case& c : cases) {
    MachineSettings s;
    s.fill(F);
    c.set(s);
    EXPECT_EQ(s, c.expected) << c.what;
  }
}

TEST(MachineSettings, HdmiMuteOnWithRouteToTheBackMakesByte12Hex11) {
  MachineSettings s{};
  SetHdmiMute(s, true);
  SetSurroundRoute(s, SurroundRoute::BackSurround);
  EXPECT_EQ(s[12], 0x11);
  SetHdmiMute(s, false);
  EXPECT_EQ(s[12], 0x10);
}

TEST(MachineSettings, ReadsEveryByteItNames) {
  const MachineSettings s = {0, 1, 0, 30, 0, 60, 99, 1, 0x10, 0xAA, 0xBB, 4, 0x21, 0xCC};
  EXPECT_EQ(VolumeSaveModeOf(s), VolumeSaveMode::ByPower);  // byte 0 decides
  EXPECT_EQ(MicPowerOnVolume(s), 30);
  EXPECT_EQ(MusicPowerOnVolume(s), 0);  // not set
  EXPECT_EQ(MaxMicVolume(s), 60);
  EXPECT_EQ(MaxMusicVolume(s), 99);
  EXPECT_TRUE(PanelLocked(s));
  EXPECT_FALSE(VolumeLocked(s));
  EXPECT_TRUE(ModeLocked(s));
  EXPECT_EQ(PowerOnMode(s), 4);
  EXPECT_TRUE(HdmiMute(s));
  EXPECT_EQ(SurroundRouteOf(s), SurroundRoute::Both);

  const MachineSettings t = {1, 1, 1, 0, 0, 1, 1, 0, 0x82, 0, 0, 0, 0x30, 0};
  EXPECT_EQ(VolumeSaveModeOf(t), VolumeSaveMode::ByMode);
  EXPECT_FALSE(PanelLocked(t));
  EXPECT_TRUE(VolumeLocked(t));
  EXPECT_FALSE(ModeLocked(t));
  EXPECT_FALSE(HdmiMute(t));
  EXPECT_EQ(SurroundRouteOf(t), std::nullopt);  // 3 is no route
  for (std::uint8_t flags : {0x01, 0x02, 0x80}) {
    MachineSettings u{};
    u[8] = flags;
    EXPECT_TRUE(VolumeLocked(u)) << int{flags};
    EXPECT_FALSE(ModeLocked(u)) << int{flags};
  }
}

}  // namespace
}  // namespace core::link
