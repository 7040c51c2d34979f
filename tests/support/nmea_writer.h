#pragma once
// Writes valid NMEA sentences (with correct checksums) for test scenarios, and drives a vehicle
// along a track so generator cases read like the situations they describe.

#include <string>
#include <vector>

namespace kursolin::test {

/// One epoch of a receiver.
struct Fix {
  int secondsOfDay = 12 * 3600;
  double lat = 48.0;  // signed decimal degrees
  double lon = 11.0;
  double speedKmh = 0;
  double course = 0;
  int quality = 1;  // GGA fix quality (1 = fix)
  bool valid = true;  // RMC status A / V
  double altitude = 545.4;
  double geoidSep = 46.9;
  std::string date = "230394";
};

/// "$" + body + "*" + checksum.
std::string sentence(const std::string& body);
/// hhmmss.00 of a second of the day (wrapping at midnight).
std::string nmeaTime(int secondsOfDay);
/// ddmm.mmmm (or dddmm.mmmm) of the magnitude of a coordinate.
std::string nmeaCoord(double degrees, int degreeDigits);

/// The sentence from another talker ("GN", "GL", ...), its checksum made right again.
std::string withTalker(const std::string& sentence, const std::string& talker);
/// Every sentence of a log from another talker.
std::vector<std::string> withTalker(const std::vector<std::string>& sentences,
                                    const std::string& talker);

std::string ggaSentence(const Fix& f);
std::string vtgSentence(const Fix& f);
std::string rmcSentence(const Fix& f);

/// A vehicle moving over a flat patch of earth, recording one fix per step.
class TrackBuilder {
 public:
  TrackBuilder(double lat, double lon, int startSeconds);
  /// Drives `seconds` seconds at a course and speed, one fix every `interval` seconds.
  TrackBuilder& drive(double course, double speedKmh, int seconds, int interval = 1);
  /// Stands still (at the given speed reading) for `seconds` seconds.
  TrackBuilder& stand(int seconds, double speedKmh = 0.5, int interval = 1);
  /// Appends one fix as it is.
  TrackBuilder& add(const Fix& f);
  /// The fix that would come next (position and time as they stand now).
  Fix current() const;

  const std::vector<Fix>& fixes() const { return fixes_; }
  std::vector<Fix>& fixes() { return fixes_; }
  /// GGA and VTG lines, each GGA followed by its VTG.
  std::vector<std::string> ggaVtgLines() const;
  /// RMC lines.
  std::vector<std::string> rmcLines() const;

 private:
  double lat_, lon_;
  int time_;
  double course_ = 0, speed_ = 0;
  std::vector<Fix> fixes_;
};

/// Lines joined by CR LF (each line ended).
std::string joinCrLf(const std::vector<std::string>& lines);

}  // namespace kursolin::test
