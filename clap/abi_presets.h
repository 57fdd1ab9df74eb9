// The CLAP preset discovery factory, through which hosts list the presets a
// plug-in holds, declared by the project from the format's published C
// definitions.
#pragma once

#include <cstdint>

#include "clap/abi_ext.h"

namespace clap {

constexpr char kPresetDiscoveryFactoryId[] = "clap.preset-discovery-factory/2";
constexpr char kPresetDiscoveryFactoryIdCompat[] = "clap.preset-discovery-factory/draft-2";
constexpr uint32_t kPresetIsFactoryContent = 1u << 0;

// Which format and plug-in a preset is for.
struct UniversalPluginId {
  const char* abi;  // "clap"
  const char* id;
};

struct PresetMetadataReceiver {
  void* receiverData;
  void (*onError)(const PresetMetadataReceiver* receiver, int32_t osError, const char* message);
  // False: the provider stops calling.
  bool (*beginPreset)(const PresetMetadataReceiver* receiver, const char* name,
                      const char* loadKey);
  void (*addPluginId)(const PresetMetadataReceiver* receiver, const UniversalPluginId* pluginId);
  void (*setSoundpackId)(const PresetMetadataReceiver* receiver, const char* soundpackId);
  void (*setFlags)(const PresetMetadataReceiver* receiver, uint32_t flags);
  void (*addCreator)(const PresetMetadataReceiver* receiver, const char* creator);
  void (*setDescription)(const PresetMetadataReceiver* receiver, const char* description);
  void (*setTimestamps)(const PresetMetadataReceiver* receiver, uint64_t creation,
                        uint64_t modification);
  void (*addFeature)(const PresetMetadataReceiver* receiver, const char* feature);
  void (*addExtraInfo)(const PresetMetadataReceiver* receiver, const char* key, const char* value);
};

struct PresetFiletype {
  const char* name;
  const char* description;
  const char* fileExtension;
};

struct PresetLocation {
  uint32_t flags;
  const char* name;
  uint32_t kind;         // kPresetLocationFile or kPresetLocationPlugin
  const char* location;  // null for presets inside the plug-in
};

struct PresetSoundpack {
  uint32_t flags;
  const char* id;
  const char* name;
  const char* description;
  const char* homepageUrl;
  const char* vendor;
  const char* imagePath;
  uint64_t releaseTimestamp;
};

struct PresetProviderDescriptor {
  Version clapVersion;
  const char* id;
  const char* name;
  const char* vendor;
};

struct PresetProvider {
  const PresetProviderDescriptor* desc;
  void* providerData;
  bool (*init)(const PresetProvider* provider);
  void (*destroy)(const PresetProvider* provider);
  bool (*getMetadata)(const PresetProvider* provider, uint32_t locationKind, const char* location,
                      const PresetMetadataReceiver* receiver);
  const void* (*getExtension)(const PresetProvider* provider, const char* extensionId);
};

struct PresetIndexer {
  Version clapVersion;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  void* indexerData;
  bool (*declareFiletype)(const PresetIndexer* indexer, const PresetFiletype* filetype);
  bool (*declareLocation)(const PresetIndexer* indexer, const PresetLocation* location);
  bool (*declareSoundpack)(const PresetIndexer* indexer, const PresetSoundpack* soundpack);
  const void* (*getExtension)(const PresetIndexer* indexer, const char* extensionId);
};

struct PresetDiscoveryFactory {
  uint32_t (*count)(const PresetDiscoveryFactory* factory);
  const PresetProviderDescriptor* (*getDescriptor)(const PresetDiscoveryFactory* factory,
                                                   uint32_t index);
  const PresetProvider* (*create)(const PresetDiscoveryFactory* factory,
                                  const PresetIndexer* indexer, const char* providerId);
};

}  // namespace clap
