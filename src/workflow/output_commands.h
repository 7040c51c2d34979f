#pragma once
// Choosing the output format and the point info option.

#include <string>

#include "session/session.h"

namespace kursolin {

/// Applies an output format code (menu checks, flag, label, caption; may offer to regenerate).
void NaviArtChange(Session& s, int code);

/// Makes code the chosen output format with its menu checks, label and point info item, without
/// asking anything or touching the route.
void showOutputFormat(Session& s, int code);

/// Toggles "Routepunkte Info ausgeben" and ShowPointInfo with it.
void RPInfoClick(Session& s);

}  // namespace kursolin
