#include "formats/navigon.h"

#include "core/coords.h"
#include "core/cp1252.h"
#include "core/numtext.h"
#include "core/textutil.h"
#include "formats/route_reader.h"
#include "session/prompt.h"

namespace kursolin {

void ResetNaviFields(Session& s) {
  for (auto& f : s.CurrentPoint.NaviFields) f = "-";
}

int GetMN(Session& s, const std::string& line, int index, NavigonVersion layout) {
  PointRecord& p = s.CurrentPoint;
  const int lineNumber = index + 1;
  if (line.empty()) {
    reportEmptyLine(s, lineNumber);
    return 0;
  }
  // MN|4.2 and MN5 have the fields 2 and 13 that MN|4 lacks; MN5 two more at the end.
  const bool code9 = layout != NavigonVersion::MN4;
  const bool mn5 = code9 && s.doc.InputLayout == kNavigonMN5Layout;

  // Fields in the order they stand in the line; those a layout lacks are skipped. Every field is
  // followed by "|": the text after the last one is none, and the fields after it are empty.
  const std::vector<std::string> pieces = splitAt(line, '|');
  std::size_t taken = 0;
  auto next = [&]() -> std::string {
    return taken + 1 < pieces.size() ? pieces[taken++] : std::string();
  };
  auto& nf = p.NaviFields;
  nf[RteLabel] = next();
  nf[RtePlace1] = next();
  if (code9) nf[RtePlace2] = next();
  for (int i = RtePlace3; i <= RteLat; ++i) nf[static_cast<std::size_t>(i)] = next();
  if (code9) nf[RtePlace13] = next();
  nf[RtePlace14] = next();
  if (mn5) {
    nf[RtePlace15] = next();
    nf[RtePlace16] = next();
  }

  if (nf[RteLon] == "-") nf[RteLon] = "0.00";
  setCoordinateFromDecimal(s, Axis::Longitude, nf[RteLon], lineNumber);
  if (nf[RteLat] == "-") nf[RteLat] = "0.00";
  setCoordinateFromDecimal(s, Axis::Latitude, nf[RteLat], lineNumber);
  setRouteFileDefaults(p);
  return coordinatesPresent(s, line, lineNumber);
}

std::string navigonLine(Session& s, NavigonVersion version, int n) {
  PointRecord& p = s.CurrentPoint;
  const std::string lon = KommaZuPunkt(p.LonDec);
  const std::string lat = KommaZuPunkt(p.LatDec);
  const std::string& label = p.PointLabel;
  auto& nf = p.NaviFields;
  std::string out = label + "|";
  const auto field = [&](int i) { out += nf[static_cast<std::size_t>(i)] + "|"; };
  switch (version) {
    case NavigonVersion::MN4:
      if (!s.opt.get(MN4ShowOrt)) return label + "|-|-|-|-|-|-|-|-|-|" + lon + "|" + lat + "|-|";
      field(RtePlace1);
      for (int i = RtePlace3; i <= RtePlace10; ++i) field(i);
      out += lon + "|" + lat + "|";
      field(RtePlace14);
      return out;
    case NavigonVersion::MN42:
      if (!s.opt.get(MN42ShowOrt))
        return label + "|-|-|-|-|-|-|-|-|-|-|" + lon + "|" + lat + "|-|-|";
      for (int i = RtePlace1; i <= RtePlace10; ++i) field(i);
      out += lon + "|" + lat + "|";
      field(RtePlace13);
      field(RtePlace14);
      return out;
    case NavigonVersion::MN5:
      if (!s.opt.get(MN5ShowOrt))
        return label + "|-|-|-|-|-|-|-|-|-|-|" + lon + "|" + lat + "|-|-|-|-|";
      if (nf[RtePlaceName] == "-") nf[RtePlaceName] = "KS-Rp " + intToStr(n);
      for (int i = RtePlace1; i <= RtePlace10; ++i) field(i);
      out += lon + "|" + lat + "|";
      for (int i = RtePlace13; i <= RtePlace16; ++i) field(i);
      return out;
  }
  return out;
}

void buildMN4(Session& s, const RoutePoint& p) {
  s.doc.OutputLines.add(navigonLine(s, NavigonVersion::MN4, p.n));
}
void buildMN42(Session& s, const RoutePoint& p) {
  s.doc.OutputLines.add(navigonLine(s, NavigonVersion::MN42, p.n));
}
void buildMN5(Session& s, const RoutePoint& p) {
  s.doc.OutputLines.add(navigonLine(s, NavigonVersion::MN5, p.n));
}

bool navigonRecognized(const TextLines& lines, NavigonVersion layout) {
  const int bars = countChar(lines.at(0), '|');
  if (layout == NavigonVersion::MN4) return bars == 13;
  return bars == 15 || bars == 17;
}

std::string mn4ShowOrtWarning() {
  return MN4ShowOrt.info.warning;
}

std::string mn42ShowOrtWarning() {
  return MN42ShowOrt.info.warning;
}

}  // namespace kursolin
