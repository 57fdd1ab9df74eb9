// The module's images, the bitmap decoder and reference counting.
#include "toolkit/bitmap.h"

#include <gtest/gtest.h>

#include <vector>

#include "resources/resource_data.h"
#include "toolkit/bitmap_decoder.h"
#include "toolkit/control.h"

namespace {

constexpr CColor kPanelGrey{128, 128, 128, 0};
constexpr CColor kPanelBlue{75, 183, 228, 0};
constexpr CColor kInkBlue{22, 112, 150, 0};
constexpr CColor kGold{228, 189, 31, 0};

TEST(Images, ResourcesHaveTheEditorsSizesAndColours) {
  CBitmap* background = new CBitmap(kBackgroundImage);
  CBitmap* face = new CBitmap(kKnobFaceImage);
  CBitmap* handle = new CBitmap(kKnobHandleImage);
  ASSERT_TRUE(background->isLoaded() && face->isLoaded() && handle->isLoaded());
  EXPECT_EQ(background->getWidth(), 851);
  EXPECT_EQ(background->getHeight(), 311);
  EXPECT_EQ(face->getWidth(), 40);
  EXPECT_EQ(face->getHeight(), 40);
  EXPECT_EQ(handle->getWidth(), 7);
  EXPECT_EQ(handle->getHeight(), 7);

  // Lettering and diagram only in the top-left corner; grey everywhere else.
  int lettering = 0;
  for (int y = 0; y < 311; ++y)
    for (int x = 0; x < 851; ++x) {
      const bool inCorner = x >= 6 && x <= 130 && y >= 13 && y <= 124;
      if (!inCorner) {
        ASSERT_EQ(background->pixel(x, y), kPanelGrey.toPixel()) << x << "," << y;
      }
      lettering += background->pixel(x, y) != kPanelGrey.toPixel();
    }
  EXPECT_GT(lettering, 500);

  EXPECT_EQ(face->pixel(0, 0), kPanelBlue.toPixel());
  EXPECT_EQ(face->pixel(20, 20), kInkBlue.toPixel());
  EXPECT_EQ(face->pixel(20, 1), kInkBlue.toPixel());
  EXPECT_EQ(handle->pixel(3, 3), kGold.toPixel());
  EXPECT_EQ(handle->pixel(0, 0), kInkBlue.toPixel());
  // White is the handle's transparent colour: the handle itself has none.
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_NE(handle->pixel(x, y), kWhiteCColor.toPixel());

  CBitmap* missing = new CBitmap(99);
  EXPECT_FALSE(missing->isLoaded());
  missing->forget();
  background->forget();
  face->forget();
  handle->forget();
}

std::vector<uint8_t> dibHeader(int32_t w, int32_t h, uint16_t bits, uint32_t compression,
                               uint32_t colours) {
  std::vector<uint8_t> b(40, 0);
  auto put = [&](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
  };
  put(0, 40, 4);
  put(4, uint32_t(w), 4);
  put(8, uint32_t(h), 4);
  put(12, 1, 2);
  put(14, bits, 2);
  put(16, compression, 4);
  put(32, colours, 4);
  return b;
}

TEST(Images, DecoderReadsRunLengthPlainAndTrueColourBitmaps) {
  // 3 × 2, two colours, bottom-up: bottom row from a run, top row literal.
  auto rle = dibHeader(3, 2, 8, 1, 2);
  rle.insert(rle.end(), {0, 0, 255, 0, /**/ 255, 0, 0, 0});  // red, blue
  rle.insert(rle.end(), {3, 0, 0, 0, /**/ 0, 3, 1, 0, 1, 0, /**/ 0, 1});
  int32_t w = 0, h = 0;
  std::vector<uint32_t> px;
  ASSERT_TRUE(decodeDib(rle, w, h, px));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(px,
            (std::vector<uint32_t>{0x0000FF, 0xFF0000, 0x0000FF, 0xFF0000, 0xFF0000, 0xFF0000}));

  // Top-down 24-bit, rows padded to 4 bytes.
  auto rgb = dibHeader(2, -1, 24, 0, 0);
  rgb.insert(rgb.end(), {1, 2, 3, 4, 5, 6, 0, 0});
  ASSERT_TRUE(decodeDib(rgb, w, h, px));
  EXPECT_EQ(px, (std::vector<uint32_t>{0x030201, 0x060504}));

  // Truncated data and unsupported depths are refused.
  rgb.resize(rgb.size() - 3);
  EXPECT_FALSE(decodeDib(rgb, w, h, px));
  EXPECT_FALSE(decodeDib(dibHeader(2, 2, 4, 0, 0), w, h, px));
}

TEST(Images, ViewsKeepAReferenceWhileTheyUseAnImage) {
  CBitmap* image = new CBitmap(2, 2);
  {
    CControl a(CRect(0, 0, 2, 2), nullptr, 0, image);
    CControl b(CRect(0, 0, 2, 2), nullptr, 0, image);
    EXPECT_EQ(image->getNbReference(), 3);
    b.setBackground(nullptr);
    EXPECT_EQ(image->getNbReference(), 2);
  }
  EXPECT_EQ(image->getNbReference(), 1);
  image->forget();
}

}  // namespace
