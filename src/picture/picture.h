#pragma once
// The route picture without any toolkit: the loaded input's positions, the produced route points
// with their numbers and rules, a Web Mercator view with zoom and pan, the scale bar, the grid,
// and the drawing onto any Canvas. The window and the batch converter draw the same picture.

#include <string>
#include <vector>

#include "picture/canvas.h"
#include "picture/tiles.h"
#include "session/session.h"

namespace kursolin {

/// How a route point is marked.
enum class DotRole { Plain, Start, End, Stop };

/// One produced route point as the picture shows it.
struct PictureDot {
  GeoPosition pos;
  int order = 0;   // its place in the route as it now runs, 1 for the start: the label drawn
  int number = 0;  // the number in its lines (after a reversal no longer its place)
  DotRole role = DotRole::Plain;
  bool ruleKnown = false;
  RuleKind kind = RuleKind::Start;
  std::string rule;                  // the rule's text kept beside the route (cp1252)
  int firstLine = 0, lineCount = 0;  // its lines in OutputLines
};

/// The smallest rectangle in degrees around some positions.
struct GeoBounds {
  Real south = 0, west = 0, north = 0, east = 0;
  bool empty = true;
  void include(const GeoPosition& p);
};

struct RoutePicture {
  std::vector<GeoPosition> track;    // the input, record by record
  std::vector<PictureDot> dots;      // the route in the order of its lines
  std::vector<GeoPosition> removed;  // points a reduction took away, faded
  GeoBounds bounds() const;
  /// The dot whose lines include the line of OutputLines, or -1.
  int dotOfLine(int line) const;
};

/// Every position the input format's reader accepts in InputLines, with a fix. Reads quietly
/// (no prompts) and leaves the session's record as it was, so it may run during a generation.
std::vector<GeoPosition> inputTrack(Session& s);

/// The route points of OutputLines from the point at index `first` on (none when the kept
/// records are not those of its lines). While a route is being made its last point is no end.
std::vector<PictureDot> routeDots(const Session& s, std::size_t first = 0);

/// Input track, route points and removed points together.
RoutePicture routePicture(Session& s);

/// A point of the Web Mercator plane: x east from 180° W, y south from 85.05° N, both 0..1.
struct WorldPoint {
  double x = 0, y = 0;
  /// Exactly the same point (a view that did not move).
  bool operator==(const WorldPoint&) const = default;
};
WorldPoint project(const GeoPosition& p);
GeoPosition unproject(const WorldPoint& w);

/// Which part of the world a picture of some pixels shows.
class PictureView {
 public:
  PictureView() = default;
  PictureView(int width, int height) : width_(width), height_(height) {}
  /// The same size, centre and scale: what was drawn for one still fits the other.
  bool operator==(const PictureView&) const = default;
  int width() const { return width_; }
  int height() const { return height_; }
  /// Changes the size, keeping the centre and the scale.
  void setSize(int width, int height);
  /// Centre and scale so the bounds fill the picture but for a margin in pixels; a single
  /// point or an empty bounds gets a view of about a kilometre.
  void fit(const GeoBounds& bounds, int margin);
  CanvasPoint toScreen(const GeoPosition& p) const;
  GeoPosition toGeo(CanvasPoint p) const;
  /// Zooms by factor (> 1: closer) keeping the place under the pixel where it is.
  void zoomAt(CanvasPoint pixel, double factor);
  /// Moves the picture by pixels (as a drag of the mouse does).
  void panBy(double dx, double dy);
  /// Ground metres that one pixel covers at the centre of the view.
  double metresPerPixel() const;
  /// Pixels per unit of the Mercator plane.
  double scale() const { return scale_; }
  /// The point of the plane at the middle of the picture.
  WorldPoint centre() const { return centre_; }

 private:
  int width_ = 1, height_ = 1;
  WorldPoint centre_{0.5, 0.5};
  double scale_ = 1;
};

/// A scale bar of a round length (1, 2 or 5 times a power of ten metres).
struct ScaleBar {
  double metres = 0;
  double pixels = 0;
  std::string label;  // "500 m", "2 km"
};
/// The longest round bar not longer than maxPixels.
ScaleBar scaleBar(const PictureView& view, double maxPixels);

/// A round grid step in degrees (1, 2 or 5 times a power of ten, or 10, 15, 30, 45) whose lines
/// stand at least minPixels apart when a degree takes degreePixels.
double gridStep(double degreePixels, double minPixels);

/// Room in pixels kept around the whole route when it is fitted, so dots and their numbers stay
/// clear of the edges (less on a small picture).
int fitMargin(int width, int height);

/// An axis-parallel rectangle on the canvas.
struct PictureBox {
  double x = 0, y = 0, w = 0, h = 0;
  /// Whether a disc of the radius around the point reaches into the box.
  bool touches(CanvasPoint p, double radius) const;
  /// Whether the two boxes share any area.
  bool overlaps(const PictureBox& o) const;
};

/// The places of the legend and the scale bar (a box of width 0: not drawn).
struct PictureOverlays {
  PictureBox legend, scale;
};
/// Where the legend and the scale bar go: in a corner (or on an edge) with no point under them,
/// else where they cover the fewest; not over each other where the picture has room, and never
/// over `keepClear` (the map's attribution; width 0: nothing).
PictureOverlays placeOverlays(const RoutePicture& picture, const PictureView& view,
                              const Canvas& canvas, const PictureBox& keepClear = {});

/// The dot under the pixel (within radius pixels), nearest first, or -1.
int dotAt(const RoutePicture& picture, const PictureView& view, CanvasPoint pixel, double radius);

/// Colours of the picture, so tests and the legend agree with the drawing.
struct PictureColours {
  static constexpr Rgba background{246, 244, 236, 255};
  static constexpr Rgba grid{208, 205, 196, 255};
  static constexpr Rgba gridText{120, 118, 110, 255};
  static constexpr Rgba track{70, 110, 170, 255};
  static constexpr Rgba route{225, 100, 30, 160};
  static constexpr Rgba plain{225, 100, 30, 255};
  static constexpr Rgba start{30, 150, 60, 255};
  static constexpr Rgba end{200, 20, 45, 255};
  static constexpr Rgba stop{120, 60, 160, 255};
  static constexpr Rgba removed{190, 190, 190, 255};
  static constexpr Rgba outline{255, 255, 255, 255};
  static constexpr Rgba highlight{255, 210, 0, 255};
  static constexpr Rgba text{40, 40, 40, 255};
};

/// Radius in pixels of a route point's dot.
inline constexpr double kDotRadius = 5;

/// The map under a picture as drawBase left it, for what goes over it.
struct MapUnderlay {
  /// Some of the map was drawn: the grid stays off, the lines get a light halo, the
  /// attribution goes in its corner.
  bool shown = false;
  std::string attribution;  // cp1252
  int zoom = 0;             // the zoom level of its tiles
  /// Tiles of the view the source lacks, nearest the centre first: hand them to
  /// TileSource::want after the picture is painted.
  std::vector<TileKey> missing;
};

/// Draws the picture: map (with a source) or grid, input track, route, dots with their numbers,
/// scale bar, legend and the map's attribution. `highlighted` is the index of a dot to ring
/// (-1 for none); numbers use the decimal separator. Never waits for a tile.
MapUnderlay drawPicture(const RoutePicture& picture, const PictureView& view, Canvas& canvas,
                        int highlighted, char decimalSep, TileSource* map = nullptr);
/// The part of drawPicture that a growing route leaves as it is: background, the map's tiles
/// the source has now (or, without any, the grid), input track.
MapUnderlay drawBase(const RoutePicture& picture, const PictureView& view, Canvas& canvas,
                     char decimalSep, TileSource* map = nullptr);
/// The rest, over drawBase: route line, removed points, dots, numbers, scale bar, legend and the
/// attribution of the map drawBase drew.
void drawRoute(const RoutePicture& picture, const PictureView& view, Canvas& canvas,
               int highlighted, const MapUnderlay& map = {});

/// What hovering over a dot tells: number, rule and position (cp1252, lines broken by CR).
std::string dotDescription(const PictureDot& dot, char decimalSep);

/// Writes the picture of the session's route as a PNG file of the size, fitted to the route,
/// over the map of the source when one is given (atomically: the old file or the whole new
/// one); false after a message to the user. `drawn` receives what became of the map.
bool writeRoutePicture(Session& s, const std::string& path, int width, int height,
                       TileSource* map = nullptr, MapUnderlay* drawn = nullptr);

}  // namespace kursolin
