#include "picture/picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <utility>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/host.h"
#include "formats/registry.h"
#include "picture/map_layer.h"
#include "picture/raster.h"
#include "session/prompt.h"
#include "track/generator.h"
#include "workflow/dispatch.h"
#include "workflow/emit.h"
#include "workflow/reduce.h"

namespace kursolin {

namespace {

constexpr double kPiD = 3.14159265358979323846;
// Web Mercator stops where the plane would run to infinity.
constexpr double kMaxLat = 85.05112878;
// Circumference of the sphere the plane is laid on, metres.
constexpr double kCircumference = 2 * kPiD * 6378137.0;

// Restores what reading records changes, however the reading ends.
class RecordGuard {
 public:
  explicit RecordGuard(Session& s) : s_(s), point_(s.CurrentPoint), abort_(s.AbortRequested) {}
  ~RecordGuard() {
    s_.CurrentPoint = std::move(point_);
    s_.AbortRequested = abort_;
  }
  RecordGuard(const RecordGuard&) = delete;
  RecordGuard& operator=(const RecordGuard&) = delete;

 private:
  Session& s_;
  PointRecord point_;
  bool abort_;
};

std::string number(double v, int decimals, char sep) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  std::string t(buf);
  if (t == "-0" || (t.rfind("-0.", 0) == 0 && t.find_first_not_of("-0.") == std::string::npos))
    t.erase(0, 1);  // no "-0.00" at the equator
  for (char& c : t) {
    if (c == '.') c = sep;
  }
  return t;
}

int decimalsFor(double step) {
  return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
}

// Text positions already taken by numbers, in cells of a coarse grid.
class LabelSpace {
 public:
  bool take(int x, int y, int w, int h) {
    const int x0 = floorDiv(x), x1 = floorDiv(x + w), y0 = floorDiv(y), y1 = floorDiv(y + h);
    for (int cy = y0; cy <= y1; ++cy) {
      for (int cx = x0; cx <= x1; ++cx) {
        if (used_.count({cx, cy})) return false;
      }
    }
    reserve(x, y, w, h);
    return true;
  }
  /// Keeps numbers out of a place (the legend, the scale bar).
  void reserve(int x, int y, int w, int h) {
    const int x0 = floorDiv(x), x1 = floorDiv(x + w), y0 = floorDiv(y), y1 = floorDiv(y + h);
    for (int cy = y0; cy <= y1; ++cy) {
      for (int cx = x0; cx <= x1; ++cx) used_.insert({cx, cy});
    }
  }

 private:
  static int floorDiv(int v) { return v >= 0 ? v / kCell : -((-v + kCell - 1) / kCell); }
  static constexpr int kCell = 4;
  std::set<std::pair<int, int>> used_;
};

bool onCanvas(const Canvas& c, CanvasPoint p, double margin) {
  return p.x >= -margin && p.y >= -margin && p.x <= c.width() + margin &&
         p.y <= c.height() + margin;
}

Rgba roleColour(DotRole r) {
  switch (r) {
    case DotRole::Start:
      return PictureColours::start;
    case DotRole::End:
      return PictureColours::end;
    case DotRole::Stop:
      return PictureColours::stop;
    case DotRole::Plain:
      return PictureColours::plain;
  }
  return PictureColours::plain;
}

void drawGrid(const PictureView& view, Canvas& c, char sep) {
  const GeoPosition nw = view.toGeo({0, 0});
  const GeoPosition se =
      view.toGeo({static_cast<double>(c.width()), static_cast<double>(c.height())});
  const double centreLat = static_cast<double>(view.toGeo({c.width() / 2.0, c.height() / 2.0}).lat);
  const double lonPixels = view.scale() / 360;
  const double latPixels = lonPixels / std::cos(centreLat * kPiD / 180);
  const double lonStep = gridStep(lonPixels, 90);
  const double latStep = gridStep(latPixels, 70);
  const int th = c.textHeight();
  const auto lines = [](double from, double to, double step) {
    std::vector<double> v;
    for (double k = std::ceil(from / step); k * step <= to && v.size() < 400; k += 1) {
      v.push_back(k * step);
    }
    return v;
  };
  for (double lon : lines(static_cast<double>(nw.lon), static_cast<double>(se.lon), lonStep)) {
    const double x = view.toScreen({static_cast<Real>(centreLat), static_cast<Real>(lon)}).x;
    c.polyline({{x, 0}, {x, static_cast<double>(c.height())}}, 1, PictureColours::grid);
    c.text({x + 3, 3}, number(lon, decimalsFor(lonStep), sep) + "\xB0", PictureColours::gridText);
  }
  for (double lat : lines(static_cast<double>(se.lat), static_cast<double>(nw.lat), latStep)) {
    const double y = view.toScreen({static_cast<Real>(lat), nw.lon}).y;
    c.polyline({{0, y}, {static_cast<double>(c.width()), y}}, 1, PictureColours::grid);
    // The band at the top holds the longitudes.
    if (y - th - 2 < th + 6) continue;
    c.text({3, y - th - 2}, number(lat, decimalsFor(latStep), sep) + "\xB0",
           PictureColours::gridText);
  }
}

// A light band under the lines over a map, so they stand out from its roads and rivers.
constexpr Rgba kHalo{255, 255, 255, 170};

// Space between an overlay and the picture's edge.
constexpr double kOverlayInset = 8;

ScaleBar pictureScaleBar(const PictureView& view, const Canvas& c) {
  return scaleBar(view, std::max(40.0, c.width() / 4.0));
}

PictureBox scaleBarSize(const ScaleBar& bar, const Canvas& c) {
  if (bar.pixels <= 0) return {};
  return {0, 0, bar.pixels + 12 + 6 + c.textWidth(bar.label), c.textHeight() + 16.0};
}

void drawScaleBar(const ScaleBar& bar, const PictureBox& box, Canvas& c) {
  if (bar.pixels <= 0) return;
  const int th = c.textHeight();
  const double x = box.x + 6, y = box.y + box.h - 8;
  c.fillRect(box.x, box.y, box.w, box.h, {255, 255, 255, 210});
  c.polyline({{x, y - 5}, {x, y}, {x + bar.pixels, y}, {x + bar.pixels, y - 5}}, 2,
             PictureColours::text);
  c.text({x + bar.pixels + 6, y - th}, bar.label, PictureColours::text);
}

struct LegendRow {
  Rgba colour;
  const char* name;
  bool faded;
};

// The faded points of a reduction get their row only while there are any.
std::vector<LegendRow> legendRows(const RoutePicture& picture) {
  std::vector<LegendRow> rows = {{PictureColours::start, "Start", false},
                                 {PictureColours::end, "Ziel", false},
                                 {PictureColours::stop, "Stopp", false}};
  if (!picture.removed.empty()) rows.push_back({PictureColours::removed, "Entfernt", true});
  return rows;
}

double legendRowHeight(const Canvas& c) {
  return std::max(c.textHeight(), 12) + 4;
}

PictureBox legendSize(const std::vector<LegendRow>& rows, const Canvas& c) {
  int w = 0;
  for (const auto& r : rows) w = std::max(w, c.textWidth(r.name));
  return {0, 0, w + 30.0, legendRowHeight(c) * static_cast<double>(rows.size()) + 8};
}

void drawLegend(const std::vector<LegendRow>& rows, const PictureBox& box, Canvas& c) {
  const int th = c.textHeight();
  const double rowH = legendRowHeight(c);
  c.fillRect(box.x, box.y, box.w, box.h, {255, 255, 255, 210});
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double cy = box.y + 4 + rowH * static_cast<double>(i) + rowH / 2;
    // Drawn as the picture draws them.
    if (rows[i].faded) {
      c.disc({box.x + 12, cy}, kDotRadius - 1.5, rows[i].colour, kNoColour);
    } else {
      c.disc({box.x + 12, cy}, kDotRadius, rows[i].colour, PictureColours::outline);
    }
    c.text({box.x + 22, cy - th / 2.0}, rows[i].name, PictureColours::text);
  }
}

enum class Spot { TopLeft, TopRight, BottomLeft, BottomRight, Top, Bottom, Left, Right };

PictureBox spotBox(Spot spot, PictureBox box, const Canvas& c) {
  const double left = kOverlayInset, right = c.width() - box.w - kOverlayInset;
  const double top = kOverlayInset, bottom = c.height() - box.h - kOverlayInset;
  const double midX = (c.width() - box.w) / 2, midY = (c.height() - box.h) / 2;
  const bool leftSide = spot == Spot::TopLeft || spot == Spot::BottomLeft || spot == Spot::Left;
  const bool rightSide = spot == Spot::TopRight || spot == Spot::BottomRight || spot == Spot::Right;
  const bool topSide = spot == Spot::TopLeft || spot == Spot::TopRight || spot == Spot::Top;
  const bool bottomSide =
      spot == Spot::BottomLeft || spot == Spot::BottomRight || spot == Spot::Bottom;
  box.x = leftSide ? left : rightSide ? right : midX;
  box.y = topSide ? top : bottomSide ? bottom : midY;
  return box;
}

// The first spot in the order of preference that no point is under, else the one with the
// fewest; never over one of `avoid` (boxes of width 0 are none).
PictureBox placeBox(PictureBox size, std::initializer_list<Spot> order,
                    const std::vector<CanvasPoint>& points,
                    std::initializer_list<const PictureBox*> avoid, const Canvas& c) {
  PictureBox best = spotBox(*order.begin(), size, c);
  std::size_t fewest = static_cast<std::size_t>(-1);
  for (Spot spot : order) {
    const PictureBox b = spotBox(spot, size, c);
    if (std::any_of(avoid.begin(), avoid.end(),
                    [&b](const PictureBox* a) { return a->w > 0 && b.overlaps(*a); }))
      continue;
    std::size_t covered = 0;
    for (const CanvasPoint& p : points) covered += b.touches(p, kDotRadius + 2);
    if (covered < fewest) {
      fewest = covered;
      best = b;
      if (covered == 0) break;
    }
  }
  return best;
}

}  // namespace

void GeoBounds::include(const GeoPosition& p) {
  if (empty) {
    south = north = p.lat;
    west = east = p.lon;
    empty = false;
    return;
  }
  south = std::min(south, p.lat);
  north = std::max(north, p.lat);
  west = std::min(west, p.lon);
  east = std::max(east, p.lon);
}

GeoBounds RoutePicture::bounds() const {
  GeoBounds b;
  for (const auto& p : track) b.include(p);
  for (const auto& d : dots) b.include(d.pos);
  for (const auto& p : removed) b.include(p);
  return b;
}

int RoutePicture::dotOfLine(int line) const {
  for (std::size_t i = 0; i < dots.size(); ++i) {
    if (line >= dots[i].firstLine && line < dots[i].firstLine + dots[i].lineCount) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::vector<GeoPosition> inputTrack(Session& s) {
  std::vector<GeoPosition> out;
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  if (!in || !in->available()) return out;
  RecordGuard guard(s);
  QuietScope quiet(s);
  const int n = s.doc.InputLines.Count();
  for (int i = 0; i < n; ++i) {
    try {
      if (!Get_A(s, s.doc.InputLines.at(i), i)) continue;
    } catch (const std::exception&) {
      continue;  // a record no reader can convert is no position; the generator says why
    }
    // A record without a fix repeats the last position with one (or 0, 0 before any).
    if (s.CurrentPoint.FixOk != "1") continue;
    out.push_back(signedPosition(s.CurrentPoint));
  }
  return out;
}

std::vector<PictureDot> routeDots(const Session& s, std::size_t first) {
  std::vector<PictureDot> dots;
  if (!routeRecordsInStep(s.doc)) return dots;
  const std::size_t n = s.doc.emittedPoints.size();
  const bool notes = s.doc.ruleNotes.size() == n;
  if (first < n) dots.reserve(n - first);
  for (std::size_t i = first; i < n; ++i) {
    const EmittedPoint& e = s.doc.emittedPoints[i];
    PictureDot d;
    d.pos = signedPosition(e.record.unpack());
    d.order = static_cast<int>(i) + 1;
    d.number = e.number;
    d.firstLine = e.firstLine;
    d.lineCount = e.lineCount;
    if (notes) {
      d.ruleKnown = true;
      d.kind = s.doc.ruleNotes[i].kind;
      d.rule = s.doc.ruleNotes[i].text;
    }
    // The route's own ends, also after a reversal, and whichever rule made the last point (a
    // log may end in lines that hold no record); a route still growing has no end yet.
    if (i == 0) {
      d.role = DotRole::Start;
    } else if (i + 1 == n && !s.routeInProgress) {
      d.role = DotRole::End;
    } else if (notes && d.kind == RuleKind::Stop) {
      d.role = DotRole::Stop;
    }
    dots.push_back(std::move(d));
  }
  return dots;
}

RoutePicture routePicture(Session& s) {
  RoutePicture p;
  p.track = inputTrack(s);
  p.dots = routeDots(s);
  p.removed = s.doc.reducedAway;
  return p;
}

WorldPoint project(const GeoPosition& p) {
  const double lat = std::clamp(static_cast<double>(p.lat), -kMaxLat, kMaxLat) * kPiD / 180;
  const double lon = static_cast<double>(p.lon);
  return {(lon + 180) / 360, (1 - std::log(std::tan(lat) + 1 / std::cos(lat)) / kPiD) / 2};
}

GeoPosition unproject(const WorldPoint& w) {
  const double lat = std::atan(std::sinh(kPiD * (1 - 2 * w.y))) * 180 / kPiD;
  return {static_cast<Real>(lat), static_cast<Real>(w.x * 360 - 180)};
}

void PictureView::setSize(int width, int height) {
  width_ = std::max(1, width);
  height_ = std::max(1, height);
}

void PictureView::fit(const GeoBounds& b, int margin) {
  const double room = 1000.0 / kCircumference;  // about a kilometre around a lone point
  if (b.empty) {
    centre_ = {0.5, 0.5};
    scale_ = std::max(width_, height_);
    return;
  }
  const WorldPoint nw = project({b.north, b.west});
  const WorldPoint se = project({b.south, b.east});
  centre_ = {(nw.x + se.x) / 2, (nw.y + se.y) / 2};
  const double spanX = std::max(se.x - nw.x, room), spanY = std::max(se.y - nw.y, room);
  const double w = std::max(1, width_ - 2 * margin), h = std::max(1, height_ - 2 * margin);
  scale_ = std::min(w / spanX, h / spanY);
}

CanvasPoint PictureView::toScreen(const GeoPosition& p) const {
  const WorldPoint w = project(p);
  return {(w.x - centre_.x) * scale_ + width_ / 2.0, (w.y - centre_.y) * scale_ + height_ / 2.0};
}

GeoPosition PictureView::toGeo(CanvasPoint p) const {
  return unproject(
      {(p.x - width_ / 2.0) / scale_ + centre_.x, (p.y - height_ / 2.0) / scale_ + centre_.y});
}

void PictureView::zoomAt(CanvasPoint pixel, double factor) {
  if (!(factor > 0)) return;
  // Between the whole world and a few centimetres a pixel.
  const double next = std::clamp(scale_ * factor, 64.0, kCircumference * 50);
  const WorldPoint under{(pixel.x - width_ / 2.0) / scale_ + centre_.x,
                         (pixel.y - height_ / 2.0) / scale_ + centre_.y};
  scale_ = next;
  centre_ = {under.x - (pixel.x - width_ / 2.0) / scale_,
             under.y - (pixel.y - height_ / 2.0) / scale_};
}

void PictureView::panBy(double dx, double dy) {
  centre_.x -= dx / scale_;
  centre_.y -= dy / scale_;
}

double PictureView::metresPerPixel() const {
  const double lat = static_cast<double>(unproject(centre_).lat) * kPiD / 180;
  return kCircumference * std::cos(lat) / scale_;
}

ScaleBar scaleBar(const PictureView& view, double maxPixels) {
  ScaleBar bar;
  const double mpp = view.metresPerPixel();
  if (!(mpp > 0) || !(maxPixels > 0)) return bar;
  const double most = mpp * maxPixels;
  double p = std::pow(10.0, std::floor(std::log10(most)));
  for (double f : {5.0, 2.0, 1.0}) {
    if (f * p <= most) {
      bar.metres = f * p;
      break;
    }
  }
  if (bar.metres == 0) bar.metres = p;
  bar.pixels = bar.metres / mpp;
  char buf[32];
  if (bar.metres >= 1000) {
    std::snprintf(buf, sizeof buf, "%g km", bar.metres / 1000);
  } else {
    std::snprintf(buf, sizeof buf, "%g m", bar.metres);
  }
  bar.label = buf;
  return bar;
}

double gridStep(double degreePixels, double minPixels) {
  if (!(degreePixels > 0)) return 45;
  const double least = minPixels / degreePixels;
  if (least > 10) {
    for (double s : {15.0, 30.0, 45.0}) {
      if (s >= least) return s;
    }
    return 45;
  }
  double p = std::pow(10.0, std::floor(std::log10(least)));
  for (double f : {1.0, 2.0, 5.0, 10.0}) {
    if (f * p >= least * (1 - 1e-12)) return f * p;
  }
  return 10 * p;
}

int fitMargin(int width, int height) {
  return std::clamp(std::min(width, height) / 8, 12, 48);
}

bool PictureBox::touches(CanvasPoint p, double radius) const {
  return p.x + radius > x && p.x - radius < x + w && p.y + radius > y && p.y - radius < y + h;
}

bool PictureBox::overlaps(const PictureBox& o) const {
  return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
}

PictureOverlays placeOverlays(const RoutePicture& picture, const PictureView& view, const Canvas& c,
                              const PictureBox& keepClear) {
  std::vector<CanvasPoint> points;
  points.reserve(picture.dots.size() + picture.removed.size());
  for (const PictureDot& d : picture.dots) points.push_back(view.toScreen(d.pos));
  for (const GeoPosition& g : picture.removed) points.push_back(view.toScreen(g));
  PictureOverlays o;
  o.legend = placeBox(legendSize(legendRows(picture), c),
                      {Spot::TopRight, Spot::TopLeft, Spot::BottomRight, Spot::BottomLeft,
                       Spot::Right, Spot::Left, Spot::Top, Spot::Bottom},
                      points, {&keepClear}, c);
  const PictureBox bar = scaleBarSize(pictureScaleBar(view, c), c);
  if (bar.w > 0) {
    o.scale = placeBox(bar,
                       {Spot::BottomLeft, Spot::BottomRight, Spot::TopLeft, Spot::TopRight,
                        Spot::Bottom, Spot::Top, Spot::Left, Spot::Right},
                       points, {&o.legend, &keepClear}, c);
  }
  return o;
}

int dotAt(const RoutePicture& picture, const PictureView& view, CanvasPoint pixel, double radius) {
  int best = -1;
  double bestD = radius;
  for (std::size_t i = 0; i < picture.dots.size(); ++i) {
    const CanvasPoint p = view.toScreen(picture.dots[i].pos);
    const double d = std::hypot(p.x - pixel.x, p.y - pixel.y);
    // A later dot is drawn over an earlier one at the same place, so it wins a tie.
    if (d <= bestD) {
      bestD = d;
      best = static_cast<int>(i);
    }
  }
  return best;
}

MapUnderlay drawPicture(const RoutePicture& picture, const PictureView& view, Canvas& c,
                        int highlighted, char decimalSep, TileSource* map) {
  MapUnderlay under = drawBase(picture, view, c, decimalSep, map);
  drawRoute(picture, view, c, highlighted, under);
  return under;
}

namespace {

// Many records fall on one pixel; drawing each of them adds nothing.
template <class Items, class Position>
std::vector<CanvasPoint> screenLine(const PictureView& view, const Items& items,
                                    Position position) {
  std::vector<CanvasPoint> pts;
  pts.reserve(std::min<std::size_t>(items.size(), 1 << 16));
  for (const auto& it : items) {
    const CanvasPoint p = view.toScreen(position(it));
    if (!pts.empty() && std::fabs(p.x - pts.back().x) < 0.5 && std::fabs(p.y - pts.back().y) < 0.5)
      continue;
    pts.push_back(p);
  }
  return pts;
}

}  // namespace

MapUnderlay drawBase(const RoutePicture& picture, const PictureView& view, Canvas& c,
                     char decimalSep, TileSource* map) {
  c.fillRect(0, 0, c.width(), c.height(), PictureColours::background);
  MapUnderlay under;
  if (map) {
    MapOptions options;
    options.attribution = false;  // drawn last, over the route
    const WorldPoint centre = view.centre();
    MapDrawResult drawn = drawMapTiles(c, {centre.x, centre.y}, view.scale(), *map, options);
    under.shown = drawn.drawn + drawn.substituted > 0;
    under.zoom = drawn.zoom;
    under.missing = std::move(drawn.missing);
    if (under.shown) under.attribution = map->attribution();
  }
  // The map has its own roads and places to go by; grid lines would only clutter it.
  if (!under.shown) drawGrid(view, c, decimalSep);
  const auto track = screenLine(view, picture.track, [](const GeoPosition& g) { return g; });
  if (under.shown) c.polyline(track, 4, kHalo);
  c.polyline(track, 1.5, PictureColours::track);
  return under;
}

void drawRoute(const RoutePicture& picture, const PictureView& view, Canvas& c, int highlighted,
               const MapUnderlay& map) {
  const auto route = screenLine(view, picture.dots, [](const PictureDot& d) { return d.pos; });
  if (map.shown) c.polyline(route, 5, kHalo);
  c.polyline(route, 2, PictureColours::route);
  const PixelRect credit = map.shown ? mapAttributionBox(c, map.attribution) : PixelRect{};
  const PictureBox keepClear{credit.x, credit.y, credit.w, credit.h};
  // The scale bar and the legend go where no point is; where that cannot be, they lie over the
  // lines but under the points, so no point hides.
  const PictureOverlays overlays = placeOverlays(picture, view, c, keepClear);
  drawScaleBar(pictureScaleBar(view, c), overlays.scale, c);
  drawLegend(legendRows(picture), overlays.legend, c);
  for (const GeoPosition& g : picture.removed) {
    const CanvasPoint p = view.toScreen(g);
    if (onCanvas(c, p, 10)) c.disc(p, kDotRadius - 1.5, PictureColours::removed, kNoColour);
  }

  // Plain points first, so start, end and stops stay visible where points crowd.
  const std::size_t n = picture.dots.size();
  std::vector<std::size_t> order;
  order.reserve(n);
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < n; ++i) {
      if ((picture.dots[i].role == DotRole::Plain) == (pass == 0)) order.push_back(i);
    }
  }
  for (std::size_t i : order) {
    const CanvasPoint p = view.toScreen(picture.dots[i].pos);
    if (!onCanvas(c, p, 12)) continue;
    if (static_cast<int>(i) == highlighted) {
      c.disc(p, kDotRadius + 4, PictureColours::highlight, PictureColours::text);
    }
    c.disc(p, picture.dots[i].role == DotRole::Plain ? kDotRadius : kDotRadius + 1,
           roleColour(picture.dots[i].role), PictureColours::outline);
  }

  // Numbers where there is room, the highlighted one and the route's ends first; none under the
  // legend or the scale bar.
  LabelSpace space;
  for (const PictureBox& b : {overlays.legend, overlays.scale, keepClear}) {
    if (b.w > 0) {
      space.reserve(static_cast<int>(b.x), static_cast<int>(b.y), static_cast<int>(b.w),
                    static_cast<int>(b.h));
    }
  }
  const int th = c.textHeight();
  std::vector<std::size_t> labelOrder;
  if (highlighted >= 0 && static_cast<std::size_t>(highlighted) < n) {
    labelOrder.push_back(static_cast<std::size_t>(highlighted));
  }
  for (std::size_t i = n; i-- > 0;) {
    if (picture.dots[i].role != DotRole::Plain) labelOrder.push_back(i);
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (picture.dots[i].role == DotRole::Plain) labelOrder.push_back(i);
  }
  for (std::size_t i : labelOrder) {
    const CanvasPoint p = view.toScreen(picture.dots[i].pos);
    if (!onCanvas(c, p, 0)) continue;
    // The place in the route as it runs now: after a reversal the start is 1 again.
    const PictureDot& d = picture.dots[i];
    const std::string t = std::to_string(d.order > 0 ? d.order : static_cast<int>(i) + 1);
    const int w = c.textWidth(t);
    const int x = static_cast<int>(p.x + kDotRadius + 2),
              y = static_cast<int>(p.y - kDotRadius - th);
    if (!space.take(x, y, w, th)) continue;
    c.fillRect(x - 1, y - 1, w + 2, th + 2, {255, 255, 255, 170});
    c.text({static_cast<double>(x), static_cast<double>(y)}, t, PictureColours::text);
  }
  // Last, so no line or point hides who made the map.
  if (map.shown) drawMapAttribution(c, map.attribution);
}

std::string dotDescription(const PictureDot& dot, char decimalSep) {
  const int order = dot.order > 0 ? dot.order : dot.number;
  std::string t = "Routenpunkt " + std::to_string(order);
  // After a reversal the lines keep the numbers they were made with.
  if (dot.number != order) t += " (in den Routendaten Nr. " + std::to_string(dot.number) + ")";
  if (dot.ruleKnown) t += ": " + ruleName(dot.kind);
  if (!dot.rule.empty() && dot.rule != "-") t += std::string(1, kCR) + dot.rule;
  const double lat = static_cast<double>(dot.pos.lat), lon = static_cast<double>(dot.pos.lon);
  t += std::string(1, kCR) + number(std::fabs(lat), 6, decimalSep) + "\xB0" +
       (lat < 0 ? " S  " : " N  ") + number(std::fabs(lon), 6, decimalSep) + "\xB0" +
       (lon < 0 ? " W" : " O");
  return t;
}

bool writeRoutePicture(Session& s, const std::string& path, int width, int height, TileSource* map,
                       MapUnderlay* drawn) {
  const RoutePicture picture = routePicture(s);
  PictureView view(width, height);
  view.fit(picture.bounds(), fitMargin(width, height));
  RasterCanvas canvas(width, height, PictureColours::background);
  MapUnderlay under = drawPicture(picture, view, canvas, -1, s.numbers.DecimalSep, map);
  if (drawn) *drawn = std::move(under);
  std::string why;
  const auto png = encodePng(canvas, &why);
  if (png && writeFileAtomic(path, *png, &why)) return true;
  singleButtonMessage(s, PromptKind::Error, PromptButtons::Ok,
                      "Das Bild " + path + " kann nicht geschrieben werden: " + why);
  return false;
}

}  // namespace kursolin
