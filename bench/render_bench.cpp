// Eight sounding voices rendered through the plug-in's own process call, as a
// host drives it. Reports the real-time factor: audio seconds per CPU second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "plughost/plugin_host.h"

namespace {

constexpr int kBlock = 512;
constexpr float kRate = 44100.0f;

void renderEightVoices(benchmark::State& state) {
  const bool qualityHigh = state.range(0) != 0;
  std::string error;
  auto module = plughost::PluginModule::load(QS_PLUGIN_PATH, error);
  if (!module) {
    state.SkipWithError(error.c_str());
    return;
  }
  auto plugin = plughost::PluginInstance::create(*module);
  plugin->start();
  plugin->setParameter(20, 1.0f);  // body order 30
  plugin->setParameter(25, 0.2f);  // a body type on each slot
  plugin->setParameter(26, 0.6f);
  plugin->setParameter(19, 1.0f);  // body filter on the output
  plugin->setParameter(36, 1.0f);  // eight voices
  plugin->setParameter(2, 1.0f);   // long release
  plugin->setParameter(4, 1.0f);   // strings that do not die away
  plugin->setParameter(14, 1.0f);
  plugin->setParameter(37, qualityHigh ? 1.0f : 0.0f);
  std::vector<plughost::PluginInstance::Midi> chord;
  for (int i = 0; i < 8; ++i) chord.push_back({0, 0x90, static_cast<uint8_t>(40 + 5 * i), 100});
  plugin->sendMidi(chord);

  std::vector<float> in(kBlock, 0.0f), left(kBlock), right(kBlock);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {left.data(), right.data()};
  int64_t frames = 0;
  for (auto _ : state) {
    plugin->processReplacing(ins, outs, kBlock);
    benchmark::DoNotOptimize(left.data());
    frames += kBlock;
    // Keep all eight voices sounding: restrike when the block count wraps.
    if (frames % (kBlock * 256) == 0) plugin->sendMidi(chord);
  }
  state.SetItemsProcessed(frames);
  state.counters["realtime_x"] =
      benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(renderEightVoices)
    ->ArgName("quality_high")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMicrosecond);
