#pragma once
// Map tiles in the Web Mercator XYZ scheme (256 pixels, y from the north) over the unit plane of
// the route picture, and the interface of whatever supplies them: an offline map file or a tile
// server. Drawing never waits for a tile; it takes what a source has and asks for the rest.

#include <compare>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picture/canvas.h"
#include "picture/tile_image.h"

namespace kursolin {

/// Edge length of a tile in pixels.
inline constexpr int kTileSize = 256;
/// The deepest zoom level any source may claim (tiles of a few centimetres).
inline constexpr int kMaxTileZoom = 24;

/// One tile: zoom level, column from 180° W, row from 85.05° N.
struct TileKey {
  int z = 0, x = 0, y = 0;
  auto operator<=>(const TileKey&) const = default;
};

/// Rows or columns of tiles at a zoom level (2^z).
inline long long tilesPerSide(int z) {
  return 1LL << z;
}

/// The row of the key in the TMS scheme of MBTiles files (counted from the south).
inline long long tmsRow(const TileKey& key) {
  return tilesPerSide(key.z) - 1 - key.y;
}

/// Whether the key names a tile of the world at a zoom level of 0 to kMaxTileZoom.
bool validTile(const TileKey& key);

/// A point of the picture's unit plane: x east from 180° W, y south from 85.05° N, both 0..1.
struct UnitPoint {
  double x = 0, y = 0;
};

/// What a picture shows: its centre, its scale in pixels per unit, its size in pixels.
struct TileView {
  UnitPoint centre{0.5, 0.5};
  double scale = kTileSize;
  int width = 1, height = 1;
};

/// The zoom level whose tiles come closest to their own size at the scale (pixels per unit; at
/// zoom z one unit is 256 * 2^z pixels), never below minZoom nor beyond maxZoom.
int zoomForScale(double scale, int minZoom, int maxZoom);

/// A tile of a view and where it goes on the canvas (whole pixels, so tiles meet without seams).
struct PlacedTile {
  TileKey key;
  PixelRect rect;
};

/// The tiles at zoom z that cover the view, row by row, their columns wrapped around the world
/// and rows beyond the poles left out; nullopt when they would be more than maxTiles.
std::optional<std::vector<PlacedTile>> tilesCovering(const TileView& view, int z,
                                                     std::size_t maxTiles);

/// Supplies decoded tiles. tile() answers at once with what the source has; want() may start
/// fetching the tiles it lacks (a map file has all it will ever have, so it does nothing).
class TileSource {
 public:
  virtual ~TileSource() = default;
  /// Who made the map, to be shown on it (cp1252; empty when unknown).
  virtual std::string attribution() const = 0;
  virtual int minZoom() const = 0;
  virtual int maxZoom() const = 0;
  /// The tile when the source has it now, else nullptr; never waits for it.
  virtual std::shared_ptr<const TileImage> tile(const TileKey& key) = 0;
  /// Tells the source which tiles the picture lacks; it may start fetching them.
  virtual void want(const std::vector<TileKey>& keys) { (void)keys; }
};

/// The tile of a lower zoom level that contains the key's tile, and the part of it that covers
/// the key's area (in pixels of a 256-pixel tile; a larger image scales it by its width).
struct LowerTile {
  TileKey key;
  PixelRect part;
};
/// The key's ancestor `levels` zoom levels up and the part of it that the key covers.
LowerTile lowerTile(const TileKey& key, int levels);

/// A stand-in for a missing tile: the nearest lower tile the source has, with the part of it
/// to scale up (at most a few levels up, where a part still has some pixels).
struct Substitute {
  std::shared_ptr<const TileImage> image;
  LowerTile lower;
};
std::optional<Substitute> substituteTile(TileSource& source, const TileKey& key);

}  // namespace kursolin
