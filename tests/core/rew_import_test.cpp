#include "core/params/rew_import.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/link/recording_transport.h"
#include "core/session.h"

#include "recording_session.h"

namespace core::params {
namespace {

constexpr const char* kExport =
    "Filter Settings file\n"
    "\n"
    "Room EQ V5.20.13\n"
    "Dated: 14-Mar-2024 10:12:13\n"
    "\n"
    "Notes:Living room, sub and mains\n"
    "\n"
    "Equaliser: Generic\n"
    "Average 1\n"
    "Filter  1: ON  PK       Fc   63.0 Hz  Gain  -3.5 dB  Q  4.00\n"
    "Filter  2: ON  LS       Fc   100 Hz   Gain   5.0 dB\n"
    "Filter  3: OFF PK       Fc   1000 Hz  Gain   2.0 dB  Q  1.00\n"
    "Filter  4: ON  None\n"
    "Filter  5: ON  HPQ      Fc   25.4 Hz  Q  0.500\n"
    "Filter  6: ON  HSC      Fc   8.00 kHz Gain  -2.0 dB  Q  0.71\n"
    "Filter  7: ON  LP       Fc   18000 Hz\n"
    "Filter  8: OFF NO       Fc   200 Hz\n";

TEST(RewImport, ParsesAFilterSettingsExport) {
  const RewParseResult r = ParseRewFilters(kExport);
  ASSERT_TRUE(r.Ok()) << r.error;
  ASSERT_EQ(r.filters.size(), 8u);
  const RewFilter& pk = r.filters[0];
  EXPECT_EQ(pk.line, 10);
  EXPECT_EQ(pk.number, 1);
  EXPECT_TRUE(pk.enabled);
  EXPECT_EQ(pk.type, "PK");
  EXPECT_DOUBLE_EQ(*pk.frequency, 63.0);
  EXPECT_DOUBLE_EQ(*pk.gain, -3.5);
  EXPECT_DOUBLE_EQ(*pk.q, 4.0);
  EXPECT_FALSE(r.filters[1].q.has_value());
  EXPECT_FALSE(r.filters[2].enabled);
  EXPECT_EQ(r.filters[3].type, "None");
  EXPECT_FALSE(r.filters[3].frequency.has_value());
  EXPECT_DOUBLE_EQ(*r.filters[5].frequency, 8000.0) << "kHz scales";
  EXPECT_EQ(r.filters[7].line, 17);
}

TEST(RewImport, AssignsTheActiveFiltersToTheBandsInOrder) {
  const RewImportPlan plan = PlanRewImportText(kExport, 7);
  ASSERT_TRUE(plan.Ok()) << plan.error;
  struct Expected {
    int line;
    BandSettings band;
  };
  const Expected expected[] = {
      {10, {1, 63, -3.5f, 4.0f}},       // PK
      {11, {4, 100, 5.0f, 0.7071f}},    // LS: the shelf's Q
      {14, {3, 25, 0.0f, 0.5f}},        // HPQ, rounded to whole Hz
      {15, {5, 8000, -2.0f, 0.71f}},    // HSC
      {16, {2, 18000, 0.0f, 0.7071f}},  // LP: Butterworth
  };
  ASSERT_EQ(plan.bands.size(), std::size(expected));
  for (std::size_t i = 0; i < plan.bands.size(); ++i) {
    EXPECT_EQ(plan.bands[i].band, static_cast<int>(i));
    EXPECT_EQ(plan.bands[i].line, expected[i].line);
    EXPECT_EQ(plan.bands[i].settings, expected[i].band) << "band " << i;
  }
}

TEST(RewImport, RefusesWhatTheBandsCannotTakeNamingTheLine) {
  struct Case {
    const char* line;
    int kind;
    const char* message;
    RewProblem problem;
  };
  const Case cases[] = {
      {"Filter 1: ON NO Fc 100 Hz Gain -3 dB Q 5", 0, "type NO is not supported",
       RewProblem::UnsupportedType},
      {"Filter 1: ON LS 6dB Fc 100 Hz Gain 3 dB", 0, "type LS 6dB is not supported",
       RewProblem::UnsupportedType},
      {"Filter 1: ON AP Fc 100 Hz Q 1", 0, "type AP is not supported", RewProblem::UnsupportedType},
      {"Filter 1: ON PK Fc 100 Hz Gain -20.0 dB Q 5", 0, "gain -20.0 dB is outside -15..+15 dB",
       RewProblem::GainRange},
      {"Filter 1: ON PK Fc 15 Hz Gain -3 dB Q 5", 0, "Fc 15.0 Hz is outside 20..20000 Hz",
       RewProblem::FrequencyRange},
      {"Filter 1: ON PK Fc 20001 Hz Gain -3 dB Q 5", 0, "outside 20..20000 Hz",
       RewProblem::FrequencyRange},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 40", 0, "Q 40 is outside 0.1..30 for PK",
       RewProblem::QRange},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 0.05", 0, "outside 0.1..30", RewProblem::QRange},
      {"Filter 1: ON LPQ Fc 100 Hz Q 3", 15, "Q 3 is outside 0.1..2 for LPQ", RewProblem::QRange},
      {"Filter 1: ON LSC Fc 100 Hz Gain 3 dB Q 2.5", 15, "outside 0.1..2 for LSC",
       RewProblem::QRange},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB", 0, "PK needs Q", RewProblem::NeedsQ},
      {"Filter 1: ON HS Fc 100 Hz", 0, "HS needs Gain", RewProblem::NeedsGain},
      {"Filter 1: ON HPQ Gain 0 dB Q 0.7", 0, "HPQ needs Fc", RewProblem::NeedsFc},
      {"Filter 1: ON LP Fc 100 Hz Gain 3 dB", 0, "LP takes no gain", RewProblem::PassTakesNoGain},
      {"Filter 1: ON PK Fc abc Hz Gain -3 dB Q 5", 0, "'abc' is not a number",
       RewProblem::NotANumber},
      {"Filter 1: MAYBE PK Fc 100 Hz", 0, "expected ON or OFF", RewProblem::BadState},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB BW Oct 0.5", 0, "export with Q",
       RewProblem::Bandwidth},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 5 Slope 6", 0, "unexpected 'Slope'",
       RewProblem::UnexpectedField},
      {"Filter 1: ON PK Fc 100 Volts Gain -3 dB Q 5", 0, "unexpected 'Volts'",
       RewProblem::UnexpectedField},
      {"Filter 1: ON PK Fc", 0, "no value after 'Fc'", RewProblem::NoValue},
  };
  for (const Case& c : cases) {
    const std::string text =
        std::string("Equaliser: Generic\n\nFilter 9: ON PK Fc 50 Hz Gain 1 dB Q 1\n") + c.line +
        "\nFilter 3: ON PK Fc 60 Hz Gain 1 dB Q 1\n";
    const RewImportPlan plan = PlanRewImportText(text, c.kind);
    EXPECT_FALSE(plan.Ok()) << c.line;
    EXPECT_EQ(plan.errorLine, 4) << c.line;
    EXPECT_NE(plan.error.find("line 4: filter 1: "), std::string::npos) << plan.error;
    EXPECT_NE(plan.error.find(c.message), std::string::npos) << plan.error;
    EXPECT_EQ(plan.problem, c.problem) << c.line;
    EXPECT_EQ(plan.errorFilter, 1) << c.line;
    EXPECT_TRUE(plan.bands.empty()) << "nothing is assigned";
  }
}

// `pk` peaking filters; after each of the first `skipped` an entry that
// takes no band (alternately OFF and None).
std::string Filters(int pk, int skipped) {
  std::string text;
  int n = 0;
  for (int i = 0; i < pk; ++i) {
    text += "Filter " + std::to_string(++n) + ": ON PK Fc 100 Hz Gain -1 dB Q 2\n";
    if (i < skipped) {
      text += "Filter " + std::to_string(++n) +
              (i % 2 == 0 ? ": OFF PK Fc 200 Hz Gain 1 dB Q 1\n" : ": ON None\n");
    }
  }
  return text;
}

TEST(RewImport, RefusesMoreFiltersThanUserBands) {
  struct Case {
    int kind, on;
    bool ok;
  };
  // Outputs keep band 9 (the crossover) and 13..14 (the split): 9 bands.
  const Case cases[] = {{7, 9, true},  {7, 10, false}, {0, 15, true}, {0, 16, false},
                        {6, 10, true}, {6, 11, false}, {15, 5, true}, {15, 6, false},
                        {3, 7, true},  {3, 8, false}};
  for (const Case& c : cases) {
    const RewImportPlan plan = PlanRewImportText(Filters(c.on, 0), c.kind);
    EXPECT_EQ(plan.Ok(), c.ok) << c.kind << " " << c.on << ": " << plan.error;
    if (!c.ok) {
      EXPECT_EQ(plan.errorLine, c.on) << "the first filter that does not fit";
      EXPECT_NE(
          plan.error.find("more filters than the " + std::to_string(EqPlainBandCount(c.kind)) +
                          " bands of " + EqKindName(c.kind)),
          std::string::npos)
          << plan.error;
    }
  }
  // None and OFF entries take no band.
  const RewImportPlan padded = PlanRewImportText(Filters(9, 5), 7);
  EXPECT_TRUE(padded.Ok()) << padded.error;
  EXPECT_EQ(padded.bands.size(), 9u);
  EXPECT_FALSE(PlanRewImportText(Filters(1, 0), 16).Ok());
}

TEST(RewImport, ReadsLooseSpellings) {
  const char* text =
      "\xEF\xBB\xBF"
      "filter 1: on pk fc 63,5Hz gain -3,5dB q 4,00\r\n"
      "Filter 2 : ON HSC Fc 1.2 kHz Gain +2 dB\r\n"
      "Filter 3: ON lpq Fc 20000Hz Q 0.1\r\n"
      "Filters that REW could not place: none\r\n";
  const RewImportPlan plan = PlanRewImportText(text, 0);
  ASSERT_TRUE(plan.Ok()) << plan.error;
  ASSERT_EQ(plan.bands.size(), 3u);
  EXPECT_EQ(plan.bands[0].settings, (BandSettings{1, 64, -3.5f, 4.0f}));
  EXPECT_EQ(plan.bands[1].settings, (BandSettings{5, 1200, 2.0f, 0.7071f}));
  EXPECT_EQ(plan.bands[2].settings, (BandSettings{2, 20000, 0.0f, 0.1f}));
  EXPECT_EQ(plan.bands[2].line, 3);
}

TEST(RewImport, TypeCodes) {
  const std::pair<const char*, int> known[] = {{"PK", 1}, {"pk", 1},  {"LP", 2},   {"LPQ", 2},
                                               {"HP", 3}, {"HPQ", 3}, {"LS", 4},   {"LSC", 4},
                                               {"HS", 5}, {"HSC", 5}, {"None", 0}, {"NONE", 0}};
  for (const auto& [name, code] : known) EXPECT_EQ(RewTypeCode(name), code) << name;
  for (const char* name : {"NO", "AP", "BP", "LS 6dB", "HS 12dB", "Modal", ""}) {
    EXPECT_FALSE(RewTypeCode(name).has_value()) << name;
  }
}

// What the import verb does on a processor: the plan's bands through
// SendEqBand, the rest made flat; the store then holds the file's filters.
TEST(RewImport, PlannedBandsLandInTheStoreExactly) {
  testsupport::RecordingSession rig;
  Session& session = rig.session;

  const int kind = 9;  // CH3
  const RewImportPlan plan = PlanRewImportText(kExport, kind);
  ASSERT_TRUE(plan.Ok());
  for (const RewAssignment& a : plan.bands) session.Eq().SendEqBand(kind, a.band, a.settings);
  for (int b = static_cast<int>(plan.bands.size()); b < EqPlainBandCount(kind); ++b) {
    session.Eq().SendEqBand(kind, b, ResetBand(kind, b));
  }
  const EqStore store = session.Params().Store();
  const std::vector<std::uint8_t> first(store.begin() + EqBandOffset(kind, 0),
                                        store.begin() + EqBandOffset(kind, 0) + 7);
  EXPECT_EQ(first, (std::vector<std::uint8_t>{0x00, 0x73, 0x00, 0x3F, 0x0F, 0xA0, 0x01}));
  for (const RewAssignment& a : plan.bands) {
    const auto stored = ReadBand(store, kind, a.band);
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, a.settings.type);
    EXPECT_EQ(stored->frequency, a.settings.frequency);
    EXPECT_NEAR(stored->gain, a.settings.gain, 0.05);
    EXPECT_NEAR(stored->q, a.settings.q, 0.001);
  }
  EXPECT_EQ(ReadBand(store, kind, 8), (BandSettings{1, 8000, 0.0f, 1.41f}));
  EXPECT_EQ(ReadBand(store, kind, 9)->frequency, 16000) << "the crossover band is not touched";
  EXPECT_EQ(rig.usb.Count(), 2u * 9u);
}

}  // namespace
}  // namespace core::params
