#pragma once

#include <cstddef>
#include <string>

#include "core/session.h"

namespace core::presets {

// A mode file: the 60-byte identity of the processor it came from, then the
// 3518-byte device image. No magic, no checksum.
inline constexpr std::size_t kModeFileHeaderSize = 60;
inline constexpr std::size_t kModeFileSize = kModeFileHeaderSize + params::kImageSize;  // 3578

struct FileResult {
  enum class Code {
    Ok,
    OpenFailed,   // could not be opened for reading
    WriteFailed,  // could not be created or written; the old file is untouched
    BadVersion,   // the header's protocol version is not the one we speak
  };
  Code code = Code::Ok;
  int error = 0;     // errno of an open or write failure
  int version = 0;   // the header's protocol version (BadVersion)
  std::string path;

  explicit operator bool() const { return code == Code::Ok; }
};

// Writes `bytes` to `path` so that a failure never costs the old file: a
// temporary file in the same folder is written, flushed and synced, then
// renamed over the target.
FileResult WriteFileSafely(const std::string& path, std::span<const std::uint8_t> bytes);

// Saves what the session mirrors: the store is copied into the image first,
// so that edited bands travel even if they were never sent; then the
// identity and the image are written.
FileResult SaveModeFile(Session& session, const std::string& path);

// Loads a mode file into the image (a short file as far as it goes; the
// rest keeps its bytes), adapts the music input source to the connected
// model and decodes. A header with another protocol version changes
// nothing. The session's identity is never taken from the file.
FileResult LoadModeFile(Session& session, const std::string& path);

}  // namespace core::presets
