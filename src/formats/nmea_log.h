#pragma once
// NMEA 0183 logs as an input format: the checks at load. The sentences themselves are parsed by
// the track layer (GetGGA, GetVTG, GetRMC).

#include "core/session.h"

namespace kursolin {

/// Some line begins with "$GPGGA" and some line begins with "$GPVTG".
bool ggaVtgRecognized(Session& s);

/// Some line begins with "$GPRMC".
bool rmcRecognized(Session& s);

}  // namespace kursolin
