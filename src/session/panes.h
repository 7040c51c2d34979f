#pragma once
// Availability that follows the text of the two panes.

#include <string_view>

#include "session/session.h"

namespace kursolin {

/// true when the pane's whole text, compared as bytes, sorts after the one-character text c.
bool paneSortsAfter(const TextLines& lines, char c);

/// After a change of the output pane: saving and reversing need a route in it.
void NaviChange(Session& s);

/// After a change of the input pane: the pane needs text, making a route at least two lines.
void NMEADatenChange(Session& s);

/// As NMEADatenChange, for an edited pane whose text has not been copied into InputLines yet:
/// its number of lines (counted as Count() counts them) and the first two characters of its text
/// with CR LF line breaks (fewer for a shorter text).
void NMEADatenChange(Session& s, int lineCount, std::string_view head);

}  // namespace kursolin
