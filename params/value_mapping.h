// The value a parameter keeps for a value it is given, and the counts and
// gains derived from it that the value texts show. The instrument and every
// editor (also one without the instrument, behind a plug-in format's UI) use
// these, so that they agree to the bit.
#pragma once

#include <cstdint>

#include "params/parameter_table.h"

namespace params {

constexpr int32_t kMaxPolyphony = 8;

// The value kept for v: body types are stored as the centre of their twelfth
// of the range (values outside 0..1 and non-numbers fall on the first or last
// bin); every other parameter keeps v.
float storedValue(int32_t index, float v);

// Truncates 'scaled' toward zero into [lo, hi]; non-numbers give lo.
int32_t countIn(float scaled, int32_t lo, int32_t hi);

// Voices in use for a Polyphony value: 1 to 8.
int32_t voiceCountFor(float polyphony);

// The output gain for a Volume value: the fourth power of the value, limited
// as the engine limits gains.
float masterGainFor(float volume);

// What the value texts read besides a value, from the stored values of
// Polyphony and Volume.
DisplayContext displayContextFor(float polyphony, float volume);

}  // namespace params
