#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/link/device_records.h"
#include "core/presets/file_io.h"

namespace core::presets {

// A remote data file: exactly the 30 bytes of the remote-key table, in
// table order, with no header, length or checksum.
inline constexpr std::size_t kRemoteFileSize = std::tuple_size_v<link::RemoteKeyTable>;

// The name a remote data file is kept under: `chosen` with the extension
// of its last component replaced by "remo" ("keys.txt" → "keys.remo"), or
// ".remo" appended when it has none ("keys", ".hidden"). An extension that
// already reads "remo" in any letter case is kept, so that an existing
// "KEYS.REMO" is found. A name that ends in a folder separator is left as
// it is.
std::string RemoteFileName(std::string_view chosen);

// Reads the first 30 bytes of the file RemoteFileName(chosen) into `table`;
// a shorter file fills only as many bytes as it holds and the rest keep
// their values (`size` tells how many). OpenFailed with the errno when the
// file cannot be read; `table` is then unchanged.
FileResult LoadRemoteFile(const std::string& chosen, link::RemoteKeyTable& table);

// Writes the 30 table bytes to RemoteFileName(chosen), safely: a failure
// leaves any old file as it was and reports WriteFailed with the errno.
FileResult SaveRemoteFile(const std::string& chosen, const link::RemoteKeyTable& table);

}  // namespace core::presets
