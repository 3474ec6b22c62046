#include "ui/app/demo_processor.h"

#include "sim/processor_sim.h"
#include "sim/sim_tcp_server.h"

namespace ui {

DemoProcessor::DemoProcessor()
    : processor_(std::make_unique<sim::ProcessorSim>()),
      server_(std::make_unique<sim::SimTcpServer>(*processor_)) {}

DemoProcessor::~DemoProcessor() { server_->Stop(); }

bool DemoProcessor::Start(std::string& error) { return server_->Start(error); }
std::uint16_t DemoProcessor::Port() const { return server_->Port(); }

}  // namespace ui
