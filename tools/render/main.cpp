// quillstave-render: plays a MIDI file, the demo phrase or a benchmark through
// a VST 2 instrument and writes what it renders to an audio file.
#include <cstdio>
#include <memory>
#include <string>

#include "render/audio_input.h"
#include "render/bench.h"
#include "render/demo_render.h"
#include "render/interruption.h"
#include "render/plugin_loader.h"
#include "render/preset_transfer.h"
#include "render/render_error.h"
#include "render/render_options.h"
#include "render/song_render.h"
#include "render/sound_settings.h"

namespace {

using namespace render;

constexpr double kDefaultRate = 44100.0;

// Bank, program, preset, parameters: each later step refines the earlier ones.
void applySoundSettings(plughost::PluginInstance& plugin, const RenderOptions& o) {
  if (!o.loadFxb.empty()) loadBankFile(plugin, o.loadFxb);
  if (!o.program.empty()) plugin.dispatch(vst::effSetProgram, 0, findProgram(plugin, o.program));
  if (!o.loadFxp.empty()) loadPresetFile(plugin, o.loadFxp);
  for (const std::string& assignment : o.params) {
    if (o.demo) {  // checked now; the demo applies them after each program change
      findParameter(plugin, parseParameterAssignment(assignment).key);
    } else {
      applyParameterOverride(plugin, assignment);
    }
  }
  bool chunks = o.chunks || usesChunks(plugin);
  if (!o.saveFxp.empty()) savePresetFile(plugin, o.saveFxp, chunks);
  if (!o.saveFxb.empty()) saveBankFile(plugin, o.saveFxb, chunks);
}

int run(const RenderOptions& o) {
  catchInterruptions();
  if (o.bench) {
    std::vector<std::string> paths = o.plugins;
    if (paths.empty()) paths.push_back(QS_DEFAULT_PLUGIN);
    runBench(paths, o.benchSeconds, o.sampleRate > 0 ? o.sampleRate : kDefaultRate, o.blockSize,
             stdout);
    return 0;
  }

  std::unique_ptr<AudioInput> input;
  double rate = o.sampleRate > 0 ? o.sampleRate : kDefaultRate;
  if (!o.inputAudio.empty()) {
    input = std::make_unique<AudioInput>(o.inputAudio);
    if (o.sampleRate <= 0) rate = input->sampleRate();
    if (input->sampleRate() != static_cast<int>(rate))
      throw RenderError(o.inputAudio + ": recorded at " + std::to_string(input->sampleRate()) +
                        " Hz, rendering at " + std::to_string(int(rate)) + " Hz");
  }

  LoadedPlugin loaded =
      loadPlugin(o.plugins.empty() ? QS_DEFAULT_PLUGIN : o.plugins.front(), rate, o.blockSize);
  plughost::PluginInstance& plugin = *loaded.instance;
  if (input && plugin.effect()->numInputs < 1)
    std::fprintf(stderr,
                 "quillstave-render: warning: the plug-in has no audio inputs; %s is not heard\n",
                 o.inputAudio.c_str());
  applySoundSettings(plugin, o);

  if (o.demo) {
    renderDemo(plugin, o, stdout);
  } else if (wantsAudio(o)) {
    SongResult r = renderSong(plugin, o, input.get());
    std::printf("%s: %.2f s, peak %.1f dBFS, RMS %.1f dBFS\n", r.output.c_str(), r.seconds,
                r.peakDb, r.rmsDb);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    RenderOptions options = parseCommandLine(argc, argv);
    if (options.help) {
      std::fputs(usageText(QS_DEFAULT_PLUGIN).c_str(), stdout);
      return 0;
    }
    return run(options);
  } catch (const RenderError& e) {
    std::fprintf(stderr, "quillstave-render: %s\n", e.what());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quillstave-render: %s\n", e.what());
  }
  return 1;
}
