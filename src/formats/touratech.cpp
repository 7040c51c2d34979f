#include "formats/touratech.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/prompt.h"
#include "formats/accessdb.h"
#include "formats/route_reader.h"

namespace kursolin {

namespace {

enum class TableRole { Track, Waypoints };

void message(Session& s, const std::string& text) {
  s.port().prompt(PromptKind::Information, PromptButtons::Ok, text);
}

// The last table of the list that fits the rule.
std::optional<std::string> lastTable(const std::vector<std::string>& names,
                                     bool (*fits)(const std::string&)) {
  std::optional<std::string> found;
  for (const auto& n : names) {
    if (fits(n)) found = n;
  }
  return found;
}

// A table counts as holding data only with more than one record.
bool holdsData(AccessDatabase& db, const std::optional<std::string>& name) {
  if (!name) return false;
  AccessTable t = db.openTable(*name);
  return t.recordCount() > 1;
}

// Name and description are free text: a line break inside would split the record into two lines
// of the pane.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::string recordLine(const AccessTable& t, TableRole role) {
  std::string index = "0", lat = "0", lon = "0", speed = "0", course = "0", name = "-",
              description = "-";
  if (role == TableRole::Track) {
    index = t.field("trp_idx");
    lat = t.field("lat");
    lon = t.field("lon");
    speed = t.field("speed");
    course = t.field("course");
  } else {
    index = t.field("wp_idx");
    lat = t.field("lat");
    lon = t.field("lon");
    name = oneLine(t.field("name"));
    description = oneLine(t.field("description"));
    if (name.empty()) name = "-";
    if (description.empty()) description = "-";
  }
  return index + "|" + lat + "|" + lon + "|" + speed + "|" + course + "|" + name + "|" +
         description;
}

std::vector<std::string> splitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t from = 0;
  while (true) {
    const auto bar = line.find('|', from);
    fields.push_back(line.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
    if (bar == std::string::npos) break;
    from = bar + 1;
  }
  return fields;
}

// The number in a decimal-degree text; a text that is no number is 0, after the Abort/Ignore
// prompt while ShowErrors is on.
Real coordinateValue(Session& s, const std::string& text, const std::string& line) {
  if (auto v = tryStrToFloat(PZD(s, text), s.DecimalSep)) return *v;
  // An Abort chosen in an earlier prompt of this record stands.
  if (s.ShowErrors && !s.AbortRequested) {
    abortIgnorePrompt(s,
                      "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert " + line + " erkannt");
  }
  return 0;
}

}  // namespace

bool isTrackTableName(const std::string& name) {
  return name.size() >= 3 && name.compare(name.size() - 3, 3, "trp") == 0;
}

bool isWaypointTableName(const std::string& name) {
  return name.rfind("Waypoi", 0) == 0 || name.rfind("waypoi", 0) == 0;
}

bool LoadTQVFile(Session& s, const std::string& path) {
  std::vector<std::string> lines;
  try {
    AccessDatabase db(path);
    const auto track = lastTable(db.tableNames(), isTrackTableName);
    const bool trackData = holdsData(db, track);
    const auto waypoints = lastTable(db.tableNames(), isWaypointTableName);
    const bool waypointData = holdsData(db, waypoints);

    std::optional<std::string> chosen;
    TableRole role = TableRole::Track;
    if (trackData && !waypointData) {
      chosen = track;
    } else if (waypointData && !trackData) {
      chosen = waypoints;
      role = TableRole::Waypoints;
    } else if (!trackData) {
      message(s, " Keine Routendaten in der Datei erkannt");
    } else {
      message(s, "Tracks und Waypoints enthalten Daten");
    }

    if (!chosen) {
      message(s, "Keine bekannten Tabellen in der Datei gefunden !");
    } else {
      AccessTable t = db.openTable(*chosen);
      for (t.moveFirst(); !t.eof(); t.moveNext()) lines.push_back(recordLine(t, role));
    }
  } catch (const AccessDbError& e) {
    s.port().prompt(PromptKind::Error, PromptButtons::Ok, e.what());
    return false;
  }
  for (auto& l : lines) s.InputLines.add(std::move(l));
  return true;
}

int GetTTQV(Session& s, const std::string& line, int index) {
  PointRecord& p = s.CurrentPoint;
  const int lineNumber = index + 1;
  if (line.empty()) {
    reportEmptyLine(s, lineNumber);
    return 0;
  }
  const std::vector<std::string> f = splitFields(line);
  const auto fieldAt = [&](std::size_t i) { return i < f.size() ? KommaZuPunkt(f[i]) : ""; };
  std::string& lat = p.navi(RteLat);
  std::string& lon = p.navi(RteLon);
  lat = fieldAt(1);
  lon = fieldAt(2);
  p.SpeedKmh = fieldAt(3);
  p.Course = fieldAt(4);

  completePositionTexts(s, p);
  if (lon == "-") lon = "0.00";
  p.LonGrMin = GeoDezToGrMin(s, lon);
  p.LonNmea = p.LonGrMin;
  p.LonGMS = KGrad(s, p.LonGrMin);
  p.LonValue = coordinateValue(s, lon, line);
  p.LonDec = formatFixed(p.LonValue, 3, 6, s.DecimalSep);
  p.LonMer = DezToMerO(p.LonValue);

  if (lat == "-") lat = "0.00";
  p.LatGrMin = GeoDezToGrMin(s, lat);
  p.LatNmea = p.LatGrMin;
  p.LatGMS = KGrad(s, p.LatGrMin);
  p.LatValue = coordinateValue(s, lat, line);
  p.LatDec = formatFixed(p.LatValue, 3, 6, s.DecimalSep);
  p.LatMer = DezToMerN(p.LatValue);

  p.FixOk = "1";
  p.Time = "000000.00";
  p.Date = "01.01.00";
  p.Altitude = "0";
  p.SatCount = "0";
  p.Hdop = "0";
  if (p.SpeedKmh == "-") p.SpeedKmh = "0.00";
  if (p.Course == "-") p.Course = "0.00";
  // The rules compare the speed as a number; a track brings its own, so the threshold and heading
  // rules that this format enables see the recorded speed, not one left from an earlier file.
  p.SpeedValue = tryStrToFloat(PZD(s, p.SpeedKmh), s.DecimalSep).value_or(0);
  p.PointValid = true;
  return coordinatesPresent(s, line, lineNumber);
}

bool touratechUsable(Session& /*s*/) {
  return true;
}

bool touratechFound(const Session&, const FileSample& file) {
  // Every Access database starts with the same page header: 4 bytes, then the engine's name.
  const std::string_view engine =
      file.bytes.substr(std::min<std::size_t>(4, file.bytes.size()), 15);
  return engine == "Standard Jet DB" || engine == "Standard ACE DB";
}

}  // namespace kursolin
