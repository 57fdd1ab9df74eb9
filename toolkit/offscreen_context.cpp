#include "toolkit/offscreen_context.h"

#include "toolkit/bitmap.h"

COffscreenContext::COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                                     CColor background)
    : CDrawContext(new CBitmap(width, height, background), frame) {}

COffscreenContext::~COffscreenContext() { getSurface()->forget(); }

int32_t COffscreenContext::getWidth() const { return getSurface()->getWidth(); }
int32_t COffscreenContext::getHeight() const { return getSurface()->getHeight(); }

void COffscreenContext::copyFrom(CDrawContext* dest, const CRect& destRect,
                                 const CPoint& srcOffset) {
  dest->copyPixels(*getSurface(), destRect, srcOffset, false);
}
