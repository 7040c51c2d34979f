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

class Coords : public HostTest {
 protected:
  NumberStyle st() const { return session.numbers; }
};

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
    const Converted out = GMToDez(st(), c.in);
    EXPECT_EQ(out.text, c.out) << c.in;
    EXPECT_FALSE(out.fixLost) << c.in;
    EXPECT_TRUE(out.errors.empty()) << c.in;
    const DegreeMinutes d = readDegreeMinutes(st(), c.in);
    EXPECT_TRUE(d.usable && !d.minutesUnreadable) << c.in;
    EXPECT_NEAR(static_cast<double>(d.value), c.conv, 1e-12) << c.in;
  }
}

TEST_P(Coords, TooShortDegreeMinutesLoseTheFix) {
  for (const char* t : {"0.0", "", "1234"}) {
    const Converted out = GMToDez(st(), t);
    EXPECT_EQ(out.text, "0.0") << t;
    EXPECT_TRUE(out.fixLost) << t;
    EXPECT_TRUE(out.errors.empty()) << t;
    EXPECT_FALSE(readDegreeMinutes(st(), t).usable) << t;
  }
}

TEST_P(Coords, UnconvertibleMinutesCountAsZeroAndSaySo) {
  const Converted out = GMToDez(st(), "48AB.0380");
  EXPECT_EQ(out.text, "48.000000");
  EXPECT_FALSE(out.fixLost);
  ASSERT_EQ(out.errors.size(), 1u);
  EXPECT_EQ(out.errors[0],
            "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert 48AB.0380 erkannt");
  EXPECT_TRUE(readDegreeMinutes(st(), "48AB.0380").minutesUnreadable);
}

TEST_P(Coords, NoConversionFailsOnOddTexts) {
  for (const char* t : {"99999999999999999999999.0", ".", "....", "12345", "-", "\xB0\xB4\"\"\"",
                        "1e9999.5", "4807.03.80", "   ", "-.-.-.-.-.", "000000000000000000000000"}) {
    (void)GMToDez(st(), t);
    (void)GMSToDez(st(), t);
    (void)GeoDezToGrMin(st(), t);
    (void)KGrad(st(), t);
  }
  SUCCEED() << "no crash, no exception";
}

TEST_P(Coords, DegreeMinuteSecondsToDecimal) {
  for (const auto& [in, out] : {std::pair<std::string, std::string>{"48\xB0"
                                                                    "07\xB4"
                                                                    "02.28\"",
                                                                    "48.117300"},
                                {"011\xB0"
                                 "31\xB4"
                                 "00.00\"",
                                 "11.516667"},
                                {"-48\xB0"
                                 "07\xB4"
                                 "02.28\"",
                                 "-48.117300"}}) {
    const Converted c = GMSToDez(st(), in);
    EXPECT_EQ(c.text, out) << in;
    EXPECT_FALSE(c.fixLost) << in;
  }
  // Nine characters are still too short.
  const Converted shortText = GMSToDez(st(),
                                       "48\xB0"
                                       "07\xB4"
                                       "02\"");
  EXPECT_EQ(shortText.text, "0.0");
  EXPECT_TRUE(shortText.fixLost);
}

TEST_P(Coords, DegreeMinuteSecondsFailuresNameTheChangedText) {
  // Seconds with the other host's separator do not convert.
  const char other = sep() == ',' ? '.' : ',';
  const std::string text = std::string("48\xB0" "07\xB4" "02") + other + "28\"";
  const Converted seconds = GMSToDez(st(), text);
  const std::string changed = std::string("48*07*02") + other + "28*";
  if (other == '.') {
    // "." is turned into the host separator first, so it converts.
    EXPECT_TRUE(seconds.errors.empty());
  } else {
    ASSERT_EQ(seconds.errors.size(), 1u);
    EXPECT_EQ(seconds.errors[0],
              "Fehler beim Umwandeln in Dezimalkoordinaten bei Sekunden " + changed + " erkannt");
  }
  // "48*xx*yy.28*": minutes and seconds unconvertible, each said in turn.
  const Converted both = GMSToDez(st(), "48\xB0xx\xB4yy.28\"");
  ASSERT_EQ(both.errors.size(), 2u);
  EXPECT_EQ(both.errors[0],
            "Fehler beim Umwandeln in Dezimalkoordinaten bei Minuten 48******.28* erkannt");
  EXPECT_EQ(both.errors[1],
            "Fehler beim Umwandeln in Dezimalkoordinaten bei Sekunden 48******.28* erkannt");
}

TEST_P(Coords, DecimalToDegreeMinutes) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {{"48.1173", "04807.038"}, {"48.5", "04830"},  {"11.516667", "01131.00002"},
               {"8.25", "00815"},        {"123.1", "12306"}, {"0.0", "00000"},
               {"7.01", "00700.6"},      {"11", "01100"},    {"-7", "-00700"}};
  for (const auto& c : cases) {
    const Converted out = GeoDezToGrMin(st(), c.in);
    EXPECT_EQ(out.text, c.out) << c.in;
    EXPECT_TRUE(out.errors.empty()) << c.in;
  }
  const Converted bad = GeoDezToGrMin(st(), "abc");
  ASSERT_EQ(bad.errors.size(), 1u);
  EXPECT_EQ(bad.errors[0],
            "Fehler beim Umwandeln in Grad-Minute Koordinaten bei Wert 0abc erkannt");
}

TEST_P(Coords, NumbersOfEveryFormBecomePlainDecimals) {
  // clang-format off
  const std::pair<std::string, std::string> cases[] = {
      {"1.15e1", "11.5"}, {"1e1", "10"}, {"-1.15E+1", "-11.5"}, {" 7", "7"}, {".5", "0.5"},
      {"5.", "5"}, {"+5", "5"}, {"11", "11"}, {"7.25", "7.25"}, {h("7.25"), h("7.25")},
      {"-0.5", "-0.5"}, {"abc", "abc"}, {"", ""}, {"1e99999", "1e99999"},
  };
  // clang-format on
  for (const auto& [in, out] : cases) EXPECT_EQ(fixedDecimalText(st(), in), out) << in;
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
    std::string error;  // "Wert" names the value itself
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
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    const Converted out = c.dms ? checkedGMSToDez(st(), c.in) : checkedGMToDez(st(), c.in);
    if (c.out) {
      EXPECT_EQ(out.text, *c.out);
      EXPECT_TRUE(out.errors.empty());
      continue;
    }
    ASSERT_EQ(out.errors.size(), 1u);
    EXPECT_EQ(out.errors[0], "Fehler beim Umwandeln in Dezimalkoordinaten bei " +
                                 (c.error == "Wert" ? "Wert " + c.in : c.error) + " erkannt");
  }
}

TEST_P(Coords, DegreeMinutesToSecondsUseTheHostSeparator) {
  EXPECT_EQ(KGrad(st(), "4807.0380"), h("48\xB0"
                                        "07\xB4"
                                        "2.28\""));
  EXPECT_EQ(KGrad(st(), "4807.038"), h("48\xB0"
                                       "07\xB4"
                                       "2.28\""));
  EXPECT_EQ(KGrad(st(), "01131.0000"), h("011\xB0"
                                         "31\xB4"
                                         "0.00\""));
  EXPECT_EQ(KGrad(st(), "04830"), h("048\xB0"
                                    "30\xB4"
                                    "0.00\""));
  EXPECT_EQ(KGrad(st(), "4807.0x80"), h("48\xB0"
                                        "07\xB4"
                                        "0.00\""))
      << "non-digits: 0 s";
}

TEST_P(Coords, DegreeMinutesRoundTripThroughDecimal) {
  for (double x = -80.0; x <= 179.9; x += 0.731) {
    const std::string dec = dez6(st(), static_cast<Real>(x));
    const std::string gm = GeoDezToGrMin(st(), dec).text;
    const std::string back = GMToDez(st(), gm).text;
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
