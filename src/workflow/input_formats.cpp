#include "workflow/input_formats.h"

#include "core/cp1252.h"
#include "core/textutil.h"
#include "formats/navigon.h"

namespace kursolin {

namespace {

bool anyLineStartsWith(const TextLines& lines, const char* prefix) {
  const std::string_view p(prefix);
  for (const auto& l : lines.lines()) {
    if (l.compare(0, p.size(), p) == 0) return true;
  }
  return false;
}

bool checkGgaVtg(Session& s) {
  return anyLineStartsWith(s.InputLines, "$GPGGA") && anyLineStartsWith(s.InputLines, "$GPVTG");
}

bool checkRmc(Session& s) { return anyLineStartsWith(s.InputLines, "$GPRMC"); }

bool checkMN4(Session& s) { return navigonRecognized(s.InputLines, 8); }

bool checkMN5(Session& s) {
  s.InputIsMN5 = countChar(s.InputLines.at(0), '|') == 17;
  return navigonRecognized(s.InputLines, 9);
}

std::vector<InputFormatInfo> makeTable() {
  const std::string q = "\"";
  auto row = [](int code, const char* item, const char* parent, std::string caption,
                const char* key, std::string shortName, std::string title, std::string filter,
                const char* ext, std::string message, std::string status, CountKind count,
                RuleGroups groups, LoadCheck check) {
    InputFormatInfo f;
    f.code = code;
    f.menuItem = item;
    f.parentItem = parent;
    f.caption = std::move(caption);
    f.shortcut = key;
    f.shortName = std::move(shortName);
    f.dialogTitle = std::move(title);
    f.filter = std::move(filter);
    f.defaultExt = ext;
    f.message = std::move(message);
    f.statusPrefix = std::move(status);
    f.countKind = count;
    f.groups = groups;
    f.check = check;
    return f;
  };
  const auto C = [](const char* utf8) { return utf8ToCp1252(utf8); };
  const RuleGroups route = RuleGroups::DistanceOnly;
  std::vector<InputFormatInfo> t;
  t.push_back(row(20, "In_Text_GMS", "In_NaviTextTab", C("im Format   Grad ° Minute' Sekunde") + q,
                  "Ctrl+Shift+F1", "txt", "Koordinaten aus Textdatei im Format Gr-Min-Sek laden",
                  "Textdatei im Format Gr-Min-Sek(*.txt)|*.txt", "txt", "", " = ",
                  CountKind::Lines, route, nullptr));
  t.push_back(row(21, "In_Text_GM", "In_NaviTextTab", C("im Format   Grad ° Minute'"),
                  "Ctrl+Shift+F2", "txt", "Koordinaten aus Textdatei im Format Gr-Min laden",
                  "Textdatei im Format Gr-Min(*.txt)|*.txt", "txt", "", " = ", CountKind::Lines,
                  route, nullptr));
  t.push_back(row(22, "In_Text_DG", "In_NaviTextTab", "im Format   Dezimal Grad", "Ctrl+Shift+F3",
                  "txt", "Koordinaten aus Textdatei im Dezimalgrad Format laden",
                  "Textdatei im Dezimalgrad-Format(*.txt)|*.txt", "txt", "", " = ",
                  CountKind::Lines, route, nullptr));
  t.push_back(row(23, "In_Text_Mer", "In_NaviTextTab", "im Format   Mercator", "Ctrl+Shift+F4",
                  "txt", "Koordinaten aus Textdatei im Mercator Format laden",
                  "Textdatei im Merkator Format(*.txt)|*.txt", "txt", "", " = ", CountKind::Lines,
                  route, nullptr));
  t.push_back(row(8, "In_MN4", "", "Navigon MN|4 + 4.1", "Ctrl+F3", "RTE",
                  "Navigon MN|4 oder MN|4.1 Routendatei laden",
                  "Navigon MN4 / 4.1 Routendatei(*.rte)|*.rte", "rte",
                  "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4 oder 4.1 Routendatei",
                  "Navigon MN|4 oder 4.1 Routendatei = ", CountKind::Lines, route, checkMN4));
  t.push_back(row(9, "In_MN5", "", "Navigon MN|4.2 + MN5", "Ctrl+F4", "RTE",
                  "Navigon MN|4.2 oder MN5 Routendatei laden",
                  "Navigon MN4.2 / MN5 Routendatei(*.rte)|*.rte", "rte",
                  "Keine verwertbaren Informationen erkannt oder keine Navigon MN|4.2 Routendatei",
                  "Navigon MN|4.2 oder MN5  Routendatei = ", CountKind::Lines, route, checkMN5));
  t.push_back(row(1, "IN_GGAVTG", "In_NMEA", C("GGA und VTG Datensätze auswerten"), "Ctrl+G",
                  "GGA + VTG", "NMEA Datei laden", "NMEA Datei(*.txt)|*.txt", "txt",
                  "Keine verwertbaren GGA oder VTG Datens\xE4tze erkannt oder keine NEMA-Datei",
                  "NEMA Log Datei " + q + " GGA+VTG " + q + "= ", CountKind::Lines,
                  RuleGroups::All, checkGgaVtg));
  t.push_back(row(2, "IN_RMC", "In_NMEA", C("RMC Datensätze auswerten"), "Ctrl+M", "RMC",
                  "NMEA Datei laden", "NMEA Datei(*.txt)|*.txt", "txt",
                  "Keine verwertbaren RMC Datens\xE4tze erkannt oder keine NEMA-Datei",
                  "NEMA Log Datei " + q + "RMC" + q + " = ", CountKind::Lines, RuleGroups::All,
                  checkRmc));
  t.push_back(row(3, "IN_OVL", "", "Top50 OVL Routen", "Ctrl+F5", "OVL", "OVL Datei laden",
                  "OVL Datei(*.ovl)|*.ovl", "ovl",
                  "Keine verwertbaren Daten enthalten oder keine OVL-Datei", "OVL Datei = ",
                  CountKind::Pairs, route, nullptr));
  t.push_back(row(10, "IN_TT3", "", "TomTom  ITN Dateien", "Ctrl+F6", "ITN",
                  "TomTom Routendatei laden", "TomTom Routendatei(*.itn)|*.itn", "itn",
                  "Keine verwertbaren Informationen erkannt oder keine TomTom Routendatei",
                  "TomTom Routendatei = ", CountKind::Lines, route, nullptr));
  const std::string xmlFilter = "Tourenplaner " + q + "XML" + q + " Routendatei|*.xml|" +
                                "Tourenplaner " + q + "TEF" + q + " Routendatei|*.tef";
  t.push_back(row(4, "IN_TP_Stationen", "IN_TP_XML", "Nur Stationen auswerten", "Ctrl+N",
                  "XML Stationen", "Tourenplaner XML Datei laden", xmlFilter, "xml", "",
                  "Tourenplaner XML-Datei = ", CountKind::Lines, route, nullptr));
  t.push_back(row(5, "IN_TP_All", "IN_TP_XML", "Alle Koordinaten auswerten", "Ctrl+K",
                  "XML alle Koordinaten", "Tourenplaner XML Datei laden", xmlFilter, "xml", "",
                  "Tourenplaner XML-Datei = ", CountKind::Lines, route, nullptr));
  t.push_back(row(6, "IN_TP_BCR", "", "Tourenplaner BCR Datei", "Ctrl+F7", "BCR",
                  "Tourenplaner BCR Datei laden", "Tourenplaner BCR Datei(*.BCR)|*.BCR", "BCR",
                  "Keine verwertbaren Informationen erkannt oder keine Tourenplaner BCR-Datei",
                  "Tourenplaner BCR-Datei = ", CountKind::Stations, route, nullptr));
  t.push_back(row(24, "IN_TQV", "", "Touratech QV3", "Ctrl+F8", "Touratech TTQV ",
                  "Touratech Routendaten laden", "Touratech Routendaten (*.qu3)|*.qu3", "qu3", "",
                  " = ", CountKind::Plain, RuleGroups::DistanceHeadingMinDist, nullptr));
  t.push_back(row(7, "In_NaviTextTab", "", "Koordinatenpaar aus Textdatei", "", "",
                  "Koordinaten aus Textdatei Tab getrennt laden",
                  "Textdatei Tab getrennt(*.txt)|*.txt", "txt", "", "", CountKind::Plain,
                  RuleGroups::None, nullptr));
  return t;
}

}  // namespace

const std::vector<InputFormatInfo>& inputFormats() {
  static const std::vector<InputFormatInfo> table = makeTable();
  return table;
}

const InputFormatInfo* inputFormat(int code) {
  for (const auto& f : inputFormats()) {
    if (f.code == code) return &f;
  }
  return nullptr;
}

bool inputFormatAvailable(int code) {
  const InputFormatInfo* f = inputFormat(code);
  return f && f->check;
}

std::string inputLabelFor(const Session& s, int code) {
  const std::string q = "\"";
  const std::string tail = " " + q + " getr.";
  switch (code) {
    case 1: return "NEMA Log " + q + "GGA + VTG" + q;
    case 2: return "NEMA Log " + q + "RMC" + q;
    case 3: return "OVL - Datens\xE4tze";
    case 4: return "Tourenplaner XML-Datei nur Stationen";
    case 5: return "Tourenplaner XML-Datei alle Koordinaten";
    case 6: return "Tourenplaner BCR-Datei";
    case 8: return "Navigon MN|4 oder 4.1 Routendatei";
    case 9: return "Navigon MN|4.2 oder MN5 Routendatei";
    case 10: return "TomTom Routendatei";
    case 20:
      return "Textdatei im Format Gr\xB0 Min\xB4 Sek" + q + " " + q + " " + s.InputSeparatorText +
             tail;
    case 21: return "Textdatei im Format Gr\xB0 Min\xB4 " + s.InputSeparatorText + tail;
    case 22: return "Textdatei im Dezimalgrad Format " + s.InputSeparatorText + tail;
    case 23: return "Textdatei im Mercator Format " + s.InputSeparatorText + tail;
    case 24: return "TouraTech TTQV Datei";
    default: return s.InputLabel;
  }
}

std::string failureCaptionFor(const Session& s, int code) {
  const std::string q = "\"";
  const std::string tail = s.InputSeparatorText + " " + q + " getrennt Fehler!";
  switch (code) {
    case 1: return "NEMA-Dateifehler keine GGA od. VTG Datens\xE4tze erkannt!";
    case 2: return "NEMA - Dateifehler keine RMC Datens\xE4tze erkannt!";
    case 3: return "OVL - Dateifehler";
    case 4:
    case 5: return "Tourenplaner XML-Dateifehler!";
    case 6: return "Tourenplaner BCR-Dateifehler!";
    case 8: return "Navigon MN|4 oder 4.1 Routendatei Fehler!";
    case 9: return "Navigon MN|4.2 oder MN5 Routendatei Fehler!";
    case 10: return "TomTom Routendatei Fehler!";
    case 20:
      return "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 Sek" + q + " " + q + " " + tail;
    case 21: return "Koordinaten aus Textdatei im Format Gr\xB0 Min\xB4 " + q + " " + tail;
    case 22: return "Koordinaten aus Textdatei im Dezimalgrad Format " + q + " " + tail;
    case 23: return "Koordinaten aus Textdatei im Mercator Format " + q + " " + tail;
    case 24: return "TouraTech TTQV Datei-Fehler!";
    default: return {};
  }
}

std::string failureMessageFor(const Session& s, int code) {
  const std::string q = "\"";
  const std::string head =
      "Keine verwertbaren Informationen erkannt oder keine " + q + " " + s.InputSeparatorText +
      " " + q;
  switch (code) {
    case 20: return head + " getrennte Textdatei im Format Gr\xB0 Min\xB4 Sek" + q;
    case 21: return head + " getrennte Textdatei im Format Gr\xB0 Min\xB4 ";
    case 22: return head + " getrennte Textdatei im Dezimalgrad Format";
    case 23: return head + " getrennte Textdatei im Mercator Format";
    default: {
      const InputFormatInfo* f = inputFormat(code);
      return f ? f->message : std::string();
    }
  }
}

const std::vector<std::string>& distanceGroup() {
  static const std::vector<std::string> g = {"MeterCheck", "MeterSpin", "Label1", "MeterSpeedEdit",
                                             "Label4"};
  return g;
}
const std::vector<std::string>& headingGroup() {
  static const std::vector<std::string> g = {"GradCheck", "GradEdit", "Label5", "GradSpeedEdit",
                                             "Label6"};
  return g;
}
const std::vector<std::string>& stopGroup() {
  static const std::vector<std::string> g = {"PauseCheck", "PauseEdit", "Label7"};
  return g;
}
const std::vector<std::string>& timeGroup() {
  static const std::vector<std::string> g = {"ZeitCheck", "ZeitSpin", "Label2"};
  return g;
}
const std::vector<std::string>& minDistGroup() {
  static const std::vector<std::string> g = {"Label3", "MinDistEdit", "Label8"};
  return g;
}

namespace {
void setGroup(Session& s, const std::vector<std::string>& g, bool on) {
  for (const auto& name : g) s.item(name).enabled = on;
}
}  // namespace

void setAllRuleGroups(Session& s, bool enabled) {
  for (const auto* g : {&distanceGroup(), &headingGroup(), &stopGroup(), &timeGroup(),
                        &minDistGroup()})
    setGroup(s, *g, enabled);
  s.item("Zeitangabe").enabled = enabled;
  s.item("Zeitangabe").visible = enabled;
}

void enableRuleGroups(Session& s, RuleGroups groups) {
  switch (groups) {
    case RuleGroups::None: break;
    case RuleGroups::All: setAllRuleGroups(s, true); break;
    case RuleGroups::DistanceOnly:
      setGroup(s, distanceGroup(), true);
      s.item("MeterSpeedEdit").enabled = false;
      break;
    case RuleGroups::DistanceHeadingMinDist:
      setGroup(s, distanceGroup(), true);
      setGroup(s, headingGroup(), true);
      setGroup(s, minDistGroup(), true);
      break;
  }
}

}  // namespace kursolin
