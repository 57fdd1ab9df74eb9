// The instrument built directly (no module, no host, no format layer) whose
// internal state the tests may read: voices, derived settings, the smoothed
// controls per frame.
#pragma once

#include <vector>

#include "core/synth.h"

class SynthProbe : public core::Synth {
 public:
  using EngineState::bodyOrder;
  using EngineState::detuneRatioB;
  using EngineState::leakOnAB;
  using EngineState::leakShapeOn;
  using EngineState::masterGain;
  using EngineState::pitchBendRatio;
  using EngineState::pitchBendRatioSmoothed;
  using EngineState::sampleCounter;
  using EngineState::voiceCount;
  using EngineState::voicesInTurn;
  using EngineState::warpSmoothed;

  engine::Voice& voice(int i) { return *voices[i]; }
  engine::BodyFilterLanes& bodyFilters() { return laneRenderer.bodyFilters(); }
  engine::VoiceLanes& voiceLanes() { return laneRenderer.voices(); }
  const params::ProgramRecord& current() { return currentRecord(); }

  // Records what the voices see at each frame.
  std::vector<float> warpSeen, bendSeen;
  void mixVoices(float inA, float inB, float& left, float& right) override {
    warpSeen.push_back(warpSmoothed);
    bendSeen.push_back(pitchBendRatioSmoothed);
    core::Synth::mixVoices(inA, inB, left, right);
  }

  void midi(uint8_t status, uint8_t d1, uint8_t d2, int32_t delta = 0) {
    const uint8_t bytes[3] = {status, d1, d2};
    core::Synth::midi(bytes, 3, delta, 0);
  }

  void process(float** inputs, float** outputs, int n) {
    core::Synth::render(inputs, outputs, n, false);
  }
  void processReplacing(float** inputs, float** outputs, int n) {
    core::Synth::render(inputs, outputs, n, true);
  }

  // Renders n frames of silence in (replacing) and returns the left channel.
  std::vector<float> render(int n, std::vector<float>* right = nullptr) {
    std::vector<float> in(n, 0.0f), l(n), r(n);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {l.data(), r.data()};
    core::Synth::render(ins, outs, n, true);
    if (right) *right = r;
    return l;
  }
};
