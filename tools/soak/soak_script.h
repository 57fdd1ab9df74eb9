// The soak run's random performance: per block, the MIDI events (notes,
// controllers, pitch bend), the program changes and the parameter moves a
// player and an automation lane would make, drawn from a seeded sequence.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace soak {

struct BlockActions {
  struct Midi {
    int32_t delta;
    uint8_t status, data1, data2;
  };
  std::vector<Midi> midi;                             // at most kMaxEvents
  int32_t program = -1;                               // -1: no change
  std::vector<std::pair<int32_t, float>> parameters;  // index, value 0..1
};

class Script {
 public:
  static constexpr int kMaxEvents = 16;
  explicit Script(uint32_t seed) : random(seed) {}
  // Restarts the sequence: every tenth of the run plays the same script, so
  // that their costs compare like for like.
  void restart(uint32_t seed) { random.seed(seed); }
  // Fills the actions of one block of `frames` frames (reuses the vectors' room).
  void next(int32_t frames, BlockActions& actions);

 private:
  int32_t draw(int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(random);
  }
  std::mt19937 random;
  uint8_t held[8] = {};
  int heldCount = 0;
};

}  // namespace soak
