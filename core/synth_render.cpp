// The block render loop and suspend.
#include "core/synth.h"

namespace core {

void Synth::render(float* const* inputs, float* const* outputs, int32_t frames, bool replacing) {
  renderBlock(inputs, outputs, frames, replacing);
}

void Synth::renderBlock(float* const* inputs, float* const* outputs, int32_t n, bool replacing) {
  const float warpTarget = raw(params::kWarp);
  const float bendTarget = pitchBendRatio;
  if (n > 0) {
    float warp = warpSmoothed;
    float bend = pitchBendRatioSmoothed;
    const float warpStep = (warpTarget - warp) / static_cast<float>(n);
    const float bendStep = (bendTarget - bend) / static_cast<float>(n);
    // A missing list or channel reads as silence and writes nowhere; the voices
    // still run, so that the sound goes on in step with the host's clock.
    const float* inLeft = inputs ? inputs[0] : nullptr;
    const float* inRight = inputs ? inputs[1] : nullptr;
    float* left = outputs ? outputs[0] : nullptr;
    float* right = outputs ? outputs[1] : nullptr;
    // The way of rendering is chosen for the whole block: the side-by-side
    // renderer holds the voices' state in its lanes until the block ends.
    renderInTurn = voicesInTurn;
    if (!renderInTurn) laneRenderer.beginBlock(voicePointers);
    for (int32_t i = 0; i < n; ++i) {
      // Inputs are read before the outputs are written: the buffers may be shared.
      const float inA = inLeft ? inLeft[i] : 0.0f;
      const float inB = inRight ? inRight[i] : 0.0f;
      float l, r;
      mixVoices(inA, inB, l, r);
      const float gain = masterGain;
      if (replacing) {
        if (left) left[i] = l * gain;
        if (right) right[i] = r * gain;
      } else {
        if (left) left[i] += l * gain;
        if (right) right[i] += r * gain;
      }
      warp += warpStep;
      bend += bendStep;
      warpSmoothed = warp;
      pitchBendRatioSmoothed = bend;
    }
    if (!renderInTurn) laneRenderer.endBlock(voicePointers);
  }
  // Land exactly on the targets so that nothing drifts across blocks.
  warpSmoothed = warpTarget;
  pitchBendRatioSmoothed = bendTarget;
}

void Synth::mixVoices(float inA, float inB, float& left, float& right) {
  left = right = 0.0f;
  const int32_t count = voiceCount;
  const float scale = 1.0f / static_cast<float>(count);
  inA *= scale;
  inB *= scale;
  if (renderInTurn)
    engine::mixVoicesInTurn(voicePointers, count, inA, inB, left, right);
  else
    laneRenderer.mix(voicePointers, count, inA, inB, left, right);
  sampleCounter = static_cast<int32_t>(static_cast<uint32_t>(sampleCounter.get()) + 1u);
}

void Synth::suspend() {
  for (auto& voice : voices)
    if (voice) voice->reset(true);
}

}  // namespace core
