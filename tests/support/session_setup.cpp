#include "support/session_setup.h"

#include "workflow/loading.h"
#include "formats/registry.h"
#include "workflow/output_commands.h"
#include "core/panes.h"
#include "workflow/program.h"

namespace kursolin::test {

void createLikeTheWindow(Session& s) { FormCreate(s, "/tmp/"); }

void useInput(Session& s, int code) {
  // Chosen before it is applied, as the settings choose the format at start-up: nothing loads.
  s.InputAutoDetect = code == kAutoInputFormat;
  if (code != kAutoInputFormat) s.InputFormat = code;
  s.SeparatorAtSettings = s.InputSeparator;
  SourceChange(s, code);
}

void useOutput(Session& s, int code) {
  const bool route = s.item("Route").enabled;
  s.item("Route").enabled = false;
  NaviArtChange(s, code);
  s.item("Route").enabled = route;
}

void onlyRules(Session& s, bool meter, bool grad, bool pause, bool zeit) {
  s.rules.AllGGACheck = false;
  s.rules.MeterCheck = meter;
  s.rules.GradCheck = grad;
  s.rules.PauseCheck = pause;
  s.rules.ZeitCheck = zeit;
}

void setInput(Session& s, const std::vector<std::string>& lines) {
  s.InputLines.assign(lines);
  NMEADatenChange(s);
}

std::vector<std::string> output(const Session& s) { return s.OutputLines.lines(); }

}  // namespace kursolin::test
