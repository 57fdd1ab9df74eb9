// Fixed-width number texts used by the parameter readouts.
#pragma once

#include <cstdint>

namespace params {

// Eight-character decimal text with truncated (not rounded) digits; values too
// large to fit write nothing.
void writeFloat(float value, char* text);

// Right-aligned seven-character integer, or "Huge!" from 100000000 on.
void writeInteger(int32_t value, char* text);

// Decibels of a linear gain as float text; "-oo" for a gain of 0 or less.
void writeDecibels(float gain, char* text);

}  // namespace params
