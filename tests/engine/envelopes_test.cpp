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
int ticksWhileIn(Adsr& adsr, State state, int limit) {
  int n = 0;
  while (adsr.getState() == state && n < limit) {
    adsr.tick();
    ++n;
  }
  return n;
}

TEST(Adsr, StartsIdleAtZero) {
  Adsr adsr(kRate);
  EXPECT_EQ(adsr.getState(), State::idle);
  EXPECT_EQ(static_cast<int>(adsr.getState()), 4);
  EXPECT_EQ(adsr.tick(), 0.0f);
  EXPECT_EQ(adsr.getState(), State::idle);
}

TEST(Adsr, StateCodes) {
  EXPECT_EQ(static_cast<int>(State::attack), 0);
  EXPECT_EQ(static_cast<int>(State::decay), 1);
  EXPECT_EQ(static_cast<int>(State::sustain), 2);
  EXPECT_EQ(static_cast<int>(State::release), 3);
  EXPECT_EQ(static_cast<int>(State::idle), 4);
}

// Half a second of attack, no decay, sustain 0.99 and one second of release.
// The value and its steps are single precision: adding the step 1/22051 in
// floats reaches 1 a few ticks before the exact 22051, and the release's
// per-tick fall is rounded to the float spacing near the value (6e-8 near 1).
TEST(Adsr, FullCycleAt44100) {
  Adsr adsr(kRate);
  adsr.setSettings({0.5f, 0.0f, 0.99f, 1.0f});
  adsr.trigger();
  EXPECT_EQ(adsr.getState(), State::attack);
  EXPECT_FLOAT_EQ(adsr.tick(), 1.0f / 22051.0f);  // the first tick already moves

  const int attackTicks = 1 + ticksWhileIn(adsr, State::attack, 100000);
  EXPECT_NEAR(attackTicks, 22051, 4);
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
  const int releaseTicks = 1000 + ticksWhileIn(adsr, State::release, 100000);
  EXPECT_NEAR(releaseTicks, 44101, 44);  // within 0.1 %
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
  const int n = 1 + ticksWhileIn(adsr, State::release, 100000);
  EXPECT_NEAR(n, 26461, 26);  // within 0.1 %
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
  EXPECT_EQ(adsr.getSettings().sustainLevel, 0.2f);

  // The decay now aims at the new level, and the release falls at its rate.
  ticksWhileIn(adsr, State::attack, 100000);
  ticksWhileIn(adsr, State::decay, 100000);
  EXPECT_EQ(adsr.getState(), State::sustain);
  EXPECT_EQ(adsr.getValue(), 0.2f);
  adsr.setSustain(0.6f);
  EXPECT_EQ(adsr.tick(), 0.6f);
  adsr.release();
  const float before = adsr.getValue();
  EXPECT_NEAR(before - adsr.tick(), 0.6f / 44101.0f, 6e-8f);
}

TEST(Adsr, SustainOneEntersSustainOnTheFirstDecayTick) {
  Adsr adsr(kRate);
  adsr.setSettings({0.0f, 3.0f, 1.0f, 0.1f});
  adsr.trigger();
  EXPECT_EQ(adsr.tick(), 1.0f);  // an attack of time 0 reaches 1 on the first tick
  EXPECT_EQ(adsr.getState(), State::decay);
  EXPECT_EQ(adsr.tick(), 1.0f);
  EXPECT_EQ(adsr.getState(), State::sustain);
}

TEST(Adsr, DecayFallsToSustainInTheDecayTime) {
  Adsr adsr(kRate);
  adsr.setSettings({0.0f, 0.1f, 0.4f, 0.1f});
  adsr.trigger();
  adsr.tick();
  const int n = ticksWhileIn(adsr, State::decay, 100000);
  EXPECT_NEAR(n, 4411, 2);
  EXPECT_EQ(adsr.getValue(), 0.4f);
}

TEST(Adsr, SettingsKeepStateAndValueAndTriggerRestarts) {
  Adsr adsr(kRate);
  adsr.setSettings({0.01f, 0.0f, 0.5f, 0.01f});
  adsr.trigger();
  for (int n = 0; n < 100; ++n) adsr.tick();
  const float value = adsr.getValue();
  const AdsrSettings settings{2.0f, 3.0f, 0.25f, 4.0f};
  adsr.setSettings(settings);
  EXPECT_EQ(adsr.getValue(), value);
  EXPECT_EQ(adsr.getState(), State::attack);
  const AdsrSettings stored = adsr.getSettings();
  EXPECT_EQ(stored.attackTime, 2.0f);
  EXPECT_EQ(stored.decayTime, 3.0f);
  EXPECT_EQ(stored.sustainLevel, 0.25f);
  EXPECT_EQ(stored.releaseTime, 4.0f);

  adsr.release();
  adsr.tick();
  adsr.trigger();
  EXPECT_EQ(adsr.getState(), State::attack);
  EXPECT_EQ(adsr.getValue(), 0.0f);
  // Release from idle ends at once.
  Adsr idle(kRate);
  idle.release();
  EXPECT_EQ(idle.tick(), 0.0f);
  EXPECT_EQ(idle.getState(), State::idle);
}

TEST(Adsr, SampleRateIsTruncatedToWholeHertz) {
  Adsr adsr(44100.9f);
  adsr.setSettings({1.0f, 0.0f, 1.0f, 0.0f});
  adsr.trigger();
  EXPECT_FLOAT_EQ(adsr.tick(), 1.0f / 44101.0f);
}

// Negative or undefined times act as instant stages and sustain stays within
// 0 to 1, so the output never leaves 0 to 1 and every stage ends.
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
  EXPECT_EQ(adsr.tick(), 1.0f);
  EXPECT_EQ(adsr.tick(), 1.0f);
  EXPECT_EQ(adsr.getState(), State::sustain);
  adsr.release();
  EXPECT_EQ(adsr.tick(), 0.0f);
  EXPECT_EQ(adsr.getState(), State::idle);

  adsr.setSustain(nan);
  EXPECT_EQ(adsr.getValue(), 0.0f);
  adsr.setSustain(-0.5f);
  EXPECT_EQ(adsr.getValue(), 0.0f);

  // An endless attack and a zero sample rate give no undefined steps.
  Adsr still(0.0f);
  still.setSettings({inf, inf, 0.5f, inf});
  still.trigger();
  EXPECT_EQ(still.tick(), 1.0f);
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

  EnvelopeFollower slow;
  slow.setAttack(0.5f);
  slow.setRelease(0.5f);
  EXPECT_FLOAT_EQ(slow.process(1.0f), 0.5f);
  EXPECT_FLOAT_EQ(slow.process(1.0f), 0.75f);
  EXPECT_FLOAT_EQ(slow.process(0.0f), 0.375f);
}

TEST(EnvelopeFollower, NotANumberInputDoesNotStick) {
  EnvelopeFollower follower;
  follower.process(0.5f);
  const float y = follower.process(std::numeric_limits<float>::quiet_NaN());
  EXPECT_FLOAT_EQ(y, 0.5f * 0.9999f);
}

}  // namespace
