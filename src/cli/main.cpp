// dsptunectl: the processor's settings from the command line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "cli/dump.h"
#include "cli/net_commands.h"
#include "core/params/device_image.h"
#include "core/session.h"

namespace {

using cli::kBadUsage;
using cli::kDone;
using cli::kFailed;

int WriteDefaults(const std::string& path) {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(image.data()), image.size());
  if (out) out.flush();
  if (!out) {
    std::cerr << "dsptunectl: " << path << ": cannot write the image\n";
    return kFailed;
  }
  return kDone;
}

int Dump(const std::string& path, bool json) {
  core::Session session;
  core::params::DeviceImage image{};
  std::optional<core::link::DeviceIdentity> header;
  std::string error;
  if (!cli::LoadSettingsFile(path, image, header, error)) {
    std::cerr << "dsptunectl: " << error << "\n";
    return kFailed;
  }
  session.Params().SetImage(image);
  session.Params().DecodeImage();
  if (json) {
    std::cout << cli::DumpJson(session, header).dump(2) << "\n";
  } else {
    std::cout << cli::DumpText(session, header);
  }
  return std::cout.good() ? kDone : kFailed;
}

void AddHost(CLI::App* verb, std::string& host) {
  verb->add_option("--host", host, "Processor address, HOST or HOST:PORT (port 30303 by default)")
      ->required();
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"dsptunectl - back up, restore and inspect the settings of a dsptuner processor"};
  app.require_subcommand(1);

  std::string defaultsOut;
  auto* defaults = app.add_subcommand("defaults", "Write the built-in default device image");
  defaults->add_option("-o,--output", defaultsOut, "Image file to write (3518 bytes)")->required();

  std::string dumpFile;
  bool dumpJson = false;
  auto* dump =
      app.add_subcommand("dump", "Print every parameter, band and derived value of an image or mode file");
  dump->add_option("file", dumpFile, "Device image (3518 bytes) or mode file (3578 bytes)")
      ->required();
  dump->add_flag("--json", dumpJson, "Print one JSON document instead of text");

  std::string host;
  bool infoJson = false;
  auto* info = app.add_subcommand("info", "Show a network processor's identity, protocol and mode");
  AddHost(info, host);
  info->add_flag("--json", infoJson, "Print JSON");

  std::string readOut;
  auto* read = app.add_subcommand("read", "Back up a network processor's settings into a mode file");
  AddHost(read, host);
  read->add_option("-o,--output", readOut, "Mode file to write (3578 bytes)")->required();

  std::string writeFile;
  auto* write = app.add_subcommand("write", "Restore a mode file into a network processor");
  write->add_option("file", writeFile, "Mode file to send")->required()->check(CLI::ExistingFile);
  AddHost(write, host);

  int setModule = 0, setParam = 0;
  std::string setValue;
  auto* set = app.add_subcommand("set", "Set one parameter, in its user unit (percent, ms, ...)");
  AddHost(set, host);
  set->add_option("module", setModule, "Module number (1 mic ... 14 loudness)")->required();
  set->add_option("param", setParam, "Parameter number within the module")->required();
  set->add_option("value", setValue, "The value")->required()->allow_extra_args(false);

  std::string modeAction;
  int modeSlot = 0;
  auto* mode = app.add_subcommand("mode", "Load a device mode (M1..M4) or store the current settings into one");
  AddHost(mode, host);
  mode->add_option("action", modeAction, "load or store")
      ->required()
      ->check(CLI::IsMember({"load", "store"}));
  mode->add_option("slot", modeSlot, "Mode slot 1..4")->required()->check(CLI::Range(1, 4));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kDone : kBadUsage;
  }

  if (*defaults) return WriteDefaults(defaultsOut);
  if (*dump) return Dump(dumpFile, dumpJson);

  cli::HostPort target;
  std::string error;
  if (!cli::ParseHostPort(host, target, error)) {
    std::cerr << "dsptunectl: " << error << "\n";
    return kBadUsage;
  }
  if (*info) return cli::InfoCommand(target, infoJson);
  if (*read) return cli::ReadCommand(target, readOut);
  if (*write) return cli::WriteCommand(target, writeFile);
  if (*set) return cli::SetCommand(target, setModule, setParam, setValue);
  if (*mode) return cli::ModeCommand(target, modeAction, modeSlot);
  return kBadUsage;
}
