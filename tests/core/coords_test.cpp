// Conversions between the coordinate notations.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "core/coords.h"
#include "support/hosts.h"

namespace kursolin {
namespace {

using test::HostTest;

class Coords : public HostTest {};

TEST_P(Coords, DegreeMinutesToDecimal) {
  struct Case {
    const char* in;
    const char* out;
    double conv;
  } cases[] = {
      {"4807.0380", "48.117300", 48.1173},
      {"01131.0000", "11.516667", 11.516666666666667},
      {"4807.038", "48.117300", 48.1173},
      {"4807.03812", "48.117302", 48.117301666666667},  // only four fraction digits count
      {"04830", "48.500000", 48.5},  // whole minutes, as GeoDezToGrMin writes them
      {"-4807.0380", "-48.117300", -48.1173},
  };
  for (const auto& c : cases) {
    session.CurrentPoint.FixOk = "1";
    EXPECT_EQ(GMToDez(session, c.in), c.out) << c.in;
    EXPECT_NEAR(static_cast<double>(session.CurrentPoint.ConvValue), c.conv, 1e-12) << c.in;
    EXPECT_EQ(session.CurrentPoint.FixOk, "1") << c.in;
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Coords, TooShortDegreeMinutesClearTheFixAndKeepConvValue) {
  session.CurrentPoint.ConvValue = 12.5L;
  for (const char* t : {"0.0", "", "1234"}) {
    session.CurrentPoint.FixOk = "1";
    EXPECT_EQ(GMToDez(session, t), "0.0") << t;
    EXPECT_EQ(session.CurrentPoint.FixOk, "0") << t;
    EXPECT_EQ(session.CurrentPoint.ConvValue, 12.5L);
  }
}

TEST_P(Coords, UnconvertibleMinutesAskAndCountAsZero) {
  session.ShowErrors = true;
  port.answer({PromptAnswer::Ignore, PromptAnswer::Abort});
  EXPECT_EQ(GMToDez(session, "48AB.0380"), "48.000000");
  ASSERT_EQ(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text, "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert 48AB.0380 erkannt");
  EXPECT_EQ(port.prompts[0].buttons, PromptButtons::AbortIgnore);
  EXPECT_FALSE(session.AbortRequested);
  GMToDez(session, "48AB.0380");
  EXPECT_TRUE(session.AbortRequested);
  session.ShowErrors = false;
  port.clearRecords();
  EXPECT_EQ(GMToDez(session, "48AB.0380"), "48.000000");
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Coords, NoConversionFailsOnOddTexts) {
  session.ShowErrors = false;
  for (const char* t : {"99999999999999999999999.0", ".", "....", "12345", "-", "\xB0\xB4\"\"\"",
                        "1e9999.5", "4807.03.80", "   ", "-.-.-.-.-.", "000000000000000000000000"}) {
    (void)GMToDez(session, t);
    (void)GMSToDez(session, t);
    (void)GeoDezToGrMin(session, t);
    (void)KGrad(session, t);
  }
  SUCCEED() << "no crash, no exception";
}

TEST_P(Coords, DegreeMinuteSecondsToDecimal) {
  session.CurrentPoint.FixOk = "1";
  EXPECT_EQ(GMSToDez(session, "48\xB0" "07\xB4" "02.28\""), "48.117300");
  EXPECT_EQ(GMSToDez(session, "011\xB0" "31\xB4" "00.00\""), "11.516667");
  EXPECT_EQ(GMSToDez(session, "-48\xB0" "07\xB4" "02.28\""), "-48.117300");
  EXPECT_EQ(session.CurrentPoint.FixOk, "1");
  // Nine characters are still too short.
  EXPECT_EQ(GMSToDez(session, "48\xB0" "07\xB4" "02\""), "0.0");
  EXPECT_EQ(session.CurrentPoint.FixOk, "0");
}

TEST_P(Coords, DegreeMinuteSecondsFailuresNameTheChangedText) {
  session.ShowErrors = true;
  port.answer({PromptAnswer::Ignore, PromptAnswer::Ignore});
  // Seconds with the other host's separator do not convert.
  const char other = sep() == ',' ? '.' : ',';
  const std::string text = std::string("48\xB0" "07\xB4" "02") + other + "28\"";
  (void)GMSToDez(session, text);
  const std::string changed = std::string("48*07*02") + other + "28*";
  if (other == '.') {
    // "." is turned into the host separator first, so it converts.
    EXPECT_TRUE(port.prompts.empty());
  } else {
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].text,
              "Fehler beim Umwandeln in Dezimalkoordinaten bei Sekunden " + changed + " erkannt");
  }
  port.clearRecords();
  (void)GMSToDez(session, "48\xB0xx\xB4yy.28\"");  // "48*xx*yy.28*" — minutes unconvertible
  ASSERT_GE(port.prompts.size(), 1u);
  EXPECT_EQ(port.prompts[0].text,
            "Fehler beim Umwandeln in Dezimalkoordinaten bei Minuten 48******.28* erkannt");
}

TEST_P(Coords, DecimalToDegreeMinutes) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"48.1173", "04807.038"}, {"48.5", "04830"},  {"11.516667", "01131.00002"},
               {"8.25", "00815"},        {"123.1", "12306"}, {"0.0", "00000"},
               {"7.01", "00700.6"},      {"11", "01100"},    {"-7", "-00700"}};
  for (const auto& c : cases) EXPECT_EQ(GeoDezToGrMin(session, c.in), c.out) << c.in;
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Coords, NumbersOfEveryFormBecomePlainDecimals) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"1.15e1", "11.5"}, {"1e1", "10"}, {"-1.15E+1", "-11.5"}, {" 7", "7"}, {".5", "0.5"},
      {"5.", "5"}, {"+5", "5"}, {"11", "11"}, {"7.25", "7.25"}, {h("7.25"), h("7.25")},
      {"-0.5", "-0.5"}, {"abc", "abc"}, {"", ""}, {"1e99999", "1e99999"},
  };
  // clang-format on
  for (const auto& [in, out] : cases) EXPECT_EQ(fixedDecimalText(session, in), out) << in;
}

// Values that are no text of the notation give no number at all, instead of 0 for the part
// that did not convert.
TEST_P(Coords, CheckedConversionsRefuseWhatIsNoTextOfTheirNotation) {
  const auto dms = [](const char* d, const char* m, const char* rest) {
    return std::string(d) + "\xB0" + m + "\xB4" + rest;
  };
  const struct {
    bool dms;
    std::string in;
    std::optional<std::string> out;
    std::string prompt;  // with ShowErrors on: "Wert" names the value itself
  } cases[] = {
      {false, "4807.0380", "48.117300", ""},
      {false, " -4807.038 ", "-48.117300", ""},
      {false, "04830", "48.500000", ""},
      {false, "51.5", std::nullopt, "Wert"},  // decimal degrees, too short
      {false, "7.123456", std::nullopt, "Wert"},
      {false, "48a07.038", std::nullopt, "Wert"},
      {false, "4807.0380x", std::nullopt, "Wert"},
      {false, "4807,038", std::nullopt, "Wert"},
      {true, dms("48", "07", "02.28\""), "48.117300", ""},
      {true, dms("-48", "07", "02.28\" "), "-48.117300", ""},
      {true, dms("48", "07", "02\""), std::nullopt, "Wert"},  // too short
      {true, dms("48", "xx", "02.28\""), std::nullopt, "Minuten 48****02.28*"},
      {true, dms("48", "07", "02.28\"5"), std::nullopt, "Wert"},
      {true, dms("N48", "07", "02.28"), std::nullopt, "Wert"},
  };
  for (bool shown : {false, true}) {
    session.ShowErrors = shown;
    for (const auto& c : cases) {
      SCOPED_TRACE(c.in);
      port.clearRecords();
      const auto out = c.dms ? checkedGMSToDez(session, c.in) : checkedGMToDez(session, c.in);
      EXPECT_EQ(out, c.out);
      if (!shown || c.prompt.empty()) {
        EXPECT_TRUE(port.prompts.empty());
        continue;
      }
      ASSERT_EQ(port.prompts.size(), 1u);
      EXPECT_EQ(port.prompts[0].text, "Fehler beim Umwandeln in Dezimalkoordinaten bei " +
                                          (c.prompt == "Wert" ? "Wert " + c.in : c.prompt) +
                                          " erkannt");
      EXPECT_EQ(port.prompts[0].buttons, PromptButtons::AbortIgnore);
    }
  }
}

TEST_P(Coords, DegreeMinutesToSecondsUseTheHostSeparator) {
  EXPECT_EQ(KGrad(session, "4807.0380"), h("48\xB0" "07\xB4" "2.28\""));
  EXPECT_EQ(KGrad(session, "4807.038"), h("48\xB0" "07\xB4" "2.28\""));
  EXPECT_EQ(KGrad(session, "01131.0000"), h("011\xB0" "31\xB4" "0.00\""));
  EXPECT_EQ(KGrad(session, "04830"), h("048\xB0" "30\xB4" "0.00\""));
  EXPECT_EQ(KGrad(session, "4807.0x80"), h("48\xB0" "07\xB4" "0.00\"")) << "non-digits: 0 s";
}

TEST_P(Coords, DegreeMinutesRoundTripThroughDecimal) {
  for (double x = -80.0; x <= 179.9; x += 0.731) {
    const std::string dec = dez6(session, static_cast<Real>(x));
    const std::string gm = GeoDezToGrMin(session, dec);
    session.CurrentPoint.FixOk = "1";
    const std::string back = GMToDez(session, gm);
    EXPECT_NEAR(std::stod(back), std::stod(dec), 0.0000015) << dec << " -> " << gm;
  }
}

KURSOLIN_ON_BOTH_HOSTS(Coords);

TEST(Mercator, WorkedValues) {
  EXPECT_EQ(DezToMerN(48.1173L), "6119550");
  EXPECT_EQ(DezToMerO(11.5L), "1278745");
  EXPECT_EQ(DezToMerO(11.516666666666667L), "1280598");
  EXPECT_EQ(DezToMerN(0), "0");
  EXPECT_EQ(MerToDezN(6119550), "48.117299");
  EXPECT_EQ(MerToDezO(1278745), "11.500004");
  EXPECT_EQ(MerToDezO(13343421), "119.999998") << "no integer overflow beyond 107 degrees";
  EXPECT_EQ(MerToDezO(-1278745), "-11.500004");
}

TEST(Mercator, NorthingRoundTripsOverAllLatitudes) {
  for (int i = -8900; i <= 8900; i += 7) {
    const Real lat = i / 100.0L;
    const long long y = std::stoll(DezToMerN(lat));
    EXPECT_NEAR(std::stod(MerToDezN(y)), static_cast<double>(lat), 0.000005) << i;
  }
}

TEST(Mercator, PolesAndNonsenseGiveFiniteTexts) {
  const std::string north = DezToMerN(90);
  const std::string south = DezToMerN(-90);
  EXPECT_EQ(north, DezToMerN(89.999999L));
  EXPECT_EQ(south, "-" + north);
  EXPECT_EQ(DezToMerN(1000), north);
  EXPECT_EQ(DezToMerN(std::numeric_limits<long double>::quiet_NaN()), "0");
  EXPECT_EQ(DezToMerO(std::numeric_limits<long double>::quiet_NaN()), "0");
  EXPECT_EQ(DezToMerO(std::numeric_limits<long double>::infinity()), "0");
  EXPECT_FALSE(DezToMerO(1e300L).empty());
  EXPECT_EQ(MerToDezN(std::numeric_limits<long long>::max()), "90.000000");
}

}  // namespace
}  // namespace kursolin
