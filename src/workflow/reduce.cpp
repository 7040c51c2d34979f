#include "workflow/reduce.h"

#include <cmath>
#include <queue>

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/geotime.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/prompt.h"
#include "workflow/emit.h"
#include "workflow/route_command.h"

namespace kursolin {

namespace {

// Distance in metres of p from the line through a and b, in a plane laid at p (the neighbours of
// a route point are close enough for that); from a itself when a and b coincide.
double offLine(const GeoPosition& a, const GeoPosition& p, const GeoPosition& b) {
  const double k = static_cast<double>(EarthRadius * kPiDiv180);
  const double c = std::cos(static_cast<double>(p.lat * kPiDiv180));
  const auto x = [&](const GeoPosition& q) { return static_cast<double>(q.lon - p.lon) * k * c; };
  const auto y = [&](const GeoPosition& q) { return static_cast<double>(q.lat - p.lat) * k; };
  const double ax = x(a), ay = y(a), bx = x(b), by = y(b);
  const double dx = bx - ax, dy = by - ay;
  const double len = std::hypot(dx, dy);
  if (len < 1e-9) return std::hypot(ax, ay);
  // |cross(b - a, p - a)| / |b - a| with p at the origin.
  return std::fabs(dx * -ay - dy * -ax) / len;
}

struct Candidate {
  double distance;
  std::size_t index;
  unsigned version;
  // The queue yields the smallest distance first, the earlier point on a tie.
  bool operator<(const Candidate& o) const {
    if (distance != o.distance) return distance > o.distance;
    return index > o.index;
  }
};

bool isFixedKind(RuleKind k) {
  return k == RuleKind::Start || k == RuleKind::End || k == RuleKind::Stop;
}

}  // namespace

GeoPosition signedPosition(const PointRecord& p) {
  GeoPosition g{p.LatValue, p.LonValue};
  // The NMEA readers keep the magnitude in the number and the sign in the texts, or in the
  // pending hemisphere while the texts are not made yet.
  const auto negative = [&](std::uint8_t pendingText, std::uint8_t hemisphere,
                            const std::string& dec) {
    if (p.PendingTexts & pendingText) return (p.PendingTexts & hemisphere) != 0;
    return !dec.empty() && dec[0] == '-';
  };
  if (negative(kPendingLatDecimal, kPendingSouth, p.LatDec) && g.lat > 0) g.lat = -g.lat;
  if (negative(kPendingLonDecimal, kPendingWest, p.LonDec) && g.lon > 0) g.lon = -g.lon;
  return g;
}

std::vector<std::size_t> pointsToKeep(const std::vector<GeoPosition>& points,
                                      const std::vector<bool>& fixed, int maxPoints) {
  const std::size_t n = points.size();
  std::vector<std::size_t> prev(n), next(n);
  std::vector<unsigned> version(n, 0);
  std::vector<bool> gone(n, false);
  const auto pinned = [&](std::size_t i) {
    return i == 0 || i + 1 == n || (i < fixed.size() && fixed[i]);
  };
  std::priority_queue<Candidate> queue;
  const auto rank = [&](std::size_t i) {
    if (pinned(i)) return;
    queue.push({offLine(points[prev[i]], points[i], points[next[i]]), i, ++version[i]});
  };
  for (std::size_t i = 0; i < n; ++i) {
    prev[i] = i == 0 ? 0 : i - 1;
    next[i] = i + 1 == n ? i : i + 1;
  }
  for (std::size_t i = 0; i < n; ++i) rank(i);

  std::size_t left = n;
  const std::size_t limit = maxPoints < 0 ? 0 : static_cast<std::size_t>(maxPoints);
  while (left > limit && !queue.empty()) {
    const Candidate c = queue.top();
    queue.pop();
    if (gone[c.index] || c.version != version[c.index]) continue;  // ranked again since
    gone[c.index] = true;
    --left;
    const std::size_t p = prev[c.index], q = next[c.index];
    next[p] = q;
    prev[q] = p;
    rank(p);
    rank(q);
  }
  std::vector<std::size_t> keep;
  keep.reserve(left);
  for (std::size_t i = 0; i < n; ++i) {
    if (!gone[i]) keep.push_back(i);
  }
  return keep;
}

bool emitPointsAgain(Session& s, const std::vector<PackedPointRecord>& records,
                     std::vector<RuleNote> notes) {
  const bool withNotes = notes.size() == records.size();
  // Everything the emission replaces, for a failure half-way.
  TextLines lines = s.doc.OutputLines;
  PointTableModel table = s.doc.PointTable;
  const int tableRows = s.doc.TableRowCount;
  const int count = s.doc.RoutePointCount;
  const PointRecord current = s.CurrentPoint;
  std::deque<EmittedPoint> points = std::move(s.doc.emittedPoints);
  std::deque<RuleNote> oldNotes = std::move(s.doc.ruleNotes);

  s.doc.emittedPoints.clear();
  s.doc.ruleNotes.clear();
  preparePointTable(s);
  s.doc.OutputLines.clear();
  s.doc.RoutePointCount = 0;
  try {
    Real lastLat = 0, lastLon = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
      s.CurrentPoint = records[k].unpack();
      RouteOut(s, lastLat, lastLon, s.CurrentPoint.LatValue, s.CurrentPoint.LonValue);
      lastLat = s.CurrentPoint.LatValue;
      lastLon = s.CurrentPoint.LonValue;
      if (withNotes) {
        RuleNote note = std::move(notes[k]);
        note.point = s.doc.RoutePointCount;
        s.doc.ruleNotes.push_back(std::move(note));
      }
    }
    // Formats whose first and last lines carry flags of their own.
    const OutputFormatInfo* out = chosenOutputFormat(s);
    if (out && out->finish) out->finish(s, s.doc.OutputLines);
  } catch (const ConvertError& e) {
    s.doc.OutputLines = std::move(lines);
    s.doc.PointTable = std::move(table);
    s.doc.TableRowCount = tableRows;
    s.doc.RoutePointCount = count;
    s.CurrentPoint = current;
    s.doc.emittedPoints = std::move(points);
    s.doc.ruleNotes = std::move(oldNotes);
    s.setOutputCaption(outputCaptionWith(s.shell, s.doc.RoutePointCount));
    s.port().prompt(PromptKind::Error, PromptButtons::Ok, e.what());
    NaviChange(s);
    s.port().stateChanged();
    return false;
  }
  return true;
}

ReduceResult RouteVerringern(Session& s, int maxPoints) {
  ReduceResult result;
  if (!routeRecordsInStep(s.doc)) {
    singleButtonMessage(s, PromptKind::Error, PromptButtons::Abort, "Keine Route vorhanden !");
    return result;
  }
  const std::size_t n = s.doc.emittedPoints.size();
  result.before = static_cast<int>(n);
  const bool notesInStep = s.doc.ruleNotes.size() == n;
  std::vector<GeoPosition> positions;
  std::vector<bool> fixed(n, false);
  positions.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    positions.push_back(signedPosition(s.doc.emittedPoints[i].record.unpack()));
    if (notesInStep) fixed[i] = isFixedKind(s.doc.ruleNotes[i].kind);
  }
  const std::vector<std::size_t> keep = pointsToKeep(positions, fixed, maxPoints);
  result.after = static_cast<int>(keep.size());
  result.done = true;
  const auto tellWhenAbove = [&] {
    if (result.after <= maxPoints) return;
    singleButtonMessage(s, PromptKind::Information, PromptButtons::Ok,
                        "Start, Ziel und Stopps bleiben erhalten: die Route hat jetzt "_cp +
                            std::to_string(result.after) + " Routenpunkte.");
  };
  if (keep.size() == n) {
    // Nothing could go: the lines stay exactly as they are.
    tellWhenAbove();
    return result;
  }

  std::vector<PackedPointRecord> records;
  std::vector<RuleNote> notes;
  records.reserve(keep.size());
  for (std::size_t k : keep) {
    records.push_back(s.doc.emittedPoints[k].record);
    if (notesInStep) notes.push_back(s.doc.ruleNotes[k]);
  }
  if (!emitPointsAgain(s, records, std::move(notes))) {
    result.done = false;
    result.after = result.before;
    return result;
  }
  std::size_t k = 0;
  for (std::size_t i = 0; i < n; ++i) {
    if (k < keep.size() && keep[k] == i) {
      ++k;
    } else {
      s.doc.reducedAway.push_back(positions[i]);
    }
  }
  NaviChange(s);
  s.port().stateChanged();
  s.port().focusOutputPane();
  tellWhenAbove();
  return result;
}

}  // namespace kursolin
