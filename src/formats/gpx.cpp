#include "formats/gpx.h"

#include <expat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string_view>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/geotime.h"
#include "core/host.h"
#include "core/numtext.h"
#include "core/textutil.h"
#include "formats/route_reader.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

// ---------------------------------------------------------------------------------------------
// Times

struct GpxTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::string fraction;  // the digits after the seconds' point, as the file gives them
  double epoch = 0;      // seconds since 1970 (UTC), fraction included
};

// Days since 1970-01-01 of a civil date (proleptic Gregorian), and back.
long long daysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return kDays[m - 1];
}

// Reads `n` digits at `i`; false when they are not all there.
bool digitsAt(std::string_view t, std::size_t& i, std::size_t n, int& value) {
  if (i + n > t.size()) return false;
  value = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const char c = t[i + k];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  i += n;
  return true;
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view t) {
  while (!t.empty() && isBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && isBlank(t.back())) t.remove_suffix(1);
  return t;
}

// An xsd:dateTime as GPX writes it: YYYY-MM-DDThh:mm:ss[.f][Z|+hh:mm|-hh:mm]. A time without a
// zone counts as UTC, which is what GPX prescribes; a zone offset is taken off.
std::optional<GpxTime> parseGpxTime(std::string_view text) {
  const std::string_view t = trimmed(text);
  std::size_t i = 0;
  GpxTime g;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (!digitsAt(t, i, 4, y) || i >= t.size() || t[i++] != '-') return std::nullopt;
  if (!digitsAt(t, i, 2, mo) || i >= t.size() || t[i++] != '-') return std::nullopt;
  if (!digitsAt(t, i, 2, d) || i >= t.size() || (t[i] != 'T' && t[i] != 't')) return std::nullopt;
  ++i;
  if (!digitsAt(t, i, 2, h) || i >= t.size() || t[i++] != ':') return std::nullopt;
  if (!digitsAt(t, i, 2, mi) || i >= t.size() || t[i++] != ':') return std::nullopt;
  if (!digitsAt(t, i, 2, s)) return std::nullopt;
  if (i < t.size() && t[i] == '.') {
    ++i;
    const std::size_t from = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i == from) return std::nullopt;
    // Nanoseconds are more than any receiver measures.
    g.fraction = std::string(t.substr(from, std::min<std::size_t>(i - from, 9)));
  }
  int offset = 0;
  if (i < t.size() && (t[i] == 'Z' || t[i] == 'z')) {
    ++i;
  } else if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    const int sign = t[i++] == '-' ? -1 : 1;
    int oh = 0, om = 0;
    if (!digitsAt(t, i, 2, oh)) return std::nullopt;
    if (i < t.size() && t[i] == ':') ++i;
    if (!digitsAt(t, i, 2, om) || oh > 14 || om > 59) return std::nullopt;
    offset = sign * (oh * 3600 + om * 60);
  }
  if (i != t.size()) return std::nullopt;
  if (mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo)) return std::nullopt;
  // 24:00:00 is the end of the day in xsd:dateTime; the arithmetic below carries it over.
  if (h > 24 || mi > 59 || s > 59 || (h == 24 && (mi || s))) return std::nullopt;

  const long long secs = daysFromCivil(y, mo, d) * 86400LL + h * 3600LL + mi * 60LL + s - offset;
  long long days = secs / 86400, sod = secs % 86400;
  if (sod < 0) {
    sod += 86400;
    --days;
  }
  civilFromDays(days, g.year, g.month, g.day);
  if (g.year < 0 || g.year > 9999) return std::nullopt;
  g.hour = static_cast<int>(sod / 3600);
  g.minute = static_cast<int>(sod / 60 % 60);
  g.second = static_cast<int>(sod % 60);
  // The fraction by hand: the C library's number parsing follows the desktop's locale.
  double fraction = 0, unit = 0.1;
  for (char c : g.fraction) {
    fraction += (c - '0') * unit;
    unit /= 10;
  }
  g.epoch = static_cast<double>(secs) + fraction;
  return g;
}

std::string isoText(const GpxTime& g) {
  char b[64];
  std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d", g.year, g.month, g.day, g.hour,
                g.minute, g.second);
  std::string out = b;
  if (!g.fraction.empty()) out += "." + g.fraction;
  return out + "Z";
}

// Two decimals and "." whatever the desktop's locale.
std::string fixed2(double v) {
  return formatFixed(v, 0, 2, '.');
}

// ---------------------------------------------------------------------------------------------
// Loading

std::optional<double> fileNumber(std::string_view text) {
  const auto v = tryStrToFloat(trimmed(text), '.');
  if (!v || !std::isfinite(static_cast<double>(*v))) return std::nullopt;
  return static_cast<double>(*v);
}

// The poles have no Mercator value, which several outputs need: a point there is refused.
bool validLatLon(std::optional<double> lat, std::optional<double> lon) {
  return lat && lon && *lat > -90 && *lat < 90 && *lon >= -180 && *lon <= 180;
}

// A value of the file (UTF-8) for one field of the intermediate line (cp1252): never a "|",
// never a line break.
std::string lineField(std::string_view utf8) {
  const std::string text = utf8ToCp1252(trimmed(utf8));
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '|') {
      out.push_back('\xA6');
    } else if (static_cast<unsigned char>(c) < 0x20 || c == '\x7F') {
      out.push_back(' ');
    } else {
      out.push_back(c);
    }
  }
  return out.empty() ? std::string("-") : out;
}

// What the file says about one point.
struct RawPoint {
  // Texts as the parser hands them over, in UTF-8.
  std::string lat, lon;
  std::string ele, time, name, fix, sat, hdop, speed, course;
  RouteRole role = RouteRole::Unknown;
};

// Carries the previous point of one kind, so speed and course can be worked out in file order.
class Deriver {
 public:
  std::string line(const RawPoint& r) {
    const auto lat = fileNumber(r.lat), lon = fileNumber(r.lon);
    const bool here = validLatLon(lat, lon);
    const auto time = parseGpxTime(r.time);

    std::string speed = "-";
    if (const auto v = fileNumber(r.speed); v && *v >= 0) {
      speed = fixed2(*v * 3.6);  // GPX speeds are metres per second
    } else if (here && havePrev_ && time && prevTime_ && time->epoch > *prevTime_) {
      speed =
          fixed2(sphereMetres(prevLat_, prevLon_, *lat, *lon) / (time->epoch - *prevTime_) * 3.6);
    }

    std::optional<double> course;
    if (const auto c = fileNumber(r.course); c && *c >= 0 && *c <= 360) {
      course = *c >= 360 ? 0 : *c;
    } else if (here && havePrev_) {
      // Standing still has no bearing; the last heading stands, as a receiver reports it.
      course = (*lat == prevLat_ && *lon == prevLon_)
                   ? prevCourse_
                   : initialBearing(prevLat_, prevLon_, *lat, *lon);
    }

    if (here) {
      havePrev_ = true;
      prevLat_ = *lat;
      prevLon_ = *lon;
      prevTime_ = time ? std::optional<double>(time->epoch) : std::nullopt;
      prevCourse_ = course;
    }

    std::string out;
    out.reserve(96);
    out += lineField(r.lat) + "|" + lineField(r.lon) + "|";
    out += (time ? isoText(*time) : std::string("-")) + "|";
    out += lineField(r.ele) + "|" + speed + "|";
    out += (course ? fixed2(*course) : std::string("-")) + "|";
    out += lineField(r.fix) + "|" + lineField(r.sat) + "|" + lineField(r.hdop) + "|";
    out += lineField(r.name);
    // Only a point whose file says what it is gets the eleventh field.
    if (r.role == RouteRole::Via) out += "|via";
    if (r.role == RouteRole::Shaping) out += "|shaping";
    return out;
  }

 private:
  bool havePrev_ = false;
  double prevLat_ = 0, prevLon_ = 0;
  std::optional<double> prevTime_;
  std::optional<double> prevCourse_;
};

std::string expatErrorText(XML_Error code) {
  switch (code) {
    case XML_ERROR_NO_MEMORY:
      return "zu wenig Speicher";
    case XML_ERROR_SYNTAX:
      return "Syntaxfehler";
    case XML_ERROR_NO_ELEMENTS:
      return "die Datei endet vor dem Ende des Dokuments (leer oder abgeschnitten?)";
    case XML_ERROR_INVALID_TOKEN:
      return "ungültiges Zeichen"_cp;
    case XML_ERROR_UNCLOSED_TOKEN:
      return "nicht abgeschlossenes Element";
    case XML_ERROR_PARTIAL_CHAR:
      return "unvollständiges Zeichen"_cp;
    case XML_ERROR_TAG_MISMATCH:
      return "das schließende Tag passt nicht zum öffnenden"_cp;
    case XML_ERROR_DUPLICATE_ATTRIBUTE:
      return "doppeltes Attribut";
    case XML_ERROR_JUNK_AFTER_DOC_ELEMENT:
      return "Text nach dem Ende des Dokuments";
    case XML_ERROR_UNDEFINED_ENTITY:
      return "unbekannte Entität"_cp;
    case XML_ERROR_RECURSIVE_ENTITY_REF:
      return "rekursive Entität"_cp;
    case XML_ERROR_UNKNOWN_ENCODING:
      return "unbekannte Zeichenkodierung";
    case XML_ERROR_INCORRECT_ENCODING:
      return "die Zeichen passen nicht zur angegebenen Kodierung";
    case XML_ERROR_UNCLOSED_CDATA_SECTION:
      return "nicht abgeschlossener CDATA Abschnitt";
    case XML_ERROR_MISPLACED_XML_PI:
      return "XML Deklaration nicht am Anfang der Datei";
    case XML_ERROR_UNBOUND_PREFIX:
      return "Namensraum-Präfix ohne Deklaration"_cp;
    case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
      return "zu viele verschachtelte Entitäten"_cp;
    default:
      return "XML Fehler " + intToStr(static_cast<long long>(code)) + " (" + XML_ErrorString(code) +
             ")";
  }
}

std::string nothingLoaded() {
  return std::string(1, kCR) + "Es wurde nichts geladen.";
}

// The expat handlers of one parse; names arrive as "namespace-URI<kNsSep>local-name".
class GpxParser {
 public:
  static constexpr char kNsSep = ' ';
  static constexpr std::size_t kMaxFieldText = 4096;

  explicit GpxParser(std::string fileName) : fileName_(std::move(fileName)) {
    parser_ = XML_ParserCreateNS(nullptr, kNsSep);
    if (!parser_) return;
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &GpxParser::onStart, &GpxParser::onEnd);
    XML_SetCharacterDataHandler(parser_, &GpxParser::onText);
    XML_SetUnknownEncodingHandler(parser_, &GpxParser::onUnknownEncoding, nullptr);
  }
  ~GpxParser() {
    if (parser_) XML_ParserFree(parser_);
  }
  GpxParser(const GpxParser&) = delete;
  GpxParser& operator=(const GpxParser&) = delete;

  /// Feeds the next piece of the file; false once the parse has failed.
  bool feed(const char* data, std::size_t size, bool last) {
    if (!parser_) {
      fail("Die Datei " + fileName_ + " kann nicht gelesen werden: zu wenig Speicher" +
           nothingLoaded());
      return false;
    }
    if (failed_) return false;
    // expat takes int lengths; large pieces go in slices.
    constexpr std::size_t kSlice = 1 << 20;
    do {
      const std::size_t n = size < kSlice ? size : kSlice;
      const bool final = last && n == size;
      if (XML_Parse(parser_, data, static_cast<int>(n), final) == XML_STATUS_ERROR) {
        if (!failed_) {
          fail("Die Datei " + fileName_ + " ist keine gültige XML Datei."_cp + kCR +
               "Fehler in Zeile " +
               intToStr(static_cast<long long>(XML_GetCurrentLineNumber(parser_))) + ", Spalte " +
               intToStr(static_cast<long long>(XML_GetCurrentColumnNumber(parser_)) + 1) + ": " +
               expatErrorText(XML_GetErrorCode(parser_)) + nothingLoaded());
        }
        return false;
      }
      data += n;
      size -= n;
    } while (size > 0);
    return true;
  }

  GpxLoad finish() {
    GpxLoad r;
    if (failed_) {
      r.message = message_;
      return r;
    }
    if (!trk_.empty()) {
      r.source = GpxSource::Track;
      r.lines = std::move(trk_);
    } else if (!rte_.empty()) {
      r.source = GpxSource::Route;
      r.lines = std::move(rte_);
      if (badRoadPoints_ > 0) {
        r.warning = "In der Datei " + fileName_ + " "_cp +
                    (badRoadPoints_ == 1
                         ? std::string("hat ein Straßenpunkt (gpxx:rpt)"_cp)
                         : "haben " + intToStr(badRoadPoints_) + " Straßenpunkte (gpxx:rpt)"_cp) +
                    " keine gültigen Koordinaten (zuerst in Zeile "_cp + intToStr(firstBadRoadLine_) +
                    ")." + kCR + "Diese Punkte werden übergangen, alle anderen gelesen."_cp;
      }
    } else if (!wpt_.empty()) {
      r.source = GpxSource::Waypoints;
      r.lines = std::move(wpt_);
    } else {
      r.message = "Die GPX Datei " + fileName_ +
                  " enthält weder Trackpunkte noch Routenpunkte noch Wegpunkte."_cp +
                  nothingLoaded();
      return r;
    }
    r.ok = true;
    return r;
  }

 private:
  enum class Kind { None, Trk, Rte, Wpt };
  enum class Field { None, Ele, Time, Name, Fix, Sat, Hdop, Speed, Course };

  static void splitName(const XML_Char* name, std::string_view& ns, std::string_view& local) {
    const std::string_view full(name);
    const auto sep = full.rfind(kNsSep);
    if (sep == std::string_view::npos) {
      ns = {};
      local = full;
    } else {
      ns = full.substr(0, sep);
      local = full.substr(sep + 1);
    }
  }

  void fail(std::string message) {
    failed_ = true;
    message_ = std::move(message);
  }

  static void onStart(void* self, const XML_Char* name, const XML_Char** atts) {
    static_cast<GpxParser*>(self)->start(name, atts);
  }
  static void onEnd(void* self, const XML_Char* name) { static_cast<GpxParser*>(self)->end(name); }
  static void onText(void* self, const XML_Char* text, int len) {
    auto* p = static_cast<GpxParser*>(self);
    if (p->field_ != Field::None && p->text_.size() < kMaxFieldText)
      p->text_.append(text, static_cast<std::size_t>(len));
  }

  // Windows-1252 is the code page of the rest of this program; files that declare it are read.
  static int onUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) {
    std::string n(name);
    for (char& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (n != "windows-1252" && n != "cp1252" && n != "x-cp1252") return XML_STATUS_ERROR;
    for (int b = 0; b < 256; ++b)
      info->map[b] = static_cast<int>(cp1252ToUnicode(static_cast<unsigned char>(b)));
    info->data = nullptr;
    info->convert = nullptr;
    info->release = nullptr;
    return XML_STATUS_OK;
  }

  void start(const XML_Char* name, const XML_Char** atts) {
    ++depth_;
    std::string_view ns, local;
    splitName(name, ns, local);
    if (depth_ == 1) {
      if (local != "gpx") {
        fail("Die Datei " + fileName_ + " ist keine GPX Datei: das Hauptelement in Zeile " +
             intToStr(static_cast<long long>(XML_GetCurrentLineNumber(parser_))) + " heißt <"_cp +
             utf8ToCp1252(local) + "> statt <gpx>." + nothingLoaded());
        XML_StopParser(parser_, XML_FALSE);
        return;
      }
      gpxNs_ = ns;
      return;
    }
    const bool core = ns == gpxNs_;
    if (kind_ != Kind::None) {
      if (depth_ == pointDepth_ + 1 && core) {
        if (local == "extensions") {
          extDepth_ = depth_;
        } else {
          beginField(fieldOf(local));
        }
      } else if (extDepth_ && depth_ > extDepth_ && field_ == Field::None) {
        // Extensions of any vendor carry a speed or course under these names.
        if (local == "speed") beginField(Field::Speed);
        if (local == "course") beginField(Field::Course);
        // A planner's via and shaping points, and the road it computed to the next route point.
        if (ns == kTripNs && local == "ViaPoint") point_.role = RouteRole::Via;
        if (ns == kTripNs && local == "ShapingPoint") point_.role = RouteRole::Shaping;
        if (kind_ == Kind::Rte && ns == kGpxxNs && local == "rpt") roadPoint(atts);
      }
      return;
    }
    // Nothing inside an extension, and no element of another vocabulary, is a point of the file.
    if (!core || extDepth_) return;
    if (local == "extensions") {
      extDepth_ = depth_;
      return;
    }
    Kind k = Kind::None;
    if (local == "trkpt") k = Kind::Trk;
    if (local == "rtept") k = Kind::Rte;
    if (local == "wpt") k = Kind::Wpt;
    if (k == Kind::None) return;
    if (k == Kind::Trk) {
      // From the first track point on, routes and waypoints can no longer be chosen.
      sawTrack_ = true;
      rte_.clear();
      rte_.shrink_to_fit();
      wpt_.clear();
      wpt_.shrink_to_fit();
    } else if (sawTrack_) {
      return;
    }
    kind_ = k;
    pointDepth_ = depth_;
    point_ = RawPoint{};
    for (int i = 0; atts[i]; i += 2) {
      const std::string_view attr(atts[i]);
      if (attr == "lat") point_.lat = atts[i + 1];
      if (attr == "lon") point_.lon = atts[i + 1];
    }
  }

  static Field fieldOf(std::string_view local) {
    if (local == "ele") return Field::Ele;
    if (local == "time") return Field::Time;
    if (local == "name") return Field::Name;
    if (local == "fix") return Field::Fix;
    if (local == "sat") return Field::Sat;
    if (local == "hdop") return Field::Hdop;
    if (local == "speed") return Field::Speed;  // GPX 1.0 records it in the point itself
    if (local == "course") return Field::Course;
    return Field::None;
  }

  void beginField(Field f) {
    if (f == Field::None) return;
    field_ = f;
    fieldDepth_ = depth_;
    text_.clear();
  }

  std::string* target(Field f) {
    switch (f) {
      case Field::Ele:
        return &point_.ele;
      case Field::Time:
        return &point_.time;
      case Field::Name:
        return &point_.name;
      case Field::Fix:
        return &point_.fix;
      case Field::Sat:
        return &point_.sat;
      case Field::Hdop:
        return &point_.hdop;
      case Field::Speed:
        return &point_.speed;
      case Field::Course:
        return &point_.course;
      case Field::None:
        break;
    }
    return nullptr;
  }

  // A road point of the planner's path: its position only (it has no time, no name of its own).
  void roadPoint(const XML_Char** atts) {
    RawPoint r;
    for (int i = 0; atts[i]; i += 2) {
      const std::string_view attr(atts[i]);
      if (attr == "lat") r.lat = atts[i + 1];
      if (attr == "lon") r.lon = atts[i + 1];
    }
    if (!validLatLon(fileNumber(r.lat), fileNumber(r.lon))) {
      if (badRoadPoints_++ == 0)
        firstBadRoadLine_ = static_cast<long long>(XML_GetCurrentLineNumber(parser_));
      return;
    }
    road_.push_back(std::move(r));
  }

  void end(const XML_Char*) {
    if (field_ != Field::None && depth_ == fieldDepth_) {
      std::string* t = target(field_);
      // The first value of a field counts; a core value is never replaced by an extension's.
      if (t && t->empty()) *t = text_;
      field_ = Field::None;
    }
    if (extDepth_ == depth_) extDepth_ = 0;
    if (kind_ != Kind::None && depth_ == pointDepth_) {
      switch (kind_) {
        case Kind::Trk:
          trk_.push_back(trkDeriver_.line(point_));
          break;
        case Kind::Rte:
          rte_.push_back(rteDeriver_.line(point_));
          // The road to the next route point follows its route point.
          for (const RawPoint& r : road_) rte_.push_back(rteDeriver_.line(r));
          road_.clear();
          break;
        case Kind::Wpt:
          wpt_.push_back(wptDeriver_.line(point_));
          break;
        case Kind::None:
          break;
      }
      kind_ = Kind::None;
    }
    --depth_;
  }

  XML_Parser parser_ = nullptr;
  std::string fileName_;
  bool failed_ = false;
  std::string message_;

  int depth_ = 0;
  std::string gpxNs_;
  int extDepth_ = 0;  // depth of the open <extensions> element, 0 outside
  Kind kind_ = Kind::None;
  int pointDepth_ = 0;
  RawPoint point_;
  Field field_ = Field::None;
  int fieldDepth_ = 0;
  std::string text_;

  bool sawTrack_ = false;
  std::vector<std::string> trk_, rte_, wpt_;
  std::vector<RawPoint> road_;  // road points of the open route point
  long long badRoadPoints_ = 0, firstBadRoadLine_ = 0;
  Deriver trkDeriver_, rteDeriver_, wptDeriver_;
};

// ---------------------------------------------------------------------------------------------
// Reading a line

std::vector<std::string> splitFields(const std::string& line) {
  std::vector<std::string> f = splitAt(line, '|');
  f.resize(11, "-");
  return f;
}

bool present(const std::string& field) {
  return !field.empty() && field != "-";
}

// A coordinate typed into the pane may carry the host's decimal comma.
std::optional<double> lineNumber(const std::string& field) {
  if (!present(field)) return std::nullopt;
  return fileNumber(KommaZuPunkt(field));
}

// Fills the notations of one coordinate the way the NMEA parsers do: signed texts, the number
// as its magnitude (the generator's distances count from there).
void setGpxCoordinate(Session& s, double v, bool latitude) {
  PointRecord& p = s.CurrentPoint;
  const NumberStyle st = s.numbers;
  completePositionTexts(st, p);
  const std::string magnitude = dez6(st, std::fabs(v));
  const bool negative = v < 0 && magnitude.find_first_not_of("0.") != std::string::npos;
  const std::string sign = negative ? "-" : "";
  Converted grMin = GeoDezToGrMin(st, magnitude);
  errorPromptsIfShown(s, grMin.errors);
  const Axis axis = latitude ? Axis::Latitude : Axis::Longitude;
  setCoordinate(
      st, p, axis,
      {sign + magnitude, sign + grMin.text, std::fabs(static_cast<Real>(v)), mercatorOf(axis, v)});
}

bool allDigits(const std::string& t) {
  return !t.empty() && t.find_first_not_of("0123456789") == std::string::npos;
}

// ---------------------------------------------------------------------------------------------
// Writing

const char* const kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
const char* const kRoot =
    "<gpx version=\"1.1\" creator=\"Kursolin\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
    "http://www.topografix.com/GPX/1/1/gpx.xsd\">";
// The same root with the trip extensions declared beside GPX itself.
const char* const kRootWithTrip =
    "<gpx version=\"1.1\" creator=\"Kursolin\" xmlns=\"http://www.topografix.com/GPX/1/1\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xmlns:trp=\"http://www.garmin.com/xmlschemas/TripExtensions/v1\" "
    "xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1 "
    "http://www.topografix.com/GPX/1/1/gpx.xsd "
    "http://www.garmin.com/xmlschemas/TripExtensions/v1 "
    "http://www.garmin.com/xmlschemas/TripExtensionsv1.xsd\">";
// A via point is announced and routed to by the fastest way, as planners write it by default.
constexpr std::string_view kViaExtension =
    "<extensions><trp:ViaPoint><trp:CalculationMode>FasterTime</trp:CalculationMode>"
    "<trp:ElevationMode>Standard</trp:ElevationMode></trp:ViaPoint></extensions>";
constexpr std::string_view kShapingExtension = "<extensions><trp:ShapingPoint/></extensions>";
constexpr std::string_view kTripOfRoute =
    "    <extensions><trp:Trip><trp:TransportationMode>Motorcycling</trp:TransportationMode>"
    "</trp:Trip></extensions>";

// What the file is made of, from the options.
struct GpxLayout {
  GpxContent content = GpxContent::Route;
  bool via = false;  // a route with via and shaping points
};

GpxLayout layoutOf(const Session& s) {
  GpxLayout l;
  const int c = GpxInhalt.info.range.clamp(s.opt.get(GpxInhalt));
  l.content = static_cast<GpxContent>(c);
  l.via = l.content == GpxContent::Route && s.opt.get(GpxViaPunkte);
  return l;
}

const char* pointTag(GpxContent c) {
  switch (c) {
    case GpxContent::Route:
      return "rtept";
    case GpxContent::Track:
      return "trkpt";
    case GpxContent::Waypoints:
      return "wpt";
  }
  return "rtept";
}

const char* pointIndent(GpxContent c) {
  switch (c) {
    case GpxContent::Route:
      return "    ";
    case GpxContent::Track:
      return "      ";
    case GpxContent::Waypoints:
      return "  ";
  }
  return "";
}

// One point's line: attrs holds the attributes with their leading blank, body the elements of
// the point before any extension.
std::string pointLineOf(const GpxLayout& l, std::string_view attrs, std::string_view body,
                        RouteRole role) {
  const std::string tag = pointTag(l.content);
  std::string line = pointIndent(l.content);
  line += "<" + tag;
  line += attrs;
  line += ">";
  line += body;
  if (l.via) line += role == RouteRole::Via ? kViaExtension : kShapingExtension;
  line += "</" + tag + ">";
  return line;
}

// A point line taken apart again (for a finishing pass over lines made earlier, perhaps with
// other options); false for a line that is no point line of ours.
struct PointParts {
  std::string attrs, body;
  RouteRole role = RouteRole::Unknown;
};

bool pointParts(const std::string& line, PointParts& out) {
  const auto first = line.find_first_not_of(' ');
  if (first == std::string::npos || line[first] != '<') return false;
  const auto nameEnd = line.find(' ', first);
  const auto open = line.find('>', first);
  if (nameEnd == std::string::npos || open == std::string::npos || nameEnd > open) return false;
  const std::string tag = line.substr(first + 1, nameEnd - first - 1);
  const std::string closing = "</" + tag + ">";
  const auto close = line.rfind(closing);
  if (close == std::string::npos || close < open) return false;
  out.attrs = line.substr(nameEnd, open - nameEnd);
  std::string body = line.substr(open + 1, close - open - 1);
  if (const auto ext = body.find("<extensions>"); ext != std::string::npos) {
    const std::string_view extension = std::string_view(body).substr(ext);
    if (extension.find("ViaPoint") != std::string_view::npos) out.role = RouteRole::Via;
    if (extension.find("ShapingPoint") != std::string_view::npos) out.role = RouteRole::Shaping;
    body.erase(ext);
  }
  out.body = std::move(body);
  return true;
}

std::string xmlEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control characters are not allowed in XML 1.0 at all.
        out.push_back((static_cast<unsigned char>(c) < 0x20 || c == '\x7F') ? ' ' : c);
    }
  }
  return out;
}

std::string coordinateText(const std::string& dec) {
  const auto v = fileNumber(KommaZuPunkt(dec));
  return formatFixed(v ? *v : 0.0L, 0, 6, '.');
}

// The record's time as xsd:dateTime, when the record has a date and a time of its own.
std::optional<std::string> recordTime(const Session& s) {
  const PointRecord& p = s.CurrentPoint;
  // GGA sentences carry no date: what the record holds is left from another input.
  if (s.doc.ReadVtg) return std::nullopt;
  if (p.Date.size() != 6 || !allDigits(p.Date) || p.Time.size() < 6) return std::nullopt;
  const std::string hms = p.Time.substr(0, 6);
  if (!allDigits(hms)) return std::nullopt;
  std::string fraction;
  if (p.Time.size() > 6) {
    if (p.Time[6] != '.' && p.Time[6] != ',') return std::nullopt;
    fraction = p.Time.substr(7);
    if (!fraction.empty() && !allDigits(fraction)) return std::nullopt;
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  }
  const int d = std::stoi(p.Date.substr(0, 2)), m = std::stoi(p.Date.substr(2, 2));
  const int yy = std::stoi(p.Date.substr(4, 2));
  // Two-digit years as receivers mean them: 80-99 in the last century.
  const int y = yy >= 80 ? 1900 + yy : 2000 + yy;
  const int hh = std::stoi(hms.substr(0, 2)), mi = std::stoi(hms.substr(2, 2)),
            ss = std::stoi(hms.substr(4, 2));
  if (m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m) || hh > 23 || mi > 59 || ss > 59)
    return std::nullopt;
  char b[64];
  std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02d", y, m, d, hh, mi, ss);
  return std::string(b) + (fraction.empty() ? "" : "." + fraction) + "Z";
}

}  // namespace

GpxLoad parseGpx(const std::string& bytes, const std::string& fileName) {
  GpxParser parser(fileName);
  parser.feed(bytes.data(), bytes.size(), true);
  return parser.finish();
}

GpxLoad loadGpxFile(const std::string& path) {
  std::ifstream in(nativePath(path), std::ios::binary);
  if (!in) {
    GpxLoad r;
    r.message = "Die Datei " + path + " kann nicht gelesen werden." + nothingLoaded();
    return r;
  }
  GpxParser parser(path);
  std::vector<char> buffer(1 << 16);
  while (true) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) {
      GpxLoad r;
      r.message = "Die Datei " + path + " kann nicht gelesen werden." + nothingLoaded();
      return r;
    }
    const bool last = in.eof();
    if (!parser.feed(buffer.data(), got, last) || last) break;
  }
  return parser.finish();
}

std::string gpxLabel(GpxSource source) {
  switch (source) {
    case GpxSource::Track:
      return "GPX Track";
    case GpxSource::Route:
      return "GPX Route";
    case GpxSource::Waypoints:
      return "GPX Wegpunkte";
  }
  return "GPX";
}

std::string gpxCaption(GpxSource source, long long points) {
  return gpxLabel(source) + " - Punkte = " + intToStr(points);
}

bool LoadGPXFile(Session& s, const std::string& path) {
  GpxLoad r = loadGpxFile(path);
  if (!r.ok) {
    s.doc.InputLines.clear();
    s.setInputCaption(kGpxFailureCaption);
    s.port().prompt(PromptKind::Error, PromptButtons::Abort, r.message);
    return false;
  }
  if (!r.warning.empty()) s.port().prompt(PromptKind::Warning, PromptButtons::Ok, r.warning);
  s.doc.InputLines.assign(std::move(r.lines));
  s.doc.InputLabel = gpxLabel(r.source);
  return true;
}

bool gpxPointsLoaded(Session& s) {
  return s.doc.InputLines.Count() > 0;
}

bool readGpxRecord(Session& s, const std::string& line, int index) {
  return GetGPX(s, line, index) == 1;
}

void prepareGpxRecord(Session& s) {
  s.CurrentPoint.navi(RtePlaceName).assign(1, '-');
}

int GetGPX(Session& s, const std::string& line, int index) {
  PointRecord& p = s.CurrentPoint;
  const int lineNo = index + 1;
  if (line.empty()) {
    p.PointValid = false;
    reportEmptyLine(s, lineNo);
    return 0;
  }
  const auto f = splitFields(line);
  const auto lat = lineNumber(f[0]), lon = lineNumber(f[1]);
  if (!validLatLon(lat, lon)) {
    p.PointValid = false;
    s.port().prompt(
        PromptKind::Error, PromptButtons::Ok,
        "Der aktuelle Routenpunkt "_cp + intToStr(lineNo) + kCR + kCR + line + kCR + kCR +
            "enthält keine gültigen Koordinaten !"_cp + kCR +
            "Die Breite muss eine Zahl zwischen -90 und 90 sein, ohne die Pole, die Länge "
            "eine Zahl von -180 bis 180."_cp +
            kCR + "Der Routenpunkt wird nicht ausgewertet");
    return 0;
  }
  setGpxCoordinate(s, *lat, true);
  setGpxCoordinate(s, *lon, false);

  p.Time = "000000.00";
  p.Date = "01.01.00";
  if (const auto t = present(f[2]) ? parseGpxTime(f[2]) : std::nullopt) {
    char b[64];
    std::snprintf(b, sizeof b, "%02d%02d%02d", t->hour, t->minute, t->second);
    std::string fraction = t->fraction;
    while (fraction.size() < 2) fraction.push_back('0');
    p.Time = std::string(b) + "." + fraction;
    std::snprintf(b, sizeof b, "%02d%02d%02d", t->day, t->month, t->year % 100);
    p.Date = b;
  }

  p.Altitude = "0";
  if (const auto ele = lineNumber(f[3]); ele && std::fabs(*ele) < 1e9)
    p.Altitude = intToStr(roundHalfEven(*ele));

  const auto speed = lineNumber(f[4]);
  p.SpeedValue = speed && *speed >= 0 ? *speed : 0;
  p.SpeedKmh = formatFixed(p.SpeedValue, 3, 2, s.numbers.DecimalSep);
  p.SpeedKnots = formatFixed(p.SpeedValue / 1.852L, 3, 2, s.numbers.DecimalSep);

  const auto course = lineNumber(f[5]);
  p.Course = course && *course >= 0 && *course <= 360 ? fixed2(*course) : "0.00";

  p.FixOk = f[6] == "none" ? "0" : "1";
  p.SatCount = allDigits(f[7]) ? f[7] : "0";
  p.Hdop = lineNumber(f[8]) ? f[8] : "0";
  p.navi(RtePlaceName) = present(f[9]) ? f[9] : "-";
  p.Role = f[10] == "via"       ? RouteRole::Via
           : f[10] == "shaping" ? RouteRole::Shaping
                                : RouteRole::Unknown;
  p.PointValid = true;
  return 1;
}

const std::vector<std::string>& gpxContents() {
  static const std::vector<std::string> names = {"Route", "Track aus den Routenpunkten",
                                                 "Wegpunkte"};
  return names;
}

std::string gpxRouteName(const Session& s) {
  if (const std::string& chosen = s.opt.get(GpxRouteName); !chosen.empty()) return chosen;
  std::string name = s.doc.InputFileName;
  if (const auto slash = name.find_last_of("/\\"); slash != std::string::npos)
    name.erase(0, slash + 1);
  if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  // Before the first load the file name is only a pattern.
  if (name.empty() || name.find('*') != std::string::npos) return "Route";
  return name;
}

std::vector<std::string> gpxHeader(const Session& s) {
  const GpxLayout l = layoutOf(s);
  std::vector<std::string> h = {kDeclaration, l.via ? kRootWithTrip : kRoot};
  const std::string name = "    <name>" + xmlEscaped(gpxRouteName(s)) + "</name>";
  switch (l.content) {
    case GpxContent::Route:
      h.emplace_back("  <rte>");
      // A plain route stays the file it has always been.
      if (l.via) {
        h.push_back(name);
        h.emplace_back(kTripOfRoute);
      }
      break;
    case GpxContent::Track:
      h.emplace_back("  <trk>");
      h.push_back(name);
      h.emplace_back("    <trkseg>");
      break;
    case GpxContent::Waypoints:
      break;
  }
  return h;
}

std::vector<std::string> gpxFooter(const Session& s) {
  switch (layoutOf(s).content) {
    case GpxContent::Route:
      return {"  </rte>", "</gpx>"};
    case GpxContent::Track:
      return {"    </trkseg>", "  </trk>", "</gpx>"};
    case GpxContent::Waypoints:
      return {"</gpx>"};
  }
  return {"</gpx>"};
}

void buildGpx(Session& s, const RoutePoint& rp) {
  const PointRecord& p = s.CurrentPoint;
  if (rp.n == 1) {
    for (std::string& h : gpxHeader(s)) s.doc.OutputLines.add(std::move(h));
  }
  const std::string attrs =
      " lat=\"" + coordinateText(p.LatDec) + "\" lon=\"" + coordinateText(p.LonDec) + "\"";
  std::string body;
  // Route files and RMC logs have no altitude and leave "0" behind; sea level is lost with them.
  if (const auto alt = tryStrToInt(p.Altitude); alt && *alt != 0)
    body += "<ele>" + intToStr(*alt) + "</ele>";
  if (const auto t = recordTime(s)) body += "<time>" + *t + "</time>";
  const std::string& placeName = p.navi(RtePlaceName);
  const std::string name =
      placeName.empty() || placeName == "-" ? "KS-Rp " + intToStr(rp.n) : placeName;
  body += "<name>" + xmlEscaped(name) + "</name>";
  s.doc.OutputLines.add(pointLineOf(layoutOf(s), attrs, body, p.Role));
}

bool isGpxPointLine(const std::string& line) {
  const auto first = line.find_first_not_of(' ');
  if (first == std::string::npos) return false;
  const std::string_view rest = std::string_view(line).substr(first);
  return rest.starts_with("<rtept ") || rest.starts_with("<trkpt ") || rest.starts_with("<wpt ");
}

int gpxPointCount(const TextLines& lines) {
  int n = 0;
  for (const auto& l : lines.lines()) n += isGpxPointLine(l);
  return n;
}

void finishGpx(Session& s, TextLines& lines) {
  const GpxLayout layout = layoutOf(s);
  std::vector<std::string> points;
  for (const auto& l : lines.lines()) {
    if (isGpxPointLine(l)) points.push_back(l);
  }
  std::vector<std::string> out = gpxHeader(s);
  out.reserve(out.size() + points.size() + 3);
  for (std::size_t i = 0; i < points.size(); ++i) {
    PointParts parts;
    if (!pointParts(points[i], parts)) {
      out.push_back(points[i]);
      continue;
    }
    // A device routes from a via point to a via point: every file, each part of a split route
    // too, begins and ends at one.
    const bool end = i == 0 || i + 1 == points.size();
    const RouteRole role = end ? RouteRole::Via : parts.role;
    out.push_back(pointLineOf(layout, parts.attrs, parts.body, role));
  }
  for (std::string& f : gpxFooter(s)) out.push_back(std::move(f));
  lines.assign(std::move(out));
}

std::string gpxFileBytes(const TextLines& lines) {
  return cp1252ToUtf8(lines.text());
}

bool gpxFound(const Session&, const FileSample& file) {
  return file.bytes.find("<gpx") != std::string_view::npos;
}

}  // namespace kursolin
