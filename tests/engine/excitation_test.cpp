#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/delay_line.h"
#include "engine/random.h"

namespace {

using engine::DelayLine;

// The samples from the read index on, in the order the line will play them.
std::vector<float> excitation(const DelayLine& line, int length) {
  std::vector<float> samples;
  int position = line.getReadIndex();
  for (int i = 0; i < length; ++i) {
    samples.push_back(line.sampleAt(position));
    position = (position + 1) % line.getCapacity();
  }
  return samples;
}

std::vector<float> wholeBuffer(const DelayLine& line) {
  std::vector<float> samples;
  for (int i = 0; i < line.getCapacity(); ++i) samples.push_back(line.sampleAt(i));
  return samples;
}

int countNonZero(const DelayLine& line) {
  int count = 0;
  for (float sample : wholeBuffer(line)) count += sample != 0.0f;
  return count;
}

void expectSamplesNear(const std::vector<float>& actual, const std::vector<float>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4f) << i;
}

TEST(Excitation, NoiseWorkedExamples) {
  DelayLine line(8192);
  line.setDelay(5.0f);
  line.fillExcitation(60, 0.5f);
  expectSamplesNear(excitation(line, 5), {0.6963f, -0.1963f, -1.0f, -0.1963f, 0.6963f});
  EXPECT_EQ(line.lastOutput(), line.sampleAt(line.getReadIndex()));

  line.setDelay(6.0f);
  line.fillExcitation(69, 1.0f);
  const std::vector<float> burst = excitation(line, 6);
  expectSamplesNear(burst, {-1.0f, 0.4817f, 0.5183f, 0.5183f, 0.4817f, -1.0f});
  // The line then plays the burst in order, followed by the silence after it.
  EXPECT_EQ(line.lastOutput(), burst[0]);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(line.tick(0.0f), burst[i]) << i;
  EXPECT_EQ(line.tick(0.0f), 0.0f);
}

TEST(Excitation, NoiseIsSymmetricCentredAndPeaksAtOne) {
  DelayLine line(8192);
  // 20000 is clamped to the longest burst, capacity - 1 samples.
  for (float delay : {97.3f, 98.0f, 1500.5f, 20000.0f}) {
    line.setDelay(delay);
    line.fillExcitation(64, 0.7f);
    const int length = line.getIntegerDelay();
    const std::vector<float> burst = excitation(line, length);
    float peak = 0.0f;
    double sum = 0.0;
    for (int i = 0; i < length; ++i) {
      ASSERT_EQ(burst[i], burst[length - 1 - i]) << i;
      peak = std::max(peak, std::fabs(burst[i]));
      sum += burst[i];
    }
    EXPECT_EQ(peak, 1.0f);
    EXPECT_NEAR(sum / length, 0.0, 1e-5);
    EXPECT_LE(countNonZero(line), length);
  }
}

TEST(Excitation, SameSeedGivesIdenticalBuffers) {
  DelayLine first(8192);
  DelayLine second(8192);
  // Leftovers and another write position in the second line must not matter.
  for (int n = 0; n < 3000; ++n) second.tick(std::sin(0.01f * static_cast<float>(n)));
  first.setDelay(250.4f);
  second.setDelay(250.4f);
  first.fillExcitation(45, 0.6f);
  second.fillExcitation(45, 0.6f);
  EXPECT_EQ(excitation(first, 251), excitation(second, 251));
  EXPECT_EQ(first.lastOutput(), second.lastOutput());

  DelayLine third(8192);
  third.setDelay(250.4f);
  third.fillExcitation(46, 0.6f);
  EXPECT_NE(excitation(first, 251), excitation(third, 251));
}

TEST(Excitation, BurstWrapsAroundTheEndOfTheBuffer) {
  DelayLine line(64);
  for (int n = 0; n < 4; ++n) line.tick(0.0f);  // write index now 3
  line.setDelay(10.0f);
  ASSERT_EQ(line.getReadIndex(), 57);
  line.fillExcitation(3, 1.0f);
  EXPECT_EQ(countNonZero(line), 10);
  for (int i = 3; i < 57; ++i) EXPECT_EQ(line.sampleAt(i), 0.0f) << i;
}

TEST(Excitation, ZeroBrightnessWritesOneSinePeriodOverTheTrueLength) {
  DelayLine line(8192);
  line.setDelay(40.5f);
  line.fillExcitation(1, 0.0f);
  const std::vector<float> burst = excitation(line, 41);
  EXPECT_EQ(burst[0], 0.0f);
  EXPECT_EQ(line.lastOutput(), 0.0f);
  constexpr double kTwoPi = 6.283185307179586;
  for (int i = 0; i < 40; ++i) EXPECT_NEAR(burst[i], std::sin(kTwoPi * i / 40.5), 1e-5) << i;
  EXPECT_NEAR(burst[40], std::sin(kTwoPi * 39.5 / 40.5), 1e-5);
  EXPECT_EQ(countNonZero(line), 40);

  line.fillExcitation(1, -0.5f);
  EXPECT_EQ(excitation(line, 41), burst);
}

TEST(Excitation, FillReseedsTheGeneratorAndDrawsOncePerNoiseSample) {
  DelayLine line(8192);
  line.setDelay(5.0f);
  engine::seedRandom(60);
  std::vector<int> sequence;
  for (int i = 0; i < 6; ++i) sequence.push_back(engine::nextRandom());

  engine::seedRandom(1234);
  line.fillExcitation(60, 0.5f);
  EXPECT_EQ(engine::nextRandom(), sequence[5]);
  line.fillExcitation(60, 0.0f);
  EXPECT_EQ(engine::nextRandom(), sequence[0]);
}

// Delays of at most one sample leave a burst of length 1 or 0; the noise burst
// of one sample is silent after its mean is removed, and nothing may be left
// that is not finite.
TEST(Excitation, BurstsOfLengthZeroAndOneStayFinite) {
  DelayLine line(64);
  for (float delay : {0.0f, 0.5f, 1.0f}) {
    for (float brightness : {1.0f, 0.3f, 0.0f}) {
      line.setDelay(delay);
      line.fillExcitation(127, brightness);
      for (float sample : wholeBuffer(line)) ASSERT_TRUE(std::isfinite(sample));
      EXPECT_TRUE(std::isfinite(line.lastOutput()));
      if (brightness > 0.0f) {
        EXPECT_EQ(countNonZero(line), 0) << delay;
      }
      for (int n = 0; n < 10; ++n) ASSERT_TRUE(std::isfinite(line.tick(0.0f)));
    }
  }
  // The sine of one sample is sin(-fraction * 2pi / (1 - fraction)).
  line.setDelay(0.75f);
  line.fillExcitation(127, 0.0f);
  EXPECT_NEAR(line.lastOutput(), std::sin(-0.25 * 6.283185307179586 / 0.75), 1e-6);
}

}  // namespace
