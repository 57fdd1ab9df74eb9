#include "toolkit/bitmap_decoder.h"

#include <cstdlib>
#include <utility>

namespace {

uint32_t read16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t read32(const uint8_t* p) { return read16(p) | read16(p + 2) << 16; }

constexpr uint32_t kPlain = 0;
constexpr uint32_t kRle8 = 1;

// Expands run-length coded 8-bit rows into palette indices, bottom row first.
bool expandRle8(std::span<const uint8_t> src, int32_t w, int32_t h, std::vector<uint8_t>& out) {
  out.assign(size_t(w) * size_t(h), 0);
  int32_t x = 0, y = 0;
  size_t i = 0;
  auto put = [&](uint8_t index) {
    if (x < w && y < h) out[size_t(y) * size_t(w) + size_t(x)] = index;
    ++x;
  };
  while (i + 1 < src.size()) {
    const uint8_t count = src[i], value = src[i + 1];
    i += 2;
    if (count > 0) {
      for (int n = 0; n < count; ++n) put(value);
    } else if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of bitmap
      return true;
    } else if (value == 2) {  // delta
      if (i + 1 >= src.size()) return false;
      x += src[i];
      y += src[i + 1];
      i += 2;
    } else {  // literal run, padded to an even length
      if (i + value > src.size()) return false;
      for (int n = 0; n < value; ++n) put(src[i + size_t(n)]);
      i += (size_t(value) + 1) & ~size_t(1);
    }
  }
  return true;
}

}  // namespace

bool decodeDib(std::span<const uint8_t> bytes, int32_t& width, int32_t& height,
               std::vector<uint32_t>& pixels) {
  if (bytes.size() >= 14 && bytes[0] == 'B' && bytes[1] == 'M') bytes = bytes.subspan(14);
  if (bytes.size() < 40 || read32(bytes.data()) < 40) return false;
  const uint8_t* head = bytes.data();
  const uint32_t headerSize = read32(head);
  const auto w = static_cast<int32_t>(read32(head + 4));
  const auto rawH = static_cast<int32_t>(read32(head + 8));
  const uint32_t bits = read16(head + 14);
  const uint32_t compression = read32(head + 16);
  uint32_t colours = read32(head + 32);
  const bool bottomUp = rawH > 0;
  const int32_t h = std::abs(rawH);
  if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return false;
  if (bits == 8 && colours == 0) colours = 256;
  if (bits != 8) colours = 0;
  const size_t paletteAt = headerSize;
  const size_t dataAt = paletteAt + size_t(colours) * 4;
  if (dataAt > bytes.size() || colours > 256) return false;
  auto palette = [&](uint8_t index) -> uint32_t {
    if (index >= colours) return 0;
    const uint8_t* q = head + paletteAt + size_t(index) * 4;
    return uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
  };
  const auto data = bytes.subspan(dataAt);
  std::vector<uint32_t> out(size_t(w) * size_t(h));
  auto row = [&](int32_t stored) { return bottomUp ? h - 1 - stored : stored; };

  if (bits == 8 && compression == kRle8) {
    std::vector<uint8_t> indices;
    if (!expandRle8(data, w, h, indices)) return false;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        out[size_t(row(y)) * size_t(w) + size_t(x)] =
            palette(indices[size_t(y) * size_t(w) + size_t(x)]);
  } else if (bits == 8 && compression == kPlain) {
    const size_t stride = (size_t(w) + 3) & ~size_t(3);
    if (data.size() < stride * size_t(h)) return false;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        out[size_t(row(y)) * size_t(w) + size_t(x)] = palette(data[size_t(y) * stride + size_t(x)]);
  } else if (bits == 24 && compression == kPlain) {
    const size_t stride = (size_t(w) * 3 + 3) & ~size_t(3);
    if (data.size() < stride * size_t(h)) return false;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const uint8_t* q = data.data() + size_t(y) * stride + size_t(x) * 3;
        out[size_t(row(y)) * size_t(w) + size_t(x)] =
            uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
      }
  } else {
    return false;
  }
  width = w;
  height = h;
  pixels = std::move(out);
  return true;
}
