// A bar showing a value from 0 to 1, drawn in an image of its own so that it
// never flickers; set by dragging, with fine modes on Shift.
#pragma once

#include "toolkit/color.h"
#include "toolkit/control.h"

class COffscreenContext;

class CBar : public CControl {
 public:
  enum Style : int32_t {
    kHorizontal = 1,
    kVertical = 2,
    kFromLeft = 8,
    kInverseHorizontalDrag = 0x10,
    kNoBipolarInversion = 0x20,
    kFromBottom = 0x40,
    kBipolar = 0x4000,
  };

  // The style always gets the vertical bit.
  CBar(const CRect& size, CControlListener* listener, int32_t tag, CColor background,
       CColor barColor, int32_t style);
  ~CBar() override;

  void draw(CDrawContext* context) override;
  void mouse(CDrawContext* context, CPoint& where, int32_t buttons) override;
  int32_t onKeyDown(KeyStroke& key) override;
  bool attached(CView* parent) override;
  bool removed(CView* parent) override;

  // The filled rectangle (corners, inclusive) for the current value.
  CRect barRect() const;
  int32_t getStyle() const { return style; }

 private:
  float displayValue() const;
  // Vertical position as a fraction of the bar's travel (fine modes use it).
  float verticalFraction(const CPoint& where) const;
  float horizontalFraction(const CPoint& where) const;
  void absoluteDrag(CDrawContext* context, CPoint& where);
  void fineDrag(CDrawContext* context, CPoint& where);
  bool nextStep(CDrawContext* context, CPoint& where);
  void releaseImage();

  CColor background;
  CColor barColor;
  int32_t style;
  int32_t w;
  int32_t h;
  COffscreenContext* image = nullptr;
};
