#pragma once
// Choosing the input format and loading a file of it.

#include <string>

#include "core/port.h"
#include "core/session.h"

namespace kursolin {

/// Applies an input format code (kAutoInputFormat: "Automatisch erkennen"); loads when the
/// choice or the input separator changed.
void SourceChange(Session& s, int code);

/// The input format as chosen in the menu and stored in the settings: a format code, or
/// kAutoInputFormat when each file's format is found by itself.
int chosenInputFormat(const Session& s);

/// The open dialog of the load command as the current input format prepares it.
FileDialogRequest loadDialogRequest(const Session& s);

/// The load command: open dialog, read, check, captions and status.
void LoadNMEAExecute(Session& s);

/// Loads the file at path as the current input format, without a dialog; false when the file
/// cannot be read or fails the check (after the same messages as the dialog path).
bool loadInputFile(Session& s, const std::string& path);

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
