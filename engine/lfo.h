// Wavetable low-frequency oscillator with a 32-bit phase accumulator.
#pragma once

#include <array>
#include <cstdint>

namespace engine {

namespace lanes {
struct LfoLanes;
}

// One cycle of 256 entries plus a guard entry equal to entry 0, so that
// interpolation from the last entry needs no wrap.
using WaveTable = std::array<float, 257>;

class Lfo {
 public:
  // Waveform codes accepted by setWaveform.
  static constexpr int kTriangle = 0;
  static constexpr int kSinus = 1;
  static constexpr int kSawtooth = 2;
  static constexpr int kSquare = 3;
  static constexpr int kExponent = 4;
  static constexpr int kWaveformCount = 5;

  // Starts at phase 0 with the triangle at 1 Hz.
  explicit Lfo(float sampleRate);

  // Sets the rate in Hz; the phase is kept, so the output never jumps.
  void setFrequency(float hz);

  // Selects waveform 0 to 4; any other code is ignored. The phase is kept.
  void setWaveform(int code);

  // Returns the interpolated table value at the current phase, then advances.
  float tick() {
    const uint32_t i = phase >> 24;
    const float f = static_cast<float>(phase & 0xFFFFFFu) * (1.0f / 16777216.0f);
    phase += increment;
    const WaveTable& t = *table;
    return t[i] + f * (t[i + 1] - t[i]);
  }

  uint32_t getPhase() const { return phase; }
  uint32_t getIncrement() const { return increment; }

  // The shared, read-only table of a waveform; codes outside 0 to 4 give the triangle.
  static const WaveTable& waveform(int code);
  // All the tables, one after another in waveform order, and where one of
  // them starts among them.
  static const float* waveforms();
  static int32_t waveformStart(const WaveTable& table);

 private:
  // The side-by-side render runs the LFOs of all voices at once.
  friend struct lanes::LfoLanes;

  float sampleRate = 44100.0f;
  uint32_t phase = 0;      // top 8 bits: table index; low 24 bits: fraction
  uint32_t increment = 0;  // one full cycle is 2^32
  const WaveTable* table = nullptr;
};

}  // namespace engine
