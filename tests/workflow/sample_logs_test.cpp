// Real receiver logs from the shared samples, converted end to end and checked point by point.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "formats/navigon.h"
#include "support/hosts.h"
#include "support/session_setup.h"
#include "track/generator.h"
#include "workflow/loading.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

std::string sample(const char* name) { return std::string(KURSOLIN_SHARED_SAMPLES) + "/" + name; }

bool present(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

class SampleLogs : public test::HostTest {
 protected:
  void SetUp() override {
    if (!present(sample("track-gga-rmc-vtg.nmea"))) GTEST_SKIP() << "shared samples not present";
    test::createLikeTheWindow(session);
    test::useOutput(session, 1);
    // Only the time rule, every minute, without minimum distance.
    test::onlyRules(session, false, false, false, true);
    session.opt.rules.ZeitSpin = 60;
    session.opt.rules.MinDistEdit = 0;
  }
};

// Worked out from the log by hand: the RMC/GGA records at 03:29:08 (first fix), 03:30:08,
// 03:31:08 and the last one at 03:31:41, their degree-minutes turned into decimal degrees
// (4231.8308 N = 42 + 31.8308 / 60 = 42.530513, 08807.3033 W = -88.121722, ...).
const std::vector<std::string> kExpected = {
    "-|-|-|-|-|-|-|-|-|-|-|-88.121722|42.530485|-|-|",
    "-|-|-|-|-|-|-|-|-|-|-|-88.121722|42.530513|-|-|",
    "-|-|-|-|-|-|-|-|-|-|-|-88.121762|42.530502|-|-|",
    "-|-|-|-|-|-|-|-|-|-|-|-88.121758|42.530517|-|-|",
};

TEST_P(SampleLogs, RmcRecordsOfAMixedLog) {
  test::useInput(session, 2);
  ASSERT_TRUE(loadInputFile(session, sample("track-gga-rmc-vtg.nmea")));
  EXPECT_EQ(session.doc.InputLines.Count(), 894);
  RouteExecute(session);
  EXPECT_EQ(test::output(session), kExpected);
  EXPECT_TRUE(port.prompts.empty());
  EXPECT_EQ(session.doc.ruleNotes.back().kind, RuleKind::End) << "the log ends with a VTG line";
}

TEST_P(SampleLogs, GgaVtgRecordsOfAMixedLog) {
  test::useInput(session, 1);
  ASSERT_TRUE(loadInputFile(session, sample("track-gga-rmc-vtg.nmea")));
  RouteExecute(session);
  EXPECT_EQ(test::output(session), kExpected);
  EXPECT_TRUE(port.prompts.empty());
}

// The log interleaves GGA, RMC, VTG and other sentences; read as RMC, "Aus jedem" counts the RMC
// lines only. Striding over all lines, N = 50 and 100 landed on foreign lines and gave only the
// end point, N = 40 and 51 five points.
TEST_P(SampleLogs, EveryNthRmcRecordOfAMixedLog) {
  test::useInput(session, 2);
  ASSERT_TRUE(loadInputFile(session, sample("track-gga-rmc-vtg.nmea")));
  session.opt.rules.AllGGACheck = true;
  for (const auto& [n, points] : {std::pair{10, 17}, {40, 5}, {50, 5}, {51, 4}, {100, 3}}) {
    session.opt.rules.XRPSpin = n;
    RouteExecute(session);
    EXPECT_EQ(session.doc.RoutePointCount, points) << "N = " << n;
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(SampleLogs, SubsecondLogGetsStartAndDestination) {
  test::useInput(session, 1);
  ASSERT_TRUE(loadInputFile(session, sample("track-subsecond.nmea")));
  session.opt.rules = RuleSettings{};
  RouteExecute(session);
  ASSERT_GE(session.doc.RoutePointCount, 2);
  EXPECT_EQ(session.doc.ruleNotes.front().kind, RuleKind::Start);
  EXPECT_EQ(session.doc.ruleNotes.back().kind, RuleKind::End);
  // The first fix of the log: 5333.4037 N, 00951.9344 E.
  EXPECT_EQ(session.doc.OutputLines.at(0), "-|-|-|-|-|-|-|-|-|-|-|9.865573|53.556728|-|-|");
}

TEST_P(SampleLogs, WaypointLogIsRefused) {
  test::useInput(session, 1);
  EXPECT_FALSE(loadInputFile(session, sample("waypoints-only.nmea")));
  EXPECT_FALSE(session.shell.item("Route").enabled);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
}

TEST_P(SampleLogs, NavigonSampleToMn5) {
  test::useInput(session, 9);
  ASSERT_TRUE(loadInputFile(session, sample("route-15fields.rte")));
  EXPECT_FALSE(session.doc.InputLayout);
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  session.opt.set(MN5ShowOrt, true);
  test::useOutput(session, 2);
  RouteExecute(session);
  ASSERT_EQ(session.doc.OutputLines.Count(), 10);
  EXPECT_EQ(session.doc.OutputLines.at(0),
            "-|-|17|-|08523|Plauen|08523|Jahnstrasse|28|-|-|12.10727|50.49425|-|-|-|-|");
  EXPECT_TRUE(port.prompts.empty());
}

KURSOLIN_ON_BOTH_HOSTS(SampleLogs);

}  // namespace
}  // namespace kursolin
