#include "track/nmea.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/geotime.h"
#include "core/host.h"
#include "core/numtext.h"
#include "core/textutil.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

std::uint8_t xorOf(std::string_view text) {
  // Eight bytes at a time (every line of a log passes here), folded to one byte at the end.
  std::uint64_t wide = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, text.data() + i, 8);
    wide ^= w;
  }
  wide ^= wide >> 32;
  wide ^= wide >> 16;
  wide ^= wide >> 8;
  auto x = static_cast<std::uint8_t>(wide);
  for (; i < text.size(); ++i) x ^= static_cast<std::uint8_t>(text[i]);
  return x;
}

}  // namespace

std::uint8_t pruefsumme(const std::string& text) { return xorOf(text); }

namespace {

// The two upper-case hexadecimal digits of a checksum.
std::array<char, 2> hexDigits(std::uint8_t x) {
  constexpr char kHex[] = "0123456789ABCDEF";
  return {kHex[x >> 4], kHex[x & 15]};
}


}  // namespace

std::string checksumText(const std::string& body) {
  const auto d = hexDigits(pruefsumme(body));
  return std::string(d.data(), d.size());
}

bool checksumOk(std::string_view line) {
  const long long len = static_cast<long long>(line.size());
  const auto sum = hexDigits(xorOf(copyView(line, 2, len - 4)));
  return copyView(line, len - 1, 2) == std::string_view(sum.data(), sum.size());
}

std::string_view talkerOf(std::string_view line, SentenceKind kind) {
  if (line.size() < 6 || line[0] != '$') return {};
  const auto upper = [](char c) { return c >= 'A' && c <= 'Z'; };
  // "$PGRMC" is a proprietary Garmin sentence, not RMC of a talker "PG".
  if (!upper(line[1]) || !upper(line[2]) || line[1] == 'P') return {};
  const char* id = kind == SentenceKind::GGA ? "GGA" : kind == SentenceKind::VTG ? "VTG" : "RMC";
  if (line.substr(3, 3) != id) return {};
  return line.substr(1, 2);
}

NmeaLogState talkersOf(const TextLines& lines) {
  NmeaLogState log;
  const int count = lines.Count();
  // A receiver that writes "$GPRMC" and "$GNRMC" for every fix must give one record per fix:
  // the first well-formed sentence of each kind decides whose sentences the log is read from.
  std::string* talkers[] = {&log.gga, &log.vtg, &log.rmc};
  const SentenceKind kinds[] = {SentenceKind::GGA, SentenceKind::VTG, SentenceKind::RMC};
  int missing = 3;
  for (int i = 0; i < count && missing > 0; ++i) {
    const std::string_view line = lines.full(i);
    for (int k = 0; k < 3; ++k) {
      if (!talkers[k]->empty()) continue;
      const std::string_view t = talkerOf(line, kinds[k]);
      if (t.empty() || !checksumOk(line)) continue;
      talkers[k]->assign(t);
      --missing;
    }
  }
  return log;
}

const NmeaLogState& logTalkers(const Document& doc) {
  NmeaLogState& log = doc.NmeaLog;
  if (log.revision == doc.InputLines.revision()) return log;
  log = talkersOf(doc.InputLines);
  log.revision = doc.InputLines.revision();
  return log;
}

bool isLogSentence(const Session& s, std::string_view line, SentenceKind kind) {
  const std::string_view t = talkerOf(line, kind);
  if (t.empty()) return false;
  const NmeaLogState& log = logTalkers(s.doc);
  const std::string& chosen =
      kind == SentenceKind::GGA ? log.gga : kind == SentenceKind::VTG ? log.vtg : log.rmc;
  return chosen.empty() || t == chosen;
}

namespace {

// Fields are taken one after another up to the next ","; once no "," follows, every further
// field reads as empty, so the checksum after the last "," is never a field.
class FieldReader {
 public:
  explicit FieldReader(std::string_view line) : rest_(line) {}
  // A view into the line (or the fallback): assigning it to a field reuses the field's memory.
  std::string_view next(const char* fallback) {
    // Fields are a few characters long: a plain loop beats a library search call.
    std::size_t comma = 0;
    while (comma < rest_.size() && rest_[comma] != ',') ++comma;
    if (comma == rest_.size()) return fallback;
    const std::string_view f = rest_.substr(0, comma);
    rest_.remove_prefix(comma + 1);
    if (f.empty()) return fallback;
    return f;
  }
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

// The common checks: checksum, then the sentence id and talker. Each failure is reported (while
// errors are shown) and makes the parser give up.
// The messages are UTF-8 source texts, converted only when one is shown.
bool checkSentence(Session& s, const std::string& line, int position, SentenceKind id,
                   const char* kind, const char* idMessage) {
  const long long len = static_cast<long long>(line.size());
  // Views instead of copies: every line of a log passes here.
  const std::string_view body = copyView(line, 2, len - 4);
  const std::string_view expected = copyView(line, len - 1, 2);
  const auto sum = hexDigits(xorOf(body));
  // Most lines of a log are some other sentence: their message is only made when it is shown.
  if (expected != std::string_view(sum.data(), sum.size())) {
    if (s.opt.ShowErrors)
      errorPromptIfShown(s, "Prüfsummenfehler im "_cp + kind + " Datensatz an Position " +
                                intToStr(position) + " erkannt" + kCR +
                                s.doc.InputLines.at(position));
    return false;
  }
  if (!isLogSentence(s, line, id)) {
    if (s.opt.ShowErrors)
      errorPromptIfShown(s, utf8ToCp1252(idMessage) + intToStr(position) + " erkannt" + kCR +
                                s.doc.InputLines.at(position));
    return false;
  }
  return true;
}

// Altitudes beyond this are nonsense from a broken receiver; keeping them bounded keeps the
// arithmetic below defined.
constexpr long long kAltitudeLimit = 1000000000LL;

long long boundedMetres(Real v) {
  long long m = roundHalfEven(v);
  if (m > kAltitudeLimit) m = kAltitudeLimit;
  if (m < -kAltitudeLimit) m = -kAltitudeLimit;
  return m;
}

// Whole metres of an altitude field; empty or unconvertible (after the prompt) counts as 0.
long long metresOf(Session& s, const std::string& field, const char* message) {
  if (field.empty()) return 0;
  if (auto v = tryPZDNumber(s.numbers, field)) return boundedMetres(*v);
  errorPromptIfShown(s, utf8ToCp1252(message) + field + " erkannt");
  return 0;
}

// A degree-minute position a receiver can really report: minutes below 60, a longitude of at
// most 180 degrees and a latitude below 90 (the poles have no Mercator value). A broken logger
// writes 95 degrees or 61 minutes; such a record is no fix.
bool onGlobe(const NumberStyle& st, const std::string& degreeMinutes, Real value, bool latitude) {
  const Real magnitude = std::fabs(value);
  if (!std::isfinite(value) || (latitude ? magnitude >= 90 : magnitude > 180)) return false;
  const auto dot = degreeMinutes.find('.');
  const std::size_t end = dot == std::string::npos ? degreeMinutes.size() : dot;
  const auto m = tryPZDNumber(st, std::string_view(degreeMinutes).substr(end < 2 ? 0 : end - 2));
  return !m || *m < 60;
}

// Reads the degree-minute texts into the numeric position when the record has a fix. A fix with
// an unusable coordinate text (too short to convert) counts as no fix, so the numeric position
// and the other notations keep the values of the last record with a fix. The decimal, DMS and
// Mercator texts are left pending (completePositionTexts): only emitted records need them.
void convertPosition(Session& s, std::string_view latHemi, std::string_view lonHemi) {
  PointRecord& p = s.CurrentPoint;
  if (p.FixOk != "1") return;
  // Nothing is taken over until both coordinates are known to be usable, so the record is never
  // left half converted.
  const NumberStyle st = s.numbers;
  const auto convert = [&](const std::string& text) {
    const DegreeMinutes d = readDegreeMinutes(st, text);
    if (!d.usable) {
      p.FixOk = "0";
    } else if (d.minutesUnreadable) {
      errorPromptIfShown(s, decimalConversionErrorText(text));
    }
    return d.value;
  };
  const Real latValue = convert(p.LatGrMin);
  const bool latOk = p.FixOk == "1" && onGlobe(st, p.LatGrMin, latValue, true);

  const Real lonValue = convert(p.LonGrMin);
  const bool lonOk = p.FixOk == "1" && onGlobe(st, p.LonGrMin, lonValue, false);

  if (!latOk || !lonOk) {
    p.FixOk = "0";
    p.LatDec = "0";
    p.LonDec = "0";
    p.PendingTexts &= ~(kPendingLatDecimal | kPendingLonDecimal);
    return;
  }
  const bool south = latHemi == "S";
  const bool west = lonHemi == "W";
  // Whatever the last fix left pending is replaced: this fix's texts are pending instead.
  p.LatNmea = p.LatGrMin;
  p.LatValue = latValue;
  p.LonNmea = p.LonGrMin;
  p.LonValue = lonValue;
  if (south) {
    p.LatGrMin.insert(0, 1, '-');
    p.LatNmea.insert(0, 1, '-');
  }
  if (west) {
    p.LonGrMin.insert(0, 1, '-');
    p.LonNmea.insert(0, 1, '-');
  }
  p.PendingTexts = kPendingLatDecimal | kPendingLonDecimal | kPendingLatOther | kPendingLonOther |
                   (south ? kPendingSouth : 0) | (west ? kPendingWest : 0);
}

// A speed field through the digit filter, with the host separator in place of its first ".".
std::string speedText(Session& s, const std::string& field) {
  std::string t = isDigit(s, field);
  if (t.empty()) t = "0.00";
  return PZD(s.numbers, t);
}

}  // namespace

bool GetGGA(Session& s, const std::string& line, int position) {
  PointRecord& p = s.CurrentPoint;
  p.LatDec = "0";
  p.LonDec = "0";
  p.PendingTexts &= ~(kPendingLatDecimal | kPendingLonDecimal);
  s.AbortRequested = false;
  if (!checkSentence(s, line, position, SentenceKind::GGA, "GGA",
                     "Keinen GGA Datensatz an Position "))
    return false;

  FieldReader f(line);
  p.SentenceId = f.next("");
  p.Time = f.next("000000.00");
  p.LatGrMin = f.next("0.0");
  const std::string_view latHemi = f.next("N*");
  p.LonGrMin = f.next("0.0");
  const std::string_view lonHemi = f.next("E*");
  p.FixOk = f.next("0");
  // 2 (DGPS, SBAS), 3 (PPS), 4 and 5 (RTK) are fixes at least as good as 1; 6 (estimated),
  // 7 (manual) and 8 (simulation) are no measured position.
  if (p.FixOk.size() == 1 && p.FixOk[0] >= '1' && p.FixOk[0] <= '5') p.FixOk = "1";
  p.SatCount = f.next("0");
  p.Hdop = f.next("0.0");
  const std::string altText(f.next(""));
  f.next("M*");
  const std::string sepText(f.next(""));
  f.next("M*");

  long long alt = metresOf(s, altText, "Fehler beim Umwandeln der Höhenangabe bei Wert ");
  long long corr =
      metresOf(s, sepText, "Fehler beim Umwandeln der Höhenkorrekturwertes bei Wert ");
  if (corr < 1) corr = s.opt.HKorEdit;
  alt -= corr;
  if (s.opt.HoeheNull && alt < 0) alt = 0;
  p.Altitude = intToStr(alt);

  convertPosition(s, latHemi, lonHemi);
  return true;
}

bool GetRMC(Session& s, const std::string& line, int position) {
  PointRecord& p = s.CurrentPoint;
  p.PointValid = false;
  p.LatDec = "0";
  p.LonDec = "0";
  p.PendingTexts &= ~(kPendingLatDecimal | kPendingLonDecimal);
  s.AbortRequested = false;
  if (!checkSentence(s, line, position, SentenceKind::RMC, "RMC",
                     "Keinen RMC Datensatz an Position "))
    return false;

  FieldReader f(line);
  p.SentenceId = f.next("");
  p.Time = f.next("000000.00");
  const std::string_view status = f.next("VE*");
  p.FixOk = status == "A" ? "1" : "0";
  p.LatGrMin = f.next("0.0");
  const std::string_view latHemi = f.next("N*");
  p.LonGrMin = f.next("0.0");
  const std::string_view lonHemi = f.next("E*");
  const std::string knots(f.next("0.00"));
  p.Course = f.next("0.00");
  p.Date = f.next("01.01.00");
  f.next("0.00");
  f.next("N");

  p.SpeedKnots = speedText(s, knots);
  // Knots to km/h with the factor the program has always used.
  p.SpeedValue = strToFloat(p.SpeedKnots, s.numbers.DecimalSep) * 1.8L;
  p.SpeedKmh = formatFixed(p.SpeedValue, 3, 2, s.numbers.DecimalSep);

  convertPosition(s, latHemi, lonHemi);

  p.Altitude = "0";
  p.SatCount = "0";
  p.Hdop = "0";
  p.PointValid = true;
  return true;
}

namespace {

// What a GGA line of the log tells about motion: time of day and position with a fix.
struct MotionFix {
  double seconds = 0;
  double lat = 0, lon = 0;  // signed degrees
};

std::optional<double> secondsOfDay(std::string_view t) {
  if (t.size() < 6) return std::nullopt;
  for (int i = 0; i < 6; ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
  }
  const auto two = [&](int i) { return (t[i] - '0') * 10 + (t[i + 1] - '0'); };
  double fraction = 0;
  if (t.size() > 6) {
    const auto f = tryStrToFloat(t.substr(6), '.');
    if (!f || *f < 0 || *f >= 1) return std::nullopt;
    fraction = static_cast<double>(*f);
  }
  return two(0) * 3600.0 + two(2) * 60.0 + two(4) + fraction;
}

// Degree-minutes (ddmm.mmmm) with the hemisphere letter as signed degrees.
std::optional<double> signedDegrees(std::string_view text, std::string_view hemi, double limit,
                                    char negative) {
  const auto v = tryStrToFloat(text, '.');
  if (!v || !std::isfinite(static_cast<double>(*v)) || *v < 0) return std::nullopt;
  const double whole = std::floor(static_cast<double>(*v) / 100);
  const double minutes = static_cast<double>(*v) - whole * 100;
  const double deg = whole + minutes / 60;
  if (minutes >= 60 || deg > limit) return std::nullopt;
  return hemi.size() == 1 && hemi[0] == negative ? -deg : deg;
}

// The time and position of a well-formed GGA line of the log with a fix, read without touching
// the record; nullopt for every other line.
std::optional<MotionFix> motionFixOf(const Session& s, std::string_view line) {
  if (!isLogSentence(s, line, SentenceKind::GGA) || !checksumOk(line)) return std::nullopt;
  FieldReader f(line);
  f.next("");
  const auto time = secondsOfDay(f.next(""));
  const std::string_view lat = f.next(""), ns = f.next(""), lon = f.next(""), ew = f.next("");
  const std::string_view quality = f.next("");
  if (quality.size() != 1 || quality[0] < '1' || quality[0] > '5' || !time)
    return std::nullopt;
  const auto la = signedDegrees(lat, ns, 90, 'S'), lo = signedDegrees(lon, ew, 180, 'W');
  if (!la || !lo) return std::nullopt;
  return MotionFix{*time, *la, *lo};
}

}  // namespace

bool readGgaWithoutVtg(Session& s, const std::string& line, int position) {
  if (!GetGGA(s, line, position)) return false;
  PointRecord& p = s.CurrentPoint;
  double kmh = 0, course = 0;
  const auto here = p.FixOk == "1" ? motionFixOf(s, line) : std::nullopt;
  if (here && s.doc.InputLines.full(position) == line) {
    NmeaLogState& memo = s.doc.NmeaLog;  // filled for these lines by the parse above
    // Back through the log: the first earlier fix gives the speed, the first one elsewhere the
    // course. A receiver standing still repeats its position; the course it last moved on
    // stands, found at once where the last record read lies on the way.
    bool speedFound = false;
    for (long long j = position - 1; j >= 0; --j) {
      MotionFix before;
      if (j == memo.motionLine) {
        before = {memo.motionSeconds, memo.motionLat, memo.motionLon};
      } else if (const auto f = motionFixOf(s, s.doc.InputLines.full(j))) {
        before = *f;
      } else {
        continue;
      }
      if (!speedFound) {
        speedFound = true;
        double dt = here->seconds - before.seconds;
        if (dt < 0) dt += 86400;  // past midnight
        if (dt > 0) kmh = sphereMetres(before.lat, before.lon, here->lat, here->lon) / dt * 3.6;
      }
      if (before.lat != here->lat || before.lon != here->lon) {
        course = initialBearing(before.lat, before.lon, here->lat, here->lon);
        break;
      }
      if (j == memo.motionLine) {
        course = memo.motionCourse;
        break;
      }
    }
    memo.motionLine = position;
    memo.motionLat = here->lat;
    memo.motionLon = here->lon;
    memo.motionSeconds = here->seconds;
    memo.motionCourse = course;
  }
  p.SpeedValue = kmh;
  p.SpeedKmh = formatFixed(kmh, 3, 2, s.numbers.DecimalSep);
  p.SpeedKnots = formatFixed(kmh / 1.852, 3, 2, s.numbers.DecimalSep);
  p.Course = formatFixed(course, 0, 2, '.');
  return true;
}

bool GetVTG(Session& s, const std::string& line, int position) {
  PointRecord& p = s.CurrentPoint;
  if (!checkSentence(s, line, position, SentenceKind::VTG, "VTG",
                     "Keinen gültigen VTG Datensatz an Position "))
    return false;

  FieldReader f(line);
  p.SentenceId = f.next("");
  p.Course = f.next("0.00");
  f.next("*");
  f.next("0.00");
  f.next("M*");
  p.SpeedKnots = f.next("0.00");
  f.next("N*");
  const std::string kmh(f.next("0.00"));
  // Field 8 is the unit letter that begins the rest of the line; nothing uses it.

  p.SpeedKmh = speedText(s, kmh);
  p.SpeedValue = strToFloat(p.SpeedKmh, s.numbers.DecimalSep);
  return true;
}

}  // namespace kursolin
