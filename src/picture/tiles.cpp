#include "picture/tiles.h"

#include <algorithm>
#include <cmath>

namespace kursolin {

namespace {

// A part smaller than 4 x 4 pixels of a tile far up says nothing about the place.
constexpr int kMaxSubstituteLevels = 6;

}  // namespace

bool validTile(const TileKey& key) {
  if (key.z < 0 || key.z > kMaxTileZoom) return false;
  const long long n = tilesPerSide(key.z);
  return key.x >= 0 && key.y >= 0 && key.x < n && key.y < n;
}

int zoomForScale(double scale, int minZoom, int maxZoom) {
  const int low = std::clamp(minZoom, 0, kMaxTileZoom);
  const int high = std::clamp(maxZoom, low, kMaxTileZoom);
  if (!(scale > 0) || !std::isfinite(scale)) return low;
  // Rounded in the log: tiles are drawn between 0.71 and 1.41 times their size.
  const double z = std::round(std::log2(scale / kTileSize));
  return static_cast<int>(std::clamp(z, static_cast<double>(low), static_cast<double>(high)));
}

std::optional<std::vector<PlacedTile>> tilesCovering(const TileView& view, int z,
                                                     std::size_t maxTiles) {
  std::vector<PlacedTile> placed;
  if (z < 0 || z > kMaxTileZoom || !(view.scale > 0) || !std::isfinite(view.scale) ||
      !std::isfinite(view.centre.x) || !std::isfinite(view.centre.y) || view.width <= 0 ||
      view.height <= 0) {
    return placed;
  }
  const long long n = tilesPerSide(z);
  const double halfW = view.width / 2.0, halfH = view.height / 2.0;
  // Tile edges in unit-plane tile numbers; far beyond the world the view holds nothing.
  const double left = (view.centre.x - halfW / view.scale) * n;
  const double right = (view.centre.x + halfW / view.scale) * n;
  const double top = std::max(0.0, (view.centre.y - halfH / view.scale) * n);
  const double bottom = std::min(static_cast<double>(n), (view.centre.y + halfH / view.scale) * n);
  if (!(bottom > top) || !(right > left)) return placed;
  const double columns = std::ceil(right) - std::floor(left);
  const double rows = std::ceil(bottom) - std::floor(top);
  if (columns * rows > static_cast<double>(maxTiles)) return std::nullopt;
  const long long c0 = static_cast<long long>(std::floor(left));
  const long long c1 = static_cast<long long>(std::ceil(right));
  const long long r0 = static_cast<long long>(std::floor(top));
  const long long r1 = static_cast<long long>(std::ceil(bottom));
  // Edges rounded to whole pixels, each computed once, so neighbours share them exactly.
  const auto edgeX = [&](long long c) {
    return std::round((static_cast<double>(c) / n - view.centre.x) * view.scale + halfW);
  };
  const auto edgeY = [&](long long r) {
    return std::round((static_cast<double>(r) / n - view.centre.y) * view.scale + halfH);
  };
  placed.reserve(static_cast<std::size_t>(columns * rows));
  for (long long r = r0; r < r1; ++r) {
    const double y0 = edgeY(r), y1 = edgeY(r + 1);
    if (y1 <= y0) continue;
    for (long long c = c0; c < c1; ++c) {
      const double x0 = edgeX(c), x1 = edgeX(c + 1);
      if (x1 <= x0) continue;
      const long long wrapped = ((c % n) + n) % n;
      placed.push_back(
          {{z, static_cast<int>(wrapped), static_cast<int>(r)}, {x0, y0, x1 - x0, y1 - y0}});
    }
  }
  return placed;
}

LowerTile lowerTile(const TileKey& key, int levels) {
  const int k = std::clamp(levels, 0, std::max(0, key.z));
  const double part = static_cast<double>(kTileSize) / static_cast<double>(1LL << k);
  const int mask = (1 << k) - 1;
  return {{key.z - k, key.x >> k, key.y >> k},
          {(key.x & mask) * part, (key.y & mask) * part, part, part}};
}

std::optional<Substitute> substituteTile(TileSource& source, const TileKey& key) {
  const int levels = std::min(kMaxSubstituteLevels, key.z - std::max(0, source.minZoom()));
  for (int k = 1; k <= levels; ++k) {
    const LowerTile lower = lowerTile(key, k);
    if (auto image = source.tile(lower.key)) return Substitute{std::move(image), lower};
  }
  return std::nullopt;
}

}  // namespace kursolin
