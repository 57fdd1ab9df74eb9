#include "engine/random.h"

#include <cstdint>

namespace engine {
namespace {

thread_local std::uint32_t randomState = 0;

}  // namespace

void seedRandom(int seed) { randomState = static_cast<std::uint32_t>(seed); }

int nextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

}  // namespace engine
