// The batch converter, in-process and through the real executable.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

#include "cli/cli.h"
#include "formats/gpx.h"
#include "formats/registry.h"
#include "picture/picture.h"
#include "picture/raster.h"
#include "session/session.h"
#include "settings/settings.h"
#include "support/cli_runner.h"
#include "support/fake_port.h"
#include "support/gpx_writer.h"
#include "support/jet3_writer.h"
#include "support/nmea_writer.h"
#include "support/temp_folder.h"
#include "workflow/loading.h"
#include "workflow/program.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::TempFolder;

using test::CliResult;

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    test::TrackBuilder t(48.0, 11.0, 12 * 3600);
    t.add(t.current()).drive(0, 40, 300);  // 3.3 km north
    rmcLog = folder.file("fahrt.txt");
    test::writeBytes(rmcLog, test::joinCrLf(t.rmcLines()));
  }
  CliResult run(std::vector<std::string> args) { return test::runCli(folder, std::move(args)); }
  TempFolder folder;
  std::string rmcLog;
};

std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0, p;
  while ((p = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, p - start));
    start = p + 2;
  }
  EXPECT_EQ(start, text.size()) << "every line ends in CR LF";
  return lines;
}

TEST_F(Cli, ConvertsToStandardOutput) {
  const CliResult r = run({"-i", "rmc", "-f", "mn42", rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  const auto lines = crlfLines(r.out);
  ASSERT_EQ(lines.size(), 5u) << "start, three distance points, end";
  EXPECT_EQ(lines[0], "-|-|-|-|-|-|-|-|-|-|-|11.000000|48.000000|-|-|");
  EXPECT_EQ(r.err, "");
}

TEST_F(Cli, WithoutInputFormatEachFileIsFoundByItself) {
  // The settings store RMC; without -i the format of each file is found all the same.
  test::writeBytes(folder.file("Kursolin.Ini"), "[Pref]\r\nSourceNr=2\r\n");
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 300);
  std::vector<std::string> gga;
  for (const auto& f : t.fixes()) gga.push_back(test::ggaSentence(f));
  const std::string gn = folder.file("gn.nmea"), ggaOnly = folder.file("gga.log");
  test::writeBytes(gn, test::joinCrLf(test::withTalker(t.rmcLines(), "GN")));
  test::writeBytes(ggaOnly, test::joinCrLf(gga));
  for (const std::string& log : {gn, ggaOnly}) {
    const CliResult r = run({"-f", "mn42", log});
    EXPECT_EQ(r.rc, cli::kWritten) << log << ": " << r.err;
    EXPECT_EQ(r.out, run({"-f", "mn42", "-i", "auto", rmcLog}).out) << log;
  }
  const std::string unknown = folder.file("notiz.txt");
  test::writeBytes(unknown, "Einkaufsliste\r\nBrot\r\n");
  const CliResult r = run({"-f", "mn42", unknown});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("wurde nicht erkannt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("NEMA Log \"RMC\""), std::string::npos) << r.err;
  // An explicit format is read as before: this log has no RMC sentences.
  EXPECT_EQ(run({"-i", "rmc", "-f", "mn42", ggaOnly}).rc, cli::kUnusable);
}

TEST_F(Cli, NumericCodesAndNamesAreTheSame) {
  EXPECT_EQ(run({"-i", "2", "-f", "2", rmcLog}).out, run({"-i", "rmc", "-f", "mn5", rmcLog}).out);
}

TEST_F(Cli, OverridesChangeTheRules) {
  const CliResult r = run({"-i", "rmc", "--set", "Setup/AGC=1", "--set", "setup/xrp=100", rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(crlfLines(r.out).size(), 4u) << "lines 0, 100, 200 and the end point";
}

TEST_F(Cli, ExplainNamesTheRuleOfEveryPoint) {
  const std::string out = folder.file("r.rte");
  const CliResult r = run({"-i", "rmc", "-o", out, "--explain", rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_NE(r.out.find("Routenpunkt 1: Startpunkt"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Routenpunkt 2: Abstand"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Routenpunkt 5: Zielpunkt"), std::string::npos) << r.out;
}

TEST_F(Cli, WritesAFileAndSplitsLongRoutes) {
  const std::string target = folder.file("Tour.rte");
  CliResult r = run({"-i", "rmc", "-o", target, "--set", "Setup/AGC=1", "--set", "Setup/XRp=10",
               "--per-file", "10", rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  // 31 points: three files of ten and one of one.
  for (const char* name : {"Tour.rte", "Tour_1.rte", "Tour_2.rte", "Tour_3.rte"}) {
    EXPECT_TRUE(folder.entries().count(name)) << name;
  }
  EXPECT_EQ(crlfLines(test::readBytes(folder.file("Tour_1.rte"))).size(), 10u);
  EXPECT_EQ(crlfLines(test::readBytes(folder.file("Tour_3.rte"))).size(), 1u);
  // The settings maximum applies without --per-file.
  r = run({"-i", "rmc", "-o", folder.file("Ganz.rte"), "--set", "Setup/AGC=1", "--set",
           "Setup/XRp=10", rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(crlfLines(test::readBytes(folder.file("Ganz.rte"))).size(), 31u);
  EXPECT_FALSE(folder.entries().count("Kursolin.Ini")) << "the converter never writes settings";
}

TEST_F(Cli, GpxInAndOut) {
  // The same drive as a phone's GPX track gives the route of the receiver's log.
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 300);
  const std::string track = folder.file("fahrt.gpx");
  test::writeBytes(track, test::gpxTrack(t.fixes()));
  CliResult r = run({"-i", "gpx", "-f", "mn42", track});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(r.out, run({"-i", "rmc", "-f", "mn42", rmcLog}).out);
  EXPECT_EQ(run({"-i", "25", "-f", "mn42", track}).out, r.out);

  // To standard output the GPX file itself; to files, split by --per-file into whole files.
  r = run({"-i", "rmc", "-f", "gpx", rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  GpxLoad back = parseGpx(r.out, "stdout");
  ASSERT_TRUE(back.ok) << back.message;
  EXPECT_EQ(back.lines.size(), 5u);
  r = run({"-i", "gpx", "-f", "24", "-o", folder.file("Tour.gpx"), "--per-file", "2", track});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  std::size_t points = 0;
  for (const char* name : {"Tour.gpx", "Tour_1.gpx", "Tour_2.gpx"}) {
    back = parseGpx(test::readBytes(folder.file(name)), name);
    ASSERT_TRUE(back.ok) << name << ": " << back.message;
    points += back.lines.size();
  }
  EXPECT_EQ(points, 5u);

  // A file that is no GPX: the message names it, nothing is written.
  r = run({"-i", "gpx", "-f", "gpx", "-o", folder.file("nie.gpx"), rmcLog});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("fahrt.txt ist keine gültige XML Datei"), std::string::npos) << r.err;
  EXPECT_FALSE(folder.entries().count("nie.gpx"));
}

TEST_F(Cli, UsageErrors) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"--bogus", rmcLog}, {"-i", "xyz", rmcLog},
        {"-f", "99", rmcLog}, {"--set", "Setup/Nope=1", rmcLog}, {"--set", "DiM=1", rmcLog},
        {"--set", "Setup/DiM=viel", rmcLog}, {"--per-file", "-1", rmcLog}, {"a", "b"},
        {"-o"}, {"--decimal-separator", "ab", rmcLog}}) {
    const CliResult r = run(args);
    EXPECT_EQ(r.rc, cli::kUnusable) << ::testing::PrintToString(args);
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_F(Cli, FormatsThisVersionCannotHandleAreNamed) {
  // Every format has its reader and writer now; what is left is BCR to standard output.
  const CliResult r = run({"-i", "rmc", "-f", "bcr", rmcLog});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("Tourenplaner"), std::string::npos) << r.err;
}

TEST_F(Cli, UnusableInput) {
  CliResult r = run({"-i", "rmc", folder.file("fehlt.txt")});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("fehlt.txt"), std::string::npos);
  test::writeBytes(folder.file("gga.txt"), test::joinCrLf({test::ggaSentence(test::Fix{})}));
  r = run({"-i", "rmc", folder.file("gga.txt")});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("Keine verwertbaren RMC Datens\xC3\xA4tze erkannt"), std::string::npos)
      << "the German message in the terminal's UTF-8: " << r.err;
}

TEST_F(Cli, AFolderOrAMissingSettingsFileIsNamed) {
  CliResult r = run({"-i", "rmc", "-f", "csv", "-o", folder.file("x.csv"), folder.path()});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_EQ(r.err, "kursolin-cli: Fehler: Die Datei " + folder.path() +
                       " kann nicht gelesen werden: ist ein Verzeichnis\n");
  // A settings file named on purpose must be there; the defaults are no stand-in for it.
  r = run({"--ini", folder.file("fehlt.ini"), "-i", "rmc", rmcLog});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_EQ(r.err, "kursolin-cli: Die Einstellungsdatei " + folder.file("fehlt.ini") +
                       " gibt es nicht.\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(std::filesystem::exists(folder.file("x.csv")));
}

TEST_F(Cli, MessagesKeepTheTextAfterANulByte) {
  test::writeBytes(folder.file("nul.rte"),
                   std::string("-|-|-|-|-|-|-|-|-|-|-|7.1\0x|50.4|-|-|\r\n", 39) +
                       "-|-|-|-|-|-|-|-|-|-|-|7.2|50.5|-|-|\r\n");
  const CliResult r = run({"-i", "mn42-mn5", "-f", "mn42", folder.file("nul.rte")});
  EXPECT_EQ(r.rc, cli::kStopped);
  EXPECT_NE(r.err.find(std::string("Die Koordinate \"7.1\0x\" in Zeile 1 der Quelldatei ist keine "
                                   "Zahl", 63)),
            std::string::npos)
      << r.err;
}

TEST_F(Cli, ErrorPromptsFollowThePolicy) {
  auto lines = test::TrackBuilder(48, 11, 43200).add(test::Fix{}).drive(0, 40, 20).rmcLines();
  lines[10] = "$GPRMC,broken*00";
  const std::string log = folder.file("kaputt.txt");
  test::writeBytes(log, test::joinCrLf(lines));
  CliResult r = run({"-i", "rmc", "--set", "Debug/ShowError=1", log});
  EXPECT_EQ(r.rc, cli::kWritten) << "Ignore by default";
  EXPECT_NE(r.err.find("Ignorieren"), std::string::npos) << r.err;
  r = run({"-i", "rmc", "--set", "Debug/ShowError=1", "--strict", log});
  EXPECT_EQ(r.rc, cli::kStopped);
  EXPECT_EQ(r.out, "") << "nothing written after an Abort";
}

TEST_F(Cli, QuestionsAreAnsweredNoUnlessYes) {
  // Summer time mode with a log that was not made in summer: the offset question.
  ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
  struct timespec times[2] = {{1168000000, 0}, {1168000000, 0}};  // January 2007
  ASSERT_EQ(::utimensat(AT_FDCWD, rmcLog.c_str(), times, 0), 0);
  CliResult r = run({"-i", "rmc", "--set", "Pref/TimeArt=2", "--explain", rmcLog});
  EXPECT_NE(r.err.find("nicht zur Sommerzeit erstellt"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Startpunkt (-S:12:00:00)"), std::string::npos) << r.err;
  r = run({"-i", "rmc", "--set", "Pref/TimeArt=2", "--yes", "--explain", rmcLog});
  EXPECT_NE(r.err.find("Startpunkt (-S:14:00:00)"), std::string::npos) << r.err;
}

TEST_F(Cli, UnwritableTargetStopsTheConversion) {
  test::writeBytes(folder.file("datei"), "x");
  const CliResult r = run({"-i", "rmc", "-o", folder.file("datei") + "/route.rte", rmcLog});
  EXPECT_EQ(r.rc, cli::kStopped);
  EXPECT_NE(r.err.find("route.rte"), std::string::npos) << r.err;
}

TEST_F(Cli, MaxPointsReducesBeforeSplitting) {
  // A drive with a bend, so the points are not all on one line.
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 900).drive(60, 40, 600).drive(120, 40, 600);
  const std::string log = folder.file("kurven.txt");
  test::writeBytes(log, test::joinCrLf(t.rmcLines()));
  const CliResult full = run({"-i", "rmc", "-f", "mn42", log});
  ASSERT_EQ(full.rc, cli::kWritten) << full.err;
  const auto all = crlfLines(full.out);
  ASSERT_GT(all.size(), 6u);

  const CliResult r = run({"-i", "rmc", "-f", "mn42", "--max-points", "4", log});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  const auto kept = crlfLines(r.out);
  ASSERT_EQ(kept.size(), 4u);
  EXPECT_EQ(kept.front(), all.front());
  EXPECT_EQ(kept.back(), all.back());

  // Split after the reduction: four points at three a file are two files.
  const std::string out = folder.file("teil.rte");
  ASSERT_EQ(run({"-i", "rmc", "-f", "mn42", "--max-points", "4", "--per-file", "3", "-o", out, log})
                .rc,
            cli::kWritten);
  EXPECT_EQ(crlfLines(test::readBytes(out)).size() + crlfLines(test::readBytes(folder.file("teil_1.rte"))).size(), 4u);

  for (const char* bad : {"1", "x", "100001"}) {
    const CliResult b = run({"-i", "rmc", "--max-points", bad, log});
    EXPECT_EQ(b.rc, cli::kUnusable) << bad;
    EXPECT_NE(b.err.find("--max-points"), std::string::npos) << b.err;
  }
}

TEST_F(Cli, PictureIsAPngOfTheRoute) {
  const std::string png = folder.file("bild.png");
  const CliResult r = run({"-i", "rmc", "-f", "mn42", "--picture", png, rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  const auto picture = decodePng(test::readBytes(png));
  ASSERT_TRUE(picture) << "a valid PNG";
  EXPECT_EQ(picture->width, 1024);
  EXPECT_EQ(picture->height, 768);
  // The drive goes north: its green start lies below its red end, and paper fills the rest.
  long long startY = 0, startN = 0, endY = 0, endN = 0, paper = 0;
  for (int y = 0; y < picture->height; ++y) {
    for (int x = 0; x < 900; ++x) {  // left of the legend
      const Rgba c = picture->at(x, y);
      if (c == PictureColours::start) startY += y, ++startN;
      if (c == PictureColours::end) endY += y, ++endN;
      if (c == PictureColours::background) ++paper;
    }
  }
  ASSERT_GT(startN, 20);
  ASSERT_GT(endN, 20);
  EXPECT_GT(startY / startN, endY / endN + 300);
  EXPECT_GT(paper, 900LL * 768 / 2);

  // An unwritable picture stops the conversion with a message and leaves no file behind.
  const std::string nowhere = folder.file("fehlt/bild.png");
  const CliResult bad = run({"-i", "rmc", "--picture", nowhere, rmcLog});
  EXPECT_EQ(bad.rc, cli::kStopped);
  EXPECT_NE(bad.err.find("kann nicht geschrieben werden"), std::string::npos) << bad.err;
  EXPECT_EQ(folder.entries().count("fehlt"), 0u);
}

TEST_F(Cli, SettingsFileIsReadFromTheProgramFolderOrGivenOne) {
  test::writeBytes(folder.file("Kursolin.Ini"), "[Pref]\r\nSourceNr=2\r\n[Navi]\r\nSys=0\r\n");
  CliResult r = run({rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(crlfLines(r.out)[0], "-|-|-|-|-|-|-|-|-|-|11.000000|48.000000|-|") << "MN|4 from Sys=0";
  test::writeBytes(folder.file("other.ini"), "[Pref]\r\nSourceNr=2\r\n[Navi]\r\nSys=6\r\n");
  r = run({"--ini", folder.file("other.ini"), rmcLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(r.out.substr(0, 5), "Zeit;");
}

/// n ITN lines of another program: names and flags of its own.
std::string itnFile(int n) {
  std::vector<std::string> lines;
  for (int i = 1; i <= n; ++i) {
    lines.push_back(std::to_string(1100000 + i) + "|" + std::to_string(4850000 + 10 * i) +
                    "|Ort|0|");
  }
  return test::joinCrLf(lines);
}

const std::vector<std::string> kEveryPoint = {"--set", "Setup/AGC=1", "--set", "Setup/XRp=1"};

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// A value that is no number of the notation leaves its record out of the route, never at 0/0;
// the run says how many records it left out and still succeeds.
TEST_F(Cli, SkippedRecordsAreCountedOnStandardError) {
  const std::string txt = folder.file("punkte.txt");
  test::writeBytes(txt,
                   "6525021\t1346270\r\n6000000,5\t780000\r\n6525100\t1346300\r\n"
                   "6525200\t1346400\r\n");
  CliResult r = run(with(kEveryPoint, {"-i", "txt-mercator", "-f", "txt-deg", txt}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(crlfLines(r.out).size(), 3u) << r.out;
  EXPECT_EQ(r.out.find("0.000000"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "kursolin-cli: 1 Datensatz mit ung\u00fcltigen Koordinaten \u00fcbersprungen\n");

  std::filesystem::create_directory(folder.file("aus"));
  r = run(with(kEveryPoint,
               {"-i", "txt-mercator", "-f", "txt-deg", "--output-dir", folder.file("aus"), txt}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(r.err, "kursolin-cli: " + txt +
                       ": 1 Datensatz mit ung\u00fcltigen Koordinaten \u00fcbersprungen\n");
}

TEST_F(Cli, TomTomAndTextFormatsByNameAndCode) {
  const std::string itn = folder.file("tour.itn");
  test::writeBytes(itn, itnFile(3));
  CliResult r = run(with(kEveryPoint, {"-i", "itn", "-f", "txt-deg", itn}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(r.out, "48.50010\t11.00001\r\n48.50020\t11.00002\r\n48.50030\t11.00003\r\n");
  EXPECT_EQ(run(with(kEveryPoint, {"-i", "10", "-f", "22", itn})).out, r.out);

  const std::string txt = folder.file("punkte.txt");
  test::writeBytes(txt, r.out);
  r = run(with(kEveryPoint, {"-i", "txt-deg", "-f", "itn", txt}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(r.out,
            "1100001|4850010|KS-Rp 1|4|\r\n1100002|4850020|KS-Rp 2|1|\r\n"
            "1100003|4850030|KS-Rp 3|3|\r\n");
  EXPECT_EQ(run(with(kEveryPoint, {"-i", "22", "-f", "3", txt})).out, r.out);

  r = run(with(kEveryPoint, {"-i", "itn", "-f", "autoroute", itn}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(crlfLines(r.out).at(2), "3 | Time: 00:00:00;Speed: 0.00; H\xF6he :0;48,50030;11,00003");
}

TEST_F(Cli, LatitudeFirstSampleIsRefusedWithTheTomTomMessage) {
  const std::string sample = std::string(KURSOLIN_SHARED_SAMPLES) + "/route-lat-first.itn";
  if (test::readBytes(sample).empty()) GTEST_SKIP() << "shared samples not present";
  const CliResult r = run({"-i", "itn", sample});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("Keine verwertbaren Informationen erkannt oder keine TomTom Routendatei"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.out, "");
}

TEST_F(Cli, CoordinateThatIsNoNumberStopsTheConversion) {
  const std::string itn = folder.file("kaputt.itn");
  test::writeBytes(itn, "1100001|4850010|a|0|\r\n1100002|48.5|b|0|\r\n1100003|4850030|c|0|\r\n");
  const CliResult r =
      run(with(kEveryPoint, {"-i", "itn", "-f", "itn", "-o", folder.file("t.itn"), itn}));
  EXPECT_EQ(r.rc, cli::kStopped);
  EXPECT_NE(r.err.find("Der aktuelle Routenpunkt 2\n\n1100002|48.5|b|0|\n\nenth\xC3\xA4lt die "
                       "Koordinate \"48.5\", die keine Zahl ist !"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(folder.entries().count("t.itn"));
}

TEST_F(Cli, SplitTomTomRouteIsWrittenAsTheWindowWritesIt) {
  const std::string itn = folder.file("lang.itn");
  test::writeBytes(itn, itnFile(47));
  TempFolder cli;
  const CliResult r =
      run(with(kEveryPoint, {"-i", "itn", "-f", "itn", "-o", cli.file("Tour.itn"), itn}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;

  // The window: the same file, route and settings, saved through the split dialog.
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  FormCreate(s, folder.dir());
  loadSettings(s);
  s.opt.InputFormat = 10;
  s.opt.OutputFormat = 3;
  applyStartFormats(s);
  ASSERT_TRUE(loadInputFile(s, itn));
  s.opt.rules.AllGGACheck = true;
  s.opt.rules.XRPSpin = 1;
  RouteExecute(s);
  TempFolder window;
  port.saveAnswers.push_back(window.file("Tour.itn"));
  SaveNaviExecute(s);
  ASSERT_EQ(port.splitDialogs, 1);

  const std::set<std::string> parts = {"Tour.itn", "Tour_1.itn", "Tour_2.itn", "Tour_3.itn"};
  EXPECT_EQ(cli.entries(), parts);
  EXPECT_EQ(window.entries(), parts);
  for (const auto& name : parts) {
    EXPECT_EQ(test::readBytes(cli.file(name)), test::readBytes(window.file(name))) << name;
  }
  const auto last = crlfLines(test::readBytes(cli.file("Tour_3.itn")));
  EXPECT_EQ(last, (std::vector<std::string>{"1100046|4850460|KS-Rp 46|4|",
                                            "1100047|4850470|KS-Rp 47|3|"}));
}

TEST_F(Cli, PerFileZeroWritesOneFile) {
  const std::string itn = folder.file("lang.itn");
  test::writeBytes(itn, itnFile(47));
  const CliResult r = run(with(
      kEveryPoint, {"-i", "itn", "-f", "itn", "--per-file", "0", "-o", folder.file("T.itn"), itn}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  const auto lines = crlfLines(test::readBytes(folder.file("T.itn")));
  ASSERT_EQ(lines.size(), 47u);
  EXPECT_EQ(lines.front(), "1100001|4850010|KS-Rp 1|4|");
  EXPECT_EQ(lines[1], "1100002|4850020|KS-Rp 2|1|");
  EXPECT_EQ(lines.back(), "1100047|4850470|KS-Rp 47|3|");
  EXPECT_FALSE(folder.entries().count("T_1.itn"));
}

TEST_F(Cli, ReverseTurnsTheRouteBeforeItIsWrittenAndSplit) {
  const std::string itn = folder.file("tour.itn");
  test::writeBytes(itn, itnFile(3));
  CliResult r = run(with(kEveryPoint, {"-i", "itn", "-f", "itn", "--reverse", itn}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(r.out,
            "1100003|4850030|KS-Rp 3|4|\r\n1100002|4850020|KS-Rp 2|1|\r\n"
            "1100001|4850010|KS-Rp 1|3|\r\n");
  r = run(with(kEveryPoint, {"-i", "itn", "-f", "txt-deg", "--reverse", itn}));
  EXPECT_EQ(r.out, "48.50030\t11.00003\r\n48.50020\t11.00002\r\n48.50010\t11.00001\r\n");

  // Split after the reversal: the first part starts at the old destination.
  test::writeBytes(itn, itnFile(20));
  r = run(with(kEveryPoint, {"-i", "itn", "-f", "itn", "--reverse", "--per-file", "15", "-o",
                             folder.file("R.itn"), itn}));
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  const auto first = crlfLines(test::readBytes(folder.file("R.itn")));
  ASSERT_EQ(first.size(), 15u);
  EXPECT_EQ(first.front(), "1100020|4850200|KS-Rp 20|4|");
  EXPECT_EQ(first.back(), "1100006|4850060|KS-Rp 6|3|");
  EXPECT_EQ(crlfLines(test::readBytes(folder.file("R_1.itn"))),
            (std::vector<std::string>{"1100005|4850050|KS-Rp 5|4|", "1100004|4850040|KS-Rp 4|1|",
                                      "1100003|4850030|KS-Rp 3|1|", "1100002|4850020|KS-Rp 2|1|",
                                      "1100001|4850010|KS-Rp 1|3|"}));
}

TEST_F(Cli, ReverseIsRefusedForTheTableAndFalkAsInTheWindow) {
  const std::pair<const char*, const char*> cases[] = {
      {"csv", "Routen in Tabellenform k\xC3\xB6nnen nicht umgekehrt werden !"},
      {"falk", "Routen im Falk PreviosDestination Format k\xC3\xB6nnen nicht umgekehrt werden !"},
  };
  for (const auto& [format, refusal] : cases) {
    SCOPED_TRACE(format);
    if (!outputFormatAvailable(outputFormatNamed(format)->code)) continue;  // not written yet
    const CliResult r =
        run({"-i", "rmc", "-f", format, "--reverse", "-o", folder.file("r.out"), rmcLog});
    EXPECT_EQ(r.rc, cli::kStopped);
    EXPECT_NE(r.err.find(refusal), std::string::npos) << r.err;
    EXPECT_FALSE(folder.entries().count("r.out"));
  }
}

TEST_F(Cli, DecimalSeparatorAppliesToTheSettingsFileAndTheOverrides) {
  // A stop at 2 km/h counts only when StopSpeed is read as 3; unread, it stays at 1.
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.drive(0, 40, 120, 2).stand(300, 2, 5).drive(90, 40, 120, 2);
  const std::string log = folder.file("pause.txt");
  test::writeBytes(log, test::joinCrLf(t.rmcLines()));
  const std::vector<std::string> onlyStops = {"--set", "Setup/DiC=0",  "--set", "Setup/RwC=0",
                                              "--set", "Setup/SecC=0", "--set", "Setup/StopC=1"};
  struct Case {
    const char* sep;
    const char* inFile;    // StopSpeed in Kursolin.Ini
    const char* override;  // or given by --set
    bool stop;
  } cases[] = {
      {",", "3,0", nullptr, true},  {".", "3.0", nullptr, true}, {",", "3.0", nullptr, false},
      {".", "3,0", nullptr, false}, {",", nullptr, "3,5", true}, {".", nullptr, "3.5", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.sep) + " " + (c.inFile ? c.inFile : c.override));
    test::writeBytes(folder.file("Kursolin.Ini"),
                     c.inFile ? std::string("[Pref]\r\nStopSpeed=") + c.inFile + "\r\n" : "");
    std::vector<std::string> args = {"-i", "rmc", "--explain", "--decimal-separator", c.sep};
    args.insert(args.end(), onlyStops.begin(), onlyStops.end());
    if (c.override) args.insert(args.end(), {"--set", std::string("Pref/StopSpeed=") + c.override});
    args.push_back(log);
    const CliResult r = run(args);
    ASSERT_EQ(r.rc, cli::kWritten) << r.err;
    EXPECT_EQ(r.err.find("Stopp") != std::string::npos, c.stop) << r.err;
    EXPECT_EQ(crlfLines(r.out).size(), c.stop ? 3u : 2u) << "start, (stop,) end";
  }
}

TEST_F(Cli, ReadsTouratechDatabases) {
  test::JetTable track = test::touratechTrack();
  // 3.3 km north at 10 km/h: a point every 1000 m by the default rules.
  for (int i = 0; i < 31; ++i) track.rows.push_back({i + 1, (48000 + i) / 1000.0, 11.0, 10.0, 0.0});
  const std::string db = folder.file("Tour.qu3");
  test::writeJet3(db, {track});
  const CliResult r = run({"-i", "qv3", "-f", "mn42", db});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(crlfLines(r.out),
            (std::vector<std::string>{"-|-|-|-|-|-|-|-|-|-|-|11.000000|48.000000|-|-|",
                                      "-|-|-|-|-|-|-|-|-|-|-|11.000000|48.009000|-|-|",
                                      "-|-|-|-|-|-|-|-|-|-|-|11.000000|48.018000|-|-|",
                                      "-|-|-|-|-|-|-|-|-|-|-|11.000000|48.027000|-|-|",
                                      "-|-|-|-|-|-|-|-|-|-|-|11.000000|48.030000|-|-|"}));
  EXPECT_EQ(r.err, "");

  const std::string text = folder.file("Notiz.qu3");
  test::writeBytes(text, "lat;lon\r\n");
  const CliResult bad = run({"-i", "24", text});
  EXPECT_EQ(bad.rc, cli::kUnusable);
  EXPECT_NE(bad.err.find("Die Datei ist keine Access-Datenbank."), std::string::npos) << bad.err;
  EXPECT_EQ(bad.out, "");
}

TEST(CliHelp, ListsEveryOptionAndFormat) {
  std::ostringstream out, err;
  EXPECT_EQ(cli::run({"--help"}, out, err, "/tmp/"), cli::kWritten);
  const std::string h = out.str();
  for (const char* word : {"--input-format",
                           "--output-format",
                           "-o",
                           "--per-file",
                           "--set",
                           "--decimal-separator",
                           "--ini",
                           "--appdir",
                           "--strict",
                           "--yes",
                           "--explain",
                           "--reverse",
                           "gga-vtg",
                           "mn42-mn5",
                           "qv3",
                           "txt-mercator",
                           "autoroute",
                           "falk",
                           "25  gpx",
                           "24  gpx",
                           "Rückgabewert"}) {
    EXPECT_NE(h.find(word), std::string::npos) << word;
  }
}

// One- and two-digit codes line up: codes end, names and captions start in one column each.
TEST(CliHelp, FormatListsLineUp) {
  std::ostringstream out, err;
  ASSERT_EQ(cli::run({"--help"}, out, err, "/tmp/"), cli::kWritten);
  std::istringstream text(out.str());
  std::string line;
  for (const char* section : {"Eingabeformate:", "Ausgabeformate:"}) {
    while (std::getline(text, line) && line != section) {
    }
    std::set<std::size_t> codeEnds, names, captions;
    std::set<std::size_t> digits;
    while (std::getline(text, line) && !line.empty()) {
      const std::size_t code = line.find_first_not_of(' ');
      const std::size_t codeEnd = line.find(' ', code);
      const std::size_t name = line.find_first_not_of(' ', codeEnd);
      const std::size_t caption = line.find_first_not_of(' ', line.find(' ', name));
      codeEnds.insert(codeEnd);
      names.insert(name);
      captions.insert(caption);
      digits.insert(codeEnd - code);
    }
    SCOPED_TRACE(section);
    EXPECT_EQ(digits, (std::set<std::size_t>{1, 2}));
    EXPECT_EQ(codeEnds.size(), 1u);
    EXPECT_EQ(names.size(), 1u);
    EXPECT_EQ(captions.size(), 1u);
  }
}

// The real executable on the shared samples.
class CliExecutable : public ::testing::Test {
 protected:
  static std::string sample(const char* name) {
    return std::string(KURSOLIN_SHARED_SAMPLES) + "/" + name;
  }
  void SetUp() override {
    struct stat st {};
    if (::stat(sample("track-gga-rmc-vtg.nmea").c_str(), &st) != 0)
      GTEST_SKIP() << "shared samples not present";
  }
  int exec(const std::string& args, std::string* out) {
    return test::execCli(KURSOLIN_CLI_EXE, folder, args, out);
  }
  TempFolder folder;
};

TEST_F(CliExecutable, ConvertsTheSampleLogs) {
  std::string out;
  ASSERT_EQ(exec("-i rmc -f mn42 --set Setup/DiC=0 --set Setup/RwC=0 --set Setup/StopC=0 "
                 "--set Setup/SecC=1 --set Setup/Sek=60 --set Setup/MinDist=0 " +
                     sample("track-gga-rmc-vtg.nmea"),
                 &out),
            0);
  EXPECT_EQ(out,
            "-|-|-|-|-|-|-|-|-|-|-|-88.121722|42.530485|-|-|\r\n"
            "-|-|-|-|-|-|-|-|-|-|-|-88.121722|42.530513|-|-|\r\n"
            "-|-|-|-|-|-|-|-|-|-|-|-88.121762|42.530502|-|-|\r\n"
            "-|-|-|-|-|-|-|-|-|-|-|-88.121758|42.530517|-|-|\r\n");
  out.clear();
  EXPECT_EQ(exec("-i mn42-mn5 -f mn4 --set Navi/MN4ShowOrt=1 " + sample("route-15fields.rte"), &out), 0);
  EXPECT_EQ(out.substr(0, out.find("\r\n")),
            "-|-|-|08523|Plauen|08523|Jahnstrasse|28|-|-|12.10727|50.49425|-|");
}

TEST_F(CliExecutable, ExitCodesForRefusedFilesAndBadUsage) {
  std::string out;
  EXPECT_EQ(exec("-i gga-vtg " + sample("waypoints-only.nmea"), &out), 2);
  EXPECT_EQ(exec("-i itn " + sample("route-lat-first.itn"), &out), 2);
  EXPECT_EQ(exec("-i mn4 " + sample("route-15fields.rte"), &out), 2) << "15 fields are no MN|4 file";
  EXPECT_EQ(exec("--nonsense", &out), 2);
  EXPECT_EQ(out, "");
}

}  // namespace
}  // namespace kursolin
