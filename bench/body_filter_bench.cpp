// The body filter at its largest order, with the coefficients recomputed on
// every sample (refresh interval 1) or on every eighth (interval 8).
#include <benchmark/benchmark.h>

#include "engine/body_filter.h"
#include "engine/body_types.h"

namespace {

void BodyFilterProcessOrder30(benchmark::State& state) {
  engine::BodyFilter body(30);
  body.setOrder(30);
  body.setRefreshInterval(static_cast<int>(state.range(0)));
  body.loadCoefficients(engine::bodyTypeTable(1), 30, true);
  body.loadCoefficients(engine::bodyTypeTable(2), 30, false);
  // A sawtooth input keeps the filter state well away from denormal numbers.
  double morph = 0.0;
  double x = 0.0;
  for (auto _ : state) {
    morph = morph < 1.0 ? morph + 1e-5 : 0.0;
    x = x < 0.5 ? x + 0.01 : -0.5;
    const double y = body.process(x, 0.5, morph);
    benchmark::DoNotOptimize(y);
  }
}
BENCHMARK(BodyFilterProcessOrder30)->Arg(1)->Arg(8);

}  // namespace

namespace {

// Eight filters side by side, as the voices run them (argument 0: SSE2, 1: AVX).
void BodyFilterLanesOrder30(benchmark::State& state) {
  engine::BodyFilterLanes lanes(30);
  if (state.range(1) != 0 && !engine::BodyFilterLanes::avxAvailable()) {
    state.SkipWithError("no AVX");
    return;
  }
  lanes.setKernel(state.range(1) != 0 ? engine::BodyFilterLanes::Kernel::avx
                                      : engine::BodyFilterLanes::Kernel::sse2);
  engine::BodyFilter filters[8] = {
      {lanes.lanes(), 0}, {lanes.lanes(), 1}, {lanes.lanes(), 2}, {lanes.lanes(), 3},
      {lanes.lanes(), 4}, {lanes.lanes(), 5}, {lanes.lanes(), 6}, {lanes.lanes(), 7}};
  engine::BodyLaneFrame frame;
  for (int l = 0; l < 8; ++l) {
    filters[l].setOrder(30);
    filters[l].setRefreshInterval(static_cast<int>(state.range(0)));
    filters[l].loadCoefficients(engine::bodyTypeTable(1 + l % 7), 30, true);
    filters[l].loadCoefficients(engine::bodyTypeTable(2), 30, false);
    frame.active[l] = true;
    frame.lambda[l] = 0.5;
  }
  double y[8] = {};
  double x = 0.0;
  double morph = 0.0;
  for (auto _ : state) {
    morph = morph < 1.0 ? morph + 1e-5 : 0.0;
    x = x < 0.5 ? x + 0.01 : -0.5;
    for (int l = 0; l < 8; ++l) {
      frame.input[l] = x;
      frame.morph[l] = morph;
    }
    lanes.process(frame, y);
    benchmark::DoNotOptimize(y);
  }
  state.SetItemsProcessed(state.iterations() * 8);
}
BENCHMARK(BodyFilterLanesOrder30)->ArgNames({"interval", "avx"})->Args({1, 0})->Args({1, 1})->Args({8, 0})->Args({8, 1});

}  // namespace
