#include "workflow/emit.h"

#include "core/coords.h"
#include "core/geotime.h"
#include "core/time_mode.h"
#include "core/host.h"
#include "core/panes.h"
#include "formats/registry.h"

namespace kursolin {

void RouteOut(Session& s, Real prevLat, Real prevLon, Real curLat, Real curLon) {
  ++s.RoutePointCount;
  const int n = s.RoutePointCount;
  PointRecord& p = s.CurrentPoint;
  if (s.ShowPointInfo) {
    p.PointLabel = intToStr(n) + "-T:" + TimeChange(s, p.Time) + " N:" + p.LatNmea + " O:" +
                   p.LonNmea + " K:" + p.SpeedKmh;
  } else {
    p.PointLabel = "-";
  }
  // The record as the writers get it (they may fill in fields), so emitting it again later
  // builds the same lines; position texts still pending are made the same way then.
  const int firstLine = s.OutputLines.Count();
  if (s.keepRouteRecords) s.emittedPoints.push_back({PackedPointRecord(p, s.pointStore), n, firstLine, 0});
  const RoutePoint point{n, prevLat, prevLon, curLat, curLon};
  if (const OutputFormatInfo* f = chosenOutputFormat(s); f && f->write) {
    completePositionTexts(s.numberStyle(), p, f->positionTexts);
    f->write(s, point);
  }
  if (s.keepRouteRecords) s.emittedPoints.back().lineCount = s.OutputLines.Count() - firstLine;
  NaviChange(s);
  s.setOutputCaption(outputCaptionWith(s, n));
}

bool routeRecordsInStep(const Session& s) {
  if (s.emittedPoints.empty()) return false;
  // Lines after the last point (a closing tag a finishing pass adds) are no point's.
  const EmittedPoint& last = s.emittedPoints.back();
  return !s.OutputLines.empty() && last.firstLine + last.lineCount <= s.OutputLines.Count();
}

}  // namespace kursolin
