#pragma once
// The one exit of every route point.

#include "core/session.h"

namespace kursolin {

/// Emits the point in CurrentPoint: numbers it, builds PointLabel and appends the lines of the
/// chosen output format. prev*: the point emitted before (0, 0 for the first); cur*: this one.
void RouteOut(Session& s, Real prevLat, Real prevLon, Real curLat, Real curLon);

}  // namespace kursolin
