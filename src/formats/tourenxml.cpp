#include "formats/tourenxml.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/numtext.h"
#include "core/point.h"
#include "core/textutil.h"
#include "formats/route_reader.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

struct ItemKey {
  const char* name;
  const char* fallback;
};

// In the order of the intermediate line.
constexpr std::array<ItemKey, 12> kKeys = {{
    {"Instruction", "-"},
    {"PointDist", "-"},
    {"PointDescription", "-"},
    {"Turn", "-"},
    {"Prio", "-"},
    {"SegDescription", "-"},
    {"SegDist", "-"},
    {"SegTime", "-"},
    {"TimeStamp", "-"},
    {"ViaStation", "-"},
    {"x", "0.00"},
    {"y", "0.00"},
}};
constexpr std::size_t kPointDist = 1, kPointDescription = 2, kSegDist = 6, kViaStation = 9;

using ItemValues = std::array<std::string, kKeys.size()>;

std::size_t lineLength(const ItemValues& v) {
  std::size_t n = v.size();  // one "|" after each value
  for (const auto& value : v) n += value.size();
  return n;
}

// Cuts the values at `which` to one common greatest length, no shorter than `least`, until the
// line fits `room` (or they are all at `least`).
void cutToFit(ItemValues& v, std::initializer_list<std::size_t> which, std::size_t least,
              std::size_t room) {
  const std::size_t length = lineLength(v);
  if (length <= room) return;
  const auto lengthWith = [&](std::size_t cap) {
    std::size_t n = length;
    for (std::size_t k : which) {
      const std::size_t size = v[k].size();
      const std::size_t kept = size <= least ? size : std::max(least, std::min(size, cap));
      n -= size - kept;
    }
    return n;
  };
  std::size_t longest = least;
  for (std::size_t k : which) longest = std::max(longest, v[k].size());
  // The greatest cap that fits.
  std::size_t lo = least, hi = longest;
  while (lo < hi) {
    const std::size_t mid = lo + (hi - lo + 1) / 2;
    if (lengthWith(mid) <= room) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  for (std::size_t k : which) {
    if (v[k].size() > lo) v[k].resize(lo);
  }
}

// The intermediate line of one item. The generator reads at most TextLines::kMaxLineRead
// characters of a line, and the position stands at its end: a long instruction text must not
// push it past the limit, where it would be cut short without a word. The values the reader
// never looks at give way first, then the name and the station mark; x and y stay whole.
std::string intermediateLine(ItemValues v) {
  constexpr std::size_t kRoom = TextLines::kMaxLineRead;
  cutToFit(v, {0, 1, 3, 4, 5, 6, 7, 8}, 1, kRoom);
  // Two characters keep a station mark apart from "-", the mark of no station.
  cutToFit(v, {kPointDescription, kViaStation}, 2, kRoom);
  std::string line;
  line.reserve(lineLength(v));
  for (const auto& value : v) {
    line += value;
    line += '|';
  }
  return line;
}

// The value of a key inside one item: from after `name="` to the next double quote. The key is
// matched as a plain substring, so "x" also matches the end of a longer name; the first match
// wins.
std::string attribute(std::string_view item, const ItemKey& key) {
  const std::string pattern = std::string(key.name) + "=\"";
  const auto at = item.find(pattern);
  if (at == std::string_view::npos) return key.fallback;
  const auto from = at + pattern.size();
  const auto quote = item.find('"', from);
  std::string value = UTF8_Umlaute_umwandeln(std::string(
      item.substr(from, quote == std::string_view::npos ? item.size() - from : quote - from)));
  if (value.empty()) return key.fallback;
  // A "|" or a line break inside a value would split the line into the wrong fields or into two
  // lines; a blank keeps the text readable and the line whole.
  for (char& c : value) {
    if (c == '|' || c == '\r' || c == '\n') c = ' ';
  }
  return value;
}

// Tourenplaner's TEF files write x="11,91293"; both separators give the same point on any host.
std::string decimalText(const std::string& value) {
  return KommaZuPunkt(value);
}

}  // namespace

std::string UTF8_Umlaute_umwandeln(const std::string& text) {
  // Second byte after C3 and the cp1252 character: Ä Ö Ü ß ä ö ü.
  static constexpr std::pair<unsigned char, char> kUmlauts[] = {
      {0x84, '\xC4'}, {0x96, '\xD6'}, {0x9C, '\xDC'}, {0x9F, '\xDF'},
      {0xA4, '\xE4'}, {0xB6, '\xF6'}, {0xBC, '\xFC'}};
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) != 0xC3 || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const auto second = static_cast<unsigned char>(text[++i]);
    char c = '?';
    for (const auto& [byte, umlaut] : kUmlauts) {
      if (byte == second) c = umlaut;
    }
    out += c;
  }
  return out;
}

void TourenXML(Session& s, const std::string& text, TourenItems items) {
  static constexpr std::string_view kOpen = "<Item", kClose = "</Item>";
  const bool stationsOnly = items == TourenItems::Stations;
  const std::string_view all(text);
  std::vector<std::string> lines;
  std::size_t position = 0;
  while (true) {
    const auto open = all.find(kOpen, position);
    if (open == std::string_view::npos) break;
    const auto inner = open + kOpen.size();
    const auto close = all.find(kClose, inner);
    // Without a closing tag no later item can be complete either.
    if (close == std::string_view::npos) break;
    const std::string_view item = all.substr(inner, close - inner);
    ItemValues v;
    for (std::size_t k = 0; k < kKeys.size(); ++k) v[k] = attribute(item, kKeys[k]);
    position = close;
    // Start and destination have a distance of exactly "0"; the others count only as stations.
    if (stationsOnly && v[kViaStation] == "-" && v[kPointDist] != "0" && v[kSegDist] != "0") {
      continue;
    }
    lines.push_back(intermediateLine(std::move(v)));
  }
  s.doc.InputLines.assign(std::move(lines));
}

bool loadTourenXML(Session& s, const std::string& path, TourenItems items) {
  std::string why;
  const auto bytes = readFileBytes(path, &why);
  if (!bytes) {
    s.port().prompt(PromptKind::Error, PromptButtons::Ok,
                    "Die Datei " + path + " kann nicht gelesen werden: " + why);
    return false;
  }
  // Like every text input, a file with a byte-order mark is read as cp1252.
  TourenXML(s, decodeTextFile(std::move(*bytes)), items);
  return true;
}

int GetXML(Session& s, const std::string& line, int index) {
  PointRecord& p = s.CurrentPoint;
  const int lineNumber = index + 1;
  if (line.empty()) {
    reportEmptyLine(s, lineNumber);
    return 0;
  }
  const std::vector<std::string> f = splitAt(line, '|');
  const auto field = [&](std::size_t n) { return n <= f.size() ? f[n - 1] : std::string(); };
  p.navi(RtePlaceName) = field(3);
  p.ViaStationPoint = field(10) != "-";
  std::string lon = field(11), lat = field(12);
  if (lon == "-") lon = "0.00";
  if (lat == "-") lat = "0.00";
  p.navi(RteLon) = decimalText(lon);
  p.navi(RteLat) = decimalText(lat);
  setCoordinateFromDecimal(s, Axis::Longitude, p.navi(RteLon), lineNumber);
  setCoordinateFromDecimal(s, Axis::Latitude, p.navi(RteLat), lineNumber);
  setRouteFileDefaults(p);
  return coordinatesPresent(s, line, lineNumber);
}

bool tourenXmlFound(const Session&, const FileSample& file) {
  return file.bytes.find("<Item") != std::string_view::npos &&
         file.bytes.find(" x=\"") != std::string_view::npos;
}

}  // namespace kursolin
