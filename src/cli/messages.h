#pragma once

#include <string>

#include "core/presets/file_io.h"

namespace cli {

// "dsptunectl: TEXT" on stderr.
void Error(const std::string& text);

// A file operation's failure as one line naming the file.
std::string FileError(const core::presets::FileResult& r);

}  // namespace cli
