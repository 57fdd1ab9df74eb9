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

float tickTimes(Lfo& lfo, int n) {
  float y = 0.0f;
  for (int i = 0; i < n; ++i) y = lfo.tick();
  return y;
}

TEST(LfoRate, OneHertzIncrementAndWrap) {
  Lfo lfo(kRate);
  EXPECT_EQ(lfo.getIncrement(), 97391u);  // the constructor's rate is 1 Hz
  lfo.setFrequency(1.0f);
  EXPECT_EQ(lfo.getIncrement(), 97391u);
  tickTimes(lfo, 44100);
  EXPECT_EQ(lfo.getPhase(), 44100u * 97391u);
  lfo.tick();
  EXPECT_EQ(lfo.getPhase(), static_cast<uint32_t>(44101ull * 97391ull - 4294967296ull));
}

TEST(LfoRate, RateChangesKeepThePhaseAndRateZeroHolds) {
  Lfo lfo(kRate);
  tickTimes(lfo, 5000);
  const uint32_t phase = lfo.getPhase();
  lfo.setWaveform(Lfo::kSinus);
  lfo.setFrequency(0.0f);
  EXPECT_EQ(lfo.getPhase(), phase);
  const float held = lfo.tick();
  EXPECT_GT(held, 0.1f);
  for (int n = 0; n < 100; ++n) ASSERT_EQ(lfo.tick(), held);
}

// Only the low 32 bits of the truncated count are kept, without an out-of-range
// conversion; rates that are not numbers, or a zero sample rate, stop the phase.
TEST(LfoRate, UnusableRatesGiveDefinedIncrements) {
  Lfo lfo(kRate);
  lfo.setFrequency(-1.0f);  // runs backwards
  EXPECT_EQ(lfo.getIncrement(), 4294967296u - 97391u);
  lfo.setFrequency(44101.0f);  // 2^32 + 97391 wraps to 97391
  EXPECT_EQ(lfo.getIncrement(), 97391u);
  lfo.setFrequency(3.0e38f);  // a double this large has no low bits set
  EXPECT_EQ(lfo.getIncrement(), 0u);
  for (float hz : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                   -std::numeric_limits<float>::infinity()}) {
    lfo.setFrequency(hz);
    EXPECT_EQ(lfo.getIncrement(), 0u) << hz;
  }
  Lfo silent(0.0f);
  EXPECT_EQ(silent.getIncrement(), 0u);
  EXPECT_EQ(silent.tick(), 0.0f);
}

TEST(LfoTriangle, StartsAtZeroAndPeaksAtTheQuarters) {
  Lfo lfo(kRate);
  EXPECT_EQ(lfo.tick(), 0.0f);
  EXPECT_NEAR(tickTimes(lfo, 11025), 1.0f, 5e-5f);  // a quarter of a second at 1 Hz
  EXPECT_NEAR(tickTimes(lfo, 22050), -1.0f, 5e-5f);

  Lfo exact(kRate);
  exact.setFrequency(kOneEntryPerTick);
  ASSERT_EQ(exact.getIncrement(), 1u << 24);
  EXPECT_EQ(exact.tick(), 0.0f);
  EXPECT_EQ(tickTimes(exact, 64), 1.0f);
  EXPECT_EQ(tickTimes(exact, 64), 0.0f);
  EXPECT_EQ(tickTimes(exact, 64), -1.0f);
  EXPECT_EQ(tickTimes(exact, 64), 0.0f);
}

TEST(LfoWaveforms, TablesAndGuardEntries) {
  for (int code = 0; code < Lfo::kWaveformCount; ++code) {
    const engine::WaveTable& t = Lfo::waveform(code);
    EXPECT_NEAR(t[256], t[0], 1e-15) << "waveform " << code;
  }
  EXPECT_EQ(Lfo::waveform(Lfo::kExponent)[128], 1.0f);
  // Unknown codes read the triangle rather than past the tables.
  EXPECT_EQ(&Lfo::waveform(9), &Lfo::waveform(Lfo::kTriangle));
  EXPECT_EQ(&Lfo::waveform(-1), &Lfo::waveform(Lfo::kTriangle));

  Lfo lfo(kRate);
  lfo.setWaveform(Lfo::kSinus);
  for (int n = 0; n < 44100; ++n) {
    const double expected = std::sin(2.0 * std::numbers::pi * (n * 97391.0) / 4294967296.0);
    ASSERT_NEAR(lfo.tick(), expected, 1e-4) << "tick " << n;
  }
}

// Sixteen ticks per entry: every output step stays within a sixteenth of the
// largest difference of neighbouring entries, the step into the guard included.
TEST(LfoWaveforms, InterpolationIsContinuousAcrossTheWholeCycle) {
  for (int code = 0; code < Lfo::kWaveformCount; ++code) {
    const engine::WaveTable& t = Lfo::waveform(code);
    float largestStep = 0.0f;
    for (int i = 0; i < 256; ++i) largestStep = std::max(largestStep, std::fabs(t[i + 1] - t[i]));

    Lfo lfo(kRate);
    lfo.setWaveform(code);
    lfo.setFrequency(kOneEntryPerTick / 16.0f);
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

TEST(LfoWaveforms, SawtoothFallsAndSquareFlipsWithinTheirSteps) {
  Lfo saw(kRate);
  saw.setWaveform(Lfo::kSawtooth);
  saw.setFrequency(kOneEntryPerTick / 4.0f);
  EXPECT_EQ(saw.tick(), -1.0f);
  EXPECT_NEAR(tickTimes(saw, 255 * 4), 1.0f, 1e-6f);  // entry 255
  EXPECT_NEAR(saw.tick(), 0.5f, 1e-6f);               // a quarter of the way to -1
  EXPECT_EQ(tickTimes(saw, 3), -1.0f);

  Lfo square(kRate);
  square.setWaveform(Lfo::kSquare);
  square.setFrequency(kOneEntryPerTick / 8.0f);
  int crossings = 0;
  for (int n = 0; n < 8 * 256 * 2; ++n) {
    const uint32_t index = square.getPhase() >> 24;
    const float y = square.tick();
    if (index == 127 || index == 255) {
      crossings += std::fabs(y) < 1.0f;
    } else {
      ASSERT_EQ(std::fabs(y), 1.0f) << "tick " << n;
    }
  }
  EXPECT_EQ(crossings, 2 * 2 * 7);
}

TEST(LfoWaveforms, UnknownCodeChangesNothing) {
  Lfo reference(kRate);
  Lfo lfo(kRate);
  reference.setWaveform(Lfo::kExponent);
  lfo.setWaveform(Lfo::kExponent);
  lfo.setWaveform(7);
  lfo.setWaveform(-2);
  for (int n = 0; n < 20000; ++n) ASSERT_EQ(lfo.tick(), reference.tick());
}

}  // namespace
