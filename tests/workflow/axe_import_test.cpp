// AutoRoute Express files through the external converter: a shell script stands in for it in a
// scratch program folder and writes lines, writes nothing, fails, crashes or hangs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "session/panes.h"
#include "support/child_process.h"
#include "support/fake_port.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/axe_import.h"
#include "workflow/loading.h"
#include "workflow/program.h"

namespace kursolin {
namespace {

using Names = std::set<std::string>;

const std::string kCaptionFailed = "Autoroute Express Routendatei Fehler!";
const std::string kNotFound = "Externes Programm nicht gefunden";
const std::string kNotStarted = "Fehler bei der Ausf\xFChrung des externen Programms";
const std::string kNoOutput = "Fehler beim konvertieren der Autoroute Express Routendatei !";
const std::string kNoFileYet =
    "Keine Datei ge\xF6"
    "ffnet";

// Sets PATH for one test and puts the old value back.
class PathGuard {
 public:
  explicit PathGuard(const std::string& path) {
    if (const char* old = std::getenv("PATH")) old_ = old;
    ::setenv("PATH", path.c_str(), 1);
  }
  ~PathGuard() { ::setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

class AxeImport : public ::testing::Test {
 protected:
  AxeImport() : session(port, HostSettings::german()) {}
  void SetUp() override {
    test::createLikeTheWindow(session);
    // A program folder with a blank and an umlaut: the paths travel as cp1252 in the session
    // and as UTF-8 to the file system and the converter.
    appNative = root.file(
        "Kursolin Pr\xC3\xBC"
        "fung");
    ASSERT_EQ(::mkdir(appNative.c_str(), 0755), 0);
    session.AppDir = sessionPath(appNative) + "/";
    session.opt.OpenDir = docs.dir();
    applyStartFormats(session);
    port.clearRecords();
  }

  std::string app(const std::string& name) const { return appNative + "/" + name; }
  Names appEntries() const {
    Names names;
    for (auto& e : std::filesystem::directory_iterator(appNative)) {
      names.insert(e.path().filename().string());
    }
    return names;
  }
  // The fake converter: a shell script with the given body ($1 input, $2 output).
  void converter(const std::string& body, mode_t mode = 0755) {
    test::writeBytes(app(kAxeConverter), "#!/bin/sh\n" + body + "\n");
    ::chmod(app(kAxeConverter).c_str(), mode);
  }
  // Chooses an AutoRoute Express file in the dialog and runs the import.
  std::string importAxe(const std::string& bytes = "AXE-DATEN\r\n") {
    const std::string path = docs.file("Alpen Tour.axe");
    test::writeBytes(path, bytes);
    port.openAnswers.push_back(path);
    FlatSpeedButton3Click(session);
    return path;
  }
  // A loaded file and a saved route in the panes: replaced without a question.
  void fillPanes() {
    test::setInput(session, {"$GPGGA,1", "$GPVTG,1", "$GPGGA,2"});
    session.doc.OutputLines.assign({"alte Route"});
    NaviChange(session);
    markInputLoaded(session);
    session.doc.savedOutputRevision = session.doc.OutputLines.revision();
    ASSERT_TRUE(session.shell.item("Route").enabled);
    port.clearRecords();
  }

  test::TempFolder root;
  test::TempFolder docs;
  std::string appNative;
  test::ScriptedPort port;
  Session session;
};

// Writes two route lines, then the copy it was given, then its working folder.
const char* const kWritesLines =
    "printf '%s\\r\\n' '1150000|4810000|Start|4|' '1160000|4820000|Ziel|2|' > \"$2\"\n"
    "cat \"$1\" >> \"$2\"\n"
    "pwd >> \"$2\"";

TEST_F(AxeImport, ConvertedLinesFillBothPanes) {
  converter(kWritesLines);
  session.doc.SaveBaseName = "Route.itn";
  const std::string chosen = importAxe();

  ASSERT_EQ(port.openRequests.size(), 1u);
  const FileDialogRequest& req = port.openRequests[0];
  EXPECT_EQ(req.title, "Autoroute Express Routendatei laden");
  EXPECT_EQ(req.filter, "Autoroute Express Routendatei(*.axe)|*.axe");
  EXPECT_EQ(req.defaultExt, "axe");
  EXPECT_EQ(req.fileName, "Route.axe");
  EXPECT_EQ(req.initialDir, docs.dir());

  const std::vector<std::string> lines{"1150000|4810000|Start|4|", "1160000|4820000|Ziel|2|",
                                       "AXE-DATEN", appNative};
  EXPECT_EQ(session.doc.InputLines.lines(), lines);
  EXPECT_EQ(session.doc.OutputLines.lines(), lines);
  EXPECT_EQ(port.inputCaptions, (std::vector<std::string>{
                                    kCaptionFailed, "Autoroute Express Routendatei - Zeilen = 4"}));
  EXPECT_EQ(session.statusText(), "Autoroute Express Routendatei = " + chosen);
  EXPECT_TRUE(port.prompts.empty());
  EXPECT_EQ(appEntries(), Names{kAxeConverter}) << "copy and output are removed";

  EXPECT_EQ(session.doc.InputFileName, chosen);
  EXPECT_EQ(session.doc.SaveBaseName, "Alpen Tour.axe");
  EXPECT_EQ(session.opt.OpenDir, docs.dir());
  EXPECT_EQ(session.opt.InputFormat, 1) << "the chosen input format reads the lines later";
  for (const char* item : {"Route", "NMEADaten", "SaveNavi", "RouteReversAction"}) {
    EXPECT_TRUE(session.shell.item(item).enabled) << item;
  }

  // Started without a shell: the converter's own path, the two files as separate arguments.
  ASSERT_EQ(port.processRequests.size(), 1u);
  const ProcessRequest& run = port.processRequests[0];
  EXPECT_EQ(run.program, session.AppDir + kAxeConverter);
  EXPECT_EQ(run.arguments,
            (std::vector<std::string>{session.AppDir + kAxeCopy, session.AppDir + kAxeOutput}));
  EXPECT_EQ(run.workingDir, session.AppDir);
  EXPECT_FALSE(run.waitText.empty());
}

// Without the converter nothing is asked for and nothing changes; the message says where the
// converter belongs, and the command is no longer offered.
TEST_F(AxeImport, MissingConverterIsReportedBeforeTheDialog) {
  fillPanes();
  session.doc.OutputLines.assign({"neue Route"});  // not saved: still no question
  importAxe();
  EXPECT_EQ(
      port.promptTexts(),
      std::vector<std::string>{kNotFound + "\rErwartet wird: " + session.AppDir + kAxeConverter});
  EXPECT_TRUE(port.openRequests.empty());
  EXPECT_TRUE(appEntries().empty());
  EXPECT_EQ(session.doc.InputLines.Count(), 3);
  EXPECT_EQ(session.doc.OutputLines.lines(), std::vector<std::string>{"neue Route"});
  EXPECT_FALSE(session.shell.item("AxeImport").enabled);
  converter(kWritesLines);
  updateAxeImportAvailability(session);
  EXPECT_TRUE(session.shell.item("AxeImport").enabled);
}

TEST_F(AxeImport, ACancelledDialogChangesNothing) {
  converter(kWritesLines);
  fillPanes();
  port.openAnswers.push_back(std::nullopt);
  FlatSpeedButton3Click(session);
  EXPECT_EQ(session.doc.InputLines.Count(), 3);
  EXPECT_EQ(session.doc.OutputLines.lines(), std::vector<std::string>{"alte Route"});
  EXPECT_TRUE(port.inputCaptions.empty());
  EXPECT_TRUE(port.processRequests.empty());
  EXPECT_EQ(appEntries(), Names{kAxeConverter});
  EXPECT_EQ(port.openRequests.at(0).fileName, "") << "nothing loaded, no name to propose";
}

struct FailureCase {
  const char* name;
  std::optional<std::string> file;  // the converter's whole content; nullopt: none there
  mode_t mode;
  std::string message;
  Names left;  // what stays in the program folder
  bool started;
  bool statusSet;  // the status names the file only after a run
};

TEST_F(AxeImport, FailuresLeaveEmptyPanesAndTheFailureCaption) {
  const std::string sh = "#!/bin/sh\n";
  const FailureCase cases[] = {
      {"not executable",
       sh + "printf 'x\\r\\n' > \"$2\"",
       0644,
       kNotStarted,
       {kAxeConverter, kAxeCopy},
       true,
       false},
      // Neither a machine program nor a script nor a Windows program.
      {"no program", "just text\n", 0755, kNotStarted, {kAxeConverter, kAxeCopy}, true, false},
      {"no output", sh + "exit 0", 0755, kNoOutput, {kAxeConverter}, true, true},
      {"fails without output", sh + "exit 3", 0755, kNoOutput, {kAxeConverter}, true, true},
      {"killed after half its output",
       sh + "printf 'halb\\r\\n' > \"$2\"; kill -9 $$",
       0755,
       kNoOutput,
       {kAxeConverter},
       true,
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(appNative);
    ::mkdir(appNative.c_str(), 0755);
    if (c.file) {
      test::writeBytes(app(kAxeConverter), *c.file);
      ::chmod(app(kAxeConverter).c_str(), c.mode);
    }
    fillPanes();
    session.setStatusText(kNoFileYet);
    const std::string chosen = importAxe();

    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].text, c.message);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
    EXPECT_EQ(port.processRequests.size(), c.started ? 1u : 0u);
    EXPECT_EQ(appEntries(), c.left);
    EXPECT_TRUE(session.doc.InputLines.empty());
    EXPECT_TRUE(session.doc.OutputLines.empty());
    EXPECT_EQ(session.inputCaption(), kCaptionFailed);
    EXPECT_EQ(session.statusText(),
              c.statusSet ? "Autoroute Express Routendatei = " + chosen : kNoFileYet);
    EXPECT_EQ(session.doc.InputFileName, chosen);
    for (const char* item : {"Route", "SaveNavi"}) {
      EXPECT_FALSE(session.shell.item(item).enabled) << item;
    }
  }
}

TEST_F(AxeImport, CancelledWaitEndsTheConverterAndLeavesNothing) {
  converter("printf 'halb\\r\\n' > \"$2\"\nexec sleep 60");
  fillPanes();
  session.setStatusText(kNoFileYet);
  port.cancelAfter = std::chrono::milliseconds(300);
  importAxe();
  EXPECT_EQ(port.processRequests.size(), 1u);
  EXPECT_TRUE(port.prompts.empty()) << "the user chose to cancel; no message follows";
  EXPECT_EQ(appEntries(), Names{kAxeConverter}) << "copy and half-written output are removed";
  EXPECT_TRUE(session.doc.InputLines.empty());
  EXPECT_TRUE(session.doc.OutputLines.empty());
  EXPECT_EQ(session.inputCaption(), kCaptionFailed);
  EXPECT_EQ(session.statusText(), kNoFileYet);
  EXPECT_FALSE(session.shell.item("Route").enabled);
}

TEST_F(AxeImport, OnlyWhatThisRunWroteIsLoaded) {
  struct Case {
    const char* name;
    const char* script;
    std::vector<std::string> loaded;  // empty: the conversion failed
  } cases[] = {
      {"writes nothing", "exit 0", {}},
      // A converter that appends would show the old lines before its own.
      {"appends", "printf 'neu\\r\\n' >> \"$2\"", {"neu"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    port.clearRecords();
    converter(c.script);
    test::writeBytes(app(kAxeOutput), "alte Zeile\r\n");
    importAxe();
    EXPECT_EQ(session.doc.InputLines.lines(), c.loaded);
    EXPECT_EQ(port.promptTexts(),
              c.loaded.empty() ? std::vector<std::string>{kNoOutput} : std::vector<std::string>{});
    EXPECT_EQ(appEntries(), Names{kAxeConverter});
  }
}

TEST_F(AxeImport, AnUnreadableChoiceIsReportedBeforeAnythingIsCopied) {
  converter(kWritesLines);
  const std::string gone = docs.file("weg.axe");
  port.openAnswers.push_back(gone);
  FlatSpeedButton3Click(session);
  EXPECT_EQ(port.promptTexts(), std::vector<std::string>{"Datei " + gone +
                                                         " kann nicht ge\xF6"
                                                         "ffnet werden"});
  EXPECT_TRUE(port.processRequests.empty());
  EXPECT_EQ(appEntries(), Names{kAxeConverter});
}

TEST_F(AxeImport, WindowsProgramRunsThroughWine) {
  test::TempFolder bin;
  // A stand-in for wine that reports how it was called instead of running anything.
  test::writeBytes(bin.file("wine"), "#!/bin/sh\nprintf '%s\\r\\n' wine \"$@\" > \"$3\"\n");
  ::chmod(bin.file("wine").c_str(), 0755);
  test::writeBytes(app(kAxeConverter), std::string("MZ\x90\0\x03", 5));
  const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
  {
    PathGuard guard(bin.path() + ":" + path);
    importAxe();
  }
  EXPECT_TRUE(port.prompts.empty());
  EXPECT_EQ(session.doc.InputLines.lines(),
            (std::vector<std::string>{"wine", appNative + "/" + kAxeConverter,
                                      appNative + "/" + kAxeCopy, appNative + "/" + kAxeOutput}));
  EXPECT_EQ(port.processRequests.at(0).program, bin.file("wine"));

  // Without wine the user learns why the converter cannot run.
  port.clearRecords();
  test::TempFolder empty;
  {
    PathGuard guard(empty.path());
    importAxe();
  }
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text, kNotStarted + "\r" + session.AppDir + kAxeConverter +
                                      " ist ein Windows-Programm; zum Ausf\xFChren wird wine "
                                      "ben\xF6tigt, das nicht installiert ist.");
  EXPECT_TRUE(port.processRequests.empty());
  EXPECT_TRUE(port.openRequests.empty()) << "said before a file is chosen";
  EXPECT_EQ(appEntries(), Names{kAxeConverter});
}

// Checks one import in a program folder that cannot be written; 0 when all went as it should.
int importWithReadOnlyProgramFolder(const std::string& appDir, const std::string& axe) {
  ::setenv("TMPDIR", "/tmp", 1);
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  test::createLikeTheWindow(s);
  s.AppDir = appDir;
  port.openAnswers.push_back(axe);
  FlatSpeedButton3Click(s);
  const auto& l = s.doc.InputLines.lines();
  auto fail = [](const char* why) {
    std::cerr << why << "\n";
    return 1;
  };
  if (!port.prompts.empty()) return fail(port.prompts[0].text.c_str());
  if (l.size() != 4) return fail("not the converter's four lines");
  const std::string own = folderOf(l[0]);
  if (l[0] != own + kAxeCopy || l[1] != own + kAxeOutput) return fail("files not side by side");
  if (own == appDir || own.rfind("/tmp/", 0) != 0) return fail("not in a temporary folder");
  if (l[2] != "AXE") return fail("the copy was not the chosen file");
  if (l[3] + "/" != appDir) return fail("not run in the program folder");
  if (std::filesystem::exists(own)) return fail("the temporary folder stays");
  if (s.inputCaption() != "Autoroute Express Routendatei - Zeilen = 4") return fail("caption");
  return 0;
}

TEST(AxeImportReadOnly, WorkingFilesMoveToAPrivateFolder) {
  test::TempFolder root, docs;
  const std::string appDir = root.file("app");
  ASSERT_EQ(::mkdir(appDir.c_str(), 0755), 0);
  test::writeBytes(appDir + "/" + kAxeConverter,
                   "#!/bin/sh\nprintf '%s\\r\\n' \"$1\" \"$2\" > \"$2\"\ncat \"$1\" >> \"$2\"\n"
                   "pwd >> \"$2\"\n");
  ::chmod((appDir + "/" + kAxeConverter).c_str(), 0755);
  test::writeBytes(docs.file("t.axe"), "AXE\r\n");
  ::chmod(appDir.c_str(), 0555);  // binds the unprivileged child, whoever runs the test

  const int code = test::inChild(
      true, [&] { return importWithReadOnlyProgramFolder(appDir + "/", docs.file("t.axe")); });
  if (code == test::kCannotDropPrivileges) GTEST_SKIP() << "cannot run as an unprivileged user";
  EXPECT_EQ(code, 0);
  EXPECT_EQ(root.entries(), Names{"app"});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(appDir),
                          std::filesystem::directory_iterator()),
            1);
}

}  // namespace
}  // namespace kursolin
