#pragma once
// Map tiles and MBTiles files made by the tests: images encoded with libpng and libjpeg, and
// map files written with SQLite.

#include <string>

#include "picture/canvas.h"
#include "picture/tile_image.h"

struct sqlite3;

namespace kursolin::test {

/// A tile of the size whose upper half has one colour and lower half another, so its place
/// and its orientation can both be seen.
TileImage twoToneTile(Rgba top, Rgba bottom, int size = 256);

/// The image as PNG bytes (RGBA).
std::string pngBytes(const TileImage& image);
/// The image as JPEG bytes (RGB, the alpha dropped).
std::string jpegBytes(const TileImage& image, int quality = 95);

/// Writes an MBTiles file: the tables as the format has them, then metadata and tiles.
class MbTilesFile {
 public:
  /// A new file at the path; `withTables` false leaves the database without any table.
  explicit MbTilesFile(const std::string& path, bool withTables = true);
  ~MbTilesFile();
  MbTilesFile(const MbTilesFile&) = delete;
  MbTilesFile& operator=(const MbTilesFile&) = delete;
  void metadata(const std::string& name, const std::string& value);
  /// A tile under its XYZ key (the file gets the TMS row).
  void tile(int z, int x, int y, const std::string& bytes);
  /// Any statement, for files that lack something.
  void exec(const std::string& sql);

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace kursolin::test
