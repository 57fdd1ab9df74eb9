#include "params/value_mapping.h"

#include <algorithm>
#include <cmath>

#include "engine/engine_state.h"

namespace params {

float storedValue(int32_t index, float v) {
  if (index != kBodyType1 && index != kBodyType2) return v;
  float bin = std::floor(12.0f * v);
  if (!(bin >= 0.0f)) bin = 0.0f;
  bin = std::min(bin, 12.0f);
  return (bin + 0.5f) * 0.0833333358f;
}

int32_t countIn(float scaled, int32_t lo, int32_t hi) {
  if (!(scaled >= static_cast<float>(lo))) return lo;
  if (scaled >= static_cast<float>(hi)) return hi;
  return static_cast<int32_t>(scaled);
}

int32_t voiceCountFor(float polyphony) {
  return countIn(std::floor(7.0f * polyphony) + 1.0f, 1, kMaxPolyphony);
}

float masterGainFor(float volume) {
  const float g = engine::limitedGain(volume);
  return g * g * g * g;
}

DisplayContext displayContextFor(float polyphony, float volume) {
  return DisplayContext{voiceCountFor(polyphony), masterGainFor(volume)};
}

}  // namespace params
