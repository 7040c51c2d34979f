#include "workflow/output_formats.h"

#include "core/cp1252.h"
#include "core/prompt.h"
#include "formats/navigon.h"
#include "formats/table.h"
#include "workflow/route_command.h"
#include "workflow/saving.h"

namespace kursolin {

namespace {

std::vector<OutputFormatInfo> makeTable() {
  const std::string q = "\"";
  auto row = [](int code, const char* item, std::string caption, const char* key,
                bool Session::*flag, std::string label, bool navigon, bool text,
                LineBuilder builder, std::string title, const char* ext, std::string filter,
                const char* defExt, int Session::*limit) {
    OutputFormatInfo f;
    f.code = code;
    f.menuItem = item;
    f.caption = std::move(caption);
    f.shortcut = key;
    f.flag = flag;
    f.label = std::move(label);
    f.navigon = navigon;
    f.textSubmenu = text;
    f.builder = builder;
    f.finish = nullptr;
    f.partFinish = nullptr;
    f.partWriter = nullptr;
    f.saveTitle = std::move(title);
    f.saveExt = ext;
    f.saveFilter = std::move(filter);
    f.defaultExt = defExt;
    f.limit = limit;
    return f;
  };
  std::vector<OutputFormatInfo> t;
  // The Navigon and TomTom parts are slices of OutputLines (one line a route point); Falk's and
  // the Tourenplaner's writers build their files themselves and plug in here with their units.
  t.push_back(row(0, "MN4Data", "Navigon Mobile Navigator MN|4.0 + 4.1", "F2", &Session::OutMN4,
                  "MN|4.0 + 4.1 ", true, false, buildMN4,
                  "Route als Navigon MN4.0 oder 4.1 Routendatei speichern", ".rte",
                  "Navigon MN4.0 + 4.1 Routendatei (*.rte)|*.rte", "rte", &Session::MpMN));
  t.push_back(row(1, "MN42Data", "Navigon Mobile Navigator MN|4.2", "F3", &Session::OutMN42,
                  "MN|4.2 ", true, false, buildMN42,
                  "Route als Navigon MN|4.2 Routendatei speichern", ".rte",
                  "Navigon MN4.2 Routendatei (*.rte)|*.rte", "rte", &Session::MpMN));
  t.push_back(row(2, "MN5Data", "Navigon Mobile Navigator MN 5", "F4", &Session::OutMN5, "MN5 ",
                  true, false, buildMN5, "Route als Navigon MN5 Routendatei speichern", ".rte",
                  "Navigon MN5 Routendatei (*.rte)|*.rte", "rte", &Session::MpMN));
  t.push_back(row(3, "TTData", "TomTom  Routendatei", "F5", &Session::OutTT, "TomTom ", false,
                  false, nullptr, "Route als TomTom Routendatei speichern", ".itn",
                  "TomTom  Routendatei (*.itn)|*.itn", "itn", &Session::MpTT3));
  t.push_back(row(4, "AutoData", "Microsoft AutoRoute Importdatei ab Vers.2002", "F6",
                  &Session::OutAuto, "AutoRoute ", false, false, nullptr,
                  "Route als Microsoft AutoRoute Importdatei speichern", ".csv",
                  "Microsoft AutoRoute Importdatei (*.csv)|*.csv", "csv", nullptr));
  t.push_back(row(5, "BCRData", "Tourenplaner  BCR Datei", "F7", &Session::OutBCR,
                  "Tourenplaner BCR Datei ", false, false, nullptr,
                  "Route im Tourenplaner Format speichern", ".BCR",
                  "Tourenplaner Dateiformat (*.BCR)|*.BCR", "BCR", &Session::MpMTP));
  {
    auto falk = row(7, "FPrvData", "Falk Previousdestination Datei", "F8", &Session::OutFPrv,
                    "Falk PreviousDestination Datei ", false, false, nullptr,
                    "Route als Falk PreviousDestination Datei speichern", ".dat",
                    "Falk PreviousDestination Datei (*.dat)|*.dat", "dat", &Session::MpFalk);
    falk.saveFixedName = "PreviousDestination";
    t.push_back(falk);
  }
  t.push_back(row(6, "CSVData", "Routendaten für Tabellen ausgeben"_cp, "F9", &Session::OutCSV,
                  "CSV Datei ", false, false, buildTable,
                  "Route als CSV Datei " + q + "Semikolon getrennt" + q + " speichern", ".csv",
                  "CSV Dateiformat " + q + "Semikolon getrennt" + q + " (*.csv)|*.csv", "csv",
                  nullptr));
  t.push_back(row(20, "GMSData", "im Format   Grad \xB0 Minute' Sekunde" + q, "Ctrl+Alt+G",
                  &Session::OutGMS, "G\xB0M" + q + "S Texdateidatei ", false, true, nullptr,
                  "Koordinatenpaare im Format Grad Minute Sekunde speichern", ".txt",
                  "Koordinatenpaare im Format Gr Min Sek (*.txt)|*.txt", "txt", nullptr));
  t.push_back(row(21, "GMData", "im Format   Grad \xB0 Minute'", "Ctrl+Alt+M", &Session::OutGM,
                  "G\xB0M" + q + " Texdateidatei ", false, true, nullptr,
                  "Koordinatenpaare im Format Grad Minute speichern", ".txt",
                  "Koordinatenpaare im Format Gr Min (*.txt)|*.txt", "txt", nullptr));
  t.push_back(row(22, "DGData", "im Format   Dezimal Grad", "Ctrl+Alt+D", &Session::OutDG,
                  "Dezimalgrad Texdateidatei ", false, true, nullptr,
                  "Koordinatenpaare im Dezimalgrad Format speichern", ".txt",
                  "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", "txt", nullptr));
  t.push_back(row(23, "MerData", "im Format   Mercator", "Ctrl+Alt+R", &Session::OutMer,
                  "Mercator Texdateidatei ", false, true, nullptr,
                  "Koordinatenpaare im Mercator Format speichern", ".txt",
                  "Koordinatenpaare im Dezimalgrad Format (*.txt)|*.txt", "txt", nullptr));
  for (auto& f : t) {
    // TomTom parts also need the TomTom unit's flag pass as partFinish, or they lack their flags.
    if (f.code <= 3) f.partWriter = SaveToSplit;
  }
  return t;
}

}  // namespace

const std::vector<OutputFormatInfo>& outputFormats() {
  static const std::vector<OutputFormatInfo> table = makeTable();
  return table;
}

const OutputFormatInfo* outputFormat(int code) {
  for (const auto& f : outputFormats()) {
    if (f.code == code) return &f;
  }
  return nullptr;
}

const OutputFormatInfo* chosenOutputFormat(const Session& s) {
  for (const auto& f : outputFormats()) {
    if (s.*(f.flag)) return &f;
  }
  return nullptr;
}

bool outputFormatAvailable(int code) {
  const OutputFormatInfo* f = outputFormat(code);
  return f && f->builder;
}

std::string outputCaptionWith(const Session& s, long long count) {
  return s.OutputLabel + "Routenpunkte := " + std::to_string(count);
}

void NaviArtChange(Session& s, int code) {
  UiItem& rp = s.item("RPInfo");
  rp.enabled = s.ShowPointInfo;
  rp.checked = s.ShowPointInfo;
  if (code == s.PreviousOutputFormat) {
    s.port().stateChanged();
    return;
  }
  if (const OutputFormatInfo* f = outputFormat(code)) {
    s.ShowPointInfo = rp.checked;
    for (const auto& other : outputFormats()) {
      s.item(other.menuItem).checked = false;
      s.*(other.flag) = false;
    }
    s.item(kTextOutputSubmenu).checked = false;
    rp.visible = false;
    rp.enabled = false;
    rp.checked = false;

    s.item(f->menuItem).checked = true;
    if (f->textSubmenu) s.item(kTextOutputSubmenu).checked = true;
    s.*(f->flag) = true;
    s.OutputLabel = f->label;
    if (f->navigon) {
      rp.visible = true;
      rp.enabled = true;
      rp.checked = s.ShowPointInfo;
    }
  }
  s.PreviousOutputFormat = code;
  s.OutputFormat = code;
  s.setOutputCaption(outputCaptionWith(s, s.OutputLines.Count()));
  s.port().stateChanged();
  if (s.item("Route").enabled) {
    const std::string question = "Das Ausgabeformat der Routendaten wurde geändert"_cp + kCR +
                                 "    Routendaten neu berechnen oder abbrechen ?";
    if (askYes(s, PromptButtons::YesCancel, question)) RouteExecute(s);
  }
}

void RPInfoClick(Session& s) {
  UiItem& rp = s.item("RPInfo");
  rp.checked = !rp.checked;
  s.ShowPointInfo = rp.checked;
  s.port().stateChanged();
}

}  // namespace kursolin
