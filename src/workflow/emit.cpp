#include "workflow/emit.h"

#include "core/coords.h"
#include "core/geotime.h"
#include "core/host.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/time_mode.h"

namespace kursolin {

void RouteOut(Session& s, Real prevLat, Real prevLon, Real curLat, Real curLon) {
  ++s.doc.RoutePointCount;
  const int n = s.doc.RoutePointCount;
  PointRecord& p = s.CurrentPoint;
  if (s.opt.ShowPointInfo) {
    p.PointLabel = intToStr(n) + "-T:" + TimeChange(s, p.Time) + " N:" + p.LatNmea + " O:" +
                   p.LonNmea + " K:" + p.SpeedKmh;
  } else {
    p.PointLabel = "-";
  }
  // The record as the writers get it (they may fill in fields), so emitting it again later
  // builds the same lines; position texts still pending are made the same way then.
  const int firstLine = s.doc.OutputLines.Count();
  if (s.doc.keepRouteRecords)
    s.doc.emittedPoints.push_back({PackedPointRecord(p, s.doc.pointStore), n, firstLine, 0});
  const RoutePoint point{n, prevLat, prevLon, curLat, curLon};
  if (const OutputFormatInfo* f = chosenOutputFormat(s); f && f->write) {
    completePositionTexts(s.numbers, p, f->positionTexts);
    f->write(s, point);
  }
  if (s.doc.keepRouteRecords)
    s.doc.emittedPoints.back().lineCount = s.doc.OutputLines.Count() - firstLine;
  NaviChange(s);
  s.setOutputCaption(outputCaptionWith(s.shell, n));
}

bool routeRecordsInStep(const Document& doc) {
  if (doc.emittedPoints.empty()) return false;
  // Lines after the last point (a closing tag a finishing pass adds) are no point's.
  const EmittedPoint& last = doc.emittedPoints.back();
  return !doc.OutputLines.empty() && last.firstLine + last.lineCount <= doc.OutputLines.Count();
}

}  // namespace kursolin
