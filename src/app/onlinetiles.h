#pragma once
// Map tiles from a tile server ({z}/{x}/{y} addresses), fetched in the background a few at a
// time, only those a picture asks for, and kept in a disk cache that honours the server's
// caching headers and keeps every tile at least a week (as OpenStreetMap's tile servers ask of
// their users). Without network the cached tiles still come; trouble is told in a short note
// for the status line, never in a box.

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QUrl>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "picture/recent_tiles.h"
#include "picture/tiles.h"
#include "session/map_options.h"

class QNetworkAccessManager;
class QNetworkDiskCache;
class QNetworkReply;

namespace kursolin::gui {

/// The deepest zoom level of OpenStreetMap's standard tile server (kOsmTileUrl).
inline constexpr int kOsmMaxZoom = 19;
/// Default size of the disk cache of tiles.
inline constexpr qint64 kDefaultTileCacheBytes = 200LL * 1024 * 1024;

/// Why a tile address template (cp1252) cannot be used, in German; "" when it can.
std::string checkTileUrl(const std::string& urlTemplate);

/// $XDG_CACHE_HOME/Kursolin/tiles, or ~/.cache/Kursolin/tiles without it.
QString defaultTileCacheFolder();

/// The User-Agent the tile requests carry: the program, its version and where to reach us.
QByteArray tileUserAgent();

struct OnlineTileOptions {
  std::string urlTemplate = kOsmTileUrl;  // cp1252, with {z}, {x} and {y}
  std::string attribution = kOsmAttribution;
  int minZoom = 0, maxZoom = kOsmMaxZoom;
  QString cacheFolder;  // empty: defaultTileCacheFolder()
  qint64 cacheBytes = kDefaultTileCacheBytes;
  int parallel = 2;       // requests under way at once
  int memoryTiles = 200;  // decoded tiles kept in memory
};

class OnlineTiles : public QObject, public TileSource {
  Q_OBJECT
 public:
  explicit OnlineTiles(OnlineTileOptions options, QObject* parent = nullptr);
  ~OnlineTiles() override;

  std::string attribution() const override { return options_.attribution; }
  int minZoom() const override { return options_.minZoom; }
  int maxZoom() const override { return options_.maxZoom; }
  /// The tile from memory or the disk cache (even when it is due for renewal), else nullptr.
  std::shared_ptr<const TileImage> tile(const TileKey& key) override;
  /// Fetches the keys not yet here (and renews stale tiles shown since the last call), in their
  /// order; keys of an earlier call not yet started are dropped. Call after every picture.
  void want(const std::vector<TileKey>& keys) override;

  /// The address of a tile.
  QUrl urlOf(const TileKey& key) const;
  /// Requests under way and waiting.
  int pending() const;
  /// What went wrong when the source was made (bad address, cache folder not writable), or "".
  QString problem() const { return problem_; }

 signals:
  /// New tiles came: the picture may be drawn again.
  void tilesArrived();
  /// A short German note for the status line (no network, server errors, a bad cache folder).
  void note(const QString& text);

 private:
  struct Kept {
    std::shared_ptr<const TileImage> image;
    QDateTime expires;  // renewed after that (invalid: never stored on disk)
  };
  void pump();
  void start(const TileKey& key);
  void finished(QNetworkReply* reply, const TileKey& key);
  void tell(const QString& text);
  void pauseFor(int seconds);
  std::shared_ptr<const TileImage> fromDisk(const TileKey& key);

  OnlineTileOptions options_;
  bool usable_ = true;
  QString host_;
  QString problem_;
  QNetworkAccessManager* net_ = nullptr;
  QNetworkDiskCache* cache_ = nullptr;  // owned by net_, nullptr without a disk cache
  RecentTiles<Kept> memory_;
  std::vector<TileKey> queue_;
  std::map<TileKey, QNetworkReply*> running_;
  std::set<TileKey> stale_;              // shown from the cache after their expiry
  std::map<TileKey, QDateTime> failed_;  // no new try before then
  QDateTime pausedUntil_;
  QString lastNote_;
};

}  // namespace kursolin::gui
