// The whole instrument with eight voices sounding, rendered through the
// format-neutral render call that every plug-in layer makes: factory programs 0 and 4 at both
// qualities, with the voices side by side in SIMD lanes (the default: the
// widest kernels the processor has), side by side with SSE2 only (as the 32-bit
// Windows build runs) and rendered one after another (the reference); side by
// side also with the notes struck 37 frames apart, so that the voices'
// modulation updates fall on different frames (their body filters still
// recompute together: a voice runs from the start of the block its note
// falls in).
// Reports nanoseconds per voice-sample and the real-time factor; compare the
// medians of repeated runs (--benchmark_repetitions=9).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "core/synth.h"

namespace {

constexpr int kBlock = 512;
constexpr int kVoices = 8;
constexpr double kRate = 44100.0;
// Blocks between restrikes of the chord, so that no voice falls silent and frees itself.
constexpr int64_t kRestrikeBlocks = 64;
constexpr uint8_t kChord[kVoices] = {40, 47, 52, 56, 59, 64, 68, 71};

class BenchSynth : public core::Synth {
 public:
  void renderInTurn(bool inTurn) { voicesInTurn = inTurn; }
  void sse2Only() {
    laneRenderer.bodyFilters().setKernel(engine::BodyFilterLanes::Kernel::sse2);
    laneRenderer.voices().setKernel(engine::VoiceLanes::Kernel::sse2);
  }

  void strike(int32_t apart) {
    for (int i = 0; i < kVoices; ++i) {
      const uint8_t note[3] = {0x90, kChord[i], 100};
      midi(note, 3, i * apart, 0);
    }
  }
};

// Arguments: program, quality high (0/1), voices in turn (0/1), SSE2 only (0/1),
// frames between the notes of the chord.
void renderProgram(benchmark::State& state) {
  BenchSynth synth;
  synth.renderInTurn(state.range(2) != 0);
  if (state.range(3) != 0) synth.sse2Only();
  synth.setProgram(static_cast<int32_t>(state.range(0)));
  synth.setParameter(params::kQuality, state.range(1) != 0 ? 1.0f : 0.0f);
  synth.setParameter(params::kPolyphony, 1.0f);
  synth.resume();
  const auto apart = static_cast<int32_t>(state.range(4));
  synth.strike(apart);

  std::vector<float> in(kBlock, 0.0f), left(kBlock), right(kBlock);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  int64_t blocks = 0;
  for (auto _ : state) {
    synth.render(ins, outs, kBlock, true);
    benchmark::DoNotOptimize(left.data());
    if (++blocks % kRestrikeBlocks == 0) synth.strike(apart);
  }
  const double frames = static_cast<double>(blocks * kBlock);
  state.counters["ns_per_voice_sample"] = benchmark::Counter(
      frames * kVoices * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["realtime_x"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(renderProgram)
    ->ArgNames({"program", "quality_high", "in_turn", "sse2", "apart"})
    ->ArgsProduct({{0, 4}, {0, 1}, {0}, {0, 1}, {0}})
    ->ArgsProduct({{0, 4}, {0, 1}, {0}, {0}, {37}})
    ->ArgsProduct({{0, 4}, {0, 1}, {1}, {0}, {0}})
    ->Unit(benchmark::kMicrosecond);
