#pragma once
// Start-up of a session, shared by the desktop program and the batch converter.

#include <string>

#include "session/session.h"

namespace kursolin {

/// Creation of the main window's state: folders, empty panes, the table's headers, captions.
void FormCreate(Session& s, const std::string& appDir);

/// After the settings were read: applies the stored input format (without a file dialog), the
/// stored output format and the time mode, and sets the captions.
void applyStartFormats(Session& s);

/// The first activation: reads the settings of AppDir and applies them; true when the start
/// notice is to be shown.
bool FormActivate(Session& s);

}  // namespace kursolin
