// The session's parts and the prompts every part uses.
#include <gtest/gtest.h>

#include "core/numtext.h"
#include "session/prompt.h"
#include "support/hosts.h"

namespace kursolin {
namespace {

using test::HostTest;

class Prompts : public HostTest {};

TEST_P(Prompts, IsDigitPassesNumberTextsWithoutAsking) {
  for (const char* t : {"12.5", "", "1,5", "007"}) {
    EXPECT_EQ(isDigit(session, t), t);
  }
  EXPECT_TRUE(port.prompts.empty());
}

TEST_P(Prompts, IsDigitAsksAtTheFirstBadCharacterEvenWithErrorsHidden) {
  session.opt.ShowErrors = false;
  const std::string expected =
      "Ein unzul\xE4ssiges Zeichen \" a \" bei der Auswertung von Zahlenwerten erkannt\r"
      " Auswertung abbrechen ? Oder Zeichen ignorieren dann wird der Zahlenwert auf 0 gesetzt !";
  for (const char* t : {"12a5", "125a"}) {
    port.clearRecords();
    port.answer({PromptAnswer::Ignore});
    EXPECT_EQ(isDigit(session, t), "");
    ASSERT_EQ(port.prompts.size(), 1u) << t;
    EXPECT_EQ(port.prompts[0].text, expected);
    EXPECT_EQ(port.prompts[0].kind, PromptKind::Error);
    EXPECT_EQ(port.prompts[0].buttons, PromptButtons::AbortIgnore);
    EXPECT_FALSE(session.AbortRequested);
  }
  port.answer({PromptAnswer::Abort});
  EXPECT_EQ(isDigit(session, "1x2y"), "");
  EXPECT_EQ(port.prompts.size(), 2u) << "only the first bad character is reported";
  EXPECT_TRUE(session.AbortRequested);
}

KURSOLIN_ON_BOTH_HOSTS(Prompts);

TEST(Sessions, TwoSessionsDoNotShareState) {
  test::ScriptedPort p1, p2;
  Session a(p1, HostSettings::german()), b(p2, HostSettings::english());
  a.CurrentPoint.LatDec = "48.0";
  a.doc.InputLines.add("x");
  a.shell.item("RPInfo").checked = true;
  EXPECT_EQ(b.CurrentPoint.LatDec, "");
  EXPECT_EQ(b.doc.InputLines.Count(), 0);
  EXPECT_FALSE(b.shell.item("RPInfo").checked);
  EXPECT_EQ(PZD(a.numbers, "1.5"), "1,5");
  EXPECT_EQ(PZD(b.numbers, "1.5"), "1.5");
}

}  // namespace
}  // namespace kursolin
