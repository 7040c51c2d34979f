// GPX through the commands: loading with its captions and rule groups, making the route, saving it
// as UTF-8, splitting it into whole part files and turning it round.
#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "core/textutil.h"
#include "formats/gpx.h"
#include "session/panes.h"
#include "support/fake_port.h"
#include "support/gpx_writer.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/loading.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using namespace kursolin::literals;

// Five named waypoints about 1.1 km apart on a line north.
std::string fiveWaypoints() {
  std::string body;
  const char* names[] = {"Grüße", "B", "", "D &amp; E", "Ende"};
  for (int i = 0; i < 5; ++i) {
    body += "<wpt lat=\"" + std::to_string(48.0 + 0.01 * i) + "\" lon=\"11.0\">";
    if (*names[i]) body += std::string("<name>") + names[i] + "</name>";
    body += "</wpt>";
  }
  return "<?xml version=\"1.0\"?><gpx version=\"1.1\" creator=\"t\" "
         "xmlns=\"http://www.topografix.com/GPX/1/1\">" +
         body + "</gpx>";
}

class GpxWorkflow : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    s.opt.SaveDir = dir.dir();
    test::useInput(s, 25);
    test::useOutput(s, 24);
    test::onlyRules(s, true, false, false, false);
  }
  bool load(const std::string& name, const std::string& text) {
    test::writeBytes(dir.file(name), text);
    return loadInputFile(s, dir.file(name));
  }
  std::vector<std::string> namesIn(const std::string& file) {
    std::vector<std::string> names;
    const GpxLoad r = parseGpx(test::readBytes(file), file);
    EXPECT_TRUE(r.ok) << r.message;
    for (const auto& l : r.lines) names.push_back(splitAt(l, '|').at(9));
    return names;
  }
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  test::ScratchFolder dir;
};

TEST_F(GpxWorkflow, LoadNamesThePointsAndEnablesTheRulesOfALog) {
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 20);
  ASSERT_TRUE(load("fahrt.gpx", test::gpxTrack(t.fixes())));
  EXPECT_EQ(s.doc.InputLines.Count(), 21);
  EXPECT_EQ(s.inputCaption(), "GPX Track - Punkte = 21");
  EXPECT_EQ(s.statusText(), "GPX Datei = " + dir.file("fahrt.gpx"));
  EXPECT_TRUE(s.shell.item("Route").enabled);
  for (const char* control :
       {"MeterSpeedEdit", "GradCheck", "PauseCheck", "ZeitSpin", "MinDistEdit", "Zeitangabe"})
    EXPECT_TRUE(s.shell.item(control).enabled) << control;
  EXPECT_TRUE(port.prompts.empty());

  ASSERT_TRUE(load("punkte.gpx", fiveWaypoints()));
  EXPECT_EQ(s.inputCaption(), "GPX Wegpunkte - Punkte = 5");

  // The open dialog of the format.
  port.openAnswers.push_back(std::nullopt);
  LoadNMEAExecute(s);
  ASSERT_EQ(port.openRequests.size(), 1u);
  EXPECT_EQ(port.openRequests[0].title, "GPX Datei laden");
  EXPECT_EQ(port.openRequests[0].filter, "GPX Datei(*.gpx)|*.gpx|Alle Dateien (*)|*");
  EXPECT_EQ(port.openRequests[0].defaultExt, "gpx");
}

TEST_F(GpxWorkflow, BadFileLoadsNothing) {
  ASSERT_TRUE(load("gut.gpx", fiveWaypoints()));
  EXPECT_FALSE(load("kaputt.gpx", "<gpx><wpt lat=\"1\" lon=\"2\"></gpx>"));
  EXPECT_EQ(s.doc.InputLines.Count(), 0);
  EXPECT_EQ(s.inputCaption(), "GPX Datei Fehler!");
  EXPECT_FALSE(s.shell.item("Route").enabled);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
  EXPECT_EQ(port.prompts[0].text, "Die Datei " + dir.file("kaputt.gpx") +
                                      " ist keine gültige XML Datei.\rFehler in Zeile 1, Spalte "
                                      "29: das schließende Tag passt nicht zum öffnenden\r"
                                      "Es wurde nichts geladen."_cp);
}

TEST_F(GpxWorkflow, RouteIsSavedAsUtf8AndSplitIntoWholeFiles) {
  ASSERT_TRUE(load("punkte.gpx", fiveWaypoints()));
  ASSERT_EQ(RouteExecute(s), RouteResult::Completed);
  ASSERT_EQ(s.doc.RoutePointCount, 5);
  EXPECT_EQ(s.outputCaption(), "GPX 1.1 Datei Routenpunkte := 5");
  EXPECT_EQ(s.doc.OutputLines.at(s.doc.OutputLines.Count() - 1), "</gpx>")
      << "finished after the run";
  EXPECT_EQ(gpxPointCount(s.doc.OutputLines), 5);

  // One file: the dialog of the format, the bytes in UTF-8.
  port.saveAnswers.push_back(dir.file("Tour.gpx"));
  SaveNaviExecute(s);
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].title, "Route als GPX 1.1 Datei speichern");
  EXPECT_EQ(port.saveRequests[0].filter, "GPX 1.1 Datei (*.gpx)|*.gpx");
  EXPECT_EQ(port.saveRequests[0].fileName, "punkte.gpx");
  EXPECT_EQ(test::readBytes(dir.file("Tour.gpx")), gpxFileBytes(s.doc.OutputLines));
  const std::vector<std::string> all = {"Grüße"_cp, "B", "KS-Rp 3", "D & E", "Ende"};
  EXPECT_EQ(namesIn(dir.file("Tour.gpx")), all);
  EXPECT_EQ(port.splitDialogs, 0) << "no maximum by default";

  // Two points a file: every part is a whole GPX file of its slice of points.
  s.opt.set(MpGPX, 2);
  port.saveAnswers.push_back(dir.file("Teil.gpx"));
  SaveNaviExecute(s);
  EXPECT_EQ(port.splitDialogs, 1);
  EXPECT_EQ(namesIn(dir.file("Teil.gpx")), (std::vector<std::string>{all[0], all[1]}));
  EXPECT_EQ(namesIn(dir.file("Teil_1.gpx")), (std::vector<std::string>{all[2], all[3]}));
  EXPECT_EQ(namesIn(dir.file("Teil_2.gpx")), (std::vector<std::string>{all[4]}));
  EXPECT_EQ(test::readBytes(dir.file("Teil_2.gpx")).substr(0, 38),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(GpxWorkflow, ReversalKeepsTheFrame) {
  ASSERT_TRUE(load("punkte.gpx", fiveWaypoints()));
  RouteExecute(s);
  const auto forward = s.doc.OutputLines.lines();
  RouteReversActionExecute(s);
  ASSERT_EQ(s.doc.OutputLines.Count(), static_cast<int>(forward.size()));
  EXPECT_EQ(s.doc.OutputLines.at(0), forward[0]);
  const int head = static_cast<int>(gpxHeader(s).size());
  EXPECT_EQ(s.doc.OutputLines.at(head), forward[forward.size() - 3]) << "the last point comes first";
  EXPECT_EQ(s.doc.OutputLines.at(s.doc.OutputLines.Count() - 1), "</gpx>");
  RouteReversActionExecute(s);
  EXPECT_EQ(s.doc.OutputLines.lines(), forward);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(GpxWorkflow, NamesDoNotLeakIntoRoutesOfOtherInputs) {
  ASSERT_TRUE(load("punkte.gpx", fiveWaypoints()));
  RouteExecute(s);  // the record keeps the name of the last point
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 200);
  test::useInput(s, 2);
  test::setInput(s, t.rmcLines());
  RouteExecute(s);
  ASSERT_GE(s.doc.RoutePointCount, 2);
  for (const auto& l : s.doc.OutputLines.lines()) {
    if (isGpxPointLine(l)) EXPECT_NE(l.find("<name>KS-Rp "), std::string::npos) << l;
  }
}

TEST_F(GpxWorkflow, RouteCutShortByABadValueIsStillAWholeFile) {
  test::useInput(s, 9);
  test::setInput(s,
                 {"-|-|-|-|-|-|-|-|-|-|-|11.0|48.0|-|-|", "-|-|-|-|-|-|-|-|-|-|-|11.0|48.02|-|-|",
                  "-|-|-|-|-|-|-|-|-|-|-|elf|48.04|-|-|"});
  RouteExecute(s);
  ASSERT_EQ(port.prompts.size(), 1u) << "the conversion error";
  EXPECT_EQ(gpxPointCount(s.doc.OutputLines), 2);
  EXPECT_EQ(s.doc.OutputLines.at(s.doc.OutputLines.Count() - 1), "</gpx>");
}

}  // namespace
}  // namespace kursolin
