#include "cli/net_commands.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/connection.h"
#include "cli/format.h"
#include "cli/param_value.h"
#include "core/params/param_table.h"
#include "core/presets/mode_file.h"
#include "core/presets/remote_file.h"
#include "core/session.h"

namespace cli {

bool ParseHostPort(const std::string& text, HostPort& out, std::string& error) {
  out.host = text;
  out.port = core::link::kDefaultTcpPort;
  const auto colon = text.rfind(':');
  if (colon != std::string::npos) {
    out.host = text.substr(0, colon);
    const std::string port = text.substr(colon + 1);
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (ec != std::errc() || end != port.data() + port.size() || value == 0 || value > 65535) {
      error = "bad port in '" + text + "'";
      return false;
    }
    out.port = static_cast<std::uint16_t>(value);
  }
  if (out.host.empty()) {
    error = "no host in '" + text + "'";
    return false;
  }
  return true;
}

int InfoCommand(const HostPort& host, bool json) {
  Connection c(host);
  if (!c.Connect()) return kFailed;
  if (!c.Identify()) return kFailed;
  const core::link::DeviceIdentity id = c.session().Records().Identity();
  const core::link::BoardInfo board = c.session().Records().Board();
  const std::string boardHex = Hex(board);
  const int mode = c.session().Records().CurrentMode();
  if (json) {
    std::cout << nlohmann::json{{"host", c.Where()},
                                {"model", id.ModelName()},
                                {"protocol", id.ProtocolVersion()},
                                {"mcuVersion", id.McuVersion()},
                                {"dspVersion", id.DspVersion()},
                                {"mode", mode + 1},
                                {"board", board}}
                     .dump(2)
              << "\n";
  } else {
    std::cout << "host      " << c.Where() << "\nmodel     " << id.ModelName() << "\nprotocol  "
              << id.ProtocolVersion() << "\nMCU       " << id.McuVersion() << "\nDSP       "
              << id.DspVersion() << "\nmode      M" << mode + 1 << "\nboard     " << boardHex
              << "\n";
  }
  return kDone;
}

int ReadCommand(const HostPort& host, const std::string& path) {
  Connection c(host);
  if (!ReadEverything(c)) return kFailed;
  const auto saved = core::presets::SaveModeFile(c.session(), path);
  if (!saved) {
    Error(FileError(saved));
    return kFailed;
  }
  std::cerr << "saved " << c.session().Records().Identity().ModelName() << " M"
            << c.session().Records().CurrentMode() + 1 << " to " << path << "\n";
  return kDone;
}

int WriteCommand(const HostPort& host, const std::string& path, const WriteOptions& options) {
  const int slot = options.noStore        ? core::presets::kNoModeSlot
                   : options.slot != 0    ? options.slot - 1
                                          : core::presets::ModeSlotFromFileName(path);
  Connection c(host);
  if (!c.Connect()) return kFailed;
  if (!c.Identify()) return kFailed;  // the model decides the music input adaptation
  const auto loaded = core::presets::LoadModeFile(c.session(), path);
  if (!loaded) {
    Error(FileError(loaded));
    return kFailed;
  }
  // A short file would leave the rest of the image at this tool's defaults
  // and push them over the processor's settings.
  if (loaded.size < core::presets::kModeFileSize) {
    Error(path + ": " + std::to_string(loaded.size) + " bytes, shorter than a mode file (" +
          std::to_string(core::presets::kModeFileSize) + "); nothing was written");
    return kFailed;
  }
  c.WatchTransfer("write");
  c.session().Sync().WriteAll();
  if (!c.session().IsOpen() || c.GaveUp() || !c.session().AwaitLastAnswer(kAnswerWait)) {
    return c.Failed("write"), kFailed;
  }
  c.session().Records().SetSettingsChanged(false);
  std::cerr << "wrote " << path << " to " << c.Where() << "\n";
  if (slot == core::presets::kNoModeSlot) return kDone;

  c.session().NameAndStoreMode(slot);
  if (!c.session().IsOpen() || !c.session().AwaitLastAnswer(kAnswerWait)) {
    return c.Failed("store"), kFailed;
  }
  std::cerr << "stored into M" << slot + 1 << "\n";
  return kDone;
}

int SetCommand(const HostPort& host, int module, int param, const std::string& text) {
  core::params::ParamValue value;
  std::string error;
  if (!ParseParamValue(module, param, text, value, error)) {
    Error(error);
    return kBadUsage;
  }
  Connection c(host);
  if (!c.Connect()) return kFailed;
  if (!c.Identify()) return kFailed;
  c.session().Params().SetParam(module, param, value);
  if (!c.session().AwaitLastAnswer(kAnswerWait)) return c.Failed("set"), kFailed;
  std::cout << DescribeSetting(module, param, c.session().Params().Mirror(module, param)) << "\n";
  return kDone;
}

int ModeCommand(const HostPort& host, const std::string& action, int slot) {
  if (slot < 1 || slot > 4) {
    Error("mode slot must be 1..4 (M1..M4)");
    return kBadUsage;
  }
  const auto n = static_cast<std::uint8_t>(slot - 1);
  Connection c(host);
  if (!c.Connect()) return kFailed;
  if (!c.Identify()) return kFailed;
  if (action == "store") {
    c.session().StoreMode(n);
    if (!c.session().AwaitLastAnswer(kAnswerWait)) return c.Failed("store"), kFailed;
    std::cout << "stored the current settings into M" << slot << "\n";
    return kDone;
  }
  // Loading: the processor answers and the answer starts a read-all.
  c.session().LoadMode(n);
  if (!c.session().AwaitLastAnswer(kAnswerWait)) return c.Failed("load"), kFailed;
  if (!c.WaitSyncDone(std::chrono::minutes(3)) || !c.session().IsOpen()) {
    return c.Failed("read after load"), kFailed;
  }
  std::cout << "loaded M" << c.session().Records().CurrentMode() + 1 << "\n";
  return kDone;
}

int RemoteReadCommand(const HostPort& host, const std::string& path) {
  Connection c(host);
  if (!ReadEverything(c)) return kFailed;
  const auto saved = core::presets::SaveRemoteFile(path, c.session().Records().RemoteKeys());
  if (!saved) {
    Error(FileError(saved));
    return kFailed;
  }
  std::cerr << "saved the remote keys of " << c.session().Records().Identity().ModelName()
            << " to " << saved.path << "\n"
            << "note: the processor reports the codes of functions 1..15 only; functions 16..25"
               " are saved as not learnt\n";
  return kDone;
}

int RemoteApplyCommand(const HostPort& host, const std::string& path) {
  core::link::RemoteKeyTable keys{};
  const auto loaded = core::presets::LoadRemoteFile(path, keys);
  if (!loaded) {
    Error(FileError(loaded));
    return kFailed;
  }
  // The rest of a short file's table would be zeros here: keys the
  // processor has learnt would be wiped.
  if (loaded.size < core::presets::kRemoteFileSize) {
    Error(loaded.path + ": " + std::to_string(loaded.size) +
          " bytes, shorter than a remote data file (" +
          std::to_string(core::presets::kRemoteFileSize) + "); nothing was sent");
    return kFailed;
  }
  Connection c(host);
  if (!c.Connect()) return kFailed;
  if (!c.Identify()) return kFailed;
  c.session().ApplyRemoteKeys(keys);
  if (!c.session().IsOpen() || !c.session().AwaitLastAnswer(kAnswerWait)) {
    return c.Failed("apply"), kFailed;
  }
  std::cerr << "applied " << loaded.path << " to " << c.Where() << "\n";
  return kDone;
}

int ScanCommand() {
  auto backend = core::link::MakeHidapiBackend();
  const auto entries = backend->Enumerate(core::link::kUsbVendorId, core::link::kUsbProductId);
  if (entries.empty()) {
    Error("no processor found on USB (vendor 2010, product 1031)");
    return kFailed;
  }
  bool usable = false;
  for (const auto& e : entries) {
    core::link::HidOpenError error = core::link::HidOpenError::None;
    const bool opens = backend->Open(e.path, error) != nullptr;
    usable = usable || opens;
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", e.vendorId, e.productId);
    std::cout << e.path << "  " << ids << "  "
              << (opens ? "ready"
                  : error == core::link::HidOpenError::PermissionDenied ? "no permission"
                                                                         : "cannot be opened")
              << "\n";
    if (error == core::link::HidOpenError::PermissionDenied) {
      Error(e.path + ": this user may not open it; install the udev rule: " +
            core::link::kUdevRuleInstallHint);
    }
  }
  return usable ? kDone : kFailed;
}

int UdevRulesCommand() {
  std::cout << core::link::UdevRuleText();
  return std::cout.good() ? kDone : kFailed;
}

}  // namespace cli
