#include "workflow/route_edit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/geotime.h"
#include "core/host.h"
#include "core/numtext.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/prompt.h"
#include "workflow/dispatch.h"
#include "workflow/emit.h"
#include "workflow/reduce.h"

namespace kursolin {

namespace {

// A plane laid at `origin` in metres east and north; the points of one route line are close
// enough for it.
struct LocalPlane {
  explicit LocalPlane(const GeoPosition& origin)
      : o(origin),
        k(static_cast<double>(EarthRadius * kPiDiv180)),
        c(std::cos(static_cast<double>(origin.lat * kPiDiv180))) {}
  double x(const GeoPosition& q) const { return static_cast<double>(q.lon - o.lon) * k * c; }
  double y(const GeoPosition& q) const { return static_cast<double>(q.lat - o.lat) * k; }
  GeoPosition at(double px, double py) const {
    return {o.lat + static_cast<Real>(py / k), o.lon + static_cast<Real>(px / (k * c))};
  }
  GeoPosition o;
  double k, c;
};

bool routeThere(Session& s) {
  if (canEditRoute(s)) return true;
  if (!s.routeInProgress)
    singleButtonMessage(s, PromptKind::Error, PromptButtons::Abort, "Keine Route vorhanden !");
  return false;
}

struct Points {
  std::vector<PackedPointRecord> records;
  std::vector<RuleNote> notes;  // empty when the route has none beside its points
};

Points currentPoints(const Session& s) {
  Points p;
  const std::size_t n = s.doc.emittedPoints.size();
  p.records.reserve(n);
  for (const EmittedPoint& e : s.doc.emittedPoints) p.records.push_back(e.record);
  if (s.doc.ruleNotes.size() == n) p.notes.assign(s.doc.ruleNotes.begin(), s.doc.ruleNotes.end());
  return p;
}

bool emitEdited(Session& s, Points&& p) {
  if (!emitPointsAgain(s, p.records, std::move(p.notes))) return false;
  NaviChange(s);
  s.port().stateChanged();
  return true;
}

void insertAt(Points& p, std::size_t after, const PointRecord& record, const std::string& rule) {
  const auto place = static_cast<std::ptrdiff_t>(after + 1);
  p.records.insert(p.records.begin() + place, PackedPointRecord(record));
  if (!p.notes.empty())
    p.notes.insert(p.notes.begin() + place, RuleNote{0, RuleKind::Inserted, rule});
}

}  // namespace

bool canEditRoute(const Session& s) {
  return !s.routeInProgress && routeRecordsInStep(s.doc);
}

void placeRecordAt(const NumberStyle& st, PointRecord& p, const GeoPosition& at) {
  // The NMEA readers keep magnitudes in the numbers and the hemisphere in the texts; a moved
  // point keeps that, so the distances between it and its neighbours are reckoned alike.
  const GeoPosition was = signedPosition(p);
  const bool latMagnitude = p.LatValue > 0 && was.lat < 0;
  const bool lonMagnitude = p.LonValue > 0 && was.lon < 0;
  completePositionTexts(st, p);
  p.PendingTexts = 0;
  for (const Axis axis : {Axis::Latitude, Axis::Longitude}) {
    const bool lat = axis == Axis::Latitude;
    std::string dec = dez6(st, lat ? at.lat : at.lon);
    // The number as a reader takes it from the text, so every text agrees with it.
    const Real value = tryStrToFloat(PZD(st, dec), st.DecimalSep).value_or(lat ? at.lat : at.lon);
    Converted grMin = GeoDezToGrMin(st, dec);
    std::string& navi = p.navi(lat ? RteLat : RteLon);
    if (!navi.empty() && navi != "-") navi = dec;
    setCoordinate(st, p, axis,
                  {std::move(dec), std::move(grMin.text), value, mercatorOf(axis, value)});
    if (lat ? latMagnitude && value < 0 : lonMagnitude && value < 0)
      (lat ? p.LatValue : p.LonValue) = -value;
  }
}

bool movePoint(Session& s, std::size_t index, const GeoPosition& to) {
  if (!routeThere(s)) return false;
  Points p = currentPoints(s);
  if (index >= p.records.size()) return false;
  PointRecord record = p.records[index].unpack();
  placeRecordAt(s.numbers, record, to);
  p.records[index] = PackedPointRecord(record);
  return emitEdited(s, std::move(p));
}

bool deletePoints(Session& s, std::vector<std::size_t> indices) {
  if (!routeThere(s)) return false;
  Points p = currentPoints(s);
  const std::size_t n = p.records.size();
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  while (!indices.empty() && indices.back() >= n) indices.pop_back();
  if (indices.empty()) return false;
  if (n - indices.size() < 2) {
    singleButtonMessage(s, PromptKind::Information, PromptButtons::Ok,
                        (indices.size() == 1 ? "Dieser Punkt kann"_cp : "Diese Punkte können"_cp) +
                            " nicht gelöscht werden: eine Route behält mindestens zwei "
                            "Routenpunkte."_cp);
    return false;
  }
  for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
    const auto at = static_cast<std::ptrdiff_t>(*it);
    p.records.erase(p.records.begin() + at);
    if (!p.notes.empty()) p.notes.erase(p.notes.begin() + at);
  }
  return emitEdited(s, std::move(p));
}

bool insertPoint(Session& s, std::size_t after, const GeoPosition& at) {
  if (!routeThere(s)) return false;
  Points p = currentPoints(s);
  if (after >= p.records.size()) return false;
  PointRecord record = p.records[after].unpack();
  // A new point is no named place, station or via point of the one before it.
  for (std::size_t f = 0; f < record.NaviFields.size(); ++f) {
    std::string& v = record.NaviFields[f];
    if (!v.empty() && f != RteLat && f != RteLon) v = "-";
  }
  record.ViaStationPoint = false;
  // What the output format sets before each record is read holds for the new one as well.
  if (const OutputFormatInfo* out = chosenOutputFormat(s); out && out->prepare) {
    const PointRecord kept = std::exchange(s.CurrentPoint, std::move(record));
    out->prepare(s);
    record = std::exchange(s.CurrentPoint, kept);
  }
  placeRecordAt(s.numbers, record, at);
  insertAt(p, after, record, "-");
  return emitEdited(s, std::move(p));
}

bool insertTrackPoint(Session& s, std::size_t after, const GeoPosition& near) {
  if (!routeThere(s)) return false;
  if (after >= s.doc.emittedPoints.size()) return false;
  const std::optional<PointRecord> record = nearestInputRecord(s, near);
  if (!record) {
    singleButtonMessage(s, PromptKind::Information, PromptButtons::Ok,
                        "Die geladene Datei hat keine Position, auf die der Punkt gesetzt werden "
                        "kann.");
    return false;
  }
  Points p = currentPoints(s);
  insertAt(p, after, *record, "-T:" + record->Time);
  return emitEdited(s, std::move(p));
}

std::optional<PointRecord> nearestInputRecord(Session& s, const GeoPosition& near) {
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  if (!in || !in->available()) return std::nullopt;
  const PointRecord kept = s.CurrentPoint;
  const bool abort = s.AbortRequested;
  std::optional<PointRecord> best;
  {
    QuietScope quiet(s);
    FormatRouteIO io;
    const bool pairs = io.pairsRecords(s);
    const LocalPlane plane(near);
    double bestSq = std::numeric_limits<double>::infinity();
    const int n = s.doc.InputLines.Count();
    for (int i = 0; i < n; ++i) {
      try {
        if (!Get_A(s, s.doc.InputLines.at(i), i) || s.CurrentPoint.FixOk != "1") continue;
        const GeoPosition g = signedPosition(s.CurrentPoint);
        const double x = plane.x(g), y = plane.y(g), sq = x * x + y * y;
        if (!(sq < bestSq)) continue;
        bestSq = sq;
        // Speed and course of a paired log come from the record's second sentence.
        for (int j = i + 1; pairs && j < n && j <= i + 8; ++j) {
          if (Get_B(s, s.doc.InputLines.at(j), j)) break;
        }
        best = s.CurrentPoint;
      } catch (const std::exception&) {
        continue;  // a record no reader can convert is no position
      }
    }
  }
  s.CurrentPoint = kept;
  s.AbortRequested = abort;
  return best;
}

std::optional<LineHit> nearestRouteLine(const Session& s, const GeoPosition& near) {
  const std::size_t n = s.doc.emittedPoints.size();
  if (n < 2) return std::nullopt;
  const LocalPlane plane(near);
  std::optional<LineHit> best;
  GeoPosition a = signedPosition(s.doc.emittedPoints[0].record.unpack());
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const GeoPosition b = signedPosition(s.doc.emittedPoints[i + 1].record.unpack());
    const double ax = plane.x(a), ay = plane.y(a), bx = plane.x(b), by = plane.y(b);
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    // The foot of the perpendicular from the position (the origin), kept on the line.
    const double t = len2 > 0 ? std::clamp(-(ax * dx + ay * dy) / len2, 0.0, 1.0) : 0.0;
    const double px = ax + t * dx, py = ay + t * dy;
    const double d = std::hypot(px, py);
    if (!best || d < best->metres) best = LineHit{i, plane.at(px, py), d};
    a = b;
  }
  return best;
}

}  // namespace kursolin
