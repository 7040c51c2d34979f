#include "support/session_setup.h"

#include "formats/registry.h"
#include "session/panes.h"
#include "workflow/loading.h"
#include "workflow/output_commands.h"
#include "workflow/program.h"

namespace kursolin::test {

void createLikeTheWindow(Session& s) { FormCreate(s, "/tmp/"); }

void useInput(Session& s, int code) {
  // Chosen before it is applied, as the settings choose the format at start-up: nothing loads.
  s.opt.InputAutoDetect = code == kAutoInputFormat;
  if (code != kAutoInputFormat) s.opt.InputFormat = code;
  markInputOptionsSeen(s);
  SourceChange(s, code);
}

void useOutput(Session& s, int code) {
  const bool route = s.shell.item("Route").enabled;
  s.shell.item("Route").enabled = false;
  NaviArtChange(s, code);
  s.shell.item("Route").enabled = route;
}

void onlyRules(Session& s, bool meter, bool grad, bool pause, bool zeit) {
  s.opt.rules.AllGGACheck = false;
  s.opt.rules.MeterCheck = meter;
  s.opt.rules.GradCheck = grad;
  s.opt.rules.PauseCheck = pause;
  s.opt.rules.ZeitCheck = zeit;
}

void setInput(Session& s, const std::vector<std::string>& lines) {
  s.doc.InputLines.assign(lines);
  NMEADatenChange(s);
}

std::vector<std::string> output(const Session& s) {
  return s.doc.OutputLines.lines();
}

}  // namespace kursolin::test
