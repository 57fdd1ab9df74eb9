#include "screenshot/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace screenshot {

namespace {

// libpng reports errors through longjmp; these turn them into a message.
void onPngError(png_structp png, png_const_charp message) {
  auto* reason = static_cast<std::string*>(png_get_error_ptr(png));
  if (reason) *reason = message;
  png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::vector<png_byte> rgbRows(const EditorImage& image) {
  std::vector<png_byte> rows(size_t(image.width) * size_t(image.height) * 3);
  size_t i = 0;
  for (uint32_t p : image.pixels) {
    rows[i++] = png_byte(p >> 16);
    rows[i++] = png_byte(p >> 8);
    rows[i++] = png_byte(p);
  }
  return rows;
}

// Encodes into an open file; false (with reason set) on failure.
bool encode(const EditorImage& image, std::FILE* file, std::string& reason) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &reason, onPngError, onPngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  std::vector<png_byte> pixels = rgbRows(image);
  std::vector<png_bytep> rows(size_t(image.height));
  for (size_t y = 0; y < rows.size(); ++y) rows[y] = &pixels[y * size_t(image.width) * 3];
  bool ok = false;
  if (info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    ok = true;
  }
  png_destroy_write_struct(&png, info ? &info : nullptr);
  return ok;
}

}  // namespace

void writePng(const EditorImage& image, const std::string& path) {
  namespace fs = std::filesystem;
  if (image.width <= 0 || image.height <= 0) throw std::runtime_error("the image is empty");
  const fs::path target(path);
  std::error_code ec;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  const std::string temporary = path + ".part";
  File file(std::fopen(temporary.c_str(), "wb"));
  if (!file) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  std::string reason = "write error";
  bool ok = encode(image, file.get(), reason);
  ok = std::fflush(file.get()) == 0 && ok;
  if (ok && std::ferror(file.get())) ok = false;
  file.reset();
  if (ok) fs::rename(temporary, target, ec);
  if (!ok || ec) {
    fs::remove(temporary, ec);
    throw std::runtime_error("cannot write " + path + ": " + (ok ? "cannot rename" : reason));
  }
}

EditorImage readPng(const std::string& path) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
  std::string reason = "not a PNG file";
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &reason, onPngError, onPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  EditorImage image;
  // Declared before setjmp: a jump out of libpng must not skip destructors.
  std::vector<png_byte> pixels;
  std::vector<png_bytep> rows;
  volatile bool ok = false;
  if (png && info && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file.get());
    png_read_info(png, info);
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) != 8 ||
        (type != PNG_COLOR_TYPE_RGB && type != PNG_COLOR_TYPE_RGBA)) {
      reason = "not an 8-bit RGB image";
      png_longjmp(png, 1);
    }
    const size_t channels = type == PNG_COLOR_TYPE_RGBA ? 4 : 3;
    image.width = int32_t(png_get_image_width(png, info));
    image.height = int32_t(png_get_image_height(png, info));
    pixels.resize(size_t(image.width) * size_t(image.height) * channels);
    rows.resize(size_t(image.height));
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = &pixels[y * size_t(image.width) * channels];
    png_read_image(png, rows.data());
    image.pixels.resize(size_t(image.width) * size_t(image.height));
    for (size_t i = 0; i < image.pixels.size(); ++i) {
      const png_byte* p = &pixels[i * channels];
      image.pixels[i] = uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | uint32_t(p[2]);
    }
    ok = true;
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) throw std::runtime_error(path + ": " + reason);
  return image;
}

}  // namespace screenshot
