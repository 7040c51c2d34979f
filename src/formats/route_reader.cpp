#include "formats/route_reader.h"

#include <cmath>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/numtext.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

Real coordinateValue(const NumberStyle& st, const std::string& text, int lineNumber) {
  if (auto v = tryStrToFloat(PZD(st, text), st.DecimalSep)) return *v;
  throw ConvertError("Die Koordinate \"" + text + "\" in Zeile " + intToStr(lineNumber) +
                     " der Quelldatei ist keine Zahl");
}

void okError(Session& s, const std::string& text) {
  s.port().prompt(PromptKind::Error, PromptButtons::Ok, text);
}

}  // namespace

void setCoordinateFromDecimal(Session& s, Axis axis, const std::string& text, int lineNumber) {
  PointRecord& p = s.CurrentPoint;
  const NumberStyle st = s.numbers;
  completePositionTexts(st, p);
  // "1.15e1" is a number, but the degree-minute conversion and the writers need "11.5".
  std::string dec = fixedDecimalText(st, text);
  // A text that is no number ends the route with the decimal text already taken.
  (axis == Axis::Latitude ? p.LatDec : p.LonDec) = dec;
  const Real value = coordinateValue(st, dec, lineNumber);
  Converted grMin = GeoDezToGrMin(st, dec);
  errorPromptsIfShown(s, grMin.errors);
  setCoordinate(st, p, axis,
                {std::move(dec), std::move(grMin.text), value, mercatorOf(axis, value)});
}

void setRouteFileDefaults(PointRecord& p) {
  p.FixOk = "1";
  p.Time = "000000.00";
  p.SpeedKmh = "0.00";
  // The rules compare the number, not the text: nothing of an earlier file may stay in it.
  p.SpeedValue = 0;
  p.Course = "0.00";
  p.Date = "01.01.00";
  p.Altitude = "0";
  p.SatCount = "0";
  p.Hdop = "0";
  p.PointValid = true;
}

void reportEmptyLine(Session& s, int lineNumber) {
  okError(s, "Die aktuelle Zeile "_cp + intToStr(lineNumber) + kCR + " der Quelldatei ist leer !");
}

std::string coordinateNotANumberText(int lineNumber, const std::string& line,
                                     const std::string& text) {
  return "Der aktuelle Routenpunkt "_cp + intToStr(lineNumber) + kCR + kCR + line + kCR + kCR +
         "enthält die Koordinate \""_cp + text + "\", die keine Zahl ist !" + kCR +
         "Die Routenberechnung wird abgebrochen";
}

namespace {

enum class Refusal { Missing, OffGlobe };

// The OK box of a coordinate that is missing or lies off the globe; the point is skipped.
int refuse(Session& s, const std::string& line, int lineNumber, bool longitude, Refusal why) {
  const std::string axis =
      longitude ? "für die östliche Länge !"_cp : "für die nördliche Breite !"_cp;
  okError(s, "Der aktuelle Routenpunkt "_cp + intToStr(lineNumber) + kCR + kCR + line + kCR + kCR +
                 (why == Refusal::Missing ? "enthält keine Koordinaten "_cp
                                          : "liegt außerhalb des gültigen Bereichs "_cp) +
                 axis + kCR + "Der Routenpunkt wird nicht ausgewertet");
  return 0;
}

// Longitudes up to ±180 lie on the globe. The poles have no Mercator value, so a latitude must
// stay below 90; "nan" lies nowhere.
bool lonOnGlobe(Real v) {
  return std::fabs(v) <= 180;
}
bool latOnGlobe(Real v) {
  return std::fabs(v) < 90;
}

}  // namespace

int coordinatesPresent(Session& s, const std::string& line, int lineNumber) {
  const PointRecord& p = s.CurrentPoint;
  if (p.LonValue == 0) return refuse(s, line, lineNumber, true, Refusal::Missing);
  if (!lonOnGlobe(p.LonValue)) return refuse(s, line, lineNumber, true, Refusal::OffGlobe);
  if (p.LatValue == 0) return refuse(s, line, lineNumber, false, Refusal::Missing);
  if (!latOnGlobe(p.LatValue)) return refuse(s, line, lineNumber, false, Refusal::OffGlobe);
  return 1;
}

int coordinatesOnGlobe(Session& s, const std::string& line, int lineNumber) {
  const PointRecord& p = s.CurrentPoint;
  if (!lonOnGlobe(p.LonValue)) return refuse(s, line, lineNumber, true, Refusal::OffGlobe);
  if (!latOnGlobe(p.LatValue)) return refuse(s, line, lineNumber, false, Refusal::OffGlobe);
  return 1;
}

}  // namespace kursolin
