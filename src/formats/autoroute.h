#pragma once
// Microsoft AutoRoute import files (".csv", from version 2002): one ";"-separated line a route
// point, a descriptive text with number and time, speed, altitude and the position with decimal
// commas. No header; the program writes them and never reads them.

#include <string>

#include "core/route_point.h"
#include "session/session.h"

namespace kursolin {

/// The AutoRoute line of the current point with the point number n.
std::string autoRouteLine(const Session& s, int n);

/// Line builder for the route point emitter.
void buildAutoRoute(Session& s, const RoutePoint& p);

}  // namespace kursolin
