// Number texts, host conversions, line lists and the code page.
#include <gtest/gtest.h>

#include <cfenv>

#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/textutil.h"
#include "support/hosts.h"

namespace kursolin {
namespace {

using test::HostTest;

class NumText : public HostTest {};

TEST_P(NumText, PZDPutsTheHostSeparatorIntoTheFirstPointOnly) {
  EXPECT_EQ(PZD(session.numbers, "0.00"), h("0.00"));
  EXPECT_EQ(PZD(session.numbers, "1.2.3"), std::string("1") + sep() + "2.3");
  EXPECT_EQ(PZD(session.numbers, "42"), "42");
}

TEST_P(NumText, FloatParsingTakesOnlyTheHostSeparator) {
  EXPECT_DOUBLE_EQ(static_cast<double>(strToFloat(h("48.5"), sep())), 48.5);
  EXPECT_DOUBLE_EQ(static_cast<double>(strToFloat(" -3 ", sep())), -3.0);
  EXPECT_DOUBLE_EQ(static_cast<double>(strToFloat(h("1.5E3"), sep())), 1500.0);
  const char other = sep() == ',' ? '.' : ',';
  for (std::string bad : {std::string("1") + other + "5", std::string(""), std::string("abc"),
                          std::string("1") + sep() + "2" + sep() + "3", std::string("1e"),
                          std::string("1e99999"), std::string("--1"), std::string("1 2")}) {
    EXPECT_FALSE(tryStrToFloat(bad, sep()).has_value()) << bad;
    EXPECT_THROW(strToFloat(bad, sep()), ConvertError) << bad;
  }
}

TEST_P(NumText, FixedAndGeneralFormsUseTheHostSeparator) {
  EXPECT_EQ(formatFixed(48.1173L, 3, 6, sep()), h("48.117300"));
  EXPECT_EQ(formatFixed(40.32L, 3, 2, sep()), h("40.32"));
  EXPECT_EQ(formatFixed(0.0L, 3, 2, sep()), h("0.00"));
  EXPECT_EQ(formatFixed(1.5L, 8, 2, sep()), h("    1.50"));
  EXPECT_EQ(formatFixed(-0.0000001L, 0, 2, sep()), h("0.00"));
  EXPECT_EQ(floatToStrGeneral(7.038L, sep()), h("7.038"));
  EXPECT_EQ(floatToStrGeneral(30.0L, sep()), "30");
  EXPECT_EQ(floatToStrGeneral(1.0L, sep()), "1");
  EXPECT_EQ(floatToStrGeneral(1.5L, sep()), h("1.5"));
  EXPECT_EQ(floatToStrGeneral(-0.25L, sep()), h("-0.25"));
  EXPECT_EQ(floatToStrGeneral(0.1173L * 60, sep()), h("7.038"));
  EXPECT_EQ(floatToStrGeneral(0.000012L, sep()), h("0.000012"));
  EXPECT_EQ(floatToStrGeneral(1e20L, sep()), "1E20");
  EXPECT_EQ(floatToStrGeneral(1.25e-7L, sep()), std::string("1") + sep() + "25E-7");
}

KURSOLIN_ON_BOTH_HOSTS(NumText);

TEST(TextUtil, CommaAndPointSwapTheFirstOccurrenceOnly) {
  EXPECT_EQ(KommaZuPunkt("48,5"), "48.5");
  EXPECT_EQ(KommaZuPunkt("1,2,3"), "1.2,3");
  EXPECT_EQ(PunktZuKomma("51.5"), "51,5");
  EXPECT_EQ(PunktZuKomma("no point"), "no point");
}

TEST(TextUtil, CharacterFilters) {
  EXPECT_EQ(ChangeCharInNr("48\xB0" "07\xB4" "02.28\"", '*'), "48*07*02.28*");
  EXPECT_EQ(ChangeCharInNr(std::string("12\0x4", 4), '*'), "12") << "ends at the NUL";
  EXPECT_EQ(DelCharInNr("N 48-07"), "4807");
  EXPECT_EQ(DelCharInNr(""), "");
}

TEST(TextUtil, CopyIsForgivingOutsideTheText) {
  struct Case {
    long long index, count;
    const char* expected;
  } cases[] = {{1, 3, "abc"}, {4, 10, "def"}, {7, 1, ""}, {0, 3, "ab"}, {-2, 7, "abcd"},
               {2, 0, ""},    {2, -5, ""},    {100, 1, ""}, {1, 1LL << 40, "abcdef"}};
  for (const auto& c : cases) {
    EXPECT_EQ(copy("abcdef", c.index, c.count), c.expected) << c.index << "," << c.count;
  }
  EXPECT_EQ(pos('.', "4807.0380"), 5);
  EXPECT_EQ(pos('.', "4807"), 0);
}

TEST(TextUtil, EmptinessTestOfThePanes) {
  EXPECT_FALSE(sortsAfter("", '\x1F'));
  EXPECT_FALSE(sortsAfter("\x1F", '\x1F'));
  EXPECT_FALSE(sortsAfter("\r\nabc", '\x1F'));
  EXPECT_TRUE(sortsAfter("\x1F" "a", '\x1F'));
  EXPECT_TRUE(sortsAfter(" ", '\x1F'));
  EXPECT_TRUE(sortsAfter("\xFC", '\x1F')) << "bytes compare unsigned";
  EXPECT_FALSE(sortsAfter(" ", ' '));
  EXPECT_TRUE(sortsAfter("  ", ' '));
}

TEST(HostNumbers, IntegerParsing) {
  EXPECT_EQ(strToIntDef("48", 0), 48);
  EXPECT_EQ(strToIntDef("-048", 0), -48);
  EXPECT_EQ(strToIntDef(" 7", 0), 7);
  for (const char* bad : {"", "-", "4x", "4 ", "1.5", "99999999999999999999"}) {
    EXPECT_EQ(strToIntDef(bad, -1), -1) << bad;
  }
  EXPECT_EQ(strToIntDef32("3000000000", 5), 5);
}

TEST(HostNumbers, RoundingTakesHalvesToEvenAndNeverOverflows) {
  struct Case {
    long double v;
    long long r;
  } cases[] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {545.4L, 545},
               {46.9L, 47}, {1278744.6L, 1278745}, {-2.6L, -3}};
  for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.v), c.r) << static_cast<double>(c.v);
  // The same answers when someone has changed the rounding mode (the function then rounds by
  // hand), also far beyond the range of a double's integers.
  const long double big = 4611686018427387904.0L;  // 2^62
  const int mode = std::fegetround();
  for (int m : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    ASSERT_EQ(std::fesetround(m), 0);
    for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.v), c.r) << m;
    EXPECT_EQ(roundHalfEven(big + 0.5L), 4611686018427387904LL) << m;
    EXPECT_EQ(roundHalfEven(big + 1.5L), 4611686018427387906LL) << m;
    EXPECT_EQ(roundHalfEven(-big - 2.5L), -4611686018427387906LL) << m;
    EXPECT_EQ(roundHalfEven(-0.0L), 0) << m;
  }
  std::fesetround(mode);
  EXPECT_EQ(roundHalfEven(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(roundHalfEven(1e30L), std::numeric_limits<long long>::max());
  EXPECT_EQ(roundHalfEven(-std::numeric_limits<long double>::infinity()),
            std::numeric_limits<long long>::min());
}

TEST(HostTime, LongTimeAndShortDateFormats) {
  HostSettings de = HostSettings::german();
  EXPECT_EQ(formatLongTime(de, 14, 35, 19), "14:35:19");
  HostSettings us = HostSettings::english();
  us.LongTimeFormat = "%r";
  EXPECT_EQ(formatLongTime(us, 14, 5, 9), "02:05:09 PM");
  de.TimeSep = '.';
  de.LongTimeFormat = "%H.%M.%S";
  EXPECT_EQ(formatLongTime(de, 1, 0, 0), "01.00.00");
  EXPECT_EQ(formatShortDate(HostSettings::german(), 2002, 3, 31), "31.03.2002");
}

TEST(Lines, CountAndReadingBeyondTheEnd) {
  TextLines l;
  l.setText("a\r\nb\nc\rd\r\n");
  ASSERT_EQ(l.Count(), 4) << "the empty last line after the final break does not count";
  EXPECT_EQ(l.at(3), "d");
  EXPECT_EQ(l.at(4), "");
  EXPECT_EQ(l.at(-1), "");
  EXPECT_EQ(l.at(1LL << 40), "");
  l.setText("a\r\n\r\n");
  EXPECT_EQ(l.Count(), 2) << "an empty line inside the text counts";
  l.setText("");
  EXPECT_EQ(l.Count(), 0);
  l.setText("x");
  EXPECT_EQ(l.Count(), 1);
  EXPECT_EQ(l.text(), "x\r\n");
}

TEST(Lines, ALineIsReadWithAtMost4096Characters) {
  TextLines l;
  l.add(std::string(5000, 'x'));
  EXPECT_EQ(l.at(0).size(), 4096u);
  EXPECT_EQ(l.full(0).size(), 5000u);
}

TEST(Lines, RevisionGrowsWithEveryChange) {
  TextLines l;
  const auto r0 = l.revision();
  l.add("x");
  l.clear();
  EXPECT_EQ(l.revision(), r0 + 2);
}

TEST(CodePage, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
  EXPECT_EQ(cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ("Prüfsumme °´€"_cp, "Pr\xFC" "fsumme \xB0\xB4\x80");
  EXPECT_EQ(utf8ToCp1252("\xE4\xB8\xAD"), "?") << "no cp1252 character";
  EXPECT_EQ(utf8ToCp1252("a\xC3"), "a?") << "truncated sequence";
}

}  // namespace
}  // namespace kursolin
