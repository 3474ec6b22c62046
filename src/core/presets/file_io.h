#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace core::presets {

// The outcome of reading or writing a preset file, with what a front end
// needs for its message: the errno of a failure and the path it concerns.
struct FileResult {
  enum class Code {
    Ok,
    OpenFailed,   // could not be opened or read
    WriteFailed,  // could not be created or written; the old file is untouched
    BadVersion,   // the header's protocol version is not the one we speak
  };
  Code code = Code::Ok;
  int error = 0;         // errno of an open, read or write failure
  int version = 0;       // the header's protocol version (BadVersion)
  std::size_t size = 0;  // bytes read (loads, also BadVersion) or written (saves)
  std::string path;      // the file actually read or written

  explicit operator bool() const { return code == Code::Ok; }
};

// Writes `bytes` to `path` so that a failure never costs the old file: a
// temporary file in the same folder is written, flushed and synced, then
// renamed over the target, and the folder is synced. An existing file's
// permissions (and, where allowed, its owner) carry over; a symbolic link is
// written through to the file it names.
FileResult WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);

// Reads at most `out.size()` bytes from the start of `path` into `out`.
// Ok with `size` = the bytes read (a short file reads as far as it goes), or
// OpenFailed with the errno.
FileResult ReadFilePrefix(const std::string& path, std::span<std::uint8_t> out);

}  // namespace core::presets
