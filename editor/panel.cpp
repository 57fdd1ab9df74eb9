#include "editor/panel.h"

#include <cstdio>

#include "toolkit/offscreen_context.h"

CPanel::CPanel(const CRect& rect, CFrame* frame, CColor surroundingsColor, CColor bodyColor,
               CColor rimColor, int32_t cornerRadius, const char* text, CColor textColor)
    : CViewContainer(rect),
      surroundings(surroundingsColor),
      body(bodyColor),
      rim(rimColor),
      titleColor(textColor),
      cornerDiameter(2 * cornerRadius) {
  std::snprintf(title, sizeof(title), "%s", text ? text : "");
  render(frame);
}

CPanel::~CPanel() { delete image; }

void CPanel::render(CFrame* frame) {
  const int32_t w = size.width(), h = size.height();
  image = new COffscreenContext(frame, w, h, surroundings);
  COffscreenContext& p = *image;
  p.setFillColor(surroundings);
  p.fillRect(CRect(0, 0, w - 1, h - 1));
  if (cornerDiameter < 8) {  // small corners: a plain rim, no title
    p.setFrameColor(rim);
    p.drawRect(CRect(0, 0, w - 1, h - 1));
    return;
  }
  const int32_t d = cornerDiameter, r = d / 2;
  COffscreenContext corner(frame, d + 1, d + 1, surroundings);
  corner.setFillColor(rim);
  corner.fillEllipse(CRect(0, 0, d, d));
  corner.setFillColor(body);
  corner.fillEllipse(CRect(2, 2, d - 2, d - 2));

  p.setFillColor(rim);
  p.fillRect(CRect(0, 7, w - 1, h - 1));
  p.setFillColor(body);
  p.fillRect(CRect(2, 9, w - 3, h - 3));
  // The four quarters of the corner image; its middle row and column stay unused.
  corner.copyFrom(&p, CRect(0, 7, r, 7 + r), CPoint(0, 0));
  corner.copyFrom(&p, CRect(w - r, 7, w, 7 + r), CPoint(r + 1, 0));
  corner.copyFrom(&p, CRect(0, h - r, r, h), CPoint(0, r + 1));
  corner.copyFrom(&p, CRect(w - r, h - r, w, h), CPoint(r + 1, r + 1));

  // Title tab, open into the body below it.
  p.setFillColor(rim);
  p.fillRect(CRect(18, 0, 73, 14));
  p.setFillColor(body);
  p.fillRect(CRect(20, 2, 71, 13));
  p.fillRect(CRect(18, 8, 73, 14));
  p.setFont(kNormalFontSmall);
  p.setFontColor(titleColor);
  p.drawString(title, CRect(23, 1, 68, 13), false, kCenterText);
}

void CPanel::drawBackground(CDrawContext* context) { image->copyFrom(context, size); }
