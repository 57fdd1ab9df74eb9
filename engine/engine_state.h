// The settings and shared state the voices read: raw parameter values, the
// derived engine settings, the note table and the sample clock. The plug-in
// writes them (from any thread); the voices read them on the audio thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace engine {

constexpr int32_t kNumParameters = 38;
constexpr int32_t kMaxVoices = 8;
constexpr int32_t kMaxBodyOrder = 30;

// A value one thread writes and another reads: relaxed loads and stores, which
// compile to plain moves.
// Parameters that scale the output (random pan, velocity to volume, mix,
// volume) take their stored value as it is, out of range included, but within
// ±kGainLimit, so that no stored value can overflow the mix; a non-number acts as 0.
constexpr float kGainLimit = 1000.0f;
inline float limitedGain(float v) {
  if (!(v >= -kGainLimit)) return v < 0.0f ? -kGainLimit : 0.0f;
  return v < kGainLimit ? v : kGainLimit;
}

template <typename T>
class Shared {
 public:
  constexpr Shared(T initial = T{}) : value(initial) {}
  // Reads always inline: kernels built for wider instruction sets read them,
  // and an out-of-line copy of theirs could stand in for everyone's.
  [[gnu::always_inline]] T get() const { return value.load(std::memory_order_relaxed); }
  void set(T v) { value.store(v, std::memory_order_relaxed); }
  [[gnu::always_inline]] operator T() const { return get(); }
  Shared& operator=(T v) {
    set(v);
    return *this;
  }

 private:
  std::atomic<T> value;
};

class EngineState {
 public:
  EngineState();
  virtual ~EngineState() = default;

  EngineState(const EngineState&) = delete;
  EngineState& operator=(const EngineState&) = delete;

  // Scratch for the random body types, one array per body slot, shared by the voices.
  virtual double* randomBodyCoefs(bool forType1);
  // The host's current sample rate; read at every note start.
  virtual float noteSampleRate() const = 0;

  float raw(int32_t index) const { return parameters[index].get(); }

  Shared<float> parameters[kNumParameters];
  float noteFrequencies[128];

  Shared<int32_t> voiceCount{1};
  Shared<int32_t> sampleCounter{0};
  Shared<float> detuneRatioB{1.0f};
  Shared<float> pitchBendRatio{1.0f};
  Shared<float> pitchBendRatioSmoothed{1.0f};
  Shared<int32_t> bodyOrder{5};
  Shared<float> saturationA{0.0f};
  Shared<float> saturationB{0.0f};
  Shared<float> loopDampingA{0.0f};
  Shared<float> loopDampingB{0.0f};
  Shared<float> leakGainAB{0.0f};
  Shared<float> leakGainBA{0.0f};
  Shared<bool> leakOnAB{false};
  Shared<bool> leakOnBA{false};
  Shared<bool> leakShapeOn{false};
  Shared<float> noiseLeakGain{0.0f};
  Shared<float> mixComplement{0.0f};
  Shared<float> warpSmoothed{0.5f};
  Shared<bool> bodyType1On{false};
  Shared<bool> bodyType2On{false};
  Shared<bool> qualityHigh{false};
  Shared<float> masterGain{0.0f};
  // Render the voices one after another (the reference), instead of side by
  // side in SIMD lanes. Both give the same bits; read at the start of a block.
  Shared<bool> voicesInTurn{false};
  // A bit per voice (its lane) whose settings were pushed, from any thread,
  // since the side-by-side renderer last looked at it.
  std::atomic<uint32_t> pushedVoices{0};

 private:
  double randomCoefs[2][kMaxBodyOrder] = {};
};

}  // namespace engine
