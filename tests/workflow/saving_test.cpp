// Saving the produced route: the dialog of each format, plain saves, split saves, and saves that
// cannot be written.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>

#include "dialogs/split_dialog.h"
#include "formats/bcr.h"
#include "formats/navigon.h"
#include "formats/registry.h"
#include "formats/tomtom.h"
#include "session/panes.h"
#include "support/fake_port.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/loading.h"
#include "workflow/output_commands.h"
#include "workflow/presentation.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::crlf;
using test::mn42Points;
using test::readBytes;
using test::writeBytes;

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    s.opt.SaveDir = settingsDir.dir();
    test::useOutput(s, 1);
    s.doc.SaveBaseName = "Tour.txt";
  }
  /// A route of n points in OutputLines, as the generator leaves it.
  void route(int n) {
    s.doc.OutputLines.assign(mn42Points(n));
    s.doc.RoutePointCount = n;
    NaviChange(s);
  }
  /// The next save dialog picks this file.
  void choose(const std::string& path) { port.saveAnswers.push_back(path); }
  std::vector<std::string> slice(int from, int count) const {
    const auto& l = s.doc.OutputLines.lines();
    return {l.begin() + from, l.begin() + from + count};
  }

  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
  test::ScratchFolder settingsDir;  // the save dialog's folder from the settings
  test::ScratchFolder out;  // where the user saves
};

struct DialogCase {
  int code;
  const char* title;
  const char* filter;
  const char* defaultExt;
  const char* fileName;
};

TEST_F(SaveTest, SaveDialogOfEachFormat) {
  const DialogCase cases[] = {
      {0, "Route als Navigon MN4.0 oder 4.1 Routendatei speichern",
       "Navigon MN4.0 + 4.1 Routendatei (*.rte)|*.rte", "rte", "Alpen.rte"},
      {1, "Route als Navigon MN|4.2 Routendatei speichern",
       "Navigon MN4.2 Routendatei (*.rte)|*.rte", "rte", "Alpen.rte"},
      {2, "Route als Navigon MN5 Routendatei speichern", "Navigon MN5 Routendatei (*.rte)|*.rte",
       "rte", "Alpen.rte"},
      {3, "Route als TomTom Routendatei speichern", "TomTom  Routendatei (*.itn)|*.itn", "itn",
       "Alpen.itn"},
      {4, "Route als Microsoft AutoRoute Importdatei speichern",
       "Microsoft AutoRoute Importdatei (*.csv)|*.csv", "csv", "Alpen.csv"},
      {7, "Route als Falk PreviousDestination Datei speichern",
       "Falk PreviousDestination Datei (*.dat)|*.dat", "dat", "PreviousDestination.dat"},
      {6, "Route als CSV Datei \"Semikolon getrennt\" speichern",
       "CSV Dateiformat \"Semikolon getrennt\" (*.csv)|*.csv", "csv", "Alpen.csv"},
      {20, "Koordinatenpaare im Format Grad Minute Sekunde speichern",
       "Koordinatenpaare im Format Gr Min Sek (*.txt)|*.txt", "txt", "Alpen.txt"},
      {21, "Koordinatenpaare im Format Grad Minute speichern",
       "Koordinatenpaare im Format Gr Min (*.txt)|*.txt", "txt", "Alpen.txt"},
      {22, "Koordinatenpaare im Dezimalgrad Format speichern",
       "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", "txt", "Alpen.txt"},
      {23, "Koordinatenpaare im Mercator Format speichern",
       "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", "txt", "Alpen.txt"},
  };
  s.doc.SaveBaseName = "Alpen.txt";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    test::useOutput(s, c.code);
    const FileDialogRequest r = saveDialogRequest(s);
    EXPECT_EQ(r.title, c.title);
    EXPECT_EQ(r.filter, c.filter);
    EXPECT_EQ(r.defaultExt, c.defaultExt);
    EXPECT_EQ(r.fileName, c.fileName);
    EXPECT_EQ(r.initialDir, settingsDir.dir());
  }
  // Tourenplaner files are proposed under their route name in their own folder.
  test::useOutput(s, 5);
  s.opt.set(BcrRouteName, "Alpen");
  s.opt.set(BcrDirectory, "/bcr/");
  const FileDialogRequest r = saveDialogRequest(s);
  EXPECT_EQ(r.title, "Route im Tourenplaner Format speichern");
  EXPECT_EQ(r.filter, "Tourenplaner Dateiformat (*.BCR)|*.BCR");
  EXPECT_EQ(r.defaultExt, "BCR");
  EXPECT_EQ(r.fileName, "Alpen.BCR");
  EXPECT_EQ(r.initialDir, "/bcr/");
}

TEST_F(SaveTest, ProposedNameReplacesTheExtensionOfTheName) {
  const std::pair<const char*, const char*> cases[] = {
      {"Alpen.txt", "Alpen.rte"},
      {"Alpen", "Alpen.rte"},
      {"Alpen.tour.txt", "Alpen.tour.rte"},
      {"/f/Alpen.itn", "/f/Alpen.rte"},
      {"/f.d/Alpen", "/f.d/Alpen.rte"},
      {".alpen", ".alpen.rte"},
      {"M\xFCnchen.nmea", "M\xFCnchen.rte"},
      {"", ""},
  };
  for (const auto& [base, proposed] : cases) {
    s.doc.SaveBaseName = base;
    EXPECT_EQ(proposedSaveName(s), proposed) << base;
  }
  test::useOutput(s, 7);
  s.doc.SaveBaseName = "/f/Alpen.txt";
  EXPECT_EQ(proposedSaveName(s), "PreviousDestination.dat");
}

TEST_F(SaveTest, ProposalKeepsTheNameOfTheLoadAndTheFolderOfTheSave) {
  test::ScratchFolder loaded;
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 600, 5);
  writeBytes(loaded.file("Alpen.txt"), test::joinCrLf(t.ggaVtgLines()));
  test::useInput(s, 1);
  ASSERT_TRUE(loadInputFile(s, loaded.file("Alpen.txt")));
  test::useOutput(s, 0);
  RouteExecute(s);
  ASSERT_GT(s.doc.OutputLines.Count(), 2);

  choose(out.file("Alpen.rte"));
  SaveNaviExecute(s);
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].fileName, "Alpen.rte");
  EXPECT_EQ(port.saveRequests[0].initialDir, settingsDir.dir());
  EXPECT_EQ(s.doc.SaveBaseName, out.file("Alpen.rte"));
  EXPECT_EQ(s.opt.SaveDir, out.dir());

  test::useOutput(s, 2);
  SaveNaviExecute(s);  // cancelled
  ASSERT_EQ(port.saveRequests.size(), 2u);
  EXPECT_EQ(port.saveRequests[1].fileName, out.file("Alpen.rte"));
  EXPECT_EQ(port.saveRequests[1].initialDir, out.dir());
  EXPECT_EQ(port.saveRequests[1].title, "Route als Navigon MN5 Routendatei speichern");
  EXPECT_EQ(port.unscripted, 0);
}

// A save dialog starts in the folder last saved into, unless that is the program's own folder
// (where a fresh installation points) or gone; then beside the loaded file.
TEST_F(SaveTest, SaveDialogsStartInTheLastFolderUsedElseBesideTheLoadedFile) {
  test::ScratchFolder loaded;
  test::ScratchFolder appDir;
  s.AppDir = appDir.dir();
  const std::string appWithoutSlash = s.AppDir.substr(0, s.AppDir.size() - 1);
  struct Case {
    const char* name;
    std::string lastUsed, input, expected;
  } cases[] = {
      {"last folder used", out.dir(), loaded.file("Alpen.txt"), out.dir()},
      {"program folder", s.AppDir, loaded.file("Alpen.txt"), loaded.dir()},
      {"program folder without slash", appWithoutSlash, loaded.file("Alpen.txt"), loaded.dir()},
      {"folder gone", out.file("weg/"), loaded.file("Alpen.txt"), loaded.dir()},
      {"nothing loaded", s.AppDir, "*.txt", s.AppDir},
  };
  for (int code : {1, 5}) {  // the save dialog's folder, and the Tourenplaner one
    test::useOutput(s, code);
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(code) + ": " + c.name);
      s.opt.SaveDir = c.lastUsed;
      s.opt.set(BcrDirectory, c.lastUsed);
      s.doc.InputFileName = c.input;
      EXPECT_EQ(saveDialogRequest(s).initialDir, c.expected);
      EXPECT_EQ(initialFolder(s, c.lastUsed), c.expected);
    }
  }
}

// Only a save that wrote every file makes the route count as saved, and the status line says so.
TEST_F(SaveTest, AWrittenSaveIsReportedAndTheRouteCountsAsSaved) {
  struct Case {
    int points;
    std::optional<std::string> chosen;
    const char* status;  // nullptr: unchanged
  } cases[] = {
      {5, "Tour.rte", " (1 Datei)"},
      {40, "Tour.rte", " (3 Dateien)"},  // 15 a file
      {5, std::nullopt, nullptr},
      {5, "fehlt/Tour.rte", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.points) + " " + c.chosen.value_or("cancelled"));
    s.opt.set(MpMN, 15);
    route(c.points);
    s.setStatusText("vorher");
    ASSERT_TRUE(workUnsaved(s.doc));
    port.saveAnswers.push_back(c.chosen ? std::optional(out.file(*c.chosen)) : std::nullopt);
    SaveNaviExecute(s);
    EXPECT_EQ(s.statusText(),
              c.status ? "Gespeichert: " + out.file(*c.chosen) + c.status : std::string("vorher"));
    EXPECT_EQ(workUnsaved(s.doc), c.status == nullptr);
  }
}

TEST_F(SaveTest, PlainSaveWritesEveryLineWithCrLfAndItsBytesUnchanged) {
  const std::vector<std::string> lines = {
      "-|M\xFCnchen|Stra\xDF" "e|\x80|\xB0\xB4|-|",
      std::string(5000, 'x') + "|",  // longer than one read of a pane line
      "", "  ", "\xFF\xFE|"};
  s.doc.OutputLines.assign(lines);
  s.doc.RoutePointCount = 5;
  choose(out.file("Tour.rte"));
  SaveNaviExecute(s);
  EXPECT_EQ(readBytes(out.file("Tour.rte")), crlf(lines));
  EXPECT_EQ(out.entries(), (std::set<std::string>{"Tour.rte"}));
  EXPECT_TRUE(port.prompts.empty());
  EXPECT_EQ(s.doc.OutputLines.lines(), lines);
}

TEST_F(SaveTest, CancelledDialogWritesNothingAndChangesNothing) {
  route(30);
  port.saveAnswers.push_back(std::nullopt);
  SaveNaviExecute(s);
  EXPECT_EQ(port.saveRequests.size(), 1u);
  EXPECT_TRUE(out.entries().empty());
  EXPECT_TRUE(settingsDir.entries().empty());
  EXPECT_EQ(s.doc.SaveBaseName, "Tour.txt");
  EXPECT_EQ(s.opt.SaveDir, settingsDir.dir());
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(SaveTest, AnEmptyRouteIsNeverWritten) {
  // What a cancelled load leaves, and a pane that counts as empty for the command.
  for (const std::vector<std::string>& lines :
       {std::vector<std::string>{}, {""}, {"", "-|-|"}, {"\t-|-|"}}) {
    SCOPED_TRACE(::testing::PrintToString(lines));
    port.clearRecords();
    s.doc.OutputLines.assign(lines);
    s.doc.RoutePointCount = 0;
    choose(out.file("Leer.rte"));
    SaveNaviExecute(s);
    port.saveAnswers.clear();
    EXPECT_TRUE(port.saveRequests.empty());
    EXPECT_TRUE(port.prompts.empty());
  }
  EXPECT_TRUE(out.entries().empty());
}

TEST_F(SaveTest, SplitDialogOnlyAboveTheMaximum) {
  struct Case {
    int points, maximum;
    bool split;
  };
  const Case cases[] = {{15, 15, false}, {16, 15, true}, {500, 0, false}, {1, 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.points) + " / " + std::to_string(c.maximum));
    test::ScratchFolder folder;
    port.splitDialogs = 0;
    s.opt.set(MpMN, c.maximum);
    route(c.points);
    choose(folder.file("Tour.rte"));
    SaveNaviExecute(s);
    EXPECT_EQ(port.splitDialogs, c.split ? 1 : 0);
    EXPECT_EQ(folder.entries().size(), c.split ? 2u : 1u);
    if (!c.split) {
      EXPECT_EQ(readBytes(folder.file("Tour.rte")), s.doc.OutputLines.text());
    }
  }
}

struct SplitCase {
  int points, perFile;
  std::vector<std::pair<std::string, int>> files;  // name and number of points
};

TEST_F(SaveTest, SplitSaveWritesNumberedPartsInOrder) {
  const SplitCase cases[] = {
      {45, 15, {{"Tour.rte", 15}, {"Tour_1.rte", 15}, {"Tour_2.rte", 15}}},
      {47, 15, {{"Tour.rte", 15}, {"Tour_1.rte", 15}, {"Tour_2.rte", 15}, {"Tour_3.rte", 2}}},
      {20, 15, {{"Tour.rte", 15}, {"Tour_1.rte", 5}}},
      {120, 10, {{"Tour.rte", 10},    {"Tour_01.rte", 10}, {"Tour_02.rte", 10},
                 {"Tour_03.rte", 10}, {"Tour_04.rte", 10}, {"Tour_05.rte", 10},
                 {"Tour_06.rte", 10}, {"Tour_07.rte", 10}, {"Tour_08.rte", 10},
                 {"Tour_09.rte", 10}, {"Tour_10.rte", 10}, {"Tour_11.rte", 10}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.points) + " / " + std::to_string(c.perFile));
    test::ScratchFolder folder;
    s.opt.SaveDir = settingsDir.dir();
    port.clearRecords();
    s.opt.set(MpMN, c.perFile);
    route(c.points);
    const auto before = s.doc.OutputLines.lines();
    std::string okText;
    port.onSplitDialog = [&](SplitDialogView& d) {
      okText = d.OkBtn;
      return true;
    };
    choose(folder.file("Tour.rte"));
    SaveNaviExecute(s);
    EXPECT_EQ(okText, c.files.size() > 2 ? "Dateien erstellen" : "Datei erstellen");
    ASSERT_EQ(port.saveRequests.size(), 1u);
    EXPECT_EQ(port.saveRequests[0].fileName, "Tour.rte");
    EXPECT_EQ(port.saveRequests[0].title, "Route als Navigon MN|4.2 Routendatei speichern");

    std::set<std::string> names;
    int from = 0;
    for (const auto& [name, count] : c.files) {
      names.insert(name);
      EXPECT_EQ(readBytes(folder.file(name)), crlf(slice(from, count))) << name;
      from += count;
    }
    EXPECT_EQ(folder.entries(), names);
    EXPECT_EQ(s.doc.OutputLines.lines(), before);
    EXPECT_EQ(s.doc.SaveBaseName, "Tour.txt");  // only plain saves change it
    EXPECT_EQ(s.opt.SaveDir, folder.dir());
    EXPECT_TRUE(port.prompts.empty());
  }
}

TEST_F(SaveTest, SplitUsesThePointsPerFileChosenInTheDialog) {
  s.opt.set(MpMN, 15);
  route(47);
  port.onSplitDialog = [](SplitDialogView& d) {
    d.AnzSplitEditChange(20);  // above the maximum: held at 15
    d.AnzSplitEditText("9");
    return true;
  };
  choose(out.file("Tour.rte"));
  SaveNaviExecute(s);
  EXPECT_EQ(out.entries(), (std::set<std::string>{"Tour.rte", "Tour_1.rte", "Tour_2.rte",
                                                  "Tour_3.rte", "Tour_4.rte", "Tour_5.rte"}));
  EXPECT_EQ(readBytes(out.file("Tour_4.rte")), crlf(slice(36, 9)));
  EXPECT_EQ(readBytes(out.file("Tour_5.rte")), crlf(slice(45, 2)));
}

TEST_F(SaveTest, CancelInTheSplitDialogOrItsSaveDialogWritesNothing) {
  s.opt.set(MpMN, 15);
  route(47);
  port.onSplitDialog = [](SplitDialogView&) { return false; };
  choose(out.file("Tour.rte"));
  SaveNaviExecute(s);
  EXPECT_EQ(port.splitDialogs, 1);
  EXPECT_TRUE(port.saveRequests.empty());  // no save dialog after a cancelled split dialog

  port.onSplitDialog = nullptr;
  port.saveAnswers.clear();
  port.saveAnswers.push_back(std::nullopt);
  SaveNaviExecute(s);
  EXPECT_EQ(port.saveRequests.size(), 1u);
  EXPECT_TRUE(out.entries().empty());
  EXPECT_EQ(s.opt.SaveDir, settingsDir.dir());
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(SaveTest, OldLinesAreSavedUnderTheNewFormatWhenRegenerationIsDeclined) {
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(90, 40, 600, 5);
  test::useInput(s, 1);
  test::setInput(s, t.ggaVtgLines());
  RouteExecute(s);
  const auto mn42 = s.doc.OutputLines.lines();
  ASSERT_GT(mn42.size(), 2u);

  port.answer({PromptAnswer::Cancel});
  NaviArtChange(s, 6);  // table output, "neu berechnen oder abbrechen ?" - abbrechen
  ASSERT_EQ(port.prompts.size(), 1u);
  ASSERT_TRUE(OutCSV(s));
  ASSERT_EQ(s.doc.OutputLines.lines(), mn42);

  choose(out.file("Tour.csv"));
  SaveNaviExecute(s);
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].fileName, "Tour.csv");
  EXPECT_EQ(port.saveRequests[0].defaultExt, "csv");
  EXPECT_EQ(port.saveRequests[0].title, "Route als CSV Datei \"Semikolon getrennt\" speichern");
  EXPECT_EQ(readBytes(out.file("Tour.csv")), crlf(mn42));
}

TEST_F(SaveTest, UnwritableTargetIsReportedAndChangesNothing) {
  writeBytes(out.file("plain"), "ich bin eine Datei");
  std::filesystem::create_directory(out.file("Ordner.rte"));
  const std::string targets[] = {
      out.file("plain/Tour.rte"),  // a folder that is a file
      out.file("Ordner.rte"),  // a folder as the file
      out.file("fehlt/Tour.rte"),  // a folder that does not exist
  };
  route(10);
  for (const auto& target : targets) {
    SCOPED_TRACE(target);
    port.clearRecords();
    choose(target);
    SaveNaviExecute(s);
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(
        port.prompts[0].text.rfind("Die Datei " + target + " kann nicht geschrieben werden: ", 0),
        0u)
        << port.prompts[0].text;
    EXPECT_NE(port.prompts[0].text.find("Die Route wurde nicht gespeichert"), std::string::npos);
    EXPECT_EQ(s.doc.SaveBaseName, "Tour.txt");
    EXPECT_EQ(s.opt.SaveDir, settingsDir.dir());
  }
  EXPECT_EQ(out.entries(), (std::set<std::string>{"plain", "Ordner.rte"}));
  EXPECT_EQ(readBytes(out.file("plain")), "ich bin eine Datei");
  EXPECT_TRUE(std::filesystem::is_empty(out.file("Ordner.rte")));
}

/// The exit code of body run in a child process.
int inChild(const std::function<int()>& body) {
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int code = body();
    std::cerr.flush();
    ::_exit(code);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(SaveTest, SaveThatFailsHalfwayLeavesTheOldFileWhole) {
  const std::string old = crlf(mn42Points(3));
  const std::string target = out.file("Tour.rte");
  // A plain save and the first part of a split save.
  for (const int maximum : {0, 100}) {
    SCOPED_TRACE(maximum);
    writeBytes(target, old);
    // A file size limit makes the write fail after the first bytes, as a full disk would.
    const int code = inChild([&] {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{1024, 1024};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
      test::ScriptedPort childPort;
      Session c(childPort, HostSettings::german());
      test::createLikeTheWindow(c);
      test::useOutput(c, 1);
      c.opt.set(MpMN, maximum);
      c.doc.SaveBaseName = "Tour.txt";
      c.doc.OutputLines.assign(mn42Points(400));
      c.doc.RoutePointCount = 400;
      childPort.saveAnswers.push_back(target);
      SaveNaviExecute(c);
      if (childPort.splitDialogs != (maximum > 0 ? 1 : 0)) return 3;
      if (childPort.prompts.size() != 1 || childPort.prompts[0].kind != PromptKind::Error) {
        return 4;
      }
      if (childPort.prompts[0].text.find(target) == std::string::npos) return 5;
      if (c.doc.SaveBaseName != "Tour.txt") return 6;
      return 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readBytes(target), old);
    EXPECT_EQ(out.entries(), (std::set<std::string>{"Tour.rte"}));  // no temporary file left
  }
}

TEST_F(SaveTest, FailedPartStopsTheSplitAndSaysWhatWasWritten) {
  struct Case {
    const char* blocked;  // a folder in the way of this part
    int written;
    const char* says;
  };
  const Case cases[] = {
      {"Tour.rte", 0, "Es wurde keine Datei geschrieben."},
      {"Tour_1.rte", 1, "Die Teildatei 1 wurde geschrieben und bleibt erhalten; die \xFC" "brigen "
                        "wurden nicht erstellt."},
      {"Tour_2.rte", 2, "Die Teildateien 1 bis 2 wurden geschrieben und bleiben erhalten; die "
                        "\xFC" "brigen wurden nicht erstellt."},
  };
  const char* const names[] = {"Tour.rte", "Tour_1.rte", "Tour_2.rte", "Tour_3.rte"};
  s.opt.set(MpMN, 15);
  route(47);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.blocked);
    test::ScratchFolder folder;
    port.clearRecords();
    s.opt.SaveDir = settingsDir.dir();
    std::filesystem::create_directory(folder.file(c.blocked));
    choose(folder.file("Tour.rte"));
    SaveNaviExecute(s);
    ASSERT_EQ(port.prompts.size(), 1u);
    const std::string& text = port.prompts[0].text;
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    const std::string head = "Die Teildatei " + std::to_string(c.written + 1) + " von 4 (" +
                             folder.file(c.blocked) + ") kann nicht geschrieben werden: ";
    EXPECT_EQ(text.rfind(head, 0), 0u) << text;
    EXPECT_NE(text.find(std::string("\r") + c.says), std::string::npos) << text;
    std::set<std::string> expected{c.blocked};
    for (int i = 0; i < c.written; ++i) {
      expected.insert(names[i]);
      EXPECT_EQ(readBytes(folder.file(names[i])), crlf(slice(15 * i, 15)));
    }
    EXPECT_EQ(folder.entries(), expected);
    // The dialog opens where the parts went, if any did.
    EXPECT_EQ(s.opt.SaveDir, c.written > 0 ? folder.dir() : settingsDir.dir());
  }
}

TEST_F(SaveTest, PlansOfTenThousandFilesAreRefusedBeforeAnythingIsWritten) {
  s.opt.set(MpMN, 1);
  route(10000);
  choose(out.file("Tour.rte"));
  SaveNaviExecute(s);
  EXPECT_EQ(port.splitDialogs, 1);
  EXPECT_TRUE(port.saveRequests.empty());
  EXPECT_TRUE(out.entries().empty());
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Mit 1 Routenpunkten je Datei w\xFCrde die Route in 10000 Dateien aufgeteilt; so "
            "viele Teildateien k\xF6nnen nicht benannt werden (h\xF6" "chstens 10000).\r"
            "Bitte mehr Routenpunkte je Datei w\xE4hlen. Es wurde keine Datei geschrieben.");

  // The batch converter is refused the same way.
  planSplit(s, 1);
  EXPECT_FALSE(writeSplitParts(s, out.file("Tour.rte")));
  EXPECT_TRUE(out.entries().empty());
  // 9999 full files and a partial one can still be named.
  s.doc.OutputLines.assign(mn42Points(19999));
  planSplit(s, 2);
  EXPECT_TRUE(splitPlanNameable(s.doc.split.SplitFiles));
  EXPECT_EQ(s.doc.split.fileCount(), 10000);
}

TEST_F(SaveTest, BatchSplitWithoutDialogRunsTheFinishingPassOnEachPart) {
  route(47);
  planSplit(s, 15);
  // Marks the first and last line of whatever it is given, as the TomTom flags do.
  const LinesPass mark = [](Session&, TextLines& lines) {
    auto l = lines.lines();
    if (l.empty()) return;
    l.front() += "S";
    l.back() += "E";
    lines.assign(l);
  };
  ASSERT_TRUE(writeSplitParts(s, out.file("Tour.itn"), mark));
  EXPECT_TRUE(port.saveRequests.empty());
  EXPECT_TRUE(port.prompts.empty());
  const std::pair<const char*, int> parts[] = {
      {"Tour.itn", 15}, {"Tour_1.itn", 15}, {"Tour_2.itn", 15}, {"Tour_3.itn", 2}};
  int from = 0;
  for (const auto& [name, count] : parts) {
    auto expected = slice(from, count);
    expected.front() += "S";
    expected.back() += "E";
    EXPECT_EQ(readBytes(out.file(name)), crlf(expected)) << name;
    from += count;
  }
  EXPECT_EQ(out.entries().size(), 4u);
  EXPECT_EQ(s.doc.OutputLines.lines(), mn42Points(47));  // the parts are copies
}

TEST_F(SaveTest, BatchSplitRenewsAPlanLeftFromAnotherRoute) {
  route(47);
  planSplit(s, 15);
  route(50);  // a new route; the plan still counts 47 points
  ASSERT_TRUE(writeSplitParts(s, out.file("Tour.rte")));
  EXPECT_EQ(readBytes(out.file("Tour_3.rte")), crlf(slice(45, 5)));
  EXPECT_EQ(out.entries().size(), 4u);
  // Everything written exactly once.
  std::string all;
  for (const char* n : {"Tour.rte", "Tour_1.rte", "Tour_2.rte", "Tour_3.rte"})
    all += readBytes(out.file(n));
  EXPECT_EQ(all, s.doc.OutputLines.text());
}

TEST_F(SaveTest, FormatsWithoutTheirWritersAreRefused) {
  s.opt.set(MpTT3, 5);
  route(20);  // long enough to be split, too
  int refused = 0;
  for (const OutputFormatInfo& f : outputFormats()) {
    if (f.available()) continue;
    ++refused;
    SCOPED_TRACE(f.code);
    port.clearRecords();
    test::useOutput(s, f.code);
    choose(out.file("Tour.x"));
    SaveNaviExecute(s);
    port.saveAnswers.clear();
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Information);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
    EXPECT_EQ(port.prompts[0].text, "Das Format \"" + outputPresentation(f.code)->caption +
                                        "\" kann in dieser Version von Kursolin noch nicht "
                                        "gespeichert werden.");
    EXPECT_TRUE(port.saveRequests.empty());
    EXPECT_EQ(port.splitDialogs, 0);
    planSplit(s, 5);
    EXPECT_FALSE(writeSplitParts(s, out.file("Tour.x")));
  }
  EXPECT_TRUE(out.entries().empty());
  if (refused == 0) GTEST_SKIP() << "this version writes every output format";
}

TEST(SaveWithoutFormat, StoredCodeOutsideTheTableIsRefused) {
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  test::createLikeTheWindow(s);
  NaviArtChange(s, 9);  // as a hand-edited settings file may start it: no format at all
  s.doc.OutputLines.assign(mn42Points(3));
  port.saveAnswers.push_back(std::string("/tmp/never-written.rte"));
  SaveNaviExecute(s);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Es ist kein Ausgabeformat gew\xE4hlt; die Routendaten k\xF6nnen nicht gespeichert "
            "werden.");
  EXPECT_TRUE(port.saveRequests.empty());
}

// Whole conversions saved and compared with committed files, on both hosts.
class SaveGolden : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.opt.SaveDir = out.dir();
  }
  // A drive with a stop and two turns, made into a route of the output format.
  void makeTrackRoute(int outputCode) {
    test::TrackBuilder t(48.137, 11.575, 9 * 3600);
    t.add(t.current()).drive(0, 40, 300, 5).stand(300).drive(90, 90, 600, 5).drive(200, 30, 300,
                                                                                   5);
    test::useInput(session, 1);
    test::setInput(session, t.ggaVtgLines());
    test::useOutput(session, outputCode);
    RouteExecute(session);
  }
  test::ScratchFolder out;
};

TEST_P(SaveGolden, TrackAsNavigonMN42) {
  makeTrackRoute(1);
  port.saveAnswers.push_back(out.file("Tour.rte"));
  SaveNaviExecute(session);
  EXPECT_EQ(readBytes(out.file("Tour.rte")), readBytes(test::formatData("navigon", "track_mn42.rte")));
}

TEST_P(SaveGolden, NavigonPlacesPassThroughToMN5InTheirCodePage) {
  test::ScratchFolder in;
  writeBytes(in.file("Orte.rte"), readBytes(test::formatData("navigon", "orte_mn5_in.rte")));
  test::useInput(session, 9);
  ASSERT_TRUE(loadInputFile(session, in.file("Orte.rte")));
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  session.opt.set(MN5ShowOrt, true);
  test::useOutput(session, 2);
  RouteExecute(session);
  port.saveAnswers.push_back(out.file("Orte.rte"));
  SaveNaviExecute(session);
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].fileName, "Orte.rte");
  EXPECT_EQ(readBytes(out.file("Orte.rte")), readBytes(test::formatData("navigon", "orte_mn5.rte")));
}

TEST_P(SaveGolden, TrackAsTable) {
  makeTrackRoute(6);
  ASSERT_GT(session.doc.PointTable.rows.size(), 2u);
  // The file's "Distanz" column is the distance the grid shows.
  ASSERT_EQ(session.doc.OutputLines.Count(),
            static_cast<int>(session.doc.PointTable.rows.size()) + 1);
  for (std::size_t i = 0; i < session.doc.PointTable.rows.size(); ++i) {
    std::string cell = session.doc.OutputLines.at(static_cast<long long>(i) + 1);
    for (int column = 0; column < 12; ++column) cell.erase(0, cell.find(';') + 1);
    EXPECT_EQ(cell.substr(0, cell.find(';')), session.doc.PointTable.rows[i][6]) << i;
  }
  port.saveAnswers.push_back(out.file("Tour.csv"));
  SaveNaviExecute(session);
  // The table is for the host's spreadsheet: its numbers carry the host's separator.
  const std::string golden =
      test::formatData("table", sep() == ',' ? "track_comma_host.csv" : "track_point_host.csv");
  EXPECT_EQ(readBytes(out.file("Tour.csv")), readBytes(golden));
}

KURSOLIN_ON_BOTH_HOSTS(SaveGolden);

}  // namespace
}  // namespace kursolin
