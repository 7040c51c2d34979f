#pragma once
// Route files of AutoRoute Express, which the program cannot read itself: the converter beside
// the program turns a copy of the file into lines, which are loaded into both panes.

#include <optional>
#include <string>

#include "session/session.h"

namespace kursolin {

/// The converter in AppDir, its input (a copy of the chosen file) and its output.
inline constexpr char kAxeConverter[] = "axe2itn.exe";
inline constexpr char kAxeCopy[] = "axe.axe";
inline constexpr char kAxeOutput[] = "axe.tmp";

/// Why the converter cannot be run here (it is missing from AppDir, or it is a Windows program
/// and wine is missing), naming where it is expected; nullopt when it can be run.
std::optional<std::string> axeImportObstacle(const Session& s);

/// Offers the import (item "AxeImport") exactly when the converter can be run.
void updateAxeImportAvailability(Session& s);

/// The import command: refuses at once when the converter cannot be run; then asks before
/// unsaved work is thrown away, open dialog, copy, converter run, its lines into both panes,
/// clean-up.
void FlatSpeedButton3Click(Session& s);

}  // namespace kursolin
