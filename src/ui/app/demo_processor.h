#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace sim {
class ProcessorSim;
class SimTcpServer;
}  // namespace sim

namespace ui {

// The processor of `dsptuner --demo`: the simulator on a free loopback port.
class DemoProcessor {
 public:
  DemoProcessor();
  ~DemoProcessor();

  // False, with the reason, when the server could not start.
  bool Start(std::string& error);
  std::uint16_t Port() const;
  sim::ProcessorSim& Processor() { return *processor_; }
  sim::SimTcpServer& Server() { return *server_; }

 private:
  std::unique_ptr<sim::ProcessorSim> processor_;
  std::unique_ptr<sim::SimTcpServer> server_;
};

}  // namespace ui
