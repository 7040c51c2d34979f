#include "formats/autoroute.h"

#include "core/cp1252.h"
#include "core/host.h"
#include "core/numtext.h"
#include "session/time_mode.h"

namespace kursolin {

std::string autoRouteLine(const Session& s, int n) {
  const PointRecord& p = s.CurrentPoint;
  // AutoRoute reads the position with the German decimal comma, whatever the host uses.
  return intToStr(n) + " | Time: " + TimeChange(s, p.Time) + ";Speed: " + p.SpeedKmh +
         "; Höhe :"_cp + p.Altitude + ";" + PunktZuKomma(p.LatDec) + ";" + PunktZuKomma(p.LonDec);
}

void buildAutoRoute(Session& s, const RoutePoint& p) {
  s.doc.OutputLines.add(autoRouteLine(s, p.n));
}

}  // namespace kursolin
