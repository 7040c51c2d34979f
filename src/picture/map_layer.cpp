#include "picture/map_layer.h"

#include <algorithm>
#include <cmath>

namespace kursolin {

namespace {

constexpr int kAttributionPadding = 2;

// A tile image drawn into its place through the veil: white below, the tile at the rest of the
// opacity over it, which is the tile washed towards white.
void drawTile(Canvas& canvas, const TileImage& image, PixelRect from, PixelRect to, double veil) {
  if (veil > 0) canvas.fillRect(to.x, to.y, to.w, to.h, MapColours::veil);
  canvas.image(image.pixels(), from, to, 1.0 - veil);
}

}  // namespace

PixelRect mapAttributionBox(const Canvas& canvas, const std::string& text) {
  if (text.empty()) return {};
  // Bottom right, where map credits are looked for.
  const double w = canvas.textWidth(text) + 2 * kAttributionPadding;
  const double h = canvas.textHeight() + 2 * kAttributionPadding;
  return {std::max(0.0, canvas.width() - w), std::max(0.0, canvas.height() - h), w, h};
}

PixelRect drawMapAttribution(Canvas& canvas, const std::string& text) {
  const PixelRect box = mapAttributionBox(canvas, text);
  if (box.w <= 0) return box;
  // The box keeps the text readable on any map.
  canvas.fillRect(box.x, box.y, box.w, box.h, MapColours::attributionBox);
  canvas.text({box.x + kAttributionPadding, box.y + kAttributionPadding}, text,
              MapColours::attributionText);
  return box;
}

MapDrawResult drawMapTiles(Canvas& canvas, UnitPoint centre, double scale, TileSource& source,
                           const MapOptions& options) {
  MapDrawResult result;
  const TileView view{centre, scale, canvas.width(), canvas.height()};
  result.zoom = zoomForScale(scale, source.minZoom(), source.maxZoom());
  const auto tiles = tilesCovering(view, result.zoom, options.maxTiles);
  if (!tiles) {
    result.tooFar = true;
    return result;
  }
  const double veil = std::clamp(options.veil, 0.0, 1.0);
  std::vector<const PlacedTile*> lacking;
  for (const PlacedTile& placed : *tiles) {
    if (auto image = source.tile(placed.key)) {
      drawTile(canvas, *image,
               {0, 0, static_cast<double>(image->width), static_cast<double>(image->height)},
               placed.rect, veil);
      ++result.drawn;
      continue;
    }
    lacking.push_back(&placed);
    if (auto lower = substituteTile(source, placed.key)) {
      // The part is measured in a 256-pixel tile; a larger image has more pixels for it.
      const double k = static_cast<double>(lower->image->width) / kTileSize;
      const PixelRect part = lower->lower.part;
      drawTile(canvas, *lower->image, {part.x * k, part.y * k, part.w * k, part.h * k}, placed.rect,
               veil);
      ++result.substituted;
    }
  }
  // The centre first: what the user looks at arrives first.
  const double cx = canvas.width() / 2.0, cy = canvas.height() / 2.0;
  const auto distance = [&](const PlacedTile* t) {
    return std::hypot(t->rect.x + t->rect.w / 2 - cx, t->rect.y + t->rect.h / 2 - cy);
  };
  std::stable_sort(lacking.begin(), lacking.end(), [&](const PlacedTile* a, const PlacedTile* b) {
    return distance(a) < distance(b);
  });
  for (const PlacedTile* t : lacking) {
    // A view wider than the world shows some tiles twice; each is wanted once.
    if (std::find(result.missing.begin(), result.missing.end(), t->key) == result.missing.end()) {
      result.missing.push_back(t->key);
    }
  }
  if (result.drawn + result.substituted > 0 && options.attribution) {
    result.attribution = drawMapAttribution(canvas, source.attribution());
  }
  return result;
}

}  // namespace kursolin
