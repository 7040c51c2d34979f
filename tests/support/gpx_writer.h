#pragma once
// Writes GPX 1.1 tracks of the same fixes the NMEA test sentences are made from, so a scenario
// can be run once as a receiver's log and once as a phone's GPX track.

#include <string>
#include <vector>

#include "core/point.h"
#include "session/session.h"
#include "support/nmea_writer.h"

namespace kursolin::test {

/// A coordinate as the NMEA sentences of the fix carry it (ddmm.mmmm), in decimal degrees.
double onNmeaGrid(double degrees, int degreeDigits);

/// The <trkpt> element of a fix: position on the NMEA grid, elevation, UTC time from the fix's
/// date and its second of the day (a day later past midnight).
std::string gpxTrackPoint(const Fix& f);

/// A GPX 1.1 document with one track holding the points.
std::string gpxTrack(const std::vector<Fix>& fixes);

/// A route point as the GPX writer gets it from the generator.
struct GpxOutPoint {
  std::string lat, lon;
  std::string name = "-";
  RouteRole role = RouteRole::Unknown;
  std::string alt = "0", time = "000000.00", date = "01.01.00";
};

/// Writes the points through the GPX output step by step and finishes the file into the
/// session's output lines.
void writeGpxRoute(Session& s, const std::vector<GpxOutPoint>& points);

}  // namespace kursolin::test
