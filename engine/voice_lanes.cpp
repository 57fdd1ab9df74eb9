#include "engine/voice_lanes.h"

#include <type_traits>

#include "engine/voice_lanes_kernel.h"

namespace engine {

using namespace lanes;

namespace {

// Copies a member into its lane, or the lane back into the member.
struct Load {
  template <class Member, class Lane>
  void operator()(Member& member, Lane& lane) const {
    lane = static_cast<std::remove_reference_t<Lane>>(member);
  }
};
struct Store {
  template <class Member, class Lane>
  void operator()(Member& member, Lane& lane) const {
    member = static_cast<Member>(lane);
  }
};

}  // namespace

namespace lanes {

template <class Copy>
void StringLanes::exchange(DelayLine& line, int l, Copy copy) {
  buffer[l] = line.buffer.data();
  capacity[l] = line.capacity;
  copy(line.writeIndex, writeIndex[l]);
  copy(line.readIndex, readIndex[l]);
  copy(line.integerDelay, integerDelay[l]);
  copy(line.fraction, fraction[l]);
  copy(line.h0, h0[l]);
  copy(line.h1, h1[l]);
  copy(line.h2, h2[l]);
  copy(line.h3, h3[l]);
  copy(line.lastOutputValue, lastOutput[l]);
}

template <class Copy>
void LfoLanes::exchange(Lfo& lfo, int l, Copy copy) {
  copy(lfo.phase, phase[l]);
  copy(lfo.increment, increment[l]);
  start[l] = Lfo::waveformStart(*lfo.table);
}

template <class Copy>
void AdsrLanes::exchange(Adsr& adsr, int l, Copy copy) {
  copy(adsr.state, state[l]);
  copy(adsr.value, value[l]);
  copy(adsr.attackStep, attackStep[l]);
  copy(adsr.decayStep, decayStep[l]);
  copy(adsr.settings.sustainLevel, sustainLevel[l]);
  copy(adsr.releaseStep, releaseStep[l]);
}

template <class Copy>
void FollowerLanes::exchange(EnvelopeFollower& follower, int l, Copy copy) {
  copy(follower.value, value[l]);
  copy(follower.attackCoefficient, attack[l]);
  copy(follower.releaseCoefficient, release[l]);
}

template <class Copy>
void NoiseLanes::exchange(NoiseTable& table, int l, Copy copy) {
  values[l] = table.values;
  size[l] = table.size;
  copy(table.position, position[l]);
}

}  // namespace lanes

VoiceLanes::VoiceLanes() { setKernel(Kernel::avx2); }

bool VoiceLanes::available(Kernel k) {
#if defined(QS_WIDE_VOICE_LANES)
  if (k == Kernel::avx2) return __builtin_cpu_supports("avx2");
#endif
  return k == Kernel::sse2;
}

void VoiceLanes::setKernel(Kernel k) { kernel = available(k) ? k : Kernel::sse2; }

template <class Copy>
void VoiceLanes::exchange(Voice& v, int l, Copy copy) {
  stringA.exchange(v.stringA, l, copy);
  stringB.exchange(v.stringB, l, copy);
  lfoA.exchange(v.lfoA, l, copy);
  lfoB.exchange(v.lfoB, l, copy);
  warpLfo.exchange(v.warpLfo, l, copy);
  ampEnvelope.exchange(v.ampEnvelope, l, copy);
  filterEnvelope.exchange(v.filterEnvelope, l, copy);
  followerA.exchange(v.followerA, l, copy);
  followerB.exchange(v.followerB, l, copy);
  noise.exchange(v.noise, l, copy);
  copy(v.pan, pan[l]);
  copy(v.delayLengthA, delayLengthA[l]);
  copy(v.delayLengthB, delayLengthB[l]);
  copy(v.loopGainA, loopGainA[l]);
  copy(v.loopGainB, loopGainB[l]);
  copy(v.velocityGain, velocityGain[l]);
  copy(v.quantizeSteps, quantizeSteps[l]);
  copy(v.quantizeStepInverse, quantizeStepInverse[l]);
  copy(v.loopStateA, loopStateA[l]);
  copy(v.loopStateB, loopStateB[l]);
  copy(v.leakBlockAB, leakBlockAB[l]);
  copy(v.leakBlockBA, leakBlockBA[l]);
  copy(v.couplingState, couplingState[l]);
  copy(v.noiseState, noiseState[l]);
  copy(v.heldLeak, heldLeak[l]);
  copy(v.envelopeA, envelopeA[l]);
  copy(v.envelopeB, envelopeB[l]);
  copy(v.level, level[l]);
  copy(v.denormalOffset, denormalOffset[l]);
  copy(v.samplesSinceStart, samplesSinceStart[l]);
}

void VoiceLanes::loadLane(Voice& v, int l) {
  exchange(v, l, Load{});
  noteState(l, v.state.get());
  waiting = (waiting & ~(1u << l)) | uint32_t{v.pending.active} << l;
}

// The state is not given back here: the lanes write it through as it changes.
void VoiceLanes::storeLane(Voice& v, int l) { exchange(v, l, Store{}); }

void VoiceLanes::noteState(int l, int32_t newState) {
  state[l] = newState;
  sounding = (sounding & ~(1u << l)) | uint32_t{newState != kVoiceFree} << l;
}

void VoiceLanes::setState(Voice& v, int l, int32_t newState) {
  noteState(l, newState);
  v.state = newState;
}

void VoiceLanes::load(Voice* const* voices) {
  present = 0;
  for (int l = 0; l < kLanes; ++l) {
    if (!voices[l]) continue;
    present |= 1u << l;
    engine = &voices[l]->engine;
    loadLane(*voices[l], l);
  }
}

void VoiceLanes::store(Voice* const* voices) {
  for (int l = 0; l < kLanes; ++l)
    if (voices[l]) storeLane(*voices[l], l);
}

void VoiceLanes::stopVoice(Voice& v, int l) {
  storeLane(v, l);
  const PendingNote waiting = v.pending;
  v.reset(true);
  v.pending = waiting;
  loadLane(v, l);
}

uint32_t VoiceLanes::startFrame(Voice* const* voices, int32_t count) {
  const uint32_t lanes = count > 0 ? present & ((1u << count) - 1u) : 0u;
  // Only voices with settings pushed or a note waiting need a closer look. None
  // of it reads another voice, so the voices need not take turns.
  // The plain read spares the locked clear on the frames where nothing was pushed.
  uint32_t look = waiting & lanes;
  if (lanes != 0 && (engine->pushedVoices.load(std::memory_order_relaxed) & lanes) != 0)
    look |= engine->pushedVoices.fetch_and(~lanes, std::memory_order_acquire) & lanes;
  for (; look != 0; look &= look - 1) {
    const int l = __builtin_ctz(look);
    Voice* v = voices[l];
    if (v->pushes.load(std::memory_order_relaxed) != 0) {
      storeLane(*v, l);
      v->applyPushes();
      loadLane(*v, l);
    }
    PendingNote& pending = v->pending;
    if (pending.active) {
      if (pending.countdown == 0) {
        storeLane(*v, l);
        v->startPendingNote();
        loadLane(*v, l);
      } else if (pending.countdown > 0) {
        --pending.countdown;
        setState(*v, l, kVoiceTakenOver);
      }
    }
  }
  return sounding & lanes;
}

void VoiceLanes::mix(Voice* const* voices, int32_t count, float inA, float inB,
                     BodyFilterLanes& bodies, float& left, float& right) {
  if (count > kLanes) count = kLanes;
  const uint32_t run = startFrame(voices, count);
  for (float& sample : output.lane) sample = 0.0f;
  if (run != 0) {
    const EngineState& e = *engine;
    bodyRuns = e.bodyType1On || e.bodyType2On;
    const float position = e.raw(params::kFilterPos);
    bodyOnOutput = position >= render::kBodyOnOutput;
    bodyOnLeakBA = position > render::kBodyOnLeakBA;
    if (kernel == Kernel::sse2)
      renderSse2(voices, e, run, inA, inB, bodies);
    else if (bodies.getKernel() == BodyFilterLanes::Kernel::avx512)
      renderAvx512(voices, e, run, inA, inB, bodies);
    else
      renderAvx2(voices, e, run, inA, inB, bodies);
  }
  float l = left, r = right;
  for (int32_t v = 0; v < count; ++v) {
    if (!voices[v]) continue;
    const float s = output[v];
    const float p = pan[v];
    l += s * p;
    r += (1.0f - p) * s;
  }
  left = l;
  right = r;
}

void VoiceLanes::renderSse2(Voice* const* voices, const EngineState& e, uint32_t run, float inA,
                            float inB, BodyFilterLanes& bodies) {
  FrameKernel<4>::render(*this, voices, e, run, inA, inB, bodies);
}

#if defined(QS_WIDE_VOICE_LANES)
__attribute__((target("avx2"))) void VoiceLanes::renderAvx2(Voice* const* voices,
                                                            const EngineState& e, uint32_t run,
                                                            float inA, float inB,
                                                            BodyFilterLanes& bodies) {
  FrameKernel<8>::render(*this, voices, e, run, inA, inB, bodies);
}
#else
void VoiceLanes::renderAvx2(Voice* const* voices, const EngineState& e, uint32_t run, float inA,
                            float inB, BodyFilterLanes& bodies) {
  renderSse2(voices, e, run, inA, inB, bodies);
}
#endif

#if !defined(QS_AVX512_VOICE_LANES)
// Builds without the AVX-512 frame (other compilers and systems, debug and
// sanitizer builds).
void VoiceLanes::renderAvx512(Voice* const* voices, const EngineState& e, uint32_t run, float inA,
                              float inB, BodyFilterLanes& bodies) {
  renderAvx2(voices, e, run, inA, inB, bodies);
}
#endif

}  // namespace engine
