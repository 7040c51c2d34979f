// Web Mercator tile math: zoom levels for picture scales, the tiles of a view and their places,
// the TMS row of map files, and lower tiles standing in for missing ones.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

#include "picture/recent_tiles.h"
#include "picture/tiles.h"

namespace kursolin {
namespace {

TEST(Tiles, ZoomFollowsTheScaleWithinTheSourcesLevels) {
  const double z10 = 256.0 * 1024;
  struct Case {
    double scale;
    int minZoom, maxZoom, zoom;
  } cases[] = {
      {256, 0, 19, 0},
      {512, 0, 19, 1},
      {z10, 0, 19, 10},
      {z10 * 1.40, 0, 19, 10},  // drawn 1.4 times their size
      {z10 * 1.42, 0, 19, 11},  // past the square root of 2 the next level is nearer
      {z10 * 0.72, 0, 19, 10},
      {z10 * 0.70, 0, 19, 9},
      {256.0 * (1 << 25), 0, 19, 19},  // never beyond the source's deepest level
      {256.0 * 8, 5, 14, 5},           // nor above its first
      {100, 0, 19, 0},
      {0, 3, 10, 3},
      {-5, 3, 10, 3},
      {std::numeric_limits<double>::quiet_NaN(), 3, 10, 3},
      {std::numeric_limits<double>::infinity(), 3, 10, 3},
      {256.0 * 4096, 8, 4, 8},  // a source whose levels are the wrong way round
      {256.0 * 1024, -3, 40, 10},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(zoomForScale(c.scale, c.minZoom, c.maxZoom), c.zoom)
        << c.scale << " [" << c.minZoom << ", " << c.maxZoom << "]";
  }
}

TEST(Tiles, TheViewIsCoveredRowByRowWrappedInXAndCutAtThePoles) {
  struct Placed {
    TileKey key;
    double x, y, w, h;
  };
  struct Case {
    const char* what;
    TileView view;
    int z;
    std::vector<Placed> tiles;
  } cases[] = {
      {"the world at zoom 1",
       {{0.5, 0.5}, 512, 512, 512},
       1,
       {{{1, 0, 0}, 0, 0, 256, 256},
        {{1, 1, 0}, 256, 0, 256, 256},
        {{1, 0, 1}, 0, 256, 256, 256},
        {{1, 1, 1}, 256, 256, 256, 256}}},
      {"one tile exactly", {{0.375, 0.375}, 1024, 256, 256}, 2, {{{2, 1, 1}, 0, 0, 256, 256}}},
      {"moved by ten pixels: two tiles that meet",
       {{0.375 + 10.0 / 1024, 0.375}, 1024, 256, 256},
       2,
       {{{2, 1, 1}, -10, 0, 256, 256}, {{2, 2, 1}, 246, 0, 256, 256}}},
      {"across the date line the columns wrap",
       {{0.0, 0.5}, 512, 512, 256},
       1,
       {{{1, 1, 0}, 0, -128, 256, 256},
        {{1, 0, 0}, 256, -128, 256, 256},
        {{1, 1, 1}, 0, 128, 256, 256},
        {{1, 0, 1}, 256, 128, 256, 256}}},
      {"north of the pole nothing",
       {{0.5, 0.0}, 512, 512, 512},
       1,
       {{{1, 0, 0}, 0, 256, 256, 256}, {{1, 1, 0}, 256, 256, 256, 256}}},
      {"tiles drawn at 1.25 times their size keep whole-pixel edges",
       {{0.5, 0.5}, 640, 100, 100},
       1,
       {{{1, 0, 0}, -270, -270, 320, 320},
        {{1, 1, 0}, 50, -270, 320, 320},
        {{1, 0, 1}, -270, 50, 320, 320},
        {{1, 1, 1}, 50, 50, 320, 320}}},
      {"a view beyond the south pole", {{0.5, 3.0}, 512, 512, 512}, 1, {}},
      {"no size", {{0.5, 0.5}, 512, 0, 512}, 1, {}},
      {"no scale", {{0.5, 0.5}, 0, 512, 512}, 1, {}},
  };
  for (const Case& c : cases) {
    const auto got = tilesCovering(c.view, c.z, 1024);
    ASSERT_TRUE(got) << c.what;
    ASSERT_EQ(got->size(), c.tiles.size()) << c.what;
    for (std::size_t i = 0; i < c.tiles.size(); ++i) {
      const PlacedTile& t = (*got)[i];
      const Placed& e = c.tiles[i];
      EXPECT_EQ(t.key, e.key) << c.what << " #" << i;
      EXPECT_EQ(t.rect.x, e.x) << c.what << " #" << i;
      EXPECT_EQ(t.rect.y, e.y) << c.what << " #" << i;
      EXPECT_EQ(t.rect.w, e.w) << c.what << " #" << i;
      EXPECT_EQ(t.rect.h, e.h) << c.what << " #" << i;
    }
  }
}

TEST(Tiles, AViewNeedingTooManyTilesGetsNone) {
  // Zoom 8 tiles for the whole world: 65536 of them.
  EXPECT_FALSE(tilesCovering({{0.5, 0.5}, 512, 512, 512}, 8, 1024));
  EXPECT_TRUE(tilesCovering({{0.5, 0.5}, 512, 512, 512}, 3, 1024));
}

TEST(Tiles, NeighboursShareTheirEdgesAtAnyOffset) {
  // Fractional scales and centres: every pixel column of the canvas belongs to exactly one tile.
  for (double scale : {300.0, 777.7, 1500.25}) {
    for (double cx : {0.1234567, 0.5, 0.987654}) {
      const TileView view{{cx, 0.5}, scale, 640, 8};
      const auto tiles = tilesCovering(view, zoomForScale(scale, 0, 19), 1024);
      ASSERT_TRUE(tiles);
      std::vector<int> cover(640, 0);
      for (const PlacedTile& t : *tiles) {
        if (!(t.rect.y <= 0 && t.rect.y + t.rect.h > 0)) continue;  // the canvas's top row
        for (int x = static_cast<int>(t.rect.x); x < t.rect.x + t.rect.w; ++x) {
          if (x >= 0 && x < 640) ++cover[static_cast<std::size_t>(x)];
        }
      }
      for (int x = 0; x < 640; ++x) {
        ASSERT_EQ(cover[static_cast<std::size_t>(x)], 1) << scale << " " << cx << " at " << x;
      }
    }
  }
}

TEST(Tiles, KeysRowsAndLowerTiles) {
  struct Row {
    TileKey key;
    long long tms;
  } rows[] = {{{0, 0, 0}, 0},     {{1, 0, 0}, 1},     {{1, 1, 1}, 0},
              {{10, 3, 0}, 1023}, {{10, 3, 1023}, 0}, {{24, 0, 5}, (1LL << 24) - 6}};
  for (const Row& r : rows) EXPECT_EQ(tmsRow(r.key), r.tms) << r.key.z << "/" << r.key.y;

  struct Valid {
    TileKey key;
    bool valid;
  } valids[] = {{{0, 0, 0}, true},   {{1, 1, 1}, true},
                {{1, 2, 0}, false},  {{1, 0, 2}, false},
                {{-1, 0, 0}, false}, {{25, 0, 0}, false},
                {{2, -1, 0}, false}, {{24, (1 << 24) - 1, 0}, true}};
  for (const Valid& v : valids) {
    EXPECT_EQ(validTile(v.key), v.valid) << v.key.z << "/" << v.key.x << "/" << v.key.y;
  }

  struct Lower {
    TileKey key;
    int levels;
    TileKey parent;
    double x, y, size;
  } lowers[] = {
      {{3, 5, 6}, 0, {3, 5, 6}, 0, 0, 256},    {{3, 5, 6}, 1, {2, 2, 3}, 128, 0, 128},
      {{3, 5, 6}, 2, {1, 1, 1}, 64, 128, 64},  {{3, 5, 6}, 3, {0, 0, 0}, 160, 192, 32},
      {{3, 5, 6}, 9, {0, 0, 0}, 160, 192, 32},  // no further up than the world
  };
  for (const Lower& l : lowers) {
    const LowerTile got = lowerTile(l.key, l.levels);
    EXPECT_EQ(got.key, l.parent) << l.levels;
    EXPECT_EQ(got.part.x, l.x) << l.levels;
    EXPECT_EQ(got.part.y, l.y) << l.levels;
    EXPECT_EQ(got.part.w, l.size) << l.levels;
    EXPECT_EQ(got.part.h, l.size) << l.levels;
  }
}

// A source holding some tiles, counting what is asked of it.
class SomeTiles : public TileSource {
 public:
  explicit SomeTiles(int minZoom) : minZoom_(minZoom) {}
  std::string attribution() const override { return {}; }
  int minZoom() const override { return minZoom_; }
  int maxZoom() const override { return 20; }
  std::shared_ptr<const TileImage> tile(const TileKey& key) override {
    ++asked;
    auto it = tiles.find(key);
    return it == tiles.end() ? nullptr : it->second;
  }
  std::map<TileKey, std::shared_ptr<const TileImage>> tiles;
  int asked = 0;

 private:
  int minZoom_;
};

TEST(Tiles, TheNearestLowerTileStandsInForAMissingOne) {
  auto world = std::make_shared<const TileImage>();
  auto north = std::make_shared<const TileImage>();
  SomeTiles source(0);
  source.tiles[{0, 0, 0}] = world;
  source.tiles[{1, 0, 0}] = north;

  auto sub = substituteTile(source, {3, 1, 1});
  ASSERT_TRUE(sub);
  EXPECT_EQ(sub->image, north) << "the nearest level that has one";
  EXPECT_EQ(sub->lower.key, (TileKey{1, 0, 0}));
  EXPECT_EQ(sub->lower.part.x, 64);
  EXPECT_EQ(sub->lower.part.w, 64);

  sub = substituteTile(source, {2, 3, 3});
  ASSERT_TRUE(sub);
  EXPECT_EQ(sub->image, world);

  // Six levels up at most: a part of four pixels still shows something.
  EXPECT_TRUE(substituteTile(source, {6, 0, 0}));
  EXPECT_TRUE(substituteTile(source, {7, 0, 0}));
  source.asked = 0;
  EXPECT_FALSE(substituteTile(source, {8, 200, 200}));
  EXPECT_EQ(source.asked, 6);

  SomeTiles deep(2);
  deep.tiles[{1, 0, 0}] = north;
  EXPECT_FALSE(substituteTile(deep, {3, 0, 0})) << "no level above the source's first";
}

TEST(Tiles, TheMemoryOfTilesDropsTheLeastRecentlyUsed) {
  RecentTiles<int> recent(2);
  recent.put({1, 0, 0}, 10);
  recent.put({1, 1, 0}, 11);
  ASSERT_TRUE(recent.find({1, 0, 0}));  // now the most recent
  recent.put({1, 0, 1}, 12);
  EXPECT_EQ(recent.size(), 2u);
  EXPECT_FALSE(recent.find({1, 1, 0}));
  ASSERT_TRUE(recent.find({1, 0, 0}));
  EXPECT_EQ(*recent.find({1, 0, 0}), 10);
  recent.put({1, 0, 0}, 20);  // replaced, not added
  EXPECT_EQ(recent.size(), 2u);
  EXPECT_EQ(*recent.find({1, 0, 0}), 20);
  EXPECT_EQ(*recent.find({1, 0, 1}), 12);
}

}  // namespace
}  // namespace kursolin
