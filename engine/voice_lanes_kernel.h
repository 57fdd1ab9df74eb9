// The frame render of the voice lanes for W lanes to a register, written once
// for both widths. Everything here inlines into one entry point per instruction
// set (see voice_lanes.cpp and voice_lanes_avx512.cpp), so that nothing is
// compiled for a wider set than its caller asks for. Every lane runs the
// operations of `Voice::render` in the same order; masks keep the lanes of
// voices that do not render as they are. The frame's stages touch state of
// their own, so a frame may run them in another order (`renderAmongRows`).
#pragma once

#include <cstring>

#include "engine/voice_constants.h"
#include "engine/voice_lanes.h"
#include "params/parameter_table.h"

namespace engine::lanes {

template <class Visit>
QS_LANE_INLINE void forEachLane(uint32_t bits, Visit visit) {
  for (; bits != 0; bits &= bits - 1) visit(__builtin_ctz(bits));
}

template <int W>
struct FrameKernel {
  using V = Lanes<W>;
  using Floats = typename V::Floats;
  using Ints = typename V::Ints;
  using Bits = typename V::Bits;
  static constexpr int kGroups = V::kGroups;

  // The bits of group g's lanes in a bit set of all lanes, and back.
  QS_LANE_INLINE static uint32_t groupBits(uint32_t bits, int g) {
    return (bits >> (W * g)) & ((1u << W) - 1u);
  }
  QS_LANE_INLINE static uint32_t allBits(uint32_t bits, int g) { return bits << (W * g); }

  // Writes the input of every lane of group g in `run` and reads the delayed
  // sample: each lane writes and moves on, the four taps of every lane are read
  // into registers and interpolated side by side.
  QS_LANE_INLINE static void tick(StringLanes& s, int g, Floats input, uint32_t run) {
    const Ints write = V::at(s.writeIndex, g);
    const Ints read = V::at(s.readIndex, g);
    const Ints size = V::at(s.capacity, g);
    // Lane by lane, the indices come from memory and the inputs from one store:
    // taking them out of registers one at a time costs more.
    float in[W];
    std::memcpy(in, &input, sizeof in);
    const int32_t* writes = s.writeIndex.lane + W * g;
    const int32_t* reads = s.readIndex.lane + W * g;
    const int32_t* sizes = s.capacity.lane + W * g;
    const float* at[W];
#pragma GCC unroll 8
    for (int i = 0; i < W; ++i) {
      float* samples = s.buffer[W * g + i];
      if (run & (1u << i)) {
        const int32_t w = writes[i];
        samples[w] = in[i];
        if (w < StringLanes::kGuard) samples[sizes[i] + w] = in[i];
      }
      at[i] = samples + reads[i];
    }
    Floats t[4];
    V::gatherFours(at, t);
    const Floats out =
        V::at(s.h3, g) * t[0] + V::at(s.h0, g) * t[3] + V::at(s.h1, g) * t[2] + V::at(s.h2, g) * t[1];
    const Ints running = V::maskOf(run);
    V::at(s.lastOutput, g) = V::select(running, out, V::at(s.lastOutput, g));
    const Ints nextWrite = write + 1, nextRead = read + 1;
    V::at(s.writeIndex, g) = V::select(running, V::select(nextWrite < size, nextWrite, Ints{}), write);
    V::at(s.readIndex, g) = V::select(running, V::select(nextRead < size, nextRead, Ints{}), read);
  }

  // DelayLine::taps of every lane.
  struct Taps {
    Floats ceiling, fraction, h0, h1, h2, h3;
  };
  QS_LANE_INLINE static Taps taps(Floats delay) {
    // Negative and NaN delays count as 0; the others are at most the largest delay.
    const Floats largest = V::splat(DelayLine::kLargestDelay);
    delay = V::select(delay > 0.0f, V::select(largest < delay, largest, delay), Floats{});
    Taps t;
    // Rounded up: the delay lies in [0, 1e9], where truncation to an integer is exact.
    t.ceiling = __builtin_convertvector(__builtin_convertvector(delay, Ints), Floats);
    t.ceiling += V::select(t.ceiling < delay, V::splat(1.0f), Floats{});
    t.fraction = t.ceiling - delay;
    // Lagrange basis polynomials for the nodes 0 … 3, evaluated at a in (2, 3].
    const Floats a = 3.0f - t.fraction;
    const Floats a1 = a - 1.0f, a2 = a - 2.0f, a3 = a - 3.0f;
    const float sixth = DelayLine::kSixth, half = DelayLine::kHalf;
    t.h0 = -(a1 * a2 * a3) * sixth;
    t.h1 = a * a2 * a3 * half;
    t.h2 = -(a * a1 * a3) * half;
    t.h3 = a * a1 * a2 * sixth;
    return t;
  }

  // Sets the lanes of group g in `m` to new delays, as DelayLine::setDelay does.
  QS_LANE_INLINE static void setDelays(StringLanes& s, int g, Floats delay, Ints m) {
    const Taps t = taps(delay);
    V::at(s.h0, g) = V::select(m, t.h0, V::at(s.h0, g));
    V::at(s.h1, g) = V::select(m, t.h1, V::at(s.h1, g));
    V::at(s.h2, g) = V::select(m, t.h2, V::at(s.h2, g));
    V::at(s.h3, g) = V::select(m, t.h3, V::at(s.h3, g));
    // The whole delay is at most capacity - 1; below that the ceiling is exact as an int.
    const Ints size = V::at(s.capacity, g);
    const Ints tooLong = t.ceiling >= __builtin_convertvector(size, Floats);
    const Ints whole = __builtin_convertvector(V::select(tooLong, Floats{}, t.ceiling), Ints);
    const Ints samples = V::select(tooLong, size - 1, whole);
    V::at(s.integerDelay, g) = V::select(m, samples, V::at(s.integerDelay, g));
    const Floats fraction = V::select(tooLong, Floats{}, t.fraction);
    V::at(s.fraction, g) = V::select(m, fraction, V::at(s.fraction, g));
    const Ints read = V::at(s.writeIndex, g) - samples;
    V::at(s.readIndex, g) = V::select(m, V::select(read < 0, read + size, read), V::at(s.readIndex, g));
  }

  // Lfo::tick in the lanes of group g in `run`; the others keep their phase.
  QS_LANE_INLINE static Floats tick(LfoLanes& lfo, int g, Ints run) {
    Bits& phase = V::at(lfo.phase, g);
    const Bits p = phase;
    // Each lane's table entry, worked out lane by lane from memory: taking the
    // lanes out of a register one at a time costs more.
    int32_t entry[W];
#pragma GCC unroll 8
    for (int i = 0; i < W; ++i)
      entry[i] = lfo.start[W * g + i] + static_cast<int32_t>(lfo.phase[W * g + i] >> 24);
    // The fraction has 24 bits: exact as an int and as a float.
    const Ints low = __builtin_convertvector(p & 0xFFFFFFu, Ints);
    const Floats fraction = __builtin_convertvector(low, Floats) * (1.0f / 16777216.0f);
    phase = V::select(run, p + V::at(lfo.increment, g), p);
    Floats at, next;
    V::gatherPairs(lfo.waveforms, entry, at, next);
    return at + fraction * (next - at);
  }

  // Adsr::tick in the lanes of group g in `run`.
  QS_LANE_INLINE static Floats tick(AdsrLanes& adsr, int g, Ints run) {
    using S = Adsr::State;
    Ints& state = V::at(adsr.state, g);
    Floats& value = V::at(adsr.value, g);
    const Floats sustain = V::at(adsr.sustainLevel, g);
    const Ints attack = run & (state == static_cast<int32_t>(S::attack));
    const Ints decay = run & (state == static_cast<int32_t>(S::decay));
    const Ints release = run & (state == static_cast<int32_t>(S::release));
    const Floats rising = value + V::at(adsr.attackStep, g);
    const Floats falling = value - V::at(adsr.decayStep, g);
    const Floats releasing = value - V::at(adsr.releaseStep, g);
    const Ints attackEnds = attack & (rising >= 1.0f);
    const Ints decayEnds = decay & (falling <= sustain);
    const Ints releaseEnds = release & (releasing <= 0.0f);
    Floats next = V::select(attack, V::select(attackEnds, V::splat(1.0f), rising), value);
    next = V::select(decay, V::select(decayEnds, sustain, falling), next);
    next = V::select(release, V::select(releaseEnds, Floats{}, releasing), next);
    Ints nextState = V::select(attackEnds, V::splat(static_cast<int32_t>(S::decay)), state);
    nextState = V::select(decayEnds, V::splat(static_cast<int32_t>(S::sustain)), nextState);
    state = V::select(releaseEnds, V::splat(static_cast<int32_t>(S::idle)), nextState);
    value = next;
    return next;
  }

  // NoiseTable::next in the lanes of group g in `take`; the others give 0 and stay.
  QS_LANE_INLINE static Floats next(NoiseLanes& noise, int g, Ints take) {
    Ints& position = V::at(noise.position, g);
    const Floats value = V::gatherEach(noise.values + W * g, noise.position.lane + W * g);
    const Ints following = position + 1;
    position =
        V::select(take, V::select(following < V::at(noise.size, g), following, Ints{}), position);
    return V::select(take, value, Floats{});
  }

  // EnvelopeFollower::process in the lanes of group g in `run`.
  QS_LANE_INLINE static Floats process(FollowerLanes& follower, int g, Floats x, Ints run) {
    Floats& value = V::at(follower.value, g);
    const Floats a = V::abs(x);
    const Floats old = value;
    const Floats rising = a + (old - a) * V::at(follower.attack, g);
    const Floats falling = old * V::at(follower.release, g);
    Floats v = V::select(a > old, rising, falling);
    v = V::select(v < EnvelopeFollower::kFloor, V::splat(EnvelopeFollower::kFloor), v);
    value = V::select(run, v, old);
    return v;
  }

  // A frame in three steps: each group of lanes up to its body filter, the
  // body filters of all lanes, each group on from there. `run` holds a bit per
  // voice that renders; a voice whose string runs away drops out on the way.
  // When every voice renders and none runs away, as mostly, the frame is built
  // knowing it, so that the masks fold away.
  QS_LANE_INLINE static void render(VoiceLanes& s, Voice* const* voices, const EngineState& e,
                                    uint32_t run, float inA, float inB, BodyFilterLanes& bodies) {
    constexpr uint32_t kEvery = (1u << kVoiceLanes) - 1u;
    Floats a[kGroups], b[kGroups];
    bool steady = run == kEvery;
    for (int g = 0; g < kGroups; ++g) {
      stringOutputs(s, e, g, inA, inB, a[g], b[g]);
      steady = steady && !V::any(runsAway(a[g], b[g]));
    }
    if (steady)
      renderFrame<true>(s, voices, e, kEvery, a, b, bodies);
    else
      renderFrame<false>(s, voices, e, run, a, b, bodies);
  }

  // `a` and `b`: each group's string outputs.
  template <bool Steady>
  QS_LANE_INLINE static void renderFrame(VoiceLanes& s, Voice* const* voices, const EngineState& e,
                                         uint32_t run, const Floats* a, const Floats* b,
                                         BodyFilterLanes& bodies) {
    for (int g = 0; g < kGroups; ++g)
      if (groupBits(run, g)) renderToBody<Steady>(s, voices, e, g, run, a[g], b[g]);
    if (s.bodyRuns && run != 0) filterBodies(s, run, bodies);
    for (int g = 0; g < kGroups; ++g)
      if (groupBits(run, g)) renderFromBody(s, voices, e, g, run);
  }

  // The strings' outputs, with the host's input added, through the saturation curve.
  QS_LANE_INLINE static void stringOutputs(VoiceLanes& s, const EngineState& e, int g, float inA,
                                           float inB, Floats& a, Floats& b) {
    a = V::at(s.stringA.lastOutput, g) + inA;
    b = V::at(s.stringB.lastOutput, g) + inB;
    if (const float k = e.saturationA; k > 0.0f) a = (1.0f + k) * a - k * a * a * a;
    if (const float k = e.saturationB; k > 0.0f) b = (1.0f + k) * b - k * b * b * b;
  }
  QS_LANE_INLINE static Ints runsAway(Floats a, Floats b) {
    using namespace ::engine::render;
    return ~((V::abs(a) <= kRunawayLevel) & (V::abs(b) <= kRunawayLevel));
  }

  // `Steady`: every lane renders and no string runs away.
  template <bool Steady>
  QS_LANE_INLINE static void renderToBody(VoiceLanes& s, Voice* const* voices, const EngineState& e,
                                          int g, uint32_t& run, Floats a, Floats b) {
    Ints running = V::maskOf(groupBits(run, g));
    const Floats o = V::at(s.denormalOffset, g);
    // A string that runs away stops its voice; a note waiting there is kept.
    if constexpr (!Steady) {
      const Ints runaway = running & runsAway(a, b);
      if (V::any(runaway)) {
        const uint32_t stopped = allBits(V::laneBits(runaway), g);
        forEachLane(stopped, [&](int l) { s.stopVoice(*voices[l], l); });
        run &= ~stopped;
        running &= ~runaway;
        if (!V::any(running)) return;
      }
    }
    const float mixComplement = e.mixComplement;
    Floats A, B, L1, L2;
    loopFilters(s, e, g, running, a, b, mixComplement, A, B);
    leaks(s, voices, e, g, running, A, B, o, L1, L2);
    if (s.bodyRuns) bodyControls(s, e, g, running);
    stringInputs(s, e, g, A, B, o, L1, L2);
    bodyInput(s, g, a, b, mixComplement, o);
  }

  // The loop filters, the envelope followers and the level of group g.
  QS_LANE_INLINE static void loopFilters(VoiceLanes& s, const EngineState& e, int g, Ints running,
                                         Floats a, Floats b, float mixComplement, Floats& A,
                                         Floats& B) {
    Floats& loopStateA = V::at(s.loopStateA, g);
    Floats& loopStateB = V::at(s.loopStateB, g);
    A = V::select(running, a + (loopStateA - a) * e.loopDampingA.get(), loopStateA);
    B = V::select(running, b + (loopStateB - b) * e.loopDampingB.get(), loopStateB);
    loopStateA = A;
    loopStateB = B;
    const Floats envA = process(s.followerA, g, A, running);
    const Floats envB = process(s.followerB, g, B, running);
    V::at(s.envelopeA, g) = V::select(running, envA, V::at(s.envelopeA, g));
    V::at(s.envelopeB, g) = V::select(running, envB, V::at(s.envelopeB, g));
    Floats& level = V::at(s.level, g);
    level = V::select(running, envA + (envB - envA) * mixComplement, level);
  }

  // The leaks between the strings (through their blockers), and the fade of a
  // voice taken over, which frees it once quiet.
  QS_LANE_INLINE static void leaks(VoiceLanes& s, Voice* const* voices, const EngineState& e, int g,
                                   Ints running, Floats A, Floats B, Floats o, Floats& L1,
                                   Floats& L2) {
    using namespace ::engine::render;
    L1 = leakAtoB(s, e, g, running, A, B, o);
    L2 = B * e.leakGainBA.get();
    const Ints takenOver = running & (V::at(s.state, g) == static_cast<int32_t>(kVoiceTakenOver));
    if (V::any(takenOver)) {
      Floats& gainA = V::at(s.loopGainA, g);
      Floats& gainB = V::at(s.loopGainB, g);
      gainA = V::select(takenOver, gainA * kTakeoverFade, gainA);
      gainB = V::select(takenOver, gainB * kTakeoverFade, gainB);
      forEachLane(allBits(V::laneBits(takenOver & (V::at(s.level, g) < kTakeoverEndLevel)), g),
                  [&](int l) { s.setState(*voices[l], l, kVoiceFree); });
    }
    if (e.leakOnAB || e.leakOnBA) {
      Floats& blockBA = V::at(s.leakBlockBA, g);
      Floats& blockAB = V::at(s.leakBlockAB, g);
      blockBA = V::select(running, L2 + (blockBA - L2) * kLeakBlockerPole, blockBA);
      L2 -= blockBA;
      blockAB = V::select(running, L1 + (blockAB - L1) * kLeakBlockerPole, blockAB);
      L1 -= blockAB;
    }
  }

  // The body filters' warping and morph.
  QS_LANE_INLINE static void bodyControls(VoiceLanes& s, const EngineState& e, int g,
                                          Ints running) {
    using namespace ::engine::render;
    const Floats w =
        tick(s.warpLfo, g, running) * e.raw(params::kLfoWarpAmp) * 0.5f + e.warpSmoothed.get();
    const Floats limited = V::atMost(w, kLargestWarp);
    V::at(s.warp, g) = V::select(limited >= kSmallestWarp, limited, V::splat(kSmallestWarp));
    V::at(s.morph, g) = tick(s.filterEnvelope, g, running);
  }

  // What the strings are fed after the body, kept for `renderFromBody`.
  QS_LANE_INLINE static void stringInputs(VoiceLanes& s, const EngineState& e, int g, Floats A,
                                          Floats B, Floats o, Floats L1, Floats L2) {
    const Floats gainB = V::at(s.loopGainB, g);
    V::at(s.writeB, g) = e.raw(params::kLineBPolarity) > 0.5f ? B * gainB + o : o - B * gainB;
    V::at(s.stringAfterLoop, g) = A;
    V::at(s.leakAB, g) = L1;
    V::at(s.leakBA, g) = L2;
    V::at(s.offset, g) = o;
  }

  // The strings' mix, and the body's input: the mix, or a leak (after `leaks`).
  QS_LANE_INLINE static void bodyInput(VoiceLanes& s, int g, Floats a, Floats b,
                                       float mixComplement, Floats o) {
    const Floats mixed = a + (b - a) * mixComplement;
    V::at(s.mixed, g) = mixed;
    if (s.bodyOnOutput)
      V::at(s.bodyInput, g) = mixed + o;
    else
      V::at(s.bodyInput, g) = (s.bodyOnLeakBA ? V::at(s.leakBA, g) : V::at(s.leakAB, g)) + o;
  }

  // Voice l filters in body lane l: whole registers convert at once.
  QS_LANE_INLINE static void filterBodies(VoiceLanes& s, uint32_t run, BodyFilterLanes& bodies) {
    BodyLaneFrame& frame = s.frame;
    frame.active = run;
    for (int g = 0; g < kGroups; ++g) {
      V::widen(V::at(s.bodyInput, g), frame.input + W * g);
      V::widen(V::at(s.warp, g), frame.lambda + W * g);
      V::widen(V::at(s.morph, g), frame.morph + W * g);
    }
    bodies.process(frame, s.filtered);
    for (int g = 0; g < kGroups; ++g) V::at(s.bodyOutput, g) = V::narrow(s.filtered + W * g);
  }

  QS_LANE_INLINE static Floats leakAtoB(VoiceLanes& s, const EngineState& e, int g, Ints running,
                                        Floats A, Floats B, Floats o) {
    using namespace ::engine::render;
    using namespace ::params;
    constexpr uint32_t kLowQualityLeakMask = kLowQualityLeakInterval - 1;
    const float k = 1.0f - e.raw(kLeakageCut);
    Floats& couplingState = V::at(s.couplingState, g);
    const Floats coupling = couplingState;
    const Floats envB = V::at(s.envelopeB, g);
    const Ints shaped = e.leakShapeOn ? running & (envB > kAudibleEnvelope) : Ints{};
    const Floats plainState = A + (coupling - A) * k + o;
    const Floats plain = plainState * e.leakGainAB.get();
    if (!V::any(shaped)) {
      couplingState = V::select(running, plainState, coupling);
      return plain;
    }

    const Bits count = V::at(s.samplesSinceStart, g);
    const Ints fresh = e.qualityHigh ? shaped : shaped & ((count & kLowQualityLeakMask) == 0);
    Floats L = V::at(s.heldLeak, g);
    if (V::any(fresh)) {
      const float q = e.raw(kQuantizeNoise);
      const Floats envA = V::at(s.envelopeA, g);
      Floats leak;
      if (q == 0.0f) {
        leak = V::copySign(envA, A);
      } else if (q < 0.5f) {
        // B's magnitude in steps of envelopeA / quantizeSteps, up to the next step; A's sign.
        const Floats steps = V::abs(V::at(s.quantizeSteps, g) / envA * B);
        leak = V::copySign(V::ceilPositive(steps) * V::at(s.quantizeStepInverse, g) * envA, A);
      } else {
        const Floats n = V::copySign(next(s.noise, g, fresh), A);
        Floats& noiseState = V::at(s.noiseState, g);
        noiseState = V::select(fresh, n + (noiseState - n) * k, noiseState);
        leak = A + noiseState * e.noiseLeakGain.get() * envB;
      }
      L = V::select(fresh, leak * e.leakGainAB.get(), L);
    }
    V::at(s.heldLeak, g) = V::select(shaped, L, V::at(s.heldLeak, g));
    const Floats shapedState = L + (coupling - L) * k + o;
    couplingState = V::select(shaped, shapedState, V::select(running, plainState, coupling));
    return V::select(shaped, shapedState, plain);
  }

  QS_LANE_INLINE static void renderFromBody(VoiceLanes& s, Voice* const* voices,
                                            const EngineState& e, int g, uint32_t run) {
    using namespace ::engine::render;
    const uint32_t bits = groupBits(run, g);
    const Ints running = V::maskOf(bits);
    Floats y;
    if (s.bodyOnOutput) {
      feedStringA(s, g, bits);
      feedStringB(s, g, bits);
      y = s.bodyRuns ? V::at(s.bodyOutput, g) : V::at(s.mixed, g);
    } else {
      Floats L1 = V::at(s.leakAB, g);
      Floats L2 = V::at(s.leakBA, g);
      if (s.bodyRuns) {
        if (s.bodyOnLeakBA)
          L2 = V::at(s.bodyOutput, g);
        else
          L1 = V::at(s.bodyOutput, g);
      }
      feedStringA(s, g, bits, L2);
      feedStringB(s, g, bits, L1);
      y = V::at(s.mixed, g);
    }
    Ints ending;
    const Floats amp = modulate(s, e, g, running, ending);
    finish(s, voices, g, running, y, amp, ending);
  }

  // The strings fed from the loop and the leaks, with the body on the output.
  QS_LANE_INLINE static void feedStringA(VoiceLanes& s, int g, uint32_t bits) {
    const Floats A = V::at(s.stringAfterLoop, g);
    tick(s.stringA, g, A * V::at(s.loopGainA, g) + V::at(s.offset, g) + V::at(s.leakBA, g), bits);
  }
  QS_LANE_INLINE static void feedStringB(VoiceLanes& s, int g, uint32_t bits) {
    tick(s.stringB, g, V::at(s.writeB, g) + V::at(s.leakAB, g), bits);
  }
  // With the body on a leak: `L2` and `L1` are the leaks as they arrive (one of
  // them through the body), limited here.
  QS_LANE_INLINE static void feedStringA(VoiceLanes& s, int g, uint32_t bits, Floats L2) {
    using namespace ::engine::render;
    L2 = V::clamp(L2, -kLeakLimit, kLeakLimit);
    const Floats A = V::at(s.stringAfterLoop, g);
    tick(s.stringA, g, A * V::at(s.loopGainA, g) - L2 + V::at(s.offset, g), bits);
  }
  QS_LANE_INLINE static void feedStringB(VoiceLanes& s, int g, uint32_t bits, Floats L1) {
    using namespace ::engine::render;
    tick(s.stringB, g, V::at(s.writeB, g) + V::clamp(L1, -kLeakLimit, kLeakLimit), bits);
  }

  // The amplitude envelope (returned) and the string LFOs and delays; the
  // voices whose sample ends them in `ending`.
  QS_LANE_INLINE static Floats modulate(VoiceLanes& s, const EngineState& e, int g, Ints running,
                                        Ints& ending) {
    const Floats amp = envelope(s, g, running, ending);
    modulateStrings(s, e, g, running, ending);
    return amp;
  }
  QS_LANE_INLINE static Floats envelope(VoiceLanes& s, int g, Ints running, Ints& ending) {
    const Floats amp = tick(s.ampEnvelope, g, running);
    ending = running & (V::at(s.ampEnvelope.state, g) == static_cast<int32_t>(Adsr::State::idle));
    return amp;
  }
  // After both strings' samples: a new delay applies from the next.
  QS_LANE_INLINE static void modulateStrings(VoiceLanes& s, const EngineState& e, int g,
                                             Ints running, Ints& ending) {
    using namespace ::engine::render;
    using namespace ::params;
    constexpr uint32_t kLowQualityModulationMask = kLowQualityModulationInterval - 1;
    Bits& samples = V::at(s.samplesSinceStart, g);
    const Bits count = V::select(running, samples + 1u, samples);
    samples = count;
    const Ints update =
        e.qualityHigh ? running : running & ((count & kLowQualityModulationMask) == 0);
    const Floats lengthA = V::at(s.delayLengthA, g);
    const Floats lengthB = V::at(s.delayLengthB, g);
    const Ints dueA = update & (lengthA > 0.0f);
    const Ints dueB = update & (lengthB > 0.0f);
    // An LFO advances on every sample, except in an update of a string of length 0.
    const Floats tA = tick(s.lfoA, g, running & ~(update & ~dueA));
    const Floats tB = tick(s.lfoB, g, running & ~(update & ~dueB));
    const float bend = e.pitchBendRatioSmoothed;
    if (V::any(dueA)) setDelays(s.stringA, g, (tA * e.raw(kLfoAAmp) + 1.0f) * bend * lengthA, dueA);
    if (V::any(dueB)) setDelays(s.stringB, g, (tB * e.raw(kLfoBAmp) + 1.0f) * bend * lengthB, dueB);
    const Floats o = V::at(s.offset, g);
    V::at(s.denormalOffset, g) = V::select(running, -o, o);
    ending |= running & (V::at(s.level, g) < kSilentLevel) & (count > kSilentSamples);
  }

  // The voice's sample `y` scaled by velocity and envelope; the voices that
  // end are freed.
  QS_LANE_INLINE static void finish(VoiceLanes& s, Voice* const* voices, int g, Ints running,
                                    Floats y, Floats amp, Ints ending) {
    y *= V::at(s.velocityGain, g);
    y *= amp;
    forEachLane(allBits(V::laneBits(ending), g),
                [&](int l) { s.setState(*voices[l], l, kVoiceFree); });
    V::at(s.output, g) = V::select(running, y, Floats{});
  }

  // A frame with every voice rendering, for eight lanes to a register. The
  // filters wait only for their input, warping and morph, and only a string
  // fed through the body waits for them; the rest of what the voices do runs
  // in steps between the filter rows, where the filters' chain of dependent
  // operations leaves the processor room. `filter(frame, output, steps)` runs the
  // body filters, calling `steps(row)` between rows. Other frames render as
  // `render` does.
  template <class Filter>
  QS_LANE_INLINE static void renderAmongRows(VoiceLanes& s, Voice* const* voices,
                                             const EngineState& e, uint32_t run, float inA,
                                             float inB, BodyFilterLanes& bodies, Filter filter) {
    constexpr uint32_t kEvery = (1u << kVoiceLanes) - 1u;
    if (kGroups != 1 || run != kEvery || !s.bodyRuns) {
      render(s, voices, e, run, inA, inB, bodies);
      return;
    }
    Floats a, b;
    stringOutputs(s, e, 0, inA, inB, a, b);
    if (V::any(runsAway(a, b))) {
      renderFrame<false>(s, voices, e, run, &a, &b, bodies);
      return;
    }
    const Ints running = V::maskOf(kEvery);
    const Floats o = V::at(s.denormalOffset, 0);
    const float mixComplement = e.mixComplement;
    // Before the filters: with the body on the output, its input is the strings'
    // mix; on a leak, the loop filters and leaks make it.
    const bool onOutput = s.bodyOnOutput;
    Floats A{}, B{}, L1{}, L2{};
    if (!onOutput) {
      loopFilters(s, e, 0, running, a, b, mixComplement, A, B);
      leaks(s, voices, e, 0, running, A, B, o, L1, L2);
      stringInputs(s, e, 0, A, B, o, L1, L2);
    }
    bodyControls(s, e, 0, running);
    bodyInput(s, 0, a, b, mixComplement, o);
    BodyLaneFrame& frame = s.frame;
    frame.active = run;
    V::widen(V::at(s.bodyInput, 0), frame.input);
    V::widen(V::at(s.warp, 0), frame.lambda);
    V::widen(V::at(s.morph, 0), frame.morph);

    // The steps in their order, spread over the rows; what a short filter
    // leaves undone runs after it. With the body on a leak, only steps 4 (the
    // string it does not feed) and 5 run here.
    Floats amp{};
    Ints ending{};
    constexpr int kRowsPerStep = 4;
    const int steps = onOutput ? 7 : 2;
    int done = 0;
    auto step = [&](int k) __attribute__((always_inline)) {
      if (!onOutput) k += 4;
      switch (k) {
        case 0:
          loopFilters(s, e, 0, running, a, b, mixComplement, A, B);
          break;
        case 1:
          leaks(s, voices, e, 0, running, A, B, o, L1, L2);
          break;
        case 2:
          stringInputs(s, e, 0, A, B, o, L1, L2);
          break;
        case 3:
          feedStringA(s, 0, run);
          break;
        case 4:
          if (onOutput)
            feedStringB(s, 0, run);
          else if (s.bodyOnLeakBA)
            feedStringB(s, 0, run, V::at(s.leakAB, 0));
          else
            feedStringA(s, 0, run, V::at(s.leakBA, 0));
          break;
        case 5:
          amp = envelope(s, 0, running, ending);
          break;
        default:
          modulateStrings(s, e, 0, running, ending);
          break;
      }
    };
    filter(frame, s.filtered, [&](int row) __attribute__((always_inline)) {
      if (row % kRowsPerStep == 0 && done < steps) step(done++);
    });
    while (done < steps) step(done++);
    const Floats filtered = V::narrow(s.filtered);
    if (onOutput) {
      finish(s, voices, 0, running, filtered, amp, ending);
      return;
    }
    // The string fed through the body, then the strings' new delays.
    if (s.bodyOnLeakBA)
      feedStringA(s, 0, run, filtered);
    else
      feedStringB(s, 0, run, filtered);
    modulateStrings(s, e, 0, running, ending);
    finish(s, voices, 0, running, V::at(s.mixed, 0), amp, ending);
  }
};

}  // namespace engine::lanes
