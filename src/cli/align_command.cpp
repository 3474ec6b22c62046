#include "cli/align_command.h"

#include <array>
#include <charconv>
#include <iostream>

#include "cli/connection.h"
#include "cli/format.h"
#include "cli/settings_file.h"
#include "core/link/link.h"
#include "core/params/named_params.h"
#include "core/params/param_model.h"
#include "core/params/speaker_alignment.h"

namespace cli {
namespace {

namespace cp = core::params;

std::string PlanLine(int channel, const cp::AlignedDelay& a) {
  std::string line = Printf("CH%d  %6.2f m  delay %6.2f ms", channel + 1, a.distanceM, a.delayMs);
  if (a.outOfRange) {
    line += Printf("  OUT OF RANGE: alignment needs %.2f ms, the most is %.1f ms", a.wantedMs,
                   static_cast<double>(cp::kAlignMaxDelayMs));
  }
  return line;
}

int Print(const cp::AlignmentPlan& plan, const std::string& where) {
  int farthest = -1;
  for (int c = 0; c < cp::kAlignChannelCount; ++c) {
    const cp::AlignedDelay& a = plan.channels[c];
    if (a.aligned && (farthest < 0 || a.distanceM > plan.channels[farthest].distanceM))
      farthest = c;
  }
  std::cout << Printf("aligned to CH%d (%.2f m, 343 m/s) ", farthest + 1,
                      plan.channels[farthest].distanceM)
            << where << "\n";
  for (int c = 0; c < cp::kAlignChannelCount; ++c) {
    if (plan.channels[c].aligned) std::cout << "  " << PlanLine(c, plan.channels[c]) << "\n";
  }
  if (plan.AnyOutOfRange()) {
    Error(
        "some channels are farther apart than 100 ms of delay can make up; they were set to "
        "100 ms and are not aligned");
  }
  return std::cout.good() ? kDone : kFailed;
}

}  // namespace

std::optional<std::optional<double>> ParseDistance(const std::string& text) {
  if (text == "-" || text == "x" || text == "X") return std::optional<double>{};
  std::string number = text;
  if (!number.empty() && (number.back() == 'm' || number.back() == 'M')) number.pop_back();
  double value = 0;
  const char* end = number.data() + number.size();
  const auto [ptr, ec] = std::from_chars(number.data(), end, value);
  if (number.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return std::optional<double>{value};
}

int AlignCommand(const EqTarget& target, const std::vector<std::string>& args,
                 const std::string& output) {
  if (args.empty() || args.size() > static_cast<std::size_t>(cp::kAlignChannelCount)) {
    Error("give one distance per channel, CH1 first (at most 8), '-' for a channel left out");
    return kBadUsage;
  }
  std::vector<std::optional<double>> distances;
  for (const std::string& a : args) {
    const auto d = ParseDistance(a);
    if (!d) {
      Error("'" + a + "' is not a distance in metres (or '-' for a channel left out)");
      return kBadUsage;
    }
    distances.push_back(*d);
  }
  const cp::AlignmentPlan plan = cp::PlanSpeakerAlignment(distances);
  switch (plan.error) {
    case cp::AlignmentError::None:
      break;
    case cp::AlignmentError::NoDistance:
      Error("no channel has a distance; nothing to align");
      return kBadUsage;
    case cp::AlignmentError::BadDistance:
      Error(Printf("CH%d: a distance is 0..%.0f m", plan.badChannel + 1, cp::kMaxSpeakerDistanceM));
      return kBadUsage;
    case cp::AlignmentError::BadRange:
      return kFailed;
  }

  if (!target.file.empty()) {
    SettingsFile file;
    if (!ReadSettingsFile(target.file, file)) return kFailed;
    // A model on a link that is not open: the delays land in the image.
    core::link::Link noLink;
    cp::ParamModel model(noLink);
    model.SetImage(file.image);
    model.DecodeImage();
    for (int c = 0; c < cp::kAlignChannelCount; ++c) {
      if (plan.channels[c].aligned) model.SetParam(cp::OutputDelay(c), plan.channels[c].delayMs);
    }
    file.image = model.Image();
    const std::string& path = output.empty() ? target.file : output;
    if (!WriteSettingsFile(path, file)) return kFailed;
    const int done = Print(plan, "in " + path);
    for (int c = 0; c < cp::kAlignChannelCount; ++c) {
      // The delay does nothing while the channel's delay switch is off.
      if (plan.channels[c].aligned && model.Mirror(cp::OutputDelayOff(c)).AsInt() != 0) {
        std::cout << Printf("  note: CH%d's delay switch is off", c + 1) << "\n";
      }
    }
    return done;
  }

  Connection c(target.host);
  if (!c.Connect() || !c.Identify()) return kFailed;
  // Every delay is sent, whatever the processor holds: this tool has not
  // read its image. Each send waits for the answer to the one before.
  for (int ch = 0; ch < cp::kAlignChannelCount; ++ch) {
    if (!plan.channels[ch].aligned) continue;
    c.session().Params().SetParam(cp::OutputDelay(ch), plan.channels[ch].delayMs);
    if (!c.session().IsOpen() || c.session().ConsecutiveReplyTimeouts() > 0) {
      return c.Failed(Printf("delay of CH%d", ch + 1)), kFailed;
    }
  }
  if (!c.session().IsOpen() || !c.session().AwaitLastAnswer(kAnswerWait)) {
    return c.Failed("delays"), kFailed;
  }
  return Print(plan, "on " + c.Where());
}

}  // namespace cli
