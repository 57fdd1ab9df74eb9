// The whole instrument with eight voices sounding, rendered through its own
// processReplacing as a host calls it: factory programs 0 and 4 at both
// qualities, with the voices' body filters side by side in SIMD lanes (the
// default) and with the voices rendered one after another (the reference).
// Reports nanoseconds per voice-sample and the real-time factor; compare the
// medians of repeated runs (--benchmark_repetitions=9).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "host/synth_plugin.h"

namespace {

constexpr int kBlock = 512;
constexpr int kVoices = 8;
constexpr double kRate = 44100.0;
// Blocks between restrikes of the chord, so that no voice falls silent and frees itself.
constexpr int64_t kRestrikeBlocks = 64;
constexpr uint8_t kChord[kVoices] = {40, 47, 52, 56, 59, 64, 68, 71};

class BenchSynth : public SynthPlugin {
 public:
  BenchSynth() : SynthPlugin(nullptr) {}

  void renderInTurn(bool inTurn) { voicesInTurn = inTurn; }

  void strike() {
    // The list type declares two slots; a host allocates as many as it sends.
    struct {
      int32_t numEvents = kVoices;
      intptr_t reserved = 0;
      vst::VstEvent* events[kVoices];
    } list;
    vst::VstMidiEvent notes[kVoices]{};
    for (int i = 0; i < kVoices; ++i) {
      notes[i].type = vst::kVstMidiType;
      notes[i].byteSize = sizeof(notes[i]);
      notes[i].midiData[0] = static_cast<char>(0x90);
      notes[i].midiData[1] = static_cast<char>(kChord[i]);
      notes[i].midiData[2] = 100;
      list.events[i] = reinterpret_cast<vst::VstEvent*>(&notes[i]);
    }
    processEvents(reinterpret_cast<vst::VstEvents*>(&list));
  }
};

// Arguments: program, quality high (0/1), voices in turn (0/1).
void renderProgram(benchmark::State& state) {
  BenchSynth synth;
  synth.renderInTurn(state.range(2) != 0);
  synth.setProgram(static_cast<int32_t>(state.range(0)));
  synth.setParameter(params::kQuality, state.range(1) != 0 ? 1.0f : 0.0f);
  synth.setParameter(params::kPolyphony, 1.0f);
  synth.resume();
  synth.strike();

  std::vector<float> in(kBlock, 0.0f), left(kBlock), right(kBlock);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  int64_t blocks = 0;
  for (auto _ : state) {
    synth.processReplacing(ins, outs, kBlock);
    benchmark::DoNotOptimize(left.data());
    if (++blocks % kRestrikeBlocks == 0) synth.strike();
  }
  const double frames = static_cast<double>(blocks * kBlock);
  state.counters["ns_per_voice_sample"] = benchmark::Counter(
      frames * kVoices * 1e-9, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["realtime_x"] = benchmark::Counter(frames / kRate, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(renderProgram)
    ->ArgNames({"program", "quality_high", "in_turn"})
    ->ArgsProduct({{0, 4}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
