// Routes for navigators: via and shaping points through generation, reduction, reversal and part
// files; a planner's route along its road path; "Alle Punkte der Route übernehmen"; target device
// profiles and what a bad one does.
#include <gtest/gtest.h>

#include <cmath>

#include "core/cp1252.h"
#include "core/geotime.h"
#include "dialogs/split_dialog.h"
#include "formats/gpx.h"
#include "formats/registry.h"
#include "settings/devices.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/devices.h"
#include "workflow/loading.h"
#include "workflow/reduce.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using namespace kursolin::literals;

// 'V' for a via point line, 'S' for a shaping point line, in the order of the lines.
std::string roles(const std::vector<std::string>& lines) {
  std::string r;
  for (const auto& l : lines) {
    if (!isGpxPointLine(l)) continue;
    r += l.find("<trp:ViaPoint>") != std::string::npos        ? 'V'
         : l.find("<trp:ShapingPoint/>") != std::string::npos ? 'S'
                                                              : '?';
  }
  return r;
}

// The same from the rules that made the points: start, stops and destination are via points.
std::string rules(const Session& s) {
  std::string r;
  for (const RuleNote& n : s.doc.ruleNotes) {
    r += n.kind == RuleKind::Start || n.kind == RuleKind::Stop || n.kind == RuleKind::End ? 'V'
                                                                                          : 'S';
  }
  return r;
}

class Devices : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    s.opt.SaveDir = dir.dir();
    applyDeviceProfiles(s, Profile{});
  }
  bool load(const std::string& name, const std::string& text, int code) {
    test::useInput(s, code);
    test::writeBytes(dir.file(name), text);
    return loadInputFile(s, dir.file(name));
  }
  // A ride north, a stop of five minutes, a ride east and north again.
  std::string rideWithAStop() {
    test::TrackBuilder t(48.0, 11.0, 12 * 3600);
    t.add(t.current()).drive(0, 40, 400).stand(300).drive(90, 40, 400).drive(0, 40, 300);
    return test::joinCrLf(t.rmcLines());
  }
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  test::ScratchFolder dir;
};

TEST_F(Devices, StartStopsAndDestinationAreViaPointsWhateverHappensToTheRoute) {
  test::useOutput(s, 24);
  ASSERT_TRUE(load("fahrt.nmea", rideWithAStop(), 2));
  ASSERT_EQ(RouteExecute(s), RouteResult::Completed);
  const std::string made = roles(s.doc.OutputLines.lines());
  EXPECT_EQ(made, rules(s));
  EXPECT_EQ(std::count(made.begin(), made.end(), 'V'), 3) << made << ": start, the stop, the end";
  EXPECT_GT(made.size(), 6u);

  // Fitted to five points: start, stop and end stay via points, two shaping points remain.
  ASSERT_TRUE(RouteVerringern(s, 5).done);
  const std::string fitted = roles(s.doc.OutputLines.lines());
  EXPECT_EQ(fitted, rules(s));
  EXPECT_EQ(std::count(fitted.begin(), fitted.end(), 'V'), 3) << fitted;
  EXPECT_EQ(fitted.size(), 5u);

  // Turned round: the kinds go with their points, the old destination begins the route.
  ASSERT_TRUE(reverseRoute(s));
  EXPECT_EQ(roles(s.doc.OutputLines.lines()), std::string(fitted.rbegin(), fitted.rend()));
  EXPECT_EQ(roles(s.doc.OutputLines.lines()), rules(s));

  // Two points a file: each part begins and ends at a via point.
  planSplit(s, 2);
  ASSERT_TRUE(writeSplitParts(s, dir.file("Teil.gpx")));
  for (const char* part : {"Teil.gpx", "Teil_1.gpx", "Teil_2.gpx"}) {
    const GpxLoad back = loadGpxFile(dir.file(part));
    ASSERT_TRUE(back.ok) << part;
    for (const auto& l : back.lines) EXPECT_TRUE(l.ends_with("|via")) << part << ": " << l;
  }
  EXPECT_TRUE(port.prompts.empty());
}

// A planner's route along an L: east from A, then north to C (a via point), on to B. The straight
// line from A to C cuts the corner by more than 700 m.
std::string plannedRoute() {
  const auto rpt = [](double lat, double lon) {
    return "<gpxx:rpt lat=\"" + std::to_string(lat) + "\" lon=\"" + std::to_string(lon) + "\"/>";
  };
  std::string road;
  for (int i = 1; i <= 20; ++i) road += rpt(48.0, 11.0 + 0.001 * i);
  for (int i = 1; i < 20; ++i) road += rpt(48.0 + 0.0005 * i, 11.02);
  std::string road2;
  for (int i = 1; i < 20; ++i) road2 += rpt(48.01 + 0.0005 * i, 11.02);
  return "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"Planer\" "
         "xmlns=\"http://www.topografix.com/GPX/1/1\" "
         "xmlns:gpxx=\"http://www.garmin.com/xmlschemas/GpxExtensions/v3\" "
         "xmlns:trp=\"http://www.garmin.com/xmlschemas/TripExtensions/v1\"><rte>"
         "<rtept lat=\"48.0\" lon=\"11.0\"><name>A</name><extensions>"
         "<gpxx:RoutePointExtension>" +
         road +
         "</gpxx:RoutePointExtension></extensions></rtept>"
         "<rtept lat=\"48.01\" lon=\"11.02\"><name>C</name><extensions><trp:ViaPoint/>"
         "<gpxx:RoutePointExtension>" +
         road2 +
         "</gpxx:RoutePointExtension></extensions></rtept>"
         "<rtept lat=\"48.02\" lon=\"11.02\"><name>B</name></rtept></rte></gpx>";
}

TEST_F(Devices, APlannedRouteIsFollowedAlongItsRoadPath) {
  test::useOutput(s, 24);
  test::onlyRules(s, true, false, false, false);
  s.opt.rules.MeterSpin = 500;
  ASSERT_TRUE(load("plan.gpx", plannedRoute(), 25));
  EXPECT_EQ(s.doc.InputLines.Count(), 61);
  ASSERT_EQ(RouteExecute(s), RouteResult::Completed);
  ASSERT_EQ(s.doc.emittedPoints.size(), s.doc.ruleNotes.size());
  bool cornerTaken = false;
  for (std::size_t i = 0; i < s.doc.emittedPoints.size(); ++i) {
    const GeoPosition p = signedPosition(s.doc.emittedPoints[i].record.unpack());
    // Every point lies on the road: on its eastward leg or its northward one.
    const bool onRoad = std::fabs(static_cast<double>(p.lat) - 48.0) < 1e-6 ||
                        std::fabs(static_cast<double>(p.lon) - 11.02) < 1e-6;
    EXPECT_TRUE(onRoad) << i << ": " << static_cast<double>(p.lat) << " "
                        << static_cast<double>(p.lon);
    cornerTaken |= p.lat < 48.001L && p.lon > 11.01L;
  }
  EXPECT_TRUE(cornerTaken) << "a point on the road far off the straight line from A to C";
  // The via point C is a stop of the route.
  bool viaIsStop = false;
  for (std::size_t i = 0; i < s.doc.emittedPoints.size(); ++i) {
    const PointRecord r = s.doc.emittedPoints[i].record.unpack();
    if (r.navi(RtePlaceName) == "C") viaIsStop = s.doc.ruleNotes[i].kind == RuleKind::Stop;
  }
  EXPECT_TRUE(viaIsStop);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(Devices, AllPointsOfARouteFileStayWhenAsked) {
  // A TomTom route of 15 points about 550 m apart.
  std::string itn;
  for (int i = 0; i < 15; ++i)
    itn += std::to_string(1100000 + 800 * i) + "|4800000|P" + std::to_string(i) + "|" +
           (i == 0    ? "4"
            : i == 14 ? "3"
                      : "0") +
           "|\r\n";
  test::useOutput(s, 22);
  ASSERT_TRUE(load("tour.itn", itn, 10));
  EXPECT_TRUE(s.shell.item("AllePunkteCheck").enabled);
  RouteExecute(s);
  EXPECT_LT(s.doc.RoutePointCount, 15) << "the rules thin the route out by default";
  s.opt.rules.AllePunkteCheck = true;
  RouteExecute(s);
  EXPECT_EQ(s.doc.RoutePointCount, 15);

  // A receiver's log is no route file: the box neither applies nor can be set.
  ASSERT_TRUE(load("fahrt.nmea", rideWithAStop(), 2));
  EXPECT_FALSE(s.shell.item("AllePunkteCheck").enabled);
  RouteExecute(s);
  const int withBox = s.doc.RoutePointCount;
  s.opt.rules.AllePunkteCheck = false;
  RouteExecute(s);
  EXPECT_EQ(s.doc.RoutePointCount, withBox);
}

TEST_F(Devices, AProfileSetsFormatOptionsLimitsAndEveryPoint) {
  test::useOutput(s, 22);
  ASSERT_TRUE(chooseDevice(s, "GARMIN-motorrad"));
  EXPECT_EQ(s.opt.OutputFormat, 24);
  EXPECT_EQ(s.opt.get(GpxInhalt), 0);
  EXPECT_TRUE(s.opt.get(GpxViaPunkte));
  EXPECT_EQ(s.opt.get(MpGPX), 0);
  EXPECT_EQ(s.opt.DevicePointLimit, 120);
  EXPECT_TRUE(s.opt.rules.AllePunkteCheck);
  EXPECT_EQ(s.opt.Device, "garmin-motorrad");

  // The route made is fitted to the limit at once.
  s.opt.DevicePointLimit = 6;
  ASSERT_TRUE(load("fahrt.nmea", rideWithAStop(), 2));
  RouteExecute(s);
  EXPECT_EQ(gpxPointCount(s.doc.OutputLines), 6);
  // A profile of the same format with other options offers to make the route anew.
  port.prompts.clear();
  port.answer({PromptAnswer::Yes});
  ASSERT_TRUE(chooseDevice(s, "tomtom-gpx"));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_NE(s.doc.OutputLines.text().find("<trk>"), std::string::npos);

  // Another output format by hand ends the choice; "Kein Profil" forgets it.
  ASSERT_TRUE(chooseDevice(s, "tomtom"));
  EXPECT_EQ(s.opt.get(*outputFormat(3)->limit), 48);
  test::useOutput(s, 2);
  EXPECT_EQ(s.opt.Device, "");
  ASSERT_TRUE(chooseDevice(s, "falk"));
  ASSERT_TRUE(chooseDevice(s, ""));
  EXPECT_EQ(s.opt.Device, "");
  EXPECT_EQ(s.opt.DevicePointLimit, 0);
}

TEST_F(Devices, ABadProfileChangesNothing) {
  Profile file = Profile::fromBytes(
      "[Geraet kaputt]\r\nName=Kaputt\r\nFormat=xyz\r\n"
      "[Geraet zuviel]\r\nFormat=gpx\r\nPunkte=1\r\n"
      "[Geraet viel]\r\nFormat=itn\r\nProDatei=20000\r\n"
      "[Geraet unbekannt]\r\nFormat=gpx\r\nOptionen=GPX/Inhalt=1;GPX/Gibtsnicht=1\r\n"
      "[Geraet wert]\r\nFormat=gpx\r\nOptionen=GPX/Inhalt=2;GPX/ViaFormpunkte=ja\r\n"
      "[Geraet form]\r\nFormat=gpx\r\nOptionen=Inhalt\r\n"
      "[Geraet zahl]\r\nFormat=gpx\r\nPunkte=viele\r\n");
  applyDeviceProfiles(s, file);
  test::useOutput(s, 22);
  const int format = s.opt.OutputFormat;
  struct Case {
    const char* id;
    const char* says;
  } cases[] = {
      {"kaputt", "nennt das Ausgabeformat \"xyz\", das es nicht gibt"},
      {"zuviel", "hat Punkte=1; erlaubt sind 0 (keine Grenze) und 2 bis 100000"},
      {"viel", "hat ProDatei=20000"},
      {"unbekannt", "die unbekannte Einstellung GPX/Gibtsnicht"},
      {"wert", "einen Wert, der nicht passt"},
      {"form", "den Eintrag \"Inhalt\""},
      {"zahl", "hat Punkte=-1"},
      {"gibtsnicht", "Ein Zielger\xE4t \"gibtsnicht\" gibt es nicht"},
  };
  for (const Case& c : cases) {
    port.prompts.clear();
    EXPECT_FALSE(chooseDevice(s, c.id)) << c.id;
    ASSERT_EQ(port.prompts.size(), 1u) << c.id;
    EXPECT_NE(port.prompts[0].text.find(c.says), std::string::npos) << port.prompts[0].text;
    EXPECT_NE(port.prompts[0].text.find("Die Einstellungen bleiben, wie sie sind."),
              std::string::npos);
    EXPECT_EQ(s.opt.OutputFormat, format) << c.id;
    EXPECT_EQ(s.opt.get(GpxInhalt), 0) << c.id;
    EXPECT_FALSE(s.opt.rules.AllePunkteCheck) << c.id;
    EXPECT_EQ(s.opt.Device, "") << c.id;
  }
}

TEST_F(Devices, ProfilesLiveInTheSettingsFile) {
  Profile file = Profile::fromBytes(
      "[Zielgeraet]\r\nProfil=eigenes\r\n[Geraet garmin-motorrad]\r\nFormat=gpx\r\nPunkte=250\r\n"
      "[Geraet eigenes]\r\nName=Mein Navi\r\nFormat=mn5\r\nProDatei=30\r\nPunkte=60\r\n");
  applyDeviceProfiles(s, file);
  EXPECT_EQ(s.opt.Device, "eigenes");
  EXPECT_EQ(s.opt.DevicePointLimit, 60);
  ASSERT_EQ(s.opt.devices.size(), shippedDeviceProfiles().size() + 1);
  EXPECT_EQ(deviceProfile(s, "garmin-motorrad")->pointLimit, 250) << "the user's value";
  EXPECT_EQ(deviceProfile(s, "garmin-motorrad")->options, "GPX/Inhalt=0;GPX/ViaFormpunkte=1")
      << "a key the section lacks keeps the shipped value";
  EXPECT_EQ(s.opt.devices.back().name, "Mein Navi");

  // The close writes the choice and the shipped profiles the file lacks, not over the user's.
  storeDeviceProfiles(s, file);
  Session again{port, HostSettings::german()};
  applyDeviceProfiles(again, Profile::fromBytes(file.bytes()));
  EXPECT_EQ(again.opt.Device, "eigenes");
  EXPECT_EQ(deviceProfile(again, "garmin-motorrad")->pointLimit, 250);
  EXPECT_EQ(deviceProfile(again, "tomtom")->perFile, 48);
  EXPECT_EQ(file.readInt("Geraet falk", "ProDatei", 0), 90);
}

}  // namespace
}  // namespace kursolin
