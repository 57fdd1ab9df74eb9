#include "clap/preset_discovery.h"

#include <cstring>
#include <new>
#include <string>

#include "clap/clap_plugin.h"
#include "params/program_bank.h"

namespace clap_format {

namespace {

constexpr char kProviderId[] = "org.quillstave.factory-programs";
constexpr int32_t kFactoryPrograms = 8;

const clap::PresetProviderDescriptor kDescriptor = {
    clap::kVersion, kProviderId, "Quillstave factory programs", "quillstave.org"};

struct Provider {
  clap::PresetProvider record{};
  const clap::PresetIndexer* indexer = nullptr;
};

const clap::PresetIndexer* indexerOf(const clap::PresetProvider* p) {
  return static_cast<const Provider*>(p->providerData)->indexer;
}

bool init(const clap::PresetProvider* p) {
  const clap::PresetIndexer* indexer = indexerOf(p);
  if (!indexer || !indexer->declareLocation) return false;
  const clap::PresetLocation location = {clap::kPresetIsFactoryContent, "Factory programs",
                                         clap::kPresetLocationPlugin, nullptr};
  return indexer->declareLocation(indexer, &location);
}

void destroy(const clap::PresetProvider* p) { delete static_cast<Provider*>(p->providerData); }

// The names are the factory's, whatever a user's bank made of the programs.
bool getMetadata(const clap::PresetProvider*, uint32_t kind, const char* location,
                 const clap::PresetMetadataReceiver* receiver) {
  if (kind != clap::kPresetLocationPlugin || location || !receiver || !receiver->beginPreset)
    return false;
  params::ProgramBank factory;
  params::writeFactoryPresets(factory);
  const clap::UniversalPluginId plugin = {"clap", kPluginId};
  for (int32_t k = 0; k < kFactoryPrograms; ++k) {
    const std::string key = std::to_string(k);
    if (!receiver->beginPreset(receiver, factory.programs[k].name, key.c_str())) break;
    if (receiver->addPluginId) receiver->addPluginId(receiver, &plugin);
    if (receiver->setFlags) receiver->setFlags(receiver, clap::kPresetIsFactoryContent);
    if (receiver->addFeature) receiver->addFeature(receiver, "instrument");
  }
  return true;
}

const void* getExtension(const clap::PresetProvider*, const char*) { return nullptr; }

uint32_t count(const clap::PresetDiscoveryFactory*) { return 1; }

const clap::PresetProviderDescriptor* descriptor(const clap::PresetDiscoveryFactory*,
                                                 uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

const clap::PresetProvider* create(const clap::PresetDiscoveryFactory*,
                                   const clap::PresetIndexer* indexer, const char* id) {
  if (!indexer || !id || std::strcmp(id, kProviderId) != 0) return nullptr;
  auto* provider = new (std::nothrow) Provider;
  if (!provider) return nullptr;
  provider->indexer = indexer;
  provider->record = {&kDescriptor, provider, init, destroy, getMetadata, getExtension};
  return &provider->record;
}

const clap::PresetDiscoveryFactory kFactory = {count, descriptor, create};

}  // namespace

const clap::PresetDiscoveryFactory* presetDiscoveryFactory() { return &kFactory; }

}  // namespace clap_format
