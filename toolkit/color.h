// An 8-bit-per-channel colour and its packing into a 32-bit canvas pixel.
#pragma once

#include <cstdint>

struct CColor {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  uint8_t unused = 0;

  constexpr bool operator==(const CColor& o) const {
    return red == o.red && green == o.green && blue == o.blue;
  }

  // Canvas pixels are 0x00RRGGBB.
  constexpr uint32_t toPixel() const {
    return (uint32_t{red} << 16) | (uint32_t{green} << 8) | uint32_t{blue};
  }
  static constexpr CColor fromPixel(uint32_t p) {
    return CColor{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), 0};
  }
};

inline constexpr CColor kWhiteCColor{255, 255, 255, 0};
inline constexpr CColor kBlackCColor{0, 0, 0, 0};
