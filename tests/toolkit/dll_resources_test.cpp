// The DLL carries the editor's images as bitmap resources 1, 2 and 3 that the
// system itself can load, and the toolkit finds them there.
#include <gtest/gtest.h>
#include <windows.h>

#include <span>

#include "toolkit/bitmap_decoder.h"

namespace {

TEST(DllResources, ImagesAreBitmapResourcesOneToThree) {
  HMODULE dll = LoadLibraryW(L"" QS_PLUGIN_PATH);
  ASSERT_NE(dll, nullptr);
  const struct { int id, width, height; } images[] = {{1, 851, 311}, {2, 40, 40}, {3, 7, 7}};
  for (const auto& image : images) {
    HBITMAP system = LoadBitmapW(dll, MAKEINTRESOURCEW(image.id));
    ASSERT_NE(system, nullptr) << image.id;
    BITMAP info{};
    GetObjectW(system, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, image.width);
    EXPECT_EQ(info.bmHeight, image.height);
    DeleteObject(system);

    HRSRC found = FindResourceW(dll, MAKEINTRESOURCEW(image.id), MAKEINTRESOURCEW(2));
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(dll, found)));
    int32_t w = 0, h = 0;
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(decodeDib(std::span(data, SizeofResource(dll, found)), w, h, pixels));
    EXPECT_EQ(w, image.width);
    EXPECT_EQ(h, image.height);
  }
  EXPECT_EQ(FindResourceW(dll, MAKEINTRESOURCEW(4), MAKEINTRESOURCEW(2)), nullptr);
  FreeLibrary(dll);
}

}  // namespace
