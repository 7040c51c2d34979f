#pragma once
// The split dialog (TSaveSplit) without its widgets: the plan of part files for routes longer
// than a format's per-file maximum, the texts the dialog shows, and the Tourenplaner settings it
// carries for BCR files. The desktop program draws it; the batch converter and tests drive it.

#include <string>
#include <vector>

#include "core/session.h"

namespace kursolin {

class SplitDialog {
 public:
  /// Height of the dialog without its panels, pixels.
  static constexpr int kBaseHeight = 102;
  /// Where the dialog opens, relative to the main window's top left corner, pixels.
  static constexpr int kOffsetTop = 100;
  static constexpr int kOffsetLeft = 50;

  explicit SplitDialog(Session& s);

  /// Prepares the dialog for the chosen output format: panels, caption, bold text, the spin box
  /// (maximum and value the format's maximum, minimum 1), then the plan.
  void FormActivate();
  /// The spin box changed to a value (held within its range).
  void AnzSplitEditChange(long long value);
  /// The spin box's text was typed: a value outside the range counts as the nearer bound, a text
  /// that is no number as 1.
  void AnzSplitEditText(const std::string& text);
  /// Computes the plan from the spin box into the session (SplitSize, SplitFiles, SplitRest,
  /// SplitRestFile) and the texts.
  void Berechnen();
  /// The dialog closes (its height returns to the base).
  void close();

  /// The folder field "BCR Verzeichnis" was edited: BcrDirectory follows at once.
  void BCRDir_EChange(const std::string& text);
  /// The browse button of "BCR Verzeichnis": the chosen folder goes into the field.
  void BCRDirButtonClick();

  /// true when the current plan's part files can be named (see splitPlanNameable).
  bool planNameable() const;

  // What the widgets show.
  std::string caption;  // window caption
  std::string RpInfoLabel;  // bold text
  std::string Label4;  // "Es wird " / "Es werden "
  std::string Label5;  // "Datei mit je" / "Dateien mit je "
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
  // Tourenplaner form: route name and folder fields (the other settings live in Session::bcr).
  std::string ROUTENAME_E;
  std::string BCRDir_E;

  Session& session() { return s_; }

 private:
  Session& s_;
};

/// The per-file maximum of the chosen output format (0: no limit), or -1 for formats without one.
int splitMaximum(const Session& s);

/// The number of route points a split divides: the lines of OutputLines for the formats that
/// write one line per route point, RoutePointCount for Falk (several lines a point).
int splitPointCount(const Session& s);

/// Sets the plan (SplitSize, SplitFiles, SplitRest, SplitRestFile) for perFile points a file
/// (at least 1) over splitPointCount.
void planSplit(Session& s, int perFile);

/// Number of files of the plan in the session: the full ones and a partial one.
int splitFileCount(const Session& s);

/// The name of part file i (1-based) of a plan with `splitFiles` full files: file 1 unchanged,
/// later files with "_" and i - 1 (zero-padded by the plan's size) before the last four characters
/// of the file name (a name shorter than that: before its extension, or at its end).
std::string partFileName(const std::string& chosen, int i, int splitFiles);

/// true when a plan of that many full files can be named (fewer than 10000).
bool splitPlanNameable(int splitFiles);

/// The message refusing a plan whose part files cannot be named.
std::string splitTooManyFilesText(const Session& s);

/// The vehicle profiles of the Tourenplaner form, in list order (index = BcrSettings::PIndex).
const std::vector<std::string>& vehicleProfiles();

}  // namespace kursolin
