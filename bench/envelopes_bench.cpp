#include <benchmark/benchmark.h>

#include "engine/envelopes.h"

namespace {

// Cycles through attack, decay, sustain and release so that every branch is taken.
void adsrTick(benchmark::State& state) {
  engine::Adsr adsr(44100.0f);
  adsr.setSettings({0.01f, 0.02f, 0.5f, 0.03f});
  adsr.trigger();
  int n = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(adsr.tick());
    if (++n == 2000) {
      adsr.release();
    } else if (n == 4000) {
      adsr.trigger();
      n = 0;
    }
  }
}
BENCHMARK(adsrTick);

void envelopeFollowerProcess(benchmark::State& state) {
  engine::EnvelopeFollower follower;
  float x = 0.5f;
  for (auto _ : state) {
    x = -x * 0.999f;
    benchmark::DoNotOptimize(follower.process(x));
  }
}
BENCHMARK(envelopeFollowerProcess);

}  // namespace
