// Fitting a route to a device's point limit: the ranking of the points and the emission of the
// kept ones, which must be what a generation of just those points makes.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "core/cp1252.h"
#include "formats/gpx.h"
#include "formats/registry.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "workflow/emit.h"
#include "workflow/reduce.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

using Keep = std::vector<std::size_t>;

// Points a given number of metres east and north of 48° N 11° E.
std::vector<GeoPosition> metres(const std::vector<std::pair<double, double>>& en) {
  std::vector<GeoPosition> out;
  for (auto [e, n] : en) {
    out.push_back({48.0L + n / 111195.0L, 11.0L + e / (111195.0L * std::cos(48.0L * 0.0174533L))});
  }
  return out;
}

TEST(PointsToKeep, ConstructedRoutes) {
  const auto straight = metres({{0, 0}, {100, 0}, {200, 0}, {300, 0}, {400, 0}, {500, 0}});
  const auto bump = metres({{0, 0}, {100, 0}, {200, 0}, {300, 40}, {400, 0}, {500, 0}, {600, 0}});
  const auto corner =
      metres({{0, 0}, {100, 1}, {200, 0}, {300, 2}, {400, 0}, {400, 100}, {401, 200}, {400, 300}});
  const std::vector<bool> none;
  struct Case {
    const char* what;
    const std::vector<GeoPosition>& points;
    std::vector<bool> fixed;
    int max;
    Keep keep;
  } cases[] = {
      {"a straight line keeps its ends", straight, none, 2, {0, 5}},
      {"a straight line loses interior points first", bump, none, 3, {0, 3, 6}},
      {"a right-angle turn keeps its corner", corner, none, 3, {0, 4, 7}},
      {"the corner stays longer than the wiggles", corner, none, 4, {0, 3, 4, 7}},
      {"a stop survives on a straight line", straight, {false, false, true}, 3, {0, 2, 5}},
      {"fixed points stay even above the limit",
       straight,
       {false, true, true, true},
       2,
       {0, 1, 2, 3, 5}},
      {"a limit at the route's size changes nothing", bump, none, 7, {0, 1, 2, 3, 4, 5, 6}},
      {"a limit above it neither", bump, none, 100, {0, 1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(pointsToKeep(c.points, c.fixed, c.max), c.keep) << c.what;
  }
  EXPECT_EQ(pointsToKeep({}, none, 5), Keep{});
  EXPECT_EQ(pointsToKeep(metres({{0, 0}}), none, 0), Keep{0}) << "a lone point is start and end";
}

// The slow way: every round ranks every remaining point afresh against its current neighbours.
Keep naiveKeep(const std::vector<GeoPosition>& pts, const std::vector<bool>& fixed, int max) {
  Keep left;
  for (std::size_t i = 0; i < pts.size(); ++i) left.push_back(i);
  const auto off = [](GeoPosition a, GeoPosition p, GeoPosition b) {
    const double k = 111195.0, c = std::cos(static_cast<double>(p.lat) * 3.14159265358979 / 180);
    const double ax = (a.lon - p.lon) * k * c, ay = (a.lat - p.lat) * k;
    const double bx = (b.lon - p.lon) * k * c, by = (b.lat - p.lat) * k;
    const double len = std::hypot(bx - ax, by - ay);
    return len < 1e-9 ? std::hypot(ax, ay) : std::fabs((bx - ax) * ay - (by - ay) * ax) / len;
  };
  while (left.size() > static_cast<std::size_t>(max)) {
    std::size_t best = 0;
    double bestD = std::numeric_limits<double>::infinity();
    for (std::size_t j = 1; j + 1 < left.size(); ++j) {
      if (left[j] < fixed.size() && fixed[left[j]]) continue;
      const double d = off(pts[left[j - 1]], pts[left[j]], pts[left[j + 1]]);
      if (d < bestD) {
        bestD = d;
        best = j;
      }
    }
    if (best == 0) break;
    left.erase(left.begin() + static_cast<std::ptrdiff_t>(best));
  }
  return left;
}

TEST(PointsToKeep, RanksAgainAsNeighboursGo) {
  // A wandering path: each removal changes what its neighbours mean to the shape.
  std::vector<std::pair<double, double>> walk;
  double e = 0, n = 0;
  for (int i = 0; i < 60; ++i) {
    e += 50 + 37 * std::sin(i * 1.7);
    n += 45 * std::sin(i * 0.45) + 13 * std::cos(i * 2.9);
    walk.push_back({e, n});
  }
  const auto pts = metres(walk);
  std::vector<bool> fixed(pts.size(), false);
  fixed[17] = fixed[40] = true;
  for (int max : {2, 5, 10, 25, 48, 59}) {
    EXPECT_EQ(pointsToKeep(pts, fixed, max), naiveKeep(pts, fixed, max)) << max;
  }
}

class Reduction : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    // North, a stop, then east with a bend: distance, stop and heading points.
    test::TrackBuilder t(48.137, 11.575, 12 * 3600);
    t.add(t.current())
        .drive(0, 40, 600, 2)
        .stand(300, 0.3, 5)
        .drive(90, 35, 400, 2)
        .drive(45, 35, 300, 2);
    rmc = t.rmcLines();
    test::useInput(session, 2);
    test::setInput(session, rmc);
    session.opt.rules.MeterSpin = 300;
  }
  void generate(int outputCode) {
    test::useOutput(session, outputCode);
    ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  }
  std::vector<std::string> rmc;
};

TEST_P(Reduction, KeepsStartEndAndStopsAndNumbersAfresh) {
  generate(1);
  const int before = session.doc.RoutePointCount;
  ASSERT_GT(before, 12);
  int stops = 0;
  for (const auto& n : session.doc.ruleNotes) stops += n.kind == RuleKind::Stop;
  ASSERT_EQ(stops, 1);
  port.clearRecords();

  const ReduceResult r = RouteVerringern(session, 6);
  EXPECT_TRUE(r.done);
  EXPECT_EQ(r.before, before);
  EXPECT_EQ(r.after, 6);
  EXPECT_EQ(session.doc.RoutePointCount, 6);
  EXPECT_EQ(session.doc.OutputLines.Count(), 6);
  ASSERT_EQ(session.doc.ruleNotes.size(), 6u);
  EXPECT_EQ(session.doc.ruleNotes.front().kind, RuleKind::Start);
  EXPECT_EQ(session.doc.ruleNotes.back().kind, RuleKind::End);
  int keptStops = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(session.doc.ruleNotes[i].point, static_cast<int>(i) + 1);
    keptStops += session.doc.ruleNotes[i].kind == RuleKind::Stop;
  }
  EXPECT_EQ(keptStops, 1);
  EXPECT_EQ(session.doc.reducedAway.size(), static_cast<std::size_t>(before - 6));
  EXPECT_TRUE(routeRecordsInStep(session.doc));
  EXPECT_EQ(session.outputCaption(), "MN|4.2 Routenpunkte := 6");
  EXPECT_TRUE(port.prompts.empty());

  // Below the three fixed points the route keeps them and says so.
  const ReduceResult r2 = RouteVerringern(session, 2);
  EXPECT_EQ(r2.after, 3);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Information);
  EXPECT_NE(port.prompts[0].text.find("3 Routenpunkte"), std::string::npos);
}

TEST_P(Reduction, ALimitAtTheRouteSizeLeavesTheLinesAlone) {
  generate(2);
  const auto lines = test::output(session);
  const auto revision = session.doc.OutputLines.revision();
  const ReduceResult r = RouteVerringern(session, session.doc.RoutePointCount);
  EXPECT_TRUE(r.done);
  EXPECT_EQ(r.after, r.before);
  EXPECT_EQ(session.doc.OutputLines.revision(), revision);
  EXPECT_EQ(test::output(session), lines);
  EXPECT_TRUE(session.doc.reducedAway.empty());
}

TEST_P(Reduction, WithoutARouteItRefuses) {
  const ReduceResult r = RouteVerringern(session, 10);
  EXPECT_FALSE(r.done);
  ASSERT_EQ(port.promptTexts(), std::vector<std::string>{"Keine Route vorhanden !"});
  // Records of a route whose lines a load took away are no route either.
  generate(1);
  session.doc.OutputLines.clear();
  EXPECT_FALSE(RouteVerringern(session, 10).done);
}

TEST_P(Reduction, ANewGenerationForgetsTheRemovedPoints) {
  generate(1);
  RouteVerringern(session, 4);
  ASSERT_FALSE(session.doc.reducedAway.empty());
  RouteExecute(session);
  EXPECT_TRUE(session.doc.reducedAway.empty());
  EXPECT_EQ(session.doc.emittedPoints.size(),
            static_cast<std::size_t>(session.doc.RoutePointCount));
}

// The kept points, emitted again, are byte for byte what a generation of just those records
// makes: their RMC lines taken every one ("Aus jedem" 1) by a fresh session.
TEST_P(Reduction, ReEmissionEqualsAGenerationOfTheKeptPoints) {
  // A kept stop stays a via point, which a generation of just the kept records cannot know.
  session.opt.set(GpxViaPunkte, false);
  int formats = 0;
  for (bool info : {false, true}) {
    for (const OutputFormatInfo& f : outputFormats()) {
      if (!f.available()) continue;
      ++formats;
      session.opt.ShowPointInfo = info;
      generate(f.code);
      if (f.code == outputFormats().front().code) {
        // Once also after a reversal: the order of the lines is the route's order.
        if (f.reversible) RouteReversActionExecute(session);
      }
      const std::string what = f.cliName + (info ? " with point info" : "");
      ASSERT_TRUE(RouteVerringern(session, 7).done) << what << " " << port.promptTexts().size();

      std::set<std::string> keptTimes;
      for (const EmittedPoint& e : session.doc.emittedPoints)
        keptTimes.insert(e.record.unpack().Time);
      std::vector<std::string> keptLines;
      for (const EmittedPoint& e : session.doc.emittedPoints) {
        for (const std::string& l : rmc) {
          if (l.find("," + e.record.unpack().Time + ",") != std::string::npos) keptLines.push_back(l);
        }
      }
      ASSERT_EQ(keptLines.size(), 7u) << what;

      test::ScriptedPort otherPort;
      Session other(otherPort, test::hostWith(sep()));
      test::createLikeTheWindow(other);
      test::useInput(other, 2);
      test::setInput(other, keptLines);
      test::useOutput(other, f.code);
      other.opt.ShowPointInfo = info;
      other.opt.set(GpxViaPunkte, false);
      other.opt.rules.AllGGACheck = true;
      other.opt.rules.XRPSpin = 1;
      ASSERT_EQ(RouteExecute(other), RouteResult::Completed) << what;

      EXPECT_EQ(other.doc.OutputLines.text(), session.doc.OutputLines.text()) << what;
      EXPECT_EQ(other.doc.PointTable.visible, session.doc.PointTable.visible) << what;
      // A hidden table keeps the rows of an earlier route, as after any generation.
      if (f.pointTable) {
        EXPECT_EQ(other.doc.PointTable.rows, session.doc.PointTable.rows) << what;
      }
      EXPECT_EQ(other.doc.RoutePointCount, session.doc.RoutePointCount) << what;
      EXPECT_EQ(other.outputCaption(), session.outputCaption()) << what;
    }
  }
  EXPECT_GE(formats, 8) << "every format this version writes, twice";
}

KURSOLIN_ON_BOTH_HOSTS(Reduction);

}  // namespace
}  // namespace kursolin
