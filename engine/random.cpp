#include "engine/random.h"

#include <cstdint>

namespace engine {
namespace {

thread_local std::uint32_t threadState = 0;

}  // namespace

void seedRandom(int seed) { threadState = static_cast<std::uint32_t>(seed); }

std::uint32_t randomState() { return threadState; }
void setRandomState(std::uint32_t state) { threadState = state; }

int nextRandom() {
  threadState = threadState * 214013u + 2531011u;
  return static_cast<int>((threadState >> 16) & 0x7FFFu);
}

}  // namespace engine
