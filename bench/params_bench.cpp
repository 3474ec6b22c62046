// Parameter-model figures: one scalar edit (table scan, conversion, image
// write, frame build on a closed link), a whole-image decode, building the
// default image, and what the edit history adds to a gesture (two model
// snapshots and their comparison, the step kept).
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

void BM_ModelSnapshot(benchmark::State& state) {
  core::Session session;
  for (auto _ : state) {
    const core::params::ModelSnapshot snapshot = session.Params().Snapshot();
    benchmark::DoNotOptimize(snapshot.image.data());
  }
  state.counters["bytes"] = sizeof(core::params::ModelSnapshot);
}
BENCHMARK(BM_ModelSnapshot);

// A gesture of one scalar edit inside Begin/End, with the history full (500
// steps, the oldest dropped each time); minus BM_SetParamFirstRow it is what
// the history costs per gesture.
void BM_HistoryGestureOneEdit(benchmark::State& state) {
  core::Session session;
  int v = 0;
  for (auto _ : state) {
    core::params::EditHistory::Scope scope(session.History(), {});
    session.Params().SetParam(core::params::kMic1Volume, v++ % 101);
  }
}
BENCHMARK(BM_HistoryGestureOneEdit);

// Undo and redo of a one-edit step: the comparison is already done, only
// the replay sends.
void BM_HistoryUndoRedo(benchmark::State& state) {
  core::Session session;
  {
    core::params::EditHistory::Scope scope(session.History(), {});
    session.Params().SetParam(core::params::kMic1Volume, 42);
  }
  for (auto _ : state) {
    session.History().Undo();
    session.History().Redo();
  }
}
BENCHMARK(BM_HistoryUndoRedo);

}  // namespace

BENCHMARK_MAIN();
