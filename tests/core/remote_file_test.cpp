#include "core/presets/remote_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <numeric>

#include "preset_test_util.h"

namespace core::presets {
namespace {

using testing::Bytes;

link::RemoteKeyTable LearntTable() {
  link::RemoteKeyTable t{};
  std::iota(t.begin(), t.end(), std::uint8_t{0xA0});
  t[0] = 0x01;  // the state byte of the last learning
  return t;
}

TEST(RemoteFileName, ReplacesTheLastExtensionByRemo) {
  struct Case {
    const char* chosen;
    const char* expected;
  };
  const Case cases[] = {
      {"keys.txt", "keys.remo"},
      {"keys", "keys.remo"},
      {"keys.remo", "keys.remo"},
      {"KEYS.REMO", "KEYS.REMO"},        // an existing file keeps its spelling
      {"keys.Remo", "keys.Remo"},
      {"keys.remote", "keys.remo"},
      {"bar.2024.txt", "bar.2024.remo"},
      {"keys.", "keys.remo"},
      {".hidden", ".hidden.remo"},       // a leading dot is no extension
      {"/srv/rooms.v2/keys", "/srv/rooms.v2/keys.remo"},  // nor is one in a folder name
      {"/srv/rooms/keys.txt", "/srv/rooms/keys.remo"},
      {"rooms/", "rooms/"},              // no file name to change
  };
  for (const Case& c : cases) EXPECT_EQ(RemoteFileName(c.chosen), c.expected) << c.chosen;
}

class RemoteFileTest : public testing::TempDirTest {};

TEST_F(RemoteFileTest, SaveAndLoadGiveBackTheSameThirtyBytes) {
  const link::RemoteKeyTable table = LearntTable();
  const FileResult saved = SaveRemoteFile(PathOf("keys.txt"), table);
  ASSERT_TRUE(saved) << saved.error;
  EXPECT_EQ(saved.path, PathOf("keys.remo")) << "saved under the remo name";
  EXPECT_EQ(saved.size, 30u);
  EXPECT_EQ(Names(), std::vector<std::string>{"keys.remo"});
  EXPECT_EQ(ReadBytes(dir / "keys.remo"), Bytes(table.begin(), table.end()));

  link::RemoteKeyTable loaded{};
  const FileResult r = LoadRemoteFile(PathOf("keys.txt"), loaded);
  ASSERT_TRUE(r);
  EXPECT_EQ(r.path, PathOf("keys.remo"));
  EXPECT_EQ(r.size, 30u);
  EXPECT_EQ(loaded, table);
}

TEST_F(RemoteFileTest, AShortFileFillsOnlyTheBytesItHolds) {
  const link::RemoteKeyTable inFile = LearntTable();
  for (std::size_t length : {0u, 1u, 16u, 29u, 30u, 45u}) {
    Bytes file(inFile.begin(), inFile.end());
    file.resize(length, 0x55);
    WriteBytes(dir / "short.remo", file);
    link::RemoteKeyTable table{};
    table.fill(0xEE);
    const FileResult r = LoadRemoteFile(PathOf("short.remo"), table);
    ASSERT_TRUE(r) << length;
    EXPECT_EQ(r.size, std::min<std::size_t>(length, 30));
    for (std::size_t i = 0; i < table.size(); ++i) {
      EXPECT_EQ(table[i], i < length ? inFile[i] : 0xEE) << "length " << length << ", byte " << i;
    }
  }
}

TEST_F(RemoteFileTest, AFileThatCannotBeReadLeavesTheTable) {
  std::filesystem::create_directory(dir / "folder.remo");
  struct Case {
    const char* name;
    const char* opened;
    int error;
  };
  const Case cases[] = {{"missing.txt", "missing.remo", ENOENT},
                        {"folder", "folder.remo", EISDIR}};
  for (const Case& c : cases) {
    link::RemoteKeyTable table = LearntTable();
    const FileResult r = LoadRemoteFile(PathOf(c.name), table);
    EXPECT_EQ(r.code, FileResult::Code::OpenFailed) << c.name;
    EXPECT_EQ(r.error, c.error) << c.name;
    EXPECT_EQ(r.path, PathOf(c.opened));
    EXPECT_EQ(table, LearntTable());
  }
}

}  // namespace
}  // namespace core::presets
