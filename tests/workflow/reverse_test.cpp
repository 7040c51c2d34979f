// Reversing the produced route.
#include <gtest/gtest.h>

#include <set>

#include "formats/registry.h"
#include "session/panes.h"
#include "support/fake_port.h"
#include "support/nmea_writer.h"
#include "support/scratch.h"
#include "support/session_setup.h"
#include "workflow/output_commands.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"

namespace kursolin {
namespace {

class ReverseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::createLikeTheWindow(s);
    test::useOutput(s, 1);
  }
  void route(const std::vector<std::string>& lines) {
    s.doc.OutputLines.assign(lines);
    s.doc.RoutePointCount = static_cast<int>(lines.size());
    NaviChange(s);
  }
  test::ScriptedPort port;
  Session s{port, HostSettings::german()};
};

TEST_F(ReverseTest, GeneratedRouteTurnsRoundAndBackAgain) {
  test::TrackBuilder t(48.0, 11.0, 12 * 3600);
  t.add(t.current()).drive(0, 40, 900, 5).drive(90, 40, 900, 5);
  test::useInput(s, 1);
  test::setInput(s, t.ggaVtgLines());
  RouteExecute(s);
  const auto original = s.doc.OutputLines.lines();
  ASSERT_GT(original.size(), 3u);
  const int points = s.doc.RoutePointCount;
  const std::string caption = s.outputCaption();
  port.clearRecords();
  const int focusBefore = port.focusOutput;

  RouteReversActionExecute(s);
  const std::vector<std::string> reversed(original.rbegin(), original.rend());
  EXPECT_EQ(s.doc.OutputLines.lines(), reversed);
  EXPECT_EQ(port.focusOutput, focusBefore + 1);
  EXPECT_EQ(s.doc.RoutePointCount, points);
  EXPECT_EQ(s.outputCaption(), caption);
  EXPECT_TRUE(s.shell.item("SaveNavi").enabled);

  RouteReversActionExecute(s);
  EXPECT_EQ(s.doc.OutputLines.lines(), original);
  EXPECT_TRUE(port.prompts.empty());
}

TEST_F(ReverseTest, LinesThatAreNotAboveABlankAreDropped) {
  route({"a|1|", "", " ", "\tb|2|", "\x1F", "  c|3|", "\xE4|4|", "d|5|"});
  RouteReversActionExecute(s);
  EXPECT_EQ(s.doc.OutputLines.lines(),
            (std::vector<std::string>{"d|5|", "\xE4|4|", "  c|3|", "a|1|"}));
  EXPECT_TRUE(port.prompts.empty());

  // Only blanks: the route goes, and saving with it.
  route({" ", " "});
  ASSERT_TRUE(s.shell.item("SaveNavi").enabled);
  RouteReversActionExecute(s);
  EXPECT_TRUE(s.doc.OutputLines.empty());
  EXPECT_FALSE(s.shell.item("SaveNavi").enabled);
  EXPECT_FALSE(s.shell.item("RouteReversAction").enabled);
}

TEST_F(ReverseTest, RefusalsLeaveTheLinesAlone) {
  struct Case {
    int code;
    std::vector<std::string> lines;
    PromptKind kind;
    const char* text;
  };
  const Case cases[] = {
      {6, test::mn42Points(4), PromptKind::Information,
       "Routen in Tabellenform k\xF6nnen nicht umgekehrt werden !"},
      // The lines were made for Navigon; the chosen format decides.
      {7, test::mn42Points(4), PromptKind::Information,
       "Routen im Falk PreviosDestination Format k\xF6nnen nicht umgekehrt werden !"},
      {1, {}, PromptKind::Error, "Keine Route vorhanden !"},
      {1, {"\x10" "abc", "b|"}, PromptKind::Error, "Keine Route vorhanden !"},
      {2, {""}, PromptKind::Error, "Keine Route vorhanden !"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test::useOutput(s, c.code);
    route(c.lines);
    port.clearRecords();
    const auto revision = s.doc.OutputLines.revision();
    const int focus = port.focusOutput;
    RouteReversActionExecute(s);
    ASSERT_EQ(port.prompts.size(), 1u);
    EXPECT_EQ(port.prompts[0].kind, c.kind);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Abort);
    EXPECT_EQ(port.prompts[0].text, c.text);
    EXPECT_EQ(s.doc.OutputLines.lines(), c.lines);
    EXPECT_EQ(s.doc.OutputLines.revision(), revision);
    EXPECT_EQ(port.focusOutput, focus);
  }
  // Back to a Navigon format, the same lines turn round.
  test::useOutput(s, 1);
  route(test::mn42Points(4));
  RouteReversActionExecute(s);
  EXPECT_EQ(s.doc.OutputLines.at(0), test::mn42Points(1, 4)[0]);
}

TEST_F(ReverseTest, EveryFormatOfOneLineAPointTurnsRound) {
  test::useInput(s, 22);
  test::setInput(s, {"51.1\t7.1", "51.2\t7.2", "51.3\t7.3", "51.4\t7.4"});
  s.opt.rules.AllGGACheck = true;
  s.opt.rules.XRPSpin = 1;
  std::set<int> turned;
  for (const auto& f : outputFormats()) {
    // Formats with lines besides the points (a header, a footer) are their own tests' business.
    if (!f.available() || !f.reversible || f.pointLine) continue;
    SCOPED_TRACE(f.code);
    test::useOutput(s, f.code);
    RouteExecute(s);
    const auto made = s.doc.OutputLines.lines();
    ASSERT_EQ(made.size(), 4u);
    RouteReversActionExecute(s);
    std::vector<std::string> expected(made.rbegin(), made.rend());
    if (OutTT(s)) {
      // The new start and destination carry their own flags, the others the intermediate one.
      expected = {"740000|5140000|KS-Rp 4|4|", "730000|5130000|KS-Rp 3|1|",
                  "720000|5120000|KS-Rp 2|1|", "710000|5110000|KS-Rp 1|3|"};
    }
    EXPECT_EQ(s.doc.OutputLines.lines(), expected);
    turned.insert(f.code);
  }
  for (int code : {0, 1, 2, 3, 4, 20, 21, 22, 23}) EXPECT_TRUE(turned.count(code)) << code;
  EXPECT_TRUE(port.prompts.empty());
}

}  // namespace
}  // namespace kursolin
