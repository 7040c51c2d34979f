#pragma once
// The check marks of the menus. Those of the format and time menus are derived from the choices
// themselves (the input and output format, the time mode); every other item keeps its own.

#include <string>

#include "session/session.h"

namespace kursolin {

/// Whether the named menu item or action shows a check mark.
bool menuItemChecked(const Session& s, const std::string& name);

}  // namespace kursolin
