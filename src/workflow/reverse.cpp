#include "workflow/reverse.h"

#include "core/cp1252.h"
#include "core/prompt.h"
#include "core/textutil.h"
#include "formats/registry.h"
#include "core/panes.h"

namespace kursolin {

bool reverseRoute(Session& s) {
  // Formats whose lines are not one a point (a header line, several lines a point) say so.
  const OutputFormatInfo* f = chosenOutputFormat(s);
  if (f && !f->reversible()) {
    singleButtonMessage(s, PromptKind::Information, PromptButtons::Abort, f->reverseRefusal);
    return false;
  }
  if (!paneSortsAfter(s.OutputLines, '\x1F')) {
    singleButtonMessage(s, PromptKind::Error, PromptButtons::Abort, "Keine Route vorhanden !");
    return false;
  }
  const auto& lines = s.OutputLines.lines();
  std::vector<std::string> reversed;
  reversed.reserve(lines.size());
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (sortsAfter(*it, ' ')) reversed.push_back(*it);
  }
  s.OutputLines.assign(std::move(reversed));
  // The first and last lines of some formats carry flags of their own.
  if (f && f->finish) f->finish(s, s.OutputLines);
  NaviChange(s);
  s.port().stateChanged();
  return true;
}

void RouteReversActionExecute(Session& s) {
  if (reverseRoute(s)) s.port().focusOutputPane();
}

}  // namespace kursolin
