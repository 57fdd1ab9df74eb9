#include "toolkit/draw_context.h"

#include <algorithm>

#include "toolkit/bitmap.h"
#include "toolkit/frame.h"

namespace {

uint32_t blend(uint32_t dst, uint32_t src, uint32_t alpha) {
  auto mix = [&](int shift) {
    const uint32_t d = (dst >> shift) & 0xFF, s = (src >> shift) & 0xFF;
    return ((d * (255 - alpha) + s * alpha + 127) / 255) << shift;
  };
  return mix(16) | mix(8) | mix(0);
}

}  // namespace

CDrawContext::CDrawContext(CBitmap* target, CFrame* owner) : surface(target), frame(owner) {}

uint32_t CDrawContext::pixelAt(int32_t x, int32_t y) const {
  x += offset.h;
  y += offset.v;
  if (x < 0 || y < 0 || x >= surface->getWidth() || y >= surface->getHeight()) return 0;
  return surface->pixel(x, y);
}

void CDrawContext::touch(const CRect& r) { touched = touched.united(r); }

// Paints surface pixels x0..x1 (inclusive) of row y, clipped to the surface.
void CDrawContext::paintSpan(int32_t x0, int32_t x1, int32_t y, uint32_t pixel) {
  if (y < 0 || y >= surface->getHeight()) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, surface->getWidth() - 1);
  if (x0 > x1) return;
  uint32_t* row = surface->data() + size_t(y) * size_t(surface->getWidth());
  std::fill(row + x0, row + x1 + 1, pixel);
  touch(CRect(x0, y, x1 + 1, y + 1));
}

void CDrawContext::fillRect(const CRect& rect) {
  const uint32_t p = fillColor.toPixel();
  for (int32_t y = rect.top + 1; y <= rect.bottom - 1; ++y)
    paintSpan(rect.left + 1 + offset.h, rect.right - 1 + offset.h, y + offset.v, p);
}

void CDrawContext::drawRect(const CRect& rect) {
  const uint32_t p = frameColor.toPixel();
  const int32_t l = rect.left + offset.h, r = rect.right + offset.h;
  const int32_t t = rect.top + offset.v, b = rect.bottom + offset.v;
  paintSpan(l, r, t, p);
  paintSpan(l, r, b, p);
  for (int32_t y = t + 1; y < b; ++y) {
    paintSpan(l, l, y, p);
    paintSpan(r, r, y, p);
  }
}

// A pixel belongs to the disc when its centre lies inside the ellipse through
// the midpoints of the rectangle's edges; doubled coordinates keep it exact.
void CDrawContext::fillEllipse(const CRect& rect) {
  const uint32_t p = fillColor.toPixel();
  const int64_t rx = rect.right - rect.left, ry = rect.bottom - rect.top;
  const int64_t limit = rx * rx * ry * ry;
  for (int32_t y = rect.top; y <= rect.bottom; ++y) {
    const int64_t dy = 2 * int64_t(y) - rect.top - rect.bottom;
    int32_t first = 1, last = 0;
    for (int32_t x = rect.left; x <= rect.right; ++x) {
      const int64_t dx = 2 * int64_t(x) - rect.left - rect.right;
      if (dx * dx * ry * ry + dy * dy * rx * rx > limit) continue;
      if (first > last) first = x;
      last = x;
    }
    if (first <= last) paintSpan(first + offset.h, last + offset.h, y + offset.v, p);
  }
}

void CDrawContext::floodFill(const CPoint& start) {
  const int32_t w = surface->getWidth(), h = surface->getHeight();
  const CPoint s(start.h + offset.h, start.v + offset.v);
  if (s.h < 0 || s.v < 0 || s.h >= w || s.v >= h) return;
  const uint32_t target = surface->pixel(s.h, s.v);
  const uint32_t paint = fillColor.toPixel();
  if (target == paint) return;
  uint32_t* px = surface->data();
  auto at = [&](int32_t x, int32_t y) -> uint32_t& {
    return px[size_t(y) * size_t(w) + size_t(x)];
  };
  floodStack.clear();
  floodStack.push_back(s);
  while (!floodStack.empty()) {
    const CPoint p = floodStack.back();
    floodStack.pop_back();
    if (at(p.h, p.v) != target) continue;
    int32_t x0 = p.h, x1 = p.h;
    while (x0 > 0 && at(x0 - 1, p.v) == target) --x0;
    while (x1 < w - 1 && at(x1 + 1, p.v) == target) ++x1;
    paintSpan(x0, x1, p.v, paint);
    for (int32_t ny : {p.v - 1, p.v + 1}) {
      if (ny < 0 || ny >= h) continue;
      bool inRun = false;
      for (int32_t x = x0; x <= x1; ++x) {
        const bool match = at(x, ny) == target;
        if (match && !inRun) floodStack.push_back(CPoint(x, ny));
        inRun = match;
      }
    }
  }
}

int32_t CDrawContext::getStringWidth(std::string_view text) const {
  return glyphFontOf(font).textWidth(text);
}

void CDrawContext::drawString(std::string_view text, const CRect& rect, bool opaque,
                              CHoriTxtAlign align) {
  CRect box = rect;
  box.offset(offset.h, offset.v);
  const CRect clip = box.intersected(CRect(0, 0, surface->getWidth(), surface->getHeight()));
  if (clip.isEmpty()) return;
  const GlyphFont& f = glyphFontOf(font);
  const int32_t textWidth = f.textWidth(text);
  const int32_t top = box.top + (box.height() - f.lineHeight()) / 2;
  int32_t x = box.left + (box.width() - textWidth) / 2;
  if (align == kLeftText) x = box.left + 1;
  if (align == kRightText) x = box.right - 1 - textWidth;
  if (opaque) {
    const CRect cell = CRect(x, top, x + textWidth, top + f.lineHeight()).intersected(clip);
    for (int32_t y = cell.top; y < cell.bottom; ++y)
      paintSpan(cell.left, cell.right - 1, y, fillColor.toPixel());
  }
  drawGlyphs(text, x, top + f.ascent, clip);
}

void CDrawContext::drawGlyphs(std::string_view text, int32_t x, int32_t baseline,
                              const CRect& clip) {
  const GlyphFont& f = glyphFontOf(font);
  const uint32_t ink = fontColor.toPixel();
  const int32_t stride = surface->getWidth();
  for (char c : text) {
    const Glyph& g = f.glyph(c);
    const int32_t gx = x + g.left, gy = baseline - g.top;
    for (int32_t j = 0; j < g.height; ++j) {
      const int32_t y = gy + j;
      if (y < clip.top || y >= clip.bottom) continue;
      for (int32_t i = 0; i < g.width; ++i) {
        const int32_t px = gx + i;
        if (px < clip.left || px >= clip.right) continue;
        const uint8_t a = f.coverage[g.offset + size_t(j) * g.width + size_t(i)];
        if (a == 0) continue;
        uint32_t& d = surface->data()[size_t(y) * size_t(stride) + size_t(px)];
        d = a == 255 ? ink : blend(d, ink, a);
      }
    }
    x += g.advance;
  }
  touch(clip);
}

void CDrawContext::copyPixels(const CBitmap& source, const CRect& rect, const CPoint& srcOffset,
                              bool keyed) {
  const uint32_t key = source.getTransparentColor().toPixel();
  CRect dst = rect;
  dst.offset(offset.h, offset.v);
  const CRect clip = dst.intersected(CRect(0, 0, surface->getWidth(), surface->getHeight()));
  for (int32_t y = clip.top; y < clip.bottom; ++y) {
    const int32_t sy = srcOffset.v + (y - dst.top);
    if (sy < 0 || sy >= source.getHeight()) continue;
    uint32_t* row = surface->data() + size_t(y) * size_t(surface->getWidth());
    for (int32_t x = clip.left; x < clip.right; ++x) {
      const int32_t sx = srcOffset.h + (x - dst.left);
      if (sx < 0 || sx >= source.getWidth()) continue;
      const uint32_t p = source.pixel(sx, sy);
      if (!keyed || p != key) row[x] = p;
    }
  }
  touch(clip);
}

void CDrawContext::getMouseLocation(CPoint& where) const {
  where = frame ? frame->getCurrentMouseLocation() : CPoint();
  where.offset(-offset.h, -offset.v);
}

void CDrawContext::synchronize() {
  if (frame && !touched.isEmpty()) frame->showCanvas(surface, touched);
  touched = CRect();
}
