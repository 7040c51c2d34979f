#include "support/gpx_writer.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "formats/gpx.h"

namespace kursolin::test {

double onNmeaGrid(double degrees, int degreeDigits) {
  const std::string t = nmeaCoord(degrees, degreeDigits);
  const double whole = std::atof(t.substr(0, static_cast<std::size_t>(degreeDigits)).c_str());
  const double minutes = std::atof(t.substr(static_cast<std::size_t>(degreeDigits)).c_str());
  const double v = whole + minutes / 60;
  return degrees < 0 ? -v : v;
}

std::string gpxTrackPoint(const Fix& f) {
  // The fix's date is ddmmyy of the first day; seconds beyond a day run into the next ones.
  const int day = std::atoi(f.date.substr(0, 2).c_str()) + f.secondsOfDay / 86400;
  const int month = std::atoi(f.date.substr(2, 2).c_str());
  const int yy = std::atoi(f.date.substr(4, 2).c_str());
  const int s = f.secondsOfDay % 86400;
  char b[320];
  std::snprintf(b, sizeof b,
                "<trkpt lat=\"%.10f\" lon=\"%.10f\"><ele>%.1f</ele>"
                "<time>%04d-%02d-%02dT%02d:%02d:%02dZ</time></trkpt>",
                onNmeaGrid(f.lat, 2), onNmeaGrid(f.lon, 3), f.altitude - f.geoidSep,
                yy >= 80 ? 1900 + yy : 2000 + yy, month, day, s / 3600, s / 60 % 60, s % 60);
  return b;
}

std::string gpxTrack(const std::vector<Fix>& fixes) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"test\" "
      "xmlns=\"http://www.topografix.com/GPX/1/1\">\n<trk><trkseg>\n";
  for (const auto& f : fixes) out += gpxTrackPoint(f) + "\n";
  return out + "</trkseg></trk>\n</gpx>\n";
}

void writeGpxRoute(Session& s, const std::vector<GpxOutPoint>& points) {
  for (const GpxOutPoint& p : points) {
    PointRecord& r = s.CurrentPoint;
    r.LatDec = p.lat;
    r.LonDec = p.lon;
    r.Altitude = p.alt;
    r.Time = p.time;
    r.Date = p.date;
    r.Role = p.role;
    r.navi(RtePlaceName) = p.name;
    ++s.doc.RoutePointCount;
    buildGpx(s, RoutePoint{s.doc.RoutePointCount, 0, 0, 0, 0});
  }
  finishGpx(s, s.doc.OutputLines);
}

}  // namespace kursolin::test
