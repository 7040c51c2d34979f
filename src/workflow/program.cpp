#include "workflow/program.h"

#include "core/geotime.h"
#include "core/time_mode.h"
#include "formats/registry.h"
#include "formats/table.h"
#include "settings/settings.h"
#include "workflow/loading.h"
#include "workflow/output_commands.h"

namespace kursolin {

void FormCreate(Session& s, const std::string& appDir) {
  s.AppDir = appDir;
  if (!s.AppDir.empty() && s.AppDir.back() != '/') s.AppDir += '/';
  s.OpenDir = s.SaveDir = s.BcrDirectory = s.AppDir;
  s.InputLines.clear();
  s.OutputLines.clear();
  s.InputFileName = "*.txt";
  s.OutputLabel.clear();
  s.ReadVtg = false;
  s.PointTable.headers = pointTableHeaders();
  s.PointTable.widths = pointTableWidths();
  s.PointTable.rows.clear();
  s.PointTable.visible = false;
  s.setOutputCaption(s.OutputLabel + "Routenpunkte := 0");
  s.setStatusText("Keine Datei ge\xF6" "ffnet");
}

void applyStartFormats(Session& s) {
  s.outputFormatApplied = false;
  if (s.InputFormat == kAutoInputFormat) s.InputAutoDetect = true;
  // The reserved code and formats this version cannot read start as the NMEA GGA + VTG log;
  // so do the records of "Automatisch erkennen" until a file's format is found.
  const InputFormatInfo* f = inputFormat(s.InputFormat);
  if (!f || f->detects || !f->available()) s.InputFormat = 1;
  s.SeparatorAtSettings = s.InputSeparator;
  SourceChange(s, chosenInputFormat(s));
  // A stored format that this version cannot write yet starts as the default Navigon MN|4.2;
  // codes outside the table stay as they are and produce no lines.
  if (outputFormat(s.OutputFormat) && !outputFormatAvailable(s.OutputFormat)) s.OutputFormat = 1;
  NaviArtChange(s, s.OutputFormat);
  TimeArtChange(s, s.TimeMode);
  s.ShowPointInfo = s.item("RPInfo").checked;
  s.setOutputCaption(outputCaptionWith(s, s.OutputLines.Count()));
  s.setInputCaption(s.InputLabel);
}

bool FormActivate(Session& s) {
  loadSettings(s);
  applyStartFormats(s);
  return s.ShowStartNotice;
}

}  // namespace kursolin
