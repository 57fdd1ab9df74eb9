// A drawing context on an image of its own, made to be copied elsewhere.
#pragma once

#include "toolkit/draw_context.h"

class COffscreenContext : public CDrawContext {
 public:
  // An image of width × height filled with background.
  COffscreenContext(CFrame* frame, int32_t width, int32_t height, CColor background = kBlackCColor);
  ~COffscreenContext() override;

  int32_t getWidth() const;
  int32_t getHeight() const;
  CBitmap* getBitmap() const { return getSurface(); }

  // Copies the image, from srcOffset onwards, into destRect of dest.
  void copyFrom(CDrawContext* dest, const CRect& destRect, const CPoint& srcOffset = CPoint());
};
