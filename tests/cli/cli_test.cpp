// Runs the dsptunectl binary as a user would and checks what it prints,
// writes and returns.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "core/params/device_image.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int exitCode;
  std::string out;
  std::string err;
};

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("dsptunectl-test-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }

  Result Run(const std::string& args) {
    const fs::path out = dir / "stdout", err = dir / "stderr";
    const std::string cmd = std::string(DSPTUNECTL_PATH) + " " + args + " >" + out.string() +
                            " 2>" + err.string();
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
  }

  fs::path dir;
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

}  // namespace
