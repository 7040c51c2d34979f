#include "workflow/menu_state.h"

#include "formats/registry.h"
#include "workflow/presentation.h"

namespace kursolin {

namespace {

// nullopt-like -1 for a name that is no entry of the menu "Eingabeformat".
int inputMenuCheck(const Session& s, const std::string& name) {
  const InputPresentation* chosen =
      s.opt.InputAutoDetect ? nullptr : inputPresentation(s.opt.InputFormat);
  bool known = false;
  for (const InputPresentation& p : inputPresentations()) {
    if (p.menuItem != name) continue;
    known = true;
    const InputFormatInfo* f = inputFormat(p.code);
    if (f && f->detects ? s.opt.InputAutoDetect : (p.menuEntry && chosen == &p)) return 1;
  }
  for (const FormatSubmenu& m : inputSubmenus()) {
    if (m.item != name) continue;
    // A sub-menu's entry is checked with its children only where they say so (NMEA, XML).
    return chosen && chosen->parentChecked && chosen->parentItem == name ? 1 : 0;
  }
  return known ? 0 : -1;
}

int outputMenuCheck(const Session& s, const std::string& name) {
  const OutputPresentation* chosen = chosenOutputPresentation(s);
  if (name == textOutputSubmenu().item) return chosen && chosen->textSubmenu ? 1 : 0;
  for (const OutputPresentation& p : outputPresentations()) {
    if (p.menuItem == name) return chosen == &p ? 1 : 0;
  }
  return -1;
}

int timeMenuCheck(const Session& s, const std::string& name) {
  // A mode outside the three counts as NMEA time, as the generators treat it.
  if (name == "SommerTime") return s.opt.TimeMode == 2 ? 1 : 0;
  if (name == "WinterTime") return s.opt.TimeMode == 3 ? 1 : 0;
  if (name == "NMEATime") return s.opt.TimeMode != 2 && s.opt.TimeMode != 3 ? 1 : 0;
  return -1;
}

}  // namespace

bool menuItemChecked(const Session& s, const std::string& name) {
  for (const auto derived : {inputMenuCheck, outputMenuCheck, timeMenuCheck}) {
    if (const int c = derived(s, name); c >= 0) return c == 1;
  }
  const auto it = s.shell.items.find(name);
  return it != s.shell.items.end() && it->second.checked;
}

}  // namespace kursolin
