// One playable voice: two cross-coupled strings, a body filter, three LFOs,
// two envelopes and the level followers. Eight are built with the plug-in and
// re-initialised in place for every note.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/body_filter.h"
#include "engine/delay_line.h"
#include "engine/engine_state.h"
#include "engine/envelopes.h"
#include "engine/lfo.h"
#include "engine/noise_table.h"

namespace engine {

class VoiceLanes;

enum VoiceState : int32_t {
  kVoiceSounding = 2,
  kVoiceFree = 6,
  kVoiceTakenOver = 7,
};

// A note waiting in a voice for its sample frame.
struct PendingNote {
  bool active = false;  // a note is pending (the stamp alone cannot tell at frame 0)
  int32_t stamp = 0;    // the engine's sample counter when the note-on was handled
  int32_t note = 0;
  int32_t detune = 0;
  int32_t velocity = 0;    // 1 to 127; 0 when nothing is pending
  int32_t countdown = -1;  // frames still to wait; -1 when nothing is pending
};

class Voice {
 public:
  static constexpr int32_t kStringCapacity = 8192;

  // `bodies` holds the body filters side by side; this voice's is lane `lane`.
  Voice(EngineState& engine, BodyLaneState& bodies, int lane);

  // One output sample, with the host's inputs (already divided by the voice count).
  float render(float inA, float inB);
  // Becomes free; a full reset also drops the notes and clears every state.
  void reset(bool full);
  // Starts a note: string lengths, excitation, pan, body, envelopes.
  void noteStart(int32_t note, float velocity, float brightness);
  // Starts the pending note now.
  void startPendingNote();
  // Fills the body filter's coefficient set A or B from body type 1 or 2.
  void loadBodyType(bool fromType1, bool toSetA);

  // Note-off: both envelopes release.
  void release();
  // Settings pushed into the voice by parameter changes, possibly from another
  // thread: they are handed over through atomics and applied by the next render.
  void setLfoRate(int32_t lfo, float hz);
  void setFilterSustain(float level);
  void setRefreshInterval(int32_t interval);

  float getLevel() const { return level; }
  int32_t getState() const { return state.get(); }
  void setFree() { state = kVoiceFree; }
  int32_t getCurrentNote() const { return currentNote; }
  float getPan() const { return pan; }
  float getDelayLengthA() const { return delayLengthA; }
  float getDelayLengthB() const { return delayLengthB; }

  PendingNote pending;

 private:
  // Renders all voices side by side, on the voices' own state between blocks.
  friend class VoiceLanes;

  float leakAtoB(float A, float B, float offset);
  float endSample(float y);
  void push(uint32_t what);
  void applyPushes();

  enum PushBits : uint32_t {
    kPushLfoA = 1,
    kPushLfoB = 2,
    kPushWarpLfo = 4,
    kPushSustain = 8,
    kPushInterval = 16,
  };
  std::atomic<uint32_t> pushes{0};
  Shared<float> pushedRates[3];
  Shared<float> pushedSustain{0.0f};
  Shared<int32_t> pushedInterval{8};

  EngineState& engine;
  // This voice's bit in the engine's `pushedVoices` (its lane).
  const uint32_t laneBit;
  DelayLine stringA{kStringCapacity};
  DelayLine stringB{kStringCapacity};
  BodyFilter body;
  Lfo lfoA;
  Lfo lfoB;
  Lfo warpLfo;
  NoiseTable noise{44100};
  Adsr ampEnvelope;
  Adsr filterEnvelope;
  EnvelopeFollower followerA;
  EnvelopeFollower followerB;

  float pan = 0.5f;
  float delayLengthA = 0.0f;
  float delayLengthB = 0.0f;
  float loopGainA = 0.0f;
  float loopGainB = 0.0f;
  float velocityGain = 0.0f;
  float quantizeSteps = 1.0f;
  float quantizeStepInverse = 1.0f;

  float loopStateA = 0.0f;
  float loopStateB = 0.0f;
  float leakBlockAB = 0.0f;
  float leakBlockBA = 0.0f;
  float couplingState = 0.0f;
  float noiseState = 0.0f;
  float heldLeak = 0.0f;
  float envelopeA = 0.0f;
  float envelopeB = 0.0f;
  float level = 0.0f;
  float denormalOffset = 1e-14f;

  uint32_t samplesSinceStart = 0;
  Shared<int32_t> state{kVoiceFree};
  int32_t currentNote = 0;
  int32_t currentDetune = 0;
  int32_t currentVelocity = 0;
};

}  // namespace engine
