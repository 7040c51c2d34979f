#include "workflow/output_commands.h"

#include "core/cp1252.h"
#include "formats/registry.h"
#include "session/prompt.h"
#include "settings/devices.h"
#include "workflow/presentation.h"
#include "workflow/route_command.h"

namespace kursolin {

void showOutputFormat(Session& s, int code) {
  if (const OutputPresentation* f = outputPresentation(code)) {
    UiItem& rp = s.shell.item("RPInfo");
    rp.visible = f->pointInfo;
    rp.enabled = f->pointInfo;
    rp.checked = f->pointInfo && s.opt.ShowPointInfo;
    s.shell.OutputLabel = f->label;
  }
  s.opt.OutputFormat = code;
  s.shell.outputFormatApplied = true;
}

void NaviArtChange(Session& s, int code) {
  UiItem& rp = s.shell.item("RPInfo");
  rp.enabled = s.opt.ShowPointInfo;
  rp.checked = s.opt.ShowPointInfo;
  if (s.shell.outputFormatApplied && code == s.opt.OutputFormat) {
    s.port().stateChanged();
    return;
  }
  showOutputFormat(s, code);
  // Another format than the chosen target device's ends that choice.
  if (const DeviceProfile* d = deviceProfile(s, s.opt.Device)) {
    const OutputFormatInfo* own = outputFormatNamed(d->format);
    if (!own || own->code != code) {
      s.opt.Device.clear();
      s.opt.DevicePointLimit = 0;
    }
  }
  s.setOutputCaption(outputCaptionWith(s.shell, s.doc.OutputLines.Count()));
  s.port().stateChanged();
  if (s.shell.item("Route").enabled) {
    const std::string question = "Das Ausgabeformat der Routendaten wurde geändert"_cp + kCR +
                                 "    Routendaten neu berechnen oder abbrechen ?";
    if (askYes(s, PromptButtons::YesCancel, question)) RouteExecute(s);
  }
}

void RPInfoClick(Session& s) {
  UiItem& rp = s.shell.item("RPInfo");
  rp.checked = !rp.checked;
  s.opt.ShowPointInfo = rp.checked;
  s.port().stateChanged();
}

}  // namespace kursolin
