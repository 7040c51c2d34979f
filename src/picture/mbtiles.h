#pragma once
// An offline map: an MBTiles file (an SQLite database with the tables tiles and metadata, rows
// counted from the south) read-only as a tile source, for riding without network and for the
// batch converter.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "picture/recent_tiles.h"
#include "picture/tiles.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kursolin {

/// How many decoded tiles a map file keeps in memory (about 256 KB each).
inline constexpr std::size_t kMapFileCacheTiles = 160;

class MbTiles : public TileSource {
 public:
  /// The map file at the path (cp1252) opened read-only, or nullptr with a German message
  /// naming the file in `error` (missing, empty, no database, damaged, no tiles, vector tiles).
  static std::unique_ptr<MbTiles> open(const std::string& path, std::string* error,
                                       std::size_t cacheTiles = kMapFileCacheTiles);
  ~MbTiles() override;
  MbTiles(const MbTiles&) = delete;
  MbTiles& operator=(const MbTiles&) = delete;

  std::string attribution() const override { return attribution_; }
  int minZoom() const override { return minZoom_; }
  int maxZoom() const override { return maxZoom_; }
  std::shared_ptr<const TileImage> tile(const TileKey& key) override;

  /// The map's name from its metadata (cp1252; may be empty).
  const std::string& name() const { return name_; }
  /// Tiles met so far that could not be read or are no image (they stay empty).
  int damagedTiles() const { return damaged_; }
  /// A German note on the damaged tiles for the status line or standard error; "" when none.
  std::string damageNote() const;

 private:
  MbTiles(std::string path, sqlite3* db, std::size_t cacheTiles);
  bool prepare(std::string* why);
  std::shared_ptr<const TileImage> read(const TileKey& key);

  std::string path_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* query_ = nullptr;
  std::string name_, attribution_;
  int minZoom_ = 0, maxZoom_ = 0;
  int damaged_ = 0;
  std::string firstDamage_;
  // A tile the file lacks is kept too (as nullptr), so a picture drawn again asks the database
  // nothing.
  RecentTiles<std::shared_ptr<const TileImage>> recent_;
};

/// Attribution text of a map's metadata (often HTML, UTF-8) as plain cp1252: tags dropped,
/// entities such as &copy; decoded, white space collapsed.
std::string plainAttribution(std::string_view html);

}  // namespace kursolin
