// Draws the editor's three images and writes them as 8-bit run-length coded
// bitmap files: the background (851 × 311) with the product name, the vendor
// string and a line diagram of the string model, the knob face (40 × 40) and
// the knob handle (7 × 7).
// Usage: quillstave-imagegen <regular.ttf> <bold.ttf> <output folder>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct Rgb {
  int r, g, b;
};

constexpr Rgb kPanelGrey{128, 128, 128};
constexpr Rgb kPanelBlue{75, 183, 228};
constexpr Rgb kInkBlue{22, 112, 150};
constexpr Rgb kGold{228, 189, 31};
constexpr Rgb kLettering{236, 236, 236};
constexpr Rgb kDiagram{204, 204, 204};
constexpr int kSub = 4;      // supersampling per axis for shapes
constexpr int kLevels = 16;  // coverage levels kept, so colours stay few

class Image {
 public:
  Image(int w, int h, Rgb fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

  // Blends colour in with coverage 0..1, rounded to kLevels steps.
  void blend(int x, int y, double coverage, Rgb c) {
    if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0) return;
    const double a = std::round(std::min(coverage, 1.0) * kLevels) / kLevels;
    Rgb& p = pixels[size_t(y) * size_t(width) + size_t(x)];
    auto mix = [a](int d, int s) { return int(std::lround(d + (s - d) * a)); };
    p = Rgb{mix(p.r, c.r), mix(p.g, c.g), mix(p.b, c.b)};
  }

  int width, height;
  std::vector<Rgb> pixels;
};

// Coverage of a pixel by a shape, from kSub × kSub samples.
template <typename Inside>
double coverage(int x, int y, Inside inside) {
  int hits = 0;
  for (int j = 0; j < kSub; ++j)
    for (int i = 0; i < kSub; ++i)
      if (inside(x + (i + 0.5) / kSub, y + (j + 0.5) / kSub)) ++hits;
  return double(hits) / (kSub * kSub);
}

void disc(Image& img, double cx, double cy, double r, Rgb c) {
  for (int y = int(cy - r) - 1; y <= int(cy + r) + 1; ++y)
    for (int x = int(cx - r) - 1; x <= int(cx + r) + 1; ++x)
      img.blend(x, y,
                coverage(x, y,
                         [&](double px, double py) {
                           return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
                         }),
                c);
}

// A one-pixel line between pixel centres.
void line(Image& img, double x0, double y0, double x1, double y1, Rgb c) {
  x0 += 0.5, y0 += 0.5, x1 += 0.5, y1 += 0.5;
  const double dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-9);
  for (int y = int(std::min(y0, y1)) - 1; y <= int(std::max(y0, y1)) + 1; ++y)
    for (int x = int(std::min(x0, x1)) - 1; x <= int(std::max(x0, x1)) + 1; ++x)
      img.blend(x, y,
                coverage(x, y,
                         [&](double px, double py) {
                           const double t =
                               std::clamp(((px - x0) * dx + (py - y0) * dy) / len2, 0.0, 1.0);
                           const double ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
                           return ex * ex + ey * ey <= 0.25;
                         }),
                c);
}

void ring(Image& img, double cx, double cy, double r, Rgb c) {
  cx += 0.5, cy += 0.5;
  for (int y = int(cy - r) - 2; y <= int(cy + r) + 2; ++y)
    for (int x = int(cx - r) - 2; x <= int(cx + r) + 2; ++x)
      img.blend(x, y,
                coverage(x, y,
                         [&](double px, double py) {
                           return std::fabs(std::hypot(px - cx, py - cy) - r) <= 0.5;
                         }),
                c);
}

void box(Image& img, int l, int t, int r, int b, Rgb c) {
  line(img, l, t, r, t, c);
  line(img, l, b, r, b, c);
  line(img, l, t, l, b, c);
  line(img, r, t, r, b, c);
}

void arrowHead(Image& img, int x, int y, int dx, int dy, Rgb c) {
  line(img, x, y, x - 2 * dx - 2 * dy, y - 2 * dy - 2 * dx, c);
  line(img, x, y, x - 2 * dx + 2 * dy, y - 2 * dy + 2 * dx, c);
}

class Typeface {
 public:
  Typeface(FT_Library lib, const char* path) { ok = FT_New_Face(lib, path, 0, &face) == 0; }
  ~Typeface() {
    if (ok) FT_Done_Face(face);
  }
  Typeface(const Typeface&) = delete;
  Typeface& operator=(const Typeface&) = delete;

  // Ink box of text at a pixel size: left, top (relative to pen/baseline), right, bottom.
  void measure(const std::string& text, int px, int& l, int& t, int& r, int& b) {
    FT_Set_Pixel_Sizes(face, 0, px);
    int pen = 0;
    l = t = 1 << 20, r = b = -(1 << 20);
    for (char ch : text) {
      FT_Load_Char(face, FT_ULong(ch), FT_LOAD_RENDER);
      const FT_GlyphSlot g = face->glyph;
      if (g->bitmap.width > 0) {
        l = std::min(l, pen + g->bitmap_left);
        r = std::max(r, pen + g->bitmap_left + int(g->bitmap.width));
        t = std::min(t, -g->bitmap_top);
        b = std::max(b, -g->bitmap_top + int(g->bitmap.rows));
      }
      pen += int((g->advance.x + 32) >> 6);
    }
  }
  // Draws text with its ink box's top-left corner at (x, y).
  void draw(Image& img, const std::string& text, int px, int x, int y, Rgb c) {
    int l, t, r, b;
    measure(text, px, l, t, r, b);
    int pen = x - l;
    const int baseline = y - t;
    for (char ch : text) {
      FT_Load_Char(face, FT_ULong(ch), FT_LOAD_RENDER);
      const FT_GlyphSlot g = face->glyph;
      for (unsigned j = 0; j < g->bitmap.rows; ++j)
        for (unsigned i = 0; i < g->bitmap.width; ++i)
          img.blend(pen + g->bitmap_left + int(i), baseline - g->bitmap_top + int(j),
                    g->bitmap.buffer[j * unsigned(g->bitmap.pitch) + i] / 255.0, c);
      pen += int((g->advance.x + 32) >> 6);
    }
  }
  // The largest size up to maxPx whose ink fits w × h.
  int fit(const std::string& text, int maxPx, int w, int h) {
    for (int px = maxPx; px > 4; --px) {
      int l, t, r, b;
      measure(text, px, l, t, r, b);
      if (r - l <= w && b - t <= h) return px;
    }
    return 5;
  }
  bool ok = false;

 private:
  FT_Face face = nullptr;
};

// The two cross-coupled string loops, each a summing junction, a loop filter
// H(z) and a delay z^-N fed back to the junction, mixed with weights p and
// 1 − p into a junction and the output filter L(z). Fits x 13..129, y 64..124.
void drawDiagram(Image& img, Typeface& small) {
  const Rgb c = kDiagram;
  const int px = 9;
  small.draw(img, "in", px, 13, 90, c);
  line(img, 22, 93, 26, 93, c);
  line(img, 26, 73, 26, 113, c);
  for (int row : {73, 113}) {
    const bool top = row == 73;
    line(img, 26, row, 30, row, c);
    arrowHead(img, 30, row, 1, 0, c);
    ring(img, 34, row, 3.5, c);
    line(img, 30, row, 38, row, c);  // junction cross
    line(img, 34, row - 4, 34, row + 4, c);
    line(img, 38, row, 41, row, c);
    box(img, 41, row - 6, 63, row + 6, c);
    small.draw(img, "H(z)", px, 43, row - 3, c);
    line(img, 63, row, 66, row, c);
    box(img, 66, row - 6, 88, row + 6, c);
    small.draw(img, "z-N", px, 70, row - 3, c);
    line(img, 88, row, 98, row, c);
    const int back = top ? 65 : 122;  // feedback around the loop
    line(img, 92, row, 92, back, c);
    line(img, 92, back, 34, back, c);
    line(img, 34, back, 34, top ? row - 4 : row + 4, c);
    arrowHead(img, 34, top ? row - 4 : row + 4, 0, top ? 1 : -1, c);
  }
  // Cross-coupling between the loops.
  line(img, 64, 79, 64, 107, c);
  // Output weights into the output junction.
  line(img, 98, 73, 98, 88, c);
  line(img, 98, 113, 98, 98, c);
  small.draw(img, "p", px, 100, 76, c);
  small.draw(img, "1-p", px, 100, 101, c);
  ring(img, 102, 93, 3.5, c);
  line(img, 98, 88, 100, 90, c);
  line(img, 98, 98, 100, 96, c);
  line(img, 106, 93, 109, 93, c);
  box(img, 109, 86, 129, 100, c);
  small.draw(img, "L(z)", px, 112, 90, c);
  line(img, 119, 100, 119, 112, c);
  arrowHead(img, 119, 112, 0, 1, c);
  small.draw(img, "out", px, 113, 115, c);
}

bool writeBmp(const Image& img, const std::string& path) {
  std::map<uint32_t, uint8_t> index;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> indices;
  for (const Rgb& p : img.pixels) {
    const uint32_t key = uint32_t(p.r) << 16 | uint32_t(p.g) << 8 | uint32_t(p.b);
    auto it = index.find(key);
    if (it == index.end()) {
      if (palette.size() == 256) return false;
      it = index.emplace(key, uint8_t(palette.size())).first;
      palette.push_back(key);
    }
    indices.push_back(it->second);
  }
  std::vector<uint8_t> data;  // rows bottom-up as runs, each row ended
  for (int y = img.height - 1; y >= 0; --y) {
    const uint8_t* row = indices.data() + size_t(y) * size_t(img.width);
    for (int x = 0; x < img.width;) {
      int n = 1;
      while (x + n < img.width && n < 255 && row[x + n] == row[x]) ++n;
      data.push_back(uint8_t(n));
      data.push_back(row[x]);
      x += n;
    }
    data.insert(data.end(), {0, uint8_t(y == 0 ? 1 : 0)});
  }
  std::vector<uint8_t> out;
  auto put16 = [&](uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
  const uint32_t dataAt = 14 + 40 + uint32_t(palette.size()) * 4;
  out.insert(out.end(), {'B', 'M'});
  put32(dataAt + uint32_t(data.size()));
  put32(0);
  put32(dataAt);
  put32(40);
  put32(uint32_t(img.width));
  put32(uint32_t(img.height));
  put16(1);
  put16(8);
  put32(1);  // run-length coded, 8 bits
  put32(uint32_t(data.size()));
  put32(2835);
  put32(2835);
  put32(uint32_t(palette.size()));
  put32(0);
  for (uint32_t c : palette) put32(c);
  out.insert(out.end(), data.begin(), data.end());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: quillstave-imagegen <regular.ttf> <bold.ttf> <output folder>\n");
    return 1;
  }
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib)) return 1;
  const std::string folder = argv[3];
  bool ok = true;
  {
    Typeface regular(lib, argv[1]), bold(lib, argv[2]);
    if (!regular.ok || !bold.ok) {
      std::fprintf(stderr, "imagegen: cannot open the fonts\n");
      return 1;
    }
    Image background(851, 311, kPanelGrey);
    const std::string name = "Quillstave", vendor = "quillstave.org";
    bold.draw(background, name, bold.fit(name, 40, 124, 18), 6, 13, kLettering);
    int l, t, r, b;
    const int vendorPx = regular.fit(vendor, 13, 111, 12);
    regular.measure(vendor, vendorPx, l, t, r, b);
    regular.draw(background, vendor, vendorPx, 12 + (111 - (r - l)) / 2, 41, kLettering);
    drawDiagram(background, regular);
    ok = writeBmp(background, folder + "/background.bmp") && ok;

    Image face(40, 40, kPanelBlue);
    disc(face, 20, 20, 19, kInkBlue);
    ok = writeBmp(face, folder + "/knob_face.bmp") && ok;

    Image handle(7, 7, kInkBlue);
    disc(handle, 3.5, 3.5, 3.5, kGold);
    ok = writeBmp(handle, folder + "/knob_handle.bmp") && ok;
  }
  FT_Done_FreeType(lib);
  if (!ok) std::fprintf(stderr, "imagegen: cannot write the images\n");
  return ok ? 0 : 1;
}
