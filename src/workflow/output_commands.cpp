#include "workflow/output_commands.h"

#include "core/cp1252.h"
#include "core/prompt.h"
#include "formats/registry.h"
#include "workflow/route_command.h"

namespace kursolin {

void NaviArtChange(Session& s, int code) {
  UiItem& rp = s.item("RPInfo");
  rp.enabled = s.ShowPointInfo;
  rp.checked = s.ShowPointInfo;
  if (s.outputFormatApplied && code == s.OutputFormat) {
    s.port().stateChanged();
    return;
  }
  if (const OutputFormatInfo* f = outputFormat(code)) {
    s.ShowPointInfo = rp.checked;
    rp.visible = f->pointInfo;
    rp.enabled = f->pointInfo;
    rp.checked = f->pointInfo && s.ShowPointInfo;
    s.OutputLabel = f->label;
  }
  s.OutputFormat = code;
  s.outputFormatApplied = true;
  s.setOutputCaption(outputCaptionWith(s, s.OutputLines.Count()));
  s.port().stateChanged();
  if (s.item("Route").enabled) {
    const std::string question = "Das Ausgabeformat der Routendaten wurde geändert"_cp + kCR +
                                 "    Routendaten neu berechnen oder abbrechen ?";
    if (askYes(s, PromptButtons::YesCancel, question)) RouteExecute(s);
  }
}

void RPInfoClick(Session& s) {
  UiItem& rp = s.item("RPInfo");
  rp.checked = !rp.checked;
  s.ShowPointInfo = rp.checked;
  s.port().stateChanged();
}

}  // namespace kursolin
