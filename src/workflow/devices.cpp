#include "workflow/devices.h"

#include <vector>

#include "core/cp1252.h"
#include "core/ranges.h"
#include "core/textutil.h"
#include "formats/registry.h"
#include "session/prompt.h"
#include "settings/devices.h"
#include "settings/settings.h"
#include "workflow/emit.h"
#include "workflow/output_commands.h"
#include "workflow/reduce.h"

namespace kursolin {

namespace {

struct Assignment {
  std::string section, key, value;
};

// The profile's settings, "Abschnitt/Schluessel=Wert" separated by ";"; false with the item that
// is none.
bool assignments(const std::string& text, std::vector<Assignment>& out, std::string& bad) {
  for (const std::string& raw : splitAt(text, ';')) {
    const std::string item = profileValueText(raw);
    if (item.empty()) continue;
    const auto slash = item.find('/');
    const auto eq = item.find('=');
    if (slash == std::string::npos || eq == std::string::npos || slash > eq) {
      bad = item;
      return false;
    }
    out.push_back(
        {item.substr(0, slash), item.substr(slash + 1, eq - slash - 1), item.substr(eq + 1)});
  }
  return true;
}

std::string where(const DeviceProfile& d) {
  return "Das Zielger\xE4t \"" + d.name + "\" (Abschnitt [Geraet " + d.id + "] in Kursolin.Ini) ";
}

const char* const kNothingChanged = "Die Einstellungen bleiben, wie sie sind.";

void tell(Session& s, const std::string& text) {
  s.port().prompt(PromptKind::Error, PromptButtons::Ok, text + kCR + kNothingChanged);
}

}  // namespace

std::string deviceProfileProblem(const Session&, const DeviceProfile& d) {
  const OutputFormatInfo* f = outputFormatNamed(d.format);
  if (!f || !f->available()) {
    return where(d) + "nennt das Ausgabeformat \"" + d.format +
           "\", das es nicht gibt (Format=, Namen wie bei kursolin-cli -f).";
  }
  if (d.perFile < kSplitMaxRange.min || d.perFile > kSplitMaxRange.max) {
    return where(d) + "hat ProDatei=" + std::to_string(d.perFile) + "; erlaubt sind 0 (eine " +
           "Datei) bis " + std::to_string(kSplitMaxRange.max) + " Routenpunkte je Datei.";
  }
  if (d.pointLimit != 0 &&
      (d.pointLimit < kMaxRoutePointsRange.min || d.pointLimit > kMaxRoutePointsRange.max)) {
    return where(d) + "hat Punkte=" + std::to_string(d.pointLimit) + "; erlaubt sind 0 (keine " +
           "Grenze) und " + std::to_string(kMaxRoutePointsRange.min) + " bis " +
           std::to_string(kMaxRoutePointsRange.max) + " Routenpunkte.";
  }
  std::vector<Assignment> items;
  std::string bad;
  if (!assignments(d.options, items, bad)) {
    return where(d) + "hat in Optionen= den Eintrag \"" + bad +
           "\"; erwartet wird Abschnitt/Schluessel=Wert, mehrere durch \";\" getrennt.";
  }
  for (const Assignment& a : items) {
    if (!findSettingRow(a.section, a.key)) {
      return where(d) + "setzt in Optionen= die unbekannte Einstellung " + a.section + "/" + a.key +
             ".";
    }
  }
  return {};
}

bool applyDevice(Session& s, const std::string& id) {
  if (id.empty()) {
    s.opt.Device.clear();
    s.opt.DevicePointLimit = 0;
    s.port().stateChanged();
    return true;
  }
  const DeviceProfile* found = deviceProfile(s, id);
  if (!found) {
    std::string known;
    for (const DeviceProfile& d : s.opt.devices) known += (known.empty() ? "" : ", ") + d.id;
    tell(s, "Ein Zielger\xE4t \"" + id + "\" gibt es nicht. Bekannt sind: " + known + ".");
    return false;
  }
  const DeviceProfile d = *found;
  if (const std::string problem = deviceProfileProblem(s, d); !problem.empty()) {
    tell(s, problem);
    return false;
  }
  // Every value is checked before anything is set: a value that does not fit its key undoes what
  // the profile set before it.
  const Options before = s.opt;
  std::vector<Assignment> items;
  std::string bad;
  assignments(d.options, items, bad);
  for (const Assignment& a : items) {
    std::string reason;
    if (!applySettingOverride(s, a.section, a.key, a.value, &reason)) {
      s.opt = before;
      tell(s, where(d) + "setzt in Optionen= einen Wert, der nicht passt: " + reason + ".");
      return false;
    }
  }
  const OutputFormatInfo& f = *outputFormatNamed(d.format);
  if (f.limit) s.opt.set(*f.limit, d.perFile);
  s.opt.rules.AllePunkteCheck = true;
  s.opt.Device = d.id;
  s.opt.DevicePointLimit = d.pointLimit;
  s.opt.OutputFormat = f.code;
  s.port().stateChanged();
  return true;
}

bool chooseDevice(Session& s, const std::string& id) {
  const int before = s.opt.OutputFormat;
  if (!applyDevice(s, id)) return false;
  // The format through its command, so the menus follow and a route made is offered again.
  const int code = s.opt.OutputFormat;
  s.opt.OutputFormat = before;
  // The same format with other options (and every point of a route file taken now) makes the
  // route anew just as another format does.
  if (!id.empty() && code == before) s.shell.outputFormatApplied = false;
  NaviArtChange(s, code);
  return true;
}

std::string deviceListText(const Session& s) {
  std::string text;
  for (const DeviceProfile& d : s.opt.devices) {
    text += d.id + "  " + d.name + "  (Format " + d.format + ", " +
            (d.perFile > 0 ? std::to_string(d.perFile) + " Punkte je Datei"
                           : std::string("eine Datei")) +
            (d.pointLimit > 0 ? ", h\xF6"
                                "chstens " +
                                    std::to_string(d.pointLimit) + " Punkte"
                              : std::string()) +
            ")\n";
  }
  return text;
}

bool fitRouteToDevice(Session& s) {
  const int limit = s.opt.DevicePointLimit;
  if (limit <= 0 || s.doc.RoutePointCount <= limit) return true;
  if (!routeRecordsInStep(s.doc)) return false;
  return RouteVerringern(s, limit).done;
}

}  // namespace kursolin
