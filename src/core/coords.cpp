#include "core/coords.h"

#include <cmath>
#include <limits>

#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/prompt.h"
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

std::string dez6(const Session& s, Real v) {
  return KommaZuPunkt(formatFixed(v, 0, 6, s.DecimalSep));
}

bool GMToValue(Session& s, const std::string& input) {
  std::string text = input;
  const bool negative = stripSign(text);
  if (input.size() <= 4 || text.empty()) {
    s.CurrentPoint.FixOk = "0";
    return false;
  }
  const long long p = degreeDigits(text);
  const long long degrees = strToIntDef(copyView(text, 1, p), 0);
  // Two minute digits, the ".", at most four fraction digits.
  Real minutes = 0;
  if (auto m = tryPZDNumber(s, copyView(text, p + 1, 7))) {
    minutes = *m;
  } else {
    errorPromptIfShown(s, "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert "_cp + input +
                              " erkannt");
  }
  Real value = static_cast<Real>(degrees) + minutes / 60;
  if (negative) value = -value;
  s.CurrentPoint.ConvValue = value;
  return true;
}

std::string GMToDez(Session& s, const std::string& input) {
  if (!GMToValue(s, input)) return "0.0";
  return dez6(s, s.CurrentPoint.ConvValue);
}

void completePositionTexts(const Session& s, PointRecord& p, std::uint8_t texts) {
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
  if (pending & kPendingLatDecimal) p.LatDec = sign(south, dez6(s, p.LatValue));
  if (pending & kPendingLonDecimal) p.LonDec = sign(west, dez6(s, p.LonValue));
  if (pending & kPendingLatOther) {
    p.LatGMS = sign(south, KGrad(s, asRead(south, p.LatNmea)));
    p.LatMer = sign(south, DezToMerN(p.LatValue));
  }
  if (pending & kPendingLonOther) {
    p.LonGMS = sign(west, KGrad(s, asRead(west, p.LonNmea)));
    p.LonMer = sign(west, DezToMerO(p.LonValue));
  }
  // The hemisphere bits stay: they belong to LatNmea and LonNmea until the next fix.
  p.PendingTexts &= static_cast<std::uint8_t>(~(pending & kAllPositionTexts));
}

std::string GMSToDez(Session& s, const std::string& input) {
  std::string signless = input;
  const bool negative = stripSign(signless);
  const std::string t = ChangeCharInNr(signless, '*');
  std::string result = "0.0";
  if (t.size() > 9) {
    const auto s1 = t.find('*');
    const std::string degText = t.substr(0, s1 == std::string::npos ? t.size() : s1);
    std::string minText, secText;
    if (s1 != std::string::npos) {
      const auto s2 = t.find('*', s1 + 1);
      minText = t.substr(s1 + 1, (s2 == std::string::npos ? t.size() : s2) - s1 - 1);
      if (s2 != std::string::npos) {
        const auto s3 = t.find('*', s2 + 1);
        secText = t.substr(s2 + 1, (s3 == std::string::npos ? t.size() : s3) - s2 - 1);
      }
    }
    const long long degrees = strToIntDef(degText, 0);
    Real minutes = 0, seconds = 0;
    if (auto m = tryStrToFloat(PZD(s, minText), s.DecimalSep)) {
      minutes = *m / 60;
    } else {
      errorPromptIfShown(s, "Fehler beim Umwandeln in Dezimalkoordinaten bei Minuten "_cp + t +
                                " erkannt");
    }
    if (auto sec = tryStrToFloat(PZD(s, secText), s.DecimalSep)) {
      seconds = *sec / 3600;
    } else {
      errorPromptIfShown(s, "Fehler beim Umwandeln in Dezimalkoordinaten bei Sekunden "_cp + t +
                                " erkannt");
    }
    result = dez6(s, static_cast<Real>(degrees) + minutes + seconds);
    if (negative) result = negated(result);
  }
  if (result == "0.0") s.CurrentPoint.FixOk = "0";
  return result;
}

std::string GeoDezToGrMin(Session& s, const std::string& input) {
  const std::string t = PZD(s, input);
  const int k = pos(s.DecimalSep, t);
  std::string degreeText = copy(t, 1, k - 1);
  const std::string fraction = "0" + copy(t, k, kMaxIndex);
  Real f = 0;
  if (auto v = tryStrToFloat(fraction, s.DecimalSep)) {
    f = *v;
  } else {
    errorPromptIfShown(s, "Fehler beim Umwandeln in Grad-Minute Koordinaten bei Wert "_cp +
                              fraction + " erkannt");
  }
  const Real minutesValue = f * 60;
  std::string minutes = floatToStrGeneral(minutesValue, s.DecimalSep);
  if (minutesValue < 10) minutes = "0" + minutes;
  const long long d = strToIntDef(degreeText, 0);
  const std::size_t at = (!degreeText.empty() && degreeText[0] == '-') ? 1 : 0;
  if (d < 10) {
    degreeText.insert(at, "00");
  } else if (d < 100) {
    degreeText.insert(at, "0");
  }
  return KommaZuPunkt(degreeText + minutes);
}

std::string KGrad(const Session& s, const std::string& input) {
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
    char number[8] = {'0', s.DecimalSep};
    fraction.copy(number + 2, fraction.size());
    seconds = 60 * strToFloat(std::string_view(number, fraction.size() + 2), s.DecimalSep);
  }
  std::string out;
  out.reserve(degrees.size() + minutes.size() + 12);
  if (negative) out += '-';
  out += degrees;
  out += '\xB0';
  out += minutes;
  out += '\xB4';
  out += formatFixed(seconds, 0, 2, s.DecimalSep);
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

}  // namespace kursolin
