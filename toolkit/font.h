// Font identifiers of the toolkit. Every text the editor draws uses the small
// font, "Arial" at an 11 pixel character height, normal weight.
#pragma once

#include "toolkit/glyph_font.h"

enum CFont : int32_t {
  kNormalFont = 0,
  kNormalFontSmall = 1,
};

// The rasterised glyphs of a font identifier.
inline const GlyphFont& glyphFontOf(CFont) { return kSmallGlyphFont; }
