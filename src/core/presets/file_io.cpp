#include "core/presets/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

namespace core::presets {
namespace {

// The temporary file's name is ".<name>.XXXXXX"; a long name is cut so
// that the temporary name still fits where the target's name fits.
constexpr std::size_t kTempStemMax = 200;

FileResult Result(FileResult::Code code, int error, std::string path) {
  FileResult r;
  r.code = code;
  r.error = error;
  r.path = std::move(path);
  return r;
}

// 0 when every byte was written, else the errno.
int WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace

FileResult WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
  namespace fs = std::filesystem;
  if (path.empty()) return Result(FileResult::Code::WriteFailed, ENOENT, path);
  fs::path target(path);
  if (!target.has_filename()) return Result(FileResult::Code::WriteFailed, EISDIR, path);

  // Saving through a link updates the file it names instead of replacing
  // the link with a plain file.
  std::error_code ec;
  if (fs::is_symlink(target, ec)) {
    fs::path real = fs::canonical(target, ec);
    if (!ec) target = std::move(real);
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string name = target.filename().string();
  std::string temp =
      (folder / ("." + name.substr(0, kTempStemMax) + ".XXXXXX")).string();
  std::vector<char> buffer(temp.begin(), temp.end());
  buffer.push_back('\0');
  const int fd = ::mkstemp(buffer.data());
  if (fd < 0) return Result(FileResult::Code::WriteFailed, errno, path);
  temp = buffer.data();

  // Keep what an existing file had; new files get the usual permissions.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
    if (::fchown(fd, st.st_uid, st.st_gid) != 0) {
      // Only a privileged user may give a file away; the file stays ours.
    }
  } else {
    ::fchmod(fd, 0644);
  }

  int error = WriteAll(fd, bytes.data(), bytes.size());
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return Result(FileResult::Code::WriteFailed, error, path);
  }
  // Make the rename itself durable.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  FileResult ok = Result(FileResult::Code::Ok, 0, path);
  ok.size = bytes.size();
  return ok;
}

FileResult ReadFilePrefix(const std::string& path, std::span<std::uint8_t> out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Result(FileResult::Code::OpenFailed, errno, path);
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      return Result(FileResult::Code::OpenFailed, error, path);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  FileResult ok = Result(FileResult::Code::Ok, 0, path);
  ok.size = got;
  return ok;
}

}  // namespace core::presets
