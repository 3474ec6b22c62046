// Parameter-model figures: one scalar edit (table scan, conversion, image
// write, frame build on a closed link), a whole-image decode, and building
// the default image.
#include <benchmark/benchmark.h>

#include "core/params/device_image.h"
#include "core/params/named_params.h"
#include "core/session.h"

namespace {

void BM_SetParamFirstRow(benchmark::State& state) {
  core::Session session;
  int v = 0;
  for (auto _ : state) {
    session.Params().SetParam(core::params::kMic1Volume, v++ % 101);
  }
}
BENCHMARK(BM_SetParamFirstRow);

// The last row: the scan walks all 230 rows.
void BM_SetParamLastRow(benchmark::State& state) {
  core::Session session;
  int v = 0;
  for (auto _ : state) {
    session.Params().SetParam(core::params::kExciterOn, v++ & 1);
  }
}
BENCHMARK(BM_SetParamLastRow);

void BM_DecodeImage(benchmark::State& state) {
  core::Session session;
  for (auto _ : state) {
    session.Params().DecodeImage();
  }
}
BENCHMARK(BM_DecodeImage);

void BM_BuildDefaultImage(benchmark::State& state) {
  core::params::DeviceImage image{};
  for (auto _ : state) {
    core::params::BuildDefaultImage(image);
    benchmark::DoNotOptimize(image.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BuildDefaultImage);

}  // namespace

BENCHMARK_MAIN();
