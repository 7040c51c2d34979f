#pragma once
// A canvas of RGBA pixels drawn without any toolkit, with a small built-in bitmap font (ASCII and
// the German letters), and its PNG encoding: the batch converter's route picture.

#include <optional>
#include <string>
#include <vector>

#include "picture/canvas.h"

namespace kursolin {

class RasterCanvas : public Canvas {
 public:
  /// A canvas of the size (at least 1 x 1) filled with the colour.
  RasterCanvas(int width, int height, Rgba background);

  int width() const override { return width_; }
  int height() const override { return height_; }
  void fillRect(double x, double y, double w, double h, Rgba colour) override;
  void polyline(const std::vector<CanvasPoint>& points, double lineWidth, Rgba colour) override;
  void disc(CanvasPoint centre, double radius, Rgba fill, Rgba outline) override;
  void text(CanvasPoint topLeft, const std::string& cp1252, Rgba colour) override;
  int textWidth(const std::string& cp1252) const override;
  int textHeight() const override;
  void image(const RgbaPixels& pixels, PixelRect from, PixelRect to, double opacity) override;

  /// The pixel at x, y (opaque).
  Rgba pixel(int x, int y) const;
  /// Rows of RGBA bytes, top row first.
  const std::vector<std::uint8_t>& pixels() const { return pixels_; }

 private:
  void blend(int x, int y, Rgba c);
  void segment(CanvasPoint a, CanvasPoint b, double lineWidth, Rgba colour);
  int width_, height_;
  std::vector<std::uint8_t> pixels_;
};

/// The canvas as PNG bytes (8-bit RGB), or nullopt with a reason.
std::optional<std::string> encodePng(const RasterCanvas& canvas, std::string* error = nullptr);

/// The PNG decoded to RGBA rows, for checks of written pictures; nullopt when it is no PNG.
struct DecodedPng {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;
  Rgba at(int x, int y) const;
};
std::optional<DecodedPng> decodePng(const std::string& bytes);

}  // namespace kursolin
