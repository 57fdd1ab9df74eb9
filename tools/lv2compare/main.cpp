// Plays the demo phrase through each factory program of both builds, the
// VST 2 object through the project's VST 2 host and the LV2 bundle by URI
// through lilv, and tells whether they give the same bits.
// Usage: quillstave-lv2-compare [VST2-OBJECT]   (the bundle is found on LV2_PATH)
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "lv2/lv2_ports.h"
#include "lv2host/lv2_host.h"
#include "plughost/plugin_host.h"
#include "render/demo_phrase.h"
#include "render/event_schedule.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int32_t kBlock = 512;
constexpr int kPrograms = 8;

using Audio = std::vector<float>;

Audio renderVst(plughost::PluginModule& module, int program, int64_t frames) {
  plughost::PluginInstance::Options options;
  options.sampleRate = float(kRate);
  options.blockSize = kBlock;
  auto plugin = plughost::PluginInstance::create(module, options);
  if (!plugin) return {};
  plugin->start();
  plugin->dispatch(vst::effSetProgram, 0, program);
  render::EventSchedule schedule(render::demoPhrase(), kRate);
  std::vector<float> silence(kBlock, 0.0f), left(kBlock), right(kBlock);
  float* ins[2] = {silence.data(), silence.data()};
  float* outs[2] = {left.data(), right.data()};
  std::vector<plughost::PluginInstance::Midi> events;
  Audio audio;
  for (int64_t position = 0; position < frames; position += kBlock) {
    events.clear();
    schedule.takeBlock(position, kBlock, events);
    if (!events.empty()) plugin->sendMidi(events);
    plugin->processReplacing(ins, outs, kBlock);
    audio.insert(audio.end(), left.begin(), left.end());
    audio.insert(audio.end(), right.begin(), right.end());
  }
  return audio;
}

Audio renderLv2(lv2host::World& world, int program, int64_t frames) {
  auto plugin = lv2host::Instance::create(world, world.plugin(lv2::kPluginUri), kRate, kBlock);
  if (!plugin) return {};
  plugin->activate();
  plugin->loadPreset((lv2::kPresetUriPrefix + std::to_string(program)).c_str());
  render::EventSchedule schedule(render::demoPhrase(), kRate);
  std::vector<plughost::PluginInstance::Midi> events;
  std::vector<lv2host::MidiAt> midi;
  Audio audio;
  for (int64_t position = 0; position < frames; position += kBlock) {
    events.clear();
    midi.clear();
    schedule.takeBlock(position, kBlock, events);
    for (const auto& e : events)
      midi.push_back({uint32_t(e.deltaFrames), {e.status, e.data1, e.data2}});
    plugin->run(kBlock, midi);
    audio.insert(audio.end(), plugin->output(0), plugin->output(0) + kBlock);
    audio.insert(audio.end(), plugin->output(1), plugin->output(1) + kBlock);
  }
  return audio;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : QS_DEFAULT_PLUGIN;
  std::string error;
  auto module = plughost::PluginModule::load(path, error);
  if (!module) {
    std::fprintf(stderr, "quillstave-lv2-compare: %s\n", error.c_str());
    return 2;
  }
  lv2host::World world;
  if (!world.plugin(lv2::kPluginUri)) {
    std::fprintf(stderr, "quillstave-lv2-compare: no LV2 plug-in %s on LV2_PATH\n",
                 lv2::kPluginUri);
    return 2;
  }
  const int64_t frames = render::EventSchedule::frameAt(render::kDemoSecondsPerProgram, kRate);
  int differing = 0;
  for (int program = 0; program < kPrograms; ++program) {
    // Each build from a fresh instance: both draw their pans from the same start.
    const Audio vst = renderVst(*module, program, frames);
    const Audio lv2 = renderLv2(world, program, frames);
    size_t same = 0;
    while (same < vst.size() && same < lv2.size() &&
           std::memcmp(&vst[same], &lv2[same], sizeof(float)) == 0)
      ++same;
    const bool agree = !vst.empty() && vst.size() == lv2.size() && same == vst.size();
    if (agree)
      std::printf("program %d  LV2 = VST 2: %zu samples, bit for bit\n", program, vst.size());
    else
      std::printf("program %d  LV2 and VST 2 differ from sample %zu of %zu\n", program, same,
                  vst.size());
    differing += agree ? 0 : 1;
  }
  std::printf(differing == 0 ? "The LV2 and VST 2 builds agree.\n"
                             : "The LV2 and VST 2 builds DISAGREE.\n");
  return differing == 0 ? 0 : 1;
}
