// A SynthPlugin built directly (no module, no host) whose internal state the
// tests may read: voices, derived settings, the smoothed controls per frame.
#pragma once

#include <vector>

#include "host/synth_plugin.h"

class SynthProbe : public SynthPlugin {
 public:
  SynthProbe() : SynthPlugin(nullptr) {}

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
  const params::ProgramRecord& current() { return currentRecord(); }

  // Records what the voices see at each frame.
  std::vector<float> warpSeen, bendSeen;
  void mixVoices(float inA, float inB, float& left, float& right) override {
    warpSeen.push_back(warpSmoothed);
    bendSeen.push_back(pitchBendRatioSmoothed);
    SynthPlugin::mixVoices(inA, inB, left, right);
  }

  void midi(uint8_t status, uint8_t d1, uint8_t d2, int32_t delta = 0) {
    vst::VstMidiEvent e{};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(e);
    e.deltaFrames = delta;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(d1);
    e.midiData[2] = static_cast<char>(d2);
    vst::VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<vst::VstEvent*>(&e);
    processEvents(&list);
  }

  // Renders n frames of silence in (replacing) and returns the left channel.
  std::vector<float> render(int n, std::vector<float>* right = nullptr) {
    std::vector<float> in(n, 0.0f), l(n), r(n);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {l.data(), r.data()};
    processReplacing(ins, outs, n);
    if (right) *right = r;
    return l;
  }
};
