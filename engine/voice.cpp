#include "engine/voice.h"

#include <algorithm>
#include <cmath>

#include "engine/body_types.h"
#include "engine/random.h"
#include "engine/voice_constants.h"
#include "params/parameter_table.h"

namespace engine {

using namespace params;
using namespace render;

namespace {

constexpr float kVelocityScale = 0.007874016f;  // 1/127
constexpr double kCent = 1.0005777895;
// A string's length in samples is the rate over the frequency less this correction.
constexpr float kLengthCorrection = 1.3f;
// Morph of the coefficients computed at note start: set A, just off zero.
constexpr double kStartMorph = 1e-7;
// The amplitude envelope's sustain level.
constexpr float kAmpSustain = 0.99f;
constexpr float kQuantizeStepsPerUnit = 255.0f;
constexpr float kMostQuantizeSteps = 256.0f;

// Envelope times: the parameter's curve (4·v²)² seconds, 0 to 16 s.
float envelopeTime(float v) {
  float t = 4.0f * v * v;
  return t * t;
}

float lfoRate(float v) { return v * v * 200.0f; }

}  // namespace

Voice::Voice(EngineState& state, BodyLaneState& bodies, int bodyLane)
    : engine(state),
      laneBit(1u << bodyLane),
      body(bodies, bodyLane),
      lfoA(state.noteSampleRate()),
      lfoB(state.noteSampleRate()),
      warpLfo(state.noteSampleRate()),
      ampEnvelope(state.noteSampleRate()),
      filterEnvelope(state.noteSampleRate()) {
  body.setOrder(engine.bodyOrder);
  body.setGain(engine.raw(kReso));
  lfoA.setFrequency(0.2f);
  lfoB.setFrequency(0.1f);
  warpLfo.setFrequency(0.1f);
  lfoA.setWaveform(0);
  lfoB.setWaveform(0);
  warpLfo.setWaveform(0);
  stringA.setDelay(400.0f);
  stringB.setDelay(400.0f);
  loadBodyType(true, true);
  loadBodyType(false, false);
}

void Voice::noteStart(int32_t note, float velocity, float brightness) {
  const EngineState& e = engine;
  leakBlockBA = leakBlockAB = loopStateA = loopStateB = 0.0f;
  velocityGain = 1.0f - limitedGain(e.raw(kVelToVol)) + velocity;
  loopGainA = e.raw(kGainA);
  loopGainB = e.raw(kGainB);

  const float f =
      static_cast<float>(std::pow(kCent, currentDetune) * e.noteFrequencies[note & 127]);
  const float rate = e.noteSampleRate();
  delayLengthA = rate / f - kLengthCorrection;
  delayLengthB = rate / (f * e.detuneRatioB) - kLengthCorrection;

  // The clock wraps after 2^31 frames: the seed is summed modulo 2^32.
  seedRandom(static_cast<int32_t>(static_cast<uint32_t>(e.sampleCounter.get()) +
                                  static_cast<uint32_t>(note) +
                                  static_cast<uint32_t>(200.0f * velocity)));
  const int32_t r = nextRandom() % 1000;
  pan = (static_cast<float>(r) * 0.001f - 0.5f) * limitedGain(e.raw(kRandomPan)) + 0.5f;

  // Lengths below zero (very high notes at low rates) and non-numbers read as 0.
  if (!(delayLengthA > 0.0f)) delayLengthA = 0.0f;
  if (!(delayLengthB > 0.0f)) delayLengthB = 0.0f;

  lfoA.setFrequency(lfoRate(e.raw(kLfoAFreq)));
  lfoB.setFrequency(lfoRate(e.raw(kLfoBFreq)));
  warpLfo.setFrequency(lfoRate(e.raw(kLfoWarpFreq)));

  stringA.setDelay(delayLengthA);
  stringB.setDelay(delayLengthB);
  const float b = std::min(velocity * e.raw(kVelToBright) + brightness, 1.0f);
  stringA.fillExcitation(note, b);
  stringB.fillExcitation(note, b);

  body.setOrder(e.bodyOrder);
  body.setGain(e.raw(kReso));
  body.reset();
  loadBodyType(true, true);
  loadBodyType(false, false);
  body.computeCoefficients(e.raw(kWarp), e.raw(kReso), kStartMorph);

  ampEnvelope.setSettings(
      AdsrSettings{envelopeTime(e.raw(kAttack)), 0.0f, kAmpSustain, envelopeTime(e.raw(kRelease))});
  ampEnvelope.trigger();
  filterEnvelope.setSettings(AdsrSettings{envelopeTime(e.raw(kFilterAttack)),
                                          envelopeTime(e.raw(kFilterDecay)), e.raw(kFilterSustain),
                                          envelopeTime(e.raw(kFilterRelease))});
  filterEnvelope.trigger();

  couplingState = 0.0f;
  // At least one quantizer step, whatever value the host stored.
  quantizeSteps = e.raw(kQuantizeNoise) * kQuantizeStepsPerUnit + 1.0f;
  if (!(quantizeSteps >= 1.0f)) quantizeSteps = 1.0f;
  if (quantizeSteps > kMostQuantizeSteps) quantizeSteps = kMostQuantizeSteps;
  quantizeStepInverse = 1.0f / quantizeSteps;

  samplesSinceStart = 0;
  state = kVoiceSounding;
}

void Voice::startPendingNote() {
  currentNote = pending.note;
  currentDetune = pending.detune;
  currentVelocity = pending.velocity;
  pending = PendingNote{};
  noteStart(currentNote, static_cast<float>(currentVelocity) * kVelocityScale, engine.raw(kBright));
}

void Voice::loadBodyType(bool fromType1, bool toSetA) {
  const float code = engine.raw(fromType1 ? kBodyType1 : kBodyType2);
  const float scaled = std::floor(code * 12.0f);
  // Codes above 1 (and anything out of range) fall on the nearest type.
  const int32_t index = scaled >= 0.0f ? static_cast<int32_t>(std::min(scaled, 12.0f)) : 0;
  const int32_t count = std::clamp<int32_t>(engine.bodyOrder, 1, kMaxBodyOrder);
  const double* coefficients;
  if (index <= 8) {
    coefficients = bodyTypeTable(index);
  } else if (index == 9) {
    coefficients = bodyTypeTable(nextRandom() % 9);
  } else {
    double* scratch = engine.randomBodyCoefs(fromType1);
    const uint32_t clock =
        static_cast<uint32_t>(engine.sampleCounter.get()) + (fromType1 ? 1u : 0u);
    const int32_t seed = index == 10 ? static_cast<int32_t>(clock) : currentNote;
    generateRandomCoefficients(scratch, seed, kMaxBodyOrder);
    coefficients = scratch;
  }
  body.loadCoefficients(coefficients, count, toSetA);
}

void Voice::reset(bool full) {
  state = kVoiceFree;
  if (!full) return;
  currentNote = currentDetune = currentVelocity = 0;
  pending = PendingNote{};
  stringA.clear();
  stringB.clear();
  body.reset();
  followerA.reset();
  followerB.reset();
  loopStateA = loopStateB = leakBlockBA = leakBlockAB = 0.0f;
  couplingState = noiseState = level = envelopeA = envelopeB = 0.0f;
}

void Voice::release() {
  ampEnvelope.release();
  filterEnvelope.release();
}

void Voice::setLfoRate(int32_t lfo, float hz) {
  if (lfo < 0 || lfo > 2) return;
  pushedRates[lfo] = hz;
  push(kPushLfoA << lfo);
}

void Voice::setFilterSustain(float sustain) {
  pushedSustain = sustain;
  push(kPushSustain);
}

void Voice::setRefreshInterval(int32_t interval) {
  pushedInterval = interval;
  push(kPushInterval);
}

void Voice::push(uint32_t what) {
  pushes.fetch_or(what, std::memory_order_release);
  engine.pushedVoices.fetch_or(laneBit, std::memory_order_release);
}

void Voice::applyPushes() {
  const uint32_t due = pushes.exchange(0, std::memory_order_acquire);
  if (due & kPushLfoA) lfoA.setFrequency(pushedRates[0]);
  if (due & kPushLfoB) lfoB.setFrequency(pushedRates[1]);
  if (due & kPushWarpLfo) warpLfo.setFrequency(pushedRates[2]);
  if (due & kPushSustain) filterEnvelope.setSustain(pushedSustain);
  if (due & kPushInterval) body.setRefreshInterval(pushedInterval);
}

// Called once per voice and sample, from this file only: inlined into the render.
[[gnu::always_inline]] inline float Voice::leakAtoB(float A, float B, float o) {
  const float k = 1.0f - engine.raw(kLeakageCut);
  if (!(engine.leakShapeOn && envelopeB > kAudibleEnvelope)) {
    couplingState = A + (couplingState - A) * k + o;
    return couplingState * engine.leakGainAB;
  }
  float L = heldLeak;
  if (engine.qualityHigh || samplesSinceStart % kLowQualityLeakInterval == 0) {
    const float q = engine.raw(kQuantizeNoise);
    if (q == 0.0f) {
      L = std::copysign(envelopeA, A);
    } else if (q < 0.5f) {
      // B's magnitude in steps of envelopeA / quantizeSteps, up to the next step; A's sign.
      const float steps = std::fabs(quantizeSteps / envelopeA * B);
      L = std::copysign(std::ceil(steps) * quantizeStepInverse * envelopeA, A);
    } else {
      const float n = std::copysign(noise.next(), A);
      noiseState = n + (noiseState - n) * k;
      L = A + noiseState * engine.noiseLeakGain * envelopeB;
    }
    L *= engine.leakGainAB;
  }
  heldLeak = L;
  couplingState = L + (couplingState - L) * k + o;
  return couplingState;
}

float Voice::render(float inA, float inB) {
  if (pushes.load(std::memory_order_relaxed) != 0) applyPushes();
  if (pending.active) {
    if (pending.countdown == 0) {
      startPendingNote();
    } else if (pending.countdown > 0) {
      --pending.countdown;
      state = kVoiceTakenOver;
    }
  }
  if (state.get() == kVoiceFree) return 0.0f;

  const EngineState& e = engine;
  const float o = denormalOffset;

  // The strings' outputs, with the host's input added, through the saturation curve.
  float a = stringA.lastOutput() + inA;
  float b = stringB.lastOutput() + inB;
  if (const float s = e.saturationA; s > 0.0f) a = (1.0f + s) * a - s * a * a * a;
  if (const float s = e.saturationB; s > 0.0f) b = (1.0f + s) * b - s * b * b * b;
  // The cubic curve diverges beyond its range: a string that runs away (some
  // settings feed back more than they lose) is stopped before it reaches
  // infinity, instead of sending huge values or non-numbers to the host.
  // A note already waiting in the voice is kept and starts on time.
  if (!(std::fabs(a) <= kRunawayLevel && std::fabs(b) <= kRunawayLevel)) {
    const PendingNote waiting = pending;
    reset(true);
    pending = waiting;
    return 0.0f;
  }

  loopStateA = a + (loopStateA - a) * e.loopDampingA;
  loopStateB = b + (loopStateB - b) * e.loopDampingB;
  const float A = loopStateA;
  const float B = loopStateB;

  const float mixComplement = e.mixComplement;
  envelopeA = followerA.process(A);
  envelopeB = followerB.process(B);
  level = envelopeA + (envelopeB - envelopeA) * mixComplement;

  float L1 = leakAtoB(A, B, o);
  float L2 = B * e.leakGainBA;

  if (state.get() == kVoiceTakenOver) {
    loopGainA *= kTakeoverFade;
    loopGainB *= kTakeoverFade;
    if (level < kTakeoverEndLevel) state = kVoiceFree;
  }

  const bool bodyRuns = e.bodyType1On || e.bodyType2On;
  float warp = 0.0f;
  float morph = 0.0f;
  if (bodyRuns) {
    warp = warpLfo.tick() * e.raw(kLfoWarpAmp) * 0.5f + e.warpSmoothed;
    warp = std::min(warp, kLargestWarp);
    if (!(warp >= kSmallestWarp)) warp = kSmallestWarp;
    morph = filterEnvelope.tick();
  }
  if (e.leakOnAB || e.leakOnBA) {
    leakBlockBA = L2 + (leakBlockBA - L2) * kLeakBlockerPole;
    L2 -= leakBlockBA;
    leakBlockAB = L1 + (leakBlockAB - L1) * kLeakBlockerPole;
    L1 -= leakBlockAB;
  }
  const float position = e.raw(kFilterPos);
  const float writeB = e.raw(kLineBPolarity) > 0.5f ? B * loopGainB + o : o - B * loopGainB;
  const float mixed = a + (b - a) * mixComplement;
  float y;
  if (position >= kBodyOnOutput) {
    stringA.tick(A * loopGainA + o + L2);
    stringB.tick(writeB + L1);
    y = bodyRuns ? static_cast<float>(body.process(mixed + o, warp, morph)) : mixed;
  } else {
    if (bodyRuns) {
      if (position > kBodyOnLeakBA)
        L2 = static_cast<float>(body.process(L2 + o, warp, morph));
      else
        L1 = static_cast<float>(body.process(L1 + o, warp, morph));
    }
    L2 = std::clamp(L2, -kLeakLimit, kLeakLimit);
    L1 = std::clamp(L1, -kLeakLimit, kLeakLimit);
    stringA.tick(A * loopGainA - L2 + o);
    stringB.tick(writeB + L1);
    y = mixed;
  }
  return endSample(y);
}

// Called once per voice and sample, from this file only: inlined into the render.
[[gnu::always_inline]] inline float Voice::endSample(float y) {
  const EngineState& e = engine;
  y *= velocityGain;

  y *= ampEnvelope.tick();
  if (ampEnvelope.getState() == Adsr::State::idle) state = kVoiceFree;

  ++samplesSinceStart;
  if (e.qualityHigh || samplesSinceStart % kLowQualityModulationInterval == 0) {
    const float bend = e.pitchBendRatioSmoothed;
    if (delayLengthA > 0.0f)
      stringA.setDelay((lfoA.tick() * e.raw(kLfoAAmp) + 1.0f) * bend * delayLengthA);
    if (delayLengthB > 0.0f)
      stringB.setDelay((lfoB.tick() * e.raw(kLfoBAmp) + 1.0f) * bend * delayLengthB);
  } else {
    lfoA.tick();
    lfoB.tick();
  }
  denormalOffset = -denormalOffset;
  if (level < kSilentLevel && samplesSinceStart > kSilentSamples) state = kVoiceFree;
  return y;
}

}  // namespace engine
