#include "render/song_render.h"

#include <filesystem>

#include "render/audio_file_writer.h"
#include "render/event_schedule.h"
#include "render/level_meter.h"
#include "render/midi_file.h"
#include "render/progress_bar.h"
#include "render/renderer.h"

namespace render {

std::string defaultSongOutput(const RenderOptions& options) {
  if (!options.output.empty()) return options.output;
  std::string stem = options.midiFile.empty()
                         ? std::filesystem::path(options.inputAudio).stem().string()
                         : std::filesystem::path(options.midiFile).stem().string();
  return "out/" + stem + ".wav";
}

SongResult renderSong(plughost::PluginInstance& plugin, const RenderOptions& options,
                      const AudioInput* input) {
  MidiSequence song;
  if (!options.midiFile.empty()) song = readMidiFile(options.midiFile);
  const double rate = plugin.options().sampleRate;
  EventSchedule schedule(song, rate);

  RenderLength length;
  length.contentFrames = std::max(schedule.endFrame(), input ? input->frames() : int64_t(0));
  length.silenceFrames = static_cast<int64_t>(rate);
  length.tailCapFrames = static_cast<int64_t>(options.tailCapSeconds * rate);

  SongResult result;
  result.output = defaultSongOutput(options);
  // Check the output name before spending time on the render.
  AudioFileWriter::formatFor(result.output, options.bits);

  Renderer renderer(plugin, plugin.options().blockSize);
  AudioFileWriter writer(result.output, renderer.outputChannels(), static_cast<int>(rate),
                         options.bits);
  LevelMeter meter;
  int channels = renderer.outputChannels();
  ProgressBar progress(!options.quiet && ProgressBar::stderrIsTerminal());
  int64_t frames = renderer.render(
      schedule, input, length,
      [&](const float* const* audio, int32_t count) {
        writer.write(audio, count);
        for (int c = 0; c < channels; ++c)
          for (int32_t i = 0; i < count; ++i) meter.add(audio[c][i]);
      },
      &progress);
  progress.finish();
  writer.commit();
  result.seconds = double(frames) / rate;
  result.peakDb = meter.peakDb();
  result.rmsDb = meter.rmsDb();
  return result;
}

}  // namespace render
