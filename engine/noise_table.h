// A cyclic table of white noise in [-1, 0.9998], drawn once from the engine's
// generator, that a voice reads to roughen the leakage between its strings.
#pragma once

#include <memory>
#include <vector>

namespace engine {

namespace lanes {
struct NoiseLanes;
}

class NoiseTable {
 public:
  // Takes `size` entries (at least 1) from the generator's current sequence
  // and leaves the generator where drawing them would. The entries depend only
  // on the generator's state, so tables are drawn once per process and shared.
  explicit NoiseTable(int entries);

  // Returns the next entry, restarting at entry 0 after the last one.
  float next() {
    const float value = values[position];
    if (++position >= size) position = 0;
    return value;
  }

  int getSize() const { return size; }

 private:
  friend struct lanes::NoiseLanes;

  int size = 1;
  std::shared_ptr<const std::vector<float>> table;
  const float* values = nullptr;
  int position = 0;
};

}  // namespace engine
