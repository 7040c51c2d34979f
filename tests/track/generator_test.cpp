// The rule generator and the every-Nth-record generator on scripted tracks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "core/cp1252.h"
#include "core/geotime.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "track/generator.h"
#include "workflow/dispatch.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

using test::TrackBuilder;

struct Pt {
  double lat, lon;
};

class Generator : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    test::useOutput(session, 1);  // Navigon MN|4.2, short form
  }
  void gga(const TrackBuilder& t) {
    test::useInput(session, 1);
    test::setInput(session, t.ggaVtgLines());
  }
  void rmc(const TrackBuilder& t) {
    test::useInput(session, 2);
    test::setInput(session, t.rmcLines());
  }
  /// Positions of the points of an MN|4.2 output (longitude field 11, latitude field 12).
  std::vector<Pt> points() const {
    std::vector<Pt> out;
    for (const auto& l : session.doc.OutputLines.lines()) {
      std::vector<std::string> f;
      std::size_t start = 0, bar;
      while ((bar = l.find('|', start)) != std::string::npos) {
        f.push_back(l.substr(start, bar - start));
        start = bar + 1;
      }
      EXPECT_EQ(f.size(), 15u) << l;
      if (f.size() == 15) out.push_back({std::stod(f[12]), std::stod(f[11])});
    }
    return out;
  }
  std::vector<RuleKind> kinds() const {
    std::vector<RuleKind> k;
    for (const auto& n : session.doc.ruleNotes) k.push_back(n.kind);
    return k;
  }
  int count(RuleKind k) const {
    int n = 0;
    for (auto x : kinds()) n += x == k;
    return n;
  }
  static int metres(const Pt& a, const Pt& b) { return Dist(a.lat, a.lon, b.lat, b.lon); }
};

TEST_P(Generator, DistanceRuleAtLowSpeedAboutEveryKilometre) {
  test::onlyRules(session, true, false, false, false);
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 900);  // 10 km north at 40 km/h
  gga(t);
  RouteErzeugen(session);
  const auto p = points();
  ASSERT_EQ(count(RuleKind::Distance), 10);
  ASSERT_EQ(p.size(), 12u);  // start, ten distance points (the last at the last record), end
  EXPECT_EQ(kinds().front(), RuleKind::Start);
  EXPECT_EQ(kinds().back(), RuleKind::End);
  for (std::size_t i = 1; i + 1 < p.size(); ++i) {
    const int d = metres(p[i - 1], p[i]);
    EXPECT_GE(d, 1000) << i;
    EXPECT_LE(d, 1012) << i;
  }
  EXPECT_NEAR(p.back().lat, t.fixes().back().lat, 1e-6);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Generator, DistanceRuleWaitsForTheFirstSlowRecordAfterAFastStretch) {
  test::onlyRules(session, true, false, false, false);
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 120, 300);  // 10 km at 120 km/h: no distance point
  const std::size_t fastRecords = t.fixes().size();
  t.drive(0, 50, 5);  // at the threshold: counts as slow
  gga(t);
  RouteErzeugen(session);
  ASSERT_EQ(count(RuleKind::Distance), 1);
  const auto p = points();
  ASSERT_EQ(p.size(), 3u);
  EXPECT_NEAR(p[1].lat, t.fixes()[fastRecords].lat, 1e-6) << "the point comes at once";
}

TEST_P(Generator, HeadingRuleNeedsSpeedButMovesItsReferenceAnyway) {
  test::onlyRules(session, false, true, false, false);
  for (double speed : {30.0, 10.0}) {
    TrackBuilder t(48.0, 11.0, 12 * 3600);
    t.add(t.current()).drive(0, speed, 60).drive(90, speed, 60);
    gga(t);
    RouteErzeugen(session);
    EXPECT_EQ(count(RuleKind::Heading), speed > 20 ? 1 : 0) << speed;
    if (speed > 20) {
      const auto p = points();
      EXPECT_NEAR(p[1].lat, t.fixes()[61].lat, 1e-6) << "at the first record heading east";
    }
  }
  // The reference moved on at 10 km/h: speeding up on the same course turns nothing.
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 10, 60).drive(90, 10, 60).drive(90, 40, 60);
  gga(t);
  RouteErzeugen(session);
  EXPECT_EQ(count(RuleKind::Heading), 0);
}

TEST_P(Generator, SlowBendGivesAPointOnceTheTurnExceedsTheAngle) {
  test::onlyRules(session, false, true, false, false);
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current());
  for (int c = 0; c <= 120; c += 5) t.drive(c, 40, 10, 10);
  gga(t);
  RouteErzeugen(session);
  ASSERT_EQ(count(RuleKind::Heading), 1);
  // Course 80 is the first more than 75 degrees from the reference 0.
  const std::string& why = session.doc.ruleNotes[1].text;
  EXPECT_NE(why.find("G:80K:"), std::string::npos) << why;
}

TEST_P(Generator, TimeRuleWithoutMinimumDistanceDoublesADistancePoint) {
  test::onlyRules(session, true, true, false, true);
  session.opt.rules.MinDistEdit = 0;
  session.opt.rules.MeterSpin = 100;
  session.opt.rules.ZeitSpin = 10;
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 36, 25);  // 10 m/s: 100 m every 10 s
  gga(t);
  RouteErzeugen(session);
  const auto k = kinds();
  const std::vector<RuleKind> expected = {RuleKind::Start, RuleKind::Distance, RuleKind::Time,
                                          RuleKind::Distance, RuleKind::Time, RuleKind::End};
  EXPECT_EQ(k, expected);
  const auto p = points();
  ASSERT_EQ(p.size(), 6u);
  EXPECT_EQ(metres(p[1], p[2]), 0);
  EXPECT_EQ(metres(p[3], p[4]), 0);
}

TEST_P(Generator, TimeRuleStopsFiringAfterMidnight) {
  test::onlyRules(session, false, false, false, true);
  session.opt.rules.ZeitSpin = 60;
  TrackBuilder t(48.0, 11.0, 86400 - 300);
  t.add(t.current()).drive(0, 40, 600);
  gga(t);
  RouteErzeugen(session);
  EXPECT_EQ(count(RuleKind::Time), 4) << "23:56 .. 23:59; from 00:00 on the difference is negative";
}

TEST_P(Generator, StopRule) {
  test::onlyRules(session, false, false, true, false);
  session.opt.rules.MinDistEdit = 5000;  // the stop point ignores the minimum distance
  struct Case {
    int standSeconds;
    bool point;
    int minutes;
  } cases[] = {
      // The stop runs from the first slow record to the first fast one more than 20 m away,
      // three seconds into the drive: 177 s standing make a stop of 2:59, 178 s one of 3:00.
      {270, true, 4},
      {177, false, 0},
      {178, true, 3},
  };
  for (const auto& c : cases) {
    TrackBuilder t(48.0, 11.0, 12 * 3600);
    t.add(t.current()).drive(0, 30, 60).stand(c.standSeconds).drive(0, 30, 60);
    gga(t);
    RouteErzeugen(session);
    ASSERT_EQ(count(RuleKind::Stop), c.point ? 1 : 0) << c.standSeconds;
    if (c.point) {
      const auto& note = session.doc.ruleNotes[1];
      EXPECT_EQ(note.kind, RuleKind::Stop);
      EXPECT_NE(note.text.find("PD:" + std::to_string(c.minutes)), std::string::npos)
          << note.text;
      EXPECT_EQ(note.text.substr(0, 4), "-PS:");
    }
  }
}

TEST_P(Generator, StopGoesOnWhileTheVehicleIsWithinTwentyMetres) {
  test::onlyRules(session, false, false, true, false);
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 30, 60).stand(120);
  // Fast readings, but hardly moving: still the same stop.
  for (int i = 0; i < 120; ++i) {
    test::Fix f = t.current();
    f.secondsOfDay += i + 1;
    f.speedKmh = 30;
    f.lat += (i % 2) * 0.00005;  // 5.6 m back and forth
    t.add(f);
  }
  const test::Fix last = t.fixes().back();
  TrackBuilder rest(last.lat, last.lon, last.secondsOfDay);
  rest.drive(0, 30, 60);
  for (const auto& f : rest.fixes()) t.add(f);
  gga(t);
  RouteErzeugen(session);
  ASSERT_EQ(count(RuleKind::Stop), 1);
  EXPECT_NE(session.doc.ruleNotes[1].text.find("PD:4"), std::string::npos)
      << session.doc.ruleNotes[1].text;
}

TEST_P(Generator, TwoLineRmcLogGivesStartAndEnd) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 1);
  rmc(t);
  RouteErzeugen(session);
  EXPECT_EQ(kinds(), (std::vector<RuleKind>{RuleKind::Start, RuleKind::End}));
  EXPECT_EQ(session.doc.RoutePointCount, 2);
}

TEST_P(Generator, FewerThanTwoLines) {
  test::useInput(session, 2);
  test::setInput(session, {test::rmcSentence(test::Fix{})});
  session.doc.OutputLines.add("old");
  RouteErzeugen(session);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text, "Es m\xFCssen mindestens 2 Datens\xE4tze zur Auswertung vorhanden sein!");
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
  EXPECT_EQ(session.doc.OutputLines.Count(), 1) << "nothing was cleared";
}

TEST_P(Generator, FirstRecordsWithoutFix) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  for (int i = 0; i < 3; ++i) {
    test::Fix f = t.current();
    f.quality = 0;
    f.valid = false;
    f.secondsOfDay += i;
    t.add(f);
  }
  t.drive(0, 40, 10);
  // Silently skipped with errors hidden.
  rmc(t);
  RouteErzeugen(session);
  EXPECT_TRUE(port.prompts.empty());
  ASSERT_FALSE(points().empty());
  EXPECT_NEAR(points()[0].lat, t.fixes()[3].lat, 1e-6);
  // With errors shown every rejected record is reported, naming the next line.
  session.opt.ShowErrors = true;
  RouteErzeugen(session);
  ASSERT_EQ(port.prompts.size(), 3u);
  EXPECT_EQ(port.prompts[0].text,
            "Sat - Fehler beim Lesen des ersten RMC Datensatzes an Position 1 erkannt\r" +
                session.doc.InputLines.at(1));
  EXPECT_EQ(port.prompts[2].text,
            "Sat - Fehler beim Lesen des ersten RMC Datensatzes an Position 3 erkannt\r" +
                session.doc.InputLines.at(3));
}

TEST_P(Generator, NoFixAnywhereUnderTheRules) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  for (int i = 0; i < 5; ++i) {
    test::Fix f = t.current();
    f.valid = false;
    f.secondsOfDay += i;
    t.add(f);
  }
  rmc(t);
  RouteErzeugen(session);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text, "Keinen g\xFCltigen RMC Datensatz in der Datei gefunden");
  EXPECT_EQ(session.doc.OutputLines.Count(), 0);
}

TEST_P(Generator, GgaWithoutVtg) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 3);
  test::useInput(session, 1);
  std::vector<std::string> lines;
  for (const auto& f : t.fixes()) lines.push_back(test::ggaSentence(f));
  // A log without VTG sentences is read GGA by GGA: start and end point.
  test::setInput(session, lines);
  RouteErzeugen(session);
  EXPECT_TRUE(port.prompts.empty());
  EXPECT_EQ(session.doc.RoutePointCount, 2);
  // A log whose only VTG sentence comes before its first fix pairs nothing with it.
  lines.insert(lines.begin(), test::vtgSentence(t.fixes()[0]));
  test::setInput(session, lines);
  RouteErzeugen(session);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text, "Keinen g\xFCltigen VTG Datensatz in der Datei gefunden");
  EXPECT_EQ(session.doc.RoutePointCount, 0);
}

TEST_P(Generator, GgaVtgMainScanStartsAtTheVtgLine) {
  session.opt.ShowErrors = true;
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 2);
  gga(t);
  port.answer({PromptAnswer::Ignore});
  RouteErzeugen(session);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Keinen GGA Datensatz an Position 1 erkannt\r" + session.doc.InputLines.at(1));
  EXPECT_EQ(count(RuleKind::End), 1);
}

TEST_P(Generator, AbortEndsTheRunAndKeepsWhatWasEmitted) {
  session.opt.ShowErrors = true;
  test::onlyRules(session, true, false, false, false);
  session.opt.rules.MeterSpin = 100;
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 36, 30);
  auto lines = t.rmcLines();
  lines[25] = "$GPRMC,garbage*00";
  test::useInput(session, 2);
  test::setInput(session, lines);
  port.answer({PromptAnswer::Abort});
  RouteErzeugen(session);
  EXPECT_EQ(port.prompts.size(), 1u);
  EXPECT_TRUE(session.AbortRequested);
  EXPECT_EQ(kinds(), (std::vector<RuleKind>{RuleKind::Start, RuleKind::Distance,
                                            RuleKind::Distance}))
      << "no end point after Abort";
  EXPECT_EQ(session.doc.OutputLines.Count(), 3);
}

TEST_P(Generator, CancelEndsTheRunBetweenRecordsAndKeepsAWholeRoute) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 900).drive(90, 40, 900);
  gga(t);
  // "Abbrechen" is clicked while the window has its events, after `at` rounds of them.
  const struct {
    const char* name;
    bool everyNth;
    long long at;
  } cases[] = {{"rules", false, 700}, {"every record", true, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::onlyRules(session, !c.everyNth, !c.everyNth, false, !c.everyNth);
    session.opt.rules.AllGGACheck = c.everyNth;
    session.opt.rules.XRPSpin = 1;
    session.opt.rules.ZeitSpin = 30;
    port.onPendingEvents = nullptr;
    ASSERT_EQ(RouteErzeugen(session), RouteResult::Completed);
    const std::vector<std::string> whole = test::output(session);

    long long rounds = 0;
    port.onPendingEvents = [&] {
      if (++rounds == c.at) session.cancelRequested = true;
    };
    EXPECT_EQ(RouteErzeugen(session), RouteResult::Aborted);
    const std::vector<std::string> cut = test::output(session);
    ASSERT_GT(cut.size(), 1u);
    ASSERT_LT(cut.size(), whole.size());
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), whole.begin())) << "the route so far, as made";
    EXPECT_EQ(session.doc.RoutePointCount, static_cast<int>(cut.size()));
    EXPECT_EQ(session.doc.emittedPoints.size(), cut.size());
    EXPECT_EQ(session.doc.ruleNotes.size(), cut.size());
    EXPECT_NE(kinds().back(), RuleKind::End) << "no end point after a cancel";
    EXPECT_FALSE(session.cancelRequested);
    EXPECT_FALSE(session.routeInProgress);
    EXPECT_TRUE(port.prompts.empty());
  }
  port.onPendingEvents = nullptr;
}

TEST_P(Generator, EndPointIsTheLastAcceptedRecordOfARealLog) {
  test::onlyRules(session, true, false, false, false);
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 60);
  // GGA, GSA, VTG per epoch and a ZDA after the last fix, as real receivers write them.
  std::vector<std::string> lines;
  for (const auto& f : t.fixes()) {
    lines.push_back(test::ggaSentence(f));
    lines.push_back(test::sentence("GPGSA,A,3,28,08,11,27,07,,,,,,,,4.9,1.6,4.5"));
    lines.push_back(test::vtgSentence(f));
  }
  lines.push_back(test::sentence("GPZDA,120101,07,08,2004,00,00"));
  test::useInput(session, 1);
  test::setInput(session, lines);
  RouteErzeugen(session);
  ASSERT_EQ(kinds().back(), RuleKind::End);
  EXPECT_NEAR(points().back().lat, t.fixes().back().lat, 1e-6);
  EXPECT_TRUE(port.prompts.empty());

  // The same for RMC with trailing sentences, and never back past the last emitted point.
  std::vector<std::string> r = t.rmcLines();
  r.push_back(test::sentence("GPGSV,3,1,12,28,58,091,41"));
  r.push_back("");
  test::useInput(session, 2);
  test::setInput(session, r);
  RouteErzeugen(session);
  EXPECT_EQ(kinds().back(), RuleKind::End);
  EXPECT_NEAR(points().back().lat, t.fixes().back().lat, 1e-6);

  std::vector<std::string> one = {t.rmcLines()[0], "junk", "junk"};
  test::setInput(session, one);
  RouteErzeugen(session);
  EXPECT_EQ(kinds(), std::vector<RuleKind>{RuleKind::Start});
}

TEST_P(Generator, CleanLogEndPointIsTheLastLine) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 30);
  gga(t);
  RouteErzeugen(session);
  ASSERT_EQ(kinds().back(), RuleKind::End);
  EXPECT_NEAR(points().back().lat, t.fixes().back().lat, 1e-6);
  EXPECT_EQ(session.doc.ruleNotes.size(), 2u);
}

TEST_P(Generator, EveryNthRmcRecord) {
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 10;
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 99);
  rmc(t);
  RouteErzeugen(session);
  const auto p = points();
  ASSERT_EQ(p.size(), 11u);
  for (int i = 0; i < 10; ++i) EXPECT_NEAR(p[static_cast<std::size_t>(i)].lat, t.fixes()[i * 10u].lat, 1e-6);
  EXPECT_NEAR(p[10].lat, t.fixes()[99].lat, 1e-6);

  t.fixes()[20].valid = false;
  rmc(t);
  session.opt.ShowErrors = true;
  RouteErzeugen(session);
  EXPECT_EQ(points().size(), 10u);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Sat - Fehler beim Lesen des RMCDatensatz an Position 30 erkannt\r" +
                session.doc.InputLines.at(30));
}

TEST_P(Generator, EveryNthGgaVtgRecord) {
  session.opt.rules.AllGGACheck = true;
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 49);
  gga(t);
  session.opt.rules.XRPSpin = 1;
  RouteErzeugen(session);
  EXPECT_EQ(session.doc.RoutePointCount, 51) << "every GGA record, then the end point";
  session.opt.rules.XRPSpin = 10;
  session.opt.ShowErrors = true;
  port.answer({});
  RouteErzeugen(session);
  const auto p = points();
  // A records at lines 0, 12, 24, ...: fixes 0, 6, 12, ...
  ASSERT_GE(p.size(), 3u);
  EXPECT_NEAR(p[1].lat, t.fixes()[6].lat, 1e-6);
  EXPECT_NEAR(p[2].lat, t.fixes()[12].lat, 1e-6);
  ASSERT_FALSE(port.prompts.empty());
  EXPECT_EQ(port.prompts[0].text, "Keinen g\xFCltigen VTG Datensatz an Position 10 erkannt\r" +
                                      session.doc.InputLines.at(10));
}

TEST_P(Generator, EveryNthWithoutAnyFixGivesOnlyTheEndPoint) {
  session.opt.rules.AllGGACheck = true;
  session.CurrentPoint.LatValue = 0;
  session.CurrentPoint.LonValue = 0;
  session.CurrentPoint.LatDec = "0";
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  for (int i = 0; i < 30; ++i) {
    test::Fix f = t.current();
    f.valid = false;
    f.secondsOfDay += i;
    t.add(f);
  }
  rmc(t);
  RouteErzeugen(session);
  EXPECT_EQ(kinds(), std::vector<RuleKind>{RuleKind::End});
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Generator, EveryNthAbortInItsOwnPrompt) {
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 2;
  session.opt.ShowErrors = true;
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 20);
  auto lines = t.rmcLines();
  lines[4] = "$GPRMC,nonsense*00";  // an RMC line that fails its checksum
  test::useInput(session, 2);
  test::setInput(session, lines);
  port.answer({PromptAnswer::Ignore, PromptAnswer::Abort});
  RouteErzeugen(session);
  ASSERT_EQ(port.prompts.size(), 2u);
  EXPECT_EQ(port.prompts[1].text, "Fehler beim Lesen des RMCDatensatz an Position 6 erkannt\r" +
                                      session.doc.InputLines.at(6));
  EXPECT_EQ(session.doc.RoutePointCount, 2);
}

// Real logs carry GSA, GSV, ZDA and proprietary sentences between the records. "Aus jedem"
// counts only the format's own lines, so such a log gives the points of the same log without
// them, and the prompts name the positions in the log as loaded.
TEST_P(Generator, EveryNthCountsOnlyTheFormatsOwnLines) {
  session.opt.rules.AllGGACheck = true;
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 60);
  t.fixes()[30].valid = false;
  const std::vector<std::string> foreign = {
      test::sentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"),
      test::sentence("GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45"),
      test::sentence("PGRME,15.0,M,45.0,M,25.0,M"), "", test::sentence("GPZDA,201530.00,04,07,2002,00,00")};
  const auto interleave = [&](const std::vector<std::string>& clean) {
    std::vector<std::string> mixed;
    for (std::size_t i = 0; i < clean.size(); ++i) {
      // Irregular runs of other sentences, so that no stride lands the same way by chance.
      // The end point is read from the last lines of the log, so those stay records.
      const std::size_t run = i + 2 < clean.size() ? (i * 7) % 4 : 0;
      for (std::size_t k = 0; k < run; ++k) mixed.push_back(foreign[(i + k) % foreign.size()]);
      mixed.push_back(clean[i]);
    }
    return mixed;
  };
  const struct {
    int code;
    std::vector<std::string> clean;
  } logs[] = {{2, t.rmcLines()}, {1, t.ggaVtgLines()}};
  for (const auto& log : logs) {
    for (int n : {1, 3, 10, 25}) {
      SCOPED_TRACE("code " + std::to_string(log.code) + " N " + std::to_string(n));
      session.opt.rules.XRPSpin = n;
      session.opt.ShowErrors = true;
      test::useInput(session, log.code);
      test::setInput(session, log.clean);
      port.prompts.clear();
      RouteErzeugen(session);
      const auto cleanPoints = points();
      std::vector<std::string> cleanPrompts;
      for (const auto& pr : port.prompts) cleanPrompts.push_back(pr.text.substr(0, pr.text.find('\r')));

      test::setInput(session, interleave(log.clean));
      port.prompts.clear();
      RouteErzeugen(session);
      const auto mixedPoints = points();
      ASSERT_EQ(mixedPoints.size(), cleanPoints.size());
      for (std::size_t i = 0; i < cleanPoints.size(); ++i) {
        EXPECT_NEAR(mixedPoints[i].lat, cleanPoints[i].lat, 1e-9) << i;
        EXPECT_NEAR(mixedPoints[i].lon, cleanPoints[i].lon, 1e-9) << i;
      }
      ASSERT_EQ(port.prompts.size(), cleanPrompts.size());
      for (const auto& pr : port.prompts) {
        // "... an Position <i> erkannt" CR the line at i of the mixed log.
        const auto at = pr.text.find("Position ") + 9;
        const int pos = std::stoi(pr.text.substr(at));
        EXPECT_EQ(pr.text.substr(pr.text.find('\r') + 1), session.doc.InputLines.at(pos))
            << pr.text;
      }
    }
  }
}

TEST_P(Generator, UiGetsAChanceBeforeEveryRecordOfTheMainScan) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 99);
  rmc(t);
  RouteErzeugen(session);
  // Lines 1 to 98; the last line is read by the end point.
  EXPECT_EQ(port.pendingEventCalls, 98);
  EXPECT_EQ(session.outputCaption(),
            "MN|4.2 Routenpunkte := " + std::to_string(session.doc.RoutePointCount));
}

TEST_P(Generator, RouteExecuteReportsAConversionErrorAndRestoresTheCursor) {
  TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 10);
  auto lines = t.ggaVtgLines();
  lines[5] = test::sentence("GPVTG,054.7,T,034.4,M,005.5,N,1.2.3,K");
  test::useInput(session, 1);
  test::setInput(session, lines);
  RouteExecute(session);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  EXPECT_EQ(port.busyOn, port.busyOff);
  EXPECT_EQ(session.doc.RoutePointCount, 1) << "the start point stays";
  EXPECT_TRUE(session.shell.item("SaveNavi").enabled);
}

KURSOLIN_ON_BOTH_HOSTS(Generator);

}  // namespace
}  // namespace kursolin
