#include "session/panes.h"

#include "core/textutil.h"

namespace kursolin {

bool paneSortsAfter(const TextLines& lines, char c) {
  if (lines.empty()) return false;
  // Only the start of the text can decide: every line is followed by CR LF.
  const std::string_view first = lines.full(0);
  if (first.empty()) return sortsAfter("\r", c);
  if (first.size() > 1) return sortsAfter(first.substr(0, 2), c);
  return sortsAfter(std::string(first) + "\r", c);
}

void NaviChange(Session& s) {
  const bool on = paneSortsAfter(s.doc.OutputLines, '\x1F');
  UiItem& save = s.shell.item("SaveNavi");
  UiItem& rev = s.shell.item("RouteReversAction");
  UiItem& reduce = s.shell.item("RouteVerringern");  // the reduction, too, needs a route
  if (save.enabled == on && rev.enabled == on && reduce.enabled == on) return;
  save.enabled = on;
  rev.enabled = on;
  reduce.enabled = on;
  s.port().stateChanged();
}

void NMEADatenChange(Session& s) {
  s.shell.item("NMEADaten").enabled = paneSortsAfter(s.doc.InputLines, '\x1F');
  s.shell.item("Route").enabled = s.doc.InputLines.Count() > 1;
  s.port().stateChanged();
}

void NMEADatenChange(Session& s, int lineCount, std::string_view head) {
  // The first two characters decide how a text compares with a one-character text.
  s.shell.item("NMEADaten").enabled = lineCount > 0 && sortsAfter(head.substr(0, 2), '\x1F');
  s.shell.item("Route").enabled = lineCount > 1;
  s.port().stateChanged();
}

}  // namespace kursolin
