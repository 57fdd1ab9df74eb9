// The module's bitmap resources by number, as bitmap data (a bitmap info
// header, the palette and the pixels).
#pragma once

#include <cstdint>
#include <span>

// Resource numbers of the editor's images.
inline constexpr int32_t kBackgroundImage = 1;
inline constexpr int32_t kKnobFaceImage = 2;
inline constexpr int32_t kKnobHandleImage = 3;

// The bytes of a resource; empty when the module has no such resource.
std::span<const uint8_t> resourceData(int32_t id);
