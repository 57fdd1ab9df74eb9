#include "engine/noise_table.h"

#include <algorithm>
#include <cstdint>
#include <mutex>

#include "engine/random.h"

namespace engine {

namespace {

// Tables already drawn in this process, by the generator state they start from.
struct DrawnTable {
  std::uint32_t start = 0;
  std::uint32_t end = 0;
  std::shared_ptr<const std::vector<float>> values;
};

constexpr std::size_t kRememberedTables = 16;

std::mutex& drawnMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<DrawnTable>& drawnTables() {
  static std::vector<DrawnTable> tables;
  return tables;
}

}  // namespace

NoiseTable::NoiseTable(int entries) : size(std::max(entries, 1)) {
  const std::uint32_t start = randomState();
  std::lock_guard<std::mutex> lock(drawnMutex());
  std::vector<DrawnTable>& drawn = drawnTables();
  for (const DrawnTable& t : drawn) {
    if (t.start == start && static_cast<int>(t.values->size()) == size) {
      table = t.values;
      setRandomState(t.end);
      break;
    }
  }
  if (!table) {
    auto fresh = std::make_shared<std::vector<float>>(static_cast<std::size_t>(size));
    for (float& value : *fresh) value = static_cast<float>((nextRandom() % 10000) * 0.0002 - 1.0);
    table = fresh;
    if (drawn.size() < kRememberedTables) drawn.push_back({start, randomState(), table});
  }
  values = table->data();
}

}  // namespace engine
