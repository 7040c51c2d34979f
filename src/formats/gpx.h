#pragma once
// GPX 1.0 and 1.1 files (".gpx"), the exchange format of today's phones, devices and planners.
//
// Reading runs in two stages, like the other XML-based inputs: the load parses the whole file with
// a streaming XML parser and turns every point into one intermediate line of InputLines; the
// generator then reads those lines with GetGPX. The points taken are the tracks' trkpt when the
// file has any, else the routes' rtept, else the waypoints wpt. A route point that carries a
// planner's road path (gpxx:RoutePointExtension with gpxx:rpt points) is followed by the points
// of that path, so the rules follow the road the planner computed, not the straight line.
//
// Intermediate line: ten fields separated by "|" (nine "|", none at the end), "-" for a value the
// file does not give, and an eleventh for a point the file marks as via or shaping point:
//   1 lat     latitude as the file writes it (decimal degrees, "." as decimal point)
//   2 lon     longitude likewise
//   3 time    the point's time in UTC, "YYYY-MM-DDThh:mm:ss[.f]Z"
//   4 ele     elevation in metres as the file writes it
//   5 speed   km/h, 2 decimals: the file's own speed when it records one, else worked out from
//             the distance and time to the previous point
//   6 course  degrees, 2 decimals: the file's own course when it records one, else the bearing
//             from the previous point (kept while the position does not change)
//   7 fix     the <fix> text (none, 2d, 3d, dgps, pps)
//   8 sat     satellites in use
//   9 hdop    horizontal dilution of precision
//  10 name    the point's name in cp1252; "|" becomes the broken bar 0xA6 and line breaks or other
//             control characters become blanks, so the name never breaks the layout
//  11 role    "via" (trp:ViaPoint) or "shaping" (trp:ShapingPoint); absent otherwise
//
// Writing gives a GPX 1.1 file with one <rte> (or one <trk>, or waypoints, by GpxInhalt):
// OutputLines holds a few header lines, one line per point and the footer lines. With
// GpxViaPunkte each route point carries Garmin's trip extension: a via point (announced, the
// route's start, destination and stops) or a shaping point (silent, only to keep the road).
// finishGpx makes the header and footer anew around whatever rtept lines a list holds, so a
// reversed route and every part file of a split route are finished by the same pass. OutputLines is
// cp1252 like every pane; gpxFileBytes gives the UTF-8 file.

#include <string>
#include <string_view>
#include <vector>

#include "core/lines.h"
#include "core/route_point.h"
#include "formats/format.h"
#include "session/session.h"

namespace kursolin {

/// Route points per GPX file before the route is split; 0: no limit.
inline constexpr IntOption MpGPX{
    {.section = "Navi",
     .key = "MpGPX",
     .range = kSplitMaxRange,
     .fields = {
         OptionField{.page = &kSplitPage, .name = "MpGPXEdit", .label = "GPX 1.1 Dateien"}}}};

/// The settings dialog's page of the GPX output.
inline constexpr OptionPage kGpxPage{
    .title = "GPX", .heading = "Einstellungen f\xFCr GPX 1.1 Ausgabedateien", .order = 70};

/// What a GPX file holds: the route points as a route, as a track or as waypoints.
enum class GpxContent { Route = 0, Track = 1, Waypoints = 2 };

/// The names of GpxContent in the order of their values, as the settings dialog lists them.
const std::vector<std::string>& gpxContents();

/// What the GPX output writes (a GpxContent).
inline constexpr IntOption GpxInhalt{
    {.section = "GPX",
     .key = "Inhalt",
     .range = {0, 2, 1},
     .fields = {OptionField{
         .page = &kGpxPage, .name = "GpxInhaltCombo", .label = "In die GPX Datei schreiben:"}},
     .choices = gpxContents}};
/// A route's start, destination and stops as via points, all other points as shaping points
/// (Garmin's trip extensions), the route named and meant for a motorcycle.
inline constexpr BoolOption GpxViaPunkte{
    {.section = "GPX",
     .key = "ViaFormpunkte",
     .defaultNumber = 1,
     .fields = {OptionField{.page = &kGpxPage,
                            .name = "GpxViaPunkte",
                            .label = "Route mit Via- und Formpunkten: Start, Ziel und Stopps als "
                                     "Via-Punkte, alle anderen als Formpunkte"}}}};
/// The route's name in the file, for one run ("": the loaded file's name).
inline constexpr TextOption GpxRouteName{{}};

/// Namespaces of Garmin's trip extensions (via and shaping points) and GPX extensions (the road
/// path a planner stores with each route point).
inline constexpr std::string_view kTripNs = "http://www.garmin.com/xmlschemas/TripExtensions/v1";
inline constexpr std::string_view kGpxxNs = "http://www.garmin.com/xmlschemas/GpxExtensions/v3";

/// The input caption when a file cannot be loaded.
inline constexpr const char* kGpxFailureCaption = "GPX Datei Fehler!";

/// Which points of a GPX file became the intermediate lines.
enum class GpxSource { Track, Route, Waypoints };

/// The outcome of loading a GPX file.
struct GpxLoad {
  bool ok = false;
  GpxSource source = GpxSource::Track;
  /// One intermediate line per point taken (empty unless ok).
  std::vector<std::string> lines;
  /// The German message for the user when not ok (CR breaks lines).
  std::string message;
  /// What was passed over in a file that was read all the same ("" nothing).
  std::string warning;
};

/// Parses the whole text of a GPX file into intermediate lines; `fileName` is the path named in
/// messages.
GpxLoad parseGpx(const std::string& bytes, const std::string& fileName);

/// Parses the file at path (cp1252, as the session holds paths) piece by piece, so its size
/// does not matter.
GpxLoad loadGpxFile(const std::string& path);

/// The input caption after a load: "GPX Track - Punkte = 1234" (Route, Wegpunkte).
std::string gpxCaption(GpxSource source, long long points);

/// The input label after a load, naming the points taken: "GPX Track", "GPX Route",
/// "GPX Wegpunkte".
std::string gpxLabel(GpxSource source);

/// The load of the input format: fills InputLines with the file's points and names them in
/// InputLabel; on a bad file the failure caption and the message (nothing loaded) and false.
bool LoadGPXFile(Session& s, const std::string& path);

/// The check at load: the load left points to read.
bool gpxPointsLoaded(Session& s);

/// Detection: the beginning of the file holds the root element "gpx".
bool gpxFound(const Session& s, const FileSample& file);

/// GetGPX as the record dispatch calls it.
bool readGpxRecord(Session& s, const std::string& line, int index);

/// Before each record for the GPX output: no name, so a reader without names leaves none behind.
void prepareGpxRecord(Session& s);

/// Reads one intermediate line into CurrentPoint; 1 for a usable point, 0 otherwise (after an OK
/// box for an empty line or coordinates that are no numbers or lie outside the globe).
int GetGPX(Session& s, const std::string& line, int index);

/// The name of the route in the file: GpxRouteName, else the loaded file's name without folder
/// and extension.
std::string gpxRouteName(const Session& s);

/// The lines before the points and after them, for the options in force.
std::vector<std::string> gpxHeader(const Session& s);
std::vector<std::string> gpxFooter(const Session& s);

/// The line builder of the output: the header lines before the first point, then the point's
/// line (<rtept>, <trkpt> or <wpt>).
void buildGpx(Session& s, const RoutePoint& p);

/// Makes the header and footer anew around the point lines of a list (dropping every other
/// line), for a generated route, a reversed one and each part file; the point lines take the
/// layout of the options in force, and the first and last point of a route with via and shaping
/// points become via points.
void finishGpx(Session& s, TextLines& lines);

/// true when the line is the line of one route point (<rtept>, <trkpt> or <wpt>).
bool isGpxPointLine(const std::string& line);

/// The number of route points in a list of GPX output lines.
int gpxPointCount(const TextLines& lines);

/// The bytes of the GPX file for a list of finished lines: UTF-8, every line ended by CR LF.
std::string gpxFileBytes(const TextLines& lines);

}  // namespace kursolin
