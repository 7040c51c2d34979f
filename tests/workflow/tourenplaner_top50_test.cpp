// Loading Top50 overlays and Tourenplaner XML, TEF and BCR routes through the load command, and
// saving Tourenplaner routes through the route settings dialog.
#include <gtest/gtest.h>

#include "core/fileio.h"
#include "dialogs/split_dialog.h"
#include "formats/bcr.h"
#include "session/split_view.h"
#include "support/fake_port.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/loading.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::readBytes;

class RouteInputs : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    s.opt.OpenDir = in.dir();
  }
  std::string file(const std::string& name, const std::string& bytes) {
    test::writeBytes(in.file(name), bytes);
    return in.file(name);
  }
  /// Chooses the input format from the menu and picks the file in its dialog.
  void choose(int code, const std::string& path) {
    port.openAnswers.push_back(path);
    SourceChange(s, code);
  }
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  test::ScratchFolder in, out;
};

const std::string kBcr = test::joinCrLf(
    {"[CLIENT]", "REQUEST=TRUE", "ROUTENAME=DE_Plauen", "DESCRIPTIONLINES=0",
     "STATION1=Town,999999999", "STATION2=Town,999999999", "STATION3=Town,999999999",
     "[COORDINATES]", "STATION1=1346067,6524736", "STATION2=1346265,6524980",
     "STATION3=1346113,6525659", "[DESCRIPTION]", "STATION1=bei D 08527,Neundorf,@,0", "[ROUTE]",
     "ROUTERECT=1346067,6525659,1346265,6524736"});

TEST_F(RouteInputs, EachFormatReportsWhatItLoaded) {
  const struct {
    int code;
    std::string name, bytes;
    const char *title, *caption, *status;
  } cases[] = {
      {3, "Harz.ovl", "[Symbol 1]\nXKoord0=10.6\nYKoord0=51.7\nXKoord1=10.7\nYKoord1=51.8\n",
       "OVL Datei laden", "OVL - Datens\xE4tze := 2", "OVL Datei = "},
      {4, "Hof.tef",
       "<Item PointDist=\"0\" x=\"11,9\" y=\"50,3\"></Item><Item PointDist=\"5\" x=\"11,8\" "
       "y=\"50,4\"></Item><Item PointDist=\"9\" SegDist=\"0\" x=\"11,7\" y=\"50,5\"></Item>",
       "Tourenplaner XML Datei laden", "Tourenplaner XML-Datei nur Stationen - Zeilen = 2",
       "Tourenplaner XML-Datei = "},
      {5, "Hof.xml",
       "<Item PointDist=\"0\" x=\"11,9\" y=\"50,3\"></Item><Item PointDist=\"5\" x=\"11,8\" "
       "y=\"50,4\"></Item><Item PointDist=\"9\" SegDist=\"0\" x=\"11,7\" y=\"50,5\"></Item>",
       "Tourenplaner XML Datei laden", "Tourenplaner XML-Datei alle Koordinaten - Zeilen = 3",
       "Tourenplaner XML-Datei = "},
      {6, "Plauen.BCR", kBcr, "Tourenplaner BCR Datei laden",
       "Tourenplaner BCR-Datei - Stationen = 3", "Tourenplaner BCR-Datei = "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    port.clearRecords();
    const std::string path = file(c.name, c.bytes);
    choose(c.code, path);
    ASSERT_EQ(port.openRequests.size(), 1u);
    EXPECT_EQ(port.openRequests[0].title, c.title);
    EXPECT_EQ(s.inputCaption(), c.caption);
    EXPECT_EQ(s.statusText(), c.status + path);
    EXPECT_TRUE(s.shell.item("Route").enabled);
    EXPECT_TRUE(s.shell.item("MeterCheck").enabled);
    EXPECT_FALSE(s.shell.item("MeterSpeedEdit").enabled) << "route files carry no speed";
    EXPECT_FALSE(s.shell.item("GradCheck").enabled);
    EXPECT_TRUE(port.prompts.empty());
  }
  EXPECT_EQ(port.openRequests[0].filter, "Tourenplaner BCR Datei(*.BCR)|*.BCR")
      << "the last one asked";
}

TEST_F(RouteInputs, RefusedFilesKeepTheirLinesAndSayWhy) {
  const struct {
    int code;
    std::string bytes;
    const char *caption, *message;
  } cases[] = {
      {3, "[Symbol 1]\nXKoord0=10.6\n[Symbol 2]\nYKoord0=51.7\n", "OVL - Dateifehler",
       "Keine verwertbaren Daten enthalten oder keine OVL-Datei"},
      {6, "[CLIENT]\r\nROUTENAME=x\r\nREQUEST=TRUE\r\nDESCRIPTIONLINES=0\r\n",
       "Tourenplaner BCR-Dateifehler!",
       "Keine verwertbaren Informationen erkannt oder keine Tourenplaner BCR-Datei"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    port.clearRecords();
    s.setStatusText("vorher");
    choose(c.code, file("kaputt", c.bytes));
    EXPECT_EQ(s.inputCaption(), c.caption);
    EXPECT_EQ(s.doc.InputLines.Count(), 4);
    EXPECT_FALSE(s.shell.item("Route").enabled);
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].text, c.message);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
  }
  EXPECT_EQ(s.statusText(), "Tourenplaner BCR-Datei = " + in.file("kaputt"))
      << "shown for BCR also when refused";
  port.clearRecords();
  s.setStatusText("vorher");
  choose(3, file("kaputt.ovl", "XKoord=1\n"));
  EXPECT_EQ(s.statusText(), "vorher") << "OVL shows its file only when usable";
}

TEST_F(RouteInputs, AnUnreadableXmlFileIsNamed) {
  choose(5, in.file("fehlt.xml"));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_NE(port.prompts[0].text.find(in.file("fehlt.xml")), std::string::npos);
  EXPECT_FALSE(s.shell.item("Route").enabled);
}

// The BCR save: the route settings dialog at every save, the name from the loaded file.
class BcrSave : public RouteInputs {
 protected:
  void SetUp() override {
    RouteInputs::SetUp();
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    choose(6, file("Plauen Tour.BCR", kBcr));
    s.opt.rules.AllGGACheck = true;
    s.opt.rules.XRPSpin = 1;
    test::useOutput(s, 5);
    ASSERT_EQ(RouteExecute(s), RouteResult::Completed);
    s.opt.set(BcrDirectory, out.dir());
    port.clearRecords();
  }
  void TearDown() override { ::unsetenv("SOURCE_DATE_EPOCH"); }
};

TEST_F(BcrSave, TheDialogProposesTheRouteNameAndFolder) {
  std::string shownName, shownDir;
  bool splitRow = true;
  port.onSplitDialog = [&](SplitDialogView& d) {
    shownName = d.ROUTENAME_E;
    shownDir = d.BCRDir_E;
    splitRow = d.showSplitRow;
    d.ROUTENAME_E = "Vogtland";
    return true;
  };
  port.saveAnswers.push_back(out.file("Plauen Tour.BCR"));
  SaveNaviExecute(s);
  EXPECT_EQ(shownName, "Plauen Tour");
  EXPECT_EQ(shownDir, out.dir());
  EXPECT_FALSE(splitRow) << "3 points, 50 a file";
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].fileName, "Plauen Tour.BCR") << "the box is not checked";
  EXPECT_EQ(port.saveRequests[0].initialDir, out.dir());
  const auto lines = splitLines(readBytes(out.file("Plauen Tour.BCR")));
  ASSERT_GT(lines.size(), 6u);
  EXPECT_EQ(lines[2], "ROUTENAME=Vogtland");
  EXPECT_EQ(lines[5], "DESCRIPTION2=aus der Datei Plauen Tour.BCR");
  EXPECT_EQ(s.doc.SaveBaseName, "Plauen Tour.BCR") << "a BCR save leaves it";

  // With "auch als Dateiname verwenden" the route name is the proposed file name too.
  s.opt.set(RDeskripToFN, true);
  port.saveAnswers.push_back(std::nullopt);
  SaveNaviExecute(s);
  EXPECT_EQ(port.saveRequests.back().fileName, "Vogtland.BCR");
}

// The Tourenplaner folder follows the folder saved into, as the save dialog's own does.
TEST_F(BcrSave, TheNextSaveStartsInTheFolderSavedInto) {
  test::ScratchFolder other;
  port.saveAnswers.push_back(other.file("Tour.BCR"));
  SaveNaviExecute(s);
  EXPECT_EQ(s.opt.get(BcrDirectory), other.dir());
  EXPECT_EQ(s.statusText(), "Gespeichert: " + other.file("Tour.BCR") + " (1 Datei)");
  port.saveAnswers.push_back(std::nullopt);
  SaveNaviExecute(s);
  EXPECT_EQ(port.saveRequests.back().initialDir, other.dir());
}

TEST_F(BcrSave, CancelWritesNothing) {
  port.onSplitDialog = [](SplitDialogView&) { return false; };
  SaveNaviExecute(s);
  EXPECT_TRUE(port.saveRequests.empty());
  port.onSplitDialog = nullptr;
  port.saveAnswers.push_back(std::nullopt);
  SaveNaviExecute(s);
  EXPECT_TRUE(out.entries().empty());
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(BcrSave, AMaximumOfZeroMeansOneFile) {
  s.opt.set(MpMTP, 0);
  port.onSplitDialog = [](SplitDialogView& d) {
    EXPECT_FALSE(d.showSplitRow);
    EXPECT_TRUE(d.showTourenplaner);
    return true;
  };
  port.saveAnswers.push_back(out.file("Tour.BCR"));
  SaveNaviExecute(s);
  EXPECT_EQ(out.entries(), std::set<std::string>{"Tour.BCR"});
  // A maximum below the route splits it, with the plan chosen in the dialog.
  s.opt.set(MpMTP, 2);
  port.onSplitDialog = [](SplitDialogView& d) {
    EXPECT_TRUE(d.showSplitRow);
    d.AnzSplitEditChange(1);
    return true;
  };
  port.saveAnswers.push_back(out.file("Teil.BCR"));
  SaveNaviExecute(s);
  EXPECT_EQ(out.entries(),
            (std::set<std::string>{"Tour.BCR", "Teil.BCR", "Teil_1.BCR", "Teil_2.BCR"}));
}

// The real files of other programs, when the shared samples are there.
class Samples : public RouteInputs {
 protected:
  static std::string sample(const char* name) {
    return std::string(KURSOLIN_SHARED_SAMPLES) + "/" + name;
  }
  void SetUp() override {
    RouteInputs::SetUp();
    if (readBytes(sample("route.bcr")).empty()) GTEST_SKIP() << "shared samples not present";
  }
};

TEST_F(Samples, LoadAsAUserWouldExpect) {
  choose(6, sample("route.bcr"));
  EXPECT_EQ(s.inputCaption(), "Tourenplaner BCR-Datei - Stationen = 9");
  EXPECT_EQ(s.doc.InputLines.at(0), "STATION1=1346067,6524736");
  port.openAnswers.push_back(sample("route-tef.xml"));
  SourceChange(s, 4);
  EXPECT_EQ(s.inputCaption(), "Tourenplaner XML-Datei nur Stationen - Zeilen = 47")
      << "start, 45 via stations, destination";
  port.openAnswers.push_back(sample("route-tef.xml"));
  SourceChange(s, 5);
  EXPECT_EQ(s.inputCaption(), "Tourenplaner XML-Datei alle Koordinaten - Zeilen = 262");
  choose(3, sample("overlay.ovl"));
  EXPECT_EQ(s.inputCaption(), "OVL - Datens\xE4tze := 86");
  EXPECT_TRUE(port.prompts.empty());
  port.openAnswers.push_back(sample("overlay-binary.ovl"));
  LoadNMEAExecute(s);
  EXPECT_EQ(s.inputCaption(), "OVL - Dateifehler");
  EXPECT_FALSE(s.shell.item("Route").enabled);
  EXPECT_EQ(port.prompts.size(), 1u);
}

}  // namespace
}  // namespace kursolin
