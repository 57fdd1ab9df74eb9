// The bank and the current program through the CLAP state extension, read
// back in any chunking; a corrupt state is refused with the current one kept;
// the factory programs are listed for the host's browser and load by key.
#include "clap/abi_presets.h"
#include "clap_fixture.h"
#include "params/parameter_table.h"
#include "plugin_fixture.h"

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
  // The host rescans the values the program brought instead of hearing of
  // them as changes to record.
  EXPECT_GE(plugin->rescans, 2);
  plugin->process(kBlock);
  EXPECT_TRUE(plugin->sent.empty());

  const auto* presets = plugin->extension<clap::PluginPresetLoad>(clap::kExtPresetLoad);
  for (const char* key : {"8", "-1", "", "3x", "99999999999"})
    EXPECT_FALSE(presets->fromLocation(plugin->plugin(), clap::kPresetLocationPlugin, nullptr, key))
        << key;
  EXPECT_FALSE(
      presets->fromLocation(plugin->plugin(), clap::kPresetLocationPlugin, nullptr, nullptr));
  EXPECT_FALSE(presets->fromLocation(plugin->plugin(), clap::kPresetLocationFile, "/x", "1"));
  EXPECT_EQ(plugin->extension<void>(clap::kExtPresetLoadCompat), presets);
}

namespace {

struct Listing {
  std::vector<clap::PresetLocation> locations;
  std::vector<std::pair<std::string, std::string>> presets;  // name, key
  std::vector<std::string> pluginIds;
};

}  // namespace

TEST(ClapState, TheFactoryProgramsAreListedForTheHostsBrowser) {
  const auto* factory = static_cast<const clap::PresetDiscoveryFactory*>(
      module().entry().getFactory(clap::kPresetDiscoveryFactoryId));
  ASSERT_NE(factory, nullptr);
  ASSERT_EQ(factory->count(factory), 1u);
  const clap::PresetProviderDescriptor* desc = factory->getDescriptor(factory, 0);
  ASSERT_NE(desc, nullptr);
  EXPECT_EQ(factory->getDescriptor(factory, 1), nullptr);

  Listing listing;
  clap::PresetIndexer indexer{};
  indexer.clapVersion = clap::kVersion;
  indexer.name = "tests";
  indexer.indexerData = &listing;
  indexer.declareLocation = [](const clap::PresetIndexer* i, const clap::PresetLocation* l) {
    static_cast<Listing*>(i->indexerData)->locations.push_back(*l);
    return true;
  };
  EXPECT_EQ(factory->create(factory, &indexer, "no.such.provider"), nullptr);
  const clap::PresetProvider* provider = factory->create(factory, &indexer, desc->id);
  ASSERT_NE(provider, nullptr);
  ASSERT_TRUE(provider->init(provider));
  ASSERT_EQ(listing.locations.size(), 1u);
  EXPECT_EQ(listing.locations[0].kind, clap::kPresetLocationPlugin);
  EXPECT_EQ(listing.locations[0].location, nullptr);

  clap::PresetMetadataReceiver receiver{};
  receiver.receiverData = &listing;
  receiver.beginPreset = [](const clap::PresetMetadataReceiver* r, const char* name,
                            const char* key) {
    static_cast<Listing*>(r->receiverData)->presets.emplace_back(name, key);
    return true;
  };
  receiver.addPluginId = [](const clap::PresetMetadataReceiver* r,
                            const clap::UniversalPluginId* id) {
    static_cast<Listing*>(r->receiverData)
        ->pluginIds.push_back(std::string(id->abi) + ":" + id->id);
  };
  EXPECT_FALSE(provider->getMetadata(provider, clap::kPresetLocationFile, "/tmp", &receiver));
  ASSERT_TRUE(provider->getMetadata(provider, clap::kPresetLocationPlugin, nullptr, &receiver));
  provider->destroy(provider);

  // Each preset is a factory program by the VST 2 build's name, for this plug-in.
  auto vst = testing_support::newInstance();
  auto plugin = newClapInstance();
  ASSERT_TRUE(vst && plugin);
  ASSERT_EQ(listing.presets.size(), 8u);
  const std::string ownId =
      std::string("clap:") + module().factory()->getPluginDescriptor(module().factory(), 0)->id;
  const auto* load = plugin->extension<clap::PluginPresetLoad>(clap::kExtPresetLoad);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(listing.presets[size_t(k)].first, vst->programNameIndexed(k));
    EXPECT_EQ(listing.pluginIds[size_t(k)], ownId);
    EXPECT_TRUE(load->fromLocation(plugin->plugin(), clap::kPresetLocationPlugin, nullptr,
                                   listing.presets[size_t(k)].second.c_str()));
  }
}
