// The split dialog without widgets: its texts per format, the plan, the spin box, the height and
// the Tourenplaner form; and the naming of part files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "dialogs/split_dialog.h"
#include "formats/bcr.h"
#include "formats/falk.h"
#include "formats/navigon.h"
#include "formats/tomtom.h"
#include "support/fake_port.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

class SplitDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    test::useOutput(s, 1);
  }
  /// A route of n points, one line each.
  void route(int n) {
    s.doc.OutputLines.assign(test::mn42Points(n));
    s.doc.RoutePointCount = n;
  }
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
};

struct FormatTexts {
  int code;
  const IntOption* limit;
  const char* caption;
  const char* info;
};

TEST_F(SplitDialogTest, CaptionAndBoldTextOfEveryFormatThatSplits) {
  // Expected bytes written as cp1252 escapes, independent of the source's UTF-8 conversion.
  const FormatTexts cases[] = {
      {0, &MpMN, " Kursolin Ausgabedatei f\xFCr Navigon MN|4 oder MN|4.1 vorbereiten",
       "Die Datei enth\xE4lt mehr als die 37 vorgegebenen Routenpunkte f\xFCr die Navigon MN|4 - "
       "RTE Datei "},
      {1, &MpMN, " Kursolin Ausgabedatei f\xFCr Navigon MN|4.2 vorbereiten",
       "Die Datei enth\xE4lt mehr als die 37 vorgegebenen Routenpunkte f\xFCr die Navigon MN|4.2 "
       "- RTE Datei "},
      {2, &MpMN, " Kursolin Ausgabedatei f\xFCr Navigon MN5 vorbereiten",
       "Die Datei enth\xE4lt mehr als die 37 vorgegebenen Routenpunkte f\xFCr die Navigon MN5 - "
       "RTE Datei "},
      {3, &MpTT3, " Kursolin Ausgabedatei f\xFCr TomTom vorbereiten",
       "Die Datei enth\xE4lt mehr als die 37 vorgegebenen Routenpunkte f\xFCr die TomTom - ITN "
       "Datei "},
      {7, &MpFalk, " Kursolin Ausgabedatei f\xFCr Falk PreviousDestination Datei vorbereiten",
       "Die Datei enth\xE4lt mehr als die 37 vorgegebenen Routenpunkte f\xFCr die Falk "
       "PreviousDestin. Datei "},
      {5, &MpMTP, " Kursolin Ausgabedatei f\xFCr den Tourenplaner vorbereiten",
       "Die Datei enth\xE4lt mehr als die 37 vorgegebenen Routenpunkte f\xFCr die Tourenplaner - "
       "BCR Datei"},
  };
  route(100);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    for (const IntOption* o : {&MpMN, &MpTT3, &MpFalk, &MpMTP}) s.opt.set(*o, 90);
    s.opt.set(*c.limit, 37);  // only the format's own maximum may appear
    test::useOutput(s, c.code);
    SplitDialog d = splitDialogFor(s);
    d.FormActivate();
    EXPECT_EQ(d.caption, c.caption);
    EXPECT_EQ(d.RpInfoLabel, c.info);
    EXPECT_EQ(d.spinMin, 1);
    EXPECT_EQ(d.spinMax, 37);
    EXPECT_EQ(d.spinValue, 37);
    EXPECT_EQ(d.Label6, "Routenpunkten und eine Datei mit ");
    EXPECT_EQ(d.Label7, "Routenpunkten angelegt .");
  }
}

struct PlanCase {
  int points, perFile;
  int files, rest;
  bool restFile;
  const char* ok;
  const char* label4;
  const char* label5;
};

TEST_F(SplitDialogTest, PlanAndSentenceFollowPointsAndPointsPerFile) {
  const PlanCase cases[] = {
      {45, 15, 3, 0, false, "Dateien erstellen", "Es werden ", "Dateien mit je "},
      {47, 15, 3, 2, true, "Dateien erstellen", "Es werden ", "Dateien mit je "},
      {20, 15, 1, 5, true, "Datei erstellen", "Es wird ", "Datei mit je"},
      {16, 15, 1, 1, true, "Datei erstellen", "Es wird ", "Datei mit je"},
      {30, 15, 2, 0, false, "Dateien erstellen", "Es werden ", "Dateien mit je "},
      {120, 10, 12, 0, false, "Dateien erstellen", "Es werden ", "Dateien mit je "},
      {7, 1, 7, 0, false, "Dateien erstellen", "Es werden ", "Dateien mit je "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.points) + " / " + std::to_string(c.perFile));
    route(c.points);
    s.opt.set(MpMN, c.perFile);
    SplitDialog d = splitDialogFor(s);
    d.FormActivate();
    EXPECT_EQ(s.doc.split.SplitSize, c.perFile);
    EXPECT_EQ(s.doc.split.SplitFiles, c.files);
    EXPECT_EQ(s.doc.split.SplitRest, c.rest);
    EXPECT_EQ(s.doc.split.SplitRestFile, c.restFile);
    EXPECT_EQ(d.DateiAnzahl, c.files);
    EXPECT_EQ(d.RestAnzahl, c.rest);
    EXPECT_EQ(d.OkBtn, c.ok);
    EXPECT_EQ(d.Label4, c.label4);
    EXPECT_EQ(d.Label5, c.label5);
    EXPECT_EQ(s.doc.split.fileCount(), c.files + (c.restFile ? 1 : 0));
  }
}

TEST_F(SplitDialogTest, LoweringAndRaisingTheSpinGivesThePlanOfTheFinalValue) {
  route(47);
  s.opt.set(MpMN, 15);
  SplitDialog direct = splitDialogFor(s);
  direct.FormActivate();
  direct.AnzSplitEditChange(12);
  const int size = s.doc.split.SplitSize, files = s.doc.split.SplitFiles,
            rest = s.doc.split.SplitRest;
  const bool restFile = s.doc.split.SplitRestFile;
  ASSERT_EQ(files, 3);
  ASSERT_EQ(rest, 11);

  SplitDialog walked = splitDialogFor(s);
  walked.FormActivate();
  for (long long v : {14, 5, 1, 2, 15, 13, 12}) walked.AnzSplitEditChange(v);
  EXPECT_EQ(s.doc.split.SplitSize, size);
  EXPECT_EQ(s.doc.split.SplitFiles, files);
  EXPECT_EQ(s.doc.split.SplitRest, rest);
  EXPECT_EQ(s.doc.split.SplitRestFile, restFile);
  EXPECT_EQ(walked.spinValue, direct.spinValue);
  EXPECT_EQ(walked.DateiAnzahl, direct.DateiAnzahl);
  EXPECT_EQ(walked.RestAnzahl, direct.RestAnzahl);
  EXPECT_EQ(walked.OkBtn, direct.OkBtn);
  EXPECT_EQ(walked.Label4, direct.Label4);
  EXPECT_EQ(walked.Label5, direct.Label5);
}

TEST_F(SplitDialogTest, SpinValueIsHeldWithinOneAndTheMaximum) {
  route(47);
  s.opt.set(MpMN, 15);
  const std::pair<const char*, int> typed[] = {
      {"7", 7},
      {" 8 ", 8},
      {"+9", 9},
      {"0", 1},
      {"-4", 1},
      {"16", 15},
      {"99999999999999999999999", 15},
      {"abc", 1},
      {"", 1},
      {"7x", 1},
      {"1.5", 1},
      {"-", 1},
      {"15", 15},
  };
  for (const auto& [text, expected] : typed) {
    SCOPED_TRACE(text);
    SplitDialog d = splitDialogFor(s);
    d.FormActivate();
    d.AnzSplitEditText(text);
    EXPECT_EQ(d.spinValue, expected);
    EXPECT_EQ(s.doc.split.SplitSize, expected);
    EXPECT_EQ(s.doc.split.SplitFiles, 47 / expected);
    EXPECT_EQ(s.doc.split.SplitRest, 47 % expected);
  }
  SplitDialog d = splitDialogFor(s);
  d.FormActivate();
  d.AnzSplitEditChange(-100);
  EXPECT_EQ(s.doc.split.SplitSize, 1);
  d.AnzSplitEditChange(1000);
  EXPECT_EQ(s.doc.split.SplitSize, 15);
  // A value set behind the dialog's back is held too when the plan is computed.
  d.spinValue = 40;
  d.Berechnen();
  EXPECT_EQ(s.doc.split.SplitSize, 15);
}

TEST_F(SplitDialogTest, HeightGrowsByThePanelsShownAndReturnsWhenClosed) {
  route(60);
  s.opt.set(MpMN, 15);
  SplitDialog d = splitDialogFor(s);
  EXPECT_EQ(d.height, 102);
  d.FormActivate();
  EXPECT_TRUE(d.showSplitRow);
  EXPECT_FALSE(d.showTourenplaner);
  EXPECT_EQ(d.height, 102 + d.splitRowHeight);
  d.close();
  EXPECT_EQ(d.height, 102);
  // Opening again does not add to what an earlier opening left.
  d.splitRowHeight = 50;
  d.FormActivate();
  d.FormActivate();
  EXPECT_EQ(d.height, 152);
  d.close();

  test::useOutput(s, 5);
  s.opt.set(MpMTP, 50);
  d.FormActivate();
  EXPECT_TRUE(d.showSplitRow);
  EXPECT_TRUE(d.showTourenplaner);
  EXPECT_EQ(d.height, 102 + 50 + d.tourenplanerHeight);
  d.close();
  EXPECT_EQ(d.height, 102);
}

TEST_F(SplitDialogTest, TourenplanerFormShowsTheSplitRowOnlyForLongRoutes) {
  test::useOutput(s, 5);
  s.opt.set(BcrRouteName, "Alpen");
  s.opt.set(BcrDirectory, "/tmp/bcr/");
  s.opt.set(MpMTP, 50);
  for (const auto& [points, row] : {std::pair{50, false}, std::pair{51, true}}) {
    SCOPED_TRACE(points);
    route(points);
    SplitDialog d = splitDialogFor(s);
    d.FormActivate();
    EXPECT_TRUE(d.showTourenplaner);
    EXPECT_EQ(d.showSplitRow, row);
    EXPECT_EQ(d.height, 102 + d.tourenplanerHeight + (row ? d.splitRowHeight : 0));
    EXPECT_EQ(d.ROUTENAME_E, "Alpen");
    EXPECT_EQ(d.BCRDir_E, "/tmp/bcr/");
  }
  // Without a maximum the route is one file.
  s.opt.set(MpMTP, 0);
  route(500);
  SplitDialog d = splitDialogFor(s);
  d.FormActivate();
  EXPECT_FALSE(d.showSplitRow);
  EXPECT_EQ(s.doc.split.SplitFiles, 1);
  EXPECT_EQ(s.doc.split.SplitRest, 0);
  EXPECT_EQ(s.doc.split.fileCount(), 1);
}

TEST_F(SplitDialogTest, BcrFolderFieldFollowsEditsAndTheBrowser) {
  test::useOutput(s, 5);
  s.opt.set(BcrDirectory, "/alt/");
  SplitDialog d = splitDialogFor(s);
  d.FormActivate();
  d.BCRDir_EChange("/neu/");
  EXPECT_EQ(s.opt.get(BcrDirectory), "/neu/");

  port.folderAnswers.push_back(std::nullopt);
  d.BCRDirButtonClick();
  EXPECT_EQ(d.BCRDir_E, "/neu/");
  EXPECT_EQ(s.opt.get(BcrDirectory), "/neu/");

  port.folderAnswers.push_back(std::string("/Touren/M\xFCnchen"));
  d.BCRDirButtonClick();
  EXPECT_EQ(d.BCRDir_E, "/Touren/M\xFCnchen");
  EXPECT_EQ(s.opt.get(BcrDirectory), "/Touren/M\xFCnchen");
  ASSERT_EQ(port.folderTitles.size(), 2u);
  EXPECT_EQ(port.folderTitles[0], "BCR Verzeichnis ausw\xE4hlen");

  const auto& profiles = PIndex.info.choices();
  ASSERT_EQ(profiles.size(), 8u);
  EXPECT_EQ(profiles.front(), "Auto langsam");
  // Sorted as the list box sorts: without regard to case ("Motorrad mittel" before "... Tour").
  const auto lower = [](std::string t) {
    for (auto& ch : t) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return t;
  };
  EXPECT_TRUE(std::is_sorted(profiles.begin(), profiles.end(),
                             [&](const auto& a, const auto& b) { return lower(a) < lower(b); }));
}

TEST_F(SplitDialogTest, MaximumOfTheChosenFormat) {
  s.opt.set(MpMN, 11);
  s.opt.set(MpTT3, 12);
  s.opt.set(MpFalk, 13);
  s.opt.set(MpMTP, 14);
  const std::pair<int, int> cases[] = {{0, 11}, {1, 11}, {2, 11}, {3, 12},  {7, 13},
                                       {5, 14}, {4, -1}, {6, -1}, {20, -1}, {23, -1}};
  for (const auto& [code, max] : cases) {
    test::useOutput(s, code);
    EXPECT_EQ(splitMaximum(s), max) << code;
  }
}

TEST_F(SplitDialogTest, FalkCountsRoutePointsNotLines) {
  s.doc.OutputLines.assign(std::vector<std::string>(40, "x"));
  s.doc.RoutePointCount = 10;
  test::useOutput(s, 7);
  EXPECT_EQ(splitPointCount(s), 10);
  test::useOutput(s, 1);
  EXPECT_EQ(splitPointCount(s), 40);
}

struct NameCase {
  const char* chosen;
  int i, splitFiles;
  const char* expected;
};

TEST(PartFileName, SuffixBeforeTheLastFourCharactersOfTheName) {
  const NameCase cases[] = {
      {"/d/Tour.rte", 1, 3, "/d/Tour.rte"},
      {"/d/Tour.rte", 2, 3, "/d/Tour_1.rte"},
      {"/d/Tour.rte", 3, 3, "/d/Tour_2.rte"},
      {"/d/Tour.itn", 4, 3, "/d/Tour_3.itn"},  // the partial file after three full ones
      {"/d/Tour.rte", 10, 9, "/d/Tour_9.rte"},
      {"/d/Tour.rte", 2, 12, "/d/Tour_01.rte"},
      {"/d/Tour.rte", 12, 12, "/d/Tour_11.rte"},
      {"/d/Tour.rte", 2, 99, "/d/Tour_01.rte"},
      {"/d/Tour.rte", 2, 100, "/d/Tour_001.rte"},
      {"/d/Tour.rte", 101, 999, "/d/Tour_100.rte"},
      {"/d/Tour.rte", 2, 1000, "/d/Tour_0001.rte"},
      {"/d/Tour.rte", 10000, 9999, "/d/Tour_9999.rte"},
      {"Tour.BCR", 2, 3, "Tour_1.BCR"},
      {"/d/M\xFCnchen.rte", 2, 3, "/d/M\xFCnchen_1.rte"},
      // Extensions of other lengths: still before the last four characters.
      {"/d/Tour.gpx2", 2, 3, "/d/Tour._1gpx2"},
      {"/d/Tour.js", 2, 3, "/d/Tou_1r.js"},
      {"/d/Route", 2, 3, "/d/R_1oute"},
      {"/d/.rte", 2, 3, "/d/_1.rte"},
      // Names shorter than that: before the extension, else at the end; never into the folder.
      {"/x/yz/ab", 2, 3, "/x/yz/ab_1"},
      {"/x/yz/abc", 2, 3, "/x/yz/abc_1"},
      {"/x/yz/a.b", 2, 3, "/x/yz/a_1.b"},
      {"/x/yz/.b", 3, 3, "/x/yz/.b_2"},
      {"ab", 2, 3, "ab_1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(partFileName(c.chosen, c.i, c.splitFiles), c.expected)
        << c.chosen << " " << c.i << " of " << c.splitFiles;
  }
}

TEST(PartFileName, PlansOfTenThousandFullFilesCannotBeNamed) {
  EXPECT_TRUE(splitPlanNameable(0));
  EXPECT_TRUE(splitPlanNameable(9999));
  EXPECT_FALSE(splitPlanNameable(10000));
  EXPECT_FALSE(splitPlanNameable(250000));
}

}  // namespace
}  // namespace kursolin
