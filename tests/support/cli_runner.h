#pragma once

// Runs the dsptunectl binary as a user would, for the tests of the tool.
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testcli {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Result {
  int exitCode;  // -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

inline std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline Bytes FileBytes(const fs::path& p) {
  const std::string s = Slurp(p);
  return Bytes(s.begin(), s.end());
}

inline void WriteFile(const fs::path& p, const Bytes& bytes) {
  std::ofstream(p, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Quoted for the shell.
inline std::string Q(const fs::path& p) { return "'" + p.string() + "'"; }

// `tool ARGS` through the shell with no input; its output is captured in
// files of `dir`.
inline Result Run(const std::string& tool, const fs::path& dir, const std::string& args) {
  const fs::path out = dir / "stdout", err = dir / "stderr";
  const std::string cmd =
      tool + " " + args + " >" + Q(out) + " 2>" + Q(err) + " </dev/null";
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
}

}  // namespace testcli
