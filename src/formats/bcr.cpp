#include "formats/bcr.h"

#include <algorithm>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/geotime.h"
#include "core/numtext.h"
#include "core/split_plan.h"
#include "core/textutil.h"
#include "formats/part_files.h"
#include "formats/route_reader.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

bool contains(std::string_view line, const char* what) {
  return line.find(what) != std::string::npos;
}

// Index of the last line containing `what`, or -1.
long long lastLineWith(const std::vector<std::string>& lines, const char* what) {
  for (long long i = static_cast<long long>(lines.size()) - 1; i >= 0; --i) {
    if (contains(lines[static_cast<std::size_t>(i)], what)) return i;
  }
  return -1;
}

// X is the text between the first "=" and the first ",", Y the text after the first ",";
// positions as the platform's copy gives them, so a line without "=" still yields its numbers.
void splitEntry(const std::string& line, std::string& name, std::string& x, std::string& y) {
  const int eq = pos('=', line);
  const int comma = pos(',', line);
  name = copy(line, 1, eq - 1);
  x = copy(line, eq + 1, comma - eq - 1);
  y = copy(line, comma + 1, static_cast<long long>(line.size()));
}

std::string flag(bool on) {
  return on ? "1" : "0";
}

int decimalDigits(long long v) {
  int d = 1;
  while (v >= 10) {
    v /= 10;
    ++d;
  }
  return d;
}

// v (never negative here) with leading zeros to at least `width` digits.
std::string zeroPadded(long long v, int width) {
  std::string text = std::to_string(v);
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), '0');
  return text;
}

struct Stamp {
  std::string date, time;
};

// The lines of file f (1-based) holding the points OutputLines[offset, offset + m); false with
// the reason when a point line is no pair of whole numbers.
bool fileLines(const Session& s, const Stamp& stamp, int f, int offset, int m,
               std::vector<std::string>& out, std::string& error) {
  const Options& b = s.opt;
  out.clear();
  out.push_back("[CLIENT]");
  out.push_back("REQUEST=TRUE");
  std::string routeName = "ROUTENAME=" + b.get(RNHeader) + b.get(BcrRouteTitle);
  // The suffix itself begins with "_", so the route name of a later part reads Tour__1.
  if (f >= 2) routeName += "_" + partFileSuffix(f, s.doc.split.SplitFiles);
  out.push_back(routeName);
  out.push_back("DESCRIPTIONLINES=2");
  out.push_back("DESCRIPTION1=Erstellt mit Kursolin am  " + stamp.date + " um " + stamp.time +
                " Uhr");
  out.push_back("DESCRIPTION2=aus der Datei " + nameOf(s.doc.InputFileName));
  const std::vector<std::string> description = splitLines(b.get(Beschreibung));
  for (std::size_t i = 0; i < description.size(); ++i) {
    out.push_back("DESCRIPTION" + std::to_string(i + 3) + "=" + description[i]);
  }
  for (int i = 1; i <= m; ++i) out.push_back("STATION" + std::to_string(i) + "=Standort,999999999");

  out.push_back("[COORDINATES]");
  long long left = 0, top = 0, right = 0, bottom = 0;
  for (int i = 1; i <= m; ++i) {
    const int index = offset + i - 1;
    const std::string line(s.doc.OutputLines.full(index));
    const auto comma = line.find(',');
    const auto x = tryStrToInt(line.substr(0, comma == std::string::npos ? line.size() : comma));
    const auto y = comma == std::string::npos ? std::nullopt : tryStrToInt(line.substr(comma + 1));
    if (!x || !y) {
      error = "Die Zeile " + std::to_string(index + 1) + " der Routendaten (\"" + line +
              "\") ist kein Paar ganzer Zahlen X,Y.";
      return false;
    }
    if (i == 1) {
      left = right = *x;
      top = bottom = *y;
    } else {
      left = std::min(left, *x);
      right = std::max(right, *x);
      top = std::max(top, *y);
      bottom = std::min(bottom, *y);
    }
    out.push_back("STATION" + std::to_string(i) + "=" + line);
  }

  out.push_back("[DESCRIPTION]");
  const int width = decimalDigits(std::max(s.doc.RoutePointCount, 0));
  for (int i = 1; i <= m; ++i) {
    out.push_back("STATION" + std::to_string(i) + "=KS-Rp," + zeroPadded(offset + i, width) +
                  ",,0,");
  }

  const auto& profiles = bcrVehicleProfiles();
  // An index from a hand-edited settings file that names no profile counts as the first.
  const std::size_t profile =
      b.get(PIndex) >= 0 && static_cast<std::size_t>(b.get(PIndex)) < profiles.size()
          ? static_cast<std::size_t>(b.get(PIndex))
          : 0;
  out.push_back("[ROUTE]");
  out.push_back("PROFILE=" + profiles[profile]);
  out.push_back("OPTIMIZATION=" + std::to_string(b.get(OPTIMIZATION)));
  out.push_back("PREFERNICE=" + flag(b.get(PREFERNICE_C)));
  out.push_back("PREFERMAUT=" + flag(b.get(PREFERMAUT_C)));
  out.push_back("PREFERVIGN=" + flag(b.get(PREFERVIGN_C)));
  out.push_back("CORRUSED=" + flag(b.get(CORRUSED_C)));
  out.push_back("TRAFFICUSED=" + flag(b.get(TRAFFICUSED_C)));
  out.push_back("ALTROUTE=" + flag(b.get(ALTROUTE_C)));
  out.push_back("ROUTERECT=" + intToStr(left) + "," + intToStr(top) + "," + intToStr(right) + "," +
                intToStr(bottom));
  return true;
}

}  // namespace

const std::vector<std::string>& bcrVehicleProfiles() {
  static const std::vector<std::string> profiles = {
      "Auto langsam",     "Auto mittel",     "Auto schnell",  "Motorrad",
      "Motorrad Anfahrt", "Motorrad mittel", "Motorrad Tour", "Wohnwagen"};
  return profiles;
}

namespace {
bool bcrHeader(const TextLines& in) {
  return contains(in.full(0), "CLIENT") && contains(in.full(1), "REQUEST") &&
         contains(in.full(2), "ROUTENAME") && contains(in.full(3), "DESCRIPTIONLINES");
}
}  // namespace

bool bcrFound(const Session&, const FileSample& file) { return bcrHeader(file.lines); }

bool bcrRecognized(Session& s) {
  const TextLines& in = s.doc.InputLines;
  if (!bcrHeader(in)) return false;
  // Only the [COORDINATES] entries are points; the station lists of [CLIENT] and [DESCRIPTION]
  // name the same stations again.
  std::vector<std::string> lines = in.lines();
  const long long coordinates = lastLineWith(lines, "COORDINATES");
  if (coordinates < 0) {
    lines.clear();
  } else {
    lines.erase(lines.begin(), lines.begin() + coordinates + 1);
  }
  const long long description = lastLineWith(lines, "DESCRIPTION");
  if (description >= 0) lines.erase(lines.begin() + description, lines.end());
  s.doc.InputLines.assign(std::move(lines));
  return true;
}

int GetBCR(Session& s, const std::string& line, int index) {
  PointRecord& p = s.CurrentPoint;
  std::string name, x, y;
  splitEntry(line, name, x, y);
  const auto whole = [&](const std::string& text) {
    if (auto v = tryStrToInt(text)) return *v;
    throw ConvertError("Die Koordinate \"" + text + "\" in Zeile " + intToStr(index + 1) +
                       " der Quelldatei ist keine ganze Zahl");
  };
  const long long xv = whole(x);
  const long long yv = whole(y);
  p.navi(RtePlaceName) = name;

  const NumberStyle st = s.numbers;
  completePositionTexts(st, p);
  // The file's own whole metres stay the Mercator texts.
  const auto coordinate = [&](Axis axis, std::string dec, const std::string& metres) {
    Converted grMin = GeoDezToGrMin(st, dec);
    errorPromptsIfShown(s, grMin.errors);
    const Real value = strToFloat(PZD(st, dec), st.DecimalSep);
    setCoordinate(st, p, axis, {std::move(dec), std::move(grMin.text), value, metres});
  };
  coordinate(Axis::Longitude, MerToDezO(xv), x);
  coordinate(Axis::Latitude, MerToDezN(yv), y);

  // A BCR point is never refused, not even at 0/0; only one east or west of the globe is.
  setRouteFileDefaults(p);
  return coordinatesOnGlobe(s, line, index + 1);
}

void buildBCR(Session& s, const RoutePoint&) {
  s.doc.OutputLines.add(s.CurrentPoint.LonMer + "," + s.CurrentPoint.LatMer);
}

bool SaveBCR(Session& s, const std::string& chosen) {
  const int files = s.doc.split.fileCount();
  if (files < 1 || s.doc.OutputLines.empty()) {
    s.port().prompt(PromptKind::Error, PromptButtons::Ok,
                    "Die Route enthält keine Routenpunkte; es wurde keine Datei geschrieben."_cp);
    return false;
  }
  if (!splitPlanUsable(s)) return false;
  const LocalDateTime now = fileStampTime();
  const Stamp stamp{formatShortDate(s.host(), now.year, now.month, now.day),
                    formatLongTime(s.host(), now.hour, now.minute, now.second)};
  PartFileWriter writer(s, files);
  int offset = 0;
  std::vector<std::string> lines;
  for (int f = 1; f <= files; ++f) {
    const int m = f <= s.doc.split.SplitFiles ? s.doc.split.SplitSize : s.doc.split.SplitRest;
    const std::string name = partFileName(chosen, f, s.doc.split.SplitFiles);
    std::string error;
    if (!fileLines(s, stamp, f, offset, m, lines, error)) {
      writer.stop(f, name, error);
      writer.remember(chosen);
      return false;
    }
    if (!writer.write(f, name, lines)) {
      writer.remember(chosen);
      return false;
    }
    offset += m;
  }
  writer.remember(chosen);
  return true;
}

}  // namespace kursolin
