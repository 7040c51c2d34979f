#pragma once
// Choosing a target device ("Zielgerät"): its profile sets the output format, the format's
// options, the route points per file and the point limit a route is fitted to, and takes every
// point of a route file.

#include <string>

#include "session/session.h"

namespace kursolin {

/// Why a profile cannot be used (a German message naming its section), "" when it can.
std::string deviceProfileProblem(const Session& s, const DeviceProfile& d);

/// Sets the values of the profile with this id ("": "Kein Profil", which only forgets the
/// choice), the output format as a value only (the batch converter). A profile that does not
/// exist or cannot be used changes nothing, after a message; false then.
bool applyDevice(Session& s, const std::string& id);

/// As applyDevice, the output format through its menu command (the window).
bool chooseDevice(Session& s, const std::string& id);

/// The profiles as kursolin-cli --device list prints them, one a line (cp1252).
std::string deviceListText(const Session& s);

/// Fits the route just made to the chosen profile's point limit (the reduction of "Route
/// verringern"); false when it had to be fitted and could not be.
bool fitRouteToDevice(Session& s);

}  // namespace kursolin
