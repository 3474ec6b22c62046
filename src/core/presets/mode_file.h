#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/presets/file_io.h"
#include "core/session.h"

namespace core::presets {

// A mode file: the 60-byte identity of the processor it came from, then the
// 3518-byte device image. No magic, no checksum.
inline constexpr std::size_t kModeFileHeaderSize = link::DeviceIdentity::kSize;
inline constexpr std::size_t kModeFileSize = kModeFileHeaderSize + params::kImageSize;  // 3578

// Saves what the session mirrors: the store is copied into the image first,
// so that edited bands travel even if they were never sent; then the
// identity and the image are written (safely: a failure keeps the old file).
FileResult SaveModeFile(Session& session, const std::string& path);

// Loads a mode file into the image (a short file as far as it goes; the
// rest keeps its bytes; `size` tells how far), adapts the music input
// source to the connected model and decodes. A header with another protocol
// version changes nothing. The session's identity is never taken from the
// file.
FileResult LoadModeFile(Session& session, const std::string& path);

inline constexpr int kNoModeSlot = -1;

// The device mode a loaded mode file is meant for, from its name: the name
// without its folder and its last extension (the whole name when that
// leaves nothing), in lower case, beginning with m1..m4 gives slot 0..3;
// any other name gives kNoModeSlot. "M2 living room.mode" is slot 1.
int ModeSlotFromFileName(std::string_view path);

}  // namespace core::presets
