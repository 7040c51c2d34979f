#include "cli/cli.h"

#include <algorithm>
#include <istream>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/host.h"
#include "core/ranges.h"
#include "core/split_plan.h"
#include "dialogs/split_dialog.h"
#include "formats/registry.h"
#include "picture/mbtiles.h"
#include "picture/picture.h"
#include "session/session.h"
#include "settings/devices.h"
#include "settings/settings.h"
#include "track/generator.h"
#include "workflow/devices.h"
#include "workflow/loading.h"
#include "workflow/presentation.h"
#include "workflow/program.h"
#include "workflow/reduce.h"
#include "workflow/reverse.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin::cli {

namespace {

// Formats in the order of their codes, for the help text.
template <class Row>
std::vector<const Row*> byCode(const std::vector<Row>& rows) {
  std::vector<const Row*> sorted;
  for (const auto& r : rows) {
    if (!r.cliName.empty()) sorted.push_back(&r);
  }
  std::sort(sorted.begin(), sorted.end(), [](const Row* a, const Row* b) { return a->code < b->code; });
  return sorted;
}

// The menu caption of a format's row.
std::string captionOf(const InputFormatInfo& f) {
  const InputPresentation* p = inputPresentation(f.code);
  return p ? p->caption : std::string();
}
std::string captionOf(const OutputFormatInfo& f) {
  const OutputPresentation* p = outputPresentation(f.code);
  return p ? p->caption : std::string();
}

// The rows of a format list: codes right-aligned, names and captions each in a column of their
// own, as wide as the widest entry needs.
template <class Row>
std::string formatTable(const std::vector<const Row*>& rows) {
  std::size_t codeWidth = 0, nameWidth = 0;
  for (const Row* r : rows) {
    codeWidth = std::max(codeWidth, std::to_string(r->code).size());
    nameWidth = std::max(nameWidth, r->cliName.size());
  }
  std::string table;
  for (const Row* r : rows) {
    const std::string code = std::to_string(r->code);
    table += "  " + std::string(codeWidth - code.size(), ' ') + code + "  " + r->cliName +
             std::string(nameWidth - r->cliName.size() + 2, ' ') + cp1252ToUtf8(captionOf(*r));
    if (!r->available()) table += "  (noch nicht verfügbar)";
    table += "\n";
  }
  return table;
}

// Messages leave the program in the terminal's encoding; the core's texts are cp1252.
std::string forTerminal(const std::string& cp1252Text) {
  std::string t = cp1252ToUtf8(cp1252Text);
  std::string out;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\r') {
      out += '\n';
      if (i + 1 < t.size() && t[i + 1] == '\n') ++i;
    } else {
      out += t[i];
    }
  }
  return out;
}

const char* kindName(PromptKind k) {
  switch (k) {
    case PromptKind::Error: return "Fehler";
    case PromptKind::Warning: return "Warnung";
    case PromptKind::Information: return "Hinweis";
    case PromptKind::Confirmation: return "Frage";
  }
  return "";
}

// Answers the core's questions by the policy given on the command line.
class PolicyPort : public UserPort {
 public:
  PolicyPort(std::ostream& err, bool strict, bool yes) : err_(err), strict_(strict), yes_(yes) {}

  PromptAnswer prompt(PromptKind kind, PromptButtons buttons, const std::string& text) override {
    PromptAnswer a = PromptAnswer::Ok;
    const char* said = "";
    switch (buttons) {
      case PromptButtons::AbortIgnore:
        a = strict_ ? PromptAnswer::Abort : PromptAnswer::Ignore;
        said = strict_ ? "Abbrechen" : "Ignorieren";
        break;
      case PromptButtons::Abort:
        a = PromptAnswer::Abort;
        break;
      case PromptButtons::Ok:
        a = PromptAnswer::Ok;
        break;
      case PromptButtons::YesNo:
        a = yes_ ? PromptAnswer::Yes : PromptAnswer::No;
        said = yes_ ? "Ja" : "Nein";
        break;
      case PromptButtons::YesCancel:
        a = yes_ ? PromptAnswer::Yes : PromptAnswer::Cancel;
        said = yes_ ? "Ja" : "Abbrechen";
        break;
    }
    err_ << "kursolin-cli: " << kindName(kind) << ": " << forTerminal(text);
    if (*said) err_ << "\n  -> " << said;
    err_ << "\n";
    lastMessage_ = text;
    return a;
  }
  /// The text of the last message (cp1252), the reason when a file fails.
  const std::string& lastMessage() const { return lastMessage_; }
  void forgetMessages() { lastMessage_.clear(); }
  std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> browseFolder(const std::string&) override { return std::nullopt; }
  bool showSplitDialog(SplitDialogView&) override { return true; }

 private:
  std::ostream& err_;
  bool strict_, yes_;
  std::string lastMessage_;
};

// Size of the picture --picture writes.
constexpr int kPictureWidth = 1024;
constexpr int kPictureHeight = 768;

struct Options {
  std::vector<std::string> inputs;
  std::optional<std::string> inputFormat, outputFormat;
  std::optional<std::string> outFile, outputDir;
  std::optional<int> perFile;
  std::optional<int> maxPoints;
  std::optional<std::string> picture;
  std::optional<std::string> map;  // an MBTiles file under the picture
  std::vector<std::string> sets;
  std::optional<std::string> routeName;
  std::optional<std::string> device;
  std::vector<std::string> description;
  std::optional<char> decimalSep;
  std::optional<std::string> ini, appDir;
  bool strict = false, yes = false, explain = false, help = false, reverse = false;
};

// Parses the arguments; a text in *error means wrong usage.
Options parse(const std::vector<std::string>& args, std::string* error) {
  Options o;
  const auto value = [&](std::size_t& i, const std::string& opt) -> std::optional<std::string> {
    const std::string& a = args[i];
    const auto eq = a.find('=');
    if (a.rfind("--", 0) == 0 && eq != std::string::npos) return a.substr(eq + 1);
    if (i + 1 >= args.size()) {
      *error = "Die Option " + opt + " braucht einen Wert.";
      return std::nullopt;
    }
    return args[++i];
  };
  for (std::size_t i = 0; i < args.size() && error->empty(); ++i) {
    const std::string& a = args[i];
    const std::string opt = a.substr(0, a.find('='));
    if (opt == "--help" || opt == "-h") {
      o.help = true;
    } else if (opt == "--strict") {
      o.strict = true;
    } else if (opt == "--yes") {
      o.yes = true;
    } else if (opt == "--explain") {
      o.explain = true;
    } else if (opt == "--reverse") {
      o.reverse = true;
    } else if (opt == "--input-format" || opt == "-i") {
      o.inputFormat = value(i, opt);
    } else if (opt == "--output-format" || opt == "-f") {
      o.outputFormat = value(i, opt);
    } else if (opt == "-o" || opt == "--output") {
      o.outFile = value(i, opt);
    } else if (opt == "--output-dir") {
      o.outputDir = value(i, opt);
    } else if (opt == "--per-file") {
      if (auto v = value(i, opt)) {
        auto n = tryStrToInt(*v);
        if (!n || *n < 0 || *n > 1000000) {
          *error = "--per-file erwartet eine ganze Zahl ab 0, nicht \"" + *v + "\".";
        } else {
          o.perFile = static_cast<int>(*n);
        }
      }
    } else if (opt == "--max-points") {
      if (auto v = value(i, opt)) {
        auto n = tryStrToInt(*v);
        if (!n || *n < kMaxRoutePointsRange.min || *n > kMaxRoutePointsRange.max) {
          *error = "--max-points erwartet eine ganze Zahl von " +
                   std::to_string(kMaxRoutePointsRange.min) + " bis " +
                   std::to_string(kMaxRoutePointsRange.max) + ", nicht \"" + *v + "\".";
        } else {
          o.maxPoints = static_cast<int>(*n);
        }
      }
    } else if (opt == "--picture") {
      o.picture = value(i, opt);
    } else if (opt == "--map") {
      o.map = value(i, opt);
    } else if (opt == "--set") {
      if (auto v = value(i, opt)) o.sets.push_back(*v);
    } else if (opt == "--route-name") {
      o.routeName = value(i, opt);
    } else if (opt == "--device") {
      o.device = value(i, opt);
    } else if (opt == "--description") {
      if (auto v = value(i, opt)) o.description.push_back(*v);
    } else if (opt == "--decimal-separator") {
      if (auto v = value(i, opt)) {
        if (v->size() != 1) {
          *error = "--decimal-separator erwartet genau ein Zeichen.";
        } else {
          o.decimalSep = (*v)[0];
        }
      }
    } else if (opt == "--ini") {
      o.ini = value(i, opt);
    } else if (opt == "--appdir") {
      o.appDir = value(i, opt);
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      *error = "Unbekannte Option " + a + ".";
    } else {
      o.inputs.push_back(a);
    }
  }
  if (!error->empty() || o.help) return o;
  if (o.device && *o.device == "list") return o;
  if (o.inputs.empty()) {
    *error = "Keine Eingabedatei angegeben.";
  } else if (o.outputDir && o.outFile) {
    *error = "-o und --output-dir schließen einander aus.";
  } else if (o.map && !o.picture) {
    *error = "--map braucht --picture DATEI.png.";
  } else if (o.outputDir && o.picture) {
    // One picture file cannot show the routes of many inputs.
    *error = "--picture und --output-dir schließen einander aus.";
  } else if (!o.outputDir && o.inputs.size() > 1) {
    *error = "Nur eine Eingabedatei ist erlaubt (" + o.inputs[0] + ", " + o.inputs[1] +
             "); mehrere Dateien mit --output-dir ORDNER.";
  } else if (std::count(o.inputs.begin(), o.inputs.end(), "-") > 1) {
    *error = "Die Standardeingabe (-) kann nur einmal gelesen werden.";
  }
  return o;
}

// The name of standard input as a loaded file, and so of the files made from it.
constexpr char kStdinName[] = "stdin";

// A path's file name without folder and extension.
std::string bareFileName(const std::string& path) {
  std::string name = nameOf(path);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

void explain(const Session& s, std::ostream& to) {
  for (const auto& note : s.doc.ruleNotes) {
    to << "Routenpunkt " << note.point << ": " << forTerminal(ruleName(note.kind)) << " ("
       << forTerminal(note.text) << ")\n";
  }
}

// Records left out of the route are no failure, but the user must hear of them.
void reportSkipped(const Session& s, const std::string& what, std::ostream& err) {
  if (const int n = s.doc.skippedRecords.count(); n > 0) {
    err << "kursolin-cli: " << what << forTerminal(skippedRecordsText(n)) << "\n";
  }
}

}  // namespace

std::string helpText() {
  std::string h =
      "Aufruf: kursolin-cli [Optionen] EINGABE\n"
      "        kursolin-cli [Optionen] --output-dir ORDNER EINGABE...\n"
      "\n"
      "Wandelt eine GPS-Logdatei (NMEA) oder eine Routendatei in eine Routendatei um, nach\n"
      "denselben Regeln und Einstellungen (Kursolin.Ini) wie das Programm Kursolin.\n"
      "EINGABE \"-\" liest die Standardeingabe.\n"
      "\n"
      "Optionen:\n"
      "  -i, --input-format F    Eingabeformat (Nummer oder Name, siehe unten); ohne\n"
      "                          Angabe \"auto\": das Format jeder Datei wird erkannt\n"
      "  -f, --output-format F   Ausgabeformat (Nummer oder Name); ohne Angabe Navi/Sys\n"
      "  -o, --output DATEI      Zieldatei; ohne Angabe oder mit \"-\" die Standardausgabe.\n"
      "                          Zu lange Routen werden in Teildateien DATEI, DATEI_1, ...\n"
      "                          aufgeteilt (Höchstzahl je Datei aus den Einstellungen)\n"
      "      --output-dir ORDNER jede EINGABE nach ORDNER/NAME.ENDUNG umwandeln (mit\n"
      "                          Teildateien); je Datei eine Zeile mit Routenpunkten und\n"
      "                          geschriebenen Dateien oder dem Grund, warum nicht\n"
      "      --per-file N        Routenpunkte je Teildatei statt der Einstellung;\n"
      "                          0 schreibt die Route ungeteilt in eine Datei\n"
      "      --reverse           die Route vor dem Schreiben umkehren (Start und Ziel\n"
      "                          vertauschen), wie \"Route umkehren\" im Programm\n"
      "      --max-points N      die Route auf höchstens N Punkte verringern (Start, Ziel\n"
      "                          und Stopps bleiben), vor dem Aufteilen\n"
      "      --picture DATEI.png das Routenbild (Track, Routenpunkte, Maßstab) als PNG\n"
      "      --map DATEI.mbtiles das Routenbild über der Karte einer MBTiles-Datei (offline;\n"
      "                          Kacheln werden nie aus dem Netz geladen)\n"
      "      --set Abschnitt/Schluessel=Wert\n"
      "                          überschreibt eine Einstellung für diesen Lauf,\n"
      "                          z.B. --set Setup/DiM=500 --set Setup/AGC=1\n"
      "      --device ZIEL       Zielgerät: Ausgabeformat, seine Einstellungen, Punkte je\n"
      "                          Datei und Punktgrenze aus dem Geräteprofil (siehe unten),\n"
      "                          alle Punkte einer Routendatei übernehmen; -f, --set,\n"
      "                          --per-file und --max-points gelten danach;\n"
      "                          --device list zeigt die Profile aus Kursolin.Ini\n"
      "      --route-name NAME   Routenbezeichnung für Formate mit Routeneinstellungen\n"
      "                          (Tourenplaner, GPX); ohne Angabe der Name der\n"
      "                          Eingabedatei ohne Ordner und Endung\n"
      "      --description TEXT  eine Zeile der Routenbeschreibung (mehrfach möglich)\n"
      "      --decimal-separator Z   Dezimaltrennzeichen des Systems ersetzen\n"
      "      --ini DATEI         Einstellungen aus DATEI lesen (sie wird nie geschrieben)\n"
      "      --appdir ORDNER     Programmordner (dort liegt Kursolin.Ini)\n"
      "      --strict            Fehlermeldungen mit \"Abbrechen\" beantworten statt \"Ignorieren\"\n"
      "      --yes               Fragen mit \"Ja\" beantworten (sonst \"Nein\")\n"
      "      --explain           zu jedem Routenpunkt die Regel ausgeben, die ihn erzeugt hat\n"
      "  -h, --help              diese Hilfe\n"
      "\n"
      "Eingabeformate:\n";
  h += formatTable(byCode(inputFormats()));
  h += "\nAusgabeformate:\n";
  h += formatTable(byCode(outputFormats()));
  h += "\nZielgeräte (--device; Werte ändern und weitere Profile anlegen in Kursolin.Ini,\n"
       "Abschnitte [Geraet NAME]; Punktgrenzen hängen von Gerät und Firmware ab):\n";
  for (const DeviceProfile& d : shippedDeviceProfiles()) {
    h += "  " + d.id + std::string(d.id.size() < 17 ? 17 - d.id.size() : 1, ' ') +
         cp1252ToUtf8(d.name) + "\n";
  }
  h +=
      "\nRückgabewert: 0 geschrieben, 1 Umwandlung abgebrochen (Abbrechen, Umwandlungsfehler,\n"
      "Route nicht umkehrbar, Datei nicht schreibbar), 2 unbrauchbare Eingabe (Formatprüfung\n"
      "fehlgeschlagen, Datei fehlt) oder falscher Aufruf; bei mehreren Dateien der höchste\n"
      "Wert.\n";
  return h;
}

namespace {

constexpr int kReady = -1;

// Formats whose files are built from the route settings at every save are files, not lines.
bool writesOwnFiles(const Session& s) {
  const OutputFormatInfo* f = outputFormat(s.opt.OutputFormat);
  return f && f->alwaysSplitDialog && f->writeFiles;
}

// The session as the settings, the overrides and the chosen formats make it, ready to load;
// kReady, or the status of a wrong call after its message.
int readSettings(Session& s, const Options& o, const std::string& exeDir, const Environment& env,
                 std::ostream& err) {
  FormCreate(s, sessionPath(o.appDir ? *o.appDir : exeDir));
  s.ConfigDir = env.configDir;
  // The settings file and the overrides hold numbers written with this separator.
  if (o.decimalSep) s.numbers.DecimalSep = *o.decimalSep;
  if (o.ini) {
    std::string why;
    const ProfileReadStatus read = loadSettingsFrom(s, sessionPath(*o.ini), &why);
    // A settings file named on purpose and not there is a mistyped name, not a wish for defaults.
    if (read == ProfileReadStatus::Missing) {
      err << "kursolin-cli: Die Einstellungsdatei " << *o.ini << " gibt es nicht.\n";
      return kUnusable;
    }
    if (read == ProfileReadStatus::Unreadable) {
      err << "kursolin-cli: Die Einstellungen " << *o.ini << " sind nicht lesbar: "
          << forTerminal(why) << "\n";
      return kUnusable;
    }
  } else {
    loadSettings(s);
  }
  return kReady;
}

int prepare(Session& s, const Options& o, const std::string& exeDir, const Environment& env,
            std::ostream& err) {
  if (const int rc = readSettings(s, o, exeDir, env, err); rc != kReady) return rc;
  // The profile first, so what the command line names besides wins over it.
  if (o.device && !applyDevice(s, *o.device)) return kUnusable;
  for (const auto& set : o.sets) {
    const auto slash = set.find('/');
    const auto eq = set.find('=');
    if (slash == std::string::npos || eq == std::string::npos || slash > eq) {
      err << "kursolin-cli: --set erwartet Abschnitt/Schluessel=Wert, nicht \"" << set << "\".\n";
      return kUnusable;
    }
    std::string reason;
    if (!applySettingOverride(s, set.substr(0, slash), set.substr(slash + 1, eq - slash - 1),
                              utf8ToCp1252(set.substr(eq + 1)), &reason)) {
      err << "kursolin-cli: " << forTerminal(reason) << "\n";
      return kUnusable;
    }
  }

  {
    // Without -i the format of each file is found by itself, whatever the settings store.
    const std::string wanted = o.inputFormat.value_or("auto");
    const InputFormatInfo* named = inputFormatNamed(wanted);
    if (!named) {
      err << "kursolin-cli: Unbekanntes Eingabeformat \"" << wanted << "\".\n";
      return kUnusable;
    }
    s.opt.InputAutoDetect = named->detects;
    if (!named->detects) s.opt.InputFormat = named->code;
  }
  if (!inputFormatAvailable(s.opt.InputFormat)) {
    err << "kursolin-cli: "
        << forTerminal(formatNotAvailableText(inputLabelFor(s, s.opt.InputFormat))) << "\n";
    return kUnusable;
  }
  if (o.outputFormat) {
    const OutputFormatInfo* named = outputFormatNamed(*o.outputFormat);
    if (!named) {
      err << "kursolin-cli: Unbekanntes Ausgabeformat \"" << *o.outputFormat << "\".\n";
      return kUnusable;
    }
    s.opt.OutputFormat = named->code;
  }
  if (!outputFormatAvailable(s.opt.OutputFormat)) {
    const OutputFormatInfo* f = outputFormat(s.opt.OutputFormat);
    err << "kursolin-cli: Das Ausgabeformat "
        << (f ? "\"" + forTerminal(captionOf(*f)) + "\"" : std::to_string(s.opt.OutputFormat))
        << " kann diese Version noch nicht schreiben.\n";
    return kUnusable;
  }
  if (writesOwnFiles(s) && !o.outputDir && (!o.outFile || *o.outFile == "-")) {
    err << "kursolin-cli: Das Ausgabeformat \""
        << forTerminal(captionOf(*outputFormat(s.opt.OutputFormat)))
        << "\" wird nur in Dateien geschrieben; bitte -o DATEI angeben.\n";
    return kUnusable;
  }
  applyStartFormats(s);
  if (o.routeName) {
    if (const OutputFormatInfo* f = chosenOutputFormat(s); f && f->routeTitle)
      s.opt.set(*f->routeTitle, utf8ToCp1252(*o.routeName));
  }
  return kReady;
}

// Loads the input named on the command line; "-" is standard input.
bool load(Session& s, const std::string& input, const Environment& env) {
  if (input != "-") return loadInputFile(s, sessionPath(input));
  std::string bytes;
  if (env.in) {
    bytes.assign(std::istreambuf_iterator<char>(*env.in), std::istreambuf_iterator<char>());
  }
  return loadInputText(s, kStdinName, bytes);
}

// Plans the files of the route: those of a format that writes its own files (with the route
// settings), or part files when the route is longer than a file takes (the settings' maximum or
// --per-file; 0 for one file). false when the route goes into one plain file.
bool planParts(Session& s, const Options& o) {
  int perFile = o.perFile ? *o.perFile : 0;
  if (!o.perFile) {
    const int max = splitMaximum(s);
    perFile = max > 0 ? max : 0;
  }
  if (writesOwnFiles(s)) {
    // What the route settings dialog starts with in the window: the loaded file's bare name.
    const OutputFormatInfo& f = *chosenOutputFormat(s);
    const std::string bare = bareFileName(s.doc.InputFileName);
    if (f.saveBase) s.opt.set(*f.saveBase, bare);
    if (f.routeTitle) s.opt.set(*f.routeTitle, o.routeName ? utf8ToCp1252(*o.routeName) : bare);
    if (!o.description.empty()) {
      std::string memo;
      for (const auto& line : o.description) memo += utf8ToCp1252(line) + "\r\n";
      if (f.routeDescription) s.opt.set(*f.routeDescription, memo);
    }
    // Without a maximum (0) the route is one file.
    planSplit(s, perFile > 0 ? perFile : std::max(1, splitPointCount(s)));
    return true;
  }
  if (perFile > 0 && s.doc.RoutePointCount > perFile && splitMaximum(s) >= 0) {
    planSplit(s, perFile);
    return true;
  }
  return false;
}

// The picture of --picture, over the map file of --map when one is given. The converter never
// fetches tiles from a network; a map file it cannot use leaves the plain picture and a note.
bool writePicture(Session& s, const Options& o, std::ostream& err) {
  std::unique_ptr<MbTiles> map;
  if (o.map) {
    std::string why;
    map = MbTiles::open(sessionPath(*o.map), &why);
    if (!map) err << "kursolin-cli: " << forTerminal(why) << "; das Bild bleibt ohne Karte.\n";
  }
  MapUnderlay drawn;
  if (!writeRoutePicture(s, sessionPath(*o.picture), kPictureWidth, kPictureHeight, map.get(),
                         &drawn))
    return false;
  if (map && !drawn.shown) {
    err << "kursolin-cli: Die Kartendatei " << forTerminal(sessionPath(*o.map))
        << " enthält keine Kacheln für dieses Bild; es bleibt ohne Karte.\n";
  }
  if (map && !map->damageNote().empty()) {
    err << "kursolin-cli: " << forTerminal(map->damageNote()) << "\n";
  }
  return true;
}

bool writeRoute(Session& s, bool split, const std::string& target) {
  return split ? writeSplitParts(s, target) : writeRouteFile(s, target, s.doc.OutputLines);
}

// One input, its route to standard output or to the file of -o.
int convertOne(Session& s, const Options& o, std::ostream& out, std::ostream& err,
               const Environment& env) {
  if (!load(s, o.inputs.front(), env)) return kUnusable;

  s.doc.keepRouteRecords = o.maxPoints.has_value() || o.picture.has_value() || o.explain ||
                           s.opt.DevicePointLimit > 0;
  const RouteResult result = RouteExecute(s);
  reportSkipped(s, "", err);
  const bool toStdout = !o.outFile || *o.outFile == "-";
  if (o.explain) explain(s, toStdout ? err : out);
  if (result == RouteResult::Failed || result == RouteResult::Aborted) {
    err << "kursolin-cli: Umwandlung abgebrochen, nichts geschrieben.\n";
    return kStopped;
  }
  if (result == RouteResult::Refused) return kUnusable;
  // The window's refusals (table and Falk outputs, no route) end the run before anything is
  // written.
  if (o.reverse && !reverseRoute(s)) return kStopped;
  if (o.maxPoints && !RouteVerringern(s, *o.maxPoints).done) return kStopped;
  if (o.picture && !writePicture(s, o, err)) return kStopped;

  if (toStdout) {
    out << routeFileBytes(s, s.doc.OutputLines);
    return out ? kWritten : kStopped;
  }
  const std::string target = sessionPath(*o.outFile);
  return writeRoute(s, planParts(s, o), target) ? kWritten : kStopped;
}


std::string extensionOf(const Session& s) {
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (!f) return {};
  if (!f->saveExt.empty()) return f->saveExt;
  const OutputPresentation* p = outputPresentation(f->code);
  return !p || p->defaultExt.empty() ? std::string() : "." + p->defaultExt;
}

// A message as one line of the report.
std::string oneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += c;
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

struct FileOutcome {
  int status;
  std::string line;  // in the terminal's encoding
};

// One input of a run with --output-dir, written to the folder under its own name; `taken` holds
// the files written so far, which no later input may replace.
FileOutcome convertInto(Session& s, const Options& o, const std::string& input,
                        const std::string& folder, std::set<std::string>& taken,
                        const PolicyPort& port, const Environment& env, std::ostream& err) {
  const auto failed = [&](int status, const std::string& what) {
    std::string line = input + ": " + what;
    if (!port.lastMessage().empty()) line += ": " + forTerminal(oneLine(port.lastMessage()));
    return FileOutcome{status, line};
  };
  if (!load(s, input, env)) return failed(kUnusable, "nicht umgewandelt");
  s.doc.keepRouteRecords = o.maxPoints.has_value() || o.explain || s.opt.DevicePointLimit > 0;
  const RouteResult result = RouteExecute(s);
  reportSkipped(s, input + ": ", err);
  // Standard output holds one line per file; the explanations go beside the messages.
  if (o.explain) explain(s, err);
  if (result == RouteResult::Failed || result == RouteResult::Aborted) {
    return failed(kStopped, "abgebrochen, nichts geschrieben");
  }
  if (result == RouteResult::Refused) return failed(kUnusable, "nicht umgewandelt");
  if (o.reverse && !reverseRoute(s)) return failed(kStopped, "nicht umgekehrt, nichts geschrieben");
  if (o.maxPoints && !RouteVerringern(s, *o.maxPoints).done)
    return failed(kStopped, "nicht verringert, nichts geschrieben");

  const std::string target = folder + bareFileName(s.doc.InputFileName) + extensionOf(s);
  const bool split = planParts(s, o);
  std::vector<std::string> files;
  const int count = split ? s.doc.split.fileCount() : 1;
  for (int i = 1; i <= count; ++i) files.push_back(partFileName(target, i, s.doc.split.SplitFiles));
  for (const std::string& f : files) {
    if (taken.count(f)) {
      return {kUnusable, input + ": nicht umgewandelt: " + forTerminal(f) +
                             " wurde in diesem Lauf schon geschrieben"};
    }
  }
  if (!writeRoute(s, split, target)) return failed(kStopped, "nicht geschrieben");
  taken.insert(files.begin(), files.end());

  std::string line =
      input + ": " + std::to_string(s.doc.RoutePointCount) +
      (s.doc.RoutePointCount == 1 ? " Routenpunkt, " : " Routenpunkte, ") +
      (files.size() == 1 ? std::string("1 Datei") : std::to_string(files.size()) + " Dateien") +
      " geschrieben: ";
  for (std::size_t i = 0; i < files.size(); ++i) {
    line += (i ? ", " : "") + forTerminal(files[i]);
  }
  return {kWritten, line};
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        const std::string& exeDir, const Environment& env) {
  std::string usageError;
  const Options o = parse(args, &usageError);
  if (o.help) {
    out << helpText();
    return kWritten;
  }
  if (!usageError.empty()) {
    err << "kursolin-cli: " << usageError << "\nHilfe: kursolin-cli --help\n";
    return kUnusable;
  }
  std::string folder;
  if (o.outputDir) {
    folder = sessionPath(*o.outputDir);
    if (!folderWritable(folder)) {
      err << "kursolin-cli: Der Ausgabeordner " << *o.outputDir
          << " existiert nicht oder ist nicht beschreibbar.\n";
      return kUnusable;
    }
    if (folder.back() != '/') folder += '/';
  }

  PolicyPort port(err, o.strict, o.yes);
  const HostSettings host = HostSettings::fromEnvironment();
  if (o.device && *o.device == "list") {
    Session s(port, host);
    if (const int rc = readSettings(s, o, exeDir, env, err); rc != kReady) return rc;
    out << forTerminal(deviceListText(s));
    return kWritten;
  }
  if (!o.outputDir) {
    Session s(port, host);
    if (const int rc = prepare(s, o, exeDir, env, err); rc != kReady) return rc;
    return convertOne(s, o, out, err, env);
  }

  // Each file in a session of its own, so nothing of one file carries over to the next.
  int worst = kWritten;
  std::set<std::string> taken;
  for (const std::string& input : o.inputs) {
    Session s(port, host);
    if (const int rc = prepare(s, o, exeDir, env, err); rc != kReady) return rc;
    port.forgetMessages();
    const FileOutcome r = convertInto(s, o, input, folder, taken, port, env, err);
    out << r.line << "\n";
    worst = std::max(worst, r.status);
  }
  out.flush();
  return worst;
}

}  // namespace kursolin::cli
