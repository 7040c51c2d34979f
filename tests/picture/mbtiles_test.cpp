// MBTiles map files made here with SQLite, drawn through the software raster: tiles at their
// places (rows counted from the south in the file), two zoom levels, lower tiles standing in,
// the veil and the attribution; damaged files and tiles give a message and never a crash.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <random>

#include "core/cp1252.h"
#include "picture/raster.h"
#include "picture/map_layer.h"
#include "picture/mbtiles.h"
#include "support/map_tiles.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::MbTilesFile;
using test::TempFolder;

constexpr Rgba kPaper{246, 244, 236, 255};
constexpr Rgba kMagenta{200, 40, 200, 255};

// Zoom 1: each tile its own colours, upper and lower half.
struct Quarter {
  TileKey key;
  Rgba top, bottom;
};
const Quarter kQuarters[] = {
    {{1, 0, 0}, {200, 30, 40, 255}, {150, 20, 30, 255}},
    {{1, 1, 0}, {30, 160, 60, 255}, {20, 110, 40, 255}},
    {{1, 0, 1}, {40, 60, 200, 255}, {30, 40, 140, 255}},
    {{1, 1, 1}, {220, 200, 40, 255}, {160, 140, 30, 255}},
};

bool near(Rgba a, Rgba b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

std::string show(Rgba c) {
  return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

// The raster that also keeps what text it wrote.
class TextRaster : public RasterCanvas {
 public:
  using RasterCanvas::RasterCanvas;
  void text(CanvasPoint topLeft, const std::string& t, Rgba c) override {
    texts.push_back(t);
    RasterCanvas::text(topLeft, t, c);
  }
  std::vector<std::string> texts;
};

// A map of zoom levels 1 (PNG, every tile) and 2 (JPEG, one tile and one that is no image),
// without minzoom and maxzoom, its credits in HTML.
std::string makeMap(const TempFolder& folder) {
  const std::string path = folder.file("karte.mbtiles");
  MbTilesFile file(path);
  file.metadata("name", "Testkarte");
  file.metadata("format", "png");
  file.metadata("attribution",
                "&copy; <a href=\"https://www.openstreetmap.org/copyright\">OpenStreetMap</a>"
                "-Mitwirkende");
  for (const Quarter& q : kQuarters) {
    file.tile(q.key.z, q.key.x, q.key.y, test::pngBytes(test::twoToneTile(q.top, q.bottom)));
  }
  file.tile(2, 1, 1, test::jpegBytes(test::twoToneTile(kMagenta, kMagenta)));
  file.tile(2, 3, 3, "kein Bild");
  return path;
}

TEST(MbTiles, TilesLandAtTheirPlacesOnTwoZoomLevels) {
  TempFolder folder;
  const std::string path = makeMap(folder);
  std::string error;
  auto map = MbTiles::open(path, &error);
  ASSERT_TRUE(map) << error;
  EXPECT_EQ(map->name(), "Testkarte");
  EXPECT_EQ(map->minZoom(), 1) << "from the tiles when the metadata lacks it";
  EXPECT_EQ(map->maxZoom(), 2);
  EXPECT_EQ(map->attribution(), "\xA9 OpenStreetMap-Mitwirkende");

  // The world at zoom 1: north-west top left, so the file's row 1 is the northern one.
  TextRaster world(512, 512, kPaper);
  MapDrawResult drawn = drawMapTiles(world, {0.5, 0.5}, 512, *map, {.veil = 0});
  EXPECT_EQ(drawn.zoom, 1);
  EXPECT_EQ(drawn.drawn, 4);
  EXPECT_TRUE(drawn.missing.empty());
  for (const Quarter& q : kQuarters) {
    const int x = q.key.x * 256 + 128, y = q.key.y * 256;
    EXPECT_EQ(world.pixel(x, y + 64), q.top) << q.key.x << "/" << q.key.y;
    EXPECT_EQ(world.pixel(x, y + 192), q.bottom) << q.key.x << "/" << q.key.y;
  }
  // The credits bottom right, on their box.
  ASSERT_EQ(world.texts, std::vector<std::string>{"\xA9 OpenStreetMap-Mitwirkende"});
  const PixelRect box = drawn.attribution;
  EXPECT_EQ(box.x + box.w, 512);
  EXPECT_EQ(box.y + box.h, 512);
  int ink = 0;
  for (int y = static_cast<int>(box.y); y < 512; ++y) {
    for (int x = static_cast<int>(box.x); x < 512; ++x) {
      ink += world.pixel(x, y) == MapColours::attributionText;
    }
  }
  EXPECT_GT(ink, 100) << "27 letters";

  // Zoom 2, a JPEG tile: the north-west tile's south-east quarter.
  RasterCanvas deeper(256, 256, kPaper);
  drawn = drawMapTiles(deeper, {0.375, 0.375}, 1024, *map, {.veil = 0});
  EXPECT_EQ(drawn.zoom, 2);
  EXPECT_EQ(drawn.drawn, 1);
  for (int xy : {1, 128, 200}) {  // the credits take the corner
    EXPECT_TRUE(near(deeper.pixel(xy, xy), kMagenta, 8))
        << xy << ": " << show(deeper.pixel(xy, xy));
  }

  // A tile the file lacks: its zoom-1 parent scaled up, the part that covers it (the lower left
  // quarter of the north-east tile), and the tile reported missing.
  RasterCanvas lacking(256, 256, kPaper);
  drawn = drawMapTiles(lacking, {0.625, 0.375}, 1024, *map, {.veil = 0});
  EXPECT_EQ(drawn.drawn, 0);
  EXPECT_EQ(drawn.substituted, 1);
  EXPECT_EQ(drawn.missing, (std::vector<TileKey>{{2, 2, 1}}));
  EXPECT_EQ(lacking.pixel(128, 128), kQuarters[1].bottom) << show(lacking.pixel(128, 128));

  // Beyond the file's deepest level its tiles are scaled up.
  RasterCanvas close(256, 256, kPaper);
  drawn = drawMapTiles(close, {0.375, 0.375}, 8192, *map, {.veil = 0});
  EXPECT_EQ(drawn.zoom, 2);
  EXPECT_TRUE(near(close.pixel(128, 128), kMagenta, 8));
}

TEST(MbTiles, TheVeilWashesTheMapTowardsWhite) {
  TempFolder folder;
  auto map = MbTiles::open(makeMap(folder), nullptr);
  ASSERT_TRUE(map);
  RasterCanvas canvas(512, 512, kPaper);
  drawMapTiles(canvas, {0.5, 0.5}, 512, *map, {.veil = 0.5});
  const Rgba top = kQuarters[0].top;
  const Rgba half{static_cast<std::uint8_t>((top.r + 255) / 2),
                  static_cast<std::uint8_t>((top.g + 255) / 2),
                  static_cast<std::uint8_t>((top.b + 255) / 2), 255};
  EXPECT_TRUE(near(canvas.pixel(128, 64), half, 2)) << show(canvas.pixel(128, 64));
}

TEST(MbTiles, ATileThatIsNoImageStaysEmptyAndIsNoted) {
  TempFolder folder;
  auto map = MbTiles::open(makeMap(folder), nullptr);
  ASSERT_TRUE(map);
  EXPECT_EQ(map->damageNote(), "");
  for (int i = 0; i < 3; ++i) {
    RasterCanvas canvas(256, 256, kPaper);
    const MapDrawResult drawn = drawMapTiles(canvas, {0.875, 0.875}, 1024, *map, {.veil = 0});
    EXPECT_EQ(drawn.missing, (std::vector<TileKey>{{2, 3, 3}}));
    EXPECT_EQ(canvas.pixel(128, 128), kQuarters[3].bottom) << "its parent stands in";
  }
  EXPECT_EQ(map->damagedTiles(), 1) << "counted once, however often it is drawn";
  const std::string note = map->damageNote();
  EXPECT_NE(note.find(folder.file("karte.mbtiles")), std::string::npos) << note;
  EXPECT_NE(note.find("Kachel 2/3/3: kein PNG- oder JPEG-Bild"), std::string::npos) << note;
  // Read-only: nothing beside the file appears (no journal), the file is as it was.
  EXPECT_EQ(folder.entries(), std::set<std::string>{"karte.mbtiles"});
}

TEST(MbTiles, DamagedFilesAreRefusedWithAMessageNamingThem) {
  TempFolder folder;
  const auto make = [&](const std::string& name, auto fill) {
    const std::string path = folder.file(name);
    fill(path);
    return path;
  };
  std::mt19937 random(26);
  std::string noise(8192, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  const std::string good = makeMap(folder);
  const std::string goodBytes = test::readBytes(good);

  struct Case {
    std::string path;
    std::string reason;
  } cases[] = {
      {folder.file("fehlt.mbtiles"), "die Datei gibt es nicht"},
      {make("leer.mbtiles", [](const std::string& p) { test::writeBytes(p, ""); }),
       "die Datei ist leer"},
      {make("rauschen.mbtiles", [&](const std::string& p) { test::writeBytes(p, noise); }),
       "keine SQLite-Datenbank"},
      {make("kopf.mbtiles",
            [&](const std::string& p) {
              test::writeBytes(p, std::string("SQLite format 3\0", 16) + noise);
            }),
       "keine SQLite-Datenbank"},
      {make("halb.mbtiles",
            [&](const std::string& p) { test::writeBytes(p, goodBytes.substr(0, 4096)); }),
       "sie ist beschädigt"_cp},
      {make("ohnekacheln.mbtiles",
            [](const std::string& p) {
              MbTilesFile f(p, false);
              f.exec("CREATE TABLE metadata (name TEXT, value TEXT)");
            }),
       "enthält keine Kartenkacheln (Tabelle \"tiles\" fehlt)"_cp},
      {make("fremd.mbtiles",
            [](const std::string& p) {
              MbTilesFile f(p, false);
              f.exec("CREATE TABLE tiles (x INTEGER, y INTEGER)");
            }),
       "hat nicht den Aufbau einer MBTiles-Datei"},
      {make("leertabelle.mbtiles", [](const std::string& p) { MbTilesFile f(p); }),
       "sie enthält keine Kartenkacheln"_cp},
      {make("vektor.mbtiles",
            [](const std::string& p) {
              MbTilesFile f(p);
              f.metadata("format", "pbf");
              f.tile(0, 0, 0, "\x1f\x8b");
            }),
       "Vektorkarten (pbf)"},
      {make("ordner.mbtiles", [](const std::string& p) { ::mkdir(p.c_str(), 0755); }),
       "sie ist ein Ordner"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(MbTiles::open(c.path, &error)) << c.path;
    const std::string head = "Die Kartendatei " + c.path + " kann nicht gelesen werden: ";
    EXPECT_EQ(error.substr(0, head.size()), head) << error;
    EXPECT_NE(error.find(c.reason, head.size()), std::string::npos) << error;
  }
}

TEST(MbTiles, CreditsInHtmlBecomePlainText) {
  struct Case {
    const char* html;
    const char* plain;
  } cases[] = {
      {"&copy; OpenStreetMap contributors", "\xA9 OpenStreetMap contributors"},
      {"<a href=\"https://openmaptiles.org/\">\xC2\xA9 OpenMapTiles</a> "
       "<a href=\"https://www.openstreetmap.org/copyright\">\xC2\xA9 OpenStreetMap</a>",
       "\xA9 OpenMapTiles \xA9 OpenStreetMap"},
      {"Karte: M&#252;ller &amp; M&#xFC;ller", "Karte: M\xFCller & M\xFCller"},
      {"  viel\n\t Raum  ", "viel Raum"},
      {"&unbekannt; bleibt", "&unbekannt; bleibt"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(plainAttribution(c.html), c.plain) << c.html;
}

}  // namespace
}  // namespace kursolin
