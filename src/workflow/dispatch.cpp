#include "workflow/dispatch.h"

#include "formats/registry.h"
#include "workflow/emit.h"

namespace kursolin {

bool Get_A(Session& s, const std::string& line, int index) {
  if (const OutputFormatInfo* out = chosenOutputFormat(s); out && out->prepare) out->prepare(s);
  // Only a reader whose format marks via and shaping points says what a record is.
  s.CurrentPoint.Role = RouteRole::Unknown;
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  if (!in || !in->readA) return false;
  return in->readA(s, line, index);
}

bool Get_B(Session& s, const std::string& line, int index) {
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  if (in && in->readB) return in->readB(s, line, index);
  return s.CurrentPoint.PointValid;
}

bool FormatRouteIO::Get_A(Session& s, const std::string& line, int index) {
  return kursolin::Get_A(s, line, index);
}

bool FormatRouteIO::Get_B(Session& s, const std::string& line, int index) {
  return kursolin::Get_B(s, line, index);
}

bool FormatRouteIO::isRecordLine(const Session& s, const std::string& line) const {
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  return !in || !in->recordLine || in->recordLine(s, line);
}

bool FormatRouteIO::isRouteFile(const Session& s) const {
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  return in && !in->recordedLog;
}

bool FormatRouteIO::pairsRecords(const Session& s) const {
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  return s.doc.ReadVtg && (!in || !in->hasBRecords || in->hasBRecords(s));
}

std::optional<LocalDateTime> FormatRouteIO::recordedAt(const Session& s) const {
  const InputFormatInfo* in = inputFormat(s.opt.InputFormat);
  if (in && in->recordedAt) {
    if (auto when = in->recordedAt(s)) return when;
  }
  return s.doc.InputFileTime;
}

void FormatRouteIO::RouteOut(Session& s, Real prevLat, Real prevLon, Real curLat, Real curLon) {
  kursolin::RouteOut(s, prevLat, prevLon, curLat, curLon);
}

RouteResult RouteErzeugen(Session& s) {
  FormatRouteIO io;
  return RouteErzeugen(s, io);
}

}  // namespace kursolin
