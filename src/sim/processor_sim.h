#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/link/device_records.h"
#include "core/params/device_image.h"

namespace sim {

using Bytes = std::vector<std::uint8_t>;

inline constexpr int kModeCount = 4;
inline constexpr std::size_t kTextAnswerSize = 32;  // version and model texts are padded to this
inline constexpr std::size_t kMaxTextSize = 58;     // and cut here
inline constexpr std::size_t kRemoteKeysAnswerSize = 16;
inline constexpr int kFirstLearnKey = 1;
inline constexpr int kLastLearnKey = 25;

// Who the simulated processor says it is, and how it behaves.
struct ProcessorOptions {
  std::string modelName = "NR620";
  std::string dspVersion = "2016-11-30";
  std::string mcuVersion = "2016-10-03";
  std::uint8_t protocolVersion = 20;
  // Answer 0x7F after the protocol byte and its zero: a 32-bit board word
  // and a 16-bit word. Some processors start the board word with 0x55.
  core::link::BoardInfo board = {0x00, 0x01, 0x16, 0x11, 0x02, 0x30};
  std::uint8_t streamFormat = 2;  // low nibble of status byte 7
  // How long learning one remote key takes before its answer goes out.
  std::chrono::milliseconds learnDelay{200};
  // Time since start-up, for the level meters. Empty: the steady clock
  // since the simulator was made. Called with the simulator's lock held,
  // so it must not call back into the simulator.
  std::function<std::chrono::milliseconds()> clock;
};

// One answer body (command, payload) and how long after the request it is
// due. The transport adds its own prefix and latency.
struct SimAnswer {
  Bytes body;
  std::chrono::milliseconds delay{0};
  friend bool operator==(const SimAnswer&, const SimAnswer&) = default;
};

// What the simulator has seen and done since it was made.
struct SimCounters {
  std::size_t requests = 0;           // bodies handled, plug frames included
  std::size_t answers = 0;            // answers produced
  std::size_t paramsStored = 0;       // 0x09 frames written into a record
  std::size_t paramsIgnored = 0;      // 0x09 frames without a record (equaliser bands)
  std::size_t unknownCommands = 0;    // answered with the bare command
  std::size_t disconnectNotices = 0;  // 0x8A
  std::size_t factoryResets = 0;
  std::size_t plugFrames = 0;  // smart-plug pass-through bodies
  friend bool operator==(const SimCounters&, const SimCounters&) = default;
};

// The processor's firmware in software, without a transport: a request
// body (command, payload) in, at most one answer body out. Every member is
// safe to call from any thread.
class ProcessorSim {
 public:
  explicit ProcessorSim(ProcessorOptions options = {});
  ProcessorSim(const ProcessorSim&) = delete;
  ProcessorSim& operator=(const ProcessorSim&) = delete;

  // Handles one request body. Nothing for the disconnect notice and for an
  // empty body.
  std::optional<SimAnswer> Handle(std::span<const std::uint8_t> body);
  // A smart-plug pass-through body (TCP prefix 0x80): logged and counted;
  // no plug controller answers yet.
  std::optional<SimAnswer> HandlePlugFrame(std::span<const std::uint8_t> body);

  // State, as copies.
  core::params::DeviceImage Image() const;
  core::params::DeviceImage ModeImage(int mode) const;  // mode clamped to 0..3
  int CurrentMode() const;
  std::optional<int> NamedSlot() const;  // the last 0x03 slot
  core::link::MachineSettings Settings() const;
  core::link::RemoteKeyTable RemoteKeys() const;
  std::vector<Bytes> Requests() const;  // every body received, in order
  SimCounters Counters() const;
  ProcessorOptions Options() const;

  // For tests and demos.
  void SetImage(const core::params::DeviceImage& image);
  void ClearRequests();
  void SetProtocolVersion(std::uint8_t version);
  void SetBoard(const core::link::BoardInfo& board);

  // The factory machine settings: bytes 5 and 6 at 0x63.
  static core::link::MachineSettings DefaultSettings();
  // The code a learnt key reads back as.
  static std::uint8_t LearntCode(int key);

 private:
  std::optional<SimAnswer> HandleLocked(std::span<const std::uint8_t> body);
  void StoreParam(std::span<const std::uint8_t> payload);
  Bytes ReadBlock(std::span<const std::uint8_t> payload) const;
  void WriteBlock(std::span<const std::uint8_t> payload, std::size_t limit);
  Bytes Status() const;
  Bytes Text(std::uint8_t command, const std::string& text) const;
  void FactoryReset();
  std::chrono::milliseconds Now() const;

  mutable std::mutex mutex_;
  ProcessorOptions options_;
  std::chrono::steady_clock::time_point started_;
  core::params::DeviceImage image_{};
  std::array<core::params::DeviceImage, kModeCount> modes_{};
  int currentMode_ = 0;
  std::optional<int> namedSlot_;
  core::link::MachineSettings settings_{};
  core::link::RemoteKeyTable remoteKeys_{};
  std::vector<Bytes> requests_;
  SimCounters counters_;
};

// Where the record of (module, param) keeps its words in the image: the
// offset of its first word and its word count. Nothing when the image has
// no such record.
struct RecordPlace {
  std::size_t offset = 0;
  std::size_t words = 0;
};
std::optional<RecordPlace> FindRecordPlace(int module, int param);

}  // namespace sim
