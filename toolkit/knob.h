// A rotary knob: a face image with a handle image that travels a 270° arc,
// value 0 at the lower left, 0.5 at the top and 1 at the lower right.
#pragma once

#include "toolkit/control.h"

enum CKnobMode : int32_t { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

class CKnob : public CControl {
 public:
  // Keeps references to both images; offset is where the face starts in its image.
  CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
        CBitmap* handle, const CPoint& offset = CPoint());
  ~CKnob() override;

  void draw(CDrawContext* context) override;
  void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
  int32_t onKeyDown(KeyStroke& key) override;

  // Distance of the handle's path from the knob's edge.
  void setInsetValue(int32_t inset) { insetValue = inset; }
  int32_t getInsetValue() const { return insetValue; }
  // The handle image's centre for the current value, relative to the knob.
  CPoint handleCentre() const;
  // The value whose handle angle points at where (the knob's container space).
  float valueFromPoint(const CPoint& where) const;

 private:
  void trackCircular(CDrawContext* context, CPoint& where);
  void trackLinear(CDrawContext* context, CPoint& where, int32_t buttons);
  // Reads the pointer again and runs the drag idle hook; false once released.
  bool nextStep(CDrawContext* context, CPoint& where, int32_t& buttons);

  CBitmap* handle = nullptr;
  CPoint offset;
  int32_t insetValue = 3;
};
