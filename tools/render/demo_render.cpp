#include "render/demo_render.h"

#include <algorithm>
#include <cmath>

#include "render/audio_file_writer.h"
#include "render/demo_phrase.h"
#include "render/event_schedule.h"
#include "render/level_meter.h"
#include "render/progress_bar.h"
#include "render/renderer.h"
#include "render/sound_settings.h"

namespace render {

namespace {

std::string dbText(double db) {
  if (!std::isfinite(db)) return "  -inf";
  char text[16];
  std::snprintf(text, sizeof text, "%6.1f", db);
  return text;
}

}  // namespace

void renderDemo(plughost::PluginInstance& plugin, const RenderOptions& options,
                std::FILE* summary) {
  const std::string output = options.output.empty() ? "out/demo.wav" : options.output;
  const double rate = plugin.options().sampleRate;
  const int programs = std::max(1, std::min(kDemoPrograms, plugin.effect()->numPrograms));
  AudioFileWriter::formatFor(output, options.bits);

  Renderer renderer(plugin, plugin.options().blockSize);
  const int channels = renderer.outputChannels();
  AudioFileWriter writer(output, channels, static_cast<int>(rate), options.bits);
  ProgressBar progress(!options.quiet && ProgressBar::stderrIsTerminal());
  RenderLength length;
  length.contentFrames = EventSchedule::frameAt(kDemoSecondsPerProgram, rate);
  length.releaseTail = false;

  for (int p = 0; p < programs; ++p) {
    // Suspend and resume between programs: every voice starts from silence.
    plugin.dispatch(vst::effMainsChanged, 0, 0);
    if (plugin.effect()->numPrograms > 0) plugin.dispatch(vst::effSetProgram, 0, p);
    for (const std::string& assignment : options.params) applyParameterOverride(plugin, assignment);
    plugin.dispatch(vst::effMainsChanged, 0, 1);

    EventSchedule schedule(demoPhrase(), rate);
    LevelMeter meter;
    std::string name = plugin.programName();
    int64_t frames = renderer.render(
        schedule, nullptr, length,
        [&](const float* const* audio, int32_t count) {
          writer.write(audio, count);
          for (int c = 0; c < channels; ++c)
            for (int32_t i = 0; i < count; ++i) meter.add(audio[c][i]);
        },
        &progress, "program " + std::to_string(p) + " " + name);
    progress.finish();
    std::fprintf(summary, "program %d  %-24s peak %s dBFS  RMS %s dBFS  %5.2f s\n", p,
                 ("\"" + name + "\"").c_str(), dbText(meter.peakDb()).c_str(),
                 dbText(meter.rmsDb()).c_str(), double(frames) / rate);
    std::fflush(summary);
  }
  writer.commit();
}

}  // namespace render
