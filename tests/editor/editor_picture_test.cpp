// Pins the editor's picture: the headless drawing of two programs, hashed
// pixel by pixel. The Linux and the Windows builds check the same hashes, so
// both platforms draw exactly the same pixels. When the artwork or a view's
// drawing changes on purpose, run with QS_PRINT_HASHES=1 and update the table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "screenshot/editor_snapshot.h"

namespace {

uint64_t pictureHash(int program) {
  auto plugin = screenshot::createLinkedInstance();
  EXPECT_TRUE(plugin);
  if (!plugin) return 0;
  plugin->dispatch(vst::effSetProgram, 0, program);
  const screenshot::EditorImage image = screenshot::renderEditor(*plugin);
  EXPECT_EQ(image.width, 851);
  EXPECT_EQ(image.height, 311);
  uint64_t hash = 1469598103934665603ull;  // FNV-1a over the 24-bit colours
  for (uint32_t p : image.pixels)
    for (int b = 0; b < 3; ++b) hash = (hash ^ ((p >> (8 * b)) & 0xFF)) * 1099511628211ull;
  return hash;
}

struct Expected {
  int program;
  uint64_t hash;
};
constexpr Expected kExpected[] = {
    {0, 0x86ec08d115c24086ull},
    {7, 0x979b8935ac9d6752ull},
};

}  // namespace

TEST(EditorPicture, BothPlatformsDrawTheSamePixels) {
  const bool print = std::getenv("QS_PRINT_HASHES") != nullptr;
  for (const Expected& e : kExpected) {
    const uint64_t hash = pictureHash(e.program);
    if (print)
      std::printf("    {%d, 0x%016llxull},\n", e.program, static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, e.hash) << "program " << e.program;
  }
}
