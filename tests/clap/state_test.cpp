// The bank and the current program through the CLAP state extension, read
// back in any chunking; a corrupt state is refused with the current one kept;
// the factory programs load by key.
#include "clap_fixture.h"
#include "params/parameter_table.h"

using namespace clap_support;

namespace {

constexpr uint32_t kBlock = 64;

std::vector<float> play(claphost::Instance& plugin) {
  std::vector<float> left;
  claphost::EventList events;
  for (int block = 0; block < 40; ++block) {
    events.clear();
    if (block == 0) events.midi(3, 0x90, 57, 110);
    plugin.process(kBlock, &events);
    left.insert(left.end(), plugin.left.begin(), plugin.left.end());
  }
  return left;
}

}  // namespace

TEST(ClapState, ASavedStateReopensWithItsEditedBank) {
  auto before = newClapInstance(44100.0, kBlock);
  ASSERT_TRUE(before);
  ASSERT_TRUE(loadFactory(*before, 5));
  claphost::EventList edits;
  edits.param(0, params::kBright, 0.91);
  edits.param(0, params::kVolume, 0.62);
  // Pans are drawn from the thread's generator, which both instances share.
  edits.param(0, params::kRandomPan, 0.0);
  before->process(kBlock, &edits);
  const std::vector<uint8_t> saved = before->save();
  ASSERT_FALSE(saved.empty());

  auto after = newClapInstance(44100.0, kBlock);
  ASSERT_TRUE(after);
  EXPECT_NE(after->save(), saved);
  ASSERT_TRUE(after->load(saved, 7));  // a host that hands out a few bytes at a time
  EXPECT_GE(after->rescans, 1);
  EXPECT_EQ(after->save(), saved);
  EXPECT_EQ(after->value(params::kBright), before->value(params::kBright));
  EXPECT_EQ(play(*after), play(*before));
}

TEST(ClapState, CorruptStateIsRefusedAndTheBankKept) {
  auto plugin = newClapInstance(44100.0, kBlock);
  ASSERT_TRUE(plugin);
  claphost::EventList edit;
  edit.param(0, params::kBright, 0.25);
  plugin->process(kBlock, &edit);
  const std::vector<uint8_t> kept = plugin->save();
  ASSERT_FALSE(kept.empty());

  std::vector<std::vector<uint8_t>> bad;
  bad.push_back({});
  bad.push_back(std::vector<uint8_t>(kept.begin(), kept.end() - 1));
  bad.push_back(kept);
  bad.back().push_back(0);
  bad.push_back(kept);
  bad.back()[0] ^= 0xFF;  // not our magic
  bad.push_back(kept);
  bad.back()[8] = 40;  // program 40 of 32
  for (const auto& state : bad) EXPECT_FALSE(plugin->load(state)) << state.size();
  EXPECT_EQ(plugin->save(), kept);
  EXPECT_EQ(plugin->value(params::kBright), double(0.25f));

  const auto* ext = plugin->extension<clap::PluginState>(clap::kExtState);
  EXPECT_FALSE(ext->load(plugin->plugin(), nullptr));
  EXPECT_FALSE(ext->save(plugin->plugin(), nullptr));
  clap::InputStream failing{nullptr,
                            [](const clap::InputStream*, void*, uint64_t) { return int64_t(-1); }};
  EXPECT_FALSE(ext->load(plugin->plugin(), &failing));
}

TEST(ClapState, FactoryProgramsLoadByKeyOverEdits) {
  auto plugin = newClapInstance();
  auto fresh = newClapInstance();
  ASSERT_TRUE(plugin && fresh);
  ASSERT_TRUE(loadFactory(*plugin, 3));
  ASSERT_TRUE(loadFactory(*fresh, 3));
  claphost::EventList edit;
  edit.param(0, params::kWarp, 0.123);
  plugin->process(kBlock, &edit);
  ASSERT_TRUE(loadFactory(*plugin, 3));
  EXPECT_EQ(plugin->save(), fresh->save());
  for (uint32_t i = 0; i < 38; ++i) EXPECT_EQ(plugin->value(i), fresh->value(i)) << i;
  // The host hears of the values the program brought, after the next block.
  plugin->process(kBlock);
  EXPECT_EQ(plugin->sent.size(), 38u);

  const auto* presets = plugin->extension<clap::PluginPresetLoad>(clap::kExtPresetLoad);
  for (const char* key : {"8", "-1", "", "3x", "99999999999"})
    EXPECT_FALSE(presets->fromLocation(plugin->plugin(), clap::kPresetLocationPlugin, nullptr, key))
        << key;
  EXPECT_FALSE(
      presets->fromLocation(plugin->plugin(), clap::kPresetLocationPlugin, nullptr, nullptr));
  EXPECT_FALSE(presets->fromLocation(plugin->plugin(), clap::kPresetLocationFile, "/x", "1"));
  EXPECT_EQ(plugin->extension<void>(clap::kExtPresetLoadCompat), presets);
}
