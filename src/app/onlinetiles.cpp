#include "app/onlinetiles.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

#include "app/qtext.h"
#include "core/cp1252.h"

namespace kursolin::gui {

namespace {

// OpenStreetMap's tile servers ask that a tile be kept at least a week, whatever it says.
constexpr int kKeepDays = 7;
// No new try for a tile that failed before this, and no request at all for a while after the
// server could not be reached or asked for rest: a picture repainted 30 times a second must not
// become 30 requests a second.
constexpr int kRetrySeconds = 60;
constexpr int kPauseSeconds = 30;
constexpr int kTransferTimeoutMs = 20000;
constexpr int kMaxParallel = 4;

QString Q(const char* utf8) {
  return QString::fromUtf8(utf8);
}

QString filled(QString urlTemplate, const TileKey& key) {
  return urlTemplate.replace(QLatin1String("{z}"), QString::number(key.z))
      .replace(QLatin1String("{x}"), QString::number(key.x))
      .replace(QLatin1String("{y}"), QString::number(key.y));
}

// The server's expiry, but never less than a week from now; a response the server forbids to
// store (no-store) stays unstored.
QNetworkCacheMetaData keptAWeek(QNetworkCacheMetaData meta) {
  if (!meta.saveToDisk()) return meta;
  const QDateTime week = QDateTime::currentDateTimeUtc().addDays(kKeepDays);
  if (!meta.expirationDate().isValid() || meta.expirationDate() < week) {
    meta.setExpirationDate(week);
  }
  return meta;
}

// Qt's disk cache, its expiry dates set by keptAWeek both when a tile is stored and when the
// server confirms a stored one (304).
class TileDiskCache : public QNetworkDiskCache {
 public:
  using QNetworkDiskCache::QNetworkDiskCache;
  QIODevice* prepare(const QNetworkCacheMetaData& meta) override {
    return QNetworkDiskCache::prepare(keptAWeek(meta));
  }
  void updateMetaData(const QNetworkCacheMetaData& meta) override {
    QNetworkDiskCache::updateMetaData(keptAWeek(meta));
  }
};

bool usableFolder(const QString& folder) {
  if (!QDir().mkpath(folder)) return false;
  const QFileInfo info(folder);
  return info.isDir() && info.isWritable();
}

}  // namespace

std::string checkTileUrl(const std::string& urlTemplate) {
  const QString text = toQString(urlTemplate).trimmed();
  if (text.isEmpty()) return "Die Adresse des Kartenservers fehlt.";
  for (const char* part : {"{z}", "{x}", "{y}"}) {
    if (!text.contains(QLatin1String(part))) {
      return "Die Adresse des Kartenservers muss {z}, {x} und {y} enthalten.";
    }
  }
  const QUrl url(filled(text, {1, 1, 1}), QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
    return "Die Adresse des Kartenservers muss mit http:// oder https:// beginnen.";
  }
  if (!url.isValid() || url.host().isEmpty()) {
    return "Die Adresse des Kartenservers ist ungültig."_cp;
  }
  return {};
}

QString defaultTileCacheFolder() {
  // Qt's generic cache location is $XDG_CACHE_HOME, or ~/.cache without it.
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/Kursolin/tiles");
}

QByteArray tileUserAgent() {
  return QByteArrayLiteral("Kursolin/" KURSOLIN_VERSION " (+" KURSOLIN_CONTACT_URL ")");
}

OnlineTiles::OnlineTiles(OnlineTileOptions options, QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      memory_(static_cast<std::size_t>(std::max(1, options_.memoryTiles))) {
  options_.minZoom = std::clamp(options_.minZoom, 0, kMaxTileZoom);
  options_.maxZoom = std::clamp(options_.maxZoom, options_.minZoom, kMaxTileZoom);
  options_.parallel = std::clamp(options_.parallel, 1, kMaxParallel);
  net_ = new QNetworkAccessManager(this);
  net_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);

  if (const std::string why = checkTileUrl(options_.urlTemplate); !why.empty()) {
    usable_ = false;
    problem_ = toQString(why);
  } else {
    host_ = urlOf({0, 0, 0}).host();
  }
  const QString folder =
      options_.cacheFolder.isEmpty() ? defaultTileCacheFolder() : options_.cacheFolder;
  if (usableFolder(folder)) {
    cache_ = new TileDiskCache(net_);
    cache_->setCacheDirectory(folder);
    cache_->setMaximumCacheSize(std::max<qint64>(options_.cacheBytes, 1024 * 1024));
    net_->setCache(cache_);
  } else if (problem_.isEmpty()) {
    problem_ = Q("Der Zwischenspeicher für Kartenkacheln %1 lässt sich nicht anlegen; "
                 "geladene Kacheln bleiben nur bis zum Programmende.")
                   .arg(QDir::toNativeSeparators(folder));
  }
  // After the constructor, so whoever made the source has connected to the note.
  if (!problem_.isEmpty()) QTimer::singleShot(0, this, [this] { tell(problem_); });
}

OnlineTiles::~OnlineTiles() {
  // Replies aborted now must not call back into a source half gone.
  for (auto& [key, reply] : running_) {
    reply->disconnect(this);
    reply->abort();
  }
}

QUrl OnlineTiles::urlOf(const TileKey& key) const {
  return QUrl(filled(toQString(options_.urlTemplate).trimmed(), key));
}

int OnlineTiles::pending() const {
  return static_cast<int>(running_.size() + queue_.size());
}

std::shared_ptr<const TileImage> OnlineTiles::tile(const TileKey& key) {
  if (!usable_ || !validTile(key) || key.z < options_.minZoom || key.z > options_.maxZoom) {
    return nullptr;
  }
  if (Kept* kept = memory_.find(key)) {
    if (kept->expires.isValid() && kept->expires < QDateTime::currentDateTimeUtc()) {
      stale_.insert(key);
    }
    return kept->image;
  }
  return fromDisk(key);
}

std::shared_ptr<const TileImage> OnlineTiles::fromDisk(const TileKey& key) {
  if (!cache_) return nullptr;
  const QUrl url = urlOf(key);
  const QNetworkCacheMetaData meta = cache_->metaData(url);
  if (!meta.isValid()) return nullptr;
  const std::unique_ptr<QIODevice> device(cache_->data(url));
  if (!device) return nullptr;
  const QByteArray bytes = device->readAll();
  auto image =
      decodeTileImage(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (!image) {
    cache_->remove(url);
    return nullptr;
  }
  auto shared = std::make_shared<const TileImage>(std::move(*image));
  memory_.put(key, {shared, meta.expirationDate()});
  // Shown all the same (better an old map than none); renewed at the next want().
  if (meta.expirationDate().isValid() && meta.expirationDate() < QDateTime::currentDateTimeUtc()) {
    stale_.insert(key);
  }
  return shared;
}

void OnlineTiles::want(const std::vector<TileKey>& keys) {
  if (!usable_) return;
  const QDateTime now = QDateTime::currentDateTimeUtc();
  std::vector<TileKey> next;
  const auto add = [&](const TileKey& key, bool renew) {
    if (!validTile(key) || key.z < options_.minZoom || key.z > options_.maxZoom) return;
    if (running_.count(key) || std::find(next.begin(), next.end(), key) != next.end()) return;
    if (const auto f = failed_.find(key); f != failed_.end()) {
      if (now < f->second) return;
      failed_.erase(f);
    }
    if (!renew && memory_.find(key)) return;
    next.push_back(key);
  };
  for (const TileKey& key : keys) add(key, false);
  for (const TileKey& key : stale_) add(key, true);
  stale_.clear();
  // Only what the picture lacks now: tiles of a view already left are not fetched any more.
  queue_ = std::move(next);
  pump();
}

void OnlineTiles::pump() {
  if (pausedUntil_.isValid() && QDateTime::currentDateTimeUtc() < pausedUntil_) return;
  while (static_cast<int>(running_.size()) < options_.parallel && !queue_.empty()) {
    const TileKey key = queue_.front();
    queue_.erase(queue_.begin());
    start(key);
  }
}

void OnlineTiles::start(const TileKey& key) {
  QNetworkRequest request(urlOf(key));
  request.setHeader(QNetworkRequest::UserAgentHeader, tileUserAgent());
  // A tile still fresh in the disk cache is not asked for again; a stale one is asked for with
  // its validators, so an unchanged tile costs the server a "304 Not Modified". Never
  // AlwaysNetwork: Qt would send "Cache-Control: no-cache", which tile servers refuse.
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
  request.setTransferTimeout(kTransferTimeoutMs);
  QNetworkReply* reply = net_->get(request);
  running_[key] = reply;
  connect(reply, &QNetworkReply::finished, this, [this, reply, key] { finished(reply, key); });
}

void OnlineTiles::finished(QNetworkReply* reply, const TileKey& key) {
  running_.erase(key);
  reply->deleteLater();
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (reply->error() == QNetworkReply::NoError) {
    const QByteArray bytes = reply->readAll();
    std::string why;
    auto image = decodeTileImage(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why);
    if (image) {
      const QDateTime expires =
          cache_ ? cache_->metaData(urlOf(key)).expirationDate() : QDateTime();
      memory_.put(key, {std::make_shared<const TileImage>(std::move(*image)), expires});
      lastNote_.clear();
      emit tilesArrived();
    } else {
      // An error page or a damaged tile is not kept, neither in the cache nor as a tile.
      // (Under the address asked for and, after a redirection, the one that answered.)
      if (cache_) {
        cache_->remove(urlOf(key));
        cache_->remove(reply->url());
      }
      failed_[key] = now.addSecs(kRetrySeconds);
      tell(Q("Der Kartenserver %1 liefert keine Kartenbilder (%2).").arg(host_, toQString(why)));
    }
  } else if (status >= 400) {
    failed_[key] = now.addSecs(kRetrySeconds);
    // Too many requests or a server in trouble: give it a rest.
    if (status == 429 || status >= 500) pauseFor(kPauseSeconds);
    tell(Q("Der Kartenserver %1 antwortet mit Fehler %2.").arg(host_).arg(status));
  } else {
    failed_[key] = now.addSecs(kRetrySeconds);
    pauseFor(kPauseSeconds);
    tell(Q("Keine Verbindung zum Kartenserver %1: gespeicherte Kacheln werden gezeigt, "
           "fehlende bleiben leer.")
             .arg(host_));
  }
  pump();
}

void OnlineTiles::pauseFor(int seconds) {
  pausedUntil_ = QDateTime::currentDateTimeUtc().addSecs(seconds);
  QTimer::singleShot(seconds * 1000, this, [this] { pump(); });
}

void OnlineTiles::tell(const QString& text) {
  // One note per trouble, not one per tile.
  if (text == lastNote_) return;
  lastNote_ = text;
  emit note(text);
}

}  // namespace kursolin::gui
