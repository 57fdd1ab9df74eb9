#include "engine/noise_table.h"

#include <algorithm>

#include "engine/random.h"

namespace engine {

NoiseTable::NoiseTable(int entries) : size(std::max(entries, 1)), table(size) {
  for (float& value : table) value = static_cast<float>((nextRandom() % 10000) * 0.0002 - 1.0);
}

}  // namespace engine
