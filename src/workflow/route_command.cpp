#include "workflow/route_command.h"

#include "core/geotime.h"
#include "core/prompt.h"
#include "core/panes.h"
#include "formats/registry.h"
#include "workflow/dispatch.h"

namespace kursolin {

void preparePointTable(Session& s) {
  const OutputFormatInfo* out = chosenOutputFormat(s);
  if (out && out->pointTable) {
    s.PointTable.visible = true;
    s.PointTable.rows.clear();
    s.TableRowCount = 1;
  } else {
    s.PointTable.visible = false;
  }
}

RouteResult RouteExecute(Session& s) {
  s.port().setBusy(true);
  TimeArtChange(s, s.TimeMode);
  const OutputFormatInfo* out = chosenOutputFormat(s);
  preparePointTable(s);
  s.port().stateChanged();
  RouteResult result = RouteResult::Failed;
  try {
    result = RouteErzeugen(s);
    s.port().focusOutputPane();
  } catch (const ConvertError& e) {
    // A value no reader could convert ends the command; what was emitted stays.
    s.port().prompt(PromptKind::Error, PromptButtons::Ok, e.message());
  }
  // Formats whose first and last lines carry flags of their own, or that close with a footer:
  // a route cut short is finished too, so what is saved is still a whole file.
  if (out && out->finish) out->finish(s, s.OutputLines);
  NaviChange(s);
  s.port().setBusy(false);
  s.port().stateChanged();
  return result;
}

}  // namespace kursolin
