#pragma once
// Availability that follows the text of the two panes.

#include "core/session.h"

namespace kursolin {

/// true when the pane's whole text, compared as bytes, sorts after the one-character text c.
bool paneSortsAfter(const TextLines& lines, char c);

/// After a change of the output pane: saving and reversing need a route in it.
void NaviChange(Session& s);

/// After a change of the input pane: the pane needs text, making a route at least two lines.
void NMEADatenChange(Session& s);

}  // namespace kursolin
