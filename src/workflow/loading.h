#pragma once
// Choosing the input format and loading a file of it.

#include <string>

#include "session/port.h"
#include "session/session.h"

namespace kursolin {

/// Applies an input format code (kAutoInputFormat: "Automatisch erkennen"); loads when the
/// choice or the input separator changed.
void SourceChange(Session& s, int code);

/// The input format as chosen in the menu and stored in the settings: a format code, or
/// kAutoInputFormat when each file's format is found by itself.
int chosenInputFormat(const Session& s);

/// The open dialog of the load command as the current input format prepares it.
FileDialogRequest loadDialogRequest(const Session& s);

/// The load command: asks before unsaved work is thrown away, then open dialog, read, check,
/// captions and status. A cancelled dialog leaves both panes as they were.
void LoadNMEAExecute(Session& s);

/// The question before a load or the end of the program throws away a route that was not saved
/// or an edited input pane.
inline constexpr char kDiscardQuestion[] =
    "Die Route wurde noch nicht gespeichert. Trotzdem fortfahren?";

/// true when the output pane holds a route that was not saved, or the input pane was edited since
/// its file was loaded.
bool workUnsaved(const Document& doc);

/// true when nothing unsaved would be lost, or the user agreed to lose it (Yes to
/// kDiscardQuestion).
bool mayDiscardWork(Session& s);

/// Empties both panes before a newly chosen file takes their place, with everything shown of the
/// previous route: the output caption's count, the point table, the route's records.
void clearPanes(Session& s);

/// Remembers the input pane as loaded: later edits count as unsaved work.
void markInputLoaded(Session& s);

/// Loads the file at path as the current input format, without a dialog; false when the file
/// cannot be read or fails the check (after the same messages as the dialog path).
bool loadInputFile(Session& s, const std::string& path);

/// loadInputFile with the input format code (the menu's check follows), unless the formats are
/// found by themselves; false as loadInputFile.
bool loadInputFileAs(Session& s, const std::string& path, int code);

/// Loads text that comes from no file (standard input) as the current input format, named by
/// `name`; as loadInputFile otherwise. Formats that read their files themselves refuse it.
bool loadInputText(Session& s, const std::string& name, const std::string& bytes);

/// Toggles "Fehlermeldungen ausgeben" and ShowErrors with it.
void FehlermeldungClick(Session& s);

/// The sub-menu "Koordinatenpaar aus Textdatei" opens.
void In_NaviTextTabClick(Session& s);

/// The message for a format this version cannot read yet.
std::string formatNotAvailableText(const std::string& formatName);

}  // namespace kursolin
