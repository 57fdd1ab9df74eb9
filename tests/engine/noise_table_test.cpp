#include "engine/noise_table.h"

#include <gtest/gtest.h>

#include "engine/random.h"

namespace {

// After seedRandom(1) the generator yields 41, 18467, 6334, so the entries are
// (r mod 10000) * 0.0002 - 1 of those.
TEST(NoiseTable, TakesEntriesFromTheGeneratorAndCycles) {
  engine::seedRandom(1);
  engine::NoiseTable noise(3);
  for (int round = 0; round < 3; ++round) {
    EXPECT_FLOAT_EQ(noise.next(), -0.9918f);
    EXPECT_FLOAT_EQ(noise.next(), 0.6934f);
    EXPECT_FLOAT_EQ(noise.next(), 0.2668f);
  }
}

TEST(NoiseTable, DoesNotReseedTheGenerator) {
  engine::seedRandom(1);
  engine::nextRandom();
  engine::NoiseTable noise(1);
  EXPECT_FLOAT_EQ(noise.next(), 0.6934f);  // the second value of seed 1
  EXPECT_EQ(engine::nextRandom(), 6334);
}

TEST(NoiseTable, EmptySizeStillHoldsOneEntry) {
  engine::seedRandom(1);
  engine::NoiseTable noise(0);
  EXPECT_EQ(noise.getSize(), 1);
  EXPECT_FLOAT_EQ(noise.next(), -0.9918f);
  EXPECT_FLOAT_EQ(noise.next(), -0.9918f);
}

TEST(NoiseTable, TablesFromOneStateAreDrawnOnceAndLeaveTheGeneratorAlike) {
  // The second table from the same state is the first one again (no drawing),
  // and the generator continues where drawing would have left it.
  engine::seedRandom(7);
  engine::NoiseTable first(5000);
  const int after = engine::nextRandom();
  engine::seedRandom(7);
  engine::NoiseTable second(5000);
  EXPECT_EQ(engine::nextRandom(), after);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(first.next(), second.next()) << i;
}

}  // namespace
