#pragma once
// Route files of AutoRoute Express, which the program cannot read itself: the converter beside
// the program turns a copy of the file into lines, which are loaded into both panes.

#include <optional>
#include <string>

#include "core/session.h"

namespace kursolin {

/// The converter in AppDir, its input (a copy of the chosen file) and its output.
inline constexpr char kAxeConverter[] = "axe2itn.exe";
inline constexpr char kAxeCopy[] = "axe.axe";
inline constexpr char kAxeOutput[] = "axe.tmp";

/// The import command: open dialog, copy, converter run, its lines into both panes, clean-up.
void FlatSpeedButton3Click(Session& s);

/// The request that runs the converter on the two working files: the converter itself, or
/// `wine` (found in searchPath) for a Windows program; nullopt when that needs wine and there is
/// none.
std::optional<ProcessRequest> converterRequest(const std::string& converter,
                                               const std::string& input, const std::string& output,
                                               const std::string& workingDir,
                                               const std::string& searchPath);

}  // namespace kursolin
