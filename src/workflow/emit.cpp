#include "workflow/emit.h"

#include "core/geotime.h"
#include "core/host.h"
#include "workflow/output_formats.h"
#include "workflow/panes.h"

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
  const RoutePoint point{n, prevLat, prevLon, curLat, curLon};
  // Each flag is tested on its own; only one of them is ever set.
  for (const auto& f : outputFormats()) {
    if (s.*(f.flag) && f.builder) f.builder(s, point);
  }
  NaviChange(s);
  s.setOutputCaption(outputCaptionWith(s, n));
}

}  // namespace kursolin
