#include "core/presets/remote_file.h"

#include <algorithm>
#include <array>

namespace core::presets {
namespace {

constexpr std::string_view kRemoteExtension = "remo";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::string RemoteFileName(std::string_view chosen) {
  const auto slash = chosen.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::string_view name = chosen.substr(nameStart);
  if (name.empty()) return std::string(chosen);
  const auto dot = name.rfind('.');
  // A leading dot names a hidden file, not an extension.
  if (dot == std::string_view::npos || dot == 0) {
    return std::string(chosen) + "." + std::string(kRemoteExtension);
  }
  if (EqualsIgnoringCase(name.substr(dot + 1), kRemoteExtension)) return std::string(chosen);
  return std::string(chosen.substr(0, nameStart + dot + 1)) + std::string(kRemoteExtension);
}

FileResult LoadRemoteFile(const std::string& chosen, link::RemoteKeyTable& table) {
  std::array<std::uint8_t, kRemoteFileSize> bytes{};
  FileResult r = ReadFilePrefix(RemoteFileName(chosen), bytes);
  if (r) std::copy_n(bytes.begin(), r.size, table.begin());
  return r;
}

FileResult SaveRemoteFile(const std::string& chosen, const link::RemoteKeyTable& table) {
  return WriteFileSafely(RemoteFileName(chosen), table);
}

}  // namespace core::presets
