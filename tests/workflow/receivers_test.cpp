// Logs of today's receivers: every satellite system's talker, two talkers in one log, GGA
// without VTG, and the season taken from the log's own date.
#include <gtest/gtest.h>

#include <cmath>

#include "core/geotime.h"
#include "core/host.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "track/nmea.h"
#include "workflow/dispatch.h"
#include "workflow/loading.h"

namespace kursolin {
namespace {

using test::withTalker;

// A drive with a right-angle turn, a stop of four minutes and a slow stretch, so that every
// rule has something to do: fixes 1-40 north at 80 km/h, 41-70 east at 40, 71-118 standing,
// 119-178 south at 30.
test::TrackBuilder drive() {
  test::TrackBuilder t(48.1, 11.5, 9 * 3600);
  t.add(t.current()).drive(0, 80, 200, 5).drive(90, 40, 150, 5).stand(240, 0.5, 5);
  t.drive(180, 30, 300, 5);
  return t;
}

// A log made fix by fix from the sentences `each` gives for fix i.
template <class Each>
std::vector<std::string> perFix(const test::TrackBuilder& t, Each each) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < t.fixes().size(); ++i) {
    for (auto& line : each(i)) out.push_back(std::move(line));
  }
  return out;
}

std::vector<std::string> ggaLines(const test::TrackBuilder& t) {
  return perFix(
      t, [&](std::size_t i) { return std::vector<std::string>{test::ggaSentence(t.fixes()[i])}; });
}

class Receivers : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    test::useOutput(session, 22);
  }
  // The route of the lines read as the input format, by the rules or every nth record.
  std::vector<std::string> route(int code, const std::vector<std::string>& lines, int nth = 0) {
    test::useInput(session, code);
    test::setInput(session, lines);
    session.opt.rules.AllGGACheck = nth > 0;
    session.opt.rules.XRPSpin = nth > 0 ? nth : 10;
    EXPECT_EQ(RouteErzeugen(session), RouteResult::Completed);
    return test::output(session);
  }
};

TEST_P(Receivers, EveryTalkerGivesTheRouteOfTheGpsLog) {
  const test::TrackBuilder t = drive();
  for (const int code : {1, 2}) {
    const auto gp = code == 1 ? t.ggaVtgLines() : t.rmcLines();
    for (const int nth : {0, 3}) {
      const auto expected = route(code, gp, nth);
      ASSERT_GE(expected.size(), 4u);
      for (const char* talker : {"GN", "GL", "GA", "GB", "BD", "GQ", "QZ", "GI"}) {
        EXPECT_EQ(route(code, withTalker(gp, talker), nth), expected)
            << talker << " code " << code << " every " << nth;
      }
    }
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Receivers, OneTalkerPerKindGivesOneRecordPerFix) {
  // The other talker's positions lie 0.01 degrees off: any of them taken would show.
  const test::TrackBuilder t = drive();
  test::TrackBuilder off = drive();
  for (auto& f : off.fixes()) f.lat += 0.01;
  const auto& a = t.fixes();
  const auto& b = off.fixes();
  using Lines = std::vector<std::string>;
  struct Case {
    const char* what;
    int code;
    Lines single, both;
  } cases[] = {
      {"$GPRMC, then $GNRMC", 2, t.rmcLines(),
       perFix(t,
              [&](std::size_t i) {
                return Lines{test::rmcSentence(a[i]), withTalker(test::rmcSentence(b[i]), "GN")};
              })},
      {"$GNRMC, then $GPRMC", 2, withTalker(t.rmcLines(), "GN"),
       perFix(t,
              [&](std::size_t i) {
                return Lines{withTalker(test::rmcSentence(a[i]), "GN"), test::rmcSentence(b[i])};
              })},
      // The log's own sentences come first in the log and last in every other fix: foreign
      // lines after the last fix would only drop the repeated end point, as any other sentence
      // there does.
      {"$GPGGA with $GNVTG", 1, t.ggaVtgLines(),
       perFix(t,
              [&](std::size_t i) {
                const std::string gga = test::ggaSentence(a[i]);
                const std::string vtg = withTalker(test::vtgSentence(a[i]), "GN");
                const std::string foreignGga = withTalker(test::ggaSentence(b[i]), "GN");
                const std::string foreignVtg = test::vtgSentence(b[i]);
                return i == 0 ? Lines{gga, vtg, foreignGga, foreignVtg}
                              : Lines{foreignGga, foreignVtg, gga, vtg};
              })},
  };
  for (const auto& c : cases) {
    // "Aus jedem" counts the records of one talker only.
    for (const int nth : {0, 1, 4}) {
      EXPECT_EQ(route(c.code, c.both, nth), route(c.code, c.single, nth))
          << c.what << ", every " << nth;
    }
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Receivers, GgaWithoutVtgTakesSpeedAndCourseFromThePreviousFix) {
  const test::TrackBuilder t = drive();
  const auto withVtg = route(1, t.ggaVtgLines());
  // The rules fire at the same records: derived speeds and courses differ from the receiver's
  // only by rounding.
  EXPECT_EQ(route(1, ggaLines(t)), withVtg) << "GGA alone";
  const auto ggaRmc = perFix(t, [&](std::size_t i) {
    return std::vector<std::string>{test::ggaSentence(t.fixes()[i]),
                                    test::rmcSentence(t.fixes()[i])};
  });
  EXPECT_EQ(route(1, ggaRmc), withVtg) << "GGA + RMC";
  // Every nth of a GGA log is every nth fix, as for an RMC log.
  EXPECT_EQ(route(1, ggaLines(t), 3), route(2, t.rmcLines(), 3));

  // Record by record; a receiver standing still keeps the course it came with, and the first
  // fix has none before it.
  test::setInput(session, ggaLines(t));
  struct Record {
    int fix;
    double kmh, course;
  } records[] = {{20, 80, 0}, {50, 40, 90}, {80, 0, 90}, {130, 30, 180}, {0, 0, 0}};
  for (const auto& r : records) {
    ASSERT_TRUE(readGgaWithoutVtg(session, session.doc.InputLines.at(r.fix), r.fix));
    const PointRecord& p = session.CurrentPoint;
    EXPECT_NEAR(static_cast<double>(p.SpeedValue), r.kmh, 0.5) << r.fix;
    const double course = std::stod(p.Course);
    EXPECT_LT(std::fabs(std::remainder(course - r.course, 360.0)), 1.0) << r.fix << ": " << course;
    EXPECT_EQ(p.SpeedKmh, formatFixed(p.SpeedValue, 3, 2, sep()));
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Receivers, SeasonComesFromTheLogsOwnDate) {
  const LocalDateTime august{2023, 8, 15, 12, 0, 0}, december{2023, 12, 15, 12, 0, 0};
  test::TrackBuilder t(48.1, 11.5, 9 * 3600);
  t.add(t.current()).drive(90, 40, 60, 5);
  const auto dated = [&](const std::string& date) {
    test::TrackBuilder d = t;
    for (auto& f : d.fixes()) f.date = date;
    return d.rmcLines();
  };
  std::vector<std::string> zdaLog = t.ggaVtgLines();
  zdaLog.insert(zdaLog.begin(), test::sentence("GNZDA,090000.00,15,08,2023,00,00"));
  struct Case {
    const char* what;
    int code;
    std::vector<std::string> lines;
    LocalDateTime fileTime;
    bool asked;  // summer time mode asks "nicht zur Sommerzeit"
  } cases[] = {
      {"RMC of August, file of December", 2, dated("150823"), december, false},
      {"RMC of December, file of August", 2, dated("151223"), august, true},
      {"ZDA of August, file of December", 1, zdaLog, december, false},
      {"no date in the log: the file's", 1, t.ggaVtgLines(), december, true},
  };
  session.opt.TimeMode = 2;
  for (const auto& c : cases) {
    port.clearRecords();
    port.answer({PromptAnswer::No});
    test::useInput(session, c.code);
    test::setInput(session, c.lines);
    session.doc.InputFileTime = c.fileTime;
    RouteErzeugen(session);
    EXPECT_EQ(port.prompts.size(), c.asked ? 1u : 0u) << c.what;
    EXPECT_EQ(session.ActiveTimeOffset, c.asked ? 0 : session.opt.SummerOffset) << c.what;
  }
}

KURSOLIN_ON_BOTH_HOSTS(Receivers);

}  // namespace
}  // namespace kursolin
