#pragma once
// Saving the produced route: the save dialog of the output format, split part files, safe writes.

#include <string>
#include <vector>

#include "dialogs/folders.h"
#include "dialogs/split_dialog.h"
#include "formats/format.h"
#include "session/port.h"
#include "session/session.h"

namespace kursolin {

/// The save command: dialog for the chosen format, split dialog when the route is too long.
void SaveNaviExecute(Session& s);

/// The save dialog as the chosen output format prepares it.
FileDialogRequest saveDialogRequest(const Session& s);

/// The split dialog of the chosen output format, with its texts.
SplitDialog splitDialogFor(Session& s);

/// The status line after a save that wrote every file: "Gespeichert: " + path + " (N Dateien)".
std::string savedStatusText(const std::string& path, int files);

/// The proposed file name: SaveBaseName with the format's extension (or a fixed name).
std::string proposedSaveName(const Session& s);

/// The bytes of the chosen output format's file made of these lines (cp1252 lines, each with
/// CR LF, unless the format encodes its files otherwise).
std::string routeFileBytes(const Session& s, const std::vector<std::string>& lines);

/// Writes the lines as the chosen format's file (routeFileBytes) to path safely; on failure tells
/// the user, naming the path, and returns false. The previous file at path stays intact.
bool writeRouteFile(Session& s, const std::string& path, const std::vector<std::string>& lines);

/// routeFileBytes of a whole line list, read in place.
std::string routeFileBytes(const Session& s, const TextLines& lines);
/// writeRouteFile of a whole line list, read in place.
bool writeRouteFile(Session& s, const std::string& path, const TextLines& lines);

/// Writes the parts of a Navigon or TomTom route by the plan in the session after a save dialog
/// for the first name; false when cancelled or a part could not be written.
bool SaveToSplit(Session& s);

/// Writes the parts of the current route by the plan to names derived from `chosen`, without a
/// dialog (batch converter), each part finished by the chosen format's finishing pass (or written
/// by its own writer); false after a
/// message when a part could not be written.
bool writeSplitParts(Session& s, const std::string& chosen);

/// The same with the given finishing pass for each part's lines (nullptr: none).
bool writeSplitParts(Session& s, const std::string& chosen, LinesPass finish);

/// Enables saving and reversing by the output pane (same as NaviChange).
void updateSaveAvailability(Session& s);

/// The message refusing to save in a format this version cannot write yet.
std::string formatNotSavableText(const std::string& formatCaption);

/// The message for a file that could not be written, naming the path and the reason.
std::string writeFailureText(const std::string& path, const std::string& why);

}  // namespace kursolin
