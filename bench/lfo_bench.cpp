#include <benchmark/benchmark.h>

#include "engine/lfo.h"

namespace {

void lfoTick(benchmark::State& state) {
  engine::Lfo lfo(44100.0f);
  lfo.setFrequency(5.5f);
  for (auto _ : state) {
    benchmark::DoNotOptimize(lfo.tick());
  }
}
BENCHMARK(lfoTick);

// The three LFOs of one voice, ticked once per sample each.
void lfoTickThreeVoiceLfos(benchmark::State& state) {
  engine::Lfo a(44100.0f);
  engine::Lfo b(44100.0f);
  engine::Lfo warp(44100.0f);
  a.setFrequency(0.2f);
  b.setFrequency(0.1f);
  warp.setFrequency(0.1f);
  for (auto _ : state) {
    benchmark::DoNotOptimize(a.tick() + b.tick() + warp.tick());
  }
}
BENCHMARK(lfoTickThreeVoiceLfos);

}  // namespace
