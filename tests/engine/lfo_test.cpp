#include "engine/lfo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using engine::Lfo;

constexpr float kRate = 44100.0f;
// A rate at which the phase advances by exactly one table entry per tick.
constexpr float kOneEntryPerTick = kRate / 256.0f;

TEST(LfoRate, OneHertzIncrementAndWrap) {
  Lfo lfo(kRate);
  EXPECT_EQ(lfo.getIncrement(), 97391u);  // the constructor's default rate is 1 Hz
  lfo.setFrequency(1.0f);
  EXPECT_EQ(lfo.getIncrement(), 97391u);

  for (int n = 0; n < 44100; ++n) lfo.tick();
  EXPECT_EQ(lfo.getPhase(), 44100u * 97391u);
  lfo.tick();
  EXPECT_EQ(lfo.getPhase(), static_cast<uint32_t>(44101ull * 97391ull - 4294967296ull));
}

TEST(LfoRate, RateChangesKeepThePhase) {
  Lfo lfo(kRate);
  for (int n = 0; n < 1000; ++n) lfo.tick();
  const uint32_t phase = lfo.getPhase();
  lfo.setFrequency(37.0f);
  lfo.setWaveform(Lfo::kSquare);
  EXPECT_EQ(lfo.getPhase(), phase);
}

TEST(LfoRate, RateZeroHoldsTheOutput) {
  Lfo lfo(kRate);
  for (int n = 0; n < 5000; ++n) lfo.tick();
  lfo.setFrequency(0.0f);
  const float held = lfo.tick();
  EXPECT_GT(held, 0.1f);
  for (int n = 0; n < 100; ++n) ASSERT_EQ(lfo.tick(), held);
}

TEST(LfoRate, UnusableRatesGiveDefinedIncrements) {
  Lfo lfo(kRate);
  // A negative rate keeps the low 32 bits of the truncated negative count: the
  // phase runs backwards.
  lfo.setFrequency(-1.0f);
  EXPECT_EQ(lfo.getIncrement(), 4294967296u - 97391u);

  lfo.setFrequency(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(lfo.getIncrement(), 0u);
  lfo.setFrequency(std::numeric_limits<float>::infinity());
  EXPECT_EQ(lfo.getIncrement(), 0u);
  lfo.setFrequency(-std::numeric_limits<float>::infinity());
  EXPECT_EQ(lfo.getIncrement(), 0u);

  // Far beyond any integer: the low 32 bits of such a large double are zero.
  lfo.setFrequency(3.0e38f);
  EXPECT_EQ(lfo.getIncrement(), 0u);
  // Beyond 32 bits but within 64: 2^32 + 97391 entries per tick wraps to 97391.
  lfo.setFrequency(44101.0f);
  EXPECT_EQ(lfo.getIncrement(), 97391u);

  // A zero sample rate makes every rate infinite or undefined: the LFO stands still.
  Lfo silent(0.0f);
  EXPECT_EQ(silent.getIncrement(), 0u);
  EXPECT_EQ(silent.tick(), 0.0f);
}

TEST(LfoTriangle, StartsAtZeroAndPeaksAtTheQuarters) {
  Lfo lfo(kRate);
  lfo.setFrequency(kOneEntryPerTick);
  ASSERT_EQ(lfo.getIncrement(), 1u << 24);
  EXPECT_EQ(lfo.tick(), 0.0f);
  float y = 0.0f;
  for (int n = 1; n <= 64; ++n) y = lfo.tick();
  EXPECT_EQ(y, 1.0f);
  for (int n = 65; n <= 128; ++n) y = lfo.tick();
  EXPECT_EQ(y, 0.0f);
  for (int n = 129; n <= 192; ++n) y = lfo.tick();
  EXPECT_EQ(y, -1.0f);
  for (int n = 193; n <= 256; ++n) y = lfo.tick();
  EXPECT_EQ(y, 0.0f);
}

TEST(LfoTriangle, QuarterAndThreeQuarterCycleAtOneHertz) {
  Lfo lfo(kRate);
  EXPECT_EQ(lfo.tick(), 0.0f);
  float y = 0.0f;
  for (int n = 1; n <= 11025; ++n) y = lfo.tick();
  EXPECT_NEAR(y, 1.0f, 5e-5f);
  for (int n = 11026; n <= 33075; ++n) y = lfo.tick();
  EXPECT_NEAR(y, -1.0f, 5e-5f);
}

TEST(LfoWaveforms, GuardEntriesCloseTheCycle) {
  for (int code = 0; code < Lfo::kWaveformCount; ++code) {
    const engine::WaveTable& t = Lfo::waveform(code);
    EXPECT_NEAR(t[256], t[0], 1e-15) << "waveform " << code;
  }
  EXPECT_EQ(Lfo::waveform(Lfo::kSawtooth)[0], -1.0f);
  EXPECT_NEAR(Lfo::waveform(Lfo::kSawtooth)[255], 1.0f, 1e-6f);
  EXPECT_EQ(Lfo::waveform(Lfo::kExponent)[128], 1.0f);
  EXPECT_EQ(Lfo::waveform(Lfo::kSinus)[64], 1.0f);
  // Unknown codes read the triangle rather than past the tables.
  EXPECT_EQ(&Lfo::waveform(9), &Lfo::waveform(Lfo::kTriangle));
  EXPECT_EQ(&Lfo::waveform(-1), &Lfo::waveform(Lfo::kTriangle));
}

// Sixteen ticks per table entry: every step between outputs stays within one
// sixteenth of the largest difference of neighbouring entries, including the
// step from entry 255 to the guard.
TEST(LfoWaveforms, InterpolationIsContinuousAcrossTheWholeCycle) {
  for (int code = 0; code < Lfo::kWaveformCount; ++code) {
    const engine::WaveTable& t = Lfo::waveform(code);
    float largestStep = 0.0f;
    for (int i = 0; i < 256; ++i) largestStep = std::max(largestStep, std::fabs(t[i + 1] - t[i]));

    Lfo lfo(kRate);
    lfo.setWaveform(code);
    lfo.setFrequency(kOneEntryPerTick / 16.0f);
    ASSERT_EQ(lfo.getIncrement(), 1u << 20);
    float previous = lfo.tick();
    for (int n = 1; n <= 16 * 256; ++n) {
      const float y = lfo.tick();
      ASSERT_LE(std::fabs(y - previous), largestStep / 16.0f + 1e-6f)
          << "waveform " << code << " tick " << n;
      previous = y;
    }
    EXPECT_NEAR(previous, t[0], 1e-6f) << "waveform " << code;
  }
}

TEST(LfoWaveforms, SawtoothFallsWithinTheLastStep) {
  Lfo lfo(kRate);
  lfo.setWaveform(Lfo::kSawtooth);
  lfo.setFrequency(kOneEntryPerTick / 4.0f);
  float y = 0.0f;
  for (int n = 0; n <= 255 * 4; ++n) y = lfo.tick();
  EXPECT_NEAR(y, 1.0f, 1e-6f);  // entry 255
  y = lfo.tick();
  EXPECT_NEAR(y, 0.5f, 1e-6f);  // a quarter of the way to the guard's -1
  for (int n = 0; n < 3; ++n) y = lfo.tick();
  EXPECT_EQ(y, -1.0f);  // back at entry 0
}

TEST(LfoWaveforms, SquareChangesSignOnlyInItsTwoSteps) {
  Lfo lfo(kRate);
  lfo.setWaveform(Lfo::kSquare);
  lfo.setFrequency(kOneEntryPerTick / 8.0f);
  int crossings = 0;
  for (int n = 0; n < 8 * 256 * 2; ++n) {
    const uint32_t index = lfo.getPhase() >> 24;
    const float y = lfo.tick();
    if (index == 127 || index == 255) {
      if (std::fabs(y) < 1.0f) ++crossings;
    } else {
      ASSERT_EQ(std::fabs(y), 1.0f) << "tick " << n;
    }
  }
  EXPECT_GT(crossings, 0);
}

TEST(LfoWaveforms, UnknownCodeChangesNothing) {
  Lfo reference(kRate);
  Lfo lfo(kRate);
  reference.setWaveform(Lfo::kSinus);
  lfo.setWaveform(Lfo::kSinus);
  lfo.setWaveform(7);
  lfo.setWaveform(-2);
  lfo.setFrequency(3.0f);
  reference.setFrequency(3.0f);
  for (int n = 0; n < 20000; ++n) ASSERT_EQ(lfo.tick(), reference.tick());
}

TEST(LfoWaveforms, SinusAndExponentShapes) {
  Lfo lfo(kRate);
  lfo.setWaveform(Lfo::kSinus);
  for (int n = 0; n < 44100; ++n) {
    const double expected = std::sin(2.0 * std::numbers::pi * (n * 97391.0) / 4294967296.0);
    ASSERT_NEAR(lfo.tick(), expected, 1e-4) << "tick " << n;
  }
  Lfo exponent(kRate);
  exponent.setWaveform(Lfo::kExponent);
  exponent.setFrequency(kOneEntryPerTick);
  // Rises from -1 to 1 over the first half, slowly at first.
  const float start = exponent.tick();
  for (int n = 1; n < 64; ++n) exponent.tick();
  const float quarter = exponent.tick();
  EXPECT_EQ(start, -1.0f);
  EXPECT_LT(quarter, 0.0f);
  EXPECT_NEAR(quarter, 2.0 * (std::exp(0.5) - 1.0) / (std::exp(1.0) - 1.0) - 1.0, 1e-6);
}

}  // namespace
