#include "cli/file_commands.h"

#include <iostream>
#include <vector>

#include "cli/diff.h"
#include "cli/messages.h"
#include "cli/net_commands.h"
#include "cli/param_value.h"
#include "cli/settings_file.h"
#include "core/link/link.h"
#include "core/params/param_model.h"

namespace cli {
int DiffCommand(const std::string& a, const std::string& b, bool json) {
  SettingsFile fa, fb;
  if (!ReadSettingsFile(a, fa) || !ReadSettingsFile(b, fb)) return kBadUsage;
  const std::vector<Difference> differences = DiffSettings(fa, fb);
  if (json) {
    nlohmann::json doc = DiffJson(differences);
    doc["a"] = a;
    doc["b"] = b;
    std::cout << doc.dump(2) << "\n";
  } else {
    std::cout << DiffText(differences);
  }
  if (!std::cout.good()) return kBadUsage;
  return differences.empty() ? kDone : kFailed;
}

int SetFileCommand(const std::string& file, const std::string& output, int module, int param,
                   const std::string& text) {
  core::params::ParamValue value;
  std::string error;
  if (!ParseParamValue(module, param, text, value, error)) {
    Error(error);
    return kBadUsage;
  }
  SettingsFile settings;
  if (!ReadSettingsFile(file, settings)) return kFailed;

  // A model on a link that is not open: the edit lands in the image and
  // nothing is sent.
  core::link::Link noLink;
  core::params::ParamModel model(noLink);
  model.SetImage(settings.image);
  model.DecodeImage();
  model.SetParam(module, param, value);
  settings.image = model.Image();
  if (!WriteSettingsFile(output.empty() ? file : output, settings)) return kFailed;
  std::cout << DescribeSetting(module, param, model.Mirror(module, param)) << "\n";
  return kDone;
}

}  // namespace cli
