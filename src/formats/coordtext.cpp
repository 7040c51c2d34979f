#include "formats/coordtext.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "core/coords.h"
#include "core/host.h"
#include "core/numtext.h"
#include "core/textutil.h"
#include "formats/route_reader.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

// Nothing above a blank (empty, a blank, a leading control character) counts as no coordinate.
bool noValue(const std::string& text) {
  return !sortsAfter(text, ' ');
}

// A Mercator value is a whole number of metres; blanks around it are no part of it.
std::optional<long long> mercatorMetres(const std::string& value) {
  const auto first = value.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const auto last = value.find_last_not_of(" \t");
  return tryStrToInt(std::string_view(value).substr(first, last - first + 1));
}

// The value of one coordinate as decimal-degree text, converted from the input's notation;
// nullopt when it is no number of that notation (after the conversion's prompt while ShowErrors
// is on). Decimal degrees are checked by the caller.
std::optional<std::string> checked(Session& s, const Converted& c) {
  if (c.errors.empty()) return c.text;
  errorPromptsIfShown(s, c.errors);
  return std::nullopt;
}

std::optional<std::string> toDecimal(Session& s, const std::string& value, bool latitude,
                                     TextNotation notation) {
  if (noValue(value)) return std::string("0.00");
  switch (notation) {
    case TextNotation::GMS:
      return checked(s, checkedGMSToDez(s.numbers, value));
    case TextNotation::GM:
      return checked(s, checkedGMToDez(s.numbers, value));
    case TextNotation::Mer: {
      const auto metres = mercatorMetres(value);
      if (!metres) {
        errorPromptIfShown(s, decimalConversionErrorText(value));
        return std::nullopt;
      }
      return latitude ? MerToDezN(*metres) : MerToDezO(*metres);
    }
    case TextNotation::DG:
      break;
  }
  return value;
}

void requireNumber(const Session& s, const std::string& dec, int lineNumber,
                   const std::string& line) {
  if (!tryPZDNumber(s.numbers, dec)) {
    throw ConvertError(coordinateNotANumberText(lineNumber, line, dec));
  }
}

}  // namespace

std::string separatorCharacter(const std::string& setting) {
  return setting == "Tab" ? std::string("\t") : setting;
}

int GetText(Session& s, const std::string& line, int index, TextNotation notation) {
  const int lineNumber = index + 1;
  const std::string sep = separatorCharacter(s.opt.get(InputSeparator));
  // Without a separator the first value is empty and the whole line is the second.
  const int at = pos(sep, line);
  const std::string first =
      at == 0 ? std::string() : line.substr(0, static_cast<std::size_t>(at - 1));
  const std::string second =
      at == 0 ? line : line.substr(static_cast<std::size_t>(at - 1) + sep.size());
  const std::string& latText = s.opt.get(InputLatFirst) ? first : second;
  const std::string& lonText = s.opt.get(InputLatFirst) ? second : first;

  // A value that is no number of the notation is no position at all, not 0: the record is
  // passed over (and counted), or the run ends when the user chose Abort.
  std::optional<std::string> lon = toDecimal(s, lonText, false, notation);
  std::optional<std::string> lat = lon ? toDecimal(s, latText, true, notation) : std::nullopt;
  if (!lon || !lat) {
    PointRecord& p = s.CurrentPoint;
    setRouteFileDefaults(p);
    p.PointValid = false;
    s.doc.skippedRecords.add(index);
    return 0;
  }
  requireNumber(s, *lon, lineNumber, line);
  requireNumber(s, *lat, lineNumber, line);
  setCoordinateFromDecimal(s, Axis::Longitude, *lon, lineNumber);
  setCoordinateFromDecimal(s, Axis::Latitude, *lat, lineNumber);
  setRouteFileDefaults(s.CurrentPoint);
  return coordinatesOnGlobe(s, line, lineNumber);
}

bool textRecognized(const Session& s, const TextLines& lines) {
  return pos(separatorCharacter(s.opt.get(InputSeparator)), lines.at(0)) > 0;
}

namespace {

// Lines a detection looks at: enough to tell a notation, few enough for any file.
constexpr int kLinesLooked = 100;

std::string_view trimmedBlanks(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

struct ValuePair {
  std::string_view lat, lon;
};

// The two values of a line as the reader splits it; nullopt unless it holds exactly one separator
// with a value on either side.
std::optional<ValuePair> pairOf(const Session& s, std::string_view line) {
  const std::string sep = separatorCharacter(s.opt.get(InputSeparator));
  if (sep.empty()) return std::nullopt;
  const auto at = line.find(sep);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = line.substr(at + sep.size());
  if (rest.find(sep) != std::string_view::npos) return std::nullopt;
  // A blank as the separator leaves nothing to trim.
  const bool blank = sep == " ";
  const std::string_view first = blank ? line.substr(0, at) : trimmedBlanks(line.substr(0, at));
  const std::string_view second = blank ? rest : trimmedBlanks(rest);
  if (first.empty() || second.empty()) return std::nullopt;
  return s.opt.get(InputLatFirst) ? ValuePair{first, second} : ValuePair{second, first};
}

struct PlainNumber {
  double value = 0;
  bool fraction = false;
};

// An optional "-", digits and at most one "." or "," with digits after it.
std::optional<PlainNumber> plainNumber(std::string_view t) {
  if (!t.empty() && t.front() == '-') t.remove_prefix(1);
  if (t.empty() || t.size() > 24) return std::nullopt;
  std::string text;
  bool point = false, digits = false;
  for (char c : t) {
    if (c >= '0' && c <= '9') {
      digits = true;
    } else if ((c == '.' || c == ',') && !point) {
      point = true;
      c = '.';
    } else {
      return std::nullopt;
    }
    text.push_back(c);
  }
  if (!digits || text.back() == '.') return std::nullopt;
  const auto v = tryStrToFloat(text, '.');
  if (!v) return std::nullopt;
  return PlainNumber{static_cast<double>(*v), point};
}

// Every line with text among the first ones is a pair the test accepts, and there is one.
template <class Test>
bool everyPair(const Session& s, const TextLines& lines, Test&& test) {
  int looked = 0;
  for (int i = 0; i < lines.Count() && looked < kLinesLooked; ++i) {
    const std::string_view line = lines.full(i);
    if (trimmedBlanks(line).empty()) continue;
    ++looked;
    const auto pair = pairOf(s, line);
    if (!pair || !test(*pair)) return false;
  }
  return looked > 0;
}

bool degreeSign(std::string_view v) {
  const std::string_view digits = !v.empty() && v.front() == '-' ? v.substr(1) : v;
  return !digits.empty() && digits.front() >= '0' && digits.front() <= '9' &&
         v.find('\xB0') != std::string_view::npos;
}

}  // namespace

bool textGmsFound(const Session& s, const FileSample& file) {
  return everyPair(s, file.lines,
                   [](const ValuePair& p) { return degreeSign(p.lat) && degreeSign(p.lon); });
}

bool textMerFound(const Session& s, const FileSample& file) {
  bool beyondDegrees = false;
  const bool all = everyPair(s, file.lines, [&](const ValuePair& p) {
    const auto lat = plainNumber(p.lat), lon = plainNumber(p.lon);
    // Whole metres, the earth's Mercator easting at most half its circumference.
    if (!lat || !lon || lat->fraction || lon->fraction || std::fabs(lon->value) > 20100000 ||
        std::fabs(lat->value) > 40000000)
      return false;
    beyondDegrees |= std::fabs(lat->value) > 180 || std::fabs(lon->value) > 180;
    return true;
  });
  return all && beyondDegrees;
}

bool textDgFound(const Session& s, const FileSample& file) {
  return everyPair(s, file.lines, [](const ValuePair& p) {
    const auto lat = plainNumber(p.lat), lon = plainNumber(p.lon);
    return lat && lon && std::fabs(lat->value) <= 90 && std::fabs(lon->value) <= 180;
  });
}

bool textGmFound(const Session& s, const FileSample& file) {
  bool wholeDegree = false;
  const auto minutesOk = [](double v) { return std::fmod(std::fabs(v), 100.0) < 60; };
  const bool all = everyPair(s, file.lines, [&](const ValuePair& p) {
    const auto lat = plainNumber(p.lat), lon = plainNumber(p.lon);
    if (!lat || !lon || !lat->fraction || !lon->fraction || !minutesOk(lat->value) ||
        !minutesOk(lon->value) || std::fabs(lat->value) > 9000 || std::fabs(lon->value) > 18000)
      return false;
    wholeDegree |= std::fabs(lat->value) >= 100 || std::fabs(lon->value) >= 100;
    return true;
  });
  return all && wholeDegree;
}

std::string textLine(const Session& s, TextNotation notation) {
  const PointRecord& p = s.CurrentPoint;
  const std::string* lat = &p.LatDec;
  const std::string* lon = &p.LonDec;
  switch (notation) {
    case TextNotation::GMS:
      lat = &p.LatGMS, lon = &p.LonGMS;
      break;
    case TextNotation::GM:
      lat = &p.LatGrMin, lon = &p.LonGrMin;
      break;
    case TextNotation::DG:
      break;
    case TextNotation::Mer:
      lat = &p.LatMer, lon = &p.LonMer;
      break;
  }
  const std::string sep = separatorCharacter(s.opt.get(OutputSeparator));
  return s.opt.get(OutputLatFirst) ? *lat + sep + *lon : *lon + sep + *lat;
}

void buildTextGMS(Session& s, const RoutePoint&) {
  s.doc.OutputLines.add(textLine(s, TextNotation::GMS));
}
void buildTextGM(Session& s, const RoutePoint&) {
  s.doc.OutputLines.add(textLine(s, TextNotation::GM));
}
void buildTextDG(Session& s, const RoutePoint&) {
  s.doc.OutputLines.add(textLine(s, TextNotation::DG));
}
void buildTextMer(Session& s, const RoutePoint&) {
  s.doc.OutputLines.add(textLine(s, TextNotation::Mer));
}

}  // namespace kursolin
