// The settings dialog without widgets: separator choices and their free character, the opening
// steps, the mirrored split fields and the place-name warnings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/host.h"
#include "dialogs/settings_dialog.h"
#include "formats/bcr.h"
#include "formats/coordtext.h"
#include "formats/falk.h"
#include "formats/gpx.h"
#include "formats/navigon.h"
#include "formats/registry.h"
#include "formats/tomtom.h"
#include "support/fake_port.h"

namespace kursolin {
namespace {

using Side = SeparatorSide;
using Choice = SeparatorChoice;

class SettingsDialogTest : public ::testing::Test {
 protected:
  SettingsDialogTest() : session(port, HostSettings::german()), dlg(session) {}

  static const TextOption& separatorOf(Side side) {
    return side == Side::Input ? InputSeparator : OutputSeparator;
  }
  static const BoolOption& freeOf(Side side) {
    return side == Side::Input ? InputFreeSeparator : OutputFreeSeparator;
  }
  static const TextOption& freeTextOf(Side side) {
    return side == Side::Input ? TEFreeEdit : TAFreeEdit;
  }
  const std::string& separator(Side side) const { return session.opt.get(separatorOf(side)); }
  bool freeFlag(Side side) const { return session.opt.get(freeOf(side)); }

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
        EXPECT_EQ(session.opt.get(InputSeparatorText), c.shown);
      }
    }
  }
}

TEST_F(SettingsDialogTest, TheTwoPagesAreIndependent) {
  dlg.SeparatorClick(Side::Input, Choice::Semikolon);
  dlg.SeparatorClick(Side::Output, Choice::Punkt);
  dlg.LatFirstClick(Side::Output, false);
  EXPECT_EQ(session.opt.get(InputSeparator), ";");
  EXPECT_EQ(session.opt.get(OutputSeparator), ".");
  EXPECT_TRUE(session.opt.get(InputLatFirst));
  EXPECT_FALSE(session.opt.get(OutputLatFirst));
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
  EXPECT_EQ(session.opt.get(InputSeparatorText), "");
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
  EXPECT_EQ(session.opt.get(TEFreeEdit), "a");
  dlg.FreeEditChange(Side::Output, "\xB0x");  // a cp1252 degree sign is one character
  EXPECT_EQ(session.opt.get(TAFreeEdit), "\xB0");
}

TEST_F(SettingsDialogTest, ClickingTheChosenFixedChoiceDoesNotRewriteTheSeparator) {
  dlg.SeparatorClick(Side::Input, Choice::Strich);
  session.opt.set(InputSeparator, "X");  // a change the dialog did not make
  dlg.SeparatorClick(Side::Input, Choice::Strich);
  EXPECT_EQ(session.opt.get(InputSeparator), "X");
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
      s.opt.set(separatorOf(side), c.sep);
      s.opt.set(freeOf(side), c.flag);
      s.opt.set(freeTextOf(side), c.freeText);
      SettingsDialogModel fresh(s);
      ASSERT_EQ(fresh.chosen(side), Choice::Free);
      fresh.FormShow();
      EXPECT_EQ(fresh.chosen(side), c.chosen);
      EXPECT_EQ(s.opt.get(separatorOf(side)), c.sepAfter);
      EXPECT_EQ(s.opt.get(freeOf(side)), c.flagAfter);
      if (side == Side::Input) {
        EXPECT_EQ(s.opt.inputOptionsAtSettings, c.sep);
        EXPECT_EQ(s.opt.get(InputSeparatorText), separatorDisplayText(c.sepAfter));
      }
      EXPECT_TRUE(p.prompts.empty());
    }
  }
}

TEST_F(SettingsDialogTest, ALaterOpeningThatChoosesTheFreeChoiceRunsItsRule) {
  dlg.SeparatorClick(Side::Input, Choice::Komma);
  // Changed behind the dialog's back (as a settings override would): an odd separator and the
  // free flag, while the field holds another character.
  session.opt.set(InputSeparator, "x");
  session.opt.set(InputFreeSeparator, true);
  session.opt.set(TEFreeEdit, "+");
  dlg.FormShow();
  EXPECT_EQ(dlg.chosen(Side::Input), Choice::Free);
  EXPECT_EQ(session.opt.get(InputSeparator), "+");
  EXPECT_EQ(session.opt.inputOptionsAtSettings, "x");
  EXPECT_TRUE(dlg.inputSeparatorChanged());
}

TEST_F(SettingsDialogTest, SeparatorChangeIsMeasuredFromTheLastOpening) {
  session.opt.set(InputSeparator, ";");
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
  session.opt.set(InputLatFirst, false);
  session.opt.set(OutputLatFirst, true);
  dlg.FormShow();
  EXPECT_FALSE(dlg.latFirst(Side::Input));
  EXPECT_TRUE(dlg.latFirst(Side::Output));
  dlg.LatFirstClick(Side::Input, true);
  EXPECT_TRUE(session.opt.get(InputLatFirst));
}

// MpMN and MpTT3 show on the split page and on their format's page: one value in two fields.
TEST_F(SettingsDialogTest, MaximaShownTwiceHoldOneValueWithinTheRange) {
  for (const IntOption* o : {&MpMN, &MpTT3}) {
    ASSERT_NE(o->info.fields[0].page, nullptr);
    ASSERT_NE(o->info.fields[1].page, nullptr);
    EXPECT_NE(o->info.fields[0].page, o->info.fields[1].page);
    for (long long typed : {0LL, 250LL, 10000LL, -5LL, 20000LL}) {
      const int expected = typed < 0 ? 0 : (typed > 10000 ? 10000 : static_cast<int>(typed));
      dlg.NumberFieldChange(o->info, typed);
      EXPECT_EQ(dlg.fieldValue(o->info), expected);
      EXPECT_EQ(session.opt.get(*o), expected);
    }
  }
}

TEST_F(SettingsDialogTest, SingleFieldsSetOnlyTheirOwnMaximum) {
  dlg.FormShow();
  dlg.NumberFieldChange(MpMTP.info, 77);
  dlg.NumberFieldChange(MpFalk.info, 12000);
  dlg.NumberFieldChange(MpGPX.info, 250);
  EXPECT_EQ(session.opt.get(MpMTP), 77);
  EXPECT_EQ(session.opt.get(MpFalk), 10000);
  EXPECT_EQ(session.opt.get(MpGPX), 250);
  EXPECT_EQ(session.opt.get(MpMN), 100);
  EXPECT_EQ(session.opt.get(MpTT3), 15);
  EXPECT_EQ(dlg.fieldValue(MpMN.info), 100);
  EXPECT_EQ(dlg.fieldValue(MpTT3.info), 15);
}

TEST_F(SettingsDialogTest, OpeningBringsStoredMaximaIntoRange) {
  session.opt.set(MpMN, 250);
  session.opt.set(MpTT3, 20001);
  session.opt.set(MpMTP, -3);
  session.opt.set(MpFalk, 90);
  session.opt.set(MpGPX, 10001);
  dlg.FormShow();
  EXPECT_EQ(dlg.fieldValue(MpMN.info), 250);
  EXPECT_EQ(dlg.fieldValue(MpTT3.info), 10000);
  EXPECT_EQ(session.opt.get(MpTT3), 10000);
  EXPECT_EQ(session.opt.get(MpMTP), 0);
  EXPECT_EQ(dlg.fieldValue(MpFalk.info), 90);
  EXPECT_EQ(session.opt.get(MpGPX), 10000);
}

// Every maximum a format splits by has its field on the split page, in the order of the rows.
TEST_F(SettingsDialogTest, EverySplitMaximumHasItsField) {
  std::vector<std::string> names;
  for (const OptionFieldRef& f : fieldsOn(kSplitPage)) names.push_back(f.field->name);
  EXPECT_EQ(names, (std::vector<std::string>{"MpMNEdit", "MpTTEdit", "MpMTPEdit", "MpFalkEdit",
                                             "MpGPXEdit"}));
  for (const OutputFormatInfo& f : outputFormats()) {
    if (!f.limit) continue;
    const auto& fields = f.limit->info.fields;
    EXPECT_TRUE(std::any_of(fields.begin(), fields.end(), [](const OptionField& o) {
      return o.page == &kSplitPage;
    })) << f.code;
  }
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
    const OptionInfo* box;
    bool checked;
    Release release;
    std::string warning;  // empty: none
  };
  const std::string w4 = mn4ShowOrtWarning(), w42 = mn42ShowOrtWarning();
  const std::vector<Case> cases = {
      {&MN4ShowOrt.info, true, Key, w4},         {&MN4ShowOrt.info, true, LeftMouse, w4},
      {&MN4ShowOrt.info, true, RightMouse, ""},  {&MN4ShowOrt.info, false, Key, ""},
      {&MN4ShowOrt.info, false, LeftMouse, ""},  {&MN42ShowOrt.info, true, Key, w42},
      {&MN42ShowOrt.info, true, LeftMouse, w42}, {&MN42ShowOrt.info, false, LeftMouse, ""},
      {&MN5ShowOrt.info, true, Key, ""},         {&MN5ShowOrt.info, true, LeftMouse, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.box->key) + " " + std::to_string(c.checked * 10 + c.release));
    port.clearRecords();
    dlg.BoxChange(*c.box, c.checked);
    if (c.release == Key) {
      dlg.BoxKeyUp(*c.box);
    } else {
      dlg.BoxMouseUp(*c.box, c.release == LeftMouse);
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
  dlg.BoxChange(MN4ShowOrt.info, true);
  dlg.BoxChange(MN42ShowOrt.info, true);
  dlg.BoxChange(MN5ShowOrt.info, false);
  EXPECT_TRUE(session.opt.get(MN4ShowOrt));
  EXPECT_TRUE(session.opt.get(MN42ShowOrt));
  EXPECT_FALSE(session.opt.get(MN5ShowOrt));
  EXPECT_TRUE(dlg.boxChecked(MN42ShowOrt.info));
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
