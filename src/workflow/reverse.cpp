#include "workflow/reverse.h"

#include "core/cp1252.h"
#include "core/prompt.h"
#include "core/textutil.h"
#include "workflow/output_formats.h"
#include "workflow/panes.h"

namespace kursolin {

void RouteReversActionExecute(Session& s) {
  // The table's first line is its header and Falk takes several lines a point: neither can be
  // turned round line by line.
  if (s.OutCSV) {
    singleButtonMessage(s, PromptKind::Information, PromptButtons::Abort,
                        "Routen in Tabellenform können nicht umgekehrt werden !"_cp);
    return;
  }
  if (s.OutFPrv) {
    singleButtonMessage(
        s, PromptKind::Information, PromptButtons::Abort,
        "Routen im Falk PreviosDestination Format können nicht umgekehrt werden !"_cp);
    return;
  }
  if (!paneSortsAfter(s.OutputLines, '\x1F')) {
    singleButtonMessage(s, PromptKind::Error, PromptButtons::Abort, "Keine Route vorhanden !");
    return;
  }
  const auto& lines = s.OutputLines.lines();
  std::vector<std::string> reversed;
  reversed.reserve(lines.size());
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (sortsAfter(*it, ' ')) reversed.push_back(*it);
  }
  s.OutputLines.assign(std::move(reversed));
  // The first and last lines of some formats carry flags of their own.
  if (const OutputFormatInfo* f = chosenOutputFormat(s); f && f->finish) f->finish(s);
  NaviChange(s);
  s.port().stateChanged();
  s.port().focusOutputPane();
}

}  // namespace kursolin
