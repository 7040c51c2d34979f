#include "formats/ovl.h"

#include <optional>
#include <string_view>

#include "core/coords.h"
#include "core/numtext.h"
#include "formats/route_reader.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

bool startsWith(std::string_view line, std::string_view key) {
  return line.substr(0, key.size()) == key;
}

bool isDigitChar(char c) {
  return c >= '0' && c <= '9';
}

// Blanks, a sign, digits, optionally "." and digits, optionally an exponent; nothing else. A
// decimal comma is no number here, whatever the host uses.
bool ovlNumberShape(std::string_view v) {
  std::size_t i = 0;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < v.size() && isDigitChar(v[i])) ++i;
    return i > from;
  };
  while (i < v.size() && v[i] == ' ') ++i;
  if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
  if (!digits()) return false;
  if (i < v.size() && v[i] == '.') {
    ++i;
    if (!digits()) return false;
  }
  if (i < v.size() && (v[i] == 'e' || v[i] == 'E')) {
    ++i;
    if (i < v.size() && (v[i] == '+' || v[i] == '-')) ++i;
    if (!digits()) return false;
  }
  return i == v.size();
}

struct OvlValue {
  std::string text;     // as written, blanks included
  std::string decimal;  // in plain decimal form, without the leading blanks: 1.15e1 as 11.5
  Real number = 0;
};

// Everything after the first "=".
std::optional<OvlValue> ovlValue(const NumberStyle& st, const std::string& line) {
  const auto eq = line.find('=');
  OvlValue v;
  v.text = eq == std::string::npos ? line : line.substr(eq + 1);
  if (!ovlNumberShape(v.text)) return std::nullopt;
  const std::string trimmed = v.text.substr(v.text.find_first_not_of(' '));
  const auto n = tryPZDNumber(st, trimmed);
  // Beyond the platform's range: no usable value either.
  if (!n) return std::nullopt;
  v.number = *n;
  v.decimal = fixedDecimalText(st, trimmed);
  // A plain decimal is shown as written; one the notations had to write out, as written out.
  if (v.decimal != trimmed) v.text = v.decimal;
  return v;
}

// The first 8 characters, right-aligned in 8: values are cut, never rounded.
std::string cutTo8(const std::string& text) {
  std::string t = text.substr(0, 8);
  t.insert(0, 8 - t.size(), ' ');
  return t;
}

void fixedValues(PointRecord& p, bool valid) {
  setRouteFileDefaults(p);
  p.PointValid = valid;
}

// Reads the value of a coordinate line into that coordinate of CurrentPoint; false, with its
// texts and number 0, when the value is no number.
bool readCoordinate(Session& s, Axis axis, const std::string& line) {
  PointRecord& p = s.CurrentPoint;
  const NumberStyle st = s.numbers;
  completePositionTexts(st, p);
  const auto v = ovlValue(st, line);
  if (!v) {
    if (axis == Axis::Latitude) {
      p.LatGrMin = p.LatNmea = p.LatDec = p.LatGMS = p.LatMer = "0";
      p.LatValue = 0;
    } else {
      p.LonGrMin = p.LonNmea = p.LonDec = p.LonGMS = p.LonMer = "0";
      p.LonValue = 0;
    }
    return false;
  }
  // The conversion reads degrees from the text before the "."; leading blanks would become part
  // of them, and an exponent would count as part of the fraction.
  Converted grMin = GeoDezToGrMin(st, v->decimal);
  errorPromptsIfShown(s, grMin.errors);
  setCoordinate(st, p, axis,
                {cutTo8(v->text), std::move(grMin.text), v->number, mercatorOf(axis, v->number)});
  return true;
}

}  // namespace

bool ovlRecognized(Session& s) {
  const auto& lines = s.doc.InputLines.lines();
  bool pair = false;
  for (std::size_t i = 0; i + 1 < lines.size() && !pair; ++i) {
    pair = startsWith(lines[i], "XKoord") && startsWith(lines[i + 1], "YKoord");
  }
  if (!pair) return false;
  std::vector<std::string> kept;
  for (const auto& l : lines) {
    if (startsWith(l, "XKoord") || startsWith(l, "YKoord")) kept.push_back(l);
  }
  s.doc.InputLines.assign(std::move(kept));
  return true;
}

bool ovlFound(const Session&, const FileSample& file) {
  const int count = file.lines.Count();
  for (int i = 0; i + 1 < count; ++i) {
    if (startsWith(file.lines.full(i), "XKoord") && startsWith(file.lines.full(i + 1), "YKoord"))
      return true;
  }
  return false;
}

int GetOVL_X(Session& s, const std::string& line, int index) {
  if (!startsWith(line, "XKoord")) return 0;
  PointRecord& p = s.CurrentPoint;
  if (!readCoordinate(s, Axis::Longitude, line)) {
    fixedValues(p, false);
    return 0;
  }
  const bool latitude =
      GetOVL_Y(s, std::string(s.doc.InputLines.full(static_cast<long long>(index) + 1))) == 1;
  fixedValues(p, latitude);
  if (latitude && !coordinatesOnGlobe(s, line, index + 1)) {
    p.PointValid = false;
    return 0;
  }
  return latitude ? 1 : 0;
}

int GetOVL_Y(Session& s, const std::string& line) {
  if (!startsWith(line, "YKoord")) return 0;
  return readCoordinate(s, Axis::Latitude, line) ? 1 : 0;
}

}  // namespace kursolin
