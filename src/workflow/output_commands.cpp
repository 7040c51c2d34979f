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
  if (code == s.PreviousOutputFormat) {
    s.port().stateChanged();
    return;
  }
  if (const OutputFormatInfo* f = outputFormat(code)) {
    s.ShowPointInfo = rp.checked;
    for (const auto& other : outputFormats()) s.item(other.menuItem).checked = false;
    setOutputFlags(s, nullptr);
    s.item(textOutputSubmenu().item).checked = false;
    rp.visible = false;
    rp.enabled = false;
    rp.checked = false;

    s.item(f->menuItem).checked = true;
    if (f->textSubmenu) s.item(textOutputSubmenu().item).checked = true;
    setOutputFlags(s, f);
    s.OutputLabel = f->label;
    if (f->pointInfo) {
      rp.visible = true;
      rp.enabled = true;
      rp.checked = s.ShowPointInfo;
    }
  }
  s.PreviousOutputFormat = code;
  s.OutputFormat = code;
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
