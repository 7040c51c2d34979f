#pragma once
// Top50 overlay files in their text form (".ovl"): of the whole file only the coordinate lines
// count, "XKoord...=longitude" each followed by "YKoord...=latitude" of the same point.

#include <string>

#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// Recognition at load (input code 3): some "XKoord" line is directly followed by a "YKoord"
/// line. Then every other line is removed from InputLines.
bool ovlRecognized(Session& s);

/// Detection: some "XKoord" line is directly followed by a "YKoord" line.
bool ovlFound(const Session& s, const FileSample& file);

/// Reads a longitude line and, with it, the latitude line at index + 1 into CurrentPoint; 1 for
/// a usable point. 0 for every other line (latitude lines are read only with their longitude).
int GetOVL_X(Session& s, const std::string& line, int index);

/// Reads a latitude line into the latitude fields of CurrentPoint; 1 when it is one with a valid
/// value, else 0 (any other line leaves the point unchanged).
int GetOVL_Y(Session& s, const std::string& line);

}  // namespace kursolin
