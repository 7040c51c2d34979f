#pragma once
// The command "Routendaten erzeugen".

#include "core/session.h"
#include "track/generator.h"

namespace kursolin {

/// Makes the route and finishes the output (flags, table, focus); conversion errors end it with
/// a message and keep what was emitted.
RouteResult RouteExecute(Session& s);

/// Shows the route point table, emptied, for the table output; hides it for every other.
void preparePointTable(Session& s);

}  // namespace kursolin
