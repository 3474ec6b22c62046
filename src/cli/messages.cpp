#include "cli/messages.h"

#include <cstring>
#include <iostream>

#include "core/link/device_records.h"

namespace cli {

void Error(const std::string& text) { std::cerr << "dsptunectl: " << text << "\n"; }

std::string FileError(const core::presets::FileResult& r) {
  using Code = core::presets::FileResult::Code;
  switch (r.code) {
    case Code::OpenFailed: return r.path + ": cannot open: " + std::strerror(r.error);
    case Code::WriteFailed:
      return r.path + ": cannot write (error " + std::to_string(r.error) + ": " +
             std::strerror(r.error) + "); is it write protected?";
    case Code::BadVersion:
      if (r.size < 4) {
        return r.path + ": " + std::to_string(r.size) + " bytes, too short for a mode file";
      }
      return r.path + ": mode file version " + std::to_string(r.version) +
             " not supported (expected " + std::to_string(core::link::kProtocolVersion) + ")";
    case Code::Ok: break;
  }
  return r.path;
}

}  // namespace cli
