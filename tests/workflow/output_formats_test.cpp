// Choosing the output format, emitting route points and the table output.
#include <gtest/gtest.h>

#include "core/cp1252.h"
#include "formats/registry.h"
#include "formats/table.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/session_setup.h"
#include "track/generator.h"
#include "workflow/dispatch.h"
#include "workflow/emit.h"
#include "workflow/menu_state.h"
#include "workflow/output_commands.h"
#include "workflow/presentation.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

class OutputFormats : public test::HostTest {
 protected:
  void SetUp() override { test::createLikeTheWindow(session); }
  int flagsSet() const {
    int n = 0;
    for (bool (*flag)(const Session&) : {OutMN4, OutMN42, OutMN5, OutTT, OutAuto, OutBCR, OutCSV,
                                         OutFPrv, OutGMS, OutGM, OutDG, OutMer, OutGPX})
      n += flag(session);
    return n;
  }
  void threePointRmcLog() {
    test::TrackBuilder t(51.5, 7.25, 12 * 3600);
    t.add(t.current()).drive(0, 40, 2);
    test::useInput(session, 2);
    test::setInput(session, t.rmcLines());
    session.opt.rules.AllGGACheck = true;
    session.opt.rules.XRPSpin = 1;
  }
};

TEST_P(OutputFormats, TheTableHasThirteenFormatsWithTheirTexts) {
  ASSERT_EQ(outputFormats().size(), 13u);
  struct Case {
    int code;
    const char* item;
    const char* label;
    const char* key;
  } cases[] = {
      {0, "MN4Data", "MN|4.0 + 4.1 ", "F2"},  {1, "MN42Data", "MN|4.2 ", "F3"},
      {2, "MN5Data", "MN5 ", "F4"},           {3, "TTData", "TomTom ", "F5"},
      {4, "AutoData", "AutoRoute ", "F6"},    {5, "BCRData", "Tourenplaner BCR Datei ", "F7"},
      {6, "CSVData", "CSV Datei ", "F9"},     {7, "FPrvData", "Falk PreviousDestination Datei ", "F8"},
      {20, "GMSData", "G\xB0M\"S Texdateidatei ", "Ctrl+Alt+G"},
      {21, "GMData", "G\xB0M\" Texdateidatei ", "Ctrl+Alt+M"},
      {22, "DGData", "Dezimalgrad Texdateidatei ", "Ctrl+Alt+D"},
      {23, "MerData", "Mercator Texdateidatei ", "Ctrl+Alt+R"},
      {24, "GPXData", "GPX 1.1 Datei ", ""},
  };
  for (const auto& c : cases) {
    ASSERT_NE(outputFormat(c.code), nullptr) << c.code;
    const OutputPresentation* f = outputPresentation(c.code);
    ASSERT_NE(f, nullptr) << c.code;
    EXPECT_EQ(f->menuItem, c.item);
    EXPECT_EQ(f->label, c.label);
    EXPECT_EQ(f->shortcut, c.key);
  }
  EXPECT_EQ(outputPresentation(6)->caption, "Routendaten f\xFCr Tabellen ausgeben");
  EXPECT_EQ(outputPresentation(20)->caption, "im Format   Grad \xB0 Minute' Sekunde\"");
  EXPECT_EQ(outputFormat(8), nullptr);
  EXPECT_EQ(outputPresentation(8), nullptr);
}

TEST_P(OutputFormats, ApplyingAFormatSetsExactlyOneFlag) {
  for (const auto& f : outputPresentations()) {
    NaviArtChange(session, f.code);
    EXPECT_EQ(flagsSet(), 1) << f.code;
    EXPECT_EQ(chosenOutputFormat(session), outputFormat(f.code)) << f.code;
    EXPECT_TRUE(menuItemChecked(session, f.menuItem));
    EXPECT_EQ(menuItemChecked(session, textOutputSubmenu().item), f.textSubmenu) << f.code;
    EXPECT_EQ(session.shell.OutputLabel, f.label);
    EXPECT_EQ(session.opt.OutputFormat, f.code);
    EXPECT_EQ(session.shell.item("RPInfo").visible, f.pointInfo) << f.code;
    for (const auto& other : outputPresentations()) {
      if (other.code != f.code) {
        EXPECT_FALSE(menuItemChecked(session, other.menuItem));
      }
    }
  }
  EXPECT_TRUE(port.prompts.empty()) << "no input loaded: no question";
}

TEST_P(OutputFormats, ReChoosingOnlyTouchesThePointInfoEntry) {
  NaviArtChange(session, 1);
  session.opt.ShowPointInfo = false;
  session.shell.item("RPInfo").checked = true;
  session.doc.OutputLines.add("kept");
  NaviArtChange(session, 1);
  EXPECT_FALSE(session.shell.item("RPInfo").enabled);
  EXPECT_FALSE(session.shell.item("RPInfo").checked);
  EXPECT_TRUE(OutMN42(session));
  EXPECT_EQ(session.doc.OutputLines.Count(), 1);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(OutputFormats, PointInfoSurvivesOtherFormats) {
  NaviArtChange(session, 2);
  RPInfoClick(session);
  EXPECT_TRUE(session.opt.ShowPointInfo);
  NaviArtChange(session, 6);
  EXPECT_FALSE(session.shell.item("RPInfo").visible);
  EXPECT_TRUE(session.opt.ShowPointInfo);
  NaviArtChange(session, 0);
  EXPECT_TRUE(session.shell.item("RPInfo").visible);
  EXPECT_TRUE(session.shell.item("RPInfo").checked);
}

TEST_P(OutputFormats, CaptionCountsTheLinesAlreadyThere) {
  session.doc.OutputLines.assign({"a", "b", "c"});
  NaviArtChange(session, 0);
  EXPECT_EQ(session.outputCaption(), "MN|4.0 + 4.1 Routenpunkte := 3");
}

TEST_P(OutputFormats, RegenerationQuestion) {
  threePointRmcLog();
  NaviArtChange(session, 1);
  RouteExecute(session);
  const auto before = test::output(session);
  port.clearRecords();
  port.answer({PromptAnswer::Cancel});
  NaviArtChange(session, 0);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Das Ausgabeformat der Routendaten wurde ge\xE4ndert\r    Routendaten neu berechnen "
            "oder abbrechen ?");
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Confirmation);
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::YesCancel);
  EXPECT_EQ(test::output(session), before) << "Cancel keeps the old lines";
  EXPECT_TRUE(OutMN4(session)) << "while the flags follow the new format";

  port.answer({PromptAnswer::Yes});
  NaviArtChange(session, 6);
  EXPECT_EQ(session.doc.OutputLines.Count(), 4) << "header and three points";
  EXPECT_EQ(session.doc.OutputLines.at(0).substr(0, 5), "Zeit;");
}

TEST_P(OutputFormats, TimeMenuChecksFollowTheMode) {
  // A stored mode outside the three reads as NMEA time, and shows so.
  for (int mode : {1, 2, 3, 7}) {
    session.opt.TimeMode = mode;
    EXPECT_EQ(menuItemChecked(session, "NMEATime"), mode != 2 && mode != 3) << mode;
    EXPECT_EQ(menuItemChecked(session, "SommerTime"), mode == 2) << mode;
    EXPECT_EQ(menuItemChecked(session, "WinterTime"), mode == 3) << mode;
  }
}

TEST_P(OutputFormats, CodesOutsideTheTableSelectNothing) {
  NaviArtChange(session, 2);
  NaviArtChange(session, 9);
  // The choice is the code: no format is chosen, none checked, no flag set.
  EXPECT_EQ(flagsSet(), 0);
  EXPECT_EQ(chosenOutputFormat(session), nullptr);
  EXPECT_FALSE(menuItemChecked(session, "MN5Data"));
  EXPECT_EQ(session.opt.OutputFormat, 9);
  EXPECT_EQ(session.shell.OutputLabel, "MN5 ");
  // Starting with such a code: points are counted, no lines produced.
  test::ScriptedPort p2;
  Session fresh(p2, test::hostWith(sep()));
  test::createLikeTheWindow(fresh);
  NaviArtChange(fresh, 9);
  test::TrackBuilder t(48, 11, 43200);
  t.add(t.current()).drive(0, 40, 5);
  test::useInput(fresh, 2);
  test::setInput(fresh, t.rmcLines());
  RouteErzeugen(fresh);
  EXPECT_EQ(fresh.doc.RoutePointCount, 2);
  EXPECT_EQ(fresh.doc.OutputLines.Count(), 0);
  EXPECT_EQ(fresh.outputCaption(), "Routenpunkte := 2");
}

TEST_P(OutputFormats, PointLabelWithPointInfo) {
  threePointRmcLog();
  test::useOutput(session, 1);
  session.opt.ShowPointInfo = true;
  session.opt.TimeMode = 1;
  RouteErzeugen(session);
  const std::string third = session.doc.OutputLines.at(2);
  const std::string label = third.substr(0, third.find('|'));
  EXPECT_EQ(label, "3-T:12:00:02 N:" + session.CurrentPoint.LatNmea + " O:" +
                       session.CurrentPoint.LonNmea + " K:" + session.CurrentPoint.SpeedKmh);
  EXPECT_EQ(label.substr(0, 20), "3-T:12:00:02 N:5130.") << "positions as NMEA writes them";
  session.opt.ShowPointInfo = false;
  RouteErzeugen(session);
  EXPECT_EQ(session.doc.OutputLines.at(2).substr(0, 2), "-|");
}

TEST_P(OutputFormats, TableOutputAndPointTable) {
  threePointRmcLog();
  test::useOutput(session, 6);
  RouteExecute(session);
  ASSERT_TRUE(session.doc.PointTable.visible);
  ASSERT_EQ(session.doc.OutputLines.Count(), 4);
  EXPECT_EQ(
      session.doc.OutputLines.at(0),
      "Zeit;nB Grad Min;\xF6L Grad Min;nB Dez.Grad;\xF6L Dez.Grad;nB Gr.Min.Sek;\xF6L "
      "Gr.Min.Sek;nB Mercator;\xF6L Mercator;Speed;H\xF6he;Kurs;Distanz;Sat Ok;Sat Anzahl;HDOP");
  const std::string row1 = session.doc.OutputLines.at(1);
  EXPECT_EQ(row1.substr(0, 9), "12:00:00;");
  EXPECT_NE(row1.find(";" + h("51.500000") + ";" + h("7.250000") + ";"), std::string::npos) << row1;
  EXPECT_NE(row1.find(";0;1;0;0"), std::string::npos) << "distance 0, fix, satellites, HDOP";
  ASSERT_EQ(session.doc.PointTable.rows.size(), 3u);
  EXPECT_EQ(session.doc.TableRowCount, 4);
  EXPECT_EQ(session.doc.PointTable.rows[0][0], "00000001");
  EXPECT_EQ(session.doc.PointTable.rows[0][6], "0");
  EXPECT_EQ(session.doc.PointTable.rows[1][0], "00000002");
  EXPECT_EQ(session.doc.PointTable.rows[1][6], "11") << "40 km/h for one second";
  EXPECT_NE(session.doc.OutputLines.at(2).find(";11;1;"), std::string::npos)
      << "the file holds the distance the grid shows: " << session.doc.OutputLines.at(2);
  EXPECT_EQ(session.doc.PointTable.rows[2][13], h("51.500200"));
  EXPECT_EQ(session.doc.PointTable.headers[3], " \xF6L Gr.Min.Sek");
  EXPECT_EQ(session.doc.PointTable.widths[9], 60);

  session.opt.set(CsvSeparator, "\t");
  RouteExecute(session);
  EXPECT_EQ(session.doc.OutputLines.at(0).substr(0, 5), "Zeit\t");
  ASSERT_EQ(session.doc.PointTable.rows.size(), 3u) << "the table starts afresh";

  test::useOutput(session, 1);
  RouteExecute(session);
  EXPECT_FALSE(session.doc.PointTable.visible);
}

TEST_P(OutputFormats, TableOfARouteWithOnePoint) {
  test::useOutput(session, 6);
  session.CurrentPoint.Time = "120000";
  session.doc.OutputLines.clear();
  session.doc.RoutePointCount = 0;
  RouteOut(session, 0, 0, 48, 11);
  EXPECT_EQ(session.doc.OutputLines.Count(), 2);
}

KURSOLIN_ON_BOTH_HOSTS(OutputFormats);

}  // namespace
}  // namespace kursolin
