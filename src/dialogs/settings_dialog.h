#pragma once
// The settings dialog (TEinstellen) without its widgets: its pages and their fields as the formats
// declare them (the separator choices of the two coordinate-text pages, the per-file maxima shown
// on several pages at once, check boxes with their warnings) and the altitude correction. Every
// change acts on the session at once; the desktop program draws the controls from this model
// after each event.

#include <array>
#include <string>
#include <vector>

#include "session/format_options.h"
#include "session/session.h"

namespace kursolin {

/// The two coordinate-text pages: reading (TE...) and writing (TA...) coordinate text files.
enum class SeparatorSide { Input, Output };

/// The six separator choices of a page, in their order on the page; None when none is chosen.
enum class SeparatorChoice { Komma, Semikolon, Strich, Punkt, Tabulator, Free, None };

/// The five fixed choices, in their order on the page.
inline constexpr std::array<SeparatorChoice, 5> kFixedSeparatorChoices = {
    SeparatorChoice::Komma, SeparatorChoice::Semikolon, SeparatorChoice::Strich,
    SeparatorChoice::Punkt, SeparatorChoice::Tabulator};

/// The separator a fixed choice stands for ("," ";" "|" "." tab); "" for Free and None.
std::string separatorOfChoice(SeparatorChoice c);

/// Caption of a choice on the page: the character in double quotes, blanks, a hyphen and the
/// name (e.g. "\",\"  -  Komma"); " Anderes Zeichen" for Free.
std::string separatorChoiceCaption(SeparatorChoice c);

/// The separator as captions and messages show it: "Tab" for the tab character, else itself.
std::string separatorDisplayText(const std::string& separator);

class SettingsDialogModel {
 public:
  /// A dialog over the session; its choices start as designed ("Anderes Zeichen" chosen).
  explicit SettingsDialogModel(Session& s);

  /// The opening steps, run each time the dialog is shown, before the user acts.
  void FormShow();

  /// true when the input separator differs from the one in force when the dialog was opened,
  /// so the input format wants applying again.
  bool inputSeparatorChanged() const;

  /// The pages of the formats' options, in their order (the altitude page is the dialog's own).
  const std::vector<const OptionPage*>& pages() const { return pages_; }

  // --- Separator groups ---
  /// The chosen separator choice of a page.
  SeparatorChoice chosen(SeparatorSide side) const { return chosen_[index(side)]; }
  /// The user clicks a choice: an already chosen one does nothing, another becomes the only
  /// chosen one and sets the page's separator.
  void SeparatorClick(SeparatorSide side, SeparatorChoice c);
  /// Text of the free-character field (TEFreeEdit, TAFreeEdit).
  const std::string& freeText(SeparatorSide side) const;
  /// Typing in the free-character field: keeps at most one character and changes no separator.
  void FreeEditChange(SeparatorSide side, const std::string& text);

  // --- Order of the coordinates ---
  /// true when "erst nördliche Breite" is chosen on the page.
  bool latFirst(SeparatorSide side) const;
  /// TE_NO/TE_ON (TA_NO/TA_ON) chosen: sets InputLatFirst (OutputLatFirst).
  void LatFirstClick(SeparatorSide side, bool latFirst);

  // --- Number fields and check boxes of the formats' options ---
  /// The value a number field of an integer option shows; every field of one option shows it.
  int fieldValue(const OptionInfo& option) const;
  /// A number field changed: held within the option's range, stored in the option.
  void NumberFieldChange(const OptionInfo& option, long long value);
  /// Whether the check box of a boolean option is checked.
  bool boxChecked(const OptionInfo& option) const;
  /// The box changed its state (click, key or program).
  void BoxChange(const OptionInfo& option, bool checked);
  /// A key was released on the box: its warning when the box is checked.
  void BoxKeyUp(const OptionInfo& option);
  /// A mouse button was released after a click on the box: its warning for the left button when
  /// the box is checked.
  void BoxMouseUp(const OptionInfo& option, bool leftButton);

  // --- Lists, text fields and file fields of the options ---
  /// A list field: the entry chosen (an index of the option's choices), held within its range.
  void ChoiceChange(const OptionInfo& option, int index) { NumberFieldChange(option, index); }
  /// The text a text or file field shows.
  const std::string& fieldText(const OptionInfo& option) const { return text(&option); }
  /// A text or file field was edited: the option takes the text as it stands (cp1252).
  void TextFieldChange(const OptionInfo& option, const std::string& text);
  /// The button beside a file field: asks for a file with the field's filter, starting at the
  /// one set; true when one was chosen and set.
  bool BrowseFile(const OptionInfo& option, const OptionField& field);

  // --- NMEA altitude correction ---
  /// HKorEdit changed: held within 0..1000.
  void HKorEditChange(long long value);
  /// HoeheNull checked or cleared.
  void HoeheNullClick(bool checked);

  Session& session() { return s_; }

 private:
  // The options of one page of separator choices, by their roles.
  struct SeparatorPage {
    const OptionInfo* separator = nullptr;
    const OptionInfo* free = nullptr;
    const OptionInfo* freeCharacter = nullptr;
    const OptionInfo* latFirst = nullptr;
    const OptionInfo* shown = nullptr;  // the separator as captions name it, or none
  };
  static int index(SeparatorSide side) { return side == SeparatorSide::Input ? 0 : 1; }
  const std::string& text(const OptionInfo* o) const;
  bool flag(const OptionInfo* o) const;
  // The program sets a choice's checked state; becoming chosen runs the separator rule.
  void setChecked(SeparatorSide side, SeparatorChoice c, bool checked);
  void applyChoice(SeparatorSide side);
  void warnIfChecked(const OptionInfo& option);

  Session& s_;
  std::vector<const OptionPage*> pages_;
  std::array<SeparatorPage, 2> separators_{};
  std::array<SeparatorChoice, 2> chosen_{SeparatorChoice::Free, SeparatorChoice::Free};
};

}  // namespace kursolin
