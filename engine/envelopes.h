// Linear attack-decay-sustain-release envelope and a peak envelope follower.
#pragma once

#include <cmath>

namespace engine {

namespace lanes {
struct AdsrLanes;
struct FollowerLanes;
}  // namespace lanes

// The four settings of an Adsr, in this order.
struct AdsrSettings {
  float attackTime = 0.0f;    // seconds
  float decayTime = 0.0f;     // seconds
  float sustainLevel = 0.0f;  // 0 to 1
  float releaseTime = 0.0f;   // seconds
};

// Linear envelope stepped once per sample, with output 0 to 1.
class Adsr {
 public:
  enum class State : int { attack = 0, decay = 1, sustain = 2, release = 3, idle = 4 };

  // The sample rate is truncated to whole Hz. Starts idle at 0.
  explicit Adsr(float sampleRate);

  // Advances one sample and returns the new value.
  float tick() {
    switch (state) {
      case State::attack:
        value += attackStep;
        if (value >= 1.0f) {
          value = 1.0f;
          state = State::decay;
        }
        break;
      case State::decay:
        value -= decayStep;
        if (value <= settings.sustainLevel) {
          value = settings.sustainLevel;
          state = State::sustain;
        }
        break;
      case State::release:
        value -= releaseStep;
        if (value <= 0.0f) {
          value = 0.0f;
          state = State::idle;
        }
        break;
      case State::sustain:
      case State::idle:
        break;
    }
    return value;
  }

  // Restarts the attack from 0.
  void trigger() {
    state = State::attack;
    value = 0.0f;
  }

  // Starts the release from the current value, whatever the state.
  void release() { state = State::release; }

  // Stores new settings and recomputes the steps; state and value are kept.
  void setSettings(const AdsrSettings& newSettings);

  // Sets the sustain level and moves the output to it at once, in every state.
  void setSustain(float level);

  AdsrSettings getSettings() const { return settings; }
  State getState() const { return state; }
  float getValue() const { return value; }

 private:
  // The side-by-side render runs the envelopes of all voices at once.
  friend struct lanes::AdsrLanes;

  void computeSteps();

  float sampleRate = 44100.0f;
  State state = State::idle;
  AdsrSettings settings;
  float attackStep = 1.0f;
  float decayStep = 1.0f;
  float releaseStep = 0.0f;
  float value = 0.0f;
};

// Tracks the magnitude of a signal: jumps (or rises by the attack coefficient)
// to larger inputs and decays by the release coefficient otherwise.
class EnvelopeFollower {
 public:
  // The smallest value the follower returns; also keeps it clear of denormals.
  static constexpr float kFloor = 1e-13f;

  void setAttack(float coefficient) { attackCoefficient = coefficient; }
  void setRelease(float coefficient) { releaseCoefficient = coefficient; }

  // Feeds one sample and returns the tracked magnitude.
  float process(float x) {
    // Both ways are computed and one is chosen: the choice follows the signal,
    // which a branch would keep mispredicting.
    const float a = std::fabs(x);
    const float rising = a + (value - a) * attackCoefficient;
    const float falling = value * releaseCoefficient;
    value = a > value ? rising : falling;
    value = value < kFloor ? kFloor : value;
    return value;
  }

  float getValue() const { return value; }
  void reset() { value = 0.0f; }

 private:
  friend struct lanes::FollowerLanes;

  float value = 0.0f;
  float attackCoefficient = 0.0f;
  float releaseCoefficient = 0.9999f;
};

}  // namespace engine
