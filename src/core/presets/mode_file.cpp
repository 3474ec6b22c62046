#include "core/presets/mode_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/params/model_catalogue.h"

namespace core::presets {
namespace {

FileResult Fail(FileResult::Code code, int error, const std::string& path) {
  FileResult r;
  r.code = code;
  r.error = error;
  r.path = path;
  return r;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

FileResult WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return Fail(FileResult::Code::WriteFailed, errno, path);
  temp = name.data();

  // Keep the permissions an existing file had; new files get the usual ones.
  struct stat st {};
  const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  ::fchmod(fd, mode);

  int error = 0;
  if (!WriteAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0) error = errno ? errno : EIO;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return Fail(FileResult::Code::WriteFailed, error, path);
  }
  // Make the rename itself durable.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  FileResult ok;
  ok.path = path;
  return ok;
}

FileResult SaveModeFile(Session& session, const std::string& path) {
  session.Params().CopyStoreToImage();
  const link::DeviceIdentity id = session.Records().Identity();
  const params::DeviceImage image = session.Params().Image();
  std::vector<std::uint8_t> bytes(id.bytes.begin(), id.bytes.end());
  bytes.insert(bytes.end(), image.begin(), image.end());
  return WriteFileSafely(path, bytes);
}

FileResult LoadModeFile(Session& session, const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail(FileResult::Code::OpenFailed, errno, path);
  std::vector<std::uint8_t> bytes(kModeFileSize);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      return Fail(FileResult::Code::OpenFailed, error, path);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);

  link::DeviceIdentity header;
  std::memcpy(header.bytes.data(), bytes.data(), std::min(got, kModeFileHeaderSize));
  if (got < 4 || header.ProtocolVersion() != link::kProtocolVersion) {
    FileResult r = Fail(FileResult::Code::BadVersion, 0, path);
    r.version = got < 4 ? 0 : header.ProtocolVersion();
    return r;
  }
  if (got > kModeFileHeaderSize) {
    session.Params().WriteImageBytes(
        0, std::span<const std::uint8_t>(bytes.data() + kModeFileHeaderSize,
                                         got - kModeFileHeaderSize));
  }
  const std::string model = session.Records().Identity().ModelName();
  const std::uint8_t source = session.Params().ImageByte(params::kMusicSourceOffset);
  const std::uint8_t adapted = params::AdaptMusicInputToModel(model, source);
  session.Params().WriteImageBytes(params::kMusicSourceOffset,
                                   std::span<const std::uint8_t>(&adapted, 1));
  session.Params().DecodeImage();
  FileResult ok;
  ok.path = path;
  return ok;
}

}  // namespace core::presets
