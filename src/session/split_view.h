#pragma once
// What the split dialog (TSaveSplit) shows and what its controls do, as the port sees it: the
// texts and values the workflow computes, and the reactions of its controls. The desktop program
// draws it; the batch converter and tests drive it.

#include <string>

namespace kursolin {

class Session;

class SplitDialogView {
 public:
  /// Height of the dialog without its panels, pixels.
  static constexpr int kBaseHeight = 102;
  /// Where the dialog opens, relative to the main window's top left corner, pixels.
  static constexpr int kOffsetTop = 100;
  static constexpr int kOffsetLeft = 50;

  virtual ~SplitDialogView() = default;

  /// Prepares the dialog for the chosen output format: panels, caption, bold text, the spin box
  /// (maximum and value the format's maximum, minimum 1), then the plan.
  virtual void FormActivate() = 0;
  /// The spin box changed to a value (held within its range).
  virtual void AnzSplitEditChange(long long value) = 0;
  /// The spin box's text was typed: a value outside the range counts as the nearer bound, a text
  /// that is no number as 1.
  virtual void AnzSplitEditText(const std::string& text) = 0;
  /// The dialog closes (its height returns to the base).
  virtual void close() = 0;
  /// The folder field "BCR Verzeichnis" was edited: the session's folder follows at once.
  virtual void BCRDir_EChange(const std::string& text) = 0;
  /// The browse button of "BCR Verzeichnis": the chosen folder goes into the field.
  virtual void BCRDirButtonClick() = 0;
  /// The session whose route is split (its Tourenplaner settings are edited in place).
  virtual Session& session() = 0;

  // What the widgets show.
  std::string caption;      // window caption
  std::string RpInfoLabel;  // bold text
  std::string Label4;       // "Es wird " / "Es werden "
  std::string Label5;       // "Datei mit je" / "Dateien mit je "
  std::string Label6 = "Routenpunkten und eine Datei mit ";
  std::string Label7 = "Routenpunkten angelegt .";
  std::string OkBtn;  // "Datei erstellen" / "Dateien erstellen"
  int DateiAnzahl = 0;
  int RestAnzahl = 0;
  int spinMin = 1, spinMax = 1, spinValue = 1;
  bool showSplitRow = false;
  bool showTourenplaner = false;
  int height = kBaseHeight;
  /// Heights of the two panels, pixels; the widget may set its own before FormActivate.
  int splitRowHeight = 97;
  int tourenplanerHeight = 331;
  // Tourenplaner form: route name and folder fields (the other settings live in the session).
  std::string ROUTENAME_E;
  std::string BCRDir_E;
};

}  // namespace kursolin
