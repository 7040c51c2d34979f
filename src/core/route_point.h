#pragma once
// What every output format's line builder is told about the route point being emitted.

#include "core/point.h"

namespace kursolin {

struct RoutePoint {
  /// Point number, 1 for the first point of a route.
  int n = 0;
  /// Position of the point emitted before this one (0, 0 before the first), decimal degrees.
  Real prevLat = 0, prevLon = 0;
  /// This point's position.
  Real curLat = 0, curLon = 0;
};

}  // namespace kursolin
