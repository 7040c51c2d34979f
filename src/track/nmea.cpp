#include "track/nmea.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/prompt.h"
#include "core/textutil.h"

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

// The common checks: checksum, then the sentence id. Each failure is reported (while errors are
// shown) and makes the parser give up.
// The messages are UTF-8 source texts, converted only when one is shown.
bool checkSentence(Session& s, const std::string& line, int position, const char* id,
                   const char* kind, const char* idMessage) {
  const long long len = static_cast<long long>(line.size());
  // Views instead of copies: every line of a log passes here.
  const std::string_view body = copyView(line, 2, len - 4);
  const std::string_view expected = copyView(line, len - 1, 2);
  const auto sum = hexDigits(xorOf(body));
  // Most lines of a log are some other sentence: their message is only made when it is shown.
  if (expected != std::string_view(sum.data(), sum.size())) {
    if (s.ShowErrors)
      errorPromptIfShown(s, "Prüfsummenfehler im "_cp + kind + " Datensatz an Position " +
                                intToStr(position) + " erkannt" + kCR +
                                s.InputLines.at(position));
    return false;
  }
  if (copyView(line, 1, 6) != id) {
    if (s.ShowErrors)
      errorPromptIfShown(s, utf8ToCp1252(idMessage) + intToStr(position) + " erkannt" + kCR +
                                s.InputLines.at(position));
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
  if (auto v = tryPZDNumber(s, field)) return boundedMetres(*v);
  errorPromptIfShown(s, utf8ToCp1252(message) + field + " erkannt");
  return 0;
}

// A degree-minute position a receiver can really report: minutes below 60, a longitude of at
// most 180 degrees and a latitude below 90 (the poles have no Mercator value). A broken logger
// writes 95 degrees or 61 minutes; such a record is no fix.
bool onGlobe(const Session& s, const std::string& degreeMinutes, Real value, bool latitude) {
  const Real magnitude = std::fabs(value);
  if (!std::isfinite(value) || (latitude ? magnitude >= 90 : magnitude > 180)) return false;
  const auto dot = degreeMinutes.find('.');
  const std::size_t end = dot == std::string::npos ? degreeMinutes.size() : dot;
  const auto m = tryPZDNumber(s, std::string_view(degreeMinutes).substr(end < 2 ? 0 : end - 2));
  return !m || *m < 60;
}

// Reads the degree-minute texts into the numeric position when the record has a fix. A fix with
// an unusable coordinate text (GMToValue clears FixOk) counts as no fix, so the numeric position
// and the other notations keep the values of the last record with a fix. The decimal, DMS and
// Mercator texts are left pending (completePositionTexts): only emitted records need them.
void convertPosition(Session& s, std::string_view latHemi, std::string_view lonHemi) {
  PointRecord& p = s.CurrentPoint;
  if (p.FixOk != "1") return;
  // Nothing is taken over until both coordinates are known to be usable, so the record is never
  // left half converted.
  GMToValue(s, p.LatGrMin);
  const Real latValue = p.ConvValue;
  const bool latOk = p.FixOk == "1" && onGlobe(s, p.LatGrMin, p.ConvValue, true);

  GMToValue(s, p.LonGrMin);
  const Real lonValue = p.ConvValue;
  const bool lonOk = p.FixOk == "1" && onGlobe(s, p.LonGrMin, p.ConvValue, false);

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
  return PZD(s, t);
}

}  // namespace

bool GetGGA(Session& s, const std::string& line, int position) {
  PointRecord& p = s.CurrentPoint;
  p.LatDec = "0";
  p.LonDec = "0";
  p.PendingTexts &= ~(kPendingLatDecimal | kPendingLonDecimal);
  s.AbortRequested = false;
  if (!checkSentence(s, line, position, "$GPGGA", "GGA", "Keinen GGA Datensatz an Position "))
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
  if (corr < 1) corr = s.HKorEdit;
  alt -= corr;
  if (s.HoeheNull && alt < 0) alt = 0;
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
  if (!checkSentence(s, line, position, "$GPRMC", "RMC", "Keinen RMC Datensatz an Position "))
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
  p.SpeedValue = strToFloat(p.SpeedKnots, s.DecimalSep) * 1.8L;
  p.SpeedKmh = formatFixed(p.SpeedValue, 3, 2, s.DecimalSep);

  convertPosition(s, latHemi, lonHemi);

  p.Altitude = "0";
  p.SatCount = "0";
  p.Hdop = "0";
  p.PointValid = true;
  return true;
}

bool GetVTG(Session& s, const std::string& line, int position) {
  PointRecord& p = s.CurrentPoint;
  if (!checkSentence(s, line, position, "$GPVTG", "VTG",
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
  p.SpeedValue = strToFloat(p.SpeedKmh, s.DecimalSep);
  return true;
}

}  // namespace kursolin
