// ITN files against an independent implementation: GPSBabel's tomtom_itn format reads what
// Kursolin writes, and Kursolin reads the points of what GPSBabel writes. GPSBabel's layout
// differs from ours in two places: it ends a line after the flag without the final "|", and it
// writes every flag as 0. Ours holds: such files as written are refused at load, and Kursolin
// writes the final "|" and the flags of TTFlags. The tests skip when gpsbabel is not installed.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <sstream>

#include "core/lines.h"
#include "core/textutil.h"
#include "formats/tomtom.h"
#include "support/hosts.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/loading.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::readBytes;
using test::writeBytes;

bool gpsbabelInstalled() {
  return std::system("command -v gpsbabel >/dev/null 2>&1") == 0;
}

/// Runs gpsbabel with the arguments; true when it ended with status 0.
bool gpsbabel(const std::string& args, const std::string& errFile) {
  const int status = std::system(("gpsbabel " + args + " 2>" + errFile).c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct LatLon {
  double lat, lon;
};

/// The positions of a unicsv file whose first line names the columns.
std::vector<LatLon> unicsvPositions(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);
  std::vector<std::string> head;
  std::stringstream hs(line);
  for (std::string cell; std::getline(hs, cell, ',');) {
    if (!cell.empty() && cell.back() == '\r') cell.pop_back();
    head.push_back(cell);
  }
  const auto column = [&](const char* name) {
    for (std::size_t i = 0; i < head.size(); ++i) {
      if (head[i] == name) return i;
    }
    ADD_FAILURE() << "no column " << name << " in " << line;
    return std::size_t{0};
  };
  const std::size_t latCol = column("Latitude"), lonCol = column("Longitude");
  std::vector<LatLon> out;
  while (std::getline(in, line)) {
    std::vector<std::string> cells;
    std::stringstream ls(line);
    for (std::string cell; std::getline(ls, cell, ',');) cells.push_back(cell);
    if (cells.size() <= std::max(latCol, lonCol)) continue;
    out.push_back({std::stod(cells[latCol]), std::stod(cells[lonCol])});
  }
  return out;
}

class TomTomGpsBabel : public test::HostTest {
 protected:
  void SetUp() override {
    if (!gpsbabelInstalled()) GTEST_SKIP() << "gpsbabel is not installed";
    test::createLikeTheWindow(session);
    session.opt.SaveDir = folder.dir();
  }
  test::ScratchFolder folder;
};

// Half a unit of the fifth decimal, and a little for the binary fractions.
constexpr double kFiveDecimals = 0.5e-5 + 1e-9;

TEST_P(TomTomGpsBabel, ReadsWhatKursolinWrites) {
  test::useInput(session, 22);
  test::setInput(session, {"51.123456\t7.123456", "-33.9\t123.45678", "48.000014\t-0.05",
                           "0.5\t-179.99999", "-0.00001\t11"});
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  test::useOutput(session, 3);
  RouteExecute(session);
  ASSERT_EQ(session.doc.OutputLines.Count(), 5);
  port.saveAnswers.push_back(folder.file("Kursolin.itn"));
  SaveNaviExecute(session);

  ASSERT_TRUE(gpsbabel("-r -i tomtom_itn -f " + folder.file("Kursolin.itn") + " -o unicsv -F " +
                           folder.file("gpsbabel.csv"),
                       folder.file("err.txt")))
      << readBytes(folder.file("err.txt"));
  const auto theirs = unicsvPositions(readBytes(folder.file("gpsbabel.csv")));
  ASSERT_EQ(theirs.size(), 5u) << readBytes(folder.file("gpsbabel.csv"));
  // Kursolin's own reading of the file it wrote.
  session.opt.InputFormat = 10;
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(session.doc.OutputLines.at(i));
    ASSERT_EQ(GetTT(session, session.doc.OutputLines.at(i), i), 1);
    EXPECT_NEAR(theirs[static_cast<std::size_t>(i)].lat,
                static_cast<double>(session.CurrentPoint.LatValue), kFiveDecimals);
    EXPECT_NEAR(theirs[static_cast<std::size_t>(i)].lon,
                static_cast<double>(session.CurrentPoint.LonValue), kFiveDecimals);
  }
}

TEST_P(TomTomGpsBabel, KursolinReadsThePointsGpsBabelWrites) {
  const LatLon points[] = {{51.12345, 7.12345},   {-33.9, 123.45678}, {48.00001, -0.05},
                           {0.00002, -179.99999}, {-89.5, 0.00001},   {47.99999, 11.5}};
  std::string gpx =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"kursolin-test\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
      "<rte><name>Probe</name>\n";
  int n = 0;
  for (const auto& p : points) {
    std::ostringstream pt;
    pt.precision(10);
    pt << "<rtept lat=\"" << p.lat << "\" lon=\"" << p.lon << "\"><name>P" << ++n
       << "</name></rtept>\n";
    gpx += pt.str();
  }
  gpx += "</rte>\n</gpx>\n";
  writeBytes(folder.file("probe.gpx"), gpx);
  ASSERT_TRUE(gpsbabel("-r -i gpx -f " + folder.file("probe.gpx") + " -o tomtom_itn -F " +
                           folder.file("gpsbabel.itn"),
                       folder.file("err.txt")))
      << readBytes(folder.file("err.txt"));

  // As GPSBabel writes it, the file fails the recognition test.
  test::useInput(session, 10);
  EXPECT_FALSE(loadInputFile(session, folder.file("gpsbabel.itn")));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Keine verwertbaren Informationen erkannt oder keine TomTom Routendatei");

  // Each line given its final "|", the file is read to the same positions.
  std::string mended;
  for (const auto& line : splitLines(readBytes(folder.file("gpsbabel.itn")))) {
    EXPECT_EQ(countChar(line, '|'), 3) << line;
    mended += line + "|\r\n";
  }
  writeBytes(folder.file("mended.itn"), mended);
  port.clearRecords();
  ASSERT_TRUE(loadInputFile(session, folder.file("mended.itn")));
  ASSERT_EQ(session.doc.InputLines.Count(), static_cast<int>(std::size(points)));
  for (int i = 0; i < session.doc.InputLines.Count(); ++i) {
    SCOPED_TRACE(session.doc.InputLines.at(i));
    ASSERT_EQ(GetTT(session, session.doc.InputLines.at(i), i), 1);
    EXPECT_NEAR(static_cast<double>(session.CurrentPoint.LatValue), points[i].lat, kFiveDecimals);
    EXPECT_NEAR(static_cast<double>(session.CurrentPoint.LonValue), points[i].lon, kFiveDecimals);
  }
  EXPECT_TRUE(port.prompts.empty());

  // Converted to TomTom, the points get our names and flags in place of GPSBabel's 0.
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  test::useOutput(session, 3);
  RouteExecute(session);
  ASSERT_EQ(session.doc.OutputLines.Count(), 6);
  EXPECT_EQ(session.doc.OutputLines.at(0), "712345|5112345|KS-Rp 1|4|");
  EXPECT_EQ(session.doc.OutputLines.at(5), "1150000|4799999|KS-Rp 6|3|");
}

KURSOLIN_ON_BOTH_HOSTS(TomTomGpsBabel);

}  // namespace
}  // namespace kursolin
