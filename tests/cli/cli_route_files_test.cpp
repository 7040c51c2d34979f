// kursolin-cli with Top50 overlays, Tourenplaner routes and Falk output: the same files the
// window writes, the route settings from the settings file, and the real samples.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "core/lines.h"
#include "settings/settings.h"
#include "support/cli_runner.h"
#include "support/fake_port.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/loading.h"
#include "workflow/program.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::readBytes;
using test::TempFolder;

using Result = test::CliResult;

std::string bcrRoute(int stations) {
  std::string text =
      "[CLIENT]\r\nREQUEST=TRUE\r\nROUTENAME=x\r\nDESCRIPTIONLINES=0\r\n[COORDINATES]\r\n";
  for (int i = 1; i <= stations; ++i) {
    text += "STATION" + std::to_string(i) + "=" + std::to_string(1300000 + 1000 * i) + "," +
            std::to_string(6500000 - 700 * i) + "\r\n";
  }
  return text + "[DESCRIPTION]\r\n";
}

class CliRouteFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    input = folder.file("Elster Tour.BCR");
    test::writeBytes(input, bcrRoute(7));
    test::writeBytes(folder.file("Kursolin.Ini"),
                     "[Setup]\r\nAGC=1\r\nXRp=1\r\n[BCR]\r\nMP=3\r\nPIndex=6\r\nOptim=80\r\n"
                     "Nice=1\r\nRNHeader=KS-\r\n[Navi]\r\nMpFalk=2\r\nFalkFlags=1234\r\n");
  }
  void TearDown() override { ::unsetenv("SOURCE_DATE_EPOCH"); }
  Result run(std::vector<std::string> args) { return test::runCli(folder, std::move(args)); }
  /// The files the window writes for the loaded input in an output format, into `to`.
  void saveLikeTheWindow(int outputCode, const std::string& to) {
    test::ScriptedPort port;
    Session s(port, HostSettings::fromEnvironment());
    FormCreate(s, folder.dir());
    loadSettings(s);
    test::useInput(s, 6);
    ASSERT_TRUE(loadInputFile(s, input));
    test::useOutput(s, outputCode);
    ASSERT_EQ(RouteExecute(s), RouteResult::Completed);
    port.saveAnswers.push_back(to);
    SaveNaviExecute(s);
    ASSERT_TRUE(port.prompts.empty()) << port.prompts[0].text;
  }
  TempFolder folder, window, cli;
  std::string input;
};

TEST_F(CliRouteFiles, BcrPartsAreTheFilesOfTheWindow) {
  saveLikeTheWindow(5, window.file("Tour.BCR"));
  const Result r = run({"-i", "bcr", "-f", "bcr", "-o", cli.file("Tour.BCR"), input});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  const std::set<std::string> parts = {"Tour.BCR", "Tour_1.BCR", "Tour_2.BCR"};
  EXPECT_EQ(window.entries(), parts);
  EXPECT_EQ(cli.entries(), parts);
  for (const auto& p : parts) {
    EXPECT_EQ(readBytes(cli.file(p)), readBytes(window.file(p))) << p;
  }
  // The route settings of the settings file and the input's name.
  const auto first = splitLines(readBytes(cli.file("Tour.BCR")));
  EXPECT_EQ(first[2], "ROUTENAME=KS-Elster Tour");
  const auto third = splitLines(readBytes(cli.file("Tour_2.BCR")));
  EXPECT_EQ(third[2], "ROUTENAME=KS-Elster Tour__2");
  EXPECT_NE(std::find(third.begin(), third.end(), "PROFILE=Motorrad Tour"), third.end());
  EXPECT_NE(std::find(third.begin(), third.end(), "OPTIMIZATION=80"), third.end());
  EXPECT_NE(std::find(third.begin(), third.end(), "PREFERNICE=1"), third.end());
  EXPECT_NE(std::find(third.begin(), third.end(), "STATION1=KS-Rp,7,,0,"), third.end());
}

TEST_F(CliRouteFiles, FalkPartsAreTheFilesOfTheWindow) {
  saveLikeTheWindow(7, window.file("PreviousDestination.dat"));
  const Result r = run({"-i", "6", "-f", "7", "-o", cli.file("PreviousDestination.dat"), input});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(cli.entries().size(), 4u) << "7 points, 2 a file";
  for (const auto& p : window.entries()) {
    EXPECT_EQ(readBytes(cli.file(p)), readBytes(window.file(p))) << p;
  }
  EXPECT_EQ(readBytes(cli.file("PreviousDestination_3.dat")),
            "4\r\n1307000\r\n6495100\r\n7=STATION7\r\n\r\n")
      << "a file of one point gets the last flag over the first";
}

TEST_F(CliRouteFiles, RouteSettingsFromTheCommandLine) {
  const Result r = run({"-i", "bcr", "-f", "bcr", "--set", "BCR/MP=0", "--set", "BCR/Maut=1",
                        "--route-name", "Weiße Elster", "--description", "Tag 1", "--description",
                        "über Greiz", "-o", cli.file("E.BCR"), input});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(cli.entries(), std::set<std::string>{"E.BCR"}) << "a maximum of 0: one file";
  const auto lines = splitLines(readBytes(cli.file("E.BCR")));
  EXPECT_EQ(lines[2],
            "ROUTENAME=KS-Wei\xDF"
            "e Elster");
  EXPECT_EQ(lines[6], "DESCRIPTION3=Tag 1");
  EXPECT_EQ(lines[7],
            "DESCRIPTION4=\xFC"
            "ber Greiz");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "PREFERMAUT=1"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "STATION7=KS-Rp,7,,0,"), lines.end());
}

TEST_F(CliRouteFiles, BcrFilesNeedATargetFile) {
  const Result r = run({"-i", "bcr", "-f", "bcr", input});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("-o DATEI"), std::string::npos) << r.err;
  EXPECT_EQ(r.out, "");
  // Falk without a split is its lines, to standard output as well.
  const Result falk = run({"-i", "bcr", "-f", "falk", "--set", "Navi/MpFalk=0", input});
  ASSERT_EQ(falk.rc, cli::kWritten) << falk.err;
  EXPECT_EQ(falk.out.rfind("1\r\n1301000\r\n6499300\r\n1=STATION1\r\n\r\n", 0), 0u) << falk.out;
}

TEST_F(CliRouteFiles, AWrongNumberInABcrInputStopsTheConversion) {
  test::writeBytes(input,
                   "[CLIENT]\r\nREQUEST=TRUE\r\nROUTENAME=x\r\nDESCRIPTIONLINES=0\r\n"
                   "[COORDINATES]\r\nSTATION1=1,2\r\nSTATION2=3.5,4\r\n");
  const Result r = run({"-i", "bcr", "-f", "mn42", input});
  EXPECT_EQ(r.rc, cli::kStopped);
  EXPECT_NE(r.err.find("Zeile 2"), std::string::npos) << r.err;
}

// The real executable on the shared samples.
class CliSamples : public ::testing::Test {
 protected:
  static std::string sample(const char* name) {
    return std::string(KURSOLIN_SHARED_SAMPLES) + "/" + name;
  }
  void SetUp() override {
    struct stat st {};
    if (::stat(sample("route.bcr").c_str(), &st) != 0) GTEST_SKIP() << "shared samples not present";
  }
  // Every record a point.
  int exec(const std::string& args, std::string* out) {
    return test::execCli(KURSOLIN_CLI_EXE, folder, "--set Setup/AGC=1 --set Setup/XRp=1 " + args,
                         out);
  }
  TempFolder folder;
};

TEST_F(CliSamples, ConvertOrRefuseAsAUserWouldExpect) {
  std::string out;
  ASSERT_EQ(exec("-i bcr -f mn5 --set Navi/MN5ShowOrt=1 " + sample("route.bcr"), &out), 0);
  auto lines = splitLines(out);
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[0], "-|-|-|-|-|STATION1|-|-|-|-|-|12.105444|50.492622|-|-|-|-|");
  EXPECT_EQ(lines[8], "-|-|-|-|-|STATION9|-|-|-|-|-|12.409090|51.314600|-|-|-|-|");

  out.clear();
  ASSERT_EQ(exec("-i xml-stations -f falk " + sample("route-tef.xml"), &out), 0);
  lines = splitLines(out);
  ASSERT_EQ(lines.size(), 47u * 5);
  EXPECT_EQ(lines[3], "1=bei D 95030 Hof/Innenstadt ");
  EXPECT_EQ(lines[8], "2=bei D 95183 T\xF6pen ") << "UTF-8 of the file, cp1252 of ours";
  EXPECT_EQ(lines[5], "3") << "a via station";

  out.clear();
  ASSERT_EQ(exec("-i xml-all -f mn42 " + sample("route-tef.xml"), &out), 0);
  lines = splitLines(out);
  ASSERT_EQ(lines.size(), 262u);
  EXPECT_EQ(lines[0], "-|-|-|-|-|-|-|-|-|-|-|11.91293|50.32684|-|-|") << "decimal commas read";

  out.clear();
  ASSERT_EQ(exec("-i ovl -f mn42 " + sample("overlay.ovl"), &out), 0);
  lines = splitLines(out);
  ASSERT_EQ(lines.size(), 86u);
  EXPECT_EQ(lines[0], "-|-|-|-|-|-|-|-|-|-|-|10.65544|51.76587|-|-|") << "cut to 8 characters";

  out.clear();
  EXPECT_EQ(exec("-i ovl " + sample("overlay-binary.ovl"), &out), 2);
  EXPECT_EQ(exec("-i bcr " + sample("overlay.ovl"), &out), 2);
  EXPECT_EQ(out, "");
  EXPECT_NE(readBytes(folder.file("stderr.txt")).find("keine Tourenplaner BCR-Datei"),
            std::string::npos);
}

}  // namespace
}  // namespace kursolin
