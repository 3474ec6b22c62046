// dsptunectl against a simulated processor on a loopback port.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/presets/mode_file.h"
#include "sim_fixture.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode;
  std::string out, err;
};

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

  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  Result Run(const std::string& args) {
    const fs::path out = dir / "out", err = dir / "err";
    const std::string cmd = std::string(DSPTUNECTL_PATH) + " " + args + " >" + out.string() +
                            " 2>" + err.string() + " </dev/null";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }

  fs::path dir;
  std::string host;
};

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

}  // namespace
}  // namespace e2e
