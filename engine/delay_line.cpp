#include "engine/delay_line.h"

#include "engine/random.h"

namespace engine {

DelayLine::DelayLine(int bufferSize)
    : capacity(std::max(bufferSize, 4)),
      buffer(capacity + kGuard, 0.0f),
      firstScratch(capacity, 0.0f),
      secondScratch(capacity, 0.0f),
      writeIndex(capacity - 1),
      integerDelay(capacity - 1) {}

void DelayLine::clear() {
  std::fill(buffer.begin(), buffer.end(), 0.0f);
  lastOutputValue = 0.0f;
}

void DelayLine::fillExcitation(int seed, float brightness) {
  clear();
  seedRandom(seed);
  if (brightness > 0.0f) {
    fillNoise(brightness);
  } else {
    fillSine();
  }
  for (int i = 0; i < kGuard; ++i) buffer[capacity + i] = buffer[i];
  lastOutputValue = buffer[readIndex];
}

void DelayLine::fillNoise(float brightness) {
  const int length = integerDelay;
  float* first = firstScratch.data();
  float* second = secondScratch.data();
  const float smoothing = brightness * brightness + 0.001f;

  // Two one-pole smoothing passes over uniform noise in [-1, 0.9998].
  float state = 0.0f;
  for (int i = 0; i < length; ++i) {
    const float noise = static_cast<float>((nextRandom() % 10000) * 0.0002 - 1.0);
    state = state + smoothing * (noise - state);
    first[i] = state;
  }
  state = 0.0f;
  for (int i = 0; i < length; ++i) {
    state = state + (first[i] - state) * smoothing;
    first[i] = state;
  }

  // Mirror the first half onto the second, so the shape is symmetric.
  const int half = (length + 1) / 2;
  for (int i = 0; i < length; ++i) second[i] = i < half ? first[i] : first[length - 1 - i];

  float sum = 0.0f;
  for (int i = 0; i < length; ++i) sum += second[i];
  const float mean = length > 0 ? sum * (1.0f / static_cast<float>(length)) : 0.0f;
  float peak = 0.0f;
  for (int i = 0; i < length; ++i) {
    second[i] -= mean;
    if (std::fabs(second[i]) > peak) peak = std::fabs(second[i]);
  }

  // A burst of one sample has nothing left after the mean is removed: it stays
  // silent rather than being scaled by an infinite factor.
  const float scale = peak > 0.0f ? 1.0f / peak : 0.0f;
  int position = readIndex;
  for (int i = 0; i < length; ++i) {
    buffer[position] = second[i] * scale;
    if (++position >= capacity) position = 0;
  }
}

void DelayLine::fillSine() {
  const int length = integerDelay;
  // One period over the string's true length (the requested delay).
  const float period = static_cast<float>(length) - fraction;
  constexpr float kTwoPi = 6.2831855f;
  int position = readIndex;
  for (int i = 0; i < length; ++i) {
    const float x =
        i < length - 1 ? static_cast<float>(i) : static_cast<float>(length - 1) - fraction;
    buffer[position] = static_cast<float>(std::sin(static_cast<double>(x * kTwoPi / period)));
    if (++position >= capacity) position = 0;
  }
}

}  // namespace engine
