#include "sim/processor_sim.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/link/commands.h"
#include "core/params/param_table.h"

namespace sim {
namespace {

namespace cmd = core::link::cmd;
using core::params::kImageSize;

// Status record layout (answer 0x0E).
constexpr std::size_t kMeterCount = 6;
constexpr std::size_t kFormatPitchByte = 7;
constexpr std::size_t kChipCodesOffset = 16;
constexpr std::array<std::uint8_t, 7> kChipCodes = {0x42, 0x35, 0x13, 0x24, 0x10, 0x86, 0x01};
constexpr double kMeterPeriodMs = 4000.0;
constexpr int kMaxPitchNibble = 10;  // pitch -5..+5, stored plus 5

constexpr std::size_t kMaxReadBlock = 56;
constexpr std::size_t kParamHeaderSize = 4;  // 00, module, param, count

std::size_t Offset(std::uint8_t hi, std::uint8_t lo) {
  return std::size_t{hi} * 256 + lo;
}

}  // namespace

std::optional<RecordPlace> FindRecordPlace(int module, int param) {
  const core::params::ImageRecord* r = core::params::FindImageRecord(module, param);
  if (r == nullptr) return std::nullopt;
  return RecordPlace{r->FirstWord(), r->words};
}

ProcessorSim::ProcessorSim(ProcessorOptions options)
    : options_(std::move(options)), started_(std::chrono::steady_clock::now()) {
  FactoryReset();
}

core::link::MachineSettings ProcessorSim::DefaultSettings() {
  return {0x00, 0x01, 0x00, 0x00, 0x00, 0x63, 0x63, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
}

std::uint8_t ProcessorSim::LearntCode(int key) {
  return static_cast<std::uint8_t>(0xA0 + key);
}

void ProcessorSim::FactoryReset() {
  core::params::BuildDefaultImage(image_);
  modes_.fill(image_);
  settings_ = DefaultSettings();
}

std::chrono::milliseconds ProcessorSim::Now() const {
  if (options_.clock) return options_.clock();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               started_);
}

std::optional<SimAnswer> ProcessorSim::Handle(std::span<const std::uint8_t> body) {
  std::lock_guard lock(mutex_);
  requests_.emplace_back(body.begin(), body.end());
  ++counters_.requests;
  auto answer = HandleLocked(body);
  if (answer) ++counters_.answers;
  return answer;
}

std::optional<SimAnswer> ProcessorSim::HandlePlugFrame(std::span<const std::uint8_t> body) {
  std::lock_guard lock(mutex_);
  requests_.emplace_back(body.begin(), body.end());
  ++counters_.requests;
  ++counters_.plugFrames;
  return std::nullopt;
}

std::optional<SimAnswer> ProcessorSim::HandleLocked(std::span<const std::uint8_t> body) {
  if (body.empty()) return std::nullopt;
  const std::uint8_t command = body[0];
  const auto payload = body.subspan(1);
  auto arg = [&](std::size_t i) -> std::uint8_t { return i < payload.size() ? payload[i] : 0; };
  auto slot = [&] { return std::min<int>(arg(0), kModeCount - 1); };
  SimAnswer answer{{command}, {}};

  switch (command) {
    case cmd::kNameModeSlot:
      namedSlot_ = arg(0);
      break;
    case cmd::kStoreMode:
      currentMode_ = slot();
      modes_[currentMode_] = image_;
      break;
    case cmd::kLoadModeMenu:
    case cmd::kLoadModeButton:
      currentMode_ = slot();
      image_ = modes_[currentMode_];
      break;
    case cmd::kGetMode:
      answer.body.push_back(static_cast<std::uint8_t>(currentMode_));
      break;
    case cmd::kParam:
      StoreParam(payload);
      break;
    case cmd::kGetStatus: {
      const Bytes status = Status();
      answer.body.insert(answer.body.end(), status.begin(), status.end());
      break;
    }
    case cmd::kImageRead: {
      const Bytes block = ReadBlock(payload);
      answer.body.insert(answer.body.end(), block.begin(), block.end());
      break;
    }
    case cmd::kImageWrite:
      WriteBlock(payload, kImageSize);
      break;
    case cmd::kImageWriteEnd:
    case cmd::kEndLearn:
      break;
    case cmd::kLearnKey: {
      const int key = arg(0);
      const bool valid = key >= kFirstLearnKey && key <= kLastLearnKey;
      const std::uint8_t code = valid ? LearntCode(key) : 0;
      if (valid) remoteKeys_[static_cast<std::size_t>(key)] = code;
      answer.body.insert(answer.body.end(),
                         {static_cast<std::uint8_t>(valid ? 1 : 0), arg(0), code});
      answer.delay = options_.learnDelay;
      break;
    }
    case cmd::kGetRemoteKeys:
      answer.body.insert(answer.body.end(), remoteKeys_.begin(),
                         remoteKeys_.begin() + kRemoteKeysAnswerSize);
      break;
    case cmd::kApplyRemoteKeys:
      std::copy_n(payload.begin(), std::min(payload.size(), remoteKeys_.size()),
                  remoteKeys_.begin());
      break;
    case cmd::kFactoryReset:
      if (arg(0) == cmd::kFactoryResetKey) {
        FactoryReset();
        ++counters_.factoryResets;
      }
      break;
    case cmd::kGetDspVersion:
      answer.body = Text(command, options_.dspVersion);
      break;
    case cmd::kGetMcuVersion:
      answer.body = Text(command, options_.mcuVersion);
      break;
    case cmd::kGetModelName:
      answer.body = Text(command, options_.modelName);
      break;
    case cmd::kGetProtocol:
      answer.body.push_back(options_.protocolVersion);
      answer.body.push_back(0);
      answer.body.insert(answer.body.end(), options_.board.begin(), options_.board.end());
      break;
    case cmd::kStoreWrite:
      WriteBlock(payload, core::params::kStoreDecodedSize);
      break;
    case cmd::kDisconnect:
      ++counters_.disconnectNotices;
      return std::nullopt;
    case cmd::kWriteMachineSettings:
      std::copy_n(payload.begin(), std::min(payload.size(), settings_.size()), settings_.begin());
      break;
    case cmd::kGetMachineSettings:
      answer.body.insert(answer.body.end(), settings_.begin(), settings_.end());
      break;
    default:
      ++counters_.unknownCommands;
      break;
  }
  return answer;
}

void ProcessorSim::StoreParam(std::span<const std::uint8_t> payload) {
  if (payload.size() < kParamHeaderSize) {
    ++counters_.paramsIgnored;
    return;
  }
  const auto place = FindRecordPlace(payload[1], payload[2]);
  if (!place) {
    ++counters_.paramsIgnored;
    return;
  }
  const std::size_t sentWords = (payload.size() - kParamHeaderSize) / 4;
  const std::size_t words = std::min({std::size_t{payload[3]}, sentWords, place->words});
  std::copy_n(payload.begin() + kParamHeaderSize, 4 * words, image_.begin() + place->offset);
  ++counters_.paramsStored;
}

Bytes ProcessorSim::ReadBlock(std::span<const std::uint8_t> payload) const {
  if (payload.size() < 3) return {};
  const std::size_t offset = Offset(payload[0], payload[1]);
  const std::size_t available = offset < kImageSize ? kImageSize - offset : 0;
  const std::size_t n = std::min({std::size_t{payload[2]}, kMaxReadBlock, available});
  Bytes out = {payload[0], payload[1], static_cast<std::uint8_t>(n)};
  out.insert(out.end(), image_.begin() + offset, image_.begin() + offset + n);
  return out;
}

void ProcessorSim::WriteBlock(std::span<const std::uint8_t> payload, std::size_t limit) {
  if (payload.size() < 3) return;
  const std::size_t offset = Offset(payload[0], payload[1]);
  if (offset >= limit) return;
  const auto data = payload.subspan(3);
  const std::size_t n = std::min({std::size_t{payload[2]}, data.size(), limit - offset});
  std::copy_n(data.begin(), n, image_.begin() + offset);
}

Bytes ProcessorSim::Status() const {
  Bytes status(core::link::DeviceStatus{}.size(), 0);
  const double t = static_cast<double>(Now().count());
  for (std::size_t i = 0; i < kMeterCount; ++i) {
    const double phase =
        2.0 * std::numbers::pi * (t / kMeterPeriodMs + static_cast<double>(i) / 6.0);
    status[i] = static_cast<std::uint8_t>(std::lround(127.5 + 127.5 * std::sin(phase)));
  }
  const int pitchNibble = std::min<int>(image_[core::params::kPitchByteOffset], kMaxPitchNibble);
  status[kFormatPitchByte] =
      static_cast<std::uint8_t>((pitchNibble << 4) | (options_.streamFormat & 0x0F));
  std::copy(kChipCodes.begin(), kChipCodes.end(), status.begin() + kChipCodesOffset);
  return status;
}

Bytes ProcessorSim::Text(std::uint8_t command, const std::string& text) const {
  const std::size_t n = std::min(text.size(), kMaxTextSize);
  Bytes out(1 + std::max(n, kTextAnswerSize), 0);
  out[0] = command;
  std::copy_n(text.begin(), n, out.begin() + 1);
  return out;
}

core::params::DeviceImage ProcessorSim::Image() const {
  std::lock_guard lock(mutex_);
  return image_;
}

core::params::DeviceImage ProcessorSim::ModeImage(int mode) const {
  std::lock_guard lock(mutex_);
  return modes_[static_cast<std::size_t>(std::clamp(mode, 0, kModeCount - 1))];
}

int ProcessorSim::CurrentMode() const {
  std::lock_guard lock(mutex_);
  return currentMode_;
}

std::optional<int> ProcessorSim::NamedSlot() const {
  std::lock_guard lock(mutex_);
  return namedSlot_;
}

core::link::MachineSettings ProcessorSim::Settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

core::link::RemoteKeyTable ProcessorSim::RemoteKeys() const {
  std::lock_guard lock(mutex_);
  return remoteKeys_;
}

std::vector<Bytes> ProcessorSim::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

SimCounters ProcessorSim::Counters() const {
  std::lock_guard lock(mutex_);
  return counters_;
}

ProcessorOptions ProcessorSim::Options() const {
  std::lock_guard lock(mutex_);
  return options_;
}

void ProcessorSim::SetImage(const core::params::DeviceImage& image) {
  std::lock_guard lock(mutex_);
  image_ = image;
}

void ProcessorSim::ClearRequests() {
  std::lock_guard lock(mutex_);
  requests_.clear();
}

void ProcessorSim::SetProtocolVersion(std::uint8_t version) {
  std::lock_guard lock(mutex_);
  options_.protocolVersion = version;
}

void ProcessorSim::SetBoard(const core::link::BoardInfo& board) {
  std::lock_guard lock(mutex_);
  options_.board = board;
}

}  // namespace sim
