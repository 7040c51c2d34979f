#include "picture/raster.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace kursolin {

namespace {

// A 5 x 7 font of what the picture writes: numbers, degrees, distances and the legend.
struct Glyph {
  unsigned char c;
  const char* rows[7];
};

// clang-format off
const Glyph kGlyphs[] = {
  {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
  {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
  {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
  {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
  {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
  {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
  {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
  {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
  {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
  {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
  {'.', {".....", ".....", ".....", ".....", ".....", ".##..", ".##.."}},
  {',', {".....", ".....", ".....", ".....", ".##..", "..#..", ".#..."}},
  {'-', {".....", ".....", ".....", "#####", ".....", ".....", "....."}},
  {':', {".....", ".##..", ".##..", ".....", ".##..", ".##..", "....."}},
  {0xB0, {".##..", "#..#.", "#..#.", ".##..", ".....", ".....", "....."}},
  {' ', {".....", ".....", ".....", ".....", ".....", ".....", "....."}},
  {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
  {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#...#", "#...#"}},
  {'S', {".####", "#....", "#....", ".###.", "....#", "....#", "####."}},
  {'t', {".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."}},
  {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
  {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
  {'Z', {"#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
  {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
  {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
  {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
  {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
  {'p', {".....", ".....", "####.", "#...#", "####.", "#....", "#...."}},
  {'n', {".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
  {'f', {"..##.", ".#..#", ".#...", "###..", ".#...", ".#...", ".#..."}},
  {'N', {"#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"}},
  {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
  {'W', {"#...#", "#...#", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
  {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
};
// Characters the font lacks show as a box, so a missing glyph is seen, not silently dropped.
const Glyph kUnknown = {'?', {"#####", "#...#", "#...#", "#...#", "#...#", "#...#", "#####"}};
// clang-format on

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kAdvance = kGlyphWidth + 1;

const Glyph& glyphOf(unsigned char c) {
  for (const Glyph& g : kGlyphs) {
    if (g.c == c) return g;
  }
  return kUnknown;
}

int toPixel(double v) {
  return static_cast<int>(std::floor(v));
}

}  // namespace

RasterCanvas::RasterCanvas(int width, int height, Rgba background)
    : width_(std::max(1, width)), height_(std::max(1, height)) {
  pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 4);
  for (std::size_t i = 0; i < pixels_.size(); i += 4) {
    pixels_[i] = background.r;
    pixels_[i + 1] = background.g;
    pixels_[i + 2] = background.b;
    pixels_[i + 3] = 255;
  }
}

void RasterCanvas::blend(int x, int y, Rgba c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || c.a == 0) return;
  std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  const unsigned a = c.a, rest = 255 - a;
  p[0] = static_cast<std::uint8_t>((c.r * a + p[0] * rest + 127) / 255);
  p[1] = static_cast<std::uint8_t>((c.g * a + p[1] * rest + 127) / 255);
  p[2] = static_cast<std::uint8_t>((c.b * a + p[2] * rest + 127) / 255);
}

Rgba RasterCanvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
  const std::uint8_t* p = &pixels_[(static_cast<std::size_t>(y) * width_ + x) * 4];
  return {p[0], p[1], p[2], 255};
}

void RasterCanvas::fillRect(double x, double y, double w, double h, Rgba colour) {
  const int x0 = std::max(0, toPixel(x)), y0 = std::max(0, toPixel(y));
  const int x1 = std::min(width_, toPixel(x + w)), y1 = std::min(height_, toPixel(y + h));
  for (int yy = y0; yy < y1; ++yy) {
    for (int xx = x0; xx < x1; ++xx) blend(xx, yy, colour);
  }
}

void RasterCanvas::segment(CanvasPoint a, CanvasPoint b, double lineWidth, Rgba colour) {
  // Far outside the canvas nothing is drawn (a zoomed-in view puts points millions of pixels
  // away); such segments are not clipped exactly, which the picture never needs.
  const double big = 4.0 * (width_ + height_);
  if ((a.x < -big && b.x < -big) || (a.y < -big && b.y < -big) || (a.x > big && b.x > big) ||
      (a.y > big && b.y > big))
    return;
  const double len = std::hypot(b.x - a.x, b.y - a.y);
  if (!(len < 4 * big)) return;
  const int steps = std::max(1, static_cast<int>(std::ceil(len * 2)));
  const double r = std::max(0.5, lineWidth / 2);
  const int ri = static_cast<int>(std::ceil(r));
  int lastX = std::numeric_limits<int>::min(), lastY = lastX;
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const double x = a.x + (b.x - a.x) * t, y = a.y + (b.y - a.y) * t;
    const int cx = toPixel(x), cy = toPixel(y);
    if (cx == lastX && cy == lastY) continue;
    lastX = cx;
    lastY = cy;
    if (r <= 0.5) {
      blend(cx, cy, colour);
      continue;
    }
    for (int dy = -ri; dy <= ri; ++dy) {
      for (int dx = -ri; dx <= ri; ++dx) {
        if ((dx * dx + dy * dy) <= r * r) blend(cx + dx, cy + dy, colour);
      }
    }
  }
}

void RasterCanvas::polyline(const std::vector<CanvasPoint>& points, double lineWidth, Rgba colour) {
  if (points.size() == 1) segment(points[0], points[0], lineWidth, colour);
  for (std::size_t i = 1; i < points.size(); ++i) {
    segment(points[i - 1], points[i], lineWidth, colour);
  }
}

void RasterCanvas::disc(CanvasPoint centre, double radius, Rgba fill, Rgba outline) {
  const int x0 = toPixel(centre.x - radius - 1), x1 = toPixel(centre.x + radius + 1);
  const int y0 = toPixel(centre.y - radius - 1), y1 = toPixel(centre.y + radius + 1);
  for (int y = std::max(0, y0); y <= std::min(height_ - 1, y1); ++y) {
    for (int x = std::max(0, x0); x <= std::min(width_ - 1, x1); ++x) {
      const double d = std::hypot(x + 0.5 - centre.x, y + 0.5 - centre.y);
      if (d > radius) continue;
      blend(x, y, (outline.a != 0 && d > radius - 1.2) ? outline : fill);
    }
  }
}

void RasterCanvas::text(CanvasPoint topLeft, const std::string& cp1252, Rgba colour) {
  int x = toPixel(topLeft.x);
  const int y = toPixel(topLeft.y);
  for (unsigned char c : cp1252) {
    const Glyph& g = glyphOf(c);
    for (int row = 0; row < kGlyphHeight; ++row) {
      for (int col = 0; col < kGlyphWidth; ++col) {
        if (g.rows[row][col] == '#') blend(x + col, y + row, colour);
      }
    }
    x += kAdvance;
  }
}

int RasterCanvas::textWidth(const std::string& cp1252) const {
  return cp1252.empty() ? 0 : static_cast<int>(cp1252.size()) * kAdvance - 1;
}

int RasterCanvas::textHeight() const {
  return kGlyphHeight;
}

std::optional<std::string> encodePng(const RasterCanvas& canvas, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(canvas.width());
  image.height = static_cast<png_uint_32>(canvas.height());
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb;
  rgb.reserve(canvas.pixels().size() / 4 * 3);
  for (std::size_t i = 0; i < canvas.pixels().size(); i += 4) {
    rgb.insert(rgb.end(), canvas.pixels().begin() + static_cast<std::ptrdiff_t>(i),
               canvas.pixels().begin() + static_cast<std::ptrdiff_t>(i + 3));
  }
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr)) {
    if (error) *error = image.message;
    png_image_free(&image);
    return std::nullopt;
  }
  std::string bytes(size, '\0');
  if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr)) {
    if (error) *error = image.message;
    png_image_free(&image);
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

Rgba DecodedPng::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return {};
  const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

std::optional<DecodedPng> decodePng(const std::string& bytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  image.format = PNG_FORMAT_RGBA;
  DecodedPng out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return out;
}

}  // namespace kursolin
