#pragma once
// The map under the route picture: the tiles of the view from a tile source, lower zoom levels
// scaled up where a tile is still missing, washed lighter so the route stays readable, and the
// map's attribution in a corner.

#include <cstddef>
#include <string>
#include <vector>

#include "picture/canvas.h"
#include "picture/tiles.h"

namespace kursolin {

struct MapOptions {
  /// Strength of the white veil over the map: 0 shows it as it is, 1 hides it.
  double veil = 0.35;
  /// The most tiles one picture takes; a scale far below the source's least zoom level would
  /// need more, and then the picture stays without a map.
  std::size_t maxTiles = 1024;
  /// Draws the source's attribution in its corner; false when the caller draws it last, over
  /// whatever goes on top of the map (drawMapAttribution).
  bool attribution = true;
};

struct MapDrawResult {
  int zoom = 0;         // the zoom level of the tiles
  int drawn = 0;        // tiles drawn at that level
  int substituted = 0;  // missing tiles drawn from a lower level
  bool tooFar = false;  // the view needs more than maxTiles tiles: no map drawn
  /// Tiles of the view the source lacks, nearest the centre first (for TileSource::want).
  std::vector<TileKey> missing;
  /// The box of the attribution (width 0 when none was drawn), to keep other boxes off it.
  PixelRect attribution;
};

/// Draws the map of the view centred on `centre` at `scale` (pixels per unit) over the whole
/// canvas, where the source has tiles; the rest of the canvas stays as it was.
MapDrawResult drawMapTiles(Canvas& canvas, UnitPoint centre, double scale, TileSource& source,
                           const MapOptions& options = {});

/// The box the attribution text takes in the bottom right corner of the canvas (width 0 for
/// an empty text).
PixelRect mapAttributionBox(const Canvas& canvas, const std::string& cp1252);
/// Draws the attribution text in its box in the bottom right corner; returns the box.
PixelRect drawMapAttribution(Canvas& canvas, const std::string& cp1252);

/// Colours of the map layer, so tests and the drawing agree.
struct MapColours {
  static constexpr Rgba veil{255, 255, 255, 255};
  static constexpr Rgba attributionBox{255, 255, 255, 210};
  static constexpr Rgba attributionText{50, 50, 50, 255};
};

}  // namespace kursolin
