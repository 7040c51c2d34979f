#include "workflow/route_command.h"

#include "core/cp1252.h"
#include "core/geotime.h"
#include "formats/registry.h"
#include "session/panes.h"
#include "session/prompt.h"
#include "session/time_mode.h"
#include "workflow/devices.h"
#include "workflow/dispatch.h"

namespace kursolin {

void preparePointTable(Session& s) {
  const OutputFormatInfo* out = chosenOutputFormat(s);
  if (out && out->pointTable) {
    s.doc.PointTable.visible = true;
    s.doc.PointTable.rows.clear();
    s.doc.TableRowCount = 1;
  } else {
    s.doc.PointTable.visible = false;
  }
}

namespace {

// Stands between the status text of the load and the count of skipped records.
constexpr char kSkippedNoteStart[] = " \x96 ";
const std::string& skippedTail() {
  static const std::string tail = " mit ungültigen Koordinaten übersprungen"_cp;
  return tail;
}

// The status line after a route: the text it had before, with the count of the records skipped
// behind it (a count from an earlier route goes).
void showSkippedRecords(Session& s) {
  std::string status = s.statusText();
  const auto note = status.rfind(kSkippedNoteStart);
  if (note != std::string::npos && status.size() >= skippedTail().size() &&
      status.compare(status.size() - skippedTail().size(), std::string::npos, skippedTail()) == 0) {
    status.erase(note);
  }
  const int skipped = s.doc.skippedRecords.count();
  if (skipped > 0) status += kSkippedNoteStart + skippedRecordsText(skipped);
  if (status != s.statusText()) s.setStatusText(status);
}

}  // namespace

std::string skippedRecordsText(int count) {
  return std::to_string(count) + (count == 1 ? " Datensatz" : " Datensätze"_cp) + skippedTail();
}

RouteResult RouteExecute(Session& s) {
  s.port().setBusy(true);
  s.doc.skippedRecords.clear();
  TimeArtChange(s, s.opt.TimeMode);
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
  if (out && out->finish) out->finish(s, s.doc.OutputLines);
  // A chosen target device takes so many points only.
  if (result == RouteResult::Completed) fitRouteToDevice(s);
  showSkippedRecords(s);
  NaviChange(s);
  s.port().setBusy(false);
  s.port().stateChanged();
  return result;
}

}  // namespace kursolin
