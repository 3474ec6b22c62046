// Link figures against the in-process simulator over loopback:
//  1. edit latency: SetParam call until the frame reached the simulator,
//     p50 and p99 over 2000 edits on an idle link;
//  2. read-all wall time, and the transfer alone without the run's pauses;
//  3. a slider flood: 10 000 edits of one parameter spread over one second,
//     the frames that reached the simulator, and the time from the last
//     call until the last value had arrived.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/params/named_params.h"
#include "core/session.h"
#include "sim/processor_sim.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_tcp_server.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Us(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Events final : core::link::LinkEvents {
  void SyncDone(int) override { ++done; }
  std::atomic<int> done{0};
};

template <typename F>
void SpinUntil(F ready) {
  while (!ready()) std::this_thread::yield();
}

}  // namespace

int main() {
  sim::ProcessorSim processor;
  sim::ServerOptions options;
  options.heartbeatMs = 0;
  sim::SimTcpServer server(processor, options);
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "link_bench: %s\n", error.c_str());
    return 1;
  }
  core::Session session;
  Events events;
  session.Link().SetEvents(&events);
  session.Link().State().networkMode = true;
  if (session.Tcp().TcpConnect("127.0.0.1", server.Port()) != core::link::kTcpConnected) {
    std::fprintf(stderr, "link_bench: cannot connect\n");
    return 1;
  }
  auto& reply = session.Link().State().replyEvent;

  // 1. Edit latency on an idle link (the write queue path, as the pages use it).
  std::vector<double> latencies;
  latencies.reserve(2000);
  for (int i = 0; i < 2000; ++i) {
    SpinUntil([&] { return reply.IsSet(); });  // the previous answer is in
    reply.WaitFor(0ms);
    const std::size_t before = processor.Counters().requests;
    const auto t0 = Clock::now();
    session.Params().SetParam(core::params::kMicMasterVolume, i % 101);
    SpinUntil([&] { return processor.Counters().requests > before; });
    latencies.push_back(Us(Clock::now() - t0));
  }
  std::sort(latencies.begin(), latencies.end());
  const double p50 = latencies[latencies.size() / 2];
  const double p99 = latencies[latencies.size() * 99 / 100];
  std::printf("edit latency (SetParam to simulator), 2000 edits: p50 %.1f us, p99 %.1f us\n", p50,
              p99);

  // Round trip: a synchronous request and its answer.
  SpinUntil([&] { return reply.IsSet(); });
  session.Link().State().queueEnabled = false;
  std::vector<double> trips;
  for (int i = 0; i < 200; ++i) {
    reply.WaitFor(0ms);
    const auto t0 = Clock::now();
    session.Link().NetSend(std::vector<std::uint8_t>{0x81, 0x07});
    SpinUntil([&] { return reply.IsSet(); });
    trips.push_back(Us(Clock::now() - t0));
  }
  std::sort(trips.begin(), trips.end());
  const double rtt = trips[trips.size() / 2];
  std::printf("round trip (request to answer dispatched): p50 %.1f us\n", rtt);
  session.Link().State().queueEnabled = true;

  // 2. Read-all.
  const int doneBefore = events.done.load();
  auto t0 = Clock::now();
  session.Sync().StartReadAll();
  SpinUntil([&] { return events.done.load() > doneBefore; });
  const auto wall = Clock::now() - t0;
  session.Sync().WaitIdle(5s);
  session.Link().State().queueEnabled = false;
  t0 = Clock::now();
  session.Sync().ReadImageBlocks();
  session.Link().AwaitLastAnswer(2s);
  const auto transfer = Clock::now() - t0;
  session.Link().State().queueEnabled = true;
  std::printf("read-all: wall %.1f ms (with its 150 ms of pauses), 63-block transfer %.2f ms\n",
              Ms(wall), Ms(transfer));

  // 3. Slider flood: 10 000 steps of one parameter within one second.
  SpinUntil([&] { return reply.IsSet(); });
  processor.ClearRequests();
  const int kSteps = 10000;
  const auto start = Clock::now();
  for (int i = 0; i < kSteps; ++i) {
    std::this_thread::sleep_until(start + std::chrono::microseconds(100 * i));
    session.Params().SetParam(core::params::kEffectMasterVolume, i % 101);
  }
  const auto lastCall = Clock::now();
  const int lastValue = (kSteps - 1) % 101;
  const core::params::Word want = core::params::EncodePercent(lastValue);
  SpinUntil([&] {
    const auto image = processor.Image();
    return core::params::LoadBe32(image.data() + 1509) == want;
  });
  const auto arrived = Clock::now();
  std::size_t frames = 0;
  for (const auto& r : processor.Requests()) frames += !r.empty() && r[0] == 0x09;
  std::printf(
      "slider flood: %d edits in %.0f ms, %zu frames reached the simulator, last value arrived "
      "%.1f us after the last call (%.1f round trips)\n",
      kSteps, Ms(lastCall - start), frames, Us(arrived - lastCall), Us(arrived - lastCall) / rtt);
  session.Tcp().TcpClose(false);

  // 4. The same over USB, through the in-process HID device.
  sim::ProcessorSim usbProcessor;
  auto backend = std::make_unique<sim::SimHidBackend>(usbProcessor);
  core::Session usb(std::move(backend));
  Events usbEvents;
  usb.Link().SetEvents(&usbEvents);
  if (usb.Connect() != 1) {
    std::fprintf(stderr, "link_bench: cannot open the simulated USB device\n");
    return 1;
  }
  auto& usbReply = usb.Link().State().replyEvent;
  std::vector<double> usbLatencies;
  for (int i = 0; i < 2000; ++i) {
    SpinUntil([&] { return usbReply.IsSet(); });
    const std::size_t before = usbProcessor.Counters().requests;
    const auto u0 = Clock::now();
    // Waits for the previous answer, then writes.
    usb.Params().SetParam(core::params::kMicMasterVolume, i % 101);
    SpinUntil([&] { return usbProcessor.Counters().requests > before; });
    usbLatencies.push_back(Us(Clock::now() - u0));
  }
  std::sort(usbLatencies.begin(), usbLatencies.end());
  std::printf("USB edit latency, 2000 edits: p50 %.1f us, p99 %.1f us\n",
              usbLatencies[usbLatencies.size() / 2], usbLatencies[usbLatencies.size() * 99 / 100]);
  t0 = Clock::now();
  usb.Sync().ReadImageBlocks();
  usb.Link().AwaitLastAnswer(2s);
  std::printf("USB 63-block transfer %.2f ms\n", Ms(Clock::now() - t0));
  return 0;
}
