#include "render/bench.h"

#include <ctime>

#include "render/event_schedule.h"
#include "render/level_meter.h"
#include "render/plugin_loader.h"
#include "render/renderer.h"

namespace render {

namespace {

double cpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

constexpr uint8_t kChordKeys[8] = {40, 47, 52, 56, 59, 64, 68, 71};

}  // namespace

BenchResult benchPlugin(const std::string& path, double seconds, double sampleRate, int blockSize) {
  LoadedPlugin loaded = loadPlugin(path, sampleRate, blockSize);
  MidiSequence held;
  for (uint8_t key : kChordKeys) held.events.push_back({0.0, 0x90, key, 100});
  EventSchedule schedule(held, sampleRate);
  RenderLength length;
  length.contentFrames = EventSchedule::frameAt(seconds, sampleRate);
  length.releaseTail = false;

  Renderer renderer(*loaded.instance, blockSize);
  LevelMeter meter;
  const int channels = renderer.outputChannels();
  double start = cpuSeconds();
  int64_t frames =
      renderer.render(schedule, nullptr, length, [&](const float* const* audio, int32_t count) {
        for (int c = 0; c < channels; ++c)
          for (int32_t i = 0; i < count; ++i) meter.add(audio[c][i]);
      });
  BenchResult result;
  result.cpuSeconds = cpuSeconds() - start;
  result.plugin = path;
  result.audioSeconds = double(frames) / sampleRate;
  result.peakDb = meter.peakDb();
  return result;
}

void runBench(const std::vector<std::string>& paths, double seconds, double sampleRate,
              int blockSize, std::FILE* out) {
  double firstFactor = 0.0;
  for (size_t i = 0; i < paths.size(); ++i) {
    BenchResult r = benchPlugin(paths[i], seconds, sampleRate, blockSize);
    std::fprintf(out, "%s: %.2f s of audio in %.3f s CPU, real-time factor %.1f (peak %.1f dBFS)",
                 r.plugin.c_str(), r.audioSeconds, r.cpuSeconds, r.realTimeFactor(), r.peakDb);
    if (i == 0) {
      firstFactor = r.realTimeFactor();
    } else if (firstFactor > 0.0) {
      // How many times faster than the first plug-in: its CPU cost over this one's.
      std::fprintf(out, ", %.2f times the first plug-in's factor",
                   r.realTimeFactor() / firstFactor);
    }
    std::fprintf(out, "\n");
    std::fflush(out);
  }
}

}  // namespace render
