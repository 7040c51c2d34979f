#pragma once
// Reversing the produced route: its destination becomes its start.

#include "session/session.h"

namespace kursolin {

/// Puts the route points of OutputLines in the opposite order and sets the TomTom flags anew;
/// false after the refusal's message (table and Falk outputs, no route).
bool reverseRoute(Session& s);

/// Puts the route points of OutputLines in the opposite order (refused for the table and Falk
/// outputs and without a route); the TomTom flags are set anew, focus goes to the output pane.
void RouteReversActionExecute(Session& s);

}  // namespace kursolin
