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
  // The rest of ASCII and the German letters: a map's attribution may say anything.
  {'!', {"..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."}},
  {'"', {".#.#.", ".#.#.", ".....", ".....", ".....", ".....", "....."}},
  {'#', {".#.#.", ".#.#.", "#####", ".#.#.", "#####", ".#.#.", ".#.#."}},
  {'$', {"..#..", ".####", "#.#..", ".###.", "..#.#", "####.", "..#.."}},
  {'%', {"##...", "##..#", "...#.", "..#..", ".#...", "#..##", "...##"}},
  {'&', {".##..", "#..#.", "#.#..", ".#...", "#.#.#", "#..#.", ".##.#"}},
  {'\'', {"..#..", "..#..", ".....", ".....", ".....", ".....", "....."}},
  {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
  {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
  {'*', {".....", "..#..", "#.#.#", ".###.", "#.#.#", "..#..", "....."}},
  {'+', {".....", "..#..", "..#..", "#####", "..#..", "..#..", "....."}},
  {'/', {".....", "....#", "...#.", "..#..", ".#...", "#....", "....."}},
  {';', {".....", ".##..", ".##..", ".....", ".##..", "..#..", ".#..."}},
  {'<', {"...#.", "..#..", ".#...", "#....", ".#...", "..#..", "...#."}},
  {'=', {".....", ".....", "#####", ".....", "#####", ".....", "....."}},
  {'>', {".#...", "..#..", "...#.", "....#", "...#.", "..#..", ".#..."}},
  {'?', {".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."}},
  {'@', {".###.", "#...#", "....#", ".##.#", "#.#.#", "#.#.#", ".###."}},
  {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
  {'B', {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."}},
  {'C', {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."}},
  {'D', {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."}},
  {'F', {"#####", "#....", "#....", "####.", "#....", "#....", "#...."}},
  {'G', {".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"}},
  {'H', {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
  {'I', {".###.", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
  {'J', {"..###", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
  {'K', {"#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"}},
  {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
  {'M', {"#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"}},
  {'P', {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."}},
  {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
  {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
  {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
  {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
  {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
  {'X', {"#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"}},
  {'Y', {"#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."}},
  {'[', {".###.", ".#...", ".#...", ".#...", ".#...", ".#...", ".###."}},
  {'\\', {".....", "#....", ".#...", "..#..", "...#.", "....#", "....."}},
  {']', {".###.", "...#.", "...#.", "...#.", "...#.", "...#.", ".###."}},
  {'^', {"..#..", ".#.#.", "#...#", ".....", ".....", ".....", "....."}},
  {'_', {".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
  {'`', {".#...", "..#..", ".....", ".....", ".....", ".....", "....."}},
  {'b', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "####."}},
  {'c', {".....", ".....", ".###.", "#....", "#....", "#...#", ".###."}},
  {'d', {"....#", "....#", ".##.#", "#..##", "#...#", "#...#", ".####"}},
  {'g', {".....", ".....", ".####", "#...#", ".####", "....#", ".###."}},
  {'h', {"#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"}},
  {'j', {"...#.", ".....", "..##.", "...#.", "...#.", "#..#.", ".##.."}},
  {'q', {".....", ".....", ".####", "#...#", ".####", "....#", "....#"}},
  {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
  {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
  {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
  {'w', {".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
  {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
  {'y', {".....", ".....", "#...#", "#...#", ".####", "....#", ".###."}},
  {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
  {'{', {"...#.", "..#..", "..#..", ".#...", "..#..", "..#..", "...#."}},
  {'|', {"..#..", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
  {'}', {".#...", "..#..", "..#..", "...#.", "..#..", "..#..", ".#..."}},
  {'~', {".....", ".....", ".#...", "#.#.#", "...#.", ".....", "....."}},
  {0xA9, {".###.", "#...#", "#.###", "#.#.#", "#.###", "#...#", ".###."}},  // copyright sign
  {0xC4, {".#.#.", "..#..", ".#.#.", "#...#", "#####", "#...#", "#...#"}},
  {0xD6, {".#.#.", ".###.", "#...#", "#...#", "#...#", "#...#", ".###."}},
  {0xDC, {".#.#.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
  {0xDF, {".##..", "#..#.", "#..#.", "#.#..", "#..#.", "#...#", "#.##."}},
  {0xE4, {".#.#.", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
  {0xF6, {".#.#.", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
  {0xFC, {".#.#.", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
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

void RasterCanvas::image(const RgbaPixels& pixels, PixelRect from, PixelRect to, double opacity) {
  if (!pixels.data || pixels.width <= 0 || pixels.height <= 0) return;
  if (!(from.w > 0 && from.h > 0 && to.w > 0 && to.h > 0 && opacity > 0)) return;
  // Pixels whose centres lie inside the target: two targets that share an edge share no pixel
  // and leave no gap.
  const auto first = [](double v, int limit) {
    return static_cast<int>(std::clamp(std::ceil(v - 0.5), 0.0, static_cast<double>(limit)));
  };
  const int x0 = first(to.x, width_), x1 = first(to.x + to.w, width_);
  const int y0 = first(to.y, height_), y1 = first(to.y + to.h, height_);
  const double sx = from.w / to.w, sy = from.h / to.h;
  const double alpha = std::min(1.0, opacity);
  // Samples stay inside the part drawn: what lies beside it in the image is not to be seen.
  const int left = std::clamp(static_cast<int>(std::floor(from.x)), 0, pixels.width - 1);
  const int top = std::clamp(static_cast<int>(std::floor(from.y)), 0, pixels.height - 1);
  const int right =
      std::clamp(static_cast<int>(std::ceil(from.x + from.w)) - 1, left, pixels.width - 1);
  const int bottom =
      std::clamp(static_cast<int>(std::ceil(from.y + from.h)) - 1, top, pixels.height - 1);
  const auto texel = [&](int x, int y) {
    x = std::clamp(x, left, right);
    y = std::clamp(y, top, bottom);
    return pixels.data + (static_cast<std::size_t>(y) * pixels.width + x) * 4;
  };
  for (int y = y0; y < y1; ++y) {
    // Bilinear: a tile scaled up from a lower zoom level shows no blocks.
    const double v = from.y + (y + 0.5 - to.y) * sy - 0.5;
    const int v0 = static_cast<int>(std::floor(v));
    const double fv = v - v0;
    for (int x = x0; x < x1; ++x) {
      const double u = from.x + (x + 0.5 - to.x) * sx - 0.5;
      const int u0 = static_cast<int>(std::floor(u));
      const double fu = u - u0;
      const std::uint8_t* q[4] = {texel(u0, v0), texel(u0 + 1, v0), texel(u0, v0 + 1),
                                  texel(u0 + 1, v0 + 1)};
      const double w[4] = {(1 - fu) * (1 - fv), fu * (1 - fv), (1 - fu) * fv, fu * fv};
      // Weighted by alpha, so transparent texels lend no colour to their neighbours.
      double r = 0, g = 0, b = 0, a = 0;
      for (int i = 0; i < 4; ++i) {
        const double wa = w[i] * q[i][3];
        r += wa * q[i][0];
        g += wa * q[i][1];
        b += wa * q[i][2];
        a += wa;
      }
      if (a <= 0) continue;
      const auto channel = [](double v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
      };
      blend(x, y, {channel(r / a), channel(g / a), channel(b / a), channel(a * alpha)});
    }
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
