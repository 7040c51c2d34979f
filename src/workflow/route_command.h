#pragma once
// The command "Routendaten erzeugen".

#include <string>

#include "session/session.h"
#include "track/generator.h"

namespace kursolin {

/// Makes the route and finishes the output (flags, table, focus); conversion errors end it with
/// a message and keep what was emitted. Records skipped for values that are no numbers are
/// counted behind the status text.
RouteResult RouteExecute(Session& s);

/// "N Datensätze mit ungültigen Koordinaten übersprungen" ("1 Datensatz ...").
std::string skippedRecordsText(int count);

/// Shows the route point table, emptied, for the table output; hides it for every other.
void preparePointTable(Session& s);

}  // namespace kursolin
