#include "core/coords.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "core/cp1252.h"
#include "core/host.h"
#include "core/numtext.h"
#include "core/textutil.h"

namespace kursolin {

namespace {

constexpr long long kMaxIndex = std::numeric_limits<int>::max();

// Readers write south and west with a leading "-"; the conversions work on the magnitude and
// put the sign back, so "-4807.0380" is the negative of "4807.0380".
bool stripSign(std::string& t) {
  std::size_t i = 0;
  while (i < t.size() && t[i] == ' ') ++i;
  if (i < t.size() && t[i] == '-') {
    t.erase(0, i + 1);
    return true;
  }
  return false;
}

std::string negated(const std::string& text) {
  if (text.empty() || text == "0.0" || text.find_first_not_of("0.") == std::string::npos)
    return text;
  return "-" + text;
}

// Where the minutes of a degree-minute text begin: two characters before the ".". A text without
// "." (whole minutes, as GeoDezToGrMin writes 48.5) counts as if the "." followed it.
long long degreeDigits(const std::string& text) {
  const int dot = pos('.', text);
  if (dot == 0) return static_cast<long long>(text.size()) - 2;
  return dot - 3;
}

}  // namespace

std::string dez6(const NumberStyle& st, Real v) {
  return KommaZuPunkt(formatFixed(v, 0, 6, st.DecimalSep));
}

DegreeMinutes readDegreeMinutes(const NumberStyle& st, const std::string& input) {
  DegreeMinutes r;
  std::string text = input;
  const bool negative = stripSign(text);
  if (input.size() <= 4 || text.empty()) return r;
  const long long p = degreeDigits(text);
  const long long degrees = strToIntDef(copyView(text, 1, p), 0);
  // Two minute digits, the ".", at most four fraction digits.
  Real minutes = 0;
  if (auto m = tryPZDNumber(st, copyView(text, p + 1, 7))) {
    minutes = *m;
  } else {
    r.minutesUnreadable = true;
  }
  Real value = static_cast<Real>(degrees) + minutes / 60;
  if (negative) value = -value;
  r.usable = true;
  r.value = value;
  return r;
}

Converted GMToDez(const NumberStyle& st, const std::string& input) {
  const DegreeMinutes d = readDegreeMinutes(st, input);
  Converted c;
  if (!d.usable) {
    c.text = "0.0";
    c.fixLost = true;
    return c;
  }
  if (d.minutesUnreadable) c.errors.push_back(decimalConversionErrorText(input));
  c.text = dez6(st, d.value);
  return c;
}

void completePositionTexts(const NumberStyle& st, PointRecord& p, std::uint8_t texts) {
  const std::uint8_t pending = p.PendingTexts & (texts | kPendingSouth | kPendingWest);
  if ((pending & kAllPositionTexts) == 0) return;
  const bool south = pending & kPendingSouth;
  const bool west = pending & kPendingWest;
  const auto sign = [](bool negative, std::string text) {
    return negative ? "-" + text : text;
  };
  // The degree-minute text as read, before the hemisphere's "-" was put in front of it.
  const auto asRead = [](bool negative, const std::string& nmea) {
    return negative && !nmea.empty() ? nmea.substr(1) : nmea;
  };
  if (pending & kPendingLatDecimal) p.LatDec = sign(south, dez6(st, p.LatValue));
  if (pending & kPendingLonDecimal) p.LonDec = sign(west, dez6(st, p.LonValue));
  if (pending & kPendingLatOther) {
    p.LatGMS = sign(south, KGrad(st, asRead(south, p.LatNmea)));
    p.LatMer = sign(south, DezToMerN(p.LatValue));
  }
  if (pending & kPendingLonOther) {
    p.LonGMS = sign(west, KGrad(st, asRead(west, p.LonNmea)));
    p.LonMer = sign(west, DezToMerO(p.LonValue));
  }
  // The hemisphere bits stay: they belong to LatNmea and LonNmea until the next fix.
  p.PendingTexts &= static_cast<std::uint8_t>(~(pending & kAllPositionTexts));
}

namespace {

// A degree-minute-second text taken apart: every character other than a digit, "," and "."
// separates, so 48°07´02.28" has the fields 48, 07 and 02.28.
struct DmsFields {
  bool negative = false;
  std::string t;  // the text with its separators as "*"
  std::string degrees, minutes, seconds;
  std::string rest;  // after the separator behind the seconds
};

DmsFields dmsFields(const std::string& input) {
  DmsFields f;
  std::string signless = input;
  f.negative = stripSign(signless);
  f.t = ChangeCharInNr(signless, '*');
  const std::string& t = f.t;
  const auto s1 = t.find('*');
  f.degrees = t.substr(0, s1 == std::string::npos ? t.size() : s1);
  if (s1 != std::string::npos) {
    const auto s2 = t.find('*', s1 + 1);
    f.minutes = t.substr(s1 + 1, (s2 == std::string::npos ? t.size() : s2) - s1 - 1);
    if (s2 != std::string::npos) {
      const auto s3 = t.find('*', s2 + 1);
      f.seconds = t.substr(s2 + 1, (s3 == std::string::npos ? t.size() : s3) - s2 - 1);
      if (s3 != std::string::npos) f.rest = t.substr(s3 + 1);
    }
  }
  return f;
}

// Exactly 9 characters are still too short.
constexpr std::size_t kShortestDms = 10;

std::string dmsResult(const NumberStyle& st, const DmsFields& f, Real minutes, Real seconds) {
  const long long degrees = strToIntDef(f.degrees, 0);
  const std::string result = dez6(st, static_cast<Real>(degrees) + minutes / 60 + seconds / 3600);
  return f.negative ? negated(result) : result;
}

std::string minutesErrorText(const std::string& t) {
  return "Fehler beim Umwandeln in Dezimalkoordinaten bei Minuten "_cp + t + " erkannt";
}

std::string secondsErrorText(const std::string& t) {
  return "Fehler beim Umwandeln in Dezimalkoordinaten bei Sekunden "_cp + t + " erkannt";
}

std::string_view trimmedBlanks(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

bool allDigits(std::string_view t) {
  return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

Converted GMSToDez(const NumberStyle& st, const std::string& input) {
  const DmsFields f = dmsFields(input);
  Converted c;
  c.text = "0.0";
  if (f.t.size() >= kShortestDms) {
    Real minutes = 0, seconds = 0;
    if (auto m = tryStrToFloat(PZD(st, f.minutes), st.DecimalSep)) {
      minutes = *m;
    } else {
      c.errors.push_back(minutesErrorText(f.t));
    }
    if (auto sec = tryStrToFloat(PZD(st, f.seconds), st.DecimalSep)) {
      seconds = *sec;
    } else {
      c.errors.push_back(secondsErrorText(f.t));
    }
    c.text = dmsResult(st, f, minutes, seconds);
  }
  c.fixLost = c.text == "0.0";
  return c;
}

std::string decimalConversionErrorText(const std::string& value) {
  return "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert "_cp + value + " erkannt";
}

Converted checkedGMSToDez(const NumberStyle& st, const std::string& input) {
  const DmsFields f = dmsFields(std::string(trimmedBlanks(input)));
  const auto minutes = tryStrToFloat(PZD(st, f.minutes), st.DecimalSep);
  const auto seconds = tryStrToFloat(PZD(st, f.seconds), st.DecimalSep);
  Converted c;
  if (f.t.size() >= kShortestDms && allDigits(f.degrees) && minutes && seconds &&
      f.rest.find_first_not_of('*') == std::string::npos) {
    c.text = dmsResult(st, f, *minutes, *seconds);
    return c;
  }
  // The conversion's own message where it has one.
  c.errors.push_back(!minutes   ? minutesErrorText(f.t)
                     : !seconds ? secondsErrorText(f.t)
                                : decimalConversionErrorText(input));
  return c;
}

Converted checkedGMToDez(const NumberStyle& st, const std::string& input) {
  // Degrees, two minute digits, optionally "." and the fraction of the minute.
  std::string_view t = trimmedBlanks(input);
  if (!t.empty() && t.front() == '-') t.remove_prefix(1);
  const auto dot = t.find('.');
  const std::string_view whole = t.substr(0, dot);
  const std::string_view fraction =
      dot == std::string_view::npos ? std::string_view() : t.substr(dot + 1);
  const bool shape = allDigits(whole) && whole.size() >= 2 &&
                     (dot == std::string_view::npos || allDigits(fraction));
  Converted c;
  if (shape) {
    // The shape leaves only the length to refuse: its minutes are always a number.
    const DegreeMinutes d = readDegreeMinutes(st, std::string(trimmedBlanks(input)));
    if (d.usable) {
      c.text = dez6(st, d.value);
      return c;
    }
  }
  c.errors.push_back(decimalConversionErrorText(input));
  return c;
}

std::string fixedDecimalText(const NumberStyle& st, const std::string& text) {
  // Already plain: a sign, digits, a decimal point ("." or the host's) and digits, or digits
  // alone.
  std::string_view t = text;
  if (!t.empty() && t.front() == '-') t.remove_prefix(1);
  const auto point = t.find_first_of(st.DecimalSep == '.' ? "." : std::string{'.', st.DecimalSep});
  if (allDigits(t.substr(0, point)) &&
      (point == std::string_view::npos || allDigits(t.substr(point + 1)))) {
    return text;
  }
  const auto v = tryStrToFloat(PZD(st, text), st.DecimalSep);
  if (!v || !std::isfinite(*v)) return text;
  // The shortest fixed form that reads back as the same number.
  char buffer[128];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, *v, std::chars_format::fixed);
  // Far beyond any coordinate: left as it is, the reader refuses it by its value.
  if (r.ec != std::errc()) return text;
  return std::string(buffer, r.ptr);
}

Converted GeoDezToGrMin(const NumberStyle& st, const std::string& input) {
  Converted c;
  const std::string t = PZD(st, input);
  const int k = pos(st.DecimalSep, t);
  // A whole number of degrees has no fraction at all.
  const bool whole = k == 0 && tryStrToInt(t).has_value();
  std::string degreeText = whole ? t : copy(t, 1, k - 1);
  const std::string fraction = whole ? std::string("0") : "0" + copy(t, k, kMaxIndex);
  Real f = 0;
  if (auto v = tryStrToFloat(fraction, st.DecimalSep)) {
    f = *v;
  } else {
    c.errors.push_back("Fehler beim Umwandeln in Grad-Minute Koordinaten bei Wert "_cp + fraction +
                       " erkannt");
  }
  const Real minutesValue = f * 60;
  std::string minutes = floatToStrGeneral(minutesValue, st.DecimalSep);
  if (minutesValue < 10) minutes = "0" + minutes;
  const long long d = strToIntDef(degreeText, 0);
  const std::size_t at = (!degreeText.empty() && degreeText[0] == '-') ? 1 : 0;
  if (d < 10) {
    degreeText.insert(at, "00");
  } else if (d < 100) {
    degreeText.insert(at, "0");
  }
  c.text = KommaZuPunkt(degreeText + minutes);
  return c;
}

std::string KGrad(const NumberStyle& st, const std::string& input) {
  // Views into the input: this runs for both coordinates of every record of a log.
  std::string_view text = input;
  bool negative = false;
  const auto firstNonBlank = text.find_first_not_of(' ');
  if (firstNonBlank != std::string_view::npos && text[firstNonBlank] == '-') {
    text.remove_prefix(firstNonBlank + 1);
    negative = true;
  }
  const int dot = pos('.', text);
  const long long p = dot == 0 ? static_cast<long long>(text.size()) - 2 : dot - 3;
  const std::string_view degrees = copyView(text, 1, p);
  const std::string_view minutes = copyView(text, p + 1, 2);
  const std::string_view fraction = dot == 0 ? std::string_view() : copyView(text, p + 4, 4);
  Real seconds = 0;
  if (!fraction.empty() &&
      fraction.find_first_not_of("0123456789") == std::string_view::npos) {
    // "0" + separator + at most four digits: always a number.
    char number[8] = {'0', st.DecimalSep};
    fraction.copy(number + 2, fraction.size());
    seconds = 60 * strToFloat(std::string_view(number, fraction.size() + 2), st.DecimalSep);
  }
  std::string out;
  out.reserve(degrees.size() + minutes.size() + 12);
  if (negative) out += '-';
  out += degrees;
  out += '\xB0';
  out += minutes;
  out += '\xB4';
  out += formatFixed(seconds, 0, 2, st.DecimalSep);
  out += '"';
  return out;
}

std::string DezToMerN(Real lat) {
  if (!std::isfinite(lat)) return "0";
  // The poles have no Mercator value; the nearest representable latitude stands in for them.
  constexpr Real kLimit = 89.999999L;
  if (lat > kLimit) lat = kLimit;
  if (lat < -kLimit) lat = -kLimit;
  const Real y = EarthRadius * std::log(std::tan(lat * kPiDiv180 / 2 + kPiDiv4));
  return intToStr(roundHalfEven(y));
}

std::string DezToMerO(Real lon) {
  if (!std::isfinite(lon)) return "0";
  return intToStr(roundHalfEven(lon * EarthRadius * kPiDiv180));
}

namespace {
std::string dez6Point(Real v) { return formatFixed(v, 0, 6, '.'); }
}  // namespace

std::string MerToDezN(long long y) {
  const Real lat =
      (std::atan(std::exp(static_cast<Real>(y) / EarthRadius)) - kPiDiv4) * 2 / kPi * 180;
  return dez6Point(lat);
}

std::string MerToDezO(long long x) {
  return dez6Point(static_cast<Real>(x) * 180 / (EarthRadius * kPi));
}

std::string mercatorOf(Axis axis, Real degrees) {
  return axis == Axis::Latitude ? DezToMerN(degrees) : DezToMerO(degrees);
}

void setCoordinate(const NumberStyle& st, PointRecord& p, Axis axis, CoordinateTexts c) {
  const bool lat = axis == Axis::Latitude;
  (lat ? p.LatGMS : p.LonGMS) = KGrad(st, c.grMin);
  (lat ? p.LatNmea : p.LonNmea) = c.grMin;
  (lat ? p.LatGrMin : p.LonGrMin) = std::move(c.grMin);
  (lat ? p.LatDec : p.LonDec) = std::move(c.dec);
  (lat ? p.LatValue : p.LonValue) = c.value;
  (lat ? p.LatMer : p.LonMer) = std::move(c.mer);
}

}  // namespace kursolin
