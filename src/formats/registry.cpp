#include "formats/registry.h"

#include <algorithm>
#include <cctype>

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
#include "session/map_options.h"
#include "track/nmea.h"

namespace kursolin {

namespace {

bool readNavigonMN4(Session& s, const std::string& line, int index) {
  return GetMN(s, line, index, NavigonVersion::MN4) == 1;
}
bool readNavigonMN42(Session& s, const std::string& line, int index) {
  return GetMN(s, line, index, NavigonVersion::MN42) == 1;
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
bool loadTourenXmlStations(Session& s, const std::string& path) {
  return loadTourenXML(s, path, TourenItems::Stations);
}
bool loadTourenXmlAll(Session& s, const std::string& path) {
  return loadTourenXML(s, path, TourenItems::All);
}
// Tourenplaner XML files have no recognition test: whatever items the scan finds are the route.
bool everyFileUsable(Session&) { return true; }

bool navigon4Recognized(Session& s) {
  return navigonRecognized(s.doc.InputLines, NavigonVersion::MN4);
}
bool navigon5Recognized(Session& s) {
  // The MN5 layout has two fields more than MN|4.2; the reader takes them from the first line.
  s.doc.InputLayout = countChar(s.doc.InputLines.at(0), '|') == 17 ? kNavigonMN5Layout : 0;
  return navigonRecognized(s.doc.InputLines, NavigonVersion::MN42);
}

bool readTomTom(Session& s, const std::string& line, int index) {
  return GetTT(s, line, index) == 1;
}
bool tomTomCheck(Session& s) {
  return tomTomRecognized(s.doc.InputLines);
}

bool readTextGms(Session& s, const std::string& line, int index) {
  return GetText(s, line, index, TextNotation::GMS) == 1;
}
bool readTextGm(Session& s, const std::string& line, int index) {
  return GetText(s, line, index, TextNotation::GM) == 1;
}
bool readTextDg(Session& s, const std::string& line, int index) {
  return GetText(s, line, index, TextNotation::DG) == 1;
}
bool readTextMer(Session& s, const std::string& line, int index) {
  return GetText(s, line, index, TextNotation::Mer) == 1;
}
bool textCheck(Session& s) {
  return textRecognized(s, s.doc.InputLines);
}

bool navigon4Found(const Session&, const FileSample& f) {
  return navigonRecognized(f.lines, NavigonVersion::MN4);
}
bool navigon5Found(const Session&, const FileSample& f) {
  return navigonRecognized(f.lines, NavigonVersion::MN42);
}
bool tomTomFound(const Session&, const FileSample& f) {
  return tomTomRecognized(f.lines);
}

std::vector<InputFormatInfo> makeInputs() {
  const RuleGroups route = RuleGroups::DistanceOnly;
  const std::vector<const OptionInfo*> textInputOptions = {
      &InputSeparator.info, &InputSeparatorText.info, &InputLatFirst.info, &InputFreeSeparator.info,
      &TEFreeEdit.info};
  // clang-format off
  return {
    {.code = kAutoInputFormat, .cliName = "auto", .detects = true},
    {.code = 20, .cliName = "txt-dms", .extensions = {"txt"}, .groups = route, .check = textCheck,
     .readA = readTextGms, .recognize = textGmsFound, .options = textInputOptions},
    {.code = 21, .cliName = "txt-dm", .extensions = {"txt"}, .groups = route, .check = textCheck,
     .readA = readTextGm, .recognize = textGmFound, .options = textInputOptions},
    {.code = 22, .cliName = "txt-deg", .extensions = {"txt"}, .groups = route, .check = textCheck,
     .readA = readTextDg, .recognize = textDgFound, .options = textInputOptions},
    {.code = 23, .cliName = "txt-mercator", .extensions = {"txt"}, .groups = route,
     .check = textCheck, .readA = readTextMer, .recognize = textMerFound,
     .options = textInputOptions},
    {.code = 8, .cliName = "mn4", .extensions = {"rte"}, .groups = route,
     .check = navigon4Recognized, .readA = readNavigonMN4, .recognize = navigon4Found},
    {.code = 9, .cliName = "mn42-mn5", .extensions = {"rte"}, .groups = route,
     .check = navigon5Recognized, .readA = readNavigonMN42, .recognize = navigon5Found},
    {.code = 1, .cliName = "gga-vtg", .extensions = {"txt", "nmea", "log"},
     .groups = RuleGroups::All, .check = ggaVtgRecognized, .readA = readGgaRecord, .readB = GetVTG,
     .pairsRecords = true, .recordedLog = true, .hasBRecords = ggaLogHasVtg, .recordLine = isGgaVtgRecordLine,
     .recordedAt = nmeaRecordedAt, .recognize = ggaVtgLogFound},
    {.code = 2, .cliName = "rmc", .extensions = {"txt", "nmea", "log"}, .groups = RuleGroups::All,
     .check = rmcRecognized, .readA = GetRMC, .recordedLog = true, .recordLine = isRmcRecordLine,
     .recordedAt = nmeaRecordedAt, .recognize = rmcLogFound},
    {.code = 3, .cliName = "ovl", .extensions = {"ovl"}, .groups = route, .check = ovlRecognized,
     .readA = readOVL, .recognize = ovlFound},
    {.code = 10, .cliName = "itn", .extensions = {"itn"}, .groups = route, .check = tomTomCheck,
     .readA = readTomTom, .recognize = tomTomFound},
    {.code = 4, .cliName = "xml-stations", .extensions = {"xml", "tef"}, .groups = route,
     .load = loadTourenXmlStations, .check = everyFileUsable, .readA = readXML,
     .recognize = tourenXmlFound},
    {.code = 5, .cliName = "xml-all", .extensions = {"xml", "tef"}, .groups = route,
     .load = loadTourenXmlAll, .check = everyFileUsable, .readA = readXML,
     .recognize = tourenXmlFound},
    {.code = 6, .cliName = "bcr", .extensions = {"bcr"}, .groups = route, .check = bcrRecognized,
     .readA = readBCR, .recognize = bcrFound},
    {.code = 24, .cliName = "qv3", .extensions = {"qu3", "mdb"},
     .groups = RuleGroups::DistanceHeadingMinDist, .load = LoadTQVFile, .check = touratechUsable,
     .readA = readTouratech, .recognize = touratechFound},
    {.code = 25, .cliName = "gpx", .extensions = {"gpx"}, .groups = RuleGroups::All,
     .load = LoadGPXFile, .check = gpxPointsLoaded, .readA = readGpxRecord, .recognize = gpxFound},
    // Reserved: no reader; its presentation keeps the dialog texts of the text sub-menu.
    {.code = 7},
  };
  // clang-format on
}

std::vector<OutputFormatInfo> makeOutputs() {
  const std::vector<const OptionInfo*> textOutputOptions = {
      &OutputSeparator.info, &OutputLatFirst.info, &OutputFreeSeparator.info, &TAFreeEdit.info};
  // clang-format off
  return {
    {.code = 0, .cliName = "mn4", .prepare = ResetNaviFields, .write = buildMN4,
     .positionTexts = kDecimalTexts, .limit = &MpMN, .saveExt = ".rte",
     .options = {&MpMN.info, &MN4ShowOrt.info}},
    {.code = 1, .cliName = "mn42", .prepare = ResetNaviFields, .write = buildMN42,
     .positionTexts = kDecimalTexts, .limit = &MpMN, .saveExt = ".rte",
     .options = {&MpMN.info, &MN42ShowOrt.info}},
    {.code = 2, .cliName = "mn5", .prepare = ResetNaviFields, .write = buildMN5,
     .positionTexts = kDecimalTexts, .limit = &MpMN, .saveExt = ".rte",
     .options = {&MpMN.info, &MN5ShowOrt.info}},
    {.code = 3, .cliName = "itn", .write = buildTT, .positionTexts = kDecimalTexts,
     .finish = SetTTFlag, .limit = &MpTT3, .saveExt = ".itn",
     .options = {&MpTT3.info, &TTFlags.info, &TTShowOrt.info}},
    {.code = 4, .cliName = "autoroute", .write = buildAutoRoute, .positionTexts = kDecimalTexts,
     .saveExt = ".csv"},
    {.code = 5, .cliName = "bcr", .write = buildBCR, .positionTexts = kOtherPositionTexts,
     .limit = &MpMTP, .writeFiles = SaveBCR, .alwaysSplitDialog = true, .saveExt = ".BCR",
     .saveBase = &BcrRouteName, .saveDir = &BcrDirectory, .routeTitle = &BcrRouteTitle,
     .titleNamesFile = &RDeskripToFN, .routeDescription = &Beschreibung,
     .options = {&MpMTP.info, &BcrDirectory.info, &RNHeader.info, &RDeskripToFN.info,
                 &PIndex.info, &OPTIMIZATION.info, &PREFERNICE_C.info, &ALTROUTE_C.info,
                 &CORRUSED_C.info, &TRAFFICUSED_C.info, &PREFERMAUT_C.info, &PREFERVIGN_C.info,
                 &Beschreibung.info, &BcrRouteTitle.info, &BcrRouteName.info}},
    {.code = 7, .cliName = "falk", .prepare = prepareFalkRecord, .write = buildFalk,
     .positionTexts = kOtherPositionTexts, .finish = SetFprvFlag, .limit = &MpFalk,
     .countsRoutePoints = true, .writeFiles = SaveFPrv, .reversible = false, .saveExt = ".dat",
     .saveFixedName = "PreviousDestination", .options = {&MpFalk.info, &FalkFlags.info}},
    {.code = 6, .cliName = "csv", .pointTable = true, .write = buildTable, .reversible = false,
     .saveExt = ".csv", .options = {&CsvSeparator.info}},
    {.code = 24, .cliName = "gpx", .prepare = prepareGpxRecord, .write = buildGpx,
     .positionTexts = kDecimalTexts, .finish = finishGpx, .limit = &MpGPX,
     .pointLine = isGpxPointLine, .fileBytes = gpxFileBytes, .saveExt = ".gpx",
     .routeTitle = &GpxRouteName,
     .options = {&MpGPX.info, &GpxInhalt.info, &GpxViaPunkte.info, &GpxRouteName.info}},
    {.code = 20, .cliName = "txt-dms", .write = buildTextGMS, .saveExt = ".txt",
     .options = textOutputOptions},
    {.code = 21, .cliName = "txt-dm", .write = buildTextGM, .saveExt = ".txt",
     .options = textOutputOptions},
    {.code = 22, .cliName = "txt-deg", .write = buildTextDG, .saveExt = ".txt",
     .options = textOutputOptions},
    {.code = 23, .cliName = "txt-mercator", .write = buildTextMer, .saveExt = ".txt",
     .options = textOutputOptions},
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

const std::vector<OutputFormatInfo>& outputFormats() {
  static const std::vector<OutputFormatInfo> rows = makeOutputs();
  return rows;
}

const OutputFormatInfo* outputFormat(int code) {
  static const std::vector<const OutputFormatInfo*> index = indexByCode(outputFormats());
  return rowAt(index, code);
}

const OutputFormatInfo* outputFormatNamed(const std::string& nameOrCode) {
  return byName(outputFormats(), nameOrCode);
}

const OutputFormatInfo* chosenOutputFormat(const Session& s) {
  return outputFormat(s.opt.OutputFormat);
}

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
    // The program's own options declared the same way: the map under the route picture.
    add(mapOptions());
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
    const auto lower = [](char c) {
      return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    };
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

void markInputOptionsSeen(Session& s) {
  s.opt.inputOptionsAtSettings = inputOptionsKey(s);
}

bool inputOptionsChanged(const Session& s) {
  return s.opt.inputOptionsAtSettings != inputOptionsKey(s);
}

bool OutMN4(const Session& s) {
  return s.opt.OutputFormat == 0;
}
bool OutMN42(const Session& s) {
  return s.opt.OutputFormat == 1;
}
bool OutMN5(const Session& s) {
  return s.opt.OutputFormat == 2;
}
bool OutTT(const Session& s) {
  return s.opt.OutputFormat == 3;
}
bool OutAuto(const Session& s) {
  return s.opt.OutputFormat == 4;
}
bool OutBCR(const Session& s) {
  return s.opt.OutputFormat == 5;
}
bool OutCSV(const Session& s) {
  return s.opt.OutputFormat == 6;
}
bool OutFPrv(const Session& s) {
  return s.opt.OutputFormat == 7;
}
bool OutGMS(const Session& s) {
  return s.opt.OutputFormat == 20;
}
bool OutGM(const Session& s) {
  return s.opt.OutputFormat == 21;
}
bool OutDG(const Session& s) {
  return s.opt.OutputFormat == 22;
}
bool OutMer(const Session& s) {
  return s.opt.OutputFormat == 23;
}
bool OutGPX(const Session& s) {
  return s.opt.OutputFormat == 24;
}

}  // namespace kursolin
