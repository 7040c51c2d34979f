// kursolin-cli --picture --map: the route picture over an offline map file the test writes with
// SQLite, tiles of two zoom levels in their places (rows stored from the south), the map's credits
// in the corner; map files it cannot use leave the plain picture and a message.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "picture/map_layer.h"
#include "picture/picture.h"
#include "picture/raster.h"
#include "support/cli_runner.h"
#include "support/map_tiles.h"
#include "support/nmea_writer.h"

namespace kursolin {
namespace {

constexpr int kW = 1024, kH = 768;  // the picture --picture writes
constexpr int kFine = 13, kCoarse = 12;

// Every tile its own colours, the upper half apart from the lower one, so a tile in the wrong
// place or upside down shows.
Rgba half(const TileKey& k, bool upper) {
  return {static_cast<std::uint8_t>(60 + 37 * (k.x % 5)),
          static_cast<std::uint8_t>(60 + 37 * (k.y % 5)),
          static_cast<std::uint8_t>((k.z == kFine ? 40 : 200) + (upper ? 0 : 30)), 255};
}

// What a map pixel becomes under the white veil.
Rgba veiled(Rgba c) {
  const double v = MapOptions{}.veil;
  const auto mix = [v](std::uint8_t ch) {
    return static_cast<std::uint8_t>(std::lround(255 * v + ch * (1 - v)));
  };
  return {mix(c.r), mix(c.g), mix(c.b), 255};
}

bool near(Rgba a, Rgba b) {
  return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

class CliMap : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TrackBuilder t(48.0, 11.0, 12 * 3600);
    t.add(t.current()).drive(0, 40, 300);  // 3.3 km north
    log = folder.file("fahrt.txt");
    test::writeBytes(log, test::joinCrLf(t.rmcLines()));
    GeoBounds b;
    for (const test::Fix& f : t.fixes()) b.include({f.lat, f.lon});
    view = PictureView(kW, kH);
    view.fit(b, fitMargin(kW, kH));
  }
  // The tiles of the picture at zoom z.
  std::vector<PlacedTile> tilesAt(int z) const {
    const WorldPoint c = view.centre();
    return *tilesCovering({{c.x, c.y}, view.scale(), kW, kH}, z, 1000);
  }
  test::CliResult run(std::vector<std::string> args) {
    return test::runCli(folder, std::move(args));
  }
  test::TempFolder folder;
  std::string log;
  PictureView view;
};

TEST_F(CliMap, TilesOfTwoLevelsInTheirPlacesWithTheCredits) {
  ASSERT_EQ(zoomForScale(view.scale(), kCoarse, kFine), kFine) << "the map's finest level";
  const std::string mapPath = folder.file("karte.mbtiles");
  const std::vector<PlacedTile> fine = tilesAt(kFine);
  // The fine level lacks its northern row: there the coarse tiles stand in, scaled up.
  const int northRow = fine.front().key.y;
  {
    test::MbTilesFile map(mapPath);
    map.metadata("name", "Testkarte");
    map.metadata("format", "png");
    map.metadata("attribution", "&copy; Testkarte");
    for (const PlacedTile& t : tilesAt(kCoarse)) {
      map.tile(t.key.z, t.key.x, t.key.y,
               test::pngBytes(test::twoToneTile(half(t.key, true), half(t.key, false))));
    }
    for (const PlacedTile& t : fine) {
      if (t.key.y == northRow) continue;
      map.tile(t.key.z, t.key.x, t.key.y,
               test::pngBytes(test::twoToneTile(half(t.key, true), half(t.key, false))));
    }
  }
  const std::string png = folder.file("bild.png");
  const test::CliResult r = run({"-i", "rmc", "--picture", png, "--map", mapPath, log});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(r.err, "");
  const auto picture = decodePng(test::readBytes(png));
  ASSERT_TRUE(picture);

  // Pixels left of the route and clear of the boxes, away from tile and half borders.
  int checked = 0, coarse = 0;
  for (int y = 60; y < kH - 60; y += 23) {
    for (int x = 40; x < 420; x += 29) {
      const WorldPoint c = view.centre();
      const double ux = c.x + (x + 0.5 - kW / 2.0) / view.scale();
      const double uy = c.y + (y + 0.5 - kH / 2.0) / view.scale();
      const TileKey key{kFine, static_cast<int>(ux * (1 << kFine)),
                        static_cast<int>(uy * (1 << kFine))};
      const int z = key.y == northRow ? kCoarse : kFine;
      const double n = std::ldexp(1.0, z);
      const double fx = ux * n - std::floor(ux * n), fy = uy * n - std::floor(uy * n);
      if (fx < 0.02 || fx > 0.98 || fy < 0.02 || fy > 0.98 || std::fabs(fy - 0.5) < 0.02) continue;
      const TileKey shown{z, static_cast<int>(ux * n), static_cast<int>(uy * n)};
      const Rgba expected = veiled(half(shown, fy < 0.5));
      EXPECT_TRUE(near(picture->at(x, y), expected))
          << x << "," << y << " tile " << shown.z << "/" << shown.x << "/" << shown.y;
      ++checked;
      coarse += z == kCoarse;
    }
  }
  EXPECT_GT(checked, 100);
  EXPECT_GT(coarse, 5) << "the northern row comes from the coarse level";

  // The credits in the bottom right corner: dark text on its light box.
  int credit = 0;
  for (int y = kH - 20; y < kH; ++y) {
    for (int x = kW - 120; x < kW; ++x) credit += picture->at(x, y) == MapColours::attributionText;
  }
  EXPECT_GT(credit, 30);
}

TEST_F(CliMap, UnusableMapFilesLeaveThePlainPicture) {
  const std::string noDb = folder.file("text.mbtiles"), noTables = folder.file("leer.mbtiles"),
                    badTiles = folder.file("kaputt.mbtiles");
  test::writeBytes(noDb, "kein SQLite\r\n");
  {
    test::MbTilesFile bare(noTables, false);
    bare.exec("CREATE TABLE notizen (text TEXT)");
  }
  {
    test::MbTilesFile map(badTiles);
    for (const PlacedTile& t : tilesAt(kFine)) map.tile(t.key.z, t.key.x, t.key.y, "<html>");
  }
  const struct {
    std::string map, says;
  } cases[] = {{folder.file("fehlt.mbtiles"), "gibt es nicht"},
               {noDb, "keine SQLite-Datenbank"},
               {noTables, "keine Kartenkacheln"},
               {badTiles, "besch"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.map);
    const std::string png = folder.file("bild.png");
    std::remove(png.c_str());
    const test::CliResult r = run({"-i", "rmc", "--picture", png, "--map", c.map, log});
    EXPECT_EQ(r.rc, cli::kWritten) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("ohne Karte"), std::string::npos) << r.err;
    EXPECT_FALSE(r.out.empty()) << "the route is written all the same";
    const auto picture = decodePng(test::readBytes(png));
    ASSERT_TRUE(picture);
    long long paper = 0;
    for (int y = 0; y < kH; y += 4) {
      for (int x = 0; x < 400; x += 4) paper += picture->at(x, y) == PictureColours::background;
    }
    EXPECT_GT(paper, 100LL * kH / 4 * 3 / 4);
  }
  const test::CliResult alone = run({"-i", "rmc", "--map", badTiles, log});
  EXPECT_EQ(alone.rc, cli::kUnusable);
  EXPECT_NE(alone.err.find("--map braucht --picture"), std::string::npos) << alone.err;
}

}  // namespace
}  // namespace kursolin
