// A bitmap font rasterised ahead of time: per-glyph placement and 8-bit
// coverage, so text looks the same on every platform and needs no font file.
#pragma once

#include <cstdint>
#include <string_view>

struct Glyph {
  int16_t advance = 0;  // pen advance in pixels
  int16_t left = 0;     // coverage box left of the pen position
  int16_t top = 0;      // coverage box top above the baseline
  uint8_t width = 0;
  uint8_t height = 0;
  uint32_t offset = 0;  // first coverage byte, rows top to bottom
};

struct GlyphFont {
  int32_t ascent = 0;   // baseline below the line top
  int32_t descent = 0;  // line bottom below the baseline
  unsigned char first = 32;
  unsigned char last = 126;
  const Glyph* glyphs = nullptr;
  const uint8_t* coverage = nullptr;

  int32_t lineHeight() const { return ascent + descent; }
  // Characters outside the table are drawn as '?'.
  const Glyph& glyph(char c) const {
    auto u = static_cast<unsigned char>(c);
    if (u < first || u > last) u = '?';
    return glyphs[u - first];
  }
  int32_t textWidth(std::string_view text) const {
    int32_t w = 0;
    for (char c : text) w += glyph(c).advance;
    return w;
  }
};

// Liberation Sans (metrically equal to Arial) at 11 pixels per em.
extern const GlyphFont kSmallGlyphFont;
