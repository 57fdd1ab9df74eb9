#include "toolkit/param_display.h"

#include "toolkit/draw_context.h"

CParamDisplay::CParamDisplay(const CRect& rect) : CControl(rect) {}

void CParamDisplay::draw(CDrawContext* context) {
  context->setFillColor(backColor);
  context->fillRect(size);
  context->setFont(font);
  context->setFontColor(fontColor);
  context->drawString(displayText(), CRect(size.left + 1, size.top, size.right, size.bottom), false,
                      kCenterText);
  setDirty(false);
}

void CParamDisplay::setFont(CFont id) {
  if (id != font) setDirty(true);
  font = id;
}

void CParamDisplay::setFontColor(CColor color) {
  if (!(color == fontColor)) setDirty(true);
  fontColor = color;
}

void CParamDisplay::setBackColor(CColor color) {
  if (!(color == backColor)) setDirty(true);
  backColor = color;
}
