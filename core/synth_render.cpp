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
    float* left = outputs[0];
    float* right = outputs[1];
    for (int32_t i = 0; i < n; ++i) {
      // Inputs are read before the outputs are written: the buffers may be shared.
      const float inA = inputs[0][i];
      const float inB = inputs[1][i];
      float l, r;
      mixVoices(inA, inB, l, r);
      const float gain = masterGain;
      if (replacing) {
        left[i] = l * gain;
        right[i] = r * gain;
      } else {
        left[i] += l * gain;
        right[i] += r * gain;
      }
      warp += warpStep;
      bend += bendStep;
      warpSmoothed = warp;
      pitchBendRatioSmoothed = bend;
    }
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
  for (int32_t i = 0; i < count; ++i) {
    engine::Voice* voice = voices[i].get();
    if (!voice) continue;
    const float s = voice->render(inA, inB);
    const float pan = voice->getPan();
    left += s * pan;
    right += (1.0f - pan) * s;
  }
  sampleCounter = static_cast<int32_t>(static_cast<uint32_t>(sampleCounter.get()) + 1u);
}

void Synth::suspend() {
  for (auto& voice : voices)
    if (voice) voice->reset(true);
}

}  // namespace core
