#include "workflow/reverse.h"

#include <algorithm>

#include "core/cp1252.h"
#include "core/textutil.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/prompt.h"
#include "workflow/emit.h"
#include "workflow/presentation.h"

namespace kursolin {

bool reverseRoute(Session& s) {
  // Formats whose lines are not one a point (a header line, several lines a point) say so.
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (f && !f->reversible) {
    const OutputPresentation* p = chosenOutputPresentation(s);
    singleButtonMessage(s, PromptKind::Information, PromptButtons::Abort,
                        p ? p->reverseRefusal : std::string());
    return false;
  }
  if (!paneSortsAfter(s.doc.OutputLines, '\x1F')) {
    singleButtonMessage(s, PromptKind::Error, PromptButtons::Abort, "Keine Route vorhanden !");
    return false;
  }
  const auto& lines = s.doc.OutputLines.lines();
  const bool inStep = routeRecordsInStep(s.doc);
  std::vector<std::string> reversed;
  std::vector<int> newIndex(lines.size(), -1);  // of each old line, -1 when dropped
  reversed.reserve(lines.size());
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (!sortsAfter(lines[i], ' ')) continue;
    newIndex[i] = static_cast<int>(reversed.size());
    reversed.push_back(lines[i]);
  }
  s.doc.OutputLines.assign(std::move(reversed));
  // The kept records follow their lines, so the picture and a reduction see the new order.
  if (inStep) {
    std::deque<EmittedPoint> points;
    for (auto it = s.doc.emittedPoints.rbegin(); it != s.doc.emittedPoints.rend(); ++it) {
      int first = -1, last = -1;
      for (int l = it->firstLine; l < it->firstLine + it->lineCount; ++l) {
        const int n = newIndex[static_cast<std::size_t>(l)];
        if (n < 0) continue;
        first = first < 0 ? n : std::min(first, n);
        last = std::max(last, n);
      }
      it->firstLine = first < 0 ? 0 : first;
      it->lineCount = first < 0 ? 0 : last - first + 1;
      points.push_back(std::move(*it));
    }
    s.doc.emittedPoints = std::move(points);
    if (s.doc.ruleNotes.size() == s.doc.emittedPoints.size()) {
      std::reverse(s.doc.ruleNotes.begin(), s.doc.ruleNotes.end());
    }
  } else {
    s.doc.emittedPoints.clear();
  }
  // The first and last lines of some formats carry flags of their own.
  const int beforeFinish = s.doc.OutputLines.Count();
  if (f && f->finish) f->finish(s, s.doc.OutputLines);
  // A pass that moves lines (a header put back in front) leaves no way to tell which lines are
  // whose; the picture and the reduction then wait for the next generation.
  if (f && f->finish && f->pointLine && !s.doc.emittedPoints.empty()) {
    // A header and footer around one line a point (GPX): the pass rebuilt the frame around the
    // reversed points, so each record goes with its point line again, the header with the first.
    std::vector<int> pointLines;
    for (int i = 0; i < s.doc.OutputLines.Count(); ++i) {
      if (f->pointLine(std::string(s.doc.OutputLines.full(i)))) pointLines.push_back(i);
    }
    if (pointLines.size() == s.doc.emittedPoints.size()) {
      for (std::size_t k = 0; k < pointLines.size(); ++k) {
        EmittedPoint& e = s.doc.emittedPoints[k];
        e.firstLine = k == 0 ? 0 : pointLines[k];
        e.lineCount = pointLines[k] - e.firstLine + 1;
      }
    } else {
      s.doc.emittedPoints.clear();
    }
  } else if (s.doc.OutputLines.Count() != beforeFinish) {
    s.doc.emittedPoints.clear();
  }
  NaviChange(s);
  s.port().stateChanged();
  return true;
}

void RouteReversActionExecute(Session& s) {
  if (reverseRoute(s)) s.port().focusOutputPane();
}

}  // namespace kursolin
