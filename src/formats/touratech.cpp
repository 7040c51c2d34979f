#include "formats/touratech.h"

#include <cstdint>
#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/textutil.h"
#include "formats/accessdb.h"
#include "formats/route_reader.h"
#include "session/isolated.h"
#include "session/prompt.h"

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

// The number in a decimal-degree text; a text that is no number is 0, after the Abort/Ignore
// prompt while ShowErrors is on.
Real coordinateValue(Session& s, const std::string& text, const std::string& line) {
  if (auto v = tryPZDNumber(s.numbers, text)) return *v;
  // An Abort chosen in an earlier prompt of this record stands.
  if (s.opt.ShowErrors && !s.AbortRequested) {
    abortIgnorePrompt(s,
                      "Fehler beim Umwandeln in Dezimalkoordinaten bei Wert " + line + " erkannt");
  }
  return 0;
}

// --- Reading in the child process ---
// The child hands back frames: a tag byte, the length as four bytes (little end first), the
// bytes. 'C' the table chosen, 'L' one line, 'E' the message of a file the library refused,
// 'Z' the end; a result without its end frame is incomplete.

enum class TableChoice : char { Track = 'T', Waypoints = 'W', NoData = 'N', BothData = 'B' };

struct TableRead {
  TableChoice choice = TableChoice::NoData;
  std::vector<std::string> lines;
  std::string error;
};

void putFrame(ChildResultWriter& out, char tag, std::string_view bytes) {
  const auto n = static_cast<std::uint32_t>(bytes.size());
  const char head[5] = {tag, static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF),
                        static_cast<char>((n >> 16) & 0xFF), static_cast<char>(n >> 24)};
  out.write(std::string_view(head, sizeof head));
  out.write(bytes);
}

// The tables of the database as LoadTQVFile uses them; runs in the child.
void readTables(const std::string& path, ChildResultWriter& out) {
  try {
    AccessDatabase db(path);
    const auto track = lastTable(db.tableNames(), isTrackTableName);
    const bool trackData = holdsData(db, track);
    const auto waypoints = lastTable(db.tableNames(), isWaypointTableName);
    const bool waypointData = holdsData(db, waypoints);

    TableChoice choice = TableChoice::BothData;
    if (trackData && !waypointData) {
      choice = TableChoice::Track;
    } else if (waypointData && !trackData) {
      choice = TableChoice::Waypoints;
    } else if (!trackData) {
      choice = TableChoice::NoData;
    }
    putFrame(out, 'C', std::string(1, static_cast<char>(choice)));
    if (choice == TableChoice::Track || choice == TableChoice::Waypoints) {
      const bool isTrack = choice == TableChoice::Track;
      AccessTable t = db.openTable(isTrack ? *track : *waypoints);
      const TableRole role = isTrack ? TableRole::Track : TableRole::Waypoints;
      for (t.moveFirst(); !t.eof(); t.moveNext()) putFrame(out, 'L', recordLine(t, role));
    }
  } catch (const AccessDbError& e) {
    putFrame(out, 'E', e.what());
  }
  putFrame(out, 'Z', {});
}

// The child's result read back; nullopt when it is incomplete or malformed.
std::optional<TableRead> decodeTableRead(const std::string& bytes) {
  TableRead read;
  bool chosen = false;
  std::size_t at = 0;
  while (at + 5 <= bytes.size()) {
    const char tag = bytes[at];
    std::uint32_t n = 0;
    for (int i = 4; i >= 1; --i) n = (n << 8) | static_cast<unsigned char>(bytes[at + i]);
    at += 5;
    if (n > bytes.size() - at) return std::nullopt;
    std::string payload = bytes.substr(at, n);
    at += n;
    switch (tag) {
      case 'C':
        if (payload.size() != 1 ||
            std::string_view("TWNB").find(payload[0]) == std::string_view::npos)
          return std::nullopt;
        read.choice = static_cast<TableChoice>(payload[0]);
        chosen = true;
        break;
      case 'L':
        read.lines.push_back(std::move(payload));
        break;
      case 'E':
        read.error = std::move(payload);
        break;
      case 'Z':
        if (at != bytes.size() || (!chosen && read.error.empty())) return std::nullopt;
        return read;
      default:
        return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace

bool isTrackTableName(const std::string& name) {
  return name.size() >= 3 && name.compare(name.size() - 3, 3, "trp") == 0;
}

bool isWaypointTableName(const std::string& name) {
  return name.rfind("Waypoi", 0) == 0 || name.rfind("waypoi", 0) == 0;
}

bool LoadTQVFile(Session& s, const std::string& path) {
  // The header is ours to read; what lies beyond goes to the library, in a process of its own.
  if (const AccessFileCheck check = checkAccessFile(path); !check.usable) {
    s.port().prompt(PromptKind::Error, PromptButtons::Ok, accessFileMessage(path, check.reason));
    return false;
  }
  const ChildOutcome run = runInChild(s.port(), "Die Datenbank " + path + " wird gelesen ...",
                                      s.opt.databaseReadLimits, [&path](ChildResultWriter& out) {
                                        readTables(path, out);
                                        return 0;
                                      });
  if (run.end == ChildEnd::Cancelled) return false;
  std::optional<TableRead> read;
  if (run.end == ChildEnd::Finished && run.exitCode == 0) read = decodeTableRead(run.result);
  if (!read) {
    const std::string why = run.end == ChildEnd::Finished
                                ? "Das Lesen endete ohne vollständiges Ergebnis; die Datei ist "
                                  "vermutlich beschädigt."_cp
                                : childFailureText(run, s.opt.databaseReadLimits);
    s.port().prompt(PromptKind::Error, PromptButtons::Ok, accessFileMessage(path, why));
    return false;
  }
  if (!read->error.empty()) {
    s.port().prompt(PromptKind::Error, PromptButtons::Ok, read->error);
    return false;
  }
  if (read->choice == TableChoice::NoData) message(s, " Keine Routendaten in der Datei erkannt");
  if (read->choice == TableChoice::BothData) message(s, "Tracks und Waypoints enthalten Daten");
  if (read->choice == TableChoice::NoData || read->choice == TableChoice::BothData) {
    message(s, "Keine bekannten Tabellen in der Datei gefunden !");
  }
  for (auto& l : read->lines) s.doc.InputLines.add(std::move(l));
  return true;
}

int GetTTQV(Session& s, const std::string& line, int index) {
  PointRecord& p = s.CurrentPoint;
  const int lineNumber = index + 1;
  if (line.empty()) {
    reportEmptyLine(s, lineNumber);
    return 0;
  }
  const std::vector<std::string> f = splitAt(line, '|');
  const auto fieldAt = [&](std::size_t i) { return i < f.size() ? KommaZuPunkt(f[i]) : ""; };
  std::string& lat = p.navi(RteLat);
  std::string& lon = p.navi(RteLon);
  lat = fieldAt(1);
  lon = fieldAt(2);
  p.SpeedKmh = fieldAt(3);
  p.Course = fieldAt(4);

  const NumberStyle st = s.numbers;
  completePositionTexts(st, p);
  // A database gives 7 or 1e1 as well as 7.5: the degree-minute conversion needs plain decimals.
  // The decimal text is the number written anew, so a value that is no number shows as 0.
  const auto coordinate = [&](Axis axis, std::string& text) {
    if (text == "-") text = "0.00";
    Converted grMin = GeoDezToGrMin(st, fixedDecimalText(st, text));
    errorPromptsIfShown(s, grMin.errors);
    const Real value = coordinateValue(s, text, line);
    setCoordinate(st, p, axis,
                  {formatFixed(value, 3, 6, st.DecimalSep), std::move(grMin.text), value,
                   mercatorOf(axis, value)});
  };
  coordinate(Axis::Longitude, lon);
  coordinate(Axis::Latitude, lat);

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
  p.SpeedValue = tryPZDNumber(st, p.SpeedKmh).value_or(0);
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
