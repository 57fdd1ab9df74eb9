// An integer rectangle (left, top, right, bottom); right and bottom are the
// first coordinates past a view's area, as for window rectangles.
#pragma once

#include <algorithm>
#include <cstdint>

#include "toolkit/point.h"

struct CRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr CRect() = default;
  constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b)
      : left(l), top(t), right(r), bottom(b) {}

  constexpr int32_t width() const { return right - left; }
  constexpr int32_t height() const { return bottom - top; }
  constexpr bool isEmpty() const { return right <= left || bottom <= top; }

  constexpr CRect& offset(int32_t dx, int32_t dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
    return *this;
  }
  // True when the point lies in the view's area (right and bottom excluded).
  constexpr bool pointInside(const CPoint& p) const {
    return p.h >= left && p.h < right && p.v >= top && p.v < bottom;
  }
  constexpr CRect intersected(const CRect& o) const {
    return CRect(std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                 std::min(bottom, o.bottom));
  }
  // The smallest rectangle holding both; an empty rectangle adds nothing.
  constexpr CRect united(const CRect& o) const {
    if (isEmpty()) return o;
    if (o.isEmpty()) return *this;
    return CRect(std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                 std::max(bottom, o.bottom));
  }
  constexpr bool operator==(const CRect&) const = default;
};
