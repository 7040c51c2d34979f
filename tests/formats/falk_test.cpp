// Falk PreviousDestination files: the five lines of a point, the start and destination flags,
// and the split into part files with their own flags.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/split_plan.h"
#include "formats/bcr.h"
#include "formats/falk.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::readBytes;

class Falk : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    s.opt.SaveDir = out.dir();
  }
  /// The flag lines (every fifth line from the first) of a list of Falk lines.
  static std::vector<std::string> flags(const std::vector<std::string>& lines) {
    std::vector<std::string> f;
    for (std::size_t i = 0; i < lines.size(); i += kFalkLinesPerPoint) f.push_back(lines[i]);
    return f;
  }
  /// A route made from input lines of a format, every record a point, as Falk lines.
  void routeFrom(int inputCode, const std::vector<std::string>& lines) {
    test::useInput(s, inputCode);
    s.doc.InputLines.assign(lines);
    s.opt.rules.AllGGACheck = true;
    s.opt.rules.XRPSpin = 1;
    test::useOutput(s, 7);
    ASSERT_EQ(RouteExecute(s), RouteResult::Completed);
  }
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  test::TempFolder out;
};

TEST_F(Falk, FiveLinesAPointWithTheFlagOfItsKind) {
  s.CurrentPoint.LonMer = "1324660";
  s.CurrentPoint.LatMer = "6495810";
  prepareFalkRecord(s);
  buildFalk(s, RoutePoint{7});
  s.CurrentPoint.ViaStationPoint = false;
  s.CurrentPoint.navi(RtePlaceName) = "Hof";
  buildFalk(s, RoutePoint{8});
  EXPECT_EQ(s.doc.OutputLines.lines(),
            (std::vector<std::string>{"3", "1324660", "6495810", "7=-", "", "2", "1324660",
                                      "6495810", "8=Hof", ""}));
  // Digits the setting lacks leave the flag line empty.
  s.opt.set(FalkFlags, "43");
  s.doc.OutputLines.clear();
  buildFalk(s, RoutePoint{1});
  EXPECT_EQ(s.doc.OutputLines.at(0), "");
}

TEST_F(Falk, FirstAndLastPointGetTheirFlags) {
  const struct {
    std::string falkFlags;
    std::vector<std::string> before, after;
  } cases[] = {
      {"4324", {"3", "3", "3"}, {"4", "3", "4"}},
      {"4324", {"3"}, {"4"}},             // one point: the last flag wins
      {"4324", {"", "x2"}, {"4", "42"}},  // the first character is replaced
      {"1234", {"3", "2", "3"}, {"1", "2", "4"}},
      {"43", {"3", "3"}, {"4", ""}},  // no fourth digit: the line loses its flag
  };
  for (const auto& c : cases) {
    s.opt.set(FalkFlags, c.falkFlags);
    std::vector<std::string> lines;
    for (const auto& f : c.before) lines.insert(lines.end(), {f, "1", "2", "1=-", ""});
    TextLines l;
    l.assign(lines);
    SetFprvFlag(s, l);
    EXPECT_EQ(flags(l.lines()), c.after) << c.falkFlags << ::testing::PrintToString(c.before);
    EXPECT_EQ(l.Count(), static_cast<int>(lines.size()));
  }
  TextLines empty;
  SetFprvFlag(s, empty);
  EXPECT_TRUE(empty.empty());
}

TEST_F(Falk, ARouteFromALogIsFlaggedStartStationsDestination) {
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 60, 30);  // three fixes
  routeFrom(2, t.rmcLines());
  EXPECT_EQ(flags(s.doc.OutputLines.lines()), (std::vector<std::string>{"4", "3", "4"}));
  EXPECT_EQ(s.doc.OutputLines.at(8), "2=-");
}

TEST_F(Falk, TourenplanerItemsThatAreNoStationsGetTheirOwnFlag) {
  routeFrom(5, {"-|0|Start|-|-|-|1|-|-|-|11.1|50.1|", "-|1|Abbiegen|-|-|-|1|-|-|-|11.2|50.2|",
                "-|2|T\xF6pen|-|-|-|1|-|-|true|11.3|50.3|", "-|3|Abbiegen|-|-|-|1|-|-|-|11.4|50.4|",
                "-|4|Ziel|-|-|-|0|-|-|-|11.5|50.5|"});
  EXPECT_EQ(flags(s.doc.OutputLines.lines()), (std::vector<std::string>{"4", "2", "3", "2", "4"}));
  EXPECT_EQ(s.doc.OutputLines.at(13), "3=T\xF6pen");
  // The whole file as it is saved, byte for byte.
  port.saveAnswers.push_back(out.file("PreviousDestination.dat"));
  SaveNaviExecute(s);
  EXPECT_EQ(readBytes(out.file("PreviousDestination.dat")),
            readBytes(std::string(KURSOLIN_TEST_DATA) + "/falk/tourenplaner.dat"));
}

TEST_F(Falk, BcrStationsKeepTheirNames) {
  std::vector<std::string> stations;
  for (int i = 1; i <= 12; ++i) {
    stations.push_back("STATION" + std::to_string(i) + "=" + std::to_string(1300000 + i * 1000) +
                       ",6500000");
  }
  routeFrom(6, stations);
  EXPECT_EQ(s.doc.OutputLines.at(11 * kFalkLinesPerPoint + 3), "12=STATION12");
}

TEST_F(Falk, ALongRouteIsSplitWithFlagsForEachFile) {
  std::vector<std::string> stations;
  for (int i = 1; i <= 200; ++i) {
    stations.push_back("P" + std::to_string(i) + "=" + std::to_string(1300000 + i * 1000) +
                       ",6500000");
  }
  routeFrom(6, stations);
  ASSERT_EQ(s.doc.RoutePointCount, 200);
  s.opt.set(MpFalk, 90);
  port.saveAnswers.push_back(out.file("PreviousDestination.dat"));
  SaveNaviExecute(s);
  EXPECT_EQ(port.splitDialogs, 1);
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].fileName, "PreviousDestination.dat");
  const struct {
    const char* name;
    int points, first;
  } files[] = {{"PreviousDestination.dat", 90, 1},
               {"PreviousDestination_1.dat", 90, 91},
               {"PreviousDestination_2.dat", 20, 181}};
  EXPECT_EQ(out.entries().size(), 3u);
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const auto lines = splitLines(readBytes(out.file(f.name)));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(f.points * kFalkLinesPerPoint));
    const auto fl = flags(lines);
    EXPECT_EQ(fl.front(), "4");
    EXPECT_EQ(fl.back(), "4");
    EXPECT_EQ(std::count(fl.begin(), fl.end(), "3"), f.points - 2);
    EXPECT_EQ(lines[3], std::to_string(f.first) + "=P" + std::to_string(f.first));
  }
  // The route on screen keeps its own flags.
  EXPECT_EQ(flags(s.doc.OutputLines.lines())[90], "3");
}

TEST_F(Falk, PlansOfTenThousandFilesAreRefusedBeforeAnythingIsWritten) {
  for (auto writer : {SaveFPrv, SaveBCR}) {
    port.clearRecords();
    s.doc.OutputLines.assign(std::vector<std::string>(10000, "1,2"));
    s.doc.RoutePointCount = 10000;
    s.doc.split = planSplitOver(10000, 1);
    EXPECT_FALSE(writer(s, out.file("Tour.dat")));
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_NE(port.prompts[0].text.find("10000"), std::string::npos) << port.prompts[0].text;
    EXPECT_TRUE(out.entries().empty());
  }
}

}  // namespace
}  // namespace kursolin
