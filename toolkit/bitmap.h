// An image of 32-bit pixels: an offscreen surface or one of the module's
// bitmap resources. Images are shared by reference count: whoever keeps a
// pointer calls remember(), and forget() when done; the last forget deletes.
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/color.h"
#include "toolkit/point.h"
#include "toolkit/rect.h"

class CDrawContext;

class CBitmap {
 public:
  // A blank image filled with one colour; the creator holds the first reference.
  CBitmap(int32_t width, int32_t height, CColor fill = kWhiteCColor);
  // The module's image with this resource number; 0 × 0 when there is none.
  explicit CBitmap(int32_t resourceId);

  CBitmap(const CBitmap&) = delete;
  CBitmap& operator=(const CBitmap&) = delete;

  void remember() { ++refCount; }
  void forget();
  int32_t getNbReference() const { return refCount; }

  int32_t getWidth() const { return width; }
  int32_t getHeight() const { return height; }
  bool isLoaded() const { return width > 0 && height > 0; }

  // The pixel at (x, y); 0 outside the image.
  uint32_t pixel(int32_t x, int32_t y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[size_t(y) * size_t(width) + size_t(x)];
  }
  uint32_t* data() { return pixels.data(); }
  const uint32_t* data() const { return pixels.data(); }

  // Copies the image from offset onwards into rect of the context, opaque.
  void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint()) const;
  // As draw, but pixels of the transparent colour leave the destination alone.
  void drawTransparent(CDrawContext* context, const CRect& rect,
                       const CPoint& offset = CPoint()) const;
  void setTransparentColor(CColor color) { transparentColor = color; }
  CColor getTransparentColor() const { return transparentColor; }

 private:
  ~CBitmap() = default;

  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;
  CColor transparentColor = kWhiteCColor;
  int32_t refCount = 1;
};
