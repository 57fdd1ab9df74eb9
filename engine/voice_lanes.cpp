#include "engine/voice_lanes.h"

#include <type_traits>

#include "engine/voice_constants.h"
#include "params/parameter_table.h"

// Where the system can pick a function's version at load time, the per-frame
// code is also built for AVX2, whose three-operand forms and blends need fewer
// instructions: the same operations, so the same bits.
#if defined(__x86_64__) && defined(__linux__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define QS_LANE_CODE __attribute__((target_clones("avx2", "default")))
#else
#define QS_LANE_CODE
#endif

namespace engine {

using namespace lanes;
using namespace params;
using namespace render;

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

template <class Visit>
void forEachLane(uint32_t bits, Visit visit) {
  for (; bits != 0; bits &= bits - 1) visit(__builtin_ctz(bits));
}
// The bits of group g's lanes in a bit set of all lanes, and back.
uint32_t groupBits(uint32_t bits, int g) { return (bits >> (kGroupLanes * g)) & 0xFu; }
uint32_t allBits(uint32_t bits, int g) { return bits << (kGroupLanes * g); }

constexpr uint32_t kLowQualityLeakMask = kLowQualityLeakInterval - 1;
constexpr uint32_t kLowQualityModulationMask = kLowQualityModulationInterval - 1;

}  // namespace

namespace lanes {

template <class Copy>
void StringLanes::exchange(DelayLine& line, int l, Copy copy) {
  buffer[l] = line.buffer.data();
  lane(capacity, l) = line.capacity;
  copy(line.writeIndex, lane(writeIndex, l));
  copy(line.readIndex, lane(readIndex, l));
  copy(line.integerDelay, lane(integerDelay, l));
  copy(line.fraction, lane(fraction, l));
  copy(line.h0, lane(h0, l));
  copy(line.h1, lane(h1, l));
  copy(line.h2, lane(h2, l));
  copy(line.h3, lane(h3, l));
  copy(line.lastOutputValue, lane(lastOutput, l));
}

QS_LANE_CODE void StringLanes::tick(int g, Floats input, uint32_t run) {
  // Each lane writes its sample and moves on; the four taps of every lane are
  // read into registers and interpolated side by side.
  const Ints write = writeIndex[g];
  const Ints read = readIndex[g];
  const Ints size = capacity[g];
  const float* at[kGroupLanes];
  for (int i = 0; i < kGroupLanes; ++i) {
    float* samples = buffer[kGroupLanes * g + i];
    if (run & (1u << i)) {
      samples[write[i]] = input[i];
      if (write[i] < DelayLine::kGuard) samples[size[i] + write[i]] = input[i];
    }
    at[i] = samples + read[i];
  }
  Floats t[4];
  gatherFours(at, t);
  const Floats out = h3[g] * t[0] + h0[g] * t[3] + h1[g] * t[2] + h2[g] * t[1];
  const Ints running = maskOf(run);
  lastOutput[g] = select(running, out, lastOutput[g]);
  const Ints nextWrite = write + 1, nextRead = read + 1;
  writeIndex[g] = select(running, select(nextWrite < size, nextWrite, Ints{}), write);
  readIndex[g] = select(running, select(nextRead < size, nextRead, Ints{}), read);
}

QS_LANE_CODE void StringLanes::setTaps(const DelayTapLanes& taps, int first, uint32_t due) {
  auto column = [&](const float* values, int g) {
    return *reinterpret_cast<const Floats*>(values + first + kGroupLanes * g);
  };
  for (int g = 0; g < kGroups; ++g) {
    const Ints m = maskOf(groupBits(due, g));
    if (!any(m)) continue;
    h0[g] = select(m, column(taps.h0, g), h0[g]);
    h1[g] = select(m, column(taps.h1, g), h1[g]);
    h2[g] = select(m, column(taps.h2, g), h2[g]);
    h3[g] = select(m, column(taps.h3, g), h3[g]);
    // The whole delay is at most capacity - 1; below that the ceiling is exact as an int.
    const Floats ceiling = column(taps.ceiling, g);
    const Ints size = capacity[g];
    const Ints tooLong = ceiling >= __builtin_convertvector(size, Floats);
    const Ints whole = __builtin_convertvector(select(tooLong, Floats{}, ceiling), Ints);
    const Ints delay = select(tooLong, size - 1, whole);
    integerDelay[g] = select(m, delay, integerDelay[g]);
    fraction[g] = select(m, select(tooLong, Floats{}, column(taps.fraction, g)), fraction[g]);
    const Ints read = writeIndex[g] - delay;
    readIndex[g] = select(m, select(read < 0, read + size, read), readIndex[g]);
  }
}

template <class Copy>
void LfoLanes::exchange(Lfo& lfo, int l, Copy copy) {
  copy(lfo.phase, lane(phase, l));
  copy(lfo.increment, lane(increment, l));
  table[l] = lfo.table;
}

QS_LANE_CODE Floats LfoLanes::tick(int g, Ints run) {
  const Bits p = phase[g];
  const Bits index = p >> 24;
  // The fraction has 24 bits: exact as an int and as a float.
  const Ints low = __builtin_convertvector(p & 0xFFFFFFu, Ints);
  const Floats fraction = __builtin_convertvector(low, Floats) * (1.0f / 16777216.0f);
  phase[g] = select(run, p + increment[g], p);
  const float* entries[kGroupLanes];
  for (int i = 0; i < kGroupLanes; ++i) entries[i] = table[kGroupLanes * g + i]->data() + index[i];
  Floats at, next;
  gatherPairs(entries, at, next);
  return at + fraction * (next - at);
}

template <class Copy>
void AdsrLanes::exchange(Adsr& adsr, int l, Copy copy) {
  copy(adsr.state, lane(state, l));
  copy(adsr.value, lane(value, l));
  copy(adsr.attackStep, lane(attackStep, l));
  copy(adsr.decayStep, lane(decayStep, l));
  copy(adsr.settings.sustainLevel, lane(sustainLevel, l));
  copy(adsr.releaseStep, lane(releaseStep, l));
}

QS_LANE_CODE Floats AdsrLanes::tick(int g, Ints run) {
  using S = Adsr::State;
  const Ints s = state[g];
  const Floats v = value[g];
  const Ints attack = run & (s == static_cast<int32_t>(S::attack));
  const Ints decay = run & (s == static_cast<int32_t>(S::decay));
  const Ints release = run & (s == static_cast<int32_t>(S::release));
  const Floats rising = v + attackStep[g];
  const Floats falling = v - decayStep[g];
  const Floats releasing = v - releaseStep[g];
  const Ints attackEnds = attack & (rising >= 1.0f);
  const Ints decayEnds = decay & (falling <= sustainLevel[g]);
  const Ints releaseEnds = release & (releasing <= 0.0f);
  Floats next = select(attack, select(attackEnds, splat(1.0f), rising), v);
  next = select(decay, select(decayEnds, sustainLevel[g], falling), next);
  next = select(release, select(releaseEnds, Floats{}, releasing), next);
  Ints nextState = select(attackEnds, splat(static_cast<int32_t>(S::decay)), s);
  nextState = select(decayEnds, splat(static_cast<int32_t>(S::sustain)), nextState);
  state[g] = select(releaseEnds, splat(static_cast<int32_t>(S::idle)), nextState);
  value[g] = next;
  return next;
}

template <class Copy>
void FollowerLanes::exchange(EnvelopeFollower& follower, int l, Copy copy) {
  copy(follower.value, lane(value, l));
  copy(follower.attackCoefficient, lane(attack, l));
  copy(follower.releaseCoefficient, lane(release, l));
}

QS_LANE_CODE Floats FollowerLanes::process(int g, Floats x, Ints run) {
  const Floats a = abs(x);
  const Floats old = value[g];
  const Floats rising = a + (old - a) * attack[g];
  const Floats falling = old * release[g];
  Floats v = select(a > old, rising, falling);
  v = select(v < EnvelopeFollower::kFloor, splat(EnvelopeFollower::kFloor), v);
  value[g] = select(run, v, old);
  return v;
}

template <class Copy>
void NoiseLanes::exchange(NoiseTable& table, int l, Copy copy) {
  values[l] = table.values;
  size[l] = table.size;
  copy(table.position, position[l]);
}

}  // namespace lanes

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
  copy(v.pan, lane(pan, l));
  copy(v.delayLengthA, lane(delayLengthA, l));
  copy(v.delayLengthB, lane(delayLengthB, l));
  copy(v.loopGainA, lane(loopGainA, l));
  copy(v.loopGainB, lane(loopGainB, l));
  copy(v.velocityGain, lane(velocityGain, l));
  copy(v.quantizeSteps, lane(quantizeSteps, l));
  copy(v.quantizeStepInverse, lane(quantizeStepInverse, l));
  copy(v.loopStateA, lane(loopStateA, l));
  copy(v.loopStateB, lane(loopStateB, l));
  copy(v.leakBlockAB, lane(leakBlockAB, l));
  copy(v.leakBlockBA, lane(leakBlockBA, l));
  copy(v.couplingState, lane(couplingState, l));
  copy(v.noiseState, lane(noiseState, l));
  copy(v.heldLeak, lane(heldLeak, l));
  copy(v.envelopeA, lane(envelopeA, l));
  copy(v.envelopeB, lane(envelopeB, l));
  copy(v.level, lane(level, l));
  copy(v.denormalOffset, lane(denormalOffset, l));
  copy(v.samplesSinceStart, lane(samplesSinceStart, l));
}

void VoiceLanes::loadLane(Voice& v, int l) {
  exchange(v, l, Load{});
  lane(state, l) = v.state.get();
}

// The state is not given back here: the lanes write it through as it changes.
void VoiceLanes::storeLane(Voice& v, int l) { exchange(v, l, Store{}); }

void VoiceLanes::setState(Voice& v, int l, int32_t newState) {
  lane(state, l) = newState;
  v.state = newState;
}

void VoiceLanes::load(Voice* const* voices) {
  for (int l = 0; l < kLanes; ++l)
    if (voices[l]) loadLane(*voices[l], l);
}

void VoiceLanes::store(Voice* const* voices) {
  for (int l = 0; l < kLanes; ++l)
    if (voices[l]) storeLane(*voices[l], l);
}

QS_LANE_CODE void VoiceLanes::mix(Voice* const* voices, int32_t count, float inA, float inB,
                     BodyFilterLanes& bodies, float& left, float& right) {
  if (count > kLanes) count = kLanes;
  // What each voice does on its own before its sample: pushed settings, a
  // pending note. None of this reads another voice.
  uint32_t run = 0;
  const EngineState* engine = nullptr;
  for (int32_t l = 0; l < count; ++l) {
    Voice* v = voices[l];
    if (!v) continue;
    engine = &v->engine;
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
    if (lane(state, l) != kVoiceFree) run |= 1u << l;
  }

  for (Across& group : across) group.output = Floats{};
  if (run != 0) {
    const EngineState& e = *engine;
    bodyRuns = e.bodyType1On || e.bodyType2On;
    const float position = e.raw(kFilterPos);
    bodyOnOutput = position >= kBodyOnOutput;
    bodyOnLeakBA = position > kBodyOnLeakBA;
    for (int g = 0; g < kGroups; ++g)
      if (groupBits(run, g)) renderToBody(voices, e, g, run, inA, inB);
    if (bodyRuns && run != 0) filterBodies(run, bodies);
    delayDueA = delayDueB = 0;
    for (int g = 0; g < kGroups; ++g)
      if (groupBits(run, g)) renderFromBody(voices, e, g, run);
    if ((delayDueA | delayDueB) != 0) {
      computeDelayTaps(taps);
      stringA.setTaps(taps, 0, delayDueA);
      stringB.setTaps(taps, kLanes, delayDueB);
    }
  }

  float l = left, r = right;
  for (int32_t v = 0; v < count; ++v) {
    if (!voices[v]) continue;
    const float s = across[v / kGroupLanes].output[v % kGroupLanes];
    const float p = lane(pan, v);
    l += s * p;
    r += (1.0f - p) * s;
  }
  left = l;
  right = r;
}

QS_LANE_CODE void VoiceLanes::renderToBody(Voice* const* voices, const EngineState& e, int g, uint32_t& run,
                              float inA, float inB) {
  Ints running = maskOf(groupBits(run, g));
  const Floats o = denormalOffset[g];

  // The strings' outputs, with the host's input added, through the saturation curve.
  Floats a = stringA.lastOutput[g] + inA;
  Floats b = stringB.lastOutput[g] + inB;
  if (const float s = e.saturationA; s > 0.0f) a = (1.0f + s) * a - s * a * a * a;
  if (const float s = e.saturationB; s > 0.0f) b = (1.0f + s) * b - s * b * b * b;
  // A string that runs away stops its voice; a note waiting there is kept.
  const Ints runaway = running & ~((abs(a) <= kRunawayLevel) & (abs(b) <= kRunawayLevel));
  if (any(runaway)) {
    const uint32_t stopped = allBits(laneBits(runaway), g);
    forEachLane(stopped, [&](int l) {
      Voice& v = *voices[l];
      storeLane(v, l);
      const PendingNote waiting = v.pending;
      v.reset(true);
      v.pending = waiting;
      loadLane(v, l);
    });
    run &= ~stopped;
    running &= ~runaway;
    if (!any(running)) return;
  }

  const Floats A = select(running, a + (loopStateA[g] - a) * e.loopDampingA.get(), loopStateA[g]);
  const Floats B = select(running, b + (loopStateB[g] - b) * e.loopDampingB.get(), loopStateB[g]);
  loopStateA[g] = A;
  loopStateB[g] = B;

  const float mixComplement = e.mixComplement;
  const Floats envA = followerA.process(g, A, running);
  const Floats envB = followerB.process(g, B, running);
  envelopeA[g] = select(running, envA, envelopeA[g]);
  envelopeB[g] = select(running, envB, envelopeB[g]);
  level[g] = select(running, envA + (envB - envA) * mixComplement, level[g]);

  Floats L1 = leakAtoB(e, g, running, A, B, o);
  Floats L2 = B * e.leakGainBA.get();

  const Ints takenOver = running & (state[g] == static_cast<int32_t>(kVoiceTakenOver));
  if (any(takenOver)) {
    loopGainA[g] = select(takenOver, loopGainA[g] * kTakeoverFade, loopGainA[g]);
    loopGainB[g] = select(takenOver, loopGainB[g] * kTakeoverFade, loopGainB[g]);
    forEachLane(allBits(laneBits(takenOver & (level[g] < kTakeoverEndLevel)), g),
                [&](int l) { setState(*voices[l], l, kVoiceFree); });
  }

  Across& to = across[g];
  if (bodyRuns) {
    const Floats w = warpLfo.tick(g, running) * e.raw(kLfoWarpAmp) * 0.5f + e.warpSmoothed.get();
    const Floats limited = atMost(w, kLargestWarp);
    to.warp = select(limited >= kSmallestWarp, limited, splat(kSmallestWarp));
    to.morph = filterEnvelope.tick(g, running);
  }
  if (e.leakOnAB || e.leakOnBA) {
    leakBlockBA[g] = select(running, L2 + (leakBlockBA[g] - L2) * kLeakBlockerPole, leakBlockBA[g]);
    L2 -= leakBlockBA[g];
    leakBlockAB[g] = select(running, L1 + (leakBlockAB[g] - L1) * kLeakBlockerPole, leakBlockAB[g]);
    L1 -= leakBlockAB[g];
  }
  to.writeB = e.raw(kLineBPolarity) > 0.5f ? B * loopGainB[g] + o : o - B * loopGainB[g];
  to.mixed = a + (b - a) * mixComplement;
  if (bodyOnOutput)
    to.bodyInput = to.mixed + o;
  else
    to.bodyInput = bodyOnLeakBA ? L2 + o : L1 + o;
  to.A = A;
  to.leakAB = L1;
  to.leakBA = L2;
  to.offset = o;
}

QS_LANE_CODE void VoiceLanes::filterBodies(uint32_t run, BodyFilterLanes& bodies) {
  // Voice l filters in body lane l: whole groups convert at once.
  for (int l = 0; l < kLanes; ++l) frame.active[l] = (run >> l) & 1u;
  auto widen = [](Floats x, double* to) {
    _mm_storeu_pd(to, _mm_cvtps_pd(x));
    _mm_storeu_pd(to + 2, _mm_cvtps_pd(_mm_movehl_ps(x, x)));
  };
  for (int g = 0; g < kGroups; ++g) {
    const int first = kGroupLanes * g;
    widen(across[g].bodyInput, frame.input + first);
    widen(across[g].warp, frame.lambda + first);
    widen(across[g].morph, frame.morph + first);
  }
  bodies.process(frame, filtered);
  for (int g = 0; g < kGroups; ++g) {
    const double* from = filtered + kGroupLanes * g;
    across[g].bodyOutput =
        _mm_movelh_ps(_mm_cvtpd_ps(_mm_loadu_pd(from)), _mm_cvtpd_ps(_mm_loadu_pd(from + 2)));
  }
}

QS_LANE_CODE Floats VoiceLanes::leakAtoB(const EngineState& e, int g, Ints running, Floats A, Floats B,
                            Floats o) {
  const float k = 1.0f - e.raw(kLeakageCut);
  const Floats coupling = couplingState[g];
  const Ints shaped = e.leakShapeOn ? running & (envelopeB[g] > kAudibleEnvelope) : Ints{};
  const Floats plainState = A + (coupling - A) * k + o;
  const Floats plain = plainState * e.leakGainAB.get();
  if (!any(shaped)) {
    couplingState[g] = select(running, plainState, coupling);
    return plain;
  }

  const Ints fresh =
      e.qualityHigh ? shaped : shaped & ((samplesSinceStart[g] & kLowQualityLeakMask) == 0);
  Floats L = heldLeak[g];
  if (any(fresh)) {
    const float q = e.raw(kQuantizeNoise);
    const Floats envA = envelopeA[g];
    Floats leak;
    if (q == 0.0f) {
      leak = copySign(envA, A);
    } else if (q < 0.5f) {
      // B's magnitude in steps of envelopeA / quantizeSteps, up to the next step; A's sign.
      const Floats steps = abs(quantizeSteps[g] / envA * B);
      leak = copySign(ceilPositive(steps) * quantizeStepInverse[g] * envA, A);
    } else {
      Floats n = gatherLanes(laneBits(fresh), [&](int i) { return noise.next(kGroupLanes * g + i); });
      n = copySign(n, A);
      noiseState[g] = select(fresh, n + (noiseState[g] - n) * k, noiseState[g]);
      leak = A + noiseState[g] * e.noiseLeakGain.get() * envelopeB[g];
    }
    L = select(fresh, leak * e.leakGainAB.get(), L);
  }
  heldLeak[g] = select(shaped, L, heldLeak[g]);
  const Floats shapedState = L + (coupling - L) * k + o;
  couplingState[g] = select(shaped, shapedState, select(running, plainState, coupling));
  return select(shaped, shapedState, plain);
}

QS_LANE_CODE void VoiceLanes::renderFromBody(Voice* const* voices, const EngineState& e, int g, uint32_t run) {
  const uint32_t bits = groupBits(run, g);
  const Ints running = maskOf(bits);
  Across& from = across[g];
  const Floats o = from.offset;
  Floats L1 = from.leakAB;
  Floats L2 = from.leakBA;
  const Floats m = from.mixed;
  Floats y;
  if (bodyOnOutput) {
    stringA.tick(g, from.A * loopGainA[g] + o + L2, bits);
    stringB.tick(g, from.writeB + L1, bits);
    y = bodyRuns ? from.bodyOutput : m;
  } else {
    if (bodyRuns) {
      if (bodyOnLeakBA)
        L2 = from.bodyOutput;
      else
        L1 = from.bodyOutput;
    }
    L2 = clamp(L2, -kLeakLimit, kLeakLimit);
    L1 = clamp(L1, -kLeakLimit, kLeakLimit);
    stringA.tick(g, from.A * loopGainA[g] - L2 + o, bits);
    stringB.tick(g, from.writeB + L1, bits);
    y = m;
  }

  y *= velocityGain[g];
  y *= ampEnvelope.tick(g, running);
  const Ints ended = running & (ampEnvelope.state[g] == static_cast<int32_t>(Adsr::State::idle));

  const Bits count = select(running, samplesSinceStart[g] + 1u, samplesSinceStart[g]);
  samplesSinceStart[g] = count;
  const Ints update =
      e.qualityHigh ? running : running & ((count & kLowQualityModulationMask) == 0);
  const Ints dueA = update & (delayLengthA[g] > 0.0f);
  const Ints dueB = update & (delayLengthB[g] > 0.0f);
  // An LFO advances on every sample, except in an update of a string of length 0.
  const Floats tA = lfoA.tick(g, running & ~(update & ~dueA));
  const Floats tB = lfoB.tick(g, running & ~(update & ~dueB));
  const float bend = e.pitchBendRatioSmoothed;
  if (any(dueA | dueB)) {
    *reinterpret_cast<Floats*>(taps.delay + kGroupLanes * g) =
        (tA * e.raw(kLfoAAmp) + 1.0f) * bend * delayLengthA[g];
    *reinterpret_cast<Floats*>(taps.delay + kLanes + kGroupLanes * g) =
        (tB * e.raw(kLfoBAmp) + 1.0f) * bend * delayLengthB[g];
    delayDueA |= allBits(laneBits(dueA), g);
    delayDueB |= allBits(laneBits(dueB), g);
  }
  denormalOffset[g] = select(running, -o, o);

  const Ints silent = running & (level[g] < kSilentLevel) & (count > kSilentSamples);
  forEachLane(allBits(laneBits(ended | silent), g),
              [&](int l) { setState(*voices[l], l, kVoiceFree); });
  from.output = select(running, y, Floats{});
}

}  // namespace engine
