#include "workflow/emit.h"

#include "core/geotime.h"
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
  const RoutePoint point{n, prevLat, prevLon, curLat, curLon};
  if (const OutputFormatInfo* f = chosenOutputFormat(s); f && f->write) f->write(s, point);
  NaviChange(s);
  s.setOutputCaption(outputCaptionWith(s, n));
}

}  // namespace kursolin
