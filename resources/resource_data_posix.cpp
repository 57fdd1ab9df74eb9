#include "resources/embedded_resource.h"
#include "resources/resource_data.h"

// A shared object carries its images compiled in.
std::span<const uint8_t> resourceData(int32_t id) { return embeddedResource(id); }
