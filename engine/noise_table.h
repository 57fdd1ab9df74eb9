// A cyclic table of white noise in [-1, 0.9998], drawn once from the engine's
// generator, that a voice reads to roughen the leakage between its strings.
#pragma once

#include <vector>

namespace engine {

class NoiseTable {
 public:
  // Fills `size` entries (at least 1) from the generator's current sequence.
  explicit NoiseTable(int entries);

  // Returns the next entry, restarting at entry 0 after the last one.
  float next() {
    const float value = table[position];
    if (++position >= size) position = 0;
    return value;
  }

  int getSize() const { return size; }

 private:
  int size = 1;
  std::vector<float> table;
  int position = 0;
};

}  // namespace engine
