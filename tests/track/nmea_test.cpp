// GGA, RMC and VTG sentences into the point record.
#include <gtest/gtest.h>

#include "core/coords.h"
#include "core/cp1252.h"
#include "support/hosts.h"
#include "support/nmea_writer.h"
#include "track/nmea.h"

namespace kursolin {
namespace {

const std::string kGGA =
    "$GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,545.4,M,46.9,M,,*69";
const std::string kRMC =
    "$GPRMC,123519.00,A,4807.0380,N,01131.0000,E,022.4,084.4,230394,003.1,W*44";
const std::string kVTG = "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48";

/// The sentence with its body changed and the checksum made right again.
std::string resigned(const std::string& body) { return test::sentence(body); }

std::string bodyOf(const std::string& line) { return line.substr(1, line.size() - 4); }

class Nmea : public test::HostTest {
 protected:
  /// Parses a line that stands at `index` of InputLines.
  bool parse(bool (*parser)(Session&, const std::string&, int), const std::string& line,
             int index = 0) {
    std::vector<std::string> lines(static_cast<std::size_t>(index) + 1, "filler");
    lines[static_cast<std::size_t>(index)] = line;
    session.doc.InputLines.assign(lines);
    return parser(session, line, index);
  }
  /// The record with every text in place, as an emitted record has it.
  const PointRecord& p() {
    completePositionTexts(session.numbers, session.CurrentPoint);
    return session.CurrentPoint;
  }
};

TEST_P(Nmea, TheSampleChecksumsAreRight) {
  EXPECT_EQ(checksumText(bodyOf(kGGA)), "69");
  EXPECT_EQ(checksumText(bodyOf(kRMC)), "44");
  EXPECT_EQ(checksumText(bodyOf(kVTG)), "48");
  EXPECT_EQ(pruefsumme(""), 0);
  // Every length around the eight-byte steps, every byte value, against the plain XOR.
  std::string text;
  for (int n = 0; n < 70; ++n) {
    std::uint8_t plain = 0;
    for (char c : text) plain ^= static_cast<std::uint8_t>(c);
    EXPECT_EQ(pruefsumme(text), plain) << n;
    text.push_back(static_cast<char>(37 * n + 200));
  }
}

TEST_P(Nmea, GgaSample) {
  ASSERT_TRUE(parse(GetGGA, kGGA));
  EXPECT_EQ(p().SentenceId, "$GPGGA");
  EXPECT_EQ(p().Time, "123519.00");
  EXPECT_EQ(p().LatDec, "48.117300");
  EXPECT_EQ(p().LonDec, "11.516667");
  EXPECT_EQ(p().LatMer, "6119550");
  EXPECT_EQ(p().LonMer, "1280598");
  EXPECT_EQ(p().LatNmea, "4807.0380");
  EXPECT_EQ(p().LonNmea, "01131.0000");
  EXPECT_EQ(p().LatGMS, h("48\xB0" "07\xB4" "2.28\""));
  EXPECT_EQ(p().LonGMS, h("011\xB0" "31\xB4" "0.00\""));
  EXPECT_EQ(p().SatCount, "08");
  EXPECT_EQ(p().Hdop, "0.9");
  EXPECT_EQ(p().Altitude, "498");
  EXPECT_EQ(p().FixOk, "1");
  EXPECT_NEAR(static_cast<double>(p().LatValue), 48.1173, 1e-12);
  EXPECT_NEAR(static_cast<double>(p().LonValue), 11.5166666666667, 1e-12);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Nmea, GgaLeavesDateCourseSpeedAndValidityAlone) {
  session.CurrentPoint.Date = "d";
  session.CurrentPoint.Course = "c";
  session.CurrentPoint.SpeedKmh = "k";
  session.CurrentPoint.PointValid = true;
  session.CurrentPoint.SpeedValue = 3;
  ASSERT_TRUE(parse(GetGGA, kGGA));
  EXPECT_EQ(p().Date, "d");
  EXPECT_EQ(p().Course, "c");
  EXPECT_EQ(p().SpeedKmh, "k");
  EXPECT_TRUE(p().PointValid);
  EXPECT_EQ(p().SpeedValue, 3);
}

// Receivers in Europe and North America report 2 (DGPS, SBAS) whenever EGNOS or WAAS is
// received, 3 for PPS and 4, 5 for RTK: all of them are fixes, stored as "1". The program's old
// rule took only 1 as a fix, so such a log gave no route at all; this test used to expect "no fix"
// for quality 2. 0, 6 (estimated), 7 (manual) and 8 (simulation) stay without fix as read.
TEST_P(Nmea, FixQualitiesOneToFiveAreFixes) {
  const struct {
    const char* quality;
    const char* fixOk;
  } cases[] = {{"1", "1"}, {"2", "1"}, {"3", "1"}, {"4", "1"}, {"5", "1"},
               {"0", "0"}, {"6", "6"}, {"7", "7"}, {"8", "8"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quality);
    ASSERT_TRUE(parse(GetGGA, kGGA));
    const auto lastLat = p().LatValue;
    ASSERT_TRUE(parse(GetGGA, resigned(std::string("GPGGA,123520.00,4808.0000,N,01132.0000,E,") +
                                       c.quality + ",08,0.9,545.4,M,46.9,M,,")));
    EXPECT_EQ(p().FixOk, c.fixOk);
    if (std::string(c.fixOk) == "1") {
      EXPECT_EQ(p().LatDec, "48.133333");
      EXPECT_EQ(p().LonDec, "11.533333");
    } else {
      EXPECT_EQ(p().LatDec, "0");
      EXPECT_EQ(p().LatValue, lastLat) << "keeps the last position with a fix";
      EXPECT_EQ(p().LatGrMin, "4808.0000") << "the new text is held";
    }
  }
}

// A broken logger writes positions beyond the globe; such a record is one without fix, like one
// with an unusable coordinate text, for GGA and RMC alike. The poles count as beyond: they have
// no Mercator value.
TEST_P(Nmea, PositionsBeyondTheGlobeAreNoFix) {
  const struct {
    const char* lat;
    const char* lon;
    bool fix;
  } cases[] = {
      {"4807.0380", "01131.0000", true},  {"8959.9999", "18000.0000", true},
      {"9000.0000", "01131.0000", false}, {"9500.0000", "01131.0000", false},
      {"9000.0001", "01131.0000", false}, {"4861.0000", "01131.0000", false},
      {"4807.0380", "18100.0000", false}, {"4807.0380", "01160.5000", false},
      {"4807.0380", "99999.9999", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.lat) + " " + c.lon);
    ASSERT_TRUE(parse(GetGGA, kGGA));
    const auto lastLat = p().LatValue, lastLon = p().LonValue;
    ASSERT_TRUE(parse(GetGGA, resigned(std::string("GPGGA,123520.00,") + c.lat + ",N," + c.lon +
                                       ",E,1,08,0.9,545.4,M,46.9,M,,")));
    EXPECT_EQ(p().FixOk, c.fix ? "1" : "0");
    if (!c.fix) {
      EXPECT_EQ(p().LatDec, "0");
      EXPECT_EQ(p().LatValue, lastLat);
      EXPECT_EQ(p().LonValue, lastLon);
    }
    ASSERT_TRUE(parse(GetRMC, resigned(std::string("GPRMC,123520.00,A,") + c.lat + ",S," + c.lon +
                                       ",W,022.4,084.4,230394,003.1,W")));
    EXPECT_EQ(p().FixOk, c.fix ? "1" : "0");
  }
}

TEST_P(Nmea, RejectedSentencesAndTheirPrompts) {
  session.opt.ShowErrors = true;
  struct Case {
    std::string line;
    bool (*parser)(Session&, const std::string&, int);
    std::string message;
  } cases[] = {
      {kGGA.substr(0, kGGA.size() - 2) + "6A", GetGGA,
       "Pr\xFC" "fsummenfehler im GGA Datensatz an Position 3 erkannt"},
      {kGGA.substr(0, kGGA.size() - 2) + "69  ", GetGGA,
       "Pr\xFC" "fsummenfehler im GGA Datensatz an Position 3 erkannt"},
      {kGGA.substr(0, kGGA.size() - 2) + "6a", GetGGA,
       "Pr\xFC" "fsummenfehler im GGA Datensatz an Position 3 erkannt"},
      {"", GetGGA, "Pr\xFC" "fsummenfehler im GGA Datensatz an Position 3 erkannt"},
      {resigned("GpGGA" + bodyOf(kGGA).substr(5)), GetGGA,
       "Keinen GGA Datensatz an Position 3 erkannt"},
      {resigned("PGGGA" + bodyOf(kGGA).substr(5)), GetGGA,
       "Keinen GGA Datensatz an Position 3 erkannt"},
      {kVTG, GetGGA, "Keinen GGA Datensatz an Position 3 erkannt"},
      {kGGA, GetRMC, "Keinen RMC Datensatz an Position 3 erkannt"},
      {kRMC.substr(0, kRMC.size() - 1) + "5", GetRMC,
       "Pr\xFC" "fsummenfehler im RMC Datensatz an Position 3 erkannt"},
      {kGGA, GetVTG, "Keinen g\xFCltigen VTG Datensatz an Position 3 erkannt"},
      {kVTG.substr(0, kVTG.size() - 1) + "9", GetVTG,
       "Pr\xFC" "fsummenfehler im VTG Datensatz an Position 3 erkannt"},
  };
  for (const auto& c : cases) {
    port.clearRecords();
    port.answer({PromptAnswer::Ignore});
    EXPECT_FALSE(parse(c.parser, c.line, 3)) << c.line;
    ASSERT_EQ(port.prompts.size(), 1u) << c.line;
    EXPECT_EQ(port.prompts[0].text, c.message + "\r" + c.line);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::AbortIgnore);
    EXPECT_FALSE(session.AbortRequested);
  }
}

TEST_P(Nmea, AnyTalkerButOnePerKindInALog) {
  const std::string rest = bodyOf(kGGA).substr(2);  // "GGA,123519.00,..."
  for (const char* talker : {"GP", "GN", "GL", "GA", "GB", "BD", "GQ", "QZ", "GI"}) {
    ASSERT_TRUE(parse(GetGGA, resigned(talker + rest))) << talker;
    EXPECT_EQ(p().SentenceId, std::string("$") + talker + "GGA");
    EXPECT_EQ(p().LatDec, "48.117300");
  }
  // The log's first GGA sentence decides: "$GNGGA" after "$GPGGA" is foreign, VTG and RMC of
  // the log take their own talkers.
  session.opt.ShowErrors = true;
  const std::string gn = resigned("GN" + rest);
  const std::string gnVtg = resigned("GN" + bodyOf(kVTG).substr(2));
  session.doc.InputLines.assign({kGGA, gn, gnVtg, kRMC});
  port.answer({PromptAnswer::Ignore});
  EXPECT_FALSE(GetGGA(session, gn, 1));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text, "Keinen GGA Datensatz an Position 1 erkannt\r" + gn);
  EXPECT_TRUE(GetGGA(session, kGGA, 0));
  EXPECT_TRUE(GetVTG(session, gnVtg, 2));
  EXPECT_TRUE(GetRMC(session, kRMC, 3));
  // Garmin's proprietary "$PGRMC" is no RMC sentence of a talker "PG".
  EXPECT_EQ(talkerOf("$PGRMC,1,2*00", SentenceKind::RMC), "");
  EXPECT_EQ(talkerOf(gn, SentenceKind::GGA), "GN");
  EXPECT_EQ(talkerOf(gn, SentenceKind::RMC), "");
}

TEST_P(Nmea, AbortIsRememberedAndErrorsCanBeHidden) {
  session.opt.ShowErrors = true;
  port.answer({PromptAnswer::Abort});
  EXPECT_FALSE(parse(GetGGA, kVTG));
  EXPECT_TRUE(session.AbortRequested);
  // The next GGA parse starts afresh.
  EXPECT_TRUE(parse(GetGGA, kGGA));
  EXPECT_FALSE(session.AbortRequested);
  session.opt.ShowErrors = false;
  port.clearRecords();
  EXPECT_FALSE(parse(GetRMC, kVTG));
  EXPECT_FALSE(parse(GetVTG, kGGA));
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Nmea, FailedChecksLeaveTheRecordAlone) {
  ASSERT_TRUE(parse(GetGGA, kGGA));
  const PointRecord before = p();
  EXPECT_FALSE(parse(GetGGA, kVTG));
  EXPECT_EQ(p().Time, before.Time);
  EXPECT_EQ(p().LatGMS, before.LatGMS);
  EXPECT_EQ(p().LatDec, "0") << "cleared at the start of every GGA parse";
}

TEST_P(Nmea, AltitudeCorrection) {
  struct Case {
    const char* alt;
    const char* sep;
    int hkor;
    bool zero;
    const char* expected;
  } cases[] = {
      {"545.4", "46.9", 48, true, "498"}, {"545.4", "", 48, true, "497"},
      {"545.4", "-2.0", 48, true, "497"}, {"545.4", "0.4", 30, true, "515"},
      {"20.0", "47.0", 48, true, "0"},    {"20.0", "47.0", 48, false, "-27"},
      {"", "", 48, false, "-48"},         {"100.5", "1.4", 48, true, "99"},
      {"1e30", "", 0, true, "1000000000"},
  };
  for (const auto& c : cases) {
    session.opt.HKorEdit = c.hkor;
    session.opt.HoeheNull = c.zero;
    const std::string line = resigned(std::string("GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,") +
                                      c.alt + ",M," + c.sep + ",M,,");
    ASSERT_TRUE(parse(GetGGA, line)) << line;
    EXPECT_EQ(p().Altitude, c.expected) << c.alt << " / " << c.sep;
  }
}

TEST_P(Nmea, UnreadableAltitudesAskAndCountAsZero) {
  session.opt.ShowErrors = true;
  session.opt.HKorEdit = 48;
  session.opt.HoeheNull = false;
  port.answer({PromptAnswer::Ignore, PromptAnswer::Ignore});
  ASSERT_TRUE(parse(GetGGA, resigned("GPGGA,123519.00,4807.0380,N,01131.0000,E,1,08,0.9,5x,M,4y,M,,")));
  ASSERT_EQ(port.prompts.size(), 2u);
  EXPECT_EQ(port.prompts[0].text, "Fehler beim Umwandeln der H\xF6henangabe bei Wert 5x erkannt");
  EXPECT_EQ(port.prompts[1].text, "Fehler beim Umwandeln der H\xF6henkorrekturwertes bei Wert 4y erkannt");
  EXPECT_EQ(p().Altitude, "-48");
}

TEST_P(Nmea, EmptyFieldsTakeTheirDefaults) {
  ASSERT_TRUE(parse(GetGGA, resigned("GPGGA,,,,,,,,,,,,,")));
  EXPECT_EQ(p().Time, "000000.00");
  EXPECT_EQ(p().LatGrMin, "0.0");
  EXPECT_EQ(p().LonGrMin, "0.0");
  EXPECT_EQ(p().FixOk, "0");
  EXPECT_EQ(p().SatCount, "0");
  EXPECT_EQ(p().Hdop, "0.0");
  ASSERT_TRUE(parse(GetRMC, resigned("GPRMC,,,,,,,,,,,")));
  EXPECT_EQ(p().Time, "000000.00");
  EXPECT_EQ(p().FixOk, "0");
  EXPECT_EQ(p().Course, "0.00");
  EXPECT_EQ(p().Date, "01.01.00");
  EXPECT_EQ(p().SpeedKmh, h("0.00"));
  // Fields after the last "," are never read: the checksum is no field.
  ASSERT_TRUE(parse(GetVTG, resigned("GPVTG,054.7")));
  EXPECT_EQ(p().Course, "0.00");
}

TEST_P(Nmea, AFixWithAnUnusableCoordinateCountsAsNoFix) {
  ASSERT_TRUE(parse(GetGGA, kGGA));
  const auto lat = p().LatValue, lon = p().LonValue;
  const std::string mer = p().LonMer;
  ASSERT_TRUE(parse(GetGGA, resigned("GPGGA,123520.00,4807.0380,N,,E,1,08,0.9,545.4,M,46.9,M,,")));
  EXPECT_EQ(p().FixOk, "0");
  EXPECT_EQ(p().LatValue, lat);
  EXPECT_EQ(p().LonValue, lon);
  EXPECT_EQ(p().LonMer, mer);
  EXPECT_EQ(p().LatDec, "0");
}

TEST_P(Nmea, SouthAndWestSignTheTextsNotTheNumbers) {
  ASSERT_TRUE(parse(GetGGA, resigned("GPGGA,123519.00,3352.1234,S,15112.5000,W,1,08,0.9,10.0,M,20.0,M,,")));
  EXPECT_EQ(p().LatDec, "-33.868723");
  EXPECT_EQ(p().LonDec, "-151.208333");
  EXPECT_EQ(p().LatGrMin, "-3352.1234");
  EXPECT_EQ(p().LatNmea, "-3352.1234");
  EXPECT_EQ(p().LonGrMin, "-15112.5000");
  EXPECT_EQ(p().LatGMS.substr(0, 4), "-33\xB0");
  EXPECT_EQ(p().LatMer[0], '-');
  EXPECT_EQ(p().LonMer[0], '-');
  EXPECT_GT(p().LatValue, 0);
  EXPECT_GT(p().LonValue, 0);
}

TEST_P(Nmea, RmcSample) {
  ASSERT_TRUE(parse(GetRMC, kRMC));
  EXPECT_NEAR(static_cast<double>(p().SpeedValue), 40.32, 1e-12);
  EXPECT_EQ(p().SpeedKmh, h("40.32"));
  EXPECT_EQ(p().SpeedKnots, h("022.4"));
  EXPECT_EQ(p().Course, "084.4");
  EXPECT_EQ(p().Date, "230394");
  EXPECT_EQ(p().Altitude, "0");
  EXPECT_EQ(p().SatCount, "0");
  EXPECT_EQ(p().Hdop, "0");
  EXPECT_EQ(p().FixOk, "1");
  EXPECT_EQ(p().LatDec, "48.117300");
  EXPECT_EQ(p().LonMer, "1280598");
  EXPECT_TRUE(p().PointValid);
}

TEST_P(Nmea, RmcVoidStatusHasNoFixAfterAFix) {
  ASSERT_TRUE(parse(GetRMC, kRMC));
  const std::string voidLine =
      resigned("GPRMC,123520.00,V,4808.0000,N,01131.0000,E,022.4,084.4,230394,003.1,W");
  ASSERT_TRUE(parse(GetRMC, voidLine));
  EXPECT_EQ(p().FixOk, "0");
  EXPECT_EQ(p().LatDec, "0");
  EXPECT_TRUE(p().PointValid) << "a well-formed sentence, just without fix";
  EXPECT_FALSE(parse(GetRMC, kVTG));
  EXPECT_FALSE(p().PointValid);
}

TEST_P(Nmea, VtgSample) {
  session.CurrentPoint.Time = "t";
  session.CurrentPoint.FixOk = "1";
  session.AbortRequested = true;
  ASSERT_TRUE(parse(GetVTG, kVTG));
  EXPECT_EQ(p().Course, "054.7");
  EXPECT_EQ(p().SpeedKnots, "005.5");
  EXPECT_EQ(p().SpeedKmh, h("010.2"));
  EXPECT_NEAR(static_cast<double>(p().SpeedValue), 10.2, 1e-12);
  EXPECT_EQ(p().Time, "t");
  EXPECT_EQ(p().FixOk, "1");
  EXPECT_TRUE(session.AbortRequested) << "VTG leaves the abort flag alone";
}

TEST_P(Nmea, BadSpeedDigitsAskThroughTheDigitFilter) {
  port.answer({PromptAnswer::Ignore});
  ASSERT_TRUE(parse(GetVTG, resigned("GPVTG,054.7,T,034.4,M,005.5,N,10.2x,K")));
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_NE(port.prompts[0].text.find("\" x \""), std::string::npos);
  EXPECT_EQ(p().SpeedValue, 0);
  EXPECT_EQ(p().SpeedKmh, h("0.00"));
  port.answer({PromptAnswer::Abort});
  ASSERT_TRUE(parse(GetRMC, resigned("GPRMC,123519.00,A,4807.0380,N,01131.0000,E,2a,084.4,230394,,")));
  EXPECT_TRUE(session.AbortRequested);
  EXPECT_EQ(p().SpeedValue, 0);
}

TEST_P(Nmea, ASpeedThatPassesTheFilterButIsNoNumberEndsTheCommand) {
  EXPECT_THROW(parse(GetVTG, resigned("GPVTG,054.7,T,034.4,M,005.5,N,1.2.3,K")), ConvertError);
  EXPECT_THROW(parse(GetRMC, resigned("GPRMC,123519.00,A,4807.0380,N,01131.0000,E,1.2.3,084.4,230394,,")),
               ConvertError);
}

TEST_P(Nmea, WriterHelperMakesSentencesTheParsersAccept) {
  test::Fix f;
  f.lat = -33.5;
  f.lon = -70.25;
  f.speedKmh = 36;
  f.course = 270;
  ASSERT_TRUE(parse(GetGGA, test::ggaSentence(f)));
  EXPECT_EQ(p().LatDec, "-33.500000");
  EXPECT_EQ(p().LonDec, "-70.250000");
  ASSERT_TRUE(parse(GetVTG, test::vtgSentence(f)));
  EXPECT_NEAR(static_cast<double>(p().SpeedValue), 36.0, 1e-9);
  ASSERT_TRUE(parse(GetRMC, test::rmcSentence(f)));
  EXPECT_NEAR(static_cast<double>(p().SpeedValue), 36.0, 0.01);
  EXPECT_TRUE(port.prompts.empty());
}

KURSOLIN_ON_BOTH_HOSTS(Nmea);

TEST(NmeaSamples, RealLogsParseWithoutComplaint) {
  for (const char* name : {"track-gga-rmc-vtg.nmea", "track-subsecond.nmea"}) {
    const std::string path = std::string(KURSOLIN_SHARED_SAMPLES) + "/" + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) GTEST_SKIP() << "shared samples not present";
    std::string text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
    std::fclose(f);
    test::ScriptedPort port;
    Session s(port, HostSettings::german());
    s.opt.ShowErrors = true;
    s.doc.InputLines.setText(text);
    int gga = 0, rmc = 0, vtg = 0;
    for (int i = 0; i < s.doc.InputLines.Count(); ++i) {
      const std::string line = s.doc.InputLines.at(i);
      if (line.rfind("$GPGGA", 0) == 0) gga += GetGGA(s, line, i);
      if (line.rfind("$GPRMC", 0) == 0) rmc += GetRMC(s, line, i);
      if (line.rfind("$GPVTG", 0) == 0) vtg += GetVTG(s, line, i);
    }
    EXPECT_GT(gga, 10) << name;
    EXPECT_GT(rmc, 10) << name;
    EXPECT_GT(vtg, 10) << name;
    EXPECT_TRUE(port.prompts.empty()) << name << ": " << port.prompts.front().text;
  }
}

}  // namespace
}  // namespace kursolin
