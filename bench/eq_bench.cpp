// Equaliser figures: one band's response at the 512 plot points, a whole
// 15-band curve (every band recomputed and summed), the small preview's
// band curve and tenth-of-a-dB sum, and resending an output channel's
// equaliser (26 frames) against a recording transport that answers at once.
#include <benchmark/benchmark.h>

#include "core/link/recording_transport.h"
#include "core/params/biquad.h"
#include "core/params/eq_band_set.h"
#include "core/params/small_eq.h"
#include "core/session.h"

namespace {

using namespace core::params;

constexpr int kPlotWidth = 900;

void BM_Coefficients(benchmark::State& state) {
  double f = 1000.0;
  for (auto _ : state) {
    Biquad c = ComputeBiquad(6.0, f, 1.41, 0.0, kEqSampleRate, 1);
    benchmark::DoNotOptimize(c);
    f = f < 20000.0 ? f + 1.0 : 20.0;
  }
}
BENCHMARK(BM_Coefficients);

void BM_BandResponse512(benchmark::State& state) {
  const EqResponseAxis axis = MakeEqResponseAxis(kPlotWidth);
  EqResponse out{};
  const int type = static_cast<int>(state.range(0));
  float f = 1000.0f;
  for (auto _ : state) {
    ComputeBandResponse(axis, type, f, 6.0f, 1.41f, out);
    benchmark::DoNotOptimize(out.data());
    f = f < 20000.0f ? f + 1.0f : 20.0f;
  }
}
BENCHMARK(BM_BandResponse512)->Arg(1)->Arg(6)->Arg(18);

// What one drag step costs on the panel: set a band's gain (one response)
// and sum the curve.
void BM_PanelDragStep(benchmark::State& state) {
  EqBandSet set;
  set.SetPlotWidth(kPlotWidth);
  set.SetEqKind(0);
  float g = 0.0f;
  for (auto _ : state) {
    set.SetBandGain(g, 7);
    EqResponse sum = set.SummedResponse();
    benchmark::DoNotOptimize(sum.data());
    g = g < 15.0f ? g + 0.1f : -15.0f;
  }
}
BENCHMARK(BM_PanelDragStep);

void BM_WholeFifteenBandSet(benchmark::State& state) {
  EqBandSet set;
  set.SetPlotWidth(kPlotWidth);
  set.SetEqKind(0);
  for (int i = 0; i < 15; ++i) set.SetBandGain(static_cast<float>(i % 7) - 3.0f, i);
  for (auto _ : state) {
    for (int i = 0; i < set.BandCount(); ++i) set.RecomputeBand(i);
    EqResponse sum = set.SummedResponse();
    benchmark::DoNotOptimize(sum.data());
  }
}
BENCHMARK(BM_WholeFifteenBandSet);

void BM_WholeSetFromNewWidth(benchmark::State& state) {
  EqBandSet set;
  set.SetEqKind(0);
  int width = kPlotWidth;
  for (auto _ : state) {
    set.SetPlotWidth(width);  // a resize: new axis and every response
    width = width == kPlotWidth ? kPlotWidth + 1 : kPlotWidth;
  }
}
BENCHMARK(BM_WholeSetFromNewWidth);

// One band of the small preview changed: its 56-point curve and the sum.
void BM_SmallPanelBandAndSum(benchmark::State& state) {
  SmallEqModel m;
  m.SetSize(120, 60);
  float g = 0.0f;
  for (auto _ : state) {
    m.SetBandGain(3, g);
    benchmark::DoNotOptimize(m.SumTenths().data());
    g = g < 15.0f ? g + 0.1f : -15.0f;
  }
}
BENCHMARK(BM_SmallPanelBandAndSum);

void BM_SmallPanelAllBands(benchmark::State& state) {
  SmallEqModel m;
  int w = 120;
  for (auto _ : state) {
    m.SetSize(w, 60);  // all seven curves and the sum
    benchmark::DoNotOptimize(m.SumTenths().data());
    w = w == 120 ? 121 : 120;
  }
}
BENCHMARK(BM_SmallPanelAllBands);

void BM_SendWholeEqOutput(benchmark::State& state) {
  core::Session session;
  core::link::RecordingTransport usb{core::link::LinkType::Usb};
  session.Link().SetTransport(core::link::LinkType::Usb, &usb);
  session.Link().State().open = true;
  usb.SetOnWrite([&](const auto&) { session.Link().ReplyReceived(); });
  for (auto _ : state) {
    session.Eq().SendWholeEq(7);
    usb.Clear();
  }
  state.counters["frames"] = 26;
  session.Link().State().open = false;
}
BENCHMARK(BM_SendWholeEqOutput);

}  // namespace

BENCHMARK_MAIN();
