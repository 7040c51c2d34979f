// "Automatisch erkennen": the format of a file found from its content, and from its extension
// where two formats accept it; loading with the format found; the message for unknown files.
#include <gtest/gtest.h>

#include <set>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "formats/detection.h"
#include "formats/registry.h"
#include "settings/settings.h"
#include "support/fake_port.h"
#include "support/jet3_writer.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/loading.h"
#include "workflow/menu_state.h"
#include "workflow/presentation.h"
#include "workflow/program.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

using test::readBytes;
using Lines = std::vector<std::string>;

// A short drive as the sentences of a log, per fix the kinds asked for.
std::string log(bool gga, bool vtg, bool rmc) {
  test::TrackBuilder t(48.1, 11.5, 9 * 3600);
  t.add(t.current()).drive(90, 40, 60, 5);
  Lines lines;
  for (const auto& f : t.fixes()) {
    if (gga) lines.push_back(test::ggaSentence(f));
    if (rmc) lines.push_back(test::rmcSentence(f));
    if (vtg) lines.push_back(test::vtgSentence(f));
  }
  return test::crlf(lines);
}

std::string tourenXml() {
  return "<?xml version=\"1.0\"?>\r\n<TEF><WaypointList>\r\n"
         "<Item ViaStation=\"true\"><Point x=\"11.5\" y=\"48.1\"/></Item>\r\n"
         "<Item><Point x=\"11.6\" y=\"48.2\"/></Item>\r\n</WaypointList></TEF>\r\n";
}

// One file of every format, as its own programs write it.
struct Example {
  std::string name;
  std::string bytes;
  int code;
};

std::vector<Example> examples() {
  const auto data = [](const char* format, const char* name) {
    return readBytes(test::formatData(format, name));
  };
  return {
      {"log.nmea", log(true, true, false), 1},
      {"gga.log", log(true, false, false), 1},
      {"rmc.txt", log(false, false, true), 2},
      {"fahrt.txt", log(true, false, true), 2},
      {"overlay.ovl", "[Symbol 1]\r\nTyp=3\r\nXKoord0=11.5\r\nYKoord0=48.1\r\n", 3},
      {"tour.tef", tourenXml(), 5},
      {"Tour.BCR", data("bcr", "Tour.BCR"), 6},
      {"Alpen.BCR", data("bcr", "Alpen.BCR"), 6},
      {"mn4.rte", "-|-|-|-|-|-|-|-|-|11.5|48.1|-|-|\r\n", 8},
      {"track_mn42.rte", data("navigon", "track_mn42.rte"), 9},
      {"orte_mn5_in.rte", data("navigon", "orte_mn5_in.rte"), 9},
      {"track.itn", data("tomtom", "track.itn"), 10},
      {"Tour.itn", data("tomtom/split", "Tour.itn"), 10},
      {"track_gms_point_host.txt", data("coordtext", "track_gms_point_host.txt"), 20},
      {"track_gms_comma_host.txt", data("coordtext", "track_gms_comma_host.txt"), 20},
      {"track_gm.txt", data("coordtext", "track_gm.txt"), 21},
      {"track_dg.txt", data("coordtext", "track_dg.txt"), 22},
      {"track_mercator.txt", data("coordtext", "track_mercator.txt"), 23},
      {"tour.qu3", test::jet3Database({test::touratechTrack()}), 24},
      {"route.gpx", data("gpx", "route.gpx"), 25},
  };
}

class Detection : public ::testing::Test {
 protected:
  void SetUp() override { test::createLikeTheWindow(s); }
  // The formats whose content test accepts the file, and the one detection picks.
  std::vector<int> accepting(const std::string& name, const std::string& bytes) {
    TextLines lines;
    lines.setText(decodeTextFile(bytes));
    std::vector<int> codes;
    for (const auto* f : formatsAccepting(s, {bytes, lines, fileExtension(name)})) {
      codes.push_back(f->code);
    }
    return codes;
  }
  int detected(const std::string& name, const std::string& bytes) {
    TextLines lines;
    lines.setText(decodeTextFile(bytes));
    const InputFormatInfo* f = detectInputFormat(s, {bytes, lines, fileExtension(name)});
    return f ? f->code : -1;
  }
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
};

TEST_F(Detection, EveryFormatIsFoundAndOnlyDocumentedPairsShareAFile) {
  // Pairs of formats that both accept a file, and the one that wins: a log of GGA, VTG and RMC
  // is read as GGA + VTG, a Tourenplaner file with all its coordinates, decimal degrees near the
  // equator as decimal degrees.
  const std::set<std::vector<int>> documented = {{1, 2}, {5, 4}, {22, 21}};
  std::set<int> found;
  for (const auto& e : examples()) {
    ASSERT_FALSE(e.bytes.empty()) << e.name;
    EXPECT_EQ(detected(e.name, e.bytes), e.code) << e.name;
    const auto codes = accepting(e.name, e.bytes);
    if (codes.size() > 1) EXPECT_TRUE(documented.count(codes)) << e.name;
    found.insert(e.code);
  }
  for (const auto& f : inputFormats()) {
    if (f.available() && !f.detects && f.code != 4) EXPECT_TRUE(found.count(f.code)) << f.code;
  }
  // The documented pairs themselves; the extension breaks a tie before the order does.
  struct Pair {
    std::string name, bytes;
    std::vector<int> accepting;
    int code;
  } pairs[] = {
      {"all.nmea", log(true, true, true), {1, 2}, 1},
      {"tour.xml", tourenXml(), {5, 4}, 5},
      {"equator.txt", "0.5112\t100.2500\r\n-0.25\t101.5\r\n", {22, 21}, 22},
      {"tour.gpx", readBytes(test::formatData("gpx", "route.gpx")) + tourenXml(), {25, 5, 4}, 25},
      {"tour.xml", readBytes(test::formatData("gpx", "route.gpx")) + tourenXml(), {25, 5, 4}, 5},
      {"tour.dat", readBytes(test::formatData("gpx", "route.gpx")) + tourenXml(), {25, 5, 4}, 25},
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(accepting(p.name, p.bytes), p.accepting) << p.name;
    EXPECT_EQ(detected(p.name, p.bytes), p.code) << p.name;
  }
}

TEST_F(Detection, SharedSamplesAreFoundAsTheirFormats) {
  struct Sample {
    const char* name;
    int code;  // -1: no format reads it
  } samples[] = {
      {"track-gga-rmc-vtg.nmea", 1}, {"track-subsecond.nmea", 1},
      {"waypoints-only.nmea", -1},   {"route-15fields.rte", 9},
      {"route-lat-first.itn", -1},   {"route.bcr", 6},
      {"route-tef.xml", 5},          {"overlay.ovl", 3},
      {"overlay-binary.ovl", -1},    {"access97-tables.mdb", 24},
      {"access2000-tables.mdb", 24},
  };
  for (const auto& sample : samples) {
    const std::string bytes = readBytes(std::string(KURSOLIN_SHARED_SAMPLES) + "/" + sample.name);
    if (bytes.empty()) GTEST_SKIP() << "shared samples not present";
    EXPECT_EQ(detected(sample.name, bytes), sample.code) << sample.name;
  }
}

TEST_F(Detection, LoadsWithTheFormatFoundAndKeepsTheChoice) {
  test::ScratchFolder dir;
  test::useInput(s, kAutoInputFormat);
  EXPECT_TRUE(s.opt.InputAutoDetect);
  EXPECT_TRUE(menuItemChecked(s, "IN_Auto"));
  // The open dialog offers every readable file first.
  const FileDialogRequest req = loadDialogRequest(s);
  EXPECT_EQ(req.filter.substr(0, 22), "Alle lesbaren Dateien(");
  for (const char* ext : {"*.txt", "*.nmea", "*.log", "*.ovl", "*.xml", "*.tef", "*.BCR", "*.rte",
                          "*.itn", "*.qu3", "*.gpx"}) {
    EXPECT_NE(req.filter.find(ext), std::string::npos) << ext;
  }
  for (const auto& e : examples()) {
    port.clearRecords();
    const std::string path = dir.file(e.name);
    test::writeBytes(path, e.bytes);
    EXPECT_TRUE(loadInputFile(s, path))
        << e.name << ": " << ::testing::PrintToString(port.promptTexts());
    EXPECT_EQ(s.opt.InputFormat, e.code) << e.name;
    EXPECT_TRUE(s.shell.item("Route").enabled) << e.name;
    // The caption and the status line name the format found.
    EXPECT_EQ(s.inputCaption().rfind(s.doc.InputLabel, 0), 0u) << s.inputCaption();
    EXPECT_EQ(s.statusText(), s.doc.InputLabel + " (automatisch erkannt) = " + path);
    EXPECT_TRUE(s.opt.InputAutoDetect);
    EXPECT_TRUE(menuItemChecked(s, "IN_Auto"));
    EXPECT_EQ(chosenInputFormat(s), kAutoInputFormat);
  }
  // Formats read by their own loaders replace the file's text by their records.
  EXPECT_EQ(s.opt.InputFormat, 25);
  EXPECT_EQ(s.doc.InputLines.Count(), 3) << "the route points of route.gpx";
}

TEST_F(Detection, UnknownFileGetsOneMessageListingWhatWasTried) {
  test::ScratchFolder dir;
  test::useInput(s, kAutoInputFormat);
  const std::string path = dir.file("wegpunkte.nmea");
  test::writeBytes(path, test::crlf({test::sentence("GPWPL,4807.038,N,01131.000,E,WPT1")}));
  EXPECT_FALSE(loadInputFile(s, path));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
  const std::string& text = port.prompts[0].text;
  EXPECT_EQ(text.rfind("Das Format der Datei " + path + " wurde nicht erkannt.\r", 0), 0u) << text;
  std::size_t at = 0;
  for (int code : detectionOrder()) {
    const std::size_t next = text.find("\r  " + inputLabelFor(s, code) + "\r", at);
    EXPECT_NE(next, std::string::npos) << code;
    at = next;
  }
  EXPECT_FALSE(s.shell.item("Route").enabled);
  EXPECT_EQ(s.inputCaption(), "Dateiformat nicht erkannt!");
  EXPECT_EQ(s.doc.InputLines.Count(), 1) << "the file stays to be looked at";
}

TEST_F(Detection, StoredAsZeroWhichOlderVersionsDoNotRead) {
  test::ScratchFolder dir;
  test::writeBytes(dir.file("Kursolin.Ini"), "[Pref]\r\nSourceNr=0\r\n");
  ASSERT_EQ(loadSettingsFrom(s, dir.file("Kursolin.Ini")), ProfileReadStatus::Read);
  applyStartFormats(s);
  EXPECT_TRUE(s.opt.InputAutoDetect);
  EXPECT_TRUE(menuItemChecked(s, "IN_Auto"));
  EXPECT_TRUE(port.openRequests.empty()) << "start-up asks for no file";
  EXPECT_EQ(s.opt.InputFormat, 1) << "records of pasted text until a file's format is found";
  ASSERT_TRUE(saveSettingsTo(s, dir.file("out.ini")));
  EXPECT_NE(readBytes(dir.file("out.ini")).find("SourceNr=0\r\n"), std::string::npos);
  // Choosing a format in the menu ends the detection.
  port.openAnswers.push_back(std::nullopt);
  SourceChange(s, 2);
  EXPECT_FALSE(s.opt.InputAutoDetect);
  EXPECT_FALSE(menuItemChecked(s, "IN_Auto"));
  ASSERT_TRUE(saveSettingsTo(s, dir.file("out.ini")));
  EXPECT_NE(readBytes(dir.file("out.ini")).find("SourceNr=2\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kursolin
