#include "params/value_text.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace params {

namespace {

constexpr int kFloatWidth = 8;

}  // namespace

void writeFloat(float value, char* text) {
  text[0] = '\0';
  const bool negative = value < 0.0f;
  const double magnitude = std::fabs(static_cast<double>(value));
  // The sign and the point take one character each, so seven integer digits
  // fit for a positive value and six for a negative one.
  const double integerLimit = negative ? 1e6 : 1e7;
  if (!(std::floor(magnitude) < integerLimit)) return;

  char digits[kFloatWidth + 1];
  int count = negative ? 3 : 2;
  int64_t integerPart = static_cast<int64_t>(std::floor(magnitude));
  int length = 0;
  // Integer digits come out from the right.
  digits[length++] = static_cast<char>('0' + integerPart % 10);
  while (integerPart / 10 >= 1 && count < kFloatWidth) {
    integerPart /= 10;
    digits[length++] = static_cast<char>('0' + integerPart % 10);
    ++count;
  }
  int pos = 0;
  if (negative) text[pos++] = '-';
  while (length > 0) text[pos++] = digits[--length];
  text[pos++] = '.';

  const int fractionDigits = kFloatWidth - count;
  double r = std::fmod(magnitude, 1.0) * std::pow(10.0, fractionDigits);
  for (int i = fractionDigits - 1; i >= 0; --i) {
    if (r > 0.0) {
      text[pos + i] = static_cast<char>('0' + static_cast<int>(std::fmod(r, 10.0)));
      r /= 10.0;
    } else {
      text[pos + i] = '0';
    }
  }
  pos += fractionDigits > 0 ? fractionDigits : 0;
  text[pos] = '\0';
}

void writeInteger(int32_t value, char* text) {
  if (value >= 100000000) {
    std::strcpy(text, "Huge!");
    return;
  }
  // Formatted in full, then cut to the eight characters of the field.
  char full[16];
  std::snprintf(full, sizeof(full), "%7d", static_cast<int>(value));
  full[kFloatWidth] = '\0';
  std::strcpy(text, full);
}

void writeDecibels(float gain, char* text) {
  if (gain <= 0.0f) {
    std::strcpy(text, "-oo");
    return;
  }
  writeFloat(static_cast<float>(20.0 * std::log10(static_cast<double>(gain))), text);
}

int32_t truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  constexpr double lowest = std::numeric_limits<int32_t>::min();
  constexpr double highest = std::numeric_limits<int32_t>::max();
  if (value <= lowest) return std::numeric_limits<int32_t>::min();
  if (value >= highest) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

}  // namespace params
