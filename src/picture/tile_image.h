#pragma once
// A map tile decoded to RGBA pixels from the PNG or JPEG bytes a map file or a tile server gives.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "picture/canvas.h"

namespace kursolin {

/// The largest edge a tile may have: tiles are 256 or 512 pixels, so anything far beyond is
/// damage, and its pixels must not be allocated.
inline constexpr int kMaxTileEdge = 4096;

struct TileImage {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgba;  // 4 bytes a pixel, rows top first
  /// The pixel at x, y (transparent outside).
  Rgba at(int x, int y) const;
  /// The pixels as a canvas draws them (valid while the image lives).
  RgbaPixels pixels() const { return {rgba.data(), width, height}; }
};

/// The image in the bytes (PNG or JPEG), or nullopt with a short German reason in `error`
/// ("kein PNG- oder JPEG-Bild", "beschädigtes PNG-Bild: …").
std::optional<TileImage> decodeTileImage(std::string_view bytes, std::string* error = nullptr);

}  // namespace kursolin
