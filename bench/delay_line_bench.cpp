// One string step as a voice runs it: a new delay, then one tick.
#include <benchmark/benchmark.h>

#include "engine/delay_line.h"

namespace {

void DelayLineTickWithSetDelay(benchmark::State& state) {
  engine::DelayLine line(8192);
  line.setDelay(100.0f);
  line.fillExcitation(60, 0.8f);
  float delay = 100.0f;
  float sample = 0.0f;
  for (auto _ : state) {
    delay = delay < 200.0f ? delay + 0.013f : 100.0f;
    line.setDelay(delay);
    sample = line.tick(sample * 0.99f + 1e-14f);
    benchmark::DoNotOptimize(sample);
  }
}
BENCHMARK(DelayLineTickWithSetDelay);

void DelayLineTick(benchmark::State& state) {
  engine::DelayLine line(8192);
  line.setDelay(100.25f);
  line.fillExcitation(60, 0.8f);
  float sample = 0.0f;
  for (auto _ : state) {
    sample = line.tick(sample * 0.99f + 1e-14f);
    benchmark::DoNotOptimize(sample);
  }
}
BENCHMARK(DelayLineTick);

}  // namespace
