#include "workflow/presentation.h"

#include <algorithm>
#include <cctype>

#include "core/cp1252.h"
#include "core/textutil.h"
#include "formats/coordtext.h"
#include "formats/gpx.h"
#include "formats/registry.h"
#include "formats/table.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

const std::string q = "\"";

std::string labelTail() {
  return " " + q + " getr.";
}
std::string failureTail(const Session& s) {
  return s.opt.get(InputSeparatorText) + " " + q + " getrennt Fehler!";
}
std::string messageHead(const Session& s) {
  return "Keine verwertbaren Informationen erkannt oder keine " + q + " " +
         s.opt.get(InputSeparatorText) + " " + q;
}

}  // namespace

std::string textGmsLabel(const Session& s) {
  return "Textdatei im Format Gr\xB0 Min\xB4 Sek" + q + " " + q + " " +
         s.opt.get(InputSeparatorText) + labelTail();
}
std::string textGmLabel(const Session& s) {
  return "Textdatei im Format Gr\xB0 Min\xB4 " + s.opt.get(InputSeparatorText) + labelTail();
}
std::string textDgLabel(const Session& s) {
  return "Textdatei im Dezimalgrad Format " + s.opt.get(InputSeparatorText) + labelTail();
}
std::string textMerLabel(const Session& s) {
  return "Textdatei im Mercator Format " + s.opt.get(InputSeparatorText) + labelTail();
}

namespace {

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

// The fields of a filter "description|pattern|description|pattern".
std::vector<std::string> splitFilter(const std::string& filter) {
  return splitAt(filter, '|');
}

// The patterns of one filter entry, "*.txt;*.nmea".
std::vector<std::string> splitPatterns(const std::string& patterns) {
  std::vector<std::string> out;
  for (std::string one : splitAt(patterns, ';')) {
    while (!one.empty() && one.front() == ' ') one.erase(0, 1);
    while (!one.empty() && one.back() == ' ') one.pop_back();
    if (!one.empty()) out.push_back(one);
  }
  return out;
}

// "Automatisch erkennen" opens any file the program reads: its first filter lists every
// extension of the formats, the formats' own filters follow; it takes their desktop types.
void addDetectionFilters(InputPresentation& detect, const std::vector<InputPresentation>& rows) {
  std::vector<std::string> patterns, entries;
  for (const auto& r : rows) {
    const InputFormatInfo* f = inputFormat(r.code);
    if (!f || f->detects || !f->available() || !f->recognize) continue;
    const std::vector<std::string> fields = splitFilter(r.filter + "|" + r.moreFilters);
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
      const std::string entry = fields[i] + "|" + fields[i + 1];
      if (std::find(entries.begin(), entries.end(), entry) == entries.end() && fields[i + 1] != "*")
        entries.push_back(entry);
      for (const std::string& p : splitPatterns(fields[i + 1])) {
        if (p != "*" && std::find(patterns.begin(), patterns.end(), p) == patterns.end())
          patterns.push_back(p);
      }
    }
    for (const std::string& m : r.mimeTypes) {
      auto& types = detect.mimeTypes;
      if (std::find(types.begin(), types.end(), m) == types.end()) types.push_back(m);
    }
  }
  std::string all;
  for (const auto& p : patterns) all += (all.empty() ? "" : ";") + p;
  detect.filter = "Alle lesbaren Dateien(" + all + ")|" + all;
  for (const auto& e : entries) detect.moreFilters += (detect.moreFilters.empty() ? "" : "|") + e;
}

std::vector<InputPresentation> makeInputs() {
  // Receivers and loggers also name their logs ".nmea" or ".log"; the first entry shows them all.
  const std::string nmeaFilter = "NMEA Datei(*.txt;*.nmea;*.log)|*.txt;*.nmea;*.log";
  // Text files without a known extension count as plain text on the desktop.
  const std::vector<std::string> nmeaMime = {"text/plain", "text/x-log"};
  const std::string xmlFilter = "Tourenplaner " + q + "XML" + q + " Routendatei|*.xml|" +
                                "Tourenplaner " + q + "TEF" + q + " Routendatei|*.tef";
  // clang-format off
  std::vector<InputPresentation> rows = {
    {.code = kAutoInputFormat, .menuItem = "IN_Auto", .caption = "Automatisch erkennen",
     .shortcut = "Ctrl+F2", .label = "Eingabeformat automatisch erkennen",
     .dialogTitle = "Datei laden", .failureCaption = "Dateiformat nicht erkannt!",
     .countKind = CountKind::Plain},
    {.code = 20, .menuItem = "In_Text_GMS", .parentItem = "In_NaviTextTab",
     .caption = "im Format   Grad ° Minute' Sekunde"_cp + q, .shortcut = "Ctrl+Shift+F1",
     .labelText = textGmsLabel, .shortName = "txt",
     .dialogTitle = "Koordinaten aus Textdatei im Format Gr-Min-Sek laden",
     .filter = "Textdatei im Format Gr-Min-Sek(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"}, .failureCaptionText = textGmsFailureCaption,
     .messageText = textGmsMessage, .statusPrefix = " = "},
    {.code = 21, .menuItem = "In_Text_GM", .parentItem = "In_NaviTextTab",
     .caption = "im Format   Grad ° Minute'"_cp, .shortcut = "Ctrl+Shift+F2",
     .labelText = textGmLabel, .shortName = "txt",
     .dialogTitle = "Koordinaten aus Textdatei im Format Gr-Min laden",
     .filter = "Textdatei im Format Gr-Min(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"}, .failureCaptionText = textGmFailureCaption,
     .messageText = textGmMessage, .statusPrefix = " = "},
    {.code = 22, .menuItem = "In_Text_DG", .parentItem = "In_NaviTextTab",
     .caption = "im Format   Dezimal Grad", .shortcut = "Ctrl+Shift+F3", .labelText = textDgLabel,
     .shortName = "txt", .dialogTitle = "Koordinaten aus Textdatei im Dezimalgrad Format laden",
     .filter = "Textdatei im Dezimalgrad-Format(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"}, .failureCaptionText = textDgFailureCaption,
     .messageText = textDgMessage, .statusPrefix = " = "},
    {.code = 23, .menuItem = "In_Text_Mer", .parentItem = "In_NaviTextTab",
     .caption = "im Format   Mercator", .shortcut = "Ctrl+Shift+F4", .labelText = textMerLabel,
     .shortName = "txt", .dialogTitle = "Koordinaten aus Textdatei im Mercator Format laden",
     .filter = "Textdatei im Merkator Format(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"}, .failureCaptionText = textMerFailureCaption,
     .messageText = textMerMessage, .statusPrefix = " = "},
    {.code = 8, .menuItem = "In_MN4", .caption = "Navigon MN|4 + 4.1", .shortcut = "Ctrl+F3",
     .label = "Navigon MN|4 oder 4.1 Routendatei", .shortName = "RTE",
     .dialogTitle = "Navigon MN|4 oder MN|4.1 Routendatei laden",
     .filter = "Navigon MN4 / 4.1 Routendatei(*.rte)|*.rte", .defaultExt = "rte",
     .mimeTypes = {"text/plain"}, .failureCaption = "Navigon MN|4 oder 4.1 Routendatei Fehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4 oder 4.1 " "Routendatei",
     .statusPrefix = "Navigon MN|4 oder 4.1 Routendatei = "},
    {.code = 9, .menuItem = "In_MN5", .caption = "Navigon MN|4.2 + MN5", .shortcut = "Ctrl+F4",
     .label = "Navigon MN|4.2 oder MN5 Routendatei", .shortName = "RTE",
     .dialogTitle = "Navigon MN|4.2 oder MN5 Routendatei laden",
     .filter = "Navigon MN4.2 / MN5 Routendatei(*.rte)|*.rte", .defaultExt = "rte",
     .mimeTypes = {"text/plain"}, .failureCaption = "Navigon MN|4.2 oder MN5 Routendatei Fehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4.2 Routendatei",
     .statusPrefix = "Navigon MN|4.2 oder MN5  Routendatei = "},
    {.code = 1, .menuItem = "IN_GGAVTG", .parentItem = "In_NMEA", .parentChecked = true,
     .caption = "GGA und VTG Datensätze auswerten"_cp, .shortcut = "Ctrl+G",
     .label = "NEMA Log " + q + "GGA + VTG" + q, .shortName = "GGA + VTG",
     .dialogTitle = "NMEA Datei laden", .filter = nmeaFilter, .defaultExt = "txt",
     .mimeTypes = nmeaMime,
     .failureCaption = "NEMA-Dateifehler keine GGA od. VTG Datensätze erkannt!"_cp,
     .message = "Keine verwertbaren GGA oder VTG Datensätze erkannt oder keine NEMA-Datei"_cp,
     .statusPrefix = "NEMA Log Datei " + q + " GGA+VTG " + q + "= "},
    {.code = 2, .menuItem = "IN_RMC", .parentItem = "In_NMEA", .parentChecked = true,
     .caption = "RMC Datensätze auswerten"_cp, .shortcut = "Ctrl+M",
     .label = "NEMA Log " + q + "RMC" + q, .shortName = "RMC", .dialogTitle = "NMEA Datei laden",
     .filter = nmeaFilter, .defaultExt = "txt", .mimeTypes = nmeaMime,
     .failureCaption = "NEMA - Dateifehler keine RMC Datensätze erkannt!"_cp,
     .message = "Keine verwertbaren RMC Datensätze erkannt oder keine NEMA-Datei"_cp,
     .statusPrefix = "NEMA Log Datei " + q + "RMC" + q + " = "},
    {.code = 3, .menuItem = "IN_OVL", .caption = "Top50 OVL Routen", .shortcut = "Ctrl+F5",
     .label = "OVL - Datensätze"_cp, .shortName = "OVL", .dialogTitle = "OVL Datei laden",
     .filter = "OVL Datei(*.ovl)|*.ovl", .defaultExt = "ovl", .mimeTypes = {"text/plain"},
     .failureCaption = "OVL - Dateifehler",
     .message = "Keine verwertbaren Daten enthalten oder keine OVL-Datei",
     .statusPrefix = "OVL Datei = ", .statusOnlyWhenUsable = true, .countKind = CountKind::Pairs},
    {.code = 10, .menuItem = "IN_TT3", .caption = "TomTom  ITN Dateien", .shortcut = "Ctrl+F6",
     .label = "TomTom Routendatei", .shortName = "ITN", .dialogTitle = "TomTom Routendatei laden",
     .filter = "TomTom Routendatei(*.itn)|*.itn", .defaultExt = "itn", .mimeTypes = {"text/plain"},
     .failureCaption = "TomTom Routendatei Fehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine TomTom Routendatei",
     .statusPrefix = "TomTom Routendatei = "},
    {.code = 4, .menuItem = "IN_TP_Stationen", .parentItem = "IN_TP_XML", .parentChecked = true,
     .caption = "Nur Stationen auswerten", .shortcut = "Ctrl+N",
     .label = "Tourenplaner XML-Datei nur Stationen", .shortName = "XML Stationen",
     .dialogTitle = "Tourenplaner XML Datei laden", .filter = xmlFilter, .defaultExt = "xml",
     .mimeTypes = {"application/xml"}, .failureCaption = "Tourenplaner XML-Dateifehler!",
     .statusPrefix = "Tourenplaner XML-Datei = "},
    {.code = 5, .menuItem = "IN_TP_All", .parentItem = "IN_TP_XML", .parentChecked = true,
     .caption = "Alle Koordinaten auswerten", .shortcut = "Ctrl+K",
     .label = "Tourenplaner XML-Datei alle Koordinaten", .shortName = "XML alle Koordinaten",
     .dialogTitle = "Tourenplaner XML Datei laden", .filter = xmlFilter, .defaultExt = "xml",
     .mimeTypes = {"application/xml"}, .failureCaption = "Tourenplaner XML-Dateifehler!",
     .statusPrefix = "Tourenplaner XML-Datei = "},
    {.code = 6, .menuItem = "IN_TP_BCR", .caption = "Tourenplaner BCR Datei",
     .shortcut = "Ctrl+F7", .label = "Tourenplaner BCR-Datei", .shortName = "BCR",
     .dialogTitle = "Tourenplaner BCR Datei laden",
     .filter = "Tourenplaner BCR Datei(*.BCR)|*.BCR", .defaultExt = "BCR",
     .mimeTypes = {"text/plain"}, .failureCaption = "Tourenplaner BCR-Dateifehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine Tourenplaner BCR-Datei",
     .statusPrefix = "Tourenplaner BCR-Datei = ", .countKind = CountKind::Stations},
    {.code = 24, .menuItem = "IN_TQV", .caption = "Touratech QV3", .shortcut = "Ctrl+F8",
     .label = "TouraTech TTQV Datei", .shortName = "Touratech TTQV ",
     .dialogTitle = "Touratech Routendaten laden",
     .filter = "Touratech Routendaten (*.qu3;*.mdb)|*.qu3;*.mdb", .defaultExt = "qu3",
     .mimeTypes = {"application/vnd.ms-access"}, .failureCaption = "TouraTech TTQV Datei-Fehler!",
     .statusPrefix = " = ", .countKind = CountKind::Plain},
    {.code = 25, .menuItem = "IN_GPX", .caption = "GPX Datei (Track, Route oder Wegpunkte)",
     .label = "GPX Datei", .shortName = "GPX", .dialogTitle = "GPX Datei laden",
     .filter = "GPX Datei(*.gpx)|*.gpx|Alle Dateien (*)|*", .defaultExt = "gpx",
     .mimeTypes = {"application/gpx+xml"}, .failureCaption = kGpxFailureCaption,
     .message = "Keine verwertbaren Punkte erkannt oder keine GPX Datei",
     .statusPrefix = "GPX Datei = ", .countKind = CountKind::Points},
    {.code = 7, .menuItem = "In_NaviTextTab", .menuEntry = false,
     .caption = "Koordinatenpaar aus Textdatei",
     .dialogTitle = "Koordinaten aus Textdatei Tab getrennt laden",
     .filter = "Textdatei Tab getrennt(*.txt)|*.txt", .defaultExt = "txt",
     .countKind = CountKind::Plain},
  };
  // clang-format on
  addDetectionFilters(rows.front(), rows);
  return rows;
}

std::vector<OutputPresentation> makeOutputs() {
  // clang-format off
  return {
    {.code = 0, .menuItem = "MN4Data", .caption = "Navigon Mobile Navigator MN|4.0 + 4.1",
     .shortcut = "F2", .label = "MN|4.0 + 4.1 ", .pointInfo = true,
     .splitCaption = " Kursolin Ausgabedatei für Navigon MN|4 oder MN|4.1 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Navigon MN|4 - RTE Datei "_cp,
     .saveTitle = "Route als Navigon MN4.0 oder 4.1 Routendatei speichern",
     .saveFilter = "Navigon MN4.0 + 4.1 Routendatei (*.rte)|*.rte", .defaultExt = "rte"},
    {.code = 1, .menuItem = "MN42Data", .caption = "Navigon Mobile Navigator MN|4.2",
     .shortcut = "F3", .label = "MN|4.2 ", .pointInfo = true,
     .splitCaption = " Kursolin Ausgabedatei für Navigon MN|4.2 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Navigon MN|4.2 - RTE Datei "_cp,
     .saveTitle = "Route als Navigon MN|4.2 Routendatei speichern",
     .saveFilter = "Navigon MN4.2 Routendatei (*.rte)|*.rte", .defaultExt = "rte"},
    {.code = 2, .menuItem = "MN5Data", .caption = "Navigon Mobile Navigator MN 5",
     .shortcut = "F4", .label = "MN5 ", .pointInfo = true,
     .splitCaption = " Kursolin Ausgabedatei für Navigon MN5 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Navigon MN5 - RTE Datei "_cp,
     .saveTitle = "Route als Navigon MN5 Routendatei speichern",
     .saveFilter = "Navigon MN5 Routendatei (*.rte)|*.rte", .defaultExt = "rte"},
    {.code = 3, .menuItem = "TTData", .caption = "TomTom  Routendatei", .shortcut = "F5",
     .label = "TomTom ", .splitCaption = " Kursolin Ausgabedatei für TomTom vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die TomTom - ITN Datei "_cp,
     .saveTitle = "Route als TomTom Routendatei speichern",
     .saveFilter = "TomTom  Routendatei (*.itn)|*.itn", .defaultExt = "itn"},
    {.code = 4, .menuItem = "AutoData", .caption = "Microsoft AutoRoute Importdatei ab Vers.2002",
     .shortcut = "F6", .label = "AutoRoute ",
     .saveTitle = "Route als Microsoft AutoRoute Importdatei speichern",
     .saveFilter = "Microsoft AutoRoute Importdatei (*.csv)|*.csv", .defaultExt = "csv"},
    {.code = 5, .menuItem = "BCRData", .caption = "Tourenplaner  BCR Datei", .shortcut = "F7",
     .label = "Tourenplaner BCR Datei ",
     .splitCaption = " Kursolin Ausgabedatei für den Tourenplaner vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Tourenplaner - BCR Datei"_cp,
     .saveTitle = "Route im Tourenplaner Format speichern",
     .saveFilter = "Tourenplaner Dateiformat (*.BCR)|*.BCR", .defaultExt = "BCR"},
    {.code = 7, .menuItem = "FPrvData", .caption = "Falk Previousdestination Datei",
     .shortcut = "F8", .label = "Falk PreviousDestination Datei ",
     .splitCaption = " Kursolin Ausgabedatei für Falk PreviousDestination Datei vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Falk PreviousDestin. Datei "_cp,
     .reverseRefusal = "Routen im Falk PreviosDestination Format können nicht umgekehrt werden !"_cp,
     .saveTitle = "Route als Falk PreviousDestination Datei speichern",
     .saveFilter = "Falk PreviousDestination Datei (*.dat)|*.dat", .defaultExt = "dat"},
    {.code = 6, .menuItem = "CSVData", .caption = "Routendaten für Tabellen ausgeben"_cp,
     .shortcut = "F9", .label = "CSV Datei ",
     .reverseRefusal = "Routen in Tabellenform können nicht umgekehrt werden !"_cp,
     .saveTitle = "Route als CSV Datei " + q + "Semikolon getrennt" + q + " speichern",
     .saveFilter = "CSV Dateiformat " + q + "Semikolon getrennt" + q + " (*.csv)|*.csv",
     .defaultExt = "csv", .tableHeaders = pointTableHeaders(), .tableWidths = pointTableWidths()},
    {.code = 24, .menuItem = "GPXData", .caption = "GPX 1.1 Datei", .label = "GPX 1.1 Datei ",
     .splitCaption = " Kursolin Ausgabedatei für GPX 1.1 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die GPX 1.1 Datei "_cp,
     .saveTitle = "Route als GPX 1.1 Datei speichern", .saveFilter = "GPX 1.1 Datei (*.gpx)|*.gpx",
     .defaultExt = "gpx"},
    {.code = 20, .menuItem = "GMSData", .caption = "im Format   Grad \xB0 Minute' Sekunde" + q,
     .shortcut = "Ctrl+Alt+G", .label = "G\xB0M" + q + "S Texdateidatei ", .textSubmenu = true,
     .saveTitle = "Koordinatenpaare im Format Grad Minute Sekunde speichern",
     .saveFilter = "Koordinatenpaare im Format Gr Min Sek (*.txt)|*.txt", .defaultExt = "txt"},
    {.code = 21, .menuItem = "GMData", .caption = "im Format   Grad \xB0 Minute'",
     .shortcut = "Ctrl+Alt+M", .label = "G\xB0M" + q + " Texdateidatei ", .textSubmenu = true,
     .saveTitle = "Koordinatenpaare im Format Grad Minute speichern",
     .saveFilter = "Koordinatenpaare im Format Gr Min (*.txt)|*.txt", .defaultExt = "txt"},
    {.code = 22, .menuItem = "DGData", .caption = "im Format   Dezimal Grad",
     .shortcut = "Ctrl+Alt+D", .label = "Dezimalgrad Texdateidatei ", .textSubmenu = true,
     .saveTitle = "Koordinatenpaare im Dezimalgrad Format speichern",
     .saveFilter = "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", .defaultExt = "txt"},
    {.code = 23, .menuItem = "MerData", .caption = "im Format   Mercator",
     .shortcut = "Ctrl+Alt+R", .label = "Mercator Texdateidatei ", .textSubmenu = true,
     .saveTitle = "Koordinatenpaare im Mercator Format speichern",
     .saveFilter = "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", .defaultExt = "txt"},
  };
  // clang-format on
}

template <class Row>
const Row* byCode(const std::vector<Row>& rows, int code) {
  for (const auto& r : rows) {
    if (r.code == code) return &r;
  }
  return nullptr;
}

}  // namespace

const std::vector<InputPresentation>& inputPresentations() {
  static const std::vector<InputPresentation> rows = makeInputs();
  return rows;
}

const InputPresentation* inputPresentation(int code) {
  return byCode(inputPresentations(), code);
}

const std::vector<FormatSubmenu>& inputSubmenus() {
  static const std::vector<FormatSubmenu> menus = {
      {"In_NaviTextTab", "Koordinatenpaar aus Textdatei"},
      {"In_NMEA", "NMEA Log "},
      {"IN_TP_XML", "Tourenplaner XML oder TEF  Datei"},
  };
  return menus;
}

std::string inputLabelFor(const Session& s, int code) {
  const InputPresentation* p = inputPresentation(code);
  if (!p || !p->menuEntry) return s.doc.InputLabel;
  return p->labelText ? p->labelText(s) : p->label;
}

std::string failureCaptionFor(const Session& s, int code) {
  const InputPresentation* p = inputPresentation(code);
  if (!p) return {};
  return p->failureCaptionText ? p->failureCaptionText(s) : p->failureCaption;
}

std::string failureMessageFor(const Session& s, int code) {
  const InputPresentation* p = inputPresentation(code);
  if (!p) return {};
  return p->messageText ? p->messageText(s) : p->message;
}

std::vector<std::string> fileExtensionsOf(const InputPresentation& p) {
  std::vector<std::string> out;
  const std::vector<std::string> fields = splitFilter(p.filter + "|" + p.moreFilters);
  for (std::size_t i = 1; i < fields.size(); i += 2) {
    for (const std::string& pattern : splitPatterns(fields[i])) {
      if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0) continue;
      std::string ext = pattern.substr(2);
      for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (std::find(out.begin(), out.end(), ext) == out.end()) out.push_back(ext);
    }
  }
  return out;
}

std::string notRecognizedText(const Session& s, const std::string& path) {
  std::string text = "Das Format der Datei " + path + " wurde nicht erkannt." + kCR +
                     "Gepr\xFC"
                     "ft wurden, in dieser Reihenfolge:";
  for (int code : detectionOrder()) {
    if (inputFormatAvailable(code)) text += kCR + ("  " + inputLabelFor(s, code));
  }
  text += kCR + std::string("Bitte das Eingabeformat selbst w\xE4hlen.");
  return text;
}

const std::vector<OutputPresentation>& outputPresentations() {
  static const std::vector<OutputPresentation> rows = makeOutputs();
  return rows;
}

const OutputPresentation* outputPresentation(int code) {
  return byCode(outputPresentations(), code);
}

const OutputPresentation* chosenOutputPresentation(const Session& s) {
  return outputPresentation(s.opt.OutputFormat);
}

const FormatSubmenu& textOutputSubmenu() {
  static const FormatSubmenu menu{"KTXTData", "Koordinatenpaar als Textdatei"};
  return menu;
}

}  // namespace kursolin
