// Runs the dsptuner-sim binary as a user would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "sim/processor_sim.h"
#include "sim/sim_tcp_server.h"
#include "test_client.h"

extern char** environ;

namespace sim {
namespace {

using std::chrono::milliseconds;

// A started dsptuner-sim with its stdout and stderr on pipes.
class SimProcess {
 public:
  explicit SimProcess(const std::vector<std::string>& args) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    std::vector<std::string> all = {DSPTUNER_SIM_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, DSPTUNER_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~SimProcess() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      Wait();
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }

  bool Started() const { return pid_ > 0; }
  void Signal(int sig) { ::kill(pid_, sig); }

  // The first line on stdout, or what came before the timeout.
  std::string FirstLine(milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    std::string line;
    while (line.find('\n') == std::string::npos) {
      const auto left =
          std::chrono::duration_cast<milliseconds>(end - std::chrono::steady_clock::now()).count();
      pollfd p{out_, POLLIN, 0};
      if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char buf[256];
      const ssize_t n = ::read(out_, buf, sizeof buf);
      if (n <= 0) break;
      line.append(buf, static_cast<std::size_t>(n));
    }
    return line;
  }

  // Waits for the exit; its code, or -1 after a signal.
  int Wait() {
    int status = 0;
    if (::waitpid(pid_, &status, 0) != pid_) return -1;
    exited_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string Rest(int fd) {
    std::string s;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) s.append(buf, static_cast<std::size_t>(n));
    return s;
  }
  std::string Stdout() { return Rest(out_); }
  std::string Stderr() { return Rest(err_); }

 private:
  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
  bool exited_ = false;
};

TEST(SimCli, ServesUntilTerminated) {
  for (int sig : {SIGTERM, SIGINT}) {
    SimProcess p({"--port", "0", "--model", "XR9", "--protocol", "19", "--heartbeat-ms", "0"});
    ASSERT_TRUE(p.Started());
    const std::string line = p.FirstLine(milliseconds(5000));
    const auto colon = line.rfind(':');
    ASSERT_NE(colon, std::string::npos) << line;
    EXPECT_NE(line.find("listening on 127.0.0.1:"), std::string::npos) << line;
    const int port = std::stoi(line.substr(colon + 1));
    ASSERT_GT(port, 0) << line;

    testing::TestClient client;
    ASSERT_TRUE(client.Connect(static_cast<std::uint16_t>(port)));
    ASSERT_TRUE(
        client.Send(testing::Concat({testing::Envelope({0x80}), testing::Envelope({0x7F})})));
    const auto got = client.ReadAnswers(2);
    ASSERT_EQ(got.answers.size(), 2u);
    EXPECT_EQ(std::string(got.answers[0].begin() + 1, got.answers[0].begin() + 4), "XR9");
    EXPECT_EQ(got.answers[1][1], 19);

    p.Signal(sig);
    EXPECT_EQ(p.Wait(), 0) << "signal " << sig;
    EXPECT_TRUE(client.WaitClosed(milliseconds(1000)));
  }
}

TEST(SimCli, HelpAndBadUsage) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
  };
  for (const Case& c : {Case{{"--help"}, 0}, Case{{"--port", "x"}, 2}, Case{{"--port", "70000"}, 2},
                        Case{{"--bind", "not-an-address"}, 2}, Case{{"--heartbeat-ms", "-5"}, 2},
                        Case{{"--silent-after-ms", "-2"}, 2}, Case{{"--protocol", "300"}, 2},
                        Case{{"--no-such-option"}, 2}, Case{{"stray"}, 2}}) {
    SimProcess p(c.args);
    ASSERT_TRUE(p.Started());
    EXPECT_EQ(p.Wait(), c.exitCode) << c.args[0];
    if (c.exitCode == 0) {
      const std::string help = p.Stdout();
      for (const char* option :
           {"--port", "--bind", "--model", "--protocol", "--heartbeat-ms", "--latency-ms",
            "--silent-after-ms", "--bad-checksum-every", "--drop-every"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
      }
    }
  }
}

TEST(SimCli, PortInUseFails) {
  ProcessorSim sim;
  SimTcpServer holder(sim);
  std::string error;
  ASSERT_TRUE(holder.Start(error)) << error;
  SimProcess p({"--port", std::to_string(holder.Port())});
  ASSERT_TRUE(p.Started());
  EXPECT_EQ(p.Wait(), 1);
  const std::string err = p.Stderr();
  EXPECT_NE(err.find("cannot listen on 127.0.0.1:" + std::to_string(holder.Port())),
            std::string::npos)
      << err;
}

}  // namespace
}  // namespace sim
