#pragma once

#include <cstdint>
#include <string>

namespace cli {

inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kBadUsage = 2;

struct HostPort {
  std::string host;
  std::uint16_t port = 0;
};

// "HOST" or "HOST:PORT"; the port defaults to the processor's 30303.
bool ParseHostPort(const std::string& text, HostPort& out, std::string& error);

// Each returns an exit code and prints its errors on stderr.
int InfoCommand(const HostPort& host, bool json);
int ReadCommand(const HostPort& host, const std::string& path);
int WriteCommand(const HostPort& host, const std::string& path);
int SetCommand(const HostPort& host, int module, int param, const std::string& value);
int ModeCommand(const HostPort& host, const std::string& action, int slot);

}  // namespace cli
