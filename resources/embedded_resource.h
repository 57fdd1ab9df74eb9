// The bitmap files compiled into the library, by resource number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

struct EmbeddedResource {
  int32_t id;
  const uint8_t* data;
  size_t size;
};

// Generated at build time from the bitmap files in resources/.
extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;

// The bytes of an embedded bitmap file; empty when there is none.
std::span<const uint8_t> embeddedResource(int32_t id);
