#pragma once
// The settings dialog (TEinstellen) without its widgets: which separator choice of the two
// coordinate-text pages is chosen, the split maxima with their mirrored fields, the altitude
// correction and the place-name boxes with their warnings. Every change acts on the session at
// once; the desktop program draws the controls from this model after each event.

#include <array>
#include <string>

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

/// The number fields that hold a per-file maximum. MNSpinEdit (Navigon page) mirrors MpMNEdit,
/// TTSpinEdit (TomTom page) mirrors MpTTEdit.
enum class SplitField { MpMNEdit, MpTTEdit, MpMTPEdit, MpFalkEdit, MNSpinEdit, TTSpinEdit };
inline constexpr int kSplitFieldCount = 6;

/// The place-name check boxes of the Navigon page.
enum class ShowOrtBox { MN4ShowOrt, MN42ShowOrt, MN5ShowOrt };

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
  bool inputSeparatorChanged() const { return s_.opt.SeparatorAtSettings != s_.opt.InputSeparator; }

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

  // --- Split maxima ---
  /// The value a split field shows.
  int fieldValue(SplitField f) const { return fields_[static_cast<int>(f)]; }
  /// A split field changed: held within 0..10000, stored in its maximum, mirrored into its twin.
  void SplitFieldChange(SplitField f, long long value);

  // --- NMEA altitude correction ---
  /// HKorEdit changed: held within 0..1000.
  void HKorEditChange(long long value);
  /// HoeheNull checked or cleared.
  void HoeheNullClick(bool checked);

  // --- Place names in Navigon output ---
  /// Whether the box is checked.
  bool showOrt(ShowOrtBox box) const;
  /// The box changed its state (click, key or program).
  void ShowOrtChange(ShowOrtBox box, bool checked);
  /// A key was released on the box: warns when the box is checked (MN|4 and MN|4.2 only).
  void ShowOrtKeyUp(ShowOrtBox box);
  /// A mouse button was released after a click on the box: warns for the left button when the
  /// box is checked (MN|4 and MN|4.2 only).
  void ShowOrtMouseUp(ShowOrtBox box, bool leftButton);

  Session& session() { return s_; }

 private:
  static int index(SeparatorSide side) { return side == SeparatorSide::Input ? 0 : 1; }
  // The program sets a choice's checked state; becoming chosen runs the separator rule.
  void setChecked(SeparatorSide side, SeparatorChoice c, bool checked);
  void applyChoice(SeparatorSide side);
  void warnIfChecked(ShowOrtBox box);

  Session& s_;
  std::array<SeparatorChoice, 2> chosen_{SeparatorChoice::Free, SeparatorChoice::Free};
  std::array<int, kSplitFieldCount> fields_{};
};

}  // namespace kursolin
