// dsptunectl against a simulated processor on a loopback port.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/params/biquad.h"
#include "core/params/eq_kinds.h"
#include "core/presets/mode_file.h"
#include "core/presets/remote_file.h"
#include "cli_runner.h"
#include "sim_fixture.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

using testcli::FileBytes;
using testcli::Q;
using testcli::Result;
using testcli::Slurp;
using testcli::WriteFile;

class CliNet : public SimFixture {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("dsptunectl-net-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
    StartServer();
    host = "127.0.0.1:" + std::to_string(server->Port());
  }
  void TearDown() override { fs::remove_all(dir); }

  Result Run(const std::string& args) { return testcli::Run(DSPTUNECTL_PATH, dir, args); }

  // The requests after the write-all's end mark.
  std::vector<Bytes> RequestsAfterWriteAll() {
    const auto req = processor.Requests();
    auto end = std::find(req.begin(), req.end(), Bytes{0x32});
    if (end == req.end()) return {};
    return std::vector<Bytes>(end + 1, req.end());
  }
  void WaitForHangUp() { ASSERT_TRUE(WaitFor([&] { return !server->HasClient(); })); }

  fs::path dir;
  std::string host;
};

core::params::DeviceImage DefaultImage() {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  return image;
}

TEST_F(CliNet, InfoShowsTheIdentity) {
  const Result r = Run("info --host " + host);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("model     NR620"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("protocol  20"), std::string::npos);
  EXPECT_NE(r.out.find("mode      M1"), std::string::npos);
}

TEST_F(CliNet, ReadThenWriteRoundTrip) {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  image[1495] = 0x3E;
  processor.SetImage(image);
  const fs::path file = dir / "backup.mode";
  const Result read = Run("read --host " + host + " -o " + file.string());
  ASSERT_EQ(read.exitCode, 0) << read.err;
  EXPECT_NE(read.err.find("read 63/63 blocks"), std::string::npos) << read.err;
  const std::string bytes = Slurp(file);
  ASSERT_EQ(bytes.size(), core::presets::kModeFileSize);
  EXPECT_EQ(bytes[0], 0x14);
  EXPECT_EQ(bytes.substr(4, 5), "NR620");
  EXPECT_EQ(bytes.substr(60), std::string(image.begin(), image.end()));
  const Result dump = Run("dump " + file.string());
  ASSERT_EQ(dump.exitCode, 0) << dump.err;
  EXPECT_NE(dump.out.find("model    NR620"), std::string::npos);
  EXPECT_NE(dump.out.find("mic master volume"), std::string::npos);

  core::params::DeviceImage other{};
  core::params::BuildDefaultImage(other);
  processor.SetImage(other);
  ASSERT_TRUE(WaitFor([&] { return !server->HasClient(); }));
  const Result write = Run("write " + file.string() + " --host " + host);
  ASSERT_EQ(write.exitCode, 0) << write.err;
  EXPECT_EQ(processor.Image(), image);
}

TEST_F(CliNet, SetSendsOneParameterInItsUserUnit) {
  const Result r = Run("set --host " + host + " 1 14 75");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("mic master volume = 75 %"), std::string::npos) << r.out;
  const auto image = processor.Image();
  EXPECT_EQ(Bytes(image.begin() + 1495, image.begin() + 1499),
            (Bytes{0x3F, 0x40, 0x00, 0x02}));  // 0.75 + bias

  EXPECT_EQ(Run("set --host " + host + " 1 44 1").exitCode, 2) << "a block parameter";
  EXPECT_EQ(Run("set --host " + host + " 5 0 1").exitCode, 2) << "not in the table";
  EXPECT_EQ(Run("set --host " + host + " 1 14 loud").exitCode, 2);
}

TEST_F(CliNet, AlignSendsTheDelayOfEachChannelWithADistance) {
  const Result r = Run("align --host " + host + " - 3.43 - 2.401");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("  CH2    3.43 m  delay   1.50 ms\n  CH4    2.40 m  delay   4.50 ms\n"),
            std::string::npos)
      << r.out;
  // Parameter 18 of modules 6 and 7 only: 1.5 ms = 72 samples, 4.5 ms = 216.
  std::vector<Bytes> delays;
  for (const Bytes& b : processor.Requests()) {
    if (b.size() >= 4 && b[0] == 0x09 && b[3] == 18) delays.push_back(b);
  }
  EXPECT_EQ(delays, (std::vector<Bytes>{{0x09, 0x00, 0x06, 0x12, 0x01, 0x00, 0x00, 0x00, 0x48},
                                        {0x09, 0x00, 0x08, 0x12, 0x01, 0x00, 0x00, 0x00, 0xD8}}));
  const auto image = processor.Image();
  EXPECT_EQ(Bytes(image.begin() + 2311, image.begin() + 2315), (Bytes{0x00, 0x00, 0x00, 0x48}));
  EXPECT_EQ(Bytes(image.begin() + 2617, image.begin() + 2621), (Bytes{0x00, 0x00, 0x00, 0xD8}));
}

// The band messages (0x09 to the equaliser's module) and store writes
// (0x85) the processor received, in order.
struct EqFrames {
  std::vector<int> params;                             // band message parameters
  std::vector<std::array<core::params::Word, 5>> words;  // and their words
  std::vector<int> storeOffsets;                       // 0x85 offsets
  std::string order;                                   // "bsbs..." b = band message, s = store write
};
EqFrames CollectEqFrames(const std::vector<Bytes>& requests, int module) {
  EqFrames f;
  for (const Bytes& r : requests) {
    if (r.size() == 5 + 20 && r[0] == 0x09 && r[2] == module && r[4] == 5) {
      std::array<core::params::Word, 5> w{};
      for (int i = 0; i < 5; ++i) w[i] = core::params::LoadBe32(r.data() + 5 + 4 * i);
      f.params.push_back(r[3]);
      f.words.push_back(w);
      f.order += 'b';
    } else if (r.size() >= 4 && r[0] == 0x85) {
      f.storeOffsets.push_back(r[1] << 8 | r[2]);
      f.order += 's';
    }
  }
  return f;
}

TEST_F(CliNet, EqImportPutsARewFilterSetIntoAnOutputChannelExactly) {
  using core::params::BandSettings;
  constexpr int kKind = 10;  // CH4
  const auto info = *core::params::EqKind(kKind);
  // The processor's CH4 bands before: none at its defaults, so flattening shows.
  auto before = DefaultImage();
  for (int b = 0; b < core::params::EqStoreBandCount(kKind); ++b) {
    core::params::WriteBand(before, kKind, b, {1, 300 + b, -6.0f, 3.0f});
  }
  processor.SetImage(before);
  std::ofstream(dir / "ch4.txt") << "Filter Settings file\n\nEqualiser: Generic\n"
                                    "Filter  1: ON  PK       Fc   41.5 Hz  Gain  -7.0 dB  Q  6.50\n"
                                    "Filter  2: OFF PK       Fc  100.0 Hz  Gain   3.0 dB  Q  1.00\n"
                                    "Filter  3: ON  HSC      Fc 6000   Hz  Gain  -2.5 dB\n"
                                    "Filter  4: ON  LPQ      Fc 18000  Hz           Q  0.80\n";
  processor.ClearRequests();
  const Result r = Run("eq import --host " + host + " CH4 " + Q(dir / "ch4.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.err;

  std::vector<BandSettings> want = {{1, 42, -7.0f, 6.5f}, {5, 6000, -2.5f, 0.7071f}, {2, 18000, 0.0f, 0.8f}};
  for (int b = 3; b < core::params::EqPlainBandCount(kKind); ++b) {
    want.push_back(core::params::ResetBand(kKind, b));
  }
  // The processor's store holds exactly those records; nothing else in
  // its image moved, the crossover and the high-frequency split included.
  auto expected = before;
  for (std::size_t b = 0; b < want.size(); ++b) {
    core::params::WriteBand(expected, kKind, static_cast<int>(b), want[b]);
  }
  EXPECT_TRUE(processor.Image() == expected);
  // Each record came with its band message, carrying the coefficients of
  // that band: the filter the processor runs is the one imported.
  const EqFrames frames = CollectEqFrames(processor.Requests(), info.module);
  ASSERT_EQ(frames.params.size(), want.size());
  std::string order;
  for (std::size_t b = 0; b < want.size(); ++b) order += "bs";
  EXPECT_EQ(frames.order, order);
  for (std::size_t b = 0; b < want.size(); ++b) {
    const int band = static_cast<int>(b);
    const BandSettings sent = core::params::ClampBand(want[b]);
    const auto c = core::params::ComputeBiquad(sent.gain, sent.frequency, sent.q, 0.0,
                                               core::params::kEqSampleRate, sent.type);
    EXPECT_EQ(frames.params[b], info.firstParam + band);
    EXPECT_EQ(frames.words[b], core::params::BandMessageWords(c)) << "band " << b;
    EXPECT_EQ(frames.storeOffsets[b], core::params::EqBandOffset(kKind, band));
  }

  // With --keep, a refused file and one band set by hand.
  std::ofstream(dir / "one.txt") << "Filter 1: ON PK Fc 1000 Hz Gain 4 dB Q 2\n";
  processor.ClearRequests();
  ASSERT_EQ(Run("eq import --keep --host " + host + " 10 " + Q(dir / "one.txt")).exitCode, 0);
  EXPECT_EQ(CollectEqFrames(processor.Requests(), info.module).order, "bs");
  std::ofstream(dir / "bad.txt") << "Filter 1: ON PK Fc 1000 Hz Gain 4 dB Q 2\nFilter 2: ON PK Fc 9 Hz Gain 1 dB Q 1\n";
  processor.ClearRequests();
  const Result refused = Run("eq import --host " + host + " CH4 " + Q(dir / "bad.txt"));
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("line 2"), std::string::npos) << refused.err;
  EXPECT_TRUE(processor.Requests().empty()) << "refused before connecting";
  ASSERT_EQ(Run("eq set --host " + host + " CH4 9 LP-B 90 0 0.7").exitCode, 0);
  const EqFrames set = CollectEqFrames(processor.Requests(), info.module);
  EXPECT_EQ(set.order, "bs");
  EXPECT_EQ(set.params, std::vector<int>{info.firstParam + 9});
  EXPECT_EQ(core::params::ReadBand(processor.Image(), kKind, 9), (BandSettings{8, 90, 0.0f, 0.7f}));
}

TEST_F(CliNet, EqImportFailsWhenABandGoesUnanswered) {
  sim::ServerOptions lossy;
  lossy.dropEvery = 8;  // past the identity, inside the bands
  server->Stop();
  StartServer(lossy);
  host = "127.0.0.1:" + std::to_string(server->Port());
  std::ofstream(dir / "one.txt") << "Filter 1: ON PK Fc 1000 Hz Gain 4 dB Q 2\n";
  const Result r = Run("eq import --host " + host + " CH1 " + Q(dir / "one.txt"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("stopped answering (equaliser band"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "") << "no success report";
}

TEST_F(CliNet, ModeLoadAndStore) {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  image[3517] = 0x42;
  processor.SetImage(image);
  const Result store = Run("mode --host " + host + " store 3");
  ASSERT_EQ(store.exitCode, 0) << store.err;
  EXPECT_EQ(processor.ModeImage(2)[3517], 0x42);
  ASSERT_TRUE(WaitFor([&] { return !server->HasClient(); }));
  const Result load = Run("mode --host " + host + " load 3");
  ASSERT_EQ(load.exitCode, 0) << load.err;
  EXPECT_NE(load.out.find("loaded M3"), std::string::npos) << load.out;
  EXPECT_EQ(Run("mode --host " + host + " load 5").exitCode, 2);
}

TEST_F(CliNet, ErrorsAreClear) {
  server->Stop();
  const Result refused = Run("info --host " + host);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("cannot connect to " + host + ": Connection refused"),
            std::string::npos)
      << refused.err;

  processor.SetProtocolVersion(17);
  StartServer();
  host = "127.0.0.1:" + std::to_string(server->Port());
  const Result old = Run("read --host " + host + " -o " + (dir / "x.mode").string());
  EXPECT_EQ(old.exitCode, 1);
  EXPECT_NE(old.err.find("speaks protocol version 17"), std::string::npos) << old.err;
  EXPECT_FALSE(fs::exists(dir / "x.mode"));

  processor.SetProtocolVersion(20);
  server->SetSilentAfterMs(0);
  const Result silent = Run("info --host " + host);
  EXPECT_EQ(silent.exitCode, 1);
  EXPECT_NE(silent.err.find("stopped answering"), std::string::npos) << silent.err;

  EXPECT_EQ(Run("info --host 127.0.0.1:99999").exitCode, 2);
  EXPECT_EQ(Run("info").exitCode, 2);
}


// A mode file read from the processor, edited offline, compared and
// written back, lands in the device mode its name gives.
TEST_F(CliNet, ReadEditDiffAndWriteBackIntoTheNamedMode) {
  core::params::DeviceImage image = DefaultImage();
  image[core::params::EqBandOffset(7, 3) + 1] = 180;  // CH1 band 3 at +3 dB
  processor.SetImage(image);
  const fs::path backup = dir / "backup.mode", edited = dir / "m2 living room.mode";
  ASSERT_EQ(Run("read --host " + host + " -o " + Q(backup)).exitCode, 0);
  WaitForHangUp();
  fs::copy_file(backup, edited);

  const Result set = Run("set --file " + Q(edited) + " 1 14 75");
  ASSERT_EQ(set.exitCode, 0) << set.err;
  const Result diff = Run("diff " + Q(backup) + " " + Q(edited));
  EXPECT_EQ(diff.exitCode, 1) << diff.err;
  EXPECT_EQ(diff.out, "Mic(1) 14 mic master volume: 50 % -> 75 %\n");

  processor.ClearRequests();
  const Result write = Run("write " + Q(edited) + " --host " + host);
  ASSERT_EQ(write.exitCode, 0) << write.err;
  EXPECT_NE(write.err.find("stored into M2"), std::string::npos) << write.err;
  WaitForHangUp();
  core::params::DeviceImage expected = image;
  core::params::StoreBe32(expected.data() + 1495, 0x3F400002);
  EXPECT_EQ(processor.Image(), expected);
  EXPECT_EQ(processor.ModeImage(1), expected);
  EXPECT_EQ(processor.ModeImage(0), DefaultImage()) << "no other mode is touched";
  EXPECT_EQ(processor.NamedSlot(), 1);
  EXPECT_EQ(processor.CurrentMode(), 1);
  EXPECT_EQ(RequestsAfterWriteAll(), (std::vector<Bytes>{{0x03, 0x01}, {0x04, 0x01}, {0x8A}}));

  // Read back, the processor holds exactly the edited file.
  const fs::path after = dir / "after.mode";
  ASSERT_EQ(Run("read --host " + host + " -o " + Q(after)).exitCode, 0);
  const Result same = Run("diff " + Q(edited) + " " + Q(after));
  EXPECT_EQ(same.exitCode, 0) << same.out;
}

TEST_F(CliNet, WriteStoresIntoTheModeTheNameOrTheOptionsChoose) {
  struct Case {
    const char* name;
    const char* options;
    int slot;  // -1: stored nowhere
  };
  const Case cases[] = {
      {"m2 living room.mode", "", 1},  {"M4.mode", "", 3},
      {"my m2.mode", "", -1},          {"backup.mode", "", -1},
      {"backup.mode", "--slot 3", 2},  {"m1 bar.mode", "--slot 4", 3},
      {"m3.mode", "--no-store", -1},
  };
  std::uint8_t marker = 0x40;
  for (const Case& c : cases) {
    core::params::DeviceImage image = DefaultImage();
    image[3517] = ++marker;
    core::link::DeviceIdentity id;
    id.SetProtocolVersion(20);
    Bytes file(id.bytes.begin(), id.bytes.end());
    file.insert(file.end(), image.begin(), image.end());
    WriteFile(dir / c.name, file);
    std::array<core::params::DeviceImage, 4> modesBefore;
    for (int m = 0; m < 4; ++m) modesBefore[m] = processor.ModeImage(m);
    processor.ClearRequests();

    const Result r = Run("write " + Q(dir / c.name) + " --host " + host + " " + c.options);
    ASSERT_EQ(r.exitCode, 0) << c.name << " " << c.options << r.err;
    WaitForHangUp();
    EXPECT_EQ(processor.Image(), image) << c.name;
    std::vector<Bytes> tail = {{0x8A}};
    if (c.slot >= 0) {
      const auto n = static_cast<std::uint8_t>(c.slot);
      tail = {{0x03, n}, {0x04, n}, {0x8A}};
    }
    EXPECT_EQ(RequestsAfterWriteAll(), tail) << c.name << " " << c.options;
    for (int m = 0; m < 4; ++m) {
      EXPECT_EQ(processor.ModeImage(m), m == c.slot ? image : modesBefore[m])
          << c.name << " " << c.options << ", mode " << m;
    }
  }
}

TEST_F(CliNet, WriteRefusesAShortModeFile) {
  const Result read = Run("read --host " + host + " -o " + Q(dir / "full.mode"));
  ASSERT_EQ(read.exitCode, 0) << read.err;
  WaitForHangUp();
  Bytes file = FileBytes(dir / "full.mode");
  file.resize(3000);
  WriteFile(dir / "m1 short.mode", file);
  const core::params::DeviceImage before = processor.Image();
  processor.ClearRequests();

  const Result r = Run("write " + Q(dir / "m1 short.mode") + " --host " + host);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("3000 bytes, shorter than a mode file (3578); nothing was written"),
            std::string::npos)
      << r.err;
  WaitForHangUp();
  EXPECT_EQ(processor.Image(), before);
  for (const Bytes& req : processor.Requests()) {
    EXPECT_NE(req[0], 0x31);
    EXPECT_NE(req[0], 0x04);
  }
}

TEST_F(CliNet, RemoteReadSavesTheKeyTableAfterAReadAll) {
  for (std::uint8_t key : {3, 12, 15, 20}) processor.Handle(Bytes{0x60, key});
  const core::link::RemoteKeyTable onProcessor = processor.RemoteKeys();
  const Result r = Run("remote read --host " + host + " -o " + Q(dir / "keys.txt"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(fs::exists(dir / "keys.txt"));
  const Bytes file = FileBytes(dir / "keys.remo");
  ASSERT_EQ(file.size(), 30u);
  // The processor reports table bytes 0..15; the rest is saved as not learnt.
  Bytes expected(onProcessor.begin(), onProcessor.begin() + 16);
  expected.resize(30, 0);
  EXPECT_EQ(file, expected);
  EXPECT_EQ(file[12], sim::ProcessorSim::LearntCode(12));
  EXPECT_NE(r.err.find("functions 1..15 only"), std::string::npos) << r.err;
  WaitForHangUp();
  const auto req = processor.Requests();
  ASSERT_GE(req.size(), 2u);
  EXPECT_EQ(req[req.size() - 2], Bytes{0x62}) << "the table is asked for after the image";
  EXPECT_EQ(req.back(), Bytes{0x8A});
}

TEST_F(CliNet, RemoteApplySendsTheWholeTable) {
  Bytes keys(30);
  for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = static_cast<std::uint8_t>(0x10 + i);
  WriteFile(dir / "keys.remo", keys);
  const Result r = Run("remote apply " + Q(dir / "keys.txt") + " --host " + host);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  WaitForHangUp();
  const core::link::RemoteKeyTable table = processor.RemoteKeys();
  EXPECT_EQ(Bytes(table.begin(), table.end()), keys);
  Bytes body = {0x63};
  body.insert(body.end(), keys.begin(), keys.end());
  const auto req = processor.Requests();
  EXPECT_EQ(std::count(req.begin(), req.end(), body), 1);
  ASSERT_GE(req.size(), 2u);
  EXPECT_EQ(req[req.size() - 2], body);
}

TEST_F(CliNet, RemoteApplyRefusesFilesItCannotSendWhole) {
  WriteFile(dir / "short.remo", Bytes(29, 0x11));
  struct Case {
    const char* file;
    const char* message;
  };
  const Case cases[] = {{"short.remo", "29 bytes, shorter than a remote data file (30)"},
                        {"missing.remo", "missing.remo: cannot open"}};
  for (const Case& c : cases) {
    const Result r = Run("remote apply " + Q(dir / c.file) + " --host " + host);
    EXPECT_EQ(r.exitCode, 1) << c.file;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_TRUE(processor.Requests().empty()) << "nothing is sent, not even a connection made";
  EXPECT_EQ(processor.RemoteKeys(), core::link::RemoteKeyTable{});
}

}  // namespace
}  // namespace e2e
