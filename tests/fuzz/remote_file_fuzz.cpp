// Any bytes as a remote data file, and as the name one is chosen under.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/presets/remote_file.h"
#include "fuzz_file.h"

namespace {

bool EndsWithRemo(std::string_view name) {
  if (name.size() < 4) return false;
  std::string_view ext = name.substr(name.size() - 4);
  for (std::size_t i = 0; i < 4; ++i) {
    const char c = ext[i] >= 'A' && ext[i] <= 'Z' ? static_cast<char>(ext[i] - 'A' + 'a') : ext[i];
    if (c != "remo"[i]) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFile file("in.remo");

  // The name rule: the folder part stays; a file name ends in "remo".
  const std::string_view chosen(reinterpret_cast<const char*>(data), size);
  const std::string name = core::presets::RemoteFileName(chosen);
  const auto slash = chosen.rfind('/');
  const std::size_t folder = slash == std::string_view::npos ? 0 : slash + 1;
  if (name.compare(0, folder, chosen.substr(0, folder)) != 0) __builtin_trap();
  if (folder < chosen.size() && !EndsWithRemo(name)) __builtin_trap();

  // The load: as many bytes as the file holds, at most 30; the rest stay.
  file.Write(data, size);
  core::link::RemoteKeyTable table{};
  table.fill(0xEE);
  const std::string stem = file.Folder() + "/in";
  const core::presets::FileResult r = core::presets::LoadRemoteFile(stem, table);
  if (!r || r.path != file.Path()) __builtin_trap();
  if (r.size != std::min(size, core::presets::kRemoteFileSize)) __builtin_trap();
  for (std::size_t i = 0; i < table.size(); ++i) {
    if (table[i] != (i < r.size ? data[i] : 0xEE)) __builtin_trap();
  }
  return 0;
}
