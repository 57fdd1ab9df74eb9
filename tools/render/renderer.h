// The block loop: hands each block's MIDI messages to the plug-in with their
// frame offsets, has it render the block, and passes the audio on; after the
// song, renders the release tail until the output has gone quiet.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "plughost/plugin_host.h"
#include "render/audio_input.h"
#include "render/event_schedule.h"
#include "render/progress_bar.h"

namespace render {

// Output below this level (−120 dBFS) counts as silence.
constexpr float kSilenceLevel = 1e-6f;

struct RenderLength {
  int64_t contentFrames = 0;  // always rendered
  bool releaseTail = true;    // then go on until quiet...
  int64_t silenceFrames = 0;  // ...for this many frames after the last loud one
  int64_t tailCapFrames = 0;  // but at most this far past the content
};

// Receives rendered audio: one pointer per channel, frames samples each.
using BlockSink = std::function<void(const float* const* channels, int32_t frames)>;

class Renderer {
 public:
  Renderer(plughost::PluginInstance& plugin, int32_t blockSize);

  // Channels passed to the sink: the plug-in's outputs, at most two.
  int outputChannels() const { return channelCount; }

  // Renders the schedule (and the input audio, if any); answers the frames
  // delivered to the sink. Throws RenderError when interrupted.
  int64_t render(EventSchedule& schedule, const AudioInput* input, const RenderLength& length,
                 const BlockSink& sink, ProgressBar* progress = nullptr,
                 const std::string& label = "rendering");

 private:
  void processBlock(int32_t frames);

  plughost::PluginInstance& plugin;
  int32_t blockSize = 512;
  int channelCount = 2;
  bool replacing = true;
  std::vector<std::vector<float>> inputs, outputs;
  std::vector<float*> inputPtrs, outputPtrs;
  std::vector<plughost::PluginInstance::Midi> blockEvents;
};

}  // namespace render
