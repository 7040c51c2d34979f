// Tiles from a tile server: a server on 127.0.0.1 inside the test serves generated PNG tiles
// with caching headers and keeps every request. Only the tiles wanted are asked for, a few at a
// time, with the User-Agent; they arrive and decode; a second source over the same cache asks
// nothing; without the server the cached tiles still come and a note tells of the rest; errors
// and garbage end in a note; a stale tile is renewed with its validators.

#include <QtTest>

#include <QNetworkDiskCache>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "app/onlinetiles.h"
#include "support/map_tiles.h"
#include "tile_server.h"

using namespace kursolin;
using namespace kursolin::gui;
using kursolin::test::colourOf;
using kursolin::test::TileServer;

namespace {

constexpr int kWait = 10000;

OnlineTileOptions optionsFor(const TileServer& server, const QString& cache) {
  OnlineTileOptions o;
  o.urlTemplate = server.urlTemplate().toStdString();
  o.attribution = "\xA9 Testkarte";
  o.cacheFolder = cache;
  return o;
}

std::set<QByteArray> pathsOf(const std::vector<TileServer::Request>& requests) {
  std::set<QByteArray> paths;
  for (const auto& r : requests) paths.insert(r.path);
  return paths;
}

const std::vector<TileKey> kView = {{2, 0, 0}, {2, 1, 0}, {2, 2, 0},
                                    {2, 0, 1}, {2, 1, 1}, {2, 2, 1}};

}  // namespace

class OnlineTilesTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void onlyWantedTilesComeAFewAtATime();
  void aSecondSourceAsksNothingAndWorksWithoutTheServer();
  void errorsAndGarbageEndInANote();
  void aStaleTileIsShownAndRenewed();
  void anUnusableCacheFolderIsNoted();
  void tileAddressesAreChecked();
};

void OnlineTilesTest::initTestCase() {
  // Whatever the environment says, the test talks to 127.0.0.1 directly.
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

void OnlineTilesTest::onlyWantedTilesComeAFewAtATime() {
  TileServer server;
  QTemporaryDir cache;
  OnlineTiles source(optionsFor(server, cache.path()));
  QSignalSpy arrived(&source, &OnlineTiles::tilesArrived);
  QSignalSpy notes(&source, &OnlineTiles::note);
  for (const TileKey& k : kView) QVERIFY(!source.tile(k));

  // Twice, as a picture painted again before the tiles came would; beyond the levels and the
  // world nothing is asked.
  std::vector<TileKey> wanted = kView;
  wanted.push_back({20, 0, 0});
  wanted.push_back({2, 4, 0});
  source.want(wanted);
  source.want(wanted);
  QTRY_COMPARE_WITH_TIMEOUT(source.pending(), 0, kWait);

  QCOMPARE(server.requests.size(), kView.size());
  QCOMPARE(pathsOf(server.requests),
           (std::set<QByteArray>{"/2/0/0.png", "/2/1/0.png", "/2/2/0.png", "/2/0/1.png",
                                 "/2/1/1.png", "/2/2/1.png"}));
  QVERIFY2(server.mostAtOnce <= 2, QByteArray::number(server.mostAtOnce));
  for (const auto& r : server.requests) {
    QCOMPARE(r.headers.value("user-agent"), tileUserAgent());
    QVERIFY(!r.headers.value("cache-control").contains("no-cache"));
    QVERIFY(!r.headers.contains("pragma"));
  }
  QVERIFY(tileUserAgent().startsWith("Kursolin/"));
  QVERIFY(tileUserAgent().contains("(+http"));

  QVERIFY(arrived.count() >= 1);
  QCOMPARE(notes.count(), 0);
  for (const TileKey& k : kView) {
    const auto image = source.tile(k);
    QVERIFY(image);
    QCOMPARE(image->width, 256);
    QCOMPARE(image->at(100, 100), colourOf(k));
  }
}

void OnlineTilesTest::aSecondSourceAsksNothingAndWorksWithoutTheServer() {
  TileServer server;
  QTemporaryDir cache;
  {
    OnlineTiles first(optionsFor(server, cache.path()));
    first.want(kView);
    QTRY_COMPARE_WITH_TIMEOUT(first.pending(), 0, kWait);
  }
  QCOMPARE(server.requests.size(), kView.size());

  // The server asked for a minute; the cache keeps the tiles a week all the same.
  QNetworkDiskCache look;
  look.setCacheDirectory(cache.path());
  const QDateTime expires =
      look
          .metaData(QUrl(
              server.urlTemplate().replace("{z}", "2").replace("{x}", "1").replace("{y}", "0")))
          .expirationDate();
  QVERIFY(expires.isValid());
  QVERIFY(expires > QDateTime::currentDateTimeUtc().addDays(6));

  OnlineTiles second(optionsFor(server, cache.path()));
  for (const TileKey& k : kView) {
    const auto image = second.tile(k);
    QVERIFY(image);
    QCOMPARE(image->at(5, 5), colourOf(k));
  }
  second.want(kView);
  QTest::qWait(200);
  QCOMPARE(server.requests.size(), kView.size());

  // No server: the cached tiles still come, a missing one stays missing, and a note says why.
  server.stop();
  OnlineTiles offline(optionsFor(server, cache.path()));
  QSignalSpy notes(&offline, &OnlineTiles::note);
  QVERIFY(offline.tile({2, 1, 1}));
  const TileKey lacking{3, 0, 0};
  QVERIFY(!offline.tile(lacking));
  offline.want({lacking, {3, 1, 0}});
  QTRY_COMPARE_WITH_TIMEOUT(notes.count(), 1, kWait);
  QVERIFY2(notes[0][0].toString().startsWith("Keine Verbindung zum Kartenserver 127.0.0.1"),
           qPrintable(notes[0][0].toString()));
  QVERIFY(!offline.tile(lacking));
  QVERIFY(offline.tile({2, 1, 1}));
  QTest::qWait(100);
  QCOMPARE(notes.count(), 1);  // one note, not one per tile
}

void OnlineTilesTest::errorsAndGarbageEndInANote() {
  struct Case {
    TileServer::Mode mode;
    const char* note;
  } cases[] = {
      {TileServer::Mode::ServerError, "Der Kartenserver 127.0.0.1 antwortet mit Fehler 500."},
      {TileServer::Mode::Garbage,
       "Der Kartenserver 127.0.0.1 liefert keine Kartenbilder (kein PNG- oder JPEG-Bild)."},
  };
  for (const Case& c : cases) {
    TileServer server;
    server.mode = c.mode;
    QTemporaryDir cache;
    {
      OnlineTiles source(optionsFor(server, cache.path()));
      QSignalSpy notes(&source, &OnlineTiles::note);
      QSignalSpy arrived(&source, &OnlineTiles::tilesArrived);
      source.want({{1, 0, 0}, {1, 1, 0}});
      QTRY_COMPARE_WITH_TIMEOUT(source.pending(), 0, kWait);
      QCOMPARE(notes.count(), 1);
      QCOMPARE(notes[0][0].toString(), QString::fromUtf8(c.note));
      QCOMPARE(arrived.count(), 0);
      QVERIFY(!source.tile({1, 0, 0}));
      // A failed tile is not asked for again at once.
      const auto asked = server.requests.size();
      source.want({{1, 0, 0}});
      QTest::qWait(100);
      QCOMPARE(server.requests.size(), asked);
    }
    // What came was not kept.
    OnlineTiles again(optionsFor(server, cache.path()));
    QVERIFY(!again.tile({1, 0, 0}));
  }
}

void OnlineTilesTest::aStaleTileIsShownAndRenewed() {
  TileServer server;
  QTemporaryDir cache;
  {
    OnlineTiles first(optionsFor(server, cache.path()));
    first.want({{1, 1, 1}});
    QTRY_COMPARE_WITH_TIMEOUT(first.pending(), 0, kWait);
  }
  // Eight days later, as far as the cache knows.
  const QUrl url(server.urlTemplate().replace("{z}", "1").replace("{x}", "1").replace("{y}", "1"));
  {
    QNetworkDiskCache look;
    look.setCacheDirectory(cache.path());
    QNetworkCacheMetaData meta = look.metaData(url);
    QVERIFY(meta.isValid());
    meta.setExpirationDate(QDateTime::currentDateTimeUtc().addDays(-1));
    look.updateMetaData(meta);
  }
  OnlineTiles later(optionsFor(server, cache.path()));
  QVERIFY2(later.tile({1, 1, 1}), "an old map is better than none");
  later.want({});
  QTRY_COMPARE_WITH_TIMEOUT(server.requests.size(), std::size_t{2}, kWait);
  QTRY_COMPARE_WITH_TIMEOUT(later.pending(), 0, kWait);
  QCOMPARE(server.requests[1].headers.value("if-none-match"), QByteArray("\"/1/1/1.png\""));
  QVERIFY(later.tile({1, 1, 1}));
  QNetworkDiskCache look;
  look.setCacheDirectory(cache.path());
  QVERIFY(look.metaData(url).expirationDate() > QDateTime::currentDateTimeUtc().addDays(6));
  later.want({});
  QTest::qWait(100);
  QCOMPARE(server.requests.size(), std::size_t{2});
}

void OnlineTilesTest::anUnusableCacheFolderIsNoted() {
  TileServer server;
  QTemporaryDir dir;
  QFile blocker(dir.filePath("datei"));
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  // A folder below a file can never be made, whoever runs the test.
  OnlineTiles source(optionsFor(server, dir.filePath("datei/tiles")));
  QSignalSpy notes(&source, &OnlineTiles::note);
  QTRY_COMPARE_WITH_TIMEOUT(notes.count(), 1, kWait);
  QVERIFY2(notes[0][0].toString().startsWith(
               QString::fromUtf8("Der Zwischenspeicher für Kartenkacheln")),
           qPrintable(notes[0][0].toString()));
  QCOMPARE(source.problem(), notes[0][0].toString());
  // The map still comes, kept in memory.
  source.want({{1, 0, 1}});
  QTRY_VERIFY_WITH_TIMEOUT(source.tile({1, 0, 1}), kWait);
  QCOMPARE(source.tile({1, 0, 1})->at(0, 0), colourOf({1, 0, 1}));
}

void OnlineTilesTest::tileAddressesAreChecked() {
  struct Case {
    const char* url;
    const char* error;  // "" for a usable address
  } cases[] = {
      {kOsmTileUrl, ""},
      {"http://127.0.0.1:8080/karte/{z}/{x}/{y}.jpg?key=abc", ""},
      {"", "Die Adresse des Kartenservers fehlt."},
      {"https://tile.example.org/{z}/{x}.png",
       "Die Adresse des Kartenservers muss {z}, {x} und {y} enthalten."},
      {"tile.openstreetmap.org/{z}/{x}/{y}.png",
       "Die Adresse des Kartenservers muss mit http:// oder https:// beginnen."},
      {"file:///home/{z}/{x}/{y}.png",
       "Die Adresse des Kartenservers muss mit http:// oder https:// beginnen."},
      {"https:///{z}/{x}/{y}.png", "Die Adresse des Kartenservers ist ung\xFCltig."},
  };
  for (const Case& c : cases) QCOMPARE(checkTileUrl(c.url), std::string(c.error));

  // The cache lives where the desktop keeps caches.
  const QByteArray before = qgetenv("XDG_CACHE_HOME");
  qputenv("XDG_CACHE_HOME", "/tmp/kursolin-cache-test");
  QCOMPARE(defaultTileCacheFolder(), QStringLiteral("/tmp/kursolin-cache-test/Kursolin/tiles"));
  qunsetenv("XDG_CACHE_HOME");
  QCOMPARE(defaultTileCacheFolder(), QDir::homePath() + QStringLiteral("/.cache/Kursolin/tiles"));
  if (!before.isEmpty()) qputenv("XDG_CACHE_HOME", before);

  // A source with a bad address asks nothing and says so.
  OnlineTileOptions o;
  o.urlTemplate = "ftp://karten/{z}/{x}/{y}.png";
  QTemporaryDir cache;
  o.cacheFolder = cache.path();
  OnlineTiles source(o);
  QSignalSpy notes(&source, &OnlineTiles::note);
  source.want({{0, 0, 0}});
  QCOMPARE(source.pending(), 0);
  QTRY_COMPARE_WITH_TIMEOUT(notes.count(), 1, kWait);
  QVERIFY(notes[0][0].toString().contains("http://"));
}

QTEST_MAIN(OnlineTilesTest)
#include "onlinetiles_test.moc"
