#include "formats/table.h"

#include <cstdio>

#include "core/cp1252.h"
#include "core/geotime.h"
#include "core/numtext.h"
#include "session/time_mode.h"

namespace kursolin {

std::string tableHeaderLine(const Session& s) {
  static const char* const kColumns[] = {
      "Zeit",          "nB Grad Min",   "öL Grad Min", "nB Dez.Grad", "öL Dez.Grad",
      "nB Gr.Min.Sek", "öL Gr.Min.Sek", "nB Mercator", "öL Mercator", "Speed",
      "Höhe",          "Kurs",          "Distanz",     "Sat Ok",      "Sat Anzahl",
      "HDOP"};
  std::string out;
  for (const char* c : kColumns) {
    if (!out.empty()) out += s.opt.get(CsvSeparator);
    out += utf8ToCp1252(c);
  }
  return out;
}

std::string tableDataLine(Session& s, const std::string& distance) {
  const PointRecord& p = s.CurrentPoint;
  const std::string& sep = s.opt.get(CsvSeparator);
  const NumberStyle st = s.numbers;
  const auto P = [&](const std::string& t) { return PZD(st, t); };
  std::string out = TimeChange(s, p.Time);
  for (const std::string& v : {P(p.LatGrMin), P(p.LonGrMin), P(p.LatDec), P(p.LonDec), P(p.LatGMS),
                               P(p.LonGMS), p.LatMer, p.LonMer, P(p.SpeedKmh), P(p.Altitude),
                               P(p.Course), distance, p.FixOk, p.SatCount, P(p.Hdop)}) {
    out += sep;
    out += v;
  }
  return out;
}

const std::vector<std::string>& pointTableHeaders() {
  static const std::vector<std::string> headers = [] {
    std::vector<std::string> h;
    for (const char* t : {" Nummer", " Zeit", " nB Gr.Min.Sek", " öL Gr.Min.Sek", " Kmh", " Höhe",
                          " Distanz", " Kurs", " SatOk", " Sat Anzahl", " HDop", " nB Gr.Min",
                          " öL Gr.Min", " nB Dez.Grad", " öL Dez.Grad", " nB Mercator",
                          " öL Mercator"})
      h.push_back(utf8ToCp1252(t));
    return h;
  }();
  return headers;
}

const std::vector<int>& pointTableWidths() {
  static const std::vector<int> widths = {52, 52, 78, 78, 36, 38, 44, 44, 38,
                                          60, 38, 64, 64, 72, 72, 72, 72};
  return widths;
}

std::vector<std::string> pointTableRow(Session& s, int number, const std::string& distance) {
  const PointRecord& p = s.CurrentPoint;
  char num[32];
  std::snprintf(num, sizeof num, "%8.8d", number);
  const NumberStyle st = s.numbers;
  const auto P = [&](const std::string& t) { return PZD(st, t); };
  return {num,          TimeChange(s, p.Time), P(p.LatGMS),   P(p.LonGMS), P(p.SpeedKmh),
          P(p.Altitude), distance,             P(p.Course),   p.FixOk,     p.SatCount,
          p.Hdop,        P(p.LatGrMin),        P(p.LonGrMin), P(p.LatDec), P(p.LonDec),
          P(p.LatMer),   P(p.LonMer)};
}

}  // namespace kursolin

namespace kursolin {

void ShowTabGrid(Session& s, const std::string& distance) {
  ++s.doc.TableRowCount;
  s.doc.PointTable.rows.push_back(pointTableRow(s, s.doc.TableRowCount - 1, distance));
}

void buildTable(Session& s, const RoutePoint& p) {
  if (p.n == 1) s.doc.OutputLines.add(tableHeaderLine(s));
  // The file holds the distance the grid shows.
  const std::string distance = intToStr(Dist(p.prevLat, p.prevLon, p.curLat, p.curLon));
  ShowTabGrid(s, distance);
  s.doc.OutputLines.add(tableDataLine(s, distance));
}

}  // namespace kursolin
