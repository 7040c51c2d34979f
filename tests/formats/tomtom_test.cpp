// TomTom ITN files: the coordinate encoding, reading, recognition at load, the flag pass after a
// generation, a reversal and a split, and whole conversions against committed files.
#include <gtest/gtest.h>

#include "core/textutil.h"
#include "formats/tomtom.h"
#include "session/panes.h"
#include "support/hosts.h"
#include "support/route_records.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/loading.h"
#include "workflow/program.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {
namespace {

using test::crlf;
using test::readBytes;
using test::writeBytes;

/// n ITN lines as another program might write them: names and flags of its own.
std::vector<std::string> itnLines(int n) {
  std::vector<std::string> lines;
  for (int i = 1; i <= n; ++i) {
    lines.push_back(std::to_string(1100000 + i) + "|" + std::to_string(4850000 + 10 * i) + "|Ort " +
                    std::to_string(i) + "|0|");
  }
  return lines;
}

class TomTom : public test::HostTest {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(session);
    session.opt.InputFormat = 10;
    session.opt.SaveDir = out.dir();
  }
  PointRecord& p() { return session.CurrentPoint; }
  /// Every line of the input becomes a route point.
  void everyLine() {
    session.opt.rules.AllGGACheck = true;
    session.opt.rules.XRPSpin = 1;
  }
  /// A route made from ITN lines, as the window makes it.
  void routeFrom(const std::vector<std::string>& lines, int outputCode = 3) {
    test::useInput(session, 10);
    test::setInput(session, lines);
    everyLine();
    test::useOutput(session, outputCode);
    RouteExecute(session);
  }
  /// The flag field of each line of the output.
  std::vector<std::string> flags() const {
    std::vector<std::string> f;
    for (const auto& l : session.doc.OutputLines.lines()) {
      const auto last = l.rfind('|');
      const auto before = l.rfind('|', last - 1);
      f.push_back(l.substr(before + 1, last - before - 1));
    }
    return f;
  }
  test::ScratchFolder out;
};

TEST_P(TomTom, MakeTTKCutsToFiveFractionDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"7.123456", "712345"},  {"51.12", "5112000"},      {"0.5", "050000"},
      {"-3.2", "-320000"},     {"123.45678", "12345678"}, {"-33.9", "-3390000"},
      {"7,123456", "712345"},  {"7.999999", "799999"},    {"12", "1200000"},
      {"-0.05000", "-005000"}, {"48.000000", "4800000"},  {" 7.5 ", "750000"},
  };
  for (const auto& [dec, field] : cases) EXPECT_EQ(MakeTTK(dec), field) << dec;
}

TEST_P(TomTom, ReadsEveryNotationOfTheCoordinates) {
  ASSERT_EQ(GetTT(session, "712345|5112345|Zuhause|2|", 0), 1);
  EXPECT_EQ(p().LonDec, "7.12345");
  EXPECT_EQ(p().LatDec, "51.12345");
  EXPECT_NEAR(static_cast<double>(p().LatValue), 51.12345, 1e-12);
  EXPECT_NEAR(static_cast<double>(p().LonValue), 7.12345, 1e-12);
  EXPECT_EQ(p().LatGrMin, "05107.407");
  EXPECT_EQ(p().LatNmea, "05107.407");
  EXPECT_EQ(p().LonGrMin, "00707.407");
  EXPECT_EQ(p().LatGMS, h("051\xB0"
                          "07\xB4"
                          "24.42\""));
  EXPECT_EQ(p().LatMer, "6635741");
  EXPECT_EQ(p().LonMer, "792093");
  EXPECT_EQ(p().navi(RteLon), "7.12345");
  EXPECT_EQ(p().navi(RteLat), "51.12345");
  EXPECT_TRUE(test::routeFileDefaults(p()));
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(TomTom, FieldsBecomeDecimalDegrees) {
  struct Case {
    const char* line;
    const char* lon;
    const char* lat;
  } cases[] = {
      {"12345678|-3390000|x|3|", "123.45678", "-33.90000"},
      {"-5000|4800001|x|1|", "-0.05000", "48.00001"},
      {"7|4800000|x|1|", "0.00007", "48.00000"},
      {"0712345|05112345|x|1|", "07.12345", "051.12345"},  // leading zeros stay
      {"712345|5112345", "7.12345", "51.12345"},  // what follows the latitude is not needed
  };
  for (const auto& c : cases) {
    ASSERT_EQ(GetTT(session, c.line, 0), 1) << c.line;
    EXPECT_EQ(p().LonDec, c.lon) << c.line;
    EXPECT_EQ(p().LatDec, c.lat) << c.line;
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(TomTom, EmptyLinesAndMissingCoordinatesAreSkippedWithAMessage) {
  struct Case {
    std::string line;
    std::string message;
  } cases[] = {
      {"", "Die aktuelle Zeile 7\r der Quelldatei ist leer !"},
      {"|5112345|x|4|",
       "Der aktuelle Routenpunkt 7\r\r|5112345|x|4|\r\renth\xE4lt keine Koordinaten f\xFCr die "
       "\xF6stliche L\xE4nge !\rDer Routenpunkt wird nicht ausgewertet"},
      {"0|0|x|4|",
       "Der aktuelle Routenpunkt 7\r\r0|0|x|4|\r\renth\xE4lt keine Koordinaten f\xFCr die "
       "\xF6stliche L\xE4nge !\rDer Routenpunkt wird nicht ausgewertet"},
      {"712345||x|4|",
       "Der aktuelle Routenpunkt 7\r\r712345||x|4|\r\renth\xE4lt keine Koordinaten f\xFCr die "
       "n\xF6rdliche Breite !\rDer Routenpunkt wird nicht ausgewertet"},
      {"712345",
       "Der aktuelle Routenpunkt 7\r\r712345\r\renth\xE4lt keine Koordinaten f\xFCr die "
       "n\xF6rdliche Breite !\rDer Routenpunkt wird nicht ausgewertet"},
  };
  for (const auto& c : cases) {
    port.clearRecords();
    EXPECT_EQ(GetTT(session, c.line, 6), 0) << c.line;
    ASSERT_EQ(port.prompts.size(), 1u) << c.line;
    EXPECT_EQ(port.prompts[0].text, c.message);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
  }
}

TEST_P(TomTom, ACoordinateFieldThatIsNoWholeNumberIsAConversionError) {
  for (const char* line : {"7.12345|5112345|x|4|", "712345|51,12345|x|4|", "+712345|5112345|x|4|",
                           " 712345|5112345|x|4|", "71-2345|5112345|x|4|", "abc|5112345|x|4|"}) {
    EXPECT_THROW(GetTT(session, line, 0), ConvertError) << line;
  }
}

TEST_P(TomTom, ConversionErrorStopsTheRouteAndKeepsWhatWasMade) {
  auto lines = itnLines(5);
  lines[3] = "1100004|48.5|Ort 4|0|";
  routeFrom(lines);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
  EXPECT_EQ(port.prompts[0].text,
            "Der aktuelle Routenpunkt 4\r\r1100004|48.5|Ort 4|0|\r\renth\xE4lt die Koordinate "
            "\"48.5\", die keine Zahl ist !\rDie Routenberechnung wird abgebrochen");
  // The three points before the bad line stay, flagged as a route of their own.
  EXPECT_EQ(test::output(session),
            (std::vector<std::string>{"1100001|4850010|KS-Rp 1|4|", "1100002|4850020|KS-Rp 2|1|",
                                      "1100003|4850030|KS-Rp 3|3|"}));
  EXPECT_TRUE(session.shell.item("SaveNavi").enabled);
}

TEST_P(TomTom, RecognitionLooksAtTheBarsOfTheFirstLineOnly) {
  struct Case {
    std::vector<std::string> lines;
    bool ok;
  } cases[] = {
      {{"712345|5112345|x|4|", "anything"}, true},
      {{"|||||"}, false},
      {{"||||"}, true},
      {{"712345|5112345|x|4"}, false},  // GPSBabel's lines end without the final "|"
      {{"712345|5112345|x|4||"}, false},
      {{"", "712345|5112345|x|4|"}, false},
      {{}, false},
  };
  for (const auto& c : cases) {
    TextLines l;
    l.assign(c.lines);
    EXPECT_EQ(tomTomRecognized(l), c.ok) << ::testing::PrintToString(c.lines);
  }
}

TEST_P(TomTom, StartAndDestinationFlags) {
  // A route of one point: the first line has no coordinates and is skipped after its message.
  const std::vector<std::string> onePoint = {"0|0|Nirgendwo|0|", itnLines(1)[0]};
  struct Case {
    std::vector<std::string> input;
    std::string digits;
    std::vector<std::string> flags;
  } cases[] = {
      {itnLines(3), "413", {"4", "1", "3"}}, {onePoint, "413", {"3"}},
      {itnLines(2), "413", {"4", "3"}},      {itnLines(4), "987", {"9", "8", "8", "7"}},
      {itnLines(3), "4", {"4", "", ""}},  // a short setting leaves the fields empty
      {itnLines(3), "", {"", "", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.digits + " " + std::to_string(c.flags.size()));
    session.opt.set(TTFlags, c.digits);
    routeFrom(c.input);
    EXPECT_EQ(flags(), c.flags);
    for (const auto& l : session.doc.OutputLines.lines()) EXPECT_EQ(countChar(l, '|'), 4) << l;
  }
  // An empty list stays empty.
  TextLines none;
  SetTTFlag(session, none);
  EXPECT_TRUE(none.empty());
}

TEST_P(TomTom, TomTomToTomTomRenamesEveryPointAndSetsItsOwnFlags) {
  routeFrom(itnLines(3));
  EXPECT_EQ(test::output(session),
            (std::vector<std::string>{"1100001|4850010|KS-Rp 1|4|", "1100002|4850020|KS-Rp 2|1|",
                                      "1100003|4850030|KS-Rp 3|3|"}));
  EXPECT_EQ(session.outputCaption(), "TomTom Routenpunkte := 3");
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(TomTom, ReversalMovesTheFlagsAndASecondReversalRestoresThem) {
  routeFrom(itnLines(4));
  const auto original = test::output(session);
  RouteReversActionExecute(session);
  EXPECT_EQ(test::output(session),
            (std::vector<std::string>{"1100004|4850040|KS-Rp 4|4|", "1100003|4850030|KS-Rp 3|1|",
                                      "1100002|4850020|KS-Rp 2|1|", "1100001|4850010|KS-Rp 1|3|"}));
  RouteReversActionExecute(session);
  EXPECT_EQ(test::output(session), original);

  // With a setting too short for the destination, the lines stay whole through reversals.
  session.opt.set(TTFlags, "41");
  routeFrom(itnLines(3));
  RouteReversActionExecute(session);
  EXPECT_EQ(test::output(session),
            (std::vector<std::string>{"1100003|4850030|KS-Rp 3|4|", "1100002|4850020|KS-Rp 2|1|",
                                      "1100001|4850010|KS-Rp 1||"}));
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(TomTom, ReadWriteReadKeepsThePoint) {
  struct Case {
    const char* lat;
    const char* lon;
  } cases[] = {{"51.12345", "7.12345"},
               {"-33.9", "123.45678"},
               {"0.5", "-0.05"},
               {"48.000001", "11.999999"}};
  for (const auto& c : cases) {
    // A point from a decimal-degree source, as any reader leaves it.
    p().LatDec = c.lat;
    p().LonDec = c.lon;
    const std::string written = tomTomLine(session, 1);
    ASSERT_EQ(GetTT(session, written, 0), 1) << written;
    const PointRecord first = p();
    EXPECT_NEAR(static_cast<double>(first.LatValue), std::stod(c.lat), 1e-5) << written;
    EXPECT_NEAR(static_cast<double>(first.LonValue), std::stod(c.lon), 1e-5) << written;
    // From then on nothing changes: written again, read again, the same record.
    ASSERT_EQ(GetTT(session, tomTomLine(session, 2), 0), 1);
    EXPECT_EQ(p().LatDec, first.LatDec);
    EXPECT_EQ(p().LonDec, first.LonDec);
    EXPECT_EQ(p().LatValue, first.LatValue);
    EXPECT_EQ(p().LonValue, first.LonValue);
    EXPECT_EQ(p().LatGrMin, first.LatGrMin);
    EXPECT_EQ(p().LonGMS, first.LonGMS);
    EXPECT_EQ(p().LatMer, first.LatMer);
    EXPECT_EQ(p().LonMer, first.LonMer);
  }
  // The example of 123.45678 and -33.9.
  p().LatDec = "-33.9";
  p().LonDec = "123.45678";
  EXPECT_EQ(tomTomLine(session, 1), "12345678|-3390000|KS-Rp 1|1|");
}

TEST_P(TomTom, LoadingReportsTheFileInCaptionAndStatus) {
  session.opt.InputFormat = 1;
  session.opt.OpenDir = out.dir();
  applyStartFormats(session);
  writeBytes(out.file("Tour.itn"), crlf(itnLines(4)));
  writeBytes(out.file("GPSBabel.itn"), "712345|5112345|x|0\r\n712346|5112346|y|0\r\n");
  port.clearRecords();

  port.openAnswers.push_back(out.file("Tour.itn"));
  SourceChange(session, 10);
  ASSERT_EQ(port.openRequests.size(), 1u);
  EXPECT_EQ(port.openRequests[0].title, "TomTom Routendatei laden");
  EXPECT_EQ(port.openRequests[0].filter, "TomTom Routendatei(*.itn)|*.itn");
  EXPECT_EQ(session.inputCaption(), "TomTom Routendatei - Zeilen = 4");
  EXPECT_EQ(session.statusText(), "TomTom Routendatei = " + out.file("Tour.itn"));
  EXPECT_TRUE(session.shell.item("Route").enabled);
  EXPECT_TRUE(session.shell.item("MeterCheck").enabled);
  EXPECT_FALSE(session.shell.item("MeterSpeedEdit").enabled);
  EXPECT_TRUE(port.prompts.empty());

  port.openAnswers.push_back(out.file("GPSBabel.itn"));
  LoadNMEAExecute(session);
  EXPECT_EQ(session.inputCaption(), "TomTom Routendatei Fehler!");
  EXPECT_EQ(session.statusText(), "TomTom Routendatei = " + out.file("GPSBabel.itn"));
  EXPECT_FALSE(session.shell.item("Route").enabled);
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
  EXPECT_EQ(port.prompts[0].text,
            "Keine verwertbaren Informationen erkannt oder keine TomTom Routendatei");
  EXPECT_EQ(session.doc.InputLines.Count(), 2) << "the lines stay in the pane";
}

TEST_P(TomTom, SharedSampleWithLatitudeFirstAndThreeBarsIsRefused) {
  const std::string sample = std::string(KURSOLIN_SHARED_SAMPLES) + "/route-lat-first.itn";
  if (readBytes(sample).empty()) GTEST_SKIP() << "shared samples not present";
  test::useInput(session, 10);
  EXPECT_FALSE(loadInputFile(session, sample));
  EXPECT_EQ(session.inputCaption(), "TomTom Routendatei Fehler!");
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Keine verwertbaren Informationen erkannt oder keine TomTom Routendatei");
  EXPECT_FALSE(session.shell.item("Route").enabled);
}

/// A drive through Munich as a GGA + VTG log.
std::vector<std::string> munichDrive() {
  test::TrackBuilder t(48.137, 11.575, 9 * 3600);
  t.add(t.current()).drive(0, 40, 300, 5).stand(300).drive(90, 90, 600, 5).drive(200, 30, 300, 5);
  return t.ggaVtgLines();
}

TEST_P(TomTom, TrackSavedAsOneFile) {
  test::useInput(session, 1);
  test::setInput(session, munichDrive());
  test::useOutput(session, 3);
  RouteExecute(session);
  port.saveAnswers.push_back(out.file("Tour.itn"));
  SaveNaviExecute(session);
  ASSERT_EQ(port.saveRequests.size(), 1u);
  EXPECT_EQ(port.saveRequests[0].title, "Route als TomTom Routendatei speichern");
  EXPECT_EQ(port.splitDialogs, 0);
  EXPECT_EQ(readBytes(out.file("Tour.itn")), readBytes(test::formatData("tomtom", "track.itn")));
}

TEST_P(TomTom, EachPartFileGetsItsOwnFlags) {
  routeFrom(itnLines(7));
  session.opt.set(MpTT3, 3);
  port.saveAnswers.push_back(out.file("Tour.itn"));
  SaveNaviExecute(session);
  EXPECT_EQ(port.splitDialogs, 1);
  EXPECT_EQ(out.entries(), (std::set<std::string>{"Tour.itn", "Tour_1.itn", "Tour_2.itn"}));
  for (const char* name : {"Tour.itn", "Tour_1.itn", "Tour_2.itn"}) {
    EXPECT_EQ(readBytes(out.file(name)), readBytes(test::formatData("tomtom/split", name))) << name;
  }
  // The route in the pane keeps the flags of the whole route.
  EXPECT_EQ(flags(), (std::vector<std::string>{"4", "1", "1", "1", "1", "1", "3"}));
}

KURSOLIN_ON_BOTH_HOSTS(TomTom);

}  // namespace
}  // namespace kursolin
