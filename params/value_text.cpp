#include "params/value_text.h"

#include <cstdio>

namespace params {

void writeFloat(float value, char* text) { std::snprintf(text, 9, "%f", value); }
void writeInteger(int32_t value, char* text) { std::snprintf(text, 9, "%7d", value); }
void writeDecibels(float gain, char* text) { std::snprintf(text, 9, "%f", gain); }

}  // namespace params
