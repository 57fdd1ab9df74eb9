// The running state of the eight voices side by side, one lane per voice, and
// the frame render that advances them all at once. A block starts by taking the
// voices' state into the lanes and ends by giving it back, so that between
// blocks the voices are what they always are; inside a block, whatever a voice
// does on its own (a note starting, settings pushed by another thread, a string
// running away) is done by the voice itself, with its lane given back first and
// taken again after. Every lane runs exactly the operations of `Voice::render`
// in the same order, so the bits are those of the voices rendered in turn.
#pragma once

#include <cstdint>

#include "engine/body_filter_lanes.h"
#include "engine/delay_line_lanes.h"
#include "engine/engine_state.h"
#include "engine/lane_vector.h"
#include "engine/voice.h"

namespace engine {

namespace lanes {

// The members of a voice's string that a sample reads or writes.
struct StringLanes {
  // Lanes without a voice read silence from here (and never write).
  static inline float silence[4] = {};

  StringLanes() {
    for (float*& samples : buffer) samples = silence;
    for (Ints& size : capacity) size = splat(1);
  }

  float* buffer[kVoiceLanes] = {};
  Ints capacity[kGroups] = {};
  Ints writeIndex[kGroups] = {};
  Ints readIndex[kGroups] = {};
  Ints integerDelay[kGroups] = {};
  Floats fraction[kGroups] = {};
  Floats h0[kGroups] = {}, h1[kGroups] = {}, h2[kGroups] = {}, h3[kGroups] = {};
  Floats lastOutput[kGroups] = {};

  template <class Copy>
  void exchange(DelayLine& line, int l, Copy copy);
  // Writes the input of every lane of group g in `run` and reads the delayed sample.
  void tick(int g, Floats input, uint32_t run);
  // Sets the lanes in `due` (of all groups) to their new taps: lane l's are
  // those of `taps.at(first + l)`, applied as DelayLine::setTaps does.
  void setTaps(const DelayTapLanes& taps, int first, uint32_t due);
};

struct LfoLanes {
  LfoLanes() {
    for (const WaveTable*& t : table) t = &Lfo::waveform(Lfo::kTriangle);
  }

  Bits phase[kGroups] = {};
  Bits increment[kGroups] = {};
  const WaveTable* table[kVoiceLanes] = {};

  template <class Copy>
  void exchange(Lfo& lfo, int l, Copy copy);
  // Lfo::tick in the lanes of group g in `run`; the others keep their phase.
  Floats tick(int g, Ints run);
};

struct AdsrLanes {
  Ints state[kGroups] = {};
  Floats value[kGroups] = {};
  Floats attackStep[kGroups] = {}, decayStep[kGroups] = {};
  Floats sustainLevel[kGroups] = {}, releaseStep[kGroups] = {};

  template <class Copy>
  void exchange(Adsr& adsr, int l, Copy copy);
  // Adsr::tick in the lanes of group g in `run`.
  Floats tick(int g, Ints run);
};

struct FollowerLanes {
  Floats value[kGroups] = {};
  Floats attack[kGroups] = {};
  Floats release[kGroups] = {};

  template <class Copy>
  void exchange(EnvelopeFollower& follower, int l, Copy copy);
  // EnvelopeFollower::process in the lanes of group g in `run`.
  Floats process(int g, Floats x, Ints run);
};

struct NoiseLanes {
  const float* values[kVoiceLanes] = {};
  int32_t size[kVoiceLanes] = {};
  int32_t position[kVoiceLanes] = {};

  template <class Copy>
  void exchange(NoiseTable& noise, int l, Copy copy);
  float next(int l) {
    const float value = values[l][position[l]];
    if (++position[l] >= size[l]) position[l] = 0;
    return value;
  }
};

}  // namespace lanes

class VoiceLanes {
 public:
  static constexpr int kLanes = lanes::kVoiceLanes;

  // Takes the state of voices 0 … kLanes - 1 (null entries skipped) into the lanes.
  void load(Voice* const* voices);
  // Gives it back to the voices.
  void store(Voice* const* voices);

  // One frame of voices 0 … count - 1 (null entries skipped), their body
  // filters run in `bodies`, mixed into a stereo pair in voice order.
  void mix(Voice* const* voices, int32_t count, float inA, float inB, BodyFilterLanes& bodies,
           float& left, float& right);

 private:
  using Floats = lanes::Floats;
  using Ints = lanes::Ints;
  using Bits = lanes::Bits;
  static constexpr int kGroups = lanes::kGroups;

  template <class Copy>
  void exchange(Voice& voice, int l, Copy copy);
  void loadLane(Voice& voice, int l);
  void storeLane(Voice& voice, int l);
  void setState(Voice& voice, int l, int32_t newState);

  // A frame in three steps: each group of lanes up to its body filter, the
  // body filters of all lanes, each group on from there. `run` holds a bit
  // per voice that renders, cleared for a voice that stops on the way.
  void renderToBody(Voice* const* voices, const EngineState& e, int g, uint32_t& run, float inA,
                    float inB);
  void filterBodies(uint32_t run, BodyFilterLanes& bodies);
  void renderFromBody(Voice* const* voices, const EngineState& e, int g, uint32_t run);
  Floats leakAtoB(const EngineState& e, int g, Ints running, Floats A, Floats B, Floats o);

  lanes::StringLanes stringA, stringB;
  lanes::LfoLanes lfoA, lfoB, warpLfo;
  lanes::AdsrLanes ampEnvelope, filterEnvelope;
  lanes::FollowerLanes followerA, followerB;
  lanes::NoiseLanes noise;

  Floats pan[kGroups] = {}, delayLengthA[kGroups] = {}, delayLengthB[kGroups] = {};
  Floats loopGainA[kGroups] = {}, loopGainB[kGroups] = {}, velocityGain[kGroups] = {};
  Floats quantizeSteps[kGroups] = {}, quantizeStepInverse[kGroups] = {};
  Floats loopStateA[kGroups] = {}, loopStateB[kGroups] = {};
  Floats leakBlockAB[kGroups] = {}, leakBlockBA[kGroups] = {};
  Floats couplingState[kGroups] = {}, noiseState[kGroups] = {}, heldLeak[kGroups] = {};
  Floats envelopeA[kGroups] = {}, envelopeB[kGroups] = {}, level[kGroups] = {};
  Floats denormalOffset[kGroups] = {};
  Bits samplesSinceStart[kGroups] = {};
  Ints state[kGroups] = {};

  // What a frame carries across the body filters: the mix of the saturated
  // string outputs, A after the loop low-pass, the two leaks, string B's
  // write-back and the offset; the body filters' inputs, warping and morph;
  // then their outputs and the voices' samples.
  struct Across {
    Floats mixed, A, leakAB, leakBA, writeB, offset, bodyInput, warp, morph, bodyOutput, output;
  };
  Across across[kGroups] = {};
  uint32_t delayDueA = 0;  // bit per voice: a new delay is due for string A
  uint32_t delayDueB = 0;
  bool bodyRuns = false;
  bool bodyOnOutput = false;
  bool bodyOnLeakBA = false;
  alignas(16) BodyLaneFrame frame;
  alignas(16) double filtered[BodyLaneState::kLanes] = {};
  // The strings' new delays: string A of voice l in column l, string B in kLanes + l.
  alignas(16) DelayTapLanes taps;
};

}  // namespace engine
