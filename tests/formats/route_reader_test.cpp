// What the route-file readers share: decimal degrees written as whole numbers or with an
// exponent, and positions off the globe, the poles included.
#include <gtest/gtest.h>

#include "formats/navigon.h"
#include "formats/registry.h"
#include "formats/table.h"
#include "support/hosts.h"
#include "support/session_setup.h"

namespace kursolin {
namespace {

class RouteReaders : public test::HostTest {
 protected:
  void SetUp() override { test::createLikeTheWindow(session); }
  bool read(int code, const std::vector<std::string>& lines) {
    session.opt.InputFormat = code;
    session.doc.InputLines.assign(lines);
    ResetNaviFields(session);
    return inputFormat(code)->readA(session, lines[0], 0);
  }
  PointRecord& p() { return session.CurrentPoint; }
};

// 11 and 1.15e1 are 11° and 11.5°, not 6°60' and 1°90'.
TEST_P(RouteReaders, WholeNumbersAndExponentsAreDecimalDegrees) {
  const struct {
    const char* what;
    int code;
    std::vector<std::string> lines;
    std::string latDec, lonDec;
  } cases[] = {
      {"OVL", 3, {"XKoord9=11", "YKoord9=1.15e1"}, "    11.5", "      11"},
      {"Touratech", 24, {"1|1.15e1|11|0|0|-|-"}, h("11.500000"), h("11.000000")},
      {"Navigon", 8, {"-|-|-|-|-|-|-|-|-|-|11|1.15e1|-|"}, "11.5", "11"},
      {"Tourenplaner", 5, {"-|-|-|-|-|-|-|-|-|-|11|1.15e1|"}, "11.5", "11"},
      {"decimal text", 22, {"1.15e1\t11"}, "11.5", "11"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(read(c.code, c.lines));
    EXPECT_EQ(p().LatDec, c.latDec);
    EXPECT_EQ(p().LonDec, c.lonDec);
    EXPECT_EQ(p().LatGrMin, "01130");
    EXPECT_EQ(p().LonGrMin, "01100");
    EXPECT_EQ(p().LatGMS, h("011\xB0"
                            "30\xB4"
                            "0.00\""));
    EXPECT_EQ(p().LatMer, "1287418");
    EXPECT_NEAR(static_cast<double>(p().LatValue), 11.5, 1e-12);
    // What the writers make of it.
    session.opt.set(CsvSeparator, ";");
    EXPECT_NE(tableDataLine(session, "0").find(";01130;01100;"), std::string::npos);
  }
  session.opt.set(MN4ShowOrt, false);
  ASSERT_TRUE(read(8, {"-|-|-|-|-|-|-|-|-|-|11|1.15e1|-|"}));
  session.CurrentPoint.PointLabel = "-";
  EXPECT_EQ(navigonLine(session, NavigonVersion::MN4, 1), "-|-|-|-|-|-|-|-|-|-|11|11.5|-|");
  EXPECT_TRUE(port.prompts.empty());
}

// The poles have no Mercator value: they are refused like the latitudes beyond them, and the
// message says why.
TEST_P(RouteReaders, PositionsOffTheGlobeAreRefusedAsSuch) {
  const struct {
    const char* what;
    int code;
    std::vector<std::string> lines;
    const char* axis;  // nullptr: the point is taken
  } cases[] = {
      {"Navigon north pole", 8, {"-|-|-|-|-|-|-|-|-|-|7.5|90|-|"}, "n\xF6rdliche Breite"},
      {"Navigon south pole", 8, {"-|-|-|-|-|-|-|-|-|-|7.5|-90.000|-|"}, "n\xF6rdliche Breite"},
      {"Navigon near the pole", 8, {"-|-|-|-|-|-|-|-|-|-|7.5|89.999999|-|"}, nullptr},
      {"Navigon date line", 8, {"-|-|-|-|-|-|-|-|-|-|-180|51|-|"}, nullptr},
      {"Navigon beyond", 8, {"-|-|-|-|-|-|-|-|-|-|180.1|51|-|"}, "\xF6stliche L\xE4nge"},
      {"Tourenplaner", 5, {"-|-|-|-|-|-|-|-|-|-|7.5|9e1|"}, "n\xF6rdliche Breite"},
      {"decimal text", 22, {"90\t7.5"}, "n\xF6rdliche Breite"},
      {"degree-minute text", 21, {"-9000.000\t00730.000"}, "n\xF6rdliche Breite"},
      {"OVL", 3, {"XKoord0=7.5", "YKoord0=-90"}, "n\xF6rdliche Breite"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    port.clearRecords();
    EXPECT_EQ(read(c.code, c.lines), c.axis == nullptr);
    if (!c.axis) {
      EXPECT_TRUE(port.prompts.empty());
      continue;
    }
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].text, "Der aktuelle Routenpunkt 1\r\r" + c.lines[0] +
                                        "\r\rliegt au\xDF"
                                        "erhalb des g\xFCltigen Bereichs f\xFCr die " +
                                        c.axis + " !\rDer Routenpunkt wird nicht ausgewertet");
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
  }
}

KURSOLIN_ON_BOTH_HOSTS(RouteReaders);

}  // namespace
}  // namespace kursolin
