#pragma once
// What every route-file reader does alike: fill all notations of a coordinate from its decimal
// degrees, set the values a route file lacks, and refuse points without coordinates.

#include <string>

#include "core/coords.h"
#include "session/session.h"

namespace kursolin {

/// Fills every position text and the number of one coordinate of CurrentPoint from a
/// decimal-degree text ("." or host separator; an exponent is written out). A text that is no
/// number throws ConvertError naming the line.
void setCoordinateFromDecimal(Session& s, Axis axis, const std::string& text, int lineNumber);

/// The fixed values of a point read from a route file: fix, time, speed (text and number),
/// course, date, altitude, satellites, HDOP; PointValid set.
void setRouteFileDefaults(PointRecord& p);

/// Reports an empty line of the source file (an OK box); the point is skipped.
void reportEmptyLine(Session& s, int lineNumber);

/// The conversion message of a coordinate text of a line that is no number: the line's number,
/// the line itself and the text that failed.
std::string coordinateNotANumberText(int lineNumber, const std::string& line,
                                     const std::string& text);

/// 1 when both coordinates are non-zero and on the globe (|lon| <= 180, |lat| < 90); otherwise
/// the OK box naming the coordinate missing or off the globe (longitude first) and 0.
int coordinatesPresent(Session& s, const std::string& line, int lineNumber);

/// For formats that take 0 as a coordinate: 1 when both coordinates are on the globe; otherwise
/// the OK box naming the coordinate off the globe and 0.
int coordinatesOnGlobe(Session& s, const std::string& line, int lineNumber);

}  // namespace kursolin
