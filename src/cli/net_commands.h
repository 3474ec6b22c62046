#pragma once

#include <cstdint>
#include <string>

namespace cli {

inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadUsage = 2;

// Where a command finds its processor: a TCP host, or USB.
struct HostPort {
  std::string host;
  std::uint16_t port = 0;
  bool usb = false;
};

// "HOST" or "HOST:PORT"; the port defaults to the processor's 30303.
bool ParseHostPort(const std::string& text, HostPort& out, std::string& error);

// Each returns an exit code and prints its errors on stderr.
int InfoCommand(const HostPort& host, bool json);
int ReadCommand(const HostPort& host, const std::string& path);

// Where `write` stores the settings after sending them: by default the
// device mode the file's name begins with (m1..m4), none for other names.
struct WriteOptions {
  int slot = 0;          // 1..4 (M1..M4) overrides the name; 0 keeps the name rule
  bool noStore = false;  // store into no device mode
};
int WriteCommand(const HostPort& host, const std::string& path, const WriteOptions& options);
int SetCommand(const HostPort& host, int module, int param, const std::string& value);
int ModeCommand(const HostPort& host, const std::string& action, int slot);

// Lists the processors on USB; says why when none can be used.
int ScanCommand();
// Prints the udev rule that lets the logged-in user open the processor.
int UdevRulesCommand();

// The learnt remote-control keys: saved after a read-all into a remote data
// file (the name takes the extension "remo"), or sent from one (0x63).
int RemoteReadCommand(const HostPort& host, const std::string& path);
int RemoteApplyCommand(const HostPort& host, const std::string& path);

}  // namespace cli
