// The fixed-width number texts behind the readouts.
#include "params/value_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

using params::truncateToInt;
using params::writeDecibels;
using params::writeFloat;
using params::writeInteger;

namespace {

std::string floatText(float value) {
  char text[32];
  std::memset(text, 'x', sizeof(text));
  writeFloat(value, text);
  return text;
}

std::string integerText(int32_t value) {
  char text[32] = {};
  writeInteger(value, text);
  return text;
}

std::string decibelText(float gain) {
  char text[32] = {};
  writeDecibels(gain, text);
  return text;
}

}  // namespace

TEST(FloatText, FillsEightCharactersWithTruncatedDigits) {
  EXPECT_EQ(floatText(0.0f), "0.000000");
  EXPECT_EQ(floatText(12.5f), "12.50000");
  // 0.7f is 0.699999988: the digits are cut, not rounded up.
  EXPECT_EQ(floatText(0.7f), "0.699999");
  EXPECT_EQ(floatText(-0.7f), "-0.69999");
  EXPECT_EQ(floatText(-24.0823994f), "-24.0823");
  EXPECT_EQ(floatText(-80.0f), "-80.0000");
}

TEST(FloatText, LongIntegerPartsLeaveNoRoomForFractionDigits) {
  EXPECT_EQ(floatText(1234567.0f), "1234567.");
  EXPECT_EQ(floatText(9999999.0f), "9999999.");
  EXPECT_EQ(floatText(-123456.0f), "-123456.");
  EXPECT_EQ(floatText(123456.75f), "123456.7");
}

TEST(FloatText, ValuesThatDoNotFitGiveAnEmptyText) {
  // Dropping leading digits would show a wrong number, so nothing is shown.
  EXPECT_EQ(floatText(12345678.0f), "");
  EXPECT_EQ(floatText(-1234567.0f), "");
  EXPECT_EQ(floatText(1e30f), "");
  EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "");
  EXPECT_EQ(floatText(std::numeric_limits<float>::quiet_NaN()), "");
}

TEST(IntegerText, RightAlignedInSevenCharacters) {
  EXPECT_EQ(integerText(1), "      1");
  EXPECT_EQ(integerText(30), "     30");
  EXPECT_EQ(integerText(-5), "     -5");
  EXPECT_EQ(integerText(99999999), "99999999");
  EXPECT_EQ(integerText(100000000), "Huge!");
  EXPECT_EQ(integerText(std::numeric_limits<int32_t>::max()), "Huge!");
  // Cut to eight characters.
  EXPECT_EQ(integerText(-123456789), "-1234567");
}

TEST(DecibelText, TwentyLog10OfTheGainInSinglePrecision) {
  EXPECT_EQ(decibelText(1.0f), "0.000000");
  EXPECT_EQ(decibelText(0.0625f), "-24.0823");
  const float tenth = 0.1f;
  EXPECT_EQ(decibelText(tenth * tenth * tenth * tenth), "-80.0000");
  EXPECT_EQ(decibelText(10.0f), "20.00000");
}

TEST(DecibelText, SilenceIsMinusInfinity) {
  EXPECT_EQ(decibelText(0.0f), "-oo");
  EXPECT_EQ(decibelText(-0.5f), "-oo");
  EXPECT_EQ(decibelText(std::numeric_limits<float>::quiet_NaN()), "");
}

TEST(TruncateToInt, CutsTowardZeroAndSaturates) {
  EXPECT_EQ(truncateToInt(29.99), 29);
  EXPECT_EQ(truncateToInt(-2.7), -2);
  EXPECT_EQ(truncateToInt(1e20), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(truncateToInt(-1e20), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(truncateToInt(std::nan("")), 0);
}
