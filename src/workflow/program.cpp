#include "workflow/program.h"

#include "core/geotime.h"
#include "formats/registry.h"
#include "session/time_mode.h"
#include "settings/settings.h"
#include "workflow/loading.h"
#include "workflow/output_commands.h"
#include "workflow/presentation.h"

namespace kursolin {

void FormCreate(Session& s, const std::string& appDir) {
  s.AppDir = appDir;
  if (!s.AppDir.empty() && s.AppDir.back() != '/') s.AppDir += '/';
  s.opt.OpenDir = s.opt.SaveDir = s.AppDir;
  // The formats' own folders start there as well.
  for (const OptionInfo* o : allFormatOptions()) {
    if (o->defaultIsAppDir) s.opt.formats.setValue(*o, s.AppDir);
  }
  s.doc.InputLines.clear();
  s.doc.OutputLines.clear();
  s.doc.InputFileName = "*.txt";
  s.shell.OutputLabel.clear();
  s.doc.ReadVtg = false;
  // The columns of the format that fills the route point table.
  for (const OutputPresentation& p : outputPresentations()) {
    if (p.tableHeaders.empty()) continue;
    s.doc.PointTable.headers = p.tableHeaders;
    s.doc.PointTable.widths = p.tableWidths;
  }
  s.doc.PointTable.rows.clear();
  s.doc.PointTable.visible = false;
  s.setOutputCaption(s.shell.OutputLabel + "Routenpunkte := 0");
  s.setStatusText("Keine Datei ge\xF6" "ffnet");
}

void applyStartFormats(Session& s) {
  s.shell.outputFormatApplied = false;
  if (s.opt.InputFormat == kAutoInputFormat) s.opt.InputAutoDetect = true;
  // The reserved code and formats this version cannot read start as the NMEA GGA + VTG log;
  // so do the records of "Automatisch erkennen" until a file's format is found.
  const InputFormatInfo* f = inputFormat(s.opt.InputFormat);
  if (!f || f->detects || !f->available()) s.opt.InputFormat = 1;
  markInputOptionsSeen(s);
  SourceChange(s, chosenInputFormat(s));
  // A stored format that this version cannot write yet starts as the default Navigon MN|4.2;
  // codes outside the table stay as they are and produce no lines.
  if (outputFormat(s.opt.OutputFormat) && !outputFormatAvailable(s.opt.OutputFormat))
    s.opt.OutputFormat = 1;
  NaviArtChange(s, s.opt.OutputFormat);
  TimeArtChange(s, s.opt.TimeMode);
  s.opt.ShowPointInfo = s.shell.item("RPInfo").checked;
  s.setOutputCaption(outputCaptionWith(s.shell, s.doc.OutputLines.Count()));
  s.setInputCaption(s.doc.InputLabel);
}

bool FormActivate(Session& s) {
  loadSettings(s);
  applyStartFormats(s);
  return s.shell.ShowStartNotice;
}

}  // namespace kursolin
