#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "core/session.h"
#include "sim/processor_sim.h"
#include "sim/sim_tcp_server.h"

namespace e2e {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

// What the link reports, counted.
struct EventLog final : core::link::LinkEvents {
  void SyncDone(int afterWrite) override { (afterWrite ? writeDone : readDone)++; }
  void LinkLost() override { ++lost; }
  void HostBusy() override { ++busy; }
  std::atomic<int> readDone{0}, writeDone{0}, lost{0}, busy{0};
};

// Waits up to `timeout` for `done()`.
template <typename F>
bool WaitFor(F done, std::chrono::milliseconds timeout = 5000ms) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// How long `f()` takes.
template <typename F>
std::chrono::steady_clock::duration TimeOf(F f) {
  const auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::steady_clock::now() - t0;
}

// A simulated processor on a loopback port and a session connected to it.
class SimFixture : public ::testing::Test {
 protected:
  void StartServer(sim::ServerOptions options = {}) {
    server = std::make_unique<sim::SimTcpServer>(processor, options);
    std::string error;
    ASSERT_TRUE(server->Start(error)) << error;
  }
  void Connect() {
    if (!server) StartServer();
    session.Link().SetEvents(&events);
    session.Link().State().networkMode = true;
    ASSERT_EQ(session.Tcp().TcpConnect("127.0.0.1", server->Port()), core::link::kTcpConnected);
    ASSERT_TRUE(WaitFor([&] { return server->HasClient(); }));
  }
  // The requests the processor got, without the read-all's identity part
  // when `from` is given.
  std::vector<Bytes> Requests() { return processor.Requests(); }

  sim::ProcessorSim processor;
  std::unique_ptr<sim::SimTcpServer> server;
  EventLog events;
  core::Session session;
};

}  // namespace e2e
