// Interoperability with an independent implementation of the Tourenplaner and Top50 formats and
// of NMEA logs: GPSBabel reads what Kursolin writes and Kursolin reads what GPSBabel writes.
// Skipped when gpsbabel is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "core/fileio.h"
#include "core/geotime.h"
#include "core/split_plan.h"
#include "formats/bcr.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/dispatch.h"
#include "workflow/loading.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

using test::readBytes;
using test::writeBytes;

struct Position {
  double lat, lon;
};

// GPSBabel's bcr format takes the earth radius of its Mercator; this one is ours.
const std::string kBcr = "bcr,radius=6371014.35683041";

// Metres between two positions, great circle on the mean earth.
double metres(const Position& a, const Position& b) {
  const double r = 6371000, k = M_PI / 180;
  const double dLat = (b.lat - a.lat) * k, dLon = (b.lon - a.lon) * k;
  const double h =
      std::sin(dLat / 2) * std::sin(dLat / 2) +
      std::cos(a.lat * k) * std::cos(b.lat * k) * std::sin(dLon / 2) * std::sin(dLon / 2);
  return 2 * r * std::asin(std::sqrt(h));
}

std::string gpsbabelPath() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string candidate = dir + "/gpsbabel";
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

const std::vector<Position> kTour = {
    {48.137, 11.575}, {51.5, -0.5}, {-33.9, 151.2}, {-33.4, -70.6}, {64.1, -21.9}};

class Gpsbabel : public ::testing::Test {
 protected:
  void SetUp() override {
    exe = gpsbabelPath();
    if (exe.empty()) GTEST_SKIP() << "gpsbabel is not installed";
    test::createLikeTheWindow(s);
  }
  /// Runs gpsbabel with the arguments; true when it succeeded.
  bool gpsbabel(const std::string& args) {
    const std::string cmd = exe + " " + args + " 2>" + dir.file("gpsbabel.err");
    return std::system(cmd.c_str()) == 0;
  }
  /// The positions of a unicsv file (No,Latitude,Longitude,... on its first line).
  std::vector<Position> unicsv(const std::string& path) {
    std::vector<Position> out;
    const auto lines = splitLines(readBytes(path));
    EXPECT_FALSE(lines.empty());
    for (std::size_t i = 1; i < lines.size(); ++i) {
      std::stringstream fields(lines[i]);
      std::string no, lat, lon;
      std::getline(fields, no, ',');
      std::getline(fields, lat, ',');
      std::getline(fields, lon, ',');
      out.push_back({std::stod(lat), std::stod(lon)});
    }
    return out;
  }
  /// Loads a file as the input format and reads every record the way the generator does.
  std::vector<Position> readWithKursolin(int code, const std::string& path) {
    test::useInput(s, code);
    EXPECT_TRUE(loadInputFile(s, path)) << path;
    std::vector<Position> out;
    for (int i = 0; i < s.doc.InputLines.Count(); ++i) {
      if (Get_A(s, s.doc.InputLines.at(i), i)) {
        out.push_back({static_cast<double>(s.CurrentPoint.LatValue),
                       static_cast<double>(s.CurrentPoint.LonValue)});
      }
    }
    return out;
  }
  void expectSame(const std::vector<Position>& a, const std::vector<Position>& b, double within) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
      EXPECT_LT(metres(a[i], b[i]), within)
          << i << ": " << a[i].lat << "," << a[i].lon << " / " << b[i].lat << "," << b[i].lon;
    }
  }
  std::string gpx() {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" "
        "creator=\"kursolin-test\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<rte><name>Tour</name>\n";
    for (std::size_t i = 0; i < kTour.size(); ++i) {
      char pt[160];
      std::snprintf(pt, sizeof pt, "<rtept lat=\"%.6f\" lon=\"%.6f\"><name>P%zu</name></rtept>\n",
                    kTour[i].lat, kTour[i].lon, i + 1);
      text += pt;
    }
    return text + "</rte>\n</gpx>\n";
  }
  std::string exe;
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  test::ScratchFolder dir;
};

TEST_F(Gpsbabel, ReadsTheBcrFilesKursolinWrites) {
  // A route through every quarter of the globe, each record a point.
  std::vector<std::string> items;
  for (const auto& p : kTour) {
    char line[96];
    std::snprintf(line, sizeof line, "-|-|-|-|-|-|-|-|-|-|%.6f|%.6f|", p.lon, p.lat);
    items.push_back(line);
  }
  test::useInput(s, 5);
  s.doc.InputLines.assign(items);
  s.opt.rules.AllGGACheck = true;
  s.opt.rules.XRPSpin = 1;
  test::useOutput(s, 5);
  ASSERT_EQ(RouteExecute(s), RouteResult::Completed);
  s.opt.set(BcrRouteTitle, "Welt");
  s.doc.split = planSplitOver(s.doc.OutputLines.Count(), s.doc.OutputLines.Count());
  ASSERT_TRUE(SaveBCR(s, dir.file("Welt.BCR")));
  ASSERT_TRUE(gpsbabel("-i " + kBcr + " -f " + dir.file("Welt.BCR") + " -o unicsv -F " +
                       dir.file("welt.csv")))
      << readBytes(dir.file("gpsbabel.err"));
  expectSame(unicsv(dir.file("welt.csv")), kTour, 1.0);
}

TEST_F(Gpsbabel, KursolinReadsTheBcrAndOvlFilesGpsbabelWrites) {
  writeBytes(dir.file("tour.gpx"), gpx());
  ASSERT_TRUE(gpsbabel("-i gpx -f " + dir.file("tour.gpx") + " -o " + kBcr + " -F " +
                       dir.file("tour.bcr")));
  expectSame(readWithKursolin(6, dir.file("tour.bcr")), kTour, 1.0);

  ASSERT_TRUE(
      gpsbabel("-i gpx -f " + dir.file("tour.gpx") + " -o ggv_ovl -F " + dir.file("tour.ovl")));
  const auto read = readWithKursolin(3, dir.file("tour.ovl"));
  // GPSBabel adds a label symbol with its own XKoord/YKoord for every route point; every
  // coordinate pair of the file is a point here, so the labels come back as points after the
  // route.
  ASSERT_GE(read.size(), kTour.size());
  expectSame(std::vector<Position>(read.begin(), read.begin() + kTour.size()), kTour, 0.01);
  for (std::size_t i = kTour.size(); i < read.size(); ++i) {
    EXPECT_LT(metres(read[i], kTour[(i - kTour.size()) % kTour.size()]), 0.01) << i;
  }
}

TEST_F(Gpsbabel, BothReadTheRealTefFileAlike) {
  const std::string tef = std::string(KURSOLIN_SHARED_SAMPLES) + "/route-tef.xml";
  if (readBytes(tef).empty()) GTEST_SKIP() << "shared samples not present";
  ASSERT_TRUE(gpsbabel("-i tef -f " + tef + " -o unicsv -F " + dir.file("tef.csv")));
  const auto theirs = unicsv(dir.file("tef.csv"));
  const auto all = readWithKursolin(5, tef);
  EXPECT_EQ(all.size(), 262u);
  // GPSBabel makes its route of the stations only (start, via stations, destination); with all
  // coordinates the route here holds every item, so its stations must appear in it in order.
  std::size_t next = 0;
  for (const auto& p : all) {
    if (next < theirs.size() && metres(p, theirs[next]) < 0.01) ++next;
  }
  EXPECT_EQ(next, theirs.size()) << "every station of GPSBabel's route, in order";
  // Stations only gives exactly GPSBabel's route.
  expectSame(readWithKursolin(4, tef), theirs, 0.01);
}

TEST_F(Gpsbabel, ReadsTheSameGnLogsToTheSamePositions) {
  // Receivers that combine satellite systems write "$GN" sentences.
  test::TrackBuilder t(48.1, 11.5, 9 * 3600);
  t.add(t.current()).drive(45, 60, 120, 5).drive(300, 30, 60, 5);
  for (const int code : {1, 2}) {
    const std::string log = dir.file(code == 1 ? "gn-gga-vtg.nmea" : "gn-rmc.nmea");
    writeBytes(log, test::joinCrLf(test::withTalker(code == 1 ? t.ggaVtgLines() : t.rmcLines(),
                                                    "GN")));
    const std::string csv = dir.file("gn.csv");
    // GPSBabel reads a log as a track (its points become waypoints for the table) and drops
    // GGA fixes without a date: the date option gives them one.
    ASSERT_TRUE(gpsbabel("-t -i nmea,date=20230815 -f " + log +
                         " -x transform,wpt=trk -o unicsv -F " + csv))
        << readBytes(dir.file("gpsbabel.err"));
    const auto ours = readWithKursolin(code, log);
    EXPECT_EQ(ours.size(), t.fixes().size()) << code;
    // The table has six decimals, a tenth of a metre.
    expectSame(unicsv(csv), ours, 0.1);
  }
}

}  // namespace
}  // namespace kursolin
