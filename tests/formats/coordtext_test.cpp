// Coordinate pairs in text files: reading in the four notations with the separator and order of
// the input settings, writing with those of the output settings, recognition at load with its
// framed-separator texts, and whole conversions against committed files.
#include <gtest/gtest.h>

#include "formats/coordtext.h"
#include "support/hosts.h"
#include "support/route_records.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/loading.h"
#include "workflow/program.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::crlf;
using test::readBytes;
using test::writeBytes;

class CoordText : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.opt.SaveDir = out.dir();
  }
  PointRecord& p() { return session.CurrentPoint; }
  // Reads a line in the notation of an input code (20 to 23).
  int read(int code, const std::string& line, int index = 0) {
    return GetText(session, line, index, static_cast<TextNotation>(code));
  }
  test::ScratchFolder out;
};

TEST_P(CoordText, EveryNotationIsReadIntoDecimalDegrees) {
  struct Case {
    int code;
    std::string line;
    const char* lat;
    const char* lon;
  } cases[] = {
      {22, "51.5\t7.25", "51.5", "7.25"},
      {21, "5029.6550\t01206.4362", "50.494250", "12.107270"},
      {21, "-3354.0000\t-00003.0000", "-33.900000", "-0.050000"},
      {20,
       "50\xB0"
       "29\xB4"
       "39.30\"\t12\xB0"
       "06\xB4"
       "26.17\"",
       "50.494250", "12.107269"},
      {20,
       h("50\xB0"
         "29\xB4"
         "39.30\"\t12\xB0"
         "06\xB4"
         "26.17\""),
       "50.494250", "12.107269"},
      {20,
       "-33\xB0"
       "54\xB4"
       "00.00\"\t151\xB0"
       "12\xB4"
       "36.00\"",
       "-33.900000", "151.210000"},
      {23, "6525021\t1346270", "50.494253", "12.107270"},
      {23, "-4010898\t-5560", "-33.899998", "-0.050002"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    ASSERT_EQ(read(c.code, c.line), 1);
    EXPECT_EQ(p().LatDec, c.lat);
    EXPECT_EQ(p().LonDec, c.lon);
    EXPECT_NEAR(static_cast<double>(p().LatValue), std::stod(c.lat), 1e-9);
    EXPECT_NEAR(static_cast<double>(p().LonValue), std::stod(c.lon), 1e-9);
  }
  // The other notations follow from the decimal degrees as for every route file.
  ASSERT_EQ(read(21, "5029.6550\t01206.4362"), 1);
  EXPECT_EQ(p().LatGrMin, "05029.655");
  EXPECT_EQ(p().LatNmea, "05029.655");
  EXPECT_EQ(p().LonGrMin, "01206.4362");
  EXPECT_EQ(p().LatGMS, h("050\xB0"
                          "29\xB4"
                          "39.30\""));
  EXPECT_EQ(p().LatMer, "6525021");
  EXPECT_EQ(p().LonMer, "1346270");
  EXPECT_TRUE(test::routeFileDefaults(p()));
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(CoordText, SeparatorOrderAndMissingValues) {
  struct Case {
    int code;
    std::string separator;
    bool latFirst;
    std::string line;
    const char* lat;
    const char* lon;
  } cases[] = {
      {22, "\t", true, "51.5\t7.25", "51.5", "7.25"},
      {22, "\t", false, "51.5\t7.25", "7.25", "51.5"},
      {22, "Tab", true, "51.5\t7.25", "51.5", "7.25"},  // the stored word stands for the tab
      {22, ";", true, "51.5;7.25", "51.5", "7.25"},
      {22, "|", false, "7.25|51.5", "51.5", "7.25"},
      // Without the separator the whole line is the second value.
      {22, "\t", true, "7.25", "0.00", "7.25"},
      {22, "\t", false, "7.25", "7.25", "0.00"},
      {22, "", true, "7.25", "0.00", "7.25"},
      // Nothing above a blank is no coordinate.
      {22, "\t", true, "\t", "0.00", "0.00"},
      {22, "\t", true, " \t\x01", "0.00", "0.00"},
      // 0/0 is a point like any other.
      {22, "\t", true, "0\t0", "0", "0"},
      {23, "\t", true, "0\t0", "0.000000", "0.000000"},
      {23, "\t", true, " 6525021 \t1346270", "50.494253", "12.107270"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.line) + " with " +
                 ::testing::PrintToString(c.separator));
    port.clearRecords();
    session.opt.set(InputSeparator, c.separator);
    session.opt.set(InputLatFirst, c.latFirst);
    ASSERT_EQ(read(c.code, c.line), 1);
    EXPECT_EQ(p().LatDec, c.lat);
    EXPECT_EQ(p().LonDec, c.lon);
    EXPECT_TRUE(port.prompts.empty());
  }
}

// A value that is no number of the chosen notation is no point at 0/0: the record is skipped and
// counted, after the conversion's prompt while error messages are on.
TEST_P(CoordText, MalformedValuesAreSkippedAndCounted) {
  const auto dms = [](const char* d, const char* m, const char* rest) {
    return std::string(d) + "\xB0" + m + "\xB4" + rest;
  };
  const struct {
    int code;
    std::string line;
    std::string value;  // the one the prompt names
  } cases[] = {
      {23, "6000000,5\t780000", "6000000,5"},
      {23, "6525021\t1346270.5", "1346270.5"},
      {23, "6525021\tabc", "abc"},
      {21, "51.5\t7.25", "7.25"},  // decimal degrees read as degree-minutes
      {21, "5029.655x\t01206.4362", "5029.655x"},
      {21, "50a29.655\t01206.4362", "50a29.655"},
      {20, dms("50", "29", "39\"\t") + dms("12", "06", "26.17\""), dms("50", "29", "39\"")},
      {20, dms("50", "29", "39.30\"\t") + dms("12", "06", "26.17\"x5"),
       dms("12", "06", "26.17\"x5")},
  };
  for (const bool shown : {false, true}) {
    session.opt.ShowErrors = shown;
    session.doc.skippedRecords.clear();
    int index = 0;
    for (const auto& c : cases) {
      SCOPED_TRACE(c.line);
      port.clearRecords();
      EXPECT_EQ(read(c.code, c.line, index), 0);
      EXPECT_EQ(read(c.code, c.line, index), 0);
      EXPECT_FALSE(p().PointValid);
      EXPECT_EQ(session.doc.skippedRecords.count(), ++index) << "each line counts once";
      ASSERT_EQ(port.prompts.size(), shown ? 2u : 0u);
      if (shown) {
        EXPECT_EQ(port.prompts[0].text,
                  "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert " + c.value + " erkannt");
        EXPECT_FALSE(session.AbortRequested) << "the cautious answer is Ignore";
      }
    }
  }
  port.answer({PromptAnswer::Abort});
  EXPECT_EQ(read(23, "6000000,5\t780000"), 0);
  EXPECT_TRUE(session.AbortRequested);
}

TEST_P(CoordText, SkippedRecordsAreNamedInTheStatusLine) {
  test::useInput(session, 21);
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  test::useOutput(session, 22);
  const std::string status = " = /daten/punkte.txt";
  session.setStatusText(status);
  test::setInput(session, {"5030.000\t01200.000", "51.5\t7.25", "5031.000\t01201.000",
                           "5032.000\t0120x.000", "5033.000\t01203.000"});
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  EXPECT_EQ(test::output(session),
            (std::vector<std::string>{"50.500000\t12.000000", "50.516667\t12.016667",
                                      "50.550000\t12.050000"}));
  EXPECT_EQ(session.statusText(), status +
                                      " \x96 2 Datens\xE4tze mit ung\xFCltigen Koordinaten \xFC"
                                      "bersprungen");
  EXPECT_TRUE(port.prompts.empty());

  // A route without them takes the count away again.
  session.doc.InputLines.replaceLine(1, "5030.500\t01200.500");
  session.doc.InputLines.replaceLine(3, "5032.000\t01202.000");
  ASSERT_EQ(RouteExecute(session), RouteResult::Completed);
  EXPECT_EQ(session.statusText(), status);
  EXPECT_EQ(session.doc.OutputLines.Count(), 5);
}

TEST_P(CoordText, ADecimalValueThatIsNoNumberIsAConversionError) {
  session.opt.set(InputSeparator, ";");
  struct Case {
    std::string line;
    std::string value;
  } cases[] = {
      {"51.5;7.25;x", "7.25;x"},  // a third value stays part of the second
      {"51.5;abc", "abc"},       {"N51.5;7.25", "N51.5"},
      {"51.5;7,25,5", "7,25,5"}, {"51.5;;7.25", ";7.25"},  // only the first separator separates
  };
  for (const auto& c : cases) {
    try {
      read(22, c.line, 11);
      ADD_FAILURE() << c.line << " was read";
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "Der aktuelle Routenpunkt 12\r\r" + c.line +
                                           "\r\renth\xE4lt die Koordinate \"" + c.value +
                                           "\", die keine Zahl ist !\rDie Routenberechnung wird "
                                           "abgebrochen");
    }
  }
  // Decimal commas are numbers where the host writes them.
  session.opt.set(InputSeparator, "\t");
  if (sep() == ',') {
    ASSERT_EQ(read(22, "51,5\t7,25"), 1);
    EXPECT_NEAR(static_cast<double>(p().LatValue), 51.5, 1e-12);
    EXPECT_EQ(p().LatDec, "51,5") << "kept as written";
  } else {
    EXPECT_THROW(read(22, "51,5\t7,25"), ConvertError);
  }
}

TEST_P(CoordText, ConversionErrorStopsTheRouteAndKeepsWhatWasMade) {
  test::useInput(session, 22);
  test::setInput(session, {"51.5\t7.25", "51.6\t7.25", "51.7\t7.2x", "51.8\t7.25"});
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  test::useOutput(session, 22);
  RouteExecute(session);
  EXPECT_EQ(test::output(session), (std::vector<std::string>{"51.5\t7.25", "51.6\t7.25"}));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Der aktuelle Routenpunkt 3\r\r51.7\t7.2x\r\renth\xE4lt die Koordinate \"7.2x\", die "
            "keine Zahl ist !\rDie Routenberechnung wird abgebrochen");
}

TEST_P(CoordText, WritingFollowsTheOutputSeparatorAndOrder) {
  ASSERT_EQ(read(22, "51.5\t7.25"), 1);
  struct Case {
    TextNotation notation;
    std::string separator;
    bool latFirst;
    std::string line;
  } cases[] = {
      {TextNotation::DG, "\t", true, "51.5\t7.25"},
      {TextNotation::DG, "\t", false, "7.25\t51.5"},
      {TextNotation::DG, "Tab", true, "51.5\t7.25"},
      {TextNotation::DG, ";", true, "51.5;7.25"},
      {TextNotation::DG, "", false, "7.2551.5"},
      {TextNotation::GM, ",", true, "05130,00715"},
      {TextNotation::GMS, "|", true,
       h("051\xB0"
         "30\xB4"
         "0.00\"") +
           "|" +
           h("007\xB0"
             "15\xB4"
             "0.00\"")},
      {TextNotation::Mer, " ", false, "806165 6702726"},
  };
  for (const auto& c : cases) {
    session.opt.set(OutputSeparator, c.separator);
    session.opt.set(OutputLatFirst, c.latFirst);
    EXPECT_EQ(textLine(session, c.notation), c.line);
  }
  // Values are written exactly as the record holds them.
  p().LatDec = "51,5";
  session.opt.set(OutputSeparator, "\t");
  session.opt.set(OutputLatFirst, true);
  EXPECT_EQ(textLine(session, TextNotation::DG), "51,5\t7.25");
}

TEST_P(CoordText, ReadWriteReadKeepsThePointInEveryNotation) {
  const std::string source = "50.49425\t12.10727";
  for (int code : {20, 21, 22, 23}) {
    for (const std::string& separator : {std::string("\t"), std::string(";")}) {
      for (bool latFirst : {true, false}) {
        SCOPED_TRACE(std::to_string(code) + " " + ::testing::PrintToString(separator) +
                     (latFirst ? " lat first" : " lon first"));
        session.opt.set(InputSeparator, "\t");
        session.opt.set(InputLatFirst, true);
        ASSERT_EQ(read(22, source), 1);
        session.opt.set(InputSeparator, separator);
        session.opt.set(OutputSeparator, separator);
        session.opt.set(InputLatFirst, latFirst);
        session.opt.set(OutputLatFirst, latFirst);
        const auto notation = static_cast<TextNotation>(code);
        const std::string written = textLine(session, notation);
        ASSERT_EQ(read(code, written), 1) << written;
        const PointRecord first = p();
        // GMS carries hundredths of seconds, Mercator whole metres: both within 1e-5 degrees.
        EXPECT_NEAR(static_cast<double>(first.LatValue), 50.49425, 1e-5);
        EXPECT_NEAR(static_cast<double>(first.LonValue), 12.10727, 1e-5);
        // Written and read once more, the record stays as it is.
        const std::string again = textLine(session, notation);
        EXPECT_EQ(again, written);
        ASSERT_EQ(read(code, again), 1);
        EXPECT_EQ(p().LatDec, first.LatDec);
        EXPECT_EQ(p().LonDec, first.LonDec);
        EXPECT_EQ(p().LatValue, first.LatValue);
        EXPECT_EQ(p().LonValue, first.LonValue);
        EXPECT_EQ(p().LatGrMin, first.LatGrMin);
        EXPECT_EQ(p().LonGMS, first.LonGMS);
        EXPECT_EQ(p().LatMer, first.LatMer);
        EXPECT_EQ(p().LonMer, first.LonMer);
      }
    }
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(CoordText, RecognitionLooksForTheSeparatorInTheFirstLineOnly) {
  struct Case {
    std::string separator;
    std::vector<std::string> lines;
    bool ok;
  } cases[] = {
      {"\t", {"51.5\t7.25"}, true},
      {"Tab", {"51.5\t7.25"}, true},
      {"\t", {"51.5;7.25", "51.5\t7.25"}, false},
      {";", {"51.5;7.25", "kaputt"}, true},
      {";", {""}, false},
      {"", {"51.5;7.25"}, false},
      {"-", {"-"}, true},
  };
  for (const auto& c : cases) {
    session.opt.set(InputSeparator, c.separator);
    TextLines l;
    l.assign(c.lines);
    EXPECT_EQ(textRecognized(session, l), c.ok) << ::testing::PrintToString(c.lines);
  }
}

TEST_P(CoordText, LoadingNamesTheSeparatorInCaptionsAndMessages) {
  // As the settings file leaves them for a tab: the word in captions, the character for reading.
  session.opt.set(InputSeparator, "\t");
  session.opt.set(InputSeparatorText, "Tab");
  session.opt.OpenDir = out.dir();
  applyStartFormats(session);
  writeBytes(out.file("Punkte.txt"), "51.5\t7.25\r\n51.6\t7.35\r\n51.7\t7.45\r\n");
  writeBytes(out.file("Semikolon.txt"), "51.5;7.25\r\n");
  struct Case {
    int code;
    const char* label;
    const char* failure;
    const char* message;
  } cases[] = {
      {20, "Textdatei im Format Gr\xB0 Min\xB4 Sek\" \" Tab \" getr.",
       "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 Sek\" \" Tab \" getrennt Fehler!",
       "Keine verwertbaren Informationen erkannt oder keine \" Tab \" getrennte Textdatei im "
       "Format Gr\xB0 Min\xB4 Sek\""},
      {21, "Textdatei im Format Gr\xB0 Min\xB4 Tab \" getr.",
       "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 \" Tab \" getrennt Fehler!",
       "Keine verwertbaren Informationen erkannt oder keine \" Tab \" getrennte Textdatei im "
       "Format Gr\xB0 Min\xB4 "},
      {22, "Textdatei im Dezimalgrad Format Tab \" getr.",
       "Koordinaten aus Textdatei im Dezimalgrad Format \" Tab \" getrennt Fehler!",
       "Keine verwertbaren Informationen erkannt oder keine \" Tab \" getrennte Textdatei im "
       "Dezimalgrad Format"},
      {23, "Textdatei im Mercator Format Tab \" getr.",
       "Koordinaten aus Textdatei im Mercator Format \" Tab \" getrennt Fehler!",
       "Keine verwertbaren Informationen erkannt oder keine \" Tab \" getrennte Textdatei im "
       "Mercator Format"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    port.clearRecords();
    port.openAnswers.push_back(out.file("Punkte.txt"));
    SourceChange(session, c.code);
    ASSERT_EQ(port.openRequests.size(), 1u);
    EXPECT_EQ(session.inputCaption(), std::string(c.label) + " - Zeilen = 3");
    // The status names the kind of file by its label, not a bare " = ".
    EXPECT_EQ(session.statusText(), std::string(c.label) + " = " + out.file("Punkte.txt"));
    EXPECT_TRUE(session.shell.item("Route").enabled);
    EXPECT_TRUE(port.prompts.empty());

    port.openAnswers.push_back(out.file("Semikolon.txt"));
    LoadNMEAExecute(session);
    EXPECT_EQ(session.inputCaption(), c.failure);
    EXPECT_FALSE(session.shell.item("Route").enabled);
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
    EXPECT_EQ(port.prompts[0].text, c.message);
    EXPECT_EQ(session.statusText(), std::string(c.label) + " = " + out.file("Semikolon.txt"));
  }
}

TEST_P(CoordText, TextToTextChangesNotationAndLayout) {
  test::useInput(session, 22);
  test::setInput(session, {"51.5;7.25", "51.6;7.35", "51.7;7.45"});
  session.opt.set(InputSeparator, ";");
  session.opt.set(OutputSeparator, "\t");
  session.opt.set(OutputLatFirst, false);
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  test::useOutput(session, 21);
  RouteExecute(session);
  EXPECT_EQ(test::output(session),
            (std::vector<std::string>{"00715\t05130", "00721\t05136", "00727\t05142"}));
  EXPECT_EQ(session.outputCaption(), "G\xB0M\" Texdateidatei Routenpunkte := 3");
}

/// A drive through Munich as a GGA + VTG log.
std::vector<std::string> munichDrive() {
  test::TrackBuilder t(48.137, 11.575, 9 * 3600);
  t.add(t.current()).drive(0, 40, 300, 5).stand(300).drive(90, 90, 600, 5).drive(200, 30, 300, 5);
  return t.ggaVtgLines();
}

TEST_P(CoordText, TrackSavedInEveryNotation) {
  // Seconds carry the host's decimal separator, the other notations never do.
  const std::pair<int, std::string> cases[] = {
      {20, sep() == ',' ? "track_gms_comma_host.txt" : "track_gms_point_host.txt"},
      {21, "track_gm.txt"},
      {22, "track_dg.txt"},
      {23, "track_mercator.txt"},
  };
  test::useInput(session, 1);
  test::setInput(session, munichDrive());
  for (const auto& [code, golden] : cases) {
    SCOPED_TRACE(golden);
    test::useOutput(session, code);
    RouteExecute(session);
    port.saveAnswers.push_back(out.file(golden));
    SaveNaviExecute(session);
    EXPECT_EQ(readBytes(out.file(golden)), readBytes(test::formatData("coordtext", golden)));
  }
  EXPECT_TRUE(port.prompts.empty());
}

KURSOLIN_ON_BOTH_HOSTS(CoordText);

}  // namespace
}  // namespace kursolin
