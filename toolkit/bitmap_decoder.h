// Decodes a device-independent bitmap (with or without its 14-byte file
// header): 8 bits per pixel, plain or run-length coded, or 24 bits per pixel.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Fills width, height and 0x00RRGGBB pixels (top row first); false, with
// nothing set, when the data is not a bitmap of a supported kind.
bool decodeDib(std::span<const uint8_t> bytes, int32_t& width, int32_t& height,
               std::vector<uint32_t>& pixels);
