// Fixed-width number texts used by the parameter readouts.
#pragma once

#include <cstdint>

namespace params {

// Eight-character decimal text: the integer digits, a point, then as many
// fraction digits as fit in eight characters, truncated rather than rounded
// (-24.0824 reads "-24.0823"). Values whose integer digits do not fit (and NaN)
// give an empty text.
void writeFloat(float value, char* text);

// Right-aligned seven-character integer, or "Huge!" from 100000000 on.
void writeInteger(int32_t value, char* text);

// Decibels of a linear gain as float text; "-oo" for a gain of 0 or less.
void writeDecibels(float gain, char* text);

// Truncates toward zero like a cast, but saturates at the int32 range and
// gives 0 for NaN instead of leaving the result undefined.
int32_t truncateToInt(double value);

}  // namespace params
