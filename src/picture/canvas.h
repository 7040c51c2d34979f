#pragma once
// The few drawing operations the route picture needs, so the same drawing code paints on the
// window (Qt's painter) and into a PNG file of the batch converter (a software raster).

#include <cstdint>
#include <string>
#include <vector>

namespace kursolin {

/// A colour with its opacity.
struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

/// Nothing drawn (an outline left out).
inline constexpr Rgba kNoColour{0, 0, 0, 0};

/// A point on the canvas, in pixels from its top left corner.
struct CanvasPoint {
  double x = 0, y = 0;
};

/// Borrowed RGBA pixels (4 bytes a pixel, rows top first, no padding), such as a map tile.
struct RgbaPixels {
  const std::uint8_t* data = nullptr;
  int width = 0, height = 0;
};

/// An axis-parallel rectangle, in pixels of a canvas or of an image.
struct PixelRect {
  double x = 0, y = 0, w = 0, h = 0;
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  /// Fills an axis-parallel rectangle.
  virtual void fillRect(double x, double y, double w, double h, Rgba colour) = 0;
  /// Connected straight segments through the points.
  virtual void polyline(const std::vector<CanvasPoint>& points, double lineWidth, Rgba colour) = 0;
  /// A filled circle with an outline of one pixel (an outline with alpha 0 draws none).
  virtual void disc(CanvasPoint centre, double radius, Rgba fill, Rgba outline) = 0;
  /// Text (cp1252) with its top left corner at the point.
  virtual void text(CanvasPoint topLeft, const std::string& cp1252, Rgba colour) = 0;
  /// Width and height in pixels of a text as text() draws it.
  virtual int textWidth(const std::string& cp1252) const = 0;
  virtual int textHeight() const = 0;
  /// The part `from` of an image scaled into the rectangle `to`, with the opacity (0..1)
  /// on top of the image's own alpha.
  virtual void image(const RgbaPixels& pixels, PixelRect from, PixelRect to, double opacity) = 0;
};

}  // namespace kursolin
