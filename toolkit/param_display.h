// A control that shows a text on a filled background: one line in its font
// and font colour, centred in the rectangle less its left pixel.
#pragma once

#include "toolkit/color.h"
#include "toolkit/control.h"
#include "toolkit/font.h"

class CParamDisplay : public CControl {
 public:
  explicit CParamDisplay(const CRect& size);

  void draw(CDrawContext* context) override;

  // Each setter marks the view dirty when the new value differs.
  void setFont(CFont id);
  CFont getFont() const { return font; }
  void setFontColor(CColor color);
  CColor getFontColor() const { return fontColor; }
  void setBackColor(CColor color);
  CColor getBackColor() const { return backColor; }

 protected:
  // The text shown; the default shows nothing.
  virtual const char* displayText() const { return ""; }

 private:
  CFont font = kNormalFontSmall;
  CColor fontColor = kWhiteCColor;
  CColor backColor = kBlackCColor;
};
