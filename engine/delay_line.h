// A string's recirculating delay: a fixed circular buffer of samples read back
// with a fractional delay through third-order Lagrange interpolation, and the
// excitation burst that fills it at note start.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace engine {

namespace lanes {
struct StringLanes;
}

// Where a delay reads and how it interpolates, as `DelayLine::setDelay` derives
// them from a delay in samples.
struct DelayTaps {
  float ceiling = 0.0f;  // the delay rounded up to whole samples
  float fraction = 0.0f;
  float h0 = 0.0f;
  float h1 = 0.0f;
  float h2 = 0.0f;
  float h3 = 1.0f;
};

class DelayLine {
 public:
  // Longer delays are cut to this before rounding, so that an infinite delay
  // never reaches the integer conversion.
  static constexpr float kLargestDelay = 1.0e9f;
  // Factors of the Lagrange polynomials.
  static constexpr float kSixth = 0.16666667f;
  static constexpr float kHalf = 0.5f;

  // Allocates `bufferSize` samples of silence (at least 4, so the four taps fit).
  explicit DelayLine(int bufferSize);

  // Zeroes the buffer and the last output; indices, delay and coefficients stay.
  void clear();

  // Sets the delay in samples; the whole part is limited to capacity - 1.
  void setDelay(float delay) { setTaps(taps(delay)); }
  // The two halves of setDelay: the taps of a delay, and applying them.
  static DelayTaps taps(float delay);
  void setTaps(const DelayTaps& taps);

  // Writes one sample and returns the input delayed by the current delay.
  float tick(float input);

  // The value the last tick returned, or the first excitation sample after a fill.
  float lastOutput() const { return lastOutputValue; }

  // Clears the line and writes the excitation for the current delay over the
  // samples the read taps reach next: smoothed, symmetric, normalised noise when
  // brightness > 0, else one sine period. Allocates nothing.
  void fillExcitation(int seed, float brightness);

  int getCapacity() const { return capacity; }
  int getIntegerDelay() const { return integerDelay; }
  float getFraction() const { return fraction; }
  int getReadIndex() const { return readIndex; }
  int getWriteIndex() const { return writeIndex; }
  std::array<float, 4> getCoefficients() const { return {h0, h1, h2, h3}; }
  // The stored sample at a buffer position (0 … capacity - 1).
  float sampleAt(int index) const { return buffer[index]; }

 private:
  // The side-by-side render runs the strings of all voices at once.
  friend struct lanes::StringLanes;

  void fillNoise(float brightness);
  void fillSine();

  // The buffer holds `capacity` samples and, after them, copies of the first
  // kGuard samples, so that the taps past the end need no wrapping.
  static constexpr int kGuard = 3;

  int capacity = 4;
  std::vector<float> buffer;
  std::vector<float> firstScratch;
  std::vector<float> secondScratch;
  int writeIndex = 3;
  int readIndex = 0;
  int integerDelay = 3;
  float fraction = 0.0f;
  float h0 = 0.0f;
  float h1 = 0.0f;
  float h2 = 0.0f;
  float h3 = 1.0f;
  float lastOutputValue = 0.0f;
};

inline DelayTaps DelayLine::taps(float delay) {
  // Negative and NaN delays count as 0, which keeps the read index inside the buffer.
  delay = delay > 0.0f ? std::min(delay, kLargestDelay) : 0.0f;
  DelayTaps t;
  t.ceiling = std::ceil(delay);
  t.fraction = t.ceiling - delay;
  // Lagrange basis polynomials for the nodes 0 … 3, evaluated at a in (2, 3].
  const float a = 3.0f - t.fraction;
  t.h0 = -((a - 1.0f) * (a - 2.0f) * (a - 3.0f)) * kSixth;
  t.h1 = a * (a - 2.0f) * (a - 3.0f) * kHalf;
  t.h2 = -(a * (a - 1.0f) * (a - 3.0f)) * kHalf;
  t.h3 = a * (a - 1.0f) * (a - 2.0f) * kSixth;
  return t;
}

inline void DelayLine::setTaps(const DelayTaps& t) {
  h0 = t.h0;
  h1 = t.h1;
  h2 = t.h2;
  h3 = t.h3;
  if (t.ceiling >= static_cast<float>(capacity)) {
    // The coefficients keep the values computed from the requested fraction.
    integerDelay = capacity - 1;
    fraction = 0.0f;
  } else {
    integerDelay = static_cast<int>(t.ceiling);
    fraction = t.fraction;
  }
  readIndex = writeIndex - integerDelay;
  if (readIndex < 0) readIndex += capacity;
}

inline float DelayLine::tick(float input) {
  buffer[writeIndex] = input;
  if (writeIndex < kGuard) buffer[capacity + writeIndex] = input;
  // The tap at readIndex is the oldest (node 3); the one three after it is the
  // youngest (node 0). The guard copies keep the four taps side by side.
  const float* taps = buffer.data() + readIndex;
  const float output = h3 * taps[0] + h0 * taps[3] + h1 * taps[2] + h2 * taps[1];
  if (++writeIndex >= capacity) writeIndex = 0;
  if (++readIndex >= capacity) readIndex = 0;
  lastOutputValue = output;
  return output;
}

}  // namespace engine
