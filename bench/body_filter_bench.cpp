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
