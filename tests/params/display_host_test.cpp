// Readouts computed from the engine's derived settings: " Volume " shows the
// master gain (the fourth power of the value) in decibels, "Polyphony" the
// voice count floor(7 v) + 1.
#include "plugin_fixture.h"

using namespace testing_support;

namespace {

constexpr int32_t kVolume = 35;
constexpr int32_t kPolyphony = 36;

std::string display(plughost::PluginInstance& plugin, int32_t index, float value) {
  plugin.setParameter(index, value);
  return plugin.parameterDisplay(index);
}

}  // namespace

TEST(DerivedDisplay, VolumeInDecibels) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  EXPECT_EQ(display(*plugin, kVolume, 0.0f), "-oo");
  EXPECT_EQ(display(*plugin, kVolume, 1.0f), "0.000000");
  // Gain 0.0625 is -24.0824 dB, shown truncated.
  EXPECT_EQ(display(*plugin, kVolume, 0.5f), "-24.0823");
  EXPECT_EQ(display(*plugin, kVolume, 0.1f), "-80.0000");
}

TEST(DerivedDisplay, PolyphonyInVoices) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  EXPECT_EQ(display(*plugin, kPolyphony, 0.0f), "      1");
  EXPECT_EQ(display(*plugin, kPolyphony, 0.5f), "      4");
  EXPECT_EQ(display(*plugin, kPolyphony, 0.99f), "      7");
  EXPECT_EQ(display(*plugin, kPolyphony, 1.0f), "      8");
}

TEST(DerivedDisplay, ProgramChangesUpdateTheReadouts) {
  auto plugin = newInstance();
  ASSERT_TRUE(plugin);
  // "pneumatic koto": eight voices; program 8 ("Init"): four voices, volume 0.3.
  EXPECT_EQ(plugin->parameterDisplay(kPolyphony), "      8");
  plugin->dispatch(vst::effSetProgram, 0, 8);
  EXPECT_EQ(plugin->parameterDisplay(kPolyphony), "      4");
  EXPECT_EQ(plugin->parameterDisplay(kVolume), "-41.8302");
}
