// Top50 OVL files: recognition and filtering at load, and the coordinate line readers.
#include <gtest/gtest.h>

#include "formats/ovl.h"
#include "support/hosts.h"
#include "support/session_setup.h"

namespace kursolin {
namespace {

class Ovl : public test::HostTest {
 protected:
  void SetUp() override { test::createLikeTheWindow(session); }
  /// Reads the first line of `lines` as a point.
  int read(const std::vector<std::string>& lines) {
    session.doc.InputLines.assign(lines);
    return GetOVL_X(session, lines.at(0), 0);
  }
  PointRecord& p() { return session.CurrentPoint; }
};

TEST_P(Ovl, RecognitionWantsALongitudeLineDirectlyFollowedByALatitudeLine) {
  const struct {
    std::vector<std::string> lines;
    bool accepted;
  } cases[] = {
      {{"[Symbol 1]", "XKoord0=9.5", "YKoord0=48.5"}, true},
      {{"XKoord0=9.5", "[Symbol 2]", "YKoord0=48.5"}, false},
      {{"XKoord0=9.5", "[Symbol 2]", "YKoord0=48.5", "XKoord1=9.6", "YKoord1=48.6"}, true},
      {{"[Symbol 1]", "Typ=3", "XKoord=9.5"}, false},  // the last line has no partner
      // A pair right after an unpaired longitude line counts as well.
      {{"XKoord0=9.5", "XKoord1=9.6", "YKoord1=48.6"}, true},
      {{"xkoord0=9.5", "ykoord0=48.5"}, false},
      {{}, false},
  };
  for (const auto& c : cases) {
    session.doc.InputLines.assign(c.lines);
    EXPECT_EQ(ovlRecognized(session), c.accepted) << ::testing::PrintToString(c.lines);
    if (!c.accepted) {
      EXPECT_EQ(session.doc.InputLines.lines(), c.lines) << "nothing removed";
    }
  }
}

TEST_P(Ovl, LoadKeepsOnlyTheCoordinateLines) {
  session.doc.InputLines.assign({"[Symbol 1]", "Typ=3", "Punkte=2", "XKoord0=9.5", "YKoord0=48.5",
                                 "XKoord1=9.6", "YKoord1=48.6", "[Overlay]", "Symbols=1",
                                 "XKoord=9.7", "YKoord=48.7"});
  ASSERT_TRUE(ovlRecognized(session));
  EXPECT_EQ(session.doc.InputLines.lines(),
            (std::vector<std::string>{"XKoord0=9.5", "YKoord0=48.5", "XKoord1=9.6", "YKoord1=48.6",
                                      "XKoord=9.7", "YKoord=48.7"}));
}

TEST_P(Ovl, ValuesAreCutNotRoundedAndRightAligned) {
  const struct {
    const char *x, *lonDec;
  } cases[] = {
      {"XKoord0=9.1234567", "9.123456"},   {"XKoord3=11.5", "    11.5"},
      {"XKoord=-10.65544468", "-10.6554"}, {"XKoord=   11.5", "    11.5"},
      {"XKoordAbc=12", "      12"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(read({c.x, "YKoord0=48.137"}), 1) << c.x;
    EXPECT_EQ(p().LonDec, c.lonDec) << c.x;
    EXPECT_TRUE(p().PointValid);
  }
  ASSERT_EQ(read({"XKoord0=9.1234567", "YKoord0=48.1370001"}), 1);
  EXPECT_NEAR(static_cast<double>(p().LonValue), 9.1234567, 1e-12);
  EXPECT_EQ(p().LatDec, "48.13700");
  EXPECT_EQ(p().LonMer, "1014484");
  EXPECT_EQ(p().LatMer, "6122832");
  EXPECT_EQ(p().LonGrMin, "00907.407402");
  EXPECT_EQ(p().LatNmea, "04808.220006");
  EXPECT_EQ(p().LonGMS, h("009\xB0"
                          "07\xB4"
                          "24.44\""));
  EXPECT_EQ(p().Time, "000000.00");
  EXPECT_EQ(p().SatCount, "0");
  // Leading blanks belong to the text of the value, not to its degrees.
  ASSERT_EQ(read({"XKoord=   11.5", "YKoord=  48.25"}), 1);
  EXPECT_EQ(p().LonGrMin, "01130");
  EXPECT_EQ(p().LatGrMin, "04815");
  // No zero test: 0/0 is a point.
  EXPECT_EQ(read({"XKoord=0", "YKoord=0"}), 1);
  EXPECT_TRUE(port.prompts.empty()) << "these readers never ask";
}

TEST_P(Ovl, InvalidValuesAndLinesGiveNoPoint) {
  const std::vector<std::string> invalid = {"9,5", "9.", ".5", "9.5 ", "neun", "", "9.5.1", "1e"};
  for (const auto& v : invalid) {
    EXPECT_EQ(read({"XKoord0=" + v, "YKoord0=48.5"}), 0) << v;
    EXPECT_FALSE(p().PointValid);
    EXPECT_EQ(p().LonDec, "0");
    EXPECT_EQ(p().LonMer, "0");
    EXPECT_EQ(p().LonValue, 0);
    EXPECT_EQ(p().FixOk, "1") << "fixed values all the same";
    EXPECT_EQ(read({"XKoord0=9.5", "YKoord0=" + v}), 0) << v;
    EXPECT_FALSE(p().PointValid);
    EXPECT_EQ(p().LatGMS, "0");
  }
  EXPECT_EQ(read({"XKoord0=1.5e1", "YKoord0=-4.5E+1"}), 1) << "an exponent is a number";
  EXPECT_NEAR(static_cast<double>(p().LonValue), 15, 1e-12);
  // A longitude line followed by another longitude line gives no point.
  EXPECT_EQ(read({"XKoord0=9.5", "XKoord1=9.6", "YKoord1=48.6"}), 0);
  EXPECT_FALSE(p().PointValid);
  // A latitude line is read only with its longitude line, and other lines change nothing.
  p().LonDec = "unchanged";
  EXPECT_EQ(read({"YKoord0=48.5", "XKoord1=9.6"}), 0);
  EXPECT_EQ(read({"[Symbol 1]"}), 0);
  EXPECT_EQ(p().LonDec, "unchanged");
  EXPECT_EQ(GetOVL_Y(session, "XKoord=9.5"), 0);
  EXPECT_EQ(read({"XKoord0=9.5"}), 0) << "the last line has no latitude after it";
}

KURSOLIN_ON_BOTH_HOSTS(Ovl);

}  // namespace
}  // namespace kursolin
