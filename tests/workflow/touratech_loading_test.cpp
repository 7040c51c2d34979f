// Loading a Touratech QV database from the menu, and routes made from its track.
#include <gtest/gtest.h>

#include <algorithm>

#include "formats/registry.h"
#include "support/fake_port.h"
#include "support/jet3_writer.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/dispatch.h"
#include "workflow/loading.h"
#include "workflow/menu_state.h"
#include "workflow/program.h"

namespace kursolin {
namespace {

using test::JetTable;

// A track heading north from 48 N 11 E, one record every 0.001 degrees (111 m), at one speed;
// the course turns from 0 to 90 degrees and back every ten records.
JetTable northTrack(int records, double speed) {
  JetTable t = test::touratechTrack();
  for (int i = 0; i < records; ++i) {
    t.rows.push_back({i + 1, (48000 + i) / 1000.0, 11.0, speed, (i / 10) % 2 == 0 ? 0.0 : 90.0});
  }
  return t;
}

class TouratechLoading : public ::testing::Test {
 protected:
  TouratechLoading() : session(port, HostSettings::german()) {}
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.opt.OpenDir = folder.dir();
    applyStartFormats(session);
    port.clearRecords();
  }
  std::string database(const std::vector<JetTable>& tables) {
    const std::string path = folder.file("Tour.qu3");
    test::writeJet3(path, tables);
    return path;
  }
  void choose(const std::string& path) {
    port.openAnswers.push_back(path);
    SourceChange(session, 24);
  }
  int pointsOf(RuleKind kind) const {
    return static_cast<int>(std::count_if(session.doc.ruleNotes.begin(),
                                          session.doc.ruleNotes.end(),
                                          [&](const RuleNote& n) { return n.kind == kind; }));
  }
  test::TempFolder folder;
  test::ScriptedPort port;
  Session session;
};

TEST_F(TouratechLoading, TheMenuLoadsTheTrack) {
  const std::string path = database({northTrack(40, 10)});
  choose(path);
  ASSERT_EQ(port.openRequests.size(), 1u);
  EXPECT_EQ(port.openRequests[0].title, "Touratech Routendaten laden");
  EXPECT_EQ(port.openRequests[0].filter, "Touratech Routendaten (*.qu3;*.mdb)|*.qu3;*.mdb");
  EXPECT_EQ(port.openRequests[0].defaultExt, "qu3");
  EXPECT_TRUE(port.prompts.empty());
  EXPECT_EQ(session.doc.InputLines.Count(), 40);
  EXPECT_EQ(session.doc.InputLines.at(0), "1|48.0|11.0|10.0|0.0|-|-");
  EXPECT_EQ(session.inputCaption(), "TouraTech TTQV Datei = 40");
  EXPECT_EQ(session.statusText(), "TouraTech TTQV Datei = " + path);
  EXPECT_EQ(session.doc.InputShortName, "Touratech TTQV ");
  EXPECT_TRUE(menuItemChecked(session, "IN_TQV"));
  EXPECT_TRUE(session.shell.item("Route").enabled);
  for (const char* c :
       {"MeterCheck", "MeterSpeedEdit", "GradCheck", "GradSpeedEdit", "MinDistEdit"})
    EXPECT_TRUE(session.shell.item(c).enabled) << c;
  for (const char* c : {"PauseCheck", "PauseEdit", "ZeitCheck", "ZeitSpin"})
    EXPECT_FALSE(session.shell.item(c).enabled) << c;
  EXPECT_FALSE(session.shell.item("Zeitangabe").visible);
}

TEST_F(TouratechLoading, ADatabaseWithoutRouteDataStillOffersTheCommand) {
  const std::string path = database({northTrack(1, 10)});
  choose(path);
  EXPECT_EQ(port.promptTexts(), (std::vector<std::string>{" Keine Routendaten in der Datei erkannt",
                                                          "Keine bekannten Tabellen in der Datei "
                                                          "gefunden !"}));
  EXPECT_EQ(session.doc.InputLines.Count(), 0);
  EXPECT_EQ(session.inputCaption(), "TouraTech TTQV Datei = 0");
  EXPECT_EQ(session.statusText(), "TouraTech TTQV Datei = " + path);
  EXPECT_TRUE(session.shell.item("Route").enabled);
}

TEST_F(TouratechLoading, AFileThatIsNoDatabaseEndsTheLoad) {
  const std::string path = folder.file("Notiz.qu3");
  test::writeBytes(path, "Dies ist keine Datenbank.\r\n");
  choose(path);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  EXPECT_EQ(port.prompts[0].text, "Die Datei " + path +
                                      " kann nicht als Access-Datenbank gelesen werden:\r"
                                      "Die Datei ist keine Access-Datenbank.");
  EXPECT_EQ(session.doc.InputLines.Count(), 0);
  EXPECT_FALSE(session.shell.item("Route").enabled);
  EXPECT_EQ(session.inputCaption(), "TouraTech TTQV Datei");
  EXPECT_EQ(session.statusText(),
            "Keine Datei ge\xF6"
            "ffnet");
}

TEST_F(TouratechLoading, TheRecordedSpeedDecidesTheRules) {
  test::useInput(session, 24);
  test::useOutput(session, 2);  // MN5
  session.opt.rules.MeterSpin = 1000;
  session.opt.rules.MeterSpeedEdit = 50;
  session.opt.rules.GradEdit = 75;
  session.opt.rules.GradSpeedEdit = 20;
  session.opt.rules.MinDistEdit = 50;
  struct Case {
    double speed;
    int distancePoints, headingPoints;
  } cases[] = {
      {10, 6, 0},   // slow: every 1000 m, too slow for the heading rule
      {30, 6, 5},   // both rules
      {100, 0, 5},  // too fast for the distance rule
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    // An earlier file may leave any speed behind; the track's own must count.
    session.CurrentPoint.SpeedValue = 200 - c.speed;
    ASSERT_TRUE(loadInputFile(session, database({northTrack(61, c.speed)})));
    test::onlyRules(session, true, true, false, false);
    ASSERT_EQ(RouteErzeugen(session), RouteResult::Completed);
    EXPECT_EQ(pointsOf(RuleKind::Distance), c.distancePoints);
    EXPECT_EQ(pointsOf(RuleKind::Heading), c.headingPoints);
    EXPECT_EQ(pointsOf(RuleKind::Start), 1);
    EXPECT_EQ(pointsOf(RuleKind::End), 1);
    EXPECT_EQ(session.doc.OutputLines.at(0),
              "-|-|-|-|-|KS-Rp 1|-|-|-|-|-|11.000000|48.000000|-|-|-|-|");
  }
  EXPECT_EQ(port.unscripted, 0);
}

}  // namespace
}  // namespace kursolin
