// dsptunectl: the processor's settings from the command line.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "cli/dump.h"
#include "core/params/device_image.h"
#include "core/session.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

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
  std::string error;
  if (!cli::LoadImageFile(path, image, error)) {
    std::cerr << "dsptunectl: " << error << "\n";
    return kFailed;
  }
  session.Params().SetImage(image);
  session.Params().DecodeImage();
  if (json) {
    std::cout << cli::DumpJson(session).dump(2) << "\n";
  } else {
    std::cout << cli::DumpText(session);
  }
  return std::cout.good() ? kDone : kFailed;
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
  auto* dump = app.add_subcommand("dump", "Print every parameter, band and derived value of an image");
  dump->add_option("file", dumpFile, "Device image (3518 bytes)")->required();
  dump->add_flag("--json", dumpJson, "Print one JSON document instead of text");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kDone : kBadUsage;
  }

  if (*defaults) return WriteDefaults(defaultsOut);
  if (*dump) return Dump(dumpFile, dumpJson);
  return kBadUsage;
}
