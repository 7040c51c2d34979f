#include "formats/registry.h"

#include <algorithm>
#include <cctype>

#include "core/cp1252.h"
#include "core/host.h"
#include "core/textutil.h"
#include "formats/autoroute.h"
#include "formats/bcr.h"
#include "formats/coordtext.h"
#include "formats/falk.h"
#include "formats/gpx.h"
#include "formats/navigon.h"
#include "formats/nmea_log.h"
#include "formats/ovl.h"
#include "formats/table.h"
#include "formats/tomtom.h"
#include "formats/touratech.h"
#include "formats/tourenxml.h"
#include "track/nmea.h"

namespace kursolin {

namespace {

const std::string q = "\"";

bool readNavigon(Session& s, const std::string& line, int index) {
  return GetMN(s, line, index) == 1;
}
bool readTouratech(Session& s, const std::string& line, int index) {
  return GetTTQV(s, line, index) == 1;
}
bool readOVL(Session& s, const std::string& line, int index) {
  return GetOVL_X(s, line, index) == 1;
}
bool readXML(Session& s, const std::string& line, int index) {
  return GetXML(s, line, index) == 1;
}
bool readBCR(Session& s, const std::string& line, int index) {
  return GetBCR(s, line, index) == 1;
}
// Tourenplaner XML files have no recognition test: whatever items the scan finds are the route.
bool everyFileUsable(Session&) { return true; }

bool navigon4Recognized(Session& s) { return navigonRecognized(s.doc.InputLines, 8); }
bool navigon5Recognized(Session& s) {
  s.doc.InputLayout = countChar(s.doc.InputLines.at(0), '|') == 17;
  return navigonRecognized(s.doc.InputLines, 9);
}

bool readTomTom(Session& s, const std::string& line, int index) {
  return GetTT(s, line, index) == 1;
}
bool tomTomCheck(Session& s) { return tomTomRecognized(s.doc.InputLines); }

bool readText(Session& s, const std::string& line, int index) {
  return GetText(s, line, index) == 1;
}
bool textCheck(Session& s) { return textRecognized(s, s.doc.InputLines); }

bool navigon4Found(const Session&, const FileSample& f) { return navigonRecognized(f.lines, 8); }
bool navigon5Found(const Session&, const FileSample& f) { return navigonRecognized(f.lines, 9); }
bool tomTomFound(const Session&, const FileSample& f) { return tomTomRecognized(f.lines); }

// The fields of a filter "description|pattern|description|pattern".
std::vector<std::string> splitFilter(const std::string& filter) { return splitAt(filter, '|'); }

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
void addDetectionFilters(InputFormatInfo& detect, const std::vector<InputFormatInfo>& rows) {
  std::vector<std::string> patterns, entries;
  for (const auto& r : rows) {
    if (r.detects || !r.available() || !r.recognize) continue;
    const std::vector<std::string> fields = splitFilter(r.filter + "|" + r.moreFilters);
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
      const std::string entry = fields[i] + "|" + fields[i + 1];
      if (std::find(entries.begin(), entries.end(), entry) == entries.end() &&
          fields[i + 1] != "*")
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

std::vector<InputFormatInfo> makeInputs() {
  const RuleGroups route = RuleGroups::DistanceOnly;
  const std::vector<const OptionInfo*> textInputOptions = {
      &InputSeparator.info, &InputSeparatorText.info, &InputLatFirst.info,
      &InputFreeSeparator.info, &TEFreeEdit.info};
  // Receivers and loggers also name their logs ".nmea" or ".log"; the first entry shows them all.
  const std::string nmeaFilter = "NMEA Datei(*.txt;*.nmea;*.log)|*.txt;*.nmea;*.log";
  // Text files without a known extension count as plain text on the desktop.
  const std::vector<std::string> nmeaMime = {"text/plain", "text/x-log"};
  const std::string xmlFilter = "Tourenplaner " + q + "XML" + q + " Routendatei|*.xml|" +
                                "Tourenplaner " + q + "TEF" + q + " Routendatei|*.tef";
  // clang-format off
  std::vector<InputFormatInfo> rows = {
    {.code = kAutoInputFormat, .cliName = "auto", .menuItem = "IN_Auto",
     .caption = "Automatisch erkennen", .shortcut = "Ctrl+F2",
     .label = "Eingabeformat automatisch erkennen", .dialogTitle = "Datei laden",
     .failureCaption = "Dateiformat nicht erkannt!", .countKind = CountKind::Plain,
     .detects = true},
    {.code = 20, .cliName = "txt-dms", .menuItem = "In_Text_GMS", .parentItem = "In_NaviTextTab",
     .caption = "im Format   Grad ° Minute' Sekunde"_cp + q, .shortcut = "Ctrl+Shift+F1",
     .labelText = textGmsLabel, .shortName = "txt",
     .dialogTitle = "Koordinaten aus Textdatei im Format Gr-Min-Sek laden",
     .filter = "Textdatei im Format Gr-Min-Sek(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"},
     .failureCaptionText = textGmsFailureCaption, .messageText = textGmsMessage,
     .statusPrefix = " = ", .groups = route, .check = textCheck, .readA = readText,
     .recognize = textGmsFound, .options = textInputOptions},
    {.code = 21, .cliName = "txt-dm", .menuItem = "In_Text_GM", .parentItem = "In_NaviTextTab",
     .caption = "im Format   Grad ° Minute'"_cp, .shortcut = "Ctrl+Shift+F2",
     .labelText = textGmLabel, .shortName = "txt",
     .dialogTitle = "Koordinaten aus Textdatei im Format Gr-Min laden",
     .filter = "Textdatei im Format Gr-Min(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"},
     .failureCaptionText = textGmFailureCaption, .messageText = textGmMessage,
     .statusPrefix = " = ", .groups = route, .check = textCheck, .readA = readText,
     .recognize = textGmFound, .options = textInputOptions},
    {.code = 22, .cliName = "txt-deg", .menuItem = "In_Text_DG", .parentItem = "In_NaviTextTab",
     .caption = "im Format   Dezimal Grad", .shortcut = "Ctrl+Shift+F3",
     .labelText = textDgLabel, .shortName = "txt",
     .dialogTitle = "Koordinaten aus Textdatei im Dezimalgrad Format laden",
     .filter = "Textdatei im Dezimalgrad-Format(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"},
     .failureCaptionText = textDgFailureCaption, .messageText = textDgMessage,
     .statusPrefix = " = ", .groups = route, .check = textCheck, .readA = readText,
     .recognize = textDgFound, .options = textInputOptions},
    {.code = 23, .cliName = "txt-mercator", .menuItem = "In_Text_Mer",
     .parentItem = "In_NaviTextTab", .caption = "im Format   Mercator",
     .shortcut = "Ctrl+Shift+F4", .labelText = textMerLabel, .shortName = "txt",
     .dialogTitle = "Koordinaten aus Textdatei im Mercator Format laden",
     .filter = "Textdatei im Merkator Format(*.txt)|*.txt", .defaultExt = "txt",
     .mimeTypes = {"text/plain"},
     .failureCaptionText = textMerFailureCaption, .messageText = textMerMessage,
     .statusPrefix = " = ", .groups = route, .check = textCheck, .readA = readText,
     .recognize = textMerFound, .options = textInputOptions},
    {.code = 8, .cliName = "mn4", .menuItem = "In_MN4", .caption = "Navigon MN|4 + 4.1",
     .shortcut = "Ctrl+F3", .label = "Navigon MN|4 oder 4.1 Routendatei", .shortName = "RTE",
     .dialogTitle = "Navigon MN|4 oder MN|4.1 Routendatei laden",
     .filter = "Navigon MN4 / 4.1 Routendatei(*.rte)|*.rte", .defaultExt = "rte",
     .mimeTypes = {"text/plain"},
     .failureCaption = "Navigon MN|4 oder 4.1 Routendatei Fehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4 oder 4.1 "
                "Routendatei",
     .statusPrefix = "Navigon MN|4 oder 4.1 Routendatei = ", .groups = route,
     .check = navigon4Recognized, .readA = readNavigon, .recognize = navigon4Found},
    {.code = 9, .cliName = "mn42-mn5", .menuItem = "In_MN5", .caption = "Navigon MN|4.2 + MN5",
     .shortcut = "Ctrl+F4", .label = "Navigon MN|4.2 oder MN5 Routendatei", .shortName = "RTE",
     .dialogTitle = "Navigon MN|4.2 oder MN5 Routendatei laden",
     .filter = "Navigon MN4.2 / MN5 Routendatei(*.rte)|*.rte", .defaultExt = "rte",
     .mimeTypes = {"text/plain"},
     .failureCaption = "Navigon MN|4.2 oder MN5 Routendatei Fehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4.2 Routendatei",
     .statusPrefix = "Navigon MN|4.2 oder MN5  Routendatei = ", .groups = route,
     .check = navigon5Recognized, .readA = readNavigon, .recognize = navigon5Found},
    {.code = 1, .cliName = "gga-vtg", .menuItem = "IN_GGAVTG", .parentItem = "In_NMEA",
     .parentChecked = true, .caption = "GGA und VTG Datensätze auswerten"_cp,
     .shortcut = "Ctrl+G", .label = "NEMA Log " + q + "GGA + VTG" + q, .shortName = "GGA + VTG",
     .dialogTitle = "NMEA Datei laden", .filter = nmeaFilter, .defaultExt = "txt",
     .mimeTypes = nmeaMime,
     .failureCaption = "NEMA-Dateifehler keine GGA od. VTG Datensätze erkannt!"_cp,
     .message = "Keine verwertbaren GGA oder VTG Datensätze erkannt oder keine NEMA-Datei"_cp,
     .statusPrefix = "NEMA Log Datei " + q + " GGA+VTG " + q + "= ", .groups = RuleGroups::All,
     .check = ggaVtgRecognized, .readA = readGgaRecord, .readB = GetVTG, .pairsRecords = true,
     .hasBRecords = ggaLogHasVtg, .recordLine = isGgaVtgRecordLine,
     .recordedAt = nmeaRecordedAt, .recognize = ggaVtgLogFound},
    {.code = 2, .cliName = "rmc", .menuItem = "IN_RMC", .parentItem = "In_NMEA",
     .parentChecked = true, .caption = "RMC Datensätze auswerten"_cp, .shortcut = "Ctrl+M",
     .label = "NEMA Log " + q + "RMC" + q, .shortName = "RMC",
     .dialogTitle = "NMEA Datei laden", .filter = nmeaFilter, .defaultExt = "txt",
     .mimeTypes = nmeaMime,
     .failureCaption = "NEMA - Dateifehler keine RMC Datensätze erkannt!"_cp,
     .message = "Keine verwertbaren RMC Datensätze erkannt oder keine NEMA-Datei"_cp,
     .statusPrefix = "NEMA Log Datei " + q + "RMC" + q + " = ", .groups = RuleGroups::All,
     .check = rmcRecognized, .readA = GetRMC, .recordLine = isRmcRecordLine,
     .recordedAt = nmeaRecordedAt, .recognize = rmcLogFound},
    {.code = 3, .cliName = "ovl", .menuItem = "IN_OVL", .caption = "Top50 OVL Routen",
     .shortcut = "Ctrl+F5", .label = "OVL - Datensätze"_cp, .shortName = "OVL",
     .dialogTitle = "OVL Datei laden", .filter = "OVL Datei(*.ovl)|*.ovl", .defaultExt = "ovl",
     .mimeTypes = {"text/plain"},
     .failureCaption = "OVL - Dateifehler",
     .message = "Keine verwertbaren Daten enthalten oder keine OVL-Datei",
     .statusPrefix = "OVL Datei = ", .statusOnlyWhenUsable = true,
     .countKind = CountKind::Pairs, .groups = route, .check = ovlRecognized, .readA = readOVL,
     .recognize = ovlFound},
    {.code = 10, .cliName = "itn", .menuItem = "IN_TT3", .caption = "TomTom  ITN Dateien",
     .shortcut = "Ctrl+F6", .label = "TomTom Routendatei", .shortName = "ITN",
     .dialogTitle = "TomTom Routendatei laden", .filter = "TomTom Routendatei(*.itn)|*.itn",
     .defaultExt = "itn", .mimeTypes = {"text/plain"},
     .failureCaption = "TomTom Routendatei Fehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine TomTom Routendatei",
     .statusPrefix = "TomTom Routendatei = ", .groups = route, .check = tomTomCheck,
     .readA = readTomTom, .recognize = tomTomFound},
    {.code = 4, .cliName = "xml-stations", .menuItem = "IN_TP_Stationen",
     .parentItem = "IN_TP_XML", .parentChecked = true, .caption = "Nur Stationen auswerten",
     .shortcut = "Ctrl+N", .label = "Tourenplaner XML-Datei nur Stationen",
     .shortName = "XML Stationen", .dialogTitle = "Tourenplaner XML Datei laden",
     .filter = xmlFilter, .defaultExt = "xml", .mimeTypes = {"application/xml"},
     .failureCaption = "Tourenplaner XML-Dateifehler!",
     .statusPrefix = "Tourenplaner XML-Datei = ", .groups = route, .load = loadTourenXML,
     .check = everyFileUsable, .readA = readXML, .recognize = tourenXmlFound},
    {.code = 5, .cliName = "xml-all", .menuItem = "IN_TP_All", .parentItem = "IN_TP_XML",
     .parentChecked = true, .caption = "Alle Koordinaten auswerten", .shortcut = "Ctrl+K",
     .label = "Tourenplaner XML-Datei alle Koordinaten", .shortName = "XML alle Koordinaten",
     .dialogTitle = "Tourenplaner XML Datei laden", .filter = xmlFilter, .defaultExt = "xml",
     .mimeTypes = {"application/xml"}, .failureCaption = "Tourenplaner XML-Dateifehler!",
     .statusPrefix = "Tourenplaner XML-Datei = ", .groups = route, .load = loadTourenXML,
     .check = everyFileUsable, .readA = readXML, .recognize = tourenXmlFound},
    {.code = 6, .cliName = "bcr", .menuItem = "IN_TP_BCR", .caption = "Tourenplaner BCR Datei",
     .shortcut = "Ctrl+F7", .label = "Tourenplaner BCR-Datei", .shortName = "BCR",
     .dialogTitle = "Tourenplaner BCR Datei laden",
     .filter = "Tourenplaner BCR Datei(*.BCR)|*.BCR", .defaultExt = "BCR",
     .mimeTypes = {"text/plain"},
     .failureCaption = "Tourenplaner BCR-Dateifehler!",
     .message = "Keine verwertbaren Informationen erkannt oder keine Tourenplaner BCR-Datei",
     .statusPrefix = "Tourenplaner BCR-Datei = ", .countKind = CountKind::Stations,
     .groups = route, .check = bcrRecognized, .readA = readBCR, .recognize = bcrFound},
    {.code = 24, .cliName = "qv3", .menuItem = "IN_TQV", .caption = "Touratech QV3",
     .shortcut = "Ctrl+F8", .label = "TouraTech TTQV Datei", .shortName = "Touratech TTQV ",
     .dialogTitle = "Touratech Routendaten laden",
     // Touratech QV keeps its databases as ".qu3"; older versions and copies as ".mdb".
     .filter = "Touratech Routendaten (*.qu3;*.mdb)|*.qu3;*.mdb", .defaultExt = "qu3",
     .mimeTypes = {"application/vnd.ms-access"},
     .failureCaption = "TouraTech TTQV Datei-Fehler!", .statusPrefix = " = ",
     .countKind = CountKind::Plain, .groups = RuleGroups::DistanceHeadingMinDist,
     .load = LoadTQVFile, .check = touratechUsable, .readA = readTouratech,
     .recognize = touratechFound},
    {.code = 25, .cliName = "gpx", .menuItem = "IN_GPX",
     .caption = "GPX Datei (Track, Route oder Wegpunkte)", .label = "GPX Datei",
     .shortName = "GPX", .dialogTitle = "GPX Datei laden",
     .filter = "GPX Datei(*.gpx)|*.gpx|Alle Dateien (*)|*", .defaultExt = "gpx",
     .mimeTypes = {"application/gpx+xml"},
     .failureCaption = kGpxFailureCaption,
     .message = "Keine verwertbaren Punkte erkannt oder keine GPX Datei",
     .statusPrefix = "GPX Datei = ", .countKind = CountKind::Points, .groups = RuleGroups::All,
     .load = LoadGPXFile, .check = gpxPointsLoaded, .readA = readGpxRecord,
     .recognize = gpxFound},
    // Reserved: only the load operation still knows its dialog texts.
    {.code = 7, .menuItem = "In_NaviTextTab", .menuEntry = false,
     .caption = "Koordinatenpaar aus Textdatei", .dialogTitle = "Koordinaten aus Textdatei Tab getrennt laden",
     .filter = "Textdatei Tab getrennt(*.txt)|*.txt", .defaultExt = "txt",
     .countKind = CountKind::Plain},
  };
  // clang-format on
  addDetectionFilters(rows.front(), rows);
  return rows;
}

std::vector<OutputFormatInfo> makeOutputs() {
  const std::vector<const OptionInfo*> textOutputOptions = {
      &OutputSeparator.info, &OutputLatFirst.info, &OutputFreeSeparator.info, &TAFreeEdit.info};
  // clang-format off
  return {
    {.code = 0, .cliName = "mn4", .menuItem = "MN4Data",
     .caption = "Navigon Mobile Navigator MN|4.0 + 4.1", .shortcut = "F2",
     .label = "MN|4.0 + 4.1 ", .pointInfo = true,
     .prepare = ResetNaviFields, .write = buildMN4, .positionTexts = kDecimalTexts, .limit = &MpMN,
     .splitCaption = " Kursolin Ausgabedatei für Navigon MN|4 oder MN|4.1 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Navigon MN|4 - RTE Datei "_cp,
     .saveTitle = "Route als Navigon MN4.0 oder 4.1 Routendatei speichern", .saveExt = ".rte",
     .saveFilter = "Navigon MN4.0 + 4.1 Routendatei (*.rte)|*.rte", .defaultExt = "rte",
     .options = {&MpMN.info, &MN4ShowOrt.info}},
    {.code = 1, .cliName = "mn42", .menuItem = "MN42Data",
     .caption = "Navigon Mobile Navigator MN|4.2", .shortcut = "F3",
     .label = "MN|4.2 ", .pointInfo = true,
     .prepare = ResetNaviFields, .write = buildMN42, .positionTexts = kDecimalTexts, .limit = &MpMN,
     .splitCaption = " Kursolin Ausgabedatei für Navigon MN|4.2 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Navigon MN|4.2 - RTE Datei "_cp,
     .saveTitle = "Route als Navigon MN|4.2 Routendatei speichern", .saveExt = ".rte",
     .saveFilter = "Navigon MN4.2 Routendatei (*.rte)|*.rte", .defaultExt = "rte",
     .options = {&MpMN.info, &MN42ShowOrt.info}},
    {.code = 2, .cliName = "mn5", .menuItem = "MN5Data",
     .caption = "Navigon Mobile Navigator MN 5", .shortcut = "F4",
     .label = "MN5 ", .pointInfo = true, .prepare = ResetNaviFields, .write = buildMN5, .positionTexts = kDecimalTexts,
     .limit = &MpMN,
     .splitCaption = " Kursolin Ausgabedatei für Navigon MN5 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Navigon MN5 - RTE Datei "_cp,
     .saveTitle = "Route als Navigon MN5 Routendatei speichern", .saveExt = ".rte",
     .saveFilter = "Navigon MN5 Routendatei (*.rte)|*.rte", .defaultExt = "rte",
     .options = {&MpMN.info, &MN5ShowOrt.info}},
    {.code = 3, .cliName = "itn", .menuItem = "TTData", .caption = "TomTom  Routendatei",
     .shortcut = "F5", .label = "TomTom ", .write = buildTT, .positionTexts = kDecimalTexts,
     .finish = SetTTFlag, .limit = &MpTT3,
     .splitCaption = " Kursolin Ausgabedatei für TomTom vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die TomTom - ITN Datei "_cp,
     .saveTitle = "Route als TomTom Routendatei speichern", .saveExt = ".itn",
     .saveFilter = "TomTom  Routendatei (*.itn)|*.itn", .defaultExt = "itn",
     .options = {&MpTT3.info, &TTFlags.info, &TTShowOrt.info}},
    {.code = 4, .cliName = "autoroute", .menuItem = "AutoData",
     .caption = "Microsoft AutoRoute Importdatei ab Vers.2002", .shortcut = "F6",
     .label = "AutoRoute ", .write = buildAutoRoute, .positionTexts = kDecimalTexts,
     .saveTitle = "Route als Microsoft AutoRoute Importdatei speichern", .saveExt = ".csv",
     .saveFilter = "Microsoft AutoRoute Importdatei (*.csv)|*.csv", .defaultExt = "csv"},
    {.code = 5, .cliName = "bcr", .menuItem = "BCRData", .caption = "Tourenplaner  BCR Datei",
     .shortcut = "F7", .label = "Tourenplaner BCR Datei ",
     .write = buildBCR, .positionTexts = kOtherPositionTexts, .limit = &MpMTP, .writeFiles = SaveBCR,
     .alwaysSplitDialog = true,
     .splitCaption = " Kursolin Ausgabedatei für den Tourenplaner vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Tourenplaner - BCR Datei"_cp,
     .saveTitle = "Route im Tourenplaner Format speichern", .saveExt = ".BCR",
     .saveFilter = "Tourenplaner Dateiformat (*.BCR)|*.BCR", .defaultExt = "BCR",
     .saveBase = &BcrRouteName, .saveDir = &BcrDirectory, .routeTitle = &BcrRouteTitle,
     .titleNamesFile = &RDeskripToFN, .routeDescription = &Beschreibung,
     .options = {&MpMTP.info, &BcrDirectory.info, &RNHeader.info, &RDeskripToFN.info,
                 &PIndex.info, &OPTIMIZATION.info, &PREFERNICE_C.info, &ALTROUTE_C.info,
                 &CORRUSED_C.info, &TRAFFICUSED_C.info, &PREFERMAUT_C.info, &PREFERVIGN_C.info,
                 &Beschreibung.info, &BcrRouteTitle.info, &BcrRouteName.info}},
    {.code = 7, .cliName = "falk", .menuItem = "FPrvData",
     .caption = "Falk Previousdestination Datei", .shortcut = "F8",
     .label = "Falk PreviousDestination Datei ", .prepare = prepareFalkRecord,
     .write = buildFalk, .positionTexts = kOtherPositionTexts, .finish = SetFprvFlag, .limit = &MpFalk,
     .countsRoutePoints = true, .writeFiles = SaveFPrv,
     .splitCaption = " Kursolin Ausgabedatei für Falk PreviousDestination Datei vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die Falk PreviousDestin. Datei "_cp,
     .reverseRefusal =
         "Routen im Falk PreviosDestination Format können nicht umgekehrt werden !"_cp,
     .saveTitle = "Route als Falk PreviousDestination Datei speichern", .saveExt = ".dat",
     .saveFixedName = "PreviousDestination",
     .saveFilter = "Falk PreviousDestination Datei (*.dat)|*.dat", .defaultExt = "dat",
     .options = {&MpFalk.info, &FalkFlags.info}},
    {.code = 6, .cliName = "csv", .menuItem = "CSVData",
     .caption = "Routendaten für Tabellen ausgeben"_cp, .shortcut = "F9",
     .label = "CSV Datei ", .pointTable = true, .write = buildTable,
     .reverseRefusal = "Routen in Tabellenform können nicht umgekehrt werden !"_cp,
     .saveTitle = "Route als CSV Datei " + q + "Semikolon getrennt" + q + " speichern",
     .saveExt = ".csv",
     .saveFilter = "CSV Dateiformat " + q + "Semikolon getrennt" + q + " (*.csv)|*.csv",
     .defaultExt = "csv", .options = {&CsvSeparator.info}},
    {.code = 24, .cliName = "gpx", .menuItem = "GPXData", .caption = "GPX 1.1 Datei",
     .label = "GPX 1.1 Datei ", .prepare = prepareGpxRecord,
     .write = buildGpx, .positionTexts = kDecimalTexts, .finish = finishGpx, .limit = &MpGPX,
     .pointLine = isGpxPointLine,
     .splitCaption = " Kursolin Ausgabedatei für GPX 1.1 vorbereiten"_cp,
     .splitInfoTail = " vorgegebenen Routenpunkte für die GPX 1.1 Datei "_cp,
     .fileBytes = gpxFileBytes, .saveTitle = "Route als GPX 1.1 Datei speichern",
     .saveExt = ".gpx", .saveFilter = "GPX 1.1 Datei (*.gpx)|*.gpx", .defaultExt = "gpx",
     .options = {&MpGPX.info}},
    {.code = 20, .cliName = "txt-dms", .menuItem = "GMSData",
     .caption = "im Format   Grad \xB0 Minute' Sekunde" + q, .shortcut = "Ctrl+Alt+G",
     .label = "G\xB0M" + q + "S Texdateidatei ", .textSubmenu = true,
     .write = buildTextGMS,
     .saveTitle = "Koordinatenpaare im Format Grad Minute Sekunde speichern", .saveExt = ".txt",
     .saveFilter = "Koordinatenpaare im Format Gr Min Sek (*.txt)|*.txt", .defaultExt = "txt", .options = textOutputOptions},
    {.code = 21, .cliName = "txt-dm", .menuItem = "GMData",
     .caption = "im Format   Grad \xB0 Minute'", .shortcut = "Ctrl+Alt+M",
     .label = "G\xB0M" + q + " Texdateidatei ", .textSubmenu = true,
     .write = buildTextGM,
     .saveTitle = "Koordinatenpaare im Format Grad Minute speichern", .saveExt = ".txt",
     .saveFilter = "Koordinatenpaare im Format Gr Min (*.txt)|*.txt", .defaultExt = "txt", .options = textOutputOptions},
    {.code = 22, .cliName = "txt-deg", .menuItem = "DGData",
     .caption = "im Format   Dezimal Grad", .shortcut = "Ctrl+Alt+D",
     .label = "Dezimalgrad Texdateidatei ", .textSubmenu = true,
     .write = buildTextDG,
     .saveTitle = "Koordinatenpaare im Dezimalgrad Format speichern", .saveExt = ".txt",
     .saveFilter = "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", .defaultExt = "txt", .options = textOutputOptions},
    {.code = 23, .cliName = "txt-mercator", .menuItem = "MerData",
     .caption = "im Format   Mercator", .shortcut = "Ctrl+Alt+R",
     .label = "Mercator Texdateidatei ", .textSubmenu = true,
     .write = buildTextMer,
     .saveTitle = "Koordinatenpaare im Mercator Format speichern", .saveExt = ".txt",
     .saveFilter = "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", .defaultExt = "txt", .options = textOutputOptions},
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

// The rows are looked up by code for every record and every point: an index, made once.
template <class Row>
std::vector<const Row*> indexByCode(const std::vector<Row>& rows) {
  std::vector<const Row*> index;
  for (const auto& r : rows) {
    const auto at = static_cast<std::size_t>(r.code);
    if (at >= index.size()) index.resize(at + 1, nullptr);
    index[at] = &r;
  }
  return index;
}

template <class Row>
const Row* rowAt(const std::vector<const Row*>& index, int code) {
  return code >= 0 && static_cast<std::size_t>(code) < index.size()
             ? index[static_cast<std::size_t>(code)]
             : nullptr;
}

template <class Row>
const Row* byName(const std::vector<Row>& rows, const std::string& text) {
  for (const auto& r : rows) {
    if (!r.cliName.empty() && r.cliName == text) return &r;
  }
  if (auto v = tryStrToInt(text)) {
    const Row* r = byCode(rows, static_cast<int>(*v));
    if (r && !r->cliName.empty()) return r;
  }
  return nullptr;
}

}  // namespace

const std::vector<InputFormatInfo>& inputFormats() {
  static const std::vector<InputFormatInfo> rows = makeInputs();
  return rows;
}

std::vector<std::string> fileExtensionsOf(const InputFormatInfo& f) {
  std::vector<std::string> out;
  const std::vector<std::string> fields = splitFilter(f.filter + "|" + f.moreFilters);
  for (std::size_t i = 1; i < fields.size(); i += 2) {
    for (const std::string& p : splitPatterns(fields[i])) {
      if (p.size() < 3 || p.compare(0, 2, "*.") != 0) continue;
      std::string ext = p.substr(2);
      for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (std::find(out.begin(), out.end(), ext) == out.end()) out.push_back(ext);
    }
  }
  return out;
}

const std::vector<int>& detectionOrder() {
  // Whole-file signatures first (GPX, databases, Tourenplaner XML, BCR, OVL), then NMEA logs,
  // the route files told by their separators, and the coordinate texts last, whose notations
  // are told apart by their values (Mercator before decimal degrees before degree-minutes).
  // Tourenplaner XML reads all coordinates, which follow the planned roads, before stations
  // only; a log of GGA and VTG sentences (with RMC or without) as GGA + VTG, which carries the
  // altitude.
  static const std::vector<int> order = {25, 24, 5, 4, 6, 3, 1, 2, 8, 9, 10, 20, 23, 22, 21};
  return order;
}

const std::vector<FormatSubmenu>& inputSubmenus() {
  static const std::vector<FormatSubmenu> menus = {
      {"In_NaviTextTab", "Koordinatenpaar aus Textdatei"},
      {"In_NMEA", "NMEA Log "},
      {"IN_TP_XML", "Tourenplaner XML oder TEF  Datei"},
  };
  return menus;
}

const InputFormatInfo* inputFormat(int code) {
  static const std::vector<const InputFormatInfo*> index = indexByCode(inputFormats());
  return rowAt(index, code);
}

const InputFormatInfo* inputFormatNamed(const std::string& nameOrCode) {
  return byName(inputFormats(), nameOrCode);
}

bool inputFormatAvailable(int code) {
  const InputFormatInfo* f = inputFormat(code);
  return f && f->available();
}

std::string inputLabelFor(const Session& s, int code) {
  const InputFormatInfo* f = inputFormat(code);
  if (!f || !f->menuEntry) return s.doc.InputLabel;
  return f->labelText ? f->labelText(s) : f->label;
}

std::string failureCaptionFor(const Session& s, int code) {
  const InputFormatInfo* f = inputFormat(code);
  if (!f) return {};
  return f->failureCaptionText ? f->failureCaptionText(s) : f->failureCaption;
}

std::string failureMessageFor(const Session& s, int code) {
  const InputFormatInfo* f = inputFormat(code);
  if (!f) return {};
  return f->messageText ? f->messageText(s) : f->message;
}

const std::vector<OutputFormatInfo>& outputFormats() {
  static const std::vector<OutputFormatInfo> rows = makeOutputs();
  return rows;
}

const FormatSubmenu& textOutputSubmenu() {
  static const FormatSubmenu menu{"KTXTData", "Koordinatenpaar als Textdatei"};
  return menu;
}

const OutputFormatInfo* outputFormat(int code) {
  static const std::vector<const OutputFormatInfo*> index = indexByCode(outputFormats());
  return rowAt(index, code);
}

const OutputFormatInfo* outputFormatNamed(const std::string& nameOrCode) {
  return byName(outputFormats(), nameOrCode);
}

const OutputFormatInfo* chosenOutputFormat(const Session& s) { return outputFormat(s.opt.OutputFormat); }

bool outputFormatAvailable(int code) {
  const OutputFormatInfo* f = outputFormat(code);
  return f && f->available();
}

const std::vector<const OptionInfo*>& allFormatOptions() {
  static const std::vector<const OptionInfo*> options = [] {
    std::vector<const OptionInfo*> all;
    const auto add = [&all](const std::vector<const OptionInfo*>& some) {
      for (const OptionInfo* o : some) {
        if (std::find(all.begin(), all.end(), o) == all.end()) all.push_back(o);
      }
    };
    for (const auto& f : inputFormats()) add(f.options);
    for (const auto& f : outputFormats()) add(f.options);
    return all;
  }();
  return options;
}

std::vector<const OptionPage*> settingsPages() {
  std::vector<const OptionPage*> pages;
  for (const OptionInfo* o : allFormatOptions()) {
    for (const OptionField& f : o->fields) {
      if (f.page && !f.page->splitDialog &&
          std::find(pages.begin(), pages.end(), f.page) == pages.end())
        pages.push_back(f.page);
    }
  }
  std::stable_sort(pages.begin(), pages.end(),
                   [](const OptionPage* a, const OptionPage* b) { return a->order < b->order; });
  return pages;
}

std::vector<OptionFieldRef> fieldsOn(const OptionPage& page) {
  std::vector<OptionFieldRef> fields;
  for (const OptionInfo* o : allFormatOptions()) {
    for (const OptionField& f : o->fields) {
      if (f.page == &page) fields.push_back({o, &f});
    }
  }
  return fields;
}

std::vector<const OptionPage*> groupsOf(const OptionPage& panel) {
  std::vector<const OptionPage*> groups;
  for (const OptionInfo* o : allFormatOptions()) {
    for (const OptionField& f : o->fields) {
      if (f.page && f.page->parent == &panel &&
          std::find(groups.begin(), groups.end(), f.page) == groups.end())
        groups.push_back(f.page);
    }
  }
  std::stable_sort(groups.begin(), groups.end(),
                   [](const OptionPage* a, const OptionPage* b) { return a->order < b->order; });
  return groups;
}

const OptionInfo* optionWithRole(const OptionPage& page, FieldRole role) {
  for (const OptionFieldRef& f : fieldsOn(page)) {
    if (f.field->role == role) return f.option;
  }
  return nullptr;
}

namespace {
bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}
}  // namespace

const OptionInfo* findFormatOption(std::string_view section, std::string_view key) {
  for (const OptionInfo* o : allFormatOptions()) {
    if (o->persisted() && equalsNoCase(o->section, section) && equalsNoCase(o->key, key)) return o;
  }
  return nullptr;
}

std::string inputOptionsKey(const Session& s) {
  std::string key;
  bool first = true;
  for (const OptionInfo* o : allFormatOptions()) {
    if (!o->reloadsInput) continue;
    // Values are separated by a byte no text of the settings file holds.
    if (!first) key += '\0';
    first = false;
    const OptionValue& v = s.opt.formats.value(*o);
    if (const auto* t = std::get_if<std::string>(&v)) {
      key += *t;
    } else if (const auto* n = std::get_if<long long>(&v)) {
      key += std::to_string(*n);
    } else {
      key += std::get<bool>(v) ? "1" : "0";
    }
  }
  return key;
}

void markInputOptionsSeen(Session& s) { s.opt.inputOptionsAtSettings = inputOptionsKey(s); }

bool inputOptionsChanged(const Session& s) {
  return s.opt.inputOptionsAtSettings != inputOptionsKey(s);
}

bool OutMN4(const Session& s) { return s.opt.OutputFormat == 0; }
bool OutMN42(const Session& s) { return s.opt.OutputFormat == 1; }
bool OutMN5(const Session& s) { return s.opt.OutputFormat == 2; }
bool OutTT(const Session& s) { return s.opt.OutputFormat == 3; }
bool OutAuto(const Session& s) { return s.opt.OutputFormat == 4; }
bool OutBCR(const Session& s) { return s.opt.OutputFormat == 5; }
bool OutCSV(const Session& s) { return s.opt.OutputFormat == 6; }
bool OutFPrv(const Session& s) { return s.opt.OutputFormat == 7; }
bool OutGMS(const Session& s) { return s.opt.OutputFormat == 20; }
bool OutGM(const Session& s) { return s.opt.OutputFormat == 21; }
bool OutDG(const Session& s) { return s.opt.OutputFormat == 22; }
bool OutMer(const Session& s) { return s.opt.OutputFormat == 23; }
bool OutGPX(const Session& s) { return s.opt.OutputFormat == 24; }

}  // namespace kursolin
