#include "render/renderer.h"

#include <algorithm>
#include <cmath>

#include "render/interruption.h"
#include "render/render_error.h"

namespace render {

Renderer::Renderer(plughost::PluginInstance& instance, int32_t frames)
    : plugin(instance), blockSize(frames) {
  const vst::AEffect* e = plugin.effect();
  channelCount = std::clamp(e->numOutputs, 1, 2);
  replacing = (e->flags & vst::effFlagsCanReplacing) != 0 && e->processReplacing;
  // At least two of each: some plug-ins touch a stereo pair whatever they declare.
  inputs.assign(size_t(std::max(e->numInputs, 2)), std::vector<float>(size_t(blockSize)));
  outputs.assign(size_t(std::max(e->numOutputs, 2)), std::vector<float>(size_t(blockSize)));
  for (auto& b : inputs) inputPtrs.push_back(b.data());
  for (auto& b : outputs) outputPtrs.push_back(b.data());
}

void Renderer::processBlock(int32_t frames) {
  for (auto& b : outputs) std::fill(b.begin(), b.end(), 0.0f);
  if (replacing) {
    plugin.processReplacing(inputPtrs.data(), outputPtrs.data(), frames);
  } else {
    plugin.process(inputPtrs.data(), outputPtrs.data(), frames);
  }
}

int64_t Renderer::render(EventSchedule& schedule, const AudioInput* input,
                         const RenderLength& length, const BlockSink& sink, ProgressBar* progress,
                         const std::string& label) {
  const double rate = plugin.options().sampleRate;
  const int declaredInputs = plugin.effect()->numInputs;
  const int64_t content = std::max(length.contentFrames, schedule.endFrame());
  int64_t position = 0;
  int64_t lastLoud = -1;
  auto target = [&] {
    if (!length.releaseTail) return content;
    int64_t quietAt = std::min(lastLoud + 1 + length.silenceFrames, content + length.tailCapFrames);
    return std::max(content, quietAt);
  };

  for (auto& b : inputs) std::fill(b.begin(), b.end(), 0.0f);
  while (position < target()) {
    if (interrupted()) throw RenderError("interrupted");
    blockEvents.clear();
    schedule.takeBlock(position, blockSize, blockEvents);
    if (!blockEvents.empty()) plugin.sendMidi(blockEvents);
    if (input) input->fill(position, blockSize, inputPtrs.data(), declaredInputs);
    processBlock(blockSize);

    for (int32_t i = 0; i < blockSize; ++i)
      for (int c = 0; c < channelCount; ++c)
        if (!(std::fabs(outputs[size_t(c)][size_t(i)]) < kSilenceLevel)) lastLoud = position + i;

    int32_t keep = static_cast<int32_t>(std::min<int64_t>(blockSize, target() - position));
    sink(outputPtrs.data(), keep);
    position += blockSize;
    if (progress) progress->update(label, std::min(position, target()), target(), rate);
  }
  return std::min(position, target());
}

}  // namespace render
