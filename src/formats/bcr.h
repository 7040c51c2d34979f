#pragma once
// Tourenplaner route files (".BCR"): an INI-like text with the sections [CLIENT], [COORDINATES],
// [DESCRIPTION] and [ROUTE]. Points are whole Mercator metres "X,Y"; the route settings of the
// split dialog's Tourenplaner form go into the header and the [ROUTE] section.

#include <string>
#include <vector>

#include "core/lines.h"
#include "core/route_point.h"
#include "session/session.h"
#include "formats/format.h"

namespace kursolin {

/// The vehicle profiles of the Tourenplaner form, in list order (index = BcrSettings::PIndex).
const std::vector<std::string>& bcrVehicleProfiles();

/// Recognition at load (input code 6): the first four lines name CLIENT, REQUEST, ROUTENAME and
/// DESCRIPTIONLINES; then InputLines is cut to the entries of the [COORDINATES] section.
bool bcrRecognized(Session& s);

/// Detection: the first four lines name CLIENT, REQUEST, ROUTENAME and DESCRIPTIONLINES.
bool bcrFound(const Session& s, const FileSample& file);

/// Reads one coordinate entry "NAME=X,Y" into CurrentPoint (the name into RtePlaceName); 1.
/// X or Y that is no whole number throws ConvertError naming the line (index + 1).
int GetBCR(Session& s, const std::string& line, int index);

/// The BCR step of RouteOut: "LonMer,LatMer".
void buildBCR(Session& s, const RoutePoint& p);

/// Writes every file of the route by the session's split plan: the chosen name for the first,
/// the suffixed names for the others. false after its own message when not every file was
/// written (files written before stay and are named).
bool SaveBCR(Session& s, const std::string& chosen);

}  // namespace kursolin
