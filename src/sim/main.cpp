// dsptuner-sim: a processor in software, listening on TCP, for demos and
// for testing the application without hardware.
#include <pthread.h>

#include <CLI/CLI.hpp>
#include <climits>
#include <csignal>
#include <iostream>
#include <string>

#include "core/link/tcp_link.h"
#include "sim/processor_sim.h"
#include "sim/sim_tcp_server.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"dsptuner-sim - a simulated audio processor that dsptuner can connect to over TCP"};
  sim::ProcessorOptions processor;
  sim::ServerOptions server;
  server.port = core::link::kDefaultTcpPort;
  int port = server.port;
  int protocol = processor.protocolVersion;

  app.add_option("--port", port, "TCP port to listen on (0: any free port)")
      ->capture_default_str()
      ->check(CLI::Range(0, 65535));
  app.add_option("--bind", server.bindAddress, "IPv4 address to listen on")
      ->capture_default_str()
      ->check(CLI::ValidIPV4);
  app.add_option("--model", processor.modelName, "Model name the processor reports")
      ->capture_default_str();
  app.add_option("--protocol", protocol, "Protocol version the processor reports")
      ->capture_default_str()
      ->check(CLI::Range(0, 255));
  app.add_option("--heartbeat-ms", server.heartbeatMs,
                 "Idle time before a heartbeat is sent (0: never)")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  app.add_option("--latency-ms", server.latencyMs, "Delay before every answer")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  app.add_option("--silent-after-ms", server.silentAfterMs,
                 "Send nothing once a connection is this old (-1: never)")
      ->capture_default_str()
      ->check(CLI::Range(-1, INT_MAX));
  app.add_option("--bad-checksum-every", server.badChecksumEvery,
                 "Corrupt the checksum of every Nth answer (0: never)")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);
  app.add_option("--drop-every", server.dropEvery, "Leave out every Nth answer (0: never)")
      ->capture_default_str()
      ->check(CLI::NonNegativeNumber);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int code = app.exit(e);
    return code == 0 ? kDone : kBadUsage;
  }
  server.port = static_cast<std::uint16_t>(port);
  processor.protocolVersion = static_cast<std::uint8_t>(protocol);

  // The signals are taken by sigwait below; the server thread inherits the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  sim::ProcessorSim sim(processor);
  sim::SimTcpServer tcp(sim, server);
  std::string error;
  if (!tcp.Start(error)) {
    std::cerr << "dsptuner-sim: " << error << "\n";
    return kFailed;
  }
  std::cout << "dsptuner-sim: " << processor.modelName << " (protocol " << protocol
            << ") listening on " << server.bindAddress << ":" << tcp.Port() << std::endl;

  int received = 0;
  sigwait(&signals, &received);
  tcp.Stop();
  return kDone;
}
