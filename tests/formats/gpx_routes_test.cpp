// What the GPX output writes (a route with via and shaping points, a track, waypoints), judged by
// the golden files, the GPX 1.1 schema, our reader and GPSBabel; and a planner's route with its
// road path as our reader takes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "core/cp1252.h"
#include "core/textutil.h"
#include "formats/gpx.h"
#include "support/fake_port.h"
#include "support/gpx_writer.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using namespace kursolin::literals;

bool haveProgram(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string data(const std::string& name) {
  return std::string(KURSOLIN_TEST_DATA) + "/gpx/" + name;
}

// The numbers of each line of a program's output that holds two comma-separated coordinates
// (GPSBabel's unicsv rows: "No,Latitude,Longitude,...").
std::vector<std::string> babelCoordinates(const std::string& flag, const std::string& file,
                                          const std::string& out) {
  const std::string cmd =
      "gpsbabel " + flag + " -i gpx -f '" + file + "' -o unicsv -F '" + out + "' >/dev/null 2>&1";
  if (std::system(cmd.c_str()) != 0) return {"gpsbabel failed"};
  std::vector<std::string> coords;
  const std::string text = test::readBytes(out);
  std::size_t start = text.find('\n') + 1;  // after the header
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    const std::string row = text.substr(start, end - start);
    const std::size_t a = row.find(','), b = row.find(',', a + 1), c = row.find(',', b + 1);
    coords.push_back(row.substr(a + 1, b - a - 1) + " " + row.substr(b + 1, c - b - 1));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return coords;
}

class GpxRoutes : public ::testing::Test {
 protected:
  GpxRoutes() : s(port, HostSettings::german()) {}
  void SetUp() override {
    test::createLikeTheWindow(s);
    s.doc.InputFileName = "/daten/Alpen Tour.nmea";
  }
  // Four points as the generator leaves them: start (via), a shaping point, a stop (via) and a
  // last point that the finishing pass makes the destination.
  void fourPoints() {
    test::writeGpxRoute(s, {{"47.421000", "10.985000", "-", RouteRole::Via},
                            {"47.450000", "11.020000", "-", RouteRole::Shaping},
                            {"-33.856800", "151.215000", "Rast & <Kaffee>", RouteRole::Via},
                            {"47.500000", "-11.100000", "Grüße"_cp, RouteRole::Shaping}});
  }
  test::ScriptedPort port;
  Session s;
  test::TempFolder dir;
};

TEST_F(GpxRoutes, EachVariantIsItsGoldenFileAndReadsBackToTheSameCoordinates) {
  const std::vector<std::string> coords = {"47.421000 10.985000", "47.450000 11.020000",
                                           "-33.856800 151.215000", "47.500000 -11.100000"};
  struct Variant {
    const char* golden;
    GpxContent content;
    bool via;
    const char* babelFlag;
    std::vector<std::string> roles;  // the eleventh field of our reader's lines
  } variants[] = {
      {"route-via.gpx", GpxContent::Route, true, "-r", {"via", "shaping", "via", "via"}},
      {"route-plain.gpx", GpxContent::Route, false, "-r", {"", "", "", ""}},
      // Tracks and waypoints say nothing of via points, whatever the option.
      {"track.gpx", GpxContent::Track, true, "-t", {"", "", "", ""}},
      {"waypoints.gpx", GpxContent::Waypoints, true, "", {"", "", "", ""}},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(v.golden);
    s.doc.OutputLines.clear();
    s.doc.RoutePointCount = 0;
    s.opt.set(GpxInhalt, static_cast<int>(v.content));
    s.opt.set(GpxViaPunkte, v.via);
    fourPoints();
    const std::string bytes = gpxFileBytes(s.doc.OutputLines);
    EXPECT_EQ(bytes, test::readBytes(data(v.golden)));
    const std::string file = dir.file(v.golden);
    test::writeBytes(file, bytes);

    const GpxLoad back = parseGpx(bytes, file);
    ASSERT_TRUE(back.ok) << back.message;
    ASSERT_EQ(back.lines.size(), coords.size());
    for (std::size_t i = 0; i < coords.size(); ++i) {
      std::string line = back.lines[i];
      std::replace(line.begin(), line.end(), '|', ' ');
      EXPECT_EQ(line.substr(0, coords[i].size()), coords[i]);
      const auto bar = back.lines[i].rfind('|');
      const std::string last = back.lines[i].substr(bar + 1);
      EXPECT_EQ(last == "via" || last == "shaping" ? last : "", v.roles[i]) << i;
    }
    if (haveProgram("xmllint")) {
      const std::string cmd = "xmllint --nonet --noout --schema '" + data("gpx11.xsd") + "' '" +
                              file + "' >/dev/null 2>&1";
      EXPECT_EQ(std::system(cmd.c_str()), 0) << "not valid GPX 1.1";
    }
    if (haveProgram("gpsbabel")) {
      EXPECT_EQ(babelCoordinates(v.babelFlag, file, dir.file("babel.csv")), coords);
    }
  }
  // The plain route is the file this program has always written.
  s.opt.set(GpxInhalt, 0);
  s.opt.set(GpxViaPunkte, false);
  EXPECT_EQ(gpxHeader(s).size(), 3u);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(GpxRoutes, TheRouteIsNamedAfterTheFileOrAsTheUserSays) {
  EXPECT_EQ(gpxRouteName(s), "Alpen Tour");
  s.opt.set(GpxRouteName, "Über & <unter>"_cp);
  EXPECT_EQ(gpxHeader(s).at(3), "    <name>Über &amp; &lt;unter&gt;</name>"_cp);
  s.opt.set(GpxRouteName, "");
  s.doc.InputFileName = "*.txt";
  EXPECT_EQ(gpxRouteName(s), "Route") << "nothing loaded yet";
}

TEST(GpxPlannerRoute, RoadPointsFollowTheirRoutePointAndBadOnesArePassedOver) {
  const std::string gpxx = "http://www.garmin.com/xmlschemas/GpxExtensions/v3";
  const std::string trp = "http://www.garmin.com/xmlschemas/TripExtensions/v1";
  const std::string file =
      "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"Planer\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:gpxx=\"" +
      gpxx + "\" xmlns:trp=\"" + trp + "\" xmlns:x=\"urn:other\">\n<rte><name>R</name>\n" +
      "<rtept lat=\"48.0\" lon=\"11.0\"><name>A</name><extensions><trp:ViaPoint>"
      "<trp:CalculationMode>FasterTime</trp:CalculationMode></trp:ViaPoint>"
      "<x:Farbe>rot</x:Farbe><gpxx:RoutePointExtension><gpxx:Subclass>0</gpxx:Subclass>"
      "<gpxx:rpt lat=\"48.0\" lon=\"11.01\"/>\n<gpxx:rpt lat=\"48.0\"/>\n"
      "<gpxx:rpt lat=\"48.01\" lon=\"11.01\"><gpxx:Subclass>1</gpxx:Subclass></gpxx:rpt>"
      "</gpxx:RoutePointExtension></extensions></rtept>\n"
      "<rtept lat=\"48.02\" lon=\"11.01\"><name>B</name><extensions><trp:ShapingPoint/>"
      "</extensions></rtept>\n"
      "<rtept lat=\"48.03\" lon=\"11.02\"><name>C</name></rtept>\n</rte></gpx>\n";
  const GpxLoad r = parseGpx(file, "plan.gpx");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.source, GpxSource::Route);
  std::vector<std::string> got;
  for (const auto& l : r.lines) {
    const auto f = splitAt(l, '|');
    got.push_back(f[0] + " " + f[1] + " " + f[9] + (f.size() > 10 ? " " + f[10] : ""));
  }
  EXPECT_EQ(got, (std::vector<std::string>{"48.0 11.0 A via", "48.0 11.01 -", "48.01 11.01 -",
                                           "48.02 11.01 B shaping", "48.03 11.02 C"}));
  EXPECT_EQ(r.warning,
            "In der Datei plan.gpx hat ein Straßenpunkt (gpxx:rpt) keine gültigen Koordinaten "
            "(zuerst in Zeile 5).\rDiese Punkte werden übergangen, alle anderen gelesen."_cp);
}

}  // namespace
}  // namespace kursolin
