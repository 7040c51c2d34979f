#pragma once
// Falk PreviousDestination files (".dat"): several lines a route point.

#include "core/session.h"

namespace kursolin {

/// Before each record: an unnamed point that counts as a via station until a reader says else.
void prepareFalkRecord(Session& s);

}  // namespace kursolin
