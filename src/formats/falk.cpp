#include "formats/falk.h"

#include <algorithm>
#include <vector>

#include "core/host.h"
#include "core/point.h"
#include "core/split_plan.h"
#include "formats/part_files.h"

namespace kursolin {

namespace {

// Digit k (1-based) of FalkFlags; a shorter text leaves the flag line without its digit.
std::string falkDigit(const Session& s, std::size_t k) {
  const std::string& flags = s.opt.get(FalkFlags);
  return k <= flags.size() ? std::string(1, flags[k - 1]) : std::string();
}

// The line's first character replaced by the digit.
std::string withFlag(const std::string& digit, const std::string& line) {
  return digit + (line.empty() ? std::string() : line.substr(1));
}

}  // namespace

void prepareFalkRecord(Session& s) {
  s.CurrentPoint.navi(RtePlaceName).assign(1, '-');
  s.CurrentPoint.ViaStationPoint = true;
}

void buildFalk(Session& s, const RoutePoint& p) {
  const PointRecord& c = s.CurrentPoint;
  s.doc.OutputLines.add(falkDigit(s, c.ViaStationPoint ? 2 : 3));
  s.doc.OutputLines.add(c.LonMer);
  s.doc.OutputLines.add(c.LatMer);
  s.doc.OutputLines.add(intToStr(p.n) + "=" + c.navi(RtePlaceName));
  s.doc.OutputLines.add(std::string());
}

void SetFprvFlag(Session& s, TextLines& lines) {
  if (lines.Count() < kFalkLinesPerPoint) return;
  std::vector<std::string> l = lines.lines();
  l.front() = withFlag(falkDigit(s, 1), l.front());
  std::string& last = l[l.size() - kFalkLinesPerPoint];
  last = withFlag(falkDigit(s, 4), last);
  lines.assign(std::move(l));
}

bool SaveFPrv(Session& s, const std::string& chosen) {
  if (!splitPlanUsable(s)) return false;
  const int files = s.doc.split.fileCount();
  const auto& all = s.doc.OutputLines.lines();
  PartFileWriter writer(s, files);
  std::size_t nextPoint = 0;
  for (int f = 1; f <= files; ++f) {
    const std::size_t points = static_cast<std::size_t>(
        f <= s.doc.split.SplitFiles ? s.doc.split.SplitSize : s.doc.split.SplitRest);
    const std::size_t from = std::min(nextPoint * kFalkLinesPerPoint, all.size());
    const std::size_t to = std::min((nextPoint + points) * kFalkLinesPerPoint, all.size());
    nextPoint += points;
    TextLines part;
    part.assign(std::vector<std::string>(all.begin() + static_cast<std::ptrdiff_t>(from),
                                         all.begin() + static_cast<std::ptrdiff_t>(to)));
    SetFprvFlag(s, part);
    if (!writer.write(f, partFileName(chosen, f, s.doc.split.SplitFiles), part.lines())) {
      writer.remember(chosen);
      return false;
    }
  }
  writer.remember(chosen);
  return true;
}

}  // namespace kursolin
