// GPX files: loading into intermediate lines, reading those lines into the record, writing the
// route file and finishing it after a reversal or for a part file.
#include <gtest/gtest.h>

#include "core/coords.h"
#include "core/cp1252.h"
#include "formats/gpx.h"
#include "support/hosts.h"
#include "support/route_records.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using namespace kursolin::literals;

const std::string kNs11 = "http://www.topografix.com/GPX/1/1";

std::string doc(const std::string& body,
                const std::string& root =
                    "<gpx version=\"1.1\" "
                    "creator=\"t\" xmlns=\"" +
                    kNs11 + "\">",
                const std::string& close = "</gpx>") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + root + body + close + "\n";
}

std::string trk(const std::string& points) {
  return "<trk><trkseg>" + points + "</trkseg></trk>";
}

std::vector<std::string> fieldsOf(const std::string& line) {
  std::vector<std::string> f;
  std::size_t start = 0, bar;
  while ((bar = line.find('|', start)) != std::string::npos) {
    f.push_back(line.substr(start, bar - start));
    start = bar + 1;
  }
  f.push_back(line.substr(start));
  return f;
}

// --- Loading ---------------------------------------------------------------------------------

TEST(GpxLoad, ChoosesTracksThenRoutesThenWaypoints) {
  const std::string wpt = "<wpt lat=\"1\" lon=\"2\"><name>W</name></wpt>";
  const std::string rte = "<rte><rtept lat=\"3\" lon=\"4\"/><rtept lat=\"5\" lon=\"6\"/></rte>";
  const std::string track = trk("<trkpt lat=\"7\" lon=\"8\"/>") +
                            trk("<trkpt lat=\"9\" lon=\"10\"/><trkpt lat=\"11\" lon=\"12\"/>");
  struct Case {
    const char* what;
    std::string body;
    GpxSource source;
    std::vector<std::string> lats;
  } cases[] = {
      {"waypoints", wpt + wpt, GpxSource::Waypoints, {"1", "1"}},
      {"route", rte, GpxSource::Route, {"3", "5"}},
      {"waypoints and route", wpt + rte, GpxSource::Route, {"3", "5"}},
      {"track of two", track, GpxSource::Track, {"7", "9", "11"}},
      {"all three", wpt + rte + track, GpxSource::Track, {"7", "9", "11"}},
      // Waypoints after the track (out of schema order) are still not taken.
      {"track first", track + wpt + rte, GpxSource::Track, {"7", "9", "11"}},
  };
  for (const auto& c : cases) {
    const GpxLoad r = parseGpx(doc(c.body), "t.gpx");
    ASSERT_TRUE(r.ok) << c.what << ": " << r.message;
    EXPECT_EQ(r.source, c.source) << c.what;
    std::vector<std::string> lats;
    for (const auto& l : r.lines) lats.push_back(fieldsOf(l)[0]);
    EXPECT_EQ(lats, c.lats) << c.what;
  }
}

TEST(GpxLoad, LineHoldsEveryFieldOfThePoint) {
  const GpxLoad r =
      parseGpx(doc(trk("<trkpt lat=\" 48.1173 \" lon=\"11.516667\"><ele>545.4</ele>"
                       "<time>2023-06-01T12:35:19Z</time><name> Start | Ziel </name><fix>3d</fix>"
                       "<sat>8</sat><hdop>0.9</hdop></trkpt>")),
               "t.gpx");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0],
            "48.1173|11.516667|2023-06-01T12:35:19Z|545.4|-|-|3d|8|0.9|Start \xA6 Ziel");
  EXPECT_EQ(gpxCaption(r.source, 1234), "GPX Track - Punkte = 1234");
  EXPECT_EQ(gpxCaption(GpxSource::Route, 2), "GPX Route - Punkte = 2");
  EXPECT_EQ(gpxCaption(GpxSource::Waypoints, 3), "GPX Wegpunkte - Punkte = 3");
}

TEST(GpxLoad, NamespacedAndPrettyPrintedFilesGiveTheSameLines) {
  const std::string compact =
      doc(trk("<trkpt lat=\"48.1\" lon=\"11.5\"><ele>500</ele><time>2023-06-01T12:00:00Z</time>"
              "<name>A</name></trkpt><trkpt lat=\"48.101\" lon=\"11.5\"><ele>501</ele>"
              "<time>2023-06-01T12:00:10Z</time><name>B</name></trkpt>"));
  const std::string pretty =
      "<?xml version=\"1.0\"?>\r\n<!-- made by hand -->\r\n<gpx version=\"1.1\" creator=\"t\"\r\n"
      "     xmlns=\"" +
      kNs11 +
      "\">\r\n  <metadata><name>Tour</name></metadata>\r\n"
      "  <trk>\r\n    <name>Track name</name>\r\n    <trkseg>\r\n"
      "      <trkpt lat=\"48.1\"\r\n             lon=\"11.5\">\r\n        <ele>\r\n 500 \r\n"
      "        </ele>\r\n        <time>2023-06-01T12:00:00Z</time>\r\n"
      "        <name>A</name>\r\n      </trkpt>\r\n"
      "      <trkpt lon='11.5' lat='48.101'>\r\n        <ele>501</ele>\r\n"
      "        <time>2023-06-01T14:00:10+02:00</time>\r\n        <name><![CDATA[B]]></name>\r\n"
      "      </trkpt>\r\n    </trkseg>\r\n  </trk>\r\n</gpx>\r\n";
  const std::string prefixed =
      "<g:gpx xmlns:g=\"" + kNs11 +
      "\" version=\"1.1\" creator=\"t\"><g:trk><g:trkseg>"
      "<g:trkpt lat=\"48.1\" lon=\"11.5\"><g:ele>500</g:ele><g:time>2023-06-01T12:00:00Z</g:time>"
      "<g:name>A</g:name></g:trkpt><g:trkpt lat=\"48.101\" lon=\"11.5\"><g:ele>501</g:ele>"
      "<g:time>2023-06-01T12:00:10Z</g:time><g:name>B</g:name></g:trkpt></g:trkseg></g:trk>"
      "</g:gpx>";
  const std::string noNamespace =
      "<gpx version=\"1.1\"><trk><trkseg><trkpt lat=\"48.1\" lon=\"11.5\"><ele>500</ele>"
      "<time>2023-06-01T12:00:00Z</time><name>A</name></trkpt><trkpt lat=\"48.101\" "
      "lon=\"11.5\"><ele>501</ele><time>2023-06-01T12:00:10.0Z</time><name>B</name></trkpt>"
      "</trkseg></trk></gpx>";
  const GpxLoad base = parseGpx(compact, "a.gpx");
  ASSERT_TRUE(base.ok);
  ASSERT_EQ(base.lines.size(), 2u);
  // 111.12 m in 10 s, heading north.
  EXPECT_EQ(base.lines[1], "48.101|11.5|2023-06-01T12:00:10Z|501|40.00|0.00|-|-|-|B");
  for (const auto* variant : {&pretty, &prefixed}) {
    const GpxLoad r = parseGpx(*variant, "b.gpx");
    ASSERT_TRUE(r.ok) << r.message;
    EXPECT_EQ(r.lines, base.lines) << *variant;
  }
  const GpxLoad r = parseGpx(noNamespace, "c.gpx");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.lines[1], "48.101|11.5|2023-06-01T12:00:10.0Z|501|40.00|0.00|-|-|-|B");
}

TEST(GpxLoad, ExtensionsAndForeignElementsAreNoPoints) {
  const std::string body =
      "<extensions><x:wpt xmlns:x=\"urn:x\" lat=\"1\" lon=\"1\"/><wpt lat=\"2\" lon=\"2\"/>"
      "</extensions>"
      "<rte><extensions><rtept lat=\"3\" lon=\"3\"/></extensions>"
      "<rtept lat=\"48\" lon=\"11\"><name>R1</name><extensions><name>not this</name>"
      "<x:speed xmlns:x=\"urn:x\">10</x:speed></extensions></rtept>"
      "<y:rtept xmlns:y=\"urn:y\" lat=\"4\" lon=\"4\"/></rte>";
  const GpxLoad r = parseGpx(doc(body), "t.gpx");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.source, GpxSource::Route);
  ASSERT_EQ(r.lines.size(), 1u);
  // A vendor's speed in metres per second.
  EXPECT_EQ(r.lines[0], "48|11|-|-|36.00|-|-|-|-|R1");
}

TEST(GpxLoad, RecordedSpeedAndCourseWinOverWorkedOutOnes) {
  const std::string gpx10 =
      "<gpx version=\"1.0\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/0\"><trk><trkseg>"
      "<trkpt lat=\"48\" lon=\"11\"><time>2023-06-01T12:00:00Z</time><course>271.5</course>"
      "<speed>2.5</speed></trkpt>"
      "<trkpt lat=\"48.001\" lon=\"11\"><time>2023-06-01T12:00:10Z</time></trkpt>"
      "</trkseg></trk></gpx>";
  const std::string garmin =
      doc(trk("<trkpt lat=\"48\" lon=\"11\"><time>2023-06-01T12:00:00Z</time><extensions>"
              "<gpxtpx:TrackPointExtension xmlns:gpxtpx=\"http://www.garmin.com/xmlschemas/"
              "TrackPointExtension/v2\"><gpxtpx:speed>2.5</gpxtpx:speed><gpxtpx:course>271.5"
              "</gpxtpx:course></gpxtpx:TrackPointExtension></extensions></trkpt>"
              "<trkpt lat=\"48.001\" lon=\"11\"><time>2023-06-01T12:00:10Z</time></trkpt>"));
  for (const auto* text : {&gpx10, &garmin}) {
    const GpxLoad r = parseGpx(*text, "t.gpx");
    ASSERT_TRUE(r.ok) << r.message;
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(fieldsOf(r.lines[0])[4], "9.00");
    EXPECT_EQ(fieldsOf(r.lines[0])[5], "271.50");
    EXPECT_EQ(fieldsOf(r.lines[1])[4], "40.00") << "worked out where nothing is recorded";
    EXPECT_EQ(fieldsOf(r.lines[1])[5], "0.00");
  }
}

TEST(GpxLoad, SpeedAndCourseOverMidnightStandstillAndMissingTimes) {
  const GpxLoad r = parseGpx(
      doc(trk("<trkpt lat=\"48\" lon=\"11\"><time>2023-06-01T23:59:58Z</time></trkpt>"
              "<trkpt lat=\"48\" lon=\"11.001\"><time>2023-06-01T23:59:59Z</time></trkpt>"
              // Midnight: one second later on the next day.
              "<trkpt lat=\"48\" lon=\"11.002\"><time>2023-06-02T00:00:00Z</time></trkpt>"
              // Standing: no movement, the heading stays east.
              "<trkpt lat=\"48\" lon=\"11.002\"><time>2023-06-02T00:00:05Z</time></trkpt>"
              // No time: no speed, but a bearing.
              "<trkpt lat=\"48.001\" lon=\"11.002\"/>"
              // A time again, but the point before had none.
              "<trkpt lat=\"48.002\" lon=\"11.002\"><time>2023-06-02T00:00:20Z</time></trkpt>"
              // Bad coordinates neither count as the previous point nor stop the others.
              "<trkpt lat=\"x\" lon=\"11\"><time>2023-06-02T00:00:21Z</time></trkpt>"
              "<trkpt lat=\"48.003\" lon=\"11.002\"><time>2023-06-02T00:00:30Z</time></trkpt>")),
      "t.gpx");
  ASSERT_TRUE(r.ok);
  std::vector<std::string> speeds, courses;
  for (const auto& l : r.lines) {
    speeds.push_back(fieldsOf(l)[4]);
    courses.push_back(fieldsOf(l)[5]);
  }
  // 0.001 degree of longitude at 48 N is 74.35 m on the generator's sphere.
  const std::vector<std::string> expectedSpeeds = {"-", "267.67", "267.67", "0.00",
                                                   "-", "-",      "-",      "40.00"};
  const std::vector<std::string> expectedCourses = {"-",    "90.00", "90.00", "90.00",
                                                    "0.00", "0.00",  "-",     "0.00"};
  EXPECT_EQ(speeds, expectedSpeeds);
  EXPECT_EQ(courses, expectedCourses);
}

TEST(GpxLoad, NamesAreCp1252InTheLine) {
  const GpxLoad r =
      parseGpx(doc("<wpt lat=\"50\" lon=\"7\"><name>Grüße aus Köln – 5 € &amp; mehr</name></wpt>"
                   "<wpt lat=\"50\" lon=\"7\"><name>Łódź\n"
                   "Zentrum</name></wpt><wpt lat=\"50\" lon=\"7\"><name>   </name></wpt>"),
               "t.gpx");
  ASSERT_TRUE(r.ok);
  ASSERT_EQ(r.lines.size(), 3u);
  EXPECT_EQ(fieldsOf(r.lines[0])[9], "Grüße aus Köln – 5 € & mehr"_cp);
  EXPECT_EQ(fieldsOf(r.lines[1])[9],
            "?\xF3"
            "d? Zentrum")
      << "outside cp1252: ?";
  EXPECT_EQ(fieldsOf(r.lines[2])[9], "-");
}

TEST(GpxLoad, Windows1252DeclaredFileIsRead) {
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"windows-1252\"?><gpx version=\"1.1\" creator=\"t\" "
      "xmlns=\"" +
      kNs11 + "\"><wpt lat=\"50\" lon=\"7\"><name>M\xFCnchen \x80</name></wpt></gpx>";
  const GpxLoad r = parseGpx(text, "t.gpx");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(fieldsOf(r.lines[0])[9], "M\xFCnchen \x80");
}

TEST(GpxLoad, BadFilesAreRefusedWithTheFileAndTheLine) {
  struct Case {
    const char* what;
    std::string text;
    std::string message;
  } cases[] = {
      {"mismatched tag",
       "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">\n<trk><trkseg>\n"
       "<trkpt lat=\"1\" lon=\"2\"></trk>\n</gpx>\n",
       "Die Datei /x/Tour.gpx ist keine gültige XML Datei.\rFehler in Zeile 4, Spalte 26: das "
       "schließende Tag passt nicht zum öffnenden\rEs wurde nichts geladen."_cp},
      {"cut off", doc(trk("<trkpt lat=\"1\" lon=\"2\"/>"), "<gpx version=\"1.1\">", ""),
       "Die Datei /x/Tour.gpx ist keine gültige XML Datei.\rFehler in Zeile 3, Spalte 1: die Datei "
       "endet vor dem Ende des Dokuments (leer oder abgeschnitten?)\rEs wurde nichts geladen."_cp},
      {"empty", "",
       "Die Datei /x/Tour.gpx ist keine gültige XML Datei.\rFehler in Zeile 1, Spalte 1: die Datei "
       "endet vor dem Ende des Dokuments (leer oder abgeschnitten?)\rEs wurde nichts geladen."_cp},
      {"unknown entity", doc("<wpt lat=\"1\" lon=\"2\"><name>&uuml;</name></wpt>"),
       "Die Datei /x/Tour.gpx ist keine gültige XML Datei.\rFehler in Zeile 2, Spalte 101: "
       "unbekannte Entität\rEs wurde nichts geladen."_cp},
      {"not XML", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n",
       "Die Datei /x/Tour.gpx ist keine gültige XML Datei.\rFehler in Zeile 1, Spalte 1: "
       "ungültiges Zeichen\rEs wurde nichts geladen."_cp},
      {"not GPX",
       "<?xml version=\"1.0\"?>\n\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">"
       "<Placemark/></kml>",
       "Die Datei /x/Tour.gpx ist keine GPX Datei: das Hauptelement in Zeile 3 heißt <kml> statt "
       "<gpx>.\rEs wurde nichts geladen."_cp},
      {"no points", doc("<metadata><name>leer</name></metadata><trk><trkseg/></trk>"),
       "Die GPX Datei /x/Tour.gpx enthält weder Trackpunkte noch Routenpunkte noch Wegpunkte.\r"
       "Es wurde nichts geladen."_cp},
  };
  for (const auto& c : cases) {
    const GpxLoad r = parseGpx(c.text, "/x/Tour.gpx");
    EXPECT_FALSE(r.ok) << c.what;
    EXPECT_TRUE(r.lines.empty()) << c.what;
    EXPECT_EQ(r.message, c.message) << c.what;
  }
}

TEST(GpxLoad, FilesAreReadInPiecesWhateverTheirSize) {
  test::TempFolder dir;
  // A track of 30000 points is read in many buffers; a point may span two of them.
  std::string body;
  for (int i = 0; i < 30000; ++i) {
    body += "<trkpt lat=\"" + std::to_string(48.0 + i * 1e-5) +
            "\" lon=\"11.0\"><time>2023-06-01T" + (i < 36000 ? "10" : "11") + ":" +
            (i / 60 % 60 < 10 ? "0" : "") + std::to_string(i / 60 % 60) + ":" +
            (i % 60 < 10 ? "0" : "") + std::to_string(i % 60) + "Z</time></trkpt>\n";
  }
  test::writeBytes(dir.file("groß.gpx"), doc(trk(body)));
  const GpxLoad r = loadGpxFile(dir.path() + "/gro\xDF.gpx");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.lines.size(), 30000u);
  EXPECT_EQ(r.lines, parseGpx(doc(trk(body)), "x").lines);

  const GpxLoad missing = loadGpxFile(dir.path() + "/fehlt.gpx");
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.message, "Die Datei " + dir.path() +
                                 "/fehlt.gpx kann nicht gelesen werden.\rEs wurde nichts geladen.");
}

// --- Reading a line --------------------------------------------------------------------------

class GpxRead : public test::HostTest {
 protected:
  void SetUp() override { test::createLikeTheWindow(session); }
  int read(const std::string& line, int index = 0) { return GetGPX(session, line, index); }
  PointRecord& p() { return session.CurrentPoint; }
};

TEST_P(GpxRead, FillsEveryNotationAndTheRecordedValues) {
  ASSERT_EQ(read("48.1173|11.516667|2023-06-01T12:35:19.5Z|545.5|40.00|54.70|3d|8|0.9|Start"), 1);
  EXPECT_EQ(p().LatDec, "48.117300");
  EXPECT_EQ(p().LonDec, "11.516667");
  EXPECT_EQ(p().LatGrMin, "04807.038");
  EXPECT_EQ(p().LatNmea, "04807.038");
  EXPECT_EQ(p().LonGrMin, "01131.00002");
  EXPECT_EQ(p().LatGMS, h("048\xB0"
                          "07\xB4"
                          "2.28\""));
  EXPECT_EQ(p().LatMer, "6119550");
  EXPECT_EQ(p().LonMer, DezToMerO(11.516667L));
  EXPECT_NEAR(static_cast<double>(p().LatValue), 48.1173, 1e-12);
  EXPECT_NEAR(static_cast<double>(p().LonValue), 11.516667, 1e-12);
  EXPECT_EQ(p().Time, "123519.50") << "at least two decimals";
  EXPECT_EQ(p().Date, "010623");
  EXPECT_EQ(p().Altitude, "546") << "halves to even: 545.5 is 546";
  EXPECT_EQ(p().SpeedKmh, h("40.00"));
  EXPECT_NEAR(static_cast<double>(p().SpeedValue), 40.0, 1e-12);
  EXPECT_EQ(p().Course, "54.70");
  EXPECT_EQ(p().FixOk, "1");
  EXPECT_EQ(p().SatCount, "8");
  EXPECT_EQ(p().Hdop, "0.9");
  EXPECT_EQ(p().navi(RtePlaceName), "Start");
  EXPECT_TRUE(p().PointValid);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(GpxRead, WhatTheFileLacksGetsTheRouteFileValues) {
  // Left over from a point before: every field is set anew.
  ASSERT_EQ(read("48|11|2023-06-01T12:00:00Z|500|40.00|90.00|none|8|0.9|Name"), 1);
  EXPECT_EQ(p().FixOk, "0") << "<fix>none</fix>";
  ASSERT_EQ(read("48|11|-|-|-|-|-|-|-|-"), 1);
  // The speed is written as the host writes numbers, as the NMEA readers write it.
  EXPECT_TRUE(test::routeFileDefaults(p(), false));
  EXPECT_EQ(p().SpeedKmh, h("0.00"));
  EXPECT_EQ(p().SpeedValue, 0);
  EXPECT_EQ(p().Course, "0.00");
  EXPECT_EQ(p().navi(RtePlaceName), "-");
  // A line cut short reads as if its missing fields were "-".
  ASSERT_EQ(read("48|11"), 1);
  EXPECT_EQ(p().Time, "000000.00");
}

TEST_P(GpxRead, SouthAndWestAreSignedTextsOverMagnitudes) {
  ASSERT_EQ(read("-33.8568|-151.215|2023-06-01T00:00:00+10:00|-5|-|-|-|-|-|-"), 1);
  EXPECT_EQ(p().LatDec, "-33.856800");
  EXPECT_EQ(p().LonDec, "-151.215000");
  EXPECT_EQ(p().LatGrMin, "-03351.408");
  EXPECT_EQ(p().LonGrMin, "-15112.9");
  EXPECT_EQ(p().LatGMS, h("-033\xB0"
                          "51\xB4"
                          "24.48\""));
  EXPECT_EQ(p().LatMer, "-" + DezToMerN(33.8568L));
  // The numbers are magnitudes, as the NMEA parsers keep them, so distances work.
  EXPECT_NEAR(static_cast<double>(p().LatValue), 33.8568, 1e-12);
  EXPECT_NEAR(static_cast<double>(p().LonValue), 151.215, 1e-12);
  EXPECT_EQ(p().Time, "140000.00") << "the zone offset is taken off";
  EXPECT_EQ(p().Date, "310523");
  EXPECT_EQ(p().Altitude, "-5");
}

TEST_P(GpxRead, UnusablePointsAreSkippedWithAMessage) {
  struct Case {
    std::string line;
    std::string message;
  };
  std::vector<Case> cases = {{"", "Die aktuelle Zeile 4\r der Quelldatei ist leer !"}};
  const std::string tail =
      "\r\renth\xE4lt keine g\xFCltigen Koordinaten !\rDie Breite muss eine "
      "Zahl zwischen -90 und 90 sein, ohne die Pole, die L\xE4nge eine Zahl von -180 bis 180.\r"
      "Der Routenpunkt wird nicht ausgewertet";
  for (const char* bad : {"91|11", "-90.5|11", "90|11", "-90|11", "48|180.01", "48|-181", "abc|11",
                          "48|-", "|11", "48|1e999", "4 8|11"}) {
    cases.push_back({bad, std::string("Der aktuelle Routenpunkt 4\r\r") + bad + tail});
  }
  for (const auto& c : cases) {
    port.clearRecords();
    EXPECT_EQ(read(c.line, 3), 0) << c.line;
    EXPECT_FALSE(p().PointValid) << c.line;
    ASSERT_EQ(port.prompts.size(), 1u) << c.line;
    EXPECT_EQ(port.prompts[0].text, c.message);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  }
  // The date line is on the globe, the poles (no Mercator value) are not; a decimal comma typed
  // into the pane is read.
  for (const char* good : {"89.99|180", "-89.99|-180", "0|0", "48,5|11,25"}) {
    port.clearRecords();
    EXPECT_EQ(read(good), 1) << good;
    EXPECT_TRUE(port.prompts.empty()) << good;
  }
  EXPECT_EQ(p().LatDec, "48.500000");
}

KURSOLIN_ON_BOTH_HOSTS(GpxRead);

// --- Writing ---------------------------------------------------------------------------------

std::string golden(const std::string& name) {
  return test::readBytes(std::string(KURSOLIN_TEST_DATA) + "/gpx/" + name);
}

class GpxWrite : public test::HostTest {
 protected:
  // The plain route, as this program has always written it.
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.opt.set(GpxViaPunkte, false);
  }
  void point(const std::string& lat, const std::string& lon, const std::string& alt,
             const std::string& time, const std::string& date, const std::string& name) {
    PointRecord& p = session.CurrentPoint;
    p.LatDec = lat;
    p.LonDec = lon;
    p.Altitude = alt;
    p.Time = time;
    p.Date = date;
    p.navi(RtePlaceName) = name;
    ++session.doc.RoutePointCount;
    buildGpx(session, RoutePoint{session.doc.RoutePointCount, 0, 0, 0, 0});
  }
  // Three points as different readers leave them: an RMC log, a route file whose numbers carry
  // the host's decimal comma and a GPX point with a name, a GPX point south and west.
  void threePoints() {
    point("48.117300", "11.516667", "545", "123519.00", "010623", "-");
    point("51,5", "-0.12", "0", "000000.00", "01.01.00", "Grüße & <Küche> – 5 €"_cp);
    point("-33.856800", "151.215", "-5", "235959.379", "311299", "-");
  }
  std::vector<std::string> pointLines() const {
    std::vector<std::string> out;
    for (const auto& l : session.doc.OutputLines.lines())
      if (isGpxPointLine(l)) out.push_back(l);
    return out;
  }
};

TEST_P(GpxWrite, RouteFileByteForByte) {
  threePoints();
  EXPECT_EQ(session.doc.OutputLines.Count(), 6) << "the header comes with the first point";
  finishGpx(session, session.doc.OutputLines);
  EXPECT_EQ(gpxFileBytes(session.doc.OutputLines), golden("route.gpx"));
  // The pane shows the same text in cp1252.
  EXPECT_EQ(session.doc.OutputLines.at(4),
            "    <rtept lat=\"51.500000\" lon=\"-0.120000\"><name>Grüße &amp; &lt;Küche&gt; – "
            "5 €</name></rtept>"_cp);
  EXPECT_EQ(gpxPointCount(session.doc.OutputLines), 3);
  // Finishing is idempotent.
  const auto once = session.doc.OutputLines.lines();
  finishGpx(session, session.doc.OutputLines);
  EXPECT_EQ(session.doc.OutputLines.lines(), once);
}

TEST_P(GpxWrite, TimeOnlyWithADateOfTheRecordsOwn) {
  struct Case {
    std::string time, date;
    bool ggaLog;
    std::string expected;  // "" for no <time>
  } cases[] = {
      {"123519.00", "010623", false, "2023-06-01T12:35:19Z"},
      {"123519.5", "010623", false, "2023-06-01T12:35:19.5Z"},
      {"123519", "230394", false, "1994-03-23T12:35:19Z"},
      {"123519.00", "010623", true, ""},  // GGA has no date: what the record holds is stale
      {"123519.00", "01.01.00", false, ""},
      {"123519.00", "310623", false, ""},  // no 31 June
      {"126019.00", "010623", false, ""},
      {"1235", "010623", false, ""},
      {"12a519.00", "010623", false, ""},
  };
  for (const auto& c : cases) {
    session.doc.OutputLines.clear();
    session.doc.RoutePointCount = 0;
    session.doc.ReadVtg = c.ggaLog;
    point("48", "11", "0", c.time, c.date, "-");
    const std::string line = pointLines().at(0);
    if (c.expected.empty()) {
      EXPECT_EQ(line.find("<time>"), std::string::npos) << c.time << " " << c.date;
    } else {
      EXPECT_NE(line.find("<time>" + c.expected + "</time>"), std::string::npos) << line;
    }
  }
}

TEST_P(GpxWrite, ReversalAndPartFilesAreFinishedByTheSamePass) {
  threePoints();
  finishGpx(session, session.doc.OutputLines);
  const auto forward = pointLines();
  // The reversal turns every line round and drops empty ones; the pass makes the frame anew.
  const std::vector<std::string> written = session.doc.OutputLines.lines();
  std::vector<std::string> reversed(written.rbegin(), written.rend());
  reversed.insert(reversed.begin() + 2, "");
  session.doc.OutputLines.assign(reversed);
  finishGpx(session, session.doc.OutputLines);
  const std::vector<std::string> backward(forward.rbegin(), forward.rend());
  EXPECT_EQ(pointLines(), backward);
  EXPECT_EQ(session.doc.OutputLines.at(0), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  EXPECT_EQ(session.doc.OutputLines.at(session.doc.OutputLines.Count() - 1), "</gpx>");
  EXPECT_NE(session.doc.OutputLines.at(3).find("KS-Rp 3"), std::string::npos)
      << "each point keeps its name";

  // A part file: a slice of the point lines, finished.
  TextLines part;
  part.assign({forward[1], forward[2]});
  finishGpx(session, part);
  EXPECT_EQ(part.Count(), 7);
  EXPECT_EQ(gpxPointCount(part), 2);
  const GpxLoad back = parseGpx(gpxFileBytes(part), "part.gpx");
  ASSERT_TRUE(back.ok) << back.message;
  EXPECT_EQ(back.source, GpxSource::Route);
  EXPECT_EQ(back.lines.size(), 2u);
}

TEST_P(GpxWrite, ReadWriteReadKeepsThePoints) {
  const GpxLoad first = parseGpx(
      doc(trk("<trkpt lat=\"48.1173\" lon=\"11.516667\"><ele>545.4</ele>"
              "<time>2023-06-01T23:59:59.25Z</time><name>Grüße</name></trkpt>"
              "<trkpt lat=\"-33.8568\" lon=\"-151.215\"><time>2023-06-02T00:00:09Z</time></trkpt>"
              "<trkpt lat=\"0.000001\" lon=\"179.9999999\"><ele>0.4</ele></trkpt>")),
      "in.gpx");
  ASSERT_TRUE(first.ok);
  session.doc.InputLines.assign(first.lines);
  for (int i = 0; i < session.doc.InputLines.Count(); ++i) {
    ASSERT_EQ(GetGPX(session, session.doc.InputLines.at(i), i), 1);
    ++session.doc.RoutePointCount;
    buildGpx(session, RoutePoint{session.doc.RoutePointCount, 0, 0, 0, 0});
  }
  finishGpx(session, session.doc.OutputLines);
  const std::string file = gpxFileBytes(session.doc.OutputLines);
  EXPECT_NE(file.find("<name>Grüße</name>"), std::string::npos) << "UTF-8 again in the file";
  const GpxLoad second = parseGpx(file, "out.gpx");
  ASSERT_TRUE(second.ok) << second.message;
  ASSERT_EQ(second.lines.size(), 3u);
  const std::vector<std::vector<std::string>> expected = {
      {"48.117300", "11.516667", "2023-06-01T23:59:59.25Z", "545", "Grüße"_cp},
      {"-33.856800", "-151.215000", "2023-06-02T00:00:09Z", "-", "KS-Rp 2"},
      {"0.000001", "180.000000", "-", "-", "KS-Rp 3"},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    const auto f = fieldsOf(second.lines[i]);
    EXPECT_EQ((std::vector<std::string>{f[0], f[1], f[2], f[3], f[9]}), expected[i]) << i;
  }
}

KURSOLIN_ON_BOTH_HOSTS(GpxWrite);

}  // namespace
}  // namespace kursolin
