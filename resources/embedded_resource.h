// One bitmap compiled into the library (a bitmap file's bytes).
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedResource {
  int32_t id;
  const uint8_t* data;
  size_t size;
};

// Generated at build time from the bitmap files in resources/.
extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;
