#include "engine/envelopes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using engine::Adsr;
using engine::AdsrSettings;
using engine::EnvelopeFollower;
using State = Adsr::State;

constexpr float kRate = 44100.0f;

// Ticks until the envelope leaves `state`, up to `limit` ticks.
int ticksWhileIn(Adsr& adsr, State state, int limit = 1000000) {
  int n = 0;
  for (; adsr.getState() == state && n < limit; ++n) adsr.tick();
  return n;
}

// Half a second of attack, no decay, sustain 0.99 and one second of release.
// The value and its steps are single precision: adding the step 1/22051 in
// floats reaches 1 a few ticks before the exact 22051, and each tick's fall is
// rounded to the float spacing near the value (6e-8 near 1).
TEST(Adsr, FullCycleAt44100) {
  Adsr adsr(kRate);
  EXPECT_EQ(static_cast<int>(adsr.getState()), 4);  // idle
  EXPECT_EQ(adsr.tick(), 0.0f);
  adsr.setSettings({0.5f, 0.0f, 0.99f, 1.0f});
  adsr.trigger();
  EXPECT_EQ(adsr.getState(), State::attack);
  EXPECT_FLOAT_EQ(adsr.tick(), 1.0f / 22051.0f);  // the first tick already moves

  EXPECT_NEAR(1 + ticksWhileIn(adsr, State::attack), 22051, 4);
  EXPECT_EQ(adsr.getValue(), 1.0f);
  EXPECT_EQ(adsr.getState(), State::decay);
  EXPECT_EQ(adsr.tick(), 0.99f);  // decay step 0.01 with decay time 0
  EXPECT_EQ(adsr.getState(), State::sustain);
  for (int n = 0; n < 100000; ++n) ASSERT_EQ(adsr.tick(), 0.99f);

  adsr.release();
  EXPECT_EQ(adsr.getState(), State::release);
  float previous = adsr.getValue();
  for (int n = 0; n < 1000; ++n) {
    const float y = adsr.tick();
    ASSERT_NEAR(previous - y, 0.99f / 44101.0f, 6e-8f);
    previous = y;
  }
  EXPECT_NEAR(1000 + ticksWhileIn(adsr, State::release), 44101, 44);  // within 0.1 %
  EXPECT_EQ(adsr.getState(), State::idle);
  EXPECT_EQ(adsr.getValue(), 0.0f);
}

// The release rate comes from the sustain level, not from where it starts.
TEST(Adsr, ReleaseDuringAttackFallsAtTheSustainRate) {
  Adsr adsr(kRate);
  adsr.setSettings({9.0f / kRate, 0.0f, 0.5f, 1.0f});  // attack step 0.1
  adsr.trigger();
  for (int n = 0; n < 3; ++n) adsr.tick();
  ASSERT_NEAR(adsr.getValue(), 0.3f, 1e-6f);

  adsr.release();
  const float start = adsr.getValue();
  EXPECT_NEAR(start - adsr.tick(), 0.5f / 44101.0f, 3e-8f);
  EXPECT_NEAR(1 + ticksWhileIn(adsr, State::release), 26461, 26);  // within 0.1 %
  EXPECT_EQ(adsr.getValue(), 0.0f);

  adsr.trigger();  // restarts from 0 in any state
  EXPECT_EQ(adsr.getState(), State::attack);
  EXPECT_EQ(adsr.getValue(), 0.0f);
}

TEST(Adsr, SetSustainMovesTheValueInEveryState) {
  Adsr adsr(kRate);
  adsr.setSettings({1.0f, 0.5f, 0.7f, 1.0f});
  adsr.trigger();
  for (int n = 0; n < 1000; ++n) adsr.tick();

  adsr.setSustain(0.2f);
  EXPECT_EQ(adsr.getValue(), 0.2f);
  EXPECT_EQ(adsr.getState(), State::attack);
  EXPECT_FLOAT_EQ(adsr.tick(), 0.2f + 1.0f / 44101.0f);  // the attack continues from there

  // The decay now ends at the new level, and the release falls at its rate.
  ticksWhileIn(adsr, State::attack);
  ticksWhileIn(adsr, State::decay);
  EXPECT_EQ(adsr.getState(), State::sustain);
  EXPECT_EQ(adsr.getValue(), 0.2f);
  adsr.setSustain(0.6f);
  EXPECT_EQ(adsr.tick(), 0.6f);
  adsr.release();
  const float before = adsr.getValue();
  EXPECT_NEAR(before - adsr.tick(), 0.6f / 44101.0f, 6e-8f);
}

TEST(Adsr, DecayStepsAndSustainOne) {
  Adsr adsr(kRate);
  adsr.setSettings({0.0f, 0.1f, 0.4f, 0.1f});
  adsr.trigger();
  EXPECT_EQ(adsr.tick(), 1.0f);  // an attack of time 0 reaches 1 on the first tick
  EXPECT_NEAR(ticksWhileIn(adsr, State::decay), 4411, 2);
  EXPECT_EQ(adsr.getValue(), 0.4f);

  // Sustain 1: the decay step is 0 and the first decay tick enters sustain.
  adsr.setSettings({0.0f, 3.0f, 1.0f, 0.1f});
  adsr.trigger();
  adsr.tick();
  EXPECT_EQ(adsr.getState(), State::decay);
  EXPECT_EQ(adsr.tick(), 1.0f);
  EXPECT_EQ(adsr.getState(), State::sustain);
}

TEST(Adsr, SettingsKeepStateValueAndWholeHertz) {
  Adsr adsr(44100.9f);  // truncated to 44100 Hz
  adsr.setSettings({1.0f, 0.0f, 1.0f, 0.0f});
  adsr.trigger();
  EXPECT_FLOAT_EQ(adsr.tick(), 1.0f / 44101.0f);
  const float value = adsr.getValue();
  adsr.setSettings({2.0f, 3.0f, 0.25f, 4.0f});
  EXPECT_EQ(adsr.getValue(), value);
  EXPECT_EQ(adsr.getState(), State::attack);
  const AdsrSettings stored = adsr.getSettings();
  EXPECT_EQ(stored.attackTime, 2.0f);
  EXPECT_EQ(stored.decayTime, 3.0f);
  EXPECT_EQ(stored.sustainLevel, 0.25f);
  EXPECT_EQ(stored.releaseTime, 4.0f);
}

// Negative or undefined times act as instant stages and the sustain level stays
// within 0 to 1, so the output never leaves 0 to 1 and is never undefined.
TEST(Adsr, UnusableSettingsStayInRange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  Adsr adsr(kRate);
  adsr.setSettings({-1.0f, nan, 3.0f, -inf});
  const AdsrSettings stored = adsr.getSettings();
  EXPECT_EQ(stored.attackTime, 0.0f);
  EXPECT_EQ(stored.decayTime, 0.0f);
  EXPECT_EQ(stored.sustainLevel, 1.0f);
  EXPECT_EQ(stored.releaseTime, 0.0f);
  adsr.trigger();
  adsr.tick();
  EXPECT_EQ(adsr.tick(), 1.0f);
  adsr.release();
  EXPECT_EQ(adsr.tick(), 0.0f);
  EXPECT_EQ(adsr.getState(), State::idle);
  adsr.setSustain(nan);
  EXPECT_EQ(adsr.getValue(), 0.0f);

  Adsr zeroRate(0.0f);  // every stage instant, even an endless one
  zeroRate.setSettings({inf, inf, 0.5f, inf});
  zeroRate.trigger();
  EXPECT_EQ(zeroRate.tick(), 1.0f);
  Adsr endless(kRate);
  endless.setSettings({inf, 0.0f, 0.5f, 0.0f});
  endless.trigger();
  for (int n = 0; n < 10; ++n) ASSERT_EQ(endless.tick(), 0.0f);
}

TEST(EnvelopeFollower, DecaysByTheReleaseFactorDownToTheFloor) {
  EnvelopeFollower follower;
  EXPECT_EQ(follower.process(1.0f), 1.0f);
  float y = 1.0f;
  for (int n = 1; n <= 10000; ++n) y = follower.process(0.0f);
  EXPECT_NEAR(y, std::pow(0.9999, 10000), 1e-4);
  for (int n = 0; n < 400000; ++n) y = follower.process(0.0f);
  EXPECT_EQ(y, 1e-13f);
  EXPECT_EQ(follower.process(0.0f), 1e-13f);
  follower.reset();
  EXPECT_EQ(follower.getValue(), 0.0f);
  EXPECT_EQ(follower.process(0.0f), 1e-13f);
}

TEST(EnvelopeFollower, FollowsMagnitudeWithTheAttackCoefficient) {
  EnvelopeFollower follower;
  EXPECT_EQ(follower.process(0.5f), 0.5f);  // jumps at once by default
  EXPECT_EQ(follower.process(-0.8f), 0.8f);
  EXPECT_FLOAT_EQ(follower.process(0.3f), 0.8f * 0.9999f);
  // An input that is not a number is ignored: the value decays.
  EXPECT_FLOAT_EQ(follower.process(std::numeric_limits<float>::quiet_NaN()),
                  0.8f * 0.9999f * 0.9999f);

  EnvelopeFollower slow;
  slow.setAttack(0.5f);
  slow.setRelease(0.5f);
  EXPECT_FLOAT_EQ(slow.process(1.0f), 0.5f);
  EXPECT_FLOAT_EQ(slow.process(1.0f), 0.75f);
  EXPECT_FLOAT_EQ(slow.process(0.0f), 0.375f);
}

}  // namespace
