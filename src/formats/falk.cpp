#include "formats/falk.h"

#include "core/point.h"

namespace kursolin {

void prepareFalkRecord(Session& s) {
  s.CurrentPoint.navi(RtePlaceName).assign(1, '-');
  s.CurrentPoint.ViaStationPoint = true;
}

}  // namespace kursolin
