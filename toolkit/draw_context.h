// Drawing on a 32-bit pixel surface: the frame's screen canvas or an offscreen
// image. Coordinates are those of the view being drawn; the context's offset
// maps them onto the surface, and everything is clipped to the surface.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/font.h"
#include "toolkit/point.h"
#include "toolkit/rect.h"

class CBitmap;
class CFrame;

enum CHoriTxtAlign { kLeftText = 0, kCenterText, kRightText };

class CDrawContext {
 public:
  // Draws on surface (not owned); a frame, if given, is told which part of the
  // screen changed and answers pointer queries.
  CDrawContext(CBitmap* surface, CFrame* frame);
  virtual ~CDrawContext() = default;

  CDrawContext(const CDrawContext&) = delete;
  CDrawContext& operator=(const CDrawContext&) = delete;

  void setFillColor(CColor color) { fillColor = color; }
  CColor getFillColor() const { return fillColor; }
  void setFrameColor(CColor color) { frameColor = color; }
  CColor getFrameColor() const { return frameColor; }
  void setFont(CFont id) { font = id; }
  CFont getFont() const { return font; }
  void setFontColor(CColor color) { fontColor = color; }
  CColor getFontColor() const { return fontColor; }

  // Paints the interior: x left + 1 to right − 1, y top + 1 to bottom − 1.
  void fillRect(const CRect& rect);
  // A one-pixel closed line through the four corners (all edges included).
  void drawRect(const CRect& rect);
  // A disc inscribed in the rectangle (corners as points), no outline.
  void fillEllipse(const CRect& rect);
  // Paints the 4-connected region that has the colour of the start pixel.
  void floodFill(const CPoint& start);
  // One line of text, centred vertically in rect (left and top included, right
  // and bottom excluded) and clipped to it; left aligned text starts 1 pixel in.
  void drawString(std::string_view text, const CRect& rect, bool opaque = false,
                  CHoriTxtAlign align = kCenterText);
  int32_t getStringWidth(std::string_view text) const;

  // Copies source pixels from srcOffset into rect; keyed copies skip pixels of
  // the source's transparent colour.
  void copyPixels(const CBitmap& source, const CRect& rect, const CPoint& srcOffset, bool keyed);

  // Shifts the coordinate origin (containers draw children in their own space).
  void setOffset(const CPoint& origin) { offset = origin; }
  CPoint getOffset() const { return offset; }

  // The pointer in this context's coordinates (the drawn view's space).
  void getMouseLocation(CPoint& where) const;
  CFrame* getFrame() const { return frame; }
  CBitmap* getSurface() const { return surface; }

  // Hands the changed part of the surface to the frame to show it on screen.
  void synchronize();

  uint32_t pixelAt(int32_t x, int32_t y) const;

 private:
  void paintSpan(int32_t x0, int32_t x1, int32_t y, uint32_t pixel);
  void touch(const CRect& surfaceRect);
  void drawGlyphs(std::string_view text, int32_t x, int32_t baseline, const CRect& clip);

  CBitmap* surface;
  CFrame* frame;
  CPoint offset;
  CRect touched;
  CColor fillColor = kWhiteCColor;
  CColor frameColor = kBlackCColor;
  CColor fontColor = kBlackCColor;
  CFont font = kNormalFontSmall;
  std::vector<CPoint> floodStack;
};
