#include "engine/delay_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/voice_lanes_kernel.h"

namespace {

using engine::DelayLine;

constexpr int kCapacity = 8192;

// Feeds x[n] = n and returns the outputs; a ramp shows the exact delay, since
// cubic interpolation reproduces it without error.
std::vector<float> feedRamp(DelayLine& line, int count) {
  std::vector<float> out;
  for (int n = 0; n < count; ++n) out.push_back(line.tick(static_cast<float>(n)));
  return out;
}

TEST(DelayLineDelay, NewLineReadsSilence) {
  DelayLine line(kCapacity);
  EXPECT_EQ(line.lastOutput(), 0.0f);
  EXPECT_EQ(line.getWriteIndex(), kCapacity - 1);
  EXPECT_EQ(line.getReadIndex(), 0);
  for (int n = 0; n < 100; ++n) EXPECT_EQ(line.tick(1.0f), 0.0f);
}

TEST(DelayLineDelay, WholeDelayReturnsTheInputThatManyTicksLater) {
  DelayLine line(kCapacity);
  line.setDelay(400.0f);
  EXPECT_EQ(line.getIntegerDelay(), 400);
  EXPECT_EQ(line.getFraction(), 0.0f);
  EXPECT_EQ(line.getCoefficients(), (std::array<float, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
  const std::vector<float> out = feedRamp(line, 1000);
  for (int n = 0; n < 400; ++n) ASSERT_EQ(out[n], 0.0f) << n;
  for (int n = 400; n < 1000; ++n) ASSERT_EQ(out[n], static_cast<float>(n - 400)) << n;
  EXPECT_EQ(line.lastOutput(), out.back());
}

TEST(DelayLineDelay, FractionalDelayUsesLagrangeCoefficients) {
  DelayLine line(kCapacity);
  line.setDelay(400.25f);
  EXPECT_EQ(line.getIntegerDelay(), 401);
  EXPECT_FLOAT_EQ(line.getFraction(), 0.75f);
  const std::array<float, 4> h = line.getCoefficients();
  EXPECT_FLOAT_EQ(h[0], 0.0390625f);
  EXPECT_FLOAT_EQ(h[1], -0.2109375f);
  EXPECT_FLOAT_EQ(h[2], 1.0546875f);
  EXPECT_FLOAT_EQ(h[3], 0.1171875f);

  const std::vector<float> out = feedRamp(line, 1000);
  for (int n = 404; n < 1000; ++n) ASSERT_NEAR(out[n], n - 400.25f, 1e-3f) << n;
  // The coefficients sum to 1: a constant comes out unchanged.
  for (int n = 0; n < 500; ++n) line.tick(0.5f);
  EXPECT_NEAR(line.lastOutput(), 0.5f, 1e-6f);
}

TEST(DelayLineDelay, DelayBeyondCapacityIsClamped) {
  DelayLine line(kCapacity);
  line.setDelay(10000.0f);
  EXPECT_EQ(line.getIntegerDelay(), kCapacity - 1);
  EXPECT_EQ(line.getFraction(), 0.0f);
  line.tick(1.0f);
  for (int n = 1; n < kCapacity - 1; ++n) ASSERT_EQ(line.tick(0.0f), 0.0f) << n;
  EXPECT_EQ(line.tick(0.0f), 1.0f);
}

TEST(DelayLineDelay, ZeroDelayReturnsTheInput) {
  DelayLine line(kCapacity);
  line.setDelay(0.0f);
  EXPECT_EQ(line.tick(0.75f), 0.75f);
  EXPECT_EQ(line.tick(-0.25f), -0.25f);
}

TEST(DelayLineDelay, TapsReadAcrossTheEndOfTheBuffer) {
  // In a short line the four taps straddle the buffer's end at every turn.
  DelayLine line(8);
  line.setDelay(2.25f);
  const std::vector<float> out = feedRamp(line, 100);
  for (int n = 8; n < 100; ++n) ASSERT_NEAR(out[n], n - 2.25f, 1e-3f) << n;
}

TEST(DelayLineDelay, UnusableDelaysStayInsideTheBuffer) {
  DelayLine line(64);
  for (float delay : {-5.0f, std::numeric_limits<float>::quiet_NaN(), -0.5f}) {
    line.setDelay(delay);
    EXPECT_EQ(line.getIntegerDelay(), 0);
    EXPECT_EQ(line.tick(0.5f), 0.5f);
  }
  line.setDelay(std::numeric_limits<float>::infinity());
  EXPECT_EQ(line.getIntegerDelay(), 63);
  EXPECT_EQ(line.getCoefficients(), (std::array<float, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
  for (int n = 0; n < 200; ++n) ASSERT_TRUE(std::isfinite(line.tick(1.0f)));
}

TEST(DelayLineDelay, SetDelayMovesOnlyTheReadIndex) {
  DelayLine line(kCapacity);
  line.setDelay(10.0f);
  feedRamp(line, 50);
  const int writeIndex = line.getWriteIndex();
  line.setDelay(20.5f);
  EXPECT_EQ(line.getWriteIndex(), writeIndex);
  EXPECT_EQ(line.getReadIndex(), writeIndex - 21);
  EXPECT_EQ(line.sampleAt(writeIndex - 1), 49.0f);
}

TEST(DelayLineDelay, ClearSilencesButKeepsTheDelay) {
  DelayLine line(kCapacity);
  line.setDelay(3.0f);
  feedRamp(line, 10);
  line.clear();
  EXPECT_EQ(line.lastOutput(), 0.0f);
  EXPECT_EQ(line.getIntegerDelay(), 3);
  for (int n = 0; n < 3; ++n) EXPECT_EQ(line.tick(5.0f), 0.0f);
  EXPECT_EQ(line.tick(5.0f), 5.0f);
}

TEST(DelayLineDelay, SmallCapacityIsRaisedToFourTaps) {
  DelayLine line(1);
  EXPECT_EQ(line.getCapacity(), 4);
  line.setDelay(3.0f);
  line.tick(1.0f);
  line.tick(0.0f);
  line.tick(0.0f);
  EXPECT_EQ(line.tick(0.0f), 1.0f);
}

// The taps derived side by side carry the bits of the single delay's, at the
// edges of the rounding and the limits too.
TEST(DelayLineDelay, TapsSideBySideAreThoseOfOneDelay) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const float delays[] = {0.0f,       -0.0f,       -3.0f,   std::nanf(""), kInf,     -kInf,
                          0.4999f,    1.0f,        2.75f,   400.25f,       8191.5f,  8192.0f,
                          8388607.5f, 16777217.0f, 1.0e9f,  3.0e9f,        1.0e-30f, 7.0f + 1.0e-6f,
                          123.456f,   0.99999994f, 5000.0f, 1.5f,          2.0f,     3.25f};
  using Kernel = engine::lanes::FrameKernel<4>;
  for (size_t first = 0; first < std::size(delays); first += 4) {
    const Kernel::Floats delay = {delays[first], delays[first + 1], delays[first + 2],
                                  delays[first + 3]};
    const Kernel::Taps t = Kernel::taps(delay);
    for (int i = 0; i < 4; ++i) {
      const engine::DelayTaps want = DelayLine::taps(delay[i]);
      const engine::DelayTaps got = {t.ceiling[i], t.fraction[i], t.h0[i], t.h1[i], t.h2[i], t.h3[i]};
      EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0) << "delay " << delay[i];
    }
  }
}

}  // namespace
