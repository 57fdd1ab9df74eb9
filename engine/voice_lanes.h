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
#include "engine/delay_line.h"
#include "engine/engine_state.h"
#include "engine/lane_vector.h"
#include "engine/voice.h"

namespace engine {

namespace lanes {

template <int W>
struct FrameKernel;

// The members of a voice's string that a sample reads or writes.
struct StringLanes {
  // Lanes without a voice read silence from here (and never write).
  static inline float silence[4] = {};
  // Past its end, a string's buffer repeats this many first samples.
  static constexpr int kGuard = DelayLine::kGuard;

  StringLanes() {
    for (float*& samples : buffer) samples = silence;
    for (int32_t& size : capacity.lane) size = 1;
  }

  float* buffer[kVoiceLanes] = {};
  LaneArray<int32_t> capacity, writeIndex, readIndex, integerDelay;
  LaneArray<float> fraction, h0, h1, h2, h3, lastOutput;

  template <class Copy>
  void exchange(DelayLine& line, int l, Copy copy);
};

struct LfoLanes {
  LfoLanes() {
    for (int32_t& at : start.lane) at = Lfo::waveformStart(Lfo::waveform(Lfo::kTriangle));
  }

  LaneArray<uint32_t> phase, increment;
  // Where each lane's table starts in `Lfo::waveforms()`.
  const float* waveforms = Lfo::waveforms();
  LaneArray<int32_t> start;

  template <class Copy>
  void exchange(Lfo& lfo, int l, Copy copy);
};

struct AdsrLanes {
  LaneArray<int32_t> state;
  LaneArray<float> value, attackStep, decayStep, sustainLevel, releaseStep;

  template <class Copy>
  void exchange(Adsr& adsr, int l, Copy copy);
};

struct FollowerLanes {
  LaneArray<float> value, attack, release;

  template <class Copy>
  void exchange(EnvelopeFollower& follower, int l, Copy copy);
};

struct NoiseLanes {
  NoiseLanes() {
    for (const float*& table : values) table = StringLanes::silence;
    for (int32_t& entries : size.lane) entries = 1;
  }

  // Each lane's table: a lane reads entry `position` and moves on.
  const float* values[kVoiceLanes] = {};
  LaneArray<int32_t> size, position;

  template <class Copy>
  void exchange(NoiseTable& noise, int l, Copy copy);
};

}  // namespace lanes

class VoiceLanes {
 public:
  static constexpr int kLanes = lanes::kVoiceLanes;
  // Four lanes to an SSE2 register (every build), or eight to an AVX2 register
  // (64-bit builds, where the processor has it).
  enum class Kernel { sse2, avx2 };

  VoiceLanes();

  static bool available(Kernel kernel);
  // Picks the kernel, if available (else SSE2). Default: the widest available.
  void setKernel(Kernel kernel);
  Kernel getKernel() const { return kernel; }

  // Takes the state of voices 0 … kLanes - 1 (null entries skipped) into the lanes.
  void load(Voice* const* voices);
  // Gives it back to the voices.
  void store(Voice* const* voices);

  // One frame of voices 0 … count - 1 (null entries skipped), their body
  // filters run in `bodies`, mixed into a stereo pair in voice order. Voice l
  // must filter in body lane l.
  void mix(Voice* const* voices, int32_t count, float inA, float inB, BodyFilterLanes& bodies,
           float& left, float& right);

 private:
  template <int W>
  friend struct lanes::FrameKernel;

  template <class Copy>
  void exchange(Voice& voice, int l, Copy copy);
  void loadLane(Voice& voice, int l);
  void storeLane(Voice& voice, int l);
  // The lane's state changes (`setState` tells the voice as well).
  void noteState(int l, int32_t newState);
  void setState(Voice& voice, int l, int32_t newState);
  // What each voice does on its own before its sample: pushed settings, a
  // pending note. Returns the voices that render (bit l: voice l).
  uint32_t startFrame(Voice* const* voices, int32_t count);
  // A string that ran away stops its voice, which keeps a note waiting there.
  void stopVoice(Voice& voice, int l);

  // The frame's vector part, built for each instruction set.
  void renderSse2(Voice* const* voices, const EngineState& e, uint32_t run, float inA, float inB,
                  BodyFilterLanes& bodies);
  void renderAvx2(Voice* const* voices, const EngineState& e, uint32_t run, float inA, float inB,
                  BodyFilterLanes& bodies);
  // AVX2's lanes with the body filters' AVX-512 kernel, the voices' work run
  // between the filter rows where it can.
  void renderAvx512(Voice* const* voices, const EngineState& e, uint32_t run, float inA, float inB,
                    BodyFilterLanes& bodies);

  Kernel kernel = Kernel::sse2;

  lanes::StringLanes stringA, stringB;
  lanes::LfoLanes lfoA, lfoB, warpLfo;
  lanes::AdsrLanes ampEnvelope, filterEnvelope;
  lanes::FollowerLanes followerA, followerB;
  lanes::NoiseLanes noise;

  lanes::LaneArray<float> pan, delayLengthA, delayLengthB;
  lanes::LaneArray<float> loopGainA, loopGainB, velocityGain;
  lanes::LaneArray<float> quantizeSteps, quantizeStepInverse;
  lanes::LaneArray<float> loopStateA, loopStateB, leakBlockAB, leakBlockBA;
  lanes::LaneArray<float> couplingState, noiseState, heldLeak;
  lanes::LaneArray<float> envelopeA, envelopeB, level, denormalOffset;
  lanes::LaneArray<uint32_t> samplesSinceStart;
  lanes::LaneArray<int32_t> state;
  // A bit per lane, kept as the lanes change: its voice was taken in by `load`
  // (`present`), it is not free (`sounding`), a note waits on it (`waiting`).
  uint32_t present = 0, sounding = 0, waiting = 0;
  // The engine all the voices play in (set by `load` where there is a voice).
  EngineState* engine = nullptr;

  // What a frame carries across the body filters: the mix of the saturated
  // string outputs, A after the loop low-pass, the two leaks, string B's
  // write-back and the offset; the body filters' inputs, warping and morph;
  // then their outputs and the voices' samples.
  lanes::LaneArray<float> mixed, stringAfterLoop, leakAB, leakBA, writeB, offset;
  lanes::LaneArray<float> bodyInput, warp, morph, bodyOutput, output;
  bool bodyRuns = false;
  bool bodyOnOutput = false;
  bool bodyOnLeakBA = false;
  BodyLaneFrame frame;
  alignas(32) double filtered[BodyLaneState::kLanes] = {};
};

}  // namespace engine
