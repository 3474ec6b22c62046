#pragma once

// A named file whose bytes a fuzz target replaces for every input. The
// bytes live in memory (a memfd); the name is a link to it in a folder of
// its own, which goes when the process ends. Rewriting a file on disk for
// every input would make the disk, not the parser, the subject.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz {

class ScratchFile {
 public:
  explicit ScratchFile(const std::string& name) {
    std::string pattern = (std::filesystem::temp_directory_path() / "dsptuner-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
    path_ = folder_ + "/" + name;
    fd_ = ::memfd_create(name.c_str(), MFD_CLOEXEC);
    if (fd_ < 0) std::abort();
    std::error_code ec;
    std::filesystem::create_symlink("/proc/self/fd/" + std::to_string(fd_), path_, ec);
    if (ec) std::abort();
  }
  ~ScratchFile() {
    ::close(fd_);
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Folder() const { return folder_; }
  const std::string& Path() const { return path_; }

  void Write(const std::uint8_t* data, std::size_t size) const {
    if (::ftruncate(fd_, 0) != 0) std::abort();
    if (size > 0 && ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size)) std::abort();
  }

 private:
  std::string folder_;
  std::string path_;
  int fd_ = -1;
};

}  // namespace fuzz
