// Tourenplaner BCR files: recognition and trimming, reading entries, the files written with their
// header, route settings, station lists, running numbers, part names and route rectangle.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <set>

#include "core/fileio.h"
#include "core/split_plan.h"
#include "formats/bcr.h"
#include "formats/navigon.h"
#include "formats/registry.h"
#include "support/hosts.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/loading.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

using test::readBytes;

std::string golden(const std::string& name) {
  return std::string(KURSOLIN_TEST_DATA) + "/bcr/" + name;
}

// Every file a test writes carries the same header date: 14.11.2023 23:13:20 in Central Europe.
class PinnedClock {
 public:
  PinnedClock() {
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
  }
  ~PinnedClock() { ::unsetenv("SOURCE_DATE_EPOCH"); }
};

class Bcr : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.doc.InputFileName = "/daten/Tour.txt";
    session.opt.set(BcrRouteTitle, "Tour");
  }
  /// n point lines "X,Y" as the BCR step of RouteOut leaves them, split by perFile.
  void route(int n, int perFile, long long x0 = 1000000, long long dx = 100) {
    std::vector<std::string> lines;
    for (int i = 0; i < n; ++i) {
      lines.push_back(std::to_string(x0 + i * dx) + "," + std::to_string(6000000 + i * 50));
    }
    session.doc.OutputLines.assign(lines);
    session.doc.RoutePointCount = n;
    session.doc.split = planSplitOver(n, perFile);
  }
  std::vector<std::string> lines(const std::string& path) { return splitLines(readBytes(path)); }
  /// The value of the first line starting with key.
  std::string value(const std::vector<std::string>& file, const std::string& key) {
    for (const auto& l : file) {
      if (l.rfind(key, 0) == 0) return l.substr(key.size());
    }
    return "<none>";
  }
  PinnedClock clock;
  test::TempFolder out;
};

TEST_P(Bcr, RecognitionNeedsTheFourHeaderLines) {
  const std::vector<std::string> good = {"[CLIENT]",           "REQUEST=TRUE",  "ROUTENAME=x",
                                         "DESCRIPTIONLINES=0", "[COORDINATES]", "STATION1=1,2"};
  for (std::size_t spoilt = 0; spoilt < 4; ++spoilt) {
    auto bad = good;
    bad[spoilt] = "[client] request routename descriptionlines";  // only lower case
    session.doc.InputLines.assign(bad);
    EXPECT_FALSE(bcrRecognized(session)) << spoilt;
    EXPECT_EQ(session.doc.InputLines.lines(), bad) << "a refused file keeps its lines";
  }
  session.doc.InputLines.assign(good);
  EXPECT_TRUE(bcrRecognized(session));
}

TEST_P(Bcr, LoadKeepsOnlyTheCoordinateEntries) {
  struct Case {
    std::vector<std::string> tail;  // after the four header lines
    std::vector<std::string> kept;
  } cases[] = {
      // The station list of [CLIENT] and the names of [DESCRIPTION] are no points.
      {{"STATION1=Town,999999999", "[COORDINATES]", "STATION1=1,2", "STATION2=3,4", "[DESCRIPTION]",
        "STATION1=bei D 08527,Neundorf,@,0", "[ROUTE]", "ROUTERECT=1,4,3,2"},
       {"STATION1=1,2", "STATION2=3,4"}},
      {{"[COORDINATES]", "STATION1=1,2"}, {"STATION1=1,2"}},  // no [DESCRIPTION]: to the end
      {{"STATION1=Town,999999999", "[DESCRIPTION]"}, {}},     // no [COORDINATES]: nothing
  };
  for (const auto& c : cases) {
    std::vector<std::string> file = {"[CLIENT]", "REQUEST=TRUE", "ROUTENAME=x",
                                     "DESCRIPTIONLINES=0"};
    file.insert(file.end(), c.tail.begin(), c.tail.end());
    session.doc.InputLines.assign(file);
    ASSERT_TRUE(bcrRecognized(session));
    EXPECT_EQ(session.doc.InputLines.lines(), c.kept) << ::testing::PrintToString(c.tail);
  }
}

TEST_P(Bcr, ReadsAnEntryIntoEveryNotation) {
  PointRecord& p = session.CurrentPoint;
  ASSERT_EQ(GetBCR(session, "STATION12=1346067,6524736", 0), 1);
  EXPECT_EQ(p.navi(RtePlaceName), "STATION12");
  EXPECT_EQ(p.LonMer, "1346067");
  EXPECT_EQ(p.LatMer, "6524736");
  EXPECT_EQ(p.LonDec, "12.105444");
  EXPECT_EQ(p.LatDec, "50.492622");
  EXPECT_NEAR(static_cast<double>(p.LonValue), 12.105444, 1e-9);
  EXPECT_NEAR(static_cast<double>(p.LatValue), 50.492622, 1e-9);
  EXPECT_EQ(p.LatGrMin, "05029.55732");
  EXPECT_EQ(p.LatNmea, p.LatGrMin);
  EXPECT_EQ(p.LatGMS, h("050\xB0"
                        "29\xB4"
                        "33.44\""));
  EXPECT_EQ(p.FixOk, "1");
  EXPECT_EQ(p.Time, "000000.00");
  EXPECT_TRUE(p.PointValid);
  // West of Greenwich and at 0/0: still a point, never refused.
  ASSERT_EQ(GetBCR(session, "STATION1=-55598,0", 0), 1);
  EXPECT_EQ(p.LonDec, "-0.500004");
  EXPECT_EQ(p.LatDec, "0.000000");
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Bcr, ANumberThatIsNotWholeEndsTheConversionNamingTheLine) {
  for (const char* line :
       {"STATION1=1346067.5,6524736", "STATION1=1346067", "STATION1=,1", "STATION1=12,x", ""}) {
    try {
      GetBCR(session, line, 6);
      ADD_FAILURE() << line;
    } catch (const ConvertError& e) {
      EXPECT_NE(std::string(e.what()).find("Zeile 7"), std::string::npos) << e.what();
    }
  }
}

TEST_P(Bcr, RunningNumbersAreAsWideAsThePointCount) {
  const struct {
    int points;
    const char *first, *last;
  } cases[] = {{9, "1", "9"}, {57, "01", "57"}, {100, "001", "100"}, {1000, "0001", "1000"}};
  for (const auto& c : cases) {
    route(c.points, 0);
    session.doc.split = planSplitOver(c.points, c.points);  // one file
    ASSERT_TRUE(SaveBCR(session, out.file("n.BCR")));
    const auto file = lines(out.file("n.BCR"));
    const auto desc = std::find(file.begin(), file.end(), "[DESCRIPTION]");
    ASSERT_NE(desc, file.end());
    EXPECT_EQ(*(desc + 1), std::string("STATION1=KS-Rp,") + c.first + ",,0,");
    EXPECT_EQ(*(desc + c.points),
              "STATION" + std::to_string(c.points) + "=KS-Rp," + c.last + ",,0,");
  }
}

TEST_P(Bcr, ALongRouteIsSplitIntoNumberedFiles) {
  route(120, 50);
  ASSERT_TRUE(SaveBCR(session, out.file("Tour.BCR")));
  EXPECT_EQ(out.entries(), (std::set<std::string>{"Tour.BCR", "Tour_1.BCR", "Tour_2.BCR"}));
  const int sizes[] = {50, 50, 20};
  const char* names[] = {"Tour", "Tour__1", "Tour__2"};
  const char* files[] = {"Tour.BCR", "Tour_1.BCR", "Tour_2.BCR"};
  int running = 0;
  for (int f = 0; f < 3; ++f) {
    SCOPED_TRACE(files[f]);
    const auto file = lines(out.file(files[f]));
    EXPECT_EQ(value(file, "ROUTENAME="), names[f]);
    EXPECT_EQ(value(file, "STATION" + std::to_string(sizes[f]) + "=Standort"), ",999999999");
    EXPECT_EQ(value(file, "STATION" + std::to_string(sizes[f] + 1) + "="), "<none>");
    const auto desc = std::find(file.begin(), file.end(), "[DESCRIPTION]");
    ASSERT_NE(desc, file.end());
    for (int i = 1; i <= sizes[f]; ++i) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "STATION%d=KS-Rp,%03d,,0,", i, ++running);
      EXPECT_EQ(*(desc + i), expected);
    }
  }
  EXPECT_EQ(running, 120);
  // The whole files, byte for byte (German date format of the host).
  if (sep() == ',') {
    for (const char* f : files) EXPECT_EQ(readBytes(out.file(f)), readBytes(golden(f))) << f;
  }
  EXPECT_EQ(session.opt.SaveDir, out.dir()) << "the save dialog opens there next time";
}

TEST_P(Bcr, HeaderAndRouteSettingsOfTheSplitDialog) {
  route(3, 50, -20000, 10000);  // x: -20000, -10000, 0
  session.opt.set(RNHeader, "KS ");
  session.opt.set(Beschreibung, "Erste Zeile\r\nZweite Zeile mit \xDF\r\n");
  session.opt.set(PIndex, 4);
  session.opt.set(OPTIMIZATION, 75);
  session.opt.set(PREFERNICE_C, true);
  session.opt.set(PREFERVIGN_C, true);
  session.opt.set(ALTROUTE_C, true);
  session.doc.InputFileName = "/daten/Alpen Tour.nmea";
  session.opt.set(BcrRouteTitle, "Alpen");
  ASSERT_TRUE(SaveBCR(session, out.file("Alpen.BCR")));
  const auto file = lines(out.file("Alpen.BCR"));
  EXPECT_EQ(value(file, "ROUTENAME="), "KS Alpen");
  EXPECT_EQ(value(file, "DESCRIPTIONLINES="), "2") << "always 2";
  EXPECT_EQ(value(file, "DESCRIPTION1="),
            sep() == ',' ? "Erstellt mit Kursolin am  14.11.2023 um 23:13:20 Uhr"
                         : "Erstellt mit Kursolin am  11/14/2023 um 23:13:20 Uhr");
  EXPECT_EQ(value(file, "DESCRIPTION2="), "aus der Datei Alpen Tour.nmea");
  EXPECT_EQ(value(file, "DESCRIPTION3="), "Erste Zeile");
  EXPECT_EQ(value(file, "DESCRIPTION4="), "Zweite Zeile mit \xDF");
  EXPECT_EQ(value(file, "DESCRIPTION5="), "<none>");
  EXPECT_EQ(value(file, "ROUTERECT="), "-20000,6000100,0,6000000");
  if (sep() == '.') {
    EXPECT_EQ(readBytes(out.file("Alpen.BCR")), readBytes(golden("Alpen.BCR")));
  }

  // All west of Greenwich: the right edge is negative too. A profile index that names no
  // profile writes the first.
  route(2, 50, -300, -100);
  session.opt.set(PIndex, 42);
  ASSERT_TRUE(SaveBCR(session, out.file("West.BCR")));
  const auto west = lines(out.file("West.BCR"));
  EXPECT_EQ(value(west, "ROUTERECT="), "-400,6000050,-300,6000000");
  EXPECT_EQ(value(west, "PROFILE="), "Auto langsam");
}

TEST_P(Bcr, ALineThatIsNoPairStopsAndNamesWhatWasWritten) {
  route(120, 50);
  auto l = session.doc.OutputLines.lines();
  l[74] = "1000,abc";  // in the second file
  session.doc.OutputLines.assign(l);
  EXPECT_FALSE(SaveBCR(session, out.file("Tour.BCR")));
  EXPECT_EQ(out.entries(), std::set<std::string>{"Tour.BCR"}) << "the first file stays";
  ASSERT_EQ(port.prompts.size(), 1u);
  const std::string& text = port.prompts[0].text;
  EXPECT_NE(text.find("Zeile 75"), std::string::npos) << text;
  EXPECT_NE(text.find("1000,abc"), std::string::npos) << text;
  EXPECT_NE(text.find(out.file("Tour_1.BCR")), std::string::npos) << text;
  EXPECT_NE(text.find("Die Datei " + out.file("Tour.BCR") + " wurde geschrieben"),
            std::string::npos)
      << text;

  // In the first file nothing is written at all.
  port.clearRecords();
  test::TempFolder other;
  l[74] = "1000,2000";
  l[3] = "1000";
  session.doc.OutputLines.assign(l);
  EXPECT_FALSE(SaveBCR(session, other.file("Tour.BCR")));
  EXPECT_TRUE(other.entries().empty());
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_NE(port.prompts[0].text.find("Es wurde keine Datei geschrieben."), std::string::npos);
}

TEST_P(Bcr, AFileThatCannotBeWrittenStopsTheSplit) {
  route(120, 50);
  // A folder in the place of the second part.
  ASSERT_EQ(::mkdir(out.file("Tour_1.BCR").c_str(), 0755), 0);
  EXPECT_FALSE(SaveBCR(session, out.file("Tour.BCR")));
  EXPECT_FALSE(out.entries().count("Tour_2.BCR"));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_NE(port.prompts[0].text.find("Teildatei 2 von 3"), std::string::npos)
      << port.prompts[0].text;
  EXPECT_NE(port.prompts[0].text.find(out.file("Tour.BCR") + " wurde geschrieben"),
            std::string::npos);
}

TEST_P(Bcr, WrittenFilesReadBackWithTheirCoordinatesAndNames) {
  route(4, 50, -123456, 98765);
  ASSERT_TRUE(SaveBCR(session, out.file("Rund.BCR")));
  test::useInput(session, 6);
  ASSERT_TRUE(loadInputFile(session, out.file("Rund.BCR")));
  EXPECT_EQ(session.inputCaption(), "Tourenplaner BCR-Datei - Stationen = 4");
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  test::useOutput(session, 2);  // MN5, which shows the names
  session.opt.set(MN5ShowOrt, true);
  const std::vector<std::string> written = {"-123456,6000000", "-24691,6000050", "74074,6000100",
                                            "172839,6000150"};
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  ASSERT_EQ(session.doc.OutputLines.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(
        session.doc.OutputLines.at(i).rfind("-|-|-|-|-|STATION" + std::to_string(i + 1) + "|", 0),
        0u)
        << session.doc.OutputLines.at(i);
  }
  test::useOutput(session, 5);
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  EXPECT_EQ(session.doc.OutputLines.lines(), written) << "the Mercator pairs as read";
}

KURSOLIN_ON_BOTH_HOSTS(Bcr);

}  // namespace
}  // namespace kursolin
