// Pixel coverage of the drawing primitives, text placement and image copies.
#include "toolkit/draw_context.h"

#include <gtest/gtest.h>

#include "toolkit/bitmap.h"
#include "toolkit/offscreen_context.h"

namespace {

constexpr CColor kRed{255, 0, 0, 0};
constexpr CColor kBlue{0, 0, 255, 0};
constexpr uint32_t kBlack = 0;

class Surface {
 public:
  Surface(int w, int h) : bitmap(new CBitmap(w, h, kBlackCColor)), context(bitmap, nullptr) {}
  ~Surface() { bitmap->forget(); }
  uint32_t at(int x, int y) const { return bitmap->pixel(x, y); }
  bool is(int x, int y, CColor c) const { return at(x, y) == c.toPixel(); }
  int count(CColor c) const {
    int n = 0;
    for (int y = 0; y < bitmap->getHeight(); ++y)
      for (int x = 0; x < bitmap->getWidth(); ++x) n += is(x, y, c);
    return n;
  }
  // Bounding box (right and bottom inclusive) of pixels that are not black.
  CRect ink() const {
    CRect box(1 << 20, 1 << 20, -1, -1);
    for (int y = 0; y < bitmap->getHeight(); ++y)
      for (int x = 0; x < bitmap->getWidth(); ++x)
        if (at(x, y) != kBlack)
          box = CRect(std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                      std::max(box.bottom, y));
    return box;
  }

  CBitmap* bitmap;
  CDrawContext context;
};

TEST(DrawContext, FillRectPaintsTheInteriorOnly) {
  Surface s(20, 20);
  s.context.setFillColor(kRed);
  s.context.fillRect(CRect(2, 3, 7, 9));
  EXPECT_EQ(s.ink(), CRect(3, 4, 6, 8));
  EXPECT_EQ(s.count(kRed), 4 * 5);

  // The origin shift of a container moves everything, and the surface clips.
  Surface t(10, 10);
  t.context.setFillColor(kRed);
  t.context.setOffset(CPoint(5, 5));
  t.context.fillRect(CRect(0, 0, 3, 3));
  t.context.fillRect(CRect(2, 2, 40, 40));
  EXPECT_TRUE(t.is(6, 6, kRed) && t.is(7, 7, kRed) && t.is(9, 9, kRed));
  EXPECT_FALSE(t.is(5, 5, kRed) || t.is(8, 6, kRed));
}

TEST(DrawContext, OutlinePassesThroughAllFourCorners) {
  Surface s(20, 20);
  s.context.setFrameColor(kRed);
  s.context.drawRect(CRect(2, 3, 7, 9));
  for (CPoint p :
       {CPoint(2, 3), CPoint(7, 3), CPoint(2, 9), CPoint(7, 9), CPoint(4, 3), CPoint(7, 6)})
    EXPECT_TRUE(s.is(p.h, p.v, kRed)) << p.h << "," << p.v;
  EXPECT_EQ(s.count(kRed), 2 * 6 + 2 * 7 - 4);
  EXPECT_FALSE(s.is(4, 6, kRed));
}

TEST(DrawContext, InscribedDiscIsSymmetricAboutTheMiddlePixel) {
  Surface s(29, 29);
  s.context.setFillColor(kRed);
  s.context.fillEllipse(CRect(0, 0, 28, 28));
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 29; ++x) {
      ASSERT_EQ(s.at(x, y), s.at(28 - x, y));
      ASSERT_EQ(s.at(x, y), s.at(y, x));
    }
  // The outermost column is touched only at the middle row, as the panel's
  // 2-pixel rim needs: the used quarters start one pixel in.
  EXPECT_TRUE(s.is(0, 14, kRed));
  EXPECT_FALSE(s.is(0, 13, kRed));
  EXPECT_TRUE(s.is(1, 13, kRed));
  EXPECT_FALSE(s.is(0, 0, kRed) || s.is(3, 3, kRed));
  EXPECT_TRUE(s.is(5, 5, kRed));

  Surface body(29, 29);
  body.context.setFillColor(kBlue);
  body.context.fillEllipse(CRect(2, 2, 26, 26));
  EXPECT_EQ(body.ink(), CRect(2, 2, 26, 26));
  EXPECT_FALSE(body.is(2, 13, kBlue));
  EXPECT_TRUE(body.is(3, 13, kBlue));
}

TEST(DrawContext, FloodFillStaysInsideAnOutline) {
  Surface s(16, 12);
  s.context.setFrameColor(kRed);
  s.context.setFillColor(kRed);
  s.context.drawRect(CRect(2, 2, 10, 8));
  s.context.floodFill(CPoint(6, 5));
  EXPECT_EQ(s.ink(), CRect(2, 2, 10, 8));
  EXPECT_EQ(s.count(kRed), 9 * 7);

  // An outline without inside: the start lies on it and nothing changes.
  Surface flat(16, 12);
  flat.context.setFrameColor(kRed);
  flat.context.setFillColor(kRed);
  flat.context.drawRect(CRect(2, 5, 10, 6));
  flat.context.floodFill(CPoint(6, 5));
  EXPECT_EQ(flat.count(kRed), 2 * 9);

  // The region is 4-connected: a diagonal line holds the fill back.
  Surface d(10, 10);
  d.context.setFillColor(kBlue);
  for (int i = 0; i < 10; ++i) {
    d.context.setOffset(CPoint(i - 1, i - 1));
    d.context.fillRect(CRect(0, 0, 2, 2));
  }
  d.context.setOffset(CPoint());
  d.context.setFillColor(kRed);
  d.context.floodFill(CPoint(8, 1));
  EXPECT_TRUE(d.is(9, 0, kRed));
  EXPECT_EQ(d.at(1, 8), kBlack);
  EXPECT_EQ(d.count(kRed), 45);
}

TEST(DrawContext, SmallFontHasArialMetricsAtElevenPixels) {
  const GlyphFont& f = glyphFontOf(kNormalFontSmall);
  EXPECT_EQ(f.glyph('H').height, 8);   // cap height 0.716 em
  EXPECT_EQ(f.glyph('0').advance, 6);  // digits 0.556 em
  EXPECT_EQ(f.glyph('i').advance, 2);
  EXPECT_EQ(f.lineHeight(), 13);
  EXPECT_EQ(&f.glyph('\x7f'), &f.glyph('?'));
}

TEST(DrawContext, TextIsAlignedCentredVerticallyAndClipped) {
  const GlyphFont& f = glyphFontOf(kNormalFontSmall);
  const int width = f.textWidth("Volume");
  auto inkOf = [](CHoriTxtAlign align, const CRect& box) {
    Surface s(60, 20);
    s.context.setFontColor(kWhiteCColor);
    s.context.drawString("Volume", box, false, align);
    return s.ink();
  };
  const CRect box(0, 2, 50, 14);
  const int v = f.glyph('V').left;
  EXPECT_EQ(inkOf(kLeftText, box).left, 1 + v);
  EXPECT_EQ(inkOf(kCenterText, box).left, (50 - width) / 2 + v);
  EXPECT_EQ(inkOf(kRightText, box).left, 50 - 1 - width + v);
  // Line of 13 in a 12-pixel box: the line starts at the box top, so the
  // capitals' tops sit ascent − cap height below it.
  EXPECT_EQ(inkOf(kLeftText, box).top, 2 + f.ascent - f.glyph('V').top);

  const CRect narrow(20, 2, 30, 14);
  const CRect clipped = inkOf(kCenterText, narrow);
  EXPECT_GE(clipped.left, 20);
  EXPECT_LE(clipped.right, 29);
  EXPECT_LE(clipped.bottom, 13);
}

TEST(DrawContext, TransparentTextKeepsTheBackgroundOpaqueTextPaintsItsCell) {
  Surface t(60, 20);
  t.context.setFontColor(kWhiteCColor);
  t.context.setFillColor(kBlue);
  t.context.drawString("ab", CRect(0, 0, 60, 20), false);
  EXPECT_EQ(t.count(kBlue), 0);
  EXPECT_GE(t.ink().right, 0);  // some ink

  Surface o(60, 20);
  o.context.setFontColor(kWhiteCColor);
  o.context.setFillColor(kBlue);
  o.context.drawString("ab", CRect(0, 0, 60, 20), true);
  const GlyphFont& f = glyphFontOf(kNormalFontSmall);
  const int w = f.textWidth("ab");
  const int x = (60 - w) / 2, y = (20 - f.lineHeight()) / 2;
  EXPECT_TRUE(o.is(x, y, kBlue));
  EXPECT_EQ(o.at(x - 1, y), kBlack);
  EXPECT_EQ(o.ink(), CRect(x, y, x + w - 1, y + f.lineHeight() - 1));
}

TEST(DrawContext, ImagesCopyOpaqueOrWithTheirKeyColour) {
  CBitmap* image = new CBitmap(4, 4, kWhiteCColor);
  CDrawContext paint(image, nullptr);
  paint.setFillColor(kRed);
  paint.fillRect(CRect(0, 0, 3, 3));  // red at 1..2, white around

  Surface opaque(10, 10);
  image->draw(&opaque.context, CRect(2, 2, 6, 6));
  EXPECT_EQ(opaque.count(kWhiteCColor), 12);
  EXPECT_TRUE(opaque.is(3, 3, kRed) && opaque.is(4, 4, kRed));

  Surface keyed(10, 10);
  image->drawTransparent(&keyed.context, CRect(2, 2, 6, 6));
  EXPECT_EQ(keyed.count(kWhiteCColor), 0);
  EXPECT_EQ(keyed.count(kRed), 4);

  // Another key colour; a source offset shifts what is copied.
  image->setTransparentColor(kRed);
  Surface other(10, 10);
  image->drawTransparent(&other.context, CRect(0, 0, 3, 3), CPoint(1, 1));
  EXPECT_EQ(other.count(kRed), 0);
  EXPECT_EQ(other.count(kWhiteCColor), 5);
  image->forget();
}

TEST(DrawContext, OffscreenImageStartsFilledAndCopiesFromAnOffset) {
  COffscreenContext off(nullptr, 8, 6, kBlue);
  EXPECT_EQ(off.getWidth(), 8);
  EXPECT_EQ(off.pixelAt(7, 5), kBlue.toPixel());
  off.setFillColor(kRed);
  off.fillRect(CRect(3, 2, 8, 6));  // red x 4..7, y 3..5

  Surface s(10, 10);
  off.copyFrom(&s.context, CRect(0, 0, 4, 3), CPoint(4, 3));
  EXPECT_EQ(s.count(kRed), 12);
  EXPECT_EQ(s.ink(), CRect(0, 0, 3, 2));
}

}  // namespace
