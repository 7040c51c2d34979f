// Choosing the input format and loading files of it.
#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "formats/coordtext.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "support/temp_folder.h"
#include "workflow/loading.h"
#include "workflow/menu_state.h"
#include "workflow/presentation.h"
#include "workflow/program.h"
#include "workflow/route_command.h"
#include "workflow/rule_groups.h"

namespace kursolin {
namespace {

class Loading : public ::testing::Test {
 protected:
  Loading() : session(port, HostSettings::german()) {}
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.opt.OpenDir = folder.dir();
    applyStartFormats(session);
    port.clearRecords();
  }
  std::string file(const std::string& name, const std::string& bytes) {
    test::writeBytes(folder.file(name), bytes);
    return folder.file(name);
  }
  /// Chooses a format from the menu and picks `path` in the dialog.
  void choose(int code, const std::optional<std::string>& path) {
    port.openAnswers.push_back(path);
    SourceChange(session, code);
    port.openAnswers.clear();  // re-choosing the current format asks for no file
  }
  test::TempFolder folder;
  test::ScriptedPort port;
  Session session;
};

std::string ggaVtgLog() {
  test::TrackBuilder t(48, 11, 43200);
  t.add(t.current()).drive(0, 40, 4);
  return test::joinCrLf(t.ggaVtgLines());
}

TEST_F(Loading, StartUpAsksForNoFile) {
  EXPECT_TRUE(port.openRequests.empty());
  EXPECT_EQ(session.opt.InputFormat, 1);
  EXPECT_EQ(session.inputCaption(), "NEMA Log \"GGA + VTG\"");
  EXPECT_EQ(session.statusText(), "Keine Datei ge\xF6" "ffnet");
  EXPECT_FALSE(session.shell.item("Route").enabled);
}

TEST_F(Loading, GgaVtgLogIsLoadedAndReported) {
  const std::string path = file("Alpen.txt", ggaVtgLog());
  choose(2, std::nullopt);  // another format first, cancelled
  choose(1, path);
  ASSERT_EQ(port.openRequests.size(), 2u);
  const FileDialogRequest& req = port.openRequests[1];
  EXPECT_EQ(req.title, "NMEA Datei laden");
  EXPECT_EQ(req.filter, "NMEA Datei(*.txt;*.nmea;*.log)|*.txt;*.nmea;*.log");
  EXPECT_EQ(req.defaultExt, "txt");
  EXPECT_EQ(req.initialDir, folder.dir());
  EXPECT_EQ(session.doc.InputLines.Count(), 10);
  EXPECT_EQ(session.inputCaption(), "NEMA Log \"GGA + VTG\" - Zeilen = 10");
  EXPECT_EQ(session.statusText(), "NEMA Log Datei \" GGA+VTG \"= " + path);
  EXPECT_EQ(session.doc.InputFileName, path);
  EXPECT_EQ(session.doc.SaveBaseName, "Alpen.txt");
  EXPECT_EQ(session.opt.OpenDir, folder.dir());
  EXPECT_TRUE(session.shell.item("Route").enabled);
  EXPECT_TRUE(session.doc.ReadVtg);
  EXPECT_EQ(session.doc.InputShortName, "GGA + VTG");
  for (const char* c : {"MeterCheck", "MeterSpeedEdit", "GradEdit", "PauseEdit", "ZeitSpin",
                        "MinDistEdit", "Label8"})
    EXPECT_TRUE(session.shell.item(c).enabled) << c;
  EXPECT_TRUE(session.shell.item("Zeitangabe").visible);
  EXPECT_TRUE(menuItemChecked(session, "IN_GGAVTG"));
  EXPECT_TRUE(menuItemChecked(session, "In_NMEA"));
  EXPECT_FALSE(menuItemChecked(session, "IN_RMC"));
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(Loading, RefusedNmeaLogs) {
  struct Case {
    int code;
    std::string text;
    std::string caption, message;
  } cases[] = {
      // GGA without VTG is read (speed and course from the fixes); RMC alone is not GGA.
      {1, test::joinCrLf({test::rmcSentence(test::Fix{}), test::vtgSentence(test::Fix{})}),
       "NEMA-Dateifehler keine GGA od. VTG Datens\xE4tze erkannt!",
       "Keine verwertbaren GGA oder VTG Datens\xE4tze erkannt oder keine NEMA-Datei"},
      {2, ggaVtgLog(), "NEMA - Dateifehler keine RMC Datens\xE4tze erkannt!",
       "Keine verwertbaren RMC Datens\xE4tze erkannt oder keine NEMA-Datei"},
      {2, " $GPRMC,x\r\n", "NEMA - Dateifehler keine RMC Datens\xE4tze erkannt!",
       "Keine verwertbaren RMC Datens\xE4tze erkannt oder keine NEMA-Datei"},
  };
  for (const auto& c : cases) {
    port.clearRecords();
    choose(c.code == 1 ? 2 : 1, std::nullopt);
    choose(c.code, file("log.txt", c.text));
    EXPECT_EQ(session.inputCaption(), c.caption);
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].text, c.message);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
    EXPECT_FALSE(session.shell.item("Route").enabled);
    EXPECT_FALSE(session.shell.item("MeterCheck").enabled) << "the rules stay disabled";
    EXPECT_GT(session.doc.InputLines.Count(), 0) << "the lines stay in the pane";
  }
}

TEST_F(Loading, NavigonFilesAndTheirSeparators) {
  const std::string l15 = "-|-|-|-|-|-|-|-|-|-|-|12.1|50.4|-|-|";
  struct Case {
    int code;
    std::string first;
    bool ok;
    bool mn5;
  } cases[] = {
      {9, l15, true, false},
      {9, l15 + "-|-|", true, true},
      {9, l15 + "-|", false, false},
      {8, "-|-|-|-|-|-|-|-|-|-|12.1|50.4|-|", true, false},
      {8, "-|-|-|-|-|-|-|-|-|-|12.1|50.4|-|-|", false, false},
      {8, "", false, false},
  };
  for (const auto& c : cases) {
    port.clearRecords();
    choose(1, std::nullopt);
    choose(c.code, file("r.rte", c.first + "\r\n" + l15 + "\r\n"));
    EXPECT_EQ(session.shell.item("Route").enabled, c.ok) << c.first;
    if (c.code == 9) {
      EXPECT_EQ(session.doc.InputLayout, c.mn5) << c.first;
    }
    if (c.ok) {
      EXPECT_EQ(session.inputCaption(), session.doc.InputLabel + " - Zeilen = 2");
      EXPECT_TRUE(session.shell.item("MeterSpin").enabled);
      EXPECT_FALSE(session.shell.item("MeterSpeedEdit").enabled);
      EXPECT_TRUE(session.shell.item("Label4").enabled);
      EXPECT_FALSE(session.shell.item("GradCheck").enabled);
      EXPECT_FALSE(session.shell.item("Zeitangabe").visible);
      EXPECT_TRUE(port.prompts.empty());
    } else {
      EXPECT_EQ(session.inputCaption(), c.code == 8 ? "Navigon MN|4 oder 4.1 Routendatei Fehler!"
                                                    : "Navigon MN|4.2 oder MN5 Routendatei Fehler!");
      ASSERT_EQ(port.prompts.size(), 1u);
      EXPECT_EQ(port.prompts[0].text,
                c.code == 8
                    ? "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4 oder 4.1 Routendatei"
                    : "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4.2 Routendatei");
    }
    EXPECT_EQ(session.statusText(),
              (c.code == 8 ? "Navigon MN|4 oder 4.1 Routendatei = "
                           : "Navigon MN|4.2 oder MN5  Routendatei = ") + folder.file("r.rte"));
  }
}

// A load asks before it throws away a route that was not saved or an edited input; "Nein" keeps
// everything, the format included, and a cancelled dialog keeps both panes.
TEST_F(Loading, UnsavedWorkIsKeptUnlessTheUserLetsItGo) {
  struct Case {
    const char* name;
    bool formatChange, routeSaved, inputEdited;
    PromptAnswer answer;  // to the question, when there is one
    bool asked, dialog;
  } cases[] = {
      {"reload, unsaved route, Nein", false, false, false, PromptAnswer::No, true, false},
      {"reload, unsaved route, Ja", false, false, false, PromptAnswer::Yes, true, true},
      {"reload, saved route", false, true, false, PromptAnswer::No, false, true},
      {"reload, edited input", false, true, true, PromptAnswer::No, true, false},
      {"other format, Nein", true, false, false, PromptAnswer::No, true, false},
      {"other format, Ja", true, false, false, PromptAnswer::Yes, true, true},
      {"other format, saved route", true, true, false, PromptAnswer::No, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    session.doc.savedOutputRevision = session.doc.OutputLines.revision();  // nothing left to lose
    markInputLoaded(session);
    choose(2, std::nullopt);
    choose(1, file("a.txt", ggaVtgLog()));
    session.doc.OutputLines.assign({"Route"});
    NaviChange(session);
    if (c.routeSaved) session.doc.savedOutputRevision = session.doc.OutputLines.revision();
    if (c.inputEdited) test::setInput(session, {"a", "b"});
    const auto input = session.doc.InputLines.lines();
    const std::string caption = session.inputCaption();
    port.clearRecords();
    port.answer({c.answer});
    if (c.formatChange) {
      choose(2, std::nullopt);
    } else {
      port.openAnswers.push_back(std::nullopt);
      LoadNMEAExecute(session);
      port.openAnswers.clear();
    }
    EXPECT_EQ(port.promptTexts(),
              c.asked ? std::vector<std::string>{kDiscardQuestion} : std::vector<std::string>{});
    if (c.asked) EXPECT_EQ(port.prompts[0].buttons, PromptButtons::YesNo);
    EXPECT_EQ(port.openRequests.size(), c.dialog ? 1u : 0u);
    EXPECT_EQ(session.doc.InputLines.lines(), input);
    EXPECT_EQ(session.doc.OutputLines.lines(), std::vector<std::string>{"Route"});
    EXPECT_TRUE(session.shell.item("SaveNavi").enabled);
    const bool changed = c.formatChange && c.dialog;
    EXPECT_EQ(session.opt.InputFormat, changed ? 2 : 1);
    // Lines checked for another format make no route in the new one until a file is loaded.
    EXPECT_EQ(session.shell.item("Route").enabled, !changed);
    if (!c.formatChange) EXPECT_EQ(session.inputCaption(), caption);
    port.answers.clear();
  }
}

// Once a file is chosen nothing of the previous route stays: lines, count, table, points.
TEST_F(Loading, ALoadEmptiesTheOutputAndEverythingShownOfIt) {
  choose(2, std::nullopt);
  choose(1, file("a.txt", ggaVtgLog()));
  test::useOutput(session, 6);
  RouteExecute(session);
  ASSERT_FALSE(session.doc.PointTable.rows.empty());
  ASSERT_FALSE(session.doc.emittedPoints.empty());
  session.doc.savedOutputRevision = session.doc.OutputLines.revision();
  port.openAnswers.push_back(file("b.txt", ggaVtgLog()));
  LoadNMEAExecute(session);
  EXPECT_TRUE(session.doc.OutputLines.empty());
  EXPECT_TRUE(session.doc.PointTable.rows.empty());
  EXPECT_TRUE(session.doc.emittedPoints.empty());
  EXPECT_EQ(session.outputCaption(), "CSV Datei Routenpunkte := 0");
  EXPECT_FALSE(workUnsaved(session.doc));
}

TEST_F(Loading, ReloadingKeepsTheRuleGroups) {
  choose(2, std::nullopt);
  choose(1, file("a.txt", ggaVtgLog()));
  port.openAnswers.push_back(file("b.txt", "nothing\r\n"));
  port.clearRecords();
  LoadNMEAExecute(session);
  EXPECT_TRUE(session.shell.item("MeterCheck").enabled) << "a reload keeps the groups";
  EXPECT_FALSE(session.shell.item("Route").enabled);
  EXPECT_EQ(port.prompts.size(), 1u);
}

TEST_F(Loading, LineEndsOfAnyKindAndCp1252Bytes) {
  choose(8, file("r.rte", "-|-|-|-|Z\xFCrich|-|-|-|-|-|12.1|50.4|-|\r-|-|-|-|-|-|-|-|-|-|1|2|-|\n"
                          "x\r\n"));
  EXPECT_EQ(session.doc.InputLines.Count(), 3);
  EXPECT_EQ(session.doc.InputLines.at(0).substr(8, 6), "Z\xFCrich");
}

TEST_F(Loading, UnreadableFileGetsAMessageNamingIt) {
  choose(2, folder.file("fehlt.txt"));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_NE(port.prompts[0].text.find(folder.file("fehlt.txt")), std::string::npos);
  EXPECT_FALSE(session.shell.item("Route").enabled);
}

TEST_F(Loading, AFolderIsRefusedWithAnErrorBoxNamingIt) {
  choose(2, folder.path());
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  EXPECT_EQ(port.prompts[0].text,
            "Die Datei " + folder.path() + " kann nicht gelesen werden: ist ein Verzeichnis");
  EXPECT_FALSE(session.shell.item("Route").enabled);
  EXPECT_EQ(session.doc.InputLines.Count(), 0);
}

// Loggers and Windows tools write UTF-16 with a byte-order mark, editors UTF-8 with one. Each is
// read as the same cp1252 lines; what cp1252 lacks becomes "?".
TEST_F(Loading, ByteOrderMarksAreDecodedToCp1252) {
  const std::string text = "-|-|-|-|Z\xC3\xBCrich \xE2\x82\xAC \xE2\x86\x92 \xF0\x9F\x9A\xB2|-|-|-|-|-|12.1|50.4|-|\r\n"
                           "-|-|-|-|-|-|-|-|-|-|1|2|-|\r\n";
  const auto utf16 = [&](bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const std::u32string wide = {U'-', U'|', U'-', U'|', U'-', U'|', U'-', U'|', U'Z', U'\u00FC',
                                 U'r', U'i', U'c', U'h', U' ', U'\u20AC', U' ', U'\u2192', U' ',
                                 U'\U0001F6B2'};
    std::u16string units;
    for (char32_t c : wide) {
      if (c > 0xFFFF) {
        units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
      } else {
        units.push_back(static_cast<char16_t>(c));
      }
    }
    for (char c : text.substr(text.find("|-|-|-|-|-|12"))) units.push_back(static_cast<char16_t>(c));
    for (char16_t u : units) {
      const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
      out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
  };
  const std::string expectedFirst = "-|-|-|-|Z\xFCrich \x80 ? ?|-|-|-|-|-|12.1|50.4|-|";
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {{"utf8.rte", "\xEF\xBB\xBF" + text}, {"le.rte", utf16(false)}, {"be.rte", utf16(true)}};
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    port.clearRecords();
    choose(2, std::nullopt);
    choose(8, file(f.name, f.bytes));
    EXPECT_TRUE(port.prompts.empty()) << port.prompts[0].text;
    EXPECT_TRUE(session.shell.item("Route").enabled);
    ASSERT_EQ(session.doc.InputLines.Count(), 2);
    EXPECT_EQ(session.doc.InputLines.at(0), expectedFirst);
    EXPECT_EQ(session.doc.InputLines.at(1), "-|-|-|-|-|-|-|-|-|-|1|2|-|");
  }
}

TEST_F(Loading, FormatsWithoutReaderAreRefusedWithoutLoading) {
  int refused = 0;
  for (const InputFormatInfo& f : inputFormats()) {
    if (!inputPresentation(f.code)->menuEntry || f.available()) continue;
    const int code = f.code;
    ++refused;
    port.clearRecords();
    SourceChange(session, code);
    ASSERT_EQ(port.prompts.size(), 1u) << code;
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Information);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
    EXPECT_NE(port.prompts[0].text.find("noch nicht"), std::string::npos);
    EXPECT_TRUE(port.openRequests.empty()) << code;
    EXPECT_EQ(session.opt.InputFormat, 1);
  }
  if (refused == 0) GTEST_SKIP() << "this version reads every input format";
}

TEST_F(Loading, TextSubmenuAndChangedSeparator) {
  choose(2, std::nullopt);
  choose(1, file("a.txt", ggaVtgLog()));
  session.setInputCaption("anything");
  In_NaviTextTabClick(session);
  EXPECT_EQ(session.inputCaption(), session.doc.InputLabel) << "opening the sub-menu resets it";
  EXPECT_EQ(session.doc.InputLines.Count(), 10) << "nothing reloaded";
  // A new input separator reloads once, then no more.
  session.opt.set(InputSeparator, ";");
  port.openAnswers.push_back(std::nullopt);
  In_NaviTextTabClick(session);
  EXPECT_EQ(port.openRequests.size(), 3u);
  In_NaviTextTabClick(session);
  EXPECT_EQ(port.openRequests.size(), 3u);
}

TEST_F(Loading, InputPaneChangesDecideAvailability) {
  struct Case {
    std::vector<std::string> lines;
    bool pane, route;
  } cases[] = {
      {{}, false, false},
      {{"x"}, true, false},
      {{"x", "y"}, true, true},
      {{"", "y"}, false, true},
      {{"\x1F", "y"}, true, true},  // 0x1F followed by more sorts after it
      {{"\x1F" "a"}, true, false},
  };
  for (const auto& c : cases) {
    test::setInput(session, c.lines);
    EXPECT_EQ(session.shell.item("NMEADaten").enabled, c.pane) << ::testing::PrintToString(c.lines);
    EXPECT_EQ(session.shell.item("Route").enabled, c.route) << ::testing::PrintToString(c.lines);
  }
  session.doc.OutputLines.assign({"\r"});
  NaviChange(session);
  EXPECT_FALSE(session.shell.item("SaveNavi").enabled);
  session.doc.OutputLines.assign({"a"});
  NaviChange(session);
  EXPECT_TRUE(session.shell.item("SaveNavi").enabled);
  EXPECT_TRUE(session.shell.item("RouteReversAction").enabled);
}

TEST_F(Loading, ErrorMenuToggle) {
  FehlermeldungClick(session);
  EXPECT_TRUE(session.opt.ShowErrors);
  EXPECT_TRUE(session.shell.item("Fehlermeldung").checked);
  FehlermeldungClick(session);
  EXPECT_FALSE(session.opt.ShowErrors);
}

TEST(InputLabels, CoordinateTextLabelsNameTheSeparator) {
  test::ScriptedPort port;
  Session s(port, HostSettings::german());
  s.opt.set(InputSeparatorText, ";");
  EXPECT_EQ(inputLabelFor(s, 22), "Textdatei im Dezimalgrad Format ; \" getr.");
  EXPECT_EQ(inputLabelFor(s, 20), "Textdatei im Format Gr\xB0 Min\xB4 Sek\" \" ; \" getr.");
  EXPECT_EQ(failureCaptionFor(s, 23), "Koordinaten aus Textdatei im Mercator Format \" ; \" getrennt Fehler!");
  EXPECT_EQ(failureMessageFor(s, 21),
            "Keine verwertbaren Informationen erkannt oder keine \" ; \" getrennte Textdatei im Format Gr\xB0 Min\xB4 ");
  EXPECT_EQ(inputPresentation(9)->statusPrefix, "Navigon MN|4.2 oder MN5  Routendatei = ");
  EXPECT_EQ(inputPresentation(24)->shortName, "Touratech TTQV ");
}

TEST(StartUp, StoredCodesThisVersionCannotUseStartAsDefaults) {
  const OutputFormatInfo* unwritable = nullptr;
  for (const auto& f : outputFormats()) {
    if (!f.available()) {
      unwritable = &f;
      break;
    }
  }
  if (!unwritable) GTEST_SKIP() << "this version writes every output format";
  for (int stored : {7, 99}) {
    test::ScriptedPort port;
    Session s(port, HostSettings::german());
    test::createLikeTheWindow(s);
    s.opt.InputFormat = stored;
    s.opt.OutputFormat = unwritable->code;
    applyStartFormats(s);
    EXPECT_EQ(s.opt.InputFormat, 1) << stored;
    EXPECT_EQ(s.opt.OutputFormat, 1);
    EXPECT_TRUE(OutMN42(s));
    EXPECT_TRUE(port.prompts.empty());
    EXPECT_TRUE(port.openRequests.empty());
  }
}

// A day-long log keeps the window alive: loading it and making its route report the lines read
// and scanned, and the status line gets its own text back; a short one leaves it alone.
TEST_F(Loading, LongStepsReportProgressShortOnesDoNot) {
  struct Case {
    int seconds;  // one GGA + VTG pair each
    bool progress;
  };
  for (const Case c : {Case{50, false}, Case{6000, true}}) {
    SCOPED_TRACE(c.seconds);
    port.clearRecords();
    test::TrackBuilder t(48, 11, 0);
    t.drive(90, 50, c.seconds / 2).drive(180, 50, c.seconds - c.seconds / 2);
    const std::string path = file("Tag.txt", test::joinCrLf(t.ggaVtgLines()));
    ASSERT_TRUE(loadInputFile(session, path));
    ASSERT_EQ(session.doc.InputLines.Count(), 2 * c.seconds);
    const std::string status = session.statusText();
    EXPECT_NE(status.find(path), std::string::npos);
    if (c.progress) {
      ASSERT_GE(port.progressTexts.size(), 2u);
      EXPECT_EQ(port.progressTexts.front(), "Zeilen gelesen: 4.096");
      EXPECT_EQ(port.progressTexts.back(), "");
      EXPECT_GT(port.pendingEventCalls, 0);
    } else {
      EXPECT_TRUE(port.progressTexts.empty());
    }

    port.clearRecords();
    port.pendingEventCalls = 0;
    RouteExecute(session);
    EXPECT_GE(session.doc.OutputLines.Count(), 3);  // start, the turn, end
    EXPECT_GT(port.pendingEventCalls, 0);
    if (c.progress) {
      ASSERT_GE(port.progressTexts.size(), 2u);
      const std::string& first = port.progressTexts.front();
      EXPECT_EQ(first.rfind("Datens\xE4tze gepr\xFC" "ft: Zeile ", 0), 0u) << first;
      EXPECT_TRUE(first.ends_with(" von 12.000")) << first;
      EXPECT_EQ(port.progressTexts.back(), "");
    } else {
      EXPECT_TRUE(port.progressTexts.empty());
    }
    EXPECT_EQ(session.statusText(), status);
  }
}

}  // namespace
}  // namespace kursolin
