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

// Eight filters side by side, as the voices run them (kernel 0: SSE2, 1: AVX, 2: AVX-512).
void BodyFilterLanesOrder30(benchmark::State& state) {
  using Kernel = engine::BodyFilterLanes::Kernel;
  const Kernel kernel = static_cast<Kernel>(state.range(1));
  if (!engine::BodyFilterLanes::available(kernel)) {
    state.SkipWithError("kernel not available");
    return;
  }
  engine::BodyFilterLanes lanes(30);
  lanes.setKernel(kernel);
  engine::BodyFilter filters[8] = {{lanes.lanes(), 0}, {lanes.lanes(), 1}, {lanes.lanes(), 2},
                                   {lanes.lanes(), 3}, {lanes.lanes(), 4}, {lanes.lanes(), 5},
                                   {lanes.lanes(), 6}, {lanes.lanes(), 7}};
  engine::BodyLaneFrame frame;
  frame.active = 0xFF;
  for (int l = 0; l < 8; ++l) {
    filters[l].setOrder(30);
    filters[l].setRefreshInterval(static_cast<int>(state.range(0)));
    filters[l].loadCoefficients(engine::bodyTypeTable(1 + l % 7), 30, true);
    filters[l].loadCoefficients(engine::bodyTypeTable(2), 30, false);
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
BENCHMARK(BodyFilterLanesOrder30)
    ->ArgNames({"interval", "kernel"})
    ->ArgsProduct({{1, 8}, {0, 1, 2}});

}  // namespace
