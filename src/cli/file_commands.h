#pragma once

#include <string>

namespace cli {

// Verbs on settings files, without a processor. Each returns an exit code
// and prints its errors on stderr.

// Prints what differs between two device images or mode files. 0 when
// they are equal, 1 when they differ, 2 when a file cannot be read.
int DiffCommand(const std::string& a, const std::string& b, bool json);

// Sets one parameter, in its user unit, in an image or mode file: `file`
// itself, or `output` when that is given. The rest of the file, its
// identity header included, stays byte for byte.
int SetFileCommand(const std::string& file, const std::string& output, int module, int param,
                   const std::string& value);

}  // namespace cli
