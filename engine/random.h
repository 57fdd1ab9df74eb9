// The engine's pseudo-random generator: a 32-bit linear congruential sequence
// with one state per thread, so that a seed always reproduces the same sound.
#pragma once

#include <cstdint>

namespace engine {

// Restarts the calling thread's sequence; the seed is taken modulo 2^32.
void seedRandom(int seed);

// The calling thread's state, and a state to continue from (as seedRandom).
std::uint32_t randomState();
void setRandomState(std::uint32_t state);

// Advances the sequence and returns its next value, 0 … 32767.
int nextRandom();

}  // namespace engine
