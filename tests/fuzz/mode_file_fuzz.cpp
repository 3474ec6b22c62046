// Any bytes as a mode file, loaded into a session connected (as far as the
// records say) to one of the known models.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "core/params/model_catalogue.h"
#include "core/presets/mode_file.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static core::Session session;
  static const fuzz::ScratchFile file("in.mode");
  if (size == 0) return 0;

  // The first byte picks the connected model (low bits) and whether the
  // file gets the version we speak (high bit), so that most inputs reach
  // the image.
  const auto models = core::params::KnownModels();
  const std::size_t pick = data[0] & 0x1F;
  const std::string model = pick < models.size() ? std::string(models[pick]) : "Unknown";
  core::link::DeviceIdentity id;
  id.SetProtocolVersion(core::link::kProtocolVersion);
  id.SetModelName(model);
  session.Records().SetIdentity(id);
  std::vector<std::uint8_t> bytes(data + 1, data + size);
  if ((data[0] & 0x80) != 0 && bytes.size() >= 4) std::copy_n("\x14\0\0\0", 4, bytes.begin());
  file.Write(bytes.data(), bytes.size());

  const core::params::DeviceImage before = session.Params().Image();
  const core::presets::FileResult r = core::presets::LoadModeFile(session, file.Path());
  const core::params::DeviceImage after = session.Params().Image();
  if (r.size != std::min(bytes.size(), core::presets::kModeFileSize)) __builtin_trap();
  if (!r) {
    if (r.code != core::presets::FileResult::Code::BadVersion || before != after) __builtin_trap();
    return 0;
  }
  // Every byte the file holds is taken, the music source aside, which the
  // model must accept as it now is.
  const std::size_t taken = r.size > core::presets::kModeFileHeaderSize
                                ? r.size - core::presets::kModeFileHeaderSize
                                : 0;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (i == core::params::kMusicSourceOffset) continue;
    const std::uint8_t expected = i < taken ? bytes[core::presets::kModeFileHeaderSize + i] : before[i];
    if (after[i] != expected) __builtin_trap();
  }
  const std::uint8_t source = after[core::params::kMusicSourceOffset];
  if (core::params::AdaptMusicInputToModel(model, source) != source) __builtin_trap();
  return 0;
}
