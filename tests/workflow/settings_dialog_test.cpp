// The settings dialog without widgets: separator choices and their free character, the opening
// steps, the mirrored split fields and the place-name warnings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host.h"
#include "formats/navigon.h"
#include "support/fake_port.h"
#include "workflow/settings_dialog.h"

namespace kursolin {
namespace {

using Side = SeparatorSide;
using Choice = SeparatorChoice;

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() : session(port, HostSettings::german()), dlg(session) {}

  std::string& separator(Side side) {
    return side == Side::Input ? session.opt.InputSeparator : session.opt.OutputSeparator;
  }
  bool& freeFlag(Side side) {
    return side == Side::Input ? session.opt.InputFreeSeparator : session.opt.OutputFreeSeparator;
  }

  test::ScriptedPort port;
  Session session;
  SettingsDialogModel dlg;
};

TEST_F(SettingsDialogTest, EveryFixedChoiceSetsItsCharacterAndClearsTheFreeFlag) {
  struct Case {
    Choice choice;
    std::string sep;
    std::string shown;
  };
  const std::vector<Case> cases = {{Choice::Komma, ",", ","},
                                   {Choice::Semikolon, ";", ";"},
                                   {Choice::Strich, "\x7C", "|"},
                                   {Choice::Punkt, ".", "."},
                                   {Choice::Tabulator, "\t", "Tab"}};
  for (Side side : {Side::Input, Side::Output}) {
    dlg.SeparatorClick(side, Choice::Komma);  // leaves the designed free choice
    for (const Case& c : cases) {
      SCOPED_TRACE(separatorChoiceCaption(c.choice));
      dlg.SeparatorClick(side, Choice::Free);
      ASSERT_TRUE(freeFlag(side));
      dlg.SeparatorClick(side, c.choice);
      EXPECT_EQ(dlg.chosen(side), c.choice);
      EXPECT_EQ(separator(side), c.sep);
      EXPECT_FALSE(freeFlag(side));
      if (side == Side::Input) {
        EXPECT_EQ(session.opt.InputSeparatorText, c.shown);
      }
    }
  }
}

TEST_F(SettingsDialogTest, TheTwoPagesAreIndependent) {
  dlg.SeparatorClick(Side::Input, Choice::Semikolon);
  dlg.SeparatorClick(Side::Output, Choice::Punkt);
  dlg.LatFirstClick(Side::Output, false);
  EXPECT_EQ(session.opt.InputSeparator, ";");
  EXPECT_EQ(session.opt.OutputSeparator, ".");
  EXPECT_TRUE(session.opt.InputLatFirst);
  EXPECT_FALSE(session.opt.OutputLatFirst);
  EXPECT_EQ(dlg.chosen(Side::Input), Choice::Semikolon);
  EXPECT_EQ(dlg.chosen(Side::Output), Choice::Punkt);
}

TEST_F(SettingsDialogTest, FreeChoiceWithEmptyFieldGivesAnEmptySeparator) {
  for (Side side : {Side::Input, Side::Output}) {
    dlg.SeparatorClick(side, Choice::Komma);
    dlg.FreeEditChange(side, "");
    dlg.SeparatorClick(side, Choice::Free);
    EXPECT_EQ(separator(side), "");
    EXPECT_TRUE(freeFlag(side));
  }
  EXPECT_EQ(session.opt.InputSeparatorText, "");
}

TEST_F(SettingsDialogTest, TypingAFreeCharacterActsOnlyWhenTheFreeChoiceIsChosenAgain) {
  for (Side side : {Side::Input, Side::Output}) {
    dlg.SeparatorClick(side, Choice::Komma);
    dlg.FreeEditChange(side, "#");
    dlg.SeparatorClick(side, Choice::Free);
    ASSERT_EQ(separator(side), "#");

    dlg.FreeEditChange(side, "+");
    EXPECT_EQ(separator(side), "#") << "typing alone changes nothing";
    dlg.SeparatorClick(side, Choice::Free);
    EXPECT_EQ(separator(side), "#") << "clicking the chosen choice does nothing";

    dlg.SeparatorClick(side, Choice::Tabulator);
    dlg.SeparatorClick(side, Choice::Free);
    EXPECT_EQ(separator(side), "+");
  }
}

TEST_F(SettingsDialogTest, TheFreeFieldHoldsAtMostOneCharacter) {
  dlg.FreeEditChange(Side::Input, "ab");
  EXPECT_EQ(dlg.freeText(Side::Input), "a");
  EXPECT_EQ(session.opt.TEFreeEdit, "a");
  dlg.FreeEditChange(Side::Output, "\xB0x");  // a cp1252 degree sign is one character
  EXPECT_EQ(session.opt.TAFreeEdit, "\xB0");
}

TEST_F(SettingsDialogTest, ClickingTheChosenFixedChoiceDoesNotRewriteTheSeparator) {
  dlg.SeparatorClick(Side::Input, Choice::Strich);
  session.opt.InputSeparator = "X";  // a change the dialog did not make
  dlg.SeparatorClick(Side::Input, Choice::Strich);
  EXPECT_EQ(session.opt.InputSeparator, "X");
}

// The first opening, with "Anderes Zeichen" chosen as designed.
TEST_F(SettingsDialogTest, FirstOpening) {
  struct Case {
    const char* name;
    std::string sep;
    bool flag;
    std::string freeText;
    Choice chosen;
    std::string sepAfter;
    bool flagAfter;
  };
  const std::vector<Case> cases = {
      {"fixed character with flag set", ",", true, "-", Choice::Komma, ",", false},
      {"fixed character without flag", ";", false, "-", Choice::Semikolon, ";", false},
      {"tab as read from the settings", "\t", false, "-", Choice::Tabulator, "\t", false},
      {"other separator, flag set, differs from the field", "xy", true, "-", Choice::Free, "xy",
       true},
      {"other separator, flag off", "Tab", false, "-", Choice::None, "Tab", false},
      {"empty separator, flag off", "", false, "-", Choice::None, "", false},
  };
  for (Side side : {Side::Input, Side::Output}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      test::ScriptedPort p;
      Session s(p, HostSettings::german());
      (side == Side::Input ? s.opt.InputSeparator : s.opt.OutputSeparator) = c.sep;
      (side == Side::Input ? s.opt.InputFreeSeparator : s.opt.OutputFreeSeparator) = c.flag;
      (side == Side::Input ? s.opt.TEFreeEdit : s.opt.TAFreeEdit) = c.freeText;
      SettingsDialogModel fresh(s);
      ASSERT_EQ(fresh.chosen(side), Choice::Free);
      fresh.FormShow();
      EXPECT_EQ(fresh.chosen(side), c.chosen);
      EXPECT_EQ(side == Side::Input ? s.opt.InputSeparator : s.opt.OutputSeparator, c.sepAfter);
      EXPECT_EQ(side == Side::Input ? s.opt.InputFreeSeparator : s.opt.OutputFreeSeparator, c.flagAfter);
      if (side == Side::Input) {
        EXPECT_EQ(s.opt.SeparatorAtSettings, c.sep);
        EXPECT_EQ(s.opt.InputSeparatorText, separatorDisplayText(c.sepAfter));
      }
      EXPECT_TRUE(p.prompts.empty());
    }
  }
}

TEST_F(SettingsDialogTest, ALaterOpeningThatChoosesTheFreeChoiceRunsItsRule) {
  dlg.SeparatorClick(Side::Input, Choice::Komma);
  // Changed behind the dialog's back (as a settings override would): an odd separator and the
  // free flag, while the field holds another character.
  session.opt.InputSeparator = "x";
  session.opt.InputFreeSeparator = true;
  session.opt.TEFreeEdit = "+";
  dlg.FormShow();
  EXPECT_EQ(dlg.chosen(Side::Input), Choice::Free);
  EXPECT_EQ(session.opt.InputSeparator, "+");
  EXPECT_EQ(session.opt.SeparatorAtSettings, "x");
  EXPECT_TRUE(dlg.inputSeparatorChanged());
}

TEST_F(SettingsDialogTest, SeparatorChangeIsMeasuredFromTheLastOpening) {
  session.opt.InputSeparator = ";";
  dlg.FormShow();
  EXPECT_FALSE(dlg.inputSeparatorChanged());
  dlg.SeparatorClick(Side::Input, Choice::Punkt);
  EXPECT_TRUE(dlg.inputSeparatorChanged());
  dlg.SeparatorClick(Side::Input, Choice::Semikolon);
  EXPECT_FALSE(dlg.inputSeparatorChanged()) << "back to the separator at opening";
  dlg.SeparatorClick(Side::Output, Choice::Punkt);
  EXPECT_FALSE(dlg.inputSeparatorChanged()) << "the output separator is not reloaded";
}

TEST_F(SettingsDialogTest, OpeningSetsTheOrderChoicesFromTheSession) {
  session.opt.InputLatFirst = false;
  session.opt.OutputLatFirst = true;
  dlg.FormShow();
  EXPECT_FALSE(dlg.latFirst(Side::Input));
  EXPECT_TRUE(dlg.latFirst(Side::Output));
  dlg.LatFirstClick(Side::Input, true);
  EXPECT_TRUE(session.opt.InputLatFirst);
}

TEST_F(SettingsDialogTest, TwinFieldsMirrorEachOtherAndHoldTheRange) {
  struct Case {
    SplitField field, twin;
    int Options::*target;
  };
  const std::vector<Case> cases = {
      {SplitField::MpMNEdit, SplitField::MNSpinEdit, &Options::MpMN},
      {SplitField::MNSpinEdit, SplitField::MpMNEdit, &Options::MpMN},
      {SplitField::MpTTEdit, SplitField::TTSpinEdit, &Options::MpTT3},
      {SplitField::TTSpinEdit, SplitField::MpTTEdit, &Options::MpTT3},
  };
  for (const Case& c : cases) {
    for (long long typed : {0LL, 250LL, 10000LL, -5LL, 20000LL}) {
      const int expected = typed < 0 ? 0 : (typed > 10000 ? 10000 : static_cast<int>(typed));
      dlg.SplitFieldChange(c.field, typed);
      EXPECT_EQ(dlg.fieldValue(c.field), expected);
      EXPECT_EQ(dlg.fieldValue(c.twin), expected);
      EXPECT_EQ(session.opt.*c.target, expected);
    }
  }
}

TEST_F(SettingsDialogTest, SingleFieldsSetOnlyTheirOwnMaximum) {
  dlg.FormShow();
  dlg.SplitFieldChange(SplitField::MpMTPEdit, 77);
  dlg.SplitFieldChange(SplitField::MpFalkEdit, 12000);
  EXPECT_EQ(session.opt.MpMTP, 77);
  EXPECT_EQ(session.opt.MpFalk, 10000);
  EXPECT_EQ(session.opt.MpMN, 100);
  EXPECT_EQ(session.opt.MpTT3, 15);
  EXPECT_EQ(dlg.fieldValue(SplitField::MNSpinEdit), 100);
  EXPECT_EQ(dlg.fieldValue(SplitField::TTSpinEdit), 15);
}

TEST_F(SettingsDialogTest, OpeningBringsStoredMaximaIntoRangeAndFillsTheTwins) {
  session.opt.MpMN = 250;
  session.opt.MpTT3 = 20001;
  session.opt.MpMTP = -3;
  session.opt.MpFalk = 90;
  dlg.FormShow();
  EXPECT_EQ(dlg.fieldValue(SplitField::MpMNEdit), 250);
  EXPECT_EQ(dlg.fieldValue(SplitField::MNSpinEdit), 250);
  EXPECT_EQ(dlg.fieldValue(SplitField::TTSpinEdit), 10000);
  EXPECT_EQ(session.opt.MpTT3, 10000);
  EXPECT_EQ(session.opt.MpMTP, 0);
  EXPECT_EQ(dlg.fieldValue(SplitField::MpFalkEdit), 90);
}

TEST_F(SettingsDialogTest, AltitudeCorrectionHoldsItsRange) {
  for (auto [typed, expected] : std::vector<std::pair<long long, int>>{
           {48, 48}, {0, 0}, {1000, 1000}, {1001, 1000}, {-1, 0}}) {
    dlg.HKorEditChange(typed);
    EXPECT_EQ(session.opt.HKorEdit, expected);
  }
  dlg.HoeheNullClick(false);
  EXPECT_FALSE(session.opt.HoeheNull);
}

TEST_F(SettingsDialogTest, PlaceNameWarningsOnlyForMN4AndMN42AndOnlyWhenChecked) {
  enum Release { Key, LeftMouse, RightMouse };
  struct Case {
    ShowOrtBox box;
    bool checked;
    Release release;
    std::string warning;  // empty: none
  };
  const std::string w4 = mn4ShowOrtWarning(), w42 = mn42ShowOrtWarning();
  const std::vector<Case> cases = {
      {ShowOrtBox::MN4ShowOrt, true, Key, w4},
      {ShowOrtBox::MN4ShowOrt, true, LeftMouse, w4},
      {ShowOrtBox::MN4ShowOrt, true, RightMouse, ""},
      {ShowOrtBox::MN4ShowOrt, false, Key, ""},
      {ShowOrtBox::MN4ShowOrt, false, LeftMouse, ""},
      {ShowOrtBox::MN42ShowOrt, true, Key, w42},
      {ShowOrtBox::MN42ShowOrt, true, LeftMouse, w42},
      {ShowOrtBox::MN42ShowOrt, false, LeftMouse, ""},
      {ShowOrtBox::MN5ShowOrt, true, Key, ""},
      {ShowOrtBox::MN5ShowOrt, true, LeftMouse, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.box) * 100 + c.checked * 10 + c.release);
    port.clearRecords();
    dlg.ShowOrtChange(c.box, c.checked);
    if (c.release == Key) {
      dlg.ShowOrtKeyUp(c.box);
    } else {
      dlg.ShowOrtMouseUp(c.box, c.release == LeftMouse);
    }
    if (c.warning.empty()) {
      EXPECT_TRUE(port.prompts.empty());
    } else {
      ASSERT_EQ(port.prompts.size(), 1u);
      EXPECT_EQ(port.prompts[0].kind, PromptKind::Warning);
      EXPECT_EQ(port.prompts[0].buttons, PromptButtons::Ok);
      EXPECT_EQ(port.prompts[0].text, c.warning);
    }
  }
}

TEST_F(SettingsDialogTest, PlaceNameBoxesSetTheirOwnOptionSilently) {
  dlg.ShowOrtChange(ShowOrtBox::MN4ShowOrt, true);
  dlg.ShowOrtChange(ShowOrtBox::MN42ShowOrt, true);
  dlg.ShowOrtChange(ShowOrtBox::MN5ShowOrt, false);
  EXPECT_TRUE(session.opt.MN4ShowOrt);
  EXPECT_TRUE(session.opt.MN42ShowOrt);
  EXPECT_FALSE(session.opt.MN5ShowOrt);
  EXPECT_TRUE(dlg.showOrt(ShowOrtBox::MN42ShowOrt));
  EXPECT_TRUE(port.prompts.empty()) << "a change alone, as the settings load makes, never warns";
}

TEST(SeparatorCaptions, CharacterInQuotesThenTheName) {
  EXPECT_EQ(separatorChoiceCaption(Choice::Komma), "\",\"  -  Komma");
  EXPECT_EQ(separatorChoiceCaption(Choice::Semikolon), "\";\"  -  Semikolon");
  EXPECT_EQ(separatorChoiceCaption(Choice::Strich), "\"|\"  -  Strich");
  EXPECT_EQ(separatorChoiceCaption(Choice::Punkt), "\".\"  -  Punkt");
  EXPECT_EQ(separatorChoiceCaption(Choice::Tabulator), "\"Tab\"  -  Tabulator");
  EXPECT_EQ(separatorChoiceCaption(Choice::Free), " Anderes Zeichen");
}

}  // namespace
}  // namespace kursolin
