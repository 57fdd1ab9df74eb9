#include "resources/embedded_resource.h"

std::span<const uint8_t> embeddedResource(int32_t id) {
  for (size_t i = 0; i < kEmbeddedResourceCount; ++i) {
    const EmbeddedResource& r = kEmbeddedResources[i];
    if (r.id == id) return {r.data, r.size};
  }
  return {};
}
