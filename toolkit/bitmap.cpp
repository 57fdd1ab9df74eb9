#include "toolkit/bitmap.h"

#include "resources/resource_data.h"
#include "toolkit/bitmap_decoder.h"
#include "toolkit/draw_context.h"

CBitmap::CBitmap(int32_t w, int32_t h, CColor fill)
    : width(w > 0 ? w : 0),
      height(h > 0 ? h : 0),
      pixels(size_t(width) * size_t(height), fill.toPixel()) {}

CBitmap::CBitmap(int32_t resourceId) {
  const auto bytes = resourceData(resourceId);
  if (bytes.empty()) return;
  decodeDib(bytes, width, height, pixels);
}

void CBitmap::forget() {
  if (--refCount <= 0) delete this;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) const {
  context->copyPixels(*this, rect, offset, false);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect,
                              const CPoint& offset) const {
  context->copyPixels(*this, rect, offset, true);
}
