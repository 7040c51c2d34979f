// The route picture without a window: positions, dots, projection, view, scale bar and grid,
// and the drawing itself onto the software raster.
#include <gtest/gtest.h>

#include <cmath>

#include "core/raster.h"
#include "formats/gpx.h"
#include "formats/registry.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "workflow/picture.h"
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
    session.rules.MeterSpin = 300;
  }
  std::vector<test::Fix> fixes;
  std::vector<std::string> lines;
};

TEST_P(Picture, PositionsOfTheInputAndDotsOfTheRoute) {
  session.ShowErrors = true;
  const PointRecord before = session.CurrentPoint;
  const std::vector<GeoPosition> track = inputTrack(session);
  EXPECT_TRUE(port.prompts.empty()) << "the picture reads quietly";
  EXPECT_TRUE(session.ShowErrors);
  EXPECT_EQ(session.CurrentPoint.Time, before.Time);
  ASSERT_EQ(track.size(), fixes.size() - 1);
  EXPECT_NEAR(static_cast<double>(track.front().lat), -33.9, 1e-6);
  EXPECT_NEAR(static_cast<double>(track.front().lon), -70.6, 1e-6);
  EXPECT_GT(track.back().lon, -70.6) << "the drive ends east of its start";

  session.ShowErrors = false;
  test::useOutput(session, 6);  // the table: a header line before the points
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  const RoutePicture pic = routePicture(session);
  ASSERT_EQ(pic.dots.size(), static_cast<std::size_t>(session.RoutePointCount));
  EXPECT_EQ(pic.dots.front().role, DotRole::Start);
  EXPECT_EQ(pic.dots.back().role, DotRole::End);
  int stops = 0;
  for (std::size_t i = 0; i < pic.dots.size(); ++i) {
    EXPECT_EQ(pic.dots[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(pic.dots[i].rule, session.ruleNotes[i].text);
    stops += pic.dots[i].role == DotRole::Stop;
  }
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(pic.dotOfLine(0), 0) << "the header line is written with the first point";
  EXPECT_EQ(pic.dotOfLine(1), 0);
  EXPECT_EQ(pic.dotOfLine(2), 1);
  EXPECT_EQ(pic.dotOfLine(session.OutputLines.Count() - 1), static_cast<int>(pic.dots.size()) - 1);
  EXPECT_EQ(pic.dotOfLine(session.OutputLines.Count()), -1);

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

  RouteVerringern(session, 4);
  const RoutePicture reduced = routePicture(session);
  EXPECT_EQ(reduced.dots.size(), 4u);
  EXPECT_EQ(reduced.removed.size(), static_cast<std::size_t>(n - 4));

  session.OutputLines.clear();  // as loading a file does
  EXPECT_TRUE(routePicture(session).dots.empty());
}

// GPX frames its point lines with a header and footer that the reversal's pass rebuilds: each
// dot must still select its own point line, the header going with the first.
TEST_P(Picture, ReversedGpxDotsSelectTheirOwnLines) {
  const OutputFormatInfo* gpx = nullptr;
  for (const OutputFormatInfo& f : outputFormats()) {
    if (f.pointLine && f.finish && f.reversible()) gpx = &f;
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
  for (int i = 0; i < session.OutputLines.Count(); ++i) {
    if (!gpx->pointLine(std::string(session.OutputLines.full(i)))) continue;
    EXPECT_EQ(turned.dotOfLine(i), dot) << "line " << i << ": " << session.OutputLines.at(i);
    const PointRecord r = session.emittedPoints[static_cast<std::size_t>(dot)].record.unpack();
    EXPECT_NE(session.OutputLines.at(i).find("<time>"), std::string::npos);
    EXPECT_NE(session.OutputLines.at(i).find("T" + r.Time.substr(0, 2) + ":" + r.Time.substr(2, 2) + ":" + r.Time.substr(4, 2)),
              std::string::npos)
        << "the line holds the time of its own record: " << session.OutputLines.at(i);
    ++dot;
  }
  EXPECT_EQ(dot, n);
  EXPECT_EQ(turned.dotOfLine(0), 0) << "the header goes with the first point";

  // The reduction takes the reversed route as it stands, without a new generation.
  const ReduceResult reduced = RouteVerringern(session, 2);
  ASSERT_TRUE(reduced.done);
  ASSERT_LT(reduced.after, n);
  EXPECT_EQ(routePicture(session).dots.size(), static_cast<std::size_t>(reduced.after));
  EXPECT_EQ(gpxPointCount(session.OutputLines), reduced.after);
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

KURSOLIN_ON_BOTH_HOSTS(Picture);

}  // namespace
}  // namespace kursolin
