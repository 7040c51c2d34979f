// The batch converter over many files (--output-dir) and over standard input ("-").
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli.h"
#include "support/cli_runner.h"
#include "support/nmea_writer.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::TempFolder;

using Outcome = test::CliResult;

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

std::size_t crlfLineCount(const std::string& text) {
  std::size_t n = 0;
  for (std::size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2)) ++n;
  return n;
}

class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder.file("aus"));
    // Every tenth record a point: a drive of 300 s gives 31 points, one of 50 s gives 6.
    longLog = write("lang.nmea", test::TrackBuilder(48.0, 11.0, 12 * 3600).drive(0, 40, 300));
    shortLog = write("kurz.nmea", test::TrackBuilder(48.1, 11.1, 13 * 3600).drive(90, 40, 50));
    test::writeBytes(folder.file("gga.txt"), test::joinCrLf({test::ggaSentence(test::Fix{})}));
    auto broken = test::TrackBuilder(48, 11, 43200).drive(0, 40, 30).rmcLines();
    broken[10] = "$GPRMC,broken*00";
    test::writeBytes(folder.file("kaputt.nmea"), test::joinCrLf(broken));
  }
  std::string write(const std::string& name, test::TrackBuilder& t) {
    test::writeBytes(folder.file(name), test::joinCrLf(t.rmcLines()));
    return folder.file(name);
  }

  Outcome run(std::vector<std::string> args, const std::string& stdinText = "") {
    args.insert(args.begin(), {"-i", "rmc", "-f", "mn5", "--set", "Setup/AGC=1", "--set",
                               "Setup/XRp=10", "--set", "Debug/ShowError=1"});
    std::istringstream in(stdinText);
    return test::runCli(folder, std::move(args), &in);
  }
  std::string aus(const std::string& name) const { return folder.file("aus/" + name); }
  std::set<std::string> written() const {
    std::set<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(folder.file("aus"))) {
      names.insert(e.path().filename().string());
    }
    return names;
  }

  TempFolder folder;
  std::string longLog, shortLog;
};

TEST_F(Batch, ThreeFilesOneRefused) {
  const Outcome r = run({"--per-file", "10", "--output-dir", folder.file("aus"), shortLog, longLog,
                         folder.file("gga.txt")});
  EXPECT_EQ(r.rc, cli::kUnusable) << "the worst of written, written and refused";
  const std::vector<std::string> expected = {
      shortLog + ": 6 Routenpunkte, 1 Datei geschrieben: " + aus("kurz.rte"),
      longLog + ": 31 Routenpunkte, 4 Dateien geschrieben: " + aus("lang.rte") + ", " +
          aus("lang_1.rte") + ", " + aus("lang_2.rte") + ", " + aus("lang_3.rte"),
      folder.file("gga.txt") +
          ": nicht umgewandelt: Keine verwertbaren RMC Datens\xC3\xA4tze erkannt oder keine "
          "NEMA-Datei",
  };
  EXPECT_EQ(linesOf(r.out), expected);
  EXPECT_EQ(written(), (std::set<std::string>{"kurz.rte", "lang.rte", "lang_1.rte", "lang_2.rte",
                                              "lang_3.rte"}));
  EXPECT_EQ(crlfLineCount(test::readBytes(aus("kurz.rte"))), 6u);
  EXPECT_EQ(crlfLineCount(test::readBytes(aus("lang_3.rte"))), 1u);
  // The refusal is also told as the window would tell it, on standard error.
  EXPECT_NE(r.err.find("Fehler: Keine verwertbaren RMC"), std::string::npos) << r.err;
}

TEST_F(Batch, EachFileIsConvertedAsOnItsOwn) {
  // The long log first: its split plan and route must not shape the short one after it.
  Outcome r = run({"--per-file", "10", "--output-dir", folder.file("aus"), longLog, shortLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  const std::string together = test::readBytes(aus("kurz.rte"));
  r = run({"-o", folder.file("allein.rte"), shortLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(together, test::readBytes(folder.file("allein.rte")));
}

// Every file gets the reduction, as if converted on its own; one picture cannot show many routes,
// so that combination is refused before anything is read.
TEST_F(Batch, MaxPointsReducesEveryFileAndPictureIsRefused) {
  Outcome r = run({"--max-points", "5", "--output-dir", folder.file("aus"), longLog, shortLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(crlfLineCount(test::readBytes(aus("lang.rte"))), 5u);
  EXPECT_EQ(crlfLineCount(test::readBytes(aus("kurz.rte"))), 5u);
  r = run({"--max-points", "5", "-o", folder.file("allein.rte"), longLog});
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(test::readBytes(aus("lang.rte")), test::readBytes(folder.file("allein.rte")));

  r = run({"--picture", folder.file("bild.png"), "--output-dir", folder.file("aus"), shortLog});
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("--picture und --output-dir"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(folder.file("bild.png")));
}

struct StatusCase {
  const char* name;
  std::vector<const char*> inputs;
  int status;
  friend std::ostream& operator<<(std::ostream& o, const StatusCase& c) { return o << c.name; }
};

class BatchStatus : public Batch, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(BatchStatus, IsTheWorstOfItsFiles) {
  std::vector<std::string> args = {"--strict", "--output-dir", folder.file("aus")};
  for (const char* name : GetParam().inputs) args.push_back(folder.file(name));
  const Outcome r = run(args);
  EXPECT_EQ(r.rc, GetParam().status) << r.out << r.err;
  EXPECT_EQ(linesOf(r.out).size(), GetParam().inputs.size()) << "one line per file: " << r.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchStatus,
    ::testing::Values(StatusCase{"AllWritten", {"kurz.nmea", "lang.nmea"}, cli::kWritten},
                      StatusCase{"OneStopped", {"kurz.nmea", "kaputt.nmea"}, cli::kStopped},
                      StatusCase{"StoppedAndRefused", {"gga.txt", "kaputt.nmea"}, cli::kUnusable},
                      StatusCase{"MissingFile", {"fehlt.nmea", "kurz.nmea"}, cli::kUnusable}),
    [](const ::testing::TestParamInfo<StatusCase>& info) { return info.param.name; });

TEST_F(Batch, AStoppedFileSaysWhyAndWritesNothing) {
  const Outcome r =
      run({"--strict", "--output-dir", folder.file("aus"), folder.file("kaputt.nmea")});
  EXPECT_EQ(r.rc, cli::kStopped);
  const auto lines = linesOf(r.out);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(folder.file("kaputt.nmea") + ": abgebrochen, nichts geschrieben: ", 0),
            0u)
      << lines[0];
  EXPECT_NE(lines[0].find("$GPRMC,broken*00"), std::string::npos) << "names the record";
  EXPECT_TRUE(written().empty());
}

TEST_F(Batch, AFileOfTheSameNameIsNotReplaced) {
  std::filesystem::create_directory(folder.file("b"));
  const std::string other = write("b/kurz.nmea", test::TrackBuilder(50.0, 8.0, 0).drive(0, 40, 50));
  const Outcome r = run({"--output-dir", folder.file("aus"), shortLog, other});
  EXPECT_EQ(r.rc, cli::kUnusable);
  const auto lines = linesOf(r.out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], other + ": nicht umgewandelt: " + aus("kurz.rte") +
                          " wurde in diesem Lauf schon geschrieben");
  Outcome alone = run({shortLog});
  EXPECT_EQ(test::readBytes(aus("kurz.rte")), alone.out) << "the first file's route stays";
}

TEST_F(Batch, StandardInput) {
  const std::string log = test::readBytes(shortLog);
  // To standard output, as a file would be.
  Outcome fromFile = run({shortLog});
  Outcome fromStdin = run({"-"}, log);
  ASSERT_EQ(fromStdin.rc, cli::kWritten) << fromStdin.err;
  EXPECT_EQ(fromStdin.out, fromFile.out);
  // Into the folder under the name "stdin".
  Outcome r = run({"--output-dir", folder.file("aus"), "-"}, log);
  ASSERT_EQ(r.rc, cli::kWritten) << r.err;
  EXPECT_EQ(linesOf(r.out), std::vector<std::string>{"-: 6 Routenpunkte, 1 Datei geschrieben: " +
                                                     aus("stdin.rte")});
  EXPECT_EQ(test::readBytes(aus("stdin.rte")), fromFile.out);
  // Nothing on standard input is refused as an empty file would be.
  r = run({"-"}, "");
  EXPECT_EQ(r.rc, cli::kUnusable);
  EXPECT_NE(r.err.find("Keine verwertbaren RMC"), std::string::npos) << r.err;
}

TEST_F(Batch, WrongCalls) {
  const std::string dir = folder.file("aus");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--output-dir", dir, "-o", folder.file("x.rte"), shortLog},
        {"--output-dir", folder.file("gibtsnicht"), shortLog},
        {"--output-dir", shortLog, longLog},
        {"--output-dir", dir, "-", "-"},
        {shortLog, longLog},
        {"--output-dir", dir}}) {
    const Outcome r = run(args);
    EXPECT_EQ(r.rc, cli::kUnusable) << ::testing::PrintToString(args);
    EXPECT_EQ(r.out, "");
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_TRUE(written().empty());
}

}  // namespace
}  // namespace kursolin
