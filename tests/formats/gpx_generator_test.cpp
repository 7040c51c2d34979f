// The generator's rules on GPX tracks: the same drive recorded as an NMEA log and as a GPX track
// gives the same route, although the track's speeds and courses are worked out from its points.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "formats/gpx.h"
#include "support/gpx_writer.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "track/generator.h"
#include "workflow/dispatch.h"

namespace kursolin {
namespace {

using test::TrackBuilder;

struct Route {
  std::vector<std::string> lines;
  std::vector<RuleKind> kinds;
};

class GpxRules : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    test::useOutput(session, 1);  // Navigon MN|4.2: one line a point with its position
  }
  Route make(int inputCode, const std::vector<std::string>& lines) {
    test::useInput(session, inputCode);
    test::setInput(session, lines);
    RouteErzeugen(session);
    Route r{session.doc.OutputLines.lines(), {}};
    for (const auto& n : session.doc.ruleNotes) r.kinds.push_back(n.kind);
    return r;
  }
  Route gpx(const TrackBuilder& t) {
    const GpxLoad load = parseGpx(test::gpxTrack(t.fixes()), "t.gpx");
    EXPECT_TRUE(load.ok) << load.message;
    return make(25, load.lines);
  }
};

struct Scenario {
  const char* name;
  std::function<void(TrackBuilder&)> drive;
  std::function<void(Session&)> rules;
  bool rmcOnly = false;  // every Nth line: a GGA + VTG log has two lines a fix
};

TEST_P(GpxRules, SameRouteAsFromTheNmeaLog) {
  const Scenario scenarios[] = {
      {"distance at 40 km/h, none at 120",
       [](TrackBuilder& t) { t.drive(0, 40, 600).drive(0, 120, 300).drive(0, 45, 60); },
       [](Session& s) { test::onlyRules(s, true, false, false, false); }},
      {"right angle fast and slow",
       [](TrackBuilder& t) {
         t.drive(0, 30, 60).drive(90, 30, 60).drive(90, 10, 30).drive(180, 10, 60);
       },
       [](Session& s) { test::onlyRules(s, false, true, false, false); }},
      {"slow bend",
       [](TrackBuilder& t) {
         for (int c = 0; c <= 120; c += 5) t.drive(c, 40, 10, 10);
       },
       [](Session& s) { test::onlyRules(s, false, true, false, false); }},
      {"stops of 4:30 and 2:00",
       [](TrackBuilder& t) {
         t.drive(0, 30, 120).stand(270).drive(0, 30, 60).stand(120).drive(90, 30, 60);
       },
       [](Session& s) { test::onlyRules(s, false, false, true, false); }},
      {"time rule over midnight", [](TrackBuilder& t) { t.drive(45, 40, 300, 2); },
       [](Session& s) {
         test::onlyRules(s, false, false, false, true);
         s.opt.rules.MinDistEdit = 0;
       }},
      {"every rule on a tour",
       [](TrackBuilder& t) {
         for (int leg = 0; leg < 6; ++leg) {
           const int course = leg * 100 % 360;
           t.drive(course, 30 + leg * 15, 120).drive((course + 90) % 360, 30 + leg * 15, 120);
           t.stand(leg % 2 ? 200 : 30);
         }
       },
       [](Session& s) {
         s.opt.rules = RuleSettings{};
         s.opt.rules.ZeitCheck = true;
         s.opt.rules.ZeitSpin = 120;
       }},
      {"every 10th record", [](TrackBuilder& t) { t.drive(30, 50, 95); },
       [](Session& s) {
         s.opt.rules.AllGGACheck = true;
         s.opt.rules.XRPSpin = 10;
       },
       true},
  };
  for (const auto& sc : scenarios) {
    // The midnight case starts three minutes before it.
    const bool midnight = std::string(sc.name).find("midnight") != std::string::npos;
    TrackBuilder t(48.0, 11.0, midnight ? 86400 - 180 : 12 * 3600);
    t.add(t.current());
    sc.drive(t);
    sc.rules(session);
    const Route fromGpx = gpx(t);
    ASSERT_GE(fromGpx.kinds.size(), 2u) << sc.name;
    EXPECT_EQ(fromGpx.kinds.front(), sc.rmcOnly ? RuleKind::EveryNth : RuleKind::Start) << sc.name;
    EXPECT_EQ(fromGpx.kinds.back(), RuleKind::End) << sc.name;
    const Route fromRmc = make(2, t.rmcLines());
    EXPECT_EQ(fromGpx.lines, fromRmc.lines) << sc.name;
    EXPECT_EQ(fromGpx.kinds, fromRmc.kinds) << sc.name;
    if (!sc.rmcOnly) {
      const Route fromGga = make(1, t.ggaVtgLines());
      EXPECT_EQ(fromGpx.lines, fromGga.lines) << sc.name;
      EXPECT_EQ(fromGpx.kinds, fromGga.kinds) << sc.name;
    }
    // Every rule of the scenario had its say on the GPX track.
    if (sc.name == std::string("every rule on a tour")) {
      for (RuleKind k : {RuleKind::Distance, RuleKind::Heading, RuleKind::Stop, RuleKind::Time})
        EXPECT_NE(std::find(fromGpx.kinds.begin(), fromGpx.kinds.end(), k), fromGpx.kinds.end())
            << ruleName(k);
    }
  }
  EXPECT_TRUE(port.prompts.empty());
}

KURSOLIN_ON_BOTH_HOSTS(GpxRules);

}  // namespace
}  // namespace kursolin
