// Availability that follows the panes: the edited-pane variant of NMEADatenChange must decide as
// the variant over InputLines does, for every kind of text a user can leave in the pane.
#include <gtest/gtest.h>

#include "core/host.h"
#include "session/panes.h"
#include "support/fake_port.h"

namespace kursolin {
namespace {

struct PaneCase {
  const char* name;
  std::string text;  // the pane's text as the user left it
  bool paneEnabled;
  bool routeEnabled;
};

void PrintTo(const PaneCase& c, std::ostream* os) {
  *os << c.name;
}

class InputPaneChange : public ::testing::TestWithParam<PaneCase> {
 protected:
  InputPaneChange() : session(port, HostSettings::german()) {}
  test::ScriptedPort port;
  Session session;
};

// What the window hands over for an edited pane: the line count and the text's first two
// characters with CR LF breaks.
std::string headOf(const TextLines& lines) {
  if (lines.empty()) return {};
  return (std::string(lines.full(0)) + "\r\n").substr(0, 2);
}

TEST_P(InputPaneChange, BothVariantsAgree) {
  const PaneCase& c = GetParam();
  session.doc.InputLines.setText(c.text);
  NMEADatenChange(session);
  EXPECT_EQ(session.shell.item("NMEADaten").enabled, c.paneEnabled);
  EXPECT_EQ(session.shell.item("Route").enabled, c.routeEnabled);

  session.shell.item("NMEADaten").enabled = !c.paneEnabled;
  session.shell.item("Route").enabled = !c.routeEnabled;
  NMEADatenChange(session, session.doc.InputLines.Count(), headOf(session.doc.InputLines));
  EXPECT_EQ(session.shell.item("NMEADaten").enabled, c.paneEnabled);
  EXPECT_EQ(session.shell.item("Route").enabled, c.routeEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, InputPaneChange,
    ::testing::Values(PaneCase{"Empty", "", false, false},
                      PaneCase{"OneLine", "$GPGGA", true, false},
                      PaneCase{"OneLineAndEmptyLast", "$GPGGA\n", true, false},
                      PaneCase{"TwoLines", "a\nb", true, true},
                      PaneCase{"OnlyLineBreaks", "\n\n", false, true},
                      PaneCase{"SingleCharacter", "x", true, false},
                      PaneCase{"StartsWithUnitSeparator", std::string("\x1F") + "x", true, false},
                      PaneCase{"OnlyUnitSeparatorThenItsLineBreak", "\x1F", true, false},
                      PaneCase{"StartsWithTab", "\tabc\nx", false, true},
                      PaneCase{"StartsWithBlank", " a", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kursolin
