#include "core/geotime.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string_view>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/textutil.h"

namespace kursolin {

namespace {

// (0, 0) is the generators' "no route point yet".
bool noDistance(Real lat1, Real lon1, Real lat2, Real lon2) {
  return (lat1 == 0 && lon1 == 0) || (lat1 == lat2 && lon1 == lon2);
}

Real radians(Real degrees) { return degrees * kPi / 180; }

int distFromTrig(Real sin1, Real cos1, Real sin2, Real cos2, Real lon1, Real lon2) {
  const Real dl = radians(std::fabs(lon1 - lon2));
  const Real c = sin1 * sin2 + (cos1 * cos2) * std::cos(dl);
  const Real under = 1 - c * c;
  if (!(under >= 0)) return 0;  // rounding beyond 1, NaN
  const Real angle = std::atan2(std::sqrt(under), c) * 180 / kPi;
  const Real metres = angle * 111.12L * 1000;
  if (!std::isfinite(metres) || metres > 2.0e9L) return 0;
  return static_cast<int>(roundHalfEven(metres));
}

}  // namespace

int Dist(Real lat1, Real lon1, Real lat2, Real lon2) {
  if (noDistance(lat1, lon1, lat2, lon2)) return 0;
  const Real p1 = radians(lat1);
  const Real p2 = radians(lat2);
  return distFromTrig(std::sin(p1), std::cos(p1), std::sin(p2), std::cos(p2), lon1, lon2);
}

const DistCache::Trig& DistCache::trig(Real angle) {
  for (const Trig& t : kept_) {
    if (t.known && t.angle == angle) return t;
  }
  Trig& t = kept_[next_];
  next_ = 1 - next_;
  t = {angle, std::sin(angle), std::cos(angle), true};
  return t;
}

DistCache::Compared DistCache::compare(Real lat1, Real lon1, Real lat2, Real lon2, int metres) {
  // Dist rounds metres to a whole number, so it is below `metres` while the exact value is
  // below metres - 0.5, and at least `metres` beyond. The haversine formula in double precision
  // gives the distance on Dist's sphere (111.12 km a degree) to within micrometres up to
  // 1000 km, and Dist's extended precision is as close; a centimetre of margin covers both.
  constexpr double kMargin = 0.01;
  constexpr double kFar = 1.0e6;  // beyond this (towards the antipode) the estimate loses digits
  if (noDistance(lat1, lon1, lat2, lon2)) return metres > 0 ? Compared::Below : Compared::AtLeast;
  const double threshold = metres - 0.5;
  constexpr auto kRad = static_cast<double>(kPiDiv180);
  constexpr double kMetresPerDegree = 111120.0;  // Dist's 111.12 km
  const double a1 = static_cast<double>(lat1) * kRad;
  const double a2 = static_cast<double>(lat2) * kRad;
  const double dl = static_cast<double>(lon1 - lon2) * kRad;
  const double sLat = std::sin((a2 - a1) / 2);
  const double sLon = std::sin(dl / 2);
  const double h = sLat * sLat + std::cos(a1) * std::cos(a2) * sLon * sLon;
  if (!(h >= 0 && h <= 1)) return Compared::Unknown;
  const double angle = 2 * std::asin(std::sqrt(h));
  const double estimate = angle / kRad * kMetresPerDegree;
  if (!(estimate < kFar)) return Compared::Unknown;
  if (estimate < threshold - kMargin) return metres > 0 ? Compared::Below : Compared::Unknown;
  // Distances this small may come out as 0 from Dist's rounding guard; only longer ones are sure.
  if (estimate > threshold + kMargin && estimate > 1) return Compared::AtLeast;
  return Compared::Unknown;
}

int DistCache::operator()(Real lat1, Real lon1, Real lat2, Real lon2) {
  if (noDistance(lat1, lon1, lat2, lon2)) return 0;
  // Copies: the second look-up may replace the entry the first answered with.
  const Trig a = trig(radians(lat1));
  const Trig b = trig(radians(lat2));
  return distFromTrig(a.sin, a.cos, b.sin, b.cos, lon1, lon2);
}

namespace {

int courseDegrees(const std::string& course) {
  const int dot = pos('.', course);
  return strToIntDef32(copy(course, 1, dot - 1), 0);
}

}  // namespace

bool GradDif(int degrees, const std::string& course1, const std::string& course2) {
  const long long g = degrees;
  const long long a = courseDegrees(course1);
  const long long b = courseDegrees(course2);
  const long long hi = a > b ? a : b;
  const long long lo = a > b ? b : a;
  long long diff;
  if (hi + g > 360 && lo - g < 0) {
    diff = 360 - hi + lo;
  } else {
    diff = a - b;
  }
  return (diff < 0 ? -diff : diff) > g;
}

int GetTime(const std::string& time) {
  const int h = strToIntDef32(copy(time, 1, 2), 0);
  const int m = strToIntDef32(copy(time, 3, 2), 0);
  const int sec = strToIntDef32(copy(time, 5, 2), 0);
  return h * 3600 + m * 60 + sec;
}

int ZeitDif(const std::string& time1, const std::string& time2) {
  return GetTime(time2) - GetTime(time1);
}

namespace {

void insertAt(std::string& s, std::size_t index1, char c) {
  std::size_t at = index1 - 1;
  if (at > s.size()) at = s.size();
  s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), c);
}

bool allDigits(const std::string& t) {
  if (t.empty()) return false;
  for (char c : t) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The platform's time-of-day parsing: h:m:s with the host separator.
int parseTimeOfDay(const std::string& text, char sep) {
  const auto bad = [&] {
    return ConvertError("'" + text + "' ist keine gültige Zeit"_cp);
  };
  const auto a = text.find(sep);
  if (a == std::string::npos) throw bad();
  const auto b = text.find(sep, a + 1);
  if (b == std::string::npos) throw bad();
  const std::string hs = text.substr(0, a), ms = text.substr(a + 1, b - a - 1),
                    ss = text.substr(b + 1);
  if (!allDigits(hs) || !allDigits(ms) || !allDigits(ss) || hs.size() > 2 || ms.size() > 2 ||
      ss.size() > 2)
    throw bad();
  const int h = std::stoi(hs), m = std::stoi(ms), sec = std::stoi(ss);
  if (h > 23 || m > 59 || sec > 59) throw bad();
  return h * 3600 + m * 60 + sec;
}

}  // namespace

namespace {

// The seconds of an "hhmmss" start that parseTimeOfDay would accept, read without making the
// texts it parses; -1 when the full parsing must decide (and give its message).
long long plainTimeOfDay(std::string_view time, char sep) {
  if (time.size() < 6 || (sep >= '0' && sep <= '9')) return -1;
  int d[6];
  for (int i = 0; i < 6; ++i) {
    if (time[static_cast<std::size_t>(i)] < '0' || time[static_cast<std::size_t>(i)] > '9')
      return -1;
    d[i] = time[static_cast<std::size_t>(i)] - '0';
  }
  const int h = d[0] * 10 + d[1], m = d[2] * 10 + d[3], sec = d[4] * 10 + d[5];
  if (h > 23 || m > 59 || sec > 59) return -1;
  return h * 3600 + m * 60 + sec;
}

}  // namespace

std::string TimeChange(const HostSettings& host, char timeSep, int offsetHours,
                       const std::string& time) {
  long long secs = plainTimeOfDay(time, timeSep);
  if (secs < 0) {
    std::string t = copy(time, 1, 6);
    insertAt(t, 3, timeSep);
    insertAt(t, 6, timeSep);
    secs = parseTimeOfDay(t, timeSep);
  }
  long long v = (secs + static_cast<long long>(offsetHours) * 3600) % 86400;
  if (v < 0) v += 86400;
  return formatLongTime(host, static_cast<int>(v / 3600), static_cast<int>(v / 60 % 60),
                        static_cast<int>(v % 60));
}

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

// Weekday with Sunday as 1.
int weekday(int y, int m, int d) {
  const long long days = daysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
  // 1970-01-01 was a Thursday (5 when Sunday is 1).
  long long w = (days + 4) % 7;  // 0 = Sunday
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

long long stamp(int y, int mo, int d, int h, int mi, int sec) {
  return daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400 +
         h * 3600 + mi * 60 + sec;
}

long long lastSunday(int y, int month, int lastDay, int hour) {
  const int day = lastDay - (weekday(y, month, lastDay) - 1);
  return stamp(y, month, day, hour, 0, 0);
}

}  // namespace

namespace {
constexpr double kRadPerDegree = 0.017453292519943295769;
}  // namespace

double sphereMetres(double lat1, double lon1, double lat2, double lon2) {
  constexpr double radius = 111120.0 / kRadPerDegree;
  const double p1 = lat1 * kRadPerDegree, p2 = lat2 * kRadPerDegree;
  const double dp = p2 - p1, dl = (lon2 - lon1) * kRadPerDegree;
  const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                   std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
  return 2 * radius * std::asin(std::sqrt(std::min(1.0, a)));
}

double initialBearing(double lat1, double lon1, double lat2, double lon2) {
  const double p1 = lat1 * kRadPerDegree, p2 = lat2 * kRadPerDegree;
  const double dl = (lon2 - lon1) * kRadPerDegree;
  const double y = std::sin(dl) * std::cos(p2);
  const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
  double b = std::atan2(y, x) / kRadPerDegree;
  if (b < 0) b += 360;
  if (b >= 360) b -= 360;
  return b;
}

bool CheckBRDSz(const LocalDateTime& dt) {
  if (dt.year < 1981) return false;
  const long long start = lastSunday(dt.year, 3, 31, 2);
  const long long end =
      dt.year >= 1996 ? lastSunday(dt.year, 10, 31, 3) : lastSunday(dt.year, 9, 30, 3);
  const long long t = stamp(dt.year, dt.month, dt.day, dt.hour, dt.minute, dt.second);
  return start <= t && t < end;
}

std::optional<LocalDateTime> fileModificationTime(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(nativePath(path).c_str(), &st) != 0) return std::nullopt;
  std::tm tm{};
  const std::time_t t = st.st_mtime;
  if (!localtime_r(&t, &tm)) return std::nullopt;
  return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                       tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

LocalDateTime fileStampTime() {
  std::time_t t = std::time(nullptr);
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    // Only plain digits count; anything else would make the stamp depend on how it is misread.
    const std::string text(epoch);
    if (!text.empty() && text.size() <= 18 &&
        text.find_first_not_of("0123456789") == std::string::npos) {
      t = static_cast<std::time_t>(std::stoll(text));
    }
  }
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return LocalDateTime{};
  return LocalDateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                       tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

}  // namespace kursolin
