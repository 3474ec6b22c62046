// Saving mode files and remote data files never costs the file that was
// there before: every failure is reported and leaves it as it was.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include "core/presets/mode_file.h"
#include "core/presets/remote_file.h"
#include "preset_test_util.h"

namespace core::presets {
namespace {

using testing::Bytes;
namespace fs = std::filesystem;

struct Saver {
  const char* what;
  const char* fileName;
  std::size_t size;  // bytes a save writes
};
const Saver kSavers[] = {{"mode file", "room.mode", kModeFileSize},
                         {"remote data file", "keys.remo", kRemoteFileSize}};

struct ChildOutcome {
  bool ran = false;  // false: the child could not set itself up
  FileResult::Code code = FileResult::Code::Ok;
  int error = 0;
};

class SafeWriteTest : public testing::TempDirTest {
 protected:
  FileResult Save(const Saver& s, const std::string& path) {
    if (s.size == kRemoteFileSize) {
      link::RemoteKeyTable table{};
      table.fill(0x42);
      return SaveRemoteFile(path, table);
    }
    return SaveModeFile(session, path);
  }

  // Runs `save` in a child process, as an unprivileged user when we are
  // root (root writes into read-only folders) and with the file size limit
  // `sizeLimit` when it is not zero.
  ChildOutcome InChild(const std::function<FileResult()>& save, bool unprivileged,
                       rlim_t sizeLimit) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(pipeFds[0]);
      int reply[3] = {0, 0, 0};
      bool ready = true;
      if (unprivileged && ::geteuid() == 0) {
        ready = ::setgid(65534) == 0 && ::setuid(65534) == 0;
      }
      if (ready && sizeLimit != 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
        const rlimit limit{sizeLimit, sizeLimit};
        ready = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
      }
      if (ready) {
        const FileResult r = save();
        reply[0] = 1;
        reply[1] = static_cast<int>(r.code);
        reply[2] = r.error;
      }
      const bool sent = ::write(pipeFds[1], reply, sizeof reply) == sizeof reply;
      ::_exit(sent ? 0 : 1);
    }
    ::close(pipeFds[1]);
    int reply[3] = {0, 0, 0};
    const bool got = pid > 0 && ::read(pipeFds[0], reply, sizeof reply) == sizeof reply;
    ::close(pipeFds[0]);
    if (pid > 0) ::waitpid(pid, nullptr, 0);
    ChildOutcome out;
    out.ran = got && reply[0] == 1;
    out.code = static_cast<FileResult::Code>(reply[1]);
    out.error = reply[2];
    return out;
  }

  Session session;
};

TEST_F(SafeWriteTest, AWriteIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
  const Bytes old = {'o', 'l', 'd'};
  for (const Saver& s : kSavers) {
    const fs::path folder = dir / "locked";
    fs::create_directory(folder);
    WriteBytes(folder / s.fileName, old);
    // The file itself may be written; only the folder is protected.
    fs::permissions(folder / s.fileName, fs::perms::all & ~(fs::perms::owner_exec |
                                                           fs::perms::group_exec |
                                                           fs::perms::others_exec));
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec |
                                fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(dir, fs::perms::others_exec, fs::perm_options::add);
    const std::string target = (folder / s.fileName).string();
    const ChildOutcome r = InChild([&] { return Save(s, target); }, true, 0);
    if (!r.ran) GTEST_SKIP() << "cannot run a save without privileges here";
    EXPECT_EQ(r.code, FileResult::Code::WriteFailed) << s.what;
    EXPECT_EQ(r.error, EACCES) << s.what;
    EXPECT_EQ(ReadBytes(folder / s.fileName), old) << s.what;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(folder);
  }
}

TEST_F(SafeWriteTest, AWriteThatFailsHalfwayKeepsTheOldFileAndLeavesNoTemporaryFile) {
  const Bytes old(5000, 0x6F);
  for (const Saver& s : kSavers) {
    WriteBytes(dir / s.fileName, old);
    const std::string target = PathOf(s.fileName);
    // The new file would pass the limit half way; the old one is larger
    // already and stays readable.
    const ChildOutcome r = InChild([&] { return Save(s, target); }, false, s.size / 2);
    ASSERT_TRUE(r.ran) << s.what;
    EXPECT_EQ(r.code, FileResult::Code::WriteFailed) << s.what;
    EXPECT_EQ(r.error, EFBIG) << s.what;
    EXPECT_EQ(ReadBytes(dir / s.fileName), old) << s.what;
    EXPECT_EQ(Names(), std::vector<std::string>{s.fileName}) << s.what;
    fs::remove(dir / s.fileName);
  }
}

TEST_F(SafeWriteTest, ImpossibleTargetsAreReportedWithTheirError) {
  WriteBytes(dir / "plain", {1});
  struct Case {
    std::string path;
    int error;
  };
  const Case cases[] = {
      {PathOf("no/such/folder/x.mode"), ENOENT},
      {PathOf("plain/x.mode"), ENOTDIR},
      {PathOf("sub/"), EISDIR},
      {"", ENOENT},
  };
  fs::create_directory(dir / "sub");
  for (const Case& c : cases) {
    const FileResult r = SaveModeFile(session, c.path);
    EXPECT_EQ(r.code, FileResult::Code::WriteFailed) << c.path;
    EXPECT_EQ(r.error, c.error) << c.path;
    EXPECT_EQ(r.path, c.path);
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"plain", "sub"}));
  EXPECT_TRUE(fs::is_empty(dir / "sub"));
}

TEST_F(SafeWriteTest, ReplacingKeepsPermissionsAndWritesThroughALink) {
  for (const Saver& s : kSavers) {
    const fs::path real = dir / s.fileName;
    WriteBytes(real, {1, 2, 3});
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = dir / (std::string("link-") + s.fileName);
    fs::create_symlink(real.filename(), link);

    ASSERT_TRUE(Save(s, link.string())) << s.what;
    EXPECT_TRUE(fs::is_symlink(link)) << s.what;
    EXPECT_EQ(ReadBytes(real).size(), s.size) << s.what;
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << s.what;
    fs::remove(link);
    fs::remove(real);
  }
}

TEST_F(SafeWriteTest, ALongFileNameStillSaves) {
  const std::string name = std::string(250, 'n') + ".mode";  // 255 bytes, the longest name
  const FileResult r = SaveModeFile(session, PathOf(name));
  ASSERT_TRUE(r) << r.error;
  EXPECT_EQ(ReadBytes(dir / name).size(), kModeFileSize);
  EXPECT_EQ(Names(), std::vector<std::string>{name});
}

}  // namespace
}  // namespace core::presets
