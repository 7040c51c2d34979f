#pragma once
// The one exit of every route point.

#include "session/session.h"

namespace kursolin {

/// Emits the point in CurrentPoint: numbers it, builds PointLabel and appends the lines of the
/// chosen output format, keeping the record beside them in emittedPoints. prev*: the point
/// emitted before (0, 0 for the first); cur*: this one.
void RouteOut(Session& s, Real prevLat, Real prevLon, Real curLat, Real curLon);

/// true when emittedPoints describes the lines of OutputLines (a load or an edit of the pane
/// leaves records of an earlier route behind).
bool routeRecordsInStep(const Document& doc);

}  // namespace kursolin
