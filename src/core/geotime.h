#pragma once
// Distance, heading and time arithmetic of the route generator, and the time mode.

#include <optional>
#include <string>

#include "core/datetime.h"
#include "core/host.h"
#include "core/point.h"

namespace kursolin {

/// Great-circle distance in whole metres; 0 from the start value (0, 0), between equal
/// positions, and on any arithmetic fault.
int Dist(Real lat1, Real lon1, Real lat2, Real lon2);

/// Dist with the sine and cosine of the last two latitudes kept: a scan measures every record
/// from a reference point that changes seldom, and extended-precision sine and cosine of a
/// latitude beyond 45 degrees cost more than the rest of a record. Gives exactly what Dist gives.
class DistCache {
 public:
  int operator()(Real lat1, Real lon1, Real lat2, Real lon2);
  /// How Dist(...) compares with `metres`, where a double-precision estimate far cheaper than
  /// Dist can tell for certain (records well within or well beyond a rule's distance); Unknown
  /// near the threshold and far away, where Dist itself must answer.
  enum class Compared { Below, AtLeast, Unknown };
  static Compared compare(Real lat1, Real lon1, Real lat2, Real lon2, int metres);

 private:
  struct Trig {
    Real angle = 0, sin = 0, cos = 1;
    bool known = false;
  };
  const Trig& trig(Real angle);
  Trig kept_[2];
  int next_ = 0;
};

/// Great-circle distance in metres, unrounded, on the sphere of Dist (111.12 km a degree);
/// positions in signed decimal degrees.
double sphereMetres(double lat1, double lon1, double lat2, double lon2);

/// Initial bearing from the first position to the second, 0 to below 360 degrees.
double initialBearing(double lat1, double lon1, double lat2, double lon2);

/// true when the two course texts differ by more than `degrees` (the rule's GradEdit).
bool GradDif(int degrees, const std::string& course1, const std::string& course2);

/// Seconds of the day of a record time text hhmmss (fraction ignored, no wrap).
int GetTime(const std::string& time);

/// GetTime(time2) - GetTime(time1).
int ZeitDif(const std::string& time1, const std::string& time2);

/// The record time in the host's long time format, shifted by offsetHours (ActiveTimeOffset); the
/// text is read with the time separator timeSep. A text that gives no valid time of day throws
/// ConvertError.
std::string TimeChange(const HostSettings& host, char timeSep, int offsetHours,
                       const std::string& time);

/// true when the local date-time lies in German summer time.
bool CheckBRDSz(const LocalDateTime& dt);

/// The modification time of a file in local time, or nullopt when there is no such file.
std::optional<LocalDateTime> fileModificationTime(const std::string& path);

/// The local date and time for stamps written into files: the instant in SOURCE_DATE_EPOCH
/// (seconds since 1970, the reproducible-builds convention) when that holds a whole number,
/// else the clock.
LocalDateTime fileStampTime();

}  // namespace kursolin
