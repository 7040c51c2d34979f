#include "formats/coordtext.h"

#include <optional>
#include <string_view>

#include "core/coords.h"
#include "core/host.h"
#include "core/numtext.h"
#include "core/prompt.h"
#include "core/textutil.h"
#include "formats/route_reader.h"

namespace kursolin {

namespace {

const std::string q = "\"";

std::string labelTail() { return " " + q + " getr."; }
std::string failureTail(const Session& s) {
  return s.InputSeparatorText + " " + q + " getrennt Fehler!";
}
std::string messageHead(const Session& s) {
  return "Keine verwertbaren Informationen erkannt oder keine " + q + " " + s.InputSeparatorText +
         " " + q;
}

}  // namespace

std::string textGmsLabel(const Session& s) {
  return "Textdatei im Format Gr\xB0 Min\xB4 Sek" + q + " " + q + " " + s.InputSeparatorText +
         labelTail();
}
std::string textGmLabel(const Session& s) {
  return "Textdatei im Format Gr\xB0 Min\xB4 " + s.InputSeparatorText + labelTail();
}
std::string textDgLabel(const Session& s) {
  return "Textdatei im Dezimalgrad Format " + s.InputSeparatorText + labelTail();
}
std::string textMerLabel(const Session& s) {
  return "Textdatei im Mercator Format " + s.InputSeparatorText + labelTail();
}

std::string textGmsFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 Sek" + q + " " + q + " " +
         failureTail(s);
}
std::string textGmFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 " + q + " " + failureTail(s);
}
std::string textDgFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Dezimalgrad Format " + q + " " + failureTail(s);
}
std::string textMerFailureCaption(const Session& s) {
  return "Koordinaten aus Textdatei im Mercator Format " + q + " " + failureTail(s);
}

std::string textGmsMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Format Gr\xB0 Min\xB4 Sek" + q;
}
std::string textGmMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Format Gr\xB0 Min\xB4 ";
}
std::string textDgMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Dezimalgrad Format";
}
std::string textMerMessage(const Session& s) {
  return messageHead(s) + " getrennte Textdatei im Mercator Format";
}

}  // namespace kursolin

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
std::optional<std::string> toDecimal(Session& s, const std::string& value, bool latitude) {
  if (noValue(value)) return std::string("0.00");
  switch (s.InputFormat) {
    case 20:
      return checkedGMSToDez(s, value);
    case 21:
      return checkedGMToDez(s, value);
    case 23: {
      const auto metres = mercatorMetres(value);
      if (!metres) {
        errorPromptIfShown(s, decimalConversionErrorText(value));
        return std::nullopt;
      }
      return latitude ? MerToDezN(*metres) : MerToDezO(*metres);
    }
    default:
      return value;
  }
}

void requireNumber(const Session& s, const std::string& dec, int lineNumber,
                   const std::string& line) {
  if (!tryStrToFloat(PZD(s, dec), s.DecimalSep)) {
    throw ConvertError(coordinateNotANumberText(lineNumber, line, dec));
  }
}

}  // namespace

std::string separatorCharacter(const std::string& setting) {
  return setting == "Tab" ? std::string("\t") : setting;
}

int GetText(Session& s, const std::string& line, int index) {
  const int lineNumber = index + 1;
  const std::string sep = separatorCharacter(s.InputSeparator);
  // Without a separator the first value is empty and the whole line is the second.
  const int at = pos(sep, line);
  const std::string first =
      at == 0 ? std::string() : line.substr(0, static_cast<std::size_t>(at - 1));
  const std::string second =
      at == 0 ? line : line.substr(static_cast<std::size_t>(at - 1) + sep.size());
  const std::string& latText = s.InputLatFirst ? first : second;
  const std::string& lonText = s.InputLatFirst ? second : first;

  // A value that is no number of the notation is no position at all, not 0: the record is
  // passed over (and counted), or the run ends when the user chose Abort.
  std::optional<std::string> lon = toDecimal(s, lonText, false);
  std::optional<std::string> lat = lon ? toDecimal(s, latText, true) : std::nullopt;
  if (!lon || !lat) {
    PointRecord& p = s.CurrentPoint;
    setRouteFileDefaults(p);
    p.PointValid = false;
    s.skippedRecords.add(index);
    return 0;
  }
  requireNumber(s, *lon, lineNumber, line);
  requireNumber(s, *lat, lineNumber, line);
  setLongitudeFromDecimal(s, *lon, lineNumber);
  setLatitudeFromDecimal(s, *lat, lineNumber);
  setRouteFileDefaults(s.CurrentPoint);
  return coordinatesOnGlobe(s, line, lineNumber);
}

bool textRecognized(const Session& s, const TextLines& lines) {
  return pos(separatorCharacter(s.InputSeparator), lines.at(0)) > 0;
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
  const std::string sep = separatorCharacter(s.OutputSeparator);
  return s.OutputLatFirst ? *lat + sep + *lon : *lon + sep + *lat;
}

void buildTextGMS(Session& s, const RoutePoint&) {
  s.OutputLines.add(textLine(s, TextNotation::GMS));
}
void buildTextGM(Session& s, const RoutePoint&) {
  s.OutputLines.add(textLine(s, TextNotation::GM));
}
void buildTextDG(Session& s, const RoutePoint&) {
  s.OutputLines.add(textLine(s, TextNotation::DG));
}
void buildTextMer(Session& s, const RoutePoint&) {
  s.OutputLines.add(textLine(s, TextNotation::Mer));
}

}  // namespace kursolin
