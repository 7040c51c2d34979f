#pragma once
// The command "Routendaten erzeugen".

#include "core/session.h"

namespace kursolin {

/// Makes the route and finishes the output (flags, table, focus); conversion errors end it with
/// a message and keep what was emitted.
void RouteExecute(Session& s);

}  // namespace kursolin
