#pragma once
// Route files of AutoRoute Express, which the program cannot read itself: the converter beside
// the program turns a copy of the file into lines, which are loaded into both panes.

#include "core/session.h"

namespace kursolin {

/// The converter in AppDir, its input (a copy of the chosen file) and its output.
inline constexpr char kAxeConverter[] = "axe2itn.exe";
inline constexpr char kAxeCopy[] = "axe.axe";
inline constexpr char kAxeOutput[] = "axe.tmp";

/// The import command: open dialog, copy, converter run, its lines into both panes, clean-up.
void FlatSpeedButton3Click(Session& s);

}  // namespace kursolin
