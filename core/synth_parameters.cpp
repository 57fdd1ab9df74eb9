// Parameter application: every change stores the value in the value array and
// the current program, then derives the engine settings the voices read.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "core/synth.h"
#include "params/value_mapping.h"

namespace core {

using namespace params;

static_assert(kMaxPolyphony == engine::kMaxVoices, "one voice per step of Polyphony");

void Synth::setParameter(int32_t index, float v) {
  if (index == 39) {
    extraParameterHook();
    return;
  }
  if (index < 0 || index >= kNumParams) return;
  v = storedValue(index, v);
  parameters[index] = v;
  // The record is plain chunk memory; other threads may store into it too.
  if (bank)
    std::atomic_ref<float>(currentRecord().values[index]).store(v, std::memory_order_relaxed);

  switch (index) {
    case kCutoffA:
      loopDampingA = (1.0f - v) * 0.95f;
      break;
    case kCutoffB:
      loopDampingB = (1.0f - v) * 0.95f;
      break;
    case kSaturationA:
      saturationA = v * v * v;
      break;
    case kSaturationB:
      saturationB = v * v * v;
      break;
    case kLeakAB:
      leakGainAB = v * v;
      leakOnAB = v > 0.0f;
      break;
    case kLeakBA:
      leakGainBA = v * v;
      leakOnBA = v > 0.0f;
      break;
    case kQuantizeNoise:
      leakShapeOn = v < 0.49 || v > 0.51;
      noiseLeakGain = static_cast<float>(std::pow(2.0, -8.0 * (1.0 - v)));
      break;
    case kDetuneB:
      detuneRatioB = static_cast<float>(std::pow(1.0005777895, 1200.0 * v));
      break;
    case kFilterOrder:
      bodyOrder = countIn(29.0f * v + 1.0f, 1, engine::kMaxBodyOrder);
      break;
    case kBodyType1:
      bodyType1On = 12.0f * v > 1.0f;
      break;
    case kBodyType2:
      bodyType2On = 12.0f * v > 1.0f;
      break;
    case kMix:
      mixComplement = 1.0f - engine::limitedGain(v);
      break;
    case kVolume:
      masterGain = masterGainFor(v);
      break;
    case kPolyphony:
      voiceCount = voiceCountFor(v);
      break;
    case kQuality:
      qualityHigh = v > 0.5f;
      updateVoiceQuality();
      break;
    case kLfoAFreq:
    case kLfoBFreq:
    case kLfoWarpFreq:
      updateLfoRates(index);
      break;
    case kFilterSustain:
      for (auto& voice : voices)
        if (voice && voice->getState() != engine::kVoiceFree) voice->setFilterSustain(v);
      break;
    default:
      break;
  }
}

float Synth::getParameter(int32_t index) {
  if (index < 0 || index >= kNumParams) return 0.0f;
  return parameters[index];
}

void Synth::updateVoiceQuality() {
  const int32_t interval = raw(kQuality) > 0.5f ? 1 : 8;
  for (auto& voice : voices)
    if (voice) voice->setRefreshInterval(interval);
}

void Synth::updateLfoRates(int32_t parameterIndex) {
  int32_t lfo;
  switch (parameterIndex) {
    case kLfoAFreq:
      lfo = 0;
      break;
    case kLfoBFreq:
      lfo = 1;
      break;
    case kLfoWarpFreq:
      lfo = 2;
      break;
    default:
      return;
  }
  const float v = raw(parameterIndex);
  const float hz = v * v * 200.0f;
  for (auto& voice : voices)
    if (voice && voice->getState() != engine::kVoiceFree) voice->setLfoRate(lfo, hz);
}

void Synth::extraParameterHook() {}

}  // namespace core
