// The route picture without a window: positions, dots, projection, view, scale bar and grid,
// and the drawing itself onto the software raster.
#include <gtest/gtest.h>

#include <cmath>

#include "formats/gpx.h"
#include "formats/registry.h"
#include "picture/map_layer.h"
#include "picture/picture.h"
#include "picture/raster.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "workflow/reduce.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

TEST(WebMercator, KnownPlacesAndTheWayBack) {
  struct Case {
    double lat, lon, x, y;
  } cases[] = {
      {0, 0, 0.5, 0.5},         {0, -180, 0, 0.5},           {0, 180, 1, 0.5},
      {85.05112878, 0, 0.5, 0}, {-85.05112878, 90, 0.75, 1},
  };
  for (const Case& c : cases) {
    const WorldPoint w = project({c.lat, c.lon});
    EXPECT_NEAR(w.x, c.x, 1e-9) << c.lat << " " << c.lon;
    EXPECT_NEAR(w.y, c.y, 1e-9) << c.lat << " " << c.lon;
  }
  for (GeoPosition p :
       {GeoPosition{48.137, 11.575}, GeoPosition{-33.86, 151.2}, GeoPosition{64.15, -21.94}}) {
    const GeoPosition back = unproject(project(p));
    EXPECT_NEAR(static_cast<double>(back.lat), static_cast<double>(p.lat), 1e-9);
    EXPECT_NEAR(static_cast<double>(back.lon), static_cast<double>(p.lon), 1e-9);
  }
  // Beyond the poles' cut the plane ends instead of running off to infinity.
  EXPECT_NEAR(project({89.9, 0}).y, 0, 1e-9);
}

TEST(PictureView, KeepsAnglesAndFitsTheBounds) {
  // A square of one kilometre at 60° N looks square, although its degrees are not.
  const double dLat = 1000 / 111195.0, dLon = dLat / std::cos(60 * M_PI / 180);
  GeoBounds b;
  b.include({60, 10});
  b.include({60 + dLat, 10 + dLon});
  PictureView v(800, 600);
  v.fit(b, 20);
  const CanvasPoint sw = v.toScreen({60, 10}), ne = v.toScreen({60 + dLat, 10 + dLon});
  EXPECT_NEAR(ne.x - sw.x, sw.y - ne.y, 0.01 * (ne.x - sw.x));
  EXPECT_NEAR(sw.y - ne.y, 560, 1) << "the taller side fills the height inside the margin";
  EXPECT_NEAR((sw.x + ne.x) / 2, 400, 1e-6);
  EXPECT_NEAR(v.metresPerPixel(), 1000.0 / 560, 0.02);

  // A lone point gets a view of about a kilometre, not a division by zero.
  GeoBounds one;
  one.include({48, 11});
  PictureView w(400, 400);
  w.fit(one, 0);
  EXPECT_NEAR(w.toScreen({48, 11}).x, 200, 1e-6);
  EXPECT_GT(w.metresPerPixel(), 0.5);
  EXPECT_LT(w.metresPerPixel(), 5);
}

TEST(PictureView, ZoomKeepsThePlaceUnderThePointerAndPanFollowsTheDrag) {
  GeoBounds b;
  b.include({48.1, 11.5});
  b.include({48.2, 11.7});
  PictureView v(640, 480);
  v.fit(b, 10);
  const CanvasPoint pointer{100, 380};
  const GeoPosition under = v.toGeo(pointer);
  const double before = v.metresPerPixel();
  v.zoomAt(pointer, 2);
  const CanvasPoint again = v.toScreen(under);
  EXPECT_NEAR(again.x, pointer.x, 1e-6);
  EXPECT_NEAR(again.y, pointer.y, 1e-6);
  EXPECT_NEAR(v.metresPerPixel(), before / 2, before * 0.01);

  const CanvasPoint p = v.toScreen({48.15, 11.6});
  v.panBy(25, -40);
  const CanvasPoint moved = v.toScreen({48.15, 11.6});
  EXPECT_NEAR(moved.x - p.x, 25, 1e-6);
  EXPECT_NEAR(moved.y - p.y, -40, 1e-6);

  v.zoomAt(pointer, 1e-12);  // never smaller than the whole world
  EXPECT_GE(v.scale(), 64);
}

TEST(ScaleAndGrid, RoundNumbers) {
  struct Bar {
    double metresPerPixel, maxPixels, metres;
    const char* label;
  } bars[] = {
      {1, 250, 200, "200 m"}, {1, 199, 100, "100 m"}, {10, 250, 2000, "2 km"},
      {3, 250, 500, "500 m"}, {0.025, 100, 2, "2 m"}, {400, 256, 100000, "100 km"},
  };
  for (const Bar& c : bars) {
    PictureView v(1000, 1000);
    GeoBounds b;
    b.include({0, 0});
    v.fit(b, 0);
    // Set the wanted scale at the equator through a zoom at the centre.
    v.zoomAt({500, 500}, v.metresPerPixel() / c.metresPerPixel);
    const ScaleBar bar = scaleBar(v, c.maxPixels);
    EXPECT_NEAR(bar.metres, c.metres, 1e-6) << c.label;
    EXPECT_EQ(bar.label, c.label);
    EXPECT_NEAR(bar.pixels, c.metres / c.metresPerPixel, 1e-3 * bar.pixels);
    EXPECT_LE(bar.pixels, c.maxPixels * (1 + 1e-9));
  }
  struct Step {
    double degreePixels, minPixels, step;
  } steps[] = {
      {100, 90, 1},   {100, 150, 2},    {100, 300, 5},     {100, 800, 10},   {100, 1100, 15},
      {10, 2000, 45}, {1e5, 90, 0.001}, {1e5, 120, 0.002}, {3e4, 90, 0.005},
  };
  for (const Step& c : steps) {
    EXPECT_NEAR(gridStep(c.degreePixels, c.minPixels), c.step, c.step * 1e-9)
        << c.degreePixels << " " << c.minPixels;
  }
}

// The software raster that also keeps what text went where.
class TextCanvas : public RasterCanvas {
 public:
  using RasterCanvas::RasterCanvas;
  void text(CanvasPoint topLeft, const std::string& t, Rgba c) override {
    texts.push_back({topLeft, t});
    RasterCanvas::text(topLeft, t, c);
  }
  /// The number drawn beside the dot at p (up and to the right of it), or "".
  std::string numberAt(CanvasPoint p) const {
    const double x = std::floor(p.x + kDotRadius + 2),
                 y = std::floor(p.y - kDotRadius - textHeight());
    for (const auto& d : texts) {
      if (std::abs(d.at.x - x) < 1.5 && std::abs(d.at.y - y) < 1.5) return d.text;
    }
    return {};
  }
  const CanvasPoint* where(const std::string& t) const {
    for (const auto& d : texts) {
      if (d.text == t) return &d.at;
    }
    return nullptr;
  }
  struct Drawn {
    CanvasPoint at;
    std::string text;
  };
  std::vector<Drawn> texts;
};

TEST(PictureOverlays, KeepClearOfThePointsAndTheEdges) {
  const int w = 640, h = 480, m = fitMargin(w, h);
  RasterCanvas canvas(w, h, PictureColours::background);
  // A route fitted to the picture keeps room for the number of a dot on its edge.
  EXPECT_GE(m, kDotRadius + 2 + canvas.textWidth("9999"));
  EXPECT_GE(m, kDotRadius + canvas.textHeight());
  EXPECT_EQ(fitMargin(200, 150), 18) << "a small picture keeps less room";

  // Routes that run into corners of the fitted picture, as pixel paths; the last one leaves no
  // place free.
  using Path = std::vector<CanvasPoint>;
  const double l = m, r = w - m, t = m, b = h - m;
  const struct {
    const char* shape;
    Path path;
    bool room;
  } cases[] = {
      {"south-west to north-east", {{l, b}, {r, t}}, true},
      {"north-west to south-east", {{l, t}, {r, b}}, true},
      {"along the top and down the right", {{l, t}, {r, t}, {r, b}}, true},
      {"back and forth over all of it",
       {{l, t}, {r, t}, {l, (t + b) / 2}, {r, (t + b) / 2}, {l, b}, {r, b}},
       false},
  };
  PictureView view(w, h);
  GeoBounds area;
  area.include({48.0, 11.0});
  area.include({48.1, 11.15});
  view.fit(area, m);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shape);
    RoutePicture pic;
    for (std::size_t k = 1; k < c.path.size(); ++k) {
      for (int i = 0; i < 40; ++i) {
        const CanvasPoint a = c.path[k - 1], e = c.path[k];
        PictureDot d;
        d.pos = view.toGeo({a.x + (e.x - a.x) * i / 39.0, a.y + (e.y - a.y) * i / 39.0});
        pic.dots.push_back(d);
      }
    }
    pic.removed = {view.toGeo({w / 2.0, h / 2.0})};
    const PictureOverlays o = placeOverlays(pic, view, canvas);
    EXPECT_FALSE(o.legend.overlaps(o.scale));
    for (const PictureBox& box : {o.legend, o.scale}) {
      EXPECT_GT(box.w, 0);
      EXPECT_TRUE(box.x >= 0 && box.y >= 0 && box.x + box.w <= w && box.y + box.h <= h);
      if (!c.room) continue;
      for (const PictureDot& d : pic.dots) {
        EXPECT_FALSE(box.touches(view.toScreen(d.pos), kDotRadius)) << box.x << " " << box.y;
      }
      EXPECT_FALSE(box.touches(view.toScreen(pic.removed[0]), kDotRadius));
    }
  }
}

class Picture : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    test::TrackBuilder t(-33.9, -70.6, 12 * 3600);  // south and west: signs matter
    t.add(t.current()).drive(0, 40, 400, 2).stand(300, 0.3, 5).drive(90, 35, 300, 2);
    t.fixes()[5].valid = false;  // a record without a fix has no position of its own
    fixes = t.fixes();
    lines = t.rmcLines();
    lines.insert(lines.begin() + 9, "keine NMEA Zeile");
    test::useInput(session, 2);
    test::setInput(session, lines);
    session.opt.rules.MeterSpin = 300;
  }
  std::vector<test::Fix> fixes;
  std::vector<std::string> lines;
};

TEST_P(Picture, PositionsOfTheInputAndDotsOfTheRoute) {
  session.opt.ShowErrors = true;
  const PointRecord before = session.CurrentPoint;
  const std::vector<GeoPosition> track = inputTrack(session);
  EXPECT_TRUE(port.prompts.empty()) << "the picture reads quietly";
  EXPECT_TRUE(session.opt.ShowErrors);
  EXPECT_EQ(session.CurrentPoint.Time, before.Time);
  ASSERT_EQ(track.size(), fixes.size() - 1);
  EXPECT_NEAR(static_cast<double>(track.front().lat), -33.9, 1e-6);
  EXPECT_NEAR(static_cast<double>(track.front().lon), -70.6, 1e-6);
  EXPECT_GT(track.back().lon, -70.6) << "the drive ends east of its start";

  session.opt.ShowErrors = false;
  test::useOutput(session, 6);  // the table: a header line before the points
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  const RoutePicture pic = routePicture(session);
  ASSERT_EQ(pic.dots.size(), static_cast<std::size_t>(session.doc.RoutePointCount));
  EXPECT_EQ(pic.dots.front().role, DotRole::Start);
  EXPECT_EQ(pic.dots.back().role, DotRole::End);
  int stops = 0;
  for (std::size_t i = 0; i < pic.dots.size(); ++i) {
    EXPECT_EQ(pic.dots[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(pic.dots[i].rule, session.doc.ruleNotes[i].text);
    stops += pic.dots[i].role == DotRole::Stop;
  }
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(pic.dotOfLine(0), 0) << "the header line is written with the first point";
  EXPECT_EQ(pic.dotOfLine(1), 0);
  EXPECT_EQ(pic.dotOfLine(2), 1);
  EXPECT_EQ(pic.dotOfLine(session.doc.OutputLines.Count() - 1),
            static_cast<int>(pic.dots.size()) - 1);
  EXPECT_EQ(pic.dotOfLine(session.doc.OutputLines.Count()), -1);

  const GeoBounds b = pic.bounds();
  EXPECT_NEAR(static_cast<double>(b.south), -33.9, 1e-6);
  EXPECT_NEAR(static_cast<double>(b.west), -70.6, 1e-6);
  EXPECT_GT(b.north, b.south);
  EXPECT_GT(b.east, b.west);

  const std::string hover = dotDescription(pic.dots.front(), sep());
  EXPECT_EQ(hover.substr(0, 26), "Routenpunkt 1: Startpunkt\r");
  const std::string where = std::string("33") + sep() + "900000\xB0 S  70" + sep() + "600000\xB0 W";
  EXPECT_NE(hover.find(where), std::string::npos) << hover;
}

TEST_P(Picture, FollowsReversalReductionAndLoading) {
  test::useOutput(session, 2);
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  const RoutePicture made = routePicture(session);
  const int n = static_cast<int>(made.dots.size());

  RouteReversActionExecute(session);
  const RoutePicture turned = routePicture(session);
  ASSERT_EQ(static_cast<int>(turned.dots.size()), n);
  EXPECT_EQ(turned.dots.front().number, n) << "the first line is the old end point";
  EXPECT_EQ(turned.dots.front().role, DotRole::Start);
  EXPECT_EQ(turned.dots.back().role, DotRole::End);
  EXPECT_EQ(turned.dots.back().kind, RuleKind::Start);
  EXPECT_EQ(turned.dotOfLine(0), 0);
  EXPECT_NEAR(static_cast<double>(turned.dots.front().pos.lat),
              static_cast<double>(made.dots.back().pos.lat), 1e-9);

  // The numbers drawn follow the route as it now runs; its lines keep the numbers they had.
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(turned.dots[static_cast<std::size_t>(i)].order, i + 1);
    EXPECT_EQ(turned.dots[static_cast<std::size_t>(i)].number, n - i);
  }
  PictureView view(800, 600);
  view.fit(turned.bounds(), fitMargin(800, 600));
  TextCanvas canvas(800, 600, PictureColours::background);
  drawPicture(turned, view, canvas, -1, sep());
  EXPECT_EQ(canvas.numberAt(view.toScreen(turned.dots.front().pos)), "1");
  EXPECT_EQ(canvas.numberAt(view.toScreen(turned.dots.back().pos)), std::to_string(n));
  EXPECT_EQ(dotDescription(turned.dots.front(), sep())
                .substr(0, dotDescription(turned.dots.front(), sep()).find('\r')),
            "Routenpunkt 1 (in den Routendaten Nr. " + std::to_string(n) + "): Zielpunkt");
  EXPECT_EQ(canvas.where("Entfernt"), nullptr) << "nothing removed yet";

  RouteVerringern(session, 4);
  const RoutePicture reduced = routePicture(session);
  EXPECT_EQ(reduced.dots.size(), 4u);
  EXPECT_EQ(reduced.removed.size(), static_cast<std::size_t>(n - 4));
  // The faded points have their row in the legend.
  TextCanvas faded(800, 600, PictureColours::background);
  PictureView whole(800, 600);
  whole.fit(reduced.bounds(), fitMargin(800, 600));
  drawPicture(reduced, whole, faded, -1, sep());
  const CanvasPoint* row = faded.where("Entfernt");
  ASSERT_NE(row, nullptr);
  EXPECT_TRUE(placeOverlays(reduced, whole, faded).legend.touches(*row, 0));

  session.doc.OutputLines.clear();  // as loading a file does
  EXPECT_TRUE(routePicture(session).dots.empty());
}

// Logs may end in lines that hold no record: the point a rule made at the last record is then
// where the route ends, and drawn so; only a route still being made has no end yet.
TEST_P(Picture, LastPointIsTheDestinationWhicheverRuleMadeIt) {
  lines.push_back("$GPGSV,1,1,00*79");
  test::setInput(session, lines);
  test::useOutput(session, 1);
  const struct {
    const char* name;
    bool everyNth;
  } cases[] = {{"time rule at every record", false}, {"every record", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::onlyRules(session, false, false, false, !c.everyNth);
    session.opt.rules.AllGGACheck = c.everyNth;
    session.opt.rules.XRPSpin = 1;
    session.opt.rules.ZeitSpin = 1;
    session.opt.rules.MinDistEdit = 0;
    ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
    ASSERT_NE(session.doc.ruleNotes.back().kind, RuleKind::End) << "a rule made the last point";
    const RoutePicture pic = routePicture(session);
    ASSERT_GT(pic.dots.size(), 2u);
    EXPECT_EQ(pic.dots.back().role, DotRole::End);
    EXPECT_EQ(pic.dots.front().role, DotRole::Start);

    session.routeInProgress = true;
    EXPECT_NE(routeDots(session).back().role, DotRole::End);
    EXPECT_EQ(routeDots(session, pic.dots.size() - 1).front().order,
              static_cast<int>(pic.dots.size()))
        << "later dots of a growing route keep their places";
    session.routeInProgress = false;
  }
}

// GPX frames its point lines with a header and footer that the reversal's pass rebuilds: each
// dot must still select its own point line, the header going with the first.
TEST_P(Picture, ReversedGpxDotsSelectTheirOwnLines) {
  const OutputFormatInfo* gpx = nullptr;
  for (const OutputFormatInfo& f : outputFormats()) {
    if (f.pointLine && f.finish && f.reversible) gpx = &f;
  }
  ASSERT_NE(gpx, nullptr);
  test::useOutput(session, gpx->code);
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  const int n = static_cast<int>(routePicture(session).dots.size());
  ASSERT_GT(n, 2);

  RouteReversActionExecute(session);
  const RoutePicture turned = routePicture(session);
  ASSERT_EQ(static_cast<int>(turned.dots.size()), n);
  EXPECT_EQ(turned.dots.front().number, n);
  int dot = 0;
  for (int i = 0; i < session.doc.OutputLines.Count(); ++i) {
    if (!gpx->pointLine(std::string(session.doc.OutputLines.full(i)))) continue;
    EXPECT_EQ(turned.dotOfLine(i), dot) << "line " << i << ": " << session.doc.OutputLines.at(i);
    const PointRecord r = session.doc.emittedPoints[static_cast<std::size_t>(dot)].record.unpack();
    EXPECT_NE(session.doc.OutputLines.at(i).find("<time>"), std::string::npos);
    EXPECT_NE(session.doc.OutputLines.at(i).find("T" + r.Time.substr(0, 2) + ":" +
                                                 r.Time.substr(2, 2) + ":" + r.Time.substr(4, 2)),
              std::string::npos)
        << "the line holds the time of its own record: " << session.doc.OutputLines.at(i);
    ++dot;
  }
  EXPECT_EQ(dot, n);
  EXPECT_EQ(turned.dotOfLine(0), 0) << "the header goes with the first point";

  // The reduction takes the reversed route as it stands, without a new generation.
  const ReduceResult reduced = RouteVerringern(session, 2);
  ASSERT_TRUE(reduced.done);
  ASSERT_LT(reduced.after, n);
  EXPECT_EQ(routePicture(session).dots.size(), static_cast<std::size_t>(reduced.after));
  EXPECT_EQ(gpxPointCount(session.doc.OutputLines), reduced.after);
}

TEST_P(Picture, DrawnDotsAndHits) {
  test::useOutput(session, 1);
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  const RoutePicture pic = routePicture(session);
  PictureView view(500, 400);
  view.fit(pic.bounds(), 30);
  RasterCanvas canvas(500, 400, {0, 0, 0, 255});
  drawPicture(pic, view, canvas, 1, sep());

  const auto at = [&](const PictureDot& d) {
    const CanvasPoint p = view.toScreen(d.pos);
    return canvas.pixel(static_cast<int>(p.x), static_cast<int>(p.y));
  };
  EXPECT_EQ(at(pic.dots.front()), PictureColours::start);
  EXPECT_EQ(at(pic.dots.back()), PictureColours::end);
  for (const PictureDot& d : pic.dots) {
    if (d.role == DotRole::Stop) {
      EXPECT_EQ(at(d), PictureColours::stop);
    }
  }
  const CanvasPoint second = view.toScreen(pic.dots[1].pos);
  EXPECT_EQ(canvas.pixel(static_cast<int>(second.x + kDotRadius + 2), static_cast<int>(second.y)),
            PictureColours::highlight)
      << "the chosen dot is ringed";
  EXPECT_EQ(canvas.pixel(250, 395), PictureColours::background);

  EXPECT_EQ(dotAt(pic, view, {second.x + 2, second.y - 2}, 6), 1);
  EXPECT_EQ(dotAt(pic, view, {-50, -50}, 6), -1);
}

// Every other column of tiles, one colour, with credits wider than most of the picture.
class StripedMap : public TileSource {
 public:
  std::string attribution() const override {
    return "\xA9 Eine sehr lange Namensnennung der Karte, die fast das ganze Bild braucht";
  }
  int minZoom() const override { return 0; }
  int maxZoom() const override { return 18; }
  std::shared_ptr<const TileImage> tile(const TileKey& key) override {
    if (key.x % 2) return nullptr;
    TileImage t;
    t.width = t.height = 1;
    t.rgba = {20, 120, 20, 255};
    return std::make_shared<const TileImage>(std::move(t));
  }
};

TEST_P(Picture, OverAMapTheGridGoesAndNothingCoversTheCredits) {
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  const RoutePicture pic = routePicture(session);
  PictureView view(500, 400);
  view.fit(pic.bounds(), 30);
  StripedMap map;
  RasterCanvas canvas(500, 400, {0, 0, 0, 255});
  const MapUnderlay under = drawPicture(pic, view, canvas, -1, sep(), &map);
  ASSERT_TRUE(under.shown);
  EXPECT_EQ(under.zoom, zoomForScale(view.scale(), 0, 18));
  ASSERT_FALSE(under.missing.empty());
  for (const TileKey& k : under.missing) EXPECT_EQ(k.x % 2, 1);

  const PixelRect credit = mapAttributionBox(canvas, map.attribution());
  ASSERT_GT(credit.w, 250);
  int grid = 0, creditText = 0, otherText = 0;
  for (int y = 0; y < 400; ++y) {
    for (int x = 0; x < 500; ++x) {
      const Rgba c = canvas.pixel(x, y);
      grid += c == PictureColours::grid;
      const bool inCredit = x >= credit.x && y >= credit.y;
      creditText += inCredit && c == MapColours::attributionText;
      otherText += inCredit && c == PictureColours::text;  // scale bar, legend, numbers
    }
  }
  EXPECT_EQ(grid, 0) << "no grid over a map";
  EXPECT_GT(creditText, 50);
  EXPECT_EQ(otherText, 0);
}

KURSOLIN_ON_BOTH_HOSTS(Picture);

}  // namespace
}  // namespace kursolin
