// Runs the dsptunectl binary as a user would and checks what it prints,
// writes and returns.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "core/link/device_records.h"
#include "core/params/device_image.h"
#include "core/params/eq_kinds.h"
#include "core/params/param_table.h"
#include "core/params/value_codec.h"

namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

using testcli::Q;
using testcli::Result;
using testcli::Slurp;
using testcli::WriteFile;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("dsptunectl-test-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  Result Run(const std::string& args) { return testcli::Run(DSPTUNECTL_PATH, dir, args); }

  fs::path dir;
};

// A mode file of the default image from an NR620.
struct ModeFile {
  ModeFile() {
    identity.SetProtocolVersion(20);
    identity.SetModelName("NR620");
    identity.SetMcuVersion("2016-10-03");
    identity.SetDspVersion("2016-11-30");
    core::params::BuildDefaultImage(image);
  }
  Bytes ImageBytes() const { return Bytes(image.begin(), image.end()); }
  Bytes FileBytes() const {
    Bytes b(identity.bytes.begin(), identity.bytes.end());
    b.insert(b.end(), image.begin(), image.end());
    return b;
  }
  void Word(std::size_t at, core::params::Word w) { core::params::StoreBe32(image.data() + at, w); }

  core::link::DeviceIdentity identity;
  core::params::DeviceImage image{};
};

TEST_F(Cli, DefaultsWritesTheDefaultImage) {
  const fs::path img = dir / "default.img";
  const Result r = Run("defaults -o " + img.string());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  core::params::DeviceImage expected{};
  core::params::BuildDefaultImage(expected);
  EXPECT_EQ(Slurp(img), std::string(expected.begin(), expected.end()));
}

TEST_F(Cli, DumpPrintsParametersBandsAndDerivedValues) {
  const fs::path img = dir / "default.img";
  ASSERT_EQ(Run("defaults -o " + img.string()).exitCode, 0);
  const Result r = Run("dump " + img.string());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const char* line : {"mic master volume", "50 %", "echo A time", "247 ms",
                           "EQ 7 CH1", "band  0  type  1     31 Hz", "ratio 30.0003",
                           "frequency shift A 5 Hz", "room 4 m x 4 m", "front left"}) {
    EXPECT_NE(r.out.find(line), std::string::npos) << "missing: " << line;
  }
}

TEST_F(Cli, DumpJsonIsOneDocumentWithEverything) {
  const fs::path img = dir / "default.img";
  ASSERT_EQ(Run("defaults -o " + img.string()).exitCode, 0);
  const Result r = Run("dump --json " + img.string());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto doc = nlohmann::json::parse(r.out);
  ASSERT_EQ(doc["parameters"].size(), 230u);
  const auto& micMaster = doc["parameters"][10];
  EXPECT_EQ(micMaster["module"], 1);
  EXPECT_EQ(micMaster["param"], 14);
  EXPECT_EQ(micMaster["value"], 50);
  ASSERT_EQ(doc["equalisers"].size(), 16u);
  EXPECT_EQ(doc["equalisers"][15]["bands"].size(), 5u);
  EXPECT_EQ(doc["equalisers"][0]["bands"][8]["frequency"], 998);
  EXPECT_NEAR(doc["compressors"][9]["ratio"].get<double>(), 4.0, 1e-6);  // music
  EXPECT_EQ(doc["derived"]["shiftFrequency"][0], 5);
  EXPECT_EQ(doc["soundField"]["points"][1]["x"], -1.0);
}

TEST_F(Cli, InfiniteCompressorTimesAreNullInJson) {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  for (int i = 0; i < 4; ++i) image[2133 + 88 + 20 + i] = 0;  // CH1 attack coefficient
  const fs::path img = dir / "zero.img";
  std::ofstream(img, std::ios::binary).write(reinterpret_cast<const char*>(image.data()),
                                             image.size());
  const Result r = Run("dump --json " + img.string());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(nlohmann::json::parse(r.out)["compressors"][0]["attackMs"].is_null());
  EXPECT_NE(Run("dump " + img.string()).out.find("attack inf ms"), std::string::npos);
}

TEST_F(Cli, ErrorsNameTheFileAndUsageErrorsExitTwo) {
  const Result missing = Run("dump " + (dir / "nothing.img").string());
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("nothing.img"), std::string::npos) << missing.err;

  const fs::path small = dir / "small.img";
  std::ofstream(small) << "too short";
  const Result shortFile = Run("dump " + small.string());
  EXPECT_EQ(shortFile.exitCode, 1);
  EXPECT_NE(shortFile.err.find("neither a device image nor a mode file (9 bytes"),
            std::string::npos)
      << shortFile.err;

  EXPECT_EQ(Run("defaults -o " + (dir / "no/such/dir/x.img").string()).exitCode, 1);
  EXPECT_EQ(Run("").exitCode, 2);
  EXPECT_EQ(Run("frobnicate").exitCode, 2);
  EXPECT_EQ(Run("dump").exitCode, 2);
  EXPECT_EQ(Run("dump --bogus x").exitCode, 2);
  for (const char* verb : {"", "defaults", "dump"}) {
    const Result help = Run(std::string(verb) + " --help");
    EXPECT_EQ(help.exitCode, 0) << verb;
    EXPECT_NE(help.out.find("Usage"), std::string::npos) << verb;
  }
}


TEST_F(Cli, DiffNamesEachDifferenceWithBothValues) {
  using core::params::FloatBits;
  const auto* music15 = core::params::FindParam(4, 15);
  ASSERT_NE(music15, nullptr);
  // (4, 16) and (4, 17) follow (4, 15): three header bytes before each word.
  const std::size_t music17 = music15->slot + 4 * music15->words + 3 + 4 + 3;
  struct Case {
    const char* what;
    std::function<void(ModeFile&)> edit;
    std::string expected;
  };
  const Case cases[] = {
      {"parameter", [](ModeFile& f) { f.Word(1495, 0x3F400002); },
       "Mic(1) 14 mic master volume: 50 % -> 75 %"},
      {"band", [](ModeFile& f) { f.image[core::params::EqBandOffset(7, 3) + 1] = 180; },
       "EQ 7 CH1 band 3: type 1, 250 Hz, +0.0 dB, Q 1.414 -> type 1, 250 Hz, +3.0 dB, Q 1.414"},
      {"model", [](ModeFile& f) { f.identity.SetModelName("NR580"); },
       "identity model: NR620 -> NR580"},
      {"protocol", [](ModeFile& f) { f.identity.SetProtocolVersion(17); },
       "identity protocol: 20 -> 17"},
      {"DSP version", [](ModeFile& f) { f.identity.SetDspVersion("2020-01-01"); },
       "identity dspVersion: 2016-11-30 -> 2020-01-01"},
      {"pitch", [](ModeFile& f) { f.image[core::params::kPitchByteOffset] = 7; },
       "Music(4) 21 music pitch (low byte is pitch + 5): pitch 0 -> pitch 2"},
      {"record no row names", [&](ModeFile& f) { f.Word(music17, FloatBits(-20.0f)); },
       "Music(4) 17: -25 -> -20"},
      {"block word", [](ModeFile& f) { f.Word(1558, FloatBits(0.001f)); },
       "Mic(1) 38 channel A frequency shift coefficient: 0.000654498 -> 0.001"},
      {"bits the value does not show", [](ModeFile& f) { f.Word(2014, 0x0100000B); },
       "Music(4) 23 music input source, 0..13: 11 [00 00 00 0B] -> 11 [01 00 00 0B]"},
      {"sound-field level", [](ModeFile& f) { f.Word(1358 + 4, FloatBits(-3.0f)); },
       "sound field CH2 level: 0 dB -> -3 dB"},
      {"sound-field point", [](ModeFile& f) { f.image[1390 + 2 + 2 * 1] = 0x94; },
       "sound field front left x: -1.0 m -> -2.0 m"},
      {"room", [](ModeFile& f) { f.image[1391] = 6; }, "sound field room length: 4 m -> 6 m"},
      {"loudness level", [](ModeFile& f) { f.Word(1410, FloatBits(6.0f)); },
       "loudness level: 0 dB -> 6 dB"},
      {"located speaker", [](ModeFile& f) { f.image[1414] = 3; }, "located speaker code: 0 -> 3"},
      {"spare byte", [](ModeFile& f) { f.image[1416] = 1; },
       "spare bytes 1415..1421: 00 00 00 00 00 00 00 -> 00 01 00 00 00 00 00"},
      {"record header", [](ModeFile& f) { f.image[1422] = 2; },
       "record header of Mic(1) 4 Mic 1 volume: 01 04 01 -> 02 04 01"},
  };
  const ModeFile base;
  WriteFile(dir / "a.mode", base.FileBytes());
  for (const Case& c : cases) {
    ModeFile edited;
    c.edit(edited);
    WriteFile(dir / "b.mode", edited.FileBytes());
    const Result r = Run("diff " + Q(dir / "a.mode") + " " + Q(dir / "b.mode"));
    EXPECT_EQ(r.exitCode, 1) << c.what << r.err;
    EXPECT_EQ(r.out, c.expected + "\n") << c.what;
  }
}

TEST_F(Cli, DiffListsSeveralDifferencesInFileOrderAndExitsZeroWhenEqual) {
  ModeFile a, b;
  b.identity.SetModelName("NR580");
  b.Word(1495, 0x3F400002);
  b.image[core::params::EqBandOffset(15, 4) + 6] = 3;  // record band 4: high pass
  WriteFile(dir / "a.mode", a.FileBytes());
  WriteFile(dir / "b.mode", b.FileBytes());
  const Result r = Run("diff " + Q(dir / "a.mode") + " " + Q(dir / "b.mode"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "identity model: NR620 -> NR580\n"
            "EQ 15 record band 4: type 1, 500 Hz, +0.0 dB, Q 1.414 -> type 3, 500 Hz, +0.0 dB, Q 1.414\n"
            "Mic(1) 14 mic master volume: 50 % -> 75 %\n");

  // An image and a mode file holding it: the settings are equal.
  WriteFile(dir / "a.img", a.ImageBytes());
  for (const char* other : {"a.mode", "a.img"}) {
    const Result same = Run("diff " + Q(dir / "a.img") + " " + Q(dir / other));
    EXPECT_EQ(same.exitCode, 0) << other << same.err;
    EXPECT_EQ(same.out, "") << other;
  }
}

TEST_F(Cli, DiffJsonCarriesBothValuesByKind) {
  ModeFile a, b;
  b.identity.SetModelName("NR580");
  b.Word(1495, 0x3F400002);
  b.image[core::params::EqBandOffset(7, 3) + 1] = 180;
  WriteFile(dir / "a.mode", a.FileBytes());
  WriteFile(dir / "b.mode", b.FileBytes());
  const Result r = Run("diff --json " + Q(dir / "a.mode") + " " + Q(dir / "b.mode"));
  EXPECT_EQ(r.exitCode, 1) << r.err;
  const auto doc = nlohmann::json::parse(r.out);
  EXPECT_EQ(doc["equal"], false);
  ASSERT_EQ(doc["identity"].size(), 1u);
  EXPECT_EQ(doc["identity"][0], (nlohmann::json{{"field", "model"}, {"a", "NR620"}, {"b", "NR580"}}));
  ASSERT_EQ(doc["parameters"].size(), 1u);
  const auto& p = doc["parameters"][0];
  EXPECT_EQ(p["module"], 1);
  EXPECT_EQ(p["param"], 14);
  EXPECT_EQ(p["meaning"], "mic master volume");
  EXPECT_EQ(p["a"], 50);
  EXPECT_EQ(p["b"], 75);
  EXPECT_EQ(p["bHex"], "3F 40 00 02");
  ASSERT_EQ(doc["bands"].size(), 1u);
  const auto& band = doc["bands"][0];
  EXPECT_EQ(band["kind"], 7);
  EXPECT_EQ(band["band"], 3);
  EXPECT_EQ(band["a"]["gain"], 0.0);
  EXPECT_EQ(band["b"]["gain"], 3.0);
  EXPECT_EQ(band["b"]["frequency"], 250);
  EXPECT_TRUE(doc["other"].empty());

  const Result same = Run("diff --json " + Q(dir / "a.mode") + " " + Q(dir / "a.mode"));
  EXPECT_EQ(same.exitCode, 0);
  const auto equal = nlohmann::json::parse(same.out);
  EXPECT_EQ(equal["equal"], true);
  for (const char* group : {"identity", "parameters", "bands", "other"}) {
    EXPECT_TRUE(equal[group].empty()) << group;
  }
}

TEST_F(Cli, DiffOfFilesThatCannotBeReadIsBadUsage) {
  const Bytes bytes = ModeFile().FileBytes();
  WriteFile(dir / "a.mode", bytes);
  WriteFile(dir / "short.mode", Bytes(bytes.begin(), bytes.begin() + 3000));
  const std::string good = Q(dir / "a.mode");
  for (const std::string& args :
       {"diff " + good + " " + Q(dir / "missing.mode"), "diff " + Q(dir / "short.mode") + " " + good,
        "diff " + good}) {
    const Result r = Run(args);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_EQ(r.out, "") << args;
  }
}

TEST_F(Cli, SetEditsOneParameterOfAFileAndKeepsEveryOtherByte) {
  struct Case {
    const char* file;  // "mode" or "img"
    int module, param;
    const char* value;
    std::size_t slot;
    core::params::Word word;
    const char* printed;
  };
  const Case cases[] = {
      {"mode", 1, 14, "75", 1495, 0x3F400002, "Mic(1) 14 mic master volume = 75 %"},
      {"img", 1, 14, "75", 1495, 0x3F400002, "Mic(1) 14 mic master volume = 75 %"},
      {"mode", 1, 14, "150", 1495, 0x3F800001, "Mic(1) 14 mic master volume = 100 %"},  // clamped
      {"mode", 2, 11, "100.5", 1759, 4824, "Echo(2) 11 echo A time = 100.500000 ms"},
      {"mode", 2, 11, "-5", 1759, 0, "Echo(2) 11 echo A time = 0.000000 ms"},  // no negative time
      {"mode", 4, 23, "300", 2014, 0xFF, "Music(4) 23 music input source, 0..13 = 255"},
  };
  for (const Case& c : cases) {
    const ModeFile original;
    const bool mode = std::string(c.file) == "mode";
    const Bytes before = mode ? original.FileBytes() : original.ImageBytes();
    const fs::path file = dir / (std::string("room.") + c.file);
    WriteFile(file, before);
    const std::string args = std::to_string(c.module) + " " + std::to_string(c.param) + " -- " + c.value;
    const Result r = Run("set --file " + Q(file) + " " + args);
    ASSERT_EQ(r.exitCode, 0) << args << r.err;
    EXPECT_EQ(r.out, std::string(c.printed) + "\n");
    Bytes expected = before;
    core::params::StoreBe32(expected.data() + (mode ? 60 : 0) + c.slot, c.word);
    const std::string after = Slurp(file);
    EXPECT_EQ(after, std::string(expected.begin(), expected.end())) << args;

    // With -o the edit goes elsewhere and the file stays.
    WriteFile(file, before);
    const fs::path out = dir / "edited";
    ASSERT_EQ(Run("set --file " + Q(file) + " -o " + Q(out) + " " + args).exitCode, 0);
    EXPECT_EQ(Slurp(file), std::string(before.begin(), before.end()));
    EXPECT_EQ(Slurp(out), std::string(expected.begin(), expected.end()));
  }
}

TEST_F(Cli, SetOnAFileRefusesBadInputAndLeavesTheFile) {
  const ModeFile original;
  const fs::path file = dir / "room.mode";
  const Bytes bytes = original.FileBytes();
  WriteFile(file, bytes);
  WriteFile(dir / "short.mode", Bytes(bytes.begin(), bytes.begin() + 100));
  struct Case {
    std::string args;
    int exitCode;
  };
  const std::string f = "--file " + Q(file) + " ";
  const Case cases[] = {
      {f + "1 44 1", 2},            // a block of words
      {f + "5 0 1", 2},             // not in the table
      {f + "1 14 loud", 2},
      {f + "1 14 7.5", 2},          // percent is a whole number
      {f + "14 0 nan", 2},
      {f + "14 0 inf", 2},
      {f + "--host 127.0.0.1 1 14 5", 2},
      {"-o " + Q(dir / "x.mode") + " --host 127.0.0.1 1 14 5", 2},
      {"1 14 5", 2},
      {"--file " + Q(dir / "missing.mode") + " 1 14 5", 1},
      {"--file " + Q(dir / "short.mode") + " 1 14 5", 1},
  };
  for (const Case& c : cases) {
    const Result r = Run("set " + c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args << r.err;
    EXPECT_FALSE(r.err.empty()) << c.args;
  }
  EXPECT_EQ(Slurp(file), std::string(bytes.begin(), bytes.end()));
  EXPECT_EQ(Slurp(dir / "short.mode").size(), 100u);
  EXPECT_FALSE(fs::exists(dir / "missing.mode"));
  EXPECT_FALSE(fs::exists(dir / "x.mode"));
}

TEST_F(Cli, NewVerbsHaveHelpAndRefuseBadUsage) {
  for (const char* verb : {"diff", "write", "set", "remote", "remote read", "remote apply", "eq",
                           "eq show", "eq set", "eq import"}) {
    const Result help = Run(std::string(verb) + " --help");
    EXPECT_EQ(help.exitCode, 0) << verb;
    EXPECT_NE(help.out.find("Usage"), std::string::npos) << verb;
  }
  const fs::path file = dir / "a.mode";
  WriteFile(file, ModeFile().FileBytes());
  for (const std::string& args :
       {std::string("remote"), std::string("remote read -o x.remo"), std::string("remote apply k.remo"),
        "write " + Q(file) + " --host 127.0.0.1 --slot 5",
        "write " + Q(file) + " --host 127.0.0.1 --slot 0",
        "write " + Q(file) + " --host 127.0.0.1 --slot 2 --no-store"}) {
    EXPECT_EQ(Run(args).exitCode, 2) << args;
  }
}

// A REW filter settings export as the measurement program writes it.
constexpr const char* kRewExport =
    "Filter Settings file\n"
    "\n"
    "Room EQ V5.20\n"
    "Dated: 10-Dec-2026 14:00:00\n"
    "\n"
    "Notes:living room\n"
    "\n"
    "Equaliser: Generic\n"
    "Filter  1: ON  PK       Fc   63.0 Hz  Gain  -3.5 dB  Q  4.00\n"
    "Filter  2: ON  LS       Fc   80.0 Hz  Gain   2.0 dB\n"
    "Filter  3: OFF PK       Fc  120.0 Hz  Gain  -6.0 dB  Q  2.00\n"
    "Filter  4: ON  HP       Fc   25.0 Hz\n"
    "Filter  5: ON  None\n";

TEST_F(Cli, EqImportWritesTheFiltersIntoTheModeFileAndKeepsEveryOtherByte) {
  using core::params::BandSettings;
  const std::vector<BandSettings> imported = {
      {1, 63, -3.5f, 4.0f}, {4, 80, 2.0f, 0.7071f}, {3, 25, 0.0f, 0.7071f}};
  struct Case {
    const char* options;
    int kind;
    bool flatten;
  };
  const Case cases[] = {{"", 7, true}, {"--keep", 7, false}, {"", 0, true}, {"--keep", 15, false}};
  for (const Case& c : cases) {
    ModeFile original;
    // Bands the import may flatten or keep, not all at their defaults.
    for (int b = 0; b < core::params::EqStoreBandCount(c.kind); ++b) {
      core::params::WriteBand(original.image, c.kind, b, {1, 400 + b, 6.0f, 2.0f});
    }
    const fs::path file = dir / "room.mode";
    WriteFile(file, original.FileBytes());
    std::ofstream(dir / "rew.txt") << kRewExport;
    const std::string args = "eq import --mode " + Q(file) + " " + std::to_string(c.kind) + " " +
                             Q(dir / "rew.txt") + " " + c.options;
    const Result r = Run(args);
    ASSERT_EQ(r.exitCode, 0) << args << r.err;

    ModeFile expected = original;
    for (std::size_t b = 0; b < imported.size(); ++b) {
      core::params::WriteBand(expected.image, c.kind, static_cast<int>(b), imported[b]);
    }
    for (int b = 3; c.flatten && b < core::params::EqPlainBandCount(c.kind); ++b) {
      core::params::WriteBand(expected.image, c.kind, b, core::params::ResetBand(c.kind, b));
    }
    const Bytes want = expected.FileBytes();
    EXPECT_EQ(Slurp(file), std::string(want.begin(), want.end())) << args;
    EXPECT_NE(r.out.find("band  0  PEQ         63 Hz   -3.5 dB  Q 4.000"), std::string::npos) << r.out;

    // What was written reads back with eq show.
    const Result show = Run("eq show " + Q(file) + " " + std::to_string(c.kind) + " --json");
    ASSERT_EQ(show.exitCode, 0) << show.err;
    const auto doc = nlohmann::json::parse(show.out);
    EXPECT_EQ(doc["bands"].size(), static_cast<std::size_t>(core::params::EqStoreBandCount(c.kind)));
    EXPECT_EQ(doc["bands"][1]["typeName"], "LS");
    EXPECT_EQ(doc["bands"][1]["gain"], 2.0);
    EXPECT_EQ(doc["bands"][2]["q"], 0.707);
    EXPECT_EQ(doc["bands"][3]["gain"], c.flatten ? 0.0 : 6.0) << args;
  }
}

TEST_F(Cli, EqImportRefusesBeforeWritingAnything) {
  const ModeFile original;
  const fs::path file = dir / "room.mode";
  const Bytes bytes = original.FileBytes();
  WriteFile(file, bytes);
  std::string tooMany = "Equaliser: Generic\n";
  for (int i = 1; i <= 10; ++i) {
    tooMany += "Filter " + std::to_string(i) + ": ON PK Fc 100 Hz Gain 1.0 dB Q 1.0\n";
  }
  struct Case {
    std::string name, text, kind;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {"type", "Filter 1: ON PK Fc 63 Hz Gain 1 dB Q 1\nFilter 2: ON AP Fc 90 Hz\n", "CH1", 1,
       "line 2: filter 2: type AP"},
      {"gain", "\nFilter 1: ON PK Fc 63 Hz Gain -18 dB Q 1\n", "CH1", 1, "line 2: filter 1: gain"},
      {"q", "Filter 1: ON LPQ Fc 63 Hz Q 5\n", "music", 1, "line 1: filter 1: Q 5"},
      {"frequency", "Filter 1: ON PK Fc 25 kHz Gain 1 dB Q 1\n", "CH1", 1, "outside 20..20000"},
      {"count", tooMany, "CH1", 1, "line 11: filter 10: more filters than the 9 bands"},
      {"malformed", "Filter 1: ON PK Fc sixty Hz\n", "CH1", 1, "line 1"},
      {"empty", "Room EQ V5.20\nNotes:\n", "CH1", 1, "no \"Filter N:\" lines"},
      {"kind", "Filter 1: ON PK Fc 63 Hz Gain 1 dB Q 1\n", "CH9", 2, "unknown equaliser 'CH9'"},
  };
  for (const Case& c : cases) {
    std::ofstream(dir / "rew.txt") << c.text;
    const Result r = Run("eq import --mode " + Q(file) + " " + c.kind + " " + Q(dir / "rew.txt"));
    EXPECT_EQ(r.exitCode, c.exitCode) << c.name << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
  }
  EXPECT_EQ(Run("eq import --mode " + Q(file) + " CH1 " + Q(dir / "missing.txt")).exitCode, 1);
  const Result device = Run("eq import --mode " + Q(file) + " CH1 /dev/zero");  // never ends
  EXPECT_EQ(device.exitCode, 1);
  EXPECT_NE(device.err.find("not a regular file"), std::string::npos) << device.err;
  std::ofstream(dir / "big.txt") << std::string((1 << 20) + 1, ' ');
  EXPECT_NE(Run("eq import --mode " + Q(file) + " CH1 " + Q(dir / "big.txt")).err.find("more than 1 MiB"),
            std::string::npos);
  EXPECT_EQ(Slurp(file), std::string(bytes.begin(), bytes.end()));
}

TEST_F(Cli, EqSetWritesOneBandOfAFileAndRefusesWhatTheBandCannotHold) {
  const ModeFile original;
  const fs::path file = dir / "room.img";
  WriteFile(file, original.ImageBytes());
  // The crossover band of CH3 by its section name, and a mic band by name.
  ASSERT_EQ(Run("eq set --mode " + Q(file) + " ch3 9 LP-B 90 0 0.7").exitCode, 0);
  const Result mic = Run("eq set --mode " + Q(file) + " \"mic b\" 4 hs 8000.4 -4.5 0.5");
  ASSERT_EQ(mic.exitCode, 0) << mic.err;
  EXPECT_EQ(mic.out, "EQ 1 mic B in " + file.string() + "\n  band  4  HS        8000 Hz   -4.5 dB  Q 0.500\n");
  core::params::DeviceImage expected = original.image;
  core::params::WriteBand(expected, 9, 9, {8, 90, 0.0f, 0.7f});
  core::params::WriteBand(expected, 1, 4, {5, 8000, -4.5f, 0.5f});
  EXPECT_EQ(Slurp(file), std::string(expected.begin(), expected.end()));

  const std::string f = "eq set --mode " + Q(file) + " ";
  for (const std::string& args :
       {f + "CH1 15 PEQ 1000 0 1", f + "CH1 -1 PEQ 1000 0 1", f + "CH1 0 XX 1000 0 1",
        f + "CH1 0 22 1000 0 1", f + "CH1 0 PEQ 19 0 1", f + "CH1 0 PEQ 20001 0 1",
        f + "CH1 0 PEQ 1000 15.5 1", f + "CH1 0 PEQ 1000 0 31", f + "CH1 0 LS 1000 0 2.5",
        f + "CH1 0 PEQ 1000 0 0.05", f + "CH1 0 PEQ 1000 nan 1", f + "CH1 0 PEQ 1000 0 1e300", f + "record 5 PEQ 1000 0 1",
        "eq set --host 127.0.0.1 --mode " + Q(file) + " CH1 0 PEQ 1000 0 1",
        std::string("eq set CH1 0 PEQ 1000 0 1")}) {
    const Result r = Run(args);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_FALSE(r.err.empty()) << args;
  }
  EXPECT_EQ(Slurp(file), std::string(expected.begin(), expected.end()));
}

// The rule the tool prints is the one the install step puts in place.
// The delay of output channel c (parameter 18 of module 5 + c) is the
// image word at 2158 + 153c, in samples at 48 kHz.
std::size_t DelaySlot(int channel) { return 2158 + 153 * static_cast<std::size_t>(channel); }

TEST_F(Cli, AlignSetsTheDelaysOfAModeFileByDistance) {
  const ModeFile original;
  const Bytes before = original.FileBytes();
  const fs::path file = dir / "room.mode";
  WriteFile(file, before);
  // CH1 is farthest (40 m): 1.5 ms. CH2 at 5.7 m would need 101.5 ms: set
  // to 100 ms and marked. CH3 0.343 m nearer: 2.5 ms. CH4 and CH5 left out.
  const Result r = Run("align --mode " + Q(file) + " 40 5.7m 39.657 - x");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "aligned to CH1 (40.00 m, 343 m/s) in " + file.string() + "\n"
            "  CH1   40.00 m  delay   1.50 ms\n"
            "  CH2    5.70 m  delay 100.00 ms  OUT OF RANGE: alignment needs 101.50 ms, the most "
            "is 100.0 ms\n"
            "  CH3   39.66 m  delay   2.50 ms\n"
            "  note: CH1's delay switch is off\n"
            "  note: CH2's delay switch is off\n"
            "  note: CH3's delay switch is off\n");
  EXPECT_NE(r.err.find("not aligned"), std::string::npos) << r.err;
  Bytes expected = before;
  core::params::StoreBe32(expected.data() + 60 + DelaySlot(0), 72);    // 1.5 ms
  core::params::StoreBe32(expected.data() + 60 + DelaySlot(1), 4800);  // 100 ms
  core::params::StoreBe32(expected.data() + 60 + DelaySlot(2), 120);   // 2.5 ms
  EXPECT_EQ(Slurp(file), std::string(expected.begin(), expected.end()));

  // -o: the result goes elsewhere, the file stays; an image works alike.
  const fs::path img = dir / "room.img";
  const Bytes imageBefore = original.ImageBytes();
  WriteFile(img, imageBefore);
  const fs::path out = dir / "aligned.img";
  ASSERT_EQ(Run("align --mode " + Q(img) + " -o " + Q(out) + " 3.43 2.401").exitCode, 0);
  EXPECT_EQ(Slurp(img), std::string(imageBefore.begin(), imageBefore.end()));
  Bytes expectedImage = imageBefore;
  core::params::StoreBe32(expectedImage.data() + DelaySlot(0), 72);   // 1.5 ms
  core::params::StoreBe32(expectedImage.data() + DelaySlot(1), 216);  // 4.5 ms
  EXPECT_EQ(Slurp(out), std::string(expectedImage.begin(), expectedImage.end()));
}

TEST_F(Cli, AlignRefusesWhatAreNoDistancesAndLeavesTheFile) {
  const ModeFile original;
  const Bytes before = original.FileBytes();
  const fs::path file = dir / "room.mode";
  WriteFile(file, before);
  const char* const refused[] = {
      "",                    // no distance at all
      " - x -",              // every channel left out
      " 3 abc",              // not a number
      " 3 2.5cm",            // not metres
      " 3 101",              // beyond a room
      " 1 2 3 4 5 6 7 8 9",  // a ninth channel
      " -- 3 -2",            // negative
  };
  for (const char* args : refused) {
    const Result r = Run("align --mode " + Q(file) + args);
    EXPECT_EQ(r.exitCode, 2) << args;
    EXPECT_FALSE(r.err.empty()) << args;
    EXPECT_EQ(Slurp(file), std::string(before.begin(), before.end())) << args;
  }
  EXPECT_EQ(Run("align 3 2").exitCode, 2) << "no processor and no file";
  EXPECT_EQ(Run("align --mode " + Q(dir / "missing.mode") + " 3 2").exitCode, 1);
}

TEST_F(Cli, UdevRulesPrintsTheInstalledRule) {
  const Result r = Run("udev-rules");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, Slurp(fs::path(DSPTUNER_SOURCE_DIR) / "resources/70-dsptuner.rules"));
  EXPECT_NE(r.out.find("TAG+=\"uaccess\""), std::string::npos);
}

TEST_F(Cli, UsbVerbsSayWhenNoProcessorIsPluggedIn) {
  // This machine has no processor on USB.
  const Result scan = Run("scan");
  EXPECT_EQ(scan.exitCode, 1);
  EXPECT_NE(scan.err.find("no processor found on USB"), std::string::npos) << scan.err;
  const Result info = Run("info --usb");
  EXPECT_EQ(info.exitCode, 1);
  EXPECT_NE(info.err.find("no processor found on USB"), std::string::npos) << info.err;
  EXPECT_EQ(Run("info").exitCode, 2) << "neither --host nor --usb";
  EXPECT_EQ(Run("read --usb --host 127.0.0.1 -o x.mode").exitCode, 2);
}

}  // namespace
