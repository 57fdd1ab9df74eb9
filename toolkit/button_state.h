// Mouse buttons and modifier keys as one bit set, and the pointer as the
// window system reports it.
#pragma once

#include <cstdint>

#include "toolkit/point.h"

enum CButton : int32_t {
  kLButton = 1 << 0,
  kMButton = 1 << 1,
  kRButton = 1 << 2,
  kShift = 1 << 3,
  kControl = 1 << 4,
  kAlt = 1 << 5,
};

inline constexpr int32_t kAllButtonsAndModifiers =
    kLButton | kMButton | kRButton | kShift | kControl | kAlt;

struct PointerState {
  CPoint where;         // frame coordinates
  int32_t buttons = 0;  // CButton bits
};
