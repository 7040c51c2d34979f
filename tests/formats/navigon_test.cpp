// Navigon route lines: reading, writing in the three layouts, recognition, messages.
#include <gtest/gtest.h>

#include "formats/navigon.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "support/route_records.h"
#include "support/session_setup.h"
#include "track/generator.h"
#include "workflow/dispatch.h"

namespace kursolin {
namespace {

const std::string kMN42Line =
    "-|-|17|-|08523|Plauen|08523|Jahnstrasse|28|-|-|12.10727|50.49425|-|-|";  // 15 "|"
const std::string kMN5Line =
    "x|p1|p2|p3|p4|Name|p6|p7|p8|p9|p10|12.10727|50.49425|p13|p14|p15|p16|";  // 17 "|"
const std::string kMN4Line = "x|p1|p3|p4|Name|p6|p7|p8|p9|p10|7.123456|51.123456|p14|";  // 13

class Navigon : public test::HostTest {
 protected:
  void SetUp() override { test::createLikeTheWindow(session); }
  // Reads a line in the layout of an input code (8: MN|4, 9: MN|4.2 or, with mn5, MN5).
  int read(int code, const std::string& line, bool mn5 = false) {
    session.doc.InputLayout = mn5 ? kNavigonMN5Layout : 0;
    session.doc.InputLines.assign({line});
    ResetNaviFields(session);
    return GetMN(session, line, 0, layoutOf(code));
  }
  static NavigonVersion layoutOf(int code) {
    return code == 8 ? NavigonVersion::MN4 : NavigonVersion::MN42;
  }
  std::string write(NavigonVersion v, int n = 1) {
    session.CurrentPoint.PointLabel = "-";
    return navigonLine(session, v, n);
  }
  PointRecord& p() { return session.CurrentPoint; }
};

TEST_P(Navigon, ReadsEveryLayoutIntoItsFields) {
  ASSERT_EQ(read(9, kMN5Line, true), 1);
  for (int i = 1; i <= 16; ++i) {
    if (i == RteLon || i == RteLat || i == RtePlaceName) continue;
    EXPECT_EQ(p().NaviFields[static_cast<std::size_t>(i)], "p" + std::to_string(i)) << i;
  }
  EXPECT_EQ(p().navi(RtePlaceName), "Name");
  EXPECT_EQ(p().LonDec, "12.10727");
  EXPECT_EQ(p().LatDec, "50.49425");
  EXPECT_NEAR(static_cast<double>(p().LatValue), 50.49425, 1e-12);
  EXPECT_EQ(p().LatGrMin, "05029.655");
  EXPECT_EQ(p().LatNmea, "05029.655");
  EXPECT_EQ(p().LatGMS, h("050\xB0" "29\xB4" "39.30\""));
  EXPECT_EQ(p().LatMer, "6525021");
  EXPECT_TRUE(test::routeFileDefaults(p()));

  // A 15-field file read as code 9 leaves fields 15 and 16 alone.
  ASSERT_EQ(read(9, kMN42Line, false), 1);
  EXPECT_EQ(p().navi(RtePlace15), "-");
  EXPECT_EQ(p().navi(RtePlace16), "-");
  EXPECT_EQ(p().navi(RtePlace2), "17");
  EXPECT_EQ(p().navi(RtePlaceName), "Plauen");

  // MN|4 has no fields 2 and 13.
  ASSERT_EQ(read(8, kMN4Line), 1);
  EXPECT_EQ(p().navi(RtePlace1), "p1");
  EXPECT_EQ(p().navi(RtePlace2), "-");
  EXPECT_EQ(p().navi(RtePlace3), "p3");
  EXPECT_EQ(p().navi(RtePlace13), "-");
  EXPECT_EQ(p().navi(RtePlace14), "p14");
  EXPECT_EQ(p().LonDec, "7.123456");
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Navigon, ShortAndLongLinesOfEveryVersion) {
  ASSERT_EQ(read(9, kMN5Line, true), 1);
  for (const BoolOption* o : {&MN4ShowOrt, &MN42ShowOrt, &MN5ShowOrt}) session.opt.set(*o, false);
  EXPECT_EQ(write(NavigonVersion::MN4), "-|-|-|-|-|-|-|-|-|-|12.10727|50.49425|-|");
  EXPECT_EQ(write(NavigonVersion::MN42), "-|-|-|-|-|-|-|-|-|-|-|12.10727|50.49425|-|-|");
  EXPECT_EQ(write(NavigonVersion::MN5), "-|-|-|-|-|-|-|-|-|-|-|12.10727|50.49425|-|-|-|-|");
  for (const BoolOption* o : {&MN4ShowOrt, &MN42ShowOrt, &MN5ShowOrt}) session.opt.set(*o, true);
  EXPECT_EQ(write(NavigonVersion::MN4), "-|p1|p3|p4|Name|p6|p7|p8|p9|p10|12.10727|50.49425|p14|");
  EXPECT_EQ(write(NavigonVersion::MN42),
            "-|p1|p2|p3|p4|Name|p6|p7|p8|p9|p10|12.10727|50.49425|p13|p14|");
  EXPECT_EQ(write(NavigonVersion::MN5),
            "-|p1|p2|p3|p4|Name|p6|p7|p8|p9|p10|12.10727|50.49425|p13|p14|p15|p16|");
}

TEST_P(Navigon, TheWorkedExampleLine) {
  session.CurrentPoint.LatDec = "51.123456";
  session.CurrentPoint.LonDec = "7.123456";
  session.opt.set(MN4ShowOrt, false);
  EXPECT_EQ(write(NavigonVersion::MN4), "-|-|-|-|-|-|-|-|-|-|7.123456|51.123456|-|");
  // A decimal comma from a source formatted with the host separator is written as a point.
  session.CurrentPoint.LonDec = "7,5";
  EXPECT_EQ(write(NavigonVersion::MN4), "-|-|-|-|-|-|-|-|-|-|7.5|51.123456|-|");
}

TEST_P(Navigon, Mn5NamesUnnamedPoints) {
  session.opt.set(MN5ShowOrt, true);
  ResetNaviFields(session);
  session.CurrentPoint.LatDec = "48.1";
  session.CurrentPoint.LonDec = "11.5";
  EXPECT_EQ(write(NavigonVersion::MN5, 7), "-|-|-|-|-|KS-Rp 7|-|-|-|-|-|11.5|48.1|-|-|-|-|");
  EXPECT_EQ(session.CurrentPoint.navi(RtePlaceName), "KS-Rp 7") << "the field keeps the name";
  // MN|4 with details allowed and a non-Navigon source equals the short form.
  ResetNaviFields(session);
  session.opt.set(MN4ShowOrt, true);
  const std::string lng = write(NavigonVersion::MN4);
  session.opt.set(MN4ShowOrt, false);
  EXPECT_EQ(lng, write(NavigonVersion::MN4));
}

TEST_P(Navigon, MissingOrOffGlobeCoordinatesAndEmptyLines) {
  struct Case {
    std::string line;
    std::string message;
  } cases[] = {
      {"", "Die aktuelle Zeile 4\r der Quelldatei ist leer !"},
      {"-|-|-|-|-|-|-|-|-|-|-|-|-|-|-|",
       "Der aktuelle Routenpunkt 4\r\r-|-|-|-|-|-|-|-|-|-|-|-|-|-|-|\r\renth\xE4lt keine "
       "Koordinaten "
       "f\xFCr die \xF6stliche L\xE4nge !\rDer Routenpunkt wird nicht ausgewertet"},
      {"-|-|-|-|-|-|-|-|-|-|-|7.5|-|-|-|",
       "Der aktuelle Routenpunkt 4\r\r-|-|-|-|-|-|-|-|-|-|-|7.5|-|-|-|\r\renth\xE4lt keine "
       "Koordinaten f\xFCr die n\xF6rdliche Breite !\rDer Routenpunkt wird nicht ausgewertet"},
      // The poles have no Mercator value: they lie off the globe like what is beyond them.
      {"-|-|-|-|-|-|-|-|-|-|-|7.5|90|-|-|",
       "Der aktuelle Routenpunkt 4\r\r-|-|-|-|-|-|-|-|-|-|-|7.5|90|-|-|\r\rliegt au\xDF"
       "erhalb des g\xFCltigen Bereichs f\xFCr die n\xF6rdliche Breite !\rDer Routenpunkt wird "
       "nicht ausgewertet"},
      {"-|-|-|-|-|-|-|-|-|-|-|7.5|-90.0|-|-|",
       "Der aktuelle Routenpunkt 4\r\r-|-|-|-|-|-|-|-|-|-|-|7.5|-90.0|-|-|\r\rliegt au\xDF"
       "erhalb des g\xFCltigen Bereichs f\xFCr die n\xF6rdliche Breite !\rDer Routenpunkt wird "
       "nicht ausgewertet"},
      {"-|-|-|-|-|-|-|-|-|-|-|180.5|51|-|-|",
       "Der aktuelle Routenpunkt 4\r\r-|-|-|-|-|-|-|-|-|-|-|180.5|51|-|-|\r\rliegt au\xDF"
       "erhalb des g\xFCltigen Bereichs f\xFCr die \xF6stliche L\xE4nge !\rDer Routenpunkt wird "
       "nicht ausgewertet"},
  };
  for (const auto& c : cases) {
    port.clearRecords();
    session.doc.InputLayout = 0;
    EXPECT_EQ(GetMN(session, c.line, 3, NavigonVersion::MN42), 0) << c.line;
    ASSERT_EQ(port.prompts.size(), 1u) << c.line;
    EXPECT_EQ(port.prompts[0].text, c.message);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
  }
}

TEST_P(Navigon, ACoordinateThatIsNoNumberEndsTheConversion) {
  for (const char* line : {"-|-|-|-|-|-|-|-|-|-|-|abc|50.1|-|-|", "-|-|-|-|-|-|-|-|-|-|-||50.1|-|-|",
                           "-|-|-|-|-|-|-|-|-|-|-|7.5"}) {
    EXPECT_THROW(GetMN(session, line, 0, NavigonVersion::MN42), ConvertError) << line;
  }
}

TEST_P(Navigon, Recognition) {
  struct Case {
    std::string first;
    int code;
    bool ok;
  } cases[] = {
      {kMN4Line, 8, true},     {kMN4Line + "|", 8, false}, {kMN42Line, 9, true},
      {kMN5Line, 9, true},     {kMN42Line + "|", 9, false}, {kMN42Line, 8, false},
      {"", 9, false},          {kMN4Line, 9, false},
  };
  for (const auto& c : cases) {
    TextLines l;
    l.assign({c.first, "x"});
    EXPECT_EQ(navigonRecognized(l, layoutOf(c.code)), c.ok) << c.first << " as " << c.code;
  }
}

TEST_P(Navigon, PlaceNameWarnings) {
  EXPECT_EQ(mn4ShowOrtWarning(),
            " ACHTUNG ! Sollte ein Ort der Route von MN|4 auf dem PDA nicht erkannt werden,\r"
            "                   wird die ganze Route nicht geladen !\r"
            "In diesem Fall den Haken an der Checkbox entfernen und die Route neu berechnen");
  EXPECT_EQ(mn42ShowOrtWarning(),
            " ACHTUNG ! Sollte ein Ort der Route von MN|4.2 auf dem PDA nicht erkannt werden,\r"
            "                    wird die ganze Route nicht geladen !\r"
            " In diesem Fall den Haken an der Checkbox entfernen und die Route neu berechnen");
}

TEST_P(Navigon, EveryLayoutReadsBackWhatWasWritten) {
  for (const BoolOption* o : {&MN4ShowOrt, &MN42ShowOrt, &MN5ShowOrt}) session.opt.set(*o, true);
  struct Case {
    NavigonVersion v;
    int code;
    bool mn5;
  } cases[] = {{NavigonVersion::MN4, 8, false},
               {NavigonVersion::MN42, 9, false},
               {NavigonVersion::MN5, 9, true}};
  for (const auto& c : cases) {
    ASSERT_EQ(read(9, kMN5Line, true), 1);
    const PointRecord source = p();
    const std::string written = write(c.v, 1);
    ASSERT_EQ(read(c.code, written, c.mn5), 1) << written;
    EXPECT_EQ(p().LatDec, source.LatDec);
    EXPECT_EQ(p().LonDec, source.LonDec);
    EXPECT_EQ(p().LatMer, source.LatMer);
    EXPECT_EQ(p().navi(RtePlaceName), "Name");
    EXPECT_EQ(p().navi(RtePlace14), "p14");
    EXPECT_EQ(p().navi(RtePlace2), c.v == NavigonVersion::MN4 ? "-" : "p2");
    EXPECT_EQ(p().navi(RtePlace16), c.v == NavigonVersion::MN5 ? "p16" : "-");
  }
}

class NavigonConversion : public Navigon {};

TEST_P(NavigonConversion, Mn5ToMn4AndBack) {
  const std::vector<std::string> mn5 = {
      "-|a|b|c|d|Plauen|e|f|g|h|i|12.10727|50.49425|j|k|l|m|",
      "-|-|-|-|-|-|-|-|-|-|-|12.01210|50.37575|-|-|-|-|",
      "-|a|b|c|d|Rehau|e|f|g|h|i|12.07199|50.22467|j|k|l|m|",
  };
  test::useInput(session, 9);
  test::setInput(session, mn5);
  session.doc.InputLayout = true;
  session.opt.rules.AllGGACheck = true;
  session.opt.rules.XRPSpin = 1;
  // With details: MN|4 keeps the fields it has.
  session.opt.set(MN4ShowOrt, true);
  test::useOutput(session, 0);
  RouteErzeugen(session);
  std::vector<std::string> expected = {
      "-|a|c|d|Plauen|e|f|g|h|i|12.10727|50.49425|k|",
      "-|-|-|-|-|-|-|-|-|-|12.01210|50.37575|-|",
      "-|a|c|d|Rehau|e|f|g|h|i|12.07199|50.22467|k|",  // the end point: the scan stops before it
  };
  EXPECT_EQ(test::output(session), expected);
  // Without details.
  session.opt.set(MN4ShowOrt, false);
  RouteErzeugen(session);
  EXPECT_EQ(test::output(session)[0], "-|-|-|-|-|-|-|-|-|-|12.10727|50.49425|-|");

  // And back from MN|4 to MN5: the names come along, unnamed points get "KS-Rp n".
  const std::vector<std::string> mn4 = {expected[0], expected[1], expected[2]};
  test::useInput(session, 8);
  test::setInput(session, mn4);
  session.opt.set(MN5ShowOrt, true);
  test::useOutput(session, 2);
  RouteErzeugen(session);
  const auto out = test::output(session);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0], "-|a|-|c|d|Plauen|e|f|g|h|i|12.10727|50.49425|-|k|-|-|");
  EXPECT_EQ(out[1], "-|-|-|-|-|KS-Rp 2|-|-|-|-|-|12.01210|50.37575|-|-|-|-|");
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(NavigonConversion, RulesOnARouteFileUseDistanceOnly) {
  // A log driven above the distance rule's speed comes first: its speed must not stay behind in
  // the records of the route file.
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 120, 60);
  test::useInput(session, 2);
  test::setInput(session, t.rmcLines());
  test::onlyRules(session, true, false, false, false);
  test::useOutput(session, 1);
  RouteErzeugen(session);
  ASSERT_GT(session.CurrentPoint.SpeedValue, session.opt.rules.MeterSpeedEdit);

  // Route points 1.1 km apart: the distance rule at 1000 m takes each of them.
  std::vector<std::string> lines;
  for (int i = 0; i < 5; ++i)
    lines.push_back("-|-|-|-|-|-|-|-|-|-|-|11.00000|" + std::to_string(48.0 + 0.01 * i) + "|-|-|");
  test::useInput(session, 9);
  test::setInput(session, lines);
  RouteErzeugen(session);
  EXPECT_EQ(session.doc.RoutePointCount, 5) << "start, three by distance (1111 m), the end point";
}

KURSOLIN_ON_BOTH_HOSTS(Navigon);
KURSOLIN_ON_BOTH_HOSTS(NavigonConversion);

}  // namespace
}  // namespace kursolin
