// Key events as the views receive them: character, virtual key code and
// modifier bits, with the codes the editor's hosts use.
#pragma once

#include <cstdint>

struct KeyStroke {
  int32_t character;
  unsigned char virt;
  unsigned char modifier;
};

namespace vkey {
inline constexpr unsigned char kBack = 1;
inline constexpr unsigned char kTab = 2;
inline constexpr unsigned char kReturn = 4;
inline constexpr unsigned char kEscape = 6;
inline constexpr unsigned char kSpace = 7;
inline constexpr unsigned char kLeft = 11;
inline constexpr unsigned char kUp = 12;
inline constexpr unsigned char kRight = 13;
inline constexpr unsigned char kDown = 14;

inline constexpr unsigned char kModifierShift = 1;
inline constexpr unsigned char kModifierAlternate = 2;
inline constexpr unsigned char kModifierCommand = 4;
inline constexpr unsigned char kModifierControl = 8;
}  // namespace vkey
