#include "engine/body_types.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/random.h"

namespace {

using engine::bodyTypeTable;
using engine::kBodyTableLength;

std::vector<double> table(int index) {
  const double* values = bodyTypeTable(index);
  return std::vector<double>(values, values + kBodyTableLength);
}

TEST(BodyTypes, NoneAlternatesTinyValues) {
  const std::vector<double> none = table(0);
  for (int i = 0; i < kBodyTableLength; ++i) EXPECT_EQ(none[i], i % 2 == 0 ? 1e-13 : -1e-13) << i;
}

TEST(BodyTypes, TablesHoldTheirCoefficientsInOrder) {
  EXPECT_EQ(table(1)[0], -0.9286906521);
  EXPECT_EQ(table(1)[29], -0.1122387573);
  EXPECT_EQ(table(2)[29], 0.0);
  EXPECT_EQ(table(3)[1], 0.9012745651);
  EXPECT_EQ(table(4)[15], -0.209801525);
  EXPECT_EQ(table(5)[12], 0.3127644416);
  EXPECT_EQ(table(6)[27], -0.2100014799);
  EXPECT_EQ(table(7)[22], -0.262575655);
  EXPECT_EQ(table(8)[0], -0.9424);
  EXPECT_EQ(table(8)[29], 0.0309);
}

TEST(BodyTypes, TableShapesAreResonantBodies) {
  int largeLateValues = 0;
  for (int k = 1; k <= 8; ++k) {
    const std::vector<double> values = table(k);
    int largest = 0;
    for (int i = 0; i < kBodyTableLength; ++i) {
      EXPECT_LT(std::fabs(values[i]), 1.0) << k << " " << i;
      if (std::fabs(values[i]) > std::fabs(values[largest])) largest = i;
      if (i >= 8 && std::fabs(values[i]) >= 0.3) ++largeLateValues;
    }
    EXPECT_LE(largest, 1) << k;
    EXPECT_GE(std::fabs(values[largest]), 0.63) << k;
    EXPECT_LE(std::fabs(values[largest]), 0.99) << k;
  }
  EXPECT_EQ(largeLateValues, 2);
}

TEST(BodyTypes, OutOfRangeIndicesAreClamped) {
  EXPECT_EQ(bodyTypeTable(-3), bodyTypeTable(0));
  EXPECT_EQ(bodyTypeTable(12), bodyTypeTable(8));
}

TEST(RandomCoefficients, SeededProductsOfUniformPairs) {
  std::vector<double> values(30);
  engine::generateRandomCoefficients(values.data(), 1, 30);
  // Seed 1 draws 41 then 18467: a = -0.9918, b = 0.6934.
  EXPECT_NEAR(values[0], 0.6934 * -0.9918 * 0.949999988079071, 1e-12);
  for (double value : values) {
    EXPECT_GT(value, -0.95);
    EXPECT_LE(value, 0.95);
  }
  std::vector<double> again(30);
  engine::generateRandomCoefficients(again.data(), 1, 30);
  EXPECT_EQ(values, again);
  engine::generateRandomCoefficients(again.data(), 2, 30);
  EXPECT_NE(values, again);
}

TEST(BodyTypeSelection, FixedTypesUseTheirTables) {
  double scratch[kBodyTableLength] = {};
  for (int k = 0; k <= 8; ++k) {
    EXPECT_EQ(engine::bodyTypeCoefficients(k, scratch, 100, 60), bodyTypeTable(k));
  }
  EXPECT_EQ(engine::bodyTypeCoefficients(-1, scratch, 100, 60), bodyTypeTable(0));
}

TEST(BodyTypeSelection, RandomPicksAFixedTableWithOneDraw) {
  double scratch[kBodyTableLength] = {};
  for (int seed = 0; seed < 20; ++seed) {
    engine::seedRandom(seed);
    const int draw = engine::nextRandom();
    const int following = engine::nextRandom();
    engine::seedRandom(seed);
    EXPECT_EQ(engine::bodyTypeCoefficients(engine::kBodyRandom, scratch, 100, 60),
              bodyTypeTable(draw % 9));
    EXPECT_EQ(engine::nextRandom(), following);
  }
}

TEST(BodyTypeSelection, TimeAndNoteRandomBodiesUseTheirSeeds) {
  std::vector<double> first(kBodyTableLength);
  std::vector<double> second(kBodyTableLength);
  std::vector<double> expected(kBodyTableLength);

  // "t-Random": seeded by time, so two strikes differ unless on the same sample.
  const double* result = engine::bodyTypeCoefficients(10, first.data(), 5000, 60);
  EXPECT_EQ(result, first.data());
  engine::generateRandomCoefficients(expected.data(), 5000, kBodyTableLength);
  EXPECT_EQ(first, expected);
  engine::bodyTypeCoefficients(10, second.data(), 5001, 60);
  EXPECT_NE(first, second);

  // "n-Random" (11, and 12 at the top of the range): fixed per note.
  engine::generateRandomCoefficients(expected.data(), 60, kBodyTableLength);
  for (int index : {11, 12}) {
    engine::bodyTypeCoefficients(index, first.data(), 5000, 60);
    engine::bodyTypeCoefficients(index, second.data(), 9999, 60);
    EXPECT_EQ(first, expected) << index;
    EXPECT_EQ(second, expected) << index;
  }
}

}  // namespace
