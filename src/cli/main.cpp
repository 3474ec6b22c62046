// dsptunectl: the processor's settings from the command line.
#include <CLI/CLI.hpp>
#include <cstring>
#include <iostream>

#include "cli/align_command.h"
#include "cli/dump.h"
#include "cli/settings_file.h"
#include "cli/eq_commands.h"
#include "cli/file_commands.h"
#include "cli/net_commands.h"
#include "core/params/device_image.h"
#include "core/presets/file_io.h"
#include "core/session.h"

namespace {

using cli::kBadUsage;
using cli::kDone;
using cli::kFailed;

int WriteDefaults(const std::string& path) {
  core::params::DeviceImage image{};
  core::params::BuildDefaultImage(image);
  const core::presets::FileResult r = core::presets::WriteFileSafely(path, image);
  if (!r) {
    std::cerr << "dsptunectl: " << path << ": cannot write the image: " << std::strerror(r.error)
              << "\n";
    return kFailed;
  }
  return kDone;
}

int Dump(const std::string& path, bool json) {
  cli::SettingsFile file;
  if (!cli::ReadSettingsFile(path, file)) return kFailed;
  core::Session session;
  session.Params().SetImage(file.image);
  session.Params().DecodeImage();
  if (json) {
    std::cout << cli::DumpJson(session, file.header).dump(2) << "\n";
  } else {
    std::cout << cli::DumpText(session, file.header);
  }
  return std::cout.good() ? kDone : kFailed;
}

constexpr const char* kHostHelp = "Processor address, HOST or HOST:PORT (port 30303 by default)";

// Every verb that talks to a processor takes --host or --usb.
void AddHost(CLI::App* verb, std::string& host, bool& usb) {
  auto* h = verb->add_option("--host", host, kHostHelp);
  verb->add_flag("--usb", usb, "The processor plugged in by USB")->excludes(h);
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

  std::string diffA, diffB;
  bool diffJson = false;
  auto* diff = app.add_subcommand(
      "diff",
      "Show the parameters, bands and identity fields that differ between two images or mode "
      "files. Exit code 0: equal, 1: different, 2: bad usage or a file that cannot be read");
  diff->add_option("a", diffA, "First image or mode file")->required();
  diff->add_option("b", diffB, "Second image or mode file")->required();
  diff->add_flag("--json", diffJson, "Print one JSON document instead of text");

  std::string host;
  bool usb = false;
  bool infoJson = false;
  auto* info = app.add_subcommand("info", "Show a processor's identity, protocol and mode");
  AddHost(info, host, usb);
  info->add_flag("--json", infoJson, "Print JSON");

  std::string readOut;
  auto* read = app.add_subcommand("read", "Back up a network processor's settings into a mode file");
  AddHost(read, host, usb);
  read->add_option("-o,--output", readOut, "Mode file to write (3578 bytes)")->required();

  std::string writeFile;
  cli::WriteOptions writeOptions;
  auto* write = app.add_subcommand(
      "write",
      "Restore a mode file into a network processor. A file whose name begins with m1..m4 "
      "(any case, e.g. \"M2 living room.mode\") is then stored into that device mode");
  write->add_option("file", writeFile, "Mode file to send")->required()->check(CLI::ExistingFile);
  AddHost(write, host, usb);
  auto* slotOption =
      write->add_option("--slot", writeOptions.slot, "Store into device mode N (1..4, M1..M4) instead")
          ->check(CLI::Range(1, 4));
  write->add_flag("--no-store", writeOptions.noStore, "Store into no device mode")
      ->excludes(slotOption);

  int setModule = 0, setParam = 0;
  std::string setValue, setFile, setOut;
  auto* set = app.add_subcommand(
      "set", "Set one parameter, in its user unit (percent, ms, ...), on a processor or in a file");
  auto* setHost = set->add_option("--host", host, kHostHelp);
  auto* setUsb = set->add_flag("--usb", usb, "The processor plugged in by USB")->excludes(setHost);
  auto* setFileOption =
      set->add_option("--file", setFile, "Image or mode file to edit instead of a processor")
          ->excludes(setHost)
          ->excludes(setUsb);
  set->add_option("-o,--output", setOut, "With --file: write the result here, not over the file")
      ->needs(setFileOption);
  set->add_option("module", setModule, "Module number (1 mic ... 14 loudness)")->required();
  set->add_option("param", setParam, "Parameter number within the module")->required();
  set->add_option("value", setValue, "The value")->required()->allow_extra_args(false);

  std::string modeAction;
  int modeSlot = 0;
  auto* mode = app.add_subcommand("mode", "Load a device mode (M1..M4) or store the current settings into one");
  AddHost(mode, host, usb);
  mode->add_option("action", modeAction, "load or store")
      ->required()
      ->check(CLI::IsMember({"load", "store"}));
  mode->add_option("slot", modeSlot, "Mode slot 1..4")->required()->check(CLI::Range(1, 4));

  std::string remoteOut, remoteFile;
  auto* remote = app.add_subcommand("remote", "Back up or restore the learnt remote-control keys");
  remote->require_subcommand(1);
  auto* remoteRead = remote->add_subcommand(
      "read", "Save a network processor's remote-key table into a remote data file");
  AddHost(remoteRead, host, usb);
  remoteRead->add_option("-o,--output", remoteOut,
                         "Remote data file to write (30 bytes; the extension becomes .remo)")
      ->required();
  auto* remoteApply =
      remote->add_subcommand("apply", "Send the keys of a remote data file to a network processor");
  remoteApply->add_option("file", remoteFile, "Remote data file (read as NAME.remo)")->required();
  AddHost(remoteApply, host, usb);

  auto* eq = app.add_subcommand("eq", "Show, set or import the bands of one equaliser");
  eq->require_subcommand(1);
  constexpr const char* kKindHelp =
      "Equaliser: 0..15 or micA, micB, echoA, echoB, reverbA, reverbB, music, CH1..CH8, record";
  std::string eqFile, eqKind;
  bool eqJson = false;
  auto* eqShow = eq->add_subcommand("show", "Print the bands of one equaliser of an image or mode file");
  eqShow->add_option("file", eqFile, "Device image or mode file")->required();
  eqShow->add_option("kind", eqKind, kKindHelp)->required();
  eqShow->add_flag("--json", eqJson, "Print JSON");

  // set and import write to a processor or, with --mode, into a file.
  auto addEqTarget = [&](CLI::App* verb) {
    auto* h = verb->add_option("--host", host, kHostHelp);
    auto* u = verb->add_flag("--usb", usb, "The processor plugged in by USB")->excludes(h);
    return verb
        ->add_option("--mode", eqFile,
                     "Write into this mode file (or device image) instead of a processor")
        ->excludes(h)
        ->excludes(u);
  };
  cli::EqBandArgs eqBand;
  auto* eqSet = eq->add_subcommand(
      "set", "Set one band (numbered from 0, as dump prints them): its band message and record");
  auto* eqSetMode = addEqTarget(eqSet);
  eqSet->add_option("kind", eqBand.kind, kKindHelp)->required();
  eqSet->add_option("band", eqBand.band, "Band number, from 0")->required();
  eqSet->add_option("type", eqBand.type, "Filter type: PEQ, LP, HP, LS, HS, OFF or 0..21")
      ->required();
  eqSet->add_option("frequency", eqBand.frequency, "Frequency, 20..20000 Hz")->required();
  eqSet->add_option("gain", eqBand.gain, "Gain, -15..+15 dB")->required();
  eqSet->add_option("q", eqBand.q, "Q, 0.1..30 (PEQ) or 0.1..2")->required();

  std::string rewFile;
  bool eqKeep = false;
  auto* eqImport = eq->add_subcommand(
      "import",
      "Put the filters of a REW filter settings export (text) into the user bands of one "
      "equaliser, in order; nothing is sent if any filter does not fit");
  auto* eqImportMode = addEqTarget(eqImport);
  eqImport->add_option("kind", eqKind, kKindHelp)->required();
  eqImport->add_option("rew", rewFile, "REW filter settings text file")->required();
  eqImport->add_flag("--keep", eqKeep,
                     "Keep the bands after the file's filters (by default they become flat)");

  std::vector<std::string> alignDistances;
  std::string alignOut;
  auto* align = app.add_subcommand(
      "align",
      "Time-align the output channels by their speakers' distances from the listening position: "
      "each channel gets the delay that makes its sound arrive with the farthest speaker's "
      "(343 m/s); prints the delays set");
  auto* alignMode = addEqTarget(align);
  align->add_option("-o,--output", alignOut, "With --mode: write the result here, not over the file")
      ->needs(alignMode);
  align->add_option("distances", alignDistances,
                    "Distance in metres of CH1, CH2, ... in order (up to 8); '-' leaves a channel "
                    "out")
      ->required();

  auto* scan = app.add_subcommand("scan", "List the processors plugged in by USB");
  auto* udevRules = app.add_subcommand(
      "udev-rules",
      "Print the udev rule that lets the logged-in user open the processor; install it with: "
      "dsptunectl udev-rules | sudo tee /etc/udev/rules.d/70-dsptuner.rules");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kDone : kBadUsage;
  }

  if (*defaults) return WriteDefaults(defaultsOut);
  if (*scan) return cli::ScanCommand();
  if (*udevRules) return cli::UdevRulesCommand();
  if (*dump) return Dump(dumpFile, dumpJson);
  if (*diff) return cli::DiffCommand(diffA, diffB, diffJson);
  if (*eqShow) return cli::EqShowCommand(eqFile, eqKind, eqJson);
  if (*eqSet && *eqSetMode) return cli::EqSetCommand({{}, eqFile}, eqBand);
  if (*eqImport && *eqImportMode) return cli::EqImportCommand({{}, eqFile}, eqKind, rewFile, eqKeep);
  if (*align && *alignMode) return cli::AlignCommand({{}, eqFile}, alignDistances, alignOut);
  if (*set && *setFileOption) {
    return cli::SetFileCommand(setFile, setOut, setModule, setParam, setValue);
  }
  if (*set && !*setHost && !usb) {
    std::cerr << "dsptunectl: set needs --host HOST, --usb or --file FILE\n";
    return kBadUsage;
  }

  cli::HostPort target;
  target.usb = usb;
  std::string error;
  if (!usb && host.empty()) {
    std::cerr << "dsptunectl: say where the processor is: --host HOST[:PORT] or --usb\n";
    return kBadUsage;
  }
  if (!usb && !cli::ParseHostPort(host, target, error)) {
    std::cerr << "dsptunectl: " << error << "\n";
    return kBadUsage;
  }
  if (*info) return cli::InfoCommand(target, infoJson);
  if (*read) return cli::ReadCommand(target, readOut);
  if (*write) return cli::WriteCommand(target, writeFile, writeOptions);
  if (*set) return cli::SetCommand(target, setModule, setParam, setValue);
  if (*mode) return cli::ModeCommand(target, modeAction, modeSlot);
  if (*eqSet) return cli::EqSetCommand({target, {}}, eqBand);
  if (*eqImport) return cli::EqImportCommand({target, {}}, eqKind, rewFile, eqKeep);
  if (*align) return cli::AlignCommand({target, {}}, alignDistances, {});
  if (*remoteRead) return cli::RemoteReadCommand(target, remoteOut);
  if (*remoteApply) return cli::RemoteApplyCommand(target, remoteFile);
  return kBadUsage;
}
