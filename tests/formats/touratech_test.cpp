// Touratech QV databases: which table is loaded, the lines made of its records, the reader of
// those lines, and files that are no database.
#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/cp1252.h"
#include "core/numtext.h"
#include "formats/touratech.h"
#include "support/fake_port.h"
#include "support/hosts.h"
#include "support/jet3_writer.h"
#include "support/route_records.h"
#include "support/temp_folder.h"

namespace kursolin {
namespace {

using test::JetTable;
using test::JetType;
using test::JetValue;

// A track table of n records: lat from lat0 in steps of 0.001, lon 7.25, 7.2505, ..., speed 10,
// 11, ... Coordinates are whole micro-degrees divided once, so each is the double of its decimal.
JetTable track(const std::string& name, int n, long long lat0Micro = 50500000) {
  JetTable t{name,
             {{"trp_idx", JetType::Long},
              {"lat", JetType::Double},
              {"lon", JetType::Double},
              {"alt", JetType::Integer},
              {"speed", JetType::Double},
              {"course", JetType::Single}},
             {}};
  for (int i = 0; i < n; ++i) {
    t.rows.push_back({i + 1, (lat0Micro + 1000LL * i) / 1e6, (7250000 + 500LL * i) / 1e6, 300,
                      10.0 + i, (i * 5) % 360});
  }
  return t;
}

JetTable waypoints(const std::string& name, std::vector<std::vector<JetValue>> rows) {
  return {name,
          {{"wp_idx", JetType::Long},
           {"lat", JetType::Double},
           {"lon", JetType::Double},
           {"name", JetType::Text, 40},
           {"description", JetType::Text, 120}},
          std::move(rows)};
}

JetTable waypoints(const std::string& name, int n) {
  std::vector<std::vector<JetValue>> rows;
  for (int i = 0; i < n; ++i) rows.push_back({i + 1, 48.1 + i, 11.5, "WP" + std::to_string(i), ""});
  return waypoints(name, rows);
}

const std::string kNoRouteData = " Keine Routendaten in der Datei erkannt";
const std::string kBoth = "Tracks und Waypoints enthalten Daten";
const std::string kNoTables = "Keine bekannten Tabellen in der Datei gefunden !";

class Touratech : public test::HostTest {
 protected:
  // Loads a database of these tables; the result of LoadTQVFile.
  bool load(const std::vector<JetTable>& tables) {
    const std::string path = folder.file("route.qu3");
    test::writeJet3(path, tables);
    session.doc.InputLines.clear();
    return LoadTQVFile(session, path);
  }
  std::vector<std::string> lines() const { return session.doc.InputLines.lines(); }
  PointRecord& p() { return session.CurrentPoint; }
  test::TempFolder folder;
};

TEST_P(Touratech, TrackWithALoneWaypointLoadsTheTrack) {
  ASSERT_TRUE(load({track("Tour_trp", 500), waypoints("Waypoints", 1)}));
  EXPECT_TRUE(port.prompts.empty());
  ASSERT_EQ(session.doc.InputLines.Count(), 500);
  EXPECT_EQ(lines()[0], "1|50.5|7.25|10.0|0.0|-|-");
  EXPECT_EQ(lines()[1], "2|50.501|7.2505|11.0|5.0|-|-");
  EXPECT_EQ(lines()[499], "500|50.999|7.4995|509.0|335.0|-|-");
}

TEST_P(Touratech, WaypointsAloneLoadTheWaypoints) {
  ASSERT_TRUE(load({waypoints("Waypoints", {{7, 47.421, 10.985, "Zugspitze",
                                             "M\xFC"
                                             "nchner Haus"},
                                            {8, 47.5, 11.0, JetValue(), JetValue()},
                                            {9, 47.6, 11.1, "", "zwei\r\nZeilen"}}),
                    track("Leer_trp", 0)}));
  EXPECT_TRUE(port.prompts.empty());
  EXPECT_EQ(lines(),
            (std::vector<std::string>{"7|47.421|10.985|0|0|Zugspitze|M\xFC"
                                      "nchner Haus",
                                      "8|47.5|11.0|0|0|-|-", "9|47.6|11.1|0|0|-|zwei  Zeilen"}));
}

TEST_P(Touratech, WhichTablesHoldData) {
  struct Case {
    const char* what;
    std::vector<JetTable> tables;
    std::vector<std::string> messages;
    int lines;
  } cases[] = {
      {"a one-record track alone", {track("Tour_trp", 1)}, {kNoRouteData, kNoTables}, 0},
      {"both with data", {track("Tour_trp", 2), waypoints("Waypoints", 2)}, {kBoth, kNoTables}, 0},
      {"neither table",
       {{"Einstellungen", {{"x", JetType::Long}}, {{1}, {2}}}},
       {kNoRouteData, kNoTables},
       0},
      {"both with one record",
       {track("Tour_trp", 1), waypoints("waypoints", 1)},
       {kNoRouteData, kNoTables},
       0},
      {"names differing in case",
       {track("Tour_TRP", 5), waypoints("WAYPOINTS", 5)},
       {kNoRouteData, kNoTables},
       0},
      {"lower-case waypoint table", {waypoints("waypoints_alt", 3)}, {}, 3},
      {"two records are data", {track("x_trp", 2)}, {}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    port.clearRecords();
    EXPECT_TRUE(load(c.tables));
    EXPECT_EQ(port.promptTexts(), c.messages);
    for (const auto& m : port.prompts) {
      EXPECT_EQ(m.kind, PromptKind::Information);
      EXPECT_EQ(m.buttons, PromptButtons::Ok);
    }
    EXPECT_EQ(session.doc.InputLines.Count(), c.lines);
  }
}

TEST_P(Touratech, TheLastMatchingTableWins) {
  // Of two tracks with data the later one is loaded.
  ASSERT_TRUE(load({track("a_trp", 3, 40000000), track("b_trp", 2, 60000000)}));
  EXPECT_EQ(lines(),
            (std::vector<std::string>{"1|60.0|7.25|10.0|0.0|-|-", "2|60.001|7.2505|11.0|5.0|-|-"}));
  // Also when the later one is empty: the earlier table's data is not looked at.
  port.clearRecords();
  ASSERT_TRUE(load({track("a_trp", 3), track("b_trp", 1)}));
  EXPECT_EQ(port.promptTexts(), (std::vector<std::string>{kNoRouteData, kNoTables}));
  EXPECT_TRUE(lines().empty());
  // The same for waypoint tables of either spelling.
  port.clearRecords();
  ASSERT_TRUE(load({waypoints("waypoints", 2), waypoints("Waypoints2", 3)}));
  EXPECT_EQ(session.doc.InputLines.Count(), 3);
}

TEST_P(Touratech, AFileNameOutsideAscii) {
  // The session holds the name in cp1252; the file system has it in UTF-8.
  const std::string onDisk = folder.file("M\xC3\xBCnchen.qu3");
  test::writeJet3(onDisk, {track("Tour_trp", 3)});
  ASSERT_TRUE(LoadTQVFile(session, sessionPath(onDisk)));
  EXPECT_EQ(session.doc.InputLines.Count(), 3);
  EXPECT_TRUE(port.prompts.empty());
}

TEST(TouratechNames, TableNameRules) {
  struct Case {
    const char* name;
    bool track, waypoints;
  } cases[] = {
      {"Tour_trp", true, false},    {"trp", true, false},       {"Tour_TRP", false, false},
      {"Tour_Trp", false, false},   {"trp_Tour", false, false}, {"tr", false, false},
      {"Waypoints", false, true},   {"waypoints", false, true}, {"Waypoi", false, true},
      {"WAYPOINTS", false, false},  {"Waypo", false, false},    {"MyWaypoints", false, false},
      {"Waypoint_trp", true, true}, {"", false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isTrackTableName(c.name), c.track) << c.name;
    EXPECT_EQ(isWaypointTableName(c.name), c.waypoints) << c.name;
  }
}

// --- Reading the lines ---

TEST_P(Touratech, ReadsALineIntoEveryNotation) {
  const std::string line = "7|50.49425|12.10727|33.5|270|Gipfel|Aussicht";
  ASSERT_EQ(GetTTQV(session, line, 6), 1);
  EXPECT_EQ(p().navi(RteLat), "50.49425");
  EXPECT_EQ(p().navi(RteLon), "12.10727");
  EXPECT_EQ(p().LatDec, h("50.494250"));
  EXPECT_EQ(p().LonDec, h("12.107270"));
  EXPECT_NEAR(static_cast<double>(p().LatValue), 50.49425, 1e-12);
  EXPECT_NEAR(static_cast<double>(p().LonValue), 12.10727, 1e-12);
  EXPECT_EQ(p().LatGrMin, "05029.655");
  EXPECT_EQ(p().LatNmea, "05029.655");
  EXPECT_EQ(p().LatGMS, h("050\xB0"
                          "29\xB4"
                          "39.30\""));
  EXPECT_EQ(p().LatMer, "6525021");
  EXPECT_EQ(p().LonGrMin, "01206.4362");
  EXPECT_EQ(p().LonNmea, "01206.4362");
  EXPECT_EQ(p().LonMer, "1346270");
  EXPECT_EQ(p().SpeedKmh, "33.5");
  EXPECT_NEAR(static_cast<double>(p().SpeedValue), 33.5, 1e-12);
  EXPECT_EQ(p().Course, "270");
  EXPECT_TRUE(test::routeFileDefaults(p(), false)) << "speed and course come from the database";
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Touratech, DecimalCommasAndDashes) {
  ASSERT_EQ(GetTTQV(session, "1|51,123456|7,5|12,5|90,25|-|-", 0), 1);
  EXPECT_NEAR(static_cast<double>(p().LatValue), 51.123456, 1e-12);
  EXPECT_EQ(p().LatDec, h("51.123456"));
  EXPECT_EQ(p().LonDec, h("7.500000"));
  EXPECT_EQ(KommaZuPunkt(p().LatDec), "51.123456");
  EXPECT_EQ(p().SpeedKmh, "12.5");
  EXPECT_EQ(p().Course, "90.25");
  EXPECT_NEAR(static_cast<double>(p().SpeedValue), 12.5, 1e-12);

  // A waypoint line: speed and course "0"; "-" becomes "0.00".
  p().SpeedValue = 80;  // left from an earlier record
  ASSERT_EQ(GetTTQV(session, "2|48.1|11.5|-|-|WP|-", 1), 1);
  EXPECT_EQ(p().SpeedKmh, "0.00");
  EXPECT_EQ(p().Course, "0.00");
  EXPECT_EQ(p().SpeedValue, 0);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Touratech, MissingOrBadCoordinates) {
  const std::string lonMissing =
      "enth\xE4lt keine Koordinaten f\xFCr die \xF6stliche L\xE4nge !\rDer Routenpunkt wird "
      "nicht ausgewertet";
  const std::string latMissing =
      "enth\xE4lt keine Koordinaten f\xFCr die n\xF6rdliche Breite !\rDer Routenpunkt wird "
      "nicht ausgewertet";
  const auto dez = [](const std::string& line) {
    return "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert " + line + " erkannt";
  };
  struct Case {
    std::string line;
    bool showErrors;
    std::vector<PromptAnswer> answers;
    std::vector<std::string> prompts;
    bool abort;
  } cases[] = {
      {"", false, {}, {"Die aktuelle Zeile 3\r der Quelldatei ist leer !"}, false},
      {"3|50.1|-|0|0|-|-",
       true,
       {},
       {"Der aktuelle Routenpunkt 3\r\r3|50.1|-|0|0|-|-\r\r" + lonMissing},
       false},
      {"3||7.5|0|0|-|-",
       false,
       {},
       {"Der aktuelle Routenpunkt 3\r\r3||7.5|0|0|-|-\r\r" + latMissing},
       false},
      {"3||7.5|0|0|-|-",
       true,
       {PromptAnswer::Ignore},
       {dez("3||7.5|0|0|-|-"), "Der aktuelle Routenpunkt 3\r\r3||7.5|0|0|-|-\r\r" + latMissing},
       false},
      {"3||7.5|0|0|-|-",
       true,
       {PromptAnswer::Abort},
       {dez("3||7.5|0|0|-|-"), "Der aktuelle Routenpunkt 3\r\r3||7.5|0|0|-|-\r\r" + latMissing},
       true},
      {"3|50.1", false, {}, {"Der aktuelle Routenpunkt 3\r\r3|50.1\r\r" + lonMissing}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    port.clearRecords();
    port.answers.assign(c.answers.begin(), c.answers.end());
    session.opt.ShowErrors = c.showErrors;
    session.AbortRequested = false;
    EXPECT_EQ(GetTTQV(session, c.line, 2), 0);
    EXPECT_EQ(port.promptTexts(), c.prompts);
    EXPECT_EQ(port.unscripted, static_cast<int>(c.prompts.size() - c.answers.size()));
    EXPECT_EQ(session.AbortRequested, c.abort);
  }
}

TEST_P(Touratech, AnAbortInAnEarlierPromptOfTheRecordStands) {
  // "x" fails the degree-minute conversion first, then the decimal one.
  session.opt.ShowErrors = true;
  port.answer({PromptAnswer::Abort});
  EXPECT_EQ(GetTTQV(session, "1|50.1|x|0|0|-|-", 0), 0);
  EXPECT_TRUE(session.AbortRequested);
  ASSERT_EQ(port.prompts.size(), 2u) << "no decimal prompt after the Abort";
  EXPECT_NE(port.prompts[0].text.find("Grad-Minute"), std::string::npos);
  EXPECT_EQ(port.prompts[1].buttons, PromptButtons::Ok);
}

TEST_P(Touratech, LoadedLinesReadBack) {
  ASSERT_TRUE(load({track("Tour_trp", 20)}));
  for (int i = 0; i < session.doc.InputLines.Count(); ++i) {
    ASSERT_EQ(GetTTQV(session, session.doc.InputLines.at(i), i), 1) << session.doc.InputLines.at(i);
  }
  EXPECT_NEAR(static_cast<double>(p().LatValue), 50.519, 1e-9);
  EXPECT_EQ(p().SpeedKmh, "29.0");
  EXPECT_EQ(p().Course, "95.0");
  EXPECT_TRUE(port.prompts.empty());
}

// --- Files that are no database ---

TEST_P(Touratech, UnusableFilesAddNothing) {
  const std::string good = test::jet3Database({track("Tour_trp", 50)});
  struct Case {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"leer.qu3", "", "Die Datei ist leer."},
      {"text.qu3", "trp_idx|lat|lon\r\n1|50.1|7.2\r\n", "Die Datei ist keine Access-Datenbank."},
      {"kurz.qu3", good.substr(0, good.size() / 2 + 10),
       "Die Datei ist unvollst\xE4ndig (abgeschnitten)."},
      {"seiten.qu3", good.substr(0, good.size() - 2048),
       "Die Datei ist unvollst\xE4ndig (abgeschnitten)."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.file(c.name);
    test::writeBytes(path, c.bytes);
    port.clearRecords();
    session.doc.InputLines.assign({"bisher"});
    EXPECT_FALSE(LoadTQVFile(session, path));
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(
        port.prompts[0].text,
        "Die Datei " + path + " kann nicht als Access-Datenbank gelesen werden:\r" + c.reason);
    EXPECT_EQ(lines(), std::vector<std::string>{"bisher"});
  }
}

KURSOLIN_ON_BOTH_HOSTS(Touratech);

// --- Databases that make the library crash or loop ---

// The library reads in a child process: its crash ends the load with a message naming the file,
// and the lines loaded before stay as they were.
struct DamagedLoad {
  bool loaded = true;
  std::vector<test::RecordedPrompt> prompts;
  std::vector<std::string> lines;
};

DamagedLoad loadDamaged(const std::string& path, const std::string& bytes, const ChildLimits& limits,
                        std::optional<std::chrono::milliseconds> cancelAfter = std::nullopt) {
  test::writeBytes(path, bytes);
  test::ScriptedPort port;
  port.cancelAfter = cancelAfter;
  Session s(port, HostSettings::german());
  s.opt.databaseReadLimits = limits;
  s.doc.InputLines.assign({"bisher"});
  DamagedLoad r;
  r.loaded = LoadTQVFile(s, path);
  r.prompts = port.prompts;
  r.lines = s.doc.InputLines.lines();
  EXPECT_EQ(test::readBytes(path), bytes) << "the file was changed";
  return r;
}

std::string refusalHead(const std::string& path) {
  return "Die Datei " + path + " kann nicht als Access-Datenbank gelesen werden:\r";
}

TEST(TouratechDamaged, ACrashOfTheLibraryBecomesAMessage) {
  test::TempFolder folder;
  const auto damaged = test::withDamagedUsageMaps(test::jet3Database({track("Tour_trp", 50)}));
  ASSERT_EQ(damaged.size(), 2u);  // the catalog's definition and the track's
  for (const std::string& bytes : damaged) {
    const std::string path = folder.file("defekt.qu3");
    const DamagedLoad r = loadDamaged(path, bytes, ChildLimits{});
    EXPECT_FALSE(r.loaded);
    ASSERT_EQ(r.prompts.size(), 1u);
    EXPECT_EQ(r.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(r.prompts[0].text.rfind(refusalHead(path), 0), 0u) << r.prompts[0].text;
    EXPECT_EQ(r.lines, std::vector<std::string>{"bisher"});
  }
}

// One byte of a real Access 97 file that makes the library print a warning again and again
// without end while it reads the table list.
TEST(TouratechDamaged, ALoopingReadEndsByItsTimeLimitOrByAbbrechen) {
  const std::string source = std::string(KURSOLIN_SHARED_SAMPLES) + "/access97-tables.mdb";
  if (!std::filesystem::exists(source)) GTEST_SKIP() << source << " not present";
  std::string bytes = test::readBytes(source);
  constexpr std::size_t kLoopingByte = 0xA553;
  ASSERT_GT(bytes.size(), kLoopingByte);
  bytes[kLoopingByte] = 0x5B;
  test::TempFolder folder;
  const std::string path = folder.file("schleife.qu3");

  ChildLimits limits;
  limits.time = std::chrono::milliseconds(1000);
  DamagedLoad r = loadDamaged(path, bytes, limits);
  // Whether the library loops here depends on what its uninitialised memory holds: under the
  // sanitizers' allocator it reads the file to its end.
  if (r.loaded) GTEST_SKIP() << "the library does not loop on this file in this build";
  ASSERT_EQ(r.prompts.size(), 1u);
  const std::string& text = r.prompts[0].text;
  EXPECT_EQ(text.rfind(refusalHead(path) + "Das Lesen dauerte l\xE4nger als 1 Sekunde", 0), 0u)
      << text;
  EXPECT_NE(text.find("Meldungen beim Lesen:\r"), std::string::npos) << text;
  EXPECT_EQ(r.lines, std::vector<std::string>{"bisher"});

  // "Abbrechen" ends it long before a generous limit; the user asked, so no message follows.
  limits.time = std::chrono::minutes(10);
  const auto start = std::chrono::steady_clock::now();
  r = loadDamaged(path, bytes, limits, std::chrono::milliseconds(300));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_FALSE(r.loaded);
  EXPECT_TRUE(r.prompts.empty());
  EXPECT_EQ(r.lines, std::vector<std::string>{"bisher"});
}

// --- The process locale ---

// Switches the C library's locale to one with a decimal comma for its lifetime: an installed
// German locale, or else one compiled into a scratch folder.
class CommaLocale {
 public:
  CommaLocale() : saved_(std::setlocale(LC_ALL, nullptr)) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"}) {
      if (std::setlocale(LC_ALL, name)) return;
    }
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + scratch_.file("de_DE.UTF-8") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) {
      const char* old = std::getenv("LOCPATH");
      if (old) oldLocPath_ = old;
      hadLocPath_ = old != nullptr;
      ::setenv("LOCPATH", scratch_.path().c_str(), 1);
      std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
  }
  ~CommaLocale() {
    std::setlocale(LC_ALL, saved_.c_str());
    if (hadLocPath_) {
      ::setenv("LOCPATH", oldLocPath_.c_str(), 1);
    } else {
      ::unsetenv("LOCPATH");
    }
  }
  /// true when printf now writes a decimal comma.
  bool active() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    return std::string(buf) == "1,5";
  }

 private:
  std::string saved_;
  test::TempFolder scratch_;
  std::string oldLocPath_;
  bool hadLocPath_ = false;
};

TEST(TouratechLocale, LinesDoNotDependOnTheProcessLocale) {
  test::TempFolder folder;
  const std::string path = folder.file("route.qu3");
  test::writeJet3(path, {track("Tour_trp", 30, 51123456)});
  const auto linesUnder = [&] {
    test::ScriptedPort port;
    Session s(port, HostSettings::english());
    EXPECT_TRUE(LoadTQVFile(s, path));
    return s.doc.InputLines.lines();
  };
  const auto plain = linesUnder();
  ASSERT_EQ(plain.size(), 30u);
  EXPECT_EQ(plain[0], "1|51.123456|7.25|10.0|0.0|-|-");
  EXPECT_EQ(plain[29], "30|51.152456|7.2645|39.0|145.0|-|-");

  CommaLocale comma;
  if (!comma.active()) GTEST_SKIP() << "no locale with a decimal comma available";
  EXPECT_EQ(linesUnder(), plain);
}

}  // namespace
}  // namespace kursolin
