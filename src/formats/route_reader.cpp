#include "formats/route_reader.h"

#include <cmath>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/prompt.h"

namespace kursolin {

namespace {

Real coordinateValue(const Session& s, const std::string& text, int lineNumber) {
  if (auto v = tryStrToFloat(PZD(s, text), s.DecimalSep)) return *v;
  throw ConvertError("Die Koordinate \"" + text + "\" in Zeile " + intToStr(lineNumber) +
                     " der Quelldatei ist keine Zahl");
}

void okError(Session& s, const std::string& text) {
  s.port().prompt(PromptKind::Error, PromptButtons::Ok, text);
}

}  // namespace

void setLatitudeFromDecimal(Session& s, const std::string& dec, int lineNumber) {
  PointRecord& p = s.CurrentPoint;
  completePositionTexts(s, p);
  p.LatDec = dec;
  p.LatValue = coordinateValue(s, dec, lineNumber);
  p.LatGrMin = GeoDezToGrMin(s, dec);
  p.LatNmea = p.LatGrMin;
  p.LatGMS = KGrad(s, p.LatGrMin);
  p.LatMer = DezToMerN(p.LatValue);
}

void setLongitudeFromDecimal(Session& s, const std::string& dec, int lineNumber) {
  PointRecord& p = s.CurrentPoint;
  completePositionTexts(s, p);
  p.LonDec = dec;
  p.LonValue = coordinateValue(s, dec, lineNumber);
  p.LonGrMin = GeoDezToGrMin(s, dec);
  p.LonNmea = p.LonGrMin;
  p.LonGMS = KGrad(s, p.LonGrMin);
  p.LonMer = DezToMerO(p.LonValue);
}

void setRouteFileDefaults(PointRecord& p) {
  p.FixOk = "1";
  p.Time = "000000.00";
  p.SpeedKmh = "0.00";
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

// The OK box of a missing coordinate; the point is skipped.
int reportMissing(Session& s, const std::string& line, int lineNumber, bool longitude) {
  okError(s, "Der aktuelle Routenpunkt "_cp + intToStr(lineNumber) + kCR + kCR + line + kCR + kCR +
                 (longitude ? "enthält keine Koordinaten für die östliche Länge !"_cp
                            : "enthält keine Koordinaten für die nördliche Breite !"_cp) +
                 kCR + "Der Routenpunkt wird nicht ausgewertet");
  return 0;
}

// A coordinate beyond the globe (or "nan") is as useless as none: no route point may lie there.
bool onGlobe(Real v, Real limit) { return std::fabs(v) <= limit; }

}  // namespace

int coordinatesPresent(Session& s, const std::string& line, int lineNumber) {
  const PointRecord& p = s.CurrentPoint;
  if (p.LonValue == 0 || !onGlobe(p.LonValue, 180)) return reportMissing(s, line, lineNumber, true);
  if (p.LatValue == 0 || !onGlobe(p.LatValue, 90)) return reportMissing(s, line, lineNumber, false);
  return 1;
}

int coordinatesOnGlobe(Session& s, const std::string& line, int lineNumber) {
  const PointRecord& p = s.CurrentPoint;
  if (!onGlobe(p.LonValue, 180)) return reportMissing(s, line, lineNumber, true);
  if (!onGlobe(p.LatValue, 90)) return reportMissing(s, line, lineNumber, false);
  return 1;
}

}  // namespace kursolin
