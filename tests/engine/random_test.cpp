#include "engine/random.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

std::vector<int> draw(int seed, int count) {
  engine::seedRandom(seed);
  std::vector<int> values;
  for (int i = 0; i < count; ++i) values.push_back(engine::nextRandom());
  return values;
}

TEST(Random, SeedOneStartsWithKnownSequence) {
  EXPECT_EQ(draw(1, 3), (std::vector<int>{41, 18467, 6334}));
}

TEST(Random, SameSeedReproducesAndValuesStayInRange) {
  const std::vector<int> first = draw(12345, 5000);
  EXPECT_EQ(first, draw(12345, 5000));
  EXPECT_NE(first, draw(12346, 5000));
  for (int value : first) {
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 32767);
  }
}

TEST(Random, EachThreadHasItsOwnState) {
  engine::seedRandom(1);
  EXPECT_EQ(engine::nextRandom(), 41);
  std::thread other([] {
    engine::seedRandom(99);
    for (int i = 0; i < 10; ++i) engine::nextRandom();
  });
  other.join();
  EXPECT_EQ(engine::nextRandom(), 18467);
  EXPECT_EQ(engine::nextRandom(), 6334);
}

}  // namespace
