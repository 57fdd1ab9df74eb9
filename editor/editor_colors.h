// The editor's colours.
#pragma once

#include "toolkit/color.h"

inline constexpr CColor panelGrey{128, 128, 128, 0};
inline constexpr CColor rimGrey{192, 192, 192, 0};
inline constexpr CColor panelBlue{75, 183, 228, 0};
inline constexpr CColor inkBlue{22, 112, 150, 0};
inline constexpr CColor gold{228, 189, 31, 0};
