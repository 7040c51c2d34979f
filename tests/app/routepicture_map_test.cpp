// The map under the window "Routenbild": tiles from a server on 127.0.0.1 inside the test (only
// those of the view, with the User-Agent, drawn in their places, not asked again over the disk
// cache, still shown when the server is gone, trouble told in the status line), an MBTiles file
// chosen with "Kartendatei …", and the saved PNG with the map and its credits.

#include <QtTest>

#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>

#include "app/onlinetiles.h"
#include "app/routepicture.h"
#include "picture/map_layer.h"
#include "picture/raster.h"
#include "session/map_options.h"
#include "tile_server.h"
#include "window_fixture.h"

using namespace kursolin;
using namespace kursolin::test;

namespace {

constexpr int kWait = 10000;

gui::RoutePictureWindow* pictureWindow(StartedWindow& w) {
  return w->findChild<gui::RoutePictureWindow*>(QStringLiteral("Routenbild"));
}

// The colour a map pixel shows through the veil.
Rgba veiled(Rgba c) {
  const double v = MapOptions{}.veil;
  const auto mix = [v](std::uint8_t ch) {
    return static_cast<std::uint8_t>(std::lround(255 * v + ch * (1 - v)));
  };
  return {mix(c.r), mix(c.g), mix(c.b), 255};
}

// The tile under a pixel of the view at zoom z, and whether the pixel lies well inside it (not at
// an edge, where scaling blends neighbours) and in its upper half.
struct UnderPixel {
  TileKey key;
  bool inside = false, upper = false;
};
UnderPixel tileUnder(const PictureView& view, QPoint px, int z) {
  const WorldPoint c = view.centre();
  const double n = std::ldexp(1.0, z);
  const double ux = (c.x + (px.x() + 0.5 - view.width() / 2.0) / view.scale()) * n;
  const double uy = (c.y + (px.y() + 0.5 - view.height() / 2.0) / view.scale()) * n;
  const double fx = ux - std::floor(ux), fy = uy - std::floor(uy);
  return {{z, static_cast<int>(std::floor(ux)), static_cast<int>(std::floor(uy))},
          fx > 0.03 && fx < 0.97 && fy > 0.03 && fy < 0.97 && std::fabs(fy - 0.5) > 0.03,
          fy < 0.5};
}

// Corner regions of the picture, clear of the route, legend, scale bar and credits.
std::vector<QPoint> mapPixels(const QSize& size) {
  std::vector<QPoint> points;
  for (int y = 40; y < size.height() / 3; y += 17) {
    for (int x = 10; x < size.width() / 4; x += 19) points.emplace_back(x, y);
  }
  return points;
}

// How many of the pixels checked (well inside a tile) do not show the colour `expected` gives for
// their tile (within a few steps).
template <class Expected>
int wrongPixels(const QImage& image, const PictureView& view, int z, Expected expected,
                int* checked) {
  int good = 0;
  *checked = 0;
  for (const QPoint& p : mapPixels(image.size())) {
    const UnderPixel u = tileUnder(view, p, z);
    if (!u.inside) continue;
    ++*checked;
    const QColor got = image.pixelColor(p);
    const Rgba want = veiled(expected(u));
    good += std::abs(got.red() - want.r) <= 4 && std::abs(got.green() - want.g) <= 4 &&
            std::abs(got.blue() - want.b) <= 4;
  }
  return *checked - good;
}

std::set<QByteArray> pathsOf(const std::vector<TileServer::Request>& requests) {
  std::set<QByteArray> paths;
  for (const auto& r : requests) paths.insert(r.path);
  return paths;
}

void choose(gui::RoutePictureWindow* pic, const char* action) {
  pic->findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

}  // namespace

class RoutePictureMapTest : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase();
  void tilesFromAServerWithCacheAndWithoutNetwork();
  void aMapFileChosenInTheWindow();

 private:
  QTemporaryDir cacheHome_;
};

void RoutePictureMapTest::initTestCase() {
  // The disk cache of tiles goes to a folder of the test, and nothing goes through a proxy.
  qputenv("XDG_CACHE_HOME", cacheHome_.path().toUtf8());
  QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

void RoutePictureMapTest::tilesFromAServerWithCacheAndWithoutNetwork() {
  TileServer server;
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0", "[Karte]", "Quelle=1",
                   "URL=" + server.urlTemplate().toStdString(), "Namensnennung=\xA9 Testkarte"});
  folder.write(QStringLiteral("fahrt.txt"), joinCrLf(sampleDrive()));
  StartedWindow w(folder);
  gui::RoutePictureWindow* pic = pictureWindow(w);
  // Loaded first, so the first picture the window paints is that of the drive.
  w.load(folder.sessionFile(QStringLiteral("fahrt.txt")));
  w.action("RoutenBild")->trigger();
  QVERIFY(QTest::qWaitForWindowExposed(pic));
  QCOMPARE(pic->findChild<QToolButton*>(QStringLiteral("KarteWahl"))->text(),
           QStringLiteral("Karte: online"));
  auto* online = dynamic_cast<gui::OnlineTiles*>(pic->mapSource());
  QVERIFY(online);
  gui::RoutePictureView* view = pic->pictureView();

  // Only the tiles of the view, each once, with the User-Agent; then they are drawn.
  QTRY_VERIFY_WITH_TIMEOUT(!server.requests.empty() && online->pending() == 0, kWait);
  QTest::qWait(50);
  QTRY_VERIFY_WITH_TIMEOUT(view->lastMap().missing.empty(), kWait);
  const int z = view->lastMap().zoom;
  QVERIFY2(z > 10 && z <= gui::kOsmMaxZoom, QByteArray::number(z));
  const WorldPoint c = view->view().centre();
  const auto tiles =
      tilesCovering({{c.x, c.y}, view->view().scale(), view->width(), view->height()}, z, 1000);
  QVERIFY(tiles);
  std::set<QByteArray> expected;
  for (const PlacedTile& t : *tiles) {
    expected.insert(
        QStringLiteral("/%1/%2/%3.png").arg(t.key.z).arg(t.key.x).arg(t.key.y).toUtf8());
  }
  if (pathsOf(server.requests) != expected) {
    for (const QByteArray& p : pathsOf(server.requests)) qWarning("asked %s", p.constData());
    for (const QByteArray& p : expected) qWarning("view %s", p.constData());
  }
  QCOMPARE(pathsOf(server.requests), expected);
  QCOMPARE(server.requests.size(), expected.size());
  for (const auto& r : server.requests)
    QCOMPARE(r.headers.value("user-agent"), gui::tileUserAgent());

  const auto serverColour = [](const UnderPixel& u) { return colourOf(u.key); };
  int checked = 0;
  QImage shown = view->image();
  QCOMPARE(wrongPixels(shown, view->view(), z, serverColour, &checked), 0);
  QVERIFY(checked > 20);
  QCOMPARE(view->lastMap().attribution, std::string("\xA9 Testkarte"));
  QCOMPARE(pic->mapNote(), QString());

  // A second source over the same disk cache asks the server nothing.
  server.requests.clear();
  choose(pic, "KarteKeine");
  QVERIFY(!pic->mapSource());
  choose(pic, "KarteOnline");
  QCOMPARE(w.s().opt.get(MapSource), static_cast<int>(MapSourceKind::Online));
  view->repaint();
  QTest::qWait(300);
  QCOMPARE(server.requests.size(), std::size_t{0});
  QCOMPARE(wrongPixels(view->image(), view->view(), z, serverColour, &checked), 0);

  // Without the server the cached tiles still show; the tiles of a new view stay plain and the
  // status line says why, without a box.
  server.stop();
  choose(pic, "KarteKeine");
  choose(pic, "KarteOnline");
  view->repaint();
  QCOMPARE(wrongPixels(view->image(), view->view(), z, serverColour, &checked), 0);
  const QPointF middle(view->width() / 2.0, view->height() / 2.0);
  QWheelEvent away(middle, view->mapToGlobal(middle), {}, {0, -360}, Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &away);
  view->repaint();
  QTRY_VERIFY_WITH_TIMEOUT(pic->mapNote().contains(QStringLiteral("Keine Verbindung")), kWait);
  QVERIFY(pic->findChild<QLabel*>(QStringLiteral("RoutenbildStatus"))->isVisible());
  QCOMPARE(w.modals.closed, 0);
  QVERIFY(w.port.prompts.empty());
}

void RoutePictureMapTest::aMapFileChosenInTheWindow() {
  ProgramFolder folder;
  folder.settings({"[Pref]", "StartDialog=0"});
  folder.write(QStringLiteral("fahrt.txt"), joinCrLf(sampleDrive()));
  StartedWindow w(folder);
  gui::RoutePictureWindow* pic = pictureWindow(w);
  w.action("RoutenBild")->trigger();
  QVERIFY(QTest::qWaitForWindowExposed(pic));
  w.load(folder.sessionFile(QStringLiteral("fahrt.txt")));
  QVERIFY(!pic->mapSource());
  gui::RoutePictureView* view = pic->pictureView();

  // One level of tiles over the whole view, none finer: the picture takes the map's deepest.
  const int z = 12;
  const auto fileColour = [](const UnderPixel& u) {
    return Rgba{static_cast<std::uint8_t>(30 + 40 * (u.key.x % 4)),
                static_cast<std::uint8_t>(30 + 40 * (u.key.y % 4)),
                static_cast<std::uint8_t>(u.upper ? 90 : 180), 255};
  };
  const std::string path = folder.sessionFile(QStringLiteral("karte.mbtiles"));
  {
    MbTilesFile map(folder.path(QStringLiteral("karte.mbtiles")).toStdString());
    map.metadata("attribution", "\xC2\xA9 Kartendatei-Test");
    const WorldPoint c = view->view().centre();
    const double span = 4.0 * view->width() / view->view().scale();
    const int n = 1 << z;
    for (int x = static_cast<int>((c.x - span) * n); x <= static_cast<int>((c.x + span) * n); ++x) {
      for (int y = static_cast<int>((c.y - span) * n); y <= static_cast<int>((c.y + span) * n);
           ++y) {
        const TileKey k{z, x, y};
        map.tile(z, x, y,
                 pngBytes(twoToneTile(fileColour({k, true, true}), fileColour({k, true, false}))));
      }
    }
  }
  w.port.openAnswers.push_back(path);
  choose(pic, "KarteDatei");
  QVERIFY(pic->mapSource());
  QCOMPARE(w.s().opt.get(MapFile), path);
  QCOMPARE(w.s().opt.get(MapSource), static_cast<int>(MapSourceKind::File));
  view->repaint();
  QCOMPARE(view->lastMap().zoom, z);
  int checked = 0;
  QCOMPARE(wrongPixels(view->image(), view->view(), z, fileColour, &checked), 0);
  QVERIFY(checked > 20);

  // "Bild speichern" writes the map and its credits.
  const std::string png = folder.sessionFile(QStringLiteral("bild.png"));
  w.port.saveAnswers.push_back(png);
  QVERIFY(pic->savePicture());
  const auto saved = decodePng(folder.read(QStringLiteral("bild.png")));
  QVERIFY(saved);
  const QImage savedImage(saved->rgba.data(), saved->width, saved->height, QImage::Format_RGBA8888);
  QCOMPARE(wrongPixels(savedImage, view->view(), z, fileColour, &checked), 0);
  int dark = 0;
  for (int y = saved->height - 14; y < saved->height; ++y) {
    for (int x = saved->width - 80; x < saved->width; ++x) dark += saved->at(x, y).r < 110;
  }
  QVERIFY2(dark > 15, "the credits in the corner");

  // A damaged map file: the plain picture and a note in the status line, never a box.
  folder.write(QStringLiteral("kaputt.mbtiles"), "kein SQLite");
  w.port.openAnswers.push_back(folder.sessionFile(QStringLiteral("kaputt.mbtiles")));
  choose(pic, "KarteDatei");
  QVERIFY(!pic->mapSource());
  QVERIFY2(pic->mapNote().contains(QStringLiteral("kaputt.mbtiles")), qPrintable(pic->mapNote()));
  // A dialog cancelled keeps the choice as it was.
  w.port.openAnswers.push_back(std::nullopt);
  choose(pic, "KarteDatei");
  QCOMPARE(w.s().opt.get(MapFile), folder.sessionFile(QStringLiteral("kaputt.mbtiles")));
  QVERIFY(w.port.prompts.empty());
  QCOMPARE(w.modals.closed, 0);
}

QTEST_MAIN(RoutePictureMapTest)
#include "routepicture_map_test.moc"
