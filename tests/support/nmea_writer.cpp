#include "support/nmea_writer.h"

#include <cmath>
#include <cstdio>

#include "track/nmea.h"

namespace kursolin::test {

std::string sentence(const std::string& body) {
  return "$" + body + "*" + kursolin::checksumText(body);
}

std::string withTalker(const std::string& line, const std::string& talker) {
  return sentence(talker + line.substr(3, line.size() - 6));
}

std::vector<std::string> withTalker(const std::vector<std::string>& sentences,
                                    const std::string& talker) {
  std::vector<std::string> out;
  for (const auto& s : sentences) out.push_back(withTalker(s, talker));
  return out;
}

std::string nmeaTime(int secondsOfDay) {
  int t = ((secondsOfDay % 86400) + 86400) % 86400;
  char b[32];
  std::snprintf(b, sizeof b, "%02d%02d%02d.00", t / 3600, t / 60 % 60, t % 60);
  return b;
}

std::string nmeaCoord(double degrees, int degreeDigits) {
  double a = std::fabs(degrees);
  int d = static_cast<int>(a);
  double m = (a - d) * 60.0;
  // Keep rounding from producing 60.0000 minutes.
  if (std::round(m * 10000) >= 600000) {
    ++d;
    m = 0;
  }
  char b[48];
  std::snprintf(b, sizeof b, "%0*d%07.4f", degreeDigits, d, m);
  return b;
}

namespace {
std::string num(double v, int decimals) {
  char b[48];
  std::snprintf(b, sizeof b, "%.*f", decimals, v);
  return b;
}
}  // namespace

std::string ggaSentence(const Fix& f) {
  return sentence("GPGGA," + nmeaTime(f.secondsOfDay) + "," + nmeaCoord(f.lat, 2) + "," +
                  (f.lat < 0 ? "S" : "N") + "," + nmeaCoord(f.lon, 3) + "," +
                  (f.lon < 0 ? "W" : "E") + "," + std::to_string(f.quality) + ",08,0.9," +
                  num(f.altitude, 1) + ",M," + num(f.geoidSep, 1) + ",M,,");
}

std::string vtgSentence(const Fix& f) {
  return sentence("GPVTG," + num(f.course, 1) + ",T,," + "M," + num(f.speedKmh / 1.852, 1) +
                  ",N," + num(f.speedKmh, 1) + ",K");
}

std::string rmcSentence(const Fix& f) {
  // The program turns knots into km/h with 1.8, so the knots written are speed / 1.8.
  return sentence("GPRMC," + nmeaTime(f.secondsOfDay) + "," + (f.valid ? "A" : "V") + "," +
                  nmeaCoord(f.lat, 2) + "," + (f.lat < 0 ? "S" : "N") + "," +
                  nmeaCoord(f.lon, 3) + "," + (f.lon < 0 ? "W" : "E") + "," +
                  num(f.speedKmh / 1.8, 3) + "," + num(f.course, 1) + "," + f.date + ",,");
}

TrackBuilder::TrackBuilder(double lat, double lon, int startSeconds)
    : lat_(lat), lon_(lon), time_(startSeconds) {}

Fix TrackBuilder::current() const {
  Fix f;
  f.secondsOfDay = time_;
  f.lat = lat_;
  f.lon = lon_;
  f.speedKmh = speed_;
  f.course = course_;
  return f;
}

TrackBuilder& TrackBuilder::add(const Fix& f) {
  fixes_.push_back(f);
  return *this;
}

TrackBuilder& TrackBuilder::drive(double course, double speedKmh, int seconds, int interval) {
  course_ = course;
  speed_ = speedKmh;
  const double pi = 3.14159265358979323846;
  for (int t = 0; t < seconds; t += interval) {
    const double metres = speedKmh / 3.6 * interval;
    lat_ += metres * std::cos(course * pi / 180) / 111120.0;
    lon_ += metres * std::sin(course * pi / 180) / (111120.0 * std::cos(lat_ * pi / 180));
    time_ += interval;
    fixes_.push_back(current());
  }
  return *this;
}

TrackBuilder& TrackBuilder::stand(int seconds, double speedKmh, int interval) {
  speed_ = speedKmh;
  for (int t = 0; t < seconds; t += interval) {
    time_ += interval;
    fixes_.push_back(current());
  }
  return *this;
}

std::vector<std::string> TrackBuilder::ggaVtgLines() const {
  std::vector<std::string> out;
  out.reserve(fixes_.size() * 2);
  for (const auto& f : fixes_) {
    out.push_back(ggaSentence(f));
    out.push_back(vtgSentence(f));
  }
  return out;
}

std::vector<std::string> TrackBuilder::rmcLines() const {
  std::vector<std::string> out;
  out.reserve(fixes_.size());
  for (const auto& f : fixes_) out.push_back(rmcSentence(f));
  return out;
}

std::string joinCrLf(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

}  // namespace kursolin::test
