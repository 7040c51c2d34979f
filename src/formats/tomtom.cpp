#include "formats/tomtom.h"

#include <optional>

#include "core/host.h"
#include "core/textutil.h"
#include "formats/route_reader.h"

namespace kursolin {

namespace {

constexpr int kFractionDigits = 5;

bool isDigitChar(char c) {
  return c >= '0' && c <= '9';
}

// An ITN coordinate field as decimal-degree text: the last five digits are the fraction.
// nullopt when the field holds anything but digits after an optional leading "-".
std::optional<std::string> ttFieldToDecimal(const std::string& field) {
  if (field.empty()) return std::string("0.00");
  const bool negative = field[0] == '-';
  std::string digits = field.substr(negative ? 1 : 0);
  for (char c : digits) {
    if (!isDigitChar(c)) return std::nullopt;
  }
  if (digits.size() < kFractionDigits + 1)
    digits.insert(0, kFractionDigits + 1 - digits.size(), '0');
  digits.insert(digits.size() - kFractionDigits, 1, '.');
  return negative ? "-" + digits : digits;
}

std::string flagDigit(const Session& s, std::size_t i) {
  const std::string& flags = s.opt.get(TTFlags);
  return i < flags.size() ? flags.substr(i, 1) : std::string();
}

// Replaces the flag field, the text between the last two "|", by the flag. Taking the whole
// field rather than one character keeps a line whole whose flag was left empty by a short
// TTFlags; a line without two "|" has no flag field and stays as it is.
void setFlagField(std::string& line, const std::string& flag) {
  const auto last = line.rfind('|');
  if (last == std::string::npos || last == 0) return;
  const auto before = line.rfind('|', last - 1);
  if (before == std::string::npos) return;
  line.replace(before + 1, last - before - 1, flag);
}

}  // namespace

int GetTT(Session& s, const std::string& line, int index) {
  PointRecord& p = s.CurrentPoint;
  const int lineNumber = index + 1;
  if (line.empty()) {
    reportEmptyLine(s, lineNumber);
    return 0;
  }
  // The text after the last "|" counts as a field of its own.
  const std::vector<std::string> fields = splitAt(line, '|');
  const std::string lonField = fields[0];
  const std::string latField = fields.size() > 1 ? fields[1] : std::string();
  const auto lon = ttFieldToDecimal(lonField);
  if (!lon) throw ConvertError(coordinateNotANumberText(lineNumber, line, lonField));
  const auto lat = ttFieldToDecimal(latField);
  if (!lat) throw ConvertError(coordinateNotANumberText(lineNumber, line, latField));
  p.navi(RteLon) = *lon;
  p.navi(RteLat) = *lat;
  setCoordinateFromDecimal(s, Axis::Longitude, p.navi(RteLon), lineNumber);
  setCoordinateFromDecimal(s, Axis::Latitude, p.navi(RteLat), lineNumber);
  setRouteFileDefaults(p);
  return coordinatesPresent(s, line, lineNumber);
}

std::string MakeTTK(const std::string& dec) {
  std::string sign, integer, fraction;
  bool afterSeparator = false;
  bool started = false;  // a "-" counts as the sign only before any digit or separator
  for (char c : dec) {
    if (isDigitChar(c)) {
      (afterSeparator ? fraction : integer) += c;
      started = true;
    } else if ((c == '.' || c == ',') && !afterSeparator) {
      afterSeparator = true;
      started = true;
    } else if (c == '-' && !started && sign.empty()) {
      sign = "-";
    }
  }
  fraction.resize(kFractionDigits, '0');
  return sign + integer + fraction;
}

std::string tomTomLine(const Session& s, int n) {
  const PointRecord& p = s.CurrentPoint;
  return MakeTTK(p.LonDec) + "|" + MakeTTK(p.LatDec) + "|KS-Rp " + intToStr(n) + "|" +
         flagDigit(s, 1) + "|";
}

void buildTT(Session& s, const RoutePoint& p) {
  s.doc.OutputLines.add(tomTomLine(s, p.n));
}

void SetTTFlag(Session& s, TextLines& lines) {
  if (lines.empty()) return;
  // Only the first and the last line change; a route of many points is not copied for them.
  const long long last = lines.Count() - 1;
  std::string first(lines.full(0));
  setFlagField(first, flagDigit(s, 0));
  lines.replaceLine(0, first);
  // A single line thus ends with the destination's digit.
  std::string end(lines.full(last));
  setFlagField(end, flagDigit(s, 2));
  lines.replaceLine(last, end);
}

bool tomTomRecognized(const TextLines& lines) {
  return countChar(lines.at(0), '|') == 4;
}

}  // namespace kursolin
