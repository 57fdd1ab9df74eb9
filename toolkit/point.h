// An integer pixel position; y grows downward.
#pragma once

#include <cstdint>

struct CPoint {
  int32_t h = 0;
  int32_t v = 0;

  constexpr CPoint() = default;
  constexpr CPoint(int32_t x, int32_t y) : h(x), v(y) {}

  constexpr CPoint& offset(int32_t dx, int32_t dy) {
    h += dx;
    v += dy;
    return *this;
  }
  constexpr bool operator==(const CPoint&) const = default;
};
